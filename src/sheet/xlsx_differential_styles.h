// The differential formats (<dxfs>) of a styles part, which conditional formats refer to.
#pragma once

#include "sheet/model.h"
#include "sheet/xlsx_styles_reader.h"

#include <pugixml.hpp>
#include <vector>

namespace sheet {

// One entry per <dxf>, in the part's order; only what each sets is set.
std::vector<DifferentialStyle> readDifferentialStyles(pugi::xml_node stylesRoot,
                                                      const ColorResolver& colors);

} // namespace sheet
