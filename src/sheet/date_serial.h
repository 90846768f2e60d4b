// Dates and times as the serial numbers spreadsheet cells hold.
#pragma once

#include <optional>
#include <string_view>

namespace sheet {

// Days from 1970-01-01 of a proleptic Gregorian date (month 1..12).
long daysFromCivil(long year, long month, long day);

// "2024-03-01", "2024-03-01T12:30:00(.5)(Z)", "2024-03-01 12:30:00" or "12:30:00" as a serial:
// days since 1899-12-30 (or since 1904-01-01 when date1904), the time as the fraction.
// nullopt when the text is no such date or lies before the date system's start.
std::optional<double> serialFromIsoText(std::string_view text, bool date1904);

} // namespace sheet
