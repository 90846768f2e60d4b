#include "viewer/sheet_renderer.h"
#include "viewer/workbook_window.h"

#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kGrid = 0xFFD4D4D4;

int styleWith(sheet::Workbook& book, const std::function<void(sheet::Style&)>& change) {
    sheet::Style style;
    change(style);
    return book.styles.intern(style);
}

// A report form: a merged title over A1:C1, a header row, numbers and a date in their formats.
std::unique_ptr<sheet::Workbook> formWorkbook() {
    auto book = std::make_unique<sheet::Workbook>();
    book->sheets.push_back(std::make_unique<sheet::Worksheet>("보고서"));
    sheet::Worksheet& s = *book->sheets[0];
    s.columnWidths[1] = 20; // 145 px
    s.columnWidths[2] = 10; // 75 px
    s.rowHeights[1] = 30;   // 40 px
    s.merges.push_back({1, 1, 1, 3});
    s.cellAt(1, 1) = {sheet::CellValue::Text("T"), {}, styleWith(*book, [](sheet::Style& st) {
                          st.alignment.horizontal = "left";
                          st.font.bold = true;
                      })};
    s.cellAt(2, 1) = {sheet::CellValue::Number(1234567), {}, styleWith(*book, [](sheet::Style& st) {
                          st.numberFormatId = 3;
                      })};
    s.cellAt(3, 1) = {sheet::CellValue::Number(45353), {}, styleWith(*book, [](sheet::Style& st) {
                          st.numberFormatId = 14;
                      })};
    s.cellAt(3, 2) = {sheet::CellValue::Number(0.256), {}, styleWith(*book, [](sheet::Style& st) {
                          st.numberFormatId = 9;
                      })};
    // Column D is narrow: a big number cannot fit and shows '#'.
    s.columnWidths[4] = 3;
    s.cellAt(3, 4) = {sheet::CellValue::Number(123456789),
                      {},
                      styleWith(*book, [](sheet::Style& st) { st.numberFormatId = 3; })};
    s.cellAt(4, 3) = {sheet::CellValue::Text("채움"), {}, styleWith(*book, [](sheet::Style& st) {
                          st.fill.pattern = "solid";
                          st.fill.foreground = 0x00FF00;
                      })};
    s.cellAt(5, 1) = {sheet::CellValue::Text("넘치는 긴 글자가 옆 칸으로 이어집니다"), {}, 0};
    return book;
}

struct ViewFixture {
    std::unique_ptr<sheet::Workbook> book = formWorkbook();
    viewer::SheetView view;
    std::vector<viewer::DrawnText> drawn;

