#include "sheet/xml_part.h"

#include "sheet/file_error.h"
#include "sheet/io_messages.h"

#include <charconv>
#include <cmath>

namespace sheet {

namespace {

// Integers of a part (indexes, row and column numbers, counts) stay well inside this.
constexpr double kIntegerBound = 2e9;

// parse_eol turns CR LF and a lone CR into LF, as every XML reader must.
constexpr unsigned kParseOptions = pugi::parse_cdata | pugi::parse_escapes | pugi::parse_eol |
                                   pugi::parse_ws_pcdata_single | pugi::parse_doctype;

bool hasDoctype(const pugi::xml_document& doc) {
    for (pugi::xml_node node = doc.first_child(); node; node = node.next_sibling())
        if (node.type() == pugi::node_doctype)
            return true;
    return false;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void appendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

} // namespace

XmlPart::XmlPart(std::string text, const std::string& path, const std::string& partName)
    : buffer_(std::move(text)) {
    const pugi::xml_parse_result result = doc_.load_buffer_inplace(
        buffer_.data(), buffer_.size(), kParseOptions, pugi::encoding_auto);
    if (!result)
        throwFileError(path, io_messages::kMalformedXml,
                       partName + ": " + result.description() + " @" +
                           std::to_string(result.offset));
    if (hasDoctype(doc_))
        throwFileError(path, io_messages::kDoctype, partName);
    if (!root())
        throwFileError(path, io_messages::kMalformedXml, partName);
}

std::string_view localName(pugi::xml_node node) {
    std::string_view name = node.name();
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

bool isNamed(pugi::xml_node node, std::string_view name) {
    return localName(node) == name;
}

pugi::xml_node childNamed(pugi::xml_node node, std::string_view name) {
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_element && localName(child) == name)
            return child;
    return {};
}

pugi::xml_attribute attributeNamed(pugi::xml_node node, std::string_view name) {
    const size_t colon = name.find(':');
    const std::string_view wanted = colon == std::string_view::npos ? name : name.substr(colon + 1);
    for (pugi::xml_attribute attribute = node.first_attribute(); attribute;
         attribute = attribute.next_attribute()) {
        std::string_view attributeName = attribute.name();
        if (attributeName == name)
            return attribute;
        const size_t at = attributeName.find(':');
        if (at != std::string_view::npos && attributeName.substr(at + 1) == wanted &&
            attributeName.substr(0, 5) != "xmlns")
            return attribute;
    }
    return {};
}

std::string_view attributeText(pugi::xml_node node, std::string_view name) {
    return attributeNamed(node, name).value();
}

namespace {

// Digits only, few enough to be exact in a double and in a long; nullopt for anything else.
std::optional<long> plainDigits(std::string_view text) {
    constexpr std::size_t kMostDigits = 15;
    if (text.empty() || text.size() > kMostDigits)
        return std::nullopt;
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

std::optional<double> parseNumber(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '+'))
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (text.empty())
        return std::nullopt;
    // Most numbers in a sheet are small whole ones, read faster than by the general parse.
    const bool negative = text.front() == '-';
    if (auto whole = plainDigits(negative ? text.substr(1) : text))
        return negative ? -static_cast<double>(*whole) : static_cast<double>(*whole);
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<long> parseInteger(std::string_view text) {
    if (auto whole = plainDigits(text))
        return whole;
    if (text.empty())
        return std::nullopt;
    long value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc() && end == text.data() + text.size())
        return value;
    // Some writers put "1.0" where an integer belongs; a fraction, NaN or a number past what
    // any index of a file can be is no integer.
    auto number = parseNumber(text);
    if (!number || *number < -kIntegerBound || *number > kIntegerBound ||
        *number != std::trunc(*number))
        return std::nullopt;
    return static_cast<long>(*number);
}

std::optional<double> attributeNumber(pugi::xml_node node, std::string_view name) {
    pugi::xml_attribute attribute = attributeNamed(node, name);
    if (!attribute)
        return std::nullopt;
    return parseNumber(attribute.value());
}

std::optional<long> attributeInteger(pugi::xml_node node, std::string_view name) {
    pugi::xml_attribute attribute = attributeNamed(node, name);
    if (!attribute)
        return std::nullopt;
    return parseInteger(attribute.value());
}

bool attributeFlag(pugi::xml_node node, std::string_view name, bool absent) {
    pugi::xml_attribute attribute = attributeNamed(node, name);
    if (!attribute)
        return absent;
    std::string_view value = attribute.value();
    return value == "1" || value == "true" || value == "on";
}

std::string decodeEscapes(std::string_view text) {
    if (text.find("_x") == std::string_view::npos)
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '_' && i + 6 < text.size() && text[i + 1] == 'x' && text[i + 6] == '_') {
            unsigned code = 0;
            bool hex = true;
            for (size_t k = i + 2; k < i + 6 && hex; ++k) {
                const int digit = hexValue(text[k]);
                hex = digit >= 0;
                code = code * 16 + static_cast<unsigned>(digit);
            }
            if (hex) {
                appendUtf8(out, code);
                i += 6;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

} // namespace sheet
