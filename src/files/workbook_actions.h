// Opening a workbook for the user and printing the project sheet of chosen workbooks, each in
// a spreadsheet application instance held in the window's ResultApp slot.
#pragma once

#include "engine/run_host.h"

#include <QString>
#include <QStringList>

namespace files {

// What opening and printing need from the window.
class WorkbookHost {
public:
    virtual ~WorkbookHost() = default;
    virtual void message(const QString& text) = 0; // plain message box
    virtual void log(const QString& text) = 0;     // one run-log line (flogsave)
    // "Create instance"; throws sheet::AutomationError when no component is available.
    virtual sheet::ApplicationPtr createApplication() = 0;
    virtual engine::SpreadsheetApp& spreadsheetApp() = 0;
};

// Opens the workbook at `filename` in a new, visible instance that stays with the user. The
// instance replaces the ResultApp reference without ending the one held before.
void Excelexecute(WorkbookHost& host, const QString& filename);

// One workbook to print: its entry name and full path.
struct PrintEntry {
    QString name;
    QString path;
};

// Prints the sheet `sheetName` of each selected entry of the data-folder list and logs each
// printed path. A workbook that cannot be opened ends the whole operation; returns the number
// of workbooks printed. In both kinds of printing a sheet that does not print (no printer)
// is reported with the reason and ends the operation.
int printFolderSelection(WorkbookHost& host, const QList<PrintEntry>& entries,
                         const QString& sheetName);

// Prints the sheet of each selected entry of the consolidation list; a missing file or sheet
// is reported and the next entry follows. Returns the number of workbooks printed.
int printListSelection(WorkbookHost& host, const QList<PrintEntry>& entries,
                       const QString& sheetName);

// The question asked before printing.
QString printQuestion(const QString& sheetName);

} // namespace files
