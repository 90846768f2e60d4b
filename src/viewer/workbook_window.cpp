#include "viewer/workbook_window.h"

#include "viewer/viewer_messages.h"
#include "viewer/window_fit.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

namespace viewer {

namespace {

constexpr int kMinZoom = 10;
constexpr int kMaxZoom = 400;
// Rows and columns past the used area that the scroll bars still reach.
constexpr long kSpareRows = 200;
constexpr long kSpareColumns = 30;
const QColor kHeaderBackground(0xF3, 0xF3, 0xF3);
const QColor kHeaderLine(0xC8, 0xC8, 0xC8);
const QColor kHeaderText(0x44, 0x44, 0x44);
const QColor kFreezeLine(0x70, 0x70, 0x70);
const int kZoomChoices[] = {25, 50, 75, 85, 100, 125, 150, 200, 300, 400};

QFont headerFont(double scale) {
    QFont font;
    font.setFamilies({QStringLiteral("NanumGothic"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(std::max(6, static_cast<int>(std::lround(14 * scale))));
    return font;
}

} // namespace

// ------------------------------------------------------------------------------------------
// SheetView

SheetView::SheetView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    viewport()->setAutoFillBackground(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void SheetView::setSheet(const sheet::Workbook* workbook, const sheet::Worksheet* sheet) {
    const bool newSheet = sheet != sheet_;
    workbook_ = workbook;
    sheet_ = sheet;
    if (newSheet && sheet)
        zoom_ = std::clamp(sheet->zoom, kMinZoom, kMaxZoom);
    refresh();
    if (newSheet && sheet)
        scrollToCell(sheet->view.topLeftRow, sheet->view.topLeftColumn);
    if (newSheet)
        emit zoomChanged(zoom_);
}

void SheetView::refresh() {
    measure();
    readPictures();
    updateScrollBars();
    viewport()->update();
}

void SheetView::readPictures() {
    std::vector<const sheet::PackagePart*> drawings;
    if (sheet_)
        for (const sheet::SheetAttachment& attachment : sheet_->attachments)
            if (attachment.element == "drawing" && attachment.part)
                drawings.push_back(attachment.part.get());
    if (drawings == picturesFrom_)
        return;
    picturesFrom_ = std::move(drawings);
    pictures_ = sheet_ ? picturesOf(*sheet_) : std::vector<SheetPicture>{};
}

void SheetView::setZoom(int percent) {
    percent = std::clamp(percent, kMinZoom, kMaxZoom);
    if (percent == zoom_)
        return;
    // Keep the top-left cell of the scrolling pane in place across the change of scale.
    const long row = geometry_.rows.indexAt(verticalScrollBar()->value() + frozenHeight());
    const long column = geometry_.columns.indexAt(horizontalScrollBar()->value() + frozenWidth());
    zoom_ = percent;
    refresh();
    scrollToCell(row, column);
    emit zoomChanged(zoom_);
}

void SheetView::measure() {
    if (!sheet_) {
        geometry_ = {};
        frozenRows_ = frozenColumns_ = 0;
        return;
    }
    const sheet::CellRect used = usedArea(*sheet_);
    const long rows = std::min(
        sheet::kMaxRows,
        std::max({used.lastRow, sheet_->selectedRow, sheet_->view.frozenRows}) + kSpareRows);
    const long columns =
        std::min(sheet::kMaxColumns,
                 std::max({used.lastColumn, sheet_->selectedColumn, sheet_->view.frozenColumns}) +
                     kSpareColumns);
    geometry_ = geometryOf(*sheet_, scale(), rows, columns);
    frozenRows_ = std::clamp(sheet_->view.frozenRows, 0L, rows);
    frozenColumns_ = std::clamp(sheet_->view.frozenColumns, 0L, columns);
    const QFontMetrics metrics(headerFont(scale()));
    const QString widest = QString(QString::number(rows).size(), QLatin1Char('0'));
    rowHeaderWidth_ =
        metrics.horizontalAdvance(widest) + static_cast<int>(std::lround(12 * scale()));
    columnHeaderHeight_ =
        std::max(metrics.height() + 4, static_cast<int>(std::lround(20 * scale())));
}

int SheetView::frozenHeight() const {
    return static_cast<int>(std::min<long long>(geometry_.rows.offsetOf(frozenRows_ + 1),
                                                std::numeric_limits<int>::max() / 2));
}

int SheetView::frozenWidth() const {
    return static_cast<int>(std::min<long long>(geometry_.columns.offsetOf(frozenColumns_ + 1),
                                                std::numeric_limits<int>::max() / 2));
}

void SheetView::updateScrollBars() {
    const QSize area = viewport()->size() - QSize(rowHeaderWidth_, columnHeaderHeight_);
    const auto clampToInt = [](long long v) {
        return static_cast<int>(std::clamp<long long>(v, 0, std::numeric_limits<int>::max()));
    };
    // The scroll bars move the pane below and right of the frozen rows and columns.
    verticalScrollBar()->setRange(0, clampToInt(geometry_.rows.total() - area.height()));
    verticalScrollBar()->setPageStep(std::max(1, area.height() - frozenHeight()));
    verticalScrollBar()->setSingleStep(std::max(1, geometry_.rows.sizeOf(1)));
    horizontalScrollBar()->setRange(0, clampToInt(geometry_.columns.total() - area.width()));
    horizontalScrollBar()->setPageStep(std::max(1, area.width() - frozenWidth()));
    horizontalScrollBar()->setSingleStep(
        std::max(1, columnWidthPixels(sheet_ ? sheet_->defaultColumnWidth : 8.43, scale())));
}

QRect SheetView::cellRect(long row, long column) const {
    const long long scrollX = column <= frozenColumns_ ? 0 : horizontalScrollBar()->value();
    const long long scrollY = row <= frozenRows_ ? 0 : verticalScrollBar()->value();
    const long long x = rowHeaderWidth_ + geometry_.columns.offsetOf(column) - scrollX;
    const long long y = columnHeaderHeight_ + geometry_.rows.offsetOf(row) - scrollY;
    return QRect(static_cast<int>(x), static_cast<int>(y), geometry_.columns.sizeOf(column),
                 geometry_.rows.sizeOf(row));
}

void SheetView::scrollToCell(long row, long column) {
    const long long y = row <= frozenRows_ ? 0 : geometry_.rows.offsetOf(row) - frozenHeight();
    const long long x =
        column <= frozenColumns_ ? 0 : geometry_.columns.offsetOf(column) - frozenWidth();
    verticalScrollBar()->setValue(static_cast<int>(std::min<long long>(y, INT_MAX)));
    horizontalScrollBar()->setValue(static_cast<int>(std::min<long long>(x, INT_MAX)));
}

void SheetView::setTextObserver(std::function<void(const DrawnText&)> observer) {
    textObserver_ = std::move(observer);
}

void SheetView::scrollContentsBy(int, int) {
    viewport()->update();
}

void SheetView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void SheetView::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0)
        setZoom(zoom_ + steps * 10);
    event->accept();
}

void SheetView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), Qt::white);
    if (!sheet_ || !workbook_)
        return;
    const long long scrollX = horizontalScrollBar()->value();
    const long long scrollY = verticalScrollBar()->value();
    const int fx = frozenWidth();
    const int fy = frozenHeight();
    const int left = rowHeaderWidth_ + fx;
    const int top = columnHeaderHeight_ + fy;
    const int right = viewport()->width();
    const int bottom = viewport()->height();
    paintPane(painter, QRect(left, top, right - left, bottom - top), fx + scrollX, fy + scrollY);
    paintPane(painter, QRect(left, columnHeaderHeight_, right - left, fy), fx + scrollX, 0);
    paintPane(painter, QRect(rowHeaderWidth_, top, fx, bottom - top), 0, fy + scrollY);
    paintPane(painter, QRect(rowHeaderWidth_, columnHeaderHeight_, fx, fy), 0, 0);

