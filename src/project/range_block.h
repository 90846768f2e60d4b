// A range text read into its four edges, the way the save rules look at it.
#pragma once

#include <QString>

namespace project {

// Edges of a range text split at its first colon. Columns are 1..256, or 257 for letters that
// name no column (none at all included).
struct RangeBlock {
    bool converted = false; // both row numbers could be read
    int top = 0;
    int bottom = 0;
    int left = 0;
    int right = 0;

    static RangeBlock read(const QString& text);

    // Both rows read, columns named and in order, rows non-zero and in order.
    bool isWellFormed() const;
    // Rows read and columns in order (a column of 257 passes when it is on the right).
    bool hasOrderedColumns() const { return converted && left <= right; }
    bool hasOrderedRows() const { return top != 0 && bottom != 0 && top <= bottom; }
};

} // namespace project
