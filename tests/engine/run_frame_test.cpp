// The frame every method shares, driven through method A: start lines, progress, the counted
// failures and the cancelled end, and the save step with its dialog, in-use and failure paths.
#include "engine/engine_messages.h"
#include "engine/method_a.h"
#include "engine/run_log.h"
#include "run_fixture.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

using testing_support::RecordingRunHost;
namespace msg = engine::msg;

class RunFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder.prepare(host);
        host.titleRange = QStringLiteral("A1:P6");
        host.dataRange = QStringLiteral("A7:P10");
        host.consolidationList = {QStringLiteral("1.xlsx"), QStringLiteral("2.xlsx"),
                                  QStringLiteral("3.xlsx")};
        for (int n = 1; n <= 3; ++n)
            folder.writeForm(QString::number(n) + QStringLiteral(".xlsx"), {}, n);
    }

    QStringList resultFiles() const {
        return QDir(folder.resultFolder()).entryList(QDir::Files, QDir::Name);
    }
    QString native(const QString& path) const { return QDir::toNativeSeparators(path); }
    QString fileLine(const QString& entry) const {
        return native(folder.file(entry)) + msg::kFileWorking;
    }
    QString timeStampPath(const QString& name = QStringLiteral("20240302090503.xlsx")) const {
        return native(folder.resultFolder() + u'/' + name);
    }
    QStringList lastLog(int count) const { return host.logTexts.mid(host.logTexts.size() - count); }

    void expectCancelled(const QString& failureLine) {
        ASSERT_GE(host.logTexts.size(), 3);
        EXPECT_EQ(lastLog(3), (QStringList{failureLine, msg::kA00E07, msg::kClosingLine}));
        EXPECT_EQ(resultFiles(), QStringList());
        EXPECT_EQ(host.runningInstances(), 0);
        EXPECT_FALSE(host.spreadsheetApp.ResultApp);
        EXPECT_FALSE(host.spreadsheetApp.ReaderApp);
        EXPECT_TRUE(host.saveDialogFolders.isEmpty());
    }

    run_test::DataFolder folder;
    RecordingRunHost host;
};

TEST_F(RunFrameTest, SuccessfulRunLogsEveryStepAndLeavesTheResultOpen) {
    host.showProcess = true;
    engine::combination_a(host);
    const QStringList expected = {
        msg::kStartLine,
        msg::kShowProcessLine,
        msg::kApplyingTitle,
        msg::kApplyingWidths,
        msg::kApplyingPageSetup,
        fileLine(QStringLiteral("1.xlsx")),
        fileLine(QStringLiteral("2.xlsx")),
        fileLine(QStringLiteral("3.xlsx")),
        msg::kDoneNoSum,
        msg::kSaveCancelled,
        timeStampPath() + msg::kSavedUnderTimeStamp,
        msg::kClosingLine,
    };
    EXPECT_EQ(host.logTexts, expected);
    EXPECT_EQ(host.logLines.first(), QStringLiteral("2024-03-02 09:05:03 ") + msg::kStartLine);
    ASSERT_EQ(host.progress.size(), 3u);
    EXPECT_EQ(host.progress[0], std::make_pair(33, QStringLiteral("1/3")));
    EXPECT_EQ(host.progress[1], std::make_pair(66, QStringLiteral("2/3")));
    EXPECT_EQ(host.progress[2], std::make_pair(100, QStringLiteral("3/3")));
    EXPECT_EQ(host.saveDialogFolders, QStringList{native(folder.resultFolder())});
    EXPECT_EQ(host.broughtToFront, 1);
    EXPECT_EQ(resultFiles(), QStringList{QStringLiteral("20240302090503.xlsx")});

    // The reader is gone; the result stays running, visible, with alerts on.
    EXPECT_EQ(host.runningInstances(), 1);
    ASSERT_TRUE(host.spreadsheetApp.ResultApp);
    EXPECT_FALSE(host.spreadsheetApp.ReaderApp);
    EXPECT_TRUE(host.created.front()->isVisible());
    EXPECT_TRUE(host.created.front()->alertsOn());
}

