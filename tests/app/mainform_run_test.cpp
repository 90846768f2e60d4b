// The run button, the log and the clear-log button on the real window (offscreen), with
// scripted dialogs and real workbooks in a temporary data folder.
#include "app/mainform.h"
#include "engine/engine_messages.h"
#include "engine/text_codec.h"
#include "sheet/model.h"
#include "sheet/workbook_io.h"
#include "support/scripted_dialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

namespace msg = engine::msg;
using testsupport::ScriptedDialogs;

// Records whether the run and check buttons were enabled when the save dialog came up.
class WatchingDialogs : public ScriptedDialogs {
public:
    Tf_mainform* form = nullptr;
    std::vector<std::pair<bool, bool>> buttonsAtSave;

    std::optional<QString> saveFile(const app::FileDialogOptions& options) override {
        if (form)
            buttonsAtSave.emplace_back(form->SpeedButton15->isEnabled(),
                                       form->SpeedButton17->isEnabled());
        return ScriptedDialogs::saveFile(options);
    }
};

void writeForm(const QString& path, int number) {
    sheet::Workbook book;
    auto sheet = std::make_unique<sheet::Worksheet>("자료");
    sheet->cellAt(1, 1).value = sheet::CellValue::Text("제목");
    sheet->merges.push_back({1, 1, 1, 4});
    for (long r = 3; r <= 4; ++r)
        for (long c = 1; c <= 4; ++c)
            sheet->cellAt(r, c).value = sheet::CellValue::Number(number * 100 + r * 10 + c);
    book.sheets.push_back(std::move(sheet));
    sheet::writeWorkbook(book, path.toStdString());
}

class MainformRun : public ::testing::Test {
protected:
    void SetUp() override {
        dataFolder = dir.filePath(QStringLiteral("자료"));
        QDir().mkpath(dataFolder + QStringLiteral("/Result"));
        for (int n = 1; n <= 3; ++n)
            writeForm(dataFolder + QStringLiteral("/%1.xlsx").arg(n), n);
        form = std::make_unique<Tf_mainform>(dialogs);
        dialogs.form = form.get();
        form->currentLogFile = dir.filePath(QStringLiteral("project.log"));
        form->e_datafolder->setText(dataFolder);
        form->e_sheet->setText(QStringLiteral("자료"));
        form->rg_sheet->setItemIndex(0);
        form->e_title->setText(QStringLiteral("A1:D2"));
        form->e_range->setText(QStringLiteral("A3:D4"));
        form->e_comrange->setText(QString());
    }

    void listAll() {
        for (int n = 1; n <= 3; ++n)
            form->ListBox1->addItem(QStringLiteral("%1.xlsx").arg(n));
    }
    QStringList memoLines() const {
        return form->memo1->toPlainText().split(u'\n', Qt::SkipEmptyParts);
    }
    QStringList resultFiles() const {
        return QDir(dataFolder + QStringLiteral("/Result")).entryList(QDir::Files);
    }

    QTemporaryDir dir;
    QString dataFolder;
    WatchingDialogs dialogs;
    std::unique_ptr<Tf_mainform> form;
};

TEST_F(MainformRun, EmptyListIsRefusedWithoutRefreshing) {
    form->SpeedButton15Click();
    EXPECT_EQ(dialogs.texts(), QStringList{msg::kRunEmptyList});
    EXPECT_EQ(form->FileListBox1->count(), 0);
}

TEST_F(MainformRun, AnsweringNoStartsNothingButRefreshesTheFolderList) {
    listAll();
    form->Gauge1->setValue(40);
    form->Label13->setText(QStringLiteral("2/5"));
    dialogs.answerConfirm(false);
    form->SpeedButton15Click();
    EXPECT_EQ(dialogs.texts(), QStringList{msg::kConfirmRun});
    EXPECT_EQ(form->Gauge1->value(), 0);
    EXPECT_EQ(form->Label13->text(), QString());
    EXPECT_TRUE(form->memo1->toPlainText().isEmpty());
    EXPECT_EQ(form->FileListBox1->count(), 3);
}

