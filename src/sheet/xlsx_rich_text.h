// Strings of an .xlsx package as the model keeps them: the plain text, and the runs when the
// string is written with more than one font.
#pragma once

#include "sheet/model.h"
#include "sheet/xlsx_styles_reader.h"

#include <memory>
#include <pugixml.hpp>
#include <string>
#include <vector>

namespace sheet {

struct StringItem {
    std::string text;
    std::shared_ptr<const RichText> runs; // null for plain text
};

// A shared string (<si>), an inline string (<is>) or a note's <text>: plain <t>, or runs <r>
// with their fonts (<rPr>); phonetic guides are left out.
StringItem readStringItem(pugi::xml_node item, const ColorResolver& colors);

// The shared-strings part, in its order.
struct SharedStrings {
    std::vector<SharedText> texts;
    std::vector<std::shared_ptr<const RichText>> runs; // parallel to texts
};

} // namespace sheet
