#include "feature_form.h"

namespace test_support {

namespace {

const std::string kXmlHead = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)";
const std::string kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const std::string kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const std::string kPackageRels = "http://schemas.openxmlformats.org/package/2006/relationships";

std::string relationship(const std::string& id, const std::string& kind, const std::string& target,
                         bool external = false) {
    return "<Relationship Id=\"" + id + "\" Type=\"" + kRelNs + "/" + kind + "\" Target=\"" +
           target + "\"" + (external ? " TargetMode=\"External\"" : "") + "/>";
}

std::string relationships(const std::string& body) {
    return kXmlHead + "<Relationships xmlns=\"" + kPackageRels + "\">" + body + "</Relationships>";
}

std::string contentTypes() {
    const std::string prefix = "application/vnd.openxmlformats-officedocument.";
    auto part = [&](const std::string& name, const std::string& type) {
        return "<Override PartName=\"/" + name + "\" ContentType=\"" + prefix + type + "\"/>";
    };
    return kXmlHead +
           R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
           R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
           R"(<Default Extension="xml" ContentType="application/xml"/>)"
           R"(<Default Extension="png" ContentType="image/png"/>)"
           R"(<Default Extension="vml" ContentType="application/vnd.openxmlformats-officedocument.vmlDrawing"/>)" +
           part("xl/workbook.xml", "spreadsheetml.sheet.main+xml") +
           part("xl/worksheets/sheet1.xml", "spreadsheetml.worksheet+xml") +
           part("xl/worksheets/sheet2.xml", "spreadsheetml.worksheet+xml") +
           part("xl/styles.xml", "spreadsheetml.styles+xml") +
           part("xl/sharedStrings.xml", "spreadsheetml.sharedStrings+xml") +
           part("xl/comments1.xml", "spreadsheetml.comments+xml") +
           part("xl/drawings/drawing1.xml", "drawing+xml") +
           part("xl/tables/table1.xml", "spreadsheetml.table+xml") + "</Types>";
}

std::string workbookPart(const FeatureFormOptions& options) {
    return kXmlHead + "<workbook xmlns=\"" + kMain + "\" xmlns:r=\"" + kRelNs + "\">" +
           R"(<sheets><sheet name="자료" sheetId="1" r:id="rId1"/>)"
           R"(<sheet name="숨김" sheetId="2" state="veryHidden" r:id="rId2"/></sheets>)"
           R"(<definedNames>)"
           R"(<definedName name="_xlnm.Print_Area" localSheetId="0">'자료'!$A$1:$D$6</definedName>)"
           R"(<definedName name="_xlnm.Print_Titles" localSheetId="0">'자료'!$1:$2</definedName>)"
           R"(<definedName name="Rate">)" +
           std::to_string(options.rate) +
           R"(</definedName>)"
           R"(<definedName name="기준" localSheetId="0">'자료'!$B$3</definedName>)"
           R"(</definedNames></workbook>)";
}

std::string workbookRelationships() {
    return relationships(relationship("rId1", "worksheet", "worksheets/sheet1.xml") +
                         relationship("rId2", "worksheet", "worksheets/sheet2.xml") +
                         relationship("rId3", "styles", "styles.xml") +
                         relationship("rId4", "sharedStrings", "sharedStrings.xml"));
}

// Style 1: bordered data cells. dxf 0: red text on yellow; dxf 1: bold.
std::string stylesPart() {
    return kXmlHead + "<styleSheet xmlns=\"" + kMain + "\">" +
           R"(<fonts count="1"><font><sz val="11"/><name val="맑은 고딕"/></font></fonts>)"
           R"(<fills count="2"><fill><patternFill patternType="none"/></fill>)"
           R"(<fill><patternFill patternType="gray125"/></fill></fills>)"
           R"(<borders count="2"><border/><border><left style="thin"/><right style="thin"/>)"
           R"(<top style="thin"/><bottom style="thin"/></border></borders>)"
           R"(<cellStyleXfs count="1"><xf/></cellStyleXfs>)"
           R"(<cellXfs count="2"><xf fontId="0" fillId="0" borderId="0"/>)"
           R"(<xf fontId="0" fillId="0" borderId="1" applyBorder="1"/></cellXfs>)"
           R"(<dxfs count="2"><dxf><font><color rgb="FFFF0000"/></font>)"
           R"(<fill><patternFill><bgColor rgb="FFFFFF00"/></patternFill></fill></dxf>)"
           R"(<dxf><font><b/></font></dxf></dxfs></styleSheet>)";
}

std::string sharedStringsPart() {
    return kXmlHead + "<sst xmlns=\"" + kMain + "\" count=\"5\" uniqueCount=\"5\">" +
           R"(<si><r><rPr><b/><sz val="14"/><color rgb="FFFF0000"/><rFont val="맑은 고딕"/></rPr>)"
           R"(<t xml:space="preserve">붉은 </t></r><r><t>글자</t></r></si>)"
           R"(<si><t>이름</t></si><si><t>값</t></si><si><t>메모</t></si><si><t>합계</t></si>)"
           "</sst>";
}

std::string dataRow(const FeatureFormOptions& options, int row) {
    const std::string r = std::to_string(row);
    const double value = options.number * 100 + row;
    std::string attributes = " r=\"" + r + "\"";
    if (row == 4)
        attributes += " hidden=\"1\"";
    if (row == 5)
        attributes += " ht=\"15\" customHeight=\"1\"";
    const std::string memo = row == 3 ? "첫줄\r\n둘째줄" : "가";
    return "<row" + attributes + ">" + "<c r=\"A" + r + "\" s=\"1\" t=\"inlineStr\"><is><t>학교" +
           std::to_string(options.number) + "-" + r + "</t></is></c>" + "<c r=\"B" + r +
           "\" s=\"1\"><v>" + std::to_string(value) + "</v></c>" + "<c r=\"C" + r +
           "\" s=\"1\" t=\"inlineStr\"><is><t xml:space=\"preserve\">" + memo + "</t></is></c>" +
           "<c r=\"D" + r + "\" s=\"1\"><f>B" + r + "*Rate</f><v>" +
           std::to_string(value * options.rate) + "</v></c></row>";
}

std::string sheetPart(const FeatureFormOptions& options) {
    std::string rows = R"(<row r="1"><c r="A1" t="s"><v>0</v></c></row>)"
                       R"(<row r="2"><c r="A2" t="s"><v>1</v></c><c r="B2" t="s"><v>2</v></c>)"
                       R"(<c r="C2" t="s"><v>3</v></c><c r="D2" t="s"><v>4</v></c></row>)";
    for (int row = 3; row <= 6; ++row)
        rows += dataRow(options, row);
    std::string body =
        R"(<sheetPr><tabColor rgb="FFFF0000"/><pageSetUpPr fitToPage="1"/></sheetPr>)"
        R"(<dimension ref="A1:D6"/>)"
        R"(<sheetViews><sheetView showGridLines="0" tabSelected="1" workbookViewId="0">)"
        R"(<pane ySplit="2" topLeftCell="A3" activePane="bottomLeft" state="frozen"/>)"
        R"(<selection pane="bottomLeft" activeCell="A3" sqref="A3"/></sheetView></sheetViews>)"
        R"(<sheetFormatPr defaultRowHeight="13.5"/>)"
        R"(<cols><col min="1" max="2" width="12.7109375" customWidth="1"/>)"
        R"(<col min="3" max="3" width="20.7109375" hidden="1" customWidth="1"/></cols>)"
        "<sheetData>" +
        rows + "</sheetData>" +
        R"(<mergeCells count="1"><mergeCell ref="A1:D1"/></mergeCells>)"
        R"(<conditionalFormatting sqref="B3:B6"><cfRule type="cellIs" dxfId="0" priority="2" operator="greaterThan">)"
        R"(<formula>102</formula></cfRule></conditionalFormatting>)"
        R"(<conditionalFormatting sqref="A3:A6"><cfRule type="expression" dxfId="1" priority="1">)"
        R"(<formula>$B3&gt;103</formula></cfRule></conditionalFormatting>)"
        R"(<dataValidations count="1"><dataValidation type="list" allowBlank="1" showInputMessage="1" )"
        R"(showErrorMessage="1" sqref="C3:C6"><formula1>"가,나,다"</formula1></dataValidation></dataValidations>)"
        R"(<hyperlinks><hyperlink ref="A2" r:id="rId3" tooltip="안내"/>)"
        R"(<hyperlink ref="A6" location="'자료'!A1" display="처음으로"/></hyperlinks>)"
        R"(<printOptions horizontalCentered="1"/>)"
        R"(<pageMargins left="0.5" right="0.5" top="0.9" bottom="0.8" header="0.4" footer="0.35"/>)"
        R"(<pageSetup orientation="landscape" fitToWidth="1" fitToHeight="0"/>)"
        R"(<headerFooter><oddHeader>&amp;C현황</oddHeader><oddFooter>&amp;C&amp;P / &amp;N</oddFooter></headerFooter>)"
        R"(<rowBreaks count="1" manualBreakCount="1"><brk id="4" max="16383" man="1"/></rowBreaks>)";
    if (options.picture)
        body += R"(<drawing r:id="rId1"/>)";
    body += R"(<legacyDrawing r:id="rId2"/>)";
    if (options.picture)
        body += R"(<tableParts count="1"><tablePart r:id="rId4"/></tableParts>)";
    return kXmlHead + "<worksheet xmlns=\"" + kMain + "\" xmlns:r=\"" + kRelNs + "\">" + body +
           "</worksheet>";
}

std::string sheetRelationships(const FeatureFormOptions& options) {
    std::string body = relationship("rId2", "vmlDrawing", "../drawings/vmlDrawing1.vml") +
                       relationship("rId3", "hyperlink", "https://example.org/안내", true) +
                       relationship("rId5", "comments", "../comments1.xml");
    if (options.picture)
        body += relationship("rId1", "drawing", "../drawings/drawing1.xml") +
                relationship("rId4", "table", "../tables/table1.xml");
    return relationships(body);
}

std::string commentsPart() {
    return kXmlHead + "<comments xmlns=\"" + kMain + "\"><authors><author>담당</author></authors>" +
           R"(<commentList><comment ref="B3" authorId="0"><text><r><rPr><b/><sz val="9"/></rPr>)"
           R"(<t>담당:</t></r><r><t xml:space="preserve"> 검토 필요</t></r></text></comment>)"
           R"(</commentList></comments>)";
}

std::string notesDrawing() {
    return R"(<xml xmlns:v="urn:schemas-microsoft-com:vml" xmlns:o="urn:schemas-microsoft-com:office:office" )"
           R"(xmlns:x="urn:schemas-microsoft-com:office:excel"><v:shape id="_x0000_s1025" type="#_x0000_t202">)"
           R"(<x:ClientData ObjectType="Note"><x:Row>2</x:Row><x:Column>1</x:Column></x:ClientData>)"
           R"(</v:shape></xml>)";
}

std::string drawingPart() {
    return kXmlHead +
           R"(<xdr:wsDr xmlns:xdr="http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing" )"
           R"(xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main" xmlns:r=")" +
           kRelNs +
           R"("><xdr:oneCellAnchor><xdr:from><xdr:col>5</xdr:col><xdr:colOff>0</xdr:colOff>)"
           R"(<xdr:row>1</xdr:row><xdr:rowOff>0</xdr:rowOff></xdr:from><xdr:ext cx="952500" cy="952500"/>)"
           R"(<xdr:pic><xdr:nvPicPr><xdr:cNvPr id="2" name="로고"/><xdr:cNvPicPr/></xdr:nvPicPr>)"
           R"(<xdr:blipFill><a:blip r:embed="rId1"/><a:stretch><a:fillRect/></a:stretch></xdr:blipFill>)"
           R"(<xdr:spPr><a:prstGeom prst="rect"><a:avLst/></a:prstGeom></xdr:spPr></xdr:pic>)"
           R"(<xdr:clientData/></xdr:oneCellAnchor></xdr:wsDr>)";
}

