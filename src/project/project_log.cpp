#include "project/project_log.h"

#include "engine/text_codec.h"
#include "engine/text_codec_messages.h"
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

std::optional<QString> LogAppender::append(const QString& line) {
    QString detail;
    const std::optional<QByteArray> bytes = encoder_.encode(line + QStringLiteral("\r\n"), &detail);
    if (!bytes)
        return msg::kLogFileUnwritable.arg(detail);
    if (!file_.isOpen()) {
        file_.setFileName(path_);
        // Unbuffered: every line goes straight to the file, none waits in a buffer for a crash.
        if (!file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            return msg::kLogFileUnwritable.arg(
                engine::msg::kCannotWrite.arg(path_, file_.errorString()));
    }
    if (file_.write(*bytes) == bytes->size())
        return std::nullopt;
    const QString error = engine::msg::kCannotWrite.arg(path_, file_.errorString());
    file_.close();
    return msg::kLogFileUnwritable.arg(error);
}

} // namespace project
