#include "project/project_file.h"
#include "project/project_log.h"
#include "project/project_messages.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace project;

namespace {

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

ProjectSettings everyFieldSet() {
    ProjectSettings s;
    s.ProjectName = QStringLiteral(" 학교현황 ");
    s.DataFolder = QStringLiteral("/자료/학교 2024");
    s.FileCount = QString();
    s.Method = ConsolidationMethod::E;
    s.RangeKind = 1;
    s.SheetName = QStringLiteral("시트1");
    s.TitleRange = QStringLiteral("A1:P6");
    s.DataRange = QStringLiteral("A7, B5:F10, P10");
    s.SumRange = QString();
    s.ExistingFile = QStringLiteral("/자료/완료.xlsx");
    s.ExistingSheet = QStringLiteral("합계");
    s.CompletedFile = QStringLiteral("  ");
    return s;
}

} // namespace

TEST(ProjectFile, SavedFileReloadsEveryValueBlanksAndHiddenFieldsIncluded) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("학교현황.tbn"));
    const ProjectSettings saved = everyFieldSet();
    ASSERT_TRUE(writeProjectFile(path, saved).ok);

    const ProjectFileText read = readProjectFile(path);
    ASSERT_EQ(read.failure, ReadFailure::None) << read.message.toStdString();
    const ProjectLines loaded = interpretProjectLines(read.lines);
    EXPECT_TRUE(loaded.methodLineIsInteger);
    EXPECT_TRUE(loaded.rangeKindLineIsInteger);
    EXPECT_EQ(settingsOfLines(loaded), saved);
}

TEST(ProjectFile, IsWrittenAsTwelveCp949LinesWithCrLfAndNoByteOrderMark) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.tbn"));
    ProjectSettings s;
    s.ProjectName = QStringLiteral("학교현황");
    s.DataFolder = QStringLiteral("C:\\똠");
    s.SheetName = QStringLiteral("Sheet1");
    ASSERT_TRUE(writeProjectFile(path, s).ok);
    const QByteArray expected = QByteArray("\xC7\xD0\xB1\xB3\xC7\xF6\xC8\xB2\r\n"
                                           "C:\\\x8C\x63\r\n\r\n0\r\n0\r\nSheet1\r\nA1:\r\n"
                                           "\r\n\r\n\r\n\r\n\r\n");
    EXPECT_EQ(bytesOf(path), expected);
}

TEST(ProjectFile, FileWrittenOnAKoreanSystemLoads) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.tbn"));
    // "학교현황", a folder, no count, method C, kind 0, sheet "시트", ranges, in code page 949.
    writeBytes(path, QByteArray("\xC7\xD0\xB1\xB3\xC7\xF6\xC8\xB2\r\n"
                                "C:\\\xC7\xD0\xB1\xB3\r\n"
                                "\r\n2\r\n0\r\n"
                                "\xBD\xC3\xC6\xAE\r\n"
                                "A1:P6\r\nA7:P10\r\nC7:P10\r\n\r\n"
                                "\x8C\x63\r\n\r\n"));
    const ProjectFileText read = readProjectFile(path);
    ASSERT_EQ(read.failure, ReadFailure::None);
    const ProjectLines loaded = interpretProjectLines(read.lines);
    EXPECT_EQ(loaded.line(1), QStringLiteral("학교현황"));
    EXPECT_EQ(loaded.line(2), QStringLiteral("C:\\학교"));
    EXPECT_EQ(loaded.method, ConsolidationMethod::C);
    EXPECT_EQ(loaded.line(6), QStringLiteral("시트"));
    EXPECT_EQ(loaded.line(9), QStringLiteral("C7:P10"));
    // A syllable only the Windows code page has, beyond the older Korean standard set.
    EXPECT_EQ(loaded.line(11), QStringLiteral("똠"));
}

