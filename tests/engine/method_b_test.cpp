#include "engine/engine_messages.h"
#include "engine/method_b.h"
#include "run_fixture.h"
#include "sheet/workbook_io.h"
#include "support/workbook_parts.h"

#include <QDir>
#include <functional>
#include <gtest/gtest.h>

namespace {

using run_test::FormLayout;
using testing_support::RecordingRunHost;
namespace msg = engine::msg;

FormLayout rowsDownTo(long lastRow) {
    FormLayout layout;
    layout.dataLastRow = lastRow;
    return layout;
}

class MethodBTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder.prepare(host);
        host.titleRange = QStringLiteral("A1:P6");
        host.dataRange = QStringLiteral("A7:ALL");
        host.consolidationList = {QStringLiteral("1.xlsx"), QStringLiteral("2.xlsx")};
        folder.writeForm(QStringLiteral("1.xlsx"), rowsDownTo(16), 1);
        folder.writeForm(QStringLiteral("2.xlsx"), rowsDownTo(9), 2);
        chosen = folder.resultFolder() + QStringLiteral("/결과.xlsx");
        host.saveAnswers.push_back(chosen);
    }

    std::unique_ptr<sheet::Workbook> runAndRead(const QString& path) {
        engine::combination_b(host);
        EXPECT_TRUE(QFileInfo::exists(path)) << host.logTexts.join('\n').toStdString();
        return run_test::readBack(path);
    }
    std::unique_ptr<sheet::Workbook> runAndRead() { return runAndRead(chosen); }

    // The result sheet as the run left it open.
    const sheet::Worksheet& openResult() const {
        const sheet::Workbook& book = host.created.front()->workbookModel(0);
        return *book.sheets[static_cast<size_t>(book.activeSheet)];
    }

    QStringList lastLog(int count) const { return host.logTexts.mid(host.logTexts.size() - count); }

    run_test::DataFolder folder;
    RecordingRunHost host;
    QString chosen;
};

TEST_F(MethodBTest, BlocksOfEveryLengthFollowOneAnother) {
    auto book = runAndRead();
    const sheet::Worksheet& result = *book->sheets.front();
    EXPECT_EQ(run_test::textAt(result, 1, 1), "학교별 현황");
    for (long r = 7; r <= 16; ++r)
        EXPECT_EQ(run_test::numberAt(result, r, 5), run_test::dataValue(1, r, 5)) << r;
    for (long r = 17; r <= 19; ++r)
        EXPECT_EQ(run_test::numberAt(result, r, 5), run_test::dataValue(2, r - 10, 5)) << r;
    EXPECT_EQ(result.lastRow(), 19);
    // The first cell below the last block is selected for the user.
    EXPECT_EQ(openResult().selectedRow, 20);
    EXPECT_EQ(openResult().selectedColumn, 1);
    EXPECT_EQ(lastLog(4), (QStringList{msg::kDoneSave, msg::kSavingChosen,
                                       QDir::toNativeSeparators(chosen) + msg::kSavedUnderChosen,
                                       msg::kClosingLine}));
}

TEST_F(MethodBTest, ResultLooksLikeTheForm) {
    auto book = runAndRead();
    const sheet::Worksheet& result = *book->sheets.front();
    auto form = run_test::makeForm(rowsDownTo(16), 1);
    const sheet::Worksheet& source = *form->sheets.front();
    EXPECT_NE(std::find(result.merges.begin(), result.merges.end(), sheet::CellRect{1, 1, 1, 16}),
              result.merges.end());
    EXPECT_TRUE(book->styles.at(result.cell(1, 1)->style).font.bold);
    EXPECT_EQ(book->styles.at(result.cell(18, 4)->style).border, run_test::dataStyle().border);
    for (long c = 1; c <= 16; ++c)
        EXPECT_DOUBLE_EQ(result.columnWidth(c), source.columnWidth(c)) << c;
    EXPECT_NE(result.columnWidth(17), source.columnWidth(17));
    for (long r = 1; r <= 6; ++r)
        EXPECT_DOUBLE_EQ(result.rowHeight(r), source.rowHeight(r)) << r;
    EXPECT_EQ(result.zoom, 85);
    EXPECT_EQ(result.pageSetup.orientation, 2);
    EXPECT_DOUBLE_EQ(result.pageSetup.leftMargin, 0.4);
    EXPECT_EQ(result.pageSetup.paperSize, 8);
}

