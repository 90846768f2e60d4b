// Arithmetic on cell rectangles.
#pragma once

#include "sheet/model.h"

#include <optional>
#include <vector>

namespace sheet {

bool rectInside(const CellRect& inner, const CellRect& outer);
bool rectsOverlap(const CellRect& a, const CellRect& b);
CellRect movedRect(const CellRect& rect, long rows, long columns);
// The common part of two rectangles, if any.
std::optional<CellRect> rectIntersection(const CellRect& a, const CellRect& b);
// What is left of `rect` outside `hole`: up to four rectangles (above, below, left, right).
std::vector<CellRect> rectWithout(const CellRect& rect, const CellRect& hole);

} // namespace sheet
