#include "engine/form_compare.h"

#include <algorithm>
#include <map>
#include <optional>
#include <tuple>

namespace engine::form {

namespace {

using Position = std::pair<long, long>;

struct Mapping {
    const Alignment& alignment;

    std::optional<Position> toBook(long row, long column) const {
        const auto r = alignment.rows.toBook(row);
        const auto c = alignment.columns.toBook(column);
        if (!r || !c)
            return std::nullopt;
        return Position{*r, *c};
    }
    std::optional<Position> toForm(long row, long column) const {
        const auto r = alignment.rows.toForm(row);
        const auto c = alignment.columns.toForm(column);
        if (!r || !c)
            return std::nullopt;
        return Position{*r, *c};
    }
    std::optional<sheet::CellRect> rectToBook(const sheet::CellRect& rect) const {
        const auto first = toBook(rect.firstRow, rect.firstColumn);
        const auto last = toBook(rect.lastRow, rect.lastColumn);
        if (!first || !last)
            return std::nullopt;
        return sheet::CellRect{first->first, first->second, last->first, last->second};
    }
    std::optional<sheet::CellRect> rectToForm(const sheet::CellRect& rect) const {
        const auto first = toForm(rect.firstRow, rect.firstColumn);
        const auto last = toForm(rect.lastRow, rect.lastColumn);
        if (!first || !last)
            return std::nullopt;
        return sheet::CellRect{first->first, first->second, last->first, last->second};
    }
};

bool isLabel(const FormCell* cell) {
    return cell && cell->kind == CellKind::Label;
}

std::string textOf(const FormCell* cell) {
    return cell ? cell->text : std::string();
}

FormDifference labelDifference(Position form, Position book, const FormCell* formCell,
                               const FormCell* bookCell) {
    FormDifference difference;
    difference.kind = DifferenceKind::Label;
    std::tie(difference.formRow, difference.formColumn) = form;
    std::tie(difference.bookRow, difference.bookColumn) = book;
    difference.formText = textOf(formCell);
    difference.bookText = textOf(bookCell);
    return difference;
}

// A label of either sheet that the other does not hold at the matching place. A value facing
// a label counts (a heading overwritten by a number); values facing values or empty cells do not.
void compareLabels(const FormSheet& form, const FormSheet& book, const FormArea& area,
                   const Mapping& mapping, std::vector<FormDifference>& out) {
    for (const FormCell& cell : form.cells()) {
        if (cell.kind != CellKind::Label || !area.comparesLabel(cell.row, cell.column))
            continue;
        const auto place = mapping.toBook(cell.row, cell.column);
        if (!place)
            continue;
        const FormCell* other = book.at(place->first, place->second);
        if (!isLabel(other) || other->text != cell.text)
            out.push_back(labelDifference({cell.row, cell.column}, *place, &cell, other));
    }
    for (const FormCell& cell : book.cells()) {
        if (cell.kind != CellKind::Label)
            continue;
        const auto place = mapping.toForm(cell.row, cell.column);
        if (!place || !area.comparesLabel(place->first, place->second))
            continue;
        const FormCell* other = form.at(place->first, place->second);
        if (!isLabel(other))
            out.push_back(labelDifference(*place, {cell.row, cell.column}, other, &cell));
    }
}

using MergesByCorner = std::map<Position, sheet::CellRect>;

MergesByCorner byCorner(const std::vector<sheet::CellRect>& merges) {
    MergesByCorner corners;
    for (const sheet::CellRect& merge : merges)
        corners.emplace(Position{merge.firstRow, merge.firstColumn}, merge);
    return corners;
}

FormDifference mergeDifference(const sheet::CellRect& formPlace, const sheet::CellRect& bookPlace,
                               const sheet::CellRect* formMerge, const sheet::CellRect* bookMerge) {
    FormDifference difference;
    difference.kind = DifferenceKind::Merge;
    difference.formRow = formPlace.firstRow;
    difference.formColumn = formPlace.firstColumn;
    difference.bookRow = bookPlace.firstRow;
    difference.bookColumn = bookPlace.firstColumn;
    difference.formText = formMerge ? rangeText(*formMerge) : std::string();
    difference.bookText = bookMerge ? rangeText(*bookMerge) : std::string();
    return difference;
}

// Merged ranges are matched by their top-left cell: one line per corner whose ranges differ.
void compareMerges(const FormSheet& form, const FormSheet& book, const FormArea& area,
                   const Mapping& mapping, std::vector<FormDifference>& out) {
    const MergesByCorner formCorners = byCorner(form.merges());
    const MergesByCorner bookCorners = byCorner(book.merges());
    for (const auto& [corner, merge] : formCorners) {
        if (!area.comparesMerge(merge))
            continue;
        const auto expected = mapping.rectToBook(merge);
        if (!expected)
            continue;
        const auto found = bookCorners.find({expected->firstRow, expected->firstColumn});
        if (found == bookCorners.end())
            out.push_back(mergeDifference(merge, *expected, &merge, nullptr));
        else if (!(found->second == *expected))
            out.push_back(mergeDifference(merge, *expected, &merge, &found->second));
    }
    for (const auto& [corner, merge] : bookCorners) {
        const auto place = mapping.rectToForm(merge);
        if (!place || !area.comparesMerge(*place))
            continue;
        if (!formCorners.count({place->firstRow, place->firstColumn}))
            out.push_back(mergeDifference(*place, merge, nullptr, &merge));
    }
}

// Method A copies its fixed block only: anything the workbook holds below the block's last row,
// in the block's columns, where the form is empty, never reaches the result.
void compareDataBelow(const FormSheet& form, const FormSheet& book, const FormArea& area,
                      const Mapping& mapping, std::vector<FormDifference>& out) {
    if (!area.fixedData)
        return;
    const sheet::CellRect& block = *area.fixedData;
    long first = 0;
    long last = 0;
    for (const FormCell& cell : book.cells()) {
        const auto place = mapping.toForm(cell.row, cell.column);
        if (!place || place->first <= block.lastRow || place->second < block.firstColumn ||
            place->second > block.lastColumn || form.at(place->first, place->second))
            continue;
        if (first == 0)
            first = cell.row;
        last = std::max(last, cell.row);
    }
    if (first == 0)
        return;
    FormDifference difference;
    difference.kind = DifferenceKind::DataBelow;
    difference.formText = rangeText(block);
    difference.firstDataRow = first;
    difference.lastDataRow = last;
    out.push_back(difference);
}

void addShift(const AxisMap& axis, DifferenceKind kind, std::vector<FormDifference>& out) {
    if (!axis.shift())
        return;
    FormDifference difference;
    difference.kind = kind;
    difference.shift = *axis.shift();
    out.push_back(difference);
}

} // namespace

std::vector<FormDifference> compareForms(const FormSheet& form, const FormSheet& book,
                                         const FormArea& area) {
    const Alignment alignment = alignForms(form, book);
    const Mapping mapping{alignment};
    std::vector<FormDifference> differences;
    addShift(alignment.rows, DifferenceKind::RowsShifted, differences);
    addShift(alignment.columns, DifferenceKind::ColumnsShifted, differences);

    std::vector<FormDifference> places;
    compareLabels(form, book, area, mapping, places);
    compareMerges(form, book, area, mapping, places);
    std::stable_sort(
        places.begin(), places.end(), [](const FormDifference& a, const FormDifference& b) {
            return std::tie(a.bookRow, a.bookColumn) < std::tie(b.bookRow, b.bookColumn);
        });
    differences.insert(differences.end(), places.begin(), places.end());
    compareDataBelow(form, book, area, mapping, differences);
    return differences;
}

} // namespace engine::form