TEST_F(MethodBTest, HeightsAndZoomComeFromTheConsolidatedSheetWhateverWasActive) {
    FormLayout layout = rowsDownTo(16);
    layout.otherSheetActive = true;
    folder.writeForm(QStringLiteral("1.xlsx"), layout, 1);
    auto book = runAndRead();
    const sheet::Worksheet& result = *book->sheets.front();
    EXPECT_EQ(result.zoom, 85);
    EXPECT_DOUBLE_EQ(result.rowHeight(5), 17.0); // the cover sheet has default heights
}

TEST_F(MethodBTest, DataStartRowLeavesEarlierSourceRowsOut) {
    host.dataRange = QStringLiteral("A8:ALL");
    auto book = runAndRead();
    const sheet::Worksheet& result = *book->sheets.front();
    EXPECT_EQ(run_test::numberAt(result, 7, 2), run_test::dataValue(1, 8, 2));
    // Rows 8..16 of the first, 8..9 of the second.
    EXPECT_EQ(run_test::numberAt(result, 16, 2), run_test::dataValue(2, 8, 2));
    EXPECT_EQ(result.lastRow(), 17);
}

TEST_F(MethodBTest, WholeRowsTravelButOnlyDownToTheTitleColumnsLastRow) {
    FormLayout layout = rowsDownTo(9);
    layout.cellsRightOfTitle = true;
    auto form = run_test::makeForm(layout, 2);
    // Data right of the title's last column, below the last row of columns A..P.
    form->sheets.front()->cellAt(30, 18).value = sheet::CellValue::Text("아래");
    folder.write(QStringLiteral("2.xlsx"), *form);
    auto book = runAndRead();
    const sheet::Worksheet& result = *book->sheets.front();
    EXPECT_EQ(run_test::textAt(result, 17, 18), "비고");
    EXPECT_EQ(run_test::textAt(result, 19, 18), "비고");
    EXPECT_EQ(result.lastRow(), 19);
}

TEST_F(MethodBTest, TitleFurtherDownIsPastedAtA1) {
    host.titleRange = QStringLiteral("B3:P6");
    auto book = runAndRead();
    const sheet::Worksheet& result = *book->sheets.front();
    EXPECT_EQ(run_test::textAt(result, 4, 1), "항목2");
    EXPECT_EQ(run_test::numberAt(result, 5, 2), run_test::dataValue(1, 7, 2));
}

TEST_F(MethodBTest, WorkbookWithNothingBelowItsTitleAddsNoRows) {
    folder.writeForm(QStringLiteral("빈.xlsx"), rowsDownTo(6), 9);
    host.consolidationList = {QStringLiteral("1.xlsx"), QStringLiteral("빈.xlsx"),
                              QStringLiteral("2.xlsx")};
    auto book = runAndRead();
    const sheet::Worksheet& result = *book->sheets.front();
    EXPECT_EQ(run_test::numberAt(result, 16, 3), run_test::dataValue(1, 16, 3));
    EXPECT_EQ(run_test::numberAt(result, 17, 3), run_test::dataValue(2, 7, 3));
    EXPECT_EQ(result.lastRow(), 19);
    EXPECT_EQ(host.progress.back(), std::make_pair(100, QStringLiteral("3/3")));
}