TEST_F(MainformRun, RunWritesTheLogSavesAndShowsProgress) {
    listAll();
    dialogs.answerConfirm(true);
    dialogs.answerFile(std::nullopt);
    form->SpeedButton15Click();

    const QStringList memo = memoLines();
    ASSERT_FALSE(memo.isEmpty());
    EXPECT_TRUE(memo.first().endsWith(u' ' + msg::kStartLine));
    EXPECT_EQ(memo.first().indexOf(u' '), 10); // "yyyy-mm-dd hh:mm:ss text"
    EXPECT_TRUE(memo.last().endsWith(msg::kClosingLine));
    EXPECT_EQ(memo.filter(msg::kDoneNoSum).size(), 1);
    const std::optional<QStringList> file = engine::text_codec::readLines(form->currentLogFile);
    ASSERT_TRUE(file);
    EXPECT_EQ(*file, memo);

    EXPECT_EQ(resultFiles().size(), 1);
    EXPECT_EQ(form->Gauge1->value(), 100);
    EXPECT_EQ(form->Label13->text(), QStringLiteral("3/3"));
    ASSERT_EQ(dialogs.fileRequests().size(), 1);
    const app::FileDialogOptions& options = dialogs.fileRequests().front().options;
    EXPECT_EQ(options.title, msg::kSaveDialogTitle);
    EXPECT_EQ(QDir::fromNativeSeparators(options.folder), dataFolder + QStringLiteral("/Result"));
    EXPECT_EQ(options.defaultSuffix, QStringLiteral("xlsx"));
    // Busy while the run works, free again afterwards.
    ASSERT_EQ(dialogs.buttonsAtSave.size(), 1u);
    EXPECT_EQ(dialogs.buttonsAtSave.front(), std::make_pair(false, false));
    EXPECT_TRUE(form->SpeedButton15->isEnabled());
    EXPECT_TRUE(form->SpeedButton17->isEnabled());
    EXPECT_TRUE(form->spreadsheetApp.ResultApp);
    EXPECT_EQ(form->FileListBox1->count(), 3);
}

TEST_F(MainformRun, RunButtonDispatchesByMethod) {
    listAll();
    form->rg_sheet->setItemIndex(1);
    form->e_range->setText(QStringLiteral("A3:ALL"));
    dialogs.answerConfirm(true);
    dialogs.answerFile(std::nullopt);
    form->SpeedButton15Click();
    // Method B always ends with the plain completion line; method A would name the missing sums.
    EXPECT_EQ(memoLines().filter(msg::kDoneSave).size(), 1);
    EXPECT_EQ(memoLines().filter(msg::kDoneNoSum).size(), 0);
    EXPECT_EQ(resultFiles().size(), 1);
}

TEST_F(MainformRun, MissingLogFileIsCreated) {
    form->currentLogFile = dir.filePath(QStringLiteral("새.log"));
    form->flogsave(QStringLiteral("한 줄"));
    const std::optional<QStringList> file = engine::text_codec::readLines(form->currentLogFile);
    ASSERT_TRUE(file);
    ASSERT_EQ(file->size(), 1);
    EXPECT_TRUE(file->first().endsWith(QStringLiteral(" 한 줄")));
    EXPECT_TRUE(dialogs.texts().isEmpty());
}

TEST_F(MainformRun, UnwritableLogFileIsReportedOncePerRunAndTheRunGoesOn) {
    form->currentLogFile = dir.filePath(QStringLiteral("없는폴더/project.log"));
    listAll();
    for (int run = 1; run <= 2; ++run) {
        dialogs.answerConfirm(true);
        dialogs.answerFile(std::nullopt);
        form->SpeedButton15Click();
    }
    int logMessages = 0;
    for (const QString& text : dialogs.texts())
        logMessages += text.contains(form->currentLogFile) ? 1 : 0;
    EXPECT_EQ(logMessages, 2);
    EXPECT_EQ(memoLines().filter(msg::kClosingLine).size(), 2);
    EXPECT_EQ(resultFiles().size(), 2);
}

TEST_F(MainformRun, ClearLogAsksOnlyWithLinesAndKeepsTheFileOnCancel) {
    form->SpeedButton21Click();
    EXPECT_TRUE(dialogs.texts().isEmpty());

    form->flogsave(QStringLiteral("첫 줄"));
    dialogs.answerOkCancel(false);
    form->SpeedButton21Click();
    EXPECT_EQ(dialogs.texts(), QStringList{form->currentLogFile + msg::kClearLogQuestion});
    EXPECT_EQ(dialogs.shown().back().caption, msg::kClearLogCaption);
    EXPECT_TRUE(form->memo1->toPlainText().isEmpty());
    EXPECT_EQ(QFileInfo(form->currentLogFile).size() > 0, true);

    form->flogsave(QStringLiteral("둘째 줄"));
    dialogs.answerOkCancel(true);
    form->SpeedButton21Click();
    EXPECT_TRUE(form->memo1->toPlainText().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(form->currentLogFile));
    EXPECT_EQ(QFileInfo(form->currentLogFile).size(), 0);
}

} // namespace
