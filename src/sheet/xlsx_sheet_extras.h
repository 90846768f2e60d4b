// Everything of a worksheet part the cell reader leaves: features, notes and carried parts.
#pragma once

#include "sheet/model.h"
#include "sheet/xlsx_carried_parts.h"
#include "sheet/xlsx_styles_reader.h"

#include <pugixml.hpp>
#include <string>
#include <vector>

namespace sheet {

class ZipArchive;

struct WorkbookSources {
    ZipArchive& zip;
    const ColorResolver& colors;
    const std::vector<DifferentialStyle>& differentialStyles;
    PartCarrier& carrier;
};

// Reads the features, notes and carried parts of the worksheet part `sheetPart`, whose root
// element is `worksheet`. Throws FileError when a part it needs is malformed.
void readSheetExtras(pugi::xml_node worksheet, const std::string& sheetPart,
                     const WorkbookSources& sources, Worksheet& sheet);

} // namespace sheet