TEST_F(MethodBTest, AppendsBelowTheLastRowOfAnExistingWorkbook) {
    for (const long lastRow : {40L, 0L}) {
        SCOPED_TRACE(lastRow);
        const QString existing = folder.path() + QStringLiteral("/누적.xlsx");
        sheet::Workbook book;
        book.sheets.push_back(std::make_unique<sheet::Worksheet>("앞장"));
        book.sheets.push_back(std::make_unique<sheet::Worksheet>("누적"));
        if (lastRow > 0)
            book.sheets[1]->cellAt(lastRow, 16).value = sheet::CellValue::Text("끝");
        book.sheets[1]->cellAt(lastRow + 5, 17).value = sheet::CellValue::Text("Q열은 안 셈");
        book.sheets[1]->columnWidths[1] = 30;
        sheet::writeWorkbook(book, existing.toStdString());

        RecordingRunHost run;
        folder.prepare(run);
        run.titleRange = host.titleRange;
        run.dataRange = host.dataRange;
        run.consolidationList = host.consolidationList;
        run.existingFile = QStringLiteral("  ") + existing + QStringLiteral(" ");
        run.existingSheet = QStringLiteral(" 누적 ");
        engine::combination_b(run);

        const long first = lastRow > 0 ? lastRow + 1 : 2;
        auto result = run_test::readBack(existing);
        const sheet::Worksheet& sheet = *result->sheets[1];
        EXPECT_EQ(run_test::numberAt(sheet, first, 2), run_test::dataValue(1, 7, 2));
        EXPECT_EQ(run_test::numberAt(sheet, first + 10, 2), run_test::dataValue(2, 7, 2));
        // No title and no widths: the sheet keeps its own.
        EXPECT_EQ(run_test::textAt(sheet, 1, 1), "");
        EXPECT_DOUBLE_EQ(sheet.columnWidth(1), 30);
        EXPECT_TRUE(run.saveDialogFolders.isEmpty());
        EXPECT_EQ(run.logTexts.mid(run.logTexts.size() - 3),
                  (QStringList{msg::kDoneSave,
                               QDir::toNativeSeparators(existing) + msg::kSavingOverExisting,
                               msg::kClosingLine}));
        EXPECT_EQ(run.runningInstances(), 1);
    }
}

TEST_F(MethodBTest, AnExistingXlsGrowsIntoAnXlsxBesideIt) {
    // The result is written as .xlsx: the .xls stays as it was and the log names the new file.
    const QString existing = folder.path() + QStringLiteral("/누적.xls");
    const QString saved = folder.path() + QStringLiteral("/누적.xlsx");
    test_support::writeBytes(
        existing.toStdString(),
        test_support::legacyXls({{"누적", {{0, 0, test_support::XlsCell::Text, 0, "머리"}}}}));
    const std::string before = test_support::readBytes(existing.toStdString());
    RecordingRunHost run;
    folder.prepare(run);
    run.titleRange = host.titleRange;
    run.dataRange = host.dataRange;
    run.consolidationList = host.consolidationList;
    run.existingFile = existing;
    run.existingSheet = QStringLiteral("누적");
    engine::combination_b(run);

    EXPECT_EQ(test_support::readBytes(existing.toStdString()), before);
    ASSERT_TRUE(QFileInfo::exists(saved)) << run.logTexts.join('\n').toStdString();
    auto result = run_test::readBack(saved);
    EXPECT_EQ(run_test::textAt(*result->sheets[0], 1, 1), "머리");
    EXPECT_EQ(run_test::numberAt(*result->sheets[0], 2, 2), run_test::dataValue(1, 7, 2));
    EXPECT_TRUE(run.logTexts.contains(QDir::toNativeSeparators(saved) + msg::kSavingOverExisting +
                                      msg::kSavedAsXlsxInstead));
}

TEST_F(MethodBTest, BadRangesAreRefusedBeforeAnythingIsLogged) {
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("A1P6"), msg::kBadTitleRange},
        {QStringLiteral("A:P"), msg::kBadTitleRange},
        {QStringLiteral("A1:P2147483647"), msg::kBadTitleRange},
        {QStringLiteral("A1:P1048577"), msg::kBadTitleRange},
    };
    for (const auto& [title, message] : cases) {
        RecordingRunHost run;
        folder.prepare(run);
        run.consolidationList = host.consolidationList;
        run.titleRange = title;
        run.dataRange = host.dataRange;
        engine::combination_b(run);
        EXPECT_EQ(run.messages, QStringList{message});
        EXPECT_TRUE(run.logTexts.isEmpty());
        EXPECT_TRUE(run.created.empty());
    }
    RecordingRunHost farDown;
    folder.prepare(farDown);
    farDown.consolidationList = host.consolidationList;
    farDown.titleRange = host.titleRange;
    farDown.dataRange = QStringLiteral("A2147483647:ALL");
    engine::combination_b(farDown);
    EXPECT_EQ(farDown.messages, QStringList{msg::kBadDataRange});
    EXPECT_TRUE(farDown.created.empty());

    host.dataRange = QStringLiteral("ALL");
    host.saveAnswers.clear();
    engine::combination_b(host);
    EXPECT_EQ(host.messages, QStringList{msg::kBadDataRange});
    EXPECT_TRUE(host.logTexts.isEmpty());
}