TEST_F(RunFrameTest, ChosenNameIsSavedWithMethodAsLine) {
    const QString chosen = folder.path() + QStringLiteral("/모음.xlsx");
    host.saveAnswers.push_back(chosen);
    engine::combination_a(host);
    EXPECT_EQ(lastLog(3), (QStringList{msg::kSavingChosenA, native(chosen) + msg::kSavedUnderChosen,
                                       msg::kClosingLine}));
    EXPECT_TRUE(QFileInfo::exists(chosen));
    EXPECT_EQ(resultFiles(), QStringList());
}

TEST_F(RunFrameTest, ChosenXlsNameIsSavedAsXlsxAndTheLogSaysSo) {
    // The result is written as .xlsx; under a .xls name no program would open it.
    const QString chosen = folder.path() + QStringLiteral("/모음.XLS");
    const QString saved = folder.path() + QStringLiteral("/모음.xlsx");
    host.saveAnswers.push_back(chosen);
    engine::combination_a(host);
    EXPECT_EQ(lastLog(2),
              (QStringList{native(saved) + msg::kSavedUnderChosen + msg::kSavedAsXlsxInstead,
                           msg::kClosingLine}));
    EXPECT_FALSE(QFileInfo::exists(chosen));
    ASSERT_TRUE(QFileInfo::exists(saved));
    EXPECT_EQ(run_test::readBack(saved)->sheets.size(), 1u);
}

TEST_F(RunFrameTest, ChosenFileInUseGivesMessageAndTimeStampFile) {
    const QString chosen = folder.resultFolder() + QStringLiteral("/열린파일.xlsx");
    {
        QFile file(chosen);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("in use");
    }
    host.filesInUse.insert(chosen);
    host.saveAnswers.push_back(chosen);
    engine::combination_a(host);
    EXPECT_EQ(host.messages, QStringList{native(chosen) + msg::kFileInUse});
    EXPECT_EQ(lastLog(2),
              (QStringList{timeStampPath() + msg::kSavedUnderTimeStamp, msg::kClosingLine}));
    EXPECT_TRUE(QFileInfo::exists(timeStampPath()));
    QFile untouched(chosen);
    ASSERT_TRUE(untouched.open(QIODevice::ReadOnly));
    EXPECT_EQ(untouched.readAll(), QByteArray("in use"));
}

TEST_F(RunFrameTest, ExistingTimeStampFileIsNeverOverwritten) {
    QFile earlier(timeStampPath());
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier result");
    earlier.close();
    engine::combination_a(host);
    EXPECT_EQ(lastLog(2), (QStringList{timeStampPath(QStringLiteral("20240302090503_2.xlsx")) +
                                           msg::kSavedUnderTimeStamp,
                                       msg::kClosingLine}));
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), QByteArray("earlier result"));
}

TEST_F(RunFrameTest, FailingSaveIsReportedAndTheResultStaysOpen) {
    host.faults = std::make_shared<sheet::FaultPlan>();
    host.faults->failAt("Workbook.SaveAs", 1, true);
    engine::combination_a(host);
    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_TRUE(
        host.messages.front().startsWith(timeStampPath() + QStringLiteral(" 파일로 저장하지")))
        << host.messages.front().toStdString();
    EXPECT_EQ(lastLog(2), (QStringList{host.messages.front(), msg::kClosingLine}));
    for (const QString& line : host.logTexts)
        EXPECT_FALSE(line.endsWith(msg::kSavedUnderTimeStamp));
    EXPECT_EQ(resultFiles(), QStringList());
    EXPECT_EQ(host.runningInstances(), 1);
    EXPECT_TRUE(host.created.front()->isVisible());
}

