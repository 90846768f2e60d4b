#include "app/status_bar.h"

namespace app {

namespace {
constexpr int kHeight = 20;
}

StatusBar::StatusBar(const QList<PanelStyle>& panels, QWidget* parent) : QFrame(parent) {
    setFixedHeight(kHeight);
    for (const PanelStyle& style : panels) {
        auto* label = new QLabel(this);
        label->setAlignment(style.alignment | Qt::AlignVCenter);
        label->setFrameShape(style.lowered ? QFrame::Panel : QFrame::NoFrame);
        label->setFrameShadow(QFrame::Sunken);
        label->setContentsMargins(2, 0, 2, 0);
        panels_ << label;
        widths_ << style.width;
    }
    placePanels();
}

void StatusBar::setPanelWidth(int index, int width) {
    widths_[index] = std::max(0, width);
    placePanels();
}

QSize StatusBar::sizeHint() const {
    return {0, kHeight};
}

void StatusBar::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    placePanels();
}

void StatusBar::placePanels() {
    int x = 0;
    for (int i = 0; i < count(); ++i) {
        panels_[i]->setGeometry(x, 1, widths_[i], height() - 2);
        x += widths_[i];
    }
}

} // namespace app
