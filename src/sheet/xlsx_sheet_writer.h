// A worksheet part produced row by row while the package is compressed.
#pragma once

#include "sheet/model.h"
#include "sheet/xlsx_package_writer.h"
#include "sheet/xlsx_sheet_parts.h"

#include <memory>
#include <string>

namespace sheet {

class SharedStrings;
class StylesPart;

struct SheetPartInput {
    const Worksheet* sheet = nullptr;
    bool selected = false;
    SheetLinks links;
    StylesPart* styles = nullptr;
    SharedStrings* strings = nullptr;  // null: text inline in the cells
    const std::string* path = nullptr; // the file named in errors
    unsigned rowThreads = 0;           // as XlsxWriteOptions::rowThreads
};

std::unique_ptr<PartSource> sheetPartSource(SheetPartInput input);

} // namespace sheet
