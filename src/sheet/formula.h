// Formulas the component reads and computes: numbers, cell references ($ parts allowed),
// blocks (A1:B2), sheet prefixes (Data!A1, 'My data'!A1, 'First:Last'!D11 over a span of
// sheets, apostrophes doubled inside quotes), + - * /, parentheses and SUM.
//
// Texts here carry no leading '='.
#pragma once

#include "sheet/model.h"

#include <functional>
#include <string>

namespace sheet::embedded {

// The value of one cell as a formula sees it (a formula cell's current result).
using CellLookup = std::function<CellValue(const Worksheet& sheet, long row, long column)>;

// The formula as stored: function names and cell references in upper case. Throws
// AutomationError when the text is no formula the component can read.
std::string canonicalFormula(const std::string& text);

// The formula as entered `rows` rows lower and `columns` columns further right: relative
// references move, $ parts stay. Throws AutomationError when a reference would leave the sheet.
std::string shiftFormula(const std::string& text, long rows, long columns);

// The result of the formula in `host` of `workbook`. Throws AutomationError when the text
// cannot be read or names a sheet the workbook lacks; a division by zero and the like give an
// error value ("#DIV/0!"), as in any spreadsheet.
CellValue evaluateFormula(const std::string& text, const Workbook& workbook, const Worksheet& host,
                          const CellLookup& lookup);

// Recomputes every formula of the workbook in dependency order, so that cached results agree
// with the cells. Formulas the component cannot compute keep the result they had.
void recalculate(Workbook& workbook);

} // namespace sheet::embedded
