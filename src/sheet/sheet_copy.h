// Copying a whole worksheet, inside one workbook or into another one.
#pragma once

#include "sheet/model.h"

#include <memory>

namespace sheet::embedded {

// A copy of `sheet` of `from` for the workbook `to` holding everything the sheet holds: cells
// with their rich text, styles (re-mapped into the style table of `to`), sizes, hidden rows and
// columns, merges, page setup, view, protection, conditional formats, validation, notes,
// hyperlinks and carried parts (shared, never copied byte by byte). Its name is free in `to`
// ("Name (2)" when the name is taken). Defined names are copyNamesWithSheet's job.
std::unique_ptr<Worksheet> copyWorksheet(const Workbook& from, const Worksheet& sheet,
                                         Workbook& to);

} // namespace sheet::embedded
