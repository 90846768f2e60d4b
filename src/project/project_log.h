// The project's log file as the project page uses it: created empty when a project is loaded,
// one time-stamped line when it is saved, and read whole into the on-screen log.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

namespace project {

// "yyyy-mm-dd hh:mm:ss", one blank, the text.
QString timeStampedLine(const QDateTime& when, const QString& text);

// Error report, or nullopt on success.
std::optional<QString> createLogFileIfMissing(const QString& path);
// Appends one line and its CR LF, creating the file when it is missing.
std::optional<QString> appendLogLine(const QString& path, const QString& line);

// The lines of the whole log file; nullopt when it cannot be read.
std::optional<QStringList> readLogLines(const QString& path);

} // namespace project
