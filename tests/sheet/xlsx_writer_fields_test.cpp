// Every field of the model reaches the written XML. Fields the reader reads are also checked
// after reading the file back; the others are checked in the parts themselves.
#include "sheet/workbook_io.h"
#include "support/workbook_parts.h"
#include "support/written_package.h"
#include "writer_fixtures.h"

#include <gtest/gtest.h>

namespace sheet {
namespace {

using test_support::TempFolder;
using test_support::WrittenPackage;

std::string attribute(pugi::xml_node node, const char* name) {
    return node.attribute(name).value();
}

pugi::xml_node rowNumbered(pugi::xml_node sheetData, const std::string& number) {
    return sheetData.find_child_by_attribute("row", "r", number.c_str());
}

class WrittenFields : public ::testing::Test {
protected:
    void SetUp() override {
        workbook_ = writer_fixtures::everyFieldWorkbook();
        path_ = folder_.file("fields.xlsx");
        writeWorkbook(*workbook_, path_);
        package_ = std::make_unique<WrittenPackage>(path_);
        sheet_ = package_->root("xl/worksheets/sheet1.xml");
    }

    TempFolder folder_;
    std::string path_;
    std::unique_ptr<Workbook> workbook_;
    std::unique_ptr<WrittenPackage> package_;
    pugi::xml_node sheet_;
};

TEST_F(WrittenFields, LayoutViewAndProtection) {
    pugi::xml_node format = sheet_.child("sheetFormatPr");
    EXPECT_EQ(attribute(format, "defaultRowHeight"), "12");
    EXPECT_EQ(attribute(format, "customHeight"), "1");
    pugi::xml_node data = sheet_.child("sheetData");
    // Heights as set; custom where they differ from the sheet's default of 12 points.
    EXPECT_EQ(attribute(rowNumbered(data, "1"), "ht"), "30");
    EXPECT_EQ(attribute(rowNumbered(data, "2"), "ht"), "15");
    EXPECT_EQ(attribute(rowNumbered(data, "2"), "customHeight"), "1");
    EXPECT_EQ(attribute(rowNumbered(data, "3"), "ht"), "12");
    EXPECT_EQ(attribute(rowNumbered(data, "3"), "customHeight"), "");
    EXPECT_EQ(attribute(rowNumbered(data, "7"), "customFormat"), "1");
    EXPECT_NE(attribute(rowNumbered(data, "7"), "s"), "");
    EXPECT_EQ(attribute(rowNumbered(data, "8"), "hidden"), "1");
    pugi::xml_node hiddenColumn = sheet_.child("cols").find_child_by_attribute("col", "min", "6");
    EXPECT_EQ(attribute(hiddenColumn, "hidden"), "1");
    EXPECT_NE(attribute(sheet_.child("cols").find_child_by_attribute("col", "min", "5"), "style"),
              "");

    pugi::xml_node view = sheet_.child("sheetViews").child("sheetView");
    EXPECT_EQ(attribute(view, "showGridLines"), "0");
    EXPECT_EQ(attribute(view, "zoomScale"), "85");
    EXPECT_EQ(attribute(view, "tabSelected"), "1");
    pugi::xml_node pane = view.child("pane");
    EXPECT_EQ(attribute(pane, "xSplit"), "1");
    EXPECT_EQ(attribute(pane, "ySplit"), "2");
    EXPECT_EQ(attribute(pane, "topLeftCell"), "B3");
    EXPECT_EQ(attribute(pane, "state"), "frozen");
    EXPECT_EQ(attribute(view.child("selection"), "pane"), "bottomRight");
    EXPECT_EQ(attribute(view.child("selection"), "activeCell"), "B5");
    EXPECT_EQ(attribute(sheet_.child("sheetPr").child("tabColor"), "rgb"), "FF00B050");

    pugi::xml_node protection = sheet_.child("sheetProtection");
    EXPECT_EQ(attribute(protection, "sheet"), "1");
    EXPECT_EQ(attribute(protection, "algorithmName"), "SHA-512");
    EXPECT_EQ(attribute(protection, "hashValue"), "c2VjcmV0aGFzaA==");
    EXPECT_EQ(attribute(protection, "saltValue"), "c2FsdA==");
    EXPECT_EQ(attribute(protection, "spinCount"), "100000");
    EXPECT_EQ(attribute(sheet_.child("mergeCells").child("mergeCell"), "ref"), "A1:D1");
}

TEST_F(WrittenFields, PageSetupPrintTitlesAreaAndBreaks) {
    pugi::xml_node setup = sheet_.child("pageSetup");
    EXPECT_FALSE(setup.attribute("paperSize")) << "no paper was named";
    EXPECT_EQ(attribute(setup, "orientation"), "landscape");
    EXPECT_EQ(attribute(setup, "fitToWidth"), "1");
    EXPECT_EQ(attribute(setup, "fitToHeight"), "0");
    EXPECT_EQ(attribute(setup, "pageOrder"), "overThenDown");
    EXPECT_EQ(attribute(setup, "firstPageNumber"), "3");
    EXPECT_EQ(attribute(setup, "useFirstPageNumber"), "1");
    EXPECT_EQ(attribute(sheet_.child("sheetPr").child("pageSetUpPr"), "fitToPage"), "1");
    pugi::xml_node options = sheet_.child("printOptions");
    EXPECT_EQ(attribute(options, "horizontalCentered"), "1");
    EXPECT_EQ(attribute(options, "verticalCentered"), "1");
    EXPECT_EQ(attribute(options, "gridLines"), "1");
    pugi::xml_node texts = sheet_.child("headerFooter");
    EXPECT_EQ(attribute(texts, "differentFirst"), "1");
    EXPECT_STREQ(texts.child_value("oddHeader"), "&C&\"맑은 고딕,Bold\"학교 현황");
    EXPECT_STREQ(texts.child_value("oddFooter"), "&C&P / &N");
    EXPECT_STREQ(texts.child_value("firstFooter"), "&R첫 쪽");
    std::vector<std::string> rowBreaks;
    for (pugi::xml_node brk : sheet_.child("rowBreaks").children("brk"))
        rowBreaks.push_back(attribute(brk, "id"));
    EXPECT_EQ(rowBreaks, (std::vector<std::string>{"10", "20"}));
    EXPECT_EQ(attribute(sheet_.child("colBreaks").child("brk"), "id"), "3");

    pugi::xml_node workbook = package_->root("xl/workbook.xml");
    std::vector<std::string> names;
    for (pugi::xml_node name : workbook.child("definedNames").children("definedName"))
        names.push_back(attribute(name, "name") + "@" + attribute(name, "localSheetId") + "=" +
                        name.child_value());
    EXPECT_EQ(names,
              (std::vector<std::string>{"_xlnm.Print_Titles@0='양식'!$1:$2,'양식'!$A:$A",
                                        "_xlnm.Print_Area@0='양식'!$A$1:$D$9,'양식'!$A$12:$B$14",
                                        "합계범위@='양식'!$C$3:$C$9", "지역@1='숨김'!$A$1"}));
    pugi::xml_node local =
        workbook.child("definedNames").find_child_by_attribute("definedName", "name", "지역");
    EXPECT_EQ(attribute(local, "hidden"), "1");
    EXPECT_EQ(attribute(workbook.child("workbookPr"), "date1904"), "1");
    std::vector<std::string> states;
    for (pugi::xml_node entry : workbook.child("sheets").children("sheet"))
        states.push_back(attribute(entry, "name") + ":" + attribute(entry, "state"));
    EXPECT_EQ(states, (std::vector<std::string>{"양식:", "숨김:hidden", "아주숨김:veryHidden"}));
}

TEST_F(WrittenFields, ConditionalFormatsWithTheirFormatsAndValidations) {
    pugi::xml_node format = sheet_.child("conditionalFormatting");
    EXPECT_EQ(attribute(format, "sqref"), "A3:A9 D3:D9");
    pugi::xml_node greater = format.find_child_by_attribute("cfRule", "type", "cellIs");
    EXPECT_EQ(attribute(greater, "operator"), "greaterThan");
    EXPECT_EQ(attribute(greater, "priority"), "2");
    EXPECT_EQ(attribute(greater, "stopIfTrue"), "1");
    EXPECT_STREQ(greater.child_value("formula"), "1000");
    pugi::xml_node dxfs = package_->root("xl/styles.xml").child("dxfs");
    pugi::xml_node dxf = dxfs.first_child();
    for (int i = std::stoi(attribute(greater, "dxfId")); i > 0; --i)
        dxf = dxf.next_sibling();
    ASSERT_TRUE(dxf);
    EXPECT_TRUE(dxf.child("font").child("b"));
    EXPECT_EQ(attribute(dxf.child("font").child("color"), "rgb"), "FF9C0006");
    EXPECT_EQ(attribute(dxf.child("fill").child("patternFill").child("bgColor"), "rgb"),
              "FFFFC7CE");
    pugi::xml_node scale = format.find_child_by_attribute("cfRule", "type", "colorScale");
    EXPECT_EQ(scale.child("colorScale").select_nodes("cfvo").size(), 2u);

    pugi::xml_node validations = sheet_.child("dataValidations");
    EXPECT_EQ(attribute(validations, "count"), "2");
    pugi::xml_node list = validations.find_child_by_attribute("dataValidation", "type", "list");
    EXPECT_EQ(attribute(list, "sqref"), "B5:B9");
    EXPECT_STREQ(list.child_value("formula1"), "\"가,나,다\"");
    EXPECT_FALSE(list.attribute("showDropDown")) << "the arrow shows";
    EXPECT_EQ(attribute(list, "errorStyle"), "warning");
    EXPECT_EQ(attribute(list, "error"), "목록에서 고르세요");
    EXPECT_EQ(attribute(list, "allowBlank"), "1");
    pugi::xml_node whole = validations.find_child_by_attribute("dataValidation", "type", "whole");
    EXPECT_STREQ(whole.child_value("formula2"), "100");
    EXPECT_FALSE(whole.attribute("allowBlank"));
}

TEST_F(WrittenFields, NotesAndLinks) {
    const auto relations = package_->relationships("xl/worksheets/sheet1.xml");
    std::string commentsPart;
    for (const auto& [id, target] : relations)
        if (target.find("comments") != std::string::npos)
            commentsPart = target;
    ASSERT_FALSE(commentsPart.empty());
    pugi::xml_node comments = package_->root(commentsPart);
    std::vector<std::string> notes;
    for (pugi::xml_node note : comments.child("commentList").children("comment")) {
        const int author = std::stoi(attribute(note, "authorId"));
        pugi::xml_node name = comments.child("authors").first_child();
        for (int i = 0; i < author; ++i)
            name = name.next_sibling();
        std::string text;
        for (pugi::xpath_node t : note.child("text").select_nodes(".//t"))
            text += t.node().child_value();
        notes.push_back(attribute(note, "ref") + " " + name.child_value() + ": " + text);
    }
    EXPECT_EQ(notes, (std::vector<std::string>{"A2 검토자: 굵게 보통", "A3 담당자: 확인 필요"}));
    EXPECT_TRUE(comments.child("commentList")
                    .first_child()
                    .child("text")
                    .child("r")
                    .child("rPr")
                    .child("b"));

    const std::string drawing = relations.at(attribute(sheet_.child("legacyDrawing"), "r:id"));
    pugi::xml_node vml = package_->root(drawing);
    std::vector<std::string> shown;
    for (pugi::xpath_node shape : vml.select_nodes("//x:ClientData"))
        shown.push_back(std::string(shape.node().child_value("x:Row")) + "," +
                        shape.node().child_value("x:Column") +
                        (shape.node().child("x:Visible") ? " visible" : ""));
    EXPECT_EQ(shown, (std::vector<std::string>{"1,0 visible", "2,0"}));

    pugi::xml_node external =
        sheet_.child("hyperlinks").find_child_by_attribute("hyperlink", "ref", "A5");
    EXPECT_EQ(relations.at(attribute(external, "r:id")), "https://example.org/a?b=1&c=2");
    EXPECT_EQ(attribute(external, "tooltip"), "누리집");
    EXPECT_EQ(attribute(external, "display"), "열기");
    pugi::xml_node internal =
        sheet_.child("hyperlinks").find_child_by_attribute("hyperlink", "ref", "A6:B6");
    EXPECT_FALSE(internal.attribute("r:id"));
    EXPECT_EQ(attribute(internal, "location"), "'숨김'!A1");
}

TEST_F(WrittenFields, CellsKeepTheirTypesFormulasAndRuns) {
    pugi::xml_node data = sheet_.child("sheetData");
    const auto cell = [&](const char* reference) {
        return data.find_node([&](pugi::xml_node node) {
            return std::string(node.name()) == "c" && attribute(node, "r") == reference;
        });
    };
    EXPECT_EQ(attribute(cell("B3"), "t"), "b");
    EXPECT_EQ(attribute(cell("C3"), "t"), "e");
    EXPECT_STREQ(cell("C3").child_value("v"), "#DIV/0!");
    EXPECT_FALSE(cell("C3").child("f")) << "an error value is no formula";
    EXPECT_EQ(attribute(cell("A4"), "t"), "b");
    EXPECT_STREQ(cell("A4").child_value("f"), "A3>5000");
    EXPECT_STREQ(cell("A4").child_value("v"), "0");
    EXPECT_EQ(attribute(cell("B4"), "t"), "str");
    EXPECT_STREQ(cell("B4").child_value("v"), "합계");
    EXPECT_EQ(attribute(cell("C4"), "t"), "e");
    EXPECT_STREQ(cell("C4").child_value("f"), "NA()");
    EXPECT_FALSE(cell("D4").child("v")) << "a formula without a result has no cached value";
    EXPECT_STREQ(cell("C9").child_value("v"), "-0.125");
    // The rich text cell's string item keeps both runs, the first one bold and coloured.
    pugi::xml_node strings = package_->root("xl/sharedStrings.xml");
    pugi::xml_node item = strings.first_child();
    for (int i = std::stoi(cell("A2").child_value("v")); i > 0; --i)
        item = item.next_sibling();
    ASSERT_EQ(item.select_nodes("r").size(), 2u);
    EXPECT_TRUE(item.child("r").child("rPr").child("b"));
    EXPECT_EQ(attribute(item.child("r").child("rPr").child("color"), "rgb"), "FFC00000");
    EXPECT_STREQ(item.child("r").child_value("t"), "굵은 글씨");
}

TEST_F(WrittenFields, WhatTheReaderReadsComesBackEqual) {
    const auto read = readWorkbook(path_);
    ASSERT_EQ(read->sheets.size(), 3u);
    const Worksheet& form = *read->sheets[0];
    const Worksheet& written = *workbook_->sheets[0];
    for (const auto& [row, cells] : written.rows())
        for (const auto& [column, cell] : cells) {
            const Cell* back = form.cell(row, column);
            ASSERT_TRUE(back) << row << "," << column;
            EXPECT_EQ(back->value, cell.value) << row << "," << column;
            EXPECT_EQ(back->formula, cell.formula) << row << "," << column;
        }
    EXPECT_DOUBLE_EQ(form.defaultRowHeight, 12);
    EXPECT_DOUBLE_EQ(form.rowHeight(2), 15);
    EXPECT_DOUBLE_EQ(form.rowHeight(1), 30);
    for (const auto& [column, width] : written.columnWidths)
        EXPECT_DOUBLE_EQ(form.columnWidth(column), width) << column;
    EXPECT_DOUBLE_EQ(form.defaultColumnWidth, 10);
    EXPECT_EQ(form.hiddenRows, written.hiddenRows);
    EXPECT_EQ(form.hiddenColumns, written.hiddenColumns);
    EXPECT_EQ(form.merges, written.merges);
    EXPECT_EQ(form.protection, written.protection);
    EXPECT_EQ(form.zoom, 85);
    EXPECT_EQ(form.selectedRow, 5);
    EXPECT_EQ(form.selectedColumn, 2);
    EXPECT_TRUE(read->date1904);
    EXPECT_FALSE(read->sheets[0]->hidden);
    EXPECT_TRUE(read->sheets[1]->hidden);
    EXPECT_TRUE(read->sheets[2]->hidden || read->sheets[2]->veryHidden);
    EXPECT_EQ(read->styles.at(form.cell(3, 4)->style).numberFormatCode, "#,##0\"원\"");
}

TEST(XlsxWriterFields, RangesOffTheSheetAreLeftOutAndTheRestIsWritten) {
    TempFolder folder;
    Workbook workbook;
    auto sheet = std::make_unique<Worksheet>("범위");
    sheet->hyperlinks.push_back(Hyperlink{CellRect{3, 1, 2, 1}, "https://a.example/", "", "", ""});
    sheet->hyperlinks.push_back(Hyperlink{CellRect{1, 1, 1, 1}, "", "", "", ""});
    sheet->hyperlinks.push_back(Hyperlink{CellRect{2, 2, 2, 2}, "https://b.example/", "", "", ""});
    DataValidation offSheet;
    offSheet.ranges = {CellRect{0, 1, 5, 1}};
    offSheet.type = "whole";
    offSheet.formula1 = "1";
    sheet->dataValidations.push_back(offSheet);
    DataValidation partly = offSheet;
    partly.ranges = {CellRect{1, 1, 1, kMaxColumns + 1}, CellRect{4, 4, 5, 5}};
    sheet->dataValidations.push_back(partly);
    sheet->comments.push_back(Comment{0, 1, "", "off", nullptr, false});
    workbook.sheets.push_back(std::move(sheet));
    const std::string path = folder.file("ranges.xlsx");
    writeWorkbook(workbook, path);
    WrittenPackage package(path);
    pugi::xml_node root = package.root("xl/worksheets/sheet1.xml");
    ASSERT_EQ(root.child("hyperlinks").select_nodes("hyperlink").size(), 1u);
    EXPECT_EQ(package.relationships("xl/worksheets/sheet1.xml"),
              (std::map<std::string, std::string>{{"rId1", "https://b.example/"}}));
    ASSERT_EQ(root.child("dataValidations").select_nodes("dataValidation").size(), 1u);
    EXPECT_EQ(attribute(root.child("dataValidations").child("dataValidation"), "sqref"), "D4:E5");
    EXPECT_FALSE(root.child("legacyDrawing"));
}

// Rows with only a height, a style or the hidden state are written between the rows with
// cells, in row order, each once, even from a hidden-row list built out of order.
TEST(XlsxWriterFields, RowLayoutsAreWrittenInRowOrderBesideTheCells) {
    TempFolder folder;
    Workbook workbook;
    auto sheet = std::make_unique<Worksheet>("행");
    sheet->defaultRowHeight = 12;
    sheet->cellAt(1, 1).value = CellValue::Number(1);
    sheet->cellAt(5, 2).value = CellValue::Text("가");
    sheet->rowHeights = {{3, 20}, {5, 30}};
    Style bold;
    bold.font.bold = true;
    sheet->rowStyles = {{4, workbook.styles.intern(bold)}};
    sheet->hiddenRows = {9, 2, 5, 2};
    workbook.sheets.push_back(std::move(sheet));
    const std::string path = folder.file("rows.xlsx");
    writeWorkbook(workbook, path);

    WrittenPackage package(path);
    std::vector<std::string> written;
    for (pugi::xml_node row :
         package.root("xl/worksheets/sheet1.xml").child("sheetData").children())
        written.push_back(attribute(row, "r") + ":" + attribute(row, "ht") + ":" +
                          attribute(row, "customFormat") + ":" + attribute(row, "hidden") + ":" +
                          std::to_string(std::distance(row.begin(), row.end())));
    EXPECT_EQ(written, (std::vector<std::string>{"1::::1", "2:::1:0", "3:20:::0", "4::1::0",
                                                 "5:30::1:1", "9:::1:0"}));
    auto read = readWorkbook(path);
    const Worksheet& back = *read->sheets.front();
    EXPECT_EQ(back.hiddenRows, (std::vector<long>{2, 5, 9}));
    EXPECT_EQ(back.rowHeights, (std::map<long, double>{{3, 20}, {5, 30}}));
    ASSERT_EQ(back.rowStyles.count(4), 1u);
    EXPECT_TRUE(read->styles.at(back.rowStyles.at(4)).font.bold);
}

} // namespace
} // namespace sheet
