// Reading files as other programs write them, built here part by part.
#include "sheet/colors.h"
#include "sheet/workbook_io.h"
#include "support/workbook_parts.h"
#include "support/workbook_printing.h"

#include <gtest/gtest.h>

namespace sheet {
namespace {

using test_support::minimalWorkbook;
using test_support::PackageParts;
using test_support::readPackageParts;
using test_support::worksheetXml;

const Cell& cellOf(const Worksheet& sheet, long row, long column) {
    static const Cell kNone;
    const Cell* cell = sheet.cell(row, column);
    EXPECT_NE(cell, nullptr) << "row " << row << " column " << column;
    return cell ? *cell : kNone;
}

TEST(XlsxReader, ExpandsSharedFormulasIntoEachCellsOwnTextAndKeepsCachedValues) {
    const std::string body =
        R"(<row r="1"><c r="A1"><v>1</v></c><c r="B1"><v>2</v></c>)"
        R"(<c r="C1"><f t="shared" ref="C1:C3" si="0">A1+$B$1*B1</f><v>3</v></c>)"
        R"(<c r="D1"><f t="shared" ref="D1:F1" si="1">SUM(A$1:A1,'시트 2'!A1,"A1")</f><v>1</v></c>)"
        R"(<c r="E1"><f t="shared" si="1"/><v>2</v></c><c r="F1"><f t="shared" si="1"/><v>3</v></c></row>)"
        R"(<row r="2"><c r="A2"><v>4</v></c><c r="C2"><f t="shared" si="0"/><v>12</v></c></row>)"
        R"(<row r="3"><c r="C3"><f t="shared" si="0"/><v>0</v></c></row>)";
    const auto workbook = readPackageParts(minimalWorkbook({"Sheet1"}, {body}));
    const Worksheet& sheet = *workbook->sheets[0];
    EXPECT_EQ(cellOf(sheet, 1, 3).formula, "A1+$B$1*B1");
    EXPECT_EQ(cellOf(sheet, 2, 3).formula, "A2+$B$1*B2");
    EXPECT_EQ(cellOf(sheet, 3, 3).formula, "A3+$B$1*B3");
    EXPECT_EQ(cellOf(sheet, 2, 3).value, CellValue::Number(12));
    EXPECT_EQ(cellOf(sheet, 1, 5).formula, "SUM(B$1:B1,'시트 2'!B1,\"A1\")");
    EXPECT_EQ(cellOf(sheet, 1, 6).formula, "SUM(C$1:C1,'시트 2'!C1,\"A1\")");
    EXPECT_EQ(cellOf(sheet, 1, 6).value, CellValue::Number(3));
}

TEST(XlsxReader, ReadsEveryKindOfValue) {
    PackageParts parts = minimalWorkbook(
        {"Sheet1"},
        {R"(<row r="1"><c r="A1" t="inlineStr"><is><t xml:space="preserve"> 인라인 </t></is></c>)"
         R"(<c r="B1" t="s"><v>0</v></c><c r="C1" t="s"><v>1</v></c>)"
         R"(<c r="D1" t="b"><v>1</v></c><c r="E1" t="e"><v>#DIV/0!</v></c>)"
         R"(<c r="F1" t="str"><f>"가"&amp;"나"</f><v>가나</v></c>)"
         R"(<c r="G1" t="d"><v>2024-03-01T12:00:00</v></c><c r="H1"><v>1.5E-3</v></c></row>)"
         // Cells and rows without their position follow the one before.
         R"(<row><c><v>7</v></c><c><v>8</v></c></row>)"});
    parts["xl/sharedStrings.xml"] =
        R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
        R"(<si><t>줄_x000D_바꿈</t></si>)"
        R"(<si><r><rPr><b/></rPr><t>굵게</t></r><r><t xml:space="preserve"> 보통</t></r>)"
        R"(<rPh sb="0" eb="1"><t>읽는법</t></rPh></si></sst>)";
    parts["xl/_rels/workbook.xml.rels"].insert(
        parts["xl/_rels/workbook.xml.rels"].find("</Relationships>"),
        R"(<Relationship Id="rId9" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="/xl/sharedStrings.xml"/>)");
    const auto workbook = readPackageParts(parts);
    const Worksheet& sheet = *workbook->sheets[0];
    EXPECT_EQ(cellOf(sheet, 1, 1).value, CellValue::Text(" 인라인 "));
    EXPECT_EQ(cellOf(sheet, 1, 2).value, CellValue::Text("줄\r바꿈"));
    EXPECT_EQ(cellOf(sheet, 1, 3).value, CellValue::Text("굵게 보통"));
    EXPECT_EQ(cellOf(sheet, 1, 4).value, CellValue::Boolean(true));
    EXPECT_EQ(cellOf(sheet, 1, 5).value, CellValue::Error("#DIV/0!"));
    EXPECT_EQ(cellOf(sheet, 1, 6).formula, "\"가\"&\"나\"");
    EXPECT_EQ(cellOf(sheet, 1, 6).value, CellValue::Text("가나"));
    EXPECT_EQ(cellOf(sheet, 1, 7).value, CellValue::Number(45352.5));
    EXPECT_EQ(cellOf(sheet, 1, 8).value, CellValue::Number(0.0015));
    EXPECT_EQ(cellOf(sheet, 2, 1).value, CellValue::Number(7));
    EXPECT_EQ(cellOf(sheet, 2, 2).value, CellValue::Number(8));
}

TEST(XlsxReader, ResolvesThemeAndIndexedColoursWithTint) {
    PackageParts parts = minimalWorkbook(
        {"Sheet1"},
        {R"(<row r="1"><c r="A1" s="1"><v>1</v></c><c r="B1" s="2"><v>2</v></c></row>)"});
    parts["xl/styles.xml"] =
        R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
        R"(<fonts count="2"><font><sz val="11"/><color theme="1"/><name val="맑은 고딕"/></font>)"
        R"(<font><b val="0"/><i/><sz val="14"/><color theme="4" tint="0.59999389629810485"/><name val="굴림"/></font></fonts>)"
        R"(<fills count="3"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/></fill>)"
        R"(<fill><patternFill patternType="solid"><fgColor theme="0" tint="-0.14999847407452621"/><bgColor indexed="64"/></patternFill></fill></fills>)"
        R"(<borders count="2"><border/><border><left style="thin"><color indexed="10"/></left>)"
        R"(<bottom style="medium"><color rgb="FF00B050"/></bottom></border></borders>)"
        R"(<cellXfs count="3"><xf fontId="0" fillId="0" borderId="0"/>)"
        R"(<xf fontId="1" fillId="2" borderId="1" numFmtId="3"><alignment horizontal="general" vertical="bottom"/></xf>)"
        R"(<xf fontId="0" fillId="0" borderId="0" numFmtId="180"><alignment textRotation="180"/></xf></cellXfs>)"
        R"(<numFmts count="1"><numFmt numFmtId="180" formatCode="yyyy&quot;년&quot; m&quot;월&quot;"/></numFmts>)"
        R"(</styleSheet>)";
    // A theme whose accent 1 differs from the default proves the theme part is read.
    parts["xl/theme/theme1.xml"] =
        R"(<a:theme xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main"><a:themeElements><a:clrScheme name="x">)"
        R"(<a:dk1><a:sysClr val="windowText" lastClr="000000"/></a:dk1><a:lt1><a:sysClr val="window" lastClr="FFFFFF"/></a:lt1>)"
        R"(<a:dk2><a:srgbClr val="1F497D"/></a:dk2><a:lt2><a:srgbClr val="EEECE1"/></a:lt2>)"
        R"(<a:accent1><a:srgbClr val="4F81BD"/></a:accent1></a:clrScheme></a:themeElements></a:theme>)";
    std::string& rels = parts["xl/_rels/workbook.xml.rels"];
    rels.insert(
        rels.find("</Relationships>"),
        R"(<Relationship Id="rId8" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)"
        R"(<Relationship Id="rId9" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/theme" Target="theme/theme1.xml"/>)");
    const auto workbook = readPackageParts(parts);
    const Worksheet& sheet = *workbook->sheets[0];
    const Style& style = workbook->styles.at(cellOf(sheet, 1, 1).style);
    EXPECT_EQ(style.font.name, "굴림");
    EXPECT_EQ(style.font.size, 14);
    EXPECT_FALSE(style.font.bold);
    EXPECT_TRUE(style.font.italic);
    EXPECT_EQ(style.font.color, applyTint(0x4F81BD, 0.59999389629810485));
    EXPECT_EQ(style.font.color, Rgb{0xB8CCE4});
    EXPECT_EQ(style.fill.pattern, "solid");
    EXPECT_EQ(style.fill.foreground, Rgb{0xD9D9D9});
    EXPECT_EQ(style.fill.background, std::nullopt);
    EXPECT_EQ(style.border.left, (BorderSide{"thin", 0xFF0000}));
    EXPECT_EQ(style.border.bottom, (BorderSide{"medium", 0x00B050}));
    EXPECT_EQ(style.numberFormatId, 3);
    EXPECT_EQ(style.alignment, Alignment{});

