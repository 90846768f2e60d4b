#include "viewer/number_format.h"

#include "sheet/number_formats.h"

#include <QDate>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace viewer {

namespace {

// Built-in ids whose displayed code depends on the locale, as a Korean installation shows them.
QString koreanBuiltinCode(int id) {
    switch (id) {
    case 5:
        return QStringLiteral("₩#,##0;₩\\-#,##0");
    case 6:
        return QStringLiteral("₩#,##0;[Red]₩\\-#,##0");
    case 7:
        return QStringLiteral("₩#,##0.00;₩\\-#,##0.00");
    case 8:
        return QStringLiteral("₩#,##0.00;[Red]₩\\-#,##0.00");
    case 14:
    case 34:
    case 35:
    case 52:
    case 53:
    case 55:
    case 56:
        return QStringLiteral("yyyy-mm-dd");
    case 22:
        return QStringLiteral("yyyy-mm-dd h:mm");
    case 27:
    case 31:
    case 36:
    case 50:
    case 57:
        return QStringLiteral("yyyy\"년\" mm\"월\" dd\"일\"");
    case 28:
    case 29:
    case 51:
    case 54:
    case 58:
        return QStringLiteral("mm-dd");
    case 30:
        return QStringLiteral("mm-dd-yy");
    case 32:
        return QStringLiteral("h\"시\" mm\"분\"");
    case 33:
        return QStringLiteral("h\"시\" mm\"분\" ss\"초\"");
    default:
        return {};
    }
}

// ---------------------------------------------------------------------------------------
// Decimal rounding on 15 significant digits, half away from zero, as the application does
// (2.675 shows as 2.68 with two decimals although the double is slightly below it).

struct Decimal {
    std::string integer;  // without leading zeros; empty for zero
    std::string fraction; // exactly the requested number of digits
};

Decimal toDecimal(double magnitude, int decimals) {
    Decimal result;
    if (!(magnitude > 0) || !std::isfinite(magnitude)) {
        result.fraction.assign(static_cast<size_t>(decimals), '0');
        return result;
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", magnitude);
    std::string digits;
    const char* p = buffer;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            digits += *p;
    const int exponent = *p == 'e' ? std::atoi(p + 1) : 0;
    int pointPosition = exponent + 1; // digits before the decimal point
    const int keep = pointPosition + decimals;
    if (keep < 0) {
        result.fraction.assign(static_cast<size_t>(decimals), '0');
        return result;
    }
    if (keep < static_cast<int>(digits.size())) {
        const bool roundUp = digits[static_cast<size_t>(keep)] >= '5';
        digits.resize(static_cast<size_t>(keep));
        if (roundUp) {
            int i = keep - 1;
            for (; i >= 0 && digits[static_cast<size_t>(i)] == '9'; --i)
                digits[static_cast<size_t>(i)] = '0';
            if (i >= 0) {
                ++digits[static_cast<size_t>(i)];
            } else {
                digits.insert(digits.begin(), '1');
                ++pointPosition;
            }
        }
    } else {
        digits.append(static_cast<size_t>(keep) - digits.size(), '0');
    }
    if (pointPosition <= 0) {
        result.fraction = std::string(static_cast<size_t>(-pointPosition), '0') + digits;
    } else {
        result.integer = digits.substr(0, static_cast<size_t>(pointPosition));
        result.fraction = digits.substr(static_cast<size_t>(pointPosition));
    }
    result.fraction.resize(static_cast<size_t>(decimals), '0');
    const size_t firstNonZero = result.integer.find_first_not_of('0');
    result.integer =
        firstNonZero == std::string::npos ? std::string() : result.integer.substr(firstNonZero);
    return result;
}

QString scientific(double magnitude, int decimals, int minExponentDigits, bool trimZeros) {
    int exponent = magnitude > 0 ? static_cast<int>(std::floor(std::log10(magnitude))) : 0;
    Decimal mantissa = toDecimal(magnitude / std::pow(10.0, exponent), decimals);
    if (mantissa.integer.size() > 1) { // rounding carried into a new digit (9.99 -> 10.0)
        ++exponent;
        mantissa = toDecimal(magnitude / std::pow(10.0, exponent), decimals);
    }
    QString text = QString::fromStdString(mantissa.integer.empty() ? "0" : mantissa.integer);
    std::string fraction = mantissa.fraction;
    if (trimZeros)
        fraction.erase(fraction.find_last_not_of('0') + 1);
    if (!fraction.empty())
        text += '.' + QString::fromStdString(fraction);
    text += exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+");
    text += QString::number(std::abs(exponent)).rightJustified(minExponentDigits, '0');
    return text;
}

// ---------------------------------------------------------------------------------------
// Format code sections.

enum class TokenKind {
    Literal,
    Digit, // 0 # ?
    Point, // decimal point
    Comma, // thousands separator or scaling, decided per section
    Percent,
    Exponent,  // E+ E- (text holds the sign)
    Slash,     // fraction bar
    TextValue, // @
    General,   // the word General inside a section
    DatePart,  // y m d h s, AM/PM, [h], ... (text holds the code in lower case)
    SubSecond, // the digits after a seconds' decimal point (text holds the zeros)
};

struct Token {
    TokenKind kind;
    QString text;
};

struct Condition {
    QString op; // < <= > >= = <>
    double operand = 0;
    bool test(double v) const {
        if (op == "<")
            return v < operand;
        if (op == "<=")
            return v <= operand;
        if (op == ">")
            return v > operand;
        if (op == ">=")
            return v >= operand;
        if (op == "<>")
            return v != operand;
        return v == operand;
    }
};

struct Section {
    std::vector<Token> tokens;
    std::optional<sheet::Rgb> color;
    std::optional<Condition> condition;
    bool isDate = false;
    bool hasText = false;
    bool hasDigits = false;
};

std::optional<sheet::Rgb> colorNamed(const QString& name) {
    static const struct {
        const char* name;
        sheet::Rgb rgb;
    } kColors[] = {{"black", 0x000000}, {"blue", 0x0000FF},    {"cyan", 0x00FFFF},
                   {"green", 0x00FF00}, {"magenta", 0xFF00FF}, {"red", 0xFF0000},
                   {"white", 0xFFFFFF}, {"yellow", 0xFFFF00}};
    const QString lower = name.toLower();
    for (const auto& color : kColors)
        if (lower == QLatin1String(color.name))
            return color.rgb;
    // [Color1]..[Color56]: the first eight palette entries cover what codes use in practice.
    if (lower.startsWith(QLatin1String("color"))) {
        static const sheet::Rgb kPalette[] = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00,
                                              0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF};
        bool ok = false;
        const int index = lower.mid(5).toInt(&ok);
        if (ok && index >= 1 && index <= 8)
            return kPalette[index - 1];
    }
    return std::nullopt;
}

void parseBracket(const QString& content, Section& section) {
    const QString lower = content.toLower();
    if (lower.isEmpty())
        return;
    const QChar first = lower[0];
    if (first == 'h' || first == 'm' || first == 's') {
        section.tokens.push_back({TokenKind::DatePart, '[' + lower + ']'});
        return;
    }
    if (first == '$') { // [$₩-412]: a currency symbol and a locale
        const int dash = content.indexOf('-');
        const QString symbol = content.mid(1, dash < 0 ? -1 : dash - 1);
        if (!symbol.isEmpty())
            section.tokens.push_back({TokenKind::Literal, symbol});
        return;
    }
    if (first == '<' || first == '>' || first == '=') {
        int length = 1;
        if (lower.size() > 1 && (lower[1] == '=' || lower[1] == '>'))
            length = 2;
        Condition condition{content.left(length), content.mid(length).trimmed().toDouble()};
        section.condition = condition;
        return;
    }
    if (auto color = colorNamed(content))
        section.color = color;
}

bool isDateLetter(QChar c) {
    const QChar lower = c.toLower();
    return lower == 'y' || lower == 'm' || lower == 'd' || lower == 'h' || lower == 's' ||
           lower == 'e' || lower == 'a';
}

// Splits one section's code into tokens.
Section parseSection(const QString& code) {
    Section section;
    auto literal = [&](const QString& text) {
        section.tokens.push_back({TokenKind::Literal, text});
    };
    for (int i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        const QChar lower = c.toLower();
        if (c == '"') {
            const int end = code.indexOf('"', i + 1);
            literal(code.mid(i + 1, (end < 0 ? code.size() : end) - i - 1));
            i = end < 0 ? code.size() : end;
        } else if (c == '\\') {
            if (i + 1 < code.size())
                literal(code.mid(++i, 1));
        } else if (c == '_') {
            ++i;
            literal(QStringLiteral(" "));
        } else if (c == '*') {
            ++i; // repeat-to-fill: the cell shows the text without the fill
        } else if (c == '[') {
            const int end = code.indexOf(']', i + 1);
            parseBracket(code.mid(i + 1, (end < 0 ? code.size() : end) - i - 1), section);
            i = end < 0 ? code.size() : end;
        } else if (c == '0' || c == '#' || c == '?') {
            section.tokens.push_back({TokenKind::Digit, QString(c)});
            section.hasDigits = true;
        } else if (c == '.') {
            section.tokens.push_back({TokenKind::Point, {}});
        } else if (c == ',') {
            section.tokens.push_back({TokenKind::Comma, {}});
        } else if (c == '%') {
            section.tokens.push_back({TokenKind::Percent, {}});
        } else if (c == '/') {
            section.tokens.push_back({TokenKind::Slash, {}});
        } else if (c == '@') {
            section.tokens.push_back({TokenKind::TextValue, {}});
            section.hasText = true;
        } else if (lower == 'e' && i + 1 < code.size() &&
                   (code[i + 1] == '+' || code[i + 1] == '-')) {
            section.tokens.push_back({TokenKind::Exponent, code.mid(i + 1, 1)});
            ++i;
        } else if (code.mid(i, 7).compare(QLatin1String("General"), Qt::CaseInsensitive) == 0) {
            section.tokens.push_back({TokenKind::General, {}});
            i += 6;
        } else if (code.mid(i, 5).compare(QLatin1String("AM/PM"), Qt::CaseInsensitive) == 0) {
            section.tokens.push_back({TokenKind::DatePart, QStringLiteral("am/pm")});
            i += 4;
        } else if (code.mid(i, 3).compare(QLatin1String("A/P"), Qt::CaseInsensitive) == 0) {
            section.tokens.push_back({TokenKind::DatePart, code.mid(i, 3)});
            i += 2;
        } else if (isDateLetter(c) && !(lower == 'a' && code.mid(i, 3).toLower() != "aaa")) {
            int end = i;
            while (end < code.size() && code[end].toLower() == lower)
                ++end;
            section.tokens.push_back({TokenKind::DatePart, code.mid(i, end - i).toLower()});
            i = end - 1;
        } else {
            literal(QString(c));
        }
    }
    for (const Token& token : section.tokens)
        if (token.kind == TokenKind::DatePart)
            section.isDate = true;
    return section;
}

std::vector<QString> splitSections(const QString& code) {
    std::vector<QString> parts;
    QString current;
    bool quoted = false;
    for (int i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == '"')
            quoted = !quoted;
        if (!quoted && c == '\\' && i + 1 < code.size()) {
            current += c;
            current += code[++i];
            continue;
        }
        if (!quoted && c == ';') {
            parts.push_back(current);
            current.clear();
            continue;
        }
        current += c;
    }
    parts.push_back(current);
    return parts;
}

