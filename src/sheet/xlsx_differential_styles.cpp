#include "sheet/xlsx_differential_styles.h"

#include "sheet/xml_part.h"

namespace sheet {

namespace {

std::optional<bool> flagOf(pugi::xml_node font, std::string_view name) {
    pugi::xml_node node = childNamed(font, name);
    if (!node)
        return std::nullopt;
    return attributeFlag(node, "val", true);
}

void readFontPart(pugi::xml_node font, const ColorResolver& colors, DifferentialStyle& style) {
    if (!font)
        return;
    style.bold = flagOf(font, "b");
    style.italic = flagOf(font, "i");
    style.strike = flagOf(font, "strike");
    if (childNamed(font, "u"))
        style.underline = readFontElement(font, colors).underline;
    style.fontColor = colors.resolve(childNamed(font, "color"));
}

// A differential fill without a pattern type fills with its colour, as a solid one does.
Fill readFillPart(pugi::xml_node fillNode, const ColorResolver& colors) {
    Fill fill = readFillElement(fillNode, colors);
    pugi::xml_node pattern = childNamed(fillNode, "patternFill");
    if (pattern && attributeText(pattern, "patternType").empty() &&
        (fill.foreground || fill.background))
        fill.pattern = "solid";
    return fill;
}

DifferentialStyle readOne(pugi::xml_node dxf, const ColorResolver& colors) {
    DifferentialStyle style;
    readFontPart(childNamed(dxf, "font"), colors, style);
    if (pugi::xml_node fill = childNamed(dxf, "fill"))
        style.fill = readFillPart(fill, colors);
    if (pugi::xml_node border = childNamed(dxf, "border"))
        style.border = readBorderElement(border, colors);
    if (pugi::xml_node format = childNamed(dxf, "numFmt")) {
        if (auto id = attributeInteger(format, "numFmtId"); id && *id >= 0 && *id < 100000)
            style.numberFormatId = static_cast<int>(*id);
        style.numberFormatCode = attributeText(format, "formatCode");
    }
    return style;
}

} // namespace

std::vector<DifferentialStyle> readDifferentialStyles(pugi::xml_node stylesRoot,
                                                      const ColorResolver& colors) {
    std::vector<DifferentialStyle> styles;
    for (pugi::xml_node node = childNamed(stylesRoot, "dxfs").first_child(); node;
         node = node.next_sibling())
        if (isNamed(node, "dxf"))
            styles.push_back(readOne(node, colors));
    return styles;
}

} // namespace sheet
