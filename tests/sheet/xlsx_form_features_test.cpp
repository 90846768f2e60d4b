// Reading what forms carry besides cells, from packages built part by part.
#include "sheet/workbook_io.h"
#include "support/feature_form.h"
#include "support/workbook_parts.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace sheet {
namespace {

using test_support::featureForm;
using test_support::minimalWorkbook;
using test_support::PackageParts;
using test_support::readPackageParts;
using test_support::worksheetXml;

const SheetAttachment* attachmentOf(const Worksheet& sheet, const std::string& element) {
    for (const SheetAttachment& attachment : sheet.attachments)
        if (attachment.element == element)
            return &attachment;
    return nullptr;
}

class FeatureFormRead : public ::testing::Test {
protected:
    void SetUp() override {
        book = readPackageParts(featureForm());
        ASSERT_EQ(book->sheets.size(), 2u);
        sheet = book->sheets[0].get();
    }
    std::unique_ptr<Workbook> book;
    Worksheet* sheet = nullptr;
};

TEST_F(FeatureFormRead, RichTextKeepsEachRunsFontAndPlainTextStaysPlain) {
    const Cell* title = sheet->cell(1, 1);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->value, CellValue::Text("붉은 글자"));
    ASSERT_TRUE(title->richText);
    ASSERT_EQ(title->richText->size(), 2u);
    const TextRun& red = (*title->richText)[0];
    EXPECT_EQ(red.text, "붉은 ");
    ASSERT_TRUE(red.font);
    EXPECT_TRUE(red.font->bold);
    EXPECT_EQ(red.font->color, Rgb{0xFF0000});
    EXPECT_DOUBLE_EQ(red.font->size, 14);
    EXPECT_EQ(red.font->name, "맑은 고딕");
    EXPECT_FALSE((*title->richText)[1].font);
    EXPECT_FALSE(sheet->cell(2, 1)->richText);
    EXPECT_FALSE(sheet->cell(3, 1)->richText);
}

TEST_F(FeatureFormRead, RawLineBreakBecomesOneLineFeed) {
    EXPECT_EQ(sheet->cell(3, 3)->value, CellValue::Text("첫줄\n둘째줄"));
}

TEST_F(FeatureFormRead, HiddenLinesAndTheFifteenPointRow) {
    EXPECT_EQ(sheet->hiddenRows, std::vector<long>{4});
    EXPECT_EQ(sheet->hiddenColumns, std::vector<long>{3});
    EXPECT_DOUBLE_EQ(sheet->defaultRowHeight, 13.5);
    EXPECT_DOUBLE_EQ(sheet->rowHeight(5), 15);
    EXPECT_DOUBLE_EQ(sheet->rowHeight(6), 13.5);
}

TEST_F(FeatureFormRead, PrintLayout) {
    const PageSetup& setup = sheet->pageSetup;
    EXPECT_TRUE(setup.fitToPages);
    EXPECT_EQ(setup.fitWidth, 1);
    EXPECT_EQ(setup.fitHeight, 0);
    EXPECT_FALSE(setup.paperSizeSet);
    EXPECT_EQ(setup.orientation, 2);
    EXPECT_TRUE(setup.centerHorizontally);
    EXPECT_FALSE(setup.centerVertically);
    EXPECT_DOUBLE_EQ(setup.topMargin, 0.9);
    EXPECT_DOUBLE_EQ(setup.bottomMargin, 0.8);
    EXPECT_DOUBLE_EQ(setup.headerMargin, 0.4);
    EXPECT_EQ(setup.headerFooter.oddHeader, "&C현황");
    EXPECT_EQ(setup.headerFooter.oddFooter, "&C&P / &N");
    EXPECT_EQ(setup.titleFirstRow, 1);
    EXPECT_EQ(setup.titleLastRow, 2);
    EXPECT_EQ(setup.titleFirstColumn, 0);
    EXPECT_EQ(setup.printArea, std::vector<CellRect>{(CellRect{1, 1, 6, 4})});
    EXPECT_EQ(setup.rowBreaks, std::vector<long>{4});
    EXPECT_TRUE(setup.columnBreaks.empty());
}

