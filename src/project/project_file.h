// The project file: twelve lines in the order of ProjectSettings, CR LF line ends, written in
// code page 949 without a byte-order mark; read as text_codec::decode reads it (code page 949
// first, UTF-8 after a byte-order mark or when the bytes are no code page 949).
#pragma once

#include "project/project_settings.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace project {

inline constexpr int kProjectLineCount = 12;
// A project file holds a dozen short lines; anything far larger is something else.
inline constexpr qint64 kMaxProjectFileSize = 64 * 1024;

// The log file of a project file: its path without the last four characters, then ".log".
QString logFilePathOf(const QString& projectPath);

enum class ReadFailure { None, Unreadable, NotAProjectFile };

// The twelve lines of a project file; lines missing at the end read as empty.
struct ProjectFileText {
    ReadFailure failure = ReadFailure::None;
    QString message; // the error report when failure is set
    QStringList lines;
};

ProjectFileText readProjectFile(const QString& path);
// The same for bytes already read; `path` only names the file in messages.
ProjectFileText parseProjectFile(const QByteArray& bytes, const QString& path);

// The values of the lines, in the order the page places them. A method or kind line that is no
// integer stops the placing there; an integer out of range leaves the control as it is.
struct ProjectLines {
    QStringList lines;
    bool methodLineIsInteger = false;
    std::optional<ConsolidationMethod> method;
    bool rangeKindLineIsInteger = false;
    std::optional<int> rangeKind;

    const QString& line(int number) const { return lines[number - 1]; }
};

ProjectLines interpretProjectLines(const QStringList& lines);

// The project values of the twelve lines, with `fallback` where the method line names none.
ProjectSettings settingsOfLines(const ProjectLines& loaded,
                                ConsolidationMethod fallback = ConsolidationMethod::A);

// The twelve lines written for a project, without line ends.
QStringList projectFileLines(const ProjectSettings& settings);

// The line number (1..12) of the first value the project file cannot hold: a character
// outside code page 949, or a line break that would shift every line after it.
std::optional<int> firstUnstorableLine(const ProjectSettings& settings);
QString unstorableFieldMessage(const ProjectSettings& settings, int lineNumber);

struct WriteResult {
    bool ok = true;
    QString message; // the error report when not ok
};

// Writes beside the target and renames into place, so a failed write never leaves a
// truncated project file behind.
WriteResult writeProjectFile(const QString& path, const ProjectSettings& settings);

} // namespace project
