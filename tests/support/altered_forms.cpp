#include "support/altered_forms.h"

#include "form_generator.h"
#include "sheet/workbook_io.h"

#include <algorithm>

namespace testing_support {

namespace {

// The sheet's cells rebuilt with every position passed through `move`; a cell `move` drops
// (returns false) is removed.
template <typename Move> void moveCells(sheet::Worksheet& sheet, Move move) {
    sheet::RowMap<sheet::CellRow> moved;
    for (auto& [row, columns] : sheet.rows()) {
        for (auto& [column, cell] : columns) {
            long r = row;
            long c = column;
            if (move(r, c))
                moved[r][c] = std::move(cell);
        }
    }
    sheet.rows() = std::move(moved);
}

} // namespace

std::unique_ptr<sheet::Workbook> reportForm(const std::string& body, unsigned seed) {
    tools::FormOptions options;
    options.bodyName = body;
    options.seed = seed;
    return tools::buildForm(options);
}

sheet::Worksheet& firstSheet(sheet::Workbook& book) {
    return *book.sheets.front();
}

void insertRowBelow(sheet::Worksheet& sheet, long row) {
    moveCells(sheet, [row](long& r, long&) {
        if (r > row)
            ++r;
        return true;
    });
    for (sheet::CellRect& merge : sheet.merges) {
        if (merge.firstRow > row)
            ++merge.firstRow;
        if (merge.lastRow > row)
            ++merge.lastRow;
    }
    std::map<long, double> heights;
    for (const auto& [r, height] : sheet.rowHeights)
        heights[r > row ? r + 1 : r] = height;
    sheet.rowHeights = std::move(heights);
}

void deleteColumn(sheet::Worksheet& sheet, long column) {
    moveCells(sheet, [column](long&, long& c) {
        if (c == column)
            return false;
        if (c > column)
            --c;
        return true;
    });
    std::vector<sheet::CellRect> merges;
    for (sheet::CellRect merge : sheet.merges) {
        if (merge.firstColumn == column && merge.lastColumn == column)
            continue;
        if (merge.firstColumn > column)
            --merge.firstColumn;
        if (merge.lastColumn >= column)
            --merge.lastColumn;
        merges.push_back(merge);
    }
    sheet.merges = std::move(merges);
}

void changeNumbers(sheet::Worksheet& sheet, double delta) {
    for (auto& [row, columns] : sheet.rows()) {
        for (auto& [column, cell] : columns) {
            if (cell.value.type == sheet::CellType::Number)
                cell.value.number += delta;
        }
    }
}

void writeForm(const sheet::Workbook& book, const QString& path) {
    sheet::writeWorkbook(book, path.toStdString());
}

} // namespace testing_support
