#include "sheet/embedded_application.h"
#include "sheet/embedded_messages.h"
#include "sheet/workbook_io.h"
#include "support/office_conversion.h"
#include "viewer/sheet_printer.h"

#include <QFile>
#include <QImage>
#include <QPainter>
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

namespace {

constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kBlue = 0xFF0000FF;
const QSizeF kA4(8.27, 11.69);

// A page as printed, on white paper at 96 dots per inch.
QImage printedPage(const viewer::SheetPrintout& printout, int index) {
    QImage image((kA4 * 96).toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    printout.drawPage(painter, index, 96);
    painter.end();
    return image;
}

int inkIn(const QImage& image, const QRect& rect) {
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    return count;
}

int filledStyle(sheet::Workbook& book, sheet::Rgb color) {
    sheet::Style style;
    style.fill.pattern = "solid";
    style.fill.foreground = color;
    return book.styles.intern(style);
}

TEST(PrintFitTest, FittedOnePageWideRunsDownAsManyPagesAsNeeded) {
    auto book = wideWorkbook(400);
    sheet::PageSetup& setup = book->sheets[0]->pageSetup;
    setup.fitToPages = true;
    setup.fitWidth = 1;
    setup.fitHeight = 0;
    const viewer::PrintLayout layout = viewer::layoutPages(*book->sheets[0], kA4Portrait);
    EXPECT_EQ(layout.across, 1);
    EXPECT_GE(layout.down, 2); // never squeezed onto one sheet of paper
    for (const sheet::CellRect& page : layout.pages)
        EXPECT_EQ(page.lastColumn, 30);

    // Two pages wide and tall: no more across or down than asked, and larger than one wide.
    setup.fitWidth = 2;
    setup.fitHeight = 2;
    const viewer::PrintLayout two = viewer::layoutPages(*book->sheets[0], kA4Portrait);
    EXPECT_LE(two.across, 2);
    EXPECT_LE(two.down, 2);
    EXPECT_GT(two.contentScale, layout.contentScale);

    // The zoom applies when the sheet is not fitted.
    setup.fitToPages = false;
    setup.scale = 25;
    EXPECT_DOUBLE_EQ(viewer::layoutPages(*book->sheets[0], kA4Portrait).contentScale, 0.25);
}

TEST(PrintFitTest, PrintAreaAndManualBreaksChooseThePages) {
    auto book = wideWorkbook(120);
    sheet::PageSetup& setup = book->sheets[0]->pageSetup;
    setup.printArea = {{5, 2, 20, 4}};
    setup.rowBreaks = {10};
    const viewer::PrintLayout layout = viewer::layoutPages(*book->sheets[0], kA4Portrait);
    ASSERT_EQ(layout.pages.size(), 2u);
    EXPECT_EQ(layout.pages[0], (sheet::CellRect{5, 2, 10, 4}));
    EXPECT_EQ(layout.pages[1], (sheet::CellRect{11, 2, 20, 4}));

    // Whole columns as the print area print the rows that hold something.
    setup.printArea = {{1, 1, sheet::kMaxRows, 2}};
    setup.rowBreaks.clear();
    const viewer::PrintLayout columns = viewer::layoutPages(*book->sheets[0], kA4Portrait);
    ASSERT_EQ(columns.pages.size(), 3u);
    EXPECT_EQ(columns.pages.back(), (sheet::CellRect{97, 1, 120, 2}));
}

TEST(PrintTitlesTest, TitleRowsAndColumnsRepeatOnLaterPages) {
    auto book = wideWorkbook(120);
    sheet::Worksheet& s = *book->sheets[0];
    const int red = filledStyle(*book, 0xFF0000);
    const int blue = filledStyle(*book, 0x0000FF);
    for (long c = 1; c <= 30; ++c)
        s.cellAt(1, c).style = red;
    for (long r = 2; r <= 120; ++r)
        s.cellAt(r, 1).style = blue;
    s.pageSetup.titleFirstRow = s.pageSetup.titleLastRow = 1;
    s.pageSetup.titleFirstColumn = s.pageSetup.titleLastColumn = 1;

    const viewer::SheetPrintout printout(*book, s, kA4);
    const auto& pages = printout.layout().pages;
    // Page 1 holds the title row itself; the pages after it hold one row less for the copy.
    ASSERT_GE(pages.size(), 5u);
    EXPECT_EQ(pages[0], (sheet::CellRect{1, 1, 48, 5}));
    EXPECT_EQ(pages[1], (sheet::CellRect{49, 1, 95, 5}));
    EXPECT_EQ(pages[pages.size() / 2].firstColumn > 1, true);

    const QPoint corner(67 + 5, 72 + 5); // inside the left and top margins
    const QImage second = printedPage(printout, 1);
    EXPECT_EQ(second.pixel(corner), kRed);                  // row 1 above row 49
    EXPECT_EQ(second.pixel(corner + QPoint(0, 25)), kBlue); // column A of row 49
    const int across = printout.layout().down;              // first page of the second column
    const QImage over = printedPage(printout, across);
    ASSERT_GT(pages[static_cast<size_t>(across)].firstColumn, 1);
    EXPECT_EQ(over.pixel(corner), kRed);                  // A1, the corner of both titles
    EXPECT_EQ(over.pixel(corner + QPoint(115, 0)), kRed); // row 1 over the page's columns
    EXPECT_EQ(over.pixel(corner + QPoint(0, 25)), kBlue); // column A beside its rows
    EXPECT_NE(over.pixel(corner + QPoint(115, 25)), kBlue);

    // Titles taller than most of a page are printed once, never at the cost of the rows.
    for (long r = 1; r <= 60; ++r)
        s.rowHeights[r] = 10;
    s.pageSetup.titleLastRow = 40; // 40 rows of 13 px of the 978 px a page holds: fits
    EXPECT_TRUE(viewer::SheetPrintout(*book, s, kA4).layout().repeatsTitleRows);
    s.pageSetup.titleLastRow = 60;
    const viewer::SheetPrintout tall(*book, s, kA4);
    EXPECT_FALSE(tall.layout().repeatsTitleRows);
    const sheet::CellRect next = tall.layout().pages[1];
    EXPECT_GE(next.lastRow - next.firstRow + 1, 40); // a full page of rows, no titles
    s.rowHeights.clear();

    // Without print titles the second page starts with its own rows.
    s.pageSetup.titleFirstRow = s.pageSetup.titleLastRow = 0;
    s.pageSetup.titleFirstColumn = s.pageSetup.titleLastColumn = 0;
    const viewer::SheetPrintout plain(*book, s, kA4);
    EXPECT_EQ(printedPage(plain, 1).pixel(corner), kBlue);
}

TEST(PrintHeaderFooterTest, HeaderAndFooterPrintInTheMarginsWithPageNumbers) {
    auto book = wideWorkbook(120);
    sheet::Worksheet& s = *book->sheets[0];
    const QRect headerBand(67, 10, 794 - 2 * 67, 60); // above the cells, below 0.3 inch
    const QRect footerBand(67, 1122 - 70, 794 - 2 * 67, 60);
    const viewer::SheetPrintout bare(*book, s, kA4);
    EXPECT_EQ(inkIn(printedPage(bare, 1), headerBand), 0);
    EXPECT_EQ(inkIn(printedPage(bare, 1), footerBand), 0);

    s.pageSetup.headerFooter.oddHeader = "&L&A";
    s.pageSetup.headerFooter.oddFooter = "&C&P / &N";
    const viewer::SheetPrintout printout(*book, s, kA4);
    const QImage first = printedPage(printout, 0);
    const QImage second = printedPage(printout, 1);
    const QRect headerLeft(headerBand.left(), headerBand.top(), 200, headerBand.height());
    EXPECT_GT(inkIn(first, headerLeft), 20);
    EXPECT_GT(inkIn(first, footerBand), 20);
    // "1 / 18" and "2 / 18": the footer differs from page to page.
    EXPECT_NE(first.copy(footerBand), second.copy(footerBand));
    EXPECT_EQ(first.copy(headerBand), second.copy(headerBand));

    // Header fonts follow the sheet's scale unless set apart from it.
    s.pageSetup.scale = 50;
    const int halfInk = inkIn(printedPage(viewer::SheetPrintout(*book, s, kA4), 0), headerLeft);
    EXPECT_LT(halfInk, inkIn(first, headerLeft) / 2);
    s.pageSetup.headerFooter.scaleWithDocument = false;
    EXPECT_EQ(inkIn(printedPage(viewer::SheetPrintout(*book, s, kA4), 0), headerLeft),
              inkIn(first, headerLeft));
    s.pageSetup.scale = 100;

    // Through a real printer the header and footer leave the page count as it was.
    PdfFile pdf;
    auto printer = pdf.printer();
    viewer::applyPageSetup(*printer, s.pageSetup);
    EXPECT_EQ(viewer::printSheet(*printer, *book, s), 18);
    printer.reset();
    EXPECT_EQ(pdf.pageCount(), 18);
}

TEST(PrintHeaderFooterTest, PrintOutNamesTheWorkbooksFileAndCountsFromTheFirstPageNumber) {
    struct RecordingPrinter : sheet::Printer {
        std::string path;
        void print(const sheet::Workbook&, const sheet::Worksheet&) override {
            ADD_FAILURE() << "printed without the file";
        }
        void printFile(const sheet::Workbook&, const sheet::Worksheet&,
                       const std::string& file) override {
            path = file;
        }
    };
    const sheet::EmbeddedEnvironment saved = sheet::embeddedEnvironment();
    auto printer = std::make_shared<RecordingPrinter>();
    sheet::setEmbeddedEnvironment({nullptr, printer});
    QTemporaryDir dir;
    const std::string path = dir.filePath("결과.xlsx").toStdString();
    {
        auto app = sheet::createEmbeddedApplication();
        app->SetDisplayAlerts(false);
        app->Workbooks().Add();
        app->Range("A1")->SetValue(std::string("합계"));
        app->ActiveWorkbook()->SaveAs(path);
        app->ActiveWorkbook()->Worksheets(1)->PrintOut();
        app->Quit();
    }
    sheet::setEmbeddedEnvironment(saved);
    EXPECT_EQ(printer->path, path);

    auto book = wideWorkbook(120);
    book->sheets[0]->pageSetup.firstPageNumber = 7;
    const viewer::SheetPrintout printout(*book, *book->sheets[0], kA4,
                                         {QString::fromStdString(path), QDateTime()});
    const viewer::PageFields fields = printout.fieldsOf(1);
    EXPECT_EQ(fields.page, 8);
    EXPECT_EQ(fields.pages, 18);
    EXPECT_EQ(fields.fileName, "결과.xlsx");
    EXPECT_EQ(fields.sheetName, "넓은시트");
    EXPECT_EQ(viewer::SheetPrintout(*book, *book->sheets[0], kA4).fieldsOf(0).fileName,
              "새 통합문서");
}

TEST(PrintCentringTest, CellsCentreOnThePageWhenAsked) {
    sheet::Workbook book;
    book.sheets.push_back(std::make_unique<sheet::Worksheet>("작은표"));
    sheet::Worksheet& s = *book.sheets[0];
    s.cellAt(1, 1).style = filledStyle(book, 0xFF0000); // 64 x 20 pixels
    const auto redBox = [](const QImage& image) {
        QRect box;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) == kRed)
                    box |= QRect(x, y, 1, 1);
        return box;
    };
    EXPECT_EQ(redBox(printedPage(viewer::SheetPrintout(book, s, kA4), 0)).topLeft(),
              QPoint(67, 72));
    s.pageSetup.centerHorizontally = true;
    s.pageSetup.centerVertically = true;
    const QRect centred = redBox(printedPage(viewer::SheetPrintout(book, s, kA4), 0));
    EXPECT_NEAR(centred.center().x(), 794 / 2, 3);
    EXPECT_NEAR(centred.center().y(), 72 + (1122 - 144) / 2, 3);
}

} // namespace

