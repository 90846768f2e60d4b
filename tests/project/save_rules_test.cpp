#include "project/project_messages.h"
#include "project/save_rules.h"

#include <gtest/gtest.h>

using namespace project;

namespace {

ProjectSettings ready(ConsolidationMethod method) {
    ProjectSettings s;
    s.ProjectName = QStringLiteral("학교현황");
    s.DataFolder = QStringLiteral("/data/학교");
    s.SheetName = QStringLiteral("Sheet1");
    s.Method = method;
    s.TitleRange = QStringLiteral("A1:P6");
    s.DataRange = QStringLiteral("A7:P10");
    s.SumRange = QStringLiteral("C7:P10");
    return s;
}

SaveCheck checkA(const QString& title, const QString& data, const QString& sum) {
    ProjectSettings s = ready(ConsolidationMethod::A);
    s.TitleRange = title;
    s.DataRange = data;
    s.SumRange = sum;
    return checkForSave(s);
}

void expectRefused(const SaveCheck& check, const QString& message) {
    EXPECT_FALSE(check.maySave) << message.toStdString();
    EXPECT_EQ(check.message, message);
    EXPECT_EQ(check.box, BoxKind::Error);
}

void expectSavedSilently(const SaveCheck& check) {
    EXPECT_TRUE(check.maySave) << check.message.toStdString();
    EXPECT_TRUE(check.message.isEmpty()) << check.message.toStdString();
}

} // namespace

TEST(SaveRules, CommonChecksComeInOrderAndMethodDFirstOfAll) {
    ProjectSettings s;
    s.Method = ConsolidationMethod::D;
    expectRefused(checkForSave(s), msg::kMethodDRefused);
    EXPECT_EQ(msg::kMethodDRefused, QString::fromUtf8("취합방법 \"D\"는 프로그램 수정중입니다."));

    s.Method = ConsolidationMethod::C;
    s.ProjectName = QStringLiteral("   ");
    expectRefused(checkForSave(s), msg::kNoProjectName);
    s.ProjectName = QStringLiteral("x");
    s.DataFolder = QStringLiteral(" \t");
    expectRefused(checkForSave(s), msg::kNoDataFolder);
    s.DataFolder = QStringLiteral("/d");
    expectRefused(checkForSave(s), msg::kNoSheetName);
}

TEST(SaveRules, MethodAChecksTitleThenDataRange) {
    expectRefused(checkA(QStringLiteral(" "), QString(), QString()), msg::kNoTitleRange);
    // The default title has no bottom row yet.
    expectRefused(checkA(QStringLiteral("A1:"), QString(), QString()), msg::kBadTitleRange);
    expectRefused(checkA(QStringLiteral("P1:A6"), QString(), QString()), msg::kBadTitleRange);
    expectRefused(checkA(QStringLiteral("A6:P1"), QString(), QString()), msg::kBadTitleRange);
    expectRefused(checkA(QStringLiteral("A0:P6"), QString(), QString()), msg::kBadTitleRange);
    expectRefused(checkA(QStringLiteral("A1:IW6"), QString(), QString()), msg::kBadTitleRange);
    expectRefused(checkA(QStringLiteral("1:6"), QString(), QString()), msg::kBadTitleRange);
    expectRefused(checkA(QStringLiteral("A1.5:P6"), QString(), QString()), msg::kBadTitleRange);
    expectRefused(checkA(QStringLiteral("A1:P99999999999"), QString(), QString()),
                  msg::kBadTitleRange);

    expectRefused(checkA(QStringLiteral("a1:p6"), QString(), QString()), msg::kNoDataRange);
    // As the title exit leaves it before the user completes it.
    expectRefused(checkA(QStringLiteral("A1:P6"), QStringLiteral("A7:"), QString()),
                  msg::kBadDataRange);
    expectRefused(checkA(QStringLiteral("A1:P6"), QStringLiteral("P7:A10"), QString()),
                  msg::kBadDataRange);
}

