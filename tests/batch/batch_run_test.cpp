// The batch runner from project file to exit status: refusals before a run, a cancelled run,
// and runs of methods A and E on generated report forms, through the same entry point as the
// program (arguments in, console lines and exit status out).
#include "batch/batch_messages.h"
#include "batch/batch_options.h"
#include "batch/batch_run.h"
#include "engine/engine_messages.h"
#include "engine/method_ce_messages.h"
#include "engine/sheet_check.h"
#include "engine/text_codec.h"
#include "form_generator.h"
#include "project/project_file.h"
#include "project/project_messages.h"
#include "sheet/workbook_io.h"
#include "support/altered_forms.h"
#include "support/method_ce_workbooks.h"
#include "support/recording_run_host.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

namespace {

using project::ConsolidationMethod;
using testing_support::readBack;
using testing_support::valueAt;

struct Captured {
    QStringList out;
    QStringList error;
    int progressCalls = 0;

    batch::BatchConsole console() {
        batch::BatchConsole console;
        console.out = [this](const QString& line) { out << line; };
        console.error = [this](const QString& line) { error << line; };
        console.progress = [this](int, const QString&) { ++progressCalls; };
        return console;
    }
};

class BatchRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        dataFolder_ = root_.filePath(QStringLiteral("자료"));
        ASSERT_TRUE(QDir().mkpath(dataFolder_));
    }

    void writeForm(const QString& name, int rows, const std::string& sheetName = "현황") {
        tools::FormOptions options;
        options.bodyName = name.toStdString();
        options.dataRows = rows;
        options.sheetName = sheetName;
        options.seed = static_cast<unsigned>(qHash(name));
        sheet::writeWorkbook(
            *tools::buildForm(options),
            QDir(dataFolder_).filePath(name + QStringLiteral(".xlsx")).toStdString());
    }

    project::ProjectSettings methodA() const {
        project::ProjectSettings s;
        s.ProjectName = QStringLiteral("학교현황");
        s.DataFolder = dataFolder_;
        s.Method = ConsolidationMethod::A;
        s.SheetName = QStringLiteral("현황");
        s.TitleRange = QStringLiteral("A1:P6");
        s.DataRange = QStringLiteral("A7:P16");
        s.SumRange = QStringLiteral("C7:P16");
        return s;
    }

    project::ProjectSettings methodE() const {
        project::ProjectSettings s = methodA();
        s.Method = ConsolidationMethod::E;
        s.TitleRange = QStringLiteral("A1:");
        s.DataRange = QStringLiteral("B3, C7:E8, P16");
        s.SumRange.clear();
        return s;
    }

    QString writeProject(const project::ProjectSettings& settings) {
        const QString path = root_.filePath(QStringLiteral("현황.tbn"));
        EXPECT_TRUE(project::writeProjectFile(path, settings).ok);
        return path;
    }

    int run(QStringList arguments) {
        batch::BatchConsole console = captured_.console();
        return batch::runCommandLine(arguments, console);
    }

    QStringList results() const {
        return QDir(QDir(dataFolder_).filePath(QStringLiteral("Result")))
            .entryList({QStringLiteral("*.xlsx")}, QDir::Files);
    }

    // The log file's lines, as the project page would show them.
    QStringList logFileLines() const {
        return engine::text_codec::readLines(root_.filePath(QStringLiteral("현황.log")))
            .value_or(QStringList());
    }

    QTemporaryDir root_;
    QString dataFolder_;
    Captured captured_;
};

TEST_F(BatchRunTest, RefusesAProjectTheSaveButtonWouldRefuseWithItsMessage) {
    writeForm(QStringLiteral("학교1"), 10);
    project::ProjectSettings settings = methodA();
    settings.SumRange = QStringLiteral("C7:Q16");
    EXPECT_EQ(run({writeProject(settings)}), batch::kBadProject);
    EXPECT_EQ(captured_.error, QStringList{project::msg::kSumOutsideData});
    EXPECT_TRUE(captured_.out.isEmpty());

    captured_ = {};
    settings = methodA();
    settings.SheetName = QStringLiteral("  ");
    EXPECT_EQ(run({writeProject(settings)}), batch::kBadProject);
    EXPECT_EQ(captured_.error, QStringList{project::msg::kNoSheetName});
}

