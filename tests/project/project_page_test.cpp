// The project page of the real main window, driven as a user would, with scripted dialogs.
#include "app/mainform.h"
#include "project/project_messages.h"
#include "support/scripted_dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

namespace pm = project::msg;
using testsupport::ScriptedDialogs;

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class ProjectPage : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(temp.isValid());
        dataFolder = temp.filePath(QStringLiteral("자료"));
        ASSERT_TRUE(QDir().mkpath(dataFolder));
        form = std::make_unique<Tf_mainform>(dialogs);
    }

    QString path(const char* name) const { return temp.filePath(QString::fromUtf8(name)); }
    QString panel(int index) const { return form->StatusBar1->panelText(index); }
    bool saveEnabled() const { return form->SpeedButton29->isEnabled(); }

    // A valid method A project typed in by the user.
    void typeMethodAProject() {
        form->e_project->setText(QStringLiteral("학교현황"));
        form->e_datafolder->setText(dataFolder);
        form->e_sheet->setText(QStringLiteral("Sheet1"));
        form->e_title->setText(QStringLiteral("A1:P6"));
        form->e_range->setText(QStringLiteral("A7:P10"));
        form->e_comrange->setText(QStringLiteral("C7:P10"));
    }

    void saveAs(const QString& file) {
        dialogs.answerFile(file);
        form->SpeedButton29Click();
    }

    void load(const QString& file) {
        dialogs.answerFile(file);
        form->SpeedButton4Click();
    }

    void enterSheetsPage() { form->PageControl1->setCurrentWidget(form->TabSheet2); }
    bool onProjectPage() const { return form->PageControl1->currentWidget() == form->TabSheet1; }

    void leaveTitleField() {
        QFocusEvent out(QEvent::FocusOut);
        QCoreApplication::sendEvent(form->e_title, &out);
    }

    QTemporaryDir temp;
    QString dataFolder;
    ScriptedDialogs dialogs;
    std::unique_ptr<Tf_mainform> form;
};

TEST_F(ProjectPage, StartUpCountsAsUnsavedAndKeepsTheSheetsPageClosed) {
    EXPECT_TRUE(saveEnabled());
    EXPECT_TRUE(panel(1).isEmpty());
    enterSheetsPage();
    EXPECT_EQ(dialogs.texts(), QStringList{pm::kSaveFirst});
    EXPECT_TRUE(onProjectPage());
}

TEST_F(ProjectPage, MethodChoiceSetsTheRangeFieldsAndMarksTheProjectModified) {
    form->rg_sheet->setItemIndex(4);
    EXPECT_EQ(form->e_range->width(), 620);
    EXPECT_EQ(form->e_comrange->width(), 190);
    EXPECT_FALSE(form->e_title->isEnabled());
    EXPECT_FALSE(form->e_comrange->isEnabled());
    EXPECT_EQ(panel(1), pm::kModifiedMark);
    form->rg_sheet->setItemIndex(0);
    EXPECT_EQ(form->e_range->width(), 191);
    EXPECT_EQ(form->e_comrange->width(), 191);
    EXPECT_TRUE(form->e_title->isEnabled() && form->e_comrange->isEnabled());
    EXPECT_TRUE(dialogs.texts().isEmpty());

    form->rg_sheet->setItemIndex(3);
    EXPECT_EQ(dialogs.texts(), QStringList{pm::kMethodDInProgress});
    enterSheetsPage();
    EXPECT_EQ(dialogs.texts().last(), pm::kMethodDRefused);
    EXPECT_TRUE(onProjectPage());
}

TEST_F(ProjectPage, RangeExampleStaysBesideTheDataRangeFieldWhateverItsWidth) {
    const auto* example = form->findChild<QLabel*>(QStringLiteral("rangeExample"));
    ASSERT_NE(example, nullptr);
    for (int method : {4, 0, 3, 4}) {
        form->rg_sheet->setItemIndex(method);
        const QRect field = form->e_range->geometry();
        const QRect label = example->geometry();
        EXPECT_FALSE(label.intersects(field)) << method;
        EXPECT_GE(label.left(), field.right()) << method;
        EXPECT_LT(label.right(), example->parentWidget()->width()) << method;
        // The whole text fits the label's room.
        EXPECT_LE(example->heightForWidth(label.width()), label.height()) << method;
        EXPECT_FALSE(label.intersects(form->e_comrange->geometry())) << method;
    }
    dialogs.clearRecords();
}