TEST(ProjectFile, Utf8WithOrWithoutByteOrderMarkLoads) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("u.tbn"));
    for (const QByteArray& bom : {QByteArray(), QByteArray("\xEF\xBB\xBF")}) {
        writeBytes(path, bom + QStringLiteral("학교\n/d\n\n1\n0\n").toUtf8());
        const ProjectFileText read = readProjectFile(path);
        ASSERT_EQ(read.failure, ReadFailure::None);
        EXPECT_EQ(read.lines.first(), QStringLiteral("학교"));
        EXPECT_EQ(read.lines.size(), kProjectLineCount);
    }
}

TEST(ProjectFile, MissingLinesAtTheEndReadAsEmpty) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ten.tbn"));
    writeBytes(path, "p\r\nd\r\n\r\n0\r\n0\r\ns\r\nA1:P6\r\nA7:P10\r\n\r\nx.xlsx\r\n");
    const ProjectLines loaded = interpretProjectLines(readProjectFile(path).lines);
    EXPECT_EQ(loaded.line(10), QStringLiteral("x.xlsx"));
    EXPECT_TRUE(loaded.line(11).isEmpty());
    EXPECT_TRUE(loaded.line(12).isEmpty());
}

TEST(ProjectFile, MethodAndKindLinesAreIntegersOrStopTheLoad) {
    auto lines = [](const QString& method, const QString& kind) {
        return interpretProjectLines({"p", "d", "", method, kind});
    };
    EXPECT_FALSE(lines("", "0").methodLineIsInteger);
    EXPECT_FALSE(lines("A", "0").methodLineIsInteger);
    EXPECT_FALSE(lines("0", "x").rangeKindLineIsInteger);
    // Out of range: leaves the control as it is.
    const ProjectLines high = lines("7", "3");
    EXPECT_TRUE(high.methodLineIsInteger);
    EXPECT_FALSE(high.method.has_value());
    EXPECT_TRUE(high.rangeKindLineIsInteger);
    EXPECT_FALSE(high.rangeKind.has_value());
    EXPECT_EQ(lines("3", "2").method, ConsolidationMethod::D);
    EXPECT_EQ(lines("3", "2").rangeKind, 1);
    EXPECT_EQ(lines("4", "0").rangeKind, 0);
}

TEST(ProjectFile, SomethingElseIsRefusedAsNoProjectFile) {
    QTemporaryDir dir;
    const QString workbook = dir.filePath(QStringLiteral("book.tbn"));
    writeBytes(workbook, QByteArray("PK\x03\x04\x14\x00\x06\x00", 8) + "[Content_Types].xml");
    EXPECT_EQ(readProjectFile(workbook).failure, ReadFailure::NotAProjectFile);

    const QString legacy = dir.filePath(QStringLiteral("legacy.tbn"));
    writeBytes(legacy, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + "rest");
    EXPECT_EQ(readProjectFile(legacy).failure, ReadFailure::NotAProjectFile);

    const QString binary = dir.filePath(QStringLiteral("bin.tbn"));
    writeBytes(binary, QByteArray("abc\0def\r\n", 9));
    EXPECT_EQ(readProjectFile(binary).failure, ReadFailure::NotAProjectFile);

    const QString huge = dir.filePath(QStringLiteral("huge.tbn"));
    writeBytes(huge, QByteArray(kMaxProjectFileSize + 1, 'a'));
    const ProjectFileText hugeRead = readProjectFile(huge);
    EXPECT_EQ(hugeRead.failure, ReadFailure::NotAProjectFile);
    EXPECT_TRUE(hugeRead.message.contains(huge));

    const ProjectFileText missing = readProjectFile(dir.filePath(QStringLiteral("none.tbn")));
    EXPECT_EQ(missing.failure, ReadFailure::Unreadable);
    EXPECT_FALSE(missing.message.isEmpty());
}

