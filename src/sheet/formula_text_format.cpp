#include "sheet/formula_text_format.h"

#include "sheet/formula_coerce.h"
#include "sheet/formula_dates.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace sheet::embedded::formula {

namespace {

std::vector<std::string> sections(const std::string& format) {
    std::vector<std::string> parts(1);
    bool quoted = false;
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c == '"')
            quoted = !quoted;
        if (c == '\\' && i + 1 < format.size()) {
            parts.back() += format.substr(i, 2);
            ++i;
            continue;
        }
        if (c == ';' && !quoted) {
            parts.emplace_back();
            continue;
        }
        parts.back() += c;
    }
    return parts;
}

char lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool isDateCode(const std::string& section) {
    bool quoted = false;
    for (size_t i = 0; i < section.size(); ++i) {
        const char c = section[i];
        if (c == '"')
            quoted = !quoted;
        else if (c == '\\')
            ++i;
        else if (!quoted && std::strchr("ymdhsYMDHS", c))
            return true;
    }
    return false;
}

std::string twoDigits(long value) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%02ld", value);
    return buffer;
}

const char* const kMonthNames[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};
const char* const kDayNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};

// A run of one letter (yyyy, mm, ...) starting at `at`.
size_t runLength(const std::string& section, size_t at) {
    size_t end = at;
    while (end < section.size() && lower(section[end]) == lower(section[at]))
        ++end;
    return end - at;
}

std::optional<std::string> formatDate(double serial, const std::string& section) {
    if (serial < 0 || serial > kLastSerial + 1)
        return std::nullopt;
    const CalendarDate date = dateOfSerial(serial);
    long seconds = std::lround((serial - std::floor(serial)) * 86400);
    long hour = seconds / 3600 % 24, minute = seconds / 60 % 60, second = seconds % 60;
    const bool twelveHour =
        section.find("AM/PM") != std::string::npos || section.find("am/pm") != std::string::npos;
    std::string out;
    bool afterHour = false;
    for (size_t i = 0; i < section.size();) {
        const char c = lower(section[i]);
        if (section[i] == '"') {
            const size_t end = section.find('"', i + 1);
            out +=
                section.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
            i = end == std::string::npos ? section.size() : end + 1;
            continue;
        }
        if (section[i] == '\\' && i + 1 < section.size()) {
            out += section[i + 1];
            i += 2;
            continue;
        }
        if (section.compare(i, 5, "AM/PM") == 0 || section.compare(i, 5, "am/pm") == 0) {
            out += hour < 12 ? "AM" : "PM";
            i += 5;
            continue;
        }
        if (c == '[')
            return std::nullopt;
        const size_t run = std::strchr("ymdhs", c) ? runLength(section, i) : 1;
        // "m" after an hour or before seconds means minutes.
        const bool minutes =
            c == 'm' && (afterHour || section.find_first_of("sS", i) != std::string::npos);
        if (c == 'y') {
            out += run <= 2 ? twoDigits(date.year % 100) : std::to_string(date.year);
        } else if (c == 'm' && minutes) {
            out += run == 1 ? std::to_string(minute) : twoDigits(minute);
            afterHour = false;
        } else if (c == 'm') {
            const char* name = kMonthNames[date.month - 1];
            out += run == 1   ? std::to_string(date.month)
                   : run == 2 ? twoDigits(date.month)
                   : run == 3 ? std::string(name, 3)
                              : std::string(name);
        } else if (c == 'd') {
            const long weekday = (long(std::floor(serial)) + 6) % 7;
            out += run == 1   ? std::to_string(date.day)
                   : run == 2 ? twoDigits(date.day)
                   : run == 3 ? std::string(kDayNames[weekday], 3)
                              : std::string(kDayNames[weekday]);
        } else if (c == 'h') {
            const long shown = twelveHour ? (hour % 12 == 0 ? 12 : hour % 12) : hour;
            out += run == 1 ? std::to_string(shown) : twoDigits(shown);
            afterHour = true;
        } else if (c == 's') {
            out += run == 1 ? std::to_string(second) : twoDigits(second);
        } else {
            out += section[i];
        }
        i += run;
    }
    return out;
}

