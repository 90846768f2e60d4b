// Forms whose formulas carry no stored results (as programs that do not calculate write them)
// reach every method's result with their values, and method A's sums stay loadable at any
// number of workbooks.
#include "engine/block_sum_formula.h"
#include "engine/method_a.h"
#include "engine/method_b.h"
#include "engine/method_c.h"
#include "engine/method_e.h"
#include "run_fixture.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <set>

namespace {

using run_test::FormLayout;
using run_test::rowSum;
using testing_support::RecordingRunHost;

constexpr long kLast = 16; // P, the column of the formulas

class FormulaResultsTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder.prepare(host);
        for (int n = 1; n <= 3; ++n)
            folder.writeFormWithoutResults(QString::number(n) + QStringLiteral(".xlsx"), layout, n);
        host.consolidationList = {QStringLiteral("1.xlsx"), QStringLiteral("2.xlsx"),
                                  QStringLiteral("3.xlsx")};
        chosen = folder.resultFolder() + QStringLiteral("/결과.xlsx");
        host.saveAnswers.push_back(chosen);
    }

    std::unique_ptr<sheet::Workbook> result() const {
        EXPECT_TRUE(QFileInfo::exists(chosen)) << host.logTexts.join('\n').toStdString();
        return run_test::readBack(chosen);
    }

    run_test::DataFolder folder;
    FormLayout layout;
    RecordingRunHost host;
    QString chosen;
};

TEST_F(FormulaResultsTest, TheFixtureStoresNoResults) {
    auto form = run_test::readBack(folder.file(QStringLiteral("1.xlsx")));
    const sheet::Cell* cell = form->sheets.front()->cell(7, kLast);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->formula, "SUM(C7:O7)");
    EXPECT_TRUE(cell->value.empty());
}

TEST_F(FormulaResultsTest, MethodAPastesComputedValuesAndSumsThem) {
    host.titleRange = QStringLiteral("A1:P6");
    host.dataRange = QStringLiteral("A7:P10");
    host.sumRange = QStringLiteral("C8:P9");
    engine::combination_a(host);
    auto book = result();
    const sheet::Worksheet& sheet = *book->sheets.front();
    for (int n = 1; n <= 3; ++n)
        for (long r = 0; r < 4; ++r)
            EXPECT_EQ(run_test::numberAt(sheet, 7 + (n - 1) * 4 + r, kLast),
                      rowSum(n, 7 + r, kLast));
    EXPECT_EQ(run_test::numberAt(sheet, 20, kLast),
              rowSum(1, 8, kLast) + rowSum(2, 8, kLast) + rowSum(3, 8, kLast));
}

TEST_F(FormulaResultsTest, MethodBPastesComputedValues) {
    host.titleRange = QStringLiteral("A1:P6");
    host.dataRange = QStringLiteral("A7:ALL");
    engine::combination_b(host);
    auto book = result();
    const sheet::Worksheet& sheet = *book->sheets.front();
    for (int n = 1; n <= 3; ++n)
        for (long r = 0; r < 4; ++r)
            EXPECT_EQ(run_test::numberAt(sheet, 7 + (n - 1) * 4 + r, kLast),
                      rowSum(n, 7 + r, kLast))
                << n << "," << r;
}

TEST_F(FormulaResultsTest, MethodCKeepsTheFormulasWithValuesAndSumsOverQuotedNames) {
    host.sumRange = QStringLiteral("C7:P10");
    engine::combination_c(host);
    auto book = result();
    ASSERT_EQ(book->sheets.size(), 4u);
    for (int n = 1; n <= 3; ++n) {
        const sheet::Worksheet& data = *book->sheets[size_t(n)];
        EXPECT_EQ(data.cell(7, kLast)->formula, "SUM(C7:O7)");
        EXPECT_EQ(run_test::numberAt(data, 7, kLast), rowSum(n, 7, kLast));
    }
    const sheet::Cell* sum = book->sheets[0]->cell(9, kLast);
    ASSERT_NE(sum, nullptr);
    EXPECT_EQ(sum->formula, "SUM('1:3'!P9)");
    EXPECT_EQ(sum->value.number, rowSum(1, 9, kLast) + rowSum(2, 9, kLast) + rowSum(3, 9, kLast));
}

