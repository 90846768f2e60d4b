// The sheet-consolidation page's lists and file operations in the real main window, on the
// offscreen platform, against a real temporary data folder.
#include "app/mainform.h"
#include "files/files_messages.h"
#include "files/workbook_folder.h"
#include "sheet/embedded_application.h"
#include "support/scripted_dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

using testsupport::ScriptedDialogs;

QStringList texts(const QListWidget& list) {
    QStringList names;
    for (int row = 0; row < list.count(); ++row)
        names.append(list.item(row)->text());
    return names;
}

// Selects exactly the named entries; the focus goes to the first of them.
void select(QListWidget& list, const QStringList& names) {
    list.clearSelection();
    bool focused = false;
    for (int row = 0; row < list.count(); ++row) {
        if (!names.contains(list.item(row)->text()))
            continue;
        list.item(row)->setSelected(true);
        if (!focused)
            list.setCurrentRow(row, QItemSelectionModel::NoUpdate);
        focused = true;
    }
}

class FileListsPage : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        hadDataHome_ = qEnvironmentVariableIsSet("XDG_DATA_HOME");
        savedDataHome_ = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(root_.filePath(QStringLiteral("share"))));
        ASSERT_TRUE(QDir(root_.path()).mkpath(QStringLiteral("data")));
        for (const char* name : {"a.xlsx", "B.xlsx", "c.xls", "d.xlsx"})
            write(QString::fromUtf8(name));
        form_ = std::make_unique<Tf_mainform>(dialogs_);
        form_->e_datafolder->setText(folder());
        form_->a_renew->trigger();
    }
    void TearDown() override {
        form_.reset();
        if (hadDataHome_)
            qputenv("XDG_DATA_HOME", savedDataHome_);
        else
            qunsetenv("XDG_DATA_HOME");
    }

    QString folder() const { return root_.filePath(QStringLiteral("data")); }
    QString path(const QString& name) const { return files::fullPathOf(folder(), name); }
    void write(const QString& name) const {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("workbook");
    }
    void consolidate(const QStringList& names) {
        select(*form_->FileListBox1, names);
        form_->SpeedButton7->click();
    }

    QTemporaryDir root_;
    QByteArray savedDataHome_;
    bool hadDataHome_ = false;
    ScriptedDialogs dialogs_;
    std::unique_ptr<Tf_mainform> form_;
};

} // namespace

TEST_F(FileListsPage, RefreshListsTheFoldersWorkbooksWithoutLockFiles) {
    write(QStringLiteral("~$a.xlsx"));
    write(QStringLiteral(".~lock.a.xlsx#"));
    write(QStringLiteral("notes.txt"));
    form_->a_renew->trigger();
    EXPECT_EQ(texts(*form_->FileListBox1),
              QStringList({QStringLiteral("a.xlsx"), QStringLiteral("B.xlsx"),
                           QStringLiteral("c.xls"), QStringLiteral("d.xlsx")}));
    EXPECT_EQ(form_->Panel9->text(), QStringLiteral("Data폴더(4)"));
    EXPECT_TRUE(form_->FileListBox1FileName().isEmpty());
    select(*form_->FileListBox1, {QStringLiteral("c.xls")});
    EXPECT_EQ(form_->FileListBox1FileName(), path(QStringLiteral("c.xls")));
}