TEST_F(BatchRunTest, RefusesMissingAndDamagedProjectFiles) {
    const QString missing = root_.filePath(QStringLiteral("없음.tbn"));
    EXPECT_EQ(run({missing}), batch::kBadProject);
    EXPECT_EQ(captured_.error, QStringList{batch::msg::kProjectMissing.arg(missing)});

    captured_ = {};
    const QString damaged = root_.filePath(QStringLiteral("손상.tbn"));
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("이름\r\n/tmp\r\n\r\n둘\r\n0\r\n");
    file.close();
    EXPECT_EQ(run({damaged}), batch::kBadProject);
    EXPECT_EQ(captured_.error, QStringList{project::msg::kBadMethodLine.arg(damaged)});

    captured_ = {};
    project::ProjectSettings settings = methodA();
    settings.Method = ConsolidationMethod::D;
    EXPECT_EQ(run({writeProject(settings)}), batch::kBadProject);
    EXPECT_EQ(captured_.error, QStringList{project::msg::kMethodDRefused});
}

TEST_F(BatchRunTest, RefusesAMissingOrEmptyDataFolder) {
    project::ProjectSettings settings = methodA();
    EXPECT_EQ(run({writeProject(settings)}), batch::kBadDataFolder);
    EXPECT_EQ(captured_.error,
              QStringList{batch::msg::kEmptyDataFolder.arg(QDir::toNativeSeparators(dataFolder_))});

    captured_ = {};
    settings.DataFolder = root_.filePath(QStringLiteral("없는폴더"));
    EXPECT_EQ(run({writeProject(settings)}), batch::kBadDataFolder);
    EXPECT_EQ(captured_.error, QStringList{project::msg::kBadDataFolder});
    EXPECT_TRUE(logFileLines().isEmpty());
}

TEST_F(BatchRunTest, RefusesListedFilesOutsideTheDataFolder) {
    writeForm(QStringLiteral("학교1"), 10);
    const QString project = writeProject(methodA());
    EXPECT_EQ(run({project, QStringLiteral("--files"), QStringLiteral("학교9.xlsx")}),
              batch::kBadDataFolder);
    EXPECT_EQ(captured_.error, QStringList{batch::msg::kListedFileMissing.arg(
                                   QStringLiteral("학교9.xlsx"), dataFolder_)});
    captured_ = {};
    EXPECT_EQ(run({project, QStringLiteral("--files"), project}), batch::kBadDataFolder);
    EXPECT_EQ(captured_.error,
              QStringList{batch::msg::kListedFileOutside.arg(project, dataFolder_)});
}

TEST_F(BatchRunTest, ACancelledRunSavesNothingAndEndsWithTheCancelCode) {
    writeForm(QStringLiteral("학교1"), 10);
    writeForm(QStringLiteral("학교2"), 10, "다른시트");
    EXPECT_EQ(run({writeProject(methodA())}), batch::kRunFailed);
    ASSERT_FALSE(captured_.error.isEmpty());
    EXPECT_EQ(captured_.error.last(), engine::msg::kA00E07);
    EXPECT_TRUE(results().isEmpty());
    // The log file holds the same lines as standard output, with their time stamps.
    ASSERT_FALSE(captured_.out.isEmpty());
    const QStringList log = logFileLines();
    EXPECT_EQ(log, captured_.out);
    EXPECT_TRUE(log.join(u'\n').contains(engine::msg::kA00E07));
}