TEST_F(ProjectPage, LeavingTheTitleProposesTheDataRangeOnlyWhenItIsEmpty) {
    form->e_title->setText(QStringLiteral("A1:P6"));
    leaveTitleField();
    EXPECT_EQ(form->e_range->text(), QStringLiteral("A7:"));

    form->e_title->setText(QStringLiteral("A1:P9"));
    leaveTitleField();
    EXPECT_EQ(form->e_range->text(), QStringLiteral("A7:"));

    form->e_range->clear();
    form->rg_sheet->setItemIndex(1);
    form->e_title->setText(QStringLiteral("b2:k5"));
    leaveTitleField();
    EXPECT_EQ(form->e_range->text(), QStringLiteral("B6:ALL"));
}

TEST_F(ProjectPage, SaveRefusesWithTheRuleMessageAndWritesNothing) {
    typeMethodAProject();
    form->e_comrange->setText(QStringLiteral("C7:Q10"));
    form->SpeedButton29Click();
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown()[0].text, pm::kSumOutsideData);
    EXPECT_EQ(dialogs.shown()[0].messageKind, app::MessageKind::Error);
    EXPECT_TRUE(dialogs.fileRequests().isEmpty());
    EXPECT_TRUE(saveEnabled());

    // A value the project file cannot hold is refused by its field's name before any dialog.
    form->e_comrange->setText(QStringLiteral("C7:P10"));
    form->e_sheet->setText(QStringLiteral("시트\u2603\U0001F600"));
    form->SpeedButton29Click();
    EXPECT_TRUE(dialogs.texts().last().contains(pm::kFieldNames[5]));
    EXPECT_TRUE(dialogs.fileRequests().isEmpty());
}

TEST_F(ProjectPage, SaveWritesTheFileLogsAndEndsSaved) {
    typeMethodAProject();
    form->e_comrange->clear();
    const QString file = path("학교현황.tbn");
    saveAs(file);

    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown()[0].text, pm::kNoSumRangeAppendOnlyA);
    EXPECT_EQ(dialogs.shown()[0].messageKind, app::MessageKind::Information);
    const ScriptedDialogs::FileRequest& request = dialogs.fileRequests().first();
    EXPECT_EQ(request.options.title, pm::kSaveTitle);
    EXPECT_EQ(request.options.defaultSuffix, QStringLiteral("tbn"));
    EXPECT_EQ(request.options.folder, QDir::toNativeSeparators(form->programFolder + "Project"));

    EXPECT_TRUE(bytesOf(file).startsWith("\xC7\xD0\xB1\xB3\xC7\xF6\xC8\xB2\r\n"));
    EXPECT_EQ(panel(0), QDir::toNativeSeparators(file) +
                            QStringLiteral(" 파일로 프로젝트가 저장되었습니다."));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tabrinel - [학교현황]"));
    EXPECT_EQ(form->currentProjectFile, file);
    EXPECT_EQ(form->currentLogFile, path("학교현황.log"));
    EXPECT_FALSE(saveEnabled());
    EXPECT_TRUE(panel(1).isEmpty());
    EXPECT_EQ(form->Panel10->text(), QStringLiteral("취합할 파일"));
    EXPECT_TRUE(form->memo1->toPlainText().endsWith(QStringLiteral("학교현황 프로젝트 생성")));

    form->e_sheet->setText(QStringLiteral("Sheet2"));
    EXPECT_TRUE(saveEnabled());
    EXPECT_EQ(panel(1), pm::kModifiedMark);
    saveAs(file);
    // The second save proposes the name of the first.
    EXPECT_EQ(dialogs.fileRequests().last().options.fileName, file);
    const QStringList memo = form->memo1->toPlainText().split(u'\n');
    ASSERT_EQ(memo.size(), 2);
    EXPECT_TRUE(memo[1].endsWith(QStringLiteral("학교현황 프로젝트 수정")));
    EXPECT_FALSE(saveEnabled());
}

TEST_F(ProjectPage, SaveAndLoadRestoreEveryValueHiddenOnesIncluded) {
    typeMethodAProject();
    form->rg_sheet->setItemIndex(2);
    form->e_datacount->setText(QStringLiteral("12"));
    form->rg_cell->setItemIndex(1);
    form->e_excelfile->setText(QStringLiteral("/결과/완료.xlsx"));
    form->e_excelsheet->setText(QStringLiteral("합계 "));
    form->e_completefile->setText(QStringLiteral(" "));
    const project::ProjectSettings before = form->projectSettings();
    const QString file = path("p.tbn");
    saveAs(file);
    ASSERT_FALSE(saveEnabled());

    form->SpeedButton5Click(); // not asked: the page is saved
    ASSERT_EQ(form->projectSettings(), project::ProjectSettings());
    load(file);
    EXPECT_EQ(form->projectSettings(), before);
    EXPECT_FALSE(saveEnabled());
}

