#include "viewer/sheet_printer.h"

#include "sheet/embedded_messages.h"
#include "viewer/header_footer.h"
#include "viewer/sheet_renderer.h"
#include "viewer/viewer_messages.h"

#include <QDir>
#include <QFileInfo>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <cmath>

namespace viewer {

namespace {

constexpr double kScreenDpi = 96.0;
constexpr double kMinScale = 0.10;
constexpr double kMaxScale = 4.00;

QPageSize::PageSizeId pageSizeOf(int paperSize) {
    switch (paperSize) {
    case 1:
    case 2:
    case 18:
        return QPageSize::Letter;
    case 3:
    case 17:
        return QPageSize::Tabloid;
    case 4:
        return QPageSize::Ledger;
    case 5:
        return QPageSize::Legal;
    case 6:
        return QPageSize::Statement;
    case 7:
        return QPageSize::Executive;
    case 8:
        return QPageSize::A3;
    case 11:
        return QPageSize::A5;
    case 12:
        return QPageSize::B4;
    case 13:
        return QPageSize::B5;
    case 14:
        return QPageSize::Folio;
    case 15:
        return QPageSize::Quarto;
    case 16:
        return QPageSize::Imperial10x14;
    case 19:
        return QPageSize::Envelope9;
    case 20:
        return QPageSize::Comm10E;
    case 21:
        return QPageSize::Envelope11;
    case 22:
        return QPageSize::Envelope12;
    case 23:
        return QPageSize::Envelope14;
    case 27:
        return QPageSize::DLE;
    case 28:
        return QPageSize::C5E;
    case 29:
        return QPageSize::EnvelopeC3;
    case 30:
        return QPageSize::EnvelopeC4;
    case 31:
        return QPageSize::EnvelopeC6;
    case 34:
        return QPageSize::EnvelopeB5;
    case 37:
        return QPageSize::EnvelopeMonarch;
    case 38:
        return QPageSize::EnvelopePersonal;
    case 39:
        return QPageSize::FanFoldUS;
    case 40:
        return QPageSize::FanFoldGerman;
    case 41:
        return QPageSize::FanFoldGermanLegal;
    default: // 9, 10 and every size without a counterpart
        return QPageSize::A4;
    }
}

// How one direction of the sheet is split into pages: the room a page has, the print titles
// it repeats and the manual breaks.
struct AxisPlan {
    const AxisMetrics& axis;
    double room = 0;
    long titleFirst = 0, titleLast = 0;
    const std::vector<long>& breaks; // a break after each of these, ascending

