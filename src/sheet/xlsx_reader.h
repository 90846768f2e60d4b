// Reading .xlsx, .xlsm, .xltx and .xltm files into the workbook model.
#pragma once

#include "sheet/model.h"
#include "sheet/zip_archive.h"

#include <memory>
#include <string>

namespace sheet {

// Throws FileError naming `path` when the file cannot be read.
std::unique_ptr<Workbook> readXlsx(const std::string& path, const ReadLimits& limits = {});
// The same for a file already read whole into `bytes`; `path` names it in messages and is read
// again only where the bytes are no zip libzip takes.
std::unique_ptr<Workbook> readXlsxFromBytes(const std::string& path, std::string bytes,
                                            const ReadLimits& limits = {});

// A column width as stored in the file (character width plus cell padding, in units of the
// default font's digit) as the character count the application shows and takes.
double characterWidthOf(double fileWidth);

} // namespace sheet
