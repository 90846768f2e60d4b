// Parts carried from the packages the workbook came from (drawings, charts, pictures, tables,
// controls, the theme): each written under a fresh name with its relationships re-aimed, so
// that two sheets carrying copies of one drawing get a drawing each.
#pragma once

#include "sheet/model.h"
#include "sheet/xlsx_package_index.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace sheet {

class PackageWriter;

// Fresh part names: "xl/drawings/drawing3.xml" after drawing1 and drawing2 are taken.
class PartNames {
public:
    // Marks a name as taken by a part the writer makes itself.
    void reserve(const std::string& name) { taken_.insert(name); }
    // A free name in the folder of `like` with its stem and extension and the lowest number.
    std::string fresh(const std::string& like);

private:
    std::set<std::string> taken_;
    std::map<std::string, long> next_;
};

class CarriedParts {
public:
    CarriedParts(PartNames& names, ContentTypes& types) : names_(names), types_(types) {}

    // The name `part` is written under within `scope` (a sheet's number, 0 for the workbook):
    // the same part carried twice within one scope is written once, in two scopes twice.
    std::string carry(const std::shared_ptr<const PackagePart>& part, int scope);
    // Adds every carried part and its relationships to the package.
    void writeTo(PackageWriter& package) const;

private:
    struct Written {
        std::string name;
        std::shared_ptr<const PackagePart> part;
        Relationships relations;
    };

    PartNames& names_;
    ContentTypes& types_;
    std::map<std::pair<int, const PackagePart*>, std::size_t> byPart_;
    std::vector<Written> written_;
};

} // namespace sheet
