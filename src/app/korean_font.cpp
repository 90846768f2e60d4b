#include "app/korean_font.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

namespace app {

namespace {

// Syllables that reach highest and lowest in common Korean fonts.
const QString kTallestHangul = QStringLiteral("가한글흙빛뷁퓔쀍");

QFont sized(const QString& family, int pixelSize) {
    QFont font(family);
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace

bool drawsHangulWhole(const QFont& font) {
    const QFontMetrics metrics(font);
    if (!metrics.inFontUcs4(U'한'))
        return false;
    const QRect ink = metrics.tightBoundingRect(kTallestHangul);
    return ink.top() >= -metrics.ascent() && ink.bottom() <= metrics.descent();
}

QString koreanWindowFamily(int pixelSize) {
    const QStringList installed = QFontDatabase::families();
    // The form's own font first; then proportional fonts made for Korean screens.
    QStringList candidates{QStringLiteral("굴림체"),           QStringLiteral("GulimChe"),
                           QStringLiteral("NanumGothic"),      QStringLiteral("NanumBarunGothic"),
                           QStringLiteral("Noto Sans CJK KR"), QStringLiteral("Noto Sans KR")};
    candidates << QFontDatabase::families(QFontDatabase::Korean);
    for (const QString& family : candidates)
        if (installed.contains(family) && drawsHangulWhole(sized(family, pixelSize)))
            return family;
    const QStringList korean = QFontDatabase::families(QFontDatabase::Korean);
    return korean.isEmpty() ? QString() : korean.first();
}

} // namespace app