struct NumberPattern {
    std::string prefix, suffix;
    int integerZeros = 0, decimals = 0, optionalDecimals = 0;
    bool grouping = false, percent = false, hasDigits = false;
};

std::optional<NumberPattern> readPattern(const std::string& section) {
    NumberPattern pattern;
    bool inDigits = false, afterDigits = false, afterPoint = false;
    for (size_t i = 0; i < section.size(); ++i) {
        const char c = section[i];
        std::string literal;
        if (c == '"') {
            const size_t end = section.find('"', i + 1);
            literal =
                section.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
            i = end == std::string::npos ? section.size() : end;
        } else if (c == '\\' && i + 1 < section.size()) {
            literal = section.substr(++i, 1);
        } else if ((c == '0' || c == '#' || c == '?') && !afterDigits) {
            inDigits = pattern.hasDigits = true;
            if (afterPoint)
                (c == '0' ? pattern.decimals : pattern.optionalDecimals) += 1 + (c == '0' ? 0 : 0);
            else if (c == '0')
                ++pattern.integerZeros;
            continue;
        } else if (c == ',' && inDigits) {
            pattern.grouping = true;
            continue;
        } else if (c == '.' && !afterPoint && !afterDigits) {
            afterPoint = inDigits = pattern.hasDigits = true;
            continue;
        } else if (c == '%') {
            pattern.percent = true;
            literal = "%";
        } else if (c == 'E' || c == 'e' || c == '/' || c == '[' || c == '*' || c == '@') {
            return std::nullopt;
        } else if (c == '_') {
            ++i;
            literal = " ";
        } else {
            literal = std::string(1, c);
        }
        if (inDigits)
            afterDigits = true;
        inDigits = false;
        (pattern.hasDigits ? pattern.suffix : pattern.prefix) += literal;
    }
    return pattern;
}

std::string grouped(const std::string& digits) {
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}

std::optional<std::string> formatPlain(double number, const std::string& section) {
    auto pattern = readPattern(section);
    if (!pattern)
        return std::nullopt;
    if (!pattern->hasDigits)
        return pattern->prefix + pattern->suffix;
    if (pattern->percent)
        number *= 100;
    const int places = pattern->decimals + pattern->optionalDecimals;
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", places, significant(std::fabs(number)));
    std::string text = buffer;
    std::string whole = text.substr(0, text.find('.'));
    std::string fraction = places > 0 ? text.substr(text.find('.') + 1) : std::string();
    while (int(fraction.size()) > pattern->decimals && fraction.back() == '0')
        fraction.pop_back();
    if (whole == "0" && pattern->integerZeros == 0)
        whole.clear();
    while (int(whole.size()) < pattern->integerZeros)
        whole.insert(whole.begin(), '0');
    if (pattern->grouping)
        whole = grouped(whole);
    std::string body = whole;
    if (places > 0 && (!fraction.empty() || pattern->decimals > 0 || pattern->optionalDecimals))
        body += '.' + fraction;
    return pattern->prefix + body + pattern->suffix;
}

} // namespace

std::optional<std::string> formatNumber(double number, const std::string& format,
                                        double dateShift) {
    std::vector<std::string> parts = sections(format);
    if (parts.size() > 4)
        return std::nullopt;
    std::string section = parts[0];
    bool negativeSection = false;
    if (number < 0 && parts.size() >= 2 && !parts[1].empty()) {
        section = parts[1];
        negativeSection = true;
    } else if (number == 0 && parts.size() >= 3) {
        section = parts[2];
    }
    if (section.empty() || foldCase(section) == "GENERAL")
        return number < 0 && negativeSection ? generalText(-number) : generalText(number);
    if (isDateCode(section))
        return number < 0 ? std::nullopt : formatDate(number + dateShift, section);
    auto text = formatPlain(negativeSection ? -number : number, section);
    if (text && number < 0 && !negativeSection) {
        // A minus only when the shown number is not zero.
        if (text->find_first_of("123456789") != std::string::npos)
            text->insert(0, "-");
    }
    return text;
}

} // namespace sheet::embedded::formula
