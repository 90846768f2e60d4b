// The main window as a run's host: the project values come from the project page's controls at
// the moment the run asks, log lines go through flogsave, questions through the window's
// Dialogs, and instances from the embedded spreadsheet component.
#pragma once

#include "engine/run_host.h"

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
    Tf_mainform& window_;
};

} // namespace app
