// The rows of a large sheet made on several threads: the parts written are byte for byte the
// ones a single thread writes, and a failure in a late block is the one a single thread meets.
#include "sheet/file_error.h"
#include "sheet/io_messages.h"
#include "sheet/model.h"
#include "sheet/workbook_io.h"
#include "sheet/xlsx_writer.h"
#include "support/workbook_parts.h"

#include <gtest/gtest.h>
#include <map>
#include <zip.h>

namespace sheet {
namespace {

using test_support::TempFolder;

std::map<std::string, std::string> partsOf(const std::string& path) {
    std::map<std::string, std::string> parts;
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    EXPECT_NE(archive, nullptr) << code;
    if (!archive)
        return parts;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
        std::string bytes(stat.size, '\0');
        zip_file_t* part = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        EXPECT_EQ(zip_fread(part, bytes.data(), stat.size), static_cast<zip_int64_t>(stat.size));
        zip_fclose(part);
        parts[stat.name] = std::move(bytes);
    }
    zip_close(archive);
    return parts;
}

// Every kind of cell and row the writer knows, over many blocks of rows: texts repeated and
// new, rich text, formulas with every type of result, errors, styled empty cells, and rows
// with a layout before the first cell, between cells and after the last.
std::unique_ptr<Workbook> largeWorkbook() {
    auto workbook = std::make_unique<Workbook>();
    Style bold;
    bold.font.bold = true;
    const int styled = workbook->styles.intern(bold);
    auto sheet = std::make_unique<Worksheet>("자료");
    Font italic;
    italic.italic = true;
    const auto runs = std::make_shared<const RichText>(
        RichText{TextRun{"기울인", italic}, TextRun{" 글", std::nullopt}});
    for (long row = 3; row <= 12000; row += (row % 5 == 0) ? 2 : 1) {
        sheet->cellAt(row, 1).value = CellValue::Number(static_cast<double>(row) / 8);
        sheet->cellAt(row, 2).value = CellValue::Text("항목 " + std::to_string(row % 37));
        sheet->cellAt(row, 3).value = CellValue::Text("고유 " + std::to_string(row));
        if (row % 7 == 0)
            sheet->cellAt(row, 4) = Cell{CellValue::Text("기울인 글"), "", 0, runs};
        if (row % 11 == 0)
            sheet->cellAt(row, 5) = Cell{CellValue::Text("합친 " + std::to_string(row)), "B3&C3"};
        if (row % 13 == 0)
            sheet->cellAt(row, 6) = Cell{CellValue::Boolean(true), "A3>0"};
        if (row % 17 == 0)
            sheet->cellAt(row, 7).value = CellValue::Error("#N/A");
        if (row % 19 == 0)
            sheet->cellAt(row, 8).value = CellValue::Error("손상된 값");
        if (row % 23 == 0)
            sheet->cellAt(row, 9).style = styled;
        if (row % 29 == 0)
            sheet->cellAt(row, 10).value = CellValue::Text("");
    }
    sheet->rowHeights = {{1, 30}, {6, 20}, {8190, 15}, {12500, 40}};
    sheet->rowStyles = {{2, styled}, {4097, styled}, {13000, styled}};
    sheet->hiddenRows = {1, 6, 9000, 12001};
    workbook->sheets.push_back(std::move(sheet));
    return workbook;
}

TEST(XlsxSheetRows, RowsMadeOnSeveralThreadsAreTheRowsOneThreadMakes) {
    TempFolder folder;
    const auto workbook = largeWorkbook();
    std::map<std::string, std::string> written[2];
    for (unsigned threads : {1u, 3u}) {
        XlsxWriteOptions options;
        options.rowThreads = threads;
        const std::string path = folder.file("결과" + std::to_string(threads) + ".xlsx");
        writeXlsx(*workbook, path, options);
        written[threads == 1 ? 0 : 1] = partsOf(path);
    }
    ASSERT_FALSE(written[0].empty());
    ASSERT_GT(written[0]["xl/worksheets/sheet1.xml"].size(), 1000000u) << "too few blocks";
    EXPECT_EQ(written[0].size(), written[1].size());
    for (const auto& [name, bytes] : written[0])
        EXPECT_TRUE(written[1][name] == bytes) << name << " differs";

    const auto back = readWorkbook(folder.file("결과3.xlsx"));
    const Worksheet& sheet = *back->sheets[0];
    EXPECT_EQ(sheet.cell(11999, 3)->value, CellValue::Text("고유 11999"));
    EXPECT_EQ(sheet.hiddenRows, (std::vector<long>{1, 6, 9000, 12001}));
    EXPECT_EQ(sheet.rowHeights.at(12500), 40);
}

TEST(XlsxSheetRows, AFailureInALateBlockIsTheOneOneThreadMeets) {
    TempFolder folder;
    const auto workbook = largeWorkbook();
    workbook->sheets[0]->cellAt(11000, 3).value = CellValue::Text(std::string(40000, 'x'));
    workbook->sheets[0]->cellAt(11500, 3).value = CellValue::Text(std::string(40000, 'y'));
    std::string messages[2];
    for (unsigned threads : {1u, 3u}) {
        XlsxWriteOptions options;
        options.rowThreads = threads;
        try {
            writeXlsx(*workbook, folder.file("실패.xlsx"), options);
            ADD_FAILURE() << "an over-long text was written with " << threads << " threads";
        } catch (const FileError& error) {
            messages[threads == 1 ? 0 : 1] = error.what();
        }
    }
    EXPECT_NE(messages[0].find(io_messages::kTextTooLong), std::string::npos) << messages[0];
    EXPECT_NE(messages[0].find("자료!C11000"), std::string::npos) << messages[0];
    EXPECT_EQ(messages[0], messages[1]);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{});
}

} // namespace
} // namespace sheet
