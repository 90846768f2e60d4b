// One XML part of a workbook, parsed in place, with lookups that ignore namespace prefixes.
#pragma once

#include <optional>
#include <pugixml.hpp>
#include <string>
#include <string_view>

namespace sheet {

class XmlPart {
public:
    // Parses `text` in place. Throws FileError naming `path` and `partName` when the XML is
    // malformed or declares a DOCTYPE (and with it entities).
    XmlPart(std::string text, const std::string& path, const std::string& partName);
    XmlPart(const XmlPart&) = delete;
    XmlPart& operator=(const XmlPart&) = delete;

    pugi::xml_node root() const { return doc_.document_element(); }

private:
    std::string buffer_;
    pugi::xml_document doc_;
};

// The element's name without its namespace prefix.
std::string_view localName(pugi::xml_node node);
bool isNamed(pugi::xml_node node, std::string_view name);
// The first child element with this local name, or an empty node.
pugi::xml_node childNamed(pugi::xml_node node, std::string_view name);

// An attribute by local name ("r:id" is found as "id" too when `name` is "r:id" or "id").
pugi::xml_attribute attributeNamed(pugi::xml_node node, std::string_view name);
std::string_view attributeText(pugi::xml_node node, std::string_view name);
std::optional<double> attributeNumber(pugi::xml_node node, std::string_view name);
std::optional<long> attributeInteger(pugi::xml_node node, std::string_view name);
// "1" or "true" is true; absent gives `absent`.
bool attributeFlag(pugi::xml_node node, std::string_view name, bool absent);

// A finite number; nullopt for anything else, NaN and infinities included.
std::optional<double> parseNumber(std::string_view text);
// An integer within +-2e9 ("7", also "7.0"); nullopt for fractions, NaN and larger numbers.
std::optional<long> parseInteger(std::string_view text);

// Decodes the _xHHHH_ escapes other writers use for control characters in text.
std::string decodeEscapes(std::string_view text);

} // namespace sheet
