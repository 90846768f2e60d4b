// The formula of one sum cell of method A: the same cell of every pasted block added up.
#pragma once

#include <QString>

namespace engine {

// Longest formula text spreadsheet applications load.
inline constexpr int kLongestFormula = 8192;

// "=C8+C12+C16" over `count` blocks `stride` rows apart from `firstRow`, while that fits in
// kLongestFormula characters; beyond, a stride sum over the column,
// "=SUMPRODUCT(--(MOD(ROW(C8:C5000)-8,4)=0),C8:C5000)", which adds the same cells (text in
// them counts as 0 there, as in SUM, where the chain would give #VALUE!).
QString blockSumFormula(const QString& column, long firstRow, long stride, long count);

} // namespace engine
