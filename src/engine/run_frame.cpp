#include "engine/run_frame.h"

#include "engine/result_folder.h"
#include "sheet/io_messages.h"
#include "sheet/workbook_io.h"

#include <QDir>
#include <QFileInfo>
#include <vector>

namespace engine {

namespace {

QString reasonOf(const std::exception& error) {
    return QString::fromUtf8(error.what());
}

} // namespace

void quitInstance(sheet::ApplicationPtr& app) {
    if (!app)
        return;
    try {
        app->SetDisplayAlerts(false);
        app->Quit();
    } catch (const std::exception&) {
        // An instance that will not quit is dropped all the same.
    }
    app.reset();
}

bool copyPageSetup(sheet::IPageSetup& from, sheet::IPageSetup& to) {
    try {
        to.SetOrientation(from.Orientation());
        to.SetLeftMargin(from.LeftMargin());
        to.SetRightMargin(from.RightMargin());
        to.SetFooterMargin(from.FooterMargin());
        const int zoom = from.Zoom();
        if (zoom == 0) {
            to.SetFitToPagesWide(from.FitToPagesWide());
            to.SetFitToPagesTall(from.FitToPagesTall());
        }
        to.SetZoom(zoom);
        to.SetPaperSize(from.PaperSize());
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

QString sheetMissingLine(const QString& code, const QString& entry, const QString& sheetName) {
    return code + entry + msg::kSheetMissingMiddle + sheetName + msg::kSheetMissingEnd;
}

QString readFailureReason(const std::exception& error, const QString& path) {
    if (!dynamic_cast<const sheet::FileError*>(&error))
        return {};
    QString reason = QString::fromUtf8(error.what());
    for (const QString& shown : {QDir::fromNativeSeparators(path), path})
        if (reason.startsWith(shown + QStringLiteral(": "))) {
            reason = reason.mid(shown.size() + 2);
            break;
        }
    // A file that is gone or locked already has its own lines; the reason is for files that
    // were there and could not be read.
    if (reason.startsWith(QString::fromUtf8(sheet::io_messages::kCannotOpen)))
        return {};
    return reason;
}

void announceWorkbooks(sheet::IApplication& app, const QStringList& entries,
                       const std::function<std::string(const QString&)>& pathOf) {
    std::vector<std::string> paths;
    paths.reserve(static_cast<size_t>(entries.size()));
    for (const QString& entry : entries)
        paths.push_back(pathOf(entry));
    app.ReadAhead(paths);
}

QString progressLabel(int done, int total) {
    return QString::number(done) + u'/' + QString::number(total);
}

void RunFrame::fail(const QString& line) {
    ++errorCount_;
    log(line);
}

void RunFrame::failOpening(const QString& line, const std::exception& error, const QString& entry) {
    fail(line);
    const QString reason = readFailureReason(error, workbookPath(host_.DataFolder(), entry));
    if (!reason.isEmpty())
        log(msg::kReadFailureReason + reason);
}

bool RunFrame::stopRequested() {
    if (!host_.stopRequested())
        return false;
    fail(msg::kStoppedByUser);
    return true;
}

void RunFrame::logStart() const {
    log(msg::kStartLine);
    if (host_.ShowProcess())
        log(msg::kShowProcessLine);
}

void RunFrame::logFileWorking(const QString& entry) const {
    log(workbookPath(host_.DataFolder(), entry) + msg::kFileWorking);
}

void RunFrame::showProgress(int done, int total) const {
    if (total <= 0)
        return;
    host_.Progress(done * 100 / total, progressLabel(done, total));
}

void RunFrame::quitResult() {
    SpreadsheetApp& refs = apps();
    refs.ResultSheet.reset();
    refs.ResultBook.reset();
    quitInstance(refs.ResultApp);
}

void RunFrame::quitReader() {
    SpreadsheetApp& refs = apps();
    refs.SourceSheet.reset();
    refs.SourceBook.reset();
    quitInstance(refs.ReaderApp);
}

void RunFrame::dropReader() {
    if (apps().ReaderApp) {
        try {
            apps().ReaderApp->SetCutCopyMode(false);
        } catch (const std::exception&) {
        }
    }
    quitReader();
}

void RunFrame::cancel(const QString& cancelLine, const QString& closingLine) {
    log(cancelLine);
    quitResult();
    quitReader();
    log(closingLine);
}

bool RunFrame::saveActiveWorkbook(const QString& path) {
    try {
        if (!apps().ResultApp)
            throw sheet::AutomationError("no result instance");
        apps().ResultApp->ActiveWorkbook()->SaveAs(QDir::fromNativeSeparators(path).toStdString());
        return true;
    } catch (const std::exception& error) {
        const QString text = msg::kSaveFailed.arg(path, reasonOf(error));
        log(text);
        host_.Message(text);
        return false;
    }
}

bool RunFrame::saveUnderTimeStamp(const QString& resultFolder) {
    // The folder is made when the page opens; if it went missing since, the user still
    // expects the result in it rather than a failed save.
    if (!QFileInfo(resultFolder).isDir() && QFileInfo(host_.DataFolder()).isDir())
        QDir().mkpath(resultFolder);
    const QString path = timeStampPath(resultFolder, host_.Now());
    if (!saveActiveWorkbook(path))
        return false;
    log(path + msg::kSavedUnderTimeStamp);
    return true;
}

void RunFrame::showResult() {
    try {
        apps().ResultApp->SetVisible(true);
        apps().ResultApp->SetDisplayAlerts(true);
    } catch (const std::exception&) {
        // The result is saved; a window that will not show takes nothing from it.
    }
}

namespace {

// The result is written as .xlsx: a .xls name would put .xlsx content under the wrong name, so
// such a name gets the .xlsx extension instead.
QString xlsxPathFor(const QString& path) {
    if (!path.endsWith(QStringLiteral(".xls"), Qt::CaseInsensitive))
        return path;
    return path.chopped(4) + QStringLiteral(".xlsx");
}

QString renamedNote(const QString& given, const QString& used) {
    return given == used ? QString() : msg::kSavedAsXlsxInstead;
}

} // namespace

SaveOutcome RunFrame::save(const QString& existingFile, const SaveLines& lines) {
    bool saved = false;
    const QString given = existingFile.trimmed();
    if (!given.isEmpty()) {
        const QString existing = xlsxPathFor(given);
        log(existing + msg::kSavingOverExisting + renamedNote(given, existing));
        saved = saveActiveWorkbook(existing);
    } else {
        host_.BringToFront();
        const QString resultFolder = ResultFolder(host_.DataFolder());
        const std::optional<QString> chosen = host_.AskResultPath(resultFolder);
        if (!chosen || chosen->trimmed().isEmpty()) {
            log(msg::kSaveCancelled);
            saved = saveUnderTimeStamp(resultFolder);
        } else if (const QString path = xlsxPathFor(QDir::toNativeSeparators(*chosen));
                   host_.IsFileInUse(path)) {
            host_.Message(path + msg::kFileInUse);
            saved = saveUnderTimeStamp(resultFolder);
        } else {
            log(lines.savingChosen);
            saved = saveActiveWorkbook(path);
            if (saved)
                log(path + msg::kSavedUnderChosen +
                    renamedNote(QDir::toNativeSeparators(*chosen), path));
        }
    }
    if (host_.stopRequested())
        log(msg::kStopDuringSave);
    log(lines.closing);
    if (apps().ResultApp)
        showResult();
    return saved ? SaveOutcome::Saved : SaveOutcome::Failed;
}

} // namespace engine
