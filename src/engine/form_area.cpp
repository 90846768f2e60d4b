#include "engine/form_area.h"

#include <algorithm>
#include <map>

namespace engine::form {

namespace {

bool intersects(const sheet::CellRect& a, const sheet::CellRect& b) {
    return a.firstRow <= b.lastRow && b.firstRow <= a.lastRow && a.firstColumn <= b.lastColumn &&
           b.firstColumn <= a.lastColumn;
}

bool contains(const sheet::CellRect& outer, const sheet::CellRect& inner) {
    return outer.contains(inner.firstRow, inner.firstColumn) &&
           outer.contains(inner.lastRow, inner.lastColumn);
}

// Columns of the block whose filled cells in the form are mostly labels.
std::vector<long> labelColumns(const sheet::CellRect& block, const FormSheet& reference) {
    const long width = block.lastColumn - block.firstColumn + 1;
    std::vector<long> labels(static_cast<size_t>(width), 0);
    std::vector<long> values(static_cast<size_t>(width), 0);
    for (const FormCell& cell : reference.cells()) {
        if (!block.contains(cell.row, cell.column))
            continue;
        auto& tally = cell.kind == CellKind::Label ? labels : values;
        ++tally[static_cast<size_t>(cell.column - block.firstColumn)];
    }
    std::vector<long> columns;
    for (long i = 0; i < width; ++i) {
        if (labels[i] > 0 && labels[i] >= values[i])
            columns.push_back(block.firstColumn + i);
    }
    return columns;
}

// Rows of a block looked at for their labels; a block taller than this is cut, so a careless
// A1:XFD1048576 cannot stall the check.
constexpr long kMaxLabelRows = 4096;

// The nearest label left of every row of the item, and above every column of it.
void addNeighbourLabels(const sheet::CellRect& item, const FormSheet& reference, FormArea& area) {
    const long lastRow = std::min(item.lastRow, item.firstRow + kMaxLabelRows - 1);
    for (long row = item.firstRow; row <= lastRow; ++row) {
        if (const FormCell* label = reference.labelLeftOf(row, item.firstColumn))
            area.labelCells.emplace(label->row, label->column);
    }
    std::map<long, long> nearestAbove; // column -> row of its lowest label above the item
    for (const FormCell& cell : reference.cells()) {
        if (cell.row >= item.firstRow)
            break;
        if (cell.kind == CellKind::Label && cell.column >= item.firstColumn &&
            cell.column <= item.lastColumn)
            nearestAbove[cell.column] = cell.row;
    }
    for (const auto& [column, row] : nearestAbove)
        area.labelCells.emplace(row, column);
}

} // namespace

bool FormArea::comparesLabel(long row, long column) const {
    const auto inside = [row, column](const sheet::CellRect& rect) {
        return rect.contains(row, column);
    };
    const bool listed =
        labelCells.count({row, column}) > 0 || std::any_of(labels.begin(), labels.end(), inside);
    return listed && std::none_of(excluded.begin(), excluded.end(), inside);
}

bool FormArea::comparesMerge(const sheet::CellRect& merge) const {
    const auto meets = [&merge](const sheet::CellRect& rect) { return intersects(rect, merge); };
    const auto holds = [&merge](const sheet::CellRect& rect) { return contains(rect, merge); };
    return std::any_of(merges.begin(), merges.end(), meets) &&
           std::none_of(excluded.begin(), excluded.end(), holds);
}

FormArea formAreaOf(FormMethod method, const FormRanges& ranges, const FormSheet& reference) {
    FormArea area;
    switch (method) {
    case FormMethod::A:
        if (ranges.title) {
            area.labels.push_back(*ranges.title);
            area.merges.push_back(*ranges.title);
        }
        if (ranges.data) {
            for (long column : labelColumns(*ranges.data, reference))
                area.labels.push_back(
                    {ranges.data->firstRow, column, ranges.data->lastRow, column});
            area.merges.push_back(*ranges.data);
            area.fixedData = ranges.data;
        }
        break;
    case FormMethod::B:
        if (ranges.title) {
            area.labels.push_back(*ranges.title);
            area.merges.push_back(*ranges.title);
        }
        break;
    case FormMethod::C: {
        const sheet::CellRect wholeSheet{1, 1, sheet::kMaxRows, sheet::kMaxColumns};
        area.labels.push_back(wholeSheet);
        area.merges.push_back(wholeSheet);
        if (ranges.sum)
            area.excluded.push_back(*ranges.sum);
        break;
    }
    case FormMethod::E:
        for (const sheet::CellRect& item : ranges.items) {
            addNeighbourLabels(item, reference, area);
            area.merges.push_back(item);
        }
        for (const auto& [row, column] : area.labelCells)
            area.merges.push_back({row, column, row, column});
        break;
    }
    return area;
}

} // namespace engine::form
