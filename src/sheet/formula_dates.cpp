#include "sheet/formula_dates.h"

#include "sheet/date_serial.h"

#include <cmath>

namespace sheet::embedded::formula {

namespace {

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
