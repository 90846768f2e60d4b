// Functions of numbers: ROUND, ROUNDUP, ROUNDDOWN, INT, ABS and MOD.
#include "sheet/formula_coerce.h"
#include "sheet/formula_functions.h"

#include <array>
#include <cmath>

namespace sheet::embedded::formula {

namespace {

enum class Rounding { Nearest, Up, Down };

// Rounds at `digits` places (left of the point when negative), halves away from zero. The
// scaled number is first cut to the 15 digits a cell holds, so 2.675 rounds to 2.68.
CellValue roundTo(const std::vector<CellValue>& arguments, Rounding rounding) {
    const auto number = numberOf(arguments[0]);
    if (!number)
        return failureOf(arguments[0]);
    const auto places = numberOf(arguments[1]);
    if (!places)
        return failureOf(arguments[1]);
    const double digits = std::trunc(std::fmax(-308.0, std::fmin(308.0, *places)));
    const double scale = std::pow(10.0, std::fabs(digits));
    const double scaled = significant(digits >= 0 ? *number * scale : *number / scale);
    if (!std::isfinite(scaled))
        return CellValue::Number(*number);
    double whole = 0;
    switch (rounding) {
    case Rounding::Nearest:
        whole = std::round(scaled);
        break;
    case Rounding::Up:
        whole = scaled < 0 ? -std::ceil(-scaled) : std::ceil(scaled);
        break;
    case Rounding::Down:
        whole = std::trunc(scaled);
        break;
    }
    return finite(significant(digits >= 0 ? whole / scale : whole * scale));
}

CellValue roundNearest(const std::vector<CellValue>& arguments, Context&) {
    return roundTo(arguments, Rounding::Nearest);
}

CellValue roundUp(const std::vector<CellValue>& arguments, Context&) {
    return roundTo(arguments, Rounding::Up);
}

CellValue roundDown(const std::vector<CellValue>& arguments, Context&) {
    return roundTo(arguments, Rounding::Down);
}

CellValue integer(const std::vector<CellValue>& arguments, Context&) {
    const auto number = numberOf(arguments[0]);
    return number ? CellValue::Number(std::floor(*number)) : failureOf(arguments[0]);
}

CellValue absolute(const std::vector<CellValue>& arguments, Context&) {
    const auto number = numberOf(arguments[0]);
    return number ? CellValue::Number(std::fabs(*number)) : failureOf(arguments[0]);
}

// The remainder with the divisor's sign: MOD(-3, 2) is 1.
CellValue modulo(const std::vector<CellValue>& arguments, Context&) {
    const auto number = numberOf(arguments[0]);
    if (!number)
        return failureOf(arguments[0]);
    const auto divisor = numberOf(arguments[1]);
    if (!divisor)
        return failureOf(arguments[1]);
    if (*divisor == 0)
        return errorOf(kDivideByZero);
    return finite(significant(*number - *divisor * std::floor(*number / *divisor)));
}

const std::array kFunctions = {
    FunctionInfo{"ROUND", 2, 2, roundNearest},  FunctionInfo{"ROUNDUP", 2, 2, roundUp},
    FunctionInfo{"ROUNDDOWN", 2, 2, roundDown}, FunctionInfo{"INT", 1, 1, integer},
    FunctionInfo{"ABS", 1, 1, absolute},        FunctionInfo{"MOD", 2, 2, modulo},
};

} // namespace

std::span<const FunctionInfo> mathFunctions() {
    return kFunctions;
}

} // namespace sheet::embedded::formula