// ---------------------------------------------------------------------------------------
// Dates and times.

struct DateTime {
    int year = 1900, month = 1, day = 0;
    int weekday = 0; // 0 = Sunday
    int hour = 0, minute = 0, second = 0;
    double subSecond = 0; // fraction of a second, already rounded to the shown digits
    double elapsedHours = 0, elapsedMinutes = 0, elapsedSeconds = 0;
};

constexpr double kLastSerial = 2958465; // 9999-12-31

std::optional<DateTime> toDateTime(double serial, bool date1904, int subSecondDigits) {
    if (serial < 0 || serial > kLastSerial + 1)
        return std::nullopt;
    const double unit = std::pow(10.0, subSecondDigits);
    // Round the whole serial to the shown precision once, so 23:59:59.6 becomes the next day.
    const double totalUnits = std::round(serial * 86400.0 * unit);
    const double days = std::floor(totalUnits / (86400.0 * unit));
    double rest = totalUnits - days * 86400.0 * unit;
    DateTime result;
    const long long wholeSeconds = static_cast<long long>(rest / unit);
    result.subSecond = (rest - static_cast<double>(wholeSeconds) * unit) / unit;
    result.hour = static_cast<int>(wholeSeconds / 3600);
    result.minute = static_cast<int>(wholeSeconds / 60 % 60);
    result.second = static_cast<int>(wholeSeconds % 60);
    result.elapsedSeconds = std::floor(totalUnits / unit);
    result.elapsedMinutes = std::floor(result.elapsedSeconds / 60);
    result.elapsedHours = std::floor(result.elapsedSeconds / 3600);

    const long dayNumber = static_cast<long>(days);
    if (date1904) {
        const QDate date = QDate(1904, 1, 1).addDays(dayNumber);
        result.year = date.year();
        result.month = date.month();
        result.day = date.day();
        result.weekday = date.dayOfWeek() % 7;
        return result;
    }
    // The 1900 system counts a 29 February 1900 that never was; serial 0 shows as 1900-01-00.
    result.weekday = static_cast<int>(((dayNumber - 1) % 7 + 7) % 7);
    if (dayNumber == 0)
        return result;
    if (dayNumber == 60) {
        result.month = 2;
        result.day = 29;
        return result;
    }
    const QDate date = dayNumber < 60 ? QDate(1899, 12, 31).addDays(dayNumber)
                                      : QDate(1899, 12, 30).addDays(dayNumber);
    result.year = date.year();
    result.month = date.month();
    result.day = date.day();
    return result;
}

