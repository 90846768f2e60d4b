#include "sheet/clipboard.h"
#include "sheet/color_palette.h"
#include "sheet/embedded_core.h"
#include "sheet/embedded_messages.h"
#include "sheet/formula.h"
#include "sheet/hidden_lines.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace sheet::embedded {

namespace {

// Filling more cells than this at once is refused rather than run out of memory.
constexpr long long kLargestFill = 2'000'000;
constexpr double kLargestColumnWidth = 255;
constexpr double kLargestRowHeight = 409;

bool holdsSomething(const Cell* cell) {
    return cell && (!cell->value.empty() || !cell->formula.empty());
}

Variant variantOf(const CellValue& value) {
    switch (value.type) {
    case CellType::Empty:
        return std::monostate{};
    case CellType::Number:
        return value.number;
    case CellType::Boolean:
        return value.number != 0;
    case CellType::Text:
    case CellType::Error:
        return value.text;
    }
    return std::monostate{};
}

std::string numberText(double number) {
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", number);
    return text;
}

// A typed-in text as a cell value: a number when all of it reads as one.
CellValue valueOfText(const std::string& text) {
    if (text.empty())
        return {};
    const char* start = text.c_str();
    char* end = nullptr;
    double number = std::strtod(start, &end);
    if (end != start && *end == '\0' && std::isfinite(number) && text.front() != ' ')
        return CellValue::Number(number);
    return CellValue::Text(text);
}

class RangeObject : public IRange {
public:
    RangeObject(std::shared_ptr<WorksheetObject> sheet, const CellArea& area)
        : sheet_(std::move(sheet)), area_(area) {}

    Variant Value() override {
        LiveSheet live = sheet_->enter("Range.Value");
        const Cell* cell = live.sheet->cell(area_.rect.firstRow, area_.rect.firstColumn);
        return cell ? variantOf(cell->value) : Variant{};
    }

    void SetValue(const Variant& value) override {
        LiveSheet live = sheet_->enter("Range.SetValue");
        if (const auto* text = std::get_if<std::string>(&value); text && text->starts_with('=')) {
            assignFormula(live, text->substr(1));
            return;
        }
        assignValue(live, valueOfVariant(value));
    }

    std::string Formula() override {
        LiveSheet live = sheet_->enter("Range.Formula");
        const Cell* cell = live.sheet->cell(area_.rect.firstRow, area_.rect.firstColumn);
        if (!cell)
            return {};
        if (!cell->formula.empty())
            return "=" + cell->formula;
        if (cell->value.type == CellType::Number)
            return numberText(cell->value.number);
        if (cell->value.type == CellType::Boolean)
            return cell->value.number != 0 ? "TRUE" : "FALSE";
        return cell->value.text;
    }

    void SetFormula(const std::string& formula) override {
        LiveSheet live = sheet_->enter("Range.SetFormula");
        if (formula.starts_with('='))
            assignFormula(live, formula.substr(1));
        else
            assignValue(live, valueOfText(formula));
    }

    void Copy() override {
        LiveSheet live = sheet_->enter("Range.Copy");
        Clipboard::put(copyBlock(live.workbook(), *live.sheet, area_));
    }

    void Select() override {
        LiveSheet live = sheet_->enter("Range.Select");
        WorksheetObject::activate(live);
        live.sheet->selectedRow = area_.rect.firstRow;
        live.sheet->selectedColumn = area_.rect.firstColumn;
        live.core->notifyContent();
    }

    RangePtr End(XlDirection direction) override {
        LiveSheet live = sheet_->enter("Range.End");
        long row = area_.rect.firstRow, column = area_.rect.firstColumn;
        switch (direction) {
        case XlDirection::Up:
            row = endUp(*live.sheet, row, column);
            break;
        case XlDirection::Down:
            row = endDown(*live.sheet, row, column);
            break;
        case XlDirection::ToLeft:
            column = endLeft(*live.sheet, row, column);
            break;
        case XlDirection::ToRight:
            column = endRight(*live.sheet, row, column);
            break;
        }
        return makeRange(sheet_, CellArea::cell(row, column));
    }

    long Row() override {
        sheet_->enter("Range.Row");
        return area_.rect.firstRow;
    }

