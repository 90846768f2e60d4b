// Sheet names as formulas write them in front of a reference.
#pragma once

#include <QString>

namespace engine {

// Whether a sheet name must be quoted in a formula: it starts with a digit, holds a character
// other than letters (Latin, Hangul syllables, CJK), digits, '_' and '.', reads as a cell
// reference (A1, R1C1) or a truth value.
bool sheetNameNeedsQuotes(const QString& name);

// "가:다!" or "'1반:3반'!": the span quoted only where a name needs it. A spreadsheet
// application shows both forms the same, and one widely used suite refuses a span quoted
// although its names need no quotes.
QString sheetSpanPrefix(const QString& firstSheet, const QString& lastSheet);

} // namespace engine
