#include "engine/sheet_prefix.h"

#include <QRegularExpression>

namespace engine {

namespace {

bool isNameLetter(QChar c) {
    const char16_t u = c.unicode();
    if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_')
        return true;
    return (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0x4E00 && u <= 0x9FFF);
}

bool readsAsReference(const QString& name) {
    static const QRegularExpression a1(QStringLiteral("^\\$?[A-Za-z]{1,3}\\$?[0-9]+$"));
    static const QRegularExpression r1c1(QStringLiteral("^([Rr][0-9]*)?([Cc][0-9]*)?$"));
    return a1.match(name).hasMatch() || r1c1.match(name).hasMatch();
}

} // namespace

bool sheetNameNeedsQuotes(const QString& name) {
    if (name.isEmpty() || !isNameLetter(name.front()))
        return true;
    for (QChar c : name)
        if (!isNameLetter(c) && !(c >= u'0' && c <= u'9') && c != u'.')
            return true;
    const QString upper = name.toUpper();
    return readsAsReference(name) || upper == u"TRUE" || upper == u"FALSE";
}

QString sheetSpanPrefix(const QString& firstSheet, const QString& lastSheet) {
    QString span = firstSheet == lastSheet ? firstSheet : firstSheet + u':' + lastSheet;
    if (!sheetNameNeedsQuotes(firstSheet) && !sheetNameNeedsQuotes(lastSheet))
        return span + u'!';
    span.replace(u'\'', QStringLiteral("''"));
    return u'\'' + span + QStringLiteral("'!");
}

} // namespace engine
