// Part names inside an .xlsx package: the relationships part of a part, and relationship
// targets resolved against the folder of the part that names them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sheet {

class ZipArchive;

// "xl/worksheets/sheet1.xml" -> "xl/worksheets/_rels/sheet1.xml.rels".
std::string relationshipsPartName(const std::string& part);

// "xl/worksheets/" + "../drawings/d1.xml" -> "xl/drawings/d1.xml"; "/xl/x.xml" -> "xl/x.xml".
std::string resolvePartTarget(const std::string& folder, std::string_view target);

// The folder of a part name with its trailing '/', empty at the package root.
std::string partFolder(const std::string& part);

// One relationship of a part. `target` is a resolved part name, or the address as written when
// the relationship is external.
struct PackageRelation {
    std::string id;
    std::string type;
    std::string target;
    bool external = false;
};

// The relationships of `part`; empty when it has none. Throws FileError when the
// relationships part is malformed.
std::vector<PackageRelation> readPackageRelations(ZipArchive& zip, const std::string& part);

// True when the relationship type URI ends in "/<kind>" ("…/relationships/drawing").
bool relationTypeIs(std::string_view type, std::string_view kind);

} // namespace sheet