// The built program, stopped by Ctrl+C as a user would: it stops before the next workbook, says
// so in the log, writes nothing and ends with a failure status.
TEST_F(BatchRunTest, InterruptStopsTheProgramWithNothingWritten) {
    const QString program =
        QCoreApplication::applicationDirPath() + QStringLiteral("/tabrinel-batch");
    if (!QFileInfo(program).isExecutable())
        GTEST_SKIP() << "tabrinel-batch is not built beside the tests";
    constexpr int kForms = 40;
    for (int n = 1; n <= kForms; ++n)
        writeForm(QStringLiteral("학교%1").arg(n, 2, 10, QLatin1Char('0')), 1000);
    const QString output = root_.filePath(QStringLiteral("결과.xlsx"));
    QProcess child;
    child.start(program, {writeProject(methodA()), QStringLiteral("--output"), output});
    ASSERT_TRUE(child.waitForStarted());
    // Interrupted once it works on its workbooks.
    QByteArray out;
    QElapsedTimer waited;
    waited.start();
    while (!out.contains(engine::msg::kFileWorking.toUtf8()) && waited.elapsed() < 60000 &&
           child.state() == QProcess::Running) {
        child.waitForReadyRead(100);
        out += child.readAllStandardOutput();
    }
    ASSERT_EQ(child.state(), QProcess::Running) << "the run ended before it could be stopped";
    ::kill(static_cast<pid_t>(child.processId()), SIGINT);
    ASSERT_TRUE(child.waitForFinished(60000));
    out += child.readAllStandardOutput();
    const QString error = QString::fromUtf8(child.readAllStandardError());

    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), batch::kRunFailed);
    const QString printed = QString::fromUtf8(out);
    EXPECT_TRUE(printed.contains(engine::msg::kStoppedByUser)) << printed.toStdString();
    EXPECT_TRUE(printed.contains(engine::msg::kA00E07));
    EXPECT_LT(printed.count(engine::msg::kFileWorking), kForms);
    EXPECT_TRUE(error.contains(batch::msg::kInterrupted)) << error.toStdString();
    EXPECT_TRUE(logFileLines().last().endsWith(engine::msg::kClosingLine));
    EXPECT_FALSE(logFileLines().filter(engine::msg::kStoppedByUser).isEmpty());
    // Nothing written anywhere: no result, no temporary file beside it or in the data folder.
    EXPECT_EQ(QDir(root_.path()).entryList(QDir::Files),
              (QStringList{QStringLiteral("현황.log"), QStringLiteral("현황.tbn")}));
    EXPECT_EQ(QDir(dataFolder_).entryList(QDir::Files).size(), kForms);
    EXPECT_TRUE(results().isEmpty());
}

