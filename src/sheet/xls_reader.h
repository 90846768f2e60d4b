// Reading legacy .xls files (BIFF) into the workbook model: values only.
#pragma once

#include "sheet/model.h"
#include "sheet/zip_archive.h"

#include <memory>
#include <string>

namespace sheet {

// Numbers, text and booleans as values; dates and times as serial numbers with a built-in
// date or time format. Formats, widths and merges are not available from the reader.
// Throws FileError naming `path`.
std::unique_ptr<Workbook> readXls(const std::string& path, const ReadLimits& limits = {});

} // namespace sheet
