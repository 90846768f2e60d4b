#include "sheet/date_serial.h"

namespace sheet {

namespace {

class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    std::optional<long> digits(size_t count) {
        if (pos_ + count > text_.size())
            return std::nullopt;
        long value = 0;
        for (size_t i = 0; i < count; ++i) {
            const char c = text_[pos_ + i];
            if (c < '0' || c > '9')
                return std::nullopt;
            value = value * 10 + (c - '0');
        }
        pos_ += count;
        return value;
    }
    bool take(char c) {
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    double fraction() {
        double value = 0, scale = 0.1;
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
            value += (text_[pos_++] - '0') * scale;
            scale /= 10;
        }
        return value;
    }
    bool atEnd() const { return pos_ == text_.size(); }
    bool looksLikeTimeOnly() const { return text_.size() >= 3 && text_[2] == ':'; }

private:
    std::string_view text_;
    size_t pos_ = 0;
};

std::optional<double> timeFraction(Scanner& scan) {
    auto hour = scan.digits(2);
    if (!hour || !scan.take(':'))
        return std::nullopt;
    auto minute = scan.digits(2);
    if (!minute)
        return std::nullopt;
    double second = 0;
    if (scan.take(':')) {
        auto whole = scan.digits(2);
        if (!whole)
            return std::nullopt;
        second = static_cast<double>(*whole);
        if (scan.take('.'))
            second += scan.fraction();
    }
    scan.take('Z');
    if (!scan.atEnd() || *hour > 24 || *minute > 59 || second >= 61)
        return std::nullopt;
    return (*hour * 3600.0 + *minute * 60.0 + second) / 86400.0;
}

} // namespace

std::optional<double> serialFromIsoText(std::string_view text, bool date1904) {
    Scanner scan(text);
    if (scan.looksLikeTimeOnly())
        return timeFraction(scan);
    auto year = scan.digits(4);
    if (!year || !scan.take('-'))
        return std::nullopt;
    auto month = scan.digits(2);
    if (!month || !scan.take('-'))
        return std::nullopt;
    auto day = scan.digits(2);
    if (!day || *month < 1 || *month > 12 || *day < 1 || *day > 31)
        return std::nullopt;
    double time = 0;
    if (scan.take('T') || scan.take(' ')) {
        auto fraction = timeFraction(scan);
        if (!fraction)
            return std::nullopt;
        time = *fraction;
    } else if (!scan.atEnd()) {
        return std::nullopt;
    }
    const long epoch = date1904 ? daysFromCivil(1904, 1, 1) : daysFromCivil(1899, 12, 30);
    long days = daysFromCivil(*year, *month, *day) - epoch;
    // The 1900 system counts a 29 February 1900 that never was; earlier dates sit one lower.
    if (!date1904 && days < 61)
        days -= 1;
    if (days < 0)
        return std::nullopt;
    return static_cast<double>(days) + time;
}

long daysFromCivil(long year, long month, long day) {
    year -= month <= 2;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const long yearOfEra = year - era * 400;
    const long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

} // namespace sheet
