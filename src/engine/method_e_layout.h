// Method E's cell list and the layout of its result sheet: which cells are fetched from every
// workbook, how many rows a workbook's band takes and which column each item lands in.
#pragma once

#include <QList>
#include <QString>
#include <optional>
#include <stdexcept>

namespace engine {

// A block or a result column that cannot be laid out; the message is for the user.
class CellItemError : public std::runtime_error {
public:
    explicit CellItemError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// One item of the cell list: a single cell (A7) or a block (B5:F10), trimmed of blanks.
struct CellItem {
    QString text;

    bool isBlock() const;
    // Rows a block covers, whichever corner comes first; 1 for a single cell. Throws
    // ConversionError when a side of a block has no row number.
    int height() const;
    // Columns a block covers, whichever corner comes first; 1 for a single cell. Throws
    // CellItemError when a side of a block names no column A..IV.
    int width() const;
};

// The cell list cut at every comma. Empty items stay: they fail only when copied.
QList<CellItem> splitCellList(const QString& cellList);

// The rows one workbook's band takes: the greatest block height, at least 1; or the first block
// whose row numbers cannot be read, or the first item naming a row past the sheet's last one.
struct RowStep {
    int rows = 1;
    std::optional<QString> badItem;
};
RowStep rowStepOf(const QList<CellItem>& items);

// The letters of result column `counter` (1 = A). Throws CellItemError naming `item` when the
// counter has run past the last column the layout can name (IV).
QString resultColumn(int counter, const CellItem& item);

} // namespace engine
