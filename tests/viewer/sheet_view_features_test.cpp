#include "viewer/sheet_pictures.h"
#include "viewer/workbook_window.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

namespace {

constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kGreen = 0xFF00FF00;
constexpr QRgb kBlue = 0xFF0000FF;

int filled(sheet::Workbook& book, sheet::Rgb color) {
    sheet::Style style;
    style.fill.pattern = "solid";
    style.fill.foreground = color;
    return book.styles.intern(style);
}

struct Shown {
    sheet::Workbook book;
    sheet::Worksheet* sheet = nullptr;
    viewer::SheetView view;
    std::vector<viewer::DrawnText> drawn;

    Shown() {
        book.sheets.push_back(std::make_unique<sheet::Worksheet>("양식"));
        sheet = book.sheets[0].get();
        view.resize(700, 400);
        view.setTextObserver([this](const viewer::DrawnText& text) { drawn.push_back(text); });
    }
    void show() { view.setSheet(&book, sheet); }
    QImage image() {
        drawn.clear();
        return view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    // Whether the cell's text was drawn where it can be seen (a text left of the drawn area
    // is laid out for its overflow, and clipped away).
    bool drew(long row, long column) const {
        return std::any_of(drawn.begin(), drawn.end(), [&](const viewer::DrawnText& text) {
            return text.row == row && text.column == column &&
                   text.clip.right() >= view.rowHeaderWidth() &&
                   text.clip.bottom() >= view.columnHeaderHeight();
        });
    }
};

int countPixels(const QImage& image, const QRect& rect, const std::function<bool(QRgb)>& test) {
    int count = 0;
    const QRect inside = rect.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += test(image.pixel(x, y)) ? 1 : 0;
    return count;
}

bool reddish(QRgb p) {
    return qRed(p) > 150 && qGreen(p) < 100 && qBlue(p) < 100;
}
bool darkGrey(QRgb p) {
    return qGray(p) < 110 && std::abs(qRed(p) - qBlue(p)) < 40;
}

TEST(SheetViewHiddenTest, HiddenColumnsAndRowsTakeNoRoomAndShowNothing) {
    Shown f;
    f.sheet->hiddenColumns = {2};
    f.sheet->hiddenRows = {3};
    f.sheet->cellAt(2,
                    2) = {sheet::CellValue::Text("숨은 칸"), {}, filled(f.book, 0xFF0000), nullptr};
    f.sheet->cellAt(2, 3) = {sheet::CellValue::Text("보임"), {}, filled(f.book, 0x00FF00), nullptr};
    f.sheet->cellAt(3,
                    1) = {sheet::CellValue::Text("숨은 줄"), {}, filled(f.book, 0xFF0000), nullptr};
    f.sheet->cellAt(4, 1).value = sheet::CellValue::Number(4);
    f.show();
    const QImage image = f.image();

    EXPECT_EQ(f.view.cellRect(2, 2).width(), 0);
    EXPECT_EQ(f.view.cellRect(3, 1).height(), 0);
    // C2 starts where B2 started before it was hidden, and shows its own fill there.
    EXPECT_EQ(f.view.cellRect(2, 3).left(), f.view.cellRect(2, 1).right() + 1);
    EXPECT_EQ(f.view.cellRect(4, 1).top(), f.view.cellRect(2, 1).bottom() + 1);
    const QRect c2 = f.view.cellRect(2, 3);
    EXPECT_EQ(image.pixel(c2.left() + 2, c2.top() + 2), kGreen);
    EXPECT_EQ(countPixels(image, image.rect(), [](QRgb p) { return p == kRed; }), 0);
    EXPECT_FALSE(f.drew(2, 2));
    EXPECT_FALSE(f.drew(3, 1));
    EXPECT_TRUE(f.drew(2, 3));
    EXPECT_TRUE(f.drew(4, 1));
}

TEST(SheetViewFrozenTest, FrozenRowsAndColumnsStayWhileTheRestScrolls) {
    Shown f;
    f.sheet->view.frozenRows = 2;
    f.sheet->view.frozenColumns = 1;
    f.sheet->cellAt(1, 1) = {sheet::CellValue::Text("구분"), {}, filled(f.book, 0xFF0000), nullptr};
    for (long c = 2; c <= 40; ++c)
        f.sheet->cellAt(1, c).value = sheet::CellValue::Text("머리" + std::to_string(c));
    for (long r = 3; r <= 300; ++r) {
        f.sheet->cellAt(r, 1).value = sheet::CellValue::Number(static_cast<double>(r));
        f.sheet->cellAt(r, 12).value = sheet::CellValue::Number(static_cast<double>(r));
    }
    f.show();
    f.view.scrollToCell(200, 10);
    const QImage image = f.image();

    const int top = f.view.columnHeaderHeight();
    const int left = f.view.rowHeaderWidth();
    EXPECT_EQ(f.view.cellRect(1, 1).topLeft(), QPoint(left, top));
    EXPECT_EQ(image.pixel(left + 3, top + 3), kRed);
    // Row 200 comes right below the two frozen rows, column J right of the frozen column A.
    EXPECT_EQ(f.view.cellRect(200, 1).top(), top + 40);
    EXPECT_EQ(f.view.cellRect(200, 10).left(), left + 64);
    EXPECT_TRUE(f.drew(1, 12));  // the frozen header row, scrolled sideways with the rest
    EXPECT_TRUE(f.drew(200, 1)); // the frozen column, scrolled down with the rest
    EXPECT_TRUE(f.drew(200, 12));
    EXPECT_FALSE(f.drew(1, 2)); // header cells scrolled out to the left
    EXPECT_FALSE(f.drew(3, 1)); // rows scrolled out above
}

TEST(SheetViewFrozenTest, OpensAtTheSheetsFirstShownCellAndItsGridlineSetting) {
    Shown f;
    f.sheet->view.frozenRows = 1;
    f.sheet->view.topLeftRow = 50;
    f.sheet->view.showGridLines = false;
    f.sheet->cellAt(80, 1).value = sheet::CellValue::Number(1);
    f.show();
    EXPECT_EQ(f.view.cellRect(50, 1).top(), f.view.columnHeaderHeight() + 20);
    const QImage image = f.image();
    const QRect b60 = f.view.cellRect(60, 2);
    EXPECT_EQ(image.pixel(b60.right(), b60.top() + 5), 0xFFFFFFFF);
}

std::shared_ptr<const sheet::RichText> runs(std::initializer_list<sheet::TextRun> list) {
    return std::make_shared<const sheet::RichText>(list);
}

TEST(SheetViewRichTextTest, EachRunShowsInItsOwnColour) {
    Shown f;
    f.sheet->columnWidths[1] = 30;
    sheet::Font red;
    red.color = 0xFF0000;
    red.bold = true;
    const sheet::Cell rich{sheet::CellValue::Text("검정 글자 빨강"),
                           {},
                           0,
                           runs({{"검정 글자 ", std::nullopt}, {"빨강", red}})};
    f.sheet->cellAt(1, 1) = rich;
    f.sheet->cellAt(2, 1).value = sheet::CellValue::Text("검정 글자 빨강");
    // Runs that do not spell the cell's text are not trusted: the text shows plain.
    f.sheet->cellAt(3, 1) = rich;
    f.sheet->cellAt(3, 1).value = sheet::CellValue::Text("다른 글자");
    f.show();
    const QImage image = f.image();

    const QRect a1 = f.view.cellRect(1, 1);
    const int redInk = countPixels(image, a1, reddish);
    EXPECT_GT(redInk, 10);
    EXPECT_GT(countPixels(image, a1, darkGrey), 10);
    // The red run is drawn after the black one, on the right of the cell's text.
    const QRect leftHalf(a1.left(), a1.top(), a1.width() / 4, a1.height());
    EXPECT_EQ(countPixels(image, leftHalf, reddish), 0);
    EXPECT_EQ(countPixels(image, f.view.cellRect(2, 1), reddish), 0);
    EXPECT_EQ(countPixels(image, f.view.cellRect(3, 1), reddish), 0);
    EXPECT_GT(countPixels(image, f.view.cellRect(3, 1), darkGrey), 10);
}

QByteArray bluePng(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kBlue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

std::shared_ptr<sheet::PackagePart> part(std::string name, std::string data) {
    auto p = std::make_shared<sheet::PackagePart>();
    p->name = std::move(name);
    p->data = std::move(data);
    return p;
}

std::string marker(const char* element, int column, int row, int columnOffset = 0) {
    return "<xdr:" + std::string(element) + "><xdr:col>" + std::to_string(column) +
           "</xdr:col><xdr:colOff>" + std::to_string(columnOffset) + "</xdr:colOff><xdr:row>" +
           std::to_string(row) + "</xdr:row><xdr:rowOff>0</xdr:rowOff></xdr:" + element + ">";
}

std::string picture(const char* id) {
    return std::string("<xdr:pic><xdr:nvPicPr><xdr:cNvPr id=\"2\" name=\"그림\"/></xdr:nvPicPr>"
                       "<xdr:blipFill><a:blip r:embed=\"") +
           id + "\"/></xdr:blipFill></xdr:pic>";
}

// B3:C6 by a two-cell anchor; a chart and a picture whose bytes are no image, both left out;
// 100 x 20 pixels at G11 by a one-cell anchor.
std::shared_ptr<sheet::PackagePart> drawing() {
    const std::string xml =
        "<xdr:wsDr xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/"
        "spreadsheetDrawing\" xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        "<xdr:twoCellAnchor>" +
        marker("from", 1, 2) + marker("to", 3, 6) + picture("rId1") +
        "<xdr:clientData/></xdr:twoCellAnchor>"
        "<xdr:twoCellAnchor>" +
        marker("from", 8, 1) + marker("to", 10, 5) +
        "<xdr:graphicFrame><a:graphic><a:graphicData><c:chart xmlns:c=\"urn:c\" r:id=\"rId3\"/>"
        "</a:graphicData></a:graphic></xdr:graphicFrame><xdr:clientData/></xdr:twoCellAnchor>"
        "<xdr:oneCellAnchor>" +
        marker("from", 6, 0) + "<xdr:ext cx=\"952500\" cy=\"190500\"/>" + picture("rId2") +
        "<xdr:clientData/></xdr:oneCellAnchor>"
        "<xdr:oneCellAnchor>" +
        marker("from", 6, 10) + "<xdr:ext cx=\"952500\" cy=\"190500\"/>" + picture("rId1") +
        "<xdr:clientData/></xdr:oneCellAnchor></xdr:wsDr>";
    auto result = part("xl/drawings/drawing1.xml", xml);
    const QByteArray png = bluePng(8, 8);
    result->relations.push_back(
        {"rId1", "image", {}, false, part("xl/media/image1.png", png.toStdString())});
    result->relations.push_back(
        {"rId2", "image", {}, false, part("xl/media/image2.png", "not an image")});
    return result;
}

TEST(SheetPicturesTest, PicturesDrawWhereTheirAnchorsPutThem) {
    Shown f;
    f.sheet->cellAt(20, 1).value = sheet::CellValue::Number(1);
    f.sheet->attachments.push_back({"drawing", "drawing", drawing(), {}});
    f.show();
    ASSERT_EQ(f.view.pictures().size(), 2u);
    const QImage image = f.image();

    const QRect b3 = f.view.cellRect(3, 2);
    const QRect c6 = f.view.cellRect(6, 3);
    EXPECT_EQ(image.pixel(b3.left() + 2, b3.top() + 2), kBlue);
    EXPECT_EQ(image.pixel(c6.right() - 2, c6.bottom() - 2), kBlue);
    EXPECT_NE(image.pixel(c6.right() + 3, c6.top() + 3), kBlue); // D6
    EXPECT_NE(image.pixel(b3.left() + 2, b3.top() - 3), kBlue);  // B2
    const QRect g11 = f.view.cellRect(11, 7);
    EXPECT_EQ(image.pixel(g11.left() + 95, g11.top() + 10), kBlue); // reaches into H11
    EXPECT_NE(image.pixel(g11.left() + 105, g11.top() + 10), kBlue);
    // Scrolled down past them, the pictures go with their cells.
    f.view.scrollToCell(12, 1);
    const QImage scrolled = f.image();
    EXPECT_EQ(countPixels(scrolled, scrolled.rect(), [](QRgb p) { return p == kBlue; }), 0);
}

TEST(SheetPicturesTest, UnreadableDrawingsGiveNoPictures) {
    EXPECT_TRUE(viewer::picturesOfDrawing(*part("d.xml", "<xdr:wsDr><xdr:twoCell")).empty());
    EXPECT_TRUE(viewer::picturesOfDrawing(*part("d.xml", "")).empty());
    // A picture naming a relationship the part does not have.
    auto missing = drawing();
    missing->relations.clear();
    EXPECT_TRUE(viewer::picturesOfDrawing(*missing).empty());
    // Anchors with huge or negative cells stay inside the sheet.
    auto wild = part("d.xml", "<wsDr xmlns:r=\"r\"><oneCellAnchor><from><col>-5</col><row>"
                              "99999999999</row></from><ext cx=\"-1\" cy=\"9525\"/><pic>"
                              "<blipFill><blip r:embed=\"rId1\"/></blipFill></pic>"
                              "</oneCellAnchor></wsDr>");
    wild->relations = drawing()->relations;
    const auto pictures = viewer::picturesOfDrawing(*wild);
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0].from.column, 1);
    EXPECT_EQ(pictures[0].from.row, sheet::kMaxRows);
    EXPECT_EQ(pictures[0].width, 0);
}

} // namespace
