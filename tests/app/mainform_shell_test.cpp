// The main window's shell on the offscreen platform: its controls, the status bar, hints,
// closing and the release of the spreadsheet instances at the end.
#include "app/about_dialog.h"
#include "app/app_messages.h"
#include "app/korean_font.h"
#include "app/mainform.h"
#include "app/project_page_layout.h"
#include "sheet/embedded_application.h"
#include "support/scripted_dialogs.h"
#include "viewer/window_fit.h"
#include "viewer/workbook_presenter.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QEnterEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

using testsupport::ScriptedDialogs;

class MainformShell : public ::testing::Test {
protected:
    void SetUp() override { form = std::make_unique<Tf_mainform>(dialogs); }

    void hover(QWidget* widget) {
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QCoreApplication::sendEvent(widget, &enter);
    }

    template <typename T> T* child(const char* name) {
        return form->findChild<T*>(QLatin1String(name));
    }

    ScriptedDialogs dialogs;
    std::unique_ptr<Tf_mainform> form;
};

TEST_F(MainformShell, EveryControlExistsUnderItsName) {
    const char* names[] = {
        "Panel7",        "SpeedButton1", "SpeedButton2",  "SpeedButton3",   "PageControl1",
        "TabSheet1",     "TabSheet2",    "SpeedButton4",  "SpeedButton5",   "SpeedButton29",
        "e_project",     "e_datafolder", "SpeedButton16", "rg_sheet",       "e_sheet",
        "e_title",       "e_range",      "e_comrange",    "e_completefile", "SpeedButton26",
        "SpeedButton27", "e_datacount",  "rg_cell",       "e_excelfile",    "e_excelsheet",
        "Panel9",        "FileListBox1", "SpeedButton6",  "SpeedButton7",   "SpeedButton8",
        "SpeedButton9",  "Panel10",      "ListBox1",      "SpeedButton17",  "SpeedButton15",
        "CheckBox1",     "CheckBox2",    "SpeedButton21", "Label13",        "Gauge1",
        "memo1",         "StatusBar1"};
    for (const char* name : names)
        EXPECT_NE(child<QWidget>(name), nullptr) << name;
    for (const char* name : {"a_renew", "a_excel", "a_sheetprint", "a_delete", "a_rename", "a_sort",
                             "a_excel1", "a_sheetprint1", "a_up", "a_down"})
        EXPECT_NE(child<QAction>(name), nullptr) << name;
}

