// Lining up a workbook's sheet with the form when rows or columns were inserted or deleted at
// one place: the labels of every row (and of every column) are matched at each offset, and the
// place and offset that explain the most labels win.
#pragma once

#include "engine/form_sheet.h"

#include <optional>
#include <vector>

namespace engine::form {

// Rows (or columns) inserted into the workbook after line `after` of the form (count > 0), or
// the form's lines after `after` deleted from it (count < 0). `after` 0 means at the very top.
struct Shift {
    long after = 0;
    long count = 0;
    bool operator==(const Shift&) const = default;
};

// The line numbers of one axis in the form and in the workbook, one shift apart at most.
class AxisMap {
public:
    AxisMap() = default;
    explicit AxisMap(std::optional<Shift> shift) : shift_(shift) {}

    const std::optional<Shift>& shift() const { return shift_; }
    // The workbook's line for a line of the form; nullopt for a deleted line.
    std::optional<long> toBook(long formLine) const;
    // The form's line for a line of the workbook; nullopt for an inserted line.
    std::optional<long> toForm(long bookLine) const;

private:
    std::optional<Shift> shift_;
};

struct Alignment {
    AxisMap rows;
    AxisMap columns;
};

// The labels of every line, each text given as a number; index 0 stays empty.
using LineLabels = std::vector<std::vector<int>>;

// Shifts of at most this many lines are looked for (fewer on sheets of many thousand lines).
inline constexpr long kMaxShift = 64;

// The single shift that lines up more labels than no shift at all, or nullopt. Among equally
// good shifts the smaller count and then the earlier place win.
std::optional<Shift> findShift(const LineLabels& form, const LineLabels& book);

// Rows are matched by the labels they hold whatever their columns, and columns whatever their
// rows, so a row shift and a column shift are found independently.
Alignment alignForms(const FormSheet& form, const FormSheet& book);

} // namespace engine::form
