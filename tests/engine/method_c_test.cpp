#include "engine/cell_reference.h"
#include "engine/engine_messages.h"
#include "engine/method_c.h"
#include "engine/method_ce_messages.h"
#include "engine/sheet_prefix.h"
#include "engine/workbook_entry.h"
#include "support/method_ce_workbooks.h"
#include "support/recording_run_host.h"

#include <gtest/gtest.h>

namespace {

using testing_support::DataFolder;
using testing_support::readBack;
using testing_support::RecordingRunHost;
using testing_support::sheetNames;
using testing_support::valueAt;
namespace text = engine::method_c_text;

// Each workbook's D11:P47 holds base + row * 100 + column, so every cell's sum over the three
// workbooks is distinct and known.
double formValue(double base, long row, long column) {
    return base + row * 100 + column;
}

testing_support::SheetFiller form(double base, const std::string& body) {
    return [base, body](sheet::Worksheet& sheet) {
        testing_support::setText(sheet, 1, 1, body);
        for (long row = 11; row <= 47; ++row)
            for (long column = 4; column <= 16; ++column)
                testing_support::setNumber(sheet, row, column, formValue(base, row, column));
    };
}

// The component may write the function name in either case.
QString upper(const std::string& formula) {
    return QString::fromStdString(formula).toUpper();
}

class MethodCTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        folder.write("가.xlsx", {{"현황", form(1000, "가")}});
        folder.write("나.xlsx", {{"현황", form(2000, "나")}});
        folder.write("다.xlsx", {{"현황", form(3000, "다")}});
        host.dataFolder = folder.path();
        host.sheetName = QStringLiteral("현황");
        host.sumRange = QStringLiteral("D11:P47");
        host.consolidationList = {"가.xlsx", "나.xlsx", "다.xlsx"};
        host.saveAnswers = {folder.file("Result/결과.xlsx")};
    }

    std::unique_ptr<sheet::Workbook> savedResult() const {
        return readBack(folder.file("Result/결과.xlsx"));
    }

    DataFolder folder;
    RecordingRunHost host;
};

TEST_F(MethodCTest, SummarySheetSumsEveryCellOfTheSumRange) {
    engine::combination_c(host);

    auto book = savedResult();
    ASSERT_TRUE(book);
    EXPECT_EQ(sheetNames(*book), (std::vector<std::string>{"현황집계", "가", "나", "다"}));
    const sheet::Worksheet& summary = *book->sheets[0];
    ASSERT_NE(summary.cell(12, 5), nullptr);
    EXPECT_EQ(upper(summary.cell(12, 5)->formula), "SUM(가:다!E12)");
    for (long row = 11; row <= 47; ++row)
        for (long column = 4; column <= 16; ++column)
            ASSERT_EQ(
                valueAt(summary, row, column),
                sheet::CellValue::Number(formValue(6000, row, column) + 2 * (row * 100 + column)))
                << row << "," << column;
    EXPECT_EQ(valueAt(summary, 1, 1), sheet::CellValue::Text("가"));
    EXPECT_EQ(valueAt(*book->sheets[2], 12, 5), sheet::CellValue::Number(formValue(2000, 12, 5)));

    EXPECT_TRUE(host.logTexts.contains(engine::msg::kDoneSave));
    EXPECT_EQ(host.logTexts.front(), engine::msg::kStartLine);
    EXPECT_EQ(host.logTexts.back(), text::kEndLine);
    EXPECT_EQ(host.progress.back(), std::make_pair(100, QString("3/3")));
    ASSERT_TRUE(host.Slots().ResultApp);
    EXPECT_TRUE(host.Slots().ResultApp->Visible());
}

TEST_F(MethodCTest, WithoutSumRangeOnlyTheDataSheetsAreSaved) {
    host.sumRange = QStringLiteral("  ");
    engine::combination_c(host);

    auto book = savedResult();
    EXPECT_EQ(sheetNames(*book), (std::vector<std::string>{"가", "나", "다"}));
    EXPECT_FALSE(host.logTexts.contains(engine::msg::kDoneSave));
    EXPECT_EQ(host.logTexts.back(), text::kEndLine);
}

TEST_F(MethodCTest, MiddleWorkbookLackingTheSheetCancelsTheRun) {
    folder.write("나.xlsx", {{"다른시트", form(2000, "나")}});
    engine::combination_c(host);

    const qsizetype n = host.logTexts.size();
    ASSERT_GE(n, 4);
    EXPECT_TRUE(host.logTexts[n - 4].endsWith("나.xlsx파일을 수행중입니다"));
    EXPECT_TRUE(host.logTexts[n - 3].startsWith(text::kOpenFailed));
    EXPECT_GT(host.logTexts[n - 3].size(), text::kOpenFailed.size());
    EXPECT_EQ(host.logTexts[n - 2], text::kCancelled);
    EXPECT_EQ(host.logTexts[n - 1], text::kEndLine);
    EXPECT_EQ(host.progress.back().second, QString("1/3"));
    EXPECT_TRUE(folder.results().isEmpty());
    EXPECT_TRUE(host.saveDialogFolders.isEmpty());
    EXPECT_EQ(host.runningInstances(), 0);
}