    ViewFixture() {
        view.resize(900, 500);
        view.setTextObserver([this](const viewer::DrawnText& text) { drawn.push_back(text); });
        view.setSheet(book.get(), book->sheets[0].get());
    }
    QImage image() {
        drawn.clear();
        return view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    QString textAt(long row, long column) const {
        for (const viewer::DrawnText& text : drawn)
            if (text.row == row && text.column == column)
                return text.text;
        return {};
    }
};

TEST(SheetGeometryTest, PixelsFollowCharactersAndPoints) {
    EXPECT_EQ(viewer::columnWidthPixels(8.43, 1.0), 64);
    EXPECT_EQ(viewer::columnWidthPixels(20, 1.0), 145);
    EXPECT_EQ(viewer::columnWidthPixels(0.5, 1.0), 6);
    EXPECT_EQ(viewer::columnWidthPixels(0, 1.0), 0);
    EXPECT_EQ(viewer::columnWidthPixels(8.43, 2.0), 128);
    EXPECT_EQ(viewer::rowHeightPixels(15, 1.0), 20);
    EXPECT_EQ(viewer::rowHeightPixels(30, 1.0), 40);
    EXPECT_EQ(viewer::rowHeightPixels(12.75, 1.0), 17);

    viewer::AxisMetrics rows(20, {{3, 40}, {5, 0}}, 60000);
    EXPECT_EQ(rows.offsetOf(1), 0);
    EXPECT_EQ(rows.offsetOf(3), 40);
    EXPECT_EQ(rows.offsetOf(4), 80);
    EXPECT_EQ(rows.offsetOf(6), 100); // row 5 is hidden
    EXPECT_EQ(rows.sizeOf(5), 0);
    EXPECT_EQ(rows.indexAt(85), 4);
    EXPECT_EQ(rows.indexAt(100), 6);
    EXPECT_EQ(rows.indexAt(rows.offsetOf(59999) + 3), 59999);
    EXPECT_EQ(rows.indexAt(-5), 1);
    EXPECT_EQ(rows.indexAt(rows.total() + 100), 60000);
}

TEST(SheetViewTest, WidthsAndHeightsFollowTheModelAndTheZoom) {
    ViewFixture f;
    EXPECT_EQ(f.view.cellRect(1, 1).width(), 145);
    EXPECT_EQ(f.view.cellRect(1, 2).width(), 75);
    EXPECT_EQ(f.view.cellRect(1, 3).width(), 64);
    EXPECT_EQ(f.view.cellRect(1, 1).height(), 40);
    EXPECT_EQ(f.view.cellRect(2, 1).height(), 20);
    EXPECT_EQ(f.view.cellRect(1, 2).left(), f.view.cellRect(1, 1).left() + 145);

    // The grid line at the right edge of B2 is where the model puts it.
    const QImage image = f.image();
    const QRect b2 = f.view.cellRect(2, 2);
    EXPECT_EQ(image.pixel(b2.right(), b2.top() + 2), kGrid);
    EXPECT_EQ(image.pixel(b2.right() - 1, b2.top() + 2), kWhite);

    f.view.setZoom(200);
    EXPECT_EQ(f.view.cellRect(1, 1).width(), 290);
    EXPECT_EQ(f.view.cellRect(2, 1).height(), 40);

    // A sheet saved at 75 % opens at 75 %.
    f.book->sheets[0]->zoom = 75;
    viewer::SheetView other;
    other.setSheet(f.book.get(), f.book->sheets[0].get());
    EXPECT_EQ(other.zoom(), 75);
    EXPECT_EQ(other.cellRect(2, 3).width(), 48);
}

TEST(SheetViewTest, MergedTitleSpansItsCellsWithoutGridLines) {
    ViewFixture f;
    const QImage image = f.image();
    const QRect a1 = f.view.cellRect(1, 1);
    const QRect b1 = f.view.cellRect(1, 2);
    const QRect a2 = f.view.cellRect(2, 1);
    // Inside the merged A1:C1 the lines between A|B and B|C are gone; below, in row 2, the
    // same line is drawn. The top of row 1 is clear of the bottom-aligned title text.
    EXPECT_EQ(image.pixel(a1.right(), a1.top() + 3), kWhite);
    EXPECT_EQ(image.pixel(b1.right(), b1.top() + 3), kWhite);
    EXPECT_EQ(image.pixel(a2.right(), a2.top() + 3), kGrid);
    // The outline of the merged range stays.
    const QRect c1 = f.view.cellRect(1, 3);
    EXPECT_EQ(image.pixel(c1.right(), c1.top() + 3), kGrid);
    EXPECT_EQ(image.pixel(a1.left() + 50, a1.bottom()), kGrid);
    // The title is drawn once, for the whole range.
    ASSERT_EQ(f.textAt(1, 1), "T");
    for (const viewer::DrawnText& text : f.drawn)
        if (text.row == 1 && text.column == 1)
            EXPECT_EQ(text.clip.width(), 145 + 75 + 64);
}

TEST(SheetViewTest, NumbersShowThroughTheirFormats) {
    ViewFixture f;
    f.image();
    EXPECT_EQ(f.textAt(2, 1), "1,234,567");
    EXPECT_EQ(f.textAt(3, 1), "2024-03-02");
    EXPECT_EQ(f.textAt(3, 2), "26%");
    const QString narrow = f.textAt(3, 4);
    ASSERT_FALSE(narrow.isEmpty());
    EXPECT_EQ(narrow, QString(narrow.size(), '#'));
}

TEST(SheetViewTest, FillsAndOverflowingText) {
    ViewFixture f;
    const QImage image = f.image();
    const QRect c4 = f.view.cellRect(4, 3);
    EXPECT_EQ(image.pixel(c4.left() + 2, c4.top() + 2), 0xFF00FF00);
    // A long text spills over the empty B5 and C5 and is clipped nowhere inside them.
    for (const viewer::DrawnText& text : f.drawn)
        if (text.row == 5 && text.column == 1)
            EXPECT_GT(text.clip.right(), f.view.cellRect(5, 2).right());
    const QRect b5 = f.view.cellRect(5, 2);
    bool inked = false;
    for (int x = b5.left(); x < b5.right(); ++x)
        for (int y = b5.top(); y < b5.bottom(); ++y)
            inked |= qGray(image.pixel(x, y)) < 128;
    EXPECT_TRUE(inked);
}

TEST(SheetViewTest, LargeSheetDrawsOnlyTheRowsInSight) {
    sheet::Workbook book;
    book.sheets.push_back(std::make_unique<sheet::Worksheet>("Data"));
    sheet::Worksheet& s = *book.sheets[0];
    for (long row = 1; row <= 60000; ++row)
        s.cellAt(row, 1).value = sheet::CellValue::Number(static_cast<double>(row));
    viewer::SheetView view;
    view.resize(600, 400);
    std::vector<viewer::DrawnText> drawn;
    view.setTextObserver([&](const viewer::DrawnText& text) { drawn.push_back(text); });
    view.setSheet(&book, &s);
    EXPECT_GE(view.rowCount(), 60000);
    view.scrollToCell(59990, 1);
    view.viewport()->grab();
    ASSERT_FALSE(drawn.empty());
    EXPECT_LT(drawn.size(), 40u);
    EXPECT_EQ(drawn.front().row, 59990);
    EXPECT_EQ(drawn.front().text, "59990");
}

TEST(WorkbookWindowTest, OneTabPerShownSheetAndTheActiveOneSelected) {
    auto book = formWorkbook();
    book->sheets.push_back(std::make_unique<sheet::Worksheet>("숨김"));
    book->sheets.back()->hidden = true;
    book->sheets.push_back(std::make_unique<sheet::Worksheet>("요약"));
    book->activeSheet = 2;
    viewer::WorkbookWindow window;
    window.showWorkbook(book.get(), {});
    ASSERT_EQ(window.sheetCount(), 2);
    EXPECT_EQ(window.sheetView(0)->sheet(), book->sheets[0].get());
    EXPECT_EQ(window.currentView()->sheet(), book->sheets[2].get());
    EXPECT_FALSE(window.openButton()->isEnabled()); // never saved
    EXPECT_EQ(window.openButton()->text(), "기본 프로그램으로 열기");

    // Sheets added or renamed while shown get their tabs; the views of the others stay.
    viewer::SheetView* first = window.sheetView(0);
    book->sheets.push_back(std::make_unique<sheet::Worksheet>("Sheet4"));
    book->sheets[2]->name = "합계";
    window.refresh();
    ASSERT_EQ(window.sheetCount(), 3);
    EXPECT_EQ(window.sheetView(0), first);
    EXPECT_EQ(window.sheetView(1)->sheet()->name, "합계");

    window.clear();
    EXPECT_EQ(window.sheetCount(), 0);
}

TEST(WorkbookWindowTest, OpensTheSavedFileWithTheDesktopApplication) {
    QTemporaryDir dir;
    const QString path = dir.filePath("결과.xlsx");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    auto book = formWorkbook();
    viewer::WorkbookWindow window;
    QStringList opened;
    window.setExternalOpener([&](const QString& p) {
        opened << p;
        return true;
    });
    window.showWorkbook(book.get(), path);
    EXPECT_TRUE(window.windowTitle().startsWith("결과.xlsx"));
    ASSERT_TRUE(window.openButton()->isEnabled());
    window.openButton()->click();
    EXPECT_EQ(opened, QStringList{path});

    // The zoom box follows the sheet and changes it.
    window.zoomBox()->setCurrentIndex(window.zoomBox()->findData(200));
    emit window.zoomBox()->activated(window.zoomBox()->currentIndex());
    EXPECT_EQ(window.currentView()->zoom(), 200);
}

} // namespace
