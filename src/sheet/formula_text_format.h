// Numbers written in a number format, as TEXT(value, format) does: digit placeholders (0 #),
// thousands separators, decimals, percent, literal text ("원", \x), up to four sections
// (positive;negative;zero;text) and dates and times (yyyy mm dd h mm ss AM/PM, 년 월 일 as
// text). Nothing for formats the component does not write (fractions, exponents, elapsed time).
#pragma once

#include <optional>
#include <string>

namespace sheet::embedded::formula {

// `dateShift` turns the number into a serial of the 1900 date system where it is shown as a
// date (Context::dateShift).
std::optional<std::string> formatNumber(double number, const std::string& format,
                                        double dateShift = 0);

} // namespace sheet::embedded::formula
