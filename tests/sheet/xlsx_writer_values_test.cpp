// Values the writer must never write as they stand: numbers no file can hold, error cells
// whose text is no error code, control characters, broken UTF-8, over-long format codes.
#include "sheet/io_messages.h"
#include "sheet/workbook_io.h"
#include "sheet/xlsx_writer.h"
#include "support/workbook_parts.h"
#include "support/workbook_printing.h"
#include "support/written_package.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace sheet {
namespace {

using test_support::TempFolder;
using test_support::WrittenPackage;

std::unique_ptr<Workbook> oneSheet(const std::string& name = "값") {
    auto workbook = std::make_unique<Workbook>();
    workbook->sheets.push_back(std::make_unique<Worksheet>(name));
    return workbook;
}

pugi::xml_node cellNode(WrittenPackage& package, const char* reference) {
    return package.root("xl/worksheets/sheet1.xml").find_node([&](pugi::xml_node node) {
        return std::string(node.name()) == "c" &&
               std::string(node.attribute("r").value()) == reference;
    });
}

bool validUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80    ? 1
                                   : lead >= 0xF0 ? 4
                                   : lead >= 0xE0 ? 3
                                   : lead >= 0xC2 ? 2
                                                  : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += length;
    }
    return true;
}

TEST(XlsxWriterValues, NumbersNoFileHoldsBecomeTheNumberError) {
    TempFolder folder;
    auto workbook = oneSheet();
    Worksheet& sheet = *workbook->sheets[0];
    sheet.cellAt(1, 1).value = CellValue::Number(std::nan(""));
    sheet.cellAt(1, 2).value = CellValue::Number(std::numeric_limits<double>::infinity());
    sheet.cellAt(1, 3) =
        Cell{CellValue::Number(-std::numeric_limits<double>::infinity()), "1/0*-1", 0, nullptr};
    sheet.cellAt(1, 4).value = CellValue::Number(1e-300);
    const std::string path = folder.file("nan.xlsx");
    writeWorkbook(*workbook, path);
    WrittenPackage package(path);
    EXPECT_EQ(package.text("xl/worksheets/sheet1.xml").find("nan"), std::string::npos);
    EXPECT_EQ(package.text("xl/worksheets/sheet1.xml").find("inf"), std::string::npos);
    const auto read = readWorkbook(path);
    const Worksheet& back = *read->sheets[0];
    EXPECT_EQ(back.cell(1, 1)->value, CellValue::Error("#NUM!"));
    EXPECT_EQ(back.cell(1, 2)->value, CellValue::Error("#NUM!"));
    EXPECT_EQ(back.cell(1, 3)->value, CellValue::Error("#NUM!"));
    EXPECT_EQ(back.cell(1, 3)->formula, "1/0*-1");
    EXPECT_EQ(back.cell(1, 4)->value, CellValue::Number(1e-300));
}

TEST(XlsxWriterValues, WholeNumbersAreWrittenAsIntegersAndEveryNumberReadsBackExactly) {
    TempFolder folder;
    auto workbook = oneSheet();
    const std::vector<std::pair<double, const char*>> numbers = {
        {100000, "100000"},
        {-3, "-3"},
        {123456789012345, "123456789012345"},
        {-0.0, "0"},
        {1.5, "1.5"},
        {0.1, "0.1"},
        {1e15, nullptr},
        {9007199254740993.0, nullptr},
        {-1e300, nullptr},
        {4.9e-324, nullptr}};
    Worksheet& sheet = *workbook->sheets[0];
    for (std::size_t i = 0; i < numbers.size(); ++i)
        sheet.cellAt(static_cast<long>(i) + 1, 1).value = CellValue::Number(numbers[i].first);
    const std::string path = folder.file("numbers.xlsx");
    writeWorkbook(*workbook, path);
    WrittenPackage package(path);
    const auto read = readWorkbook(path);
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const long row = static_cast<long>(i) + 1;
        const std::string reference = "A" + std::to_string(row);
        if (numbers[i].second)
            EXPECT_STREQ(cellNode(package, reference.c_str()).child_value("v"), numbers[i].second);
        EXPECT_EQ(read->sheets[0]->cell(row, 1)->value, CellValue::Number(numbers[i].first + 0.0))
            << reference;
    }
}

