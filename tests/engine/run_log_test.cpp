#include "engine/result_folder.h"
#include "engine/run_log.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QDateTime kMoment(QDate(2024, 3, 2), QTime(9, 5, 3));

TEST(RunLogTest, LineIsZeroPaddedDateTimeBlankText) {
    EXPECT_EQ(engine::RunLog::line(kMoment, QStringLiteral("X")),
              QStringLiteral("2024-03-02 09:05:03 X"));
    EXPECT_EQ(engine::RunLog::line(QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59)),
                                   QStringLiteral("끝")),
              QStringLiteral("2024-12-31 23:59:59 끝"));
}

TEST(ResultFolderTest, ResultFolderAndWorkbookPathsJoinTheDataFolder) {
    EXPECT_EQ(QDir::fromNativeSeparators(engine::ResultFolder(QStringLiteral("/data/학교"))),
              QStringLiteral("/data/학교/Result"));
    EXPECT_EQ(QDir::fromNativeSeparators(
                  engine::workbookPath(QStringLiteral("/data/학교/"), QStringLiteral("a.xlsx"))),
              QStringLiteral("/data/학교/a.xlsx"));
}

TEST(ResultFolderTest, TimeStampNameRunsTheDigitsTogether) {
    EXPECT_EQ(engine::timeStampFileName(kMoment), QStringLiteral("20240302090503.xlsx"));
}

TEST(ResultFolderTest, TimeStampPathNeverNamesAnExistingFile) {
    QTemporaryDir dir;
    const QString first = engine::timeStampPath(dir.path(), kMoment);
    EXPECT_EQ(QDir::fromNativeSeparators(first), dir.filePath("20240302090503.xlsx"));
    auto touch = [](const QString& path) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    };
    touch(first);
    const QString second = engine::timeStampPath(dir.path(), kMoment);
    EXPECT_EQ(QDir::fromNativeSeparators(second), dir.filePath("20240302090503_2.xlsx"));
    touch(second);
    EXPECT_EQ(QDir::fromNativeSeparators(engine::timeStampPath(dir.path(), kMoment)),
              dir.filePath("20240302090503_3.xlsx"));
}

} // namespace
