#include "sheet/model.h"

#include <algorithm>
#include <stdexcept>

namespace sheet {

namespace {

std::string foldCase(const std::string& text) {
    std::string folded = text;
    std::transform(folded.begin(), folded.end(), folded.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    });
    return folded;
}

} // namespace

StyleTable::StyleTable() : styles_{Style{}} {}

int StyleTable::intern(const Style& style) {
    auto found = std::find(styles_.begin(), styles_.end(), style);
    if (found != styles_.end())
        return static_cast<int>(found - styles_.begin());
    styles_.push_back(style);
    return static_cast<int>(styles_.size()) - 1;
}

const Style& StyleTable::at(int index) const {
    if (index < 0 || index >= size())
        return styles_.front();
    return styles_[static_cast<size_t>(index)];
}

const Cell* Worksheet::cell(long row, long column) const {
    auto r = rows_.find(row);
    if (r == rows_.end())
        return nullptr;
    auto c = r->second.find(column);
    return c == r->second.end() ? nullptr : &c->second;
}

Cell& Worksheet::cellAt(long row, long column) { return rows_[row][column]; }

void Worksheet::erase(long row, long column) {
    auto r = rows_.find(row);
    if (r == rows_.end())
        return;
    r->second.erase(column);
    if (r->second.empty())
        rows_.erase(r);
}

long Worksheet::lastRow() const { return rows_.empty() ? 0 : rows_.rbegin()->first; }

long Worksheet::lastColumn() const {
    long last = 0;
    for (const auto& [row, cells] : rows_)
        if (!cells.empty())
            last = std::max(last, cells.rbegin()->first);
    return last;
}

double Worksheet::columnWidth(long column) const {
    auto found = columnWidths.find(column);
    return found == columnWidths.end() ? defaultColumnWidth : found->second;
}

double Worksheet::rowHeight(long row) const {
    auto found = rowHeights.find(row);
    return found == rowHeights.end() ? defaultRowHeight : found->second;
}

Workbook::Workbook() = default;

Worksheet* Workbook::find(const std::string& name) {
    int index = indexOf(name);
    return index < 0 ? nullptr : sheets[static_cast<size_t>(index)].get();
}

int Workbook::indexOf(const std::string& name) const {
    const std::string wanted = foldCase(name);
    for (size_t i = 0; i < sheets.size(); ++i)
        if (foldCase(sheets[i]->name) == wanted)
            return static_cast<int>(i);
    return -1;
}

} // namespace sheet
