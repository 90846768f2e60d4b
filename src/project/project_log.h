// The project's log file as the project page uses it: created empty when a project is loaded,
// and given one time-stamped line when the project is saved.
#pragma once

#include "engine/text_codec.h"

#include <QFile>
#include <QString>
#include <optional>

namespace project {

// Error report, or nullopt on success.
std::optional<QString> createLogFileIfMissing(const QString& path);
// Appends one line and its CR LF, creating the file when it is missing; error report, or
// nullopt on success.
std::optional<QString> appendLogLine(const QString& path, const QString& line);

// Appends lines to one log file and keeps it open between them, as a run that logs a few lines
// for every workbook wants. Each line is in the file when append returns; after a failed line
// the next one opens the file again.
class LogAppender {
public:
    explicit LogAppender(QString path) : path_(std::move(path)) {}

    // Error report, or nullopt on success.
    std::optional<QString> append(const QString& line);

private:
    QString path_;
    QFile file_;
    engine::text_codec::Cp949Encoder encoder_;
};

} // namespace project
