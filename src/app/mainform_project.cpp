#include "app/app_messages.h"
#include "app/mainform.h"
#include "engine/result_folder.h"
#include "engine/run_log.h"
#include "engine/text_codec.h"
#include "files/workbook_folder.h"
#include "project/editor_rules.h"
#include "project/project_log.h"
#include "project/project_messages.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <functional>

// The project page: loading, starting, editing, checking and saving a project, and the guard
// in front of the sheet-consolidation page. The decisions live in project/; these handlers
// read and set the controls.

namespace {

namespace pm = project::msg;
using project::ConsolidationMethod;

// Calls back when the watched widget loses the input focus.
class FocusOutWatcher : public QObject {
public:
    FocusOutWatcher(QObject* parent, std::function<void()> onFocusOut)
        : QObject(parent), onFocusOut_(std::move(onFocusOut)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusOut)
            onFocusOut_();
        return false;
    }

private:
    std::function<void()> onFocusOut_;
};

app::MessageKind messageKindOf(project::BoxKind kind) {
    switch (kind) {
    case project::BoxKind::Plain:
        return app::MessageKind::Plain;
    case project::BoxKind::Information:
        return app::MessageKind::Information;
    case project::BoxKind::Error:
        return app::MessageKind::Error;
    }
    return app::MessageKind::Error;
}

void applyFieldState(QLineEdit* edit, const project::FieldState& state) {
    edit->setEnabled(state.enabled);
    QPalette palette = edit->palette();
    const QColor colour = state.colour == project::FieldColour::Window
                              ? QApplication::palette().color(QPalette::Base)
                              : QApplication::palette().color(QPalette::Window);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, colour);
    edit->setPalette(palette);
    if (state.width)
        edit->resize(*state.width, edit->height());
}

QString inProgramFolder(const QString& programFolder, const QString& subfolder) {
    return QDir::toNativeSeparators(programFolder + subfolder);
}

} // namespace

void Tf_mainform::setupProjectPage() {
    connect(SpeedButton4, &QToolButton::clicked, this, &Tf_mainform::SpeedButton4Click);
    connect(SpeedButton5, &QToolButton::clicked, this, &Tf_mainform::SpeedButton5Click);
    connect(SpeedButton29, &QToolButton::clicked, this, &Tf_mainform::SpeedButton29Click);
    connect(SpeedButton16, &QToolButton::clicked, this, &Tf_mainform::SpeedButton16Click);
    connect(SpeedButton26, &QToolButton::clicked, this, &Tf_mainform::SpeedButton26Click);
    connect(SpeedButton27, &QToolButton::clicked, this, &Tf_mainform::SpeedButton27Click);
    connect(rg_sheet, &app::RadioGroup::itemIndexChanged, this, &Tf_mainform::rg_sheetClick);
    connect(PageControl1, &QTabWidget::currentChanged, this, &Tf_mainform::PageControl1Change);
    for (QLineEdit* edit : {e_project, e_datafolder, e_datacount, e_sheet, e_title, e_range,
                            e_comrange, e_excelfile, e_excelsheet, e_completefile})
        connect(edit, &QLineEdit::textChanged, this, &Tf_mainform::e_projectChange);
    e_title->installEventFilter(new FocusOutWatcher(e_title, [this] { e_titleExit(); }));
    lastSavedSettings_ = projectSettings();
}

project::ProjectSettings Tf_mainform::projectSettings() const {
    project::ProjectSettings s;
    s.ProjectName = e_project->text();
    s.DataFolder = e_datafolder->text();
    s.FileCount = e_datacount->text();
    s.Method = project::methodOfIndex(qMax(0, rg_sheet->itemIndex()));
    s.RangeKind = qMax(0, rg_cell->itemIndex());
    s.SheetName = e_sheet->text();
    s.TitleRange = e_title->text();
    s.DataRange = e_range->text();
    s.SumRange = e_comrange->text();
    s.ExistingFile = e_excelfile->text();
    s.ExistingSheet = e_excelsheet->text();
    s.CompletedFile = e_completefile->text();
    return s;
}

bool Tf_mainform::projectModified() const {
    return SpeedButton29->isEnabled();
}

// A fresh page counts as modified but holds nothing the user typed; only values that differ
// from the last loaded, saved or reset ones would be lost.
bool Tf_mainform::hasUnsavedChanges() const {
    return projectModified() && projectSettings() != lastSavedSettings_;
}

void Tf_mainform::markProjectModified() {
    SpeedButton29->setEnabled(true);
    StatusBar1->setPanelText(1, pm::kModifiedMark);
}

void Tf_mainform::markProjectSaved() {
    SpeedButton29->setEnabled(false);
    StatusBar1->setPanelText(1, QString());
    lastSavedSettings_ = projectSettings();
}