TEST_F(FileListsPage, MovingAndReorderingTheConsolidationList) {
    consolidate({QStringLiteral("B.xlsx"), QStringLiteral("d.xlsx")});
    consolidate({QStringLiteral("B.xlsx"), QStringLiteral("a.xlsx")});
    EXPECT_EQ(texts(*form_->ListBox1),
              QStringList(
                  {QStringLiteral("B.xlsx"), QStringLiteral("d.xlsx"), QStringLiteral("a.xlsx")}));
    EXPECT_EQ(form_->Panel10->text(), QStringLiteral("취합할 파일(3)"));
    EXPECT_EQ(form_->ListBox1->currentRow(), 0);

    form_->a_up->trigger();
    EXPECT_EQ(texts(*form_->ListBox1),
              QStringList(
                  {QStringLiteral("d.xlsx"), QStringLiteral("a.xlsx"), QStringLiteral("B.xlsx")}));
    EXPECT_EQ(form_->ListBox1->currentItem()->text(), QStringLiteral("B.xlsx"));
    form_->a_down->trigger();
    EXPECT_EQ(texts(*form_->ListBox1).first(), QStringLiteral("B.xlsx"));

    form_->a_sort->trigger();
    EXPECT_TRUE(form_->a_sort->isChecked());
    EXPECT_EQ(texts(*form_->ListBox1),
              QStringList(
                  {QStringLiteral("a.xlsx"), QStringLiteral("B.xlsx"), QStringLiteral("d.xlsx")}));
    consolidate({QStringLiteral("c.xls")});
    EXPECT_EQ(texts(*form_->ListBox1).at(2), QStringLiteral("c.xls"));

    select(*form_->ListBox1, {QStringLiteral("a.xlsx"), QStringLiteral("c.xls")});
    form_->SpeedButton8->click();
    EXPECT_EQ(texts(*form_->ListBox1),
              QStringList({QStringLiteral("B.xlsx"), QStringLiteral("d.xlsx")}));
    EXPECT_EQ(form_->Panel10->text(), QStringLiteral("취합할 파일(2)"));

    form_->SpeedButton6->click();
    EXPECT_EQ(texts(*form_->ListBox1), texts(*form_->FileListBox1));
    form_->SpeedButton9->click();
    EXPECT_EQ(form_->ListBox1->count(), 0);
    EXPECT_EQ(form_->Panel10->text(), QStringLiteral("취합할 파일(0)"));
    form_->a_up->trigger();
    form_->a_down->trigger();
    EXPECT_EQ(form_->ListBox1->count(), 0);
}

TEST_F(FileListsPage, RenameFollowsIntoTheConsolidationList) {
    consolidate({QStringLiteral("a.xlsx")});
    select(*form_->FileListBox1, {QStringLiteral("a.xlsx")});
    dialogs_.answerInput(QStringLiteral("가나다"));
    form_->a_rename->trigger();

    ASSERT_EQ(dialogs_.inputRequests().size(), 1);
    EXPECT_EQ(dialogs_.inputRequests()[0].value, QStringLiteral("a"));
    EXPECT_EQ(dialogs_.inputRequests()[0].prompt, files::msg::kRenamePrompt);
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("가나다.xlsx"))));
    EXPECT_EQ(texts(*form_->ListBox1), QStringList{QStringLiteral("가나다.xlsx")});
    EXPECT_EQ(form_->FileListBox1FileName(), path(QStringLiteral("가나다.xlsx")));
    EXPECT_TRUE(dialogs_.texts().isEmpty());

    // An existing name and a path are refused; nothing moves.
    dialogs_.answerInput(QStringLiteral("d"));
    form_->a_rename->trigger();
    dialogs_.answerInput(QStringLiteral("../x"));
    form_->a_rename->trigger();
    // Each refusal says why.
    EXPECT_EQ(
        dialogs_.texts(),
        QStringList({files::msg::kRenameRefused + QStringLiteral("\n같은 이름의 파일(d.xlsx)이 "
                                                                 "이미 있습니다."),
                     files::msg::kRenameRefused +
                         QStringLiteral("\n파일 이름에 쓸 수 없는 문자(/)가 들어 있습니다.")}));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("가나다.xlsx"))));
    EXPECT_EQ(texts(*form_->ListBox1), QStringList{QStringLiteral("가나다.xlsx")});

    // A cancelled box changes nothing and says nothing.
    dialogs_.clearRecords();
    dialogs_.answerInput(std::nullopt);
    form_->a_rename->trigger();
    EXPECT_TRUE(dialogs_.texts().isEmpty());
}

