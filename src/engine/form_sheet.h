// What the form check reads of a worksheet: every cell that holds something, as text, and the
// merged ranges. Plain C++: the comparison never touches Qt or the object layer.
#pragma once

#include "sheet/model.h"

#include <string>
#include <vector>

namespace engine::form {

// A label is text; everything else a cell can hold (numbers, dates, booleans, errors) is a
// value, which the form check never compares.
enum class CellKind { Label, Value };

struct FormCell {
    long row = 0;
    long column = 0;
    CellKind kind = CellKind::Value;
    std::string text; // a label trimmed of blanks; a value as shown ("12.5", "TRUE", "#N/A")
};

class FormSheet {
public:
    FormSheet() = default;
    // Takes the cells and merges of a worksheet. Text cells that are blank after trimming count
    // as empty.
    static FormSheet of(const sheet::Worksheet& worksheet);

    // The cell at a position, or nullptr when it is empty.
    const FormCell* at(long row, long column) const;
    // Cells in row order, then column order.
    const std::vector<FormCell>& cells() const { return cells_; }
    const std::vector<sheet::CellRect>& merges() const { return merges_; }
    // The nearest label left of `column` in `row`; nullptr when none.
    const FormCell* labelLeftOf(long row, long column) const;

private:
    std::vector<FormCell> cells_;
    std::vector<sheet::CellRect> merges_;
};

// "A1:P6"-style text of a rectangle, "C5" for a single cell.
std::string rangeText(const sheet::CellRect& rect);

} // namespace engine::form