    painter.fillRect(QRect(0, 0, right, columnHeaderHeight_), kHeaderBackground);
    painter.fillRect(QRect(0, columnHeaderHeight_, rowHeaderWidth_, bottom), kHeaderBackground);
    painter.setFont(headerFont(scale()));
    drawColumnHeaders(painter, rowHeaderWidth_, left, 0);
    drawColumnHeaders(painter, left, right, fx + scrollX);
    drawRowHeaders(painter, columnHeaderHeight_, top, 0);
    drawRowHeaders(painter, top, bottom, fy + scrollY);
    painter.setPen(kHeaderLine);
    painter.drawLine(0, columnHeaderHeight_ - 1, right, columnHeaderHeight_ - 1);
    painter.drawLine(rowHeaderWidth_ - 1, 0, rowHeaderWidth_ - 1, bottom);
    painter.setPen(kFreezeLine);
    if (frozenRows_ > 0)
        painter.drawLine(rowHeaderWidth_, top - 1, right, top - 1);
    if (frozenColumns_ > 0)
        painter.drawLine(left - 1, columnHeaderHeight_, left - 1, bottom);
}

void SheetView::paintPane(QPainter& painter, const QRect& pane, long long contentX,
                          long long contentY) {
    if (pane.width() <= 0 || pane.height() <= 0)
        return;
    const sheet::CellRect area{geometry_.rows.indexAt(contentY),
                               geometry_.columns.indexAt(contentX),
                               geometry_.rows.indexAt(contentY + pane.height() - 1),
                               geometry_.columns.indexAt(contentX + pane.width() - 1)};
    const QPoint origin(
        static_cast<int>(pane.left() + geometry_.columns.offsetOf(area.firstColumn) - contentX),
        static_cast<int>(pane.top() + geometry_.rows.offsetOf(area.firstRow) - contentY));
    RenderOptions options;
    options.scale = scale();
    options.gridLines = sheet_->view.showGridLines;
    options.textObserver = textObserver_;
    options.pictures = &pictures_;
    painter.save();
    painter.setClipRect(pane);
    renderCells(painter, *workbook_, *sheet_, geometry_, area, origin, options);
    painter.restore();
}