TEST(SaveRules, MethodASumRangeMustBeShapedAndInsideTheDataRange) {
    const QString title = QStringLiteral("A1:P6");
    const QString data = QStringLiteral("A7:P10");
    expectSavedSilently(checkA(title, data, QStringLiteral("C7:P10")));
    expectSavedSilently(checkA(title, data, QStringLiteral("A7:P10")));
    expectSavedSilently(checkA(title, QStringLiteral("$a$7:$p$10"), QStringLiteral("c7:p10")));

    expectRefused(checkA(title, data, QStringLiteral("C7:Q10")), msg::kSumOutsideData);
    expectRefused(checkA(title, data, QStringLiteral("C6:P10")), msg::kSumOutsideData);
    expectRefused(checkA(title, data, QStringLiteral("C7:P11")), msg::kSumOutsideData);
    expectRefused(checkA(title, QStringLiteral("C7:P10"), QStringLiteral("B7:P10")),
                  msg::kSumOutsideData);
    // A right corner without letters is in order (257) but names no column of the data.
    expectRefused(checkA(title, data, QStringLiteral("C7:10")), msg::kSumOutsideData);

    expectRefused(checkA(title, data, QStringLiteral("P7:C10")), msg::kBadSumRange);
    expectRefused(checkA(title, data, QStringLiteral("7:C10")), msg::kBadSumRange);
    expectRefused(checkA(title, data, QStringLiteral("C10:P7")), msg::kBadSumRange);
    expectRefused(checkA(title, data, QStringLiteral("C0:P10")), msg::kBadSumRange);
    expectRefused(checkA(title, data, QStringLiteral("C7:P")), msg::kBadSumRange);
    expectRefused(checkA(title, data, QStringLiteral("C7P10")), msg::kBadSumRange);
}

TEST(SaveRules, MethodAWithoutSumRangeInformsAndSaves) {
    const SaveCheck check = checkA(QStringLiteral("A1:P6"), QStringLiteral("A7:P10"), "  ");
    EXPECT_TRUE(check.maySave);
    EXPECT_EQ(check.box, BoxKind::Information);
    EXPECT_EQ(check.message, msg::kNoSumRangeAppendOnlyA);
}

TEST(SaveRules, MethodBLooksOnlyAtTheTopRowOfTheDataRange) {
    ProjectSettings s = ready(ConsolidationMethod::B);
    s.SumRange = QStringLiteral("garbage");
    s.DataRange = QStringLiteral("A7:ALL");
    expectSavedSilently(checkForSave(s));
    s.DataRange = QStringLiteral("7:ALL");
    expectSavedSilently(checkForSave(s));
    s.DataRange = QStringLiteral("A0:ALL");
    expectRefused(checkForSave(s), msg::kBadDataRange);
    s.DataRange = QStringLiteral("ALL");
    expectRefused(checkForSave(s), msg::kBadDataRange);
    s.DataRange = QStringLiteral("");
    expectRefused(checkForSave(s), msg::kNoDataRange);
    s.TitleRange = QStringLiteral("A1:");
    expectRefused(checkForSave(s), msg::kBadTitleRange);
}

TEST(SaveRules, MethodCChecksOnlyTheSumRangeAndAcceptsAMissingColumnOnTheRight) {
    ProjectSettings s = ready(ConsolidationMethod::C);
    s.TitleRange = QStringLiteral("nonsense");
    s.DataRange = QStringLiteral("nonsense");
    s.SumRange = QStringLiteral("D11:P47");
    expectSavedSilently(checkForSave(s));
    s.SumRange = QStringLiteral("C7:10");
    expectSavedSilently(checkForSave(s));
    s.SumRange = QStringLiteral("7:C10");
    expectRefused(checkForSave(s), msg::kBadSumRange);
    s.SumRange = QStringLiteral("P11:D47");
    expectRefused(checkForSave(s), msg::kBadSumRange);
    s.SumRange = QStringLiteral("D47:P11");
    expectRefused(checkForSave(s), msg::kBadSumRange);

    s.SumRange.clear();
    const SaveCheck notice = checkForSave(s);
    EXPECT_TRUE(notice.maySave);
    EXPECT_EQ(notice.box, BoxKind::Plain);
    EXPECT_EQ(notice.message, msg::kNoSumRangeAppendOnlyC);
}