TEST_F(ProjectPage, LoadingAMethodDProjectShowsItsMessageAndStillEndsSaved) {
    const QString file = path("d.tbn");
    writeBytes(file, "d\r\n" + dataFolder.toUtf8() + "\r\n\r\n3\r\n0\r\ns\r\n");
    form->memo1->setPlainText(QStringLiteral("old log"));
    form->ListBox1->addItem(QStringLiteral("a.xlsx"));
    load(file);
    EXPECT_EQ(dialogs.texts(), QStringList{pm::kMethodDInProgress});
    EXPECT_EQ(form->rg_sheet->itemIndex(), 3);
    EXPECT_FALSE(saveEnabled());
    EXPECT_TRUE(panel(1).isEmpty());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tabrinel - [d]"));
    // The missing log file is created and shown empty.
    EXPECT_TRUE(QFile::exists(path("d.log")));
    EXPECT_TRUE(form->memo1->toPlainText().isEmpty());
    EXPECT_EQ(form->ListBox1->count(), 0);
    EXPECT_EQ(form->Panel10->text(), QStringLiteral("취합할 파일(0)"));
    EXPECT_EQ(form->e_title->text(), QString()); // line 7 missing reads as empty

    enterSheetsPage();
    EXPECT_EQ(dialogs.texts().last(), pm::kMethodDRefused);
    EXPECT_TRUE(onProjectPage());
}

TEST_F(ProjectPage, LoadStopsAtANonIntegerMethodLineAfterTheFirstThreeLines) {
    const QString file = path("bad.tbn");
    writeBytes(file, "bad\r\n/x\r\n5\r\nA\r\n0\r\nsheet\r\n");
    load(file);
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown()[0].messageKind, app::MessageKind::Error);
    EXPECT_EQ(form->e_project->text(), QStringLiteral("bad"));
    EXPECT_EQ(form->e_datacount->text(), QStringLiteral("5"));
    EXPECT_TRUE(form->e_sheet->text().isEmpty());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tabrinel"));
    EXPECT_TRUE(saveEnabled());
    EXPECT_TRUE(form->currentProjectFile.isEmpty());
}

TEST_F(ProjectPage, LoadOfSomethingElseChangesNoControl) {
    typeMethodAProject();
    const project::ProjectSettings before = form->projectSettings();
    const QString workbook = path("book.xlsx");
    writeBytes(workbook, QByteArray("PK\x03\x04\x14\x00\x06\x00", 8) + "xl/workbook.xml");
    dialogs.answerConfirm(true);
    load(workbook);
    ASSERT_EQ(dialogs.shown().size(), 2);
    EXPECT_EQ(dialogs.shown()[1].messageKind, app::MessageKind::Error);
    EXPECT_EQ(form->projectSettings(), before);
    EXPECT_TRUE(form->currentProjectFile.isEmpty());

    dialogs.answerConfirm(true);
    dialogs.answerFile(std::nullopt);
    form->SpeedButton4Click();
    EXPECT_EQ(form->projectSettings(), before);
    EXPECT_EQ(dialogs.shown().size(), 3);
}

TEST_F(ProjectPage, NewProjectAsksOnlyWithUnsavedChanges) {
    typeMethodAProject();
    form->rg_sheet->setItemIndex(4);
    const project::ProjectSettings before = form->projectSettings();
    dialogs.answerConfirm(false);
    form->SpeedButton5Click();
    EXPECT_EQ(dialogs.texts().last(), pm::kConfirmNewProject);
    EXPECT_EQ(form->projectSettings(), before);

    dialogs.answerConfirm(true);
    form->SpeedButton5Click();
    EXPECT_EQ(form->projectSettings(), project::ProjectSettings());
    EXPECT_EQ(form->e_range->width(), 191);
    EXPECT_TRUE(saveEnabled());

    // From the saved state the reset goes through without a question and marks the page.
    typeMethodAProject();
    saveAs(path("n.tbn"));
    ASSERT_FALSE(saveEnabled());
    const qsizetype asked = dialogs.shown().size();
    form->SpeedButton5Click();
    EXPECT_EQ(dialogs.shown().size(), asked);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tabrinel"));
    EXPECT_TRUE(saveEnabled());
    EXPECT_EQ(panel(1), pm::kModifiedMark);
    EXPECT_EQ(form->e_title->text(), QStringLiteral("A1:"));
    EXPECT_TRUE(form->projectDialogFileName.isEmpty());
}

