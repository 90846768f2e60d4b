// Where a run's result goes: the Result folder inside the data folder, and the time-stamp name
// used when the user names no file.
#pragma once

#include <QDateTime>
#include <QString>

namespace engine {

// The data folder's "Result" subfolder, in the platform's separators.
QString ResultFolder(const QString& dataFolder);

// A workbook of the data folder: the folder, the separator and the list entry.
QString workbookPath(const QString& dataFolder, const QString& entry);

// "yyyymmddhhmmss.xlsx" of `when`.
QString timeStampFileName(const QDateTime& when);

// The time-stamp path in `folder` for `when`. A file of that name is never overwritten: while
// one exists, "_2", "_3", ... go before ".xlsx".
QString timeStampPath(const QString& folder, const QDateTime& when);

} // namespace engine
