#include "viewer/sheet_renderer.h"

#include "viewer/number_format.h"
#include "viewer/sheet_pictures.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace viewer {

namespace {

constexpr QRgb kGridColor = 0xFFD4D4D4;
// How far to the left of a drawn area a long text may start and still spill into it.
constexpr long kOverflowReach = 40;

// Where a workbook's font is not installed: Carlito has the default font's metrics, so a column
// holds as many digits as in the spreadsheet application; Hangul falls back to Nanum Gothic.
const char* const kFallbackFamilies[] = {"Carlito", "NanumGothic", "Nanum Gothic", "DejaVu Sans"};

QColor colorOf(sheet::Rgb rgb) {
    return QColor::fromRgb(static_cast<QRgb>(0xFF000000u | rgb));
}

long long roundToLong(double v) {
    return static_cast<long long>(std::llround(v));
}

// Everything one call of renderCells needs, with the lookups it repeats for every cell.
class Renderer {
public:
    Renderer(QPainter& painter, const sheet::Workbook& workbook, const sheet::Worksheet& sheet,
             const SheetGeometry& geometry, const sheet::CellRect& area, QPoint origin,
             const RenderOptions& options)
        : p_(painter), book_(workbook), sheet_(sheet), geometry_(geometry), area_(area),
          origin_(origin), options_(options) {
        for (const sheet::CellRect& merge : sheet.merges) {
            if (merge.firstRow > area.lastRow || merge.lastRow < area.firstRow)
                continue;
            rowMerges_.push_back(&merge);
            if (merge.firstColumn <= area.lastColumn && merge.lastColumn >= area.firstColumn)
                merges_.push_back(&merge);
        }
    }

    void run() {
        const QRect whole = spanRect(area_);
        whole_ = whole;
        p_.save();
        p_.setClipRect(whole, Qt::IntersectClip);
        p_.fillRect(whole, Qt::white);
        if (options_.gridLines)
            drawGridLines(whole);
        drawFillsAndMerges();
        drawBorders();
        drawTexts();
        drawPictures(whole);
        p_.restore();
    }

private:
    QRect spanRect(const sheet::CellRect& r) const {
        const long long x = origin_.x() + geometry_.columns.offsetOf(r.firstColumn) -
                            geometry_.columns.offsetOf(area_.firstColumn);
        const long long y = origin_.y() + geometry_.rows.offsetOf(r.firstRow) -
                            geometry_.rows.offsetOf(area_.firstRow);
        const long long w = geometry_.columns.offsetOf(r.lastColumn + 1) -
                            geometry_.columns.offsetOf(r.firstColumn);
        const long long h =
            geometry_.rows.offsetOf(r.lastRow + 1) - geometry_.rows.offsetOf(r.firstRow);
        return QRect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(w),
                     static_cast<int>(h));
    }
    QRect cellRect(long row, long column) const { return spanRect({row, column, row, column}); }

    const sheet::CellRect* mergeAt(long row, long column) const {
        for (const sheet::CellRect* merge : merges_)
            if (merge->contains(row, column))
                return merge;
        return nullptr;
    }
    // Any merge holding a cell of the drawn rows, also in columns beyond the drawn area.
    bool isMerged(long row, long column) const {
        for (const sheet::CellRect* merge : rowMerges_)
            if (merge->contains(row, column))
                return true;
        return false;
    }

    const sheet::Style& style(int index) const {
        return book_.styles.at(index >= 0 && index < book_.styles.size() ? index : 0);
    }
    // The style a cell shows: its own, else its row's, else its column's.
    const sheet::Style* styleAt(long row, long column, const sheet::Cell* cell) const {
        if (cell)
            return &style(cell->style);
        if (auto found = sheet_.rowStyles.find(row); found != sheet_.rowStyles.end())
            return &style(found->second);
        if (auto found = sheet_.columnStyles.find(column); found != sheet_.columnStyles.end())
            return &style(found->second);
        return nullptr;
    }

    int px(double v) const {
        return std::max(1, static_cast<int>(std::lround(v * options_.scale)));
    }

