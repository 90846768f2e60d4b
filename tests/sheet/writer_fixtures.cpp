#include "writer_fixtures.h"

namespace sheet::writer_fixtures {

namespace {

constexpr const char* kRelationships =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

std::shared_ptr<PackagePart> part(std::string name, std::string contentType, std::string data) {
    auto made = std::make_shared<PackagePart>();
    made->name = std::move(name);
    made->contentType = std::move(contentType);
    made->data = std::move(data);
    return made;
}

std::shared_ptr<const RichText> twoRuns(std::string first, std::string second) {
    Font bold;
    bold.bold = true;
    bold.color = 0xC00000;
    return std::make_shared<const RichText>(
        RichText{TextRun{std::move(first), bold}, TextRun{std::move(second), std::nullopt}});
}

void fillCells(Workbook& workbook, Worksheet& sheet) {
    Style title;
    title.font = Font{"맑은 고딕", 16, true, false, false, Underline::Double, 0x1F3864};
    title.fill = Fill{"solid", 0xDDEBF7, std::nullopt};
    title.alignment.horizontal = "center";
    const int titleStyle = workbook.styles.intern(title);
    Style money;
    money.numberFormatId = 164;
    money.numberFormatCode = "#,##0\"원\"";
    money.border.bottom = BorderSide{"thin", 0x000000};
    const int moneyStyle = workbook.styles.intern(money);

    sheet.cellAt(1, 1) = Cell{CellValue::Text("학교 현황"), "", titleStyle, nullptr};
    sheet.merges.push_back(CellRect{1, 1, 1, 4});
    sheet.cellAt(2, 1).value = CellValue::Text("굵은 글씨와 보통");
    sheet.cellAt(2, 1).richText = twoRuns("굵은 글씨", "와 보통");
    sheet.cellAt(3, 1).value = CellValue::Number(1234.5);
    sheet.cellAt(3, 2).value = CellValue::Boolean(true);
    sheet.cellAt(3, 3).value = CellValue::Error("#DIV/0!");
    sheet.cellAt(3, 4) = Cell{CellValue::Number(2469), "A3*2", moneyStyle, nullptr};
    sheet.cellAt(4, 1) = Cell{CellValue::Boolean(false), "A3>5000", 0, nullptr};
    sheet.cellAt(4, 2) = Cell{CellValue::Text("합계"), "\"합\"&\"계\"", 0, nullptr};
    sheet.cellAt(4, 3) = Cell{CellValue::Error("#N/A"), "NA()", 0, nullptr};
    sheet.cellAt(4, 4) = Cell{CellValue{}, "SUM(A3:A4)", moneyStyle, nullptr};
    sheet.cellAt(9, 3).value = CellValue::Number(-0.125);
}

void fillLayout(Workbook& workbook, Worksheet& sheet) {
    Style shaded;
    shaded.fill = Fill{"gray125", 0x808080, std::nullopt};
    const int shadedStyle = workbook.styles.intern(shaded);
    sheet.columnWidths = {{1, 20}, {2, 12.57}, {3, 12.57}};
    sheet.columnStyles[5] = shadedStyle;
    sheet.hiddenColumns = {6};
    sheet.defaultRowHeight = 12;
    sheet.rowHeights = {{1, 30}, {2, 15}, {3, 12}};
    sheet.rowStyles[7] = shadedStyle;
    sheet.hiddenRows = {8};
    sheet.defaultColumnWidth = 10;
    sheet.zoom = 85;
    sheet.selectedRow = 5;
    sheet.selectedColumn = 2;
    sheet.view.frozenRows = 2;
    sheet.view.frozenColumns = 1;
    sheet.view.showGridLines = false;
    sheet.view.tabColor = 0x00B050;
    sheet.protection = SheetProtection{true, "c2VjcmV0aGFzaA==", "SHA-512", "c2FsdA==", 100000};
}

void fillRules(Worksheet& sheet) {
    DifferentialStyle redBold;
    redBold.bold = true;
    redBold.fontColor = 0x9C0006;
    redBold.fill = Fill{"solid", 0xFFC7CE, std::nullopt};
    ConditionalRule greater{"cellIs", "greaterThan", {"1000"}, "", 2, true, redBold, ""};
    ConditionalRule scale{"colorScale",
                          "",
                          {},
                          "",
                          1,
                          false,
                          std::nullopt,
                          "<colorScale><cfvo type=\"min\"/><cfvo type=\"max\"/>"
                          "<color rgb=\"FFF8696B\"/><color rgb=\"FF63BE7B\"/></colorScale>"};
    sheet.conditionalFormats.push_back(
        ConditionalFormat{{CellRect{3, 1, 9, 1}, CellRect{3, 4, 9, 4}}, {greater, scale}});

    DataValidation list;
    list.ranges = {CellRect{5, 2, 9, 2}};
    list.type = "list";
    list.formula1 = "\"가,나,다\"";
    list.showDropDown = true;
    list.errorStyle = "warning";
    list.errorTitle = "확인";
    list.error = "목록에서 고르세요";
    list.prompt = "가, 나, 다 중 하나";
    sheet.dataValidations.push_back(list);
    DataValidation whole;
    whole.ranges = {CellRect{5, 3, 9, 3}};
    whole.type = "whole";
    whole.operatorName = "between";
    whole.formula1 = "0";
    whole.formula2 = "100";
    whole.allowBlank = false;
    sheet.dataValidations.push_back(whole);
}

void fillNotesAndLinks(Worksheet& sheet) {
    Comment plain{3, 1, "담당자", "확인 필요", nullptr, false};
    Comment shown{2, 1, "검토자", "굵게 보통", twoRuns("굵게", " 보통"), true};
    sheet.comments = {plain, shown};
    sheet.hyperlinks.push_back(
        Hyperlink{CellRect{5, 1, 5, 1}, "https://example.org/a?b=1&c=2", "", "누리집", "열기"});
    sheet.hyperlinks.push_back(Hyperlink{CellRect{6, 1, 6, 2}, "", "'숨김'!A1", "", ""});
}

void fillPageSetup(PageSetup& setup) {
    setup.orientation = 2;
    setup.fitToPages = true;
    setup.fitWidth = 1;
    setup.fitHeight = 0;
    setup.paperSizeSet = false;
    setup.paperSize = 9;
    setup.centerHorizontally = true;
    setup.centerVertically = true;
    setup.printGridlines = true;
    setup.firstPageNumber = 3;
    setup.downThenOver = false;
    setup.headerFooter.oddHeader = "&C&\"맑은 고딕,Bold\"학교 현황";
    setup.headerFooter.oddFooter = "&C&P / &N";
    setup.headerFooter.firstFooter = "&R첫 쪽";
    setup.headerFooter.differentFirst = true;
    setup.titleFirstRow = 1;
    setup.titleLastRow = 2;
    setup.titleFirstColumn = 1;
    setup.titleLastColumn = 1;
    setup.printArea = {CellRect{1, 1, 9, 4}, CellRect{12, 1, 14, 2}};
    setup.rowBreaks = {20, 10};
    setup.columnBreaks = {3};
}

void fillAttachments(Worksheet& sheet) {
    const std::string base = kRelationships;
    sheet.attachments.push_back(
        SheetAttachment{"drawing", base + "drawing", drawingWithChartAndPicture(), ""});
    auto table = part("xl/tables/table7.xml",
                      "application/vnd.openxmlformats-officedocument.spreadsheetml.table+xml",
                      "<table xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                      "id=\"7\" name=\"표1\" displayName=\"표1\" ref=\"A12:B14\"/>");
    sheet.attachments.push_back(SheetAttachment{"tablePart", base + "table", table, ""});
    auto control =
        part("xl/ctrlProps/ctrlProp2.xml", "application/vnd.ms-excel.controlproperties+xml",
             "<formControlPr xmlns=\"http://schemas.microsoft.com/office/spreadsheetml/"
             "2009/9/main\" objectType=\"CheckBox\"/>");
    sheet.attachments.push_back(
        SheetAttachment{"control", base + "ctrlProp", control,
                        "<control shapeId=\"1025\" r:id=\"{rId}\" name=\"Check Box 1\"/>"});
}

} // namespace

std::shared_ptr<const PackagePart> drawingWithChartAndPicture() {
    const std::string base = kRelationships;
    auto picture = part("xl/media/image4.png", "image/png", std::string("\x89PNG\r\n\x1a\n", 8));
    auto chart = part("xl/charts/chart2.xml",
                      "application/vnd.openxmlformats-officedocument.drawingml.chart+xml",
                      "<c:chartSpace xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/"
                      "chart\"/>");
    auto drawing = part("xl/drawings/drawing3.xml",
                        "application/vnd.openxmlformats-officedocument.drawing+xml",
                        "<xdr:wsDr xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/"
                        "spreadsheetDrawing\"/>");
    drawing->relations.push_back(PartRelation{"rId5", base + "chart", "", false, chart});
    drawing->relations.push_back(PartRelation{"rId9", base + "image", "", false, picture});
    drawing->relations.push_back(
        PartRelation{"rId10", base + "hyperlink", "https://example.org/", true, nullptr});
    return drawing;
}

std::unique_ptr<Workbook> everyFieldWorkbook() {
    auto workbook = std::make_unique<Workbook>();
    workbook->date1904 = true;
    auto form = std::make_unique<Worksheet>("양식");
    fillCells(*workbook, *form);
    fillLayout(*workbook, *form);
    fillRules(*form);
    fillNotesAndLinks(*form);
    fillPageSetup(form->pageSetup);
    fillAttachments(*form);
    workbook->sheets.push_back(std::move(form));
    auto hidden = std::make_unique<Worksheet>("숨김");
    hidden->hidden = true;
    hidden->cellAt(1, 1).value = CellValue::Text("숨은 값");
    workbook->sheets.push_back(std::move(hidden));
    auto veryHidden = std::make_unique<Worksheet>("아주숨김");
    veryHidden->veryHidden = true;
    workbook->sheets.push_back(std::move(veryHidden));
    workbook->activeSheet = 0;
    workbook->names.push_back(DefinedName{"합계범위", "'양식'!$C$3:$C$9", -1, false, "합계 칸"});
    workbook->names.push_back(DefinedName{"지역", "'숨김'!$A$1", 1, true, ""});
    // Print areas come from the page setup; a stale name of the same scope is not written twice.
    workbook->names.push_back(DefinedName{"_xlnm.Print_Area", "'양식'!$Z$1", 0, false, ""});
    auto theme =
        part("xl/theme/theme1.xml", "application/vnd.openxmlformats-officedocument.theme+xml",
             "<a:theme xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
             "name=\"Office\"/>");
    workbook->workbookParts.push_back(
        SheetAttachment{"", std::string(kRelationships) + "theme", theme, ""});
    return workbook;
}

} // namespace sheet::writer_fixtures
