#include "sheet/number_formats.h"

#include "sheet/model.h"

#include <array>

namespace sheet {

namespace {

struct BuiltinFormat {
    int id;
    std::string_view code;
};

constexpr std::array<BuiltinFormat, 28> kBuiltinFormats{{
    {0, "General"},
    {1, "0"},
    {2, "0.00"},
    {3, "#,##0"},
    {4, "#,##0.00"},
    {9, "0%"},
    {10, "0.00%"},
    {11, "0.00E+00"},
    {12, "# ?/?"},
    {13, "# ?\?/??"},
    {14, "mm-dd-yy"},
    {15, "d-mmm-yy"},
    {16, "d-mmm"},
    {17, "mmm-yy"},
    {18, "h:mm AM/PM"},
    {19, "h:mm:ss AM/PM"},
    {20, "h:mm"},
    {21, "h:mm:ss"},
    {22, "m/d/yy h:mm"},
    {37, "#,##0 ;(#,##0)"},
    {38, "#,##0 ;[Red](#,##0)"},
    {39, "#,##0.00;(#,##0.00)"},
    {40, "#,##0.00;[Red](#,##0.00)"},
    {45, "mm:ss"},
    {46, "[h]:mm:ss"},
    {47, "mmss.0"},
    {48, "##0.0E+0"},
    {49, "@"},
}};

} // namespace

std::string_view builtinNumberFormatCode(int id) {
    for (const BuiltinFormat& format : kBuiltinFormats)
        if (format.id == id)
            return format.code;
    return {};
}

bool isDateFormatId(int id) {
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
           (id >= 50 && id <= 58);
}

bool isDateFormatCode(std::string_view code) {
    bool quoted = false;
    int bracketDepth = 0;
    for (size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (quoted) {
            quoted = c != '"';
            continue;
        }
        if (c == '"') {
            quoted = true;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i; // the next character is literal or padding
        } else if (c == '[') {
            // [h], [mm] and [ss] are elapsed-time codes; colours and conditions are not dates.
            if (i + 1 < code.size() &&
                (code[i + 1] == 'h' || code[i + 1] == 'H' || code[i + 1] == 'm' ||
                 code[i + 1] == 'M' || code[i + 1] == 's' || code[i + 1] == 'S'))
                return true;
            ++bracketDepth;
        } else if (c == ']') {
            bracketDepth = bracketDepth > 0 ? bracketDepth - 1 : 0;
        } else if (bracketDepth == 0) {
            switch (c) {
            case 'y':
            case 'Y':
            case 'd':
            case 'D':
            case 'h':
            case 'H':
            case 'm':
            case 'M':
            case 's':
            case 'S':
                return true;
            default:
                break;
            }
        }
    }
    return false;
}

bool isDateFormat(const Style& style) {
    if (!style.numberFormatCode.empty())
        return isDateFormatCode(style.numberFormatCode);
    return isDateFormatId(style.numberFormatId);
}

} // namespace sheet