TEST_F(FeatureFormRead, ViewOfTheSheet) {
    EXPECT_EQ(sheet->view.frozenRows, 2);
    EXPECT_EQ(sheet->view.frozenColumns, 0);
    EXPECT_EQ(sheet->view.topLeftRow, 3);
    EXPECT_FALSE(sheet->view.showGridLines);
    EXPECT_EQ(sheet->view.tabColor, Rgb{0xFF0000});
    EXPECT_FALSE(book->sheets[1]->view.tabColor);
    EXPECT_TRUE(book->sheets[1]->veryHidden);
    EXPECT_TRUE(book->sheets[1]->hidden);
    EXPECT_FALSE(sheet->veryHidden);
}

TEST_F(FeatureFormRead, ConditionalFormatsWithTheirDifferentialStyles) {
    ASSERT_EQ(sheet->conditionalFormats.size(), 2u);
    const ConditionalFormat& above = sheet->conditionalFormats[0];
    EXPECT_EQ(above.ranges, std::vector<CellRect>{(CellRect{3, 2, 6, 2})});
    ASSERT_EQ(above.rules.size(), 1u);
    EXPECT_EQ(above.rules[0].type, "cellIs");
    EXPECT_EQ(above.rules[0].operatorName, "greaterThan");
    EXPECT_EQ(above.rules[0].formulas, std::vector<std::string>{"102"});
    EXPECT_EQ(above.rules[0].priority, 2);
    ASSERT_TRUE(above.rules[0].style);
    EXPECT_EQ(above.rules[0].style->fontColor, Rgb{0xFF0000});
    ASSERT_TRUE(above.rules[0].style->fill);
    EXPECT_EQ(above.rules[0].style->fill->pattern, "solid");
    EXPECT_EQ(above.rules[0].style->fill->background, Rgb{0xFFFF00});
    EXPECT_FALSE(above.rules[0].style->bold);

    const ConditionalRule& bold = sheet->conditionalFormats[1].rules.at(0);
    EXPECT_EQ(bold.type, "expression");
    EXPECT_EQ(bold.formulas, std::vector<std::string>{"$B3>103"});
    ASSERT_TRUE(bold.style);
    EXPECT_EQ(bold.style->bold, true);
    EXPECT_FALSE(bold.style->fill);
}

TEST_F(FeatureFormRead, ValidationNoteAndLinks) {
    ASSERT_EQ(sheet->dataValidations.size(), 1u);
    const DataValidation& list = sheet->dataValidations[0];
    EXPECT_EQ(list.type, "list");
    EXPECT_EQ(list.formula1, "\"가,나,다\"");
    EXPECT_EQ(list.ranges, std::vector<CellRect>{(CellRect{3, 3, 6, 3})});
    EXPECT_TRUE(list.showDropDown);
    EXPECT_TRUE(list.allowBlank);

    ASSERT_EQ(sheet->comments.size(), 1u);
    const Comment& note = sheet->comments[0];
    EXPECT_EQ(note.row, 3);
    EXPECT_EQ(note.column, 2);
    EXPECT_EQ(note.author, "담당");
    EXPECT_EQ(note.text, "담당: 검토 필요");
    ASSERT_TRUE(note.richText);
    EXPECT_TRUE(note.richText->front().font->bold);

    ASSERT_EQ(sheet->hyperlinks.size(), 2u);
    EXPECT_EQ(sheet->hyperlinks[0].range, (CellRect{2, 1, 2, 1}));
    EXPECT_EQ(sheet->hyperlinks[0].target, "https://example.org/안내");
    EXPECT_EQ(sheet->hyperlinks[0].tooltip, "안내");
    EXPECT_EQ(sheet->hyperlinks[1].target, "");
    EXPECT_EQ(sheet->hyperlinks[1].location, "'자료'!A1");
    EXPECT_EQ(sheet->hyperlinks[1].display, "처음으로");
}