TEST(XlsxWriterValues, ErrorCellsAreErrorsAndUnknownErrorTextIsNeverAFormula) {
    TempFolder folder;
    auto workbook = oneSheet();
    Worksheet& sheet = *workbook->sheets[0];
    const char* codes[] = {"#NULL!", "#DIV/0!", "#VALUE!", "#REF!",
                           "#NAME?", "#NUM!",   "#N/A",    "#GETTING_DATA"};
    long column = 1;
    for (const char* code : codes)
        sheet.cellAt(1, column++).value = CellValue::Error(code);
    const std::string planted = "HYPERLINK(\"http://x.example/?\"&B3,\"#N/A\")";
    sheet.cellAt(2, 1).value = CellValue::Error(planted);
    sheet.cellAt(2, 2).value = CellValue::Error("=1+1");
    const std::string path = folder.file("errors.xlsx");
    writeWorkbook(*workbook, path);

    WrittenPackage package(path);
    for (pugi::xpath_node found : package.root("xl/worksheets/sheet1.xml").select_nodes("//f"))
        ADD_FAILURE() << "a formula was written: " << found.node().child_value();
    EXPECT_STREQ(cellNode(package, "A1").attribute("t").value(), "e");
    EXPECT_STRNE(cellNode(package, "A2").attribute("t").value(), "e");
    const auto read = readWorkbook(path);
    column = 1;
    for (const char* code : codes)
        EXPECT_EQ(read->sheets[0]->cell(1, column++)->value, CellValue::Error(code));
    EXPECT_EQ(read->sheets[0]->cell(2, 1)->value, CellValue::Text(planted));
    EXPECT_TRUE(read->sheets[0]->cell(2, 1)->formula.empty());
    EXPECT_EQ(read->sheets[0]->cell(2, 2)->value, CellValue::Text("=1+1"));
}

TEST(XlsxWriterValues, ControlCharactersAndBrokenUtf8NeverBreakTheXml) {
    TempFolder folder;
    auto workbook = oneSheet();
    Worksheet& sheet = *workbook->sheets[0];
    const std::string controls = std::string("a\x01") + "b\x1F" + "c\x0B" + "d\ttab\nline";
    sheet.cellAt(1, 1).value = CellValue::Text(controls);
    sheet.cellAt(1, 2).value = CellValue::Text("literal _x0041_ stays");
    sheet.cellAt(1, 3).value = CellValue::Text("broken \xFF\xC3 end \xED\xA0\x80");
    sheet.cellAt(1, 4) = Cell{CellValue::Text("x\x02y"), "\"x\"&CHAR(2)&\"y\x03\"", 0, nullptr};
    Style odd;
    odd.font.name = std::string("Ar\x07ial");
    odd.numberFormatCode = std::string("0.0\x01\"점\xFF\"");
    odd.numberFormatId = 164;
    sheet.cellAt(2, 1) = Cell{CellValue::Number(1), "", workbook->styles.intern(odd), nullptr};
    sheet.comments.push_back(Comment{2, 1, "a\x05uthor", "note\x01", nullptr, false});
    sheet.pageSetup.headerFooter.oddHeader = "&C\x01title";
    sheet.hyperlinks.push_back(
        Hyperlink{CellRect{3, 1, 3, 1}, "https://x.example/\x01", "", "t\x01ip", ""});
    const std::string path = folder.file("controls.xlsx");
    writeWorkbook(*workbook, path);

    WrittenPackage package(path);
    for (const std::string& part : package.partNames()) {
        EXPECT_TRUE(validUtf8(package.text(part))) << part;
        if (part.find(".xml") != std::string::npos || part.find(".rels") != std::string::npos ||
            part.find(".vml") != std::string::npos)
            EXPECT_TRUE(package.root(part)) << part;
    }
    EXPECT_NE(package.text("xl/sharedStrings.xml").find("a_x0001_b_x001F_c_x000B_d"),
              std::string::npos);
    const auto read = readWorkbook(path);
    const Worksheet& back = *read->sheets[0];
    EXPECT_EQ(back.cell(1, 1)->value, CellValue::Text(controls));
    EXPECT_EQ(back.cell(1, 2)->value, CellValue::Text("literal _x0041_ stays"));
    EXPECT_EQ(back.cell(1, 3)->value,
              CellValue::Text("broken \uFFFD\uFFFD end \uFFFD\uFFFD\uFFFD"));
    EXPECT_EQ(back.cell(1, 4)->value, CellValue::Text("x\x02y"));
    EXPECT_EQ(back.cell(1, 4)->formula, "\"x\"&CHAR(2)&\"y\"");
    const Style& style = read->styles.at(back.cell(2, 1)->style);
    EXPECT_EQ(style.font.name, "Arial");
    EXPECT_EQ(style.numberFormatCode, "0.0\"점\uFFFD\"");
}

