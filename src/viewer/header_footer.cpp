#include "viewer/header_footer.h"

#include <QFont>
#include <QLocale>
#include <QPainter>
#include <QRectF>
#include <QTextLayout>
#include <algorithm>

namespace viewer {

namespace {

// Fonts a header names that are not installed fall back as the cells' fonts do.
const QStringList kFallbackFamilies{QStringLiteral("Carlito"), QStringLiteral("NanumGothic"),
                                    QStringLiteral("Nanum Gothic"), QStringLiteral("DejaVu Sans")};
constexpr double kMaxPoints = 409;

class Expander {
public:
    Expander(const QString& codes, const PageFields& fields) : codes_(codes), fields_(fields) {}

    HeaderSections run() {
        while (at_ < codes_.size()) {
            const QChar c = codes_[at_++];
            if (c == QLatin1Char('\r'))
                continue;
            if (c != QLatin1Char('&'))
                append(QString(c));
            else if (at_ < codes_.size())
                code(codes_[at_++]);
        }
        return sections_;
    }

private:
    void append(const QString& text) {
        if (text.isEmpty())
            return;
        std::vector<HeaderRun>& runs = sections_[static_cast<size_t>(section_)];
        if (!runs.empty() && sameFormat(runs.back(), format_)) {
            runs.back().text += text;
            return;
        }
        HeaderRun run = format_;
        run.text = text;
        runs.push_back(std::move(run));
    }

    static bool sameFormat(const HeaderRun& a, const HeaderRun& b) {
        return a.family == b.family && a.points == b.points && a.bold == b.bold &&
               a.italic == b.italic && a.underline == b.underline && a.strike == b.strike &&
               a.color == b.color;
    }

    void code(QChar c) {
        switch (c.toUpper().unicode()) {
        case '&':
            append(QStringLiteral("&"));
            return;
        case 'L':
            return startSection(HeaderSection::Left);
        case 'C':
            return startSection(HeaderSection::Center);
        case 'R':
            return startSection(HeaderSection::Right);
        case 'P':
            append(QString::number(fields_.page + offset()));
            return;
        case 'N':
            append(QString::number(fields_.pages));
            return;
        case 'D':
            append(fields_.printedAt.date().toString(QStringLiteral("yyyy-MM-dd")));
            return;
        case 'T':
            append(
                QLocale(QLocale::Korean).toString(fields_.printedAt.time(), QLocale::ShortFormat));
            return;
        case 'F':
            append(fields_.fileName);
            return;
        case 'Z':
            append(fields_.folder);
            return;
        case 'A':
            append(fields_.sheetName);
            return;
        case 'B':
            format_.bold = !format_.bold;
            return;
        case 'I':
            format_.italic = !format_.italic;
            return;
        case 'U':
        case 'E':
            format_.underline = !format_.underline;
            return;
        case 'S':
            format_.strike = !format_.strike;
            return;
        case 'K':
            return colour();
        case '"':
            return fontName();
        default:
            if (c.isDigit())
                return fontSize(c);
            // &G (a picture), &X and &Y (raised and lowered text) and unknown codes show nothing.
            return;
        }
    }

    void startSection(HeaderSection section) {
        section_ = section;
        format_ = HeaderRun{};
    }

    // "&P+1" and "&P-1" number the pages from another start.
    int offset() {
        if (at_ + 1 >= codes_.size() ||
            (codes_[at_] != QLatin1Char('+') && codes_[at_] != QLatin1Char('-')) ||
            !codes_[at_ + 1].isDigit())
            return 0;
        const int sign = codes_[at_] == QLatin1Char('+') ? 1 : -1;
        ++at_;
        int value = 0;
        while (at_ < codes_.size() && codes_[at_].isDigit() && value < 100000)
            value = value * 10 + codes_[at_++].digitValue();
        return sign * value;
    }

