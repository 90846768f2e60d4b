// Workbooks the office suite saves as .xls read into the same model as its .xlsx of the same
// workbook: values, cached results, formula texts, styles, layout and page setup.
#include "sheet/number_formats.h"
#include "sheet/workbook_io.h"
#include "support/model_comparison.h"
#include "support/office_conversion.h"
#include "support/workbook_parts.h"

#include <gtest/gtest.h>

namespace sheet {
namespace {

using test_support::convertWithOffice;
using test_support::TempFolder;

Style styled(void (*change)(Style&)) {
    Style style;
    style.font.name = "Arial";
    style.font.size = 10;
    change(style);
    return style;
}

void fillValues(Workbook& book, Worksheet& sheet) {
    const int heading = book.styles.intern(styled([](Style& s) {
        s.font.bold = true;
        s.font.size = 14;
        s.font.color = 0x003366;
        s.alignment.horizontal = "center";
        s.alignment.vertical = "center";
        s.fill = Fill{"solid", 0xFFFF00, std::nullopt};
        s.border.bottom = BorderSide{"double", 0x000000};
    }));
    const int money = book.styles.intern(styled([](Style& s) {
        s.numberFormatId = 3;
        s.border.left = BorderSide{"thin", 0x000000};
        s.border.right = BorderSide{"medium", 0xFF0000};
        s.border.top = BorderSide{"dashed", 0x0000FF};
        s.border.bottom = BorderSide{"thin", 0x000000};
    }));
    const int percent = book.styles.intern(styled([](Style& s) {
        s.numberFormatId = 10;
        s.font.italic = true;
        s.alignment.indent = 2;
        s.alignment.horizontal = "left";
    }));
    const int date = book.styles.intern(styled([](Style& s) {
        s.numberFormatId = kFirstCustomNumberFormat;
        s.numberFormatCode = "yyyy-mm-dd hh:mm";
    }));
    const int duration = book.styles.intern(styled([](Style& s) {
        s.numberFormatId = kFirstCustomNumberFormat + 1;
        s.numberFormatCode = "[h]:mm";
        s.alignment.wrap = true;
        s.protection.locked = false;
    }));
    const int wrapped = book.styles.intern(styled([](Style& s) {
        s.alignment.wrap = true;
        s.font.underline = Underline::Single;
        s.font.strike = true;
        s.fill = Fill{"solid", 0xCCFFCC, std::nullopt};
    }));

    sheet.cellAt(1, 1) = Cell{CellValue::Text("학교별 현황"), "", heading};
    sheet.merges.push_back({1, 1, 1, 6});
    const char* headers[] = {"학교명", "학생 수", "교사 수", "비율", "개교일", "운영 시간"};
    for (long column = 1; column <= 6; ++column)
        sheet.cellAt(2, column) = Cell{CellValue::Text(headers[column - 1]), "", wrapped};
    const char* schools[] = {"한빛초", "새솔중", "푸른고", "다온초", "가람중"};
    for (long i = 0; i < 5; ++i) {
        const long row = 3 + i;
        sheet.cellAt(row, 1).value = CellValue::Text(schools[i]);
        sheet.cellAt(row, 2) = Cell{CellValue::Number(1200 + 37 * i), "", money};
        sheet.cellAt(row, 3) = Cell{CellValue::Number(40 + i), "", money};
        const double ratio = (40.0 + i) / (1200 + 37 * i);
        sheet.cellAt(row, 4) =
            Cell{CellValue::Number(ratio), "C" + std::to_string(row) + "/B" + std::to_string(row),
                 percent};
        sheet.cellAt(row, 5) = Cell{CellValue::Number(36526.5 + 400 * i), "", date};
        sheet.cellAt(row, 6) = Cell{CellValue::Number(1.25 + i), "", duration};
    }
    sheet.cellAt(8, 1).value = CellValue::Text("합계");
    sheet.cellAt(8, 2) = Cell{CellValue::Number(6370), "SUM(B3:B7)", money};
    sheet.cellAt(8, 3) = Cell{CellValue::Number(210), "SUM(C3:C7)", money};
    sheet.cellAt(9, 2) = Cell{CellValue::Number(1274), "AVERAGE(B3:B7)", money};
    sheet.cellAt(9, 3) = Cell{CellValue::Number(44), "MAX(C3:C7)", 0};
    sheet.cellAt(9, 4) = Cell{CellValue::Number(40), "MIN(C3:C7)", 0};
    sheet.cellAt(10, 2) = Cell{CellValue::Number(5), "COUNT(B3:B7)", 0};
    sheet.cellAt(10, 3) = Cell{CellValue::Number(6), "COUNTA(A2:A7)", 0};
    sheet.cellAt(10, 4) = Cell{CellValue::Number(0.03), "ROUND(D3,2)", 0};
    sheet.cellAt(11, 1) = Cell{CellValue::Text("많음"), "IF(B8>6000,\"많음\",\"적음\")", 0};
    sheet.cellAt(11, 2) = Cell{CellValue::Boolean(true), "B8>C8", 0};
    sheet.cellAt(11, 3) = Cell{CellValue::Error("#DIV/0!"), "1/0", 0};
    sheet.cellAt(11, 4) = Cell{CellValue::Text("한빛초-새솔중"), "A3&\"-\"&A4", 0};
    sheet.cellAt(11, 5) = Cell{CellValue::Number(12), "'다른 시트'!A1*2", 0};
    sheet.cellAt(11, 6) = Cell{CellValue::Number(-3.5), "-(A12+3.5)", 0};
    sheet.cellAt(12, 1).value = CellValue::Number(0);
    sheet.cellAt(12, 2).value = CellValue::Boolean(false);
    sheet.cellAt(12, 3).value = CellValue::Number(1e-7);
    sheet.cellAt(12, 4).value = CellValue::Number(123456789012.25);
    sheet.cellAt(13, 2).style = money; // a styled empty cell: its borders show
    // A column of like formulas, which writers keep as one shared formula.
    for (long row = 15; row <= 40; ++row) {
        sheet.cellAt(row, 1).value = CellValue::Number(static_cast<double>(row));
        sheet.cellAt(row, 2).value = CellValue::Number(row * 0.5);
        sheet.cellAt(row, 3) = Cell{CellValue::Number(row * row * 0.5),
                                    "A" + std::to_string(row) + "*B" + std::to_string(row), 0};
    }
}

void shapeSheet(Worksheet& sheet) {
    sheet.columnWidths = {{1, 14.5}, {2, 10}, {5, 18.25}, {6, 9}};
    sheet.rowHeights = {{1, 30}, {2, 24.75}};
    sheet.hiddenColumns = {8};
    sheet.hiddenRows = {14};
    PageSetup& page = sheet.pageSetup;
    page.orientation = 2;
    page.paperSize = 9;
    page.paperSizeSet = true;
    page.fitToPages = true;
    page.fitWidth = 1;
    page.fitHeight = 0;
    page.leftMargin = 0.5;
    page.rightMargin = 0.4;
    page.topMargin = 0.9;
    page.bottomMargin = 0.8;
    page.centerHorizontally = true;
    page.headerFooter.oddHeader = "&C학교별 현황";
    page.headerFooter.oddFooter = "&R&P / &N";
    page.titleFirstRow = 1;
    page.titleLastRow = 2;
    page.printArea = {{1, 1, 40, 6}};
    page.rowBreaks = {20};
    sheet.view.frozenRows = 2;
    sheet.view.frozenColumns = 1;
    sheet.view.topLeftRow = 3;
    sheet.view.topLeftColumn = 2;
    sheet.view.showGridLines = false;
    sheet.zoom = 85;
}

std::unique_ptr<Workbook> variedWorkbook() {
    auto book = std::make_unique<Workbook>();
    auto main = std::make_unique<Worksheet>("학교현황");
    fillValues(*book, *main);
    shapeSheet(*main);
    book->sheets.push_back(std::move(main));
    auto other = std::make_unique<Worksheet>("다른 시트");
    other->cellAt(1, 1).value = CellValue::Number(6);
    other->cellAt(2, 1).value = CellValue::Text("둘째 시트");
    other->pageSetup.scale = 75;
    other->pageSetup.paperSize = 1;
    other->pageSetup.paperSizeSet = true;
    book->sheets.push_back(std::move(other));
    auto hidden = std::make_unique<Worksheet>("숨김");
    hidden->hidden = true;
    hidden->cellAt(1, 1).value = CellValue::Text("숨은 값");
    book->sheets.push_back(std::move(hidden));
    return book;
}

class XlsOfficeSuite : public testing::Test {
protected:
    void SetUp() override {
        if (!test_support::officeSuiteInstalled())
            GTEST_SKIP() << "soffice is not installed";
    }

