// Writing a workbook and reading it back keeps every attribute the model holds.
#include "sheet/workbook_io.h"
#include "support/workbook_parts.h"
#include "support/workbook_printing.h"

#include <cmath>
#include <gtest/gtest.h>

namespace sheet {
namespace {

using test_support::TempFolder;

// Custom format ids are the file's own numbering; what matters is the code. A font without
// a colour of its own is saved with the theme's text colour, black.
Style normalized(Style style) {
    if (!style.numberFormatCode.empty())
        style.numberFormatId = 164;
    if (!style.font.color)
        style.font.color = 0x000000;
    return style;
}

Style titleStyle() {
    Style style;
    style.font = Font{"맑은 고딕", 16, true, false, false, Underline::Double, 0x1F3864};
    style.fill = Fill{"solid", 0xDDEBF7, std::nullopt};
    style.alignment.horizontal = "center";
    style.alignment.vertical = "center";
    style.border.bottom = BorderSide{"double", 0x000000};
    return style;
}

Style everyAttributeStyle() {
    Style style;
    style.font = Font{"Arial", 9.5, true, true, true, Underline::SingleAccounting, 0x112233};
    style.fill = Fill{"darkGrid", 0xFF0000, 0x00FF00};
    style.border.left = BorderSide{"thin", 0x0000FF};
    style.border.right = BorderSide{"medium", 0x00FFFF};
    style.border.top = BorderSide{"dashDotDot", 0x808080};
    style.border.bottom = BorderSide{"thick", std::nullopt};
    style.border.diagonal = BorderSide{"hair", 0xC00000};
    style.border.diagonalUp = true;
    style.border.diagonalDown = true;
    style.numberFormatId = 164;
    style.numberFormatCode = "#,##0.00\"원\";[Red]-#,##0.00\"원\"";
    style.alignment = Alignment{"right", "top", true, 135, 2, false};
    style.protection = CellProtection{false, true};
    return style;
}

std::unique_ptr<Workbook> sampleWorkbook() {
    auto workbook = std::make_unique<Workbook>();
    workbook->date1904 = true;
    const int title = workbook->styles.intern(titleStyle());
    const int every = workbook->styles.intern(everyAttributeStyle());
    Style dateStyle;
    dateStyle.numberFormatId = 14;
    dateStyle.font.color = 0x000000;
    const int date = workbook->styles.intern(dateStyle);
    Style stacked;
    stacked.font.color = 0x000000;
    stacked.alignment = Alignment{"center", "justify", false, 255, 0, true};
    const int vertical = workbook->styles.intern(stacked);

    auto form = std::make_unique<Worksheet>("취합 양식");
    form->cellAt(1, 1) = Cell{CellValue::Text("2024년 학교별 현황"), "", title};
    form->cellAt(1, 2).style = every; // inside the merge, with a look of its own
    form->merges.push_back(CellRect{1, 1, 1, 4});
    form->cellAt(2, 1).value = CellValue::Number(1234.5);
    form->cellAt(2, 2) = Cell{CellValue::Text("한글 텍스트 & <기호>"), "", every};
    form->cellAt(2, 3).value = CellValue::Boolean(true);
    form->cellAt(2, 4) = Cell{CellValue::Number(45000), "", date};
    form->cellAt(3, 1) = Cell{CellValue::Number(2469), "SUM(A2:A2)*2", 0};
    form->cellAt(3, 2) = Cell{CellValue::Text("가나"), "B2&\"\"", 0};
    form->cellAt(3, 3).style = vertical; // styled, empty
    form->cellAt(3, 4) = Cell{CellValue::Text(" 앞뒤 공백 "), "", 0};
    form->columnWidths = {{1, 10}, {2, 20}, {5, 3}};
    form->columnStyles[6] = every;
    form->hiddenColumns = {4};
    form->rowHeights = {{1, 30}, {2, 12.75}};
    form->rowStyles[7] = title;
    form->hiddenRows = {5};
    form->defaultRowHeight = 16.5;
    form->defaultColumnWidth = 9.71;
    form->pageSetup = PageSetup{2, 0.5, 0.6, 0.7, 0.8, 0.2, 0.25, 85, false, 1, 1, 9};
    form->pageSetup.paperSizeSet = true;
    form->zoom = 85;
    form->protection = SheetProtection{true, "CC3D", "", "", 0};
    form->selectedRow = 5;
    form->selectedColumn = 3;

    auto data = std::make_unique<Worksheet>("Data");
    data->cellAt(1, 1).value = CellValue::Number(-0.125);
    data->pageSetup = PageSetup{1, 0.25, 0.25, 0.75, 0.75, 0.3, 0.3, 100, true, 1, 0, 1};
    data->pageSetup.paperSizeSet = true;
    data->protection = SheetProtection{true,
                                       "q0lZrm1GAAeV/Mp+7KX/ug3RnJ6R3m7nG4y0QqfIxNmKHEVm5t/"
                                       "8GPTEsuhw8HsOO6OPCJJmJ9OzP4EQkR+ZZg==",
                                       "SHA-512", "2e1TfU3DfDRkSLBM8rL0ZQ==", 100000};

    auto hidden = std::make_unique<Worksheet>("숨은 시트");
    hidden->hidden = true;
    hidden->protection.on = true;
    hidden->cellAt(2, 2).value = CellValue::Text("숨김");

    workbook->sheets.push_back(std::move(form));
    workbook->sheets.push_back(std::move(data));
    workbook->sheets.push_back(std::move(hidden));
    workbook->activeSheet = 1;
    return workbook;
}

void expectSameCells(const Workbook& expectedBook, const Worksheet& expected,
                     const Workbook& actualBook, const Worksheet& actual) {
    for (const auto& [row, cells] : expected.rows()) {
        for (const auto& [column, cell] : cells) {
            SCOPED_TRACE(expected.name + " row " + std::to_string(row) + " column " +
                         std::to_string(column));
            const Cell* read = actual.cell(row, column);
            ASSERT_NE(read, nullptr);
            EXPECT_EQ(read->value, cell.value);
            EXPECT_EQ(read->formula, cell.formula);
            EXPECT_EQ(normalized(actualBook.styles.at(read->style)),
                      normalized(expectedBook.styles.at(cell.style)));
        }
    }
}

TEST(XlsxRoundTrip, KeepsEveryAttributeOfTheModel) {
    TempFolder folder;
    const auto written = sampleWorkbook();
    const std::string path = folder.file("결과.xlsx");
    writeWorkbook(*written, path);
    const auto read = readWorkbook(path);

    ASSERT_EQ(read->sheets.size(), 3u);
    EXPECT_EQ(read->sheets[0]->name, "취합 양식");
    EXPECT_EQ(read->sheets[1]->name, "Data");
    EXPECT_EQ(read->sheets[2]->name, "숨은 시트");
    EXPECT_EQ(read->activeSheet, 1);
    EXPECT_TRUE(read->date1904);
    EXPECT_FALSE(read->sheets[0]->hidden);
    EXPECT_TRUE(read->sheets[2]->hidden);

    for (size_t i = 0; i < 3; ++i) {
        const Worksheet& expected = *written->sheets[i];
        const Worksheet& actual = *read->sheets[i];
        SCOPED_TRACE(expected.name);
        expectSameCells(*written, expected, *read, actual);
        EXPECT_EQ(actual.merges, expected.merges);
        EXPECT_EQ(actual.pageSetup, expected.pageSetup);
        EXPECT_EQ(actual.zoom, expected.zoom);
        EXPECT_EQ(actual.protection, expected.protection);
        EXPECT_EQ(actual.selectedRow, expected.selectedRow);
        EXPECT_EQ(actual.selectedColumn, expected.selectedColumn);
        EXPECT_EQ(actual.hiddenRows, expected.hiddenRows);
        EXPECT_EQ(actual.hiddenColumns, expected.hiddenColumns);
        EXPECT_DOUBLE_EQ(actual.defaultRowHeight, expected.defaultRowHeight);
        EXPECT_NEAR(actual.defaultColumnWidth, expected.defaultColumnWidth, 0.01);
    }

    const Worksheet& form = *read->sheets[0];
    EXPECT_DOUBLE_EQ(form.columnWidth(1), 10);
    EXPECT_DOUBLE_EQ(form.columnWidth(2), 20);
    EXPECT_DOUBLE_EQ(form.columnWidth(5), 3);
    EXPECT_DOUBLE_EQ(form.rowHeight(1), 30);
    EXPECT_DOUBLE_EQ(form.rowHeight(2), 12.75);
    ASSERT_TRUE(form.columnStyles.count(6));
    EXPECT_EQ(normalized(read->styles.at(form.columnStyles.at(6))),
              normalized(everyAttributeStyle()));
    ASSERT_TRUE(form.rowStyles.count(7));
    EXPECT_EQ(read->styles.at(form.rowStyles.at(7)), titleStyle());
}

TEST(XlsxRoundTrip, MergedCellsWithoutACellOfTheirOwnStayPlain) {
    TempFolder folder;
    const auto written = sampleWorkbook();
    writeWorkbook(*written, folder.file("a.xlsx"));
    const auto read = readWorkbook(folder.file("a.xlsx"));
    const Worksheet& form = *read->sheets[0];
    const Cell* inside = form.cell(1, 3);
    const Style look = inside ? read->styles.at(inside->style) : Style{};
    EXPECT_EQ(look.fill.pattern, "none");
    EXPECT_TRUE(!inside || inside->value.empty());
}

TEST(XlsxRoundTrip, SavingOverAnExistingFileReplacesItAndLeavesNoTemporaryFile) {
    TempFolder folder;
    const std::string path = folder.file("same.xlsx");
    test_support::writeBytes(path, "old content");
    Workbook workbook;
    workbook.sheets.push_back(std::make_unique<Worksheet>("시트1"));
    workbook.sheets[0]->cellAt(1, 1).value = CellValue::Number(7);
    writeWorkbook(workbook, path);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"same.xlsx"});
    EXPECT_EQ(readWorkbook(path)->sheets[0]->cell(1, 1)->value, CellValue::Number(7));
}