TEST(XlsxWriterValues, NumberFormatCodesAreKeptWholeUpTo255CharactersAndCutBetweenCharacters) {
    TempFolder folder;
    auto workbook = oneSheet();
    // "#,##0" and 250 three-byte characters: 255 characters, 755 bytes.
    std::string within = "#,##0";
    for (int i = 0; i < 250; ++i)
        within += "원";
    std::string longer = within + "초과";
    Style kept;
    kept.numberFormatId = 164;
    kept.numberFormatCode = within;
    Style cut = kept;
    cut.numberFormatCode = longer;
    Worksheet& sheet = *workbook->sheets[0];
    sheet.cellAt(1, 1) = Cell{CellValue::Number(1), "", workbook->styles.intern(kept), nullptr};
    sheet.cellAt(1, 2) = Cell{CellValue::Number(2), "", workbook->styles.intern(cut), nullptr};
    const std::string path = folder.file("formats.xlsx");
    writeWorkbook(*workbook, path);
    WrittenPackage package(path);
    EXPECT_TRUE(validUtf8(package.text("xl/styles.xml")));
    const auto read = readWorkbook(path);
    const Worksheet& back = *read->sheets[0];
    EXPECT_EQ(read->styles.at(back.cell(1, 1)->style).numberFormatCode, within);
    // Both cut to the same 255 characters: one format for both cells.
    EXPECT_EQ(read->styles.at(back.cell(1, 2)->style).numberFormatCode, within);
}

TEST(XlsxWriterValues, InlineAndSharedStringsReadBackAlike) {
    TempFolder folder;
    auto workbook = oneSheet();
    Worksheet& sheet = *workbook->sheets[0];
    for (long row = 1; row <= 50; ++row) {
        sheet.cellAt(row, 1).value = CellValue::Text(row % 2 ? "같은 글" : " 앞뒤 공백 ");
        sheet.cellAt(row, 2).value = CellValue::Number(static_cast<double>(row) / 3);
    }
    Font bold;
    bold.bold = true;
    sheet.cellAt(51, 1).value = CellValue::Text("가나");
    sheet.cellAt(51, 1).richText = std::make_shared<const RichText>(
        RichText{TextRun{"가", bold}, TextRun{"나", std::nullopt}});
    XlsxWriteOptions inlineText;
    inlineText.sharedStrings = false;
    writeXlsx(*workbook, folder.file("inline.xlsx"), inlineText);
    writeXlsx(*workbook, folder.file("shared.xlsx"));

    WrittenPackage inlinePackage(folder.file("inline.xlsx"));
    EXPECT_FALSE(inlinePackage.contains("xl/sharedStrings.xml"));
    EXPECT_STREQ(cellNode(inlinePackage, "A1").attribute("t").value(), "inlineStr");
    WrittenPackage sharedPackage(folder.file("shared.xlsx"));
    pugi::xml_node table = sharedPackage.root("xl/sharedStrings.xml");
    EXPECT_STREQ(table.attribute("uniqueCount").value(), "3");
    EXPECT_STREQ(table.attribute("count").value(), "51");
    const auto fromInline = readWorkbook(folder.file("inline.xlsx"));
    const auto fromShared = readWorkbook(folder.file("shared.xlsx"));
    for (long row = 1; row <= 51; ++row)
        for (long column = 1; column <= 2; ++column) {
            const Cell* expected = sheet.cell(row, column);
            if (!expected)
                continue;
            EXPECT_EQ(fromInline->sheets[0]->cell(row, column)->value, expected->value);
            EXPECT_EQ(fromShared->sheets[0]->cell(row, column)->value, expected->value);
        }
}

TEST(XlsxWriterValues, TheDeflateLevelReachesThePackage) {
    TempFolder folder;
    auto workbook = oneSheet();
    for (long row = 1; row <= 3000; ++row)
        for (long column = 1; column <= 8; ++column)
            workbook->sheets[0]->cellAt(row, column).value =
                CellValue::Number(static_cast<double>((row * 7919 + column * 104729) % 100000));
    XlsxWriteOptions fastest;
    fastest.deflateLevel = 1;
    XlsxWriteOptions smallest;
    smallest.deflateLevel = 9;
    writeXlsx(*workbook, folder.file("fast.xlsx"), fastest);
    writeXlsx(*workbook, folder.file("small.xlsx"), smallest);
    const auto fastSize = std::filesystem::file_size(folder.file("fast.xlsx"));
    const auto smallSize = std::filesystem::file_size(folder.file("small.xlsx"));
    EXPECT_LT(smallSize, fastSize);
    EXPECT_EQ(readWorkbook(folder.file("small.xlsx"))->sheets[0]->cell(3000, 8)->value,
              workbook->sheets[0]->cell(3000, 8)->value);
}

} // namespace
} // namespace sheet
