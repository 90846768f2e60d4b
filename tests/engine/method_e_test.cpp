#include "engine/cell_reference.h"
#include "engine/engine_messages.h"
#include "engine/method_ce_messages.h"
#include "engine/method_e.h"
#include "engine/method_e_layout.h"
#include "support/method_ce_workbooks.h"
#include "support/recording_run_host.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

using testing_support::DataFolder;
using testing_support::readBack;
using testing_support::RecordingRunHost;
using testing_support::valueAt;
using Value = sheet::CellValue;
namespace text = engine::method_e_text;

// Every cell of a workbook holds base + row * 100 + column.
double formValue(double base, long row, long column) {
    return base + row * 100 + column;
}

testing_support::SheetFiller form(double base) {
    return [base](sheet::Worksheet& sheet) {
        for (long row = 1; row <= 12; ++row)
            for (long column = 1; column <= 16; ++column)
                testing_support::setNumber(sheet, row, column, formValue(base, row, column));
    };
}

class MethodETest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        folder.write("가.xlsx", {{"현황", form(1000)}});
        folder.write("나.xls", {{"현황", form(2000)}});
        folder.write("다.xlsx", {{"현황", form(3000)}});
        host.dataFolder = folder.path();
        host.sheetName = QStringLiteral("현황");
        host.dataRange = QStringLiteral("A7, B5:F10, P10");
        host.consolidationList = {"가.xlsx", "나.xls", "다.xlsx"};
        host.saveAnswers = {folder.file("Result/표.xlsx")};
    }

    std::unique_ptr<sheet::Workbook> savedResult() const {
        return readBack(folder.file("Result/표.xlsx"));
    }

    DataFolder folder;
    RecordingRunHost host;
};

TEST_F(MethodETest, CellsAndBlocksAreLaidOutInBandsOfTheGreatestHeight) {
    engine::combination_e(host);

    auto book = savedResult();
    ASSERT_TRUE(book);
    ASSERT_EQ(book->sheets.size(), 1u);
    const sheet::Worksheet& table = *book->sheets[0];
    EXPECT_EQ(table.name, "Sheet1");
    EXPECT_EQ(valueAt(table, 1, 1), Value::Text("파일명"));
    EXPECT_EQ(valueAt(table, 1, 2), Value::Text("A7의 값"));
    EXPECT_EQ(valueAt(table, 1, 3), Value::Text("B5:F10의 값"));
    EXPECT_EQ(valueAt(table, 1, 8), Value::Text("P10의 값"));
    EXPECT_TRUE(valueAt(table, 1, 4).empty());

    const std::vector<std::pair<std::string, double>> bands = {
        {"가", 1000}, {"나", 2000}, {"다", 3000}};
    for (size_t w = 0; w < bands.size(); ++w) {
        const long top = 2 + static_cast<long>(w) * 6;
        const double base = bands[w].second;
        EXPECT_EQ(valueAt(table, top, 1), Value::Text(bands[w].first)) << top;
        EXPECT_TRUE(valueAt(table, top + 1, 1).empty()) << top;
        EXPECT_EQ(valueAt(table, top, 2), Value::Number(formValue(base, 7, 1))) << top;
        for (long r = 0; r < 6; ++r)
            for (long c = 0; c < 5; ++c)
                EXPECT_EQ(valueAt(table, top + r, 3 + c),
                          Value::Number(formValue(base, 5 + r, 2 + c)))
                    << top + r << "," << 3 + c;
        EXPECT_EQ(valueAt(table, top, 8), Value::Number(formValue(base, 10, 16))) << top;
    }
    EXPECT_EQ(table.lastRow(), 19);
    EXPECT_EQ(table.lastColumn(), 8);

    EXPECT_EQ(host.logTexts.back(), engine::msg::kClosingLine);
    EXPECT_TRUE(host.logTexts.contains(engine::msg::kDoneSave));
    EXPECT_EQ(host.progress.back(), std::make_pair(100, QString("3/3")));
    // Both instances stay: the result shown, the reader hidden.
    EXPECT_EQ(host.runningInstances(), 2);
    ASSERT_TRUE(host.Slots().ResultApp && host.Slots().ReaderApp);
    EXPECT_TRUE(host.Slots().ResultApp->Visible());
    EXPECT_FALSE(host.Slots().ReaderApp->Visible());
}