    void drawGridLines(const QRect& whole) {
        p_.setPen(QPen(QColor::fromRgba(kGridColor), 0));
        for (long c = area_.firstColumn; c <= area_.lastColumn; ++c) {
            if (geometry_.columns.sizeOf(c) == 0)
                continue;
            const int x = cellRect(area_.firstRow, c).right();
            p_.drawLine(x, whole.top(), x, whole.bottom());
        }
        for (long r = area_.firstRow; r <= area_.lastRow; ++r) {
            if (geometry_.rows.sizeOf(r) == 0)
                continue;
            const int y = cellRect(r, area_.firstColumn).bottom();
            p_.drawLine(whole.left(), y, whole.right(), y);
        }
    }

    bool paintFill(const sheet::Fill& fill, const QRect& rect) {
        if (fill.pattern == "none" || fill.pattern.empty())
            return false;
        if (fill.pattern == "solid") {
            if (!fill.foreground)
                return false;
            p_.fillRect(rect, colorOf(*fill.foreground));
            return true;
        }
        static const std::map<std::string, Qt::BrushStyle> kPatterns = {
            {"darkGray", Qt::Dense2Pattern},       {"mediumGray", Qt::Dense4Pattern},
            {"lightGray", Qt::Dense5Pattern},      {"gray125", Qt::Dense6Pattern},
            {"gray0625", Qt::Dense7Pattern},       {"darkHorizontal", Qt::HorPattern},
            {"darkVertical", Qt::VerPattern},      {"darkDown", Qt::FDiagPattern},
            {"darkUp", Qt::BDiagPattern},          {"darkGrid", Qt::CrossPattern},
            {"darkTrellis", Qt::DiagCrossPattern}, {"lightHorizontal", Qt::HorPattern},
            {"lightVertical", Qt::VerPattern},     {"lightDown", Qt::FDiagPattern},
            {"lightUp", Qt::BDiagPattern},         {"lightGrid", Qt::CrossPattern},
            {"lightTrellis", Qt::DiagCrossPattern}};
        const auto found = kPatterns.find(fill.pattern);
        p_.fillRect(rect, fill.background ? colorOf(*fill.background) : QColor(Qt::white));
        p_.fillRect(rect, QBrush(fill.foreground ? colorOf(*fill.foreground) : QColor(Qt::black),
                                 found == kPatterns.end() ? Qt::Dense6Pattern : found->second));
        return true;
    }

    void drawFillsAndMerges() {
        for (long r = area_.firstRow; r <= area_.lastRow; ++r) {
            if (geometry_.rows.sizeOf(r) == 0)
                continue;
            const bool rowStyled = sheet_.rowStyles.count(r) > 0;
            const auto rowCells = sheet_.rows().find(r);
            if (rowStyled || !sheet_.columnStyles.empty()) {
                for (long c = area_.firstColumn; c <= area_.lastColumn; ++c)
                    fillCell(r, c, sheet_.cell(r, c));
            } else if (rowCells != sheet_.rows().end()) {
                for (auto it = rowCells->second.lower_bound(area_.firstColumn);
                     it != rowCells->second.end() && it->first <= area_.lastColumn; ++it)
                    fillCell(r, it->first, &it->second);
            }
        }
        // A merged range shows as one cell: its first cell's fill, no grid lines inside.
        for (const sheet::CellRect* merge : merges_) {
            const QRect rect = spanRect(*merge);
            const sheet::Style* s = styleAt(merge->firstRow, merge->firstColumn,
                                            sheet_.cell(merge->firstRow, merge->firstColumn));
            if (s && paintFill(s->fill, rect))
                continue;
            p_.fillRect(rect.adjusted(0, 0, -1, -1), Qt::white);
        }
    }

    void fillCell(long row, long column, const sheet::Cell* cell) {
        if (mergeAt(row, column))
            return;
        const sheet::Style* s = styleAt(row, column, cell);
        if (s)
            paintFill(s->fill, cellRect(row, column));
    }

