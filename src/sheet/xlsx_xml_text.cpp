#include "sheet/xlsx_xml_text.h"

#include <charconv>
#include <cmath>

namespace sheet {

namespace {

enum class Place { Cell, Element, Attribute };

constexpr char32_t kInvalid = 0xFFFFFFFF;
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

struct Decoded {
    char32_t codePoint = kInvalid;
    std::size_t length = 1;
};

// One UTF-8 sequence at `at`; overlong forms, surrogates and values past U+10FFFF are invalid.
Decoded decodeAt(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    char32_t value = 0;
    char32_t smallest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, value = lead & 0x1F, smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, value = lead & 0x0F, smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, value = lead & 0x07, smallest = 0x10000;
    } else {
        return {};
    }
    if (at + length > text.size())
        return {};
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return {};
        value = value << 6 | (byte(i) & 0x3F);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return {};
    return {value, length};
}

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// "_xHHHH_" at `at`, which a reader would take for an escape.
bool looksLikeEscape(std::string_view text, std::size_t at) {
    if (at + 7 > text.size() || text[at + 1] != 'x' || text[at + 6] != '_')
        return false;
    for (std::size_t i = 2; i < 6; ++i)
        if (!isHexDigit(text[at + i]))
            return false;
    return true;
}

void appendEscape(std::string& out, unsigned value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out += "_x";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += kDigits[(value >> shift) & 0xF];
    out += '_';
}

void appendWhitespace(std::string& out, char c, Place place) {
    if (place != Place::Attribute) {
        out += c;
        return;
    }
    out += c == '\t' ? "&#9;" : c == '\n' ? "&#10;" : "&#13;";
}

// Control characters XML cannot hold: escaped in cell text, dropped elsewhere.
void appendControl(std::string& out, unsigned value, Place place) {
    if (place == Place::Cell)
        appendEscape(out, value);
}

void appendAscii(std::string& out, std::string_view text, std::size_t at, Place place) {
    const char c = text[at];
    switch (c) {
    case '&':
        out += "&amp;";
        return;
    case '<':
        out += "&lt;";
        return;
    case '>':
        out += "&gt;";
        return;
    case '"':
        out += place == Place::Attribute ? "&quot;" : "\"";
        return;
    case '\t':
    case '\n':
    case '\r':
        appendWhitespace(out, c, place);
        return;
    case '_':
        if (place == Place::Cell && looksLikeEscape(text, at))
            out += "_x005F";
        out += '_';
        return;
    default:
        if (static_cast<unsigned char>(c) < 0x20)
            appendControl(out, static_cast<unsigned char>(c), place);
        else
            out += c;
    }
}

bool needsCare(unsigned char c) {
    return c < 0x20 || c >= 0x80 || c == '&' || c == '<' || c == '>' || c == '"' || c == '_';
}

void appendEscaped(std::string& out, std::string_view text, Place place) {
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t plain = at;
        while (plain < text.size() && !needsCare(static_cast<unsigned char>(text[plain])))
            ++plain;
        out.append(text.data() + at, plain - at);
        at = plain;
        if (at == text.size())
            return;
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            appendAscii(out, text, at, place);
            ++at;
            continue;
        }
        const Decoded decoded = decodeAt(text, at);
        if (decoded.codePoint == kInvalid)
            out += kReplacement;
        else if (decoded.codePoint == 0xFFFE || decoded.codePoint == 0xFFFF)
            appendControl(out, decoded.codePoint, place);
        else
            out.append(text.data() + at, decoded.length);
        at += decoded.length;
    }
}

} // namespace

void appendCellText(std::string& out, std::string_view text) {
    appendEscaped(out, text, Place::Cell);
}

void appendElementText(std::string& out, std::string_view text) {
    appendEscaped(out, text, Place::Element);
}

void appendAttribute(std::string& out, std::string_view text) {
    appendEscaped(out, text, Place::Attribute);
}

void appendAttribute(std::string& out, std::string_view name, std::string_view value) {
    out += ' ';
    out += name;
    out += "=\"";
    appendEscaped(out, value, Place::Attribute);
    out += '"';
}

void appendAttribute(std::string& out, std::string_view name, long value) {
    out += ' ';
    out += name;
    out += "=\"";
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
    out += '"';
}

void appendAttribute(std::string& out, std::string_view name, double value) {
    out += ' ';
    out += name;
    out += "=\"";
    appendNumber(out, value);
    out += '"';
}

char* writeNumber(char* at, double value) {
    if (!std::isfinite(value) || value == 0) {
        *at = '0'; // also for -0, which some readers refuse
        return at + 1;
    }
    // Whole numbers, the most common by far, as integers: faster than the shortest form of a
    // double, and written as spreadsheet programs write them (100000, not 1e+05).
    constexpr double kExactWholeLimit = 1e15;
    if (std::fabs(value) < kExactWholeLimit && value == std::trunc(value))
        return std::to_chars(at, at + kNumberTextBytes, static_cast<long long>(value)).ptr;
    return std::to_chars(at, at + kNumberTextBytes, value).ptr;
}

void appendNumber(std::string& out, double value) {
    char buffer[kNumberTextBytes];
    out.append(buffer, writeNumber(buffer, value));
}

std::string_view firstCharacters(std::string_view text, std::size_t characters) {
    std::size_t at = 0;
    for (std::size_t counted = 0; counted < characters && at < text.size(); ++counted) {
        const unsigned char lead = static_cast<unsigned char>(text[at]);
        at += lead < 0x80 ? 1 : decodeAt(text, at).length;
    }
    return text.substr(0, at);
}

std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); ++count) {
        const unsigned char lead = static_cast<unsigned char>(text[at]);
        at += lead < 0x80 ? 1 : decodeAt(text, at).length;
    }
    return count;
}

} // namespace sheet
