// Defined names that follow their sheets: when a sheet is inserted, deleted, renamed or copied.
#pragma once

#include "sheet/model.h"

#include <memory>
#include <string>

namespace sheet::embedded {

// Puts `sheet` at `position` (0-based); names local to later sheets keep their sheet.
void insertSheet(Workbook& workbook, int position, std::unique_ptr<Worksheet> sheet);

// Removes the sheet at `index` with the names local to it.
void eraseSheet(Workbook& workbook, int index);

// Names whose formulas refer to the sheet `oldName` refer to `newName` instead.
void renameSheetInNames(Workbook& workbook, const std::string& oldName, const std::string& newName);

// The sheet's own formulas (cells, conditional formats, validation) that refer to it by its old
// name refer to it by its new one.
void renameSheetInOwnFormulas(Worksheet& sheet, const std::string& oldName,
                              const std::string& newName);

// Gives the sheet at `copyIndex` of `to`, just copied from the sheet at `sourceIndex` of `from`,
// the names it uses, as a spreadsheet application does: the source sheet's own names become
// the copy's own; workbook names its formulas use (directly or through other names) are copied
// along when `to` is another workbook. A workbook name `to` already holds with another formula
// is copied under a new name ("Name_2"), and the copy's formulas use that.
void copyNamesWithSheet(const Workbook& from, int sourceIndex, Workbook& to, int copyIndex);

} // namespace sheet::embedded
