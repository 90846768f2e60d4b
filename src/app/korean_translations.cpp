#include "app/korean_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace app {

QTranslator* installKoreanQtTranslations(QCoreApplication& application) {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const QLocale korean(QLocale::Korean, QLocale::SouthKorea);
    auto* translator = new QTranslator(&application);
    // qtbase holds the widgets' and dialogs' texts; qt_ko gathers it with the other modules.
    for (const QString& catalogue : {QStringLiteral("qtbase"), QStringLiteral("qt")}) {
        if (translator->load(korean, catalogue, QStringLiteral("_"), folder) &&
            QCoreApplication::installTranslator(translator))
            return translator;
    }
    delete translator;
    return nullptr;
}

} // namespace app