    QPen borderPen(const sheet::BorderSide& side, int& width, bool& twoLines) const {
        const QColor color = side.color ? colorOf(*side.color) : QColor(Qt::black);
        const std::string& s = side.style;
        twoLines = s == "double";
        width = (s == "medium" || s.rfind("medium", 0) == 0 || s == "slantDashDot") ? px(2)
                : s == "thick"                                                      ? px(3)
                                                                                    : px(1);
        QPen pen(color, width);
        pen.setCapStyle(Qt::FlatCap);
        if (s == "dashed" || s == "mediumDashed")
            pen.setStyle(Qt::DashLine);
        else if (s == "dotted" || s == "hair")
            pen.setStyle(Qt::DotLine);
        else if (s == "dashDot" || s == "mediumDashDot" || s == "slantDashDot")
            pen.setStyle(Qt::DashDotLine);
        else if (s == "dashDotDot" || s == "mediumDashDotDot")
            pen.setStyle(Qt::DashDotDotLine);
        return pen;
    }

    // A border along a grid line: x1..x2 at y (horizontal) or y1..y2 at x (vertical).
    void drawSide(const sheet::BorderSide& side, QPoint from, QPoint to) {
        if (side.style.empty())
            return;
        int width = 1;
        bool twoLines = false;
        QPen pen = borderPen(side, width, twoLines);
        const bool horizontal = from.y() == to.y();
        if (twoLines) {
            pen.setWidth(px(1));
            p_.setPen(pen);
            const int gap = px(1);
            const QPoint shift = horizontal ? QPoint(0, gap) : QPoint(gap, 0);
            p_.drawLine(from - shift, to - shift);
            p_.drawLine(from + shift, to + shift);
            return;
        }
        p_.setPen(pen);
        p_.drawLine(from, to);
    }

    void drawCellBorders(const sheet::Border& border, const QRect& rect, bool top, bool bottom,
                         bool left, bool right) {
        const int x0 = rect.left() - 1, x1 = rect.right(), y0 = rect.top() - 1, y1 = rect.bottom();
        if (top)
            drawSide(border.top, {x0, y0}, {x1, y0});
        if (bottom)
            drawSide(border.bottom, {x0, y1}, {x1, y1});
        if (left)
            drawSide(border.left, {x0, y0}, {x0, y1});
        if (right)
            drawSide(border.right, {x1, y0}, {x1, y1});
        if (border.diagonalDown)
            drawSide(border.diagonal, rect.topLeft(), rect.bottomRight());
        if (border.diagonalUp)
            drawSide(border.diagonal, rect.bottomLeft(), rect.topRight());
    }

    void drawBorders() {
        p_.save();
        p_.setRenderHint(QPainter::Antialiasing, false);
        for (long r = area_.firstRow; r <= area_.lastRow; ++r) {
            if (geometry_.rows.sizeOf(r) == 0)
                continue;
            const auto rowCells = sheet_.rows().find(r);
            const bool styled = sheet_.rowStyles.count(r) > 0 || !sheet_.columnStyles.empty();
            if (styled) {
                for (long c = area_.firstColumn; c <= area_.lastColumn; ++c)
                    borderCell(r, c, sheet_.cell(r, c));
            } else if (rowCells != sheet_.rows().end()) {
                for (auto it = rowCells->second.lower_bound(area_.firstColumn);
                     it != rowCells->second.end() && it->first <= area_.lastColumn; ++it)
                    borderCell(r, it->first, &it->second);
            }
        }
        p_.restore();
    }

    void borderCell(long row, long column, const sheet::Cell* cell) {
        const sheet::Style* s = styleAt(row, column, cell);
        if (!s || geometry_.columns.sizeOf(column) == 0)
            return;
        const sheet::Border& b = s->border;
        if (b.top.style.empty() && b.bottom.style.empty() && b.left.style.empty() &&
            b.right.style.empty() && !b.diagonalUp && !b.diagonalDown)
            return;
        const sheet::CellRect* merge = mergeAt(row, column);
        if (!merge) {
            drawCellBorders(b, cellRect(row, column), true, true, true, true);
            return;
        }
        // Inside a merged range only its outline shows; diagonals span the whole range.
        sheet::Border outline = b;
        outline.diagonalUp = outline.diagonalDown = false;
        drawCellBorders(outline, cellRect(row, column), row == merge->firstRow,
                        row == merge->lastRow, column == merge->firstColumn,
                        column == merge->lastColumn);
        if (row == merge->firstRow && column == merge->firstColumn &&
            (b.diagonalUp || b.diagonalDown)) {
            sheet::Border diagonals;
            diagonals.diagonal = b.diagonal;
            diagonals.diagonalUp = b.diagonalUp;
            diagonals.diagonalDown = b.diagonalDown;
            drawCellBorders(diagonals, spanRect(*merge), false, false, false, false);
        }
    }

