#include "engine/sheet_check.h"

#include "engine/engine_messages.h"
#include "engine/form_check.h"
#include "engine/method_ce_messages.h"
#include "engine/run_frame.h"

#include <QDir>
#include <QFileInfo>
#include <functional>

namespace engine {

namespace text = sheet_check_text;

namespace {

QString workbookPath(const QString& folder, const QString& entry) {
    return QDir::toNativeSeparators(QDir(folder).filePath(entry));
}

// Quitting never fails the check: the instance is discarded either way.
void quitQuietly(sheet::ApplicationPtr& app) {
    if (!app)
        return;
    try {
        app->SetDisplayAlerts(false);
        app->Quit();
    } catch (const std::exception&) {
    }
    app.reset();
}

sheet::ApplicationPtr startHiddenApplication(RunHost& host) {
    sheet::ApplicationPtr app;
    try {
        app = host.CreateApplication();
        app->SetVisible(false);
        app->SetDisplayAlerts(false);
        return app;
    } catch (const std::exception&) {
        quitQuietly(app);
        return nullptr;
    }
}

struct SheetLookup {
    bool held = false;
    QString readFailure; // the reader's reason when the workbook could not be read
};

using WhileOpen = std::function<void(sheet::IWorksheet&)>;

// Whether the workbook opens and holds the sheet; `whileOpen` (when set) reads the sheet
// before the workbook is closed. A workbook that opened is closed again either way, so the
// check leaves nothing open behind it.
SheetLookup lookUpSheet(sheet::IApplication& app, const QString& path, const QString& sheetName,
                        const WhileOpen& whileOpen) {
    sheet::WorkbookPtr book;
    try {
        book = app.Workbooks().Open(path.toStdString());
        const sheet::WorksheetPtr worksheet = book->Worksheets(sheetName.toStdString());
        if (whileOpen)
            whileOpen(*worksheet);
        book->Close();
        return {true, {}};
    } catch (const std::exception& error) {
        if (book) {
            try {
                book->Close();
            } catch (const std::exception&) {
            }
        }
        return {false, readFailureReason(error, path)};
    }
}

WhileOpen readForm(std::optional<FormCheck>& formCheck, sheet::IApplication& app, int index,
                   const QString& entry) {
    if (!formCheck)
        return {};
    return [&formCheck, &app, index, entry](sheet::IWorksheet& worksheet) {
        formCheck->examine(index, entry, app, worksheet);
    };
}

} // namespace

void sheet_check(RunHost& host, std::optional<form::FormMethod> form) {
    const QStringList entries = host.ConsolidationList();
    if (entries.isEmpty()) {
        host.Message(text::kNoFiles);
        return;
    }
    host.Progress(0, QString());
    const QString sheetName = host.SheetName();
    if (!host.Confirm(text::kConfirmBefore + sheetName + text::kConfirmAfter)) {
        host.Log(text::kEndLine);
        return;
    }
    host.Log(text::kStartLine);
    host.Log(text::kChecking);

    sheet::ApplicationPtr app = startHiddenApplication(host);
    if (!app) {
        host.Message(text::kNoSpreadsheet);
        return;
    }

    std::optional<FormCheck> formCheck;
    if (form)
        formCheck.emplace(*form, host);
    const QString folder = host.DataFolder();
    announceWorkbooks(*app, entries, [&folder](const QString& entry) {
        return workbookPath(folder, entry).toStdString();
    });
    const int count = static_cast<int>(entries.size());
    int errors = 0;
    for (int i = 0; i < count; ++i) {
        if (host.stopRequested()) {
            // A stopped check has not seen every file: it neither counts nor removes any.
            quitQuietly(app);
            host.Log(msg::kStoppedByUser);
            host.Log(text::kEndLine);
            return;
        }
        host.SetEntrySelected(i, false);
        const QString path = workbookPath(folder, entries[i]);
        if (!QFileInfo(path).isFile()) {
            ++errors;
            host.Log(path + text::kMissingFile);
        } else if (const SheetLookup lookup =
                       lookUpSheet(*app, path, sheetName, readForm(formCheck, *app, i, entries[i]));
                   !lookup.held) {
            ++errors;
            host.Log(entries[i] + text::kNoSheetMiddle + sheetName.trimmed() + text::kNoSheetEnd);
            if (!lookup.readFailure.isEmpty())
                host.Log(msg::kReadFailureReason + lookup.readFailure);
            if (host.AutoExclude())
                host.SetEntrySelected(i, true);
        }
        const int done = i + 1;
        host.Progress(done * 100 / count, progressLabel(done, count));
    }
    quitQuietly(app);
    if (formCheck)
        errors += formCheck->report(host, host.AutoExclude());

    if (errors == 0) {
        host.Log(text::kNoErrors);
    } else {
        host.Log(QString::number(errors) + text::kErrorCount);
        if (host.AutoExclude())
            host.RemoveSelectedEntries();
    }
    host.Log(text::kEndLine);
}

} // namespace engine
