// The workbook stream inside a legacy .xls compound file.
#pragma once

#include "sheet/zip_archive.h"

#include <string>
#include <string_view>

namespace sheet {

// The bytes of the "Workbook" stream (or "Book" for files of the 1990s), names compared without
// regard to case. `path` names the file in messages. Throws FileError: encrypted (an encrypted
// .xlsx travels in this container too), damaged container, no workbook stream, stream too large.
std::string readXlsWorkbookStream(const std::string& path, const ReadLimits& limits);
std::string readXlsWorkbookStream(std::string_view bytes, const std::string& path,
                                  const ReadLimits& limits);

} // namespace sheet
