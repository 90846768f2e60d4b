#include "batch/batch_run.h"

#include "batch/batch_host.h"
#include "batch/batch_messages.h"
#include "engine/engine_messages.h"
#include "engine/method_ce_messages.h"
#include "engine/sheet_check.h"
#include "files/workbook_folder.h"
#include "project/editor_rules.h"
#include "project/project_file.h"
#include "project/project_messages.h"
#include "project/run_method.h"
#include "project/save_rules.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace batch {

namespace {

namespace pm = project::msg;

struct Refusal {
    int status = kSucceeded;
    QString message;
};

// A project as the window would hold it after loading the file; or why it cannot be run.
struct LoadedProject {
    project::ProjectSettings settings;
    Refusal refusal;
};

LoadedProject refusedProject(const QString& message) {
    return {{}, {kBadProject, message}};
}

LoadedProject loadProject(const QString& path, BatchConsole& console, bool quiet) {
    if (!QFileInfo(path).isFile())
        return refusedProject(msg::kProjectMissing.arg(path));
    const project::ProjectFileText file = project::readProjectFile(path);
    if (file.failure != project::ReadFailure::None)
        return refusedProject(file.message);
    const project::ProjectLines loaded = project::interpretProjectLines(file.lines);
    if (!loaded.methodLineIsInteger)
        return refusedProject(pm::kBadMethodLine.arg(path));
    if (!loaded.method)
        return refusedProject(msg::kUnknownMethodLine.arg(path));
    if (!loaded.rangeKindLineIsInteger)
        return refusedProject(pm::kBadRangeKindLine.arg(path));

    LoadedProject result{project::settingsOfLines(loaded), {}};
    const project::SaveCheck check = project::checkForSave(result.settings);
    if (!check.maySave)
        return refusedProject(check.message);
    if (!check.message.isEmpty() && !quiet)
        console.error(check.message);
    return result;
}

// The names given on the command line, as entries of the data folder. A path to a file inside
// the data folder is taken by its name.
Refusal listedEntries(const QStringList& given, const QString& folder, QStringList& entries) {
    const QString folderPath = QFileInfo(folder).canonicalFilePath();
    for (const QString& name : given) {
        QString entry = name;
        if (name.contains(u'/') || name.contains(QDir::separator())) {
            const QFileInfo info(name);
            if (!info.isFile())
                return {kBadDataFolder, msg::kListedFileMissing.arg(name, folder)};
            if (QFileInfo(info.absolutePath()).canonicalFilePath() != folderPath)
                return {kBadDataFolder, msg::kListedFileOutside.arg(name, folder)};
            entry = info.fileName();
        }
        if (!QFileInfo(files::fullPathOf(folder, entry)).isFile())
            return {kBadDataFolder, msg::kListedFileMissing.arg(name, folder)};
        entries << entry;
    }
    return {};
}

Refusal consolidationList(const BatchOptions& options, const QString& folder,
                          QStringList& entries) {
    if (!options.files.isEmpty())
        return listedEntries(options.files, folder, entries);
    entries = files::listWorkbooks(folder);
    if (entries.isEmpty())
        return {kBadDataFolder, msg::kEmptyDataFolder.arg(QDir::toNativeSeparators(folder))};
    return {};
}

// The result file must be a workbook name in a folder that exists; the writer saves .xlsx.
Refusal outputRefusal(const QString& output) {
    if (output.isEmpty())
        return {};
    const QFileInfo target(QFileInfo(output).absoluteFilePath());
    const QString shown = QDir::toNativeSeparators(target.filePath());
    if (target.suffix().compare(QStringLiteral("xlsx"), Qt::CaseInsensitive) != 0)
        return {kBadArguments, msg::kOutputNotWorkbook.arg(shown)};
    if (!QFileInfo(target.absolutePath()).isDir())
        return {kBadArguments,
                msg::kOutputFolderMissing.arg(QDir::toNativeSeparators(target.absolutePath()))};
    if (target.isDir())
        return {kBadArguments, msg::kOutputIsFolder.arg(shown)};
    return {};
}

// The last line of a run that names a failure code ("A00E07 ..."): the cancel line when the
// run was cancelled.
QString lastCodeLine(const QStringList& texts) {
    static const QRegularExpression code(QStringLiteral("^[A-Z]?\\d{2}E\\d{2} "));
    for (auto it = texts.crbegin(); it != texts.crend(); ++it) {
        if (code.match(*it).hasMatch())
            return *it;
    }
    return {};
}

// Why the component could not read a workbook, when the run logged it.
QString lastReasonLine(const QStringList& texts) {
    for (auto it = texts.crbegin(); it != texts.crend(); ++it) {
        if (it->startsWith(engine::msg::kReadFailureReason))
            return *it;
    }
    return {};
}

bool resultWritten(const BatchRunHost& host, const QDateTime& started) {
    if (!host.saveFailed() && !host.resultPath().isEmpty()) {
        const QFileInfo result(host.resultPath());
        // A second of slack for file systems that store coarse times.
        return result.isFile() && result.lastModified() >= started.addSecs(-2);
    }
    return false;
}

int finishRun(BatchRunHost& host, BatchConsole& console, const BatchOptions& options,
              const QDateTime& started) {
    const bool resultOpen = host.Slots().ResultApp != nullptr;
    host.releaseInstances();
    // Interrupted while saving: the result was finished whole, but the run was not wanted.
    if (host.stopRequested()) {
        console.error(msg::kInterrupted);
        return kRunFailed;
    }
    if (resultOpen && resultWritten(host, started)) {
        if (options.quiet)
            console.out(QDir::toNativeSeparators(host.resultPath()));
        return kSucceeded;
    }
    const QString codeLine = lastCodeLine(host.loggedTexts());
    console.error(codeLine.isEmpty() ? msg::kNoResult : codeLine);
    if (const QString reason = lastReasonLine(host.loggedTexts()); !reason.isEmpty())
        console.error(reason);
    return kRunFailed;
}

int finishCheck(BatchRunHost& host, BatchConsole& console) {
    host.releaseInstances();
    namespace ct = engine::sheet_check_text;
    const QStringList& texts = host.loggedTexts();
    if (texts.contains(ct::kNoErrors))
        return kSucceeded;
    for (auto it = texts.crbegin(); it != texts.crend(); ++it) {
        if (it->endsWith(ct::kErrorCount)) {
            console.error(*it);
            break;
        }
    }
    return kRunFailed;
}

} // namespace

