// The read-only window in which the embedded spreadsheet component shows a workbook: one tab
// per sheet, each a SheetView that draws only the cells in sight, with row and column
// headers, the sheet's zoom, frozen panes, gridline setting and pictures.
#pragma once

#include "sheet/model.h"
#include "viewer/sheet_pictures.h"
#include "viewer/sheet_renderer.h"

#include <QAbstractScrollArea>
#include <QWidget>
#include <functional>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;

namespace viewer {

class SheetView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit SheetView(QWidget* parent = nullptr);

    // The sheet to draw; neither is owned, and both must stay alive while shown.
    void setSheet(const sheet::Workbook* workbook, const sheet::Worksheet* sheet);
    const sheet::Worksheet* sheet() const { return sheet_; }
    // The sheet's content changed: re-measure and repaint.
    void refresh();

    int zoom() const { return zoom_; }
    void setZoom(int percent); // 10..400

    // Rows at the top and columns at the left that stay in place while the rest scrolls.
    long frozenRows() const { return frozenRows_; }
    long frozenColumns() const { return frozenColumns_; }
    const std::vector<SheetPicture>& pictures() const { return pictures_; }

    // Where a cell lies in viewport coordinates at the current scroll position.
    QRect cellRect(long row, long column) const;
    int rowHeaderWidth() const { return rowHeaderWidth_; }
    int columnHeaderHeight() const { return columnHeaderHeight_; }
    long rowCount() const { return geometry_.rows.count(); }
    void scrollToCell(long row, long column);
    // Told of every text the view draws (see RenderOptions::textObserver).
    void setTextObserver(std::function<void(const DrawnText&)> observer);

signals:
    void zoomChanged(int percent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    double scale() const { return zoom_ / 100.0; }
    void measure();
    void updateScrollBars();
    void readPictures();
    // Pixels the frozen rows and columns take.
    int frozenHeight() const;
    int frozenWidth() const;
    // Draws into `pane` of the viewport the cells whose sheet pixels start at the content
    // offsets.
    void paintPane(QPainter& painter, const QRect& pane, long long contentX, long long contentY);
    void drawColumnHeaders(QPainter& painter, int left, int right, long long contentX);
    void drawRowHeaders(QPainter& painter, int top, int bottom, long long contentY);

    const sheet::Workbook* workbook_ = nullptr;
    const sheet::Worksheet* sheet_ = nullptr;
    SheetGeometry geometry_;
    long frozenRows_ = 0;
    long frozenColumns_ = 0;
    std::vector<SheetPicture> pictures_;
    std::vector<const sheet::PackagePart*> picturesFrom_; // the drawing parts read
    int zoom_ = 100;
    int rowHeaderWidth_ = 0;
    int columnHeaderHeight_ = 0;
    std::function<void(const DrawnText&)> textObserver_;
};

class WorkbookWindow : public QWidget {
    Q_OBJECT
public:
    explicit WorkbookWindow(QWidget* parent = nullptr);

    // Shows `workbook` (not owned: it must stay alive until replaced or cleared), saved at
    // `path` or never saved when `path` is empty.
    void showWorkbook(const sheet::Workbook* workbook, const QString& path);
    void clear();
    // The workbook's content changed: new or renamed sheets get their tabs, views repaint.
    void refresh();

    const sheet::Workbook* workbook() const { return workbook_; }
    QString path() const { return path_; }
    int sheetCount() const;
    SheetView* sheetView(int index) const;
    SheetView* currentView() const;
    QPushButton* openButton() const { return openButton_; }
    QComboBox* zoomBox() const { return zoomBox_; }

    // How the saved file is handed to the desktop; returns false when it could not be.
    // Defaults to QDesktopServices::openUrl.
    void setExternalOpener(std::function<bool(const QString& path)> opener);

    // True when the tabs still show exactly the sheets the workbook has (same objects, same
    // names): cheap enough to ask after every change of the workbook.
    bool tabsMatch() const;

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void rebuildTabs();
    void updateCaption();
    void openExternally();
    void showZoomOf(SheetView* view);
    void zoomChosen(int index);

    const sheet::Workbook* workbook_ = nullptr;
    QString path_;
    std::vector<const sheet::Worksheet*> shownSheets_;
    QTabWidget* tabs_ = nullptr;
    QPushButton* openButton_ = nullptr;
    QComboBox* zoomBox_ = nullptr;
    QLabel* pathLabel_ = nullptr;
    std::function<bool(const QString&)> opener_;
};

} // namespace viewer
