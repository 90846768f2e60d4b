// Scrolling a large sheet in the workbook window: builds a 60 000-row sheet with formats,
// fills and merges, then times full repaints of the view at positions down the sheet, without
// and with frozen panes.
// Prints milliseconds per frame; run on the offscreen platform.
#include "viewer/workbook_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <cstdio>

namespace {

std::unique_ptr<sheet::Workbook> largeWorkbook(long rows, long columns) {
    auto book = std::make_unique<sheet::Workbook>();
    book->sheets.push_back(std::make_unique<sheet::Worksheet>("Data"));
    sheet::Worksheet& s = *book->sheets[0];
    sheet::Style money;
    money.numberFormatId = 4;
    money.border.bottom.style = "thin";
    const int moneyStyle = book->styles.intern(money);
    sheet::Style band = money;
    band.fill.pattern = "solid";
    band.fill.foreground = 0xEEF3FA;
    const int bandStyle = book->styles.intern(band);
    for (long r = 1; r <= rows; ++r) {
        for (long c = 1; c <= columns; ++c) {
            sheet::Cell& cell = s.cellAt(r, c);
            cell.value = sheet::CellValue::Number(static_cast<double>(r * 1000 + c) / 7.0);
            cell.style = r % 2 ? moneyStyle : bandStyle;
        }
        if (r % 50 == 0)
            s.merges.push_back({r, 1, r, 3});
    }
    return book;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const long rows = 60000;
    auto book = largeWorkbook(rows, 12);
    viewer::SheetView view;
    view.resize(1280, 800);
    QElapsedTimer timer;
    timer.start();
    view.setSheet(book.get(), book->sheets[0].get());
    std::printf("measure %lld ms\n", static_cast<long long>(timer.elapsed()));

    QImage frame(view.viewport()->size(), QImage::Format_RGB32);
    const int frames = 200;
    timer.restart();
    for (int i = 0; i < frames; ++i) {
        view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum() / frames * i);
        view.viewport()->render(&frame);
    }
    std::printf("%d frames over %ld rows: %.2f ms a frame\n", frames, rows,
                static_cast<double>(timer.elapsed()) / frames);

    // The same with two header rows and one column frozen: four panes a frame.
    book->sheets[0]->view.frozenRows = 2;
    book->sheets[0]->view.frozenColumns = 1;
    view.refresh();
    timer.restart();
    for (int i = 0; i < frames; ++i) {
        view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum() / frames * i);
        view.viewport()->render(&frame);
    }
    std::printf("frozen panes: %.2f ms a frame\n", static_cast<double>(timer.elapsed()) / frames);
    return 0;
}
