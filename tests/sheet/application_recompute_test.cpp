// A result assembled through the object layer, recomputed by an independent spreadsheet
// program: its sums must agree with the results the component stored. Runs only where
// LibreOffice (soffice) is installed.
#include "sheet/embedded_application.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <vector>

using namespace sheet;
namespace fs = std::filesystem;

namespace {

bool hasSoffice() {
    return std::system("command -v soffice >/dev/null 2>&1") == 0;
}

// A profile that makes LibreOffice recompute every formula of an .xlsx file when loading it,
// instead of trusting the stored results.
void writeRecalculatingProfile(const fs::path& profile) {
    fs::create_directories(profile / "user");
    std::ofstream(profile / "user" / "registrymodifications.xcu")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
           "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
           "<item oor:path=\"/org.openoffice.Office.Calc/Formula/Load\">"
           "<prop oor:name=\"OOXMLRecalcMode\" oor:op=\"fuse\"><value>0</value></prop></item>\n"
           "</oor:items>\n";
}

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
    if (!hasSoffice())
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

    writeRecalculatingProfile(folder / "profile");
    std::string command = "cd '" + folder.string() + "' && soffice -env:UserInstallation=file://" +
                          (folder / "profile").string() +
                          " --headless --convert-to csv --outdir out result.xlsx >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    auto rows = readCsv(folder / "out" / "result.csv");
    ASSERT_GE(rows.size(), static_cast<size_t>(destRow));
    EXPECT_EQ(std::stod(rows[static_cast<size_t>(destRow - 1)].at(2)), storedSum);
    EXPECT_EQ(std::stod(rows[0].at(3)), storedBlock);
    fs::remove_all(folder);
}
