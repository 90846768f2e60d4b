#include "sheet/formula_coerce.h"

#include "sheet/formula_value.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace sheet::embedded::formula {

namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

int kindRank(CellType type) {
    switch (type) {
    case CellType::Text:
        return 1;
    case CellType::Boolean:
        return 2;
    default:
        return 0;
    }
}

CellValue blankLike(const CellValue& other) {
    switch (other.type) {
    case CellType::Text:
        return CellValue::Text("");
    case CellType::Boolean:
        return CellValue::Boolean(false);
    default:
        return CellValue::Number(0);
    }
}

} // namespace

std::optional<double> numberInText(std::string_view text) {
    text = trimmed(text);
    bool percent = false;
    if (!text.empty() && text.back() == '%') {
        percent = true;
        text = trimmed(text.substr(0, text.size() - 1));
    }
    std::string plain;
    size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        plain += text[at++];
    bool digits = false, point = false;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (std::isdigit(static_cast<unsigned char>(c))) {
            digits = true;
            plain += c;
        } else if (c == ',' && digits && !point) {
            continue;
        } else if (c == '.' && !point) {
            point = true;
            plain += c;
        } else {
            break;
        }
    }
    if (!digits)
        return std::nullopt;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        plain += text[at++];
        if (at < text.size() && (text[at] == '+' || text[at] == '-'))
            plain += text[at++];
        const size_t exponent = at;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])))
            plain += text[at++];
        if (at == exponent)
            return std::nullopt;
    }
    if (at != text.size())
        return std::nullopt;
    double number = std::strtod(plain.c_str(), nullptr);
    if (!std::isfinite(number))
        return std::nullopt;
    return percent ? number / 100 : number;
}

std::optional<double> numberOf(const CellValue& value) {
    switch (value.type) {
    case CellType::Empty:
        return 0.0;
    case CellType::Number:
    case CellType::Boolean:
        return value.number;
    case CellType::Text:
        return numberInText(value.text);
    case CellType::Error:
        return std::nullopt;
    }
    return std::nullopt;
}

CellValue failureOf(const CellValue& value) {
    return value.type == CellType::Error ? value : errorOf(kWrongType);
}

std::string generalText(double number) {
    if (number == 0)
        return "0";
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15G", number);
    std::string text = buffer;
    const size_t exponent = text.find('E');
    std::string mantissa = text.substr(0, exponent);
    if (mantissa.find('.') != std::string::npos) {
        while (mantissa.back() == '0')
            mantissa.pop_back();
        if (mantissa.back() == '.')
            mantissa.pop_back();
    }
    if (exponent == std::string::npos)
        return mantissa;
    // "E+020" style exponents are written with at least two digits, as cells show them.
    std::string power = text.substr(exponent + 1);
    const char sign = power.front();
    power.erase(0, 1);
    while (power.size() > 2 && power.front() == '0')
        power.erase(0, 1);
    return mantissa + 'E' + sign + power;
}

std::string textOf(const CellValue& value) {
    switch (value.type) {
    case CellType::Number:
        return generalText(value.number);
    case CellType::Boolean:
        return value.number != 0 ? "TRUE" : "FALSE";
    case CellType::Empty:
        return {};
    default:
        return value.text;
    }
}

std::optional<bool> truthOf(const CellValue& value) {
    switch (value.type) {
    case CellType::Empty:
        return false;
    case CellType::Number:
    case CellType::Boolean:
        return value.number != 0;
    case CellType::Text: {
        const std::string word = foldCase(value.text);
        if (word == "TRUE" || word == "FALSE")
            return word == "TRUE";
        return std::nullopt;
    }
    case CellType::Error:
        return std::nullopt;
    }
    return std::nullopt;
}

CellValue finite(double number) {
    return std::isfinite(number) ? CellValue::Number(number) : errorOf(kBadNumber);
}

std::string foldCase(std::string_view text) {
    std::string folded(text);
    for (char& c : folded)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return folded;
}

int compareValues(const CellValue& left, const CellValue& right) {
    if (left.empty() && right.empty())
        return 0;
    if (left.empty())
        return compareValues(blankLike(right), right);
    if (right.empty())
        return compareValues(left, blankLike(left));
    const int leftRank = kindRank(left.type), rightRank = kindRank(right.type);
    if (leftRank != rightRank)
        return leftRank < rightRank ? -1 : 1;
    if (left.type == CellType::Text) {
        const int order = foldCase(left.text).compare(foldCase(right.text));
        return (order > 0) - (order < 0);
    }
    return (left.number > right.number) - (left.number < right.number);
}

double significant(double number) {
    if (!std::isfinite(number) || number == 0)
        return number;
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15g", number);
    return std::strtod(buffer, nullptr);
}

} // namespace sheet::embedded::formula