const char* const kMonthNames[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};
const char* const kDayNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};
const char* const kKoreanDays[] = {"일", "월", "화", "수", "목", "금", "토"};

bool isHourPart(const QString& part) {
    return part.startsWith('h') || part == "[h]" || part.startsWith("[hh");
}

// m and mm mean minutes right after an hour or right before seconds.
void resolveMinutes(std::vector<Token>& tokens) {
    std::vector<size_t> parts;
    for (size_t i = 0; i < tokens.size(); ++i)
        if (tokens[i].kind == TokenKind::DatePart)
            parts.push_back(i);
    for (size_t k = 0; k < parts.size(); ++k) {
        QString& text = tokens[parts[k]].text;
        if (text != "m" && text != "mm")
            continue;
        const bool afterHour = k > 0 && isHourPart(tokens[parts[k - 1]].text);
        const bool beforeSecond = k + 1 < parts.size() && tokens[parts[k + 1]].text.startsWith('s');
        if (afterHour || beforeSecond)
            text = text == "m" ? QStringLiteral("min") : QStringLiteral("mmin");
    }
}

// In a date section, "ss.00" shows hundredths of a second.
int markSubSeconds(std::vector<Token>& tokens) {
    int digits = 0;
    for (size_t i = 0; i + 1 < tokens.size(); ++i) {
        if (tokens[i].kind != TokenKind::Point || tokens[i + 1].kind != TokenKind::Digit)
            continue;
        QString zeros;
        size_t j = i + 1;
        while (j < tokens.size() && tokens[j].kind == TokenKind::Digit) {
            zeros += '0';
            ++j;
        }
        tokens[i] = {TokenKind::SubSecond, zeros};
        tokens.erase(tokens.begin() + static_cast<long>(i) + 1,
                     tokens.begin() + static_cast<long>(j));
        digits = std::max(digits, static_cast<int>(zeros.size()));
    }
    return std::min(digits, 3);
}

