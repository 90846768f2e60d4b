#include "files/consolidation_list.h"

#include "files/workbook_folder.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace files {

ConsolidationList::ConsolidationList(const QStringList& names, bool sorted) : sorted_(sorted) {
    replaceAll(names);
}

bool ConsolidationList::hasText() const {
    return std::any_of(names_.begin(), names_.end(),
                       [](const QString& name) { return !name.trimmed().isEmpty(); });
}

void ConsolidationList::setCurrent(int index) {
    current_ = index;
    clampCurrent();
}

bool ConsolidationList::isSelected(int index) const {
    if (index < 0 || index >= count())
        return false;
    return selected_[index];
}

void ConsolidationList::setSelected(int index, bool selected) {
    if (index < 0 || index >= count())
        return;
    selected_[index] = selected;
}

QList<int> ConsolidationList::selectedIndexes() const {
    QList<int> indexes;
    for (int i = 0; i < count(); ++i) {
        if (selected_[i])
            indexes.append(i);
    }
    return indexes;
}

QStringList ConsolidationList::selectedNames() const {
    QStringList selectedNames;
    for (int index : selectedIndexes())
        selectedNames.append(names_[index]);
    return selectedNames;
}

void ConsolidationList::toggleSorted() {
    sorted_ = !sorted_;
    if (sorted_)
        resort();
}

void ConsolidationList::replaceAll(const QStringList& names) {
    names_ = names;
    selected_ = QList<bool>(names_.size(), false);
    current_ = names_.isEmpty() ? -1 : 0;
    if (sorted_)
        resort();
}

void ConsolidationList::appendMissing(const QStringList& names) {
    for (const QString& name : names) {
        if (names_.contains(name, Qt::CaseInsensitive))
            continue;
        names_.append(name);
        selected_.append(false);
    }
    clampCurrent();
    if (sorted_)
        resort();
}

void ConsolidationList::removeSelected() {
    QList<int> doomed = selectedIndexes();
    std::reverse(doomed.begin(), doomed.end());
    removeIndexes(doomed);
}

void ConsolidationList::clear() {
    replaceAll({});
}

void ConsolidationList::moveUp() {
    if (current_ < 0)
        return;
    const int target = current_ == 0 ? count() - 1 : current_ - 1;
    moveEntry(current_, target);
}

void ConsolidationList::moveDown() {
    if (current_ < 0)
        return;
    const int target = current_ == count() - 1 ? 0 : current_ + 1;
    moveEntry(current_, target);
}

void ConsolidationList::removeName(const QString& name) {
    QList<int> doomed;
    for (int i = count() - 1; i >= 0; --i) {
        if (names_[i] == name)
            doomed.append(i);
    }
    removeIndexes(doomed);
}

void ConsolidationList::renameName(const QString& from, const QString& to) {
    for (int i = count() - 1; i >= 0; --i) {
        if (names_[i] == from)
            names_[i] = to;
    }
    if (sorted_)
        resort();
}

void ConsolidationList::removeIndexes(const QList<int>& lastFirst) {
    // The focus stays on its entry, or passes to the entry that takes the removed one's place.
    int removedAbove = 0;
    for (int index : lastFirst) {
        names_.removeAt(index);
        selected_.removeAt(index);
        if (index < current_)
            ++removedAbove;
    }
    current_ -= removedAbove;
    clampCurrent();
}

void ConsolidationList::resort() {
    std::vector<int> order(names_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [this](int a, int b) { return lessIgnoringCase(names_[a], names_[b]); });
    QStringList names;
    QList<bool> selected;
    int current = -1;
    for (int from : order) {
        if (from == current_)
            current = static_cast<int>(names.size());
        names.append(names_[from]);
        selected.append(selected_[from]);
    }
    names_ = names;
    selected_ = selected;
    current_ = current;
    clampCurrent();
}

void ConsolidationList::clampCurrent() {
    if (names_.isEmpty()) {
        current_ = -1;
        return;
    }
    current_ = std::clamp(current_, 0, count() - 1);
}

void ConsolidationList::moveEntry(int from, int to) {
    names_.move(from, to);
    selected_.move(from, to);
    current_ = to;
}

} // namespace files
