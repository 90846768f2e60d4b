// The last used row of a column, measured the way the methods measure it: from the bottom of
// the column upwards (End with direction up), through the object layer.
#pragma once

#include "sheet/automation.h"

namespace engine {

// The row of the last non-empty cell of column `AColumn` (1-based, any column of the sheet)
// of the result sheet, or 1 for an empty column. Rows down to the last row of the sheet
// count. Automation errors (a column outside the sheet, a quit instance) pass to the caller.
int GetLastLine1(sheet::IWorksheet& ResultSheet, long AColumn);
// The same for the source sheet.
int GetLastLine2(sheet::IWorksheet& SourceSheet, long AColumn);

} // namespace engine