QString two(int v) {
    return QString::number(v).rightJustified(2, '0');
}

FormattedValue formatDate(Section section, double value, bool date1904) {
    resolveMinutes(section.tokens);
    const int subSecondDigits = markSubSeconds(section.tokens);
    const auto dateTime = toDateTime(value, date1904, subSecondDigits);
    if (!dateTime)
        return {QString(), std::nullopt, true};
    const DateTime& t = *dateTime;
    bool twelveHour = false;
    for (const Token& token : section.tokens)
        if (token.kind == TokenKind::DatePart &&
            (token.text == "am/pm" || token.text.contains('/')))
            twelveHour = true;
    const int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
    QString out;
    for (const Token& token : section.tokens) {
        const QString& p = token.text;
        switch (token.kind) {
        case TokenKind::DatePart:
            if (p.startsWith('y') || p.startsWith('e'))
                out += p.size() <= 2 && p.startsWith('y') ? two(t.year % 100)
                                                          : QString::number(t.year);
            else if (p == "m")
                out += QString::number(t.month);
            else if (p == "mm")
                out += two(t.month);
            else if (p == "mmm")
                out += QString::fromLatin1(kMonthNames[t.month - 1]).left(3);
            else if (p == "mmmmm")
                out += QString::fromLatin1(kMonthNames[t.month - 1]).left(1);
            else if (p.startsWith("mmmm"))
                out += QString::fromLatin1(kMonthNames[t.month - 1]);
            else if (p == "min")
                out += QString::number(t.minute);
            else if (p == "mmin")
                out += two(t.minute);
            else if (p == "d")
                out += QString::number(t.day);
            else if (p == "dd")
                out += two(t.day);
            else if (p == "ddd")
                out += QString::fromLatin1(kDayNames[t.weekday]).left(3);
            else if (p.startsWith("dddd"))
                out += QString::fromLatin1(kDayNames[t.weekday]);
            else if (p == "aaa")
                out += QString::fromUtf8(kKoreanDays[t.weekday]);
            else if (p.startsWith("aaaa"))
                out += QString::fromUtf8(kKoreanDays[t.weekday]) + QStringLiteral("요일");
            else if (p == "h")
                out += QString::number(twelveHour ? hour12 : t.hour);
            else if (p.startsWith("hh"))
                out += two(twelveHour ? hour12 : t.hour);
            else if (p == "s")
                out += QString::number(t.second);
            else if (p.startsWith("ss"))
                out += two(t.second);
            else if (p.startsWith("[h"))
                out += QString::number(static_cast<long long>(t.elapsedHours))
                           .rightJustified(static_cast<int>(p.size()) - 2, '0');
            else if (p.startsWith("[m"))
                out += QString::number(static_cast<long long>(t.elapsedMinutes))
                           .rightJustified(static_cast<int>(p.size()) - 2, '0');
            else if (p.startsWith("[s"))
                out += QString::number(static_cast<long long>(t.elapsedSeconds))
                           .rightJustified(static_cast<int>(p.size()) - 2, '0');
            else if (p == "am/pm")
                out += t.hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
            else if (p.contains('/')) // A/P keeps the case the code is written in
                out += t.hour < 12 ? QString(p[0]) : QString(p[2]);
            break;
        case TokenKind::SubSecond:
            out += '.' + QString::number(std::lround(t.subSecond * std::pow(10.0, p.size())))
                             .rightJustified(static_cast<int>(p.size()), '0');
            break;
        case TokenKind::Literal:
            out += p;
            break;
        case TokenKind::Point:
            out += '.';
            break;
        case TokenKind::Comma:
            out += ',';
            break;
        case TokenKind::Slash:
            out += '/';
            break;
        case TokenKind::Percent:
            out += '%';
            break;
        default:
            break;
        }
    }
    return {out, section.color, false};
}

