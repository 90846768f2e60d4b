#include "engine/engine_messages.h"
#include "engine/method_a.h"
#include "run_fixture.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

using run_test::FormLayout;
using testing_support::RecordingRunHost;
namespace msg = engine::msg;

class MethodATest : public ::testing::Test {
protected:
    void SetUp() override {
        folder.prepare(host);
        host.titleRange = QStringLiteral("A1:P6");
        host.dataRange = QStringLiteral("A7:P10");
        host.consolidationList = {QStringLiteral("1.xlsx"), QStringLiteral("2.xlsx"),
                                  QStringLiteral("3.xlsx")};
        for (int n = 1; n <= 3; ++n)
            folder.writeForm(QString::number(n) + QStringLiteral(".xlsx"), layout, n);
        chosen = folder.resultFolder() + QStringLiteral("/결과.xlsx");
        host.saveAnswers.push_back(chosen);
    }

    std::unique_ptr<sheet::Workbook> runAndRead() {
        engine::combination_a(host);
        EXPECT_TRUE(QFileInfo::exists(chosen)) << host.logTexts.join('\n').toStdString();
        return run_test::readBack(chosen);
    }

    run_test::DataFolder folder;
    FormLayout layout;
    RecordingRunHost host;
    QString chosen;
};

TEST_F(MethodATest, BlocksFollowTheTitleWithoutSums) {
    auto book = runAndRead();
    const sheet::Worksheet& result = *book->sheets.front();
    EXPECT_EQ(result.name, "Sheet1");
    EXPECT_EQ(run_test::textAt(result, 1, 1), "학교별 현황");
    EXPECT_EQ(run_test::textAt(result, 6, 16), "항목16");
    for (int n = 1; n <= 3; ++n) {
        const long top = 7 + (n - 1) * 4;
        EXPECT_EQ(run_test::textAt(result, top, 1), "학교" + std::to_string(n));
        for (long r = 0; r < 4; ++r)
            EXPECT_EQ(run_test::numberAt(result, top + r, 16), run_test::dataValue(n, 7 + r, 16));
    }
    EXPECT_EQ(result.lastRow(), 18);
    EXPECT_TRUE(host.logTexts.contains(msg::kDoneNoSum));
    EXPECT_EQ(host.messages, QStringList());
}

TEST_F(MethodATest, ResultLooksLikeTheForm) {
    auto book = runAndRead();
    const sheet::Worksheet& result = *book->sheets.front();
    auto form = run_test::makeForm(layout, 1);
    const sheet::Worksheet& source = *form->sheets.front();

    EXPECT_NE(std::find(result.merges.begin(), result.merges.end(), sheet::CellRect{1, 1, 1, 16}),
              result.merges.end());
    const sheet::Font& font = book->styles.at(result.cell(1, 1)->style).font;
    EXPECT_TRUE(font.bold);
    EXPECT_DOUBLE_EQ(font.size, run_test::headingStyle().font.size);
    EXPECT_EQ(font.name, run_test::headingStyle().font.name);
    EXPECT_EQ(book->styles.at(result.cell(1, 1)->style).fill, run_test::headingStyle().fill);
    EXPECT_EQ(book->styles.at(result.cell(15, 3)->style).border, run_test::dataStyle().border);
    for (long c = 1; c <= 16; ++c)
        EXPECT_DOUBLE_EQ(result.columnWidth(c), source.columnWidth(c)) << c;
    // Widths stop at the title's last column.
    EXPECT_NE(result.columnWidth(17), source.columnWidth(17));
    for (long r = 1; r <= 10; ++r)
        EXPECT_DOUBLE_EQ(result.rowHeight(r), source.rowHeight(r)) << r;
    EXPECT_EQ(result.zoom, 85);
    EXPECT_EQ(result.pageSetup.orientation, 2);
    EXPECT_DOUBLE_EQ(result.pageSetup.leftMargin, 0.4);
    EXPECT_DOUBLE_EQ(result.pageSetup.rightMargin, 0.3);
    EXPECT_DOUBLE_EQ(result.pageSetup.footerMargin, 0.2);
    EXPECT_EQ(result.pageSetup.scale, 80);
    EXPECT_EQ(result.pageSetup.paperSize, 8);
}

TEST_F(MethodATest, SumRangeAddsColouredFormulasBelowTheLastBlock) {
    host.sumRange = QStringLiteral("C8:P9");
    auto book = runAndRead();
    const sheet::Worksheet& result = *book->sheets.front();
    const sheet::Cell* c20 = result.cell(20, 3);
    ASSERT_NE(c20, nullptr);
    EXPECT_EQ(c20->formula, "C8+C12+C16");
    EXPECT_DOUBLE_EQ(c20->value.number, run_test::dataValue(1, 8, 3) +
                                            run_test::dataValue(2, 8, 3) +
                                            run_test::dataValue(3, 8, 3));
    ASSERT_NE(result.cell(21, 16), nullptr);
    EXPECT_EQ(result.cell(21, 16)->formula, "P9+P13+P17");
    for (long r : {20L, 21L})
        for (long c = 3; c <= 16; ++c) {
            const sheet::Style& style = book->styles.at(result.cell(r, c)->style);
            EXPECT_EQ(style.fill.foreground, std::optional<sheet::Rgb>(0x99CCFF)) << r << "," << c;
        }
    // Nothing between the last block and the sums, nothing beside them.
    EXPECT_EQ(result.cell(19, 3), nullptr);
    EXPECT_EQ(result.cell(20, 2), nullptr);
    EXPECT_EQ(result.lastRow(), 21);
    EXPECT_TRUE(host.logTexts.contains(msg::kDoneSave));
}

