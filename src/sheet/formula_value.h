// The values a formula works with while it is computed: single cell values, arrays and
// references to blocks of cells on one sheet or on a span of sheets.
#pragma once

#include "sheet/model.h"

#include <variant>
#include <vector>

namespace sheet::embedded::formula {

inline constexpr const char* kDivideByZero = "#DIV/0!";
inline constexpr const char* kWrongType = "#VALUE!";
inline constexpr const char* kBadReference = "#REF!";
inline constexpr const char* kUnknownName = "#NAME?";
inline constexpr const char* kNotAvailable = "#N/A";
inline constexpr const char* kBadNumber = "#NUM!";

// Longest formula text spreadsheet applications accept.
inline constexpr size_t kLongestFormula = 8192;
// Most array cells one formula may build (a block as an array, a lifted function).
inline constexpr size_t kLargestArray = size_t(1) << 20;

// Longest text a cell holds, in bytes of UTF-8 (32,767 characters of up to three bytes).
inline constexpr size_t kLongestText = 3 * 32767;

inline CellValue errorOf(const char* code) {
    return CellValue::Error(code);
}

// A block of cells on the sheets firstSheet..lastSheet (indexes into the workbook).
struct Area {
    int firstSheet = 0, lastSheet = 0;
    CellRect rect;

    long rows() const { return rect.lastRow - rect.firstRow + 1; }
    long columns() const { return rect.lastColumn - rect.firstColumn + 1; }
    size_t cellCount() const { return size_t(rows()) * size_t(columns()); }
    bool isCell() const { return firstSheet == lastSheet && rows() == 1 && columns() == 1; }
};

// Cells in row order.
struct Array {
    long rows = 0, columns = 0;
    std::vector<CellValue> cells;

    const CellValue& at(long row, long column) const {
        return cells[size_t(row) * size_t(columns) + size_t(column)];
    }
};

using Value = std::variant<CellValue, Array, Area>;

} // namespace sheet::embedded::formula
