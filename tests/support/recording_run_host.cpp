#include "support/recording_run_host.h"

#include "engine/run_log.h"

#include <QDir>
#include <algorithm>

namespace testing_support {

RecordingRunHost::RecordingRunHost() = default;

int RecordingRunHost::runningInstances() const {
    return static_cast<int>(std::count_if(created.begin(), created.end(),
                                          [](const auto& app) { return !app->hasQuit(); }));
}

void RecordingRunHost::Log(const QString& text) {
    logTexts << text;
    logLines << engine::RunLog::line(clock, text);
}

void RecordingRunHost::Progress(int percent, const QString& label) {
    progress.emplace_back(percent, label);
    if (static_cast<int>(progress.size()) == stopAtProgress)
        requestStop();
}

void RecordingRunHost::Message(const QString& text) {
    messages << text;
}

bool RecordingRunHost::Confirm(const QString& text) {
    questions << text;
    if (confirmAnswers.empty())
        return confirmDefault;
    const bool answer = confirmAnswers.front();
    confirmAnswers.pop_front();
    return answer;
}

std::optional<QString> RecordingRunHost::AskResultPath(const QString& folder) {
    saveDialogFolders << folder;
    if (stopInSaveDialog)
        requestStop();
    if (saveAnswers.empty())
        return std::nullopt;
    const std::optional<QString> answer = saveAnswers.front();
    saveAnswers.pop_front();
    if (!answer)
        return std::nullopt;
    return *answer;
}

void RecordingRunHost::SetEntrySelected(int index, bool selected) {
    if (selected)
        selectedEntries.push_back(index);
    else
        std::erase(selectedEntries, index);
}

void RecordingRunHost::RemoveSelectedEntries() {
    ++removeSelectedCalls;
    std::vector<int> indexes = selectedEntries;
    std::sort(indexes.rbegin(), indexes.rend());
    for (int index : indexes)
        if (index >= 0 && index < consolidationList.size())
            consolidationList.removeAt(index);
    selectedEntries.clear();
}

bool RecordingRunHost::IsFileInUse(const QString& path) const {
    if (filesInUse.contains(QDir::fromNativeSeparators(path)) || filesInUse.contains(path))
        return true;
    return engine::RunHost::IsFileInUse(path);
}

namespace {

class ReadingOnOpen : public sheet::EmbeddedApplication {
public:
    void ReadAhead(const std::vector<std::string>& paths) override { (void)paths; }
};

} // namespace

sheet::ApplicationPtr RecordingRunHost::CreateApplication() {
    if (++creations_ == failCreateAt)
        throw sheet::AutomationError("no spreadsheet component");
    std::shared_ptr<sheet::EmbeddedApplication> app =
        readAhead ? sheet::createEmbeddedApplication() : std::make_shared<ReadingOnOpen>();
    if (faults)
        app->setFaultPlan(faults);
    created.push_back(app);
    return app;
}

} // namespace testing_support
