#include "engine/sheet_check.h"

#include "engine/form_check.h"
#include "engine/method_ce_messages.h"

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

using WhileOpen = std::function<void(sheet::IWorksheet&)>;

// True when the workbook opens and holds the sheet; `whileOpen` (when set) reads the sheet
// before the workbook is closed. A workbook that opened is closed again either way, so the
// check leaves nothing open behind it.
bool holdsSheet(sheet::IApplication& app, const QString& path, const QString& sheetName,
                const WhileOpen& whileOpen) {
    sheet::WorkbookPtr book;
    try {
        book = app.Workbooks().Open(path.toStdString());
        const sheet::WorksheetPtr worksheet = book->Worksheets(sheetName.toStdString());
        if (whileOpen)
            whileOpen(*worksheet);
        book->Close();
        return true;
    } catch (const std::exception&) {
        if (book) {
            try {
                book->Close();
            } catch (const std::exception&) {
            }
        }
        return false;
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

QString progressLabel(int done, int count) {
    return QString::number(done) + u'/' + QString::number(count);
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
    const int count = static_cast<int>(entries.size());
    int errors = 0;
    for (int i = 0; i < count; ++i) {
        host.SetEntrySelected(i, false);
        const QString path = workbookPath(folder, entries[i]);
        if (!QFileInfo(path).isFile()) {
            ++errors;
            host.Log(path + text::kMissingFile);
        } else if (!holdsSheet(*app, path, sheetName, readForm(formCheck, *app, i, entries[i]))) {
            ++errors;
            host.Log(entries[i] + text::kNoSheetMiddle + sheetName.trimmed() + text::kNoSheetEnd);
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
