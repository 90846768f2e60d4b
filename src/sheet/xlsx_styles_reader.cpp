#include "sheet/xlsx_styles_reader.h"

#include "sheet/number_formats.h"
#include "sheet/xml_part.h"

#include <map>

namespace sheet {

namespace {

std::optional<Rgb> parseHexColor(std::string_view text) {
    if (text.size() != 6 && text.size() != 8)
        return std::nullopt;
    Rgb value = 0;
    for (char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return std::nullopt;
        value = value << 4 | static_cast<Rgb>(digit);
    }
    return value & 0xFFFFFF; // the alpha byte of ARGB is not kept
}

Underline underlineOf(pugi::xml_node node) {
    if (!node)
        return Underline::None;
    const std::string_view value = attributeText(node, "val");
    if (value.empty() || value == "single")
        return Underline::Single;
    if (value == "double")
        return Underline::Double;
    if (value == "singleAccounting")
        return Underline::SingleAccounting;
    if (value == "doubleAccounting")
        return Underline::DoubleAccounting;
    return Underline::None;
}

// <b/>, <b val="1"/> and <b val="0"/>.
bool flagElement(pugi::xml_node parent, std::string_view name) {
    pugi::xml_node node = childNamed(parent, name);
    return node && attributeFlag(node, "val", true);
}

Font readFont(pugi::xml_node node, const ColorResolver& colors) {
    Font font;
    if (auto name = childNamed(node, "name"))
        font.name = attributeText(name, "val");
    if (auto size = attributeNumber(childNamed(node, "sz"), "val"); size && *size > 0)
        font.size = *size;
    font.bold = flagElement(node, "b");
    font.italic = flagElement(node, "i");
    font.strike = flagElement(node, "strike");
    font.underline = underlineOf(childNamed(node, "u"));
    font.color = colors.resolve(childNamed(node, "color"));
    return font;
}

Fill readFill(pugi::xml_node node, const ColorResolver& colors) {
    Fill fill;
    if (auto pattern = childNamed(node, "patternFill")) {
        const std::string_view type = attributeText(pattern, "patternType");
        fill.pattern = type.empty() ? "none" : std::string(type);
        fill.foreground = colors.resolve(childNamed(pattern, "fgColor"));
        fill.background = colors.resolve(childNamed(pattern, "bgColor"));
        // A pattern given only by its colour is solid.
        if (type.empty() && fill.foreground)
            fill.pattern = "solid";
        return fill;
    }
    // Gradients have no counterpart in the model; their first colour keeps the cell's look.
    if (auto gradient = childNamed(node, "gradientFill")) {
        if (auto stop = childNamed(gradient, "stop")) {
            fill.pattern = "solid";
            fill.foreground = colors.resolve(childNamed(stop, "color"));
        }
    }
    return fill;
}

BorderSide readBorderSide(pugi::xml_node node, const ColorResolver& colors) {
    BorderSide side;
    if (!node)
        return side;
    const std::string_view style = attributeText(node, "style");
    if (style.empty() || style == "none")
        return side;
    side.style = style;
    side.color = colors.resolve(childNamed(node, "color"));
    return side;
}

Border readBorder(pugi::xml_node node, const ColorResolver& colors) {
    Border border;
    pugi::xml_node left = childNamed(node, "left");
    pugi::xml_node right = childNamed(node, "right");
    border.left = readBorderSide(left ? left : childNamed(node, "start"), colors);
    border.right = readBorderSide(right ? right : childNamed(node, "end"), colors);
    border.top = readBorderSide(childNamed(node, "top"), colors);
    border.bottom = readBorderSide(childNamed(node, "bottom"), colors);
    border.diagonal = readBorderSide(childNamed(node, "diagonal"), colors);
    border.diagonalUp = attributeFlag(node, "diagonalUp", false);
    border.diagonalDown = attributeFlag(node, "diagonalDown", false);
    return border;
}

Alignment readAlignment(pugi::xml_node node) {
    Alignment alignment;
    if (!node)
        return alignment;
    const std::string_view horizontal = attributeText(node, "horizontal");
    if (horizontal != "general")
        alignment.horizontal = horizontal;
    const std::string_view vertical = attributeText(node, "vertical");
    if (vertical != "bottom")
        alignment.vertical = vertical;
    alignment.wrap = attributeFlag(node, "wrapText", false);
    alignment.shrinkToFit = attributeFlag(node, "shrinkToFit", false);
    const long rotation = attributeInteger(node, "textRotation").value_or(0);
    alignment.rotation =
        (rotation >= 0 && rotation <= 180) || rotation == 255 ? static_cast<int>(rotation) : 0;
    const long indent = attributeInteger(node, "indent").value_or(0);
    alignment.indent = indent >= 0 && indent <= 250 ? static_cast<int>(indent) : 0;
    return alignment;
}

CellProtection readProtection(pugi::xml_node node) {
    CellProtection protection;
    if (!node)
        return protection;
    protection.locked = attributeFlag(node, "locked", true);
    protection.hidden = attributeFlag(node, "hidden", false);
    return protection;
}

template <typename T, typename Read>
std::vector<T> readList(pugi::xml_node parent, std::string_view itemName, Read read) {
    std::vector<T> items;
    for (pugi::xml_node node = parent.first_child(); node; node = node.next_sibling())
        if (isNamed(node, itemName))
            items.push_back(read(node));
    return items;
}

template <typename T>
const T& itemAt(const std::vector<T>& items, std::optional<long> index, const T& fallback) {
    if (!index || *index < 0 || *index >= static_cast<long>(items.size()))
        return fallback;
    return items[static_cast<size_t>(*index)];
}

void readCustomPalette(pugi::xml_node stylesRoot, ColorResolver& colors) {
    pugi::xml_node indexed = childNamed(childNamed(stylesRoot, "colors"), "indexedColors");
    if (!indexed)
        return;
    Palette palette = standardPalette();
    size_t index = 0;
    for (pugi::xml_node node = indexed.first_child(); node && index < palette.size();
         node = node.next_sibling()) {
        if (!isNamed(node, "rgbColor"))
            continue;
        if (auto rgb = parseHexColor(attributeText(node, "rgb")))
            palette[index] = *rgb;
        ++index;
    }
    colors.setPalette(palette);
}

void applyNumberFormat(Style& style, std::optional<long> id,
                       const std::map<long, std::string>& customCodes) {
    const long formatId = id.value_or(0);
    if (auto custom = customCodes.find(formatId); custom != customCodes.end()) {
        // A custom code under a built-in id still shows as the code says.
        style.numberFormatId = formatId >= kFirstCustomNumberFormat ? static_cast<int>(formatId)
                                                                    : kFirstCustomNumberFormat;
        style.numberFormatCode = custom->second;
        if (formatId < kFirstCustomNumberFormat &&
            builtinNumberFormatCode(static_cast<int>(formatId)) == custom->second) {
            style.numberFormatId = static_cast<int>(formatId);
            style.numberFormatCode.clear();
        }
        return;
    }
    if (formatId > 0 && formatId < kFirstCustomNumberFormat)
        style.numberFormatId = static_cast<int>(formatId);
}

} // namespace

ColorResolver::ColorResolver() : theme_(defaultThemeColors()), palette_(standardPalette()) {}

std::optional<Rgb> ColorResolver::resolve(pugi::xml_node color) const {
    if (!color || attributeFlag(color, "auto", false))
        return std::nullopt;
    std::optional<Rgb> rgb;
    if (auto text = attributeText(color, "rgb"); !text.empty()) {
        rgb = parseHexColor(text);
    } else if (auto theme = attributeInteger(color, "theme")) {
        if (*theme >= 0 && *theme < static_cast<long>(theme_.size()))
            rgb = theme_[static_cast<size_t>(*theme)];
    } else if (auto indexed = attributeInteger(color, "indexed")) {
        if (*indexed >= 0 && *indexed < static_cast<long>(palette_.size()))
            rgb = palette_[static_cast<size_t>(*indexed)];
    }
    if (!rgb)
        return std::nullopt;
    if (auto tint = attributeNumber(color, "tint"))
        return applyTint(*rgb, *tint);
    return rgb;
}

ThemeColors readThemeColors(pugi::xml_node themeRoot) {
    ThemeColors colors = defaultThemeColors();
    pugi::xml_node scheme = childNamed(childNamed(themeRoot, "themeElements"), "clrScheme");
    // The scheme lists dk1 lt1 dk2 lt2; style parts number them lt1 dk1 lt2 dk2.
    constexpr std::array<std::string_view, 12> kSlots{"lt1",     "dk1",     "lt2",     "dk2",
                                                      "accent1", "accent2", "accent3", "accent4",
                                                      "accent5", "accent6", "hlink",   "folHlink"};
    for (size_t i = 0; i < kSlots.size(); ++i) {
        pugi::xml_node slot = childNamed(scheme, kSlots[i]);
        if (auto srgb = childNamed(slot, "srgbClr")) {
            if (auto rgb = parseHexColor(attributeText(srgb, "val")))
                colors[i] = *rgb;
        } else if (auto system = childNamed(slot, "sysClr")) {
            if (auto rgb = parseHexColor(attributeText(system, "lastClr")))
                colors[i] = *rgb;
        }
    }
    return colors;
}

std::vector<int> readCellStyles(pugi::xml_node stylesRoot, ColorResolver& colors,
                                StyleTable& styles) {
    readCustomPalette(stylesRoot, colors);

    std::map<long, std::string> customCodes;
    for (pugi::xml_node node = childNamed(stylesRoot, "numFmts").first_child(); node;
         node = node.next_sibling())
        if (isNamed(node, "numFmt"))
            if (auto id = attributeInteger(node, "numFmtId"))
                customCodes[*id] = attributeText(node, "formatCode");

    const auto fonts = readList<Font>(childNamed(stylesRoot, "fonts"), "font",
                                      [&](pugi::xml_node n) { return readFont(n, colors); });
    const auto fills = readList<Fill>(childNamed(stylesRoot, "fills"), "fill",
                                      [&](pugi::xml_node n) { return readFill(n, colors); });
    const auto borders = readList<Border>(childNamed(stylesRoot, "borders"), "border",
                                          [&](pugi::xml_node n) { return readBorder(n, colors); });
    const Font defaultFont = fonts.empty() ? Font{} : fonts.front();

    std::vector<int> styleOfFormat;
    for (pugi::xml_node xf = childNamed(stylesRoot, "cellXfs").first_child(); xf;
         xf = xf.next_sibling()) {
        if (!isNamed(xf, "xf"))
            continue;
        Style style;
        style.font = itemAt(fonts, attributeInteger(xf, "fontId"), defaultFont);
        style.fill = itemAt(fills, attributeInteger(xf, "fillId"), Fill{});
        style.border = itemAt(borders, attributeInteger(xf, "borderId"), Border{});
        applyNumberFormat(style, attributeInteger(xf, "numFmtId"), customCodes);
        style.alignment = readAlignment(childNamed(xf, "alignment"));
        style.protection = readProtection(childNamed(xf, "protection"));
        styleOfFormat.push_back(styles.intern(style));
    }
    if (styleOfFormat.empty()) {
        Style style;
        style.font = defaultFont;
        styleOfFormat.push_back(styles.intern(style));
    }
    return styleOfFormat;
}

} // namespace sheet

namespace sheet {

Font readFontElement(pugi::xml_node node, const ColorResolver& colors) {
    Font font = readFont(node, colors);
    if (auto name = childNamed(node, "rFont"))
        font.name = attributeText(name, "val");
    return font;
}

Fill readFillElement(pugi::xml_node node, const ColorResolver& colors) {
    return readFill(node, colors);
}

Border readBorderElement(pugi::xml_node node, const ColorResolver& colors) {
    return readBorder(node, colors);
}

} // namespace sheet
