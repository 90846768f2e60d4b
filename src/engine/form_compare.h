// Comparing one workbook's sheet with the form: the shift that lines the two up, then every
// label and merged range the method relies on, and method A's data below its fixed block.
#pragma once

#include "engine/form_alignment.h"
#include "engine/form_area.h"
#include "engine/form_sheet.h"

#include <string>
#include <vector>

namespace engine::form {

enum class DifferenceKind { RowsShifted, ColumnsShifted, Label, Merge, DataBelow };

struct FormDifference {
    DifferenceKind kind = DifferenceKind::Label;
    Shift shift; // RowsShifted, ColumnsShifted
    // Label and Merge: the position in the form (the same place in every workbook) and in the
    // workbook (where its user finds it).
    long formRow = 0, formColumn = 0;
    long bookRow = 0, bookColumn = 0;
    // Label: the two texts ("" for an empty cell). Merge: the two merged ranges ("" for none).
    // DataBelow: formText is the fixed block.
    std::string formText, bookText;
    long firstDataRow = 0, lastDataRow = 0; // DataBelow, in the workbook
};

// The differences in this order: the row shift, the column shift, labels and merges in the
// workbook's reading order, data below the fixed block. Values are never compared.
std::vector<FormDifference> compareForms(const FormSheet& form, const FormSheet& book,
                                         const FormArea& area);

} // namespace engine::form
