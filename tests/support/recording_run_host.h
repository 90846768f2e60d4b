// A RunHost for tests: project values and the consolidation list are plain fields, every log
// line, progress step and message is recorded, questions get scripted answers, the clock stands
// still, and instances come from the embedded component (optionally with a shared fault plan).
#pragma once

#include "engine/run_host.h"
#include "sheet/embedded_application.h"
#include "sheet/embedded_faults.h"

#include <QDateTime>
#include <QSet>
#include <QString>
#include <QStringList>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

class RecordingRunHost : public engine::RunHost {
public:
    RecordingRunHost();

    // Project values and run options, as the page would hold them.
    QString dataFolder;
    QString sheetName = QStringLiteral("Sheet1");
    QString titleRange;
    QString dataRange;
    QString sumRange;
    bool sumRangeEnabled = true;
    QString existingFile;
    QString existingSheet;
    QStringList consolidationList;
    bool showProcess = false;
    bool autoExclude = false;

    // Scripted answers. Confirm answers from the queue, then `confirmDefault`; the save dialog
    // answers from its queue, then cancels.
    std::deque<bool> confirmAnswers;
    bool confirmDefault = true;
    std::deque<std::optional<QString>> saveAnswers;
    QSet<QString> filesInUse; // paths IsFileInUse reports as in use
    QDateTime clock = QDateTime(QDate(2024, 3, 2), QTime(9, 5, 3));
    // The user presses stop when the n-th progress step is shown (1-based; 0 never), or while
    // the save dialog is open.
    int stopAtProgress = 0;
    bool stopInSaveDialog = false;

    // Instances: every instance created gets `faults` when set. Set `failCreateAt` to make the
    // n-th creation (1-based) throw as if no component were installed.
    std::shared_ptr<sheet::FaultPlan> faults;
    int failCreateAt = 0;
    // Off: instances ignore the run's announced workbooks and read each one when it is opened.
    bool readAhead = true;

    // What the run did.
    QStringList logTexts;  // texts as passed to Log
    QStringList logLines;  // the same, as RunLog lines stamped with the clock
    QStringList messages;  // message boxes
    QStringList questions; // confirmations asked
    QStringList saveDialogFolders;
    std::vector<std::pair<int, QString>> progress;
    int broughtToFront = 0;
    std::vector<std::shared_ptr<sheet::EmbeddedApplication>> created;
    std::vector<int> selectedEntries;
    int removeSelectedCalls = 0;
    // The SpreadsheetApp references the run leaves (named so: "slots" is a Qt keyword macro).
    engine::SpreadsheetApp spreadsheetApp;

    // Instances created and not yet quit.
    int runningInstances() const;

    QString DataFolder() const override { return dataFolder; }
    QString SheetName() const override { return sheetName; }
    QString TitleRange() const override { return titleRange; }
    QString DataRange() const override { return dataRange; }
    QString SumRange() const override { return sumRange; }
    bool SumRangeEnabled() const override { return sumRangeEnabled; }
    QString ExistingFile() const override { return existingFile; }
    QString ExistingSheet() const override { return existingSheet; }
    QStringList ConsolidationList() const override { return consolidationList; }
    bool ShowProcess() const override { return showProcess; }
    bool AutoExclude() const override { return autoExclude; }

    void Log(const QString& text) override;
    void Progress(int percent, const QString& label) override;
    void Message(const QString& text) override;
    bool Confirm(const QString& text) override;
    std::optional<QString> AskResultPath(const QString& folder) override;
    void BringToFront() override { ++broughtToFront; }
    void SetEntrySelected(int index, bool selected) override;
    void RemoveSelectedEntries() override;
    bool IsFileInUse(const QString& path) const override;
    QDateTime Now() const override { return clock; }
    sheet::ApplicationPtr CreateApplication() override;
    engine::SpreadsheetApp& Slots() override { return spreadsheetApp; }

private:
    int creations_ = 0;
};

} // namespace testing_support
