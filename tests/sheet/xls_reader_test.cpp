// Legacy .xls files built record by record: values, the date system, damaged containers.
#include "sheet/io_messages.h"
#include "sheet/workbook_io.h"
#include "support/workbook_parts.h"
#include "support/workbook_printing.h"

#include <gtest/gtest.h>

namespace sheet {
namespace {

using test_support::legacyXls;
using test_support::TempFolder;
using test_support::XlsCell;
using test_support::XlsSheet;

std::unique_ptr<Workbook> readXlsBytes(const std::string& bytes, const std::string& name) {
    TempFolder folder;
    const std::string path = folder.file(name);
    test_support::writeBytes(path, bytes);
    return readWorkbook(path);
}

TEST(XlsReader, ReadsValuesOfEverySheetInOrder) {
    const std::vector<XlsSheet> sheets = {
        {"학교현황",
         {{0, 0, XlsCell::Text, 0, "학교명"},
          {0, 1, XlsCell::Number, 1234.5, ""},
          {2, 3, XlsCell::Date, 45352, ""},
          {3, 0, XlsCell::Text, 0, "한빛초등학교"}}},
        {"Sheet2", {{0, 0, XlsCell::Number, -7, ""}}},
    };
    // The name says .xlsx: the content decides how a file is read.
    const auto workbook = readXlsBytes(legacyXls(sheets), "old.xlsx");
    ASSERT_EQ(workbook->sheets.size(), 2u);
    const Worksheet& first = *workbook->sheets[0];
    EXPECT_EQ(first.name, "학교현황");
    EXPECT_EQ(workbook->sheets[1]->name, "Sheet2");
    ASSERT_TRUE(first.cell(1, 1));
    EXPECT_EQ(first.cell(1, 1)->value, CellValue::Text("학교명"));
    EXPECT_EQ(first.cell(1, 2)->value, CellValue::Number(1234.5));
    EXPECT_EQ(first.cell(4, 1)->value, CellValue::Text("한빛초등학교"));
    ASSERT_TRUE(first.cell(3, 4));
    EXPECT_EQ(first.cell(3, 4)->value, CellValue::Number(45352));
    EXPECT_TRUE(isDateFormat(workbook->styles.at(first.cell(3, 4)->style)));
    EXPECT_FALSE(isDateFormat(workbook->styles.at(first.cell(1, 2)->style)));
    EXPECT_EQ(workbook->sheets[1]->cell(1, 1)->value, CellValue::Number(-7));
}

TEST(XlsReader, DatesOfThe1904SystemKeepTheirSerialAndSystem) {
    // As the .xlsx reader does: the serial stays as stored and the workbook says which system.
    const auto workbook =
        readXlsBytes(legacyXls({{"S", {{0, 0, XlsCell::Date, 1.75, ""}}}}, true), "mac.xls");
    EXPECT_TRUE(workbook->date1904);
    ASSERT_TRUE(workbook->sheets[0]->cell(1, 1));
    EXPECT_EQ(workbook->sheets[0]->cell(1, 1)->value, CellValue::Number(1.75));
}

TEST(XlsReader, DamagedCompoundFilesGiveOneError) {
    std::string bytes = legacyXls({{"S", {{0, 0, XlsCell::Number, 1, ""}}}});
    bytes.resize(700);
    TempFolder folder;
    const std::string path = folder.file("cut.xls");
    test_support::writeBytes(path, bytes);
    try {
        readWorkbook(path);
        FAIL() << "no error";
    } catch (const FileError& error) {
        EXPECT_NE(std::string(error.what()).find(path), std::string::npos);
    }
}

} // namespace
} // namespace sheet
