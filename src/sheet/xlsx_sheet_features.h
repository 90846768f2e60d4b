// What a worksheet part holds besides its cells, columns and merges: the window's view, the
// print layout (header and footer, centring, page order, page breaks, paper), conditional
// formats, data validation and hyperlinks.
#pragma once

#include "sheet/model.h"
#include "sheet/xlsx_package_paths.h"
#include "sheet/xlsx_styles_reader.h"

#include <pugixml.hpp>
#include <string_view>
#include <vector>

namespace sheet {

struct SheetFeatureSources {
    const ColorResolver& colors;
    const std::vector<DifferentialStyle>& differentialStyles; // the styles part's dxfs
    const std::vector<PackageRelation>& relations;            // the worksheet's relationships
};

// Reads the features of the <worksheet> element into `sheet`. Unreadable references and values
// out of range are left out, never guessed.
void readSheetFeatures(pugi::xml_node worksheet, const SheetFeatureSources& sources,
                       Worksheet& sheet);

// "A1:B2 D4" -> its rectangles; malformed pieces are left out.
std::vector<CellRect> parseRectList(std::string_view text);

} // namespace sheet
