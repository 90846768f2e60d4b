#include "run_fixture.h"

#include "sheet/range_text.h"
#include "sheet/workbook_io.h"

#include <QDir>
#include <cmath>
#include <limits>

namespace run_test {

double dataValue(int number, long row, long column) {
    return number * 1000 + row * 20 + column;
}

sheet::Style headingStyle() {
    sheet::Style style;
    style.font.bold = true;
    style.font.size = 16;
    style.alignment.horizontal = "center";
    style.fill.pattern = "solid";
    style.fill.foreground = 0xFFFF00;
    return style;
}

sheet::Style dataStyle() {
    sheet::Style style;
    style.numberFormatId = 3; // #,##0
    style.border.left.style = "thin";
    style.border.right.style = "thin";
    style.border.top.style = "thin";
    style.border.bottom.style = "thin";
    return style;
}

namespace {

void fillTitle(sheet::Workbook& book, sheet::Worksheet& sheet, const FormLayout& layout) {
    const int heading = book.styles.intern(headingStyle());
    sheet::Cell& title = sheet.cellAt(layout.titleFirstRow, layout.titleFirstColumn);
    title.value = sheet::CellValue::Text("학교별 현황");
    title.style = heading;
    sheet.merges.push_back(
        {layout.titleFirstRow, layout.titleFirstColumn, layout.titleFirstRow, layout.lastColumn});
    for (long c = layout.titleFirstColumn; c <= layout.lastColumn; ++c) {
        sheet.cellAt(layout.titleFirstRow, c).style = heading;
        sheet.cellAt(layout.titleLastRow, c).value =
            sheet::CellValue::Text("항목" + std::to_string(c));
    }
}

void fillData(sheet::Workbook& book, sheet::Worksheet& sheet, const FormLayout& layout,
              int number) {
    const int style = book.styles.intern(dataStyle());
    for (long r = layout.dataFirstRow; r <= layout.dataLastRow; ++r) {
        sheet.cellAt(r, 1).value = sheet::CellValue::Text("학교" + std::to_string(number));
        for (long c = 2; c <= layout.lastColumn; ++c) {
            sheet::Cell& cell = sheet.cellAt(r, c);
            cell.value = sheet::CellValue::Number(dataValue(number, r, c));
            cell.style = style;
        }
        if (layout.cellsRightOfTitle)
            sheet.cellAt(r, layout.lastColumn + 2).value = sheet::CellValue::Text("비고");
    }
}

void shapeSheet(sheet::Worksheet& sheet, const FormLayout& layout) {
    for (long c = 1; c <= layout.lastColumn + 3; ++c)
        sheet.columnWidths[c] = 5.0 + c;
    for (long r = 1; r <= layout.dataLastRow + 3; ++r)
        sheet.rowHeights[r] = 12.0 + r;
    sheet.zoom = 85;
    sheet.pageSetup.orientation = 2;
    sheet.pageSetup.leftMargin = 0.4;
    sheet.pageSetup.rightMargin = 0.3;
    sheet.pageSetup.footerMargin = 0.2;
    sheet.pageSetup.scale = 80;
    sheet.pageSetup.paperSize = 8; // A3
    sheet.pageSetup.paperSizeSet = true;
}

} // namespace

std::unique_ptr<sheet::Workbook> makeForm(const FormLayout& layout, int number) {
    auto book = std::make_unique<sheet::Workbook>();
    if (layout.otherSheetActive) {
        auto cover = std::make_unique<sheet::Worksheet>("표지");
        cover->zoom = 150;
        cover->cellAt(1, 1).value = sheet::CellValue::Text("표지");
        book->sheets.push_back(std::move(cover));
    }
    auto sheet = std::make_unique<sheet::Worksheet>(layout.sheetName);
    fillTitle(*book, *sheet, layout);
    fillData(*book, *sheet, layout, number);
    shapeSheet(*sheet, layout);
    book->sheets.push_back(std::move(sheet));
    book->activeSheet = 0;
    if (!layout.otherSheetActive)
        book->activeSheet = static_cast<int>(book->sheets.size()) - 1;
    return book;
}

DataFolder::DataFolder() {
    dataPath_ = dir_.filePath(QStringLiteral("자료 폴더"));
    QDir().mkpath(dataPath_ + QStringLiteral("/Result"));
}

QString DataFolder::resultFolder() const {
    return dataPath_ + QStringLiteral("/Result");
}

QString DataFolder::file(const QString& name) const {
    return dataPath_ + u'/' + name;
}

void DataFolder::writeForm(const QString& name, const FormLayout& layout, int number) const {
    write(name, *makeForm(layout, number));
}

void DataFolder::write(const QString& name, const sheet::Workbook& book) const {
    sheet::writeWorkbook(book, file(name).toStdString());
}

void DataFolder::writeFormWithoutResults(const QString& name, const FormLayout& layout,
                                         int number) const {
    auto book = makeForm(layout, number);
    sheet::Worksheet& sheet = *book->sheets.back();
    const std::string before = sheet::embedded::columnLetters(layout.lastColumn - 1);
    for (long r = layout.dataFirstRow; r <= layout.dataLastRow; ++r) {
        sheet::Cell& cell = sheet.cellAt(r, layout.lastColumn);
        cell.formula = "SUM(C" + std::to_string(r) + ":" + before + std::to_string(r) + ")";
        cell.value = {};
    }
    // A formula cell holding no result is written as <f> without <v>, as programs that do not
    // calculate write it.
    write(name, *book);
}

double rowSum(int number, long row, long lastColumn) {
    double total = 0;
    for (long c = 3; c < lastColumn; ++c)
        total += dataValue(number, row, c);
    return total;
}

void DataFolder::prepare(testing_support::RecordingRunHost& host) const {
    host.dataFolder = dataPath_;
    host.sheetName = QStringLiteral("자료");
}

std::unique_ptr<sheet::Workbook> readBack(const QString& path) {
    return sheet::readWorkbook(path.toStdString());
}

double numberAt(const sheet::Worksheet& sheet, long row, long column) {
    const sheet::Cell* cell = sheet.cell(row, column);
    if (!cell || cell->value.type != sheet::CellType::Number)
        return std::numeric_limits<double>::quiet_NaN();
    return cell->value.number;
}

std::string textAt(const sheet::Worksheet& sheet, long row, long column) {
    const sheet::Cell* cell = sheet.cell(row, column);
    return cell ? cell->value.text.str() : std::string();
}

} // namespace run_test
