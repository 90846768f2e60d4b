// Text of the project's own files (project file and log file) to and from bytes.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace project {

// UTF-8 (with or without a byte-order mark), else code page 949; nullopt when neither fits.
std::optional<QString> decodeStoredText(const QByteArray& bytes);
// Code page 949; nullopt when the text holds a character that code page cannot hold.
std::optional<QByteArray> encodeStoredText(const QString& text);

// Lines ended by CR LF, LF or CR; the line end after the last line starts no new line.
QStringList splitTextLines(const QString& text);

} // namespace project
