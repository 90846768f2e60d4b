#include "sheet/sheet_copy.h"

#include "sheet/sheet_names.h"

#include <unordered_map>

namespace sheet::embedded {

namespace {

class StyleMapper {
public:
    StyleMapper(const StyleTable& from, StyleTable& to) : from_(from), to_(to) {}
    int map(int style) {
        auto found = cache_.find(style);
        if (found != cache_.end())
            return found->second;
        int mapped = to_.intern(from_.at(style));
        cache_.emplace(style, mapped);
        return mapped;
    }

private:
    const StyleTable& from_;
    StyleTable& to_;
    std::unordered_map<int, int> cache_;
};

} // namespace

std::unique_ptr<Worksheet> copyWorksheet(const Workbook& from, const Worksheet& sheet,
                                         Workbook& to) {
    auto copy = std::make_unique<Worksheet>(sheet);
    copy->name = copyNameFor(to, sheet.name);
    if (&from == &to)
        return copy;
    StyleMapper styles(from.styles, to.styles);
    for (auto& [row, cells] : copy->rows())
        for (auto& [column, cell] : cells)
            cell.style = styles.map(cell.style);
    for (auto& [column, style] : copy->columnStyles)
        style = styles.map(style);
    for (auto& [row, style] : copy->rowStyles)
        style = styles.map(style);
    return copy;
}

} // namespace sheet::embedded
