#include "sheet/a1_reference.h"
#include "sheet/xlsx_sheet_parts.h"
#include "sheet/xlsx_styles_writer.h"
#include "sheet/xlsx_xml_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace sheet {

namespace {

constexpr double kDigitPixels = 7;
constexpr double kPaddingPixels = 5;
constexpr double kStandardRowHeight = 15;
constexpr double kStandardColumnWidth = 8.43;

struct ColumnLayout {
    double width = 0;
    bool customWidth = false;
    int style = -1; // -1: none
    bool hidden = false;
    bool operator==(const ColumnLayout&) const = default;
};

void appendSheetProperties(std::string& out, const Worksheet& sheet) {
    const bool fit = sheet.pageSetup.fitToPages;
    if (!sheet.view.tabColor && !fit)
        return;
    out += "<sheetPr>";
    if (sheet.view.tabColor) {
        char text[16];
        std::snprintf(text, sizeof text, "FF%06X",
                      static_cast<unsigned>(*sheet.view.tabColor & 0xFFFFFF));
        out += "<tabColor rgb=\"";
        out += text;
        out += "\"/>";
    }
    if (fit)
        out += "<pageSetUpPr fitToPage=\"1\"/>";
    out += "</sheetPr>";
}

bool validCell(long row, long column) {
    return row >= 1 && row <= kMaxRows && column >= 1 && column <= kMaxColumns;
}

void appendPane(std::string& out, const SheetView& view, std::string& activePane) {
    const long rows = std::clamp(view.frozenRows, 0L, kMaxRows - 1);
    const long columns = std::clamp(view.frozenColumns, 0L, kMaxColumns - 1);
    if (rows == 0 && columns == 0)
        return;
    activePane = rows > 0 && columns > 0 ? "bottomRight" : rows > 0 ? "bottomLeft" : "topRight";
    out += "<pane";
    if (columns > 0)
        appendAttribute(out, "xSplit", columns);
    if (rows > 0)
        appendAttribute(out, "ySplit", rows);
    const long topRow = std::clamp(view.topLeftRow, rows + 1, kMaxRows);
    const long leftColumn = std::clamp(view.topLeftColumn, columns + 1, kMaxColumns);
    appendAttribute(out, "topLeftCell", cellAddressText(topRow, leftColumn));
    appendAttribute(out, "activePane", activePane);
    out += " state=\"frozen\"/>";
}

void appendSheetViews(std::string& out, const Worksheet& sheet, bool selected) {
    const SheetView& view = sheet.view;
    out += "<sheetViews><sheetView";
    if (!view.showGridLines)
        out += " showGridLines=\"0\"";
    if (!view.showZeros)
        out += " showZeros=\"0\"";
    if (view.rightToLeft)
        out += " rightToLeft=\"1\"";
    if (selected)
        out += " tabSelected=\"1\"";
    const bool frozen = view.frozenRows > 0 || view.frozenColumns > 0;
    if (!frozen && (view.topLeftRow != 1 || view.topLeftColumn != 1) &&
        validCell(view.topLeftRow, view.topLeftColumn))
        appendAttribute(out, "topLeftCell", cellAddressText(view.topLeftRow, view.topLeftColumn));
    if (sheet.zoom != 100 && sheet.zoom >= 10 && sheet.zoom <= 400)
        appendAttribute(out, "zoomScale", static_cast<long>(sheet.zoom));
    out += " workbookViewId=\"0\">";
    std::string activePane;
    appendPane(out, view, activePane);
    const long row = sheet.selectedRow, column = sheet.selectedColumn;
    if (validCell(row, column) && (row != 1 || column != 1 || !activePane.empty())) {
        out += "<selection";
        if (!activePane.empty())
            appendAttribute(out, "pane", activePane);
        const std::string cell = cellAddressText(row, column);
        appendAttribute(out, "activeCell", cell);
        appendAttribute(out, "sqref", cell);
        out += "/>";
    }
    out += "</sheetView></sheetViews>";
}

void appendFormatDefaults(std::string& out, const Worksheet& sheet) {
    out += "<sheetFormatPr";
    const double width = sheet.defaultColumnWidth;
    if (std::abs(width - kStandardColumnWidth) > 0.005 && width > 0 && width <= 255)
        appendAttribute(out, "defaultColWidth", fileWidthOf(width));
    const double height = sheet.defaultRowHeight > 0 && sheet.defaultRowHeight <= 409.5
                              ? sheet.defaultRowHeight
                              : kStandardRowHeight;
    appendAttribute(out, "defaultRowHeight", height);
    if (height != kStandardRowHeight)
        out += " customHeight=\"1\"";
    out += "/>";
}

std::map<long, ColumnLayout> columnLayouts(const Worksheet& sheet) {
    std::map<long, ColumnLayout> columns;
    for (const auto& [column, width] : sheet.columnWidths) {
        columns[column].width = width;
        columns[column].customWidth = true;
    }
    for (const auto& [column, style] : sheet.columnStyles)
        columns[column].style = style;
    for (long column : sheet.hiddenColumns)
        columns[column].hidden = true;
    for (auto& [column, layout] : columns)
        if (!layout.customWidth)
            layout.width = sheet.defaultColumnWidth;
    return columns;
}

void appendColumnRange(std::string& out, long first, long last, const ColumnLayout& layout,
                       const StylesPart& styles) {
    out += "<col";
    appendAttribute(out, "min", first);
    appendAttribute(out, "max", last);
    const double width = std::clamp(layout.width, 0.0, 255.0);
    appendAttribute(out, "width", fileWidthOf(width));
    if (layout.style >= 0)
        appendAttribute(out, "style", static_cast<long>(styles.formatOf(layout.style)));
    if (layout.hidden)
        out += " hidden=\"1\"";
    if (layout.customWidth)
        out += " customWidth=\"1\"";
    out += "/>";
}

// Runs of neighbouring columns with equal settings go out as one range.
void appendColumns(std::string& out, const Worksheet& sheet, const StylesPart& styles) {
    std::map<long, ColumnLayout> columns = columnLayouts(sheet);
    columns.erase(columns.begin(), columns.lower_bound(1));
    columns.erase(columns.upper_bound(kMaxColumns), columns.end());
    if (columns.empty())
        return;
    out += "<cols>";
    auto run = columns.begin();
    while (run != columns.end()) {
        auto last = run;
        auto next = std::next(run);
        while (next != columns.end() && next->first == last->first + 1 &&
               next->second == run->second)
            last = next++;
        appendColumnRange(out, run->first, last->first, run->second, styles);
        run = next;
    }
    out += "</cols>";
}

} // namespace

