// Headers and footers of a printed page: the file format's codes ("&L&\"Arial,Bold\"&14Title
// &R&P / &N") turned into three sections of formatted text for one page.
#pragma once

#include <QColor>
#include <QDateTime>
#include <QString>
#include <array>
#include <optional>
#include <vector>

class QPainter;
class QRectF;

namespace viewer {

// What the field codes stand for on one page.
struct PageFields {
    int page = 1;
    int pages = 1;
    QDateTime printedAt;
    QString fileName;  // &F
    QString folder;    // &Z
    QString sheetName; // &A
};

// A piece of header text in one format.
struct HeaderRun {
    QString text;
    QString family; // empty: the default font
    double points = 11;
    bool bold = false, italic = false, underline = false, strike = false;
    std::optional<QColor> color;
};

enum class HeaderSection { Left, Center, Right };

// The runs of the left, centre and right sections; text without a section code is centred.
using HeaderSections = std::array<std::vector<HeaderRun>, 3>;

HeaderSections expandHeaderFooter(const QString& codes, const PageFields& fields);

// The plain text of one section, runs joined; line breaks stay '\n'.
QString sectionText(const HeaderSections& sections, HeaderSection section);

// Draws the three sections in `band` (device pixels), left, centred and right aligned, their
// lines starting at the band's top (`fromTop`) or ending at its bottom; a point of font size
// is `dpi` / 72 pixels.
void drawHeaderFooter(QPainter& painter, const HeaderSections& sections, const QRectF& band,
                      double dpi, bool fromTop);

} // namespace viewer
