#include "viewer/sheet_printer.h"

#include "sheet/embedded_messages.h"
#include "viewer/sheet_renderer.h"
#include "viewer/viewer_messages.h"

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

// Splits 1..last into runs whose sizes add up to at most `room` (one index at least a run).
std::vector<std::pair<long, long>> splitAxis(const AxisMetrics& axis, long last, double room) {
    std::vector<std::pair<long, long>> runs;
    long first = 1;
    while (first <= last) {
        long end = first;
        long long used = axis.sizeOf(first);
        while (end < last && used + axis.sizeOf(end + 1) <= room) {
            ++end;
            used += axis.sizeOf(end);
        }
        runs.emplace_back(first, end);
        first = end + 1;
    }
    return runs;
}

PrintLayout layoutAt(const sheet::Worksheet& sheet, const sheet::CellRect& used, double scale,
                     QSizeF printable) {
    const SheetGeometry geometry = geometryOf(sheet, scale, used.lastRow, used.lastColumn);
    const auto columns =
        splitAxis(geometry.columns, used.lastColumn, printable.width() * kScreenDpi);
    const auto rows = splitAxis(geometry.rows, used.lastRow, printable.height() * kScreenDpi);
    PrintLayout layout;
    layout.contentScale = scale;
    for (const auto& [firstColumn, lastColumn] : columns)
        for (const auto& [firstRow, lastRow] : rows)
            layout.pages.push_back({firstRow, firstColumn, lastRow, lastColumn});
    return layout;
}

// The largest scale, at most 100 %, at which the sheet fits the wanted number of pages across
// and down (0 leaves that direction free).
double fitScale(const sheet::Worksheet& sheet, const sheet::CellRect& used, QSizeF printable) {
    const sheet::PageSetup& setup = sheet.pageSetup;
    const SheetGeometry natural = geometryOf(sheet, 1.0, used.lastRow, used.lastColumn);
    double scale = 1.0;
    if (setup.fitWidth > 0 && natural.columns.total() > 0)
        scale = std::min(scale, printable.width() * kScreenDpi * setup.fitWidth /
                                    static_cast<double>(natural.columns.total()));
    if (setup.fitHeight > 0 && natural.rows.total() > 0)
        scale = std::min(scale, printable.height() * kScreenDpi * setup.fitHeight /
                                    static_cast<double>(natural.rows.total()));
    // Pages break at whole cells, so the proportional scale may leave one cell over.
    for (int attempt = 0; attempt < 40 && scale > kMinScale; ++attempt) {
        const PrintLayout layout = layoutAt(sheet, used, scale, printable);
        long across = 0;
        for (const sheet::CellRect& page : layout.pages)
            across += page.firstRow == 1 ? 1 : 0;
        const long down = across > 0 ? static_cast<long>(layout.pages.size()) / across : 0;
        const bool fits = (setup.fitWidth <= 0 || across <= setup.fitWidth) &&
                          (setup.fitHeight <= 0 || down <= setup.fitHeight);
        if (fits)
            break;
        scale *= 0.97;
    }
    return std::max(kMinScale, scale);
}

} // namespace

PrintLayout layoutPages(const sheet::Worksheet& sheet, QSizeF printable) {
    const sheet::CellRect used = usedArea(sheet);
    if (used.lastRow < 1 || used.lastColumn < 1 || printable.isEmpty())
        return {};
    const double scale = sheet.pageSetup.fitToPages
                             ? fitScale(sheet, used, printable)
                             : std::clamp(sheet.pageSetup.scale / 100.0, kMinScale, kMaxScale);
    return layoutAt(sheet, used, scale, printable);
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

int printSheet(QPrinter& printer, const sheet::Workbook& workbook, const sheet::Worksheet& sheet) {
    const QRectF paint = printer.pageLayout().paintRect(QPageLayout::Inch);
    const PrintLayout layout = layoutPages(sheet, paint.size());
    if (layout.pages.empty())
        return 0;
    QPainter painter;
    if (!painter.begin(&printer))
        throw sheet::AutomationError(msg::kPrinterCannotStart.toStdString());
    const double deviceScale = printer.resolution() / kScreenDpi * layout.contentScale;
    const sheet::CellRect used = usedArea(sheet);
    const SheetGeometry geometry = geometryOf(sheet, deviceScale, used.lastRow, used.lastColumn);
    const QRect pageArea(QPoint(0, 0),
                         printer.pageLayout().paintRectPixels(printer.resolution()).size());
    RenderOptions options;
    options.scale = deviceScale;
    options.gridLines = false; // the application prints without grid lines unless asked
    bool first = true;
    for (const sheet::CellRect& page : layout.pages) {
        if (!first && !printer.newPage()) {
            painter.end();
            throw sheet::AutomationError(msg::kPrinterRefusedPage.toStdString());
        }
        first = false;
        painter.save();
        painter.setClipRect(pageArea);
        renderCells(painter, workbook, sheet, geometry, page, QPoint(0, 0), options);
        painter.restore();
    }
    painter.end();
    return static_cast<int>(layout.pages.size());
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
    std::unique_ptr<QPrinter> printer = source_ ? source_() : nullptr;
    if (!printer)
        throw sheet::AutomationError(sheet::messages::kNoPrinter);
    applyPageSetup(*printer, sheet.pageSetup);
    printer->setDocName(QString::fromStdString(sheet.name));
    printSheet(*printer, workbook, sheet);
}

} // namespace viewer