    long Column() override {
        sheet_->enter("Range.Column");
        return area_.rect.firstColumn;
    }

    int InteriorColorIndex() override {
        LiveSheet live = sheet_->enter("Range.InteriorColorIndex");
        const Cell* cell = live.sheet->cell(area_.rect.firstRow, area_.rect.firstColumn);
        const Fill& fill = live.workbook().styles.at(cell ? cell->style : 0).fill;
        if (fill.pattern == "none" || fill.pattern.empty())
            return kColorIndexNone;
        return nearestColorIndex(fill.foreground.value_or(0xFFFFFF));
    }

    void SetInteriorColorIndex(int index) override {
        LiveSheet live = sheet_->enter("Range.SetInteriorColorIndex");
        Fill fill;
        if (index != kColorIndexNone && index != 0) {
            auto color = paletteColor(index);
            if (!color)
                throw AutomationError(messages::kBadColorIndex + std::to_string(index));
            fill.pattern = "solid";
            fill.foreground = *color;
        }
        checkEditable(*live.sheet);
        StyleTable& styles = live.workbook().styles;
        forEachCell(live, [&](Cell& cell) {
            Style style = styles.at(cell.style);
            style.fill = fill;
            cell.style = styles.intern(style);
        });
        live.core->changed(live.book.get());
    }

    // A hidden column reads 0, as it shows.
    double ColumnWidth() override {
        LiveSheet live = sheet_->enter("Range.ColumnWidth");
        const long column = area_.rect.firstColumn;
        return live.sheet->isColumnHidden(column) ? 0 : live.sheet->columnWidth(column);
    }

    // A width of 0 hides the columns and keeps their width for when they are shown again; a
    // positive width shows them.
    void SetColumnWidth(double width) override {
        LiveSheet live = sheet_->enter("Range.SetColumnWidth");
        if (!(width >= 0 && width <= kLargestColumnWidth))
            throw AutomationError(messages::kBadColumnWidth + numberText(width));
        checkEditable(*live.sheet);
        Worksheet& sheet = *live.sheet;
        const long first = area_.rect.firstColumn, last = area_.rect.lastColumn;
        setLinesHidden(sheet.hiddenColumns, first, last, width == 0);
        if (width > 0 && (area_.kind == AreaKind::Rows || area_.kind == AreaKind::Sheet)) {
            sheet.defaultColumnWidth = width;
            sheet.columnWidths.clear();
        } else if (width > 0) {
            for (long c = first; c <= last; ++c)
                sheet.columnWidths[c] = width;
        }
        live.core->changed(live.book.get());
    }

    // A hidden row reads 0, as it shows.
    double RowHeight() override {
        LiveSheet live = sheet_->enter("Range.RowHeight");
        const long row = area_.rect.firstRow;
        return live.sheet->isRowHidden(row) ? 0 : live.sheet->rowHeight(row);
    }

    // A height of 0 hides the rows and keeps their height for when they are shown again; a
    // positive height shows them.
    void SetRowHeight(double height) override {
        LiveSheet live = sheet_->enter("Range.SetRowHeight");
        if (!(height >= 0 && height <= kLargestRowHeight))
            throw AutomationError(messages::kBadRowHeight + numberText(height));
        checkEditable(*live.sheet);
        Worksheet& sheet = *live.sheet;
        const long first = area_.rect.firstRow, last = area_.rect.lastRow;
        setLinesHidden(sheet.hiddenRows, first, last, height == 0);
        if (height > 0 && (area_.kind == AreaKind::Columns || area_.kind == AreaKind::Sheet)) {
            sheet.defaultRowHeight = height;
            sheet.rowHeights.clear();
        } else if (height > 0) {
            // A row of the default height holds no entry, so rows set to it cost nothing.
            for (long r = first; r <= last; ++r)
                if (height == sheet.defaultRowHeight)
                    sheet.rowHeights.erase(r);
                else
                    sheet.rowHeights[r] = height;
        }
        live.core->changed(live.book.get());
    }

private:
    std::shared_ptr<WorksheetObject> sheet_;
    CellArea area_;

