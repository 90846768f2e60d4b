// What the project page does while the user edits: the range fields each method uses, the
// data range proposed when the title range is left, and the guard in front of the
// consolidation page. The window only applies these decisions to its controls.
#pragma once

#include "project/project_settings.h"

#include <QString>
#include <optional>

namespace project {

// Enabled fields are drawn in the window colour, disabled ones in the inactive-border grey.
enum class FieldColour { Window, InactiveBorder };

struct FieldState {
    bool enabled = true;
    FieldColour colour = FieldColour::Window;
    std::optional<int> width; // nullopt: the field keeps its width

    bool operator==(const FieldState&) const = default;
};

struct MethodFieldStates {
    FieldState title;
    FieldState dataRange;
    FieldState sumRange;
    QString message; // shown at once when not empty
};

inline constexpr int kRangeFieldWidth = 191;

MethodFieldStates fieldStatesFor(ConsolidationMethod method);

// The data range to put into an empty data-range field when the title field is left, or
// nullopt when nothing is to change.
std::optional<QString> dataRangeAfterTitle(ConsolidationMethod method, const QString& title,
                                           const QString& dataRange);

enum class PageGuardStep { MethodD, Unsaved, NoDataFolder, MissingDataFolder, Enter };

struct PageGuardDecision {
    PageGuardStep step = PageGuardStep::Enter;
    QString message; // plain message box; empty on Enter
    bool backToProject = false;
};

PageGuardDecision decidePageEntry(ConsolidationMethod method, bool hasUnsavedChanges,
                                  const QString& dataFolder);

// Creates the data folder's Result folder when it is missing; false when that fails.
bool ensureResultFolder(const QString& dataFolder);

} // namespace project