TEST_F(FeatureFormRead, DefinedNamesLeaveTheBuiltInOnesToThePageSetup) {
    ASSERT_EQ(book->names.size(), 2u);
    EXPECT_EQ(book->names[0], (DefinedName{"Rate", "0.500000", -1, false, ""}));
    EXPECT_EQ(book->names[1], (DefinedName{"기준", "'자료'!$B$3", 0, false, ""}));
}

TEST_F(FeatureFormRead, PictureAndTableAreCarriedWithTheirPartsButNotTheNotesDrawing) {
    const SheetAttachment* drawing = attachmentOf(*sheet, "drawing");
    ASSERT_NE(drawing, nullptr);
    EXPECT_EQ(drawing->part->name, "xl/drawings/drawing1.xml");
    EXPECT_EQ(drawing->part->contentType,
              "application/vnd.openxmlformats-officedocument.drawing+xml");
    ASSERT_EQ(drawing->part->relations.size(), 1u);
    const PartRelation& image = drawing->part->relations[0];
    EXPECT_EQ(image.id, "rId1");
    ASSERT_TRUE(image.part);
    EXPECT_EQ(image.part->contentType, "image/png");
    EXPECT_EQ(image.part->data, test_support::featurePictureBytes());

    const SheetAttachment* table = attachmentOf(*sheet, "tablePart");
    ASSERT_NE(table, nullptr);
    EXPECT_NE(table->part->data.find("자료표"), std::string::npos);
    EXPECT_EQ(attachmentOf(*sheet, "legacyDrawing"), nullptr);
    EXPECT_EQ(sheet->attachments.size(), 2u);
}

// Packages with one sheet whose part and relationships a test gives.
PackageParts sheetWith(const std::string& body, const std::string& relationships = {}) {
    PackageParts parts = minimalWorkbook({"Sheet1"}, {});
    parts["xl/worksheets/sheet1.xml"] = worksheetXml(body);
    if (!relationships.empty())
        parts["xl/worksheets/_rels/sheet1.xml.rels"] =
            R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)" +
            relationships + "</Relationships>";
    return parts;
}

std::string relation(const std::string& id, const std::string& kind, const std::string& target) {
    return "<Relationship Id=\"" + id +
           "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/" + kind +
           "\" Target=\"" + target + "\"/>";
}

TEST(XlsxCarriedParts, PartsReferringInACircleOrToNothingEndTheChain) {
    PackageParts parts = sheetWith(R"(<sheetData/><drawing r:id="rId1"/><picture r:id="rId2"/>)",
                                   relation("rId1", "drawing", "../drawings/d1.xml") +
                                       relation("rId2", "image", "../media/absent.png"));
    parts["xl/drawings/d1.xml"] = "<wsDr/>";
    parts["xl/drawings/_rels/d1.xml.rels"] =
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)" +
        relation("rId1", "chart", "../charts/c1.xml") + relation("rId2", "image", "nowhere.png") +
        "</Relationships>";
    parts["xl/charts/c1.xml"] = "<chartSpace/>";
    parts["xl/charts/_rels/c1.xml.rels"] =
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)" +
        relation("rId1", "drawing", "../drawings/d1.xml") + "</Relationships>";
    const auto book = readPackageParts(parts);
    const Worksheet& sheet = *book->sheets[0];
    ASSERT_EQ(sheet.attachments.size(), 1u);
    const PackagePart& drawing = *sheet.attachments[0].part;
    ASSERT_EQ(drawing.relations.size(), 1u);
    const PackagePart& chart = *drawing.relations[0].part;
    EXPECT_EQ(chart.name, "xl/charts/c1.xml");
    EXPECT_TRUE(chart.relations.empty());
    EXPECT_EQ(chart.contentType, "application/xml");
}

