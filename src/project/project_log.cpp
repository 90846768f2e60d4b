#include "project/project_log.h"

#include "engine/run_log.h"

#include "project/project_messages.h"
#include "project/project_text.h"

#include <QFile>

namespace project {

namespace {

// A character code page 949 has no room for is stored as "?", so that the line is kept.
QByteArray encodeLogText(const QString& text) {
    if (std::optional<QByteArray> bytes = encodeStoredText(text))
        return *bytes;
    QByteArray bytes;
    for (QChar c : text)
        bytes += encodeStoredText(QString(c)).value_or(QByteArrayLiteral("?"));
    return bytes;
}

} // namespace

QString timeStampedLine(const QDateTime& when, const QString& text) {
    return engine::RunLog::line(when, text);
}

std::optional<QString> createLogFileIfMissing(const QString& path) {
    if (QFile::exists(path))
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return msg::kLogFileUnwritable.arg(path);
    return std::nullopt;
}

std::optional<QString> appendLogLine(const QString& path, const QString& line) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return msg::kLogFileUnwritable.arg(path);
    const QByteArray bytes = encodeLogText(line) + "\r\n";
    if (file.write(bytes) != bytes.size() || !file.flush())
        return msg::kLogFileUnwritable.arg(path);
    return std::nullopt;
}

std::optional<QStringList> readLogLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    // A log with a stray byte is still shown; undecodable bytes become replacement marks.
    const QString text = decodeStoredText(bytes).value_or(QString::fromLocal8Bit(bytes));
    return splitTextLines(text);
}

} // namespace project