double fileWidthOf(double characters) {
    const double pixels = std::round(characters * kDigitPixels);
    return std::floor((pixels + kPaddingPixels) / kDigitPixels * 256) / 256;
}

std::string rangeReference(const CellRect& rect) {
    std::string text = cellAddressText(rect.firstRow, rect.firstColumn);
    if (rect.lastRow != rect.firstRow || rect.lastColumn != rect.firstColumn)
        text += ":" + cellAddressText(rect.lastRow, rect.lastColumn);
    return text;
}

bool isOnSheet(const CellRect& rect) {
    return rect.firstRow >= 1 && rect.firstColumn >= 1 && rect.firstRow <= rect.lastRow &&
           rect.firstColumn <= rect.lastColumn && rect.lastRow <= kMaxRows &&
           rect.lastColumn <= kMaxColumns;
}

std::string rangeList(const std::vector<CellRect>& ranges) {
    std::string text;
    for (const CellRect& rect : ranges) {
        if (!isOnSheet(rect))
            continue;
        if (!text.empty())
            text += ' ';
        text += rangeReference(rect);
    }
    return text;
}

std::string dimensionOf(const Worksheet& sheet) {
    const auto& rows = sheet.rows();
    long firstRow = 0, lastRow = 0, firstColumn = kMaxColumns + 1, lastColumn = 0;
    for (const auto& [row, cells] : rows) {
        if (cells.empty() || row < 1 || row > kMaxRows)
            continue;
        if (firstRow == 0)
            firstRow = row;
        lastRow = row;
        firstColumn = std::min(firstColumn, cells.begin()->first);
        lastColumn = std::max(lastColumn, cells.rbegin()->first);
    }
    if (firstRow == 0)
        return "A1";
    firstColumn = std::clamp(firstColumn, 1L, kMaxColumns);
    lastColumn = std::clamp(lastColumn, firstColumn, kMaxColumns);
    return rangeReference(CellRect{firstRow, firstColumn, lastRow, lastColumn});
}

void appendSheetHead(std::string& out, const Worksheet& sheet, bool selected,
                     const StylesPart& styles) {
    out += "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
           "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">";
    appendSheetProperties(out, sheet);
    out += "<dimension ref=\"" + dimensionOf(sheet) + "\"/>";
    appendSheetViews(out, sheet, selected);
    appendFormatDefaults(out, sheet);
    appendColumns(out, sheet, styles);
}

} // namespace sheet
