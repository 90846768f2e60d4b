// Writing the workbook model as an .xlsx file.
#pragma once

#include "sheet/model.h"

#include <string>

namespace sheet {

// Writes beside `path` first, then renames into place; throws FileError naming `path`, and
// leaves neither a half-written target nor the temporary file behind.
void writeXlsx(const Workbook& workbook, const std::string& path);

} // namespace sheet
