#include "sheet/formula_context.h"

#include "sheet/formula_dates.h"

#include <chrono>
#include <ctime>

namespace sheet::embedded::formula {

CellValue Context::cell(int sheet, long row, long column) {
    return lookup_(*workbook_.sheets[size_t(sheet)], row, column);
}

void Context::forEachFilled(
    const Area& area, const std::function<bool(const CellValue&, long row, long column)>& visit) {
    const CellRect& rect = area.rect;
    for (int index = area.firstSheet; index <= area.lastSheet; ++index) {
        const Worksheet& sheet = *workbook_.sheets[size_t(index)];
        const auto& rows = sheet.rows();
        for (auto row = rows.lower_bound(rect.firstRow);
             row != rows.end() && row->first <= rect.lastRow; ++row) {
            const auto& cells = row->second;
            for (auto cell = cells.lower_bound(rect.firstColumn);
                 cell != cells.end() && cell->first <= rect.lastColumn; ++cell) {
                // Only a formula cell needs the lookup; walking a large block, finding every
                // cell again in the sheet would cost as much as the walk itself.
                const Cell& found = cell->second;
                if (found.formula.empty()) {
                    if (found.value.empty())
                        continue;
                    if (!visit(found.value, row->first, cell->first))
                        return;
                    continue;
                }
                CellValue value = lookup_(sheet, row->first, cell->first);
                if (value.empty())
                    continue;
                if (!visit(value, row->first, cell->first))
                    return;
            }
        }
    }
}

CellValue Context::scalar(const Value& value) {
    if (const auto* single = std::get_if<CellValue>(&value))
        return *single;
    if (const auto* array = std::get_if<Array>(&value))
        return array->cells.empty() ? errorOf(kWrongType) : array->cells.front();
    const Area& area = std::get<Area>(value);
    if (area.firstSheet != area.lastSheet)
        return errorOf(kWrongType);
    const CellRect& rect = area.rect;
    long row = rect.firstRow, column = rect.firstColumn;
    if (rect.firstRow != rect.lastRow) {
        if (rect.firstColumn != rect.lastColumn || hostRow_ < rect.firstRow ||
            hostRow_ > rect.lastRow) {
            markUncertain();
            return errorOf(kWrongType);
        }
        row = hostRow_;
    } else if (rect.firstColumn != rect.lastColumn) {
        if (hostColumn_ < rect.firstColumn || hostColumn_ > rect.lastColumn) {
            markUncertain();
            return errorOf(kWrongType);
        }
        column = hostColumn_;
    }
    return cell(area.firstSheet, row, column);
}

std::variant<Array, CellValue> Context::array(const Value& value) {
    if (const auto* single = std::get_if<CellValue>(&value))
        return Array{1, 1, {*single}};
    if (const auto* array = std::get_if<Array>(&value))
        return *array;
    const Area& area = std::get<Area>(value);
    if (area.firstSheet != area.lastSheet)
        return errorOf(kWrongType);
    if (area.cellCount() > kLargestArray) {
        markUncertain();
        return errorOf(kWrongType);
    }
    Array result{area.rows(), area.columns(), {}};
    result.cells.resize(area.cellCount());
    forEachFilled(area, [&](const CellValue& cell, long row, long column) {
        result.cells[size_t(row - area.rect.firstRow) * size_t(result.columns) +
                     size_t(column - area.rect.firstColumn)] = cell;
        return true;
    });
    return result;
}

double Context::today() const {
    static const double serial = [] {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        return serialOfDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    }();
    return serial - dateShift();
}

double Context::dateShift() const {
    return workbook_.date1904 ? kDate1904Offset : 0;
}

} // namespace sheet::embedded::formula