    static CellValue valueOfVariant(const Variant& value) {
        if (const auto* number = std::get_if<double>(&value))
            return std::isfinite(*number) ? CellValue::Number(*number) : CellValue::Error("#NUM!");
        if (const auto* text = std::get_if<std::string>(&value))
            return text->empty() ? CellValue{} : CellValue::Text(*text);
        if (const auto* flag = std::get_if<bool>(&value))
            return CellValue::Boolean(*flag);
        return {};
    }

    long long cellCount() const {
        return static_cast<long long>(area_.rowCount()) * area_.columnCount();
    }

    // Visits every cell of a block, creating absent ones; on whole rows, columns or the whole
    // sheet only the cells that exist.
    template <typename Visit> void forEachCell(const LiveSheet& live, Visit visit) {
        const CellRect& rect = area_.rect;
        if (area_.kind != AreaKind::Cells) {
            auto& rows = live.sheet->rows();
            for (auto row = rows.lower_bound(rect.firstRow);
                 row != rows.end() && row->first <= rect.lastRow; ++row)
                for (auto cell = row->second.lower_bound(rect.firstColumn);
                     cell != row->second.end() && cell->first <= rect.lastColumn; ++cell)
                    visit(cell->second);
            return;
        }
        if (cellCount() > kLargestFill)
            throw AutomationError(messages::kAreaTooLarge + rangeTextOf(area_));
        for (long r = rect.firstRow; r <= rect.lastRow; ++r)
            for (long c = rect.firstColumn; c <= rect.lastColumn; ++c)
                visit(live.sheet->cellAt(r, c));
    }

    void checkLocked(const LiveSheet& live) const {
        if (!live.sheet->protection.on)
            return;
        // Only unlocked cells of a protected sheet take new contents.
        const CellRect& rect = area_.rect;
        const StyleTable& styles = live.workbook().styles;
        if (area_.kind != AreaKind::Cells)
            checkEditable(*live.sheet);
        for (long r = rect.firstRow; r <= rect.lastRow; ++r)
            for (long c = rect.firstColumn; c <= rect.lastColumn; ++c) {
                const Cell* cell = live.sheet->cell(r, c);
                if (styles.at(cell ? cell->style : 0).protection.locked)
                    checkEditable(*live.sheet);
            }
    }

    void assignValue(const LiveSheet& live, const CellValue& value) {
        checkLocked(live);
        if (value.empty()) {
            clearContents(live);
        } else {
            if (area_.kind != AreaKind::Cells && cellCount() > kLargestFill)
                throw AutomationError(messages::kAreaTooLarge + rangeTextOf(area_));
            fillBlock(live, value);
        }
        live.core->changed(live.book.get());
    }

    void fillBlock(const LiveSheet& live, const CellValue& value) {
        if (cellCount() > kLargestFill)
            throw AutomationError(messages::kAreaTooLarge + rangeTextOf(area_));
        const CellRect& rect = area_.rect;
        for (long r = rect.firstRow; r <= rect.lastRow; ++r)
            for (long c = rect.firstColumn; c <= rect.lastColumn; ++c) {
                Cell& cell = live.sheet->cellAt(r, c);
                cell.value = value;
                cell.formula.clear();
            }
    }

    // Empties the cells but keeps their formats, as clearing contents does.
    void clearContents(const LiveSheet& live) {
        const CellRect& rect = area_.rect;
        std::vector<std::pair<long, long>> unstyled;
        auto& rows = live.sheet->rows();
        for (auto row = rows.lower_bound(rect.firstRow);
             row != rows.end() && row->first <= rect.lastRow; ++row)
            for (auto cell = row->second.lower_bound(rect.firstColumn);
                 cell != row->second.end() && cell->first <= rect.lastColumn; ++cell) {
                cell->second.value = {};
                cell->second.formula.clear();
                if (cell->second.style == 0)
                    unstyled.emplace_back(row->first, cell->first);
            }
        for (auto [r, c] : unstyled)
            live.sheet->erase(r, c);
    }

