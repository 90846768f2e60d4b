// Dates as cells hold them: serial day numbers from 1900-01-01 = 1, with the day
// 1900-02-29 (serial 60) that spreadsheets have always counted.
#pragma once

namespace sheet::embedded::formula {

struct CalendarDate {
    long year = 1900;
    int month = 1, day = 0;
};

// The serial of a date; months and days outside their ranges roll over into the next or
// previous year and month. Negative for dates before 1900.
double serialOfDate(long year, long month, long day);

// The date of a serial 0 .. 2958465 (the serial's fraction, the time, is dropped); 0 is
// 1900-01-00.
CalendarDate dateOfSerial(double serial);

// The latest serial a date may have (9999-12-31).
inline constexpr double kLastSerial = 2958465;

// What a serial of the 1904 date system (0 = 1904-01-01) adds to become the serial of the same
// date here.
inline constexpr double kDate1904Offset = 1462;

} // namespace sheet::embedded::formula
