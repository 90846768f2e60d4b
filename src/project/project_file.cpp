#include "project/project_file.h"

#include "engine/text_codec.h"
#include "project/project_messages.h"

#include <QFile>

namespace project {

namespace {

const QByteArray kZipSignature("PK\x03\x04", 4);
const QByteArray kCompoundSignature("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

// Text files hold no control bytes besides tabs and line ends; workbooks and other binaries do.
bool looksBinary(const QByteArray& bytes) {
    if (bytes.startsWith(kZipSignature) || bytes.startsWith(kCompoundSignature))
        return true;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 && byte != '\t' && byte != '\r' && byte != '\n')
            return true;
    }
    return false;
}

ProjectFileText failed(ReadFailure failure, const QString& message) {
    return {failure, message, {}};
}

std::optional<int> integerOf(const QString& line) {
    bool ok = false;
    const int value = line.trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

} // namespace

QString logFilePathOf(const QString& projectPath) {
    return projectPath.left(qMax(0, projectPath.size() - 4)) + QStringLiteral(".log");
}

ProjectFileText readProjectFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(ReadFailure::Unreadable, msg::kProjectFileUnreadable.arg(path));
    if (file.size() > kMaxProjectFileSize)
        return failed(ReadFailure::NotAProjectFile, msg::kNotAProjectFile.arg(path));
    const QByteArray bytes = file.read(kMaxProjectFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return failed(ReadFailure::Unreadable, msg::kProjectFileUnreadable.arg(path));
    return parseProjectFile(bytes, path);
}

ProjectFileText parseProjectFile(const QByteArray& bytes, const QString& path) {
    if (bytes.size() > kMaxProjectFileSize || looksBinary(bytes))
        return failed(ReadFailure::NotAProjectFile, msg::kNotAProjectFile.arg(path));
    const std::optional<QString> text = engine::text_codec::decode(bytes);
    if (!text)
        return failed(ReadFailure::NotAProjectFile, msg::kNotAProjectFile.arg(path));

    QStringList lines = engine::text_codec::splitLines(*text).mid(0, kProjectLineCount);
    while (lines.size() < kProjectLineCount)
        lines << QString();
    return {ReadFailure::None, {}, lines};
}

ProjectLines interpretProjectLines(const QStringList& lines) {
    ProjectLines result;
    result.lines = lines.mid(0, kProjectLineCount);
    while (result.lines.size() < kProjectLineCount)
        result.lines << QString();

    const std::optional<int> method = integerOf(result.line(4));
    result.methodLineIsInteger = method.has_value();
    if (method && isMethodIndex(*method))
        result.method = methodOfIndex(*method);

    const std::optional<int> kind = integerOf(result.line(5));
    result.rangeKindLineIsInteger = kind.has_value();
    // A kind of 2 dates from a third item the group once had; it reads as the second.
    if (kind && *kind >= 0 && *kind <= 2)
        result.rangeKind = *kind == 0 ? 0 : 1;
    return result;
}

ProjectSettings settingsOfLines(const ProjectLines& loaded, ConsolidationMethod fallback) {
    ProjectSettings s;
    s.ProjectName = loaded.line(1);
    s.DataFolder = loaded.line(2);
    s.FileCount = loaded.line(3);
    s.Method = loaded.method.value_or(fallback);
    s.RangeKind = loaded.rangeKind.value_or(0);
    s.SheetName = loaded.line(6);
    s.TitleRange = loaded.line(7);
    s.DataRange = loaded.line(8);
    s.SumRange = loaded.line(9);
    s.ExistingFile = loaded.line(10);
    s.ExistingSheet = loaded.line(11);
    s.CompletedFile = loaded.line(12);
    return s;
}

QStringList projectFileLines(const ProjectSettings& s) {
    return {s.ProjectName,
            s.DataFolder,
            s.FileCount,
            QString::number(indexOfMethod(s.Method)),
            QString::number(s.RangeKind),
            s.SheetName,
            s.TitleRange,
            s.DataRange,
            s.SumRange,
            s.ExistingFile,
            s.ExistingSheet,
            s.CompletedFile};
}

std::optional<int> firstUnstorableLine(const ProjectSettings& settings) {
    const QStringList lines = projectFileLines(settings);
    for (int i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.contains(u'\r') || line.contains(u'\n') || !engine::text_codec::encodeCp949(line))
            return i + 1;
    }
    return std::nullopt;
}

QString unstorableFieldMessage(const ProjectSettings& settings, int lineNumber) {
    const QString value = projectFileLines(settings)[lineNumber - 1];
    QString detail;
    if (engine::text_codec::encodeCp949(value, &detail))
        detail.clear(); // a line break, which the field name says enough about
    const QString message = msg::kUnencodableField.arg(msg::kFieldNames[lineNumber - 1]);
    return detail.isEmpty() ? message : message + u'\n' + detail;
}

WriteResult writeProjectFile(const QString& path, const ProjectSettings& settings) {
    if (const std::optional<int> line = firstUnstorableLine(settings))
        return {false, unstorableFieldMessage(settings, *line)};
    QString detail;
    if (!engine::text_codec::writeLines(path, projectFileLines(settings), &detail))
        return {false, msg::kProjectFileUnwritable.arg(detail)};
    return {};
}

} // namespace project
