// The package's index parts: relationships of a part and the content types of all parts.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace sheet {

namespace relation_types {
inline constexpr const char* kOfficeDocument =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";
inline constexpr const char* kWorksheet =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet";
inline constexpr const char* kStyles =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";
inline constexpr const char* kSharedStrings =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings";
inline constexpr const char* kHyperlink =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/hyperlink";
inline constexpr const char* kComments =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/comments";
inline constexpr const char* kVmlDrawing =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/vmlDrawing";
inline constexpr const char* kCoreProperties =
    "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties";
inline constexpr const char* kExtendedProperties =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties";
} // namespace relation_types

namespace content_types {
inline constexpr const char* kWorkbook =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml";
inline constexpr const char* kWorksheet =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";
inline constexpr const char* kStyles =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml";
inline constexpr const char* kSharedStrings =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml";
inline constexpr const char* kComments =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.comments+xml";
inline constexpr const char* kVmlDrawing =
    "application/vnd.openxmlformats-officedocument.vmlDrawing";
inline constexpr const char* kRelationships =
    "application/vnd.openxmlformats-package.relationships+xml";
inline constexpr const char* kCoreProperties =
    "application/vnd.openxmlformats-package.core-properties+xml";
inline constexpr const char* kExtendedProperties =
    "application/vnd.openxmlformats-officedocument.extended-properties+xml";
} // namespace content_types

inline constexpr const char* kXmlDeclaration =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";

// The relationships of one source part, numbered rId1, rId2, ... in the order added.
class Relationships {
public:
    // Returns the new relationship's id. `target` is relative to the source part's folder, or
    // an address when `external`.
    std::string add(const std::string& type, const std::string& target, bool external = false);
    // Adds with a given id (carried parts keep the ids their bytes refer to).
    void addWithId(const std::string& id, const std::string& type, const std::string& target,
                   bool external);
    bool empty() const { return entries_.empty(); }
    std::string xml() const;

private:
    struct Entry {
        std::string id, type, target;
        bool external = false;
    };
    std::vector<Entry> entries_;
};

class ContentTypes {
public:
    ContentTypes();
    // `partName` without the leading slash ("xl/workbook.xml").
    void addOverride(const std::string& partName, const std::string& contentType);
    std::string xml() const;

private:
    std::map<std::string, std::string> defaults_;
    std::vector<std::pair<std::string, std::string>> overrides_;
};

// "xl/worksheets/_rels/sheet1.xml.rels" for "xl/worksheets/sheet1.xml".
std::string relationshipsPartOf(const std::string& partName);

// The target of a relationship from `fromPart` to `toPart`, relative to fromPart's folder
// ("../drawings/drawing1.xml").
std::string relativeTarget(const std::string& fromPart, const std::string& toPart);

} // namespace sheet
