// Deleting into the desktop trash and renaming the workbooks of the data folder.
#pragma once

#include <QString>
#include <QStringList>

namespace files {

// Moves the file to the desktop trash, from where the user can restore it. True on success.
bool DeleteFileWithUndo(const QString& sFileName);

// Deleting several entries of one folder: a file in use is left alone, as the desktop would
// refuse to move it. `removed` names the entries that are gone from the folder afterwards
// (trashed, or already missing), `kept` those still there.
struct DeleteOutcome {
    QStringList removed;
    QStringList kept;
};
DeleteOutcome deleteWorkbooks(const QString& folder, const QStringList& names);

// The answer the rename box offers: the name without its extension.
QString renamePrefill(const QString& name);

enum class RenameStatus {
    Renamed,   // the file now carries newName
    Unchanged, // the answer names the file as it is; nothing to do
    Empty,     // no name given
    Refused,   // not a usable name, a file of that name exists, or the system refused
};

// Why a rename was refused.
enum class RenameRefusal {
    None,
    NameTaken,    // a file of the new name exists
    UnusableName, // the name holds a character or part file systems refuse (refusedPart)
    SystemRefused // the file is gone or the file system would not rename it
};

struct RenameResult {
    RenameStatus status = RenameStatus::Refused;
    QString newName;
    RenameRefusal refusal = RenameRefusal::None;
    QString refusedPart; // with UnusableName: the character or ".." that cannot stand
};

// The file name an answer of the rename box gives: the answer with the file's own extension.
// An answer that already ends in that extension keeps it once.
QString renamedFileName(const QString& name, const QString& answer);

// True when `fileName` can stand as a file name inside the data folder: no separator, no "..",
// no control characters or characters the desktop's file systems refuse in a name.
bool isUsableFileName(const QString& fileName);
// The first character or part that keeps `fileName` from being usable, as it would be shown
// (a control character as U+XXXX); empty when the name is usable or blank.
QString unusablePartOf(const QString& fileName);

// Renames `name` in `folder` following the answer of the rename box. Never replaces an
// existing file.
RenameResult renameWorkbook(const QString& folder, const QString& name, const QString& answer);

// The line that tells the user why a refused rename was refused.
QString renameRefusalReason(const RenameResult& result);

} // namespace files
