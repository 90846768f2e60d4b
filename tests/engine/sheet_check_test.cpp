#include "engine/engine_messages.h"
#include "engine/method_ce_messages.h"
#include "engine/sheet_check.h"
#include "support/method_ce_workbooks.h"
#include "support/recording_run_host.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

using testing_support::DataFolder;
using testing_support::RecordingRunHost;
namespace text = engine::sheet_check_text;

class SheetCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        folder.write("가.xlsx", {{"현황", {}}});
        folder.write("나.xlsx", {{"다른시트", {}}});
        folder.write("다.xlsx", {{"표지", {}}, {"현황", {}}});
        host.dataFolder = folder.path();
        host.sheetName = QStringLiteral("현황");
        host.consolidationList = {"가.xlsx", "나.xlsx", "다.xlsx"};
    }

    QStringList expectedLogWithOneFailure(const QString& failureLine) const {
        return {text::kStartLine, text::kChecking, failureLine, "1" + text::kErrorCount,
                text::kEndLine};
    }

    DataFolder folder;
    RecordingRunHost host;
};

TEST_F(SheetCheckTest, TickedOptionDropsTheWorkbookLackingTheSheet) {
    host.autoExclude = true;
    engine::sheet_check(host);

    EXPECT_EQ(host.questions, QStringList{"파일에 [현황] 시트가 있는지를 검사합니다. 실행할까요?"});
    EXPECT_EQ(host.logTexts,
              expectedLogWithOneFailure("나.xlsx파일에 [현황] 이름의 시트가 없습니다!"));
    EXPECT_EQ(host.consolidationList, (QStringList{"가.xlsx", "다.xlsx"}));
    EXPECT_EQ(host.removeSelectedCalls, 1);
    ASSERT_FALSE(host.progress.empty());
    EXPECT_EQ(host.progress.back(), std::make_pair(100, QString("3/3")));
    EXPECT_EQ(host.progress[host.progress.size() - 2], std::make_pair(66, QString("2/3")));
    EXPECT_EQ(host.runningInstances(), 0);
}

TEST_F(SheetCheckTest, UntickedOptionKeepsEveryEntryUnselected) {
    host.autoExclude = false;
    host.selectedEntries = {0, 2}; // left selected by the user before the check
    engine::sheet_check(host);

    EXPECT_EQ(host.logTexts,
              expectedLogWithOneFailure("나.xlsx파일에 [현황] 이름의 시트가 없습니다!"));
    EXPECT_EQ(host.consolidationList.size(), 3);
    EXPECT_TRUE(host.selectedEntries.empty());
    EXPECT_EQ(host.removeSelectedCalls, 0);
}

TEST_F(SheetCheckTest, DeletedFileIsCountedButStaysInTheList) {
    host.autoExclude = true;
    host.consolidationList = {"가.xlsx", "없음.xlsx", "다.xlsx"};
    engine::sheet_check(host);

    const QString path = QDir::toNativeSeparators(folder.file("없음.xlsx"));
    EXPECT_EQ(host.logTexts, expectedLogWithOneFailure(path + "파일이 존재하지 않습니다"));
    EXPECT_EQ(host.consolidationList.size(), 3);
}

TEST_F(SheetCheckTest, CleanListLogsNoErrors) {
    host.consolidationList = {"가.xlsx", "다.xlsx"};
    engine::sheet_check(host);
    EXPECT_EQ(host.logTexts,
              (QStringList{text::kStartLine, text::kChecking, text::kNoErrors, text::kEndLine}));
}

TEST_F(SheetCheckTest, SheetNameIsLookedUpAsEnteredAndShownTrimmed) {
    host.sheetName = QStringLiteral(" 현황 ");
    host.consolidationList = {"나.xlsx"};
    engine::sheet_check(host);
    EXPECT_TRUE(host.logTexts.contains("나.xlsx파일에 [현황] 이름의 시트가 없습니다!"));
}

TEST_F(SheetCheckTest, NoToTheConfirmationLogsOnlyTheEndLine) {
    host.confirmAnswers = {false};
    engine::sheet_check(host);
    EXPECT_EQ(host.logTexts, QStringList{text::kEndLine});
    EXPECT_TRUE(host.created.empty());
}

TEST_F(SheetCheckTest, EmptyListOnlyShowsItsMessage) {
    host.consolidationList.clear();
    engine::sheet_check(host);
    EXPECT_EQ(host.messages, QStringList{text::kNoFiles});
    EXPECT_TRUE(host.questions.isEmpty());
    EXPECT_TRUE(host.logTexts.isEmpty());
}

TEST_F(SheetCheckTest, MissingSpreadsheetComponentStopsAfterTheStartLines) {
    host.failCreateAt = 1;
    engine::sheet_check(host);
    EXPECT_EQ(host.messages, QStringList{text::kNoSpreadsheet});
    EXPECT_EQ(host.logTexts, (QStringList{text::kStartLine, text::kChecking}));
}

TEST_F(SheetCheckTest, StoppedCheckRemovesNothingAndQuitsItsInstance) {
    host.autoExclude = true;
    host.stopAtProgress = 3; // the empty start, 1/3, 2/3
    engine::sheet_check(host);
    EXPECT_EQ(host.logTexts, (QStringList{text::kStartLine, text::kChecking,
                                          "나.xlsx파일에 [현황] 이름의 시트가 없습니다!",
                                          engine::msg::kStoppedByUser, text::kEndLine}));
    EXPECT_EQ(host.consolidationList.size(), 3);
    EXPECT_EQ(host.removeSelectedCalls, 0);
    EXPECT_EQ(host.runningInstances(), 0);
}

} // namespace

// A file the component cannot read gets the check's own line and one more with the reason;
// a readable workbook lacking the sheet gets no reason line.
TEST(SheetCheckReasons, UnreadableWorkbooksAddTheReadersReason) {
    DataFolder folder;
    ASSERT_TRUE(folder.isValid());
    folder.write("가.xlsx", {{"현황", {}}});
    folder.write("나.xlsx", {{"다른시트", {}}});
    QFile text(folder.file("글.xlsx"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("통합 문서가 아닌 글");
    text.close();
    QFile cut(folder.file("잘림.xlsx"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(QByteArray("PK\x03\x04", 4) + QByteArray(200, 'x'));
    cut.close();

    RecordingRunHost host;
    host.dataFolder = folder.path();
    host.sheetName = QStringLiteral("현황");
    host.consolidationList = {"가.xlsx", "나.xlsx", "글.xlsx", "잘림.xlsx"};
    engine::sheet_check(host);

    const QString prefix = engine::msg::kReadFailureReason;
    const QStringList& log = host.logTexts;
    const int textLine = log.indexOf("글.xlsx파일에 [현황] 이름의 시트가 없습니다!");
    ASSERT_GE(textLine, 0) << log.join('\n').toStdString();
    EXPECT_EQ(log[textLine + 1], prefix + "통합 문서 파일이 아닙니다");
    const int cutLine = log.indexOf("잘림.xlsx파일에 [현황] 이름의 시트가 없습니다!");
    ASSERT_GE(cutLine, 0);
    EXPECT_TRUE(log[cutLine + 1].startsWith(prefix + "파일이 손상되었습니다"))
        << log[cutLine + 1].toStdString();
    const int missingSheet = log.indexOf("나.xlsx파일에 [현황] 이름의 시트가 없습니다!");
    ASSERT_GE(missingSheet, 0);
    EXPECT_FALSE(log[missingSheet + 1].startsWith(prefix));
    EXPECT_TRUE(log.contains("3" + text::kErrorCount));
}