TEST_F(MethodATest, SingleWorkbookSumsOneCell) {
    host.sumRange = QStringLiteral("C8:P9");
    host.consolidationList = {QStringLiteral("2.xlsx")};
    auto book = runAndRead();
    const sheet::Worksheet& result = *book->sheets.front();
    ASSERT_NE(result.cell(12, 3), nullptr);
    EXPECT_EQ(result.cell(12, 3)->formula, "C8");
    EXPECT_DOUBLE_EQ(result.cell(12, 3)->value.number, run_test::dataValue(2, 8, 3));
}

TEST_F(MethodATest, DisabledSumFieldAddsNoSums) {
    host.sumRange = QStringLiteral("C8:P9");
    host.sumRangeEnabled = false;
    auto book = runAndRead();
    EXPECT_EQ(book->sheets.front()->lastRow(), 18);
    EXPECT_TRUE(host.logTexts.contains(msg::kDoneNoSum));
}

TEST_F(MethodATest, TitleLowerInTheFormStartsInRowOneOfItsColumn) {
    FormLayout low;
    low.titleFirstRow = 3;
    low.titleLastRow = 4;
    low.titleFirstColumn = 2;
    low.lastColumn = 8;
    low.dataFirstRow = 5;
    low.dataLastRow = 6;
    folder.writeForm(QStringLiteral("1.xlsx"), low, 1);
    folder.writeForm(QStringLiteral("2.xlsx"), low, 2);
    host.consolidationList = {QStringLiteral("1.xlsx"), QStringLiteral("2.xlsx")};
    host.titleRange = QStringLiteral("B3:H4");
    host.dataRange = QStringLiteral("A5:H6");
    host.existingSheet = QStringLiteral("취합");
    auto book = runAndRead();
    const sheet::Worksheet& result = *book->sheets.front();
    EXPECT_EQ(result.name, "취합");
    EXPECT_EQ(run_test::textAt(result, 1, 2), "학교별 현황");
    EXPECT_EQ(run_test::textAt(result, 2, 8), "항목8");
    EXPECT_EQ(run_test::textAt(result, 3, 1), "학교1");
    EXPECT_EQ(run_test::textAt(result, 5, 1), "학교2");
    EXPECT_EQ(run_test::numberAt(result, 6, 8), run_test::dataValue(2, 6, 8));
}

TEST_F(MethodATest, BadRangesAreRefusedBeforeAnythingStarts) {
    struct Case {
        QString title, data, sum, message;
    };
    const Case cases[] = {
        {QStringLiteral("A1:"), QStringLiteral("A7:P10"), {}, msg::kBadTitleRange},
        {QStringLiteral("A1P6"), QStringLiteral("A7:P10"), {}, msg::kBadTitleRange},
        {QStringLiteral("A1:P6"), QStringLiteral("A7:P"), {}, msg::kBadDataRange},
        {QStringLiteral("A1:P6"), QStringLiteral("A10:P7"), {}, msg::kBadDataRange},
        {QStringLiteral("A1:P6"), QStringLiteral("A7:P10"), QStringLiteral("C8:"),
         msg::kBadSumRange},
        // Sum blocks that leave the data range: a column too far, a row too high or too low.
        {QStringLiteral("A1:P6"), QStringLiteral("A7:P10"), QStringLiteral("C8:Q9"),
         msg::kBadSumRange},
        {QStringLiteral("A1:P6"), QStringLiteral("A7:P10"), QStringLiteral("C6:P9"),
         msg::kBadSumRange},
        {QStringLiteral("A1:P6"), QStringLiteral("A7:P10"), QStringLiteral("C8:P11"),
         msg::kBadSumRange},
        {QStringLiteral("A1:P6"), QStringLiteral("C7:P10"), QStringLiteral("B8:P9"),
         msg::kBadSumRange},
        {QStringLiteral("A1:P6"), QStringLiteral("A7:P10"), QStringLiteral("P8:C9"),
         msg::kBadSumRange},
        // Rows past the sheet's last one; near 2^31 the block arithmetic would overflow.
        {QStringLiteral("A1:P2147483647"), QStringLiteral("A7:P10"), {}, msg::kBadTitleRange},
        {QStringLiteral("A2147483647:P1"), QStringLiteral("A7:P10"), {}, msg::kBadTitleRange},
        {QStringLiteral("A1:P6"), QStringLiteral("A7:P1048577"), {}, msg::kBadDataRange},
        {QStringLiteral("A1:P6"), QStringLiteral("A7:P2147483647"),
         QStringLiteral("C8:P2147483647"), msg::kBadDataRange},
    };
    for (const Case& c : cases) {
        RecordingRunHost fresh;
        folder.prepare(fresh);
        fresh.consolidationList = host.consolidationList;
        fresh.titleRange = c.title;
        fresh.dataRange = c.data;
        fresh.sumRange = c.sum;
        engine::combination_a(fresh);
        EXPECT_EQ(fresh.messages, QStringList{c.message})
            << c.title.toStdString() << " " << c.sum.toStdString();
        EXPECT_TRUE(fresh.logTexts.isEmpty());
        EXPECT_TRUE(fresh.created.empty());
    }
}

TEST_F(MethodATest, EmptyListIsRefused) {
    host.consolidationList.clear();
    engine::combination_a(host);
    EXPECT_EQ(host.messages, QStringList{msg::kNoFiles});
    EXPECT_TRUE(host.logTexts.isEmpty());
}

} // namespace
