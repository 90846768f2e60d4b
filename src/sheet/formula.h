// Formulas the component reads and computes: numbers, text, truth values and error constants;
// cell references ($ parts allowed), blocks (A1:B2), sheet prefixes (Data!A1, 'My data'!A1,
// First:Last!D11 and 'First:Last'!D11 over a span of sheets, apostrophes doubled inside
// quotes); the operators + - * / ^ & = <> < > <= >= and %, parentheses; and the functions of
// formula_functions_*.cpp. A function it does not know gives #NAME?.
//
// Texts here carry no leading '='. No formula longer than 8,192 characters is read, and
// nesting is bounded; computing one takes no recursion.
#pragma once

#include "sheet/model.h"

#include <functional>
#include <string>

namespace sheet::embedded {

// The value of one cell as a formula sees it (a formula cell's current result). A cell that
// holds no formula is seen as its value: blocks of cells read such cells directly.
using CellLookup = std::function<CellValue(const Worksheet& sheet, long row, long column)>;

// The formula as stored: function names and cell references in upper case. Throws
// AutomationError when the text is no formula the component can read.
std::string canonicalFormula(const std::string& text);

// The formula as entered `rows` rows lower and `columns` columns further right: relative
// references move, $ parts stay. Throws AutomationError when a reference would leave the sheet.
std::string shiftFormula(const std::string& text, long rows, long columns);

// The result of the formula in cell (row, column) of `host` in `workbook`. Throws
// AutomationError when the text cannot be read or names a sheet the workbook lacks; a division
// by zero and the like give an error value ("#DIV/0!"), as in any spreadsheet.
CellValue evaluateFormula(const std::string& text, const Workbook& workbook, const Worksheet& host,
                          long row, long column, const CellLookup& lookup);

// Recomputes every formula of the workbook in dependency order, so that cached results agree
// with the cells. Where the component cannot compute a formula as a spreadsheet application
// would (a function or sheet it does not know, a form it does not compute), the stored result
// stands.
void recalculate(Workbook& workbook);

// Computes the formulas that carry no stored result (files written by programs that do not
// calculate); stored results are kept as they are.
void computeMissingResults(Workbook& workbook);

} // namespace sheet::embedded
