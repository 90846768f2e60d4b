// Readable test output for model values (GoogleTest finds PrintTo by argument lookup).
#pragma once

#include "sheet/model.h"

#include <ostream>

namespace sheet {

void PrintTo(const Style& style, std::ostream* out);
void PrintTo(const CellValue& value, std::ostream* out);
void PrintTo(const PageSetup& setup, std::ostream* out);
void PrintTo(const SheetProtection& protection, std::ostream* out);
void PrintTo(const CellRect& rect, std::ostream* out);

} // namespace sheet