TEST_F(RunFrameTest, SecondWorkbookWithoutTheSheetCancelsTheRun) {
    run_test::FormLayout other;
    other.sheetName = "다른시트";
    folder.writeForm(QStringLiteral("2.xlsx"), other, 2);
    engine::combination_a(host);
    EXPECT_EQ(lastLog(4), (QStringList{fileLine(QStringLiteral("2.xlsx")),
                                       QStringLiteral("A00E05 2.xlsx파일에 [자료] 이름의 시트가 "
                                                      "없거나 기타 오류발생!"),
                                       msg::kA00E07, msg::kClosingLine}));
    ASSERT_EQ(host.progress.size(), 1u);
    EXPECT_EQ(host.progress[0].second, QStringLiteral("1/3"));
    expectCancelled(host.logTexts[host.logTexts.size() - 3]);
}

TEST_F(RunFrameTest, MissingSpreadsheetComponentIsA00E00) {
    host.failCreateAt = 1;
    engine::combination_a(host);
    EXPECT_EQ(host.logTexts.first(), msg::kStartLine);
    expectCancelled(msg::kA00E00);
}

TEST_F(RunFrameTest, FirstWorkbookFailuresAreA00E01) {
    const QString line =
        QStringLiteral("A00E01 1.xlsx파일에 [자료] 이름의 시트가 없거나 기타 오류발생!");
    host.failCreateAt = 2; // the reader instance
    engine::combination_a(host);
    expectCancelled(line);

    RecordingRunHost missing;
    folder.prepare(missing);
    missing.titleRange = host.titleRange;
    missing.dataRange = host.dataRange;
    missing.consolidationList = {QStringLiteral("없는파일.xlsx")};
    engine::combination_a(missing);
    // A missing file has no reason line: the failure line says all there is.
    const QStringList last = missing.logTexts.mid(missing.logTexts.size() - 3);
    ASSERT_EQ(last.size(), 3);
    EXPECT_EQ(last[0], QStringLiteral("A00E01 없는파일.xlsx파일에 [자료] 이름의 시트가 "
                                      "없거나 기타 오류발생!"));
    EXPECT_EQ(last.mid(1), (QStringList{msg::kA00E07, msg::kClosingLine}));
    EXPECT_EQ(missing.runningInstances(), 0);
}

// Every counted failure inside the frame's guards, reached through the fault plan.
TEST_F(RunFrameTest, InjectedFaultsTakeTheirCodesAndCancel) {
    struct Case {
        const char* member;
        int call;
        QString line;
    };
    const Case cases[] = {
        {"Application.SetDisplayAlerts", 1, msg::kA00E00},
        {"Worksheet.SetName", 1, msg::kA00E04},
        {"Workbooks.Add", 1, msg::kA00E04},
        {"Worksheet.Paste", 1, msg::kA00E04},
        {"Range.SetColumnWidth", 3, msg::kA00E04},
        {"Window.SetZoom", 1, msg::kA00E04},
        {"Workbooks.Open", 3,
         QStringLiteral("A00E05 2.xlsx파일에 [자료] 이름의 시트가 없거나 기타 오류발생!")},
        {"Worksheet.Paste", 3, msg::kA00E06},
        {"Range.Copy", 2, msg::kA00E06},
        {"Workbook.Close", 1, msg::kA00E06},
        {"Application.SetCutCopyMode", 2, msg::kA00E06},
    };
    for (const Case& c : cases) {
        RecordingRunHost run;
        folder.prepare(run);
        run.titleRange = host.titleRange;
        run.dataRange = host.dataRange;
        run.consolidationList = host.consolidationList;
        run.faults = std::make_shared<sheet::FaultPlan>();
        run.faults->failAt(c.member, c.call);
        engine::combination_a(run);
        SCOPED_TRACE(c.member);
        ASSERT_GE(run.logTexts.size(), 3);
        EXPECT_EQ(run.logTexts.mid(run.logTexts.size() - 3),
                  (QStringList{c.line, msg::kA00E07, msg::kClosingLine}));
        EXPECT_EQ(run.runningInstances(), 0);
        EXPECT_EQ(resultFiles(), QStringList());
    }
}

