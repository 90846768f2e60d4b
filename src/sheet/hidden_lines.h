// The hidden rows or columns of a sheet: an ascending list without repeats.
#pragma once

#include <vector>

namespace sheet {

bool isLineHidden(const std::vector<long>& lines, long line);
// Hides or shows the lines first..last, keeping the list ascending.
void setLinesHidden(std::vector<long>& lines, long first, long last, bool hidden);

} // namespace sheet