TEST_F(FormulaResultsTest, MethodECarriesComputedValues) {
    host.dataRange = QStringLiteral("P7, C8:P8");
    engine::combination_e(host);
    auto book = result();
    std::multiset<double> numbers;
    for (const auto& [row, cells] : book->sheets.front()->rows())
        for (const auto& [column, cell] : cells)
            if (cell.value.type == sheet::CellType::Number)
                numbers.insert(cell.value.number);
    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(numbers.count(rowSum(n, 7, kLast)), 1u) << n;
        EXPECT_EQ(numbers.count(rowSum(n, 8, kLast)), 1u) << n;
    }
}

TEST(BlockSumFormula, ChainsUntilTheLengthLimitThenSumsByStride) {
    EXPECT_EQ(engine::blockSumFormula("C", 8, 4, 1), "=C8");
    EXPECT_EQ(engine::blockSumFormula("AB", 8, 4, 3), "=AB8+AB12+AB16");
    // "=C10000" and then "+C1xxxx" (7 characters) per block.
    const long fits = 1 + (engine::kLongestFormula - 7) / 7;
    const QString longest = engine::blockSumFormula("C", 10000, 4, fits);
    EXPECT_TRUE(longest.startsWith("=C10000+C10004"));
    EXPECT_LE(longest.size(), engine::kLongestFormula);
    EXPECT_GT(longest.size(), engine::kLongestFormula - 7);
    EXPECT_EQ(engine::blockSumFormula("C", 10000, 4, fits + 1),
              QStringLiteral("=SUMPRODUCT(--(MOD(ROW(C10000:C%1)-10000,4)=0),C10000:C%1)")
                  .arg(10000 + fits * 4));
}

// Many small workbooks of two kinds, alternating, so a sum adding the wrong rows shows.
TEST(MethodAMany, ThirteenHundredWorkbooksGiveLoadableSumsWithTheRightResults) {
    run_test::DataFolder folder;
    RecordingRunHost host;
    folder.prepare(host);
    FormLayout small;
    small.titleLastRow = 1;
    small.lastColumn = 3;
    small.dataFirstRow = 2;
    small.dataLastRow = 21;
    folder.writeForm(QStringLiteral("a.xlsx"), small, 1);
    folder.writeForm(QStringLiteral("b.xlsx"), small, 2);
    const int count = 1300;
    for (int k = 0; k < count; ++k) {
        const QString name = QString::number(k) + QStringLiteral(".xlsx");
        ASSERT_TRUE(
            QFile::copy(folder.file(k % 2 ? QStringLiteral("b.xlsx") : QStringLiteral("a.xlsx")),
                        folder.file(name)));
        host.consolidationList.push_back(name);
    }
    host.titleRange = QStringLiteral("A1:C1");
    host.dataRange = QStringLiteral("A2:C21");
    host.sumRange = QStringLiteral("B3:C4");
    const QString chosen = folder.resultFolder() + QStringLiteral("/많음.xlsx");
    host.saveAnswers.push_back(chosen);
    engine::combination_a(host);
    auto book = run_test::readBack(chosen);
    ASSERT_TRUE(book) << host.logTexts.join('\n').toStdString();
    const sheet::Worksheet& sheet = *book->sheets.front();
    size_t longest = 0;
    for (const auto& [row, cells] : sheet.rows())
        for (const auto& [column, cell] : cells)
            longest = std::max(longest, cell.formula.size());
    EXPECT_LE(longest + 1, size_t(engine::kLongestFormula));
    const long sumRow = 2 + count * 20 + 1;
    ASSERT_NE(sheet.cell(sumRow, 3), nullptr);
    // The chain is too long.
    EXPECT_TRUE(sheet.cell(sumRow, 3)->formula.str().starts_with("SUMPRODUCT("));
    for (long r = 0; r < 2; ++r)
        for (long c = 2; c <= 3; ++c) {
            const double expected =
                (count / 2) * (run_test::dataValue(1, 3 + r, c) + run_test::dataValue(2, 3 + r, c));
            EXPECT_EQ(run_test::numberAt(sheet, sumRow + r, c), expected) << r << "," << c;
        }
}

} // namespace
