// What a copied block carries besides cells, formats, merges and sizes: notes, hyperlinks, data
// validation and conditional formats of its cells, with their ranges cut to the block.
#pragma once

#include "sheet/model.h"

#include <vector>

namespace sheet::embedded {

// Positions and ranges relative to the block, its top-left cell being (1, 1). The formulas of
// validations and conditional formats are relative to the top-left cell of their first range,
// as in the sheet the block came from, whose top-left cell was (sourceRow, sourceColumn).
struct BlockFeatures {
    long sourceRow = 1, sourceColumn = 1;
    std::vector<Comment> comments;
    std::vector<Hyperlink> hyperlinks;
    std::vector<DataValidation> dataValidations;
    std::vector<ConditionalFormat> conditionalFormats;
};

BlockFeatures copyFeatures(const Worksheet& sheet, const CellRect& rect);

// Replaces the features of the cells under the block, whose top-left cell lands at
// (row, column): what the sheet had there is cut away, the block's are added, moved.
void pasteFeatures(const BlockFeatures& features, const CellRect& target, Worksheet& sheet);

} // namespace sheet::embedded
