// Reading legacy .xls files (BIFF5, BIFF7 and BIFF8 in a compound file) into the workbook model.
#pragma once

#include "sheet/model.h"
#include "sheet/zip_archive.h"

#include <memory>
#include <string>
#include <string_view>

namespace sheet {

// Values, formula texts with their cached results, styles, merges, widths and heights, views,
// page setup and defined names of every worksheet (chart, macro and dialog sheets are left out).
// Dates stay serial numbers of the file's date system. Throws FileError naming `path`:
// encrypted, damaged, too old (before BIFF5) or too large.
std::unique_ptr<Workbook> readXls(const std::string& path, const ReadLimits& limits = {});
// The same for a file's bytes already in memory; `path` only names it in messages.
std::unique_ptr<Workbook> readXlsBytes(std::string_view bytes, const std::string& path,
                                       const ReadLimits& limits = {});

// The same for the workbook stream itself, taken out of its container.
std::unique_ptr<Workbook> readXlsStream(std::string_view stream, const std::string& path);

} // namespace sheet
