#include "engine/result_folder.h"

#include <QDir>
#include <QFileInfo>

namespace engine {

namespace {

QString nativePath(const QString& folder, const QString& name) {
    return QDir::toNativeSeparators(QDir(folder).filePath(name));
}

} // namespace

QString ResultFolder(const QString& dataFolder) {
    return nativePath(dataFolder, QStringLiteral("Result"));
}

QString workbookPath(const QString& dataFolder, const QString& entry) {
    return nativePath(dataFolder, entry);
}

QString timeStampFileName(const QDateTime& when) {
    return when.toString(QStringLiteral("yyyyMMddHHmmss")) + QStringLiteral(".xlsx");
}

QString timeStampPath(const QString& folder, const QDateTime& when) {
    const QString stem = when.toString(QStringLiteral("yyyyMMddHHmmss"));
    QString path = nativePath(folder, stem + QStringLiteral(".xlsx"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = nativePath(folder, stem + u'_' + QString::number(n) + QStringLiteral(".xlsx"));
    return path;
}

} // namespace engine
