// The form check: the comparison of one sheet with the form (shifts, labels, merges, data below
// method A's block) and the sheet check that runs it over a data folder.
#include "engine/form_alignment.h"
#include "engine/form_compare.h"
#include "engine/method_ce_messages.h"
#include "engine/sheet_check.h"
#include "support/altered_forms.h"
#include "support/method_ce_workbooks.h"
#include "support/recording_run_host.h"

#include <gtest/gtest.h>

namespace {

using namespace engine::form;
using testing_support::firstSheet;
using testing_support::reportForm;
namespace text = engine::form_check_text;
namespace sheet_text = engine::sheet_check_text;

std::string lines(const QStringList& texts) {
    return texts.join(u'\n').toStdString();
}

constexpr sheet::CellRect kTitle{1, 1, 6, 16};
constexpr sheet::CellRect kData{7, 1, 16, 16};

// ---- lining up rows and columns -------------------------------------------------------------

TEST(FormAlignment, FindsTheOneShiftThatLinesUpTheMostLabels) {
    const LineLabels form{{}, {1}, {2, 7}, {3}, {4}, {5}};
    EXPECT_EQ(findShift(form, form), std::nullopt);
    // A blank line inserted below line 2.
    EXPECT_EQ(findShift(form, {{}, {1}, {2, 7}, {}, {3}, {4}, {5}}), (Shift{2, 1}));
    // Two lines inserted at the very top.
    EXPECT_EQ(findShift(form, {{}, {9}, {}, {1}, {2, 7}, {3}, {4}, {5}}), (Shift{0, 2}));
    // Line 3 deleted.
    EXPECT_EQ(findShift(form, {{}, {1}, {2, 7}, {4}, {5}, {}}), (Shift{2, -1}));
    // One label retyped explains nothing by shifting.
    EXPECT_EQ(findShift(form, {{}, {1}, {2, 8}, {3}, {4}, {5}}), std::nullopt);
}

TEST(FormAlignment, MapsLinesBothWaysAroundInsertedAndDeletedLines) {
    const AxisMap inserted(Shift{7, 2});
    EXPECT_EQ(inserted.toBook(7), 7);
    EXPECT_EQ(inserted.toBook(8), 10);
    EXPECT_EQ(inserted.toForm(8), std::nullopt);
    EXPECT_EQ(inserted.toForm(9), std::nullopt);
    EXPECT_EQ(inserted.toForm(10), 8);

    const AxisMap deleted(Shift{3, -1});
    EXPECT_EQ(deleted.toBook(4), std::nullopt);
    EXPECT_EQ(deleted.toBook(5), 4);
    EXPECT_EQ(deleted.toForm(3), 3);
    EXPECT_EQ(deleted.toForm(4), 5);
}

// ---- one workbook against the form ----------------------------------------------------------

class FormCompareTest : public ::testing::Test {
protected:
    std::vector<FormDifference> compare(FormMethod method, const FormRanges& ranges) {
        const FormSheet reference = FormSheet::of(firstSheet(*form));
        const FormArea area = formAreaOf(method, ranges, reference);
        return compareForms(reference, FormSheet::of(sheet()), area);
    }
    std::vector<FormDifference> compareA() { return compare(FormMethod::A, {kTitle, kData}); }
    sheet::Worksheet& sheet() { return firstSheet(*book); }
    void setText(long row, long column, const std::string& text) {
        testing_support::setText(sheet(), row, column, text);
    }

