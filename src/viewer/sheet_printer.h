// Printing a worksheet through Qt's printing: the sheet's page setup (paper, orientation,
// margins, scale or fit to pages, centring) applied, the print area (the used area when none)
// split into pages across rows and columns at whole cells and at manual page breaks, down
// first and then across, with the print titles repeated and the header and footer on every
// page.
#pragma once

#include "sheet/embedded_application.h"
#include "sheet/model.h"
#include "viewer/header_footer.h"
#include "viewer/sheet_pictures.h"
#include "viewer/sheet_renderer.h"

#include <QDateTime>
#include <QSizeF>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QPainter;
class QPrinter;

namespace viewer {

struct PrintLayout {
    double contentScale = 1.0;          // 1.0 = 100 %
    std::vector<sheet::CellRect> pages; // in print order
    int across = 0, down = 0;           // pages across and down the widest print area
    // Whether pages past the print titles repeat them (not when they leave too little room).
    bool repeatsTitleRows = false, repeatsTitleColumns = false;
};

// Splits the sheet's print area into pages of `printable` inches (paper less margins).
// Empty when the sheet holds nothing to print.
PrintLayout layoutPages(const sheet::Worksheet& sheet, QSizeF printable);

// Sets paper size, orientation and margins of `printer` from the page setup.
void applyPageSetup(QPrinter& printer, const sheet::PageSetup& setup);

// What the header and footer codes name besides page numbers.
struct PrintContext {
    QString filePath; // empty for a workbook never saved
    QDateTime printedAt = QDateTime::currentDateTime();
};

// One sheet laid out on paper of a given size, ready to draw page by page.
class SheetPrintout {
public:
    SheetPrintout(const sheet::Workbook& workbook, const sheet::Worksheet& sheet, QSizeF paper,
                  PrintContext context = {});

    int pageCount() const { return static_cast<int>(layout_.pages.size()); }
    const PrintLayout& layout() const { return layout_; }
    // Draws page `index` on `painter`, whose device shows the whole paper at `dpi`.
    void drawPage(QPainter& painter, int index, double dpi) const;
    // What the header and footer codes stand for on page `index`.
    PageFields fieldsOf(int index) const;

private:
    struct Titles {
        bool rows = false, columns = false;
    };
    Titles titlesOn(const sheet::CellRect& page) const;
    const SheetGeometry& geometryAt(double scale) const;
    void drawCells(QPainter& painter, const sheet::CellRect& page, const QRectF& printable,
                   double scale) const;
    void drawHeaderAndFooter(QPainter& painter, int index, double dpi) const;

    const sheet::Workbook& workbook_;
    const sheet::Worksheet& sheet_;
    QSizeF paper_;
    PrintContext context_;
    PrintLayout layout_;
    std::vector<SheetPicture> pictures_;
    sheet::CellRect extent_; // every row and column a page may show
    mutable double geometryScale_ = 0;
    mutable SheetGeometry geometry_;
};

// Prints the sheet on `printer` as it is set up; returns the number of pages printed.
// Throws sheet::AutomationError when the printer cannot start.
int printSheet(QPrinter& printer, const sheet::Workbook& workbook, const sheet::Worksheet& sheet,
               const PrintContext& context = {});

// PrintOut of the embedded component: the desktop's default printer, set up from the sheet.
class SheetPrinter : public sheet::Printer {
public:
    using PrinterSource = std::function<std::unique_ptr<QPrinter>()>;

    SheetPrinter(); // the default printer, or none when the system has no printer
    explicit SheetPrinter(PrinterSource source);
    ~SheetPrinter() override;

    // Throws sheet::AutomationError with the component's no-printer message when there is no
    // printer.
    void print(const sheet::Workbook& workbook, const sheet::Worksheet& sheet) override;
    // The same, with headers and footers naming the file at `path`.
    void printFile(const sheet::Workbook& workbook, const sheet::Worksheet& sheet,
                   const std::string& path) override;

private:
    PrinterSource source_;
};

} // namespace viewer
