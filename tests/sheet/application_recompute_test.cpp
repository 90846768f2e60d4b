// A result assembled through the object layer, recomputed by an independent spreadsheet
// program: its sums must agree with the results the component stored. Runs only where
// LibreOffice (soffice) is installed.
#include "sheet/embedded_application.h"
#include "support/office_conversion.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <vector>

using namespace sheet;
namespace fs = std::filesystem;

namespace {

std::vector<std::vector<std::string>> readCsv(const fs::path& path) {
    std::vector<std::vector<std::string>> rows;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::stringstream stream(line);
        std::string field;
        while (std::getline(stream, field, ','))
            fields.push_back(field);
        rows.push_back(fields);
    }
    return rows;
}

} // namespace

TEST(Recomputation, SumsOfAnAssembledResultAgreeWithLibreOffice) {
    if (!test_support::officeSuiteInstalled())
        GTEST_SKIP() << "soffice is not installed";
    fs::path folder = fs::temp_directory_path() / "tabrinel_recompute";
    fs::remove_all(folder);
    fs::create_directories(folder);

    auto reader = createEmbeddedApplication();
    auto result = createEmbeddedApplication();
    auto resultSheet = result->Workbooks().Add()->Worksheets(1);
    // Title from the first workbook, then three blocks of two rows, then sums coloured 37.
    std::string sum = "=";
    long destRow = 2;
    for (int book = 1; book <= 3; ++book) {
        auto source = reader->Workbooks().Add()->Worksheets(1);
        source->Range("A1")->SetValue(std::string("제목"));
        source->Columns(1)->SetColumnWidth(14);
        source->Range("A2:C3")->SetValue(double(book));
        source->Range("C2")->SetFormula("=A2*10");
        if (book == 1) {
            source->Range("A1")->Copy();
            resultSheet->Cells()->Select();
            resultSheet->Paste();
            resultSheet->Columns(1)->SetColumnWidth(source->Columns(1)->ColumnWidth());
        }
        source->Range("A2:C3")->Copy();
        resultSheet->Range("A" + std::to_string(destRow))->Select();
        resultSheet->Paste();
        sum += (book > 1 ? "+C" : "C") + std::to_string(destRow);
        destRow += 2;
        reader->SetCutCopyMode(false);
        reader->ActiveWorkbook()->Close();
    }
    auto sumCell = resultSheet->Range("C" + std::to_string(destRow));
    sumCell->SetInteriorColorIndex(37);
    sumCell->SetFormula(sum);
    resultSheet->Range("D1")->SetFormula("=SUM(A2:B7)");
    const double storedSum = std::get<double>(sumCell->Value());
    const double storedBlock = std::get<double>(resultSheet->Range("D1")->Value());
    EXPECT_EQ(storedSum, 10 + 20 + 30);
    EXPECT_EQ(storedBlock, 2 * 2 * (1 + 2 + 3));
    fs::path file = folder / "result.xlsx";
    result->ActiveWorkbook()->SaveAs(file.string());

    const fs::path csv = test_support::convertWithOffice(file, "csv", folder / "out",
                                                         test_support::StoredResults::Recomputed);
    ASSERT_FALSE(csv.empty());
    auto rows = readCsv(csv);
    ASSERT_GE(rows.size(), static_cast<size_t>(destRow));
    EXPECT_EQ(std::stod(rows[static_cast<size_t>(destRow - 1)].at(2)), storedSum);
    EXPECT_EQ(std::stod(rows[0].at(3)), storedBlock);
    fs::remove_all(folder);
}