void Tf_mainform::setProjectCaption() {
    setWindowTitle(app::msg::kApplicationTitle + QStringLiteral(" - [") + e_project->text() + u']');
}

void Tf_mainform::showProjectMessage(const QString& text, project::BoxKind kind) {
    dialogs_.message(text, messageKindOf(kind));
}

void Tf_mainform::applyMethodFieldStates(ConsolidationMethod method) {
    const project::MethodFieldStates states = project::fieldStatesFor(method);
    applyFieldState(e_title, states.title);
    applyFieldState(e_range, states.dataRange);
    applyFieldState(e_comrange, states.sumRange);
    placeRangeExample();
    markProjectModified();
    if (!states.message.isEmpty())
        showProjectMessage(states.message, project::BoxKind::Plain);
}

void Tf_mainform::rg_sheetClick() {
    applyMethodFieldStates(project::methodOfIndex(qMax(0, rg_sheet->itemIndex())));
}

void Tf_mainform::e_projectChange() {
    markProjectModified();
}

void Tf_mainform::e_titleExit() {
    const std::optional<QString> proposed =
        project::dataRangeAfterTitle(projectSettings().Method, e_title->text(), e_range->text());
    if (proposed)
        e_range->setText(*proposed);
}

// Places the lines in order; a method or kind line that is no integer stops the load there,
// with the lines before it already placed.
bool Tf_mainform::placeProjectLines(const project::ProjectLines& loaded, const QString& path) {
    e_project->setText(loaded.line(1));
    e_datafolder->setText(loaded.line(2));
    e_datacount->setText(loaded.line(3));
    if (!loaded.methodLineIsInteger) {
        showProjectMessage(pm::kBadMethodLine.arg(path), project::BoxKind::Error);
        return false;
    }
    if (loaded.method)
        rg_sheet->setItemIndex(project::indexOfMethod(*loaded.method));
    if (!loaded.rangeKindLineIsInteger) {
        showProjectMessage(pm::kBadRangeKindLine.arg(path), project::BoxKind::Error);
        return false;
    }
    if (loaded.rangeKind)
        rg_cell->setItemIndex(*loaded.rangeKind);
    QLineEdit* const rest[] = {e_sheet,     e_title,      e_range,       e_comrange,
                               e_excelfile, e_excelsheet, e_completefile};
    for (int i = 0; i < std::ssize(rest); ++i)
        rest[i]->setText(loaded.line(6 + i));
    return true;
}

void Tf_mainform::useProjectFile(const QString& path) {
    currentProjectFile = path;
    currentLogFile = project::logFilePathOf(path);
}

void Tf_mainform::showProjectLog() {
    QString error;
    const std::optional<QStringList> lines = engine::text_codec::readLines(currentLogFile, &error);
    if (!lines) {
        memo1->clear();
        showProjectMessage(error, project::BoxKind::Error);
        return;
    }
    memo1->setPlainText(lines->join(u'\n'));
}

void Tf_mainform::SpeedButton4Click() {
    if (hasUnsavedChanges() && !dialogs_.confirm(pm::kConfirmDiscardChanges))
        return;
    app::FileDialogOptions options;
    options.title = pm::kOpenTitle;
    options.folder = inProgramFolder(programFolder, pm::kProjectSubfolder);
    options.filter = pm::kOpenFilter;
    options.confirmOverwrite = false;
    const std::optional<QString> chosen = dialogs_.openFile(options);
    if (!chosen)
        return;
    const QString path = *chosen;
    projectDialogFileName = path;

    const project::ProjectFileText file = project::readProjectFile(path);
    if (file.failure != project::ReadFailure::None) {
        showProjectMessage(file.message, project::BoxKind::Error);
        return;
    }
    const bool placed = placeProjectLines(project::interpretProjectLines(file.lines), path);
    // The data-folder list follows the folder line, so that no key acts on another folder.
    a_renewExecute();
    if (!placed)
        return;

    setProjectCaption();
    markProjectSaved();
    useProjectFile(path);
    if (const std::optional<QString> error = project::createLogFileIfMissing(currentLogFile)) {
        memo1->clear();
        showProjectMessage(*error, project::BoxKind::Error);
    } else {
        showProjectLog();
    }
    ListBox1->clear();
    Panel10->setText(files::listCaption(0));
}

