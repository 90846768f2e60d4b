// A framed group of radio buttons addressed by item index, as the project page stores its
// choices: itemIndex() is -1 when no item is selected.
#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>
#include <QStringList>

namespace app {

class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QStringList& items, QWidget* parent = nullptr);

    int count() const { return static_cast<int>(buttons_.size()); }
    int itemIndex() const;
    // Selects the item; -1 clears the selection. Emits itemIndexChanged only when the selected
    // item changes.
    void setItemIndex(int index);
    QRadioButton* button(int index) const { return buttons_.at(index); }

signals:
    // A different item became selected, by the user or by the program.
    void itemIndexChanged(int index);

private:
    QButtonGroup group_;
    QList<QRadioButton*> buttons_;
};

} // namespace app