TEST(XlsxCarriedParts, ALongChainOfPartsIsCutWhereNoSoundFileGoes) {
    PackageParts parts = sheetWith(R"(<sheetData/><drawing r:id="rId1"/>)",
                                   relation("rId1", "drawing", "../p/0.xml"));
    const int chain = 100;
    for (int i = 0; i < chain; ++i) {
        const std::string n = std::to_string(i);
        parts["xl/p/" + n + ".xml"] = "<part/>";
        parts["xl/p/_rels/" + n + ".xml.rels"] =
            R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)" +
            relation("rId1", "chart", std::to_string(i + 1) + ".xml") + "</Relationships>";
    }
    const auto book = readPackageParts(parts);
    ASSERT_EQ(book->sheets[0]->attachments.size(), 1u);
    int depth = 0;
    for (const PackagePart* part = book->sheets[0]->attachments[0].part.get(); part;
         part = part->relations.empty() ? nullptr : part->relations[0].part.get())
        ++depth;
    EXPECT_GE(depth, 4);
    EXPECT_LT(depth, chain);
}

TEST(XlsxCarriedParts, OnePictureOnTwoSheetsIsTakenOnce) {
    PackageParts parts = minimalWorkbook({"가", "나"}, {});
    for (const std::string n : {"1", "2"}) {
        parts["xl/worksheets/sheet" + n + ".xml"] =
            worksheetXml(R"(<sheetData/><picture r:id="rId1"/>)");
        parts["xl/worksheets/_rels/sheet" + n + ".xml.rels"] =
            R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)" +
            relation("rId1", "image", "/xl/media/back.png") + "</Relationships>";
    }
    parts["xl/media/back.png"] = "PNG";
    const auto book = readPackageParts(parts);
    ASSERT_EQ(book->sheets[0]->attachments.size(), 1u);
    ASSERT_EQ(book->sheets[1]->attachments.size(), 1u);
    EXPECT_EQ(book->sheets[0]->attachments[0].part, book->sheets[1]->attachments[0].part);
    EXPECT_EQ(book->sheets[0]->attachments[0].element, "picture");
}

TEST(XlsxCarriedParts, ControlsKeepTheirElementWithThePlaceOfTheirId) {
    const std::string body =
        R"(<sheetData/><mc:AlternateContent xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006">)"
        R"(<mc:Choice Requires="x14"><controls><mc:AlternateContent><mc:Choice Requires="x14">)"
        R"(<control shapeId="1025" r:id="rId7" name="확인란"><controlPr/></control></mc:Choice>)"
        R"(<mc:Fallback><control shapeId="1025" r:id="rId7" name="확인란"/></mc:Fallback>)"
        R"(</mc:AlternateContent></controls></mc:Choice></mc:AlternateContent>)"
        R"(<oleObjects><oleObject progId="Package" shapeId="1026" r:id="rId8"/></oleObjects>)";
    PackageParts parts = sheetWith(body, relation("rId7", "ctrlProp", "../ctrlProps/p1.xml") +
                                             relation("rId8", "oleObject", "../embeddings/o1.bin"));
    parts["xl/ctrlProps/p1.xml"] = R"(<formControlPr objectType="CheckBox"/>)";
    parts["xl/embeddings/o1.bin"] = "OLE";
    const auto book = readPackageParts(parts);
    const Worksheet& sheet = *book->sheets[0];
    ASSERT_EQ(sheet.attachments.size(), 2u);
    EXPECT_EQ(sheet.attachments[1].element, "oleObject");
    EXPECT_EQ(sheet.attachments[1].elementXml,
              R"(<oleObject progId="Package" shapeId="1026" r:id="{rId}"/>)");
    EXPECT_EQ(sheet.attachments[1].part->data, "OLE");
    EXPECT_EQ(sheet.attachments[0].element, "control");
    EXPECT_EQ(sheet.attachments[0].elementXml,
              R"(<control shapeId="1025" r:id="{rId}" name="확인란"/>)");
}

