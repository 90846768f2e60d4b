// When an office suite is installed, it reads the values the writer wrote: errors, booleans,
// formulas with their results, text inline or shared, escaped control characters.
#include "sheet/workbook_io.h"
#include "sheet/xlsx_writer.h"
#include "support/workbook_parts.h"
#include "writer_fixtures.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>

namespace sheet {
namespace {

bool officeSuiteInstalled() {
    return std::system("command -v soffice >/dev/null 2>&1") == 0;
}

std::unique_ptr<Workbook> valuesOfEveryType() {
    auto workbook = std::make_unique<Workbook>();
    auto sheet = std::make_unique<Worksheet>("값");
    sheet->cellAt(1, 1).value = CellValue::Number(1234.5);
    sheet->cellAt(1, 2).value = CellValue::Text("한글, 쉼표");
    sheet->cellAt(1, 3).value = CellValue::Boolean(false);
    sheet->cellAt(2, 1) = Cell{CellValue::Number(2469), "A1*2", 0, nullptr};
    sheet->cellAt(2, 2) = Cell{CellValue::Boolean(true), "A1>1", 0, nullptr};
    sheet->cellAt(2, 3).value = CellValue::Error("#DIV/0!");
    sheet->cellAt(3, 1).value = CellValue::Number(std::nan(""));
    sheet->cellAt(3, 2).value = CellValue::Text("줄\x01바꿈");
    sheet->cellAt(3, 3) = Cell{CellValue::Text("ab"), "\"a\"&\"b\"", 0, nullptr};
    sheet->rowHeights[3] = 15;
    sheet->defaultRowHeight = 12;
    workbook->sheets.push_back(std::move(sheet));
    return workbook;
}

std::string convertToCsv(const test_support::TempFolder& folder, const std::string& file) {
    const std::string profile = "file:///tmp/lo-writer-test-" + std::to_string(::getpid());
    const std::string command = "cd '" + folder.path().string() +
                                "' && soffice -env:UserInstallation=" + profile +
                                " --headless --norestore --convert-to "
                                "'csv:Text - txt - csv (StarCalc):44,34,76,1' '" +
                                file + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        return {};
    const std::string csv = file.substr(0, file.rfind('.')) + ".csv";
    return test_support::readBytes(folder.path() / csv);
}

TEST(XlsxWriterOfficeSuite, ReadsTheSameValuesFromSharedAndInlineText) {
    if (!officeSuiteInstalled())
        GTEST_SKIP() << "soffice is not installed";
    test_support::TempFolder folder;
    const auto workbook = valuesOfEveryType();
    writeXlsx(*workbook, folder.file("shared.xlsx"));
    XlsxWriteOptions inlineText;
    inlineText.sharedStrings = false;
    writeXlsx(*workbook, folder.file("inline.xlsx"), inlineText);
    // The suite quotes text cells and error values alike; booleans and numbers stand bare.
    const std::string expected = "1234.5,\"한글, 쉼표\",FALSE\n"
                                 "2469,TRUE,\"#DIV/0!\"\n"
                                 "\"#NUM!\",\"줄\x01바꿈\",\"ab\"\n";
    EXPECT_EQ(convertToCsv(folder, "shared.xlsx"), expected);
    EXPECT_EQ(convertToCsv(folder, "inline.xlsx"), expected);
}

TEST(XlsxWriterOfficeSuite, OpensAWorkbookWithEveryFieldAndCarriedParts) {
    if (!officeSuiteInstalled())
        GTEST_SKIP() << "soffice is not installed";
    test_support::TempFolder folder;
    writeXlsx(*writer_fixtures::everyFieldWorkbook(), folder.file("every.xlsx"));
    const std::string csv = convertToCsv(folder, "every.xlsx");
    EXPECT_EQ(csv.substr(0, csv.find('\n')), "\"학교 현황\",,,");
    EXPECT_NE(csv.find("1234.5,TRUE,\"#DIV/0!\",\"2,469원\"\nFALSE,\"합계\",\"#N/A\""),
              std::string::npos)
        << csv;
}

} // namespace
} // namespace sheet
