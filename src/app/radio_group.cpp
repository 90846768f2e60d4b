#include "app/radio_group.h"

#include <QVBoxLayout>

namespace app {

RadioGroup::RadioGroup(const QStringList& items, QWidget* parent) : QGroupBox(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->setSpacing(2);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        group_.addButton(button, i);
        layout->addWidget(button);
        buttons_ << button;
    }
    connect(&group_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            emit itemIndexChanged(id);
    });
}

int RadioGroup::itemIndex() const {
    return group_.checkedId();
}

void RadioGroup::setItemIndex(int index) {
    if (index == itemIndex())
        return;
    if (index >= 0 && index < count()) {
        buttons_[index]->setChecked(true);
        return;
    }
    // An exclusive group refuses to uncheck its last checked button.
    QAbstractButton* checked = group_.checkedButton();
    if (!checked)
        return;
    group_.setExclusive(false);
    checked->setChecked(false);
    group_.setExclusive(true);
    emit itemIndexChanged(-1);
}

} // namespace app