    const Style& date = workbook->styles.at(cellOf(sheet, 1, 2).style);
    EXPECT_EQ(date.numberFormatCode, "yyyy\"년\" m\"월\"");
    EXPECT_EQ(date.numberFormatId, 180);
    EXPECT_EQ(date.alignment.rotation, 180);
    EXPECT_EQ(date.font.name, "맑은 고딕");
    EXPECT_TRUE(isDateFormat(date));
}

TEST(XlsxReader, FollowsTheWorkbooksSheetOrderAndDateSystem) {
    PackageParts parts = minimalWorkbook(
        {"첫째", "둘째"}, {R"(<row r="1"><c r="A1"><v>1</v></c></row>)",
                           R"(<row r="1"><c r="A1" t="d"><v>1904-01-02</v></c></row>)"});
    // List the second part first, under other names, as some writers do.
    std::string& book = parts["xl/workbook.xml"];
    book =
        R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
        R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
        R"(<workbookPr date1904="true"/><bookViews><workbookView activeTab="1"/></bookViews><sheets>)"
        R"(<sheet name="나중" sheetId="7" r:id="rId2"/><sheet name="먼저" sheetId="3" r:id="rId1"/>)"
        R"(</sheets></workbook>)";
    const auto workbook = readPackageParts(parts);
    ASSERT_EQ(workbook->sheets.size(), 2u);
    EXPECT_EQ(workbook->sheets[0]->name, "나중");
    EXPECT_EQ(workbook->sheets[1]->name, "먼저");
    EXPECT_EQ(cellOf(*workbook->sheets[0], 1, 1).value, CellValue::Number(1));
    EXPECT_EQ(cellOf(*workbook->sheets[1], 1, 1).value, CellValue::Number(1));
    EXPECT_TRUE(workbook->date1904);
    EXPECT_EQ(workbook->activeSheet, 1);
}

TEST(XlsxReader, ReadsPrefixedElementsAndSheetLayout) {
    PackageParts parts = minimalWorkbook({"Sheet1"}, {});
    parts["xl/worksheets/sheet1.xml"] =
        R"(<x:worksheet xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
        R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
        R"(<x:sheetPr><x:pageSetUpPr fitToPage="1"/></x:sheetPr>)"
        R"(<x:sheetViews><x:sheetView zoomScale="70" workbookViewId="0"><x:selection activeCell="C4" sqref="C4"/></x:sheetView></x:sheetViews>)"
        R"(<x:sheetFormatPr defaultRowHeight="16.5"/>)"
        R"(<x:cols><x:col min="1" max="2" width="10.7109375" customWidth="1"/><x:col min="4" max="4" width="9" hidden="1"/></x:cols>)"
        R"(<x:sheetData><x:row r="2" ht="27.75" customHeight="1" hidden="1"><x:c r="B2"><x:v>5</x:v></x:c></x:row></x:sheetData>)"
        R"(<x:sheetProtection sheet="1" objects="1"/>)"
        R"(<x:mergeCells count="1"><x:mergeCell ref="A1:C1"/></x:mergeCells>)"
        R"(<x:pageMargins left="0.3" right="0.4" top="0.5" bottom="0.6" header="0.1" footer="0.2"/>)"
        R"(<x:pageSetup paperSize="9" orientation="landscape" fitToHeight="0"/>)"
        R"(</x:worksheet>)";
    const auto workbook = readPackageParts(parts);
    const Worksheet& sheet = *workbook->sheets[0];
    EXPECT_EQ(cellOf(sheet, 2, 2).value, CellValue::Number(5));
    EXPECT_EQ(sheet.zoom, 70);
    EXPECT_EQ(sheet.selectedRow, 4);
    EXPECT_EQ(sheet.selectedColumn, 3);
    EXPECT_DOUBLE_EQ(sheet.columnWidth(1), 10);
    EXPECT_DOUBLE_EQ(sheet.columnWidth(2), 10);
    EXPECT_DOUBLE_EQ(sheet.columnWidth(3), sheet.defaultColumnWidth);
    EXPECT_EQ(sheet.hiddenColumns, std::vector<long>{4});
    EXPECT_EQ(sheet.hiddenRows, std::vector<long>{2});
    EXPECT_DOUBLE_EQ(sheet.rowHeight(2), 27.75);
    EXPECT_DOUBLE_EQ(sheet.defaultRowHeight, 16.5);
    EXPECT_EQ(sheet.merges, std::vector<CellRect>{(CellRect{1, 1, 1, 3})});
    EXPECT_TRUE(sheet.protection.on);
    EXPECT_TRUE(sheet.protection.passwordHash.empty());
    PageSetup named{2, 0.3, 0.4, 0.5, 0.6, 0.1, 0.2, 100, true, 1, 0, 9};
    named.paperSizeSet = true; // the file names its paper
    EXPECT_EQ(sheet.pageSetup, named);
}

} // namespace
} // namespace sheet
