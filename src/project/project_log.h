// The project's log file as the project page uses it: created empty when a project is loaded,
// and given one time-stamped line when the project is saved.
#pragma once

#include <QString>
#include <optional>

namespace project {

// Error report, or nullopt on success.
std::optional<QString> createLogFileIfMissing(const QString& path);
// Appends one line and its CR LF, creating the file when it is missing; error report, or
// nullopt on success.
std::optional<QString> appendLogLine(const QString& path, const QString& line);

} // namespace project
