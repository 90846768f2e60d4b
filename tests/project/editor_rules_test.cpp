#include "project/editor_rules.h"
#include "project/project_messages.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace project;

namespace {

std::optional<QString> afterTitle(ConsolidationMethod method, const char* title,
                                  const char* data = "") {
    return dataRangeAfterTitle(method, QString::fromUtf8(title), QString::fromUtf8(data));
}

} // namespace

TEST(FieldStates, EachMethodEnablesItsRangeFieldsAndSizesThem) {
    const MethodFieldStates a = fieldStatesFor(ConsolidationMethod::A);
    EXPECT_TRUE(a.title.enabled && a.dataRange.enabled && a.sumRange.enabled);
    EXPECT_EQ(a.dataRange.width, 191);
    EXPECT_EQ(a.sumRange.width, 191);
    EXPECT_TRUE(a.message.isEmpty());

    const MethodFieldStates b = fieldStatesFor(ConsolidationMethod::B);
    EXPECT_FALSE(b.sumRange.enabled);
    EXPECT_EQ(b.sumRange.colour, FieldColour::InactiveBorder);

    const MethodFieldStates c = fieldStatesFor(ConsolidationMethod::C);
    EXPECT_FALSE(c.title.enabled);
    EXPECT_FALSE(c.dataRange.enabled);
    EXPECT_TRUE(c.sumRange.enabled);

    const MethodFieldStates d = fieldStatesFor(ConsolidationMethod::D);
    EXPECT_EQ(d.dataRange.width, 190);
    EXPECT_EQ(d.sumRange.width, 620);
    EXPECT_EQ(d.message, QStringLiteral("취합방법 D는 수정중입니다."));

    const MethodFieldStates e = fieldStatesFor(ConsolidationMethod::E);
    EXPECT_TRUE(e.dataRange.enabled);
    EXPECT_EQ(e.dataRange.width, 620);
    EXPECT_FALSE(e.sumRange.enabled);
    EXPECT_EQ(e.sumRange.width, 190);

    for (int i = 0; i < kMethodCount; ++i) {
        const MethodFieldStates s = fieldStatesFor(methodOfIndex(i));
        EXPECT_FALSE(s.title.width.has_value()) << "the title field keeps its width";
        for (const FieldState& f : {s.title, s.dataRange, s.sumRange})
            EXPECT_EQ(f.colour, f.enabled ? FieldColour::Window : FieldColour::InactiveBorder);
    }
}

TEST(TitleExit, ProposesTheRowBelowTheTitleForAppendingMethods) {
    EXPECT_EQ(afterTitle(ConsolidationMethod::A, "A1:P6"), QStringLiteral("A7:"));
    EXPECT_EQ(afterTitle(ConsolidationMethod::B, "b2:k5"), QStringLiteral("B6:ALL"));
    EXPECT_EQ(afterTitle(ConsolidationMethod::A, "AB3:$C$19", "  "), QStringLiteral("AB20:"));
    // Letters of the first corner only; no colon reads the whole text as the bottom corner.
    EXPECT_EQ(afterTitle(ConsolidationMethod::A, "P6"), QStringLiteral("7:"));
}

TEST(TitleExit, LeavesTheDataRangeAloneOtherwise) {
    EXPECT_FALSE(afterTitle(ConsolidationMethod::A, "A1:"));
    EXPECT_FALSE(afterTitle(ConsolidationMethod::A, "A1:P6", "A9:P20"));
    EXPECT_FALSE(afterTitle(ConsolidationMethod::A, "   "));
    EXPECT_FALSE(afterTitle(ConsolidationMethod::A, "A1:P1.5"));
    EXPECT_FALSE(afterTitle(ConsolidationMethod::A, "A1:P99999999999"));
    EXPECT_FALSE(afterTitle(ConsolidationMethod::C, "A1:P6"));
    EXPECT_FALSE(afterTitle(ConsolidationMethod::D, "A1:P6"));
    EXPECT_FALSE(afterTitle(ConsolidationMethod::E, "A1:P6"));
}

TEST(PageGuard, StepsComeInOrder) {
    QTemporaryDir dir;
    const QString folder = dir.path();
    const QString missing = dir.filePath(QStringLiteral("없음"));

    PageGuardDecision d = decidePageEntry(ConsolidationMethod::D, true, QString());
    EXPECT_EQ(d.step, PageGuardStep::MethodD);
    EXPECT_EQ(d.message, QStringLiteral("취합방법 \"D\"는 프로그램 수정중입니다."));
    EXPECT_TRUE(d.backToProject);

    d = decidePageEntry(ConsolidationMethod::A, true, folder);
    EXPECT_EQ(d.step, PageGuardStep::Unsaved);
    EXPECT_EQ(d.message, msg::kSaveFirst);
    EXPECT_TRUE(d.backToProject);

    d = decidePageEntry(ConsolidationMethod::A, false, QStringLiteral("  "));
    EXPECT_EQ(d.step, PageGuardStep::NoDataFolder);
    EXPECT_EQ(d.message, msg::kNoDataFolder);
    EXPECT_FALSE(d.backToProject);

    d = decidePageEntry(ConsolidationMethod::A, false, missing);
    EXPECT_EQ(d.step, PageGuardStep::MissingDataFolder);
    EXPECT_TRUE(d.backToProject);

    d = decidePageEntry(ConsolidationMethod::E, false, folder);
    EXPECT_EQ(d.step, PageGuardStep::Enter);
    EXPECT_TRUE(d.message.isEmpty());
    EXPECT_FALSE(d.backToProject);
}

TEST(PageGuard, ResultFolderIsCreatedOnceAndAFileInItsWayIsAFailure) {
    QTemporaryDir dir;
    EXPECT_TRUE(ensureResultFolder(dir.path()));
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("Result"))).isDir());
    EXPECT_TRUE(ensureResultFolder(dir.path()));

    QTemporaryDir blocked;
    QFile file(blocked.filePath(QStringLiteral("Result")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_FALSE(ensureResultFolder(blocked.path()));
}
