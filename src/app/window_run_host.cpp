#include "app/window_run_host.h"

#include "app/mainform.h"
#include "engine/engine_messages.h"
#include "files/file_in_use.h"
#include "sheet/embedded_application.h"

namespace app {

bool WindowRunHost::onWindowThreadNow() const {
    return QThread::currentThread() == window_.thread();
}

template <typename Work>
auto WindowRunHost::onWindowThread(Work work) const -> std::invoke_result_t<Work> {
    using Result = std::invoke_result_t<Work>;
    if (onWindowThreadNow())
        return work();
    if constexpr (std::is_void_v<Result>) {
        QMetaObject::invokeMethod(&window_, work, Qt::BlockingQueuedConnection);
    } else {
        Result result{};
        QMetaObject::invokeMethod(
            &window_, [&result, &work] { result = work(); }, Qt::BlockingQueuedConnection);
        return result;
    }
}

template <typename Work> void WindowRunHost::queueOnWindowThread(Work work) const {
    if (onWindowThreadNow()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(&window_, std::move(work), Qt::QueuedConnection);
}

QString WindowRunHost::DataFolder() const {
    return onWindowThread([this] { return window_.e_datafolder->text(); });
}
QString WindowRunHost::SheetName() const {
    return onWindowThread([this] { return window_.e_sheet->text(); });
}
QString WindowRunHost::TitleRange() const {
    return onWindowThread([this] { return window_.e_title->text(); });
}
QString WindowRunHost::DataRange() const {
    return onWindowThread([this] { return window_.e_range->text(); });
}
QString WindowRunHost::SumRange() const {
    return onWindowThread([this] { return window_.e_comrange->text(); });
}
bool WindowRunHost::SumRangeEnabled() const {
    return onWindowThread([this] { return window_.e_comrange->isEnabled(); });
}
QString WindowRunHost::ExistingFile() const {
    return onWindowThread([this] { return window_.e_excelfile->text(); });
}
QString WindowRunHost::ExistingSheet() const {
    return onWindowThread([this] { return window_.e_excelsheet->text(); });
}

QStringList WindowRunHost::ConsolidationList() const {
    return onWindowThread([this] {
        QStringList entries;
        for (int row = 0; row < window_.ListBox1->count(); ++row)
            entries << window_.ListBox1->item(row)->text();
        return entries;
    });
}

bool WindowRunHost::ShowProcess() const {
    return onWindowThread([this] { return window_.CheckBox1->isChecked(); });
}
bool WindowRunHost::AutoExclude() const {
    return onWindowThread([this] { return window_.CheckBox2->isChecked(); });
}

void WindowRunHost::Log(const QString& text) {
    // Queued work may run after the host is gone: it holds the window, not the host.
    queueOnWindowThread([window = &window_, text] { window->flogsave(text); });
}

// Once per workbook, so the run may wait for it: the window then shows the count of what is
// done before the run decides whether to go on, and a stop pressed at that count holds.
void WindowRunHost::Progress(int percent, const QString& label) {
    onWindowThread([this, percent, &label] {
        window_.Gauge1->setValue(percent);
        window_.Label13->setText(label);
    });
}

void WindowRunHost::Message(const QString& text) {
    onWindowThread([this, &text] { window_.dialogs().message(text); });
}

bool WindowRunHost::Confirm(const QString& text) {
    return onWindowThread([this, &text] { return window_.dialogs().confirm(text); });
}

std::optional<QString> WindowRunHost::AskResultPath(const QString& folder) {
    FileDialogOptions options;
    options.title = engine::msg::kSaveDialogTitle;
    options.folder = folder;
    options.filter = engine::msg::kSaveDialogFilter;
    options.defaultSuffix = engine::msg::kSaveDialogSuffix;
    options.confirmOverwrite = true;
    return onWindowThread([this, &options] { return window_.dialogs().saveFile(options); });
}

void WindowRunHost::BringToFront() {
    onWindowThread([this] {
        window_.raise();
        window_.activateWindow();
    });
}

void WindowRunHost::SetEntrySelected(int index, bool selected) {
    onWindowThread([this, index, selected] {
        if (QListWidgetItem* item = window_.ListBox1->item(index))
            item->setSelected(selected);
    });
}

void WindowRunHost::RemoveSelectedEntries() {
    onWindowThread([this] { window_.SpeedButton8Click(); });
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
    // The window leaves the slots alone while a run works; the run hands them back when it ends.
    return window_.spreadsheetApp;
}

} // namespace app
