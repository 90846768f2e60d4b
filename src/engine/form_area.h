// Which parts of the form the form check compares, by consolidation method: what each method
// takes from fixed places, and the labels that tell whether those places still hold the same.
#pragma once

#include "engine/form_sheet.h"

#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace engine::form {

enum class FormMethod { A, B, C, E };

// The project's ranges, read from its fields; absent where a field is blank or unused.
struct FormRanges {
    std::optional<sheet::CellRect> title;
    std::optional<sheet::CellRect> data; // method A's fixed block
    std::optional<sheet::CellRect> sum;
    std::vector<sheet::CellRect> items; // method E's cells and blocks
};

struct FormArea {
    std::vector<sheet::CellRect> labels;        // labels inside these are compared...
    std::set<std::pair<long, long>> labelCells; // ...and labels at these (row, column)...
    std::vector<sheet::CellRect> excluded;      // ...except inside these
    std::vector<sheet::CellRect> merges;        // merged ranges meeting these are compared
    // Method A: data below this block's last row is left out by the method.
    std::optional<sheet::CellRect> fixedData;

    bool comparesLabel(long row, long column) const;
    bool comparesMerge(const sheet::CellRect& merge) const;
};

// A: the title and the data block's label columns (columns whose cells in the form are mostly
//    text), merges meeting the title or the block, data below the block.
// B: the title (its rows vary, so the data rows have no fixed labels).
// C: the whole sheet except the sum range.
// E: the nearest label left of every row and above every column of each chosen cell or block.
FormArea formAreaOf(FormMethod method, const FormRanges& ranges, const FormSheet& reference);

} // namespace engine::form