std::string tablePart() {
    return kXmlHead + "<table xmlns=\"" + kMain +
           R"(" id="1" name="자료표" displayName="자료표" ref="A2:D6" totalsRowShown="0">)"
           R"(<autoFilter ref="A2:D6"/><tableColumns count="4"><tableColumn id="1" name="이름"/>)"
           R"(<tableColumn id="2" name="값"/><tableColumn id="3" name="메모"/><tableColumn id="4" name="합계"/>)"
           R"(</tableColumns><tableStyleInfo name="TableStyleLight1" showRowStripes="1"/></table>)";
}

} // namespace

std::string featurePictureBytes() {
    // A 1 x 1 PNG.
    static const unsigned char kPng[] = {
        0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48,
        0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00,
        0x00, 0x1F, 0x15, 0xC4, 0x89, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x44, 0x41, 0x54, 0x78,
        0x9C, 0x63, 0xF8, 0xCF, 0xC0, 0xF0, 0x1F, 0x00, 0x05, 0x00, 0x01, 0xFF, 0x89, 0x99,
        0x3D, 0x1D, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
    return std::string(reinterpret_cast<const char*>(kPng), sizeof(kPng));
}

PackageParts featureForm(const FeatureFormOptions& options) {
    PackageParts parts;
    parts["[Content_Types].xml"] = contentTypes();
    parts["_rels/.rels"] = relationships(relationship("rId1", "officeDocument", "xl/workbook.xml"));
    parts["xl/workbook.xml"] = workbookPart(options);
    parts["xl/_rels/workbook.xml.rels"] = workbookRelationships();
    parts["xl/styles.xml"] = stylesPart();
    parts["xl/sharedStrings.xml"] = sharedStringsPart();
    parts["xl/worksheets/sheet1.xml"] = sheetPart(options);
    parts["xl/worksheets/_rels/sheet1.xml.rels"] = sheetRelationships(options);
    parts["xl/worksheets/sheet2.xml"] =
        worksheetXml(R"(<sheetData><row r="1"><c r="A1"><v>7</v></c></row></sheetData>)");
    parts["xl/comments1.xml"] = commentsPart();
    parts["xl/drawings/vmlDrawing1.vml"] = notesDrawing();
    if (options.picture) {
        parts["xl/drawings/drawing1.xml"] = drawingPart();
        parts["xl/drawings/_rels/drawing1.xml.rels"] =
            relationships(relationship("rId1", "image", "../media/image1.png"));
        parts["xl/media/image1.png"] = featurePictureBytes();
        parts["xl/tables/table1.xml"] = tablePart();
    }
    return parts;
}

} // namespace test_support
