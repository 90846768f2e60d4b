// The defined names and sheet names a formula refers to, found and replaced outside string
// literals.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sheet {

// The names a formula uses: identifiers that are no function ("SUM("), no sheet prefix
// ("Data!") and no cell reference. In their order, repeats included.
std::vector<std::string> namesUsedIn(std::string_view formula);

// Gives the replacement of a name, or nothing to keep it.
using NameMapping = std::function<std::optional<std::string>(std::string_view name)>;

// The formula with defined names replaced by `names` and sheet prefixes (without quotes) by
// `sheets`; a replaced sheet prefix is written quoted.
std::string rewriteFormula(std::string_view formula, const NameMapping& names,
                           const NameMapping& sheets);

} // namespace sheet