TEST_F(MethodETest, SingleCellsGiveOneRowPerWorkbook) {
    host.dataRange = QStringLiteral(" A7 ,P10");
    engine::combination_e(host);

    auto book = savedResult();
    const sheet::Worksheet& table = *book->sheets[0];
    EXPECT_EQ(table.lastRow(), 4);
    EXPECT_EQ(valueAt(table, 1, 2), Value::Text("A7의 값"));
    EXPECT_EQ(valueAt(table, 3, 1), Value::Text("나"));
    EXPECT_EQ(valueAt(table, 3, 2), Value::Number(formValue(2000, 7, 1)));
    EXPECT_EQ(valueAt(table, 4, 3), Value::Number(formValue(3000, 10, 16)));
}

TEST_F(MethodETest, BlockWithoutRowDigitsLogsOnlyItsLine) {
    host.dataRange = QStringLiteral("A7, B5:F");
    engine::combination_e(host);

    EXPECT_EQ(host.logTexts, QStringList{"B5:F범위 설정이 잘못되었습니다"});
    EXPECT_TRUE(host.created.empty());
    EXPECT_TRUE(host.messages.isEmpty());
}

TEST_F(MethodETest, ItemsPastTheSheetsLastRowLogOnlyTheirLine) {
    for (const char* item : {"B5:F2147483647", "A0:A2147483647", "P1048577"}) {
        testing_support::RecordingRunHost run;
        run.dataFolder = host.dataFolder;
        run.sheetName = host.sheetName;
        run.consolidationList = host.consolidationList;
        run.dataRange = QStringLiteral("A7, ") + QLatin1String(item);
        engine::combination_e(run);
        EXPECT_EQ(run.logTexts,
                  QStringList{QLatin1String(item) + QStringLiteral("범위 설정이 잘못되었습니다")});
        EXPECT_TRUE(run.created.empty()) << item;
    }
}

TEST_F(MethodETest, DoubledCommaFailsAtTheCopyAndSavesNothing) {
    host.dataRange = QStringLiteral("A7,,P10");
    engine::combination_e(host);

    const qsizetype n = host.logTexts.size();
    ASSERT_GE(n, 3);
    EXPECT_EQ(host.logTexts[n - 3], text::kCopyFailed);
    EXPECT_EQ(host.logTexts[n - 2], text::kCancelled);
    EXPECT_EQ(host.logTexts[n - 1], engine::msg::kClosingLine);
    EXPECT_TRUE(folder.results().isEmpty());
    EXPECT_EQ(host.runningInstances(), 0);
}

TEST_F(MethodETest, WorkbookLackingTheSheetCancelsTheRun) {
    folder.write("나.xls", {{"다른시트", form(2000)}});
    engine::combination_e(host);

    EXPECT_TRUE(
        host.logTexts.contains("E00E04 나.xls파일에 [현황] 이름의 시트가 없거나 기타 오류발생!"));
    EXPECT_EQ(host.logTexts.back(), engine::msg::kClosingLine);
    EXPECT_TRUE(folder.results().isEmpty());
    EXPECT_EQ(host.runningInstances(), 0);
}

