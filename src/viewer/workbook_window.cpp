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
    if (newSheet)
        emit zoomChanged(zoom_);
}

void SheetView::refresh() {
    measure();
    updateScrollBars();
    viewport()->update();
}

void SheetView::setZoom(int percent) {
    percent = std::clamp(percent, kMinZoom, kMaxZoom);
    if (percent == zoom_)
        return;
    // Keep the top-left cell in place across the change of scale.
    const long row = geometry_.rows.indexAt(verticalScrollBar()->value());
    const long column = geometry_.columns.indexAt(horizontalScrollBar()->value());
    zoom_ = percent;
    refresh();
    scrollToCell(row, column);
    emit zoomChanged(zoom_);
}

void SheetView::measure() {
    if (!sheet_) {
        geometry_ = {};
        return;
    }
    const sheet::CellRect used = usedArea(*sheet_);
    const long rows =
        std::min(sheet::kMaxRows, std::max(used.lastRow, sheet_->selectedRow) + kSpareRows);
    const long columns = std::min(
        sheet::kMaxColumns, std::max(used.lastColumn, sheet_->selectedColumn) + kSpareColumns);
    geometry_ = geometryOf(*sheet_, scale(), rows, columns);
    const QFontMetrics metrics(headerFont(scale()));
    const QString widest = QString(QString::number(rows).size(), QLatin1Char('0'));
    rowHeaderWidth_ =
        metrics.horizontalAdvance(widest) + static_cast<int>(std::lround(12 * scale()));
    columnHeaderHeight_ =
        std::max(metrics.height() + 4, static_cast<int>(std::lround(20 * scale())));
}

void SheetView::updateScrollBars() {
    const QSize area = viewport()->size() - QSize(rowHeaderWidth_, columnHeaderHeight_);
    const auto clampToInt = [](long long v) {
        return static_cast<int>(std::clamp<long long>(v, 0, std::numeric_limits<int>::max()));
    };
    verticalScrollBar()->setRange(0, clampToInt(geometry_.rows.total() - area.height()));
    verticalScrollBar()->setPageStep(std::max(1, area.height()));
    verticalScrollBar()->setSingleStep(std::max(1, geometry_.rows.sizeOf(1)));
    horizontalScrollBar()->setRange(0, clampToInt(geometry_.columns.total() - area.width()));
    horizontalScrollBar()->setPageStep(std::max(1, area.width()));
    horizontalScrollBar()->setSingleStep(
        std::max(1, columnWidthPixels(sheet_ ? sheet_->defaultColumnWidth : 8.43, scale())));
}

QRect SheetView::cellRect(long row, long column) const {
    const long long x =
        rowHeaderWidth_ + geometry_.columns.offsetOf(column) - horizontalScrollBar()->value();
    const long long y =
        columnHeaderHeight_ + geometry_.rows.offsetOf(row) - verticalScrollBar()->value();
    return QRect(static_cast<int>(x), static_cast<int>(y), geometry_.columns.sizeOf(column),
                 geometry_.rows.sizeOf(row));
}

void SheetView::scrollToCell(long row, long column) {
    verticalScrollBar()->setValue(static_cast<int>(geometry_.rows.offsetOf(row)));
    horizontalScrollBar()->setValue(static_cast<int>(geometry_.columns.offsetOf(column)));
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
    const int width = viewport()->width() - rowHeaderWidth_;
    const int height = viewport()->height() - columnHeaderHeight_;
    const sheet::CellRect area{geometry_.rows.indexAt(scrollY), geometry_.columns.indexAt(scrollX),
                               geometry_.rows.indexAt(scrollY + height),
                               geometry_.columns.indexAt(scrollX + width)};
    const QPoint origin(
        static_cast<int>(rowHeaderWidth_ + geometry_.columns.offsetOf(area.firstColumn) - scrollX),
        static_cast<int>(columnHeaderHeight_ + geometry_.rows.offsetOf(area.firstRow) - scrollY));
    painter.save();
    painter.setClipRect(QRect(rowHeaderWidth_, columnHeaderHeight_, width, height));
    renderCells(painter, *workbook_, *sheet_, geometry_, area, origin,
                {scale(), true, textObserver_});
    painter.restore();
    drawHeaders(painter, area, origin);
}

void SheetView::drawHeaders(QPainter& painter, const sheet::CellRect& area, QPoint origin) {
    const QRect top(rowHeaderWidth_, 0, viewport()->width() - rowHeaderWidth_, columnHeaderHeight_);
    const QRect left(0, columnHeaderHeight_, rowHeaderWidth_,
                     viewport()->height() - columnHeaderHeight_);
    painter.fillRect(top, kHeaderBackground);
    painter.fillRect(left, kHeaderBackground);
    painter.fillRect(QRect(0, 0, rowHeaderWidth_, columnHeaderHeight_), kHeaderBackground);
    painter.setFont(headerFont(scale()));

    painter.save();
    painter.setClipRect(top);
    long long x = origin.x();
    for (long c = area.firstColumn; c <= area.lastColumn; ++c) {
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

    painter.save();
    painter.setClipRect(left);
    long long y = origin.y();
    for (long r = area.firstRow; r <= area.lastRow; ++r) {
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

    painter.setPen(kHeaderLine);
    painter.drawLine(0, columnHeaderHeight_ - 1, viewport()->width(), columnHeaderHeight_ - 1);
    painter.drawLine(rowHeaderWidth_ - 1, 0, rowHeaderWidth_ - 1, viewport()->height());
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
