// Helpers the function groups share for reading their arguments.
#pragma once

#include "sheet/formula_context.h"
#include "sheet/formula_value.h"

#include <functional>
#include <optional>

namespace sheet::embedded::formula {

// Calls `take` with every number the arguments hold, as SUM reads them: numbers in blocks and
// arrays (text, truth values and blanks there are passed over), and each single argument
// taken as a number (#VALUE! for text that is no number). Returns the first error met.
std::optional<CellValue> eachNumber(const std::vector<Value>& arguments, Context& context,
                                    const std::function<void(double)>& take);

// A whole number argument (truncated), or the error it gives.
std::optional<long> wholeNumber(const CellValue& value, CellValue& failure);

// Calls `visit` with each cell of a block or element of an array with its offsets from the
// first one, blanks included. An error value when the argument is neither or too large.
std::optional<CellValue> eachCell(const Value& block, Context& context,
                                  const std::function<void(const CellValue&, long, long)>& visit);

} // namespace sheet::embedded::formula
