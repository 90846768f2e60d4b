// The cells of a worksheet part, read as a stream straight into the model: a sheet's cell data
// can be far larger than everything else in its part, and a document tree of it would take
// many times its size.
#pragma once

#include "sheet/model.h"
#include "sheet/xlsx_rich_text.h"

#include <string>
#include <vector>

namespace sheet {

// What the cells of a worksheet refer to outside their part.
struct SheetDataContext {
    const std::string& path; // the file, for messages
    const std::string& part; // the worksheet part, for messages
    const SharedStrings& strings;
    const ColorResolver& colors;           // for the fonts of rich-text runs
    const std::vector<int>& styleOfFormat; // model style of each cell format; never empty
    bool date1904 = false;
    // Cells the workbook may still hold; a file holding more than its size can account for
    // is refused rather than filling memory.
    long& cellsLeft;
};

// Reads the rows and cells of every <sheetData> of the worksheet part `text` into `sheet` and
// returns the part with those elements left empty, small enough to be read as a document tree.
// Throws FileError when the cell data is malformed or out of range.
std::string readSheetData(std::string text, const SheetDataContext& context, Worksheet& sheet);

// The items of a shared-strings part, at most `itemsAllowed` of them. Throws FileError.
SharedStrings readSharedStrings(const std::string& text, const std::string& path,
                                const std::string& part, long itemsAllowed,
                                const ColorResolver& colors);

// True for the error values a cell may hold ("#DIV/0!", "#N/A", ...).
bool isKnownErrorValue(std::string_view code);

} // namespace sheet
