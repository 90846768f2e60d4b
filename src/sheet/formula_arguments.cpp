#include "sheet/formula_arguments.h"

#include "sheet/formula_coerce.h"

#include <cmath>

namespace sheet::embedded::formula {

std::optional<CellValue> eachNumber(const std::vector<Value>& arguments, Context& context,
                                    const std::function<void(double)>& take) {
    std::optional<CellValue> error;
    auto fromBlock = [&](const CellValue& value) {
        if (value.type == CellType::Error) {
            error = value;
            return false;
        }
        if (value.type == CellType::Number)
            take(value.number);
        return true;
    };
    for (const Value& argument : arguments) {
        if (const auto* area = std::get_if<Area>(&argument)) {
            context.forEachFilled(
                *area, [&](const CellValue& value, long, long) { return fromBlock(value); });
        } else if (const auto* array = std::get_if<Array>(&argument)) {
            for (const CellValue& value : array->cells)
                if (!fromBlock(value))
                    break;
        } else {
            const CellValue& value = std::get<CellValue>(argument);
            const auto number = numberOf(value);
            if (!number)
                return failureOf(value);
            take(*number);
        }
        if (error)
            return error;
    }
    return std::nullopt;
}

std::optional<long> wholeNumber(const CellValue& value, CellValue& failure) {
    const auto number = numberOf(value);
    if (!number) {
        failure = failureOf(value);
        return std::nullopt;
    }
    if (std::fabs(*number) > 2147483647.0) {
        failure = errorOf(kWrongType);
        return std::nullopt;
    }
    return long(std::trunc(*number));
}

std::optional<CellValue> eachCell(const Value& block, Context& context,
                                  const std::function<void(const CellValue&, long, long)>& visit) {
    if (std::holds_alternative<CellValue>(block))
        return errorOf(kWrongType);
    auto array = context.array(block);
    if (auto* error = std::get_if<CellValue>(&array))
        return *error;
    const Array& cells = std::get<Array>(array);
    for (long r = 0; r < cells.rows; ++r)
        for (long c = 0; c < cells.columns; ++c)
            visit(cells.at(r, c), r, c);
    return std::nullopt;
}

} // namespace sheet::embedded::formula