TEST_F(FileListsPage, RenameAndDeleteRefuseFilesInUse) {
    write(QStringLiteral("~$a.xlsx"));
    select(*form_->FileListBox1, {QStringLiteral("a.xlsx")});
    form_->a_rename->trigger();
    form_->a_delete->trigger();
    const QString inUse = QStringLiteral("선택한 엑셀파일 [a.xlsx]은 현재 실행중입니다.");
    EXPECT_EQ(dialogs_.texts(), QStringList({inUse, inUse}));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("a.xlsx"))));

    dialogs_.clearRecords();
    form_->FileListBox1->clearSelection();
    form_->a_rename->trigger();
    form_->a_delete->trigger();
    EXPECT_EQ(dialogs_.texts(),
              QStringList({files::msg::kRenameNothing, files::msg::kDeleteNothing}));
}

TEST_F(FileListsPage, DeleteTrashesTheSelectedFilesThatAreFree) {
    consolidate({QStringLiteral("a.xlsx"), QStringLiteral("B.xlsx"), QStringLiteral("c.xls")});
    write(QStringLiteral(".~lock.c.xls#"));
    select(*form_->FileListBox1,
           {QStringLiteral("a.xlsx"), QStringLiteral("B.xlsx"), QStringLiteral("c.xls")});
    dialogs_.answerConfirm(true);
    form_->a_delete->trigger();

    EXPECT_EQ(dialogs_.texts(), QStringList{files::msg::kDeleteAsk});
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("a.xlsx"))));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("B.xlsx"))));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("c.xls"))));
    EXPECT_EQ(texts(*form_->FileListBox1),
              QStringList({QStringLiteral("c.xls"), QStringLiteral("d.xlsx")}));
    EXPECT_EQ(texts(*form_->ListBox1), QStringList{QStringLiteral("c.xls")});
    EXPECT_EQ(form_->Panel9->text(), QStringLiteral("Data폴더(2)"));
    EXPECT_EQ(form_->Panel10->text(), QStringLiteral("취합할 파일(1)"));
    EXPECT_TRUE(QFile::exists(root_.filePath(QStringLiteral("share/Trash/files/a.xlsx"))) ||
                QStorageInfo(root_.path()) != QStorageInfo(QDir::homePath()));
}

TEST_F(FileListsPage, DeclinedDeleteAndMissingFilesKeepEverything) {
    select(*form_->FileListBox1, {QStringLiteral("d.xlsx")});
    dialogs_.answerConfirm(false);
    form_->a_delete->trigger();
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("d.xlsx"))));

    ASSERT_TRUE(QFile::remove(path(QStringLiteral("d.xlsx"))));
    form_->a_delete->trigger();
    form_->a_rename->trigger();
    EXPECT_EQ(dialogs_.texts().mid(1), QStringList(2, files::msg::kFileMissing));
}

TEST_F(FileListsPage, OpeningAndPrintingNeedAChoice) {
    form_->a_excel->trigger();
    form_->a_excel1->trigger();
    form_->a_sheetprint->trigger();
    form_->a_sheetprint1->trigger();
    EXPECT_EQ(dialogs_.texts(),
              QStringList({files::msg::kOpenNothing, files::msg::kOpenListEmpty,
                           files::msg::kPrintNothing, files::msg::kPrintNothing}));
    EXPECT_EQ(form_->spreadsheetApp.ResultApp, nullptr);
}

TEST_F(FileListsPage, OpeningAnUnreadableWorkbookSaysSo) {
    consolidate({QStringLiteral("B.xlsx")});
    form_->a_excel1->trigger();
    EXPECT_EQ(dialogs_.texts(),
              QStringList{path(QStringLiteral("B.xlsx")) + files::msg::kCannotOpen});
    EXPECT_EQ(form_->spreadsheetApp.ResultApp, nullptr);
}

TEST_F(FileListsPage, ViewedWorkbooksStayOpenWhenTheNextOneIsOpened) {
    auto maker = sheet::createEmbeddedApplication();
    maker->Workbooks().Add();
    maker->ActiveWorkbook()->SaveAs(path(QStringLiteral("view.xlsx")).toStdString());
    maker->Quit();
    form_->a_renew->trigger();
    select(*form_->FileListBox1, {QStringLiteral("view.xlsx")});

    form_->a_excel->trigger();
    std::weak_ptr<sheet::IApplication> first = form_->spreadsheetApp.ResultApp;
    ASSERT_FALSE(first.expired());
    EXPECT_TRUE(first.lock()->Visible());
    form_->a_excel->trigger();
    EXPECT_NE(form_->spreadsheetApp.ResultApp, first.lock());
    ASSERT_FALSE(first.expired());
    EXPECT_EQ(first.lock()->Workbooks().Count(), 1);
    EXPECT_TRUE(dialogs_.texts().isEmpty());
}