    // "&KRRGGBB", or a theme colour "&K01+000" that is shown in the default colour.
    void colour() {
        const QString hex = codes_.mid(at_, 6);
        at_ += hex.size();
        bool ok = false;
        const uint rgb = hex.toUInt(&ok, 16);
        if (ok && hex.size() == 6) {
            format_.color = QColor::fromRgb(static_cast<QRgb>(0xFF000000u | rgb));
            return;
        }
        format_.color.reset();
        if (at_ < codes_.size() &&
            (codes_[at_] == QLatin1Char('+') || codes_[at_] == QLatin1Char('-')))
            at_ = std::min<qsizetype>(codes_.size(), at_ + 1);
    }

    // &"Family,Style": "-" keeps the family; the style names bold and italic.
    void fontName() {
        const qsizetype end = codes_.indexOf(QLatin1Char('"'), at_);
        const QString named = codes_.mid(at_, end < 0 ? -1 : end - at_);
        at_ = end < 0 ? codes_.size() : end + 1;
        const QString family = named.section(QLatin1Char(','), 0, 0).trimmed();
        const QString style = named.section(QLatin1Char(','), 1).toLower();
        if (!family.isEmpty() && family != QLatin1String("-"))
            format_.family = family;
        format_.bold = style.contains(QLatin1String("bold"));
        format_.italic = style.contains(QLatin1String("italic"));
    }

    void fontSize(QChar first) {
        int points = first.digitValue();
        while (at_ < codes_.size() && codes_[at_].isDigit() && points < 1000)
            points = points * 10 + codes_[at_++].digitValue();
        if (points >= 1)
            format_.points = std::min<double>(points, kMaxPoints);
    }

    const QString& codes_;
    const PageFields& fields_;
    qsizetype at_ = 0;
    HeaderSection section_ = HeaderSection::Center;
    HeaderRun format_;
    HeaderSections sections_;
};

QFont fontOf(const HeaderRun& run, double dpi) {
    QFont font;
    QStringList families;
    if (!run.family.isEmpty())
        families << run.family;
    families << kFallbackFamilies;
    font.setFamilies(families);
    font.setPixelSize(std::max(1, static_cast<int>(run.points * dpi / 72.0 + 0.5)));
    font.setBold(run.bold);
    font.setItalic(run.italic);
    font.setUnderline(run.underline);
    font.setStrikeOut(run.strike);
    return font;
}

void drawSection(QPainter& painter, const std::vector<HeaderRun>& runs, const QRectF& band,
                 double dpi, Qt::Alignment alignment, bool fromTop) {
    if (runs.empty())
        return;
    QString text;
    QList<QTextLayout::FormatRange> formats;
    for (const HeaderRun& run : runs) {
        QTextCharFormat format;
        format.setFont(fontOf(run, dpi));
        format.setForeground(run.color ? *run.color : QColor(Qt::black));
        QString part = run.text;
        part.replace(QLatin1Char('\n'), QChar::LineSeparator);
        formats.append({static_cast<int>(text.size()), static_cast<int>(part.size()), format});
        text += part;
    }
    QTextLayout layout(text, fontOf(runs.front(), dpi));
    QTextOption option(alignment);
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.setFormats(formats);
    qreal height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(band.width());
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    const qreal top = fromTop ? band.top() : band.bottom() - height;
    layout.draw(&painter, QPointF(band.left(), top));
}

} // namespace

HeaderSections expandHeaderFooter(const QString& codes, const PageFields& fields) {
    return Expander(codes, fields).run();
}

QString sectionText(const HeaderSections& sections, HeaderSection section) {
    QString text;
    for (const HeaderRun& run : sections[static_cast<size_t>(section)])
        text += run.text;
    return text;
}

void drawHeaderFooter(QPainter& painter, const HeaderSections& sections, const QRectF& band,
                      double dpi, bool fromTop) {
    painter.save();
    painter.setPen(Qt::black);
    drawSection(painter, sections[0], band, dpi, Qt::AlignLeft, fromTop);
    drawSection(painter, sections[1], band, dpi, Qt::AlignHCenter, fromTop);
    drawSection(painter, sections[2], band, dpi, Qt::AlignRight, fromTop);
    painter.restore();
}

} // namespace viewer
