// The rules a worksheet name must follow, and names for copied sheets.
#pragma once

#include "sheet/model.h"

#include <string>

namespace sheet::embedded {

// Throws AutomationError with the reason when `name` cannot name a sheet of `workbook`:
// 1 to 31 characters, none of : \ / ? * [ ], no apostrophe at either end, not the name of
// another sheet ignoring case. `renamed` is the sheet being renamed (its own name is free).
void checkSheetName(const Workbook& workbook, const std::string& name,
                    const Worksheet* renamed = nullptr);

// Number of characters (code points) of a UTF-8 text; -1 when the text is no valid UTF-8.
long utf8Length(const std::string& text);

// A free name for a copy of a sheet called `name` in `workbook`: the name itself when free,
// else "name (2)", "name (3)", ... shortened so that it stays within 31 characters.
std::string copyNameFor(const Workbook& workbook, const std::string& name);

} // namespace sheet::embedded
