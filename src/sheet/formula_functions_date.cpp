// Functions of dates: DATE, YEAR, MONTH, DAY and TODAY.
#include "sheet/formula_coerce.h"
#include "sheet/formula_context.h"
#include "sheet/formula_dates.h"
#include "sheet/formula_functions.h"

#include <array>
#include <cmath>

namespace sheet::embedded::formula {

namespace {

// DATE(year, month, day): years 0..1899 count from 1900; months and days roll over.
CellValue date(const std::vector<CellValue>& arguments, Context& context) {
    double parts[3];
    for (size_t i = 0; i < 3; ++i) {
        const auto number = numberOf(arguments[i]);
        if (!number)
            return failureOf(arguments[i]);
        parts[i] = std::trunc(*number);
    }
    double year = parts[0];
    if (year < 0 || year >= 10000 || std::fabs(parts[1]) > 1e6 || std::fabs(parts[2]) > 1e8)
        return errorOf(kBadNumber);
    if (year < 1900)
        year += 1900;
    const double serial = serialOfDate(long(year), long(parts[1]), long(parts[2]));
    if (serial - context.dateShift() < 0 || serial > kLastSerial)
        return errorOf(kBadNumber);
    return CellValue::Number(serial - context.dateShift());
}

std::optional<CalendarDate> dateArgument(const CellValue& value, const Context& context,
                                         CellValue& failure) {
    const auto number = numberOf(value);
    if (!number) {
        failure = failureOf(value);
        return std::nullopt;
    }
    const double serial = *number + context.dateShift();
    if (*number < 0 || serial >= kLastSerial + 1) {
        failure = errorOf(kBadNumber);
        return std::nullopt;
    }
    return dateOfSerial(serial);
}

CellValue year(const std::vector<CellValue>& arguments, Context& context) {
    CellValue failure;
    const auto date = dateArgument(arguments[0], context, failure);
    return date ? CellValue::Number(double(date->year)) : failure;
}

CellValue month(const std::vector<CellValue>& arguments, Context& context) {
    CellValue failure;
    const auto date = dateArgument(arguments[0], context, failure);
    return date ? CellValue::Number(date->month) : failure;
}

CellValue day(const std::vector<CellValue>& arguments, Context& context) {
    CellValue failure;
    const auto date = dateArgument(arguments[0], context, failure);
    return date ? CellValue::Number(date->day) : failure;
}

CellValue today(const std::vector<CellValue>&, Context& context) {
    return CellValue::Number(context.today());
}

const std::array kFunctions = {
    FunctionInfo{"DATE", 3, 3, date},   FunctionInfo{"YEAR", 1, 1, year},
    FunctionInfo{"MONTH", 1, 1, month}, FunctionInfo{"DAY", 1, 1, day},
    FunctionInfo{"TODAY", 0, 0, today},
};

} // namespace

std::span<const FunctionInfo> dateFunctions() {
    return kFunctions;
}

} // namespace sheet::embedded::formula
