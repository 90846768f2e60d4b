// Method A: the title block of the first workbook, then the same data range of every workbook
// one block below the other, and optionally a block of sum formulas below the last block.
#pragma once

#include "engine/run_host.h"

namespace engine {

void combination_a(RunHost& host);

} // namespace engine
