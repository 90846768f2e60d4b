#include "sheet/formula_dates.h"

#include <cmath>

namespace sheet::embedded::formula {

namespace {

// Days from 1970-01-01 of a proleptic Gregorian date (month 1..12).
long daysFromCivil(long year, long month, long day) {
    year -= month <= 2;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const long yearOfEra = year - era * 400;
    const long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

CalendarDate civilFromDays(long days) {
    days += 719468;
    const long era = (days >= 0 ? days : days - 146096) / 146097;
    const long dayOfEra = days - era * 146097;
    const long yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long shifted = (5 * dayOfYear + 2) / 153;
    const int day = int(dayOfYear - (153 * shifted + 2) / 5 + 1);
    const int month = int(shifted < 10 ? shifted + 3 : shifted - 9);
    return {yearOfEra + era * 400 + (month <= 2), month, day};
}

const long kSerialZero = daysFromCivil(1899, 12, 30);

} // namespace

double serialOfDate(long year, long month, long day) {
    year += (month - 1 >= 0 ? (month - 1) / 12 : (month - 12) / 12);
    month = ((month - 1) % 12 + 12) % 12 + 1;
    const long serial = daysFromCivil(year, month, 1) + (day - 1) - kSerialZero;
    // Before 1900-03-01 the serials are one lower, for the 1900-02-29 that never was.
    return double(serial <= 60 ? serial - 1 : serial);
}

CalendarDate dateOfSerial(double serial) {
    const long whole = long(std::floor(serial));
    if (whole == 0)
        return {1900, 1, 0};
    if (whole == 60)
        return {1900, 2, 29};
    return civilFromDays(kSerialZero + (whole < 60 ? whole + 1 : whole));
}

} // namespace sheet::embedded::formula
