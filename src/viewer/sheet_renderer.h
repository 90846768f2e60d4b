// Draws worksheet cells the way the spreadsheet application shows them: column widths and row
// heights in pixels (hidden ones take none), fills, grid lines, borders, merged ranges,
// formatted, aligned text (rich text run by run in its fonts and colours) and pictures.
// The workbook window and the printer share it; both work in device pixels at a scale, so a
// 1-pixel line stays sharp on screen and becomes a fine line on paper.
#pragma once

#include "sheet/model.h"

#include <QPoint>
#include <QRect>
#include <QString>
#include <functional>
#include <map>
#include <vector>

class QFont;
class QPainter;

namespace viewer {

struct SheetPicture;

// Pixels of one column of `characters` width at 100 % for the default 11-point font:
// 7 pixels a character plus 5 pixels of padding (narrower than one character: 12 a character).
int columnWidthPixels(double characters, double scale);
// Pixels of one row of `points` height at 96 dots per inch.
int rowHeightPixels(double points, double scale);

// Pixel sizes of the rows or the columns of a sheet, mostly of one default size, with offsets
// found by binary search so that a sheet of a million rows scrolls without scanning them.
class AxisMetrics {
public:
    AxisMetrics() = default;
    // `sizes` holds the pixels of every index whose size differs from `defaultSize`.
    AxisMetrics(int defaultSize, const std::map<long, int>& sizes, long count);

    long count() const { return count_; }
    int sizeOf(long index) const;
    // Pixels from the start of index 1 to the start of `index` (1 <= index <= count + 1).
    long long offsetOf(long index) const;
    // The index whose span holds `offset`, clamped to 1..count.
    long indexAt(long long offset) const;
    long long total() const { return offsetOf(count_ + 1); }

private:
    int defaultSize_ = 0;
    long count_ = 0;
    std::vector<long> indexes_;          // indexes with their own size, ascending
    std::vector<int> sizes_;             // their sizes
    std::vector<long long> deltaBefore_; // sum of (size - default) of the entries before each
};

struct SheetGeometry {
    AxisMetrics rows;
    AxisMetrics columns;
};

// Geometry of the first `rowCount` rows and `columnCount` columns at `scale` (1.0 = 100 %).
SheetGeometry geometryOf(const sheet::Worksheet& sheet, double scale, long rowCount,
                         long columnCount);

// The last row and column a view or a printout needs: cells, merged ranges, and rows or
// columns with their own size or style. Zero when the sheet is empty.
sheet::CellRect usedArea(const sheet::Worksheet& sheet);

// One text as drawn: the cell it belongs to, the text after formatting and fitting, and the
// rectangle it may paint in (wider than the cell where it spills into empty neighbours).
struct DrawnText {
    long row = 0;
    long column = 0;
    QString text;
    QRect clip;
};

struct RenderOptions {
    double scale = 1.0; // device pixels per 96-dpi pixel at 100 %, times the zoom
    bool gridLines = true;
    // Told of every text drawn; lets a caller check what a sheet shows without reading pixels.
    std::function<void(const DrawnText&)> textObserver;
    // Pictures of the sheet to draw over the cells where they meet the drawn area; not owned.
    const std::vector<SheetPicture>* pictures = nullptr;
};

// The Qt font of a workbook font at `scale`, with fallbacks where its family is missing.
QFont qtFont(const sheet::Font& font, double scale);

// Draws the cells of `area` with the top-left corner of its first cell at `origin`.
// `geometry` must cover the area. Text that overflows into empty neighbours is drawn too.
void renderCells(QPainter& painter, const sheet::Workbook& workbook, const sheet::Worksheet& sheet,
                 const SheetGeometry& geometry, const sheet::CellRect& area, QPoint origin,
                 const RenderOptions& options);

// "A", "Z", "AA", ... for column 1, 26, 27, ...
QString columnLetters(long column);

} // namespace viewer
