// What a function sees while a formula is computed: the host cell, the cells of the workbook
// (formula cells as their current results) and the conversions of blocks into values.
#pragma once

#include "sheet/formula.h"
#include "sheet/formula_value.h"

#include <functional>

namespace sheet::embedded::formula {

class Context {
public:
    Context(const Workbook& workbook, int hostSheet, long hostRow, long hostColumn,
            const CellLookup& lookup)
        : workbook_(workbook), hostSheet_(hostSheet), hostRow_(hostRow), hostColumn_(hostColumn),
          lookup_(lookup) {}

    const Workbook& workbook() const { return workbook_; }
    int hostSheet() const { return hostSheet_; }
    long hostRow() const { return hostRow_; }
    long hostColumn() const { return hostColumn_; }

    // Whether the call being computed sits inside an array function's arguments.
    bool arrayContext() const { return arrayContext_; }
    void setArrayContext(bool on) { arrayContext_ = on; }

    // Marks the result as the component's own shortcoming (a name it does not know, a form of
    // formula it does not compute) rather than the workbook's: such a result never replaces a
    // stored one.
    void markUncertain() { uncertain_ = true; }
    bool uncertain() const { return uncertain_; }

    // A cell's value; a blank cell is an empty value.
    CellValue cell(int sheet, long row, long column);

    // Calls `visit` with each cell of the area that holds something, row by row; `visit`
    // returns false to stop.
    void forEachFilled(const Area& area,
                       const std::function<bool(const CellValue&, long row, long column)>& visit);

    // A single value: a block gives the cell in the host's row or column (#VALUE! when there
    // is none), an array its first element.
    CellValue scalar(const Value& value);

    // An array: a block its cells, a single value a 1 x 1 array. An error value when the
    // block spans sheets or is too large to hold.
    std::variant<Array, CellValue> array(const Value& value);

    // The serial number of today's date, the same for every formula of one run, in the
    // workbook's date system.
    double today() const;

    // What the workbook's serials add to become serials of the 1900 date system that
    // serialOfDate and dateOfSerial speak: 0, or kDate1904Offset for a 1904 workbook.
    double dateShift() const;

private:
    const Workbook& workbook_;
    int hostSheet_;
    long hostRow_, hostColumn_;
    const CellLookup& lookup_;
    bool arrayContext_ = false;
    bool uncertain_ = false;
};

} // namespace sheet::embedded::formula
