#include "project/editor_rules.h"

#include "engine/cell_reference.h"
#include "engine/result_folder.h"
#include "project/project_messages.h"

#include <QDir>
#include <QFileInfo>

namespace project {

namespace {

constexpr int kWideField = 620;
constexpr int kNarrowField = 190;

FieldState on(std::optional<int> width = std::nullopt) {
    return {true, FieldColour::Window, width};
}
FieldState off(std::optional<int> width = std::nullopt) {
    return {false, FieldColour::InactiveBorder, width};
}

} // namespace

MethodFieldStates fieldStatesFor(ConsolidationMethod method) {
    switch (method) {
    case ConsolidationMethod::A:
        return {on(), on(kRangeFieldWidth), on(kRangeFieldWidth), {}};
    case ConsolidationMethod::B:
        return {on(), on(kRangeFieldWidth), off(kRangeFieldWidth), {}};
    case ConsolidationMethod::C:
        return {off(), off(kRangeFieldWidth), on(kRangeFieldWidth), {}};
    case ConsolidationMethod::D:
        return {off(), off(kNarrowField), on(kWideField), msg::kMethodDInProgress};
    case ConsolidationMethod::E:
        return {off(), on(kWideField), off(kNarrowField), {}};
    }
    return {on(), on(kRangeFieldWidth), on(kRangeFieldWidth), {}};
}

std::optional<QString> dataRangeAfterTitle(ConsolidationMethod method, const QString& title,
                                           const QString& dataRange) {
    const bool appendsRows = method == ConsolidationMethod::A || method == ConsolidationMethod::B;
    if (!appendsRows || isBlank(title) || !isBlank(dataRange))
        return std::nullopt;
    const engine::RangeText parts = engine::RangeText::split(title);
    const QString letters = engine::fGetchar(parts.first).toUpper();
    int bottom = 0;
    try {
        bottom = engine::rowNumberOf(parts.last);
    } catch (const engine::ConversionError&) {
        return std::nullopt;
    }
    const QString start = letters + QString::number(qint64(bottom) + 1);
    return method == ConsolidationMethod::A ? start + u':' : start + QStringLiteral(":ALL");
}

PageGuardDecision decidePageEntry(ConsolidationMethod method, bool hasUnsavedChanges,
                                  const QString& dataFolder) {
    if (method == ConsolidationMethod::D)
        return {PageGuardStep::MethodD, msg::kMethodDRefused, true};
    if (hasUnsavedChanges)
        return {PageGuardStep::Unsaved, msg::kSaveFirst, true};
    // A missing folder name leaves the page open, as it always has; the lists stay empty.
    if (isBlank(dataFolder))
        return {PageGuardStep::NoDataFolder, msg::kNoDataFolder, false};
    if (!QFileInfo(dataFolder).isDir())
        return {PageGuardStep::MissingDataFolder, msg::kBadDataFolder, true};
    return {};
}

bool ensureResultFolder(const QString& dataFolder) {
    const QFileInfo result(engine::ResultFolder(dataFolder));
    if (result.isDir())
        return true;
    return QDir(dataFolder).mkdir(msg::kResultSubfolder);
}

} // namespace project
