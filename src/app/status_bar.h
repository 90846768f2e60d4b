// The main window's status bar: panels of fixed widths laid side by side from the left, each
// cut off at the window's right edge rather than squeezed, so that setting a panel's width
// never changes the window's size.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QList>

namespace app {

class StatusBar : public QFrame {
    Q_OBJECT
public:
    struct PanelStyle {
        int width;
        Qt::Alignment alignment;
        bool lowered;
    };

    StatusBar(const QList<PanelStyle>& panels, QWidget* parent = nullptr);

    int count() const { return static_cast<int>(panels_.size()); }
    QLabel* panel(int index) const { return panels_.at(index); }
    int panelWidth(int index) const { return widths_.at(index); }
    void setPanelWidth(int index, int width);
    QString panelText(int index) const { return panels_.at(index)->text(); }
    void setPanelText(int index, const QString& text) { panels_.at(index)->setText(text); }

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void placePanels();

    QList<QLabel*> panels_;
    QList<int> widths_;
};

} // namespace app