    QFont fontFor(int styleIndex) {
        if (auto found = fonts_.find(styleIndex); found != fonts_.end())
            return found->second;
        const QFont font = qtFont(style(styleIndex).font, options_.scale);
        fonts_.emplace(styleIndex, font);
        return font;
    }

    bool hasValue(long row, long column) const {
        const sheet::Cell* cell = sheet_.cell(row, column);
        return cell && !cell->value.empty();
    }

    // Widens `rect` over empty neighbours until `needed` pixels fit, towards `direction`
    // (+1 right, -1 left), for text that is neither wrapped nor merged.
    QRect spill(QRect rect, long row, long column, int needed, int direction) {
        long next = column + direction;
        for (long steps = 0; rect.width() < needed && steps < 256; ++steps, next += direction) {
            if (next < 1 || next > sheet::kMaxColumns || hasValue(row, next) || isMerged(row, next))
                break;
            const QRect neighbour = cellRect(row, next);
            rect = direction > 0 ? rect.united(neighbour) : neighbour.united(rect);
        }
        return rect;
    }

    void drawTexts() {
        for (long r = area_.firstRow; r <= area_.lastRow; ++r) {
            if (geometry_.rows.sizeOf(r) == 0)
                continue;
            const auto rowCells = sheet_.rows().find(r);
            if (rowCells == sheet_.rows().end())
                continue;
            for (auto it =
                     rowCells->second.lower_bound(std::max(1L, area_.firstColumn - kOverflowReach));
                 it != rowCells->second.end() && it->first <= area_.lastColumn + kOverflowReach;
                 ++it) {
                if (it->second.value.empty() || isMerged(r, it->first))
                    continue;
                // Only text spills into neighbours; other values outside the area show nothing.
                const bool outside = it->first < area_.firstColumn || it->first > area_.lastColumn;
                if (outside && it->second.value.type != sheet::CellType::Text)
                    continue;
                drawText(r, it->first, it->second, cellRect(r, it->first), false);
            }
        }
        for (const sheet::CellRect* merge : merges_) {
            const sheet::Cell* first = sheet_.cell(merge->firstRow, merge->firstColumn);
            if (first && !first->value.empty())
                drawText(merge->firstRow, merge->firstColumn, *first, spanRect(*merge), true);
        }
    }

    Qt::Alignment horizontalOf(const sheet::Alignment& a, sheet::CellType type) const {
        const std::string& h = a.horizontal;
        if (h == "left" || h == "fill")
            return Qt::AlignLeft;
        if (h == "right")
            return Qt::AlignRight;
        if (h == "center" || h == "centerContinuous" || h == "distributed")
            return Qt::AlignHCenter;
        if (h == "justify")
            return Qt::AlignJustify;
        if (type == sheet::CellType::Number)
            return Qt::AlignRight;
        if (type == sheet::CellType::Boolean || type == sheet::CellType::Error)
            return Qt::AlignHCenter;
        return Qt::AlignLeft;
    }

    static Qt::Alignment verticalOf(const sheet::Alignment& a) {
        if (a.vertical == "top")
            return Qt::AlignTop;
        if (a.vertical == "center" || a.vertical == "justify" || a.vertical == "distributed")
            return Qt::AlignVCenter;
        return Qt::AlignBottom;
    }