    std::unique_ptr<sheet::Workbook> form = reportForm("가나초등학교");
    std::unique_ptr<sheet::Workbook> book = reportForm("가나초등학교");
};

TEST_F(FormCompareTest, IdenticalFormsAndChangedNumbersGiveNothing) {
    EXPECT_TRUE(compareA().empty());
    book = reportForm("가나초등학교", 99); // other numbers in every data cell
    testing_support::changeNumbers(sheet(), 3);
    for (FormMethod method : {FormMethod::A, FormMethod::B, FormMethod::C, FormMethod::E}) {
        FormRanges ranges{
            kTitle, kData, sheet::CellRect{7, 3, 16, 16}, {{7, 3, 8, 5}, {16, 16, 16, 16}}};
        EXPECT_TRUE(compare(method, ranges).empty()) << static_cast<int>(method);
    }
}

TEST_F(FormCompareTest, RowInsertedInsideTheDataBlockIsOneShiftAndNoDataBelow) {
    testing_support::insertRowBelow(sheet(), 9);
    const auto differences = compareA();
    ASSERT_EQ(differences.size(), 1u);
    EXPECT_EQ(differences[0].kind, DifferenceKind::RowsShifted);
    EXPECT_EQ(differences[0].shift, (Shift{9, 1}));
}

TEST_F(FormCompareTest, DeletedColumnIsOneShiftWithMergesFollowingIt) {
    testing_support::deleteColumn(sheet(), 4); // "2반"
    const auto differences = compareA();
    ASSERT_EQ(differences.size(), 1u);
    EXPECT_EQ(differences[0].kind, DifferenceKind::ColumnsShifted);
    EXPECT_EQ(differences[0].shift, (Shift{3, -1}));
}

TEST_F(FormCompareTest, ShiftAndRetypedHeadingAreBothReported) {
    testing_support::insertRowBelow(sheet(), 12);
    setText(6, 5, "3 반");
    const auto differences = compareA();
    ASSERT_EQ(differences.size(), 2u);
    EXPECT_EQ(differences[0].shift, (Shift{12, 1}));
    EXPECT_EQ(differences[1].kind, DifferenceKind::Label);
    EXPECT_EQ(differences[1].formText, "3반");
    EXPECT_EQ(differences[1].bookText, "3 반");
}

TEST_F(FormCompareTest, RetypedHeadingNamesTheCellAndBothTexts) {
    setText(5, 3, "학년별 학생수");
    const auto differences = compareA();
    ASSERT_EQ(differences.size(), 1u);
    EXPECT_EQ(differences[0].kind, DifferenceKind::Label);
    EXPECT_EQ(std::make_pair(differences[0].bookRow, differences[0].bookColumn),
              std::make_pair(5L, 3L));
    EXPECT_EQ(differences[0].formText, "학년별 인원");
    EXPECT_EQ(differences[0].bookText, "학년별 학생수");
}

TEST_F(FormCompareTest, LabelsFacingEmptyCellsOrNumbersCountBothWays) {
    sheet().erase(8, 2);                          // a data label removed
    testing_support::setNumber(sheet(), 6, 3, 1); // a heading overwritten by a number
    setText(4, 8, "작성자");                      // a label the form lacks
    setText(9, 5, "없음");                        // text in a number column: not a label column
    const auto differences = compareA();
    ASSERT_EQ(differences.size(), 3u);
    EXPECT_EQ(differences[0].bookText, "작성자");
    EXPECT_EQ(differences[0].formText, "");
    EXPECT_EQ(differences[1].formText, "1반");
    EXPECT_EQ(differences[1].bookText, "1");
    EXPECT_EQ(differences[2].formText, "1학년 2과정");
    EXPECT_EQ(differences[2].bookText, "");
}

TEST_F(FormCompareTest, ChangedMergedTitleIsOneMergeLine) {
    sheet().merges.front() = {1, 1, 1, 8};
    sheet().merges.push_back({3, 3, 3, 5});
    const auto differences = compareA();
    ASSERT_EQ(differences.size(), 2u);
    EXPECT_EQ(differences[0].kind, DifferenceKind::Merge);
    EXPECT_EQ(differences[0].formText, "A1:P1");
    EXPECT_EQ(differences[0].bookText, "A1:H1");
    EXPECT_EQ(differences[1].formText, "");
    EXPECT_EQ(differences[1].bookText, "C3:E3");
}

TEST_F(FormCompareTest, DataBelowMethodAsFixedBlockIsReportedWithItsRows) {
    testing_support::setNumber(sheet(), 17, 3, 12);
    testing_support::setNumber(sheet(), 19, 16, 40);
    const auto differences = compareA();
    ASSERT_EQ(differences.size(), 1u);
    EXPECT_EQ(differences[0].kind, DifferenceKind::DataBelow);
    EXPECT_EQ(differences[0].formText, "A7:P16");
    EXPECT_EQ(differences[0].firstDataRow, 17);
    EXPECT_EQ(differences[0].lastDataRow, 19);
    // A formula without a stored result below the block in the form is not data the form lacks.
    form->sheets.front()->cellAt(19, 16).formula = "SUM(C19:O19)";
    EXPECT_EQ(compareA()[0].lastDataRow, 17);
    // Method B takes every row down to the last: nothing is left out.
    EXPECT_TRUE(compare(FormMethod::B, {kTitle, std::nullopt, std::nullopt, {}}).empty());
}

TEST_F(FormCompareTest, EachMethodLooksOnlyAtWhatItTakesFromFixedPlaces) {
    setText(8, 2, "1학년 특별과정"); // a data label: A only
    setText(10, 4, "미제출");        // text inside C's sum range
    setText(6, 12, "10 반");         // a heading far from E's cells
    const FormRanges ranges{kTitle, kData, sheet::CellRect{7, 3, 16, 16}, {{7, 3, 8, 5}}};
    EXPECT_EQ(compare(FormMethod::A, ranges).size(), 2u);
    EXPECT_EQ(compare(FormMethod::B, ranges).size(), 1u);
    EXPECT_EQ(compare(FormMethod::C, ranges).size(), 2u);
    EXPECT_EQ(compare(FormMethod::E, ranges).size(), 1u); // B8, the label left of row 8

    setText(6, 4, "이반"); // above a chosen column
    EXPECT_EQ(compare(FormMethod::E, ranges).size(), 2u);
}

// ---- the sheet check with the form check ----------------------------------------------------

class FormSheetCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        write("학교01.xlsx", *reportForm("가초등학교", 1));
        write("학교02.xlsx", *reportForm("나초등학교", 2));
        auto inserted = reportForm("다초등학교", 3);
        testing_support::insertRowBelow(firstSheet(*inserted), 9);
        write("학교03.xlsx", *inserted);
        auto retyped = reportForm("라초등학교", 4);
        testing_support::setText(firstSheet(*retyped), 5, 3, "학년별 학생수");
        write("학교04.xlsx", *retyped);
        write("학교05.xlsx", *reportForm("마초등학교", 5));
        host.dataFolder = folder.path();
        host.sheetName = QStringLiteral("현황");
        host.titleRange = QStringLiteral("A1:P6");
        host.dataRange = QStringLiteral("A7:P16");
        host.consolidationList = {"학교01.xlsx", "학교02.xlsx", "학교03.xlsx", "학교04.xlsx",
                                  "학교05.xlsx"};
    }
    void write(const QString& name, const sheet::Workbook& book) {
        testing_support::writeForm(book, folder.file(name));
    }

    testing_support::DataFolder folder;
    testing_support::RecordingRunHost host;
};