void SheetView::drawColumnHeaders(QPainter& painter, int left, int right, long long contentX) {
    if (right <= left)
        return;
    painter.save();
    painter.setClipRect(QRect(left, 0, right - left, columnHeaderHeight_));
    long c = geometry_.columns.indexAt(contentX);
    for (long long x = left + geometry_.columns.offsetOf(c) - contentX;
         x < right && c <= geometry_.columns.count(); ++c) {
        const int w = geometry_.columns.sizeOf(c);
        if (w > 0) {
            const QRect cell(static_cast<int>(x), 0, w, columnHeaderHeight_);
            painter.setPen(kHeaderText);
            painter.drawText(cell, Qt::AlignCenter, columnLetters(c));
            painter.setPen(kHeaderLine);
            painter.drawLine(cell.right(), 0, cell.right(), cell.bottom());
        }
        x += w;
    }
    painter.restore();
}

void SheetView::drawRowHeaders(QPainter& painter, int top, int bottom, long long contentY) {
    if (bottom <= top)
        return;
    painter.save();
    painter.setClipRect(QRect(0, top, rowHeaderWidth_, bottom - top));
    long r = geometry_.rows.indexAt(contentY);
    for (long long y = top + geometry_.rows.offsetOf(r) - contentY;
         y < bottom && r <= geometry_.rows.count(); ++r) {
        const int h = geometry_.rows.sizeOf(r);
        if (h > 0) {
            const QRect cell(0, static_cast<int>(y), rowHeaderWidth_, h);
            painter.setPen(kHeaderText);
            painter.drawText(cell, Qt::AlignCenter, QString::number(r));
            painter.setPen(kHeaderLine);
            painter.drawLine(0, cell.bottom(), cell.right(), cell.bottom());
        }
        y += h;
    }
    painter.restore();
}

// ------------------------------------------------------------------------------------------
// WorkbookWindow

WorkbookWindow::WorkbookWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("WorkbookWindow"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    resize(1000, 700);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(fittedClientGeometry(size(), QSize(320, 240), screen->availableGeometry()));

    openButton_ = new QPushButton(msg::kOpenExternally, this);
    openButton_->setObjectName(QStringLiteral("openExternalButton"));
    connect(openButton_, &QPushButton::clicked, this, &WorkbookWindow::openExternally);

    pathLabel_ = new QLabel(this);
    pathLabel_->setObjectName(QStringLiteral("pathLabel"));
    pathLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    zoomBox_ = new QComboBox(this);
    zoomBox_->setObjectName(QStringLiteral("zoomBox"));
    zoomBox_->setToolTip(msg::kZoom);
    for (int percent : kZoomChoices)
        zoomBox_->addItem(QStringLiteral("%1%").arg(percent), percent);
    connect(zoomBox_, &QComboBox::activated, this, &WorkbookWindow::zoomChosen);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("sheetTabs"));
    tabs_->setTabPosition(QTabWidget::South);
    tabs_->setDocumentMode(true);
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int) { showZoomOf(currentView()); });

    auto* bar = new QHBoxLayout;
    bar->addWidget(openButton_);
    bar->addWidget(pathLabel_, 1);
    bar->addWidget(new QLabel(msg::kZoom, this));
    bar->addWidget(zoomBox_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
    layout->addWidget(tabs_, 1);

    opener_ = [](const QString& path) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    };
    updateCaption();
}

void WorkbookWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    emit closed();
}

void WorkbookWindow::setExternalOpener(std::function<bool(const QString&)> opener) {
    opener_ = std::move(opener);
}