TEST_F(BatchRunTest, MethodARunsEveryWorkbookOfTheFolderIntoTheResultFolder) {
    writeForm(QStringLiteral("학교1"), 10);
    writeForm(QStringLiteral("학교2"), 10);
    writeForm(QStringLiteral("학교3"), 10);
    EXPECT_EQ(run({writeProject(methodA())}), batch::kSucceeded)
        << captured_.error.join(u'\n').toStdString();
    EXPECT_TRUE(captured_.error.isEmpty());
    EXPECT_EQ(captured_.progressCalls, 3);

    const QStringList saved = results();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{14}\\.xlsx$")).match(saved[0]).hasMatch());
    const QRegularExpression stamped(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d "));
    for (const QString& line : captured_.out)
        EXPECT_TRUE(stamped.match(line).hasMatch()) << line.toStdString();
    EXPECT_TRUE(captured_.out.last().endsWith(engine::msg::kClosingLine));

    const auto book = readBack(QDir(dataFolder_).filePath(QStringLiteral("Result/") + saved[0]));
    const sheet::Worksheet& result = *book->sheets.at(0);
    // Three blocks of ten rows below the six title rows, in list order; running numbers in A.
    for (int block = 0; block < 3; ++block) {
        EXPECT_EQ(valueAt(result, 7 + block * 10, 1), sheet::CellValue::Number(1));
        EXPECT_EQ(valueAt(result, 16 + block * 10, 1), sheet::CellValue::Number(10));
    }
    // The sum block below them adds the three workbooks' cells.
    const auto first = readBack(QDir(dataFolder_).filePath(QStringLiteral("학교1.xlsx")));
    const auto second = readBack(QDir(dataFolder_).filePath(QStringLiteral("학교2.xlsx")));
    const auto third = readBack(QDir(dataFolder_).filePath(QStringLiteral("학교3.xlsx")));
    const double expected = valueAt(*first->sheets[0], 7, 3).number +
                            valueAt(*second->sheets[0], 7, 3).number +
                            valueAt(*third->sheets[0], 7, 3).number;
    EXPECT_EQ(valueAt(result, 37, 3), sheet::CellValue::Number(expected));
}

TEST_F(BatchRunTest, MethodEWritesTheChosenWorkbooksToTheOutputFile) {
    writeForm(QStringLiteral("학교1"), 10);
    writeForm(QStringLiteral("학교2"), 10);
    writeForm(QStringLiteral("학교3"), 10);
    const QString output = root_.filePath(QStringLiteral("결과.xlsx"));
    EXPECT_EQ(run({writeProject(methodE()), QStringLiteral("--files"), QStringLiteral("학교3.xlsx"),
                   QStringLiteral("학교1.xlsx"), QStringLiteral("--output"), output,
                   QStringLiteral("--quiet")}),
              batch::kSucceeded)
        << captured_.error.join(u'\n').toStdString();
    // Quiet: only the result's path on standard output; the log file still gets every line.
    EXPECT_EQ(captured_.out, QStringList{QDir::toNativeSeparators(output)});
    EXPECT_EQ(captured_.progressCalls, 0);
    ASSERT_FALSE(logFileLines().isEmpty());
    EXPECT_TRUE(logFileLines().last().endsWith(engine::msg::kClosingLine));
    EXPECT_TRUE(results().isEmpty());

    const auto book = readBack(output);
    const sheet::Worksheet& table = *book->sheets.at(0);
    const auto third = readBack(QDir(dataFolder_).filePath(QStringLiteral("학교3.xlsx")));
    const auto first = readBack(QDir(dataFolder_).filePath(QStringLiteral("학교1.xlsx")));
    // One band per workbook in the given order, each naming its file in column A and holding
    // the body's name from B3 next to it.
    QStringList names;
    QList<sheet::CellValue> bodies;
    for (long row = 1; row <= 10; ++row) {
        const sheet::CellValue name = valueAt(table, row, 1);
        if (name.type == sheet::CellType::Text &&
            QString::fromStdString(name.text).startsWith(QStringLiteral("학교"))) {
            names << QString::fromStdString(name.text);
            bodies << valueAt(table, row, 2);
        }
    }
    ASSERT_EQ(names.size(), 2);
    EXPECT_TRUE(names[0].startsWith(QStringLiteral("학교3")));
    EXPECT_TRUE(names[1].startsWith(QStringLiteral("학교1")));
    EXPECT_EQ(bodies[0], valueAt(*third->sheets[0], 3, 2));
    EXPECT_EQ(bodies[1], valueAt(*first->sheets[0], 3, 2));
}

TEST_F(BatchRunTest, OutputInUseIsLeftAloneAndTheResultTakesATimeStampName) {
    writeForm(QStringLiteral("학교1"), 3);
    const QString output = root_.filePath(QStringLiteral("열림.xlsx"));
    QFile open(output);
    ASSERT_TRUE(open.open(QIODevice::WriteOnly));
    open.write("held by another program");
    open.close();
    QFile lock(root_.filePath(QStringLiteral(".~lock.열림.xlsx#")));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.close();

    EXPECT_EQ(run({writeProject(methodA()), QStringLiteral("--output"), output}), batch::kSucceeded)
        << captured_.error.join(u'\n').toStdString();
    QFile kept(output);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("held by another program"));
    EXPECT_EQ(captured_.error,
              QStringList{QDir::toNativeSeparators(output) + engine::msg::kFileInUse});
    const QStringList saved = results();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{14}\\.xlsx$")).match(saved[0]).hasMatch());
}

