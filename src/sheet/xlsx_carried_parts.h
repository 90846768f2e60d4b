// Package parts the model does not interpret (drawings, charts, pictures, tables, form
// controls), taken from an .xlsx package as bytes with the parts they refer to, so that a writer
// can carry them into another package.
#pragma once

#include "sheet/model.h"
#include "sheet/xlsx_package_paths.h"

#include <map>
#include <memory>
#include <pugixml.hpp>
#include <set>
#include <string>
#include <vector>

namespace sheet {

class ZipArchive;

// The most parts one package may carry; a sound workbook holds far fewer.
constexpr size_t kMaxCarriedParts = 20000;

// Takes parts out of one package. A part reached twice (one picture shown on two sheets) is
// taken once and shared.
class PartCarrier {
public:
    explicit PartCarrier(ZipArchive& zip);

    // The part with every part it refers to, followed recursively; null when the package lacks
    // it. A relationship leading back to a part being taken is left out. Throws FileError when
    // the package holds more than kMaxCarriedParts parts to carry or a part cannot be read.
    std::shared_ptr<const PackagePart> carry(const std::string& name);

private:
    void readContentTypes();
    std::string contentTypeOf(const std::string& name) const;

    ZipArchive& zip_;
    bool contentTypesRead_ = false;
    std::map<std::string, std::string> defaults_;  // extension (lower case) -> content type
    std::map<std::string, std::string> overrides_; // part name (lower case) -> content type
    std::map<std::string, std::shared_ptr<const PackagePart>> taken_;
    std::set<std::string> inProgress_;
};

// The sheet elements that name carried parts (drawing, legacyDrawing, legacyDrawingHF, picture,
// tablePart, control, oleObject), added to `sheet.attachments` in the sheet's order. The legacy
// drawing of a sheet with notes is left out: it only draws the notes, which are written anew from
// the model.
void readSheetAttachments(pugi::xml_node worksheet, const std::vector<PackageRelation>& relations,
                          PartCarrier& carrier, Worksheet& sheet);

} // namespace sheet
