#include "viewer/workbook_presenter.h"

#include "sheet/memory_release.h"
#include "sheet/workbook_io.h"
#include "viewer/sheet_printer.h"
#include "viewer/viewer_messages.h"
#include "viewer/workbook_window.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <algorithm>

namespace viewer {

namespace {

// A run changes cells thousands of times a second; the window catches up at this pace.
constexpr qint64 kRepaintIntervalMs = 250;
// While a run thread drives an instance, copying its workbook for the window may take this
// share of the run's time at most (one copy, then this many times as long without one).
constexpr qint64 kCopyPaceFactor = 10;
// Larger workbooks are not copied while a run works: their window shows the last copy and
// catches up when the run ends.
constexpr std::size_t kMaxCopiedCells = 300'000;

std::unique_ptr<sheet::Workbook> copyOf(const sheet::Workbook& source) {
    auto copy = std::make_unique<sheet::Workbook>();
    copy->styles = source.styles;
    copy->activeSheet = source.activeSheet;
    copy->date1904 = source.date1904;
    for (const auto& sheet : source.sheets)
        copy->sheets.push_back(std::make_unique<sheet::Worksheet>(*sheet));
    return copy;
}

// The workbook an instance shows in front: its active one.
const sheet::Workbook* frontWorkbook(const sheet::EmbeddedApplication& app, QString& path) {
    const int index = app.activeWorkbookIndex();
    if (index < 0 || index >= app.workbookCount()) {
        path.clear();
        return nullptr;
    }
    path = QString::fromStdString(app.workbookPath(index));
    return &app.workbookModel(index);
}

std::size_t cellCount(const sheet::Workbook& workbook) {
    std::size_t count = 0;
    for (const auto& sheet : workbook.sheets)
        for (const auto& [row, cells] : sheet->rows())
            count += cells.size();
    return count;
}

bool allSaved(const sheet::EmbeddedApplication& app) {
    for (int i = 0; i < app.workbookCount(); ++i)
        if (!app.workbookSaved(i))
            return false;
    return true;
}

QString displayName(const QString& path) {
    return path.isEmpty() ? msg::kUntitled : QFileInfo(path).fileName();
}

// Lets a window that was just shown or repainted reach the screen while a run holds the
// thread; the user's clicks and keys wait until the run is over.
void flushToScreen() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

WorkbookPresenter::WorkbookPresenter(ViewerDialogs& dialogs) : dialogs_(dialogs) {}

WorkbookPresenter::~WorkbookPresenter() {
    // Widgets may only be deleted while the application object exists.
    if (QCoreApplication::instance())
        closeAll();
}

WorkbookWindow* WorkbookPresenter::createWindow() {
    auto* window = new WorkbookWindow;
    window->setExternalOpener([this](const QString& path) {
        return dialogs_.openUrl(QUrl::fromLocalFile(path).toString());
    });
    return window;
}

bool WorkbookPresenter::onWindowThreadNow() const {
    return QThread::currentThread() == thread();
}

void WorkbookPresenter::onWindowThread(const std::function<void()>& work) {
    if (onWindowThreadNow()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(this, work, Qt::BlockingQueuedConnection);
}

bool WorkbookPresenter::catchUpDue(const sheet::EmbeddedApplication& app) {
    std::lock_guard lock(paceMutex_);
    Pace& pace = pace_[&app];
    return !pace.sinceCopy.isValid() ||
           pace.sinceCopy.elapsed() >= std::max(kRepaintIntervalMs, pace.intervalMs);
}

void WorkbookPresenter::caughtUp(const sheet::EmbeddedApplication& app, qint64 tookMs) {
    std::lock_guard lock(paceMutex_);
    Pace& pace = pace_[&app];
    pace.sinceCopy.start();
    pace.intervalMs = tookMs * kCopyPaceFactor;
}

void WorkbookPresenter::forgetPace(const sheet::EmbeddedApplication& app) {
    std::lock_guard lock(paceMutex_);
    pace_.erase(&app);
}

void WorkbookPresenter::visibleChanged(sheet::EmbeddedApplication& app, bool visible) {
    if (onWindowThreadNow()) {
        visibleChangedHere(app, visible);
        return;
    }
    onWindowThread([this, &app, visible] {
        shown_[&app].driven = true;
        visibleChangedHere(app, visible);
    });
}

void WorkbookPresenter::visibleChangedHere(sheet::EmbeddedApplication& app, bool visible) {
    auto found = shown_.find(&app);
    if (!visible) {
        if (found != shown_.end() && found->second.window)
            found->second.window->hide();
        return;
    }
    Shown& shown = shown_[&app];
    shown.closedWhileDriven = false;
    if (!shown.window) {
        shown.window = createWindow();
        connect(shown.window, &WorkbookWindow::closed, this,
                [this, key = &app] { userClosed(key); });
    }
    show(app, shown);
}

void WorkbookPresenter::userClosed(sheet::EmbeddedApplication* app) {
    auto found = shown_.find(app);
    if (found == shown_.end())
        return;
    // A run thread is working with the instance, or may drop it: it is told when the run
    // hands it back.
    if (found->second.driven || lent_) {
        found->second.closedWhileDriven = true;
        return;
    }
    closeForInstance(*app);
}

void WorkbookPresenter::closeForInstance(sheet::EmbeddedApplication& app) {
    try {
        // Nothing would be lost: the instance goes, as a spreadsheet application closes with
        // its last window, and its workbooks' memory is returned.
        if (allSaved(app)) {
            app.Quit();
            sheet::releaseFreedMemory();
            return;
        }
        // Its Visible turns false as a spreadsheet application's does when its window is
        // closed; the next Visible = true then shows the window again.
        app.SetVisible(false);
    } catch (const sheet::AutomationError&) {
        // The instance is on its way out; its quitting or release follows.
    }
}

void WorkbookPresenter::show(sheet::EmbeddedApplication& app, Shown& shown) {
    repaint(app, shown);
    shown.window->show();
    shown.window->raise();
    shown.window->activateWindow();
    if (!shown.driven)
        flushToScreen();
}

void WorkbookPresenter::repaint(sheet::EmbeddedApplication& app, Shown& shown) {
    if (shown.driven) {
        showCopy(app, shown);
        return;
    }
    QString path;
    const sheet::Workbook* workbook = frontWorkbook(app, path);
    shown.copy.reset();
    shown.window->showWorkbook(workbook, path);
    shown.pending = false;
    shown.sinceRepaint.start();
}

// Only while the run thread waits: the copy is all the window reads until the run ends.
void WorkbookPresenter::showCopy(sheet::EmbeddedApplication& app, Shown& shown) {
    QString path;
    const sheet::Workbook* workbook = frontWorkbook(app, path);
    if (workbook && cellCount(*workbook) > kMaxCopiedCells) {
        if (!shown.copy)
            shown.window->showWorkbook(nullptr, path);
        return;
    }
    std::unique_ptr<sheet::Workbook> copy;
    try {
        copy = workbook ? copyOf(*workbook) : nullptr;
    } catch (const std::bad_alloc&) {
        return; // the window keeps its last copy
    }
    shown.window->showWorkbook(copy.get(), path);
    shown.copy = std::move(copy);
    shown.pending = false;
    shown.sinceRepaint.start();
}

bool WorkbookPresenter::structureChanged(sheet::EmbeddedApplication& app,
                                         const Shown& shown) const {
    QString path;
    const sheet::Workbook* workbook = frontWorkbook(app, path);
    return workbook != shown.window->workbook() || path != shown.window->path() ||
           !shown.window->tabsMatch();
}

void WorkbookPresenter::contentChanged(sheet::EmbeddedApplication& app) {
    if (onWindowThreadNow()) {
        contentChangedHere(app);
        return;
    }
    // The run thread's own instance: reading whether it is visible is safe here.
    if (!app.isVisible() || !catchUpDue(app))
        return;
    QElapsedTimer took;
    took.start();
    onWindowThread([this, &app] { catchUpDriven(app); });
    caughtUp(app, took.elapsed());
}

void WorkbookPresenter::catchUpDriven(sheet::EmbeddedApplication& app) {
    auto found = shown_.find(&app);
    if (found == shown_.end() || !found->second.window)
        return;
    Shown& shown = found->second;
    shown.driven = true;
    if (shown.closedWhileDriven) {
        // The run waits now, so the instance may be told that its window was closed.
        shown.closedWhileDriven = false;
        try {
            app.SetVisible(false);
        } catch (const sheet::AutomationError&) {
        }
        return;
    }
    if (shown.window->isVisible())
        showCopy(app, shown);
}

void WorkbookPresenter::contentChangedHere(sheet::EmbeddedApplication& app) {
    auto found = shown_.find(&app);
    if (found == shown_.end() || !found->second.window || !found->second.window->isVisible())
        return;
    Shown& shown = found->second;
    if (shown.driven) {
        catchUpDriven(app);
        return;
    }
    // A sheet or workbook that went away must leave the window at once, before anything can
    // paint it; plain cell changes are gathered and painted at a steady pace.
    if (structureChanged(app, shown) || shown.sinceRepaint.elapsed() >= kRepaintIntervalMs) {
        repaint(app, shown);
        flushToScreen();
        return;
    }
    shown.pending = true;
    scheduleFlush(&app);
}

void WorkbookPresenter::scheduleFlush(const sheet::EmbeddedApplication* key) {
    Shown& shown = shown_[key];
    if (shown.flushScheduled)
        return;
    shown.flushScheduled = true;
    QTimer::singleShot(kRepaintIntervalMs, this, [this, key] {
        auto found = shown_.find(key);
        if (found == shown_.end())
            return; // the instance quit or was released meanwhile
        Shown& later = found->second;
        later.flushScheduled = false;
        // A run thread may be changing the instance now; it catches the window up itself.
        if (later.driven)
            return;
        if (later.pending && later.window && later.window->isVisible())
            repaint(*const_cast<sheet::EmbeddedApplication*>(key), later);
    });
}

void WorkbookPresenter::quitting(sheet::EmbeddedApplication& app) {
    if (!onWindowThreadNow())
        forgetPace(app);
    onWindowThread([this, &app] { quittingHere(app); });
}

void WorkbookPresenter::quittingHere(sheet::EmbeddedApplication& app) {
    if (app.alertsOn())
        askToSaveChanges(app);
    auto found = shown_.find(&app);
    if (found == shown_.end())
        return;
    if (WorkbookWindow* window = found->second.window) {
        window->clear();
        window->hide();
        window->deleteLater();
    }
    shown_.erase(found);
}

void WorkbookPresenter::askToSaveChanges(sheet::EmbeddedApplication& app) {
    for (int i = 0; i < app.workbookCount(); ++i) {
        if (app.workbookSaved(i))
            continue;
        const QString path = QString::fromStdString(app.workbookPath(i));
        const QString name = displayName(path);
        if (!dialogs_.confirm(msg::kAskSaveBefore + name + msg::kAskSaveAfter))
            continue;
        QString target = path;
        if (target.isEmpty()) {
            FileDialogOptions options;
            options.title = msg::kSaveDialogTitle;
            options.filter = msg::kSaveFilter;
            options.defaultSuffix = QStringLiteral("xlsx");
            const std::optional<QString> chosen = dialogs_.saveFile(options);
            if (!chosen || chosen->trimmed().isEmpty())
                continue;
            target = *chosen;
        }
        saveWorkbook(app.workbookModel(i), target, name);
    }
}

void WorkbookPresenter::saveWorkbook(const sheet::Workbook& workbook, const QString& path,
                                     const QString& name) {
    try {
        sheet::writeWorkbook(workbook, path.toStdString());
    } catch (const std::exception& error) {
        dialogs_.message(name + QLatin1Char(' ') + msg::kSaveFailed + QLatin1Char('\n') +
                             QString::fromUtf8(error.what()),
                         MessageKind::Error);
    }
}

void WorkbookPresenter::released(sheet::EmbeddedApplication& app) {
    if (!onWindowThreadNow())
        forgetPace(app);
    onWindowThread([this, &app] { releasedHere(app); });
}

void WorkbookPresenter::releasedHere(sheet::EmbeddedApplication& app) {
    auto found = shown_.find(&app);
    if (found == shown_.end())
        return;
    QPointer<WorkbookWindow> window = found->second.window;
    shown_.erase(found);
    if (!window)
        return;
    // Its closing no longer concerns the instance, whose address a new one may take.
    disconnect(window, &WorkbookWindow::closed, this, nullptr);
    if (!window->isVisible()) {
        window->clear();
        window->deleteLater();
        return;
    }
    // The workbooks are about to go; the window keeps showing a copy until the user closes it.
    try {
        QString path;
        const sheet::Workbook* workbook = frontWorkbook(app, path);
        Orphan orphan{window, workbook ? copyOf(*workbook) : nullptr};
        window->showWorkbook(orphan.copy.get(), path);
        connect(window, &WorkbookWindow::closed, this,
                [this, raw = window.data()] { forgetOrphan(raw); });
        orphans_.push_back(std::move(orphan));
    } catch (...) {
        // Out of memory for the copy: better no window than one over freed cells.
        window->clear();
        window->hide();
        window->deleteLater();
    }
}

void WorkbookPresenter::forgetOrphan(WorkbookWindow* window) {
    auto found = std::find_if(orphans_.begin(), orphans_.end(),
                              [window](const Orphan& orphan) { return orphan.window == window; });
    if (found == orphans_.end())
        return;
    // Cleared first: the window then holds nothing of the copy that goes with the entry.
    window->clear();
    window->deleteLater();
    orphans_.erase(found);
    sheet::releaseFreedMemory();
}

WorkbookWindow* WorkbookPresenter::windowOf(const sheet::EmbeddedApplication& app) const {
    auto found = shown_.find(&app);
    return found == shown_.end() ? nullptr : found->second.window.data();
}

std::vector<WorkbookWindow*> WorkbookPresenter::releasedWindows() const {
    std::vector<WorkbookWindow*> windows;
    for (const Orphan& orphan : orphans_)
        if (orphan.window)
            windows.push_back(orphan.window.data());
    return windows;
}

void WorkbookPresenter::closeAll() {
    for (auto& [app, shown] : shown_)
        delete shown.window.data();
    shown_.clear();
    for (Orphan& orphan : orphans_)
        delete orphan.window.data();
    orphans_.clear();
}

void WorkbookPresenter::lendToRun() {
    lent_ = true;
}

void WorkbookPresenter::handBack() {
    lent_ = false;
    std::vector<sheet::EmbeddedApplication*> closed;
    for (auto& [key, shown] : shown_) {
        auto* app = const_cast<sheet::EmbeddedApplication*>(key);
        if (shown.closedWhileDriven) {
            shown.closedWhileDriven = false;
            closed.push_back(app);
        }
        if (!shown.driven)
            continue;
        shown.driven = false;
        if (shown.window && shown.window->isVisible())
            repaint(*app, shown);
        shown.copy.reset();
    }
    // Closing may quit the instance, which takes its entry away: not while walking the map.
    for (sheet::EmbeddedApplication* app : closed)
        closeForInstance(*app);
}

bool WorkbookPresenter::showsCopy(const sheet::EmbeddedApplication& app) const {
    auto found = shown_.find(&app);
    return found != shown_.end() && found->second.driven;
}

void lendInstancesToRun() {
    const auto presenter =
        std::dynamic_pointer_cast<WorkbookPresenter>(sheet::embeddedEnvironment().observer);
    if (presenter)
        presenter->lendToRun();
}

void handBackInstances() {
    const auto presenter =
        std::dynamic_pointer_cast<WorkbookPresenter>(sheet::embeddedEnvironment().observer);
    if (presenter)
        presenter->handBack();
}

void installWorkbookPresenter(ViewerDialogs& dialogs) {
    auto presenter = std::make_shared<WorkbookPresenter>(dialogs);
    if (QCoreApplication* application = QCoreApplication::instance())
        QObject::connect(application, &QCoreApplication::aboutToQuit, presenter.get(),
                         &WorkbookPresenter::closeAll);
    sheet::EmbeddedEnvironment environment = sheet::embeddedEnvironment();
    environment.observer = presenter;
    if (!environment.printer)
        environment.printer = std::make_shared<SheetPrinter>();
    sheet::setEmbeddedEnvironment(std::move(environment));
}

void closeWorkbookWindows() {
    const auto presenter =
        std::dynamic_pointer_cast<WorkbookPresenter>(sheet::embeddedEnvironment().observer);
    if (presenter)
        presenter->closeAll();
}

} // namespace viewer