void Tf_mainform::SpeedButton5Click() {
    const bool ask = projectModified();
    if (hasUnsavedChanges() && !dialogs_.confirm(pm::kConfirmNewProject))
        return;
    for (QLineEdit* edit : {e_project, e_datafolder, e_datacount, e_sheet, e_range, e_comrange,
                            e_excelfile, e_excelsheet, e_completefile})
        edit->clear();
    e_title->setText(pm::kDefaultTitleRange);
    rg_sheet->setItemIndex(project::indexOfMethod(ConsolidationMethod::A));
    rg_cell->setItemIndex(0);

    SpeedButton29->setEnabled(true);
    setWindowTitle(app::msg::kApplicationTitle);
    projectDialogFileName.clear();
    if (!ask)
        StatusBar1->setPanelText(1, pm::kModifiedMark);
    lastSavedSettings_ = projectSettings();
    a_renewExecute();
}

void Tf_mainform::SpeedButton29Click() {
    const project::ProjectSettings settings = projectSettings();
    const project::SaveCheck check = project::checkForSave(settings);
    if (!check.message.isEmpty())
        showProjectMessage(check.message, check.box);
    if (!check.maySave) {
        if (check.focusDataRange)
            e_range->setFocus();
        return;
    }
    // Refused before the user picks a file, so that nothing is asked for in vain.
    if (const std::optional<int> line = project::firstUnstorableLine(settings)) {
        showProjectMessage(project::unstorableFieldMessage(settings, *line),
                           project::BoxKind::Error);
        return;
    }

    app::FileDialogOptions options;
    options.title = pm::kSaveTitle;
    options.folder = inProgramFolder(programFolder, pm::kProjectSubfolder);
    options.fileName =
        projectDialogFileName.isEmpty() ? lastProjectSaveName_ : projectDialogFileName;
    options.filter = pm::kSaveFilter;
    options.defaultSuffix = pm::kProjectSuffix;
    options.confirmOverwrite = true;
    const std::optional<QString> chosen = dialogs_.saveFile(options);
    if (!chosen)
        return;
    const QString path = *chosen;
    lastProjectSaveName_ = path;

    const project::WriteResult written = project::writeProjectFile(path, settings);
    if (!written.ok) {
        showProjectMessage(written.message, project::BoxKind::Error);
        return;
    }
    StatusBar1->setPanelText(0, QDir::toNativeSeparators(path) + pm::kSavedNoticeSuffix);
    setProjectCaption();
    useProjectFile(path);

    const QString change = QFile::exists(currentLogFile) ? pm::kLogModified : pm::kLogCreated;
    const QString line =
        engine::RunLog::line(QDateTime::currentDateTime(), settings.ProjectName + change);
    if (const std::optional<QString> error = project::appendLogLine(currentLogFile, line)) {
        showProjectMessage(*error, project::BoxKind::Error);
        return;
    }
    markProjectSaved();
    showProjectLog();
    ListBox1->clear();
    Panel10->setText(pm::kConsolidationCaption);
}

void Tf_mainform::SpeedButton16Click() {
    const std::optional<QString> folder = dialogs_.browseFolder(
        pm::kFolderBrowseCaption, inProgramFolder(programFolder, pm::kExampleSubfolder));
    if (folder)
        e_datafolder->setText(QDir::toNativeSeparators(*folder));
}

void Tf_mainform::SpeedButton26Click() {
    app::FileDialogOptions options;
    options.title = pm::kCompletedTitle;
    options.folder = engine::ResultFolder(e_datafolder->text());
    options.filter = pm::kCompletedFilter;
    options.confirmOverwrite = false;
    const std::optional<QString> chosen = dialogs_.openFile(options);
    e_completefile->setText(chosen ? QDir::toNativeSeparators(*chosen) : QString());
}

void Tf_mainform::SpeedButton27Click() {
    if (project::isBlank(e_completefile->text())) {
        showProjectMessage(pm::kNoCompletedFile, project::BoxKind::Plain);
        return;
    }
    Excelexecute(e_completefile->text());
}

void Tf_mainform::returnToProjectPage() {
    returningToProjectPage_ = true;
    PageControl1->setCurrentWidget(TabSheet1);
    returningToProjectPage_ = false;
}

void Tf_mainform::PageControl1Change() {
    if (returningToProjectPage_ || PageControl1->currentWidget() != TabSheet2)
        return;
    const project::PageGuardDecision decision =
        project::decidePageEntry(projectSettings().Method, projectModified(), e_datafolder->text());
    if (decision.step != project::PageGuardStep::Enter) {
        showProjectMessage(decision.message, project::BoxKind::Plain);
        if (decision.backToProject)
            returnToProjectPage();
        return;
    }
    Gauge1->setValue(0);
    a_renew->trigger();
    Panel9->setText(files::folderCaptionOnEntry(FileListBox1->count()));
    if (!project::ensureResultFolder(e_datafolder->text()))
        showProjectMessage(pm::kResultFolderFailed, project::BoxKind::Error);
}