namespace {

struct CountingPrinter : sheet::Printer {
    std::vector<std::string> printed;
    void print(const sheet::Workbook&, const sheet::Worksheet& worksheet) override {
        const sheet::Cell* a1 = worksheet.cell(1, 1);
        printed.push_back(a1 ? a1->value.text.str() : std::string());
    }
};

void saveWorkbook(const QString& path, const std::string& sheetName) {
    auto app = sheet::createEmbeddedApplication();
    sheet::WorksheetPtr worksheet = app->Workbooks().Add()->Worksheets(1);
    worksheet->SetName(sheetName);
    worksheet->Range("A1")->SetValue(QFileInfo(path).fileName().toStdString());
    app->ActiveWorkbook()->SaveAs(path.toStdString());
    app->Quit();
}

} // namespace

TEST_F(FileListsPage, PrintingThreeWorkbooksOfWhichTheSecondLacksTheSheet) {
    saveWorkbook(path(QStringLiteral("p1.xlsx")), "현황");
    saveWorkbook(path(QStringLiteral("p2.xlsx")), "Sheet1");
    saveWorkbook(path(QStringLiteral("p3.xlsx")), "현황");
    auto printer = std::make_shared<CountingPrinter>();
    sheet::setEmbeddedEnvironment({nullptr, printer});
    form_->e_sheet->setText(QStringLiteral("현황"));
    form_->a_renew->trigger();
    const QStringList three{QStringLiteral("p1.xlsx"), QStringLiteral("p2.xlsx"),
                            QStringLiteral("p3.xlsx")};
    select(*form_->FileListBox1, three);
    dialogs_.answerConfirm(true);
    form_->a_sheetprint->trigger();

    EXPECT_EQ(printer->printed, (std::vector<std::string>{"p1.xlsx", "p3.xlsx"}));
    EXPECT_EQ(dialogs_.texts(),
              QStringList({QStringLiteral("선택한 엑셀파일의 [현황] 시트를 출력할까요?"),
                           QStringLiteral("p2.xlsx에는 [현황] 시트가 없습니다")}));
    const QString log = form_->memo1->toPlainText();
    EXPECT_TRUE(log.contains(path(QStringLiteral("p1.xlsx")) + QStringLiteral(" 출력완료!")));
    EXPECT_FALSE(log.contains(path(QStringLiteral("p2.xlsx"))));
    EXPECT_TRUE(log.contains(path(QStringLiteral("p3.xlsx")) + QStringLiteral(" 출력완료!")));
    EXPECT_EQ(form_->spreadsheetApp.ResultApp, nullptr);

    // From the consolidation list nothing is logged; a missing entry is reported and skipped.
    consolidate(three);
    ASSERT_TRUE(QFile::remove(path(QStringLiteral("p1.xlsx"))));
    select(*form_->ListBox1, three);
    dialogs_.clearRecords();
    printer->printed.clear();
    form_->memo1->clear();
    dialogs_.answerConfirm(true);
    form_->a_sheetprint1->trigger();
    sheet::setEmbeddedEnvironment({});

    EXPECT_EQ(printer->printed, std::vector<std::string>{"p3.xlsx"});
    const QString missing = QStringLiteral("] 시트가 없거나 파일이 존재하지 않습니다");
    EXPECT_EQ(dialogs_.texts(),
              QStringList({QStringLiteral("선택한 엑셀파일의 [현황] 시트를 출력할까요?"),
                           QStringLiteral("p1.xlsx에는 [현황") + missing,
                           QStringLiteral("p2.xlsx에는 [현황") + missing}));
    EXPECT_TRUE(form_->memo1->toPlainText().isEmpty());
}
