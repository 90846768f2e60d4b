// Qt's own texts in Korean whatever the system's language.
#include "app/korean_translations.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>
#include <gtest/gtest.h>

namespace {

bool hasHangul(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() >= 0xAC00 && c.unicode() <= 0xD7A3)
            return true;
    return false;
}

TEST(KoreanTranslations, StandardButtonsAndQuestionsSpeakKorean) {
    const QString catalogue =
        QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_ko.qm");
    if (!QFileInfo::exists(catalogue))
        GTEST_SKIP() << "Qt's Korean translations (qt6-translations-l10n) are not installed";
    QLocale::setDefault(QLocale::c()); // the system's language must not matter

    QTranslator* translator = app::installKoreanQtTranslations(*QCoreApplication::instance());
    ASSERT_NE(translator, nullptr);
    QMessageBox box(QMessageBox::Question, QString(), QString(),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_TRUE(hasHangul(box.button(QMessageBox::Yes)->text()))
        << box.button(QMessageBox::Yes)->text().toStdString();
    EXPECT_TRUE(hasHangul(box.button(QMessageBox::Cancel)->text()));
    // The save dialog's question before replacing a file.
    EXPECT_TRUE(hasHangul(QCoreApplication::translate(
        "QFileDialog", "%1 already exists.\nDo you want to replace it?")));

    QCoreApplication::removeTranslator(translator);
    delete translator;
    QLocale::setDefault(QLocale::system());
}

} // namespace
