#include "engine/form_alignment.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace engine::form {

namespace {

// Labels the two lines share, counting repeated texts as often as both hold them.
long commonLabels(const LineLabels& form, long formLine, const LineLabels& book, long bookLine) {
    if (formLine < 1 || bookLine < 1 || formLine >= static_cast<long>(form.size()) ||
        bookLine >= static_cast<long>(book.size()))
        return 0;
    const std::vector<int>& a = form[formLine];
    const std::vector<int>& b = book[bookLine];
    long common = 0;
    for (size_t i = 0, j = 0; i < a.size() && j < b.size();) {
        if (a[i] < b[j]) {
            ++i;
        } else if (b[j] < a[i]) {
            ++j;
        } else {
            ++common;
            ++i;
            ++j;
        }
    }
    return common;
}

// suffix[r] = sum of matches of form lines r.. against the book lines `offset` further on.
std::vector<long> suffixMatches(const LineLabels& form, const LineLabels& book, long offset) {
    const long lines = static_cast<long>(form.size());
    std::vector<long> suffix(static_cast<size_t>(lines) + 2, 0);
    for (long r = lines - 1; r >= 1; --r)
        suffix[r] = suffix[r + 1] + commonLabels(form, r, book, r + offset);
    return suffix;
}

struct Candidate {
    long score = 0;
    std::optional<Shift> shift;
};

void consider(Candidate& best, long score, Shift shift) {
    if (score > best.score)
        best = {score, shift};
}

LineLabels labelsByLine(const FormSheet& sheet, bool byRow,
                        std::unordered_map<std::string_view, int>& ids) {
    LineLabels lines;
    for (const FormCell& cell : sheet.cells()) {
        if (cell.kind != CellKind::Label)
            continue;
        const long line = byRow ? cell.row : cell.column;
        if (static_cast<long>(lines.size()) <= line)
            lines.resize(static_cast<size_t>(line) + 1);
        const auto [it, added] = ids.emplace(cell.text, static_cast<int>(ids.size()));
        lines[line].push_back(it->second);
    }
    for (auto& labels : lines)
        std::sort(labels.begin(), labels.end());
    return lines;
}

AxisMap alignAxis(const FormSheet& form, const FormSheet& book, bool byRow) {
    std::unordered_map<std::string_view, int> ids;
    LineLabels formLines = labelsByLine(form, byRow, ids);
    LineLabels bookLines = labelsByLine(book, byRow, ids);
    const size_t lines = std::max(formLines.size(), bookLines.size());
    formLines.resize(lines);
    bookLines.resize(lines);
    return AxisMap(findShift(formLines, bookLines));
}

} // namespace

std::optional<long> AxisMap::toBook(long formLine) const {
    if (!shift_ || formLine <= shift_->after)
        return formLine;
    if (shift_->count > 0)
        return formLine + shift_->count;
    if (formLine <= shift_->after - shift_->count)
        return std::nullopt;
    return formLine + shift_->count;
}

std::optional<long> AxisMap::toForm(long bookLine) const {
    if (!shift_ || bookLine <= shift_->after)
        return bookLine;
    if (shift_->count < 0)
        return bookLine - shift_->count;
    if (bookLine <= shift_->after + shift_->count)
        return std::nullopt;
    return bookLine - shift_->count;
}

std::optional<Shift> findShift(const LineLabels& form, const LineLabels& book) {
    if (form == book)
        return std::nullopt;
    const long lines = static_cast<long>(form.size());
    std::vector<long> prefix(static_cast<size_t>(std::max(lines, 1L)) + 1, 0);
    for (long r = 1; r < lines; ++r)
        prefix[r] = prefix[r - 1] + commonLabels(form, r, book, r);
    const long last = std::max(lines - 1, 0L);
    Candidate best{prefix[last], std::nullopt};

    // Every tried shift compares each line once: long sheets try fewer shifts.
    constexpr long kLineComparisons = 1L << 20;
    const long maxShift = std::min({kMaxShift, last, kLineComparisons / std::max(last, 1L)});
    for (long count = 1; count <= maxShift; ++count) {
        const std::vector<long> inserted = suffixMatches(form, book, count);
        for (long after = 0; after < last; ++after)
            consider(best, prefix[after] + inserted[after + 1], {after, count});
        const std::vector<long> deleted = suffixMatches(form, book, -count);
        for (long after = 0; after + count < last; ++after)
            consider(best, prefix[after] + deleted[after + count + 1], {after, -count});
    }
    return best.shift;
}

Alignment alignForms(const FormSheet& form, const FormSheet& book) {
    return {alignAxis(form, book, true), alignAxis(form, book, false)};
}

} // namespace engine::form
