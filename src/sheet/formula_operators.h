// The operators of formulas on single values.
#pragma once

#include "sheet/formula_program.h"

namespace sheet::embedded::formula {

CellValue applyBinary(BinaryOp op, const CellValue& left, const CellValue& right);
CellValue negate(const CellValue& operand);
CellValue percent(const CellValue& operand);

} // namespace sheet::embedded::formula
