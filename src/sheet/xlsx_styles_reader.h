// Reading the style and theme parts of an .xlsx file into the workbook's style table.
#pragma once

#include "sheet/colors.h"
#include "sheet/model.h"

#include <pugixml.hpp>
#include <vector>

namespace sheet {

// Resolves <color rgb|theme|indexed tint auto> elements to RGB.
class ColorResolver {
public:
    ColorResolver();
    void setTheme(const ThemeColors& theme) { theme_ = theme; }
    void setPalette(const Palette& palette) { palette_ = palette; }
    // nullopt for "automatic", absent or unreadable colours.
    std::optional<Rgb> resolve(pugi::xml_node color) const;

private:
    ThemeColors theme_;
    Palette palette_;
};

// The colours of a theme part (xl/theme/theme1.xml); defaults where a colour is missing.
ThemeColors readThemeColors(pugi::xml_node themeRoot);

// Interns one model style per cell format (cellXfs) of a styles part and returns the model
// style index of each, in the part's order. Custom palettes in the part replace `colors`'.
std::vector<int> readCellStyles(pugi::xml_node stylesRoot, ColorResolver& colors,
                                StyleTable& styles);

// One <font> (or a rich-text run's <rPr>), <fill> or <border> element.
Font readFontElement(pugi::xml_node node, const ColorResolver& colors);
Fill readFillElement(pugi::xml_node node, const ColorResolver& colors);
Border readBorderElement(pugi::xml_node node, const ColorResolver& colors);

} // namespace sheet
