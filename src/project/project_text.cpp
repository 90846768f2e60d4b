#include "project/project_text.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>

namespace project {

std::optional<QString> decodeStoredText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder cp949("windows-949");
    text = cp949.decode(bytes);
    if (!cp949.isValid() || cp949.hasError())
        return std::nullopt;
    return text;
}

std::optional<QByteArray> encodeStoredText(const QString& text) {
    QStringEncoder cp949("windows-949");
    QByteArray bytes = cp949.encode(text);
    if (!cp949.isValid() || cp949.hasError())
        return std::nullopt;
    return bytes;
}

QStringList splitTextLines(const QString& text) {
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(lineEnd);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace project
