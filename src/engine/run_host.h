// The seam between a run (or a sheet check) and whoever started it.
//
// A run reads the project values and the consolidation list through the host at the moment it
// needs them, writes its log lines, shows progress and asks its questions through it, and gets
// its spreadsheet application instances from it. The main window, the batch runner and the
// tests each implement it; nothing in engine/ opens a dialog itself.
#pragma once

#include "sheet/automation.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <atomic>
#include <optional>

namespace engine {

// The spreadsheet application references a run leaves behind: the result instance stays open
// and visible after a successful run, and the window quits both at program end.
struct SpreadsheetApp {
    sheet::ApplicationPtr ResultApp;
    sheet::WorkbookPtr ResultBook;
    sheet::WorksheetPtr ResultSheet;
    sheet::ApplicationPtr ReaderApp;
    sheet::WorkbookPtr SourceBook;
    sheet::WorksheetPtr SourceSheet;
};

class RunHost {
public:
    virtual ~RunHost() = default;

    // Project values, as the project page holds them now.
    virtual QString DataFolder() const = 0;
    virtual QString SheetName() const = 0;
    virtual QString TitleRange() const = 0;
    virtual QString DataRange() const = 0;
    virtual QString SumRange() const = 0;
    virtual bool SumRangeEnabled() const = 0;
    virtual QString ExistingFile() const = 0;
    virtual QString ExistingSheet() const = 0;

    // The consolidation list: file names without folder, in list order.
    virtual QStringList ConsolidationList() const = 0;
    virtual bool ShowProcess() const = 0; // "취합과정 보기"
    virtual bool AutoExclude() const = 0; // "시트검사후 오류파일 자동제외"

    // One run-log line (flogsave): the host stamps it with Now() and shows and stores it.
    virtual void Log(const QString& text) = 0;
    // Gauge1 := percent, Label13 := label; repainted at once.
    virtual void Progress(int percent, const QString& label) = 0;

    virtual void Message(const QString& text) = 0; // plain message box
    virtual bool Confirm(const QString& text) = 0; // Yes/No box; true on Yes
    // SaveDialog2, opened in `folder`; nullopt when cancelled.
    virtual std::optional<QString> AskResultPath(const QString& folder) = 0;
    virtual void BringToFront() = 0;

    // Sheet check: mark an entry of the consolidation list for removal, then remove the marked
    // entries (the list's remove-selected operation).
    virtual void SetEntrySelected(int index, bool selected) = 0;
    virtual void RemoveSelectedEntries() = 0;

    // Whether the file at `path` is open elsewhere, so that saving over it would fail or pull it
    // from under its user. The default tests only whether it can be opened for writing; the
    // window answers with the file operations' fuller test.
    virtual bool IsFileInUse(const QString& path) const;

    virtual QDateTime Now() const = 0;
    // "Create instance". Throws sheet::AutomationError when no component is available.
    virtual sheet::ApplicationPtr CreateApplication() = 0;
    // The program-wide slots of the last run or viewing operation.
    virtual SpreadsheetApp& Slots() = 0;

    // Stopping a run: the window's stop button, the batch runner's interrupt. A run looks at
    // stopRequested() between two workbooks and before its save step. Both may be called from
    // any thread.
    void requestStop() { stopRequested_.store(true); }
    virtual bool stopRequested() const { return stopRequested_.load(); }

private:
    std::atomic<bool> stopRequested_{false};
};

} // namespace engine