TEST_F(MethodCTest, StopAfterTheFirstWorkbookCancelsWithMethodCsLines) {
    host.stopAtProgress = 1;
    engine::combination_c(host);
    const QStringList last = host.logTexts.mid(host.logTexts.size() - 3);
    EXPECT_EQ(last, (QStringList{engine::msg::kStoppedByUser, text::kCancelled, text::kEndLine}));
    EXPECT_EQ(host.progress.back().second, QString("1/3"));
    EXPECT_TRUE(folder.results().isEmpty());
    EXPECT_TRUE(host.saveDialogFolders.isEmpty());
    EXPECT_EQ(host.runningInstances(), 0);
}

TEST_F(MethodCTest, BadRightPartOfTheSumRangeSavesWithoutSums) {
    host.sumRange = QStringLiteral("D11:P");
    engine::combination_c(host);

    EXPECT_TRUE(host.logTexts.contains(text::kSumFailed));
    auto book = savedResult();
    EXPECT_EQ(sheetNames(*book), (std::vector<std::string>{"현황집계", "가", "나", "다"}));
    EXPECT_EQ(valueAt(*book->sheets[0], 12, 5), sheet::CellValue::Number(formValue(1000, 12, 5)));
}

TEST_F(MethodCTest, ApostropheInTheFirstSheetNameIsDoubledInTheQuotedSpan) {
    folder.write("가'나.xlsx", {{"현황", form(1000, "가")}});
    host.consolidationList = {"가'나.xlsx", "나.xlsx", "다.xlsx"};
    engine::combination_c(host);

    EXPECT_FALSE(host.logTexts.contains(text::kSumFailed));
    auto book = savedResult();
    EXPECT_EQ(sheetNames(*book), (std::vector<std::string>{"현황집계", "가'나", "나", "다"}));
    EXPECT_EQ(upper(book->sheets[0]->cell(12, 5)->formula), "SUM('가''나:다'!E12)");
    EXPECT_EQ(valueAt(*book->sheets[0], 12, 5),
              sheet::CellValue::Number(formValue(6000, 12, 5) + 2 * (12 * 100 + 5)));
}

TEST_F(MethodCTest, EntriesGivingTheSameSheetNameFailClearly) {
    folder.write("가.xls", {{"현황", form(4000, "가")}});
    host.consolidationList = {"가.xlsx", "가.xls"};
    engine::combination_c(host);

    const qsizetype n = host.logTexts.size();
    ASSERT_GE(n, 3);
    EXPECT_EQ(host.logTexts[n - 3],
              text::kCopyFailed + text::kDuplicateSheetName.arg("가.xls", "가"));
    EXPECT_EQ(host.logTexts[n - 2], text::kCancelled);
    EXPECT_TRUE(folder.results().isEmpty());
    EXPECT_EQ(host.runningInstances(), 0);
}

TEST_F(MethodCTest, ConsolidatedSheetNameAndExistingFile) {
    host.existingSheet = QStringLiteral(" 합계 ");
    host.existingFile = folder.file("Result/기존.xlsx");
    host.consolidationList = {"가.xlsx"};
    engine::combination_c(host);

    EXPECT_TRUE(host.saveDialogFolders.isEmpty());
    auto book = readBack(folder.file("Result/기존.xlsx"));
    EXPECT_EQ(sheetNames(*book), (std::vector<std::string>{"합계", "가"}));
    EXPECT_EQ(upper(book->sheets[0]->cell(11, 4)->formula), "SUM(가!D11)");
}

TEST_F(MethodCTest, SumRangeStartChecksComeBeforeAnyLogLine) {
    for (const char* range : {"D11", "D:P47", "1.5:P47", "D1048577:P47", "D2147483647:P47"}) {
        RecordingRunHost fresh;
        fresh.dataFolder = folder.path();
        fresh.consolidationList = host.consolidationList;
        fresh.sumRange = QString::fromUtf8(range);
        engine::combination_c(fresh);
        EXPECT_EQ(fresh.messages, QStringList{text::kBadSumRange}) << range;
        EXPECT_TRUE(fresh.logTexts.isEmpty()) << range;
        EXPECT_TRUE(fresh.created.empty()) << range;
    }
}

TEST(MethodCNames, SumFormulaAndSheetNames) {
    EXPECT_EQ(engine::sumFormula("가", "다", engine::SumStart::of("d11:P47")), "=SUM(가:다!d11)");
    EXPECT_EQ(engine::sumFormula("1반", "3반", engine::SumStart::of("D11:E12")),
              "=SUM('1반:3반'!D11)");
    for (const char* plain : {"가", "학교01", "Data_2", "합계.1", "RC1A"})
        EXPECT_FALSE(engine::sheetNameNeedsQuotes(QString::fromUtf8(plain))) << plain;
    for (const char* quoted :
         {"1반", "학교 1", "가-나", "가(1)", "A1", "xfd10", "R1C1", "R", "C2", "true", "ㄱ", ""})
        EXPECT_TRUE(engine::sheetNameNeedsQuotes(QString::fromUtf8(quoted))) << quoted;
    EXPECT_EQ(engine::summarySheetName("", " 학교현황 "), "학교현황집계");
    EXPECT_EQ(engine::summarySheetName(" 합계 ", "학교현황"), "합계");
    EXPECT_EQ(engine::entryWithoutExtension("2019학교A.xls"), "2019학교A");
    EXPECT_EQ(engine::entryWithoutExtension("2019학교A.xlsx"), "2019학교A");
    EXPECT_EQ(engine::entryWithoutExtension("1.5.xlsx"), "1.5");
    EXPECT_EQ(engine::entryWithoutExtension("가"), "가");
}

} // namespace
