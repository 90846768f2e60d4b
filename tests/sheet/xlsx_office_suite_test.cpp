// When an office suite is installed, it opens a written workbook and sees the same values.
#include "sheet/workbook_io.h"
#include "support/workbook_parts.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace sheet {
namespace {

bool officeSuiteInstalled() {
    return std::system("command -v soffice >/dev/null 2>&1") == 0;
}

TEST(XlsxOfficeSuite, ConvertsAWrittenWorkbookToTheSameValues) {
    if (!officeSuiteInstalled())
        GTEST_SKIP() << "soffice is not installed";
    test_support::TempFolder folder;
    Workbook workbook;
    auto sheet = std::make_unique<Worksheet>("값");
    sheet->cellAt(1, 1).value = CellValue::Number(1234.5);
    sheet->cellAt(1, 2).value = CellValue::Text("한글, 쉼표");
    sheet->cellAt(2, 1) = Cell{CellValue::Number(2469), "A1*2", 0};
    sheet->cellAt(2, 2).value = CellValue::Boolean(true);
    Style bold;
    bold.font.bold = true;
    bold.border.bottom = BorderSide{"thin", 0x000000};
    sheet->cellAt(3, 1) = Cell{CellValue::Text("굵게"), "", workbook.styles.intern(bold)};
    sheet->merges.push_back(CellRect{3, 1, 3, 2});
    workbook.sheets.push_back(std::move(sheet));
    const std::string path = folder.file("values.xlsx");
    writeWorkbook(workbook, path);

    const std::string command = "cd '" + folder.path().string() +
                                "' && soffice --headless --norestore --convert-to "
                                "'csv:Text - txt - csv (StarCalc):44,34,76,1' values.xlsx "
                                ">/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string csv = test_support::readBytes(folder.path() / "values.csv");
    // LibreOffice quotes the text of a merged cell; the values are what counts.
    std::string values = csv.substr(0, csv.find("\n", csv.find("굵게")));
    if (const auto merged = values.find("\"굵게\""); merged != std::string::npos)
        values.replace(merged, 8, "굵게");
    EXPECT_EQ(values, "1234.5,\"한글, 쉼표\"\n2469,TRUE\n굵게,");
}

} // namespace
} // namespace sheet