// Every counted failure, its line, the cancel line and the closing line; nothing saved, nothing
// left running.
TEST_F(MethodBTest, FailuresTakeTheirCodesAndCancel) {
    const QString existing = folder.path() + QStringLiteral("/누적.xlsx");
    {
        sheet::Workbook book;
        book.sheets.push_back(std::make_unique<sheet::Worksheet>("누적"));
        sheet::writeWorkbook(book, existing.toStdString());
    }
    struct Case {
        const char* name;
        std::function<void(RecordingRunHost&)> arrange;
        QString line;
    };
    auto fault = [](const char* member, int call) {
        return [=](RecordingRunHost& run) {
            run.faults = std::make_shared<sheet::FaultPlan>();
            run.faults->failAt(member, call);
        };
    };
    auto appending = [&](std::function<void(RecordingRunHost&)> more) {
        return [=](RecordingRunHost& run) {
            run.existingFile = existing;
            run.existingSheet = QStringLiteral("누적");
            more(run);
        };
    };
    const QString sheetLine = QStringLiteral("파일에 [자료] 이름의 시트가 없거나 기타 오류발생!");
    const Case cases[] = {
        {"no component", [](RecordingRunHost& run) { run.failCreateAt = 1; }, msg::kB00E00},
        {"no reader", [](RecordingRunHost& run) { run.failCreateAt = 2; },
         QStringLiteral("B00E01 1.xlsx") + sheetLine},
        {"first lacks sheet", [](RecordingRunHost& run) { run.sheetName = QStringLiteral("없음"); },
         QStringLiteral("B00E01 1.xlsx파일에 [없음] 이름의 시트가 없거나 기타 오류발생!")},
        {"title paste", fault("Worksheet.Paste", 1), msg::kB00E04Preparing},
        {"zoom", fault("Window.SetZoom", 1), msg::kB00E04Preparing},
        {"closing the first", fault("Workbook.Close", 1), msg::kB00E04Preparing},
        {"second open", fault("Workbooks.Open", 3), QStringLiteral("B00E04 2.xlsx") + sheetLine},
        {"block paste", fault("Worksheet.Paste", 3), msg::kB00E05},
        {"rows copy", fault("Range.Copy", 2), msg::kB00E05},
        {"existing missing", appending([&](RecordingRunHost& run) {
             run.existingFile = existing + QStringLiteral(".없음");
         }),
         existing + QStringLiteral(".없음") + msg::kExistingFileOpenFailed},
        {"existing sheet missing",
         appending([](RecordingRunHost& run) { run.existingSheet = QStringLiteral("없음"); }),
         existing + msg::kExistingFileOpenFailed},
        {"existing reader", appending([](RecordingRunHost& run) { run.failCreateAt = 2; }),
         msg::kB00E04Preparing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingRunHost run;
        folder.prepare(run);
        run.titleRange = host.titleRange;
        run.dataRange = host.dataRange;
        run.consolidationList = host.consolidationList;
        c.arrange(run);
        engine::combination_b(run);
        ASSERT_GE(run.logTexts.size(), 3);
        EXPECT_EQ(run.logTexts.mid(run.logTexts.size() - 3),
                  (QStringList{c.line, msg::kB00E06, msg::kClosingLine}));
        EXPECT_EQ(run.runningInstances(), 0);
        EXPECT_TRUE(run.saveDialogFolders.isEmpty());
        EXPECT_EQ(QDir(folder.resultFolder()).entryList(QDir::Files), QStringList());
    }
}

TEST_F(MethodBTest, PageSetupFailureIsLoggedAndTheRunStillSaves) {
    host.faults = std::make_shared<sheet::FaultPlan>();
    host.faults->failAt("PageSetup.SetPaperSize", 1);
    runAndRead();
    EXPECT_TRUE(host.logTexts.contains(msg::kB00E03));
    EXPECT_FALSE(host.logTexts.contains(msg::kB00E06));
}

} // namespace
