// The main window as a run's host: the project values come from the project page's controls at
// the moment the run asks, log lines go through flogsave, questions through the window's
// Dialogs, and instances from the embedded spreadsheet component.
//
// A run works on its own thread. Every member that touches the window is carried over to the
// window's thread: questions, readings and progress wait until the window has taken them, log
// lines are queued in order and the run goes on at once. Called on the window's thread, they act
// directly.
#pragma once

#include "engine/run_host.h"

#include <QMetaObject>
#include <QThread>
#include <type_traits>

class Tf_mainform;

namespace app {

class WindowRunHost : public engine::RunHost {
public:
    explicit WindowRunHost(Tf_mainform& window) : window_(window) {}

    QString DataFolder() const override;
    QString SheetName() const override;
    QString TitleRange() const override;
    QString DataRange() const override;
    QString SumRange() const override;
    bool SumRangeEnabled() const override;
    QString ExistingFile() const override;
    QString ExistingSheet() const override;
    QStringList ConsolidationList() const override;
    bool ShowProcess() const override;
    bool AutoExclude() const override;

    void Log(const QString& text) override;
    void Progress(int percent, const QString& label) override;
    void Message(const QString& text) override;
    bool Confirm(const QString& text) override;
    std::optional<QString> AskResultPath(const QString& folder) override;
    void BringToFront() override;
    void SetEntrySelected(int index, bool selected) override;
    void RemoveSelectedEntries() override;
    bool IsFileInUse(const QString& path) const override;
    QDateTime Now() const override;
    sheet::ApplicationPtr CreateApplication() override;
    engine::SpreadsheetApp& Slots() override;

private:
    // Runs `work` on the window's thread and gives its result; the calling thread waits.
    template <typename Work> auto onWindowThread(Work work) const -> std::invoke_result_t<Work>;
    // Queues `work` for the window's thread; the calling thread goes on.
    template <typename Work> void queueOnWindowThread(Work work) const;
    bool onWindowThreadNow() const;

    Tf_mainform& window_;
};

} // namespace app