TEST_F(ProjectPage, StatusBarNamesTheFileActuallyWritten) {
    typeMethodAProject();
    form->e_project->setText(QStringLiteral("1분기 학생현황 취합"));
    const QString file = path("1분기_학생현황.tbn");
    saveAs(file);
    ASSERT_TRUE(QFile::exists(file));
    EXPECT_EQ(panel(0), QDir::toNativeSeparators(file) +
                            QStringLiteral(" 파일로 프로젝트가 저장되었습니다."));
}

// Names whose code page 949 bytes also form UTF-8 ("홍천" would read back as "ȫõ").
TEST_F(ProjectPage, HangulNamesAndTheirLogComeBackAsSaved) {
    const QString folder = path("홍천");
    ASSERT_TRUE(QDir().mkpath(folder));
    typeMethodAProject();
    form->e_project->setText(QStringLiteral("홍천"));
    form->e_datafolder->setText(folder);
    form->e_sheet->setText(QStringLiteral("화천"));
    const QString file = path("홍천.tbn");
    saveAs(file);
    form->SpeedButton5Click();
    form->memo1->clear();

    load(file);
    EXPECT_EQ(form->e_project->text(), QStringLiteral("홍천"));
    EXPECT_EQ(form->e_datafolder->text(), folder);
    EXPECT_EQ(form->e_sheet->text(), QStringLiteral("화천"));
    EXPECT_TRUE(form->memo1->toPlainText().endsWith(QStringLiteral("홍천 프로젝트 생성")))
        << form->memo1->toPlainText().toStdString();
}

TEST_F(ProjectPage, LoadingAnotherProjectAsksBeforeDiscardingChanges) {
    typeMethodAProject();
    const QString file = path("a.tbn");
    saveAs(file);
    ASSERT_FALSE(saveEnabled());

    // Saved: loading asks nothing.
    const qsizetype asked = dialogs.shown().size();
    load(file);
    EXPECT_EQ(dialogs.shown().size(), asked);

    form->e_sheet->setText(QStringLiteral("바뀐 시트"));
    const project::ProjectSettings typed = form->projectSettings();
    dialogs.answerConfirm(false);
    dialogs.answerFile(file);
    form->SpeedButton4Click();
    EXPECT_EQ(dialogs.shown().last().kind, ScriptedDialogs::Kind::Confirm);
    EXPECT_EQ(dialogs.shown().last().text, pm::kConfirmDiscardChanges);
    EXPECT_EQ(form->projectSettings(), typed);
    EXPECT_TRUE(saveEnabled());

    dialogs.answerConfirm(true);
    form->SpeedButton4Click(); // the file answer queued above
    EXPECT_EQ(form->e_sheet->text(), QStringLiteral("Sheet1"));
    EXPECT_FALSE(saveEnabled());
}

TEST_F(ProjectPage, FreshWindowLoadsWithoutAQuestionButTypedValuesAreKeptUnlessConfirmed) {
    typeMethodAProject();
    const QString file = path("a.tbn");
    saveAs(file);

    Tf_mainform fresh(dialogs);
    const qsizetype asked = dialogs.shown().size();
    dialogs.answerFile(file);
    fresh.SpeedButton4Click();
    EXPECT_EQ(dialogs.shown().size(), asked);
    EXPECT_EQ(fresh.e_project->text(), QStringLiteral("학교현황"));

    Tf_mainform typedInto(dialogs);
    typedInto.e_project->setText(QStringLiteral("입력중"));
    dialogs.answerConfirm(false);
    typedInto.SpeedButton5Click();
    EXPECT_EQ(typedInto.e_project->text(), QStringLiteral("입력중"));
    EXPECT_EQ(dialogs.shown().last().text, pm::kConfirmNewProject);
}

TEST_F(ProjectPage, LoadingAProjectWithoutFolderEmptiesTheDataFolderList) {
    typeMethodAProject();
    writeBytes(QDir(dataFolder).filePath(QStringLiteral("a.xlsx")), "x");
    saveAs(path("full.tbn"));
    enterSheetsPage();
    ASSERT_EQ(form->FileListBox1->count(), 1);
    form->PageControl1->setCurrentWidget(form->TabSheet1);

    const QString file = path("nofolder.tbn");
    writeBytes(file, "p\r\n\r\n\r\n0\r\n0\r\nSheet1\r\nA1:P6\r\nA7:P10\r\n");
    load(file);
    EXPECT_EQ(form->FileListBox1->count(), 0);
    EXPECT_TRUE(form->FileListBox1Directory.isEmpty());
    // The function keys find nothing to act on.
    const qsizetype shown = dialogs.shown().size();
    form->a_delete->trigger();
    EXPECT_EQ(dialogs.shown().size(), shown + 1);
    EXPECT_TRUE(QFile::exists(QDir(dataFolder).filePath(QStringLiteral("a.xlsx"))));
}

