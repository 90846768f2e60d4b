// The program's text files (project file, run log): written as code page 949 with CR LF line
// ends and no mark, and read as code page 949 first, since that is what the program writes.
// A character code page 949 has no room for is refused with a message, never replaced by "?",
// so that what is saved is always what the user sees.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace engine::text_codec {

// The text of the bytes: UTF-8 after a byte-order mark (the mark dropped); else code page 949
// when every byte pair is one it assigns; else UTF-8 when the bytes are valid UTF-8; nullopt
// when they are neither. Code page 949 goes first because hundreds of Hangul syllables in it
// (홍, 화, 천, ...) also form valid UTF-8 byte sequences, whereas UTF-8 Hangul seldom forms
// valid code page 949: its second bytes mostly fall where code page 949 assigns nothing.
std::optional<QString> decode(const QByteArray& bytes);

// The text in code page 949. Fails with a message naming the first character that code page
// cannot hold; `error` may be null.
std::optional<QByteArray> encodeCp949(const QString& text, QString* error = nullptr);

// encodeCp949 for many texts, keeping one converter open between them.
class Cp949Encoder {
public:
    Cp949Encoder();
    ~Cp949Encoder();
    Cp949Encoder(const Cp949Encoder&) = delete;
    Cp949Encoder& operator=(const Cp949Encoder&) = delete;

    std::optional<QByteArray> encode(const QString& text, QString* error = nullptr);

private:
    class Converter;
    std::unique_ptr<Converter> converter_;
};

// Lines ended by CR LF, LF or CR; a line end after the last line starts no new line.
QStringList splitLines(const QString& text);

// Every line followed by CR LF.
QString joinLinesCrLf(const QStringList& lines);

// The lines of a text file; on failure `error` holds a message to show.
std::optional<QStringList> readLines(const QString& path, QString* error = nullptr);

// Replaces the file with the lines, each ended by CR LF. Nothing on disk changes when a line
// cannot be encoded or the file cannot be written completely.
bool writeLines(const QString& path, const QStringList& lines, QString* error = nullptr);

// Appends the lines, each ended by CR LF, creating the file when missing. Nothing is appended
// when a line cannot be encoded.
bool appendLines(const QString& path, const QStringList& lines, QString* error = nullptr);

} // namespace engine::text_codec
