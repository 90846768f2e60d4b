#include "files/file_operations.h"

#include "files/file_in_use.h"
#include "files/workbook_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace files {

namespace {

// The home trash ($XDG_DATA_HOME/Trash) must exist before the file is handed over: when the
// trash cannot be set up, QFile::moveToTrash moves the file into "files" below the working
// directory instead of refusing. The desktop's trash convention lets a program create it.
bool ensureHomeTrash() {
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataHome.isEmpty())
        return false;
    const QDir trash(QDir(dataHome).filePath(QStringLiteral("Trash")));
    const bool made = QDir().mkpath(trash.filePath(QStringLiteral("files"))) &&
                      QDir().mkpath(trash.filePath(QStringLiteral("info")));
    if (made)
        QFile::setPermissions(trash.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                QFile::ReadUser | QFile::WriteUser |
                                                QFile::ExeUser);
    return made;
}

} // namespace

bool DeleteFileWithUndo(const QString& sFileName) {
    if (!QFileInfo(sFileName).isFile() || !ensureHomeTrash())
        return false;
    return QFile::moveToTrash(sFileName);
}

DeleteOutcome deleteWorkbooks(const QString& folder, const QStringList& names) {
    DeleteOutcome outcome;
    for (const QString& name : names) {
        const QString path = fullPathOf(folder, name);
        if (!QFileInfo::exists(path)) {
            outcome.removed.append(name);
            continue;
        }
        if (!IsFileInUse(path) && DeleteFileWithUndo(path))
            outcome.removed.append(name);
        else
            outcome.kept.append(name);
    }
    return outcome;
}

QString renamePrefill(const QString& name) {
    const QString suffix = QFileInfo(name).suffix();
    if (suffix.isEmpty())
        return name;
    return name.left(name.size() - suffix.size() - 1);
}

QString renamedFileName(const QString& name, const QString& answer) {
    const QString suffix = QFileInfo(name).suffix();
    if (suffix.isEmpty())
        return answer;
    const QString extension = QLatin1Char('.') + suffix;
    if (answer.endsWith(extension, Qt::CaseInsensitive))
        return answer.left(answer.size() - extension.size()) + extension;
    return answer + extension;
}

bool isUsableFileName(const QString& fileName) {
    static const QString refused = QStringLiteral("/\\<>:\"|?*");
    if (fileName.trimmed().isEmpty() || fileName.contains(QStringLiteral("..")))
        return false;
    for (const QChar c : fileName) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || refused.contains(c))
            return false;
    }
    return true;
}

RenameResult renameWorkbook(const QString& folder, const QString& name, const QString& answer) {
    if (answer.trimmed().isEmpty())
        return {RenameStatus::Empty, {}};
    if (answer == name)
        return {RenameStatus::Unchanged, name};
    const QString newName = renamedFileName(name, answer);
    if (newName == name)
        return {RenameStatus::Unchanged, name};
    if (!isUsableFileName(newName))
        return {RenameStatus::Refused, newName};
    const QString target = fullPathOf(folder, newName);
    // QFile::rename refuses an existing target; asking first also covers a target that differs
    // only in case on a file system that ignores case.
    if (QFileInfo::exists(target) || !QFile::rename(fullPathOf(folder, name), target))
        return {RenameStatus::Refused, newName};
    return {RenameStatus::Renamed, newName};
}

} // namespace files
