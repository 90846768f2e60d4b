// Notes of a worksheet, from its comments part.
#pragma once

#include "sheet/model.h"
#include "sheet/xlsx_styles_reader.h"

#include <pugixml.hpp>
#include <vector>

namespace sheet {

// The notes of a <comments> part in its order; notes on unreadable cells are left out.
std::vector<Comment> readComments(pugi::xml_node commentsRoot, const ColorResolver& colors);

} // namespace sheet