TEST_F(BatchRunTest, OutputIntoAMissingFolderOrUnderAnotherExtensionIsRefusedBeforeTheRun) {
    writeForm(QStringLiteral("학교1"), 3);
    const QString project = writeProject(methodA());
    const QString missingFolder = root_.filePath(QStringLiteral("없는폴더"));
    EXPECT_EQ(run({project, QStringLiteral("--output"), missingFolder + QStringLiteral("/r.xlsx")}),
              batch::kBadArguments);
    EXPECT_EQ(captured_.error, QStringList{batch::msg::kOutputFolderMissing.arg(
                                   QDir::toNativeSeparators(missingFolder))});
    EXPECT_TRUE(captured_.out.isEmpty());

    for (const char* name : {"r.txt", "r", "r.xlsx.bak", "r.xls"}) {
        captured_ = {};
        const QString output = root_.filePath(QLatin1String(name));
        EXPECT_EQ(run({project, QStringLiteral("--output"), output}), batch::kBadArguments) << name;
        EXPECT_EQ(captured_.error,
                  QStringList{batch::msg::kOutputNotWorkbook.arg(QDir::toNativeSeparators(output))})
            << name;
        EXPECT_FALSE(QFile::exists(output)) << name;
    }
    EXPECT_TRUE(results().isEmpty());
    EXPECT_TRUE(logFileLines().isEmpty());
}

