// Functions that find or point at cells: ROW, COLUMN, VLOOKUP, INDEX and MATCH.
#include "sheet/formula_arguments.h"
#include "sheet/formula_coerce.h"
#include "sheet/formula_criteria.h"
#include "sheet/formula_functions.h"

#include <array>
#include <cmath>

namespace sheet::embedded::formula {

namespace {

// A block on one sheet or an array, read cell by cell.
class Grid {
public:
    Grid(const Value& value, Context& context) : context_(context) {
        if (const auto* area = std::get_if<Area>(&value)) {
            if (area->firstSheet == area->lastSheet) {
                area_ = *area;
                rows_ = area->rows();
                columns_ = area->columns();
            }
        } else if (const auto* array = std::get_if<Array>(&value)) {
            array_ = *array;
            rows_ = array->rows;
            columns_ = array->columns;
        } else {
            array_ = Array{1, 1, {std::get<CellValue>(value)}};
            rows_ = columns_ = 1;
        }
    }

    bool valid() const { return rows_ > 0; }
    long rows() const { return rows_; }
    long columns() const { return columns_; }
    const std::optional<Area>& area() const { return area_; }

    CellValue at(long row, long column) const {
        if (area_)
            return context_.cell(area_->firstSheet, area_->rect.firstRow + row,
                                 area_->rect.firstColumn + column);
        return array_.at(row, column);
    }

private:
    Context& context_;
    std::optional<Area> area_;
    Array array_;
    long rows_ = 0, columns_ = 0;
};

// ROW(block) or COLUMN(block): the first row or column, or inside array arguments every one.
Value position(std::vector<Value>& arguments, Context& context, bool rows) {
    if (arguments.empty())
        return CellValue::Number(double(rows ? context.hostRow() : context.hostColumn()));
    const auto* area = std::get_if<Area>(&arguments[0]);
    if (!area)
        return errorOf(kWrongType);
    const long first = rows ? area->rect.firstRow : area->rect.firstColumn;
    const long count = rows ? area->rows() : area->columns();
    if (!context.arrayContext() || count == 1)
        return CellValue::Number(double(first));
    Array result{rows ? count : 1, rows ? 1 : count, {}};
    for (long k = 0; k < count; ++k)
        result.cells.push_back(CellValue::Number(double(first + k)));
    return result;
}

Value row(std::vector<Value>& arguments, Context& context) {
    return position(arguments, context, true);
}

Value column(std::vector<Value>& arguments, Context& context) {
    return position(arguments, context, false);
}

bool sameKind(const CellValue& a, const CellValue& b) {
    const auto kind = [](const CellValue& v) {
        return v.type == CellType::Empty ? CellType::Number : v.type;
    };
    return kind(a) == kind(b);
}

bool exactMatch(const CellValue& wanted, const CellValue& candidate) {
    if (wanted.type == CellType::Text && candidate.type == CellType::Text)
        return wildcardMatch(wanted.text, candidate.text);
    return !candidate.empty() && sameKind(wanted, candidate) &&
           compareValues(wanted, candidate) == 0;
}

// The index (0-based) of `wanted` among `count` candidates: exactly (wildcards in text), or
// for sorted candidates the last not above it (order 1) or the last not below it (order -1).
std::optional<long> find(const CellValue& wanted, long count, int order,
                         const std::function<CellValue(long)>& candidate) {
    std::optional<long> found;
    for (long k = 0; k < count; ++k) {
        const CellValue value = candidate(k);
        if (order == 0) {
            if (exactMatch(wanted, value))
                return k;
            continue;
        }
        if (value.empty() || value.type == CellType::Error || !sameKind(wanted, value))
            continue;
        const int comparison = compareValues(value, wanted);
        if (comparison == 0 || (order > 0 ? comparison < 0 : comparison > 0))
            found = k;
        else
            break;
    }
    return found;
}

std::optional<CellValue> scalarArgument(std::vector<Value>& arguments, size_t index,
                                        Context& context) {
    if (index >= arguments.size())
        return std::nullopt;
    return context.scalar(arguments[index]);
}

Value vlookup(std::vector<Value>& arguments, Context& context) {
    const CellValue wanted = context.scalar(arguments[0]);
    if (wanted.type == CellType::Error)
        return wanted;
    const Grid table(arguments[1], context);
    if (!table.valid())
        return errorOf(kWrongType);
    CellValue failure;
    const auto columnIndex = wholeNumber(context.scalar(arguments[2]), failure);
    if (!columnIndex)
        return failure;
    if (*columnIndex < 1)
        return errorOf(kWrongType);
    if (*columnIndex > table.columns())
        return errorOf(kBadReference);
    bool approximate = true;
    if (auto flag = scalarArgument(arguments, 3, context)) {
        const auto truth = truthOf(*flag);
        if (!truth)
            return failureOf(*flag);
        approximate = *truth;
    }
    const auto found =
        find(wanted, table.rows(), approximate ? 1 : 0, [&](long k) { return table.at(k, 0); });
    if (!found)
        return errorOf(kNotAvailable);
    return table.at(*found, *columnIndex - 1);
}

Value match(std::vector<Value>& arguments, Context& context) {
    const CellValue wanted = context.scalar(arguments[0]);
    if (wanted.type == CellType::Error)
        return wanted;
    const Grid list(arguments[1], context);
    if (!list.valid() || (list.rows() > 1 && list.columns() > 1))
        return errorOf(kNotAvailable);
    int order = 1;
    if (auto kind = scalarArgument(arguments, 2, context)) {
        const auto number = numberOf(*kind);
        if (!number)
            return failureOf(*kind);
        order = *number > 0 ? 1 : *number < 0 ? -1 : 0;
    }
    const bool down = list.columns() == 1;
    const long count = down ? list.rows() : list.columns();
    const auto found =
        find(wanted, count, order, [&](long k) { return down ? list.at(k, 0) : list.at(0, k); });
    return found ? CellValue::Number(double(*found + 1)) : errorOf(kNotAvailable);
}

// INDEX(block, row, [column]): the cell, or with 0 the whole column or row. In a single row
// a lone index counts columns.
Value index(std::vector<Value>& arguments, Context& context) {
    const Grid grid(arguments[0], context);
    if (!grid.valid())
        return errorOf(kWrongType);
    CellValue failure;
    auto row = wholeNumber(context.scalar(arguments[1]), failure);
    if (!row)
        return failure;
    std::optional<long> col = 0;
    if (arguments.size() > 2) {
        col = wholeNumber(context.scalar(arguments[2]), failure);
        if (!col)
            return failure;
    } else if (grid.rows() == 1) {
        std::swap(row, col);
    } else if (grid.columns() > 1) {
        col = std::nullopt;
    }
    if (!col) // a 2-D block with one index: the whole row
        col = 0;
    if (*row < 0 || *col < 0 || *row > grid.rows() || *col > grid.columns())
        return errorOf(kBadReference);
    const long r = *row == 0 && grid.rows() == 1 ? 1 : *row;
    const long c = *col == 0 && grid.columns() == 1 ? 1 : *col;
    if (r > 0 && c > 0)
        return grid.area() ? Value(Area{grid.area()->firstSheet,
                                        grid.area()->firstSheet,
                                        {grid.area()->rect.firstRow + r - 1,
                                         grid.area()->rect.firstColumn + c - 1,
                                         grid.area()->rect.firstRow + r - 1,
                                         grid.area()->rect.firstColumn + c - 1}})
                           : Value(grid.at(r - 1, c - 1));
    if (!grid.area())
        return errorOf(kWrongType);
    Area part = *grid.area();
    if (r > 0)
        part.rect.firstRow = part.rect.lastRow = part.rect.firstRow + r - 1;
    if (c > 0)
        part.rect.firstColumn = part.rect.lastColumn = part.rect.firstColumn + c - 1;
    return part;
}

const std::array kFunctions = {
    FunctionInfo{"ROW", 0, 1, nullptr, row},         FunctionInfo{"COLUMN", 0, 1, nullptr, column},
    FunctionInfo{"VLOOKUP", 3, 4, nullptr, vlookup}, FunctionInfo{"MATCH", 2, 3, nullptr, match},
    FunctionInfo{"INDEX", 2, 3, nullptr, index},
};

} // namespace

std::span<const FunctionInfo> lookupFunctions() {
    return kFunctions;
}

} // namespace sheet::embedded::formula
