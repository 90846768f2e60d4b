#include "files/workbook_actions.h"

#include "files/files_messages.h"

namespace files {
namespace {

// Ends the instance of the ResultApp slot, if any, without letting it ask anything.
void quitResultApp(engine::SpreadsheetApp& apps, bool alerts) {
    if (!apps.ResultApp)
        return;
    try {
        apps.ResultApp->SetDisplayAlerts(alerts);
        apps.ResultApp->Quit();
    } catch (const std::exception&) {
        // An instance that fails to quit is dropped all the same.
    }
    apps.ResultApp.reset();
}

// Opens the workbook in a new instance held in ResultApp; throws on failure.
sheet::WorkbookPtr openInNewInstance(WorkbookHost& host, const QString& path) {
    host.spreadsheetApp().ResultApp = host.createApplication();
    return host.spreadsheetApp().ResultApp->Workbooks().Open(path.toStdString());
}

// The sheet was found but did not print (no printer, a printer that failed); the next
// workbook would fail the same way.
class PrintFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

void printSheet(sheet::IWorkbook& workbook, const QString& sheetName) {
    sheet::WorksheetPtr worksheet = workbook.Worksheets(sheetName.toStdString());
    if (!worksheet)
        throw sheet::AutomationError("no such worksheet");
    try {
        worksheet->PrintOut();
    } catch (const std::exception& error) {
        throw PrintFailure(error.what());
    }
}

QString printFailedMessage(const PrintEntry& entry, const QString& sheetName,
                           const PrintFailure& failure) {
    return msg::kPrintFailed.arg(entry.name, sheetName, QString::fromUtf8(failure.what()));
}

QString sheetMissingMessage(const QString& name, const QString& sheetName, const QString& end) {
    return name + msg::kSheetMissingBegin + sheetName + end;
}

} // namespace

void Excelexecute(WorkbookHost& host, const QString& filename) {
    if (filename.trimmed().isEmpty()) {
        host.message(msg::kOpenNothing);
        return;
    }
    try {
        host.spreadsheetApp().ResultApp = host.createApplication();
        sheet::IApplication& app = *host.spreadsheetApp().ResultApp;
        app.SetDisplayAlerts(true);
        app.Workbooks().Open(filename.toStdString());
        app.SetVisible(true);
    } catch (const std::exception&) {
        host.message(filename + msg::kCannotOpen);
        quitResultApp(host.spreadsheetApp(), false);
    }
}

int printFolderSelection(WorkbookHost& host, const QList<PrintEntry>& entries,
                         const QString& sheetName) {
    int printed = 0;
    for (const PrintEntry& entry : entries) {
        sheet::WorkbookPtr workbook;
        try {
            workbook = openInNewInstance(host, entry.path);
        } catch (const std::exception&) {
            quitResultApp(host.spreadsheetApp(), false);
            host.message(entry.path + msg::kCannotOpen);
            return printed;
        }
        try {
            printSheet(*workbook, sheetName);
            host.log(entry.path + msg::kPrintDone);
            ++printed;
        } catch (const PrintFailure& failure) {
            quitResultApp(host.spreadsheetApp(), false);
            host.message(printFailedMessage(entry, sheetName, failure));
            return printed;
        } catch (const std::exception&) {
            host.message(sheetMissingMessage(entry.name, sheetName, msg::kSheetMissingEnd));
        }
        quitResultApp(host.spreadsheetApp(), false);
    }
    return printed;
}

int printListSelection(WorkbookHost& host, const QList<PrintEntry>& entries,
                       const QString& sheetName) {
    int printed = 0;
    for (const PrintEntry& entry : entries) {
        try {
            sheet::WorkbookPtr workbook = openInNewInstance(host, entry.path);
            printSheet(*workbook, sheetName);
            ++printed;
        } catch (const PrintFailure& failure) {
            quitResultApp(host.spreadsheetApp(), false);
            host.message(printFailedMessage(entry, sheetName, failure));
            return printed;
        } catch (const std::exception&) {
            host.message(sheetMissingMessage(entry.name, sheetName, msg::kSheetOrFileMissingEnd));
        }
        quitResultApp(host.spreadsheetApp(), false);
    }
    return printed;
}

QString printQuestion(const QString& sheetName) {
    return msg::kPrintAskBegin + sheetName + msg::kPrintAskEnd;
}

} // namespace files
