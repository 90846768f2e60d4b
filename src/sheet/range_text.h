// A1 range texts as the object layer accepts them: a cell (A1, $A$1), a block (A1:B2),
// whole rows (7:15) and whole columns (A:C), in any case.
#pragma once

#include "sheet/model.h"

#include <optional>
#include <string>

namespace sheet::embedded {

enum class AreaKind { Cells, Rows, Columns, Sheet };

// A part of one worksheet. Rows, Columns and Sheet areas span the whole width or height.
struct CellArea {
    AreaKind kind = AreaKind::Cells;
    CellRect rect;

    static CellArea cell(long row, long column);
    static CellArea rows(long first, long last);
    static CellArea columns(long first, long last);
    static CellArea wholeSheet();
    long rowCount() const { return rect.lastRow - rect.firstRow + 1; }
    long columnCount() const { return rect.lastColumn - rect.firstColumn + 1; }
    bool operator==(const CellArea&) const = default;
};

// Column letters of a column number 1..16384 (1 = A, 27 = AA, 16384 = XFD).
std::string columnLetters(long column);
// Column number of letters in any case, or 0 when they name no column of a sheet.
long columnNumber(const std::string& letters);

// The area a range text names, or nothing when the text is no range text.
std::optional<CellArea> parseRangeText(const std::string& text);

// "A1" or "A1:B2" for a block; "7:15" and "A:C" for rows and columns.
std::string rangeTextOf(const CellArea& area);

} // namespace sheet::embedded
