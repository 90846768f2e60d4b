// The one clipboard of the process: a range copied in any instance can be pasted in any other,
// as between two spreadsheet applications on one desktop.
#pragma once

#include "sheet/clipboard_features.h"
#include "sheet/model.h"
#include "sheet/range_text.h"

#include <map>
#include <memory>
#include <vector>

namespace sheet::embedded {

// A copied block, detached from its workbook: it survives the source's closing.
struct ClipboardContent {
    AreaKind kind = AreaKind::Cells;
    long rowCount = 0, columnCount = 0;
    // Offsets from the block's top-left cell (0-based) -> cell. Formulas are already replaced by
    // their results; styles index `styles`.
    std::map<long, CellRow> cells;
    std::vector<Style> styles;
    std::vector<CellRect> merges;        // 0-based offsets, wholly inside the block
    std::map<long, double> rowHeights;   // whole rows only: row offset -> height
    std::map<long, double> columnWidths; // whole columns only: column offset -> width
    std::map<long, int> rowStyles;       // whole rows only: row offset -> index into styles
    std::map<long, int> columnStyles;    // whole columns only: column offset -> index
    std::vector<long> hiddenRows;        // whole rows only: offsets of hidden rows, ascending
    std::vector<long> hiddenColumns;     // whole columns only: offsets, ascending
    BlockFeatures features;              // notes, links, validation, conditional formats
};

// The block `area` of `sheet`, as Copy puts it on the clipboard.
std::shared_ptr<const ClipboardContent> copyBlock(const Workbook& workbook, const Worksheet& sheet,
                                                  const CellArea& area);

// Replaces the cells under the block, with the block's top-left cell at (row, column), and
// re-maps its styles into the workbook's style table. Throws AutomationError when the block
// does not fit there.
void pasteBlock(const ClipboardContent& block, Workbook& workbook, Worksheet& sheet, long row,
                long column);

// The process-wide clipboard. Safe to use from several threads.
class Clipboard {
public:
    static void put(std::shared_ptr<const ClipboardContent> content);
    static std::shared_ptr<const ClipboardContent> get(); // null when empty
    static void clear();
};

// Removes every cell of `rect` from the sheet, visiting only the cells that exist.
void eraseCells(Worksheet& sheet, const CellRect& rect);

} // namespace sheet::embedded
