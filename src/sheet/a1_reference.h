// A1-style cell references: parsing, and moving the relative references of a formula.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sheet {

struct CellAddress {
    long row = 0;
    long column = 0;
};

// "B12" -> {12, 2}; '$' signs are allowed. nullopt when malformed or beyond the sheet's limits.
std::optional<CellAddress> parseCellAddress(std::string_view text);
// The column letters of a 1-based column ("A", "AB").
std::string columnLetters(long column);
std::string cellAddressText(long row, long column);

// The formula with each relative reference moved by the offsets, as when a formula is filled
// or copied from one cell to another. Absolute parts ($A, $1) stay; string literals and quoted
// sheet names are left alone; a reference moved off the sheet becomes #REF!.
std::string shiftFormula(std::string_view formula, long rowOffset, long columnOffset);

} // namespace sheet
