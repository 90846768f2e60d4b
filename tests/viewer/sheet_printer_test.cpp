#include "sheet/embedded_messages.h"
#include "viewer/sheet_printer.h"

#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// 30 columns of 110 px (15 characters) by `rows` rows, numbers in every cell: about 34 inches
// wide at 100 %, several A4 pages across.
std::unique_ptr<sheet::Workbook> wideWorkbook(long rows = 10) {
    auto book = std::make_unique<sheet::Workbook>();
    book->sheets.push_back(std::make_unique<sheet::Worksheet>("넓은시트"));
    sheet::Worksheet& s = *book->sheets[0];
    for (long c = 1; c <= 30; ++c)
        s.columnWidths[c] = 15;
    for (long r = 1; r <= rows; ++r)
        for (long c = 1; c <= 30; ++c)
            s.cellAt(r, c).value = sheet::CellValue::Number(static_cast<double>(r * 100 + c));
    return book;
}

// A4 less the default margins (0.7 inch left and right, 0.75 top and bottom).
const QSizeF kA4Portrait(8.27 - 1.4, 11.69 - 1.5);
const QSizeF kA4Landscape(11.69 - 1.4, 8.27 - 1.5);

struct PdfFile {
    QTemporaryDir dir;
    QString path = dir.filePath("out.pdf");
    std::unique_ptr<QPrinter> printer() const {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(path);
        return printer;
    }
    QByteArray bytes() const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    int pageCount() const {
        return static_cast<int>(
            QString::fromLatin1(bytes()).count(QRegularExpression("/Type\\s*/Page[^s]")));
    }
    // Width and height in points of every page's media box.
    std::vector<QSizeF> mediaBoxes() const {
        std::vector<QSizeF> boxes;
        auto matches = QRegularExpression("/MediaBox\\s*\\[([^\\]]*)\\]")
                           .globalMatch(QString::fromLatin1(bytes()));
        while (matches.hasNext()) {
            const QStringList n = matches.next().captured(1).simplified().split(' ');
            if (n.size() == 4)
                boxes.emplace_back(n[2].toDouble() - n[0].toDouble(),
                                   n[3].toDouble() - n[1].toDouble());
        }
        return boxes;
    }
};

TEST(PrintLayoutTest, WideSheetSplitsAcrossAtWholeColumnsDownThenOver) {
    auto book = wideWorkbook(120);
    const viewer::PrintLayout portrait = viewer::layoutPages(*book->sheets[0], kA4Portrait);
    // 659 px of paper width hold 5 columns of 110 px: 6 bands across; 978 px hold 48 rows of
    // 20 px: 3 bands down.
    ASSERT_EQ(portrait.pages.size(), 18u);
    EXPECT_EQ(portrait.pages[0], (sheet::CellRect{1, 1, 48, 5}));
    EXPECT_EQ(portrait.pages[1], (sheet::CellRect{49, 1, 96, 5}));
    EXPECT_EQ(portrait.pages[2], (sheet::CellRect{97, 1, 120, 5}));
    EXPECT_EQ(portrait.pages[3], (sheet::CellRect{1, 6, 48, 10}));
    EXPECT_EQ(portrait.pages.back(), (sheet::CellRect{97, 26, 120, 30}));

    const viewer::PrintLayout landscape = viewer::layoutPages(*book->sheets[0], kA4Landscape);
    EXPECT_EQ(landscape.pages.front(), (sheet::CellRect{1, 1, 32, 8}));
    EXPECT_EQ(landscape.pages.size(), 4u * 4u);
}

TEST(PrintLayoutTest, ScaleAndFitToPages) {
    auto book = wideWorkbook();
    sheet::Worksheet& s = *book->sheets[0];
    s.pageSetup.scale = 50;
    viewer::PrintLayout half = viewer::layoutPages(s, kA4Portrait);
    EXPECT_DOUBLE_EQ(half.contentScale, 0.5);
    EXPECT_EQ(half.pages.size(), 3u); // 55 px columns: 11 a page

    s.pageSetup.fitToPages = true;
    s.pageSetup.fitWidth = 1;
    s.pageSetup.fitHeight = 0;
    viewer::PrintLayout fitted = viewer::layoutPages(s, kA4Portrait);
    EXPECT_EQ(fitted.pages.size(), 1u);
    EXPECT_EQ(fitted.pages[0].lastColumn, 30);
    EXPECT_LT(fitted.contentScale, 0.21);

    // Fitting never enlarges a sheet that is already small.
    sheet::Worksheet small("작은시트");
    small.cellAt(1, 1).value = sheet::CellValue::Number(1);
    small.pageSetup.fitToPages = true;
    EXPECT_DOUBLE_EQ(viewer::layoutPages(small, kA4Portrait).contentScale, 1.0);

    sheet::Worksheet empty("빈시트");
    EXPECT_TRUE(viewer::layoutPages(empty, kA4Portrait).pages.empty());
}

TEST(SheetPrinterTest, PrintsEveryPageToPdfInTheSheetsOrientation) {
    auto book = wideWorkbook();
    sheet::Worksheet& s = *book->sheets[0];

    PdfFile portrait;
    auto printer = portrait.printer();
    viewer::applyPageSetup(*printer, s.pageSetup);
    EXPECT_EQ(viewer::printSheet(*printer, *book, s), 6);
    printer.reset();
    EXPECT_EQ(portrait.pageCount(), 6);
    ASSERT_EQ(portrait.mediaBoxes().size(), 6u);
    EXPECT_EQ(portrait.mediaBoxes().front().toSize(), QSize(595, 842));

    // Through the PrintOut seam: the sheet's own landscape setup reaches the printer.
    s.pageSetup.orientation = 2;
    PdfFile landscape;
    viewer::SheetPrinter seam([&] { return landscape.printer(); });
    seam.print(*book, s);
    EXPECT_EQ(landscape.pageCount(), 4);
    ASSERT_EQ(landscape.mediaBoxes().size(), 4u);
    EXPECT_EQ(landscape.mediaBoxes().front().toSize(), QSize(842, 595));
}

TEST(SheetPrinterTest, PaperSizeAndMarginsReachThePrinter) {
    auto book = wideWorkbook();
    sheet::PageSetup setup;
    setup.paperSize = 1; // Letter
    setup.leftMargin = 1.0;
    setup.topMargin = 0.5;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    viewer::applyPageSetup(printer, setup);
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::Letter);
    const QMarginsF margins = printer.pageLayout().margins(QPageLayout::Inch);
    EXPECT_NEAR(margins.left(), 1.0, 0.01);
    EXPECT_NEAR(margins.top(), 0.5, 0.01);
}

TEST(SheetPrinterTest, NoPrinterIsAnAutomationErrorSayingSo) {
    auto book = wideWorkbook();
    viewer::SheetPrinter none([] { return std::unique_ptr<QPrinter>(); });
    try {
        none.print(*book, *book->sheets[0]);
        ADD_FAILURE() << "printed without a printer";
    } catch (const sheet::AutomationError& error) {
        EXPECT_STREQ(error.what(), sheet::messages::kNoPrinter);
    }
}

} // namespace