namespace {

// The office suite prints the same workbook on as many pages: fitted one page wide with a
// repeated title row, and at a fixed scale with titles and a footer.
TEST(PrintOfficeComparisonTest, PageCountsMatchTheOfficeSuite) {
    if (!test_support::officeSuiteInstalled())
        GTEST_SKIP() << "soffice is not installed";
    QTemporaryDir dir;
    std::vector<std::filesystem::path> files;
    std::vector<int> ours;
    const auto add = [&](const char* name, const std::function<void(sheet::PageSetup&)>& set) {
        auto book = wideWorkbook(150);
        sheet::Worksheet& s = *book->sheets[0];
        for (long c = 13; c <= 30; ++c)
            for (long r = 1; r <= 150; ++r)
                s.erase(r, c);
        for (long c = 13; c <= 30; ++c)
            s.columnWidths.erase(c);
        s.pageSetup.paperSizeSet = true;
        s.pageSetup.titleFirstRow = s.pageSetup.titleLastRow = 1;
        s.pageSetup.headerFooter.oddFooter = "&C&P / &N";
        set(s.pageSetup);
        const std::filesystem::path path = dir.filePath(name).toStdString();
        sheet::writeWorkbook(*book, path.string());
        files.push_back(path);
        ours.push_back(viewer::SheetPrintout(*book, s, kA4).pageCount());
    };
    add("fitted.xlsx", [](sheet::PageSetup& p) {
        p.fitToPages = true;
        p.fitWidth = 1;
        p.fitHeight = 0;
    });
    add("scaled.xlsx", [](sheet::PageSetup& p) { p.scale = 70; });
    ASSERT_TRUE(test_support::convertAllWithOffice(files, "pdf", dir.path().toStdString()));
    for (size_t i = 0; i < files.size(); ++i) {
        std::filesystem::path pdf = files[i];
        pdf.replace_extension(".pdf");
        QFile file(QString::fromStdString(pdf.string()));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << pdf;
        const int theirs = static_cast<int>(
            QString::fromLatin1(file.readAll()).count(QRegularExpression("/Type\\s*/Page[^s]")));
        EXPECT_EQ(ours[i], theirs) << files[i].filename();
    }
}

} // namespace