TEST_F(BatchRunTest, AWorkbookThatCannotBeReadIsReportedWithTheReason) {
    writeForm(QStringLiteral("학교1"), 3);
    QFile damaged(QDir(dataFolder_).filePath(QStringLiteral("학교2.xlsx")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("this is no workbook");
    damaged.close();

    EXPECT_EQ(run({writeProject(methodA())}), batch::kRunFailed);
    // The failure line stays as it was; the component's reason follows it.
    const QStringList logged = logFileLines();
    qsizetype at = -1;
    for (qsizetype i = 0; i < logged.size(); ++i)
        if (logged[i].contains(QStringLiteral("학교2.xlsx") + engine::msg::kSheetMissingMiddle))
            at = i;
    ASSERT_GE(at, 0) << logged.join(u'\n').toStdString();
    ASSERT_LT(at + 1, logged.size());
    EXPECT_TRUE(logged[at].endsWith(engine::msg::kSheetMissingEnd));
    EXPECT_TRUE(logged[at + 1].contains(engine::msg::kReadFailureReason))
        << logged[at + 1].toStdString();
    EXPECT_GT(logged[at + 1].trimmed().size(), engine::msg::kReadFailureReason.trimmed().size());
    ASSERT_EQ(captured_.error.size(), 2) << captured_.error.join(u'\n').toStdString();
    EXPECT_TRUE(captured_.error[0].startsWith(QStringLiteral("A00E07 ")));
    EXPECT_TRUE(captured_.error[1].startsWith(engine::msg::kReadFailureReason));
}

TEST_F(BatchRunTest, SheetCheckSucceedsOnlyWhenEveryWorkbookHoldsTheSheet) {
    writeForm(QStringLiteral("학교1"), 3);
    const QString project = writeProject(methodA());
    EXPECT_EQ(run({project, QStringLiteral("--check")}), batch::kSucceeded);
    EXPECT_TRUE(captured_.out.join(u'\n').contains(engine::sheet_check_text::kNoErrors));

    captured_ = {};
    writeForm(QStringLiteral("학교2"), 3, "다른시트");
    EXPECT_EQ(run({project, QStringLiteral("--check")}), batch::kRunFailed);
    ASSERT_FALSE(captured_.error.isEmpty());
    EXPECT_EQ(captured_.error.last(), QStringLiteral("1") + engine::sheet_check_text::kErrorCount);
    EXPECT_TRUE(results().isEmpty());
}

TEST_F(BatchRunTest, FormCheckPrintsTheLinesTheWindowLogs) {
    using namespace testing_support;
    const auto write = [this](const QString& name, const sheet::Workbook& book) {
        testing_support::writeForm(book, QDir(dataFolder_).filePath(name));
    };
    write(QStringLiteral("학교01.xlsx"), *reportForm("가초등학교", 1));
    write(QStringLiteral("학교02.xlsx"), *reportForm("나초등학교", 2));
    auto inserted = reportForm("다초등학교", 3);
    insertRowBelow(firstSheet(*inserted), 9);
    write(QStringLiteral("학교03.xlsx"), *inserted);
    auto retyped = reportForm("라초등학교", 4);
    testing_support::setText(firstSheet(*retyped), 5, 3, "학년별 학생수");
    write(QStringLiteral("학교04.xlsx"), *retyped);
    const QString project = writeProject(methodA());

    EXPECT_EQ(run({project, QStringLiteral("--check"), QStringLiteral("--form")}),
              batch::kRunFailed);
    QStringList printed;
    for (const QString& line : captured_.out)
        printed << line.mid(20); // without the time stamp
    ASSERT_FALSE(captured_.error.isEmpty());
    EXPECT_EQ(captured_.error.last(), QStringLiteral("2") + engine::sheet_check_text::kErrorCount);

    RecordingRunHost window;
    window.dataFolder = dataFolder_;
    window.sheetName = QStringLiteral("현황");
    window.titleRange = QStringLiteral("A1:P6");
    window.dataRange = QStringLiteral("A7:P16");
    window.consolidationList = {"학교01.xlsx", "학교02.xlsx", "학교03.xlsx", "학교04.xlsx"};
    engine::sheet_check(window, engine::form::FormMethod::A);
    EXPECT_EQ(printed, window.logTexts);
    EXPECT_TRUE(
        printed.contains(QStringLiteral("학교03.xlsx 파일: 9행 아래에 1행이 삽입되었습니다")));

    captured_ = {};
    EXPECT_EQ(run({project, QStringLiteral("--check")}), batch::kSucceeded);
}

TEST(BatchArguments, ReadsOptionsAndRefusesWhatItCannotUse) {
    const batch::ParsedArguments full = batch::parseArguments(
        {QStringLiteral("p.tbn"), QStringLiteral("--quiet"), QStringLiteral("--output"),
         QStringLiteral("r.xlsx"), QStringLiteral("--files"), QStringLiteral("a.xlsx"),
         QStringLiteral("--"), QStringLiteral("--b.xlsx")});
    ASSERT_TRUE(full.options);
    EXPECT_EQ(full.options->projectPath, QStringLiteral("p.tbn"));
    EXPECT_EQ(full.options->files,
              (QStringList{QStringLiteral("a.xlsx"), QStringLiteral("--b.xlsx")}));
    EXPECT_EQ(full.options->output, QStringLiteral("r.xlsx"));
    EXPECT_TRUE(full.options->quiet);

    EXPECT_EQ(batch::parseArguments({}).error, batch::msg::kNoProjectArgument);
    EXPECT_EQ(batch::parseArguments({QStringLiteral("p.tbn"), QStringLiteral("--files")}).error,
              batch::msg::kMissingFiles);
    EXPECT_EQ(batch::parseArguments({QStringLiteral("p.tbn"), QStringLiteral("--output")}).error,
              batch::msg::kMissingOutput);
    EXPECT_EQ(batch::parseArguments({QStringLiteral("p.tbn"), QStringLiteral("--bogus")}).error,
              batch::msg::kUnknownOption.arg(QStringLiteral("--bogus")));
    EXPECT_FALSE(batch::parseArguments({QStringLiteral("p.tbn"), QStringLiteral("--check"),
                                        QStringLiteral("--output"), QStringLiteral("r.xlsx")})
                     .options);
    EXPECT_EQ(batch::parseArguments({QStringLiteral("p.tbn"), QStringLiteral("--form")}).error,
              batch::msg::kFormWithoutCheck);
    const batch::ParsedArguments form = batch::parseArguments(
        {QStringLiteral("--form"), QStringLiteral("p.tbn"), QStringLiteral("--check")});
    ASSERT_TRUE(form.options);
    EXPECT_TRUE(form.options->check && form.options->form);
}

TEST(BatchArguments, HelpNeedsNoProjectAndBadArgumentsPointToIt) {
    Captured captured;
    batch::BatchConsole console = captured.console();
    EXPECT_EQ(batch::runCommandLine({QStringLiteral("--help")}, console), batch::kSucceeded);
    EXPECT_EQ(captured.out, QStringList{batch::msg::kHelp});

    captured = {};
    console = captured.console();
    EXPECT_EQ(batch::runCommandLine({QStringLiteral("--bogus")}, console), batch::kBadArguments);
    ASSERT_FALSE(captured.error.isEmpty());
    EXPECT_EQ(captured.error.last(), batch::msg::kUsageHint);
}

} // namespace
