#include "sheet/clipboard.h"

#include "sheet/automation.h"
#include "sheet/cell_rects.h"
#include "sheet/embedded_messages.h"
#include "sheet/hidden_lines.h"

#include <mutex>
#include <type_traits>
#include <unordered_map>

namespace sheet::embedded {

namespace {

std::mutex clipboardMutex;
std::shared_ptr<const ClipboardContent> clipboardContent;

// Styles of one workbook gathered into a copy's own list, each once.
class StyleCollector {
public:
    StyleCollector(const StyleTable& table, std::vector<Style>& out) : table_(table), out_(out) {}
    int local(int style) {
        auto [found, added] = map_.try_emplace(style, static_cast<int>(out_.size()));
        if (added)
            out_.push_back(table_.at(style));
        return found->second;
    }

private:
    const StyleTable& table_;
    std::vector<Style>& out_;
    std::unordered_map<int, int> map_;
};

// Entries of a map keyed by row or column that fall in [first, last], keyed by offset.
template <typename Value, typename Convert>
void copyLines(const std::map<long, Value>& from, long first, long last, Convert convert,
               std::map<long, std::invoke_result_t<Convert, Value>>& to) {
    for (auto it = from.lower_bound(first); it != from.end() && it->first <= last; ++it)
        to[it->first - first] = convert(it->second);
}

template <typename Value> void eraseLines(std::map<long, Value>& lines, long first, long last) {
    lines.erase(lines.lower_bound(first), lines.upper_bound(last));
}

void copyLineStyles(const Worksheet& sheet, const CellArea& area, StyleCollector& styles,
                    ClipboardContent& block) {
    const CellRect& rect = area.rect;
    auto local = [&](int style) { return styles.local(style); };
    if (area.kind == AreaKind::Rows || area.kind == AreaKind::Sheet)
        copyLines(sheet.rowStyles, rect.firstRow, rect.lastRow, local, block.rowStyles);
    if (area.kind == AreaKind::Columns || area.kind == AreaKind::Sheet)
        copyLines(sheet.columnStyles, rect.firstColumn, rect.lastColumn, local, block.columnStyles);
}

void replaceLineStyles(const ClipboardContent& block, const std::vector<int>& styles,
                       Worksheet& sheet, long row, long column) {
    if (block.kind == AreaKind::Rows || block.kind == AreaKind::Sheet) {
        eraseLines(sheet.rowStyles, row, row + block.rowCount - 1);
        for (const auto& [offset, style] : block.rowStyles)
            sheet.rowStyles[row + offset] = styles[static_cast<size_t>(style)];
    }
    if (block.kind == AreaKind::Columns || block.kind == AreaKind::Sheet) {
        eraseLines(sheet.columnStyles, column, column + block.columnCount - 1);
        for (const auto& [offset, style] : block.columnStyles)
            sheet.columnStyles[column + offset] = styles[static_cast<size_t>(style)];
    }
}

// Offsets of the hidden lines among first..last.
std::vector<long> hiddenOffsets(const std::vector<long>& hidden, long first, long last) {
    std::vector<long> offsets;
    for (auto it = std::lower_bound(hidden.begin(), hidden.end(), first);
         it != hidden.end() && *it <= last; ++it)
        offsets.push_back(*it - first);
    return offsets;
}

void replaceHidden(const std::vector<long>& offsets, long first, long count,
                   std::vector<long>& hidden) {
    setLinesHidden(hidden, first, first + count - 1, false);
    for (long offset : offsets)
        setLinesHidden(hidden, first + offset, first + offset, true);
}

void copyDimensions(const Worksheet& sheet, const CellArea& area, ClipboardContent& block) {
    const CellRect& rect = area.rect;
    if (area.kind == AreaKind::Rows || area.kind == AreaKind::Sheet)
        block.hiddenRows = hiddenOffsets(sheet.hiddenRows, rect.firstRow, rect.lastRow);
    if (area.kind == AreaKind::Columns || area.kind == AreaKind::Sheet)
        block.hiddenColumns = hiddenOffsets(sheet.hiddenColumns, rect.firstColumn, rect.lastColumn);
    if (area.kind == AreaKind::Rows || area.kind == AreaKind::Sheet)
        for (auto it = sheet.rowHeights.lower_bound(rect.firstRow);
             it != sheet.rowHeights.end() && it->first <= rect.lastRow; ++it)
            block.rowHeights[it->first - rect.firstRow] = it->second;
    if (area.kind == AreaKind::Columns || area.kind == AreaKind::Sheet)
        for (auto it = sheet.columnWidths.lower_bound(rect.firstColumn);
             it != sheet.columnWidths.end() && it->first <= rect.lastColumn; ++it)
            block.columnWidths[it->first - rect.firstColumn] = it->second;
}

void replaceDimensions(const ClipboardContent& block, Worksheet& sheet, long row, long column) {
    if (block.kind == AreaKind::Rows || block.kind == AreaKind::Sheet) {
        auto first = sheet.rowHeights.lower_bound(row);
        auto last = sheet.rowHeights.upper_bound(row + block.rowCount - 1);
        sheet.rowHeights.erase(first, last);
        for (const auto& [offset, height] : block.rowHeights)
            sheet.rowHeights[row + offset] = height;
        replaceHidden(block.hiddenRows, row, block.rowCount, sheet.hiddenRows);
    }
    if (block.kind == AreaKind::Columns || block.kind == AreaKind::Sheet) {
        auto first = sheet.columnWidths.lower_bound(column);
        auto last = sheet.columnWidths.upper_bound(column + block.columnCount - 1);
        sheet.columnWidths.erase(first, last);
        for (const auto& [offset, width] : block.columnWidths)
            sheet.columnWidths[column + offset] = width;
        replaceHidden(block.hiddenColumns, column, block.columnCount, sheet.hiddenColumns);
    }
}

void checkAnchor(const ClipboardContent& block, long row, long column) {
    if (block.kind == AreaKind::Sheet && (row != 1 || column != 1))
        throw AutomationError(messages::kPasteSheetNotAtA1);
    if (block.kind == AreaKind::Rows && column != 1)
        throw AutomationError(messages::kPasteRowsNotAtColumnA);
    if (block.kind == AreaKind::Columns && row != 1)
        throw AutomationError(messages::kPasteColumnsNotAtRow1);
    if (row < 1 || column < 1 || row + block.rowCount - 1 > kMaxRows ||
        column + block.columnCount - 1 > kMaxColumns)
        throw AutomationError(messages::kPasteOutside);
}

} // namespace

std::shared_ptr<const ClipboardContent> copyBlock(const Workbook& workbook, const Worksheet& sheet,
                                                  const CellArea& area) {
    auto block = std::make_shared<ClipboardContent>();
    const CellRect& rect = area.rect;
    block->kind = area.kind;
    block->rowCount = area.rowCount();
    block->columnCount = area.columnCount();
    StyleCollector styles(workbook.styles, block->styles);

    const auto& rows = sheet.rows();
    for (auto row = rows.lower_bound(rect.firstRow);
         row != rows.end() && row->first <= rect.lastRow; ++row) {
        const auto& cells = row->second;
        const auto first = cells.lower_bound(rect.firstColumn);
        const auto last = cells.upper_bound(rect.lastColumn);
        if (first == last)
            continue;
        auto& target = block->cells[row->first - rect.firstRow];
        target.reserve(static_cast<std::size_t>(last - first));
        for (auto cell = first; cell != last; ++cell) {
            Cell copy;
            copy.value = cell->second.value; // a formula travels as its result
            copy.style = styles.local(cell->second.style);
            copy.richText = cell->second.richText;
            target.emplace_hint(target.end(), cell->first - rect.firstColumn, std::move(copy));
        }
    }
    for (const CellRect& merge : sheet.merges)
        if (rectInside(merge, rect))
            block->merges.push_back(movedRect(merge, 1 - rect.firstRow, 1 - rect.firstColumn));
    copyDimensions(sheet, area, *block);
    block->features = copyFeatures(sheet, rect);
    copyLineStyles(sheet, area, styles, *block);
    return block;
}

void pasteBlock(const ClipboardContent& block, Workbook& workbook, Worksheet& sheet, long row,
                long column) {
    checkAnchor(block, row, column);
    CellRect target{row, column, row + block.rowCount - 1, column + block.columnCount - 1};
    eraseCells(sheet, target);
    std::erase_if(sheet.merges, [&](const CellRect& merge) { return rectsOverlap(merge, target); });

    std::vector<int> styles(block.styles.size());
    for (size_t i = 0; i < block.styles.size(); ++i)
        styles[i] = workbook.styles.intern(block.styles[i]);
    for (const auto& [rowOffset, cells] : block.cells) {
        auto& targetRow = sheet.rows()[row + rowOffset];
        if (targetRow.empty())
            targetRow.reserve(cells.size());
        for (const auto& [columnOffset, cell] : cells) {
            Cell& placed = targetRow[column + columnOffset];
            placed.value = cell.value;
            placed.formula.clear();
            placed.style = styles[static_cast<size_t>(cell.style)];
            placed.richText = cell.richText;
        }
    }
    for (const CellRect& merge : block.merges)
        sheet.merges.push_back(movedRect(merge, row - 1, column - 1));
    replaceDimensions(block, sheet, row, column);
    pasteFeatures(block.features, target, sheet);
    replaceLineStyles(block, styles, sheet, row, column);
}

void eraseCells(Worksheet& sheet, const CellRect& rect) {
    auto& rows = sheet.rows();
    for (auto row = rows.lower_bound(rect.firstRow);
         row != rows.end() && row->first <= rect.lastRow;) {
        auto& cells = row->second;
        cells.erase(cells.lower_bound(rect.firstColumn), cells.upper_bound(rect.lastColumn));
        row = cells.empty() ? rows.erase(row) : std::next(row);
    }
}

void Clipboard::put(std::shared_ptr<const ClipboardContent> content) {
    std::lock_guard lock(clipboardMutex);
    clipboardContent = std::move(content);
}

std::shared_ptr<const ClipboardContent> Clipboard::get() {
    std::lock_guard lock(clipboardMutex);
    return clipboardContent;
}

void Clipboard::clear() {
    put(nullptr);
}

} // namespace sheet::embedded
