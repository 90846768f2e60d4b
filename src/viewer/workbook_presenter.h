// Shows the workbooks of the embedded component's instances: one read-only WorkbookWindow per
// instance, opened when the instance becomes visible, repainted while it changes, closed when
// it quits. An instance released without quitting leaves its window open on a copy, as a
// spreadsheet application left running keeps its window. Closing the window of an instance
// whose workbooks are all saved quits it and gives its memory back; with unsaved work it only
// hides, so that Visible = true shows it again.
//
// A run drives its instances from its own thread. What they report from there is handled on
// the window's thread while the run waits, so nothing reads a workbook the run is changing;
// their windows then show a copy taken at that moment (refreshed at a pace that keeps the
// copying a small share of the run's time) until handBack() says the run thread has ended.
#pragma once

#include "sheet/embedded_application.h"
#include "sheet/model.h"
#include "viewer/viewer_dialogs.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace viewer {

class WorkbookWindow;

class WorkbookPresenter : public QObject, public sheet::ApplicationObserver {
    Q_OBJECT
public:
    explicit WorkbookPresenter(ViewerDialogs& dialogs);
    ~WorkbookPresenter() override;

    void visibleChanged(sheet::EmbeddedApplication& app, bool visible) override;
    void contentChanged(sheet::EmbeddedApplication& app) override;
    void quitting(sheet::EmbeddedApplication& app) override;
    void released(sheet::EmbeddedApplication& app) override;

    // The window of a live instance, or null when it has none.
    WorkbookWindow* windowOf(const sheet::EmbeddedApplication& app) const;
    // Windows still open on the copies of released instances.
    std::vector<WorkbookWindow*> releasedWindows() const;
    // Closes every window; at program end, before the widgets go.
    void closeAll();
    // A run thread is about to start: until handBack(), a window the user closes is closed
    // for its instance only then, since the run may be dropping that instance meanwhile.
    void lendToRun();
    // The threads that drove instances have ended: their windows show the workbooks themselves
    // again, and a window the user closed meanwhile is closed for its instance now.
    void handBack();
    // Whether the window of `app` shows a copy while a run thread drives the instance.
    bool showsCopy(const sheet::EmbeddedApplication& app) const;

private:
    struct Shown {
        QPointer<WorkbookWindow> window;
        QElapsedTimer sinceRepaint;
        bool pending = false;
        bool flushScheduled = false;
        // Set while a run thread drives the instance: the window shows `copy`.
        bool driven = false;
        bool closedWhileDriven = false;
        std::unique_ptr<sheet::Workbook> copy;
    };
    // When the run thread next lets a window catch up with an instance, kept by that thread.
    struct Pace {
        QElapsedTimer sinceCopy;
        qint64 intervalMs = 0;
    };
    struct Orphan {
        QPointer<WorkbookWindow> window;
        std::unique_ptr<sheet::Workbook> copy;
    };

    // Runs `work` on the window's thread; a run thread waits for it.
    void onWindowThread(const std::function<void()>& work);
    bool onWindowThreadNow() const;
    bool catchUpDue(const sheet::EmbeddedApplication& app);
    void caughtUp(const sheet::EmbeddedApplication& app, qint64 tookMs);
    void forgetPace(const sheet::EmbeddedApplication& app);
    void visibleChangedHere(sheet::EmbeddedApplication& app, bool visible);
    void contentChangedHere(sheet::EmbeddedApplication& app);
    void quittingHere(sheet::EmbeddedApplication& app);
    void releasedHere(sheet::EmbeddedApplication& app);
    void catchUpDriven(sheet::EmbeddedApplication& app);
    void closeForInstance(sheet::EmbeddedApplication& app);
    void showCopy(sheet::EmbeddedApplication& app, Shown& shown);
    void show(sheet::EmbeddedApplication& app, Shown& shown);
    void userClosed(sheet::EmbeddedApplication* app);
    void repaint(sheet::EmbeddedApplication& app, Shown& shown);
    void scheduleFlush(const sheet::EmbeddedApplication* key);
    bool structureChanged(sheet::EmbeddedApplication& app, const Shown& shown) const;
    void askToSaveChanges(sheet::EmbeddedApplication& app);
    void saveWorkbook(const sheet::Workbook& workbook, const QString& path, const QString& name);
    WorkbookWindow* createWindow();
    void forgetOrphan(WorkbookWindow* window);

    ViewerDialogs& dialogs_;
    std::map<const sheet::EmbeddedApplication*, Shown> shown_;
    std::vector<Orphan> orphans_;
    bool lent_ = false;
    std::mutex paceMutex_;
    std::map<const sheet::EmbeddedApplication*, Pace> pace_;
};

// Makes the embedded component show its instances through a WorkbookPresenter and print
// through the default printer. Called once at start-up, after the QApplication exists.
void installWorkbookPresenter(ViewerDialogs& dialogs);

// Closes every window of the installed presenter, asking nothing; at program end.
void closeWorkbookWindows();

// Tell the installed presenter, if any, that a run thread starts (see lendToRun) or has ended
// (see handBack).
void lendInstancesToRun();
void handBackInstances();

} // namespace viewer