TEST(XlsxFormFeatures, UnreadablePiecesAreLeftOutAndTheRestKept) {
    const std::string body =
        R"(<sheetData/>)"
        R"(<conditionalFormatting sqref="ZZZZ1 B2:B3"><cfRule type="cellIs" dxfId="9" priority="1" operator="equal">)"
        R"(<formula>1</formula></cfRule></conditionalFormatting>)"
        R"(<conditionalFormatting sqref="nonsense"><cfRule type="cellIs"><formula>1</formula></cfRule></conditionalFormatting>)"
        R"(<dataValidations><dataValidation sqref="" type="list"><formula1>A1:A3</formula1></dataValidation>)"
        R"(<dataValidation type="whole" operator="between" sqref="C1"><formula1>1</formula1><formula2>9</formula2></dataValidation></dataValidations>)"
        R"(<hyperlinks><hyperlink ref="A1" r:id="rId9"/><hyperlink ref="bad" location="A1"/></hyperlinks>)"
        R"(<rowBreaks><brk id="0" man="1"/><brk id="5"/><brk id="7" man="1"/><brk id="2000000" man="1"/></rowBreaks>)"
        R"(<headerFooter differentFirst="1"><firstHeader>_x000D_첫</firstHeader></headerFooter>)";
    const auto book = readPackageParts(sheetWith(body));
    const Worksheet& sheet = *book->sheets[0];
    ASSERT_EQ(sheet.conditionalFormats.size(), 1u);
    EXPECT_EQ(sheet.conditionalFormats[0].ranges, std::vector<CellRect>{(CellRect{2, 2, 3, 2})});
    EXPECT_FALSE(sheet.conditionalFormats[0].rules[0].style);
    ASSERT_EQ(sheet.dataValidations.size(), 1u);
    EXPECT_EQ(sheet.dataValidations[0].type, "whole");
    EXPECT_EQ(sheet.dataValidations[0].operatorName, "");
    EXPECT_EQ(sheet.dataValidations[0].formula2, "9");
    EXPECT_FALSE(sheet.dataValidations[0].allowBlank);
    EXPECT_TRUE(sheet.hyperlinks.empty());
    EXPECT_EQ(sheet.pageSetup.rowBreaks, std::vector<long>{7});
    EXPECT_TRUE(sheet.pageSetup.headerFooter.differentFirst);
    EXPECT_EQ(sheet.pageSetup.headerFooter.firstHeader, "\r첫");
}

TEST(XlsxFormFeatures, ValidationListsInTheExtensionAndNotesShownAllTheTime) {
    const std::string body =
        R"(<sheetData/><legacyDrawing r:id="rId2"/><extLst><ext uri="{CCE6A557-97BC-4b89-ADB6-D9C93CAAB3DF}" )"
        R"(xmlns:x14="http://schemas.microsoft.com/office/spreadsheetml/2009/9/main">)"
        R"(<x14:dataValidations count="1" xmlns:xm="http://schemas.microsoft.com/office/excel/2006/main">)"
        R"(<x14:dataValidation type="list" allowBlank="1"><x14:formula1><xm:f>목록!$A$1:$A$5</xm:f></x14:formula1>)"
        R"(<x14:formula2><xm:f>9</xm:f></x14:formula2><xm:sqref>C3:C6 E1</xm:sqref></x14:dataValidation>)"
        R"(</x14:dataValidations></ext></extLst>)";
    PackageParts parts = sheetWith(body, relation("rId1", "comments", "../comments1.xml") +
                                             relation("rId2", "vmlDrawing", "../d/v1.vml"));
    parts["xl/comments1.xml"] =
        R"(<comments xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><authors/><commentList>)"
        R"(<comment ref="B3" authorId="4"><text><t>보임</t></text></comment>)"
        R"(<comment ref="C9"><text><t>숨음</t></text></comment><comment ref="?"><text/></comment></commentList></comments>)";
    parts["xl/d/v1.vml"] =
        R"(<xml xmlns:v="urn:schemas-microsoft-com:vml" xmlns:x="urn:schemas-microsoft-com:office:excel">)"
        R"(<v:shape><x:ClientData ObjectType="Note"><x:Visible/><x:Row>2</x:Row><x:Column>1</x:Column></x:ClientData></v:shape>)"
        R"(<v:shape><x:ClientData ObjectType="Note"><x:Row>8</x:Row><x:Column>2</x:Column></x:ClientData></v:shape></xml>)";
    const auto book = readPackageParts(parts);
    const Worksheet& sheet = *book->sheets[0];
    ASSERT_EQ(sheet.dataValidations.size(), 1u);
    EXPECT_EQ(sheet.dataValidations[0].formula1, "목록!$A$1:$A$5");
    EXPECT_EQ(sheet.dataValidations[0].formula2, "");
    EXPECT_EQ(sheet.dataValidations[0].ranges, (std::vector<CellRect>{{3, 3, 6, 3}, {1, 5, 1, 5}}));
    ASSERT_EQ(sheet.comments.size(), 2u);
    EXPECT_TRUE(sheet.comments[0].visible);
    EXPECT_EQ(sheet.comments[0].author, "");
    EXPECT_FALSE(sheet.comments[1].visible);
    EXPECT_TRUE(sheet.attachments.empty());
}