// ---------------------------------------------------------------------------------------
// Numbers.

// Spreads the integer digits over the placeholders `places` (left to right), one text per
// placeholder. Extra leading digits go to the first placeholder; '0' pads with zeros, '?' with
// blanks, '#' with nothing.
std::vector<QString> spreadInteger(const std::string& digits, const std::vector<QChar>& places,
                                   bool grouping) {
    const int count = static_cast<int>(places.size());
    const int length = std::max(count, static_cast<int>(digits.size()));
    std::vector<QString> out(std::max<size_t>(1, places.size()));
    for (int position = length - 1; position >= 0; --position) {
        const int placeIndex = std::max(0, count - 1 - position);
        const QChar place = places.empty() ? QChar('#') : places[static_cast<size_t>(placeIndex)];
        QChar shown;
        if (position < static_cast<int>(digits.size()))
            shown = QChar(digits[digits.size() - 1 - static_cast<size_t>(position)]);
        else if (place == '0')
            shown = '0';
        else if (place == '?')
            shown = ' ';
        if (shown.isNull())
            continue;
        QString& text = out[static_cast<size_t>(placeIndex)];
        text += shown;
        if (grouping && position > 0 && position % 3 == 0)
            text += shown == ' ' ? QChar(' ') : QChar(',');
    }
    return out;
}

QString fillInteger(const std::string& digits, const std::vector<QChar>& places, bool grouping) {
    QString joined;
    for (const QString& part : spreadInteger(digits, places, grouping))
        joined += part;
    return joined;
}

QString fillFraction(const std::string& digits, const std::vector<QChar>& places) {
    int last = static_cast<int>(digits.size()) - 1;
    while (last >= 0 && digits[static_cast<size_t>(last)] == '0' &&
           places[static_cast<size_t>(last)] != '0')
        --last;
    QString out;
    for (size_t i = 0; i < places.size(); ++i) {
        if (static_cast<int>(i) <= last)
            out += QChar(digits[i]);
        else if (places[i] == '?')
            out += ' ';
    }
    return out;
}

struct NumberLayout {
    std::vector<QChar> integerPlaces, fractionPlaces, exponentPlaces;
    bool grouping = false;
    bool hasPoint = false;
    int scaleThousands = 0;
    int percents = 0;
    int exponentIndex = -1;
};

// Classifies commas and collects the placeholders of a plain or scientific number section.
NumberLayout layoutOf(std::vector<Token>& tokens) {
    NumberLayout layout;
    int lastIntegerDigit = -1;
    int pointIndex = -1;
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind == TokenKind::Point && pointIndex < 0 && layout.exponentIndex < 0)
            pointIndex = static_cast<int>(i);
        if (tokens[i].kind == TokenKind::Exponent && layout.exponentIndex < 0)
            layout.exponentIndex = static_cast<int>(i);
        if (tokens[i].kind == TokenKind::Percent)
            ++layout.percents;
    }
    const size_t integerEnd = pointIndex >= 0 ? static_cast<size_t>(pointIndex)
                              : layout.exponentIndex >= 0
                                  ? static_cast<size_t>(layout.exponentIndex)
                                  : tokens.size();
    for (size_t i = 0; i < integerEnd; ++i)
        if (tokens[i].kind == TokenKind::Digit)
            lastIntegerDigit = static_cast<int>(i);
    for (size_t i = 0; i < tokens.size(); ++i) {
        Token& token = tokens[i];
        if (token.kind == TokenKind::Comma) {
            const bool inInteger = i < integerEnd;
            if (inInteger && static_cast<int>(i) < lastIntegerDigit) {
                bool digitBefore = false;
                for (size_t j = 0; j < i; ++j)
                    digitBefore |= tokens[j].kind == TokenKind::Digit;
                if (digitBefore) {
                    layout.grouping = true;
                    continue;
                }
            }
            if (static_cast<int>(i) > lastIntegerDigit && lastIntegerDigit >= 0 &&
                (i < integerEnd || tokens[i - 1].kind == TokenKind::Comma ||
                 tokens[i - 1].kind == TokenKind::Digit)) {
                bool digitsAfter = false;
                for (size_t j = i + 1; j < integerEnd; ++j)
                    digitsAfter |= tokens[j].kind == TokenKind::Digit;
                if (!digitsAfter && (i < integerEnd || layout.exponentIndex < 0)) {
                    ++layout.scaleThousands;
                    continue;
                }
            }
            token = {TokenKind::Literal, QStringLiteral(",")};
            continue;
        }
        if (token.kind != TokenKind::Digit)
            continue;
        if (layout.exponentIndex >= 0 && static_cast<int>(i) > layout.exponentIndex)
            layout.exponentPlaces.push_back(token.text[0]);
        else if (i < integerEnd)
            layout.integerPlaces.push_back(token.text[0]);
        else
            layout.fractionPlaces.push_back(token.text[0]);
    }
    layout.hasPoint = pointIndex >= 0;
    return layout;
}