    // The text a number shows in `available` pixels: General gives up decimals first; any
    // other format that does not fit shows '#' across the cell.
    QString fitNumber(const sheet::Cell& cell, const QString& code, const QString& text,
                      const QFontMetrics& metrics, int available) const {
        if (metrics.horizontalAdvance(text) <= available)
            return text;
        if (code.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0) {
            for (int chars = 10; chars >= 1; --chars) {
                const QString shorter = formatGeneral(cell.value.number, chars);
                if (metrics.horizontalAdvance(shorter) <= available)
                    return shorter;
            }
        }
        return hashes(metrics, available);
    }
    static QString hashes(const QFontMetrics& metrics, int available) {
        const int one = std::max(1, metrics.horizontalAdvance(QLatin1Char('#')));
        return QString(std::max(1, available / one), QLatin1Char('#'));
    }

    void drawText(long row, long column, const sheet::Cell& cell, QRect rect, bool merged) {
        if (rect.width() <= 1 || rect.height() <= 1)
            return;
        const sheet::Style& s = style(cell.style);
        const QString code = numberFormatCode(s);
        const FormattedValue shown = formatValue(cell.value, code, book_.date1904);
        QFont font = fontFor(cell.style);
        const sheet::Alignment& a = s.alignment;
        const int pad = px(3);
        const int indent = a.indent * px(9);
        QColor color = s.font.color ? colorOf(*s.font.color) : QColor(Qt::black);
        if (shown.color)
            color = colorOf(*shown.color);

        QRect inner = rect.adjusted(pad, 0, -pad, -px(1));
        Qt::Alignment horizontal = horizontalOf(a, cell.value.type);
        const Qt::Alignment vertical = verticalOf(a);
        QString text = shown.text;
        QFontMetrics metrics(font);

        if (a.shrinkToFit && !a.wrap) {
            for (int size = font.pixelSize();
                 size > 1 && metrics.horizontalAdvance(text) > inner.width() - indent; --size) {
                font.setPixelSize(size - 1);
                metrics = QFontMetrics(font);
            }
        }
        p_.save();
        p_.setFont(font);
        p_.setPen(color);
        if (a.rotation != 0) {
            drawRotated(text, rect, a, horizontal | vertical);
            p_.restore();
            return;
        }
        const bool wraps = a.wrap || a.horizontal == "justify" || a.horizontal == "distributed" ||
                           a.vertical == "justify" || a.vertical == "distributed";
        if (shown.unrepresentable) {
            text = hashes(metrics, inner.width());
        } else if (cell.value.type == sheet::CellType::Number && !wraps) {
            text = fitNumber(cell, code, text, metrics, inner.width());
        }
        if (a.horizontal == "fill" && !text.isEmpty()) {
            const int width = std::max(1, metrics.horizontalAdvance(text));
            text = text.repeated(std::max(1, inner.width() / width));
        }
        if (horizontal == Qt::AlignLeft)
            inner.setLeft(inner.left() + indent);
        else if (horizontal == Qt::AlignRight)
            inner.setRight(inner.right() - indent);

        QRect clip = rect;
        if (!wraps && !merged && cell.value.type == sheet::CellType::Text) {
            const int needed = metrics.horizontalAdvance(text) + 2 * pad + indent;
            if (needed > rect.width()) {
                if (horizontal == Qt::AlignRight) {
                    clip = spill(rect, row, column, needed, -1);
                    inner.setLeft(clip.left() + pad);
                } else if (horizontal == Qt::AlignHCenter) {
                    const int half = (needed - rect.width() + 1) / 2;
                    QRect left = spill(rect, row, column, rect.width() + half, -1);
                    QRect right = spill(rect, row, column, rect.width() + half, 1);
                    clip = left.united(right);
                    const int extra =
                        std::min(rect.left() - clip.left(), clip.right() - rect.right());
                    inner.adjust(-extra, 0, extra, 0);
                } else {
                    clip = spill(rect, row, column, needed, 1);
                    inner.setRight(clip.right() - pad);
                }
            }
        }
        // Neighbours are laid out for the text they may spill into the area; most spill nowhere.
        if (!clip.intersects(whole_)) {
            p_.restore();
            return;
        }
        if (options_.textObserver)
            options_.textObserver({row, column, text, clip});
        p_.setClipRect(clip, Qt::IntersectClip);
        QTextOption option(horizontal | vertical);
        option.setWrapMode(wraps ? QTextOption::WordWrap : QTextOption::NoWrap);
        if (!(cell.richText && text == shown.text &&
              drawRuns(*cell.richText, text, font, inner, option, vertical)))
            p_.drawText(QRectF(inner), text, option);
        p_.restore();
    }

