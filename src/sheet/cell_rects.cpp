#include "sheet/cell_rects.h"

#include <algorithm>

namespace sheet {

bool rectInside(const CellRect& inner, const CellRect& outer) {
    return inner.firstRow >= outer.firstRow && inner.lastRow <= outer.lastRow &&
           inner.firstColumn >= outer.firstColumn && inner.lastColumn <= outer.lastColumn;
}

bool rectsOverlap(const CellRect& a, const CellRect& b) {
    return a.firstRow <= b.lastRow && b.firstRow <= a.lastRow && a.firstColumn <= b.lastColumn &&
           b.firstColumn <= a.lastColumn;
}

CellRect movedRect(const CellRect& rect, long rows, long columns) {
    return {rect.firstRow + rows, rect.firstColumn + columns, rect.lastRow + rows,
            rect.lastColumn + columns};
}

std::optional<CellRect> rectIntersection(const CellRect& a, const CellRect& b) {
    if (!rectsOverlap(a, b))
        return std::nullopt;
    return CellRect{std::max(a.firstRow, b.firstRow), std::max(a.firstColumn, b.firstColumn),
                    std::min(a.lastRow, b.lastRow), std::min(a.lastColumn, b.lastColumn)};
}

std::vector<CellRect> rectWithout(const CellRect& rect, const CellRect& hole) {
    const auto common = rectIntersection(rect, hole);
    if (!common)
        return {rect};
    std::vector<CellRect> pieces;
    if (rect.firstRow < common->firstRow)
        pieces.push_back({rect.firstRow, rect.firstColumn, common->firstRow - 1, rect.lastColumn});
    if (common->lastRow < rect.lastRow)
        pieces.push_back({common->lastRow + 1, rect.firstColumn, rect.lastRow, rect.lastColumn});
    if (rect.firstColumn < common->firstColumn)
        pieces.push_back(
            {common->firstRow, rect.firstColumn, common->lastRow, common->firstColumn - 1});
    if (common->lastColumn < rect.lastColumn)
        pieces.push_back(
            {common->firstRow, common->lastColumn + 1, common->lastRow, rect.lastColumn});
    return pieces;
}

} // namespace sheet
