#include "sheet/xlsx_rich_text.h"

#include "sheet/xml_part.h"

namespace sheet {

namespace {

TextRun readRun(pugi::xml_node run, const ColorResolver& colors) {
    TextRun text;
    text.text = decodeEscapes(childNamed(run, "t").child_value());
    if (pugi::xml_node properties = childNamed(run, "rPr"))
        text.font = readFontElement(properties, colors);
    return text;
}

// One run without a font of its own is plain text.
bool isPlain(const RichText& runs) {
    return runs.empty() || (runs.size() == 1 && !runs.front().font);
}

} // namespace

StringItem readStringItem(pugi::xml_node item, const ColorResolver& colors) {
    StringItem result;
    RichText runs;
    for (pugi::xml_node node = item.first_child(); node; node = node.next_sibling()) {
        const std::string_view name = localName(node);
        if (name == "t") {
            result.text += decodeEscapes(node.child_value());
        } else if (name == "r") {
            runs.push_back(readRun(node, colors));
            result.text += runs.back().text;
        }
    }
    if (!isPlain(runs))
        result.runs = std::make_shared<const RichText>(std::move(runs));
    return result;
}

} // namespace sheet
