#include "app/window_run_host.h"

#include "app/mainform.h"
#include "engine/engine_messages.h"
#include "files/file_in_use.h"
#include "sheet/embedded_application.h"

namespace app {

QString WindowRunHost::DataFolder() const {
    return window_.e_datafolder->text();
}
QString WindowRunHost::SheetName() const {
    return window_.e_sheet->text();
}
QString WindowRunHost::TitleRange() const {
    return window_.e_title->text();
}
QString WindowRunHost::DataRange() const {
    return window_.e_range->text();
}
QString WindowRunHost::SumRange() const {
    return window_.e_comrange->text();
}
bool WindowRunHost::SumRangeEnabled() const {
    return window_.e_comrange->isEnabled();
}
QString WindowRunHost::ExistingFile() const {
    return window_.e_excelfile->text();
}
QString WindowRunHost::ExistingSheet() const {
    return window_.e_excelsheet->text();
}

QStringList WindowRunHost::ConsolidationList() const {
    QStringList entries;
    for (int row = 0; row < window_.ListBox1->count(); ++row)
        entries << window_.ListBox1->item(row)->text();
    return entries;
}

bool WindowRunHost::ShowProcess() const {
    return window_.CheckBox1->isChecked();
}
bool WindowRunHost::AutoExclude() const {
    return window_.CheckBox2->isChecked();
}

void WindowRunHost::Log(const QString& text) {
    window_.flogsave(text);
}

void WindowRunHost::Progress(int percent, const QString& label) {
    window_.Gauge1->setValue(percent);
    window_.Label13->setText(label);
    // The run holds the event loop; only an explicit repaint shows the progress.
    window_.Gauge1->repaint();
    window_.Label13->repaint();
}

void WindowRunHost::Message(const QString& text) {
    window_.dialogs().message(text);
}

bool WindowRunHost::Confirm(const QString& text) {
    return window_.dialogs().confirm(text);
}

std::optional<QString> WindowRunHost::AskResultPath(const QString& folder) {
    FileDialogOptions options;
    options.title = engine::msg::kSaveDialogTitle;
    options.folder = folder;
    options.filter = engine::msg::kSaveDialogFilter;
    options.defaultSuffix = engine::msg::kSaveDialogSuffix;
    options.confirmOverwrite = true;
    return window_.dialogs().saveFile(options);
}

void WindowRunHost::BringToFront() {
    window_.raise();
    window_.activateWindow();
}

void WindowRunHost::SetEntrySelected(int index, bool selected) {
    if (QListWidgetItem* item = window_.ListBox1->item(index))
        item->setSelected(selected);
}

void WindowRunHost::RemoveSelectedEntries() {
    window_.SpeedButton8Click();
}

bool WindowRunHost::IsFileInUse(const QString& path) const {
    return files::IsFileInUse(path);
}

QDateTime WindowRunHost::Now() const {
    return QDateTime::currentDateTime();
}

sheet::ApplicationPtr WindowRunHost::CreateApplication() {
    return sheet::createEmbeddedApplication();
}

engine::SpreadsheetApp& WindowRunHost::Slots() {
    return window_.spreadsheetApp;
}

} // namespace app
