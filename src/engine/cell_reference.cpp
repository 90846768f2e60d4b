#include "engine/cell_reference.h"

#include <limits>

namespace engine {

namespace {

QStringList buildColumnNames() {
    QStringList names;
    for (int i = 0; i < ColumnNames::kCount; ++i)
        names << QString();
    int k = 0;
    for (int prefix = 1; prefix <= 10; ++prefix) {
        for (int letter = 1; letter <= 26; ++letter) {
            if (++k > 256)
                break;
            const QChar c(64 + letter);
            names[k] = prefix == 1 ? QString(c) : names[prefix - 1] + c;
        }
    }
    return names;
}

} // namespace

const QStringList& ColumnNames::table() {
    static const QStringList names = buildColumnNames();
    return names;
}

QString ColumnNames::at(int index) {
    if (index < 0 || index >= kCount)
        return {};
    return table()[index];
}

int ColumnIndexOf(const QString& letters) {
    const QString wanted = letters.toUpper();
    const QStringList& names = ColumnNames::table();
    for (int i = 1; i <= 256; ++i)
        if (names[i] == wanted)
            return i;
    return ColumnNames::kNotFound;
}

QString fGetNum(QString strIn) {
    QString digits;
    for (QChar c : strIn)
        if (c == u'.' || (c >= u'0' && c <= u'9'))
            digits += c;
    return digits;
}

QString fGetchar(QString strIn) {
    QString letters;
    for (QChar c : strIn)
        if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'))
            letters += c;
    return letters;
}

RangeText RangeText::split(const QString& text) {
    const int colon = text.indexOf(u':');
    if (colon < 0)
        return {QString(), text};
    return {text.left(colon), text.mid(colon + 1)};
}

int rowNumberOf(const QString& part) {
    bool ok = false;
    const qlonglong value = fGetNum(part).toLongLong(&ok);
    if (!ok || value > std::numeric_limits<int>::max())
        throw ConversionError();
    return static_cast<int>(value);
}

CellPart CellPart::read(const QString& part) {
    return {rowNumberOf(part), fGetchar(part)};
}

} // namespace engine
