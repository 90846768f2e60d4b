// Printing a worksheet through Qt's printing: the sheet's page setup (paper, orientation,
// margins, scale or fit to pages) applied to the printer, the used area split into pages
// across rows and columns at whole cells, down first and then across.
#pragma once

#include "sheet/embedded_application.h"
#include "sheet/model.h"

#include <QSizeF>
#include <functional>
#include <memory>
#include <vector>

class QPrinter;

namespace viewer {

struct PrintLayout {
    double contentScale = 1.0;          // 1.0 = 100 %
    std::vector<sheet::CellRect> pages; // in print order
};

// Splits the sheet's used area into pages of `printable` inches (paper less margins).
// Empty when the sheet holds nothing to print.
PrintLayout layoutPages(const sheet::Worksheet& sheet, QSizeF printable);

// Sets paper size, orientation and margins of `printer` from the page setup.
void applyPageSetup(QPrinter& printer, const sheet::PageSetup& setup);

// Prints the sheet on `printer` as it is set up; returns the number of pages printed.
// Throws sheet::AutomationError when the printer cannot start.
int printSheet(QPrinter& printer, const sheet::Workbook& workbook, const sheet::Worksheet& sheet);

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

private:
    PrinterSource source_;
};

} // namespace viewer
