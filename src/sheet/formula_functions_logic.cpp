// Conditions: IF, IFERROR, AND, OR and NOT.
#include "sheet/formula_coerce.h"
#include "sheet/formula_context.h"
#include "sheet/formula_functions.h"

#include <array>

namespace sheet::embedded::formula {

namespace {

// Both branches are computed before IF chooses; an error in the branch not taken is dropped.
CellValue choose(const std::vector<CellValue>& arguments, Context&) {
    const CellValue& condition = arguments[0];
    if (condition.type == CellType::Error)
        return condition;
    const auto truth = truthOf(condition);
    if (!truth)
        return errorOf(kWrongType);
    if (*truth)
        return arguments[1];
    return arguments.size() > 2 ? arguments[2] : CellValue::Boolean(false);
}

CellValue unlessError(const std::vector<CellValue>& arguments, Context&) {
    return arguments[0].type == CellType::Error ? arguments[1] : arguments[0];
}

CellValue inverse(const std::vector<CellValue>& arguments, Context&) {
    const auto truth = truthOf(arguments[0]);
    return truth ? CellValue::Boolean(!*truth) : failureOf(arguments[0]);
}

// AND and OR read truth values and numbers; in blocks text and blanks are passed over, and
// with nothing left to read the result is #VALUE!.
Value combine(std::vector<Value>& arguments, Context& context, bool all) {
    bool result = all, seen = false;
    std::optional<CellValue> error;
    auto take = [&](const CellValue& value, bool single) {
        if (value.type == CellType::Error) {
            error = value;
            return false;
        }
        if (value.type == CellType::Number || value.type == CellType::Boolean) {
            seen = true;
            result = all ? result && value.number != 0 : result || value.number != 0;
        } else if (single && value.type == CellType::Text) {
            const auto truth = truthOf(value);
            if (!truth) {
                error = errorOf(kWrongType);
                return false;
            }
            seen = true;
            result = all ? result && *truth : result || *truth;
        }
        return true;
    };
    for (const Value& argument : arguments) {
        if (const auto* area = std::get_if<Area>(&argument))
            context.forEachFilled(*area,
                                  [&](const CellValue& v, long, long) { return take(v, false); });
        else if (const auto* array = std::get_if<Array>(&argument))
            for (const CellValue& v : array->cells) {
                if (!take(v, false))
                    break;
            }
        else
            take(std::get<CellValue>(argument), true);
        if (error)
            return *error;
    }
    return seen ? CellValue::Boolean(result) : errorOf(kWrongType);
}

Value both(std::vector<Value>& arguments, Context& context) {
    return combine(arguments, context, true);
}

Value either(std::vector<Value>& arguments, Context& context) {
    return combine(arguments, context, false);
}

const std::array kFunctions = {
    FunctionInfo{"IF", 2, 3, choose, nullptr, true},
    FunctionInfo{"IFERROR", 2, 2, unlessError, nullptr, true},
    FunctionInfo{"NOT", 1, 1, inverse},
    FunctionInfo{"AND", 1, 255, nullptr, both},
    FunctionInfo{"OR", 1, 255, nullptr, either},
};

} // namespace

std::span<const FunctionInfo> logicFunctions() {
    return kFunctions;
}

} // namespace sheet::embedded::formula