TEST(XlsxFormFeatures, ANotesDrawingThatIsNoXmlLeavesTheNotesHidden) {
    PackageParts parts = sheetWith(R"(<sheetData/><legacyDrawing r:id="rId2"/>)",
                                   relation("rId1", "comments", "../comments1.xml") +
                                       relation("rId2", "vmlDrawing", "../d/v1.vml"));
    parts["xl/comments1.xml"] =
        R"(<comments xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><commentList>)"
        R"(<comment ref="A1"><text><t>메모</t></text></comment></commentList></comments>)";
    parts["xl/d/v1.vml"] = "<xml><v:shape><br></xml>";
    const auto book = readPackageParts(parts);
    ASSERT_EQ(book->sheets[0]->comments.size(), 1u);
    EXPECT_FALSE(book->sheets[0]->comments[0].visible);
}

TEST(XlsxDefinedNames, PrintTitlesAndAreasOfQuotedSheetsAndNamesOfUnreadSheets) {
    PackageParts parts = minimalWorkbook({"a,b", "It's"}, {});
    std::string& workbook = parts["xl/workbook.xml"];
    workbook.insert(
        workbook.find("</workbook>"),
        R"(<definedNames>)"
        R"(<definedName name="_xlnm.Print_Titles" localSheetId="0">'a,b'!$A:$B,'a,b'!$3:$4</definedName>)"
        R"(<definedName name="_xlnm.Print_Area" localSheetId="1">'It''s'!$B$2:$C$9,'It''s'!$E$1:$F$2</definedName>)"
        R"(<definedName name="Far" localSheetId="7">'a,b'!$A$1</definedName>)"
        R"(<definedName name="Hidden" hidden="1" comment="메모">'It''s'!$A$1</definedName>)"
        R"(</definedNames>)");
    const auto book = readPackageParts(parts);
    const PageSetup& first = book->sheets[0]->pageSetup;
    EXPECT_EQ(first.titleFirstColumn, 1);
    EXPECT_EQ(first.titleLastColumn, 2);
    EXPECT_EQ(first.titleFirstRow, 3);
    EXPECT_EQ(first.titleLastRow, 4);
    EXPECT_EQ(book->sheets[1]->pageSetup.printArea,
              (std::vector<CellRect>{{2, 2, 9, 3}, {1, 5, 2, 6}}));
    ASSERT_EQ(book->names.size(), 1u);
    EXPECT_EQ(book->names[0], (DefinedName{"Hidden", "'It''s'!$A$1", -1, true, "메모"}));
}

TEST(XlsxLineEnds, CarriageReturnsInSharedStringsBecomeLineFeeds) {
    PackageParts parts = minimalWorkbook(
        {"Sheet1"},
        {R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="str"><f>"a"</f><v>x&#13;y</v></c></row>)"});
    parts["xl/sharedStrings.xml"] = "<sst "
                                    "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/"
                                    "main\"><si><t>one\rtwo\r\nthree</t></si></sst>";
    std::string& rels = parts["xl/_rels/workbook.xml.rels"];
    rels.insert(rels.find("</Relationships>"),
                relation("rId9", "sharedStrings", "sharedStrings.xml"));
    const auto book = readPackageParts(parts);
    EXPECT_EQ(book->sheets[0]->cell(1, 1)->value, CellValue::Text("one\ntwo\nthree"));
    // A character reference is the writer's deliberate CR and stays.
    EXPECT_EQ(book->sheets[0]->cell(1, 2)->value, CellValue::Text("x\ry"));
}

} // namespace
} // namespace sheet