TEST_F(MainformShell, StartsWithTheDesignTimeCaptionsAndStates) {
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tabrinel"));
    // The design size where the screen has room for it; else the free area holds the window.
    const QRect screen = QApplication::primaryScreen()->availableGeometry();
    if (screen.width() >= 1130 + 16 && screen.height() >= 706 + 40)
        EXPECT_EQ(form->size(), QSize(1130, 706));
    else
        EXPECT_TRUE(screen.contains(form->geometry().marginsAdded(viewer::kAssumedFrame)) ||
                    form->size() == form->minimumSizeHint());
    ASSERT_EQ(form->PageControl1->count(), 2);
    EXPECT_EQ(form->PageControl1->tabText(0), QStringLiteral("프로젝트"));
    EXPECT_EQ(form->PageControl1->tabText(1), QStringLiteral("시트취합"));
    EXPECT_EQ(form->PageControl1->currentWidget(), form->TabSheet1);
    EXPECT_TRUE(form->PageControl1->tabBar()->font().bold());
    EXPECT_EQ(form->PageControl1->tabBar()->font().pixelSize(), 16);
    EXPECT_EQ(form->font().pixelSize(), 13);
    // Korean captions must come out as text, not as boxes, and whole in a row of the font's
    // height, as lists and fields give them.
    EXPECT_TRUE(QFontMetrics(form->font()).inFontUcs4(U'한'))
        << QFontInfo(form->font()).family().toStdString();
    EXPECT_TRUE(app::drawsHangulWhole(form->font()))
        << QFontInfo(form->font()).family().toStdString();
    EXPECT_TRUE(app::drawsHangulWhole(form->ListBox1->font()));

    EXPECT_EQ(form->e_title->text(), QStringLiteral("A1:"));
    EXPECT_TRUE(form->e_datafolder->isReadOnly());
    ASSERT_EQ(form->rg_sheet->count(), 5);
    EXPECT_EQ(form->rg_sheet->itemIndex(), 0);
    EXPECT_EQ(form->rg_sheet->button(3)->text(),
              QStringLiteral("D) 자료 추가 없이 합산된 결과만 표시(합산할 범위 반드시 입력)"));
    ASSERT_EQ(form->rg_cell->count(), 2);
    EXPECT_EQ(form->rg_cell->itemIndex(), 0);
    for (QLineEdit* range : {form->e_title, form->e_range, form->e_comrange})
        EXPECT_EQ(range->width(), 191);

    EXPECT_EQ(form->SpeedButton17->text(), QStringLiteral(" 시트검사"));
    EXPECT_EQ(form->SpeedButton15->text(), QStringLiteral(" 프로젝트 실행"));
    EXPECT_EQ(form->SpeedButton21->text(), QStringLiteral("로그 지우기"));
    EXPECT_EQ(form->CheckBox1->text(), QStringLiteral("취합과정 보기"));
    EXPECT_FALSE(form->CheckBox1->isChecked());
    EXPECT_EQ(form->CheckBox2->text(), QStringLiteral("시트검사후 오류파일 자동제외"));
    EXPECT_TRUE(form->CheckBox2->isChecked());
    EXPECT_EQ(form->Panel9->text(), QStringLiteral("Data폴더"));
    EXPECT_EQ(form->Panel10->text(), QStringLiteral("취합할 파일"));
    EXPECT_EQ(form->FileListBox1->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(form->ListBox1->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_TRUE(form->memo1->isReadOnly());
    EXPECT_EQ(form->Gauge1->value(), 0);
    EXPECT_EQ(form->a_renew->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_EQ(form->a_rename->shortcut(), QKeySequence(Qt::Key_F9));
    EXPECT_TRUE(form->actions().contains(form->a_renew)) << "F5 works on either page";

    ASSERT_EQ(form->StatusBar1->count(), 4);
    EXPECT_TRUE(form->StatusBar1->panelText(1).isEmpty());
    EXPECT_FALSE(form->StatusBar1->panelText(2).isEmpty()) << "the clock shows from the start";
}

TEST_F(MainformShell, NeverShownFieldsStayHiddenWhenTheWindowShows) {
    form->show();
    for (QWidget* hidden : std::initializer_list<QWidget*>{form->e_datacount, form->rg_cell,
                                                           form->e_excelfile, form->e_excelsheet})
        EXPECT_FALSE(hidden->isVisible()) << hidden->objectName().toStdString();
    EXPECT_TRUE(form->e_project->isVisible());
}

TEST_F(MainformShell, ProgramFolderEndsInASeparator) {
    EXPECT_TRUE(form->programFolder.endsWith(QDir::separator()));
    EXPECT_EQ(QDir(form->programFolder).absolutePath(),
              QDir(QCoreApplication::applicationDirPath()).absolutePath());
    EXPECT_TRUE(form->currentProjectFile.isEmpty());
    EXPECT_TRUE(form->projectDialogFileName.isEmpty());
}

TEST_F(MainformShell, OuterWidthSetsTheFirstThreePanelsTruncated) {
    form->show();
    const int frame = form->frameGeometry().width() - form->width();
    form->resize(1146 - frame, 706);
    ASSERT_EQ(form->frameGeometry().width(), 1146);
    EXPECT_EQ(form->StatusBar1->panelWidth(0), 802);
    EXPECT_EQ(form->StatusBar1->panelWidth(1), 114);
    EXPECT_EQ(form->StatusBar1->panelWidth(2), 229);
    EXPECT_EQ(form->StatusBar1->panelWidth(3), 50);
    EXPECT_EQ(form->StatusBar1->panel(1)->width(), 114);
}

TEST_F(MainformShell, HoveringShowsTheLongHintOrNothing) {
    EXPECT_EQ(Tf_mainform::longHint(QStringLiteral("짧은|긴 설명")), QStringLiteral("긴 설명"));
    EXPECT_EQ(Tf_mainform::longHint(QStringLiteral("설명")), QStringLiteral("설명"));
    EXPECT_EQ(Tf_mainform::longHint(QString()), QString());

    hover(form->e_project);
    EXPECT_EQ(form->StatusBar1->panelText(0), QStringLiteral("프로젝트명(업무명)을 입력합니다."));
    // The memo's text area is a child of the memo and shows the memo's hint.
    hover(form->memo1->viewport());
    EXPECT_EQ(form->StatusBar1->panelText(0),
              QStringLiteral("취합내역을 표시하고 Log파일에 저장합니다."));
    hover(form->Label13);
    EXPECT_TRUE(form->StatusBar1->panelText(0).isEmpty());

    Tf_mainform::setHint(form->e_sheet, QStringLiteral("시트|시트 이름을 씁니다"));
    EXPECT_EQ(form->e_sheet->toolTip(), QStringLiteral("시트"));
    hover(form->e_sheet);
    EXPECT_EQ(form->StatusBar1->panelText(0), QStringLiteral("시트 이름을 씁니다"));
}

TEST_F(MainformShell, ControlsCarryTheirHints) {
    EXPECT_EQ(form->SpeedButton1->toolTip(),
              QStringLiteral("홈페이지로 접속하여 도움말을 보여줍니다. "));
    EXPECT_EQ(form->SpeedButton3->toolTip(), QStringLiteral("프로그램을 종료합니다."));
    EXPECT_EQ(form->e_datafolder->toolTip(),
              QStringLiteral("왼쪽의 이미지를 클릭하여 취합할 엑셀파일이 있는 폴더를 지정하면 "
                             "여기에 폴더 위치가  표시됩니다."));
    EXPECT_EQ(form->SpeedButton17->toolTip(),
              QStringLiteral("취합할 엑셀파일의 시트가 동일한 이름으로 되어 있는지 검사합니다."));
    EXPECT_EQ(form->a_sort->statusTip(),
              QStringLiteral("파일이름순으로 소트 합니다. 또는 해제합니다."));
}

TEST_F(MainformShell, ClosingAnsweredNoKeepsWindowAndContents) {
    form->show();
    form->e_project->setText(QStringLiteral("학교현황"));
    form->rg_sheet->setItemIndex(2);
    dialogs.answerConfirm(false);
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->e_project->text(), QStringLiteral("학교현황"));
    EXPECT_EQ(form->rg_sheet->itemIndex(), 2);
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown()[0].kind, ScriptedDialogs::Kind::Confirm);
    EXPECT_EQ(dialogs.shown()[0].text, QStringLiteral("프로그램을 종료할까요?"));

    dialogs.answerConfirm(true);
    form->SpeedButton3->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(dialogs.shown().size(), 2);
}

TEST_F(MainformShell, HelpButtonOpensTheHelpPage) {
    form->SpeedButton1->click();
    ASSERT_EQ(dialogs.openedUrls().size(), 1);
    EXPECT_EQ(dialogs.openedUrls()[0], QStringLiteral(TABRINEL_HELP_URL));
    EXPECT_TRUE(dialogs.openedUrls()[0].endsWith(QStringLiteral("/p/blog-page_81.html")));
    // A browser that fails to start shows nothing.
    dialogs.setOpenUrlResult(false);
    form->SpeedButton1->click();
    EXPECT_TRUE(dialogs.shown().isEmpty());
}

TEST_F(MainformShell, AboutWindowShowsVersionAndTheCurrentYear) {
    Tf_about* about = form->f_about;
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(about->isVisible());
    EXPECT_EQ(about->windowTitle(), QStringLiteral("프로그램 정보"));
    EXPECT_EQ(about->size(), QSize(408, 219));
    EXPECT_EQ(about->Version->text(), QStringLiteral("1.2.0.0"));
    EXPECT_EQ(about->OKButton->text(), QStringLiteral("확인"));

    // The modal window closes itself as soon as it shows.
    QMetaObject::invokeMethod(about, &QDialog::accept, Qt::QueuedConnection);
    form->SpeedButton2Click();
    EXPECT_TRUE(about->NoticeLine->text().contains(QString::number(QDate::currentDate().year())));

    QMouseEvent click(QEvent::MouseButtonRelease, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(about->NoticeLine, &click);
    EXPECT_EQ(dialogs.openedUrls(), QStringList{QStringLiteral(TABRINEL_HOME_URL)});
}

TEST(MainformStartup, RefusedVersionCheckLeavesTheWindowUnshown) {
    ScriptedDialogs dialogs;
    QString checkedFolder;
    Tf_mainform form(dialogs, [&](const QString& folder, app::Dialogs&) {
        checkedFolder = folder;
        return false;
    });
    EXPECT_TRUE(form.startupRefused());
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(checkedFolder, form.programFolder) << "the check sees the program folder";

    Tf_mainform accepted(dialogs, [](const QString&, app::Dialogs&) { return true; });
    EXPECT_FALSE(accepted.startupRefused());
}

// An instance that records how it is released.
class RecordingApplication : public sheet::IApplication {
public:
    explicit RecordingApplication(QStringList& calls, QString name, bool failQuit = false)
        : calls_(calls), name_(std::move(name)), failQuit_(failQuit) {}

    bool DisplayAlerts() override { return alerts_; }
    void SetDisplayAlerts(bool on) override {
        alerts_ = on;
        calls_ << name_ + (on ? QStringLiteral(".alerts on") : QStringLiteral(".alerts off"));
    }
    void Quit() override {
        calls_ << name_ + QStringLiteral(".quit");
        if (failQuit_)
            throw sheet::AutomationError("gone");
    }
    bool Visible() override { return true; }
    void SetVisible(bool) override {}
    void SetCutCopyMode(bool) override {}
    sheet::IWorkbooks& Workbooks() override { throw sheet::AutomationError("unused"); }
    sheet::WorkbookPtr ActiveWorkbook() override { return nullptr; }
    sheet::WorksheetPtr ActiveSheet() override { return nullptr; }
    sheet::IWindow& ActiveWindow() override { throw sheet::AutomationError("unused"); }
    sheet::RangePtr Range(const std::string&) override { return nullptr; }
    sheet::RangePtr Cells(long, long) override { return nullptr; }
    sheet::RangePtr Cells() override { return nullptr; }
    sheet::WorksheetPtr Worksheets(int) override { return nullptr; }
    sheet::WorksheetPtr Worksheets(const std::string&) override { return nullptr; }

private:
    QStringList& calls_;
    QString name_;
    bool failQuit_;
    bool alerts_ = false;
};

TEST(MainformEnd, DestroyQuitsResultThenReaderWithAlertsOn) {
    ScriptedDialogs dialogs;
    QStringList calls;
    auto form = std::make_unique<Tf_mainform>(dialogs);
    form->spreadsheetApp.ResultApp = std::make_shared<RecordingApplication>(calls, "result");
    form->spreadsheetApp.ReaderApp =
        std::make_shared<RecordingApplication>(calls, "reader", /*failQuit=*/true);
    std::weak_ptr<sheet::IApplication> reader = form->spreadsheetApp.ReaderApp;

    form->FormDestroy();
    EXPECT_EQ(calls,
              (QStringList{"result.alerts on", "result.quit", "reader.alerts on", "reader.quit"}));
    EXPECT_EQ(form->spreadsheetApp.ResultApp, nullptr);
    EXPECT_TRUE(reader.expired()) << "a failing Quit still releases the instance";

    // Nothing left to release: the destructor's own FormDestroy does nothing more.
    form.reset();
    EXPECT_EQ(calls.size(), 4);
}

// A result left open by a run (unsaved, alerts on) and a workbook opened for viewing must not
// keep the program alive, nor ask anything, once the user has confirmed the exit.
TEST(MainformEnd, ConfirmedExitClosesWorkbookWindowsAndReleasesEveryInstance) {
    ScriptedDialogs dialogs;
    const sheet::EmbeddedEnvironment saved = sheet::embeddedEnvironment();
    auto presenter = std::make_shared<viewer::WorkbookPresenter>(dialogs);
    sheet::setEmbeddedEnvironment({presenter, nullptr});
    QTemporaryDir dir;
    const QString viewedPath = dir.filePath(QStringLiteral("보기.xlsx"));
    {
        auto writer = sheet::createEmbeddedApplication();
        writer->Workbooks().Add();
        writer->ActiveWorkbook()->SaveAs(viewedPath.toStdString());
        writer->Quit();
    }
    {
        Tf_mainform form(dialogs);
        form.show();
        form.Excelexecute(viewedPath);
        auto viewed =
            std::dynamic_pointer_cast<sheet::EmbeddedApplication>(form.spreadsheetApp.ResultApp);
        ASSERT_NE(viewed, nullptr);
        auto result = sheet::createEmbeddedApplication();
        result->Workbooks().Add();
        result->Range("A1")->SetValue(1.0);
        result->SetVisible(true);
        result->SetDisplayAlerts(true);
        form.spreadsheetApp.ResultApp = result;
        ASSERT_NE(presenter->windowOf(*result), nullptr);
        ASSERT_NE(presenter->windowOf(*viewed), nullptr);

        dialogs.answerConfirm(true);
        EXPECT_TRUE(form.close());
        EXPECT_EQ(dialogs.texts(), QStringList{app::msg::kConfirmExit});
        EXPECT_TRUE(result->hasQuit());
        EXPECT_TRUE(viewed->hasQuit());
        EXPECT_EQ(form.spreadsheetApp.ResultApp, nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (QWidget* widget : QApplication::topLevelWidgets())
            EXPECT_FALSE(widget->isVisible()) << widget->metaObject()->className();
    }
    EXPECT_EQ(dialogs.texts(), QStringList{app::msg::kConfirmExit});
    sheet::setEmbeddedEnvironment(saved);
}

} // namespace

namespace {

TEST(RadioGroupItems, ReportsOnlyAChangeOfTheSelectedItem) {
    app::RadioGroup group({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    QList<int> reported;
    QObject::connect(&group, &app::RadioGroup::itemIndexChanged,
                     [&](int index) { reported << index; });
    EXPECT_EQ(group.itemIndex(), -1);
    group.setItemIndex(1);
    group.setItemIndex(1);
    group.button(2)->click();
    group.button(2)->click();
    EXPECT_EQ(reported, (QList<int>{1, 2}));
    EXPECT_EQ(group.itemIndex(), 2);

    group.setItemIndex(-1);
    EXPECT_EQ(group.itemIndex(), -1);
    group.setItemIndex(7);
    EXPECT_EQ(group.itemIndex(), -1) << "an index outside the items selects none";
    group.setItemIndex(0);
    EXPECT_FALSE(group.button(2)->isChecked());
    EXPECT_EQ(reported, (QList<int>{1, 2, -1, 0}));
}

// Scaled screens in logical pixels, less a task bar of 40 physical pixels.
QRect scaledScreen(int width, int height, double scale) {
    return QRect(0, 0, static_cast<int>(width / scale), static_cast<int>((height - 40) / scale));
}

TEST(WindowFit, OpensAtTheDesignSizeOrShrinksIntoTheScreen) {
    const QSize design(1130, 706);
    const QSize minimum(700, 400);
    // Room enough: the design size, centred.
    const QRect large = viewer::fittedClientGeometry(design, minimum, QRect(0, 0, 1920, 1040));
    EXPECT_EQ(large.size(), design);
    const QRect outer = large.marginsAdded(viewer::kAssumedFrame);
    EXPECT_EQ(outer.left(), 1920 - 1 - outer.right());
    // 1366 x 768 at 100 %, 125 %, 150 % and 200 %, 1920 x 1080 at 150 % and 200 %: the window
    // and its decorations stay inside the free area.
    for (const QRect& screen : {scaledScreen(1366, 768, 1.0), scaledScreen(1366, 768, 1.25),
                                scaledScreen(1366, 768, 1.5), scaledScreen(1366, 768, 2.0),
                                scaledScreen(1920, 1080, 1.5), scaledScreen(1920, 1080, 2.0)}) {
        const QRect client = viewer::fittedClientGeometry(
            design, minimum.boundedTo(screen.size() - QSize(16, 40)), screen);
        EXPECT_TRUE(screen.contains(client.marginsAdded(viewer::kAssumedFrame)))
            << screen.width() << "x" << screen.height();
    }
    // Never below the window's minimum: the top left stays on the screen.
    const QRect tiny = viewer::fittedClientGeometry(design, minimum, QRect(100, 50, 600, 300));
    EXPECT_EQ(tiny.size(), minimum);
    EXPECT_EQ(tiny.topLeft(),
              QPoint(100 + viewer::kAssumedFrame.left(), 50 + viewer::kAssumedFrame.top()));
}

TEST_F(MainformShell, WindowShrinksToAScreenAtTwiceTheScaleAndThePagesScroll) {
    // 1920 x 1080 at 200 %, and 1366 x 768 at 125 %, with their task bars and decorations.
    const QSize room = scaledScreen(1920, 1080, 2.0).size() - QSize(16, 40);
    const QSize minimum = form->minimumSizeHint();
    EXPECT_LE(minimum.width(), room.width());
    EXPECT_LE(minimum.height(), room.height());
    form->resize(room);
    form->show();
    // The project page keeps its fields whole and scrolls them.
    auto* scroll = form->findChild<QScrollArea*>(QStringLiteral("ProjectScroll"));
    ASSERT_NE(scroll, nullptr);
    EXPECT_GE(scroll->widget()->width(), app::ProjectPageLayout::kMinimumPageWidth);
    EXPECT_GE(form->e_project->geometry().right(), app::ProjectPageLayout::kDesignRight - 1);
    EXPECT_TRUE(scroll->verticalScrollBar()->maximum() > 0 ||
                scroll->horizontalScrollBar()->maximum() > 0);
}

TEST_F(MainformShell, ProjectFieldsFollowTheWindowWidth) {
    form->show();
    // At the design size, where the form puts them.
    form->resize(1130, 706);
    QCoreApplication::processEvents();
    EXPECT_EQ(form->e_project->geometry(), QRect(290, 60, 615, 21));
    EXPECT_EQ(form->e_datafolder->geometry(), QRect(316, 84, 905 - 316, 21));
    EXPECT_EQ(form->e_completefile->geometry(), QRect(316, 408, 554, 21));
    EXPECT_EQ(form->SpeedButton27->x(), 873);

    // Wider: the long fields grow with the window, the open button moves along.
    form->resize(1330, 706);
    QCoreApplication::processEvents();
    const int project = form->e_project->width();
    const int completeFile = form->e_completefile->width();
    const int openButton = form->SpeedButton27->x();
    EXPECT_GT(project, 615);
    form->resize(1530, 706);
    QCoreApplication::processEvents();
    EXPECT_EQ(form->e_project->width(), project + 200);
    EXPECT_EQ(form->rg_sheet->width(), project + 200);
    EXPECT_EQ(form->e_completefile->width(), completeFile + 200);
    EXPECT_EQ(form->SpeedButton27->x(), openButton + 200);
    // The range fields keep the widths their method gives them.
    EXPECT_EQ(form->e_title->width(), 191);
}

TEST_F(MainformShell, ProgressLabelHoldsAThousandOfAThousand) {
    form->resize(1130, 706);
    form->show();
    form->Label13->setText(QStringLiteral("1000/1000"));
    QCoreApplication::processEvents();
    EXPECT_GE(form->Label13->contentsRect().width(),
              form->Label13->fontMetrics().horizontalAdvance(QStringLiteral("1000/1000")));
}

} // namespace
