// The built-in functions of BIFF formulas by their numbers.
#pragma once

#include <string_view>

namespace sheet::xls {

struct FunctionInfo {
    std::string_view name;
    int arguments; // fixed count; -1 when the formula stores the count
};

// nullptr for numbers this reader does not name.
const FunctionInfo* functionById(unsigned id);

} // namespace sheet::xls
