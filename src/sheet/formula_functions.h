// The functions formulas may call, grouped by kind in formula_functions_*.cpp.
#pragma once

#include "sheet/formula_value.h"

#include <span>
#include <string_view>
#include <vector>

namespace sheet::embedded::formula {

class Context;

// A function of single values: blocks reach it as the host row's or column's cell, arrays
// element by element (the function is applied to each).
using ScalarFunction = CellValue (*)(const std::vector<CellValue>& arguments, Context& context);
// A function that sees its arguments as written: blocks stay references.
using BlockFunction = Value (*)(std::vector<Value>& arguments, Context& context);

struct FunctionInfo {
    std::string_view name;
    int fewest = 0, most = 0;
    ScalarFunction scalar = nullptr;
    BlockFunction block = nullptr;
    // A scalar function that is given error arguments instead of returning the first one.
    bool seesErrors = false;
    // Whether the function takes arrays, so blocks inside its arguments stand for arrays.
    bool arrayArguments = false;
};

// The function of that upper-case name, or null.
const FunctionInfo* findFunction(std::string_view name);

std::span<const FunctionInfo> aggregateFunctions();
std::span<const FunctionInfo> mathFunctions();
std::span<const FunctionInfo> logicFunctions();
std::span<const FunctionInfo> textFunctions();
std::span<const FunctionInfo> dateFunctions();
std::span<const FunctionInfo> lookupFunctions();

} // namespace sheet::embedded::formula
