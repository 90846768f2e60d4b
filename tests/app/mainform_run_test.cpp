// The run button, the log and the clear-log button on the real window (offscreen), with
// scripted dialogs and real workbooks in a temporary data folder.
#include "app/app_messages.h"
#include "app/mainform.h"
#include "engine/engine_messages.h"
#include "engine/text_codec.h"
#include "sheet/model.h"
#include "sheet/workbook_io.h"
#include "support/scripted_dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
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
    std::function<void()> onSave; // what the user does while the save dialog is up

    std::optional<QString> saveFile(const app::FileDialogOptions& options) override {
        if (form)
            buttonsAtSave.emplace_back(form->SpeedButton15->isEnabled(),
                                       form->SpeedButton17->isEnabled());
        if (onSave)
            onSave();
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

// Five workbooks, for the run on its own thread: the window lives on while it works, and the
// stop button, the save step and closing the window stop it cleanly.
class MainformLongRun : public MainformRun {
protected:
    void SetUp() override {
        MainformRun::SetUp();
        for (int n = 4; n <= 5; ++n)
            writeForm(dataFolder + QStringLiteral("/%1.xlsx").arg(n), n);
        for (int n = 1; n <= 5; ++n)
            form->ListBox1->addItem(QStringLiteral("%1.xlsx").arg(n));
        dialogs.answerConfirm(true);
    }

    // The user acts when the gauge shows the second of five workbooks done.
    void atSecondOfFive(std::function<void()> act) {
        QObject::connect(form->Gauge1, &QProgressBar::valueChanged, form.get(),
                         [act = std::move(act)](int value) {
                             if (value == 40)
                                 act();
                         });
    }

    QString fileLine(int n) const {
        return QDir::toNativeSeparators(dataFolder + QStringLiteral("/%1.xlsx").arg(n)) +
               msg::kFileWorking;
    }
    // The texts of the memo's last lines, without their time stamps.
    QStringList lastTexts(int count) const {
        QStringList texts;
        for (const QString& line : memoLines().mid(memoLines().size() - count))
            texts << line.mid(20);
        return texts;
    }
    QStringList dataFolderFiles() const {
        return QDir(dataFolder).entryList(QDir::Files, QDir::Name);
    }
};

TEST_F(MainformLongRun, StopAfterTheSecondOfFiveCancelsAndLeavesNothing) {
    EXPECT_FALSE(form->StopButton->isEnabled());
    bool stopEnabledDuringRun = false;
    atSecondOfFive([&] {
        stopEnabledDuringRun = form->StopButton->isEnabled();
        form->StopButton->click();
    });
    form->SpeedButton15Click();

    EXPECT_TRUE(stopEnabledDuringRun);
    EXPECT_EQ(lastTexts(4),
              (QStringList{fileLine(2), msg::kStoppedByUser, msg::kA00E07, msg::kClosingLine}));
    EXPECT_EQ(memoLines().filter(msg::kStoppedByUser).size(), 1);
    EXPECT_EQ(form->Label13->text(), QStringLiteral("2/5"));
    EXPECT_TRUE(dialogs.fileRequests().empty());
    EXPECT_TRUE(resultFiles().isEmpty());
    EXPECT_EQ(dataFolderFiles().size(), 5);
    EXPECT_FALSE(form->spreadsheetApp.ResultApp);
    EXPECT_FALSE(form->spreadsheetApp.ReaderApp);
    // Ready for the next run.
    EXPECT_FALSE(form->StopButton->isEnabled());
    EXPECT_TRUE(form->SpeedButton15->isEnabled());
    EXPECT_FALSE(form->e_title->isReadOnly());
    EXPECT_TRUE(form->a_renew->isEnabled());
}

TEST_F(MainformLongRun, WindowKeepsDrawingAndCountingTimeWhileTheRunWorks) {
    {
        // The page with the log, shown without the checks of entering it.
        const QSignalBlocker quiet(form->PageControl1);
        form->PageControl1->setCurrentWidget(form->TabSheet2);
    }
    form->show();
    int ticksDuringRun = 0;
    QTimer timer;
    timer.setInterval(1);
    QObject::connect(&timer, &QTimer::timeout, [&] { ticksDuringRun += form->engineRunning; });
    timer.start();
    struct PaintCounter : QObject {
        Tf_mainform* form = nullptr;
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            paints += event->type() == QEvent::Paint && form->engineRunning;
            return false;
        }
    } counter;
    counter.form = form.get();
    form->memo1->viewport()->installEventFilter(&counter);
    // Editing is locked while the run works; looking is not.
    bool editsLocked = false;
    atSecondOfFive([&] {
        editsLocked = form->e_title->isReadOnly() && !form->SpeedButton29->isEnabled() &&
                      !form->a_delete->isEnabled() && form->e_comrange->isEnabled();
    });
    dialogs.answerFile(std::nullopt);
    form->SpeedButton15Click();

    EXPECT_GT(ticksDuringRun, 0);
    EXPECT_GT(counter.paints, 0);
    EXPECT_TRUE(editsLocked);
    EXPECT_EQ(resultFiles().size(), 1);
    EXPECT_EQ(form->Label13->text(), QStringLiteral("5/5"));
}

TEST_F(MainformLongRun, StopDuringTheSaveStepLeavesOneWholeFile) {
    const QString chosen = dataFolder + QStringLiteral("/Result/모음.xlsx");
    dialogs.onSave = [this] { form->StopButton->click(); };
    dialogs.answerFile(chosen);
    form->SpeedButton15Click();

    EXPECT_EQ(lastTexts(2), (QStringList{msg::kStopDuringSave, msg::kClosingLine}));
    EXPECT_EQ(resultFiles(), QStringList{QStringLiteral("모음.xlsx")});
    const std::unique_ptr<sheet::Workbook> result = sheet::readWorkbook(chosen.toStdString());
    ASSERT_TRUE(result);
    // Title rows 1-2, then five blocks of two rows: the last block's last cell.
    const sheet::Cell* last = result->sheets.front()->cell(12, 4);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->value.number, 5 * 100 + 4 * 10 + 4);
}

TEST_F(MainformLongRun, ClosingTheWindowDuringARunAsksToStopAndClosesAfterIt) {
    form->show();
    atSecondOfFive([this] {
        dialogs.answerConfirm(true);
        form->close();
        // Asked once; the window waits for the run.
        EXPECT_TRUE(form->isVisible());
    });
    form->SpeedButton15Click();
    QCoreApplication::processEvents();

    EXPECT_TRUE(dialogs.texts().contains(app::msg::kConfirmStopForExit));
    EXPECT_FALSE(dialogs.texts().contains(app::msg::kConfirmExit));
    EXPECT_EQ(lastTexts(3), (QStringList{msg::kStoppedByUser, msg::kA00E07, msg::kClosingLine}));
    EXPECT_TRUE(resultFiles().isEmpty());
    EXPECT_FALSE(form->isVisible());
}

TEST_F(MainformLongRun, DecliningToStopKeepsTheRunAndTheWindow) {
    form->show();
    atSecondOfFive([this] {
        dialogs.answerConfirm(false);
        form->close();
    });
    dialogs.answerFile(std::nullopt);
    form->SpeedButton15Click();
    QCoreApplication::processEvents();

    EXPECT_EQ(resultFiles().size(), 1);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(memoLines().filter(msg::kStoppedByUser).isEmpty());
}

} // namespace
