// Writing the workbook model as an .xlsx file.
#pragma once

#include "sheet/model.h"

#include <functional>
#include <string>
#include <string_view>

namespace sheet {

struct XlsxWriteOptions {
    // 1 (fastest) to 9 (smallest), as zlib counts; where ISA-L compresses the sheets, its
    // levels 1 to 3 stand for them (see chunk_deflater.h). Level 1 is the fastest for a file
    // a little larger.
    int deflateLevel = 1;
    // Text in one shared table (smaller files, the usual layout) or inline in each cell.
    bool sharedStrings = true;
    // Threads that make the rows of a large sheet: 0 one per core, 1 only the sheet's own.
    unsigned rowThreads = 0;
    // Called as each part starts being written; may throw to make the write fail there.
    std::function<void(std::string_view part)> beforePart;
};

// Writes beside `path` first, then renames into place; throws FileError naming `path` (or the
// exception `beforePart` threw), and leaves neither a half-written target nor the temporary
// file behind. Sheet data goes into the package row by row as it is compressed.
void writeXlsx(const Workbook& workbook, const std::string& path,
               const XlsxWriteOptions& options = {});

} // namespace sheet
