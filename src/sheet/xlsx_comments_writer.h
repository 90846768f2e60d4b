// The notes of a sheet: the comments part and the drawing that shows their boxes.
#pragma once

#include "sheet/model.h"

#include <string>

namespace sheet {

std::string commentsPartXml(const std::vector<Comment>& comments);

// Shape ids come in blocks of 1024; a drawing takes commentDrawingBlocks() blocks from
// `firstBlock` on (1 or more), which no other drawing of the workbook may use.
long commentDrawingBlocks(const std::vector<Comment>& comments);
std::string commentsDrawingXml(const std::vector<Comment>& comments, long firstBlock);

// Notes on cells inside the sheet, the last one kept where two share a cell.
std::vector<Comment> writableComments(const std::vector<Comment>& comments);

} // namespace sheet