TEST_F(MethodETest, AnUnreadableWorkbookAddsTheReadersReasonToTheFailureLine) {
    QFile damaged(folder.file("나.xls"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write("이것은 통합 문서가 아닙니다");
    damaged.close();
    engine::combination_e(host);

    const int line =
        host.logTexts.indexOf("E00E04 나.xls파일에 [현황] 이름의 시트가 없거나 기타 오류발생!");
    ASSERT_GE(line, 0);
    EXPECT_EQ(host.logTexts[line + 1],
              engine::msg::kReadFailureReason + "통합 문서 파일이 아닙니다");
    EXPECT_TRUE(folder.results().isEmpty());
}

TEST_F(MethodETest, StopAfterTheFirstWorkbookCancelsWithMethodEsLines) {
    host.stopAtProgress = 1;
    engine::combination_e(host);
    const QStringList last = host.logTexts.mid(host.logTexts.size() - 3);
    EXPECT_EQ(last, (QStringList{engine::msg::kStoppedByUser, text::kCancelled,
                                 engine::msg::kClosingLine}));
    EXPECT_TRUE(folder.results().isEmpty());
    EXPECT_EQ(host.runningInstances(), 0);
}

TEST_F(MethodETest, BlockLettersNamingNoColumnKeepTheMessageBoxAndSaveNothing) {
    host.dataRange = QStringLiteral("A7, B5:IW6");
    engine::combination_e(host);

    const QString line = "B5:IW6" + text::kHeaderWidthFailed;
    EXPECT_EQ(host.messages, QStringList{line});
    const qsizetype n = host.logTexts.size();
    EXPECT_EQ(host.logTexts[n - 2], text::kCancelled);
    EXPECT_TRUE(folder.results().isEmpty());
    EXPECT_EQ(host.runningInstances(), 0);
}

TEST_F(MethodETest, ItemsRunningPastTheLastColumnFailClearly) {
    host.dataRange = QStringLiteral("A1:IV1, B2");
    engine::combination_e(host);

    EXPECT_TRUE(host.logTexts.contains(text::kSetupFailed +
                                       text::kPastLastColumn.arg(QStringLiteral("B2"))));
    EXPECT_EQ(host.logTexts[host.logTexts.size() - 2], text::kCancelled);
    EXPECT_TRUE(folder.results().isEmpty());
}

TEST_F(MethodETest, MissingReaderCancelsInsteadOfSavingTheHeader) {
    host.failCreateAt = 2;
    engine::combination_e(host);

    EXPECT_EQ(host.messages, QStringList{text::kNoReader});
    EXPECT_EQ(host.logTexts[host.logTexts.size() - 2], text::kCancelled);
    EXPECT_TRUE(folder.results().isEmpty());
    EXPECT_EQ(host.runningInstances(), 0);
}

TEST_F(MethodETest, ExistingConsolidatedWorkbookGrowsBelowItsLastRow) {
    engine::combination_e(host);
    ASSERT_EQ(folder.results(), QStringList{"표.xlsx"});

    RecordingRunHost again;
    again.dataFolder = folder.path();
    again.sheetName = host.sheetName;
    again.dataRange = host.dataRange;
    again.consolidationList = {"다.xlsx"};
    again.existingFile = folder.file("Result/표.xlsx");
    engine::combination_e(again);

    EXPECT_TRUE(again.saveDialogFolders.isEmpty());
    EXPECT_FALSE(again.logTexts.contains(engine::msg::kDoneSave));
    auto book = savedResult();
    const sheet::Worksheet& table = *book->sheets[0];
    EXPECT_EQ(valueAt(table, 20, 1), Value::Text("다"));
    EXPECT_EQ(valueAt(table, 20, 2), Value::Number(formValue(3000, 7, 1)));
    EXPECT_EQ(valueAt(table, 25, 7), Value::Number(formValue(3000, 10, 6)));
    EXPECT_EQ(valueAt(table, 14, 1), Value::Text("다"));
    EXPECT_EQ(table.lastRow(), 25);
}

TEST(MethodELayout, ItemsRowStepAndWidths) {
    const QList<engine::CellItem> items = engine::splitCellList(" A7 , b5:f10,,P10,");
    ASSERT_EQ(items.size(), 5);
    EXPECT_EQ(items[0].text, "A7");
    EXPECT_TRUE(items[2].text.isEmpty());
    EXPECT_TRUE(items[4].text.isEmpty());
    EXPECT_EQ(items[1].width(), 5);
    EXPECT_EQ(items[1].height(), 6);
    EXPECT_EQ(engine::CellItem{"F10:B5"}.width(), 5);
    EXPECT_EQ(engine::CellItem{"F10:B5"}.height(), 6);
    EXPECT_EQ(engine::rowStepOf(items).rows, 6);
    EXPECT_EQ(engine::rowStepOf(engine::splitCellList("A7, P10")).rows, 1);
    EXPECT_EQ(engine::rowStepOf(engine::splitCellList("A7, B:C3")).badItem, QString("B:C3"));
    EXPECT_THROW(engine::CellItem{"A1:XFD1"}.width(), engine::CellItemError);
    EXPECT_EQ(engine::resultColumn(256, engine::CellItem{"A1"}), "IV");
    EXPECT_THROW(engine::resultColumn(257, engine::CellItem{"A1"}), engine::CellItemError);
}

} // namespace
