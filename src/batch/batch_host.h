// The run host of the batch runner: it never asks. The project values come from the project
// file, the save dialog is answered with --output or the time-stamp name in the Result folder,
// every question with yes, and each log line goes to standard output and the project's log
// file. It remembers what a caller needs to tell success from failure afterwards.
#pragma once

#include "batch/batch_console.h"
#include "engine/run_host.h"
#include "project/project_log.h"
#include "project/project_settings.h"

namespace batch {

struct HostSetup {
    project::ProjectSettings settings;
    QStringList entries;
    QString output;  // absolute path, or empty
    QString logFile; // the project's log file
    bool quiet = false;
};

class BatchRunHost : public engine::RunHost {
public:
    BatchRunHost(HostSetup setup, BatchConsole& console);

    QString DataFolder() const override;
    QString SheetName() const override;
    QString TitleRange() const override;
    QString DataRange() const override;
    QString SumRange() const override;
    bool SumRangeEnabled() const override;
    QString ExistingFile() const override;
    QString ExistingSheet() const override;
    QStringList ConsolidationList() const override;
    bool ShowProcess() const override { return false; }
    bool AutoExclude() const override { return false; }

    void Log(const QString& text) override;
    void Progress(int percent, const QString& label) override;
    void Message(const QString& text) override;
    bool Confirm(const QString&) override { return true; }
    std::optional<QString> AskResultPath(const QString& folder) override;
    void BringToFront() override {}
    void SetEntrySelected(int, bool) override {}
    void RemoveSelectedEntries() override {}
    // The window's test: a spreadsheet application's lock file or lock counts too.
    bool IsFileInUse(const QString& path) const override;
    QDateTime Now() const override;
    sheet::ApplicationPtr CreateApplication() override;
    engine::SpreadsheetApp& Slots() override { return slots_; }
    // A stop asked through the host or by Ctrl+C (SIGINT, SIGTERM).
    bool stopRequested() const override;

    // The texts of every log line, in order, without time stamps.
    const QStringList& loggedTexts() const { return logged_; }
    // The file the run wrote its result to (or tried to); empty when it never got that far.
    const QString& resultPath() const { return resultPath_; }
    bool saveFailed() const { return saveFailed_; }
    // Lets go of the instances a run leaves open; the window keeps them for the user, a batch
    // run has nobody to look at them. The reading instance quits; the result's is kept, unfreed,
    // until the process ends, which comes next.
    void releaseInstances();

private:
    void noteSaveLine(const QString& text);

    HostSetup setup_;
    BatchConsole& console_;
    project::LogAppender log_;
    engine::SpreadsheetApp slots_;
    QStringList logged_;
    QString resultPath_;
    bool saveFailed_ = false;
    bool logFileFailureShown_ = false;
};

} // namespace batch
