// How formulas turn one kind of value into another: numbers for arithmetic, text for joining
// and text functions, truth for conditions, and the order comparisons follow.
#pragma once

#include "sheet/model.h"

#include <optional>
#include <string>
#include <string_view>

namespace sheet::embedded::formula {

// The number of a value met in arithmetic: blanks are 0, truth values 1 or 0, text that
// reads as a number ("1,250", " 3 ", "50%") that number. Nothing for errors and other text.
std::optional<double> numberOf(const CellValue& value);

// The error arithmetic gives for a value numberOf refused: the value's own error or #VALUE!.
CellValue failureOf(const CellValue& value);

// A number written as text, as people type it into cells; nothing for any other text.
std::optional<double> numberInText(std::string_view text);

// A number as a cell in the general format shows it (up to 15 significant digits).
std::string generalText(double number);

// The text of a value met in joining and text functions.
std::string textOf(const CellValue& value);

// The truth of a value met in a condition; nothing for text other than TRUE or FALSE.
std::optional<bool> truthOf(const CellValue& value);

// A number, or #NUM! when the arithmetic overflowed.
CellValue finite(double number);

// The text in upper case for comparing without regard to case.
std::string foldCase(std::string_view text);

// -1, 0 or 1: numbers before text before truth values, text compared without regard to case;
// a blank compares as 0, "" or FALSE, whichever the other side is.
int compareValues(const CellValue& left, const CellValue& right);

// Rounds to 15 significant digits, as cells hold numbers, so that 2.675 * 100 stays 267.5.
double significant(double number);

} // namespace sheet::embedded::formula
