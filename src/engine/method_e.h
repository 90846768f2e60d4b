// Method E: chosen cells and blocks are fetched from every workbook into a table, one row band
// per workbook with its name in column A, under a header row naming each chosen cell.
#pragma once

#include "engine/run_host.h"

namespace engine {

// Runs method E on the consolidation list. Both instances stay in the SpreadsheetApp slots
// after a saved run; any failure cancels the run and saves nothing.
void combination_e(RunHost& host);

} // namespace engine