TEST_F(ProjectPage, PageGuardChecksTheDataFolderAndCreatesResult) {
    typeMethodAProject();
    form->e_datafolder->setText(path("없는폴더"));
    saveAs(path("g.tbn"));
    enterSheetsPage();
    EXPECT_EQ(dialogs.texts().last(), pm::kBadDataFolder);
    EXPECT_TRUE(onProjectPage());

    form->e_datafolder->clear();
    saveAs(path("g.tbn")); // refused: no folder
    EXPECT_EQ(dialogs.texts().last(), pm::kNoDataFolder);

    form->e_datafolder->setText(dataFolder);
    saveAs(path("g.tbn"));
    writeBytes(QDir(dataFolder).filePath(QStringLiteral("a.xlsx")), "x");
    form->Gauge1->setValue(40);
    const qsizetype shown = dialogs.shown().size();
    enterSheetsPage();
    EXPECT_EQ(dialogs.shown().size(), shown);
    EXPECT_FALSE(onProjectPage());
    EXPECT_EQ(form->Gauge1->value(), 0);
    EXPECT_TRUE(QFileInfo(QDir(dataFolder).filePath(QStringLiteral("Result"))).isDir());
    EXPECT_EQ(form->Panel9->text(), QStringLiteral("DATA폴더 (1)"));
    EXPECT_EQ(form->FileListBox1->count(), 1);
}

TEST_F(ProjectPage, UnwritableProjectOrLogFileGivesAnErrorAndKeepsThePageModified) {
    typeMethodAProject();
    const QString blocker = path("file");
    writeBytes(blocker, "x");
    saveAs(blocker + QStringLiteral("/p.tbn"));
    EXPECT_EQ(dialogs.shown().last().messageKind, app::MessageKind::Error);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tabrinel"));
    EXPECT_TRUE(form->currentProjectFile.isEmpty());
    EXPECT_TRUE(saveEnabled());

    // A folder where the log file should be: the project file is written, the state stays.
    ASSERT_TRUE(QDir().mkpath(path("q.log")));
    saveAs(path("q.tbn"));
    EXPECT_EQ(dialogs.shown().last().messageKind, app::MessageKind::Error);
    EXPECT_TRUE(QFile::exists(path("q.tbn")));
    EXPECT_EQ(form->currentProjectFile, path("q.tbn"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tabrinel - [학교현황]"));
    EXPECT_TRUE(saveEnabled());
}

TEST_F(ProjectPage, FolderAndCompletedWorkbookChoices) {
    dialogs.answerFolder(dataFolder);
    form->SpeedButton16Click();
    EXPECT_EQ(dialogs.folderRequests().first(),
              QDir::toNativeSeparators(form->programFolder + "Example"));
    EXPECT_EQ(form->e_datafolder->text(), QDir::toNativeSeparators(dataFolder));

    dialogs.answerFolder(std::nullopt);
    form->SpeedButton16Click();
    EXPECT_EQ(form->e_datafolder->text(), QDir::toNativeSeparators(dataFolder));

    form->e_completefile->setText(QStringLiteral("/x/done.xlsx"));
    dialogs.answerFile(std::nullopt);
    form->SpeedButton26Click();
    EXPECT_TRUE(form->e_completefile->text().isEmpty());
    EXPECT_EQ(dialogs.fileRequests().last().options.folder,
              QDir::toNativeSeparators(QDir(dataFolder).filePath(QStringLiteral("Result"))));
}

TEST_F(ProjectPage, CompletedWorkbookOpensOnlyWhenRegistered) {
    form->e_completefile->setText(QStringLiteral("   "));
    form->SpeedButton27Click();
    EXPECT_EQ(dialogs.texts(), QStringList{pm::kNoCompletedFile});

    // A registered path goes to the workbook opener untrimmed, which reports what it cannot open.
    const QString missing = QStringLiteral(" ") + path("없음.xlsx");
    form->e_completefile->setText(missing);
    form->SpeedButton27Click();
    ASSERT_EQ(dialogs.texts().size(), 2);
    EXPECT_TRUE(dialogs.texts().last().startsWith(missing));
}

} // namespace
