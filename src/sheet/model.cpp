#include "sheet/model.h"

#include "sheet/hidden_lines.h"

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

StyleTable::StyleTable() : styles_{Style{}} {
    index_.emplace(hashOf(styles_.front()), 0);
}

std::size_t StyleTable::hashOf(const Style& style) {
    std::size_t hash = 1469598103934665603ull;
    auto mix = [&hash](std::size_t value) { hash = (hash ^ value) * 1099511628211ull; };
    const std::hash<std::string> text;
    const std::hash<double> number;
    mix(text(style.font.name));
    mix(number(style.font.size));
    mix(style.font.bold | style.font.italic << 1 | style.font.strike << 2);
    mix(style.font.color.value_or(0x1000000));
    mix(text(style.fill.pattern));
    mix(style.fill.foreground.value_or(0x1000000));
    mix(style.fill.background.value_or(0x1000000));
    for (const BorderSide* side : {&style.border.left, &style.border.right, &style.border.top,
                                   &style.border.bottom, &style.border.diagonal}) {
        mix(text(side->style));
        mix(side->color.value_or(0x1000000));
    }
    mix(static_cast<std::size_t>(style.numberFormatId));
    mix(text(style.numberFormatCode));
    mix(text(style.alignment.horizontal));
    mix(text(style.alignment.vertical));
    mix(static_cast<std::size_t>(style.alignment.rotation * 64 + style.alignment.indent));
    mix(style.alignment.wrap | style.alignment.shrinkToFit << 1);
    return hash;
}

int StyleTable::intern(const Style& style) {
    const std::size_t hash = hashOf(style);
    auto [first, last] = index_.equal_range(hash);
    for (auto it = first; it != last; ++it)
        if (styles_[static_cast<size_t>(it->second)] == style)
            return it->second;
    styles_.push_back(style);
    const int index = static_cast<int>(styles_.size()) - 1;
    index_.emplace(hash, index);
    return index;
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

Cell& Worksheet::cellAt(long row, long column) {
    return rows_[row][column];
}

void Worksheet::erase(long row, long column) {
    auto r = rows_.find(row);
    if (r == rows_.end())
        return;
    r->second.erase(column);
    if (r->second.empty())
        rows_.erase(r);
}

long Worksheet::lastRow() const {
    return rows_.empty() ? 0 : rows_.rbegin()->first;
}

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

bool Worksheet::isRowHidden(long row) const {
    return isLineHidden(hiddenRows, row);
}

bool Worksheet::isColumnHidden(long column) const {
    return isLineHidden(hiddenColumns, column);
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
