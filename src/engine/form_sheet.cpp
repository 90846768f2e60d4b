#include "engine/form_sheet.h"

#include "sheet/a1_reference.h"

#include <algorithm>
#include <charconv>

namespace engine::form {

namespace {

std::string trimmed(const std::string& text) {
    constexpr const char* kBlanks = " \t\r\n";
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

std::string numberText(double number) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
    return std::string(buffer, result.ptr);
}

// The cell as the form check sees it; false for a cell that counts as empty.
bool formCellOf(long row, long column, const sheet::CellValue& value, FormCell& out) {
    out.row = row;
    out.column = column;
    switch (value.type) {
    case sheet::CellType::Empty:
        return false;
    case sheet::CellType::Text:
        out.kind = CellKind::Label;
        out.text = trimmed(value.text);
        return !out.text.empty();
    case sheet::CellType::Number:
        out.kind = CellKind::Value;
        out.text = numberText(value.number);
        return true;
    case sheet::CellType::Boolean:
        out.kind = CellKind::Value;
        out.text = value.number != 0 ? "TRUE" : "FALSE";
        return true;
    case sheet::CellType::Error:
        out.kind = CellKind::Value;
        out.text = value.text;
        return true;
    }
    return false;
}

bool before(const FormCell& cell, long row, long column) {
    return cell.row < row || (cell.row == row && cell.column < column);
}

} // namespace

FormSheet FormSheet::of(const sheet::Worksheet& worksheet) {
    FormSheet form;
    for (const auto& [row, columns] : worksheet.rows()) {
        for (const auto& [column, cell] : columns) {
            FormCell formCell;
            if (formCellOf(row, column, cell.value, formCell)) {
                form.cells_.push_back(std::move(formCell));
            } else if (!cell.formula.empty()) {
                // A formula whose result the file did not store still fills its cell.
                form.cells_.push_back({row, column, CellKind::Value, '=' + cell.formula});
            }
        }
    }
    form.merges_ = worksheet.merges;
    return form;
}

const FormCell* FormSheet::at(long row, long column) const {
    const auto found =
        std::lower_bound(cells_.begin(), cells_.end(), std::make_pair(row, column),
                         [](const FormCell& cell, const std::pair<long, long>& position) {
                             return before(cell, position.first, position.second);
                         });
    if (found == cells_.end() || found->row != row || found->column != column)
        return nullptr;
    return &*found;
}

const FormCell* FormSheet::labelLeftOf(long row, long column) const {
    auto it = std::lower_bound(cells_.begin(), cells_.end(), std::make_pair(row, column),
                               [](const FormCell& cell, const std::pair<long, long>& position) {
                                   return before(cell, position.first, position.second);
                               });
    while (it != cells_.begin()) {
        --it;
        if (it->row != row)
            return nullptr;
        if (it->kind == CellKind::Label)
            return &*it;
    }
    return nullptr;
}

std::string rangeText(const sheet::CellRect& rect) {
    const std::string first = sheet::cellAddressText(rect.firstRow, rect.firstColumn);
    if (rect.firstRow == rect.lastRow && rect.firstColumn == rect.lastColumn)
        return first;
    return first + ':' + sheet::cellAddressText(rect.lastRow, rect.lastColumn);
}

} // namespace engine::form