void WorkbookWindow::showWorkbook(const sheet::Workbook* workbook, const QString& path) {
    const bool other = workbook != workbook_;
    workbook_ = workbook;
    path_ = path;
    if (other) {
        rebuildTabs();
        if (workbook_ && workbook_->activeSheet >= 0) {
            const auto active = static_cast<size_t>(workbook_->activeSheet);
            const auto found = std::find(
                shownSheets_.begin(), shownSheets_.end(),
                active < workbook_->sheets.size() ? workbook_->sheets[active].get() : nullptr);
            if (found != shownSheets_.end())
                tabs_->setCurrentIndex(static_cast<int>(found - shownSheets_.begin()));
        }
    } else {
        refresh();
    }
    updateCaption();
}

void WorkbookWindow::clear() {
    showWorkbook(nullptr, {});
}

void WorkbookWindow::refresh() {
    if (!tabsMatch()) {
        rebuildTabs();
        return;
    }
    for (int i = 0; i < tabs_->count(); ++i)
        sheetView(i)->refresh();
}

int WorkbookWindow::sheetCount() const {
    return tabs_->count();
}

SheetView* WorkbookWindow::sheetView(int index) const {
    return qobject_cast<SheetView*>(tabs_->widget(index));
}

SheetView* WorkbookWindow::currentView() const {
    return qobject_cast<SheetView*>(tabs_->currentWidget());
}

bool WorkbookWindow::tabsMatch() const {
    std::vector<const sheet::Worksheet*> wanted;
    if (workbook_)
        for (const auto& sheet : workbook_->sheets)
            if (!sheet->hidden)
                wanted.push_back(sheet.get());
    if (wanted != shownSheets_)
        return false;
    for (size_t i = 0; i < wanted.size(); ++i)
        if (tabs_->tabText(static_cast<int>(i)) != QString::fromStdString(wanted[i]->name))
            return false;
    return true;
}

void WorkbookWindow::rebuildTabs() {
    const QString current =
        tabs_->currentIndex() >= 0 ? tabs_->tabText(tabs_->currentIndex()) : QString();
    // Keep each sheet's view (its zoom and scroll position) when it is still there.
    std::vector<SheetView*> oldViews;
    for (int i = 0; i < tabs_->count(); ++i)
        oldViews.push_back(sheetView(i));
    const QSignalBlocker blocker(tabs_);
    while (tabs_->count() > 0)
        tabs_->removeTab(0);
    shownSheets_.clear();
    if (workbook_) {
        for (const auto& sheet : workbook_->sheets) {
            if (sheet->hidden)
                continue;
            auto reused = std::find_if(oldViews.begin(), oldViews.end(), [&](SheetView* view) {
                return view && view->sheet() == sheet.get();
            });
            SheetView* view = reused != oldViews.end() ? *reused : new SheetView;
            if (reused != oldViews.end())
                *reused = nullptr;
            else
                connect(view, &SheetView::zoomChanged, this, [this, view](int) {
                    if (view == currentView())
                        showZoomOf(view);
                });
            view->setSheet(workbook_, sheet.get());
            tabs_->addTab(view, QString::fromStdString(sheet->name));
            shownSheets_.push_back(sheet.get());
        }
    }
    for (SheetView* view : oldViews)
        delete view;
    for (int i = 0; i < tabs_->count(); ++i)
        if (tabs_->tabText(i) == current)
            tabs_->setCurrentIndex(i);
    showZoomOf(currentView());
}

void WorkbookWindow::updateCaption() {
    const QString name = path_.isEmpty() ? msg::kUntitled : QFileInfo(path_).fileName();
    setWindowTitle(name + QLatin1Char(' ') + msg::kReadOnly + msg::kWindowTitleSuffix);
    pathLabel_->setText(QDir::toNativeSeparators(path_));
    const bool saved = !path_.isEmpty() && QFileInfo::exists(path_);
    openButton_->setEnabled(saved);
    openButton_->setToolTip(saved ? msg::kOpenExternallyHint : msg::kNotSavedHint);
}

void WorkbookWindow::openExternally() {
    if (path_.isEmpty() || !opener_)
        return;
    if (!opener_(path_))
        QMessageBox::warning(this, windowTitle(), msg::kCannotOpenExternally);
}

void WorkbookWindow::showZoomOf(SheetView* view) {
    if (!view)
        return;
    const int percent = view->zoom();
    int index = zoomBox_->findData(percent);
    if (index < 0) {
        zoomBox_->addItem(QStringLiteral("%1%").arg(percent), percent);
        index = zoomBox_->count() - 1;
    }
    zoomBox_->setCurrentIndex(index);
}

void WorkbookWindow::zoomChosen(int index) {
    if (SheetView* view = currentView())
        view->setZoom(zoomBox_->itemData(index).toInt());
}

} // namespace viewer
