// Randomly damaged files, in the container and in the XML inside it, end in a FileError or a
// workbook, never in a crash, a hang or another exception. The seeds are fixed.
#include "sheet/workbook_io.h"
#include "support/workbook_parts.h"

#include <gtest/gtest.h>
#include <random>

namespace sheet {
namespace {

using test_support::TempFolder;

// Reading must either succeed or throw FileError.
void expectReadOrFileError(const std::string& path) {
    try {
        readWorkbook(path);
    } catch (const FileError&) {
    } catch (const std::exception& other) {
        ADD_FAILURE() << "unexpected exception: " << other.what();
    }
}

std::string sampleFile(const TempFolder& folder) {
    Workbook workbook;
    Style style;
    style.font.bold = true;
    style.border.left = BorderSide{"thin", 0x123456};
    style.numberFormatId = 164;
    style.numberFormatCode = "#,##0\"명\"";
    const int bold = workbook.styles.intern(style);
    auto sheet = std::make_unique<Worksheet>("양식");
    for (long row = 1; row <= 20; ++row)
        for (long column = 1; column <= 6; ++column)
            sheet->cellAt(row, column) =
                Cell{column % 2 ? CellValue::Number(row * column) : CellValue::Text("값"),
                     column == 6 ? "A" + std::to_string(row) + "*2" : "", bold};
    sheet->merges.push_back(CellRect{21, 1, 21, 6});
    sheet->columnWidths[2] = 15;
    workbook.sheets.push_back(std::move(sheet));
    const std::string path = folder.file("sample.xlsx");
    writeWorkbook(workbook, path);
    return path;
}

TEST(XlsxDamage, DamagedContainers) {
    TempFolder folder;
    const std::string original = test_support::readBytes(sampleFile(folder));
    std::mt19937 random(20240301);
    for (int round = 0; round < 150; ++round) {
        std::string bytes = original;
        const int changes = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < changes; ++i)
            bytes[random() % bytes.size()] = static_cast<char>(random());
        if (round % 5 == 0)
            bytes.resize(random() % bytes.size());
        const std::string path = folder.file("damaged.xlsx");
        test_support::writeBytes(path, bytes);
        SCOPED_TRACE(round);
        expectReadOrFileError(path);
    }
}

TEST(XlsxDamage, DamagedXmlInsideAWholeContainer) {
    const std::string sheet = test_support::worksheetXml(
        R"(<sheetViews><sheetView zoomScale="85"><selection activeCell="B2"/></sheetView></sheetViews>)"
        R"(<cols><col min="1" max="3" width="12.5" customWidth="1"/></cols><sheetData>)"
        R"(<row r="1" ht="20"><c r="A1" t="inlineStr"><is><t>제목</t></is></c><c r="B1"><v>12</v></c>)"
        R"(<c r="C1"><f t="shared" ref="C1:C2" si="0">B1*2</f><v>24</v></c></row>)"
        R"(<row r="2"><c r="B2" t="b"><v>1</v></c><c r="C2"><f t="shared" si="0"/><v>2</v></c></row>)"
        R"(</sheetData><mergeCells><mergeCell ref="A3:C3"/></mergeCells>)"
        R"(<pageMargins left="0.7" right="0.7" top="0.75" bottom="0.75" header="0.3" footer="0.3"/>)"
        R"(<pageSetup orientation="landscape" scale="80"/>)");
    const std::string alphabet = "<>\"'=/&;:!$#0123456789AZaz -";
    TempFolder folder;
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        std::string damaged = sheet;
        const int changes = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < changes; ++i)
            damaged[random() % damaged.size()] = alphabet[random() % alphabet.size()];
        auto parts = test_support::minimalWorkbook({"Sheet1"}, {});
        parts["xl/worksheets/sheet1.xml"] = damaged;
        const std::string path = folder.file("xml.xlsx");
        test_support::writeZip(path, parts);
        SCOPED_TRACE(damaged);
        expectReadOrFileError(path);
    }
}

TEST(XlsxDamage, DamagedLegacyFiles) {
    using test_support::XlsCell;
    const std::string original = test_support::legacyXls({{"양식",
                                                           {{0, 0, XlsCell::Text, 0, "제목"},
                                                            {1, 1, XlsCell::Number, 2.5, ""},
                                                            {2, 2, XlsCell::Date, 45000, ""}}}});
    TempFolder folder;
    std::mt19937 random(1997);
    for (int round = 0; round < 150; ++round) {
        std::string bytes = original;
        const int changes = 1 + static_cast<int>(random() % 6);
        for (int i = 0; i < changes; ++i) {
            // Damage the container's tables and the records, past the signature.
            const size_t at = 8 + random() % (bytes.size() - 8);
            bytes[at] = static_cast<char>(random());
        }
        const std::string path = folder.file("damaged.xls");
        test_support::writeBytes(path, bytes);
        SCOPED_TRACE(round);
        expectReadOrFileError(path);
    }
}

} // namespace
} // namespace sheet
