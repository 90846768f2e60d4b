// The text a cell shows: its value passed through its number format code, the way the
// spreadsheet application formats it (sections, digit placeholders, thousands separators,
// scaling, percent, scientific, fractions, dates and times, text sections, colours).
#pragma once

#include "sheet/model.h"

#include <QString>
#include <optional>

namespace viewer {

struct FormattedValue {
    QString text;
    // A colour section such as [Red] overrides the font colour.
    std::optional<sheet::Rgb> color;
    // The value has no representation in the format (a negative date): the cell shows '#'.
    bool unrepresentable = false;
};

// The format code a style shows: its custom code, or the code of its built-in id as a
// Korean-locale spreadsheet application displays it ("yyyy-mm-dd" for id 14).
QString numberFormatCode(const sheet::Style& style);

// Formats a cell value with a format code. Text, booleans and errors pass through the code's
// text section where it has one.
FormattedValue formatValue(const sheet::CellValue& value, const QString& code,
                           bool date1904 = false);

// "General" for a number, using at most `maxChars` characters besides the sign (11 in a cell
// of the default width); falls back to scientific notation for very large or small values.
QString formatGeneral(double value, int maxChars = 11);

} // namespace viewer
