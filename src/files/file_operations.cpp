#include "files/file_operations.h"

#include "files/file_in_use.h"
#include "files/files_messages.h"
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

QString unusablePartOf(const QString& fileName) {
    static const QString refused = QStringLiteral("/\\<>:\"|?*");
    for (const QChar c : fileName) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
        if (refused.contains(c))
            return QString(c);
    }
    if (fileName.contains(QStringLiteral("..")))
        return QStringLiteral("..");
    return {};
}

bool isUsableFileName(const QString& fileName) {
    return !fileName.trimmed().isEmpty() && unusablePartOf(fileName).isEmpty();
}

namespace {

RenameResult renameOutcome(RenameStatus status, const QString& newName) {
    RenameResult result;
    result.status = status;
    result.newName = newName;
    return result;
}

RenameResult refusedRename(const QString& newName, RenameRefusal refusal,
                           const QString& refusedPart = {}) {
    RenameResult result = renameOutcome(RenameStatus::Refused, newName);
    result.refusal = refusal;
    result.refusedPart = refusedPart;
    return result;
}

} // namespace

RenameResult renameWorkbook(const QString& folder, const QString& name, const QString& answer) {
    if (answer.trimmed().isEmpty())
        return renameOutcome(RenameStatus::Empty, {});
    if (answer == name)
        return renameOutcome(RenameStatus::Unchanged, name);
    const QString newName = renamedFileName(name, answer);
    if (newName == name)
        return renameOutcome(RenameStatus::Unchanged, name);
    if (!isUsableFileName(newName))
        return refusedRename(newName, RenameRefusal::UnusableName, unusablePartOf(newName));
    const QString target = fullPathOf(folder, newName);
    // QFile::rename refuses an existing target; asking first also covers a target that differs
    // only in case on a file system that ignores case.
    if (QFileInfo::exists(target))
        return refusedRename(newName, RenameRefusal::NameTaken);
    if (!QFile::rename(fullPathOf(folder, name), target))
        return refusedRename(newName, RenameRefusal::SystemRefused);
    return renameOutcome(RenameStatus::Renamed, newName);
}

QString renameRefusalReason(const RenameResult& result) {
    switch (result.refusal) {
    case RenameRefusal::NameTaken:
        return msg::kRenameNameTaken.arg(result.newName);
    case RenameRefusal::UnusableName:
        return msg::kRenameUnusablePart.arg(result.refusedPart);
    case RenameRefusal::SystemRefused:
    case RenameRefusal::None:
        break;
    }
    return msg::kRenameSystemRefused;
}

} // namespace files