int runBatch(const BatchOptions& options, BatchConsole& console) {
    if (options.help) {
        console.out(msg::kHelp);
        return kSucceeded;
    }
    if (const Refusal refusal = outputRefusal(options.output); refusal.status != kSucceeded) {
        console.error(refusal.message);
        return refusal.status;
    }
    const LoadedProject loaded = loadProject(options.projectPath, console, options.quiet);
    if (loaded.refusal.status != kSucceeded) {
        console.error(loaded.refusal.message);
        return loaded.refusal.status;
    }
    const project::ProjectSettings& settings = loaded.settings;
    const project::PageGuardDecision guard =
        project::decidePageEntry(settings.Method, false, settings.DataFolder);
    if (guard.step != project::PageGuardStep::Enter) {
        console.error(guard.message);
        return kBadDataFolder;
    }

    HostSetup setup;
    setup.settings = settings;
    if (const Refusal refusal = consolidationList(options, settings.DataFolder, setup.entries);
        refusal.status != kSucceeded) {
        console.error(refusal.message);
        return refusal.status;
    }
    if (!options.output.isEmpty())
        setup.output = QFileInfo(options.output).absoluteFilePath();
    setup.logFile = project::logFilePathOf(options.projectPath);
    setup.quiet = options.quiet;

    BatchRunHost host(std::move(setup), console);
    const QDateTime started = QDateTime::currentDateTime();
    try {
        if (options.check)
            engine::sheet_check(host, options.form ? project::formMethodOf(settings.Method)
                                                   : std::nullopt);
        else
            project::runMethod(settings.Method, host);
    } catch (const std::exception& error) {
        const QString text =
            engine::msg::kRunStoppedUnexpectedly.arg(QString::fromUtf8(error.what()));
        host.Log(text);
        host.releaseInstances();
        console.error(text);
        return kRunFailed;
    }
    return options.check ? finishCheck(host, console) : finishRun(host, console, options, started);
}

int runCommandLine(const QStringList& arguments, BatchConsole& console) {
    const ParsedArguments parsed = parseArguments(arguments);
    if (!parsed.options) {
        console.error(parsed.error);
        console.error(msg::kUsageHint);
        return kBadArguments;
    }
    return runBatch(*parsed.options, console);
}

} // namespace batch
