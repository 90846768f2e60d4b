#include "project/project_log.h"

#include "engine/text_codec.h"
#include "project/project_messages.h"

#include <QFile>

namespace project {

std::optional<QString> createLogFileIfMissing(const QString& path) {
    if (QFile::exists(path))
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return msg::kLogFileUnwritable.arg(path + u'\n' + file.errorString());
    return std::nullopt;
}

std::optional<QString> appendLogLine(const QString& path, const QString& line) {
    QString detail;
    if (!engine::text_codec::appendLines(path, {line}, &detail))
        return msg::kLogFileUnwritable.arg(detail);
    return std::nullopt;
}

} // namespace project