    // Rich text: each run in its own font and colour, laid out as one paragraph. False when the
    // runs do not spell the cell's text, which then shows plain.
    bool drawRuns(const sheet::RichText& runs, const QString& text, const QFont& font,
                  const QRect& inner, const QTextOption& option, Qt::Alignment vertical) {
        QList<QTextLayout::FormatRange> formats;
        QString joined;
        for (const sheet::TextRun& run : runs) {
            const QString part = QString::fromStdString(run.text);
            if (run.font) {
                QTextCharFormat format;
                format.setFont(qtFont(*run.font, options_.scale));
                if (run.font->color)
                    format.setForeground(colorOf(*run.font->color));
                formats.append(
                    {static_cast<int>(joined.size()), static_cast<int>(part.size()), format});
            }
            joined += part;
        }
        if (joined != text)
            return false;
        QTextLayout layout(text, font);
        layout.setTextOption(option);
        layout.setFormats(formats);
        qreal height = 0;
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(inner.width());
            line.setPosition(QPointF(0, height));
            height += line.height();
        }
        layout.endLayout();
        qreal top = inner.top();
        if (vertical == Qt::AlignBottom)
            top = inner.top() + inner.height() - height;
        else if (vertical == Qt::AlignVCenter)
            top = inner.top() + (inner.height() - height) / 2;
        layout.draw(&p_, QPointF(inner.left(), top));
        return true;
    }

    void drawPictures(const QRect& whole) {
        if (!options_.pictures)
            return;
        const QPoint shift(origin_.x() -
                               static_cast<int>(geometry_.columns.offsetOf(area_.firstColumn)),
                           origin_.y() - static_cast<int>(geometry_.rows.offsetOf(area_.firstRow)));
        for (const SheetPicture& picture : *options_.pictures) {
            const QRect rect = pictureRect(picture, geometry_, options_.scale).translated(shift);
            if (rect.isEmpty() || !rect.intersects(whole))
                continue;
            p_.drawImage(rect, picture.image);
        }
    }

    void drawRotated(const QString& text, const QRect& rect, const sheet::Alignment& a,
                     Qt::Alignment alignment) {
        p_.setClipRect(rect, Qt::IntersectClip);
        if (a.rotation == 255) { // stacked: one character under the other
            QString stacked;
            for (const QChar c : text)
                stacked += QString(c) + QLatin1Char('\n');
            stacked.chop(1);
            p_.drawText(rect,
                        static_cast<int>(Qt::AlignHCenter | (alignment & Qt::AlignVertical_Mask)),
                        stacked);
            return;
        }
        // 1..90 turn the text up (anticlockwise), 91..180 turn it down.
        const double angle = a.rotation <= 90 ? -a.rotation : a.rotation - 90;
        p_.translate(rect.center());
        p_.rotate(angle);
        const bool upright = std::abs(angle) > 45;
        const int w = upright ? rect.height() : rect.width();
        const int h = upright ? rect.width() : rect.height();
        p_.drawText(QRect(-w / 2, -h / 2, w, h), static_cast<int>(Qt::AlignCenter), text);
    }

    QPainter& p_;
    const sheet::Workbook& book_;
    const sheet::Worksheet& sheet_;
    const SheetGeometry& geometry_;
    sheet::CellRect area_;
    QPoint origin_;
    QRect whole_; // the drawn area's pixels
    RenderOptions options_;
    std::vector<const sheet::CellRect*> merges_;    // meeting the drawn area
    std::vector<const sheet::CellRect*> rowMerges_; // meeting the drawn rows
    std::unordered_map<int, QFont> fonts_;
};

} // namespace