    long long titleSize() const {
        return titleLast > 0 ? axis.offsetOf(titleLast + 1) - axis.offsetOf(titleFirst) : 0;
    }
    // Pages that start past the titles repeat them, so they hold that much less.
    double roomFrom(long first) const {
        if (titleLast <= 0 || first <= titleLast)
            return room;
        return room - static_cast<double>(titleSize());
    }
    bool breakAfter(long index) const {
        return std::binary_search(breaks.begin(), breaks.end(), index);
    }
};

// Splits first..last into runs that fit the room (one index at least a run).
std::vector<std::pair<long, long>> splitAxis(const AxisPlan& plan, long first, long last) {
    std::vector<std::pair<long, long>> runs;
    while (first <= last) {
        const double room = plan.roomFrom(first);
        long end = first;
        long long used = plan.axis.sizeOf(first);
        while (end < last && !plan.breakAfter(end) && used + plan.axis.sizeOf(end + 1) <= room) {
            ++end;
            used += plan.axis.sizeOf(end);
        }
        runs.emplace_back(first, end);
        first = end + 1;
    }
    return runs;
}

std::vector<long> sorted(std::vector<long> values) {
    std::sort(values.begin(), values.end());
    return values;
}

bool hasTitleRows(const sheet::PageSetup& setup) {
    return setup.titleFirstRow > 0 && setup.titleLastRow >= setup.titleFirstRow;
}
bool hasTitleColumns(const sheet::PageSetup& setup) {
    return setup.titleFirstColumn > 0 && setup.titleLastColumn >= setup.titleFirstColumn;
}

// The areas to print: the print area's ranges as far as the sheet holds anything (a print area
// of whole columns prints the filled rows, not a million empty ones), else the used area.
std::vector<sheet::CellRect> printAreas(const sheet::Worksheet& sheet) {
    const sheet::CellRect used = usedArea(sheet);
    std::vector<sheet::CellRect> areas;
    if (used.lastRow < 1 || used.lastColumn < 1)
        return areas;
    for (sheet::CellRect area : sheet.pageSetup.printArea) {
        area.firstRow = std::max(1L, area.firstRow);
        area.firstColumn = std::max(1L, area.firstColumn);
        area.lastRow = std::min(used.lastRow, area.lastRow);
        area.lastColumn = std::min(used.lastColumn, area.lastColumn);
        if (area.lastRow >= area.firstRow && area.lastColumn >= area.firstColumn)
            areas.push_back(area);
    }
    if (sheet.pageSetup.printArea.empty())
        areas.push_back(used);
    return areas;
}

// The last row and column any page shows, print titles included.
sheet::CellRect extentOf(const sheet::Worksheet& sheet, const std::vector<sheet::CellRect>& areas) {
    sheet::CellRect extent{1, 1, 1, 1};
    for (const sheet::CellRect& area : areas) {
        extent.lastRow = std::max(extent.lastRow, area.lastRow);
        extent.lastColumn = std::max(extent.lastColumn, area.lastColumn);
    }
    const sheet::PageSetup& setup = sheet.pageSetup;
    if (hasTitleRows(setup))
        extent.lastRow = std::max(extent.lastRow, std::min(sheet::kMaxRows, setup.titleLastRow));
    if (hasTitleColumns(setup))
        extent.lastColumn =
            std::max(extent.lastColumn, std::min(sheet::kMaxColumns, setup.titleLastColumn));
    return extent;
}

// Titles that would leave less than a quarter of the page for the cells are not repeated.
bool titlesFit(const AxisPlan& plan) {
    return plan.titleLast > 0 && static_cast<double>(plan.titleSize()) <= plan.room * 0.75;
}

PrintLayout layoutAt(const sheet::Worksheet& sheet, const std::vector<sheet::CellRect>& areas,
                     double scale, QSizeF printable) {
    const sheet::PageSetup& setup = sheet.pageSetup;
    const sheet::CellRect extent = extentOf(sheet, areas);
    const SheetGeometry geometry = geometryOf(sheet, scale, extent.lastRow, extent.lastColumn);
    const std::vector<long> rowBreaks = sorted(setup.rowBreaks);
    const std::vector<long> columnBreaks = sorted(setup.columnBreaks);
    AxisPlan columnPlan{geometry.columns, printable.width() * kScreenDpi,
                        hasTitleColumns(setup) ? setup.titleFirstColumn : 0,
                        hasTitleColumns(setup) ? setup.titleLastColumn : 0, columnBreaks};
    AxisPlan rowPlan{geometry.rows, printable.height() * kScreenDpi,
                     hasTitleRows(setup) ? setup.titleFirstRow : 0,
                     hasTitleRows(setup) ? setup.titleLastRow : 0, rowBreaks};
    PrintLayout layout;
    layout.contentScale = scale;
    layout.repeatsTitleRows = titlesFit(rowPlan);
    layout.repeatsTitleColumns = titlesFit(columnPlan);
    if (!layout.repeatsTitleRows)
        rowPlan.titleLast = 0;
    if (!layout.repeatsTitleColumns)
        columnPlan.titleLast = 0;
    for (const sheet::CellRect& area : areas) {
        const auto columns = splitAxis(columnPlan, area.firstColumn, area.lastColumn);
        const auto rows = splitAxis(rowPlan, area.firstRow, area.lastRow);
        layout.across = std::max(layout.across, static_cast<int>(columns.size()));
        layout.down = std::max(layout.down, static_cast<int>(rows.size()));
        if (setup.downThenOver) {
            for (const auto& [firstColumn, lastColumn] : columns)
                for (const auto& [firstRow, lastRow] : rows)
                    layout.pages.push_back({firstRow, firstColumn, lastRow, lastColumn});
        } else {
            for (const auto& [firstRow, lastRow] : rows)
                for (const auto& [firstColumn, lastColumn] : columns)
                    layout.pages.push_back({firstRow, firstColumn, lastRow, lastColumn});
        }
    }
    return layout;
}

// The largest scale, at most 100 %, at which the sheet fits the wanted number of pages across
// and down (0 leaves that direction free).
double fitScale(const sheet::Worksheet& sheet, const std::vector<sheet::CellRect>& areas,
                QSizeF printable) {
    const sheet::PageSetup& setup = sheet.pageSetup;
    const sheet::CellRect extent = extentOf(sheet, areas);
    const SheetGeometry natural = geometryOf(sheet, 1.0, extent.lastRow, extent.lastColumn);
    long long width = 0, height = 0;
    for (const sheet::CellRect& area : areas) {
        width = std::max(width, natural.columns.offsetOf(area.lastColumn + 1) -
                                    natural.columns.offsetOf(area.firstColumn));
        height = std::max(height, natural.rows.offsetOf(area.lastRow + 1) -
                                      natural.rows.offsetOf(area.firstRow));
    }
    double scale = 1.0;
    if (setup.fitWidth > 0 && width > 0)
        scale = std::min(scale, printable.width() * kScreenDpi * setup.fitWidth /
                                    static_cast<double>(width));
    if (setup.fitHeight > 0 && height > 0)
        scale = std::min(scale, printable.height() * kScreenDpi * setup.fitHeight /
                                    static_cast<double>(height));
    // Pages break at whole cells and repeat their titles, so the proportional scale may leave
    // one cell over.
    for (int attempt = 0; attempt < 60 && scale > kMinScale; ++attempt) {
        const PrintLayout layout = layoutAt(sheet, areas, scale, printable);
        const bool fits = (setup.fitWidth <= 0 || layout.across <= setup.fitWidth) &&
                          (setup.fitHeight <= 0 || layout.down <= setup.fitHeight);
        if (fits)
            break;
        scale *= 0.97;
    }
    return std::max(kMinScale, scale);
}

// Paper less margins, in inches; margins that leave no room are not honoured.
QRectF printableRect(const sheet::PageSetup& setup, QSizeF paper) {
    const auto inches = [](double v) { return std::max(0.0, v); };
    QRectF rect(inches(setup.leftMargin), inches(setup.topMargin),
                paper.width() - inches(setup.leftMargin) - inches(setup.rightMargin),
                paper.height() - inches(setup.topMargin) - inches(setup.bottomMargin));
    if (rect.width() < 0.5 || rect.height() < 0.5)
        rect = QRectF(QPointF(0, 0), paper).adjusted(0.25, 0.25, -0.25, -0.25);
    return rect;
}

QString folderOf(const QString& path) {
    if (path.isEmpty())
        return {};
    return QDir::toNativeSeparators(QFileInfo(path).absolutePath()) + QDir::separator();
}

} // namespace

PrintLayout layoutPages(const sheet::Worksheet& sheet, QSizeF printable) {
    const std::vector<sheet::CellRect> areas = printAreas(sheet);
    if (areas.empty() || printable.isEmpty())
        return {};
    const double scale = sheet.pageSetup.fitToPages
                             ? fitScale(sheet, areas, printable)
                             : std::clamp(sheet.pageSetup.scale / 100.0, kMinScale, kMaxScale);
    return layoutAt(sheet, areas, scale, printable);
}

void applyPageSetup(QPrinter& printer, const sheet::PageSetup& setup) {
    printer.setPageSize(QPageSize(pageSizeOf(setup.paperSize)));
    printer.setPageOrientation(setup.orientation == 2 ? QPageLayout::Landscape
                                                      : QPageLayout::Portrait);
    const auto inches = [](double v) { return std::max(0.0, v); };
    printer.setPageMargins(QMarginsF(inches(setup.leftMargin), inches(setup.topMargin),
                                     inches(setup.rightMargin), inches(setup.bottomMargin)),
                           QPageLayout::Inch);
}

SheetPrintout::SheetPrintout(const sheet::Workbook& workbook, const sheet::Worksheet& sheet,
                             QSizeF paper, PrintContext context)
    : workbook_(workbook), sheet_(sheet), paper_(paper), context_(std::move(context)),
      layout_(layoutPages(sheet, printableRect(sheet.pageSetup, paper).size())),
      extent_(extentOf(sheet, printAreas(sheet))) {
    if (!layout_.pages.empty())
        pictures_ = picturesOf(sheet);
}

SheetPrintout::Titles SheetPrintout::titlesOn(const sheet::CellRect& page) const {
    const sheet::PageSetup& setup = sheet_.pageSetup;
    return {layout_.repeatsTitleRows && page.firstRow > setup.titleLastRow,
            layout_.repeatsTitleColumns && page.firstColumn > setup.titleLastColumn};
}

const SheetGeometry& SheetPrintout::geometryAt(double scale) const {
    if (scale != geometryScale_) {
        geometry_ = geometryOf(sheet_, scale, extent_.lastRow, extent_.lastColumn);
        geometryScale_ = scale;
    }
    return geometry_;
}

void SheetPrintout::drawPage(QPainter& painter, int index, double dpi) const {
    if (index < 0 || index >= pageCount())
        return;
    const QRectF inches = printableRect(sheet_.pageSetup, paper_);
    const QRectF printable(inches.left() * dpi, inches.top() * dpi, inches.width() * dpi,
                           inches.height() * dpi);
    drawCells(painter, layout_.pages[static_cast<size_t>(index)], printable,
              dpi / kScreenDpi * layout_.contentScale);
    drawHeaderAndFooter(painter, index, dpi);
}

void SheetPrintout::drawCells(QPainter& painter, const sheet::CellRect& page,
                              const QRectF& printable, double scale) const {
    const sheet::PageSetup& setup = sheet_.pageSetup;
    const SheetGeometry& geometry = geometryAt(scale);
    const Titles titles = titlesOn(page);
    const auto span = [](const AxisMetrics& axis, long first, long last) {
        return static_cast<int>(axis.offsetOf(last + 1) - axis.offsetOf(first));
    };
    const int titleHeight =
        titles.rows ? span(geometry.rows, setup.titleFirstRow, setup.titleLastRow) : 0;
    const int titleWidth =
        titles.columns ? span(geometry.columns, setup.titleFirstColumn, setup.titleLastColumn) : 0;
    const int width = titleWidth + span(geometry.columns, page.firstColumn, page.lastColumn);
    const int height = titleHeight + span(geometry.rows, page.firstRow, page.lastRow);
    int left = static_cast<int>(std::lround(printable.left()));
    int top = static_cast<int>(std::lround(printable.top()));
    if (setup.centerHorizontally)
        left += std::max(0, static_cast<int>(printable.width() - width) / 2);
    if (setup.centerVertically)
        top += std::max(0, static_cast<int>(printable.height() - height) / 2);

    RenderOptions options;
    options.scale = scale;
    options.gridLines = setup.printGridlines;
    options.pictures = &pictures_;
    painter.save();
    painter.setClipRect(printable);
    const auto draw = [&](const sheet::CellRect& area, QPoint origin) {
        renderCells(painter, workbook_, sheet_, geometry, area, origin, options);
    };
    if (titles.rows && titles.columns)
        draw({setup.titleFirstRow, setup.titleFirstColumn, setup.titleLastRow,
              setup.titleLastColumn},
             QPoint(left, top));
    if (titles.rows)
        draw({setup.titleFirstRow, page.firstColumn, setup.titleLastRow, page.lastColumn},
             QPoint(left + titleWidth, top));
    if (titles.columns)
        draw({page.firstRow, setup.titleFirstColumn, page.lastRow, setup.titleLastColumn},
             QPoint(left, top + titleHeight));
    draw(page, QPoint(left + titleWidth, top + titleHeight));
    painter.restore();
}

PageFields SheetPrintout::fieldsOf(int index) const {
    const int first = sheet_.pageSetup.firstPageNumber > 0 ? sheet_.pageSetup.firstPageNumber : 1;
    PageFields fields;
    fields.page = first + index;
    fields.pages = pageCount();
    fields.printedAt = context_.printedAt;
    fields.fileName =
        context_.filePath.isEmpty() ? msg::kUntitled : QFileInfo(context_.filePath).fileName();
    fields.folder = folderOf(context_.filePath);
    fields.sheetName = QString::fromStdString(sheet_.name);
    return fields;
}

void SheetPrintout::drawHeaderAndFooter(QPainter& painter, int index, double dpi) const {
    const sheet::PageSetup& setup = sheet_.pageSetup;
    const sheet::HeaderFooter& texts = setup.headerFooter;
    if (texts.empty())
        return;
    const PageFields fields = fieldsOf(index);
    const bool first = texts.differentFirst && index == 0;
    const bool even = texts.differentOddEven && fields.page % 2 == 0;
    const std::string& header = first  ? texts.firstHeader
                                : even ? texts.evenHeader
                                       : texts.oddHeader;
    const std::string& footer = first  ? texts.firstFooter
                                : even ? texts.evenFooter
                                       : texts.oddFooter;
    const double left = std::max(0.0, texts.alignWithMargins ? setup.leftMargin : 0.5) * dpi;
    const double right = paper_.width() * dpi -
                         std::max(0.0, texts.alignWithMargins ? setup.rightMargin : 0.5) * dpi;
    const double headerTop = std::max(0.0, setup.headerMargin) * dpi;
    const double footerBottom = (paper_.height() - std::max(0.0, setup.footerMargin)) * dpi;
    // Fonts shrink and grow with the sheet's scale unless the header is set apart from it.
    const double fontDpi = texts.scaleWithDocument ? dpi * layout_.contentScale : dpi;
    if (!header.empty())
        drawHeaderFooter(painter, expandHeaderFooter(QString::fromStdString(header), fields),
                         QRectF(QPointF(left, headerTop), QPointF(right, paper_.height() * dpi)),
                         fontDpi, true);
    if (!footer.empty())
        drawHeaderFooter(painter, expandHeaderFooter(QString::fromStdString(footer), fields),
                         QRectF(QPointF(left, 0), QPointF(right, footerBottom)), fontDpi, false);
}

int printSheet(QPrinter& printer, const sheet::Workbook& workbook, const sheet::Worksheet& sheet,
               const PrintContext& context) {
    // The header and footer lie in the margins: draw on the whole sheet of paper.
    printer.setFullPage(true);
    const QSizeF paper = printer.pageLayout().fullRect(QPageLayout::Inch).size();
    const SheetPrintout printout(workbook, sheet, paper, context);
    if (printout.pageCount() == 0)
        return 0;
    QPainter painter;
    if (!painter.begin(&printer))
        throw sheet::AutomationError(msg::kPrinterCannotStart.toStdString());
    for (int index = 0; index < printout.pageCount(); ++index) {
        if (index > 0 && !printer.newPage()) {
            painter.end();
            throw sheet::AutomationError(msg::kPrinterRefusedPage.toStdString());
        }
        printout.drawPage(painter, index, printer.resolution());
    }
    painter.end();
    return printout.pageCount();
}

SheetPrinter::SheetPrinter()
    : SheetPrinter([]() -> std::unique_ptr<QPrinter> {
          const QPrinterInfo info = QPrinterInfo::defaultPrinter();
          if (info.isNull())
              return nullptr;
          return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
      }) {}

SheetPrinter::SheetPrinter(PrinterSource source) : source_(std::move(source)) {}

SheetPrinter::~SheetPrinter() = default;

void SheetPrinter::print(const sheet::Workbook& workbook, const sheet::Worksheet& sheet) {
    printFile(workbook, sheet, {});
}

void SheetPrinter::printFile(const sheet::Workbook& workbook, const sheet::Worksheet& sheet,
                             const std::string& path) {
    std::unique_ptr<QPrinter> printer = source_ ? source_() : nullptr;
    if (!printer)
        throw sheet::AutomationError(sheet::messages::kNoPrinter);
    applyPageSetup(*printer, sheet.pageSetup);
    printer->setDocName(QString::fromStdString(sheet.name));
    PrintContext context;
    context.filePath = QString::fromStdString(path);
    printSheet(*printer, workbook, sheet, context);
}

} // namespace viewer
