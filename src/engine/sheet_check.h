// The sheet check: before a run, every workbook of the consolidation list is opened to see that
// it exists and holds the project's sheet, so that a run does not fail half-way on it.
#pragma once

#include "engine/run_host.h"

namespace engine {

// Checks every entry of the consolidation list, logs each failing one and the count, and, when
// the auto-exclude option is ticked, removes the entries whose workbook lacks the sheet or cannot
// be opened. Missing files are counted but stay in the list. Asks for confirmation first.
void sheet_check(RunHost& host);

} // namespace engine