TEST(XlsxRoundTrip, AFailedSaveKeepsTheOldFileAndLeavesNothingBeside) {
    TempFolder folder;
    const std::string path = folder.file("keep.xlsx");
    test_support::writeBytes(path, "the user's file");
    Workbook workbook;
    workbook.sheets.push_back(std::make_unique<Worksheet>("bad:name"));
    EXPECT_THROW(writeWorkbook(workbook, path), FileError);
    EXPECT_EQ(test_support::readBytes(path), "the user's file");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"keep.xlsx"});

    Workbook hugeMerge;
    hugeMerge.sheets.push_back(std::make_unique<Worksheet>("시트1"));
    hugeMerge.sheets[0]->merges.push_back(CellRect{1, 1, kMaxRows, kMaxColumns});
    EXPECT_THROW(writeWorkbook(hugeMerge, path), FileError);
    EXPECT_EQ(test_support::readBytes(path), "the user's file");

    Workbook tooLong;
    tooLong.sheets.push_back(std::make_unique<Worksheet>("시트1"));
    tooLong.sheets[0]->cellAt(1, 1).value = CellValue::Text(std::string(40000, 'x'));
    try {
        writeWorkbook(tooLong, path);
        FAIL() << "a text longer than a cell holds was written";
    } catch (const FileError& error) {
        EXPECT_NE(std::string(error.what()).find("keep.xlsx"), std::string::npos);
        EXPECT_NE(std::string(error.what()).find("A1"), std::string::npos);
    }
    EXPECT_EQ(test_support::readBytes(path), "the user's file");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"keep.xlsx"});
}

TEST(XlsxRoundTrip, SavingIntoAMissingFolderFailsWithTheFileNamed) {
    TempFolder folder;
    Workbook workbook;
    workbook.sheets.push_back(std::make_unique<Worksheet>("Sheet1"));
    const std::string path = folder.file("no/such/folder/out.xlsx");
    try {
        writeWorkbook(workbook, path);
        FAIL() << "no error";
    } catch (const FileError& error) {
        EXPECT_NE(std::string(error.what()).find(path), std::string::npos);
    }
}

} // namespace
} // namespace sheet
