// Copying a whole worksheet, inside one workbook or into another one.
#pragma once

#include "sheet/model.h"

#include <memory>

namespace sheet::embedded {

// A copy of `sheet` of `from` for the workbook `to`: values, formulas, styles (re-mapped into
// the style table of `to`), widths, heights, merges, page setup, zoom and protection. Its name
// is free in `to` ("Name (2)" when the name is taken).
std::unique_ptr<Worksheet> copyWorksheet(const Workbook& from, const Worksheet& sheet,
                                         Workbook& to);

} // namespace sheet::embedded
