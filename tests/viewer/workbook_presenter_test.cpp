#include "support/scripted_dialogs.h"
#include "viewer/workbook_presenter.h"
#include "viewer/workbook_window.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Installs a presenter for one test and puts the component's settings back afterwards.
struct PresenterFixture {
    testsupport::ScriptedDialogs dialogs;
    std::shared_ptr<viewer::WorkbookPresenter> presenter =
        std::make_shared<viewer::WorkbookPresenter>(dialogs);
    sheet::EmbeddedEnvironment saved = sheet::embeddedEnvironment();
    QTemporaryDir dir;

    PresenterFixture() { sheet::setEmbeddedEnvironment({presenter, nullptr}); }
    ~PresenterFixture() { sheet::setEmbeddedEnvironment(saved); }

    std::shared_ptr<sheet::EmbeddedApplication> instanceWithWorkbook() {
        auto app = sheet::createEmbeddedApplication();
        app->SetDisplayAlerts(false);
        app->Workbooks().Add();
        app->Range("A1")->SetValue(std::string("취합 결과"));
        return app;
    }
};

TEST(WorkbookPresenterTest, VisibleInstanceShowsItsActiveWorkbookAndFollowsIt) {
    PresenterFixture f;
    auto app = f.instanceWithWorkbook();
    EXPECT_EQ(f.presenter->windowOf(*app), nullptr); // hidden instances get no window

    app->SetVisible(true);
    viewer::WorkbookWindow* window = f.presenter->windowOf(*app);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->workbook(), &app->workbookModel(0));
    EXPECT_EQ(window->sheetCount(), 1);
    EXPECT_FALSE(window->openButton()->isEnabled());

    // A new sheet gets its tab at once, before anything could paint a stale one.
    auto first = app->Worksheets(1);
    first->Copy(*first);
    EXPECT_EQ(window->sheetCount(), 2);

    // Saved: the caption names the file and the desktop may open it.
    const QString path = f.dir.filePath("결과.xlsx");
    app->ActiveWorkbook()->SaveAs(path.toStdString());
    EXPECT_EQ(QFileInfo(window->path()), QFileInfo(path));
    ASSERT_TRUE(window->openButton()->isEnabled());
    window->openButton()->click();
    ASSERT_EQ(f.dialogs.openedUrls().size(), 1);
    EXPECT_EQ(QFileInfo(QUrl(f.dialogs.openedUrls().front()).toLocalFile()), QFileInfo(path));

    app->SetVisible(false);
    EXPECT_FALSE(window->isVisible());

    // With unsaved work, closing the window turns the instance invisible, so that
    // Visible = true shows it again.
    app->Range("A2")->SetValue(1.0);
    app->SetVisible(true);
    window->close();
    EXPECT_FALSE(app->Visible());
    app->SetVisible(true);
    EXPECT_TRUE(window->isVisible());
    app->Quit();
    EXPECT_EQ(f.presenter->windowOf(*app), nullptr);
}

TEST(WorkbookPresenterTest, ClosingTheWindowOfSavedWorkQuitsTheInstance) {
    PresenterFixture f;
    auto app = f.instanceWithWorkbook();
    app->ActiveWorkbook()->SaveAs(f.dir.filePath("결과.xlsx").toStdString());
    app->SetVisible(true);
    viewer::WorkbookWindow* window = f.presenter->windowOf(*app);
    ASSERT_NE(window, nullptr);
    window->close();
    // Nothing could be lost, so the instance went with its window and holds no workbook.
    EXPECT_TRUE(app->hasQuit());
    EXPECT_EQ(app->workbookCount(), 0);
    EXPECT_EQ(f.presenter->windowOf(*app), nullptr);
    EXPECT_TRUE(f.dialogs.texts().isEmpty());
}

TEST(WorkbookPresenterTest, QuitWithAlertsOnAsksAboutUnsavedWorkbooks) {
    PresenterFixture f;
    const QString path = f.dir.filePath("저장안한결과.xlsx");

    auto asked = f.instanceWithWorkbook();
    asked->SetVisible(true);
    asked->SetDisplayAlerts(true);
    f.dialogs.answerConfirm(true);
    f.dialogs.answerFile(path);
    asked->Quit();
    EXPECT_EQ(f.dialogs.texts(), QStringList{"'새 통합문서'의 변경 내용을 저장할까요?"});
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(f.presenter->windowOf(*asked), nullptr);

    // Declined: nothing is written.
    f.dialogs.clearRecords();
    const QString declinedPath = f.dir.filePath("거절.xlsx");
    auto declined = f.instanceWithWorkbook();
    declined->SetDisplayAlerts(true);
    f.dialogs.answerConfirm(false);
    declined->Quit();
    EXPECT_EQ(f.dialogs.texts().size(), 1);
    EXPECT_FALSE(QFileInfo::exists(declinedPath));

    // Alerts off, as a run quits its instances: no question at all.
    f.dialogs.clearRecords();
    auto silent = f.instanceWithWorkbook();
    silent->Quit();
    EXPECT_TRUE(f.dialogs.texts().isEmpty());
    EXPECT_TRUE(f.dialogs.allAnswersUsed());
}

