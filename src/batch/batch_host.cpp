#include "batch/batch_host.h"

#include "batch/batch_interrupt.h"
#include "batch/batch_messages.h"
#include "engine/engine_messages.h"
#include "engine/result_folder.h"
#include "engine/run_frame.h"
#include "engine/run_log.h"
#include "files/file_in_use.h"
#include "project/editor_rules.h"
#include "project/project_log.h"
#include "sheet/embedded_application.h"

#include <QDir>
#include <QFileInfo>
#include <vector>

namespace batch {

namespace {

namespace em = engine::msg;

// The part of the save-failure text after its last placeholder: a message ending in it says
// the result could not be written.
QString saveFailedTail() {
    const qsizetype at = em::kSaveFailed.lastIndexOf(QStringLiteral("%2"));
    return em::kSaveFailed.mid(at + 2);
}

// The batch program ends right after its run is reported. Freeing a result of a million cells
// piece by piece takes longer than the report (a tenth of method B's run over 1000 forms) and
// gives the memory to nobody, so the result's instance is kept, as it stands, until the process
// ends; it stops reading ahead first, so no thread of its goes on working.
void keepUntilExit(sheet::ApplicationPtr app) {
    if (!app)
        return;
    try {
        app->ReadAhead({});
        static auto* const kept = new std::vector<sheet::ApplicationPtr>; // never freed, on purpose
        kept->push_back(std::move(app));
    } catch (const std::exception&) {
        engine::quitInstance(app);
    }
}

} // namespace

BatchRunHost::BatchRunHost(HostSetup setup, BatchConsole& console)
    : setup_(std::move(setup)), console_(console), log_(setup_.logFile) {}

bool BatchRunHost::stopRequested() const {
    return engine::RunHost::stopRequested() || interruptRequested();
}

QString BatchRunHost::DataFolder() const {
    return setup_.settings.DataFolder;
}
QString BatchRunHost::SheetName() const {
    return setup_.settings.SheetName;
}
QString BatchRunHost::TitleRange() const {
    return setup_.settings.TitleRange;
}
QString BatchRunHost::DataRange() const {
    return setup_.settings.DataRange;
}
QString BatchRunHost::SumRange() const {
    return setup_.settings.SumRange;
}
bool BatchRunHost::SumRangeEnabled() const {
    return project::fieldStatesFor(setup_.settings.Method).sumRange.enabled;
}
QString BatchRunHost::ExistingFile() const {
    return setup_.settings.ExistingFile;
}
QString BatchRunHost::ExistingSheet() const {
    return setup_.settings.ExistingSheet;
}
QStringList BatchRunHost::ConsolidationList() const {
    return setup_.entries;
}

void BatchRunHost::Log(const QString& text) {
    logged_ << text;
    noteSaveLine(text);
    const QString line = engine::RunLog::line(Now(), text);
    if (!setup_.quiet)
        console_.out(line);
    const std::optional<QString> failure = log_.append(line);
    if (failure && !logFileFailureShown_) {
        logFileFailureShown_ = true;
        console_.error(em::kLogFileUnwritable.arg(setup_.logFile, *failure));
    }
}

void BatchRunHost::noteSaveLine(const QString& text) {
    if (text.endsWith(em::kSavingOverExisting))
        resultPath_ = text.chopped(em::kSavingOverExisting.size());
    else if (text.endsWith(em::kSavedUnderTimeStamp))
        resultPath_ = text.chopped(em::kSavedUnderTimeStamp.size());
}

void BatchRunHost::Progress(int percent, const QString& label) {
    if (console_.progress && !setup_.quiet)
        console_.progress(percent, label);
}

void BatchRunHost::Message(const QString& text) {
    if (text.endsWith(saveFailedTail()))
        saveFailed_ = true;
    console_.error(text);
}

std::optional<QString> BatchRunHost::AskResultPath(const QString& folder) {
    if (!setup_.output.isEmpty()) {
        resultPath_ = QDir::toNativeSeparators(setup_.output);
        return resultPath_;
    }
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder)) {
        Message(msg::kResultFolderFailed.arg(folder));
        return std::nullopt;
    }
    resultPath_ = engine::timeStampPath(folder, Now());
    return resultPath_;
}

bool BatchRunHost::IsFileInUse(const QString& path) const {
    return files::IsFileInUse(path);
}

QDateTime BatchRunHost::Now() const {
    return QDateTime::currentDateTime();
}

sheet::ApplicationPtr BatchRunHost::CreateApplication() {
    return sheet::createEmbeddedApplication();
}

void BatchRunHost::releaseInstances() {
    slots_.ResultSheet.reset();
    slots_.ResultBook.reset();
    slots_.SourceSheet.reset();
    slots_.SourceBook.reset();
    engine::quitInstance(slots_.ReaderApp);
    keepUntilExit(std::move(slots_.ResultApp));
    slots_.ResultApp = nullptr;
}

} // namespace batch
