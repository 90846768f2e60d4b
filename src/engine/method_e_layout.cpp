#include "engine/method_e_layout.h"

#include "engine/cell_reference.h"
#include "engine/method_ce_messages.h"

#include <cstdlib>

namespace engine {

namespace {

int columnOf(const QString& part, const QString& item) {
    const int column = ColumnIndexOf(fGetchar(part));
    if (column == ColumnNames::kNotFound)
        throw CellItemError(method_e_text::kNoSuchColumn.arg(item));
    return column;
}

} // namespace

bool CellItem::isBlock() const {
    return text.contains(u':');
}

// A reversed block (F10:B5) is copied in its true shape, so the band is measured the same way.
int CellItem::height() const {
    if (!isBlock())
        return 1;
    const RangeText parts = RangeText::split(text);
    return std::abs(rowNumberOf(parts.last) - rowNumberOf(parts.first)) + 1;
}

int CellItem::width() const {
    if (!isBlock())
        return 1;
    const RangeText parts = RangeText::split(text);
    return std::abs(columnOf(parts.last, text) - columnOf(parts.first, text)) + 1;
}

QList<CellItem> splitCellList(const QString& cellList) {
    QList<CellItem> items;
    for (const QString& piece : cellList.split(u','))
        items.append(CellItem{piece.trimmed()});
    return items;
}

RowStep rowStepOf(const QList<CellItem>& items) {
    RowStep step;
    for (const CellItem& item : items) {
        if (!item.isBlock()) {
            if (isPastLastRow(item.text)) {
                step.badItem = item.text;
                return step;
            }
            continue;
        }
        try {
            step.rows = std::max(step.rows, item.height());
        } catch (const ConversionError&) {
            step.badItem = item.text;
            return step;
        }
    }
    return step;
}

QString resultColumn(int counter, const CellItem& item) {
    const QString letters = ColumnNames::at(counter);
    if (counter < 1 || letters.isEmpty())
        throw CellItemError(method_e_text::kPastLastColumn.arg(item.text));
    return letters;
}

} // namespace engine
