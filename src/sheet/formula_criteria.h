// The conditions of SUMIF and COUNTIF ("> 10", "<>", "서울*", 3) and the wildcard matching of
// exact lookups (* any run of characters, ? one character, ~ before either for itself).
#pragma once

#include "sheet/model.h"

#include <optional>
#include <string>
#include <string_view>

namespace sheet::embedded::formula {

class Criterion {
public:
    explicit Criterion(const CellValue& criterion);

    bool matches(const CellValue& cell) const;
    bool matchesBlank() const { return matches(CellValue{}); }

private:
    enum class Op { Equal, NotEqual, Less, LessOrEqual, Greater, GreaterOrEqual };
    Op op_ = Op::Equal;
    CellValue operand_;

    bool holds(int order) const;
};

// Whether `text` matches `pattern` without regard to case.
bool wildcardMatch(std::string_view pattern, std::string_view text);

} // namespace sheet::embedded::formula
