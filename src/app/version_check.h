// The start-up comparison of the installed version with the published one.
#pragma once

#include "app/dialogs.h"

#include <QString>

namespace app {

// True when start-up may go on; false when the program must end (the user has been told why).
bool compareversion(const QString& programFolder, Dialogs& dialogs);

} // namespace app
