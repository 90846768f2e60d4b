// Parts carried from a source package are written under fresh names, with the ids their bytes
// use and targets that follow the renaming; copies on two sheets become two sets of parts.
#include "sheet/workbook_io.h"
#include "support/workbook_parts.h"
#include "support/written_package.h"
#include "writer_fixtures.h"

#include <gtest/gtest.h>

namespace sheet {
namespace {

using test_support::TempFolder;
using test_support::WrittenPackage;

const std::string kDrawingType =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/drawing";

std::string drawingOf(WrittenPackage& package, const std::string& sheetPart) {
    const std::string id = package.root(sheetPart).child("drawing").attribute("r:id").value();
    const auto relations = package.relationships(sheetPart);
    auto found = relations.find(id);
    return found == relations.end() ? std::string() : found->second;
}

TEST(XlsxWriterCarried, TwoSheetsCarryingOneDrawingGetADrawingEachWithItsOwnChart) {
    TempFolder folder;
    Workbook workbook;
    const auto drawing = writer_fixtures::drawingWithChartAndPicture();
    for (const char* name : {"가", "나"}) {
        auto sheet = std::make_unique<Worksheet>(name);
        sheet->cellAt(1, 1).value = CellValue::Number(1);
        sheet->attachments.push_back(SheetAttachment{"drawing", kDrawingType, drawing, ""});
        workbook.sheets.push_back(std::move(sheet));
    }
    const std::string path = folder.file("copies.xlsx");
    writeWorkbook(workbook, path);
    WrittenPackage package(path);

    const std::string first = drawingOf(package, "xl/worksheets/sheet1.xml");
    const std::string second = drawingOf(package, "xl/worksheets/sheet2.xml");
    EXPECT_EQ(first, "xl/drawings/drawing1.xml");
    EXPECT_EQ(second, "xl/drawings/drawing2.xml");
    for (const std::string& part : {first, second}) {
        EXPECT_EQ(package.text(part), drawing->data);
        EXPECT_EQ(package.contentType(part),
                  "application/vnd.openxmlformats-officedocument.drawing+xml");
        const auto relations = package.relationships(part);
        // The ids the drawing's bytes use stay; the external link stays external.
        ASSERT_EQ(relations.size(), 3u) << part;
        EXPECT_EQ(relations.at("rId10"), "https://example.org/");
        EXPECT_TRUE(package.contains(relations.at("rId5"))) << relations.at("rId5");
        EXPECT_TRUE(package.contains(relations.at("rId9"))) << relations.at("rId9");
        EXPECT_EQ(package.text(relations.at("rId9")), drawing->relations[1].part->data);
    }
    EXPECT_NE(package.relationships(first).at("rId5"), package.relationships(second).at("rId5"));
    EXPECT_TRUE(package.contains("xl/charts/chart1.xml"));
    EXPECT_TRUE(package.contains("xl/charts/chart2.xml"));
    EXPECT_EQ(package.contentType("xl/charts/chart2.xml"),
              "application/vnd.openxmlformats-officedocument.drawingml.chart+xml");
    // Targets are relative to the drawing's folder, as readers resolve them.
    const pugi::xml_node relsRoot = package.root("xl/drawings/_rels/drawing1.xml.rels");
    EXPECT_STREQ(
        relsRoot.find_child_by_attribute("Relationship", "Id", "rId5").attribute("Target").value(),
        "../charts/chart1.xml");
}

TEST(XlsxWriterCarried, CarriedNamesNeverClashWithPartsTheWriterMakes) {
    TempFolder folder;
    Workbook workbook;
    auto sheet = std::make_unique<Worksheet>("메모");
    sheet->comments.push_back(Comment{1, 1, "작성자", "메모 내용", nullptr, false});
    auto headerDrawing = std::make_shared<PackagePart>();
    headerDrawing->name = "xl/drawings/vmlDrawing1.vml";
    headerDrawing->contentType = "application/vnd.openxmlformats-officedocument.vmlDrawing";
    headerDrawing->data = "<xml><!-- header picture --></xml>";
    sheet->attachments.push_back(SheetAttachment{
        "legacyDrawingHF",
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/vmlDrawing",
        headerDrawing, ""});
    // A carried copy of notes the model already holds is left out: they are written anew.
    auto oldNotes = std::make_shared<PackagePart>();
    oldNotes->name = "xl/drawings/vmlDrawing9.vml";
    oldNotes->data = "<xml/>";
    sheet->attachments.push_back(SheetAttachment{
        "legacyDrawing",
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/vmlDrawing", oldNotes,
        ""});
    workbook.sheets.push_back(std::move(sheet));
    const std::string path = folder.file("notes.xlsx");
    writeWorkbook(workbook, path);
    WrittenPackage package(path);

    const pugi::xml_node root = package.root("xl/worksheets/sheet1.xml");
    const auto relations = package.relationships("xl/worksheets/sheet1.xml");
    const std::string notes = relations.at(root.child("legacyDrawing").attribute("r:id").value());
    const std::string header =
        relations.at(root.child("legacyDrawingHF").attribute("r:id").value());
    EXPECT_NE(notes, header);
    EXPECT_EQ(package.text(header), headerDrawing->data);
    EXPECT_NE(package.text(notes).find("ObjectType=\"Note\""), std::string::npos);
    EXPECT_EQ(relations.size(), 3u) << "comments, their drawing and the header drawing";
}

TEST(XlsxWriterCarried, WorkbookPartsAndSheetPartsOfTheFullFixtureAreAllWritten) {
    TempFolder folder;
    const auto workbook = writer_fixtures::everyFieldWorkbook();
    const std::string path = folder.file("full.xlsx");
    writeWorkbook(*workbook, path);
    WrittenPackage package(path);
    const auto workbookRelations = package.relationships("xl/workbook.xml");
    bool theme = false;
    for (const auto& [id, target] : workbookRelations)
        theme = theme || target == "xl/theme/theme1.xml";
    EXPECT_TRUE(theme);
    EXPECT_TRUE(package.contains("xl/tables/table1.xml"));
    EXPECT_TRUE(package.contains("xl/ctrlProps/ctrlProp1.xml"));
    const pugi::xml_node control =
        package.root("xl/worksheets/sheet1.xml").child("controls").child("control");
    EXPECT_STREQ(control.attribute("name").value(), "Check Box 1");
    EXPECT_EQ(
        package.relationships("xl/worksheets/sheet1.xml").at(control.attribute("r:id").value()),
        "xl/ctrlProps/ctrlProp1.xml");
}

} // namespace
} // namespace sheet