TEST(ProjectFile, ValueCodePage949CannotHoldIsRefusedNamingItsFieldAndNothingIsWritten) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.tbn"));
    writeBytes(path, "previous");
    ProjectSettings s = everyFieldSet();
    s.SheetName = QStringLiteral("시트😀");
    EXPECT_EQ(firstUnstorableLine(s), 6);
    const WriteResult result = writeProjectFile(path, s);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.message.contains(msg::kFieldNames[5])) << result.message.toStdString();
    EXPECT_EQ(bytesOf(path), QByteArray("previous"));

    s.SheetName = QStringLiteral("시트");
    s.ExistingSheet = QStringLiteral("a\nb");
    EXPECT_EQ(firstUnstorableLine(s), 11);
    EXPECT_FALSE(writeProjectFile(path, s).ok);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"p.tbn"});
}

TEST(ProjectFile, UnwritablePlaceGivesAnErrorReport) {
    QTemporaryDir dir;
    const QString notAFolder = dir.filePath(QStringLiteral("file"));
    writeBytes(notAFolder, "x");
    const WriteResult result = writeProjectFile(notAFolder + QStringLiteral("/p.tbn"), {});
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.message.startsWith(QStringLiteral("프로젝트 파일을 저장할 수 없습니다!")));
}

TEST(ProjectFile, LogFileSitsBesideTheProjectFile) {
    EXPECT_EQ(logFilePathOf(QStringLiteral("/p/학교현황.tbn")), QStringLiteral("/p/학교현황.log"));
    EXPECT_EQ(logFilePathOf(QStringLiteral("/p/a.b")), QStringLiteral("/p.log"));
}

TEST(ProjectLog, CreatesTheFileEmptyThenAppendsCp949Lines) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.log"));
    EXPECT_FALSE(createLogFileIfMissing(path).has_value());
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_TRUE(bytesOf(path).isEmpty());

    EXPECT_FALSE(appendLogLine(path, QStringLiteral("학교 프로젝트 생성")).has_value());
    EXPECT_FALSE(createLogFileIfMissing(path).has_value());
    EXPECT_FALSE(appendLogLine(path, QStringLiteral("둘째")).has_value());
    EXPECT_EQ(bytesOf(path), QByteArray("\xC7\xD0\xB1\xB3 \xC7\xC1\xB7\xCE\xC1\xA7\xC6\xAE "
                                        "\xBB\xFD\xBC\xBA\r\n\xB5\xD1\xC2\xB0\r\n"));

    const QString blocked = dir.filePath(QStringLiteral("p.log/x.log"));
    EXPECT_TRUE(appendLogLine(blocked, QStringLiteral("x")).has_value());
    EXPECT_TRUE(createLogFileIfMissing(blocked).has_value());
}

TEST(ProjectLog, AnAppenderAddsEachLineAtOnceAndRecoversFromAFailure) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run.log"));
    ASSERT_FALSE(appendLogLine(path, QStringLiteral("첫째")).has_value());

    LogAppender appender(path);
    EXPECT_FALSE(appender.append(QStringLiteral("둘째")).has_value());
    EXPECT_EQ(bytesOf(path), QByteArray("\xC3\xB9\xC2\xB0\r\n\xB5\xD1\xC2\xB0\r\n"));
    // Emptied by someone else while the appender holds it: the next line starts the file.
    ASSERT_TRUE(QFile(path).resize(0));
    EXPECT_FALSE(appender.append(QStringLiteral("셋째")).has_value());
    EXPECT_EQ(bytesOf(path), QByteArray("\xBC\xC2\xC2\xB0\r\n"));

    EXPECT_TRUE(appender.append(QStringLiteral("\U0001F600")).has_value());
    EXPECT_FALSE(appender.append(QStringLiteral("넷째")).has_value());
    EXPECT_TRUE(bytesOf(path).endsWith("\xB3\xDD\xC2\xB0\r\n"));

    LogAppender blocked(dir.filePath(QStringLiteral("run.log/x.log")));
    EXPECT_TRUE(blocked.append(QStringLiteral("x")).has_value());
    EXPECT_TRUE(blocked.append(QStringLiteral("y")).has_value());
}
