#include "app/mainform.h"
#include "files/consolidation_list.h"
#include "files/file_in_use.h"
#include "files/file_operations.h"
#include "files/files_messages.h"
#include "files/workbook_actions.h"
#include "files/workbook_folder.h"
#include "sheet/embedded_application.h"

#include <QFileInfo>

// The two file lists, their move buttons, actions and pop-up menus connect here. The list
// logic lives in files/; these handlers copy a list control into it and show the result.

namespace {

namespace msg = files::msg;

files::ConsolidationList readList(const QListWidget& list, bool sorted) {
    QStringList names;
    for (int row = 0; row < list.count(); ++row)
        names.append(list.item(row)->text());
    files::ConsolidationList model(names);
    for (int row = 0; row < list.count(); ++row)
        model.setSelected(row, list.item(row)->isSelected());
    model.setCurrent(list.currentRow());
    if (sorted != model.isSorted())
        model.toggleSorted();
    return model;
}

// Shows the model, keeping a focused entry whenever the list has entries.
void showList(QListWidget& list, const files::ConsolidationList& model) {
    const QSignalBlocker blocker(list);
    list.clear();
    list.addItems(model.names());
    for (int index : model.selectedIndexes())
        list.item(index)->setSelected(true);
    if (model.current() >= 0)
        list.setCurrentRow(model.current(), QItemSelectionModel::NoUpdate);
}

// Names of the selected entries of a list control, top to bottom.
QStringList selectedNames(const QListWidget& list) {
    QStringList names;
    for (int row = 0; row < list.count(); ++row) {
        if (list.item(row)->isSelected())
            names.append(list.item(row)->text());
    }
    return names;
}

QList<files::PrintEntry> printEntries(const QStringList& names, const QString& folder) {
    QList<files::PrintEntry> entries;
    for (const QString& name : names)
        entries.append({name, files::fullPathOf(folder, name)});
    return entries;
}

// Opening and printing as the window does them: messages in boxes, printed paths in the log,
// instances of the embedded component held in the window's slots.
class WindowWorkbookHost : public files::WorkbookHost {
public:
    explicit WindowWorkbookHost(Tf_mainform& window) : window_(window) {}
    void message(const QString& text) override { window_.dialogs().message(text); }
    void log(const QString& text) override { window_.flogsave(text); }
    sheet::ApplicationPtr createApplication() override {
        return sheet::createEmbeddedApplication();
    }
    engine::SpreadsheetApp& spreadsheetApp() override { return window_.spreadsheetApp; }

private:
    Tf_mainform& window_;
};

} // namespace

void Tf_mainform::setupFileLists() {
    connect(a_renew, &QAction::triggered, this, &Tf_mainform::a_renewExecute);
    connect(a_excel, &QAction::triggered, this, &Tf_mainform::a_excelExecute);
    connect(a_sheetprint, &QAction::triggered, this, &Tf_mainform::a_sheetprintExecute);
    connect(a_delete, &QAction::triggered, this, &Tf_mainform::a_deleteExecute);
    connect(a_rename, &QAction::triggered, this, &Tf_mainform::a_renameExecute);
    connect(a_sort, &QAction::triggered, this, &Tf_mainform::a_sortExecute);
    connect(a_excel1, &QAction::triggered, this, &Tf_mainform::a_excel1Execute);
    connect(a_sheetprint1, &QAction::triggered, this, &Tf_mainform::a_sheetprint1Execute);
    connect(a_up, &QAction::triggered, this, &Tf_mainform::a_upExecute);
    connect(a_down, &QAction::triggered, this, &Tf_mainform::a_downExecute);
    connect(SpeedButton6, &QToolButton::clicked, this, &Tf_mainform::SpeedButton6Click);
    connect(SpeedButton7, &QToolButton::clicked, this, &Tf_mainform::SpeedButton7Click);
    connect(SpeedButton8, &QToolButton::clicked, this, &Tf_mainform::SpeedButton8Click);
    connect(SpeedButton9, &QToolButton::clicked, this, &Tf_mainform::SpeedButton9Click);
    connect(FileListBox1, &QListWidget::itemDoubleClicked, this, [this] { a_excel->trigger(); });
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this] { a_excel1->trigger(); });
    a_sort->setChecked(listSorted_);
}

void Tf_mainform::a_renewExecute() {
    FileListBox1Directory = e_datafolder->text();
    rereadFileList();
    Panel9->setText(files::folderCaption(FileListBox1->count()));
}

void Tf_mainform::rereadFileList() {
    FileListBox1->clear();
    FileListBox1->addItems(files::listWorkbooks(FileListBox1Directory));
}

void Tf_mainform::showFileListCaptions() {
    Panel9->setText(files::folderCaption(FileListBox1->count()));
    Panel10->setText(files::listCaption(ListBox1->count()));
}

QString Tf_mainform::FileListBox1FileName() const {
    const QListWidgetItem* focused = FileListBox1->currentItem();
    if (!focused || !focused->isSelected())
        return {};
    return files::fullPathOf(FileListBox1Directory, focused->text());
}

void Tf_mainform::SpeedButton6Click() {
    files::ConsolidationList list = readList(*ListBox1, listSorted_);
    QStringList all;
    for (int row = 0; row < FileListBox1->count(); ++row)
        all.append(FileListBox1->item(row)->text());
    list.replaceAll(all);
    showList(*ListBox1, list);
    Panel10->setText(files::listCaption(list.count()));
}

void Tf_mainform::SpeedButton7Click() {
    files::ConsolidationList list = readList(*ListBox1, listSorted_);
    list.appendMissing(selectedNames(*FileListBox1));
    showList(*ListBox1, list);
    Panel10->setText(files::listCaption(list.count()));
}