    void assignFormula(const LiveSheet& live, const std::string& text) {
        checkLocked(live);
        if (cellCount() > kLargestFill)
            throw AutomationError(messages::kAreaTooLarge + rangeTextOf(area_));
        const std::string formula = canonicalFormula(text);
        const Workbook& workbook = live.workbook();
        CellLookup cached = [](const Worksheet& sheet, long row, long column) {
            const Cell* cell = sheet.cell(row, column);
            return cell ? cell->value : CellValue{};
        };
        // Every cell is worked out before any is written, so a failure changes nothing.
        struct Entry {
            long row, column;
            std::string formula;
            CellValue value;
        };
        std::vector<Entry> entries;
        const CellRect& rect = area_.rect;
        for (long r = rect.firstRow; r <= rect.lastRow; ++r)
            for (long c = rect.firstColumn; c <= rect.lastColumn; ++c) {
                const bool first = r == rect.firstRow && c == rect.firstColumn;
                std::string moved =
                    first ? formula
                          : shiftFormula(formula, r - rect.firstRow, c - rect.firstColumn);
                CellValue value = evaluateFormula(moved, workbook, *live.sheet, r, c, cached);
                entries.push_back({r, c, std::move(moved), std::move(value)});
            }
        for (Entry& entry : entries) {
            Cell& cell = live.sheet->cellAt(entry.row, entry.column);
            cell.formula = std::move(entry.formula);
            cell.value = std::move(entry.value);
        }
        live.core->changed(live.book.get());
    }

    // Ctrl+arrow: inside a run of filled cells to its last cell, else to the next filled cell,
    // else to the edge of the sheet.
    static long endUp(const Worksheet& sheet, long row, long column) {
        auto filled = [&](long r) { return holdsSomething(sheet.cell(r, column)); };
        if (row <= 1)
            return 1;
        if (filled(row) && filled(row - 1)) {
            while (row > 1 && filled(row - 1))
                --row;
            return row;
        }
        const auto& rows = sheet.rows();
        for (auto it = std::make_reverse_iterator(rows.lower_bound(row)); it != rows.rend(); ++it) {
            auto cell = it->second.find(column);
            if (cell != it->second.end() && holdsSomething(&cell->second))
                return it->first;
        }
        return 1;
    }

    static long endDown(const Worksheet& sheet, long row, long column) {
        auto filled = [&](long r) { return holdsSomething(sheet.cell(r, column)); };
        if (row >= kMaxRows)
            return kMaxRows;
        if (filled(row) && filled(row + 1)) {
            while (row < kMaxRows && filled(row + 1))
                ++row;
            return row;
        }
        const auto& rows = sheet.rows();
        for (auto it = rows.upper_bound(row); it != rows.end(); ++it) {
            auto cell = it->second.find(column);
            if (cell != it->second.end() && holdsSomething(&cell->second))
                return it->first;
        }
        return kMaxRows;
    }

    static long endLeft(const Worksheet& sheet, long row, long column) {
        auto filled = [&](long c) { return holdsSomething(sheet.cell(row, c)); };
        if (column <= 1)
            return 1;
        if (filled(column) && filled(column - 1)) {
            while (column > 1 && filled(column - 1))
                --column;
            return column;
        }
        auto found = sheet.rows().find(row);
        if (found == sheet.rows().end())
            return 1;
        const auto& cells = found->second;
        for (auto it = std::make_reverse_iterator(cells.lower_bound(column)); it != cells.rend();
             ++it)
            if (holdsSomething(&it->second))
                return it->first;
        return 1;
    }

    static long endRight(const Worksheet& sheet, long row, long column) {
        auto filled = [&](long c) { return holdsSomething(sheet.cell(row, c)); };
        if (column >= kMaxColumns)
            return kMaxColumns;
        if (filled(column) && filled(column + 1)) {
            while (column < kMaxColumns && filled(column + 1))
                ++column;
            return column;
        }
        auto found = sheet.rows().find(row);
        if (found == sheet.rows().end())
            return kMaxColumns;
        const auto& cells = found->second;
        for (auto it = cells.upper_bound(column); it != cells.end(); ++it)
            if (holdsSomething(&it->second))
                return it->first;
        return kMaxColumns;
    }
};

} // namespace

RangePtr makeRange(std::shared_ptr<WorksheetObject> sheet, const CellArea& area) {
    return std::make_shared<RangeObject>(std::move(sheet), area);
}

} // namespace sheet::embedded
