#include "files/workbook_folder.h"

#include "files/files_messages.h"

#include <QDir>
#include <algorithm>

namespace files {

bool isLockFileName(const QString& name) {
    if (name.startsWith(QStringLiteral("~$")))
        return true;
    return name.startsWith(QStringLiteral(".~lock.")) && name.endsWith(QLatin1Char('#'));
}

bool lessIgnoringCase(const QString& left, const QString& right) {
    const int order = QString::compare(left, right, Qt::CaseInsensitive);
    if (order != 0)
        return order < 0;
    return QString::compare(left, right, Qt::CaseSensitive) < 0;
}

void sortIgnoringCase(QStringList& names) {
    std::stable_sort(names.begin(), names.end(), lessIgnoringCase);
}

QStringList listWorkbooks(const QString& folder) {
    if (folder.trimmed().isEmpty())
        return {};
    QDir dir(folder);
    if (!dir.exists())
        return {};
    // Name filters match without regard to case unless QDir::CaseSensitive is given, as the
    // file dialogs of the desktop do: BOOK.XLSX is a workbook too.
    const QStringList found =
        dir.entryList({QStringLiteral("*.xls*")}, QDir::Files | QDir::NoDotAndDotDot, QDir::NoSort);
    QStringList names;
    for (const QString& name : found) {
        if (!isLockFileName(name))
            names.append(name);
    }
    sortIgnoringCase(names);
    return names;
}

QString fullPathOf(const QString& folder, const QString& name) {
    QString base = QDir::fromNativeSeparators(folder);
    while (base.size() > 1 && base.endsWith(QLatin1Char('/')))
        base.chop(1);
    if (base == QStringLiteral("/"))
        base.clear();
    return QDir::toNativeSeparators(base + QLatin1Char('/') + name);
}

QString folderCaption(int count) {
    return msg::kFolderCaption + QString::number(count) + msg::kCaptionClose;
}

QString folderCaptionOnEntry(int count) {
    return msg::kFolderCaptionOnEntry + QString::number(count) + msg::kCaptionClose;
}

QString listCaption(int count) {
    return msg::kListCaption + QString::number(count) + msg::kCaptionClose;
}

} // namespace files
