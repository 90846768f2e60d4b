#include "engine/text_codec.h"

#include "engine/text_codec_messages.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <cerrno>
#include <iconv.h>

namespace engine::text_codec {

namespace {

void setError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

// One iconv conversion descriptor, closed on every path.
class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (valid())
            iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of `in`. On an invalid or incomplete sequence returns false with
    // `failedAt` the offset of the first byte that could not be converted.
    bool convert(const QByteArray& in, QByteArray& out, qsizetype& failedAt) {
        out.resize(in.size() * 2 + 16);
        char* inPtr = const_cast<char*>(in.constData());
        size_t inLeft = static_cast<size_t>(in.size());
        char* outPtr = out.data();
        size_t outLeft = static_cast<size_t>(out.size());
        while (inLeft > 0) {
            if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1))
                continue;
            if (errno != E2BIG) {
                failedAt = inPtr - in.constData();
                iconv(cd_, nullptr, nullptr, nullptr, nullptr); // ready for the next text
                return false;
            }
            const qsizetype used = outPtr - out.data();
            out.resize(out.size() * 2);
            outPtr = out.data() + used;
            outLeft = static_cast<size_t>(out.size() - used);
        }
        out.resize(outPtr - out.data());
        return true;
    }

private:
    iconv_t cd_;
};

const QByteArrayView kByteOrderMark("\xEF\xBB\xBF");

std::optional<QString> decodeUtf8(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return std::nullopt;
    return text;
}

// Strict: a byte pair code page 949 does not assign fails the whole text.
std::optional<QString> decodeCp949(const QByteArray& bytes) {
    Iconv toUtf8("UTF-8", "CP949");
    if (!toUtf8.valid())
        return std::nullopt;
    QByteArray utf8;
    qsizetype failedAt = 0;
    if (!toUtf8.convert(bytes, utf8, failedAt))
        return std::nullopt;
    return QString::fromUtf8(utf8);
}

QString unencodableMessage(const QByteArray& utf8, qsizetype failedAt) {
    const QString rest = QString::fromUtf8(utf8.mid(failedAt));
    const char32_t code = rest.isEmpty() ? 0 : rest.toUcs4().value(0);
    const QString character = QString::fromUcs4(&code, 1);
    return msg::kUnencodable.arg(character, QString::number(code, 16).toUpper());
}

// Position of the first surrogate without its partner, or -1. QString::toUtf8 would turn it
// into "?", which is exactly the silent loss the encoder must refuse.
qsizetype unpairedSurrogate(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.isSurrogate())
            return i;
    }
    return -1;
}

} // namespace

std::optional<QString> decode(const QByteArray& bytes) {
    if (bytes.startsWith(kByteOrderMark))
        return decodeUtf8(QByteArrayView(bytes).sliced(kByteOrderMark.size()));
    if (std::optional<QString> text = decodeCp949(bytes))
        return text;
    return decodeUtf8(bytes);
}

class Cp949Encoder::Converter : public Iconv {
public:
    Converter() : Iconv("CP949", "UTF-8") {}
};

Cp949Encoder::Cp949Encoder() : converter_(std::make_unique<Converter>()) {}

Cp949Encoder::~Cp949Encoder() = default;

std::optional<QByteArray> Cp949Encoder::encode(const QString& text, QString* error) {
    if (const qsizetype lone = unpairedSurrogate(text); lone >= 0) {
        setError(error, msg::kUnencodable.arg(QString(QChar(QChar::ReplacementCharacter)),
                                              QString::number(text[lone].unicode(), 16).toUpper()));
        return std::nullopt;
    }
    if (!converter_->valid()) {
        setError(error, msg::kNoCp949);
        return std::nullopt;
    }
    const QByteArray utf8 = text.toUtf8();
    QByteArray bytes;
    qsizetype failedAt = 0;
    if (!converter_->convert(utf8, bytes, failedAt)) {
        setError(error, unencodableMessage(utf8, failedAt));
        return std::nullopt;
    }
    return bytes;
}

std::optional<QByteArray> encodeCp949(const QString& text, QString* error) {
    return Cp949Encoder().encode(text, error);
}

QStringList splitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines << text.mid(start, i - start);
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

QString joinLinesCrLf(const QStringList& lines) {
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

std::optional<QStringList> readLines(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, msg::kCannotRead.arg(path, file.errorString()));
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setError(error, msg::kCannotRead.arg(path, file.errorString()));
        return std::nullopt;
    }
    std::optional<QString> text = decode(bytes);
    if (!text) {
        setError(error, msg::kUndecodable.arg(path));
        return std::nullopt;
    }
    return splitLines(*text);
}

bool writeLines(const QString& path, const QStringList& lines, QString* error) {
    std::optional<QByteArray> bytes = encodeCp949(joinLinesCrLf(lines), error);
    if (!bytes)
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size() || !file.commit()) {
        setError(error, msg::kCannotWrite.arg(path, file.errorString()));
        return false;
    }
    return true;
}

bool appendLines(const QString& path, const QStringList& lines, QString* error) {
    std::optional<QByteArray> bytes = encodeCp949(joinLinesCrLf(lines), error);
    if (!bytes)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append) ||
        file.write(*bytes) != bytes->size() || !file.flush()) {
        setError(error, msg::kCannotWrite.arg(path, file.errorString()));
        return false;
    }
    return true;
}

} // namespace engine::text_codec
