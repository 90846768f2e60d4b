// Turning model styles into the writer library's cell formats.
#pragma once

#include "sheet/model.h"

#include <vector>

struct lxw_workbook;
struct lxw_format;

namespace sheet {

// One writer format per model style, made when a style is first used.
class XlsxFormatBuilder {
public:
    XlsxFormatBuilder(lxw_workbook* book, const StyleTable& styles);
    // Never null: the default style gets a format without properties, so that a blank cell
    // can be written with the default look (over a merged range's format, say).
    lxw_format* formatOf(int styleIndex);

private:
    lxw_format* build(const Style& style);

    lxw_workbook* book_;
    const StyleTable& styles_;
    std::vector<lxw_format*> formats_;
};

} // namespace sheet
