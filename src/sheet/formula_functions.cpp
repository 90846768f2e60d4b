#include "sheet/formula_functions.h"

#include <string>
#include <unordered_map>

namespace sheet::embedded::formula {

namespace {

std::unordered_map<std::string_view, const FunctionInfo*> buildTable() {
    std::unordered_map<std::string_view, const FunctionInfo*> table;
    for (auto group : {aggregateFunctions(), mathFunctions(), logicFunctions(), textFunctions(),
                       dateFunctions(), lookupFunctions()})
        for (const FunctionInfo& info : group)
            table.emplace(info.name, &info);
    return table;
}

} // namespace

const FunctionInfo* findFunction(std::string_view name) {
    static const auto table = buildTable();
    auto found = table.find(name);
    return found == table.end() ? nullptr : found->second;
}

} // namespace sheet::embedded::formula