// Walks the tokens, putting the integer, fraction and exponent texts at their first
// placeholder and the literals where they stand.
QString assemble(const std::vector<Token>& tokens, const std::vector<QString>& integer,
                 const QString& fraction, const QString& exponent, const NumberLayout& layout) {
    QString out;
    size_t integerIndex = 0;
    bool integerDone = false, fractionDone = false, exponentDone = false;
    bool seenPoint = false;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        const bool afterExponent =
            layout.exponentIndex >= 0 && static_cast<int>(i) > layout.exponentIndex;
        switch (token.kind) {
        case TokenKind::Digit:
            if (afterExponent) {
                if (!exponentDone)
                    out += exponent;
                exponentDone = true;
            } else if (!seenPoint) {
                if (integerIndex < integer.size())
                    out += integer[integerIndex++];
                integerDone = true;
            } else {
                if (!fractionDone)
                    out += fraction;
                fractionDone = true;
            }
            break;
        case TokenKind::Point:
            if (!seenPoint && !afterExponent) {
                if (!integerDone) // ".00": the integer part still shows when it is not zero
                    for (const QString& part : integer)
                        out += part;
                integerDone = true;
                seenPoint = true;
            }
            out += '.';
            break;
        case TokenKind::Exponent:
            out += 'E';
            break;
        case TokenKind::Percent:
            out += '%';
            break;
        case TokenKind::Slash:
            out += '/';
            break;
        case TokenKind::Literal:
            out += token.text;
            break;
        default:
            break;
        }
    }
    return out;
}

QString formatPlainNumber(std::vector<Token> tokens, double magnitude) {
    NumberLayout layout = layoutOf(tokens);
    magnitude *= std::pow(100.0, layout.percents);
    magnitude /= std::pow(1000.0, layout.scaleThousands);
    const int decimals = static_cast<int>(layout.fractionPlaces.size());
    if (layout.exponentIndex >= 0) {
        int exponent = magnitude > 0 ? static_cast<int>(std::floor(std::log10(magnitude))) : 0;
        const int integerCount = std::max<int>(1, static_cast<int>(layout.integerPlaces.size()));
        // "##0.0E+0": engineering notation, exponents in steps of the integer width.
        if (integerCount > 1)
            exponent = static_cast<int>(std::floor(static_cast<double>(exponent) / integerCount)) *
                       integerCount;
        Decimal mantissa = toDecimal(magnitude / std::pow(10.0, exponent), decimals);
        if (static_cast<int>(mantissa.integer.size()) > integerCount) {
            exponent += integerCount;
            mantissa = toDecimal(magnitude / std::pow(10.0, exponent), decimals);
        }
        const bool negativeExponent = exponent < 0;
        const Token& sign = tokens[static_cast<size_t>(layout.exponentIndex)];
        QString exponentText = negativeExponent   ? QStringLiteral("-")
                               : sign.text == "+" ? QStringLiteral("+")
                                                  : QString();
        const std::string exponentDigits =
            exponent == 0 ? std::string() : std::to_string(std::abs(exponent));
        exponentText += fillInteger(exponentDigits, layout.exponentPlaces, false);
        return assemble(
            tokens, spreadInteger(mantissa.integer, layout.integerPlaces, layout.grouping),
            fillFraction(mantissa.fraction, layout.fractionPlaces), exponentText, layout);
    }
    const Decimal decimal = toDecimal(magnitude, decimals);
    return assemble(tokens, spreadInteger(decimal.integer, layout.integerPlaces, layout.grouping),
                    fillFraction(decimal.fraction, layout.fractionPlaces), {}, layout);
}

// Best numerator and denominator for a fraction part, with the denominator limited to the
// number of its placeholders (or fixed when the code names it).
std::pair<long, long> bestFraction(double fraction, int denominatorDigits, long fixedDenominator) {
    if (fixedDenominator > 0)
        return {std::lround(fraction * static_cast<double>(fixedDenominator)), fixedDenominator};
    const long maxDenominator =
        static_cast<long>(std::pow(10.0, std::max(1, denominatorDigits))) - 1;
    long bestNumerator = 0, bestDenominator = 1;
    double bestError = fraction;
    for (long d = 1; d <= maxDenominator; ++d) {
        const long n = std::lround(fraction * static_cast<double>(d));
        const double error = std::abs(fraction - static_cast<double>(n) / static_cast<double>(d));
        if (error < bestError - 1e-12) {
            bestError = error;
            bestNumerator = n;
            bestDenominator = d;
        }
    }
    return {bestNumerator, bestDenominator};
}

