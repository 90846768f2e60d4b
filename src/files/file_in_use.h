// Whether a workbook is open elsewhere, so that deleting, renaming or overwriting it would
// pull it from under its user.
#pragma once

#include <QString>

namespace files {

// False when no file exists at `fName`. True when the file cannot be opened for reading and
// writing, is read-only, has a spreadsheet application's lock file beside it (".~lock.NAME#"
// or "~$NAME"), or another process holds an advisory lock on it (fcntl or flock).
bool IsFileInUse(const QString& fName);

} // namespace files
