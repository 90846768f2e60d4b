// Reading and writing workbook files.
#pragma once

#include "sheet/automation.h"
#include "sheet/model.h"

#include <memory>
#include <string>

namespace sheet {

// A file that cannot be read or written. The message names the file and the reason.
class FileError : public AutomationError {
public:
    using AutomationError::AutomationError;
};

// Reads .xlsx, .xlsm, .xltx, .xltm (full fidelity) and legacy .xls (BIFF5 to BIFF8), chosen by
// the file's content, not its name. Throws FileError.
std::unique_ptr<Workbook> readWorkbook(const std::string& path);

// Writes the workbook as .xlsx at `path`: beside it first, then renamed into place, so a
// failed save never leaves a half-written file. Throws FileError.
void writeWorkbook(const Workbook& workbook, const std::string& path);
struct XlsxWriteOptions;
void writeWorkbook(const Workbook& workbook, const std::string& path,
                   const XlsxWriteOptions& options);

} // namespace sheet