QString formatFractionNumber(const std::vector<Token>& tokens, double magnitude) {
    size_t slash = 0;
    while (tokens[slash].kind != TokenKind::Slash)
        ++slash;
    // The numerator is the digit group right before the bar; digits before that group, apart
    // from it by a literal, make the whole-number part.
    size_t numeratorStart = slash;
    while (numeratorStart > 0 && tokens[numeratorStart - 1].kind == TokenKind::Digit)
        --numeratorStart;
    std::vector<QChar> integerPlaces, numeratorPlaces, denominatorPlaces;
    for (size_t i = 0; i < numeratorStart; ++i)
        if (tokens[i].kind == TokenKind::Digit)
            integerPlaces.push_back(tokens[i].text[0]);
    for (size_t i = numeratorStart; i < slash; ++i)
        numeratorPlaces.push_back(tokens[i].text[0]);
    size_t afterDenominator = slash + 1;
    QString fixed;
    while (afterDenominator < tokens.size() &&
           (tokens[afterDenominator].kind == TokenKind::Digit ||
            (tokens[afterDenominator].kind == TokenKind::Literal &&
             tokens[afterDenominator].text.size() == 1 &&
             tokens[afterDenominator].text[0].isDigit()))) {
        if (tokens[afterDenominator].kind == TokenKind::Digit)
            denominatorPlaces.push_back(tokens[afterDenominator].text[0]);
        else
            fixed += tokens[afterDenominator].text;
        ++afterDenominator;
    }
    const bool hasInteger = !integerPlaces.empty();
    double whole = hasInteger ? std::floor(magnitude) : 0;
    auto [numerator, denominator] =
        bestFraction(magnitude - whole, static_cast<int>(denominatorPlaces.size()), fixed.toLong());
    if (numerator == denominator && hasInteger) {
        whole += 1;
        numerator = 0;
    }
    QString out;
    for (size_t i = 0; i < numeratorStart; ++i) {
        if (tokens[i].kind == TokenKind::Digit) {
            if (i == 0 || tokens[i - 1].kind != TokenKind::Digit) {
                const std::string digits =
                    whole > 0 ? std::to_string(static_cast<long long>(whole)) : std::string();
                out += fillInteger(digits, integerPlaces, false);
            }
        } else if (tokens[i].kind == TokenKind::Literal) {
            out += tokens[i].text;
        }
    }
    const int width =
        static_cast<int>(numeratorPlaces.size() + 1 +
                         std::max(denominatorPlaces.size(), static_cast<size_t>(fixed.size())));
    if (numerator == 0 && hasInteger) {
        if (whole == 0)
            out = out.trimmed().isEmpty() ? QStringLiteral("0") : out;
        out += QString(width, ' ');
    } else {
        const std::string numeratorDigits =
            numerator > 0 ? std::to_string(numerator) : std::string("0");
        out += fillInteger(numeratorDigits, numeratorPlaces, false) + '/';
        const QString denominatorText = fixed.isEmpty() ? QString::number(denominator) : fixed;
        out += denominatorText.leftJustified(static_cast<int>(denominatorPlaces.size()), ' ');
    }
    for (size_t i = afterDenominator; i < tokens.size(); ++i)
        if (tokens[i].kind == TokenKind::Literal)
            out += tokens[i].text;
    return out;
}

bool isFraction(const std::vector<Token>& tokens) {
    for (size_t i = 1; i + 1 < tokens.size(); ++i)
        if (tokens[i].kind == TokenKind::Slash && tokens[i - 1].kind == TokenKind::Digit)
            return true;
    return false;
}

FormattedValue formatNumberSection(const Section& section, double value, bool showSign,
                                   bool date1904) {
    if (section.isDate)
        return formatDate(section, value, date1904);
    const double magnitude = std::abs(value);
    QString body;
    bool hasGeneral = false;
    for (const Token& token : section.tokens)
        hasGeneral |= token.kind == TokenKind::General;
    if (hasGeneral || (!section.hasDigits && section.hasText)) {
        // "@" applied to a number shows it as General.
        if (!hasGeneral)
            return {formatGeneral(value), section.color, false};
        for (const Token& token : section.tokens)
            body += token.kind == TokenKind::General   ? formatGeneral(magnitude)
                    : token.kind == TokenKind::Literal ? token.text
                                                       : QString();
    } else if (!section.hasDigits) {
        for (const Token& token : section.tokens)
            if (token.kind == TokenKind::Literal)
                body += token.text;
            else if (token.kind == TokenKind::Percent)
                body += '%';
    } else if (isFraction(section.tokens)) {
        body = formatFractionNumber(section.tokens, magnitude);
    } else {
        body = formatPlainNumber(section.tokens, magnitude);
    }
    if (showSign && value < 0)
        body.prepend('-');
    return {body, section.color, false};
}

