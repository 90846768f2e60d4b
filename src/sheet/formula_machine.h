// Computes a compiled formula with a stack of values.
#pragma once

#include "sheet/formula_context.h"
#include "sheet/formula_program.h"

namespace sheet::embedded::formula {

struct Outcome {
    CellValue value;
    // The component could not compute the formula as a spreadsheet application would (see
    // Context::markUncertain).
    bool uncertain = false;
};

// Throws AutomationError when a reference names a sheet the workbook lacks.
Outcome execute(const Program& program, Context& context);

} // namespace sheet::embedded::formula