TEST_F(RunFrameTest, PageSetupFailureIsLoggedAndTheRunStillSaves) {
    host.faults = std::make_shared<sheet::FaultPlan>();
    host.faults->failAt("PageSetup.SetFooterMargin", 1);
    engine::combination_a(host);
    EXPECT_TRUE(host.logTexts.contains(msg::kA00E03));
    EXPECT_FALSE(host.logTexts.contains(msg::kA00E07));
    EXPECT_EQ(resultFiles(), QStringList{QStringLiteral("20240302090503.xlsx")});
    // Items before the failure stay copied.
    auto book = run_test::readBack(timeStampPath());
    EXPECT_EQ(book->sheets.front()->pageSetup.orientation, 2);
    EXPECT_DOUBLE_EQ(book->sheets.front()->pageSetup.rightMargin, 0.3);
}

} // namespace

namespace {

TEST_F(RunFrameTest, MissingResultFolderIsMadeAgainForTheTimeStampFile) {
    ASSERT_TRUE(QDir(folder.resultFolder()).removeRecursively());
    engine::combination_a(host);
    EXPECT_EQ(resultFiles(), QStringList{QStringLiteral("20240302090503.xlsx")});
    EXPECT_TRUE(host.messages.isEmpty());
}

// The stop button: between two workbooks the run cancels as a failed run does, with the
// user's stop named once; a stop that comes while saving lets the save finish whole.
class RunStopTest : public RunFrameTest {
protected:
    void SetUp() override {
        RunFrameTest::SetUp();
        host.consolidationList.clear();
        for (int n = 1; n <= 5; ++n) {
            const QString name = QString::number(n) + QStringLiteral(".xlsx");
            folder.writeForm(name, {}, n);
            host.consolidationList << name;
        }
    }
};

TEST_F(RunStopTest, StopAfterTheSecondOfFiveCancelsAndLeavesNothing) {
    host.stopAtProgress = 2;
    engine::combination_a(host);
    EXPECT_EQ(lastLog(4), (QStringList{fileLine(QStringLiteral("2.xlsx")), msg::kStoppedByUser,
                                       msg::kA00E07, msg::kClosingLine}));
    EXPECT_EQ(host.logTexts.count(msg::kStoppedByUser), 1);
    ASSERT_EQ(host.progress.size(), 2u);
    EXPECT_EQ(host.progress.back().second, QStringLiteral("2/5"));
    expectCancelled(msg::kStoppedByUser);
}

TEST_F(RunStopTest, StopAfterTheLastWorkbookStillSavesNothing) {
    host.stopAtProgress = 5;
    engine::combination_a(host);
    EXPECT_EQ(lastLog(4), (QStringList{fileLine(QStringLiteral("5.xlsx")), msg::kStoppedByUser,
                                       msg::kA00E07, msg::kClosingLine}));
    expectCancelled(msg::kStoppedByUser);
}

TEST_F(RunStopTest, StopBeforeTheRunStartsCancelsBeforeTheFirstWorkbook) {
    host.requestStop();
    engine::combination_a(host);
    for (const QString& line : host.logTexts)
        EXPECT_FALSE(line.endsWith(msg::kFileWorking)) << line.toStdString();
    EXPECT_TRUE(host.progress.empty());
    expectCancelled(msg::kStoppedByUser);
}

TEST_F(RunStopTest, StopInTheSaveStepFinishesTheSaveWithoutPartialFiles) {
    const QString chosen = folder.path() + QStringLiteral("/모음.xlsx");
    host.saveAnswers.push_back(chosen);
    host.stopInSaveDialog = true;
    engine::combination_a(host);
    EXPECT_EQ(lastLog(4), (QStringList{msg::kSavingChosenA, native(chosen) + msg::kSavedUnderChosen,
                                       msg::kStopDuringSave, msg::kClosingLine}));
    // The file is whole: it reads back with every block.
    const std::unique_ptr<sheet::Workbook> result = run_test::readBack(chosen);
    ASSERT_TRUE(result);
    EXPECT_EQ(run_test::numberAt(*result->sheets.front(), 6 + 4 * 5, 16),
              run_test::dataValue(5, 10, 16));
    // Nothing else was left beside it (no half-written temporary file).
    EXPECT_EQ(QDir(folder.path()).entryList({QStringLiteral("*모음*")}, QDir::Files),
              QStringList{QStringLiteral("모음.xlsx")});
}

} // namespace
