#include "engine/form_area.h"

#include <algorithm>

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

sheet::CellRect cellRect(long row, long column) {
    return {row, column, row, column};
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

// Rows and columns of a block looked at for its labels; a block wider than a sheet's worth of
// labels is cut, so a careless A1:XFD1048576 cannot stall the check.
constexpr long kMaxLabelLines = 4096;

void addNeighbourLabels(const sheet::CellRect& item, const FormSheet& reference, FormArea& area) {
    const long lastRow = std::min(item.lastRow, item.firstRow + kMaxLabelLines - 1);
    const long lastColumn = std::min(item.lastColumn, item.firstColumn + kMaxLabelLines - 1);
    for (long row = item.firstRow; row <= lastRow; ++row) {
        if (const FormCell* label = reference.labelLeftOf(row, item.firstColumn))
            area.labels.push_back(cellRect(label->row, label->column));
    }
    for (long column = item.firstColumn; column <= lastColumn; ++column) {
        if (const FormCell* label = reference.labelAbove(item.firstRow, column))
            area.labels.push_back(cellRect(label->row, label->column));
    }
}

} // namespace

bool FormArea::comparesLabel(long row, long column) const {
    const auto inside = [row, column](const sheet::CellRect& rect) {
        return rect.contains(row, column);
    };
    return std::any_of(labels.begin(), labels.end(), inside) &&
           std::none_of(excluded.begin(), excluded.end(), inside);
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
        area.merges.insert(area.merges.end(), area.labels.begin(), area.labels.end());
        break;
    }
    return area;
}

} // namespace engine::form