struct ParsedCode {
    std::vector<Section> sections;
};

ParsedCode parseCode(const QString& code) {
    ParsedCode parsed;
    for (const QString& part : splitSections(code))
        parsed.sections.push_back(parseSection(part));
    return parsed;
}

FormattedValue formatNumber(const ParsedCode& parsed, double value, bool date1904) {
    const std::vector<Section>& s = parsed.sections;
    const size_t numeric =
        s.size() >= 4
            ? 3
            : (s.size() > 1 && s.back().hasText && !s.back().hasDigits ? s.size() - 1 : s.size());
    if (numeric == 0)
        return {formatGeneral(value), std::nullopt, false};
    if (s[0].condition || (numeric > 1 && s[1].condition)) {
        if (s[0].condition ? s[0].condition->test(value) : value >= 0)
            return formatNumberSection(s[0], value, value < 0, date1904);
        if (numeric > 1 && (!s[1].condition || s[1].condition->test(value)))
            return formatNumberSection(s[1], value, value < 0 && !s[1].condition, date1904);
        if (numeric > 2)
            return formatNumberSection(s[2], value, value < 0, date1904);
        return {QString(), std::nullopt, true};
    }
    if (value > 0 || numeric == 1 || (value == 0 && numeric == 2))
        return formatNumberSection(s[0], value, true, date1904);
    if (value < 0)
        return formatNumberSection(s[1], value, false, date1904);
    return formatNumberSection(s[2], value, false, date1904);
}

FormattedValue formatText(const ParsedCode& parsed, const QString& text) {
    const Section* textSection = nullptr;
    if (parsed.sections.size() >= 4)
        textSection = &parsed.sections[3];
    else if (parsed.sections.back().hasText)
        textSection = &parsed.sections.back();
    if (!textSection)
        return {text, std::nullopt, false};
    QString out;
    for (const Token& token : textSection->tokens)
        if (token.kind == TokenKind::TextValue)
            out += text;
        else if (token.kind == TokenKind::Literal)
            out += token.text;
    return {out, textSection->color, false};
}

} // namespace

QString numberFormatCode(const sheet::Style& style) {
    if (!style.numberFormatCode.empty())
        return QString::fromStdString(style.numberFormatCode);
    const QString korean = koreanBuiltinCode(style.numberFormatId);
    if (!korean.isEmpty())
        return korean;
    const std::string_view builtin = sheet::builtinNumberFormatCode(style.numberFormatId);
    if (builtin.empty())
        return QStringLiteral("General");
    return QString::fromUtf8(builtin.data(), static_cast<qsizetype>(builtin.size()));
}

QString formatGeneral(double value, int maxChars) {
    if (!std::isfinite(value))
        return QStringLiteral("#NUM!");
    const double magnitude = std::abs(value);
    const QString sign = value < 0 ? QStringLiteral("-") : QString();
    if (magnitude == 0)
        return QStringLiteral("0");
    const bool tooLarge = magnitude >= std::pow(10.0, maxChars);
    const bool tooSmall =
        magnitude < 1e-9 || (maxChars > 2 && magnitude < std::pow(10.0, 2 - maxChars));
    if (!tooLarge && !tooSmall) {
        const Decimal whole = toDecimal(magnitude, 0);
        const int integerWidth = std::max<int>(1, static_cast<int>(whole.integer.size()));
        const int decimals = std::max(0, maxChars - integerWidth - 1);
        const Decimal decimal = toDecimal(magnitude, decimals);
        std::string fraction = decimal.fraction;
        fraction.erase(fraction.find_last_not_of('0') + 1);
        if (static_cast<int>(std::max<size_t>(1, decimal.integer.size())) <= maxChars) {
            QString text = QString::fromStdString(decimal.integer.empty() ? "0" : decimal.integer);
            if (!fraction.empty())
                text += '.' + QString::fromStdString(fraction);
            if (text != "0" || magnitude < 0.5)
                return sign + text;
        }
    }
    // Scientific: as many mantissa decimals as fit beside "E+xx".
    const int decimals = std::max(0, std::min(5, maxChars - 6));
    return sign + scientific(magnitude, decimals, 2, true);
}

FormattedValue formatValue(const sheet::CellValue& value, const QString& code, bool date1904) {
    const ParsedCode parsed = parseCode(code.isEmpty() ? QStringLiteral("General") : code);
    switch (value.type) {
    case sheet::CellType::Empty:
        return {};
    case sheet::CellType::Number:
        return formatNumber(parsed, value.number, date1904);
    case sheet::CellType::Text:
        return formatText(parsed, QString::fromStdString(value.text));
    case sheet::CellType::Boolean:
        return {value.number != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE"), std::nullopt,
                false};
    case sheet::CellType::Error:
        return {QString::fromStdString(value.text), std::nullopt, false};
    }
    return {};
}

} // namespace viewer
