// Options of the main window kept from one start to the next. They belong to the user, not to
// a project: the project file keeps its twelve lines. Stored with QSettings in INI format in
// the user's settings folder ("Tabrinel/Tabrinel.ini"), which is writable also when the
// program folder is not.
#pragma once

namespace app {

// The sheets page's "시트검사때 양식도 비교" option; off until the user ticks it once.
bool savedFormCheck();
void saveFormCheck(bool on);

} // namespace app
