// A save that fails anywhere, before, while or after a part is streamed, leaves the target as
// it was and nothing beside it.
#include "sheet/embedded_application.h"
#include "sheet/embedded_faults.h"
#include "sheet/io_messages.h"
#include "sheet/workbook_io.h"
#include "support/workbook_parts.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace sheet {
namespace {

using test_support::TempFolder;

TEST(XlsxWriterFailure, AFaultAtAnyPartKeepsTheOldFileAndLeavesNothingBeside) {
    TempFolder folder;
    const std::string path = folder.file("결과.xlsx");
    auto plan = std::make_shared<FaultPlan>();
    auto app = createEmbeddedApplication();
    app->setFaultPlan(plan);
    auto book = app->Workbooks().Add();
    auto sheet = book->Worksheets(1);
    sheet->Range("A1")->SetValue(std::string("값"));
    sheet->Range("B2")->SetValue(3.0);
    book->SaveAs(path);
    const int parts = plan->calls("Workbook.WritePart");
    ASSERT_GE(parts, 6) << "every part is a step the plan can fail";
    const std::string saved = test_support::readBytes(path);

    sheet->Range("A1")->SetValue(std::string("바뀐 값"));
    for (int failing = 1; failing <= parts; ++failing) {
        plan->clear();
        plan->failAt("Workbook.WritePart", failing);
        EXPECT_THROW(book->SaveAs(path), AutomationError) << "part " << failing;
        EXPECT_EQ(test_support::readBytes(path), saved) << "part " << failing;
        EXPECT_EQ(folder.entries(), std::vector<std::string>{"결과.xlsx"}) << "part " << failing;
    }
    plan->clear();
    book->SaveAs(path);
    EXPECT_EQ(readWorkbook(path)->sheets[0]->cell(1, 1)->value, CellValue::Text("바뀐 값"));
    app->Quit();
}

TEST(XlsxWriterFailure, AFailureDeepInAStreamedSheetLeavesNoPartialFile) {
    TempFolder folder;
    const std::string path = folder.file("big.xlsx");
    test_support::writeBytes(path, "the user's file");
    Workbook workbook;
    workbook.sheets.push_back(std::make_unique<Worksheet>("자료"));
    for (long row = 1; row <= 20000; ++row)
        workbook.sheets[0]->cellAt(row, 1).value = CellValue::Number(static_cast<double>(row));
    workbook.sheets[0]->cellAt(19999, 2).value = CellValue::Text(std::string(40000, 'x'));
    try {
        writeWorkbook(workbook, path);
        FAIL() << "an over-long text was written";
    } catch (const FileError& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find(io_messages::kTextTooLong), std::string::npos) << message;
        EXPECT_NE(message.find("자료!B19999"), std::string::npos) << message;
    }
    EXPECT_EQ(test_support::readBytes(path), "the user's file");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"big.xlsx"});
}

TEST(XlsxWriterFailure, ASheetWithoutANameNeverReachesTheFile) {
    TempFolder folder;
    const std::string path = folder.file("noname.xlsx");
    Workbook workbook;
    workbook.sheets.push_back(std::make_unique<Worksheet>("정상"));
    workbook.sheets.push_back(std::make_unique<Worksheet>(""));
    try {
        writeWorkbook(workbook, path);
        FAIL() << "a sheet without a name was written";
    } catch (const FileError& error) {
        EXPECT_NE(std::string(error.what()).find(io_messages::kEmptySheetName), std::string::npos);
    }
    Workbook empty;
    EXPECT_THROW(writeWorkbook(empty, path), FileError);
    Workbook twice;
    twice.sheets.push_back(std::make_unique<Worksheet>("같음"));
    twice.sheets.push_back(std::make_unique<Worksheet>("같음"));
    EXPECT_THROW(writeWorkbook(twice, path), FileError);
    EXPECT_TRUE(folder.entries().empty());
}

TEST(XlsxWriterFailure, AReadOnlyFolderIsReportedWithTheFileNamed) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    TempFolder folder;
    const std::filesystem::path locked = folder.path() / "locked";
    std::filesystem::create_directory(locked);
    const std::string path = (locked / "out.xlsx").string();
    std::filesystem::permissions(locked, std::filesystem::perms::owner_read |
                                             std::filesystem::perms::owner_exec);
    Workbook workbook;
    workbook.sheets.push_back(std::make_unique<Worksheet>("Sheet1"));
    try {
        writeWorkbook(workbook, path);
        ADD_FAILURE() << "wrote into a read-only folder";
    } catch (const FileError& error) {
        EXPECT_NE(std::string(error.what()).find(path), std::string::npos);
    }
    std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
    EXPECT_TRUE(std::filesystem::is_empty(locked));
}

TEST(XlsxWriterFailure, ATargetThatCannotBeReplacedKeepsItsPlaceAndNoTemporaryFileStays) {
    TempFolder folder;
    const std::filesystem::path target = folder.path() / "taken.xlsx";
    std::filesystem::create_directory(target);
    test_support::writeBytes(target / "inside.txt", "kept");
    Workbook workbook;
    workbook.sheets.push_back(std::make_unique<Worksheet>("Sheet1"));
    try {
        writeWorkbook(workbook, target.string());
        FAIL() << "a folder was replaced";
    } catch (const FileError& error) {
        EXPECT_NE(std::string(error.what()).find(io_messages::kCannotReplace), std::string::npos);
    }
    EXPECT_EQ(test_support::readBytes(target / "inside.txt"), "kept");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"taken.xlsx"});
}

} // namespace
} // namespace sheet
