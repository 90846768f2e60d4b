// The pieces of a written worksheet part around its cell data.
#pragma once

#include "sheet/model.h"

#include <string>
#include <utility>
#include <vector>

namespace sheet {

class StylesPart;

// What a sheet part refers to, with the ids its relationships gave them.
struct SheetLinks {
    std::vector<std::string> hyperlinkIds; // one per hyperlink; empty for places in the workbook
    std::string legacyDrawingId;           // the notes' drawing; empty without notes
    std::vector<std::pair<const SheetAttachment*, std::string>> attachments;
};

// "A1" or "A1:C3".
std::string rangeReference(const CellRect& rect);
// Whether the rectangle lies on the sheet, first corner before last.
bool isOnSheet(const CellRect& rect);
// Ranges on the sheet separated by spaces, as sqref attributes hold them; others left out.
std::string rangeList(const std::vector<CellRect>& ranges);

// The used range of the sheet ("A1" for an empty sheet).
std::string dimensionOf(const Worksheet& sheet);

// Everything before <sheetData>: the worksheet element, sheetPr, dimension, sheetViews,
// sheetFormatPr and cols.
void appendSheetHead(std::string& out, const Worksheet& sheet, bool selected,
                     const StylesPart& styles);

// Everything after </sheetData>, in the order the schema gives, and the closing tag.
void appendSheetTail(std::string& out, const Worksheet& sheet, const SheetLinks& links,
                     StylesPart& styles);

// The width a file stores for a width in characters (padding included, whole pixels).
double fileWidthOf(double characters);

} // namespace sheet
