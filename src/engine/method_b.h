// Method B: the title block of the first workbook, then every workbook's rows from the data
// start row down to its last used row, each block directly below the previous one; or the same
// blocks appended to an existing consolidated workbook.
#pragma once

#include "engine/run_host.h"

namespace engine {

void combination_b(RunHost& host);

} // namespace engine
