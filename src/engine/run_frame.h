// The skeleton every consolidation method follows: the start lines, counted failures, the
// progress after each workbook, quitting the instances, and the end that either cancels the
// run or saves the result and leaves it open for the user.
//
// A method drives its own steps and calls these pieces where its order says; the texts that
// differ between methods (codes, the not-in-use save line, method C's closing line) are
// parameters.
#pragma once

#include "engine/engine_messages.h"
#include "engine/run_host.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <string>

namespace engine {

// Quitting an instance: when the reference is set, alerts off, Quit, reference cleared. An
// instance that fails to quit is dropped all the same; this never throws.
void quitInstance(sheet::ApplicationPtr& app);

// Copies the printing settings the methods carry over from the first workbook, in this order:
// orientation, left, right and footer margins, zoom (with the pages wide and tall when the form
// is fitted to pages), paper size (none when the form names none). False when one fails (no
// default printer); the settings copied before it stay.
bool copyPageSetup(sheet::IPageSetup& from, sheet::IPageSetup& to);

// "<code><entry>파일에 [<sheet>] 이름의 시트가 없거나 기타 오류발생!"
QString sheetMissingLine(const QString& code, const QString& entry, const QString& sheetName);

// Why the component could not read the workbook at `path`, without the path; empty when
// `error` is no read failure (a missing sheet, say).
QString readFailureReason(const std::exception& error, const QString& path);

// Tells `app` the workbooks a run opens next, in list order, so that it may read them ahead:
// each entry's path as `pathOf` makes it for Workbooks().Open. Never throws.
void announceWorkbooks(sheet::IApplication& app, const QStringList& entries,
                       const std::function<std::string(const QString&)>& pathOf);

// "<done>/<total>"
QString progressLabel(int done, int total);

// The lines of the save step that differ between methods.
struct SaveLines {
    // Logged when the result is saved under the name chosen in the save dialog. Method A's has
    // no closing point (msg::kSavingChosenA).
    QString savingChosen = msg::kSavingChosen;
    // Method C ends with its own line.
    QString closing = msg::kClosingLine;
};

enum class SaveOutcome { Saved, Failed };

class RunFrame {
public:
    explicit RunFrame(RunHost& host) : host_(host) {}

    RunHost& host() const { return host_; }
    // The SpreadsheetApp slots the run fills; they outlive it.
    SpreadsheetApp& apps() const { return host_.Slots(); }

    int ErrorCount() const { return errorCount_; }
    bool failed() const { return errorCount_ != 0; }

    void log(const QString& text) const { host_.Log(text); }
    // A counted failure: logs the line and adds 1 to ErrorCount.
    void fail(const QString& line);
    // fail(line), then the reader's reason when the entry's workbook could not be read.
    void failOpening(const QString& line, const std::exception& error, const QString& entry);

    // When a stop was requested: logs that the user stopped the run and counts it as a
    // failure, so that the method cancels. True when the run must stop here.
    bool stopRequested();

    // The start line, then "취합완성본 엑셀파일을 실행합니다!" when the process is shown.
    void logStart() const;
    // "<data folder><separator><entry>파일을 수행중입니다"
    void logFileWorking(const QString& entry) const;
    // After `done` of `total` workbooks: the gauge to the whole percent, the label to done/total.
    void showProgress(int done, int total) const;

    // ResultApp, with ResultBook and ResultSheet cleared.
    void quitResult();
    // ReaderApp, with SourceBook and SourceSheet cleared.
    void quitReader();
    // ReaderApp's copy mode off, when it exists, then quit it (the first-workbook failure).
    void dropReader();

    // The cancelled end: the method's cancel line, both instances quit, the closing line.
    // Nothing is saved.
    void cancel(const QString& cancelLine, const QString& closingLine = msg::kClosingLine);

    // The saving end, after the completion line. With `existingFile` not blank (methods B, C
    // and E) the active workbook of ResultApp is saved over it; otherwise the save dialog asks
    // in ResultFolder, falling back to a time-stamp name there when the dialog is cancelled or
    // the chosen file is in use. Logs every line including the closing one, then leaves
    // ResultApp visible with alerts on. A failing save is shown and logged with the path and
    // the reason; the result stays open and the outcome is Failed.
    SaveOutcome save(const QString& existingFile, const SaveLines& lines = {});

private:
    bool saveActiveWorkbook(const QString& path);
    bool saveUnderTimeStamp(const QString& resultFolder);
    void showResult();

    RunHost& host_;
    int errorCount_ = 0;
};

} // namespace engine