QFont qtFont(const sheet::Font& f, double scale) {
    QFont font;
    QStringList families{QString::fromStdString(f.name)};
    for (const char* family : kFallbackFamilies)
        families << QString::fromLatin1(family);
    font.setFamilies(families);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(f.size * 96.0 / 72.0 * scale))));
    font.setBold(f.bold);
    font.setItalic(f.italic);
    font.setStrikeOut(f.strike);
    font.setUnderline(f.underline != sheet::Underline::None);
    // At printer resolutions hinted glyph advances make uneven letter spacing.
    if (scale > 3)
        font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

int columnWidthPixels(double characters, double scale) {
    if (characters <= 0)
        return 0;
    const double pixels = characters < 1 ? characters * 12.0 : characters * 7.0 + 5.0;
    return static_cast<int>(roundToLong(std::floor(pixels + 0.5) * scale));
}

int rowHeightPixels(double points, double scale) {
    if (points <= 0)
        return 0;
    return static_cast<int>(roundToLong(std::floor(points * 96.0 / 72.0 + 0.5) * scale));
}

AxisMetrics::AxisMetrics(int defaultSize, const std::map<long, int>& sizes, long count)
    : defaultSize_(defaultSize), count_(count) {
    long long delta = 0;
    for (const auto& [index, size] : sizes) {
        if (size == defaultSize)
            continue;
        indexes_.push_back(index);
        sizes_.push_back(size);
        deltaBefore_.push_back(delta);
        delta += size - defaultSize;
    }
    deltaBefore_.push_back(delta);
}

int AxisMetrics::sizeOf(long index) const {
    const auto found = std::lower_bound(indexes_.begin(), indexes_.end(), index);
    if (found != indexes_.end() && *found == index)
        return sizes_[static_cast<size_t>(found - indexes_.begin())];
    return defaultSize_;
}

long long AxisMetrics::offsetOf(long index) const {
    const auto before = std::lower_bound(indexes_.begin(), indexes_.end(), index);
    const long long delta =
        deltaBefore_.empty() ? 0 : deltaBefore_[static_cast<size_t>(before - indexes_.begin())];
    return static_cast<long long>(index - 1) * defaultSize_ + delta;
}

long AxisMetrics::indexAt(long long offset) const {
    if (count_ <= 0)
        return 1;
    long low = 1, high = count_;
    while (low < high) { // the last index whose start is at or before `offset`
        const long middle = low + (high - low + 1) / 2;
        if (offsetOf(middle) <= offset)
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}

SheetGeometry geometryOf(const sheet::Worksheet& sheet, double scale, long rowCount,
                         long columnCount) {
    std::map<long, int> columnSizes, rowSizes;
    for (const auto& [column, width] : sheet.columnWidths)
        columnSizes[column] = columnWidthPixels(width, scale);
    for (const auto& [row, height] : sheet.rowHeights)
        rowSizes[row] = rowHeightPixels(height, scale);
    for (long column : sheet.hiddenColumns)
        columnSizes[column] = 0;
    for (long row : sheet.hiddenRows)
        rowSizes[row] = 0;
    return {
        AxisMetrics(rowHeightPixels(sheet.defaultRowHeight, scale), rowSizes, rowCount),
        AxisMetrics(columnWidthPixels(sheet.defaultColumnWidth, scale), columnSizes, columnCount)};
}

sheet::CellRect usedArea(const sheet::Worksheet& sheet) {
    long lastRow = sheet.lastRow();
    long lastColumn = sheet.lastColumn();
    for (const sheet::CellRect& merge : sheet.merges) {
        lastRow = std::max(lastRow, merge.lastRow);
        lastColumn = std::max(lastColumn, merge.lastColumn);
    }
    return {1, 1, lastRow, lastColumn};
}

void renderCells(QPainter& painter, const sheet::Workbook& workbook, const sheet::Worksheet& sheet,
                 const SheetGeometry& geometry, const sheet::CellRect& area, QPoint origin,
                 const RenderOptions& options) {
    if (area.lastRow < area.firstRow || area.lastColumn < area.firstColumn)
        return;
    Renderer(painter, workbook, sheet, geometry, area, origin, options).run();
}

QString columnLetters(long column) {
    QString letters;
    for (long n = column; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar('A' + static_cast<int>((n - 1) % 26)));
    return letters;
}

} // namespace viewer
