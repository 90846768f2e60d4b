// The written parts follow the file format's schemas: child elements in the order each
// sequence gives, every part well-formed, related and typed in the package index. Forgiving
// readers open files that break these rules, so the order is checked on the XML itself.
#include "sheet/workbook_io.h"
#include "support/workbook_parts.h"
#include "support/written_package.h"
#include "writer_fixtures.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>

namespace sheet {
namespace {

using test_support::TempFolder;
using test_support::WrittenPackage;

using Sequence = std::vector<std::string>;

// Child sequences of the elements the writer produces.
const std::map<std::string, Sequence>& schemaSequences() {
    static const std::map<std::string, Sequence> sequences{
        {"worksheet",
         {"sheetPr",
          "dimension",
          "sheetViews",
          "sheetFormatPr",
          "cols",
          "sheetData",
          "sheetCalcPr",
          "sheetProtection",
          "protectedRanges",
          "scenarios",
          "autoFilter",
          "sortState",
          "dataConsolidate",
          "customSheetViews",
          "mergeCells",
          "phoneticPr",
          "conditionalFormatting",
          "dataValidations",
          "hyperlinks",
          "printOptions",
          "pageMargins",
          "pageSetup",
          "headerFooter",
          "rowBreaks",
          "colBreaks",
          "customProperties",
          "cellWatches",
          "ignoredErrors",
          "smartTags",
          "drawing",
          "legacyDrawing",
          "legacyDrawingHF",
          "drawingHF",
          "picture",
          "oleObjects",
          "controls",
          "webPublishItems",
          "tableParts",
          "extLst"}},
        {"sheetPr", {"tabColor", "outlinePr", "pageSetUpPr"}},
        {"sheetView", {"pane", "selection", "pivotSelection", "extLst"}},
        {"c", {"f", "v", "is", "extLst"}},
        {"cfRule", {"formula", "colorScale", "dataBar", "iconSet", "extLst"}},
        {"dataValidation", {"formula1", "formula2"}},
        {"headerFooter",
         {"oddHeader", "oddFooter", "evenHeader", "evenFooter", "firstHeader", "firstFooter"}},
        {"styleSheet",
         {"numFmts", "fonts", "fills", "borders", "cellStyleXfs", "cellXfs", "cellStyles", "dxfs",
          "tableStyles", "colors", "extLst"}},
        {"xf", {"alignment", "protection", "extLst"}},
        {"dxf", {"font", "numFmt", "fill", "alignment", "border", "protection", "extLst"}},
        {"border", {"left", "right", "top", "bottom", "diagonal", "vertical", "horizontal"}},
        {"patternFill", {"fgColor", "bgColor"}},
        {"workbook",
         {"fileVersion", "fileSharing", "workbookPr", "workbookProtection", "bookViews", "sheets",
          "functionGroups", "externalReferences", "definedNames", "calcPr", "oleSize",
          "customWorkbookViews", "pivotCaches", "smartTagPr", "smartTagTypes", "webPublishing",
          "fileRecoveryPr", "webPublishObjects", "extLst"}},
        {"comments", {"authors", "commentList", "extLst"}},
        {"comment", {"text", "commentPr"}},
        {"Types", {"Default", "Override"}},
    };
    return sequences;
}

// Every element with a known sequence has its children in that order and none unknown.
void expectSchemaOrder(pugi::xml_node node, const std::string& part) {
    const auto& sequences = schemaSequences();
    if (auto found = sequences.find(node.name()); found != sequences.end()) {
        const Sequence& sequence = found->second;
        std::size_t position = 0;
        for (const std::string& child : test_support::childNames(node)) {
            auto at = std::find(sequence.begin(), sequence.end(), child);
            ASSERT_NE(at, sequence.end()) << part << ": <" << child << "> inside <" << node.name()
                                          << "> is not in its schema";
            const auto index = static_cast<std::size_t>(at - sequence.begin());
            EXPECT_GE(index, position)
                << part << ": <" << child << "> comes too late inside <" << node.name() << ">";
            position = std::max(position, index);
        }
    }
    for (pugi::xml_node child : node.children())
        if (child.type() == pugi::node_element)
            expectSchemaOrder(child, part);
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

class WrittenEveryField : public ::testing::Test {
protected:
    void SetUp() override {
        workbook_ = writer_fixtures::everyFieldWorkbook();
        writeWorkbook(*workbook_, folder_.file("every.xlsx"));
        package_ = std::make_unique<WrittenPackage>(folder_.file("every.xlsx"));
    }

    TempFolder folder_;
    std::unique_ptr<Workbook> workbook_;
    std::unique_ptr<WrittenPackage> package_;
};

TEST_F(WrittenEveryField, EveryPartFollowsItsSchemaOrder) {
    const Sequence worksheetChildren =
        test_support::childNames(package_->root("xl/worksheets/sheet1.xml"));
    // The fixture reaches nearly every element the writer knows, so the order check has teeth.
    const Sequence expected{"sheetPr",         "dimension",  "sheetViews",
                            "sheetFormatPr",   "cols",       "sheetData",
                            "sheetProtection", "mergeCells", "conditionalFormatting",
                            "dataValidations", "hyperlinks", "printOptions",
                            "pageMargins",     "pageSetup",  "headerFooter",
                            "rowBreaks",       "colBreaks",  "drawing",
                            "legacyDrawing",   "controls",   "tableParts"};
    EXPECT_EQ(worksheetChildren, expected);
    for (const std::string& part : package_->partNames()) {
        if (!endsWith(part, ".xml") && !endsWith(part, ".rels") && !endsWith(part, ".vml"))
            continue;
        pugi::xml_node root = package_->root(part);
        ASSERT_TRUE(root) << part;
        expectSchemaOrder(root, part);
    }
}

TEST_F(WrittenEveryField, EveryPartIsTypedAndEveryRelationshipReachesAPart) {
    for (const std::string& part : package_->partNames()) {
        if (part == "[Content_Types].xml" || endsWith(part, ".rels"))
            continue;
        EXPECT_FALSE(package_->contentType(part).empty()) << part << " has no content type";
    }
    EXPECT_EQ(package_->contentType("xl/worksheets/sheet1.xml"),
              "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml");
    EXPECT_EQ(package_->contentType("xl/media/image1.png"), "image/png");
    for (const std::string& part : package_->partNames()) {
        if (endsWith(part, ".rels"))
            continue;
        for (const auto& [id, target] : package_->relationships(part)) {
            if (target.rfind("https://", 0) == 0)
                continue;
            EXPECT_TRUE(package_->contains(target)) << part << " " << id << " -> " << target;
        }
    }
    // Every id the sheet names is one of its relationships.
    const auto sheetRelations = package_->relationships("xl/worksheets/sheet1.xml");
    pugi::xml_node sheet = package_->root("xl/worksheets/sheet1.xml");
    for (const char* element : {"drawing", "legacyDrawing"})
        EXPECT_TRUE(sheetRelations.count(sheet.child(element).attribute("r:id").value()))
            << element;
    EXPECT_TRUE(
        sheetRelations.count(sheet.child("controls").child("control").attribute("r:id").value()));
    EXPECT_TRUE(sheetRelations.count(
        sheet.child("tableParts").child("tablePart").attribute("r:id").value()));
    const auto workbookRelations = package_->relationships("xl/workbook.xml");
    for (pugi::xml_node entry : package_->root("xl/workbook.xml").child("sheets").children())
        EXPECT_TRUE(workbookRelations.count(entry.attribute("r:id").value()));
}

// Extra-field lengths of every local entry header, walking the file from its start.
std::vector<unsigned> localExtraLengths(const std::string& bytes) {
    const auto number = [&](std::size_t at, int size) {
        unsigned value = 0;
        for (int i = size - 1; i >= 0; --i)
            value =
                value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
        return value;
    };
    std::vector<unsigned> lengths;
    std::size_t at = 0;
    while (at + 30 <= bytes.size() && number(at, 4) == 0x04034b50) {
        const unsigned compressed = number(at + 18, 4);
        const unsigned nameLength = number(at + 26, 2);
        const unsigned extraLength = number(at + 28, 2);
        lengths.push_back(extraLength);
        at += 30 + nameLength + extraLength + compressed;
    }
    return lengths;
}

TEST(XlsxWriterSchema, StreamedPartsHavePlainEntryHeaders) {
    TempFolder folder;
    Workbook workbook;
    workbook.sheets.push_back(std::make_unique<Worksheet>("Sheet1"));
    for (long row = 1; row <= 2000; ++row)
        workbook.sheets[0]->cellAt(row, 1).value = CellValue::Number(static_cast<double>(row));
    writeWorkbook(workbook, folder.file("plain.xlsx"));
    const std::vector<unsigned> extras =
        localExtraLengths(test_support::readBytes(folder.file("plain.xlsx")));
    EXPECT_EQ(extras, std::vector<unsigned>(7, 0u)) << "no zip64 fields the directory lacks";
}

TEST(XlsxWriterSchema, AWorkbookOfValuesOnlyIsASmallValidPackage) {
    TempFolder folder;
    Workbook workbook;
    workbook.sheets.push_back(std::make_unique<Worksheet>("Sheet1"));
    workbook.sheets[0]->cellAt(1, 1).value = CellValue::Text("a");
    writeWorkbook(workbook, folder.file("plain.xlsx"));
    WrittenPackage package(folder.file("plain.xlsx"));
    EXPECT_EQ(
        package.partNames(),
        (std::vector<std::string>{"[Content_Types].xml", "_rels/.rels",
                                  "xl/_rels/workbook.xml.rels", "xl/sharedStrings.xml",
                                  "xl/styles.xml", "xl/workbook.xml", "xl/worksheets/sheet1.xml"}));
    for (const std::string& part : package.partNames())
        expectSchemaOrder(package.root(part), part);
    // The fills every reader expects first, and the one default cell format.
    pugi::xml_node styles = package.root("xl/styles.xml");
    EXPECT_STREQ(
        styles.child("fills").first_child().child("patternFill").attribute("patternType").value(),
        "none");
    EXPECT_STREQ(
        styles.child("fills").last_child().child("patternFill").attribute("patternType").value(),
        "gray125");
    EXPECT_STREQ(styles.child("cellXfs").attribute("count").value(), "1");
}

} // namespace
} // namespace sheet
