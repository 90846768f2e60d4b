#include "sheet/hidden_lines.h"

#include <algorithm>

namespace sheet {

bool isLineHidden(const std::vector<long>& lines, long line) {
    return std::binary_search(lines.begin(), lines.end(), line);
}

void setLinesHidden(std::vector<long>& lines, long first, long last, bool hidden) {
    auto from = std::lower_bound(lines.begin(), lines.end(), first);
    auto to = std::upper_bound(from, lines.end(), last);
    from = lines.erase(from, to);
    if (!hidden || first > last)
        return;
    std::vector<long> added(static_cast<size_t>(last - first + 1));
    for (size_t i = 0; i < added.size(); ++i)
        added[i] = first + static_cast<long>(i);
    lines.insert(from, added.begin(), added.end());
}

} // namespace sheet