TEST(SaveRules, MethodEExaminesEveryItemWithAColon) {
    ProjectSettings s = ready(ConsolidationMethod::E);
    s.TitleRange = QStringLiteral("A1:");
    s.SumRange = QStringLiteral("nonsense");
    for (const char* ok : {"A7, B5:F10, P10", "A7,,B5", "A7", "  , ", "b5:f10"}) {
        s.DataRange = QString::fromUtf8(ok);
        expectSavedSilently(checkForSave(s));
    }
    s.DataRange = QStringLiteral("A7, F10:B5");
    expectRefused(checkForSave(s), QStringLiteral("F10:B5") + msg::kBadDataRangeItemSuffix);
    // The first bad item is named, trimmed when a comma cut it out.
    s.DataRange = QStringLiteral("A7:B1 ,  C:D ");
    expectRefused(checkForSave(s), QStringLiteral("A7:B1") + msg::kBadDataRangeItemSuffix);
    // A single item is named as typed.
    s.DataRange = QStringLiteral(" B5: ");
    expectRefused(checkForSave(s), QStringLiteral(" B5: ") + msg::kBadDataRangeItemSuffix);

    s.DataRange = QStringLiteral("   ");
    const SaveCheck empty = checkForSave(s);
    expectRefused(empty, msg::kNoCellItems);
    EXPECT_TRUE(empty.focusDataRange);
}

// Rows past the sheet's 1,048,576 are range errors in every method, as a loaded project file
// would otherwise carry them into the run's row arithmetic.
TEST(SaveRules, RowsPastTheSheetsLastRowAreRangeErrorsInEveryMethod) {
    expectRefused(checkA(QStringLiteral("A1:P2147483647"), QStringLiteral("A7:P10"), QString()),
                  msg::kBadTitleRange);
    expectRefused(checkA(QStringLiteral("A1:P6"), QStringLiteral("A7:P1048577"), QString()),
                  msg::kBadDataRange);
    expectSavedSilently(
        checkA(QStringLiteral("A1:P6"), QStringLiteral("A7:P1048576"), QStringLiteral("C7:P8")));

    ProjectSettings b = ready(ConsolidationMethod::B);
    b.DataRange = QStringLiteral("A2147483647:ALL");
    expectRefused(checkForSave(b), msg::kBadDataRange);
    b.DataRange = QStringLiteral("A7:ALL");
    b.TitleRange = QStringLiteral("A1:P1048577");
    expectRefused(checkForSave(b), msg::kBadTitleRange);

    ProjectSettings c = ready(ConsolidationMethod::C);
    c.SumRange = QStringLiteral("B5:F2147483647");
    expectRefused(checkForSave(c), msg::kBadSumRange);

    ProjectSettings e = ready(ConsolidationMethod::E);
    e.DataRange = QStringLiteral("A7, B5:F2147483647");
    expectRefused(checkForSave(e), QStringLiteral("B5:F2147483647") + msg::kBadDataRangeItemSuffix);
    e.DataRange = QStringLiteral("A7, P1048577");
    expectRefused(checkForSave(e), QStringLiteral("P1048577") + msg::kBadDataRangeItemSuffix);
}

TEST(SaveRules, CellItemsAreTrimmedOnlyWhenCommasSplitThem) {
    EXPECT_EQ(cellItemsOf(QStringLiteral(" A7 ")), QStringList{QStringLiteral(" A7 ")});
    EXPECT_EQ(cellItemsOf(QStringLiteral(" A7 , B5:F10,,P10 ")),
              (QStringList{"A7", "B5:F10", "", "P10"}));
}
