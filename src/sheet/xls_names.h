// Defined names of a legacy .xls file: print areas and print titles go to their sheets' page
// setup, other names to the workbook.
#pragma once

#include "sheet/model.h"
#include "sheet/xls_globals.h"

#include <vector>

namespace sheet::xls {

// `worksheetOf[i]` is the workbook's sheet index for sheet i of the file's list, -1 for sheets
// that are not offered (charts, macro and dialog sheets).
void applyNames(const Globals& globals, const std::vector<int>& worksheetOf, Workbook& workbook);

// The rectangles (1-based) a print-area or print-titles formula names; empty when it holds
// anything else.
std::vector<CellRect> rectanglesOf(std::string_view tokens, Biff biff);

} // namespace sheet::xls
