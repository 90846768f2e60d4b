// The consolidation list: file names (without folder) in consolidation order, with the
// selection and the focused entry of the list control that shows it. A plain value, so that
// the window copies the control into it, applies one operation and shows the result.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace files {

class ConsolidationList {
public:
    ConsolidationList() = default;
    explicit ConsolidationList(const QStringList& names, bool sorted = false);

    const QStringList& names() const { return names_; }
    int count() const { return static_cast<int>(names_.size()); }
    bool isEmpty() const { return names_.isEmpty(); }
    // False when every entry is blank: the list holds nothing to open or print.
    bool hasText() const;

    // The focused entry; -1 only while the list is empty. Out-of-range values are clamped.
    int current() const { return current_; }
    void setCurrent(int index);

    bool isSelected(int index) const;
    void setSelected(int index, bool selected);
    QList<int> selectedIndexes() const;
    QStringList selectedNames() const;

    // Sorted mode: while on, entries stay in alphabetical order without regard to case.
    bool isSorted() const { return sorted_; }
    // Switching on sorts at once; switching off keeps the present order.
    void toggleSorted();

    // All entries replaced by `names`, in their order (or sorted in sorted mode).
    void replaceAll(const QStringList& names);
    // Each name, in order, goes to the end unless an entry of that name is already listed
    // (compared without regard to case); in sorted mode the list is sorted afterwards.
    void appendMissing(const QStringList& names);
    // Removes the selected entries, the last first.
    void removeSelected();
    void clear();

    // Moves the focused entry one place up (down); the first (last) entry wraps around to
    // the other end. The focus stays on the moved entry.
    void moveUp();
    void moveDown();

    // Removes every entry equal to `name` (case-sensitive), the last first.
    void removeName(const QString& name);
    // Renames every entry equal to `from` (case-sensitive) to `to`.
    void renameName(const QString& from, const QString& to);

private:
    // Indexes in descending order.
    void removeIndexes(const QList<int>& lastFirst);
    void resort();
    void clampCurrent();
    void moveEntry(int from, int to);

    QStringList names_;
    QList<bool> selected_;
    int current_ = -1;
    bool sorted_ = false;
};

} // namespace files