TEST_F(FormSheetCheckTest, AutoExcludeRemovesExactlyTheDifferingWorkbooks) {
    host.autoExclude = true;
    engine::sheet_check(host, FormMethod::A);

    EXPECT_EQ(
        lines(host.logTexts),
        lines({sheet_text::kStartLine, sheet_text::kChecking,
               text::kReference.arg("학교01.xlsx", "현황").arg(QChar(u'A')),
               "학교03.xlsx 파일: 9행 아래에 1행이 삽입되었습니다",
               "학교04.xlsx 파일 C5 셀이 양식과 다릅니다: 양식 \"학년별 인원\", "
               "파일 \"학년별 학생수\"",
               text::kEntryFields.arg("B3"), "2" + sheet_text::kErrorCount, sheet_text::kEndLine}));
    EXPECT_EQ(host.consolidationList, (QStringList{"학교01.xlsx", "학교02.xlsx", "학교05.xlsx"}));
    EXPECT_EQ(host.runningInstances(), 0);
}

TEST_F(FormSheetCheckTest, UntickedAutoExcludeKeepsTheListAndMissingSheetsStillCount) {
    folder.write("학교00.xlsx", {{"다른시트", {}}});
    host.consolidationList.prepend("학교00.xlsx");
    host.consolidationList.removeAt(3); // 학교03
    engine::sheet_check(host, FormMethod::A);

    // The first workbook holding the sheet is the form.
    EXPECT_TRUE(
        host.logTexts.contains(text::kReference.arg("학교01.xlsx", "현황").arg(QChar(u'A'))));
    EXPECT_TRUE(host.logTexts.contains("2" + sheet_text::kErrorCount));
    EXPECT_EQ(host.consolidationList.size(), 5);
    EXPECT_TRUE(host.selectedEntries.empty());
}

TEST_F(FormSheetCheckTest, AnOddFormIsNamedAndTheOthersStayInTheList) {
    host.autoExclude = true;
    host.consolidationList = {"학교03.xlsx", "학교01.xlsx", "학교02.xlsx", "학교05.xlsx"};
    engine::sheet_check(host, FormMethod::A);

    EXPECT_TRUE(host.logTexts.contains("학교01.xlsx 파일: 9행 아래에서 1행이 삭제되었습니다"));
    EXPECT_TRUE(host.logTexts.contains(text::kMostDiffer.arg("학교03.xlsx")));
    EXPECT_TRUE(host.logTexts.contains(text::kNotExcluded));
    EXPECT_TRUE(host.logTexts.contains("3" + sheet_text::kErrorCount));
    EXPECT_EQ(host.consolidationList.size(), 4);
}

TEST_F(FormSheetCheckTest, SameFormsLogThatTheyAreTheSame) {
    host.consolidationList = {"학교01.xlsx", "학교02.xlsx", "학교05.xlsx"};
    engine::sheet_check(host, FormMethod::C);
    EXPECT_TRUE(host.logTexts.contains(text::kSameForm));
    EXPECT_TRUE(host.logTexts.contains(sheet_text::kNoErrors));
}

TEST_F(FormSheetCheckTest, UnreadableRangesAreAnErrorNotASilentPass) {
    host.titleRange = QStringLiteral("A:");
    engine::sheet_check(host, FormMethod::B);
    EXPECT_TRUE(host.logTexts.contains(text::kBadRanges.arg(text::kBadTitleRange)))
        << lines(host.logTexts);
    EXPECT_FALSE(host.logTexts.contains(sheet_text::kNoErrors));
}

TEST_F(FormSheetCheckTest, ManyDifferencesInOneWorkbookAreCutShort) {
    auto other = reportForm("바초등학교", 6);
    for (long column = 1; column <= 16; ++column) {
        testing_support::setText(firstSheet(*other), 2, column, "메모");
        testing_support::setText(firstSheet(*other), 4, column, "메모");
    }
    write("학교06.xlsx", *other);
    host.consolidationList = {"학교01.xlsx", "학교06.xlsx"};
    engine::sheet_check(host, FormMethod::A);
    EXPECT_TRUE(host.logTexts.contains(text::kMoreDifferences.arg("학교06.xlsx").arg(13)));
    EXPECT_TRUE(host.logTexts.contains("33" + sheet_text::kErrorCount)); // 32 labels, B3
}

} // namespace
