// Shows the workbooks of the embedded component's instances: one read-only WorkbookWindow per
// instance, opened when the instance becomes visible, repainted while it changes, closed when
// it quits. An instance released without quitting leaves its window open on a copy, as a
// spreadsheet application left running keeps its window.
#pragma once

#include "sheet/embedded_application.h"
#include "sheet/model.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <map>
#include <memory>
#include <vector>

namespace app {

class Dialogs;
class WorkbookWindow;

class WorkbookPresenter : public QObject, public sheet::ApplicationObserver {
    Q_OBJECT
public:
    explicit WorkbookPresenter(Dialogs& dialogs);
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

private:
    struct Shown {
        QPointer<WorkbookWindow> window;
        QElapsedTimer sinceRepaint;
        bool pending = false;
        bool flushScheduled = false;
    };
    struct Orphan {
        QPointer<WorkbookWindow> window;
        std::unique_ptr<sheet::Workbook> copy;
    };

    void show(sheet::EmbeddedApplication& app, Shown& shown);
    void userClosed(sheet::EmbeddedApplication* app);
    void repaint(sheet::EmbeddedApplication& app, Shown& shown);
    void scheduleFlush(const sheet::EmbeddedApplication* key);
    bool structureChanged(sheet::EmbeddedApplication& app, const Shown& shown) const;
    void askToSaveChanges(sheet::EmbeddedApplication& app);
    void saveWorkbook(const sheet::Workbook& workbook, const QString& path, const QString& name);
    WorkbookWindow* createWindow();
    void forgetOrphan(WorkbookWindow* window);

    Dialogs& dialogs_;
    std::map<const sheet::EmbeddedApplication*, Shown> shown_;
    std::vector<Orphan> orphans_;
};

// Makes the embedded component show its instances through a WorkbookPresenter and print
// through the default printer. Called once at start-up, after the QApplication exists.
void installWorkbookPresenter(Dialogs& dialogs);

// Closes every window of the installed presenter, asking nothing; at program end.
void closeWorkbookWindows();

} // namespace app