TEST(WorkbookPresenterTest, ReleasedInstanceLeavesItsWindowOnACopy) {
    PresenterFixture f;
    auto app = f.instanceWithWorkbook();
    app->SetVisible(true);
    QPointer<viewer::WorkbookWindow> window = f.presenter->windowOf(*app);
    ASSERT_TRUE(window);

    app.reset(); // the slot was given another instance, without Quit
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isVisible());
    ASSERT_EQ(f.presenter->releasedWindows().size(), 1u);
    ASSERT_NE(window->workbook(), nullptr);
    const sheet::Cell* title = window->workbook()->sheets[0]->cell(1, 1);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->value.text, "취합 결과");

    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(window);
    EXPECT_TRUE(f.presenter->releasedWindows().empty());
}

// Drives instances on a thread of their own, as a run does, while this thread's loop runs.
void onRunThread(const std::function<void()>& work) {
    QThread* worker = QThread::create(work);
    QEventLoop loop;
    QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec();
    worker->wait();
    delete worker;
}

TEST(WorkbookPresenterRunThread, WindowShowsACopyUntilTheRunHandsTheInstanceBack) {
    PresenterFixture f;
    std::shared_ptr<sheet::EmbeddedApplication> app;
    onRunThread([&] {
        app = f.instanceWithWorkbook();
        app->SetVisible(true);
        for (long row = 2; row <= 3000; ++row)
            app->Cells(row, 1)->SetValue(static_cast<double>(row));
    });
    viewer::WorkbookWindow* window = f.presenter->windowOf(*app);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(f.presenter->showsCopy(*app));
    ASSERT_NE(window->workbook(), nullptr);
    EXPECT_NE(window->workbook(), &app->workbookModel(0));
    EXPECT_EQ(window->workbook()->sheets[0]->cell(1, 1)->value.text, "취합 결과");

    f.presenter->handBack();
    EXPECT_FALSE(f.presenter->showsCopy(*app));
    EXPECT_EQ(window->workbook(), &app->workbookModel(0));
    EXPECT_EQ(window->workbook()->sheets[0]->lastRow(), 3000);
    app->Quit();
}

TEST(WorkbookPresenterRunThread, WindowClosedDuringTheRunIsClosedForTheInstanceAfterIt) {
    PresenterFixture f;
    std::shared_ptr<sheet::EmbeddedApplication> app;
    bool visibleAfterClose = false;
    onRunThread([&] {
        app = f.instanceWithWorkbook();
        app->SetVisible(true);
        QMetaObject::invokeMethod(
            f.presenter.get(), [&] { f.presenter->windowOf(*app)->close(); },
            Qt::BlockingQueuedConnection);
        // The window's thread kept its hands off the instance the run is using.
        visibleAfterClose = app->Visible();
        app->Range("A2")->SetValue(2.0);
    });
    EXPECT_TRUE(visibleAfterClose);
    f.presenter->handBack();
    // Unsaved work: the instance is hidden, not quit.
    EXPECT_FALSE(app->hasQuit());
    EXPECT_FALSE(app->Visible());
    app->Quit();
}

TEST(WorkbookPresenterRunThread, QuitAndReleaseFromTheRunCloseOrKeepTheirWindows) {
    PresenterFixture f;
    std::shared_ptr<sheet::EmbeddedApplication> quitting;
    std::shared_ptr<sheet::EmbeddedApplication> released;
    QPointer<viewer::WorkbookWindow> releasedWindow;
    onRunThread([&] {
        quitting = f.instanceWithWorkbook();
        quitting->SetVisible(true);
        released = f.instanceWithWorkbook();
        released->SetVisible(true);
        QMetaObject::invokeMethod(
            f.presenter.get(), [&] { releasedWindow = f.presenter->windowOf(*released); },
            Qt::BlockingQueuedConnection);
        quitting->Quit();
        released.reset();
    });
    EXPECT_EQ(f.presenter->windowOf(*quitting), nullptr);
    ASSERT_TRUE(releasedWindow);
    EXPECT_TRUE(releasedWindow->isVisible());
    ASSERT_NE(releasedWindow->workbook(), nullptr);
    EXPECT_EQ(releasedWindow->workbook()->sheets[0]->cell(1, 1)->value.text, "취합 결과");
    f.presenter->handBack();
    releasedWindow->close();
}

TEST(WorkbookPresenterRunThread, WindowOfAnEarlierResultClosedDuringARunWaitsForItsEnd) {
    PresenterFixture f;
    auto earlier = f.instanceWithWorkbook();
    earlier->ActiveWorkbook()->SaveAs(f.dir.filePath("앞결과.xlsx").toStdString());
    earlier->SetVisible(true);
    f.presenter->lendToRun();
    // The run may be dropping this instance right now: closing its window leaves it alone.
    f.presenter->windowOf(*earlier)->close();
    EXPECT_FALSE(earlier->hasQuit());
    f.presenter->handBack();
    EXPECT_TRUE(earlier->hasQuit());
}

} // namespace
