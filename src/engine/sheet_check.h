// The sheet check: before a run, every workbook of the consolidation list is opened to see that
// it exists and holds the project's sheet, so that a run does not fail half-way on it.
#pragma once

#include "engine/form_area.h"
#include "engine/run_host.h"

#include <optional>

namespace engine {

// Checks every entry of the consolidation list, logs each failing one and the count, and, when
// the auto-exclude option is ticked, removes the entries whose workbook lacks the sheet or cannot
// be opened. Missing files are counted but stay in the list. Asks for confirmation first.
// With `form`, every workbook's sheet is also compared with the first one's on what that
// method relies on (form_check.h); each difference counts as an error, and the auto-exclude
// option removes the workbooks that differ.
void sheet_check(RunHost& host, std::optional<form::FormMethod> form = std::nullopt);

} // namespace engine