void Tf_mainform::SpeedButton8Click() {
    files::ConsolidationList list = readList(*ListBox1, listSorted_);
    list.removeSelected();
    showList(*ListBox1, list);
    Panel10->setText(files::listCaption(list.count()));
}

void Tf_mainform::SpeedButton9Click() {
    ListBox1->clear();
    Panel10->setText(files::listCaption(0));
}

void Tf_mainform::a_sortExecute() {
    files::ConsolidationList list = readList(*ListBox1, listSorted_);
    list.toggleSorted();
    listSorted_ = list.isSorted();
    a_sort->setChecked(listSorted_);
    showList(*ListBox1, list);
}

void Tf_mainform::a_upExecute() {
    files::ConsolidationList list = readList(*ListBox1, listSorted_);
    list.moveUp();
    showList(*ListBox1, list);
}

void Tf_mainform::a_downExecute() {
    files::ConsolidationList list = readList(*ListBox1, listSorted_);
    list.moveDown();
    showList(*ListBox1, list);
}

void Tf_mainform::Excelexecute(const QString& filename) {
    WindowWorkbookHost host(*this);
    files::Excelexecute(host, filename);
    std::erase_if(viewedApps_, [](const sheet::ApplicationPtr& app) {
        const auto embedded = std::dynamic_pointer_cast<sheet::EmbeddedApplication>(app);
        return embedded && embedded->hasQuit();
    });
    if (spreadsheetApp.ResultApp)
        viewedApps_.push_back(spreadsheetApp.ResultApp);
}

bool Tf_mainform::DeleteFileWithUndo(const QString& sFileName) {
    return files::DeleteFileWithUndo(sFileName);
}

bool Tf_mainform::IsFileInUse(const QString& fName) const {
    return files::IsFileInUse(fName);
}

void Tf_mainform::a_excelExecute() {
    Excelexecute(FileListBox1FileName());
}

void Tf_mainform::a_excel1Execute() {
    const files::ConsolidationList list = readList(*ListBox1, listSorted_);
    if (!list.hasText()) {
        dialogs().message(msg::kOpenListEmpty);
        return;
    }
    Excelexecute(files::fullPathOf(e_datafolder->text(), list.names().at(list.current())));
}

void Tf_mainform::a_sheetprintExecute() {
    if (FileListBox1FileName().isEmpty()) {
        dialogs().message(msg::kPrintNothing);
        return;
    }
    if (!dialogs().confirm(files::printQuestion(e_sheet->text())))
        return;
    WindowWorkbookHost host(*this);
    files::printFolderSelection(
        host, printEntries(selectedNames(*FileListBox1), FileListBox1Directory), e_sheet->text());
}

void Tf_mainform::a_sheetprint1Execute() {
    const files::ConsolidationList list = readList(*ListBox1, listSorted_);
    if (!list.hasText()) {
        dialogs().message(msg::kPrintNothing);
        return;
    }
    if (!dialogs().confirm(files::printQuestion(e_sheet->text())))
        return;
    WindowWorkbookHost host(*this);
    files::printListSelection(host, printEntries(list.selectedNames(), e_datafolder->text()),
                              e_sheet->text());
}

bool Tf_mainform::refuseFileInUse(const QString& path) {
    if (!QFileInfo::exists(path)) {
        dialogs().message(msg::kFileMissing);
        return true;
    }
    if (IsFileInUse(path)) {
        dialogs().message(msg::kInUseBegin + QFileInfo(path).fileName() + msg::kInUseEnd);
        return true;
    }
    return false;
}

void Tf_mainform::a_deleteExecute() {
    const QString current = FileListBox1FileName();
    if (current.isEmpty()) {
        dialogs().message(msg::kDeleteNothing);
        return;
    }
    if (refuseFileInUse(current) || !dialogs().confirm(msg::kDeleteAsk))
        return;
    // Every selected file is tested, not only the focused one; an entry leaves the
    // consolidation list only when its file is really gone.
    const files::DeleteOutcome outcome =
        files::deleteWorkbooks(FileListBox1Directory, selectedNames(*FileListBox1));
    files::ConsolidationList list = readList(*ListBox1, listSorted_);
    for (const QString& name : outcome.removed)
        list.removeName(name);
    showList(*ListBox1, list);
    rereadFileList();
    showFileListCaptions();
}

void Tf_mainform::a_renameExecute() {
    const QString current = FileListBox1FileName();
    if (current.isEmpty()) {
        dialogs().message(msg::kRenameNothing);
        return;
    }
    if (refuseFileInUse(current))
        return;
    const QString name = QFileInfo(current).fileName();
    const QString prefill = files::renamePrefill(name);
    const QString answer =
        dialogs().input(msg::kRenameCaption, msg::kRenamePrompt, prefill).value_or(prefill);
    const files::RenameResult result = files::renameWorkbook(FileListBox1Directory, name, answer);
    switch (result.status) {
    case files::RenameStatus::Unchanged:
        return;
    case files::RenameStatus::Empty:
        dialogs().message(msg::kRenameEmpty);
        return;
    case files::RenameStatus::Refused:
        dialogs().message(msg::kRenameRefused + u'\n' + files::renameRefusalReason(result));
        return;
    case files::RenameStatus::Renamed:
        break;
    }
    // The entries follow the file only once the file system has renamed it.
    files::ConsolidationList list = readList(*ListBox1, listSorted_);
    list.renameName(name, result.newName);
    showList(*ListBox1, list);
    rereadFileList();
    const QList<QListWidgetItem*> renamed =
        FileListBox1->findItems(result.newName, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (!renamed.isEmpty()) {
        FileListBox1->setCurrentItem(renamed.first());
    }
    showFileListCaptions();
}
