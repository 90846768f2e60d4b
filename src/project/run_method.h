// Starts the engine of a project's consolidation method; the window's run button and the batch
// runner both come here.
#pragma once

#include "engine/form_area.h"
#include "engine/run_host.h"
#include "project/project_settings.h"

#include <optional>

namespace project {

// Runs method A, B, C or E to its end. Method D is never run: it is refused when a project is
// saved and when the sheet-consolidation page is entered, and here it does nothing.
void runMethod(ConsolidationMethod method, engine::RunHost& host);

// What the form check compares for a method; nullopt for method D, which takes nothing.
std::optional<engine::form::FormMethod> formMethodOf(ConsolidationMethod method);

} // namespace project