    // The same workbook as the office suite saves it in both formats.
    std::pair<std::unique_ptr<Workbook>, std::unique_ptr<Workbook>>
    bothFormats(const Workbook& book) {
        const std::string source = folder_.file("source.xlsx");
        writeWorkbook(book, source);
        const auto xls = convertWithOffice(source, "xls", folder_.path() / "xls");
        const auto xlsx = convertWithOffice(source, "xlsx", folder_.path() / "xlsx");
        if (xls.empty() || xlsx.empty())
            return {};
        return {readWorkbook(xlsx.string()), readWorkbook(xls.string())};
    }

    TempFolder folder_;
};

TEST_F(XlsOfficeSuite, ReadsTheSameModelAsTheXlsxOfTheSameWorkbook) {
    const auto [fromXlsx, fromXls] = bothFormats(*variedWorkbook());
    ASSERT_TRUE(fromXlsx && fromXls) << "the office suite did not convert the workbook";
    test_support::ComparisonOptions options;
    options.uncachedTextResults = true;
    const auto differences = test_support::modelDifferences(*fromXlsx, *fromXls, options);
    for (const std::string& line : differences)
        ADD_FAILURE() << line;
    ASSERT_EQ(fromXls->sheets.size(), 3u);
    const Worksheet& sheet = *fromXls->sheets[0];
    EXPECT_EQ(sheet.cell(8, 2)->formula, "SUM(B3:B7)");
    EXPECT_EQ(sheet.cell(11, 5)->formula, "'다른 시트'!A1*2");
    EXPECT_EQ(sheet.cell(40, 3)->formula, "A40*B40");
    EXPECT_EQ(sheet.cell(11, 3)->formula, "1/0");
    EXPECT_TRUE(fromXls->sheets[2]->hidden);
}

} // namespace
} // namespace sheet
