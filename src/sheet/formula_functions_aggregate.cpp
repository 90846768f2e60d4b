// Functions over blocks of cells: SUM, AVERAGE, COUNT, COUNTA, COUNTBLANK, MIN, MAX, SUMIF,
// COUNTIF, SUMPRODUCT and RANK.
#include "sheet/formula_arguments.h"
#include "sheet/formula_coerce.h"
#include "sheet/formula_criteria.h"
#include "sheet/formula_functions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace sheet::embedded::formula {

namespace {

Value sum(std::vector<Value>& arguments, Context& context) {
    double total = 0;
    if (auto error = eachNumber(arguments, context, [&](double x) { total += x; }))
        return *error;
    return finite(total);
}

Value average(std::vector<Value>& arguments, Context& context) {
    double total = 0;
    long count = 0;
    if (auto error = eachNumber(arguments, context, [&](double x) {
            total += x;
            ++count;
        }))
        return *error;
    return count == 0 ? errorOf(kDivideByZero) : finite(total / double(count));
}

Value extreme(std::vector<Value>& arguments, Context& context, bool largest) {
    std::optional<double> best;
    if (auto error = eachNumber(arguments, context, [&](double x) {
            if (!best || (largest ? x > *best : x < *best))
                best = x;
        }))
        return *error;
    return CellValue::Number(best.value_or(0));
}

Value minimum(std::vector<Value>& arguments, Context& context) {
    return extreme(arguments, context, false);
}

Value maximum(std::vector<Value>& arguments, Context& context) {
    return extreme(arguments, context, true);
}

// COUNT counts numbers and never fails: errors and text are passed over, a single argument
// counts when it reads as a number.
Value count(std::vector<Value>& arguments, Context& context) {
    double counted = 0;
    for (const Value& argument : arguments) {
        if (const auto* single = std::get_if<CellValue>(&argument)) {
            counted += single->type != CellType::Error && numberOf(*single).has_value();
            continue;
        }
        eachCell(argument, context, [&](const CellValue& value, long, long) {
            counted += value.type == CellType::Number;
        });
    }
    return CellValue::Number(counted);
}

Value countFilled(std::vector<Value>& arguments, Context& context) {
    double counted = 0;
    for (const Value& argument : arguments) {
        if (const auto* area = std::get_if<Area>(&argument)) {
            context.forEachFilled(*area, [&](const CellValue&, long, long) {
                ++counted;
                return true;
            });
        } else if (const auto* array = std::get_if<Array>(&argument)) {
            counted += double(std::count_if(array->cells.begin(), array->cells.end(),
                                            [](const CellValue& v) { return !v.empty(); }));
        } else {
            counted += !std::get<CellValue>(argument).empty();
        }
    }
    return CellValue::Number(counted);
}

// Blank cells, and cells holding empty text, of one block.
Value countBlank(std::vector<Value>& arguments, Context& context) {
    const auto* area = std::get_if<Area>(&arguments[0]);
    if (!area || area->firstSheet != area->lastSheet)
        return errorOf(kWrongType);
    double filled = 0;
    context.forEachFilled(*area, [&](const CellValue& value, long, long) {
        filled += !(value.type == CellType::Text && value.text.empty());
        return true;
    });
    return CellValue::Number(double(area->cellCount()) - filled);
}

// The cell of `sumArea` at the offsets of a matched cell; a block of another shape is read
// from its first cell in the shape of the matched block, as spreadsheets do.
CellValue offsetCell(const Area& sumArea, long row, long column, Context& context) {
    const long r = sumArea.rect.firstRow + row, c = sumArea.rect.firstColumn + column;
    if (r > kMaxRows || c > kMaxColumns)
        return {};
    return context.cell(sumArea.firstSheet, r, c);
}

Value conditional(std::vector<Value>& arguments, Context& context, bool summing) {
    const CellValue criterionValue = context.scalar(arguments[1]);
    if (criterionValue.type == CellType::Error)
        return criterionValue;
    const Criterion criterion(criterionValue);
    const Value& range = arguments[0];
    const Area* sumArea = nullptr;
    if (summing && arguments.size() > 2) {
        sumArea = std::get_if<Area>(&arguments[2]);
        if (!sumArea || sumArea->firstSheet != sumArea->lastSheet)
            return errorOf(kWrongType);
    }
    double total = 0;
    std::optional<CellValue> error;
    auto take = [&](const CellValue& value, long row, long column) {
        if (!criterion.matches(value))
            return true;
        if (!summing) {
            ++total;
            return true;
        }
        const CellValue added = sumArea ? offsetCell(*sumArea, row, column, context) : value;
        if (added.type == CellType::Error) {
            error = added;
            return false;
        }
        if (added.type == CellType::Number)
            total += added.number;
        return true;
    };
    const auto* area = std::get_if<Area>(&range);
    if (area && area->firstSheet == area->lastSheet && !criterion.matchesBlank()) {
        context.forEachFilled(*area, [&](const CellValue& value, long row, long column) {
            return take(value, row - area->rect.firstRow, column - area->rect.firstColumn);
        });
    } else if (auto failure = eachCell(range, context, [&](const CellValue& value, long r, long c) {
                   if (!error)
                       take(value, r, c);
               })) {
        return *failure;
    }
    if (error)
        return *error;
    return finite(total);
}

Value sumIf(std::vector<Value>& arguments, Context& context) {
    return conditional(arguments, context, true);
}

Value countIf(std::vector<Value>& arguments, Context& context) {
    return conditional(arguments, context, false);
}

// The sum of the products of matching elements; elements that are not numbers count as 0.
Value sumProduct(std::vector<Value>& arguments, Context& context) {
    std::vector<Array> arrays;
    for (const Value& argument : arguments) {
        auto array = context.array(argument);
        if (auto* error = std::get_if<CellValue>(&array))
            return *error;
        arrays.push_back(std::get<Array>(std::move(array)));
        if (arrays.back().rows != arrays.front().rows ||
            arrays.back().columns != arrays.front().columns)
            return errorOf(kWrongType);
    }
    double total = 0;
    for (size_t i = 0; i < arrays.front().cells.size(); ++i) {
        double product = 1;
        for (const Array& array : arrays) {
            const CellValue& value = array.cells[i];
            if (value.type == CellType::Error)
                return value;
            product *= value.type == CellType::Number ? value.number : 0;
        }
        total += product;
    }
    return finite(total);
}

// RANK(number, block, [order]): 1 for the largest (order 0) or the smallest (order not 0).
Value rank(std::vector<Value>& arguments, Context& context) {
    const CellValue target = context.scalar(arguments[0]);
    const auto number = numberOf(target);
    if (!number)
        return failureOf(target);
    bool ascending = false;
    if (arguments.size() > 2) {
        const CellValue order = context.scalar(arguments[2]);
        const auto flag = numberOf(order);
        if (!flag)
            return failureOf(order);
        ascending = *flag != 0;
    }
    if (std::holds_alternative<CellValue>(arguments[1]))
        return errorOf(kWrongType);
    double before = 0;
    bool present = false;
    if (auto error = eachNumber({arguments[1]}, context, [&](double x) {
            present = present || x == *number;
            before += ascending ? x < *number : x > *number;
        }))
        return *error;
    return present ? CellValue::Number(before + 1) : errorOf(kNotAvailable);
}

const std::array kFunctions = {
    FunctionInfo{"SUM", 1, 255, nullptr, sum},
    FunctionInfo{"AVERAGE", 1, 255, nullptr, average},
    FunctionInfo{"COUNT", 1, 255, nullptr, count},
    FunctionInfo{"COUNTA", 1, 255, nullptr, countFilled},
    FunctionInfo{"COUNTBLANK", 1, 1, nullptr, countBlank},
    FunctionInfo{"MIN", 1, 255, nullptr, minimum},
    FunctionInfo{"MAX", 1, 255, nullptr, maximum},
    FunctionInfo{"SUMIF", 2, 3, nullptr, sumIf},
    FunctionInfo{"COUNTIF", 2, 2, nullptr, countIf},
    FunctionInfo{"SUMPRODUCT", 1, 255, nullptr, sumProduct, false, true},
    FunctionInfo{"RANK", 2, 3, nullptr, rank},
};

} // namespace

std::span<const FunctionInfo> aggregateFunctions() {
    return kFunctions;
}

} // namespace sheet::embedded::formula
