#include "engine/sheet_extent.h"

#include "sheet/model.h"

#include <string>
#include <variant>

namespace engine {

namespace {

// Lower-case letters of a column number, as the reference text of the bottom cell is built.
std::string lowerColumnLetters(long column) {
    std::string letters;
    while (column > 0) {
        letters.insert(letters.begin(), static_cast<char>('a' + (column - 1) % 26));
        column = (column - 1) / 26;
    }
    return letters;
}

int lastLine(sheet::IWorksheet& sheet, long column) {
    // An empty text or one beyond the last column is refused by Range, like any bad reference.
    std::string bottom = lowerColumnLetters(column) + std::to_string(sheet::kMaxRows);
    if (column < 1)
        bottom = std::to_string(column) + std::to_string(sheet::kMaxRows);
    sheet::RangePtr cell = sheet.Range(bottom);
    // From a filled bottom cell, End(up) would stop at the top of its run; the bottom cell
    // itself is then the last used one.
    if (!std::holds_alternative<std::monostate>(cell->Value()))
        return static_cast<int>(sheet::kMaxRows);
    return static_cast<int>(cell->End(sheet::XlDirection::Up)->Row());
}

} // namespace

int GetLastLine1(sheet::IWorksheet& ResultSheet, long AColumn) {
    return lastLine(ResultSheet, AColumn);
}

int GetLastLine2(sheet::IWorksheet& SourceSheet, long AColumn) {
    return lastLine(SourceSheet, AColumn);
}

} // namespace engine
