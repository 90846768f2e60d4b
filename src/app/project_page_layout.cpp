#include "app/project_page_layout.h"

#include <QEvent>
#include <QWidget>
#include <algorithm>

namespace app {

ProjectPageLayout::ProjectPageLayout(QWidget* page, std::vector<Stretched> stretched,
                                     std::vector<Anchored> anchored)
    : QObject(page), page_(page), stretched_(std::move(stretched)), anchored_(std::move(anchored)) {
    page_->setMinimumSize(kMinimumPageWidth, kMinimumPageHeight);
    page_->installEventFilter(this);
    arrange(page_->width());
}

int ProjectPageLayout::rightEdgeFor(int pageWidth) {
    return std::max(kDesignRight, pageWidth - (kDesignPageWidth - kDesignRight));
}

bool ProjectPageLayout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == page_ && event->type() == QEvent::Resize)
        arrange(page_->width());
    return QObject::eventFilter(watched, event);
}

void ProjectPageLayout::arrange(int pageWidth) {
    const int right = rightEdgeFor(pageWidth);
    for (const Stretched& item : stretched_) {
        const QRect at = item.widget->geometry();
        item.widget->setGeometry(at.x(), at.y(), right - item.rightGap - at.x(), at.height());
    }
    for (const Anchored& item : anchored_) {
        const QRect at = item.widget->geometry();
        item.widget->move(right - item.rightGap - at.width(), at.y());
    }
    if (afterArrange_)
        afterArrange_();
}

} // namespace app
