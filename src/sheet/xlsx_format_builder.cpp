#include "sheet/xlsx_format_builder.h"

#include <array>
#include <string_view>
#include <xlsxwriter.h>

namespace sheet {

namespace {

template <size_t N>
uint8_t indexOfName(const std::array<std::string_view, N>& names, const std::string& name) {
    for (size_t i = 0; i < N; ++i)
        if (names[i] == name)
            return static_cast<uint8_t>(i);
    return 0;
}

// In the writer's enumeration order.
constexpr std::array<std::string_view, 19> kPatterns{
    "none",           "solid",           "mediumGray",    "darkGray",  "lightGray",
    "darkHorizontal", "darkVertical",    "darkDown",      "darkUp",    "darkGrid",
    "darkTrellis",    "lightHorizontal", "lightVertical", "lightDown", "lightUp",
    "lightGrid",      "lightTrellis",    "gray125",       "gray0625"};

constexpr std::array<std::string_view, 14> kBorderStyles{"",
                                                         "thin",
                                                         "medium",
                                                         "dashed",
                                                         "dotted",
                                                         "thick",
                                                         "double",
                                                         "hair",
                                                         "mediumDashed",
                                                         "dashDot",
                                                         "mediumDashDot",
                                                         "dashDotDot",
                                                         "mediumDashDotDot",
                                                         "slantDashDot"};

constexpr std::array<std::string_view, 8> kHorizontal{
    "", "left", "center", "right", "fill", "justify", "centerContinuous", "distributed"};

// The writer reads 0 as "no colour"; black has a code of its own.
lxw_color_t writerColor(Rgb color) { return color == 0 ? LXW_COLOR_BLACK : color; }

uint8_t verticalAlignment(const std::string& name) {
    if (name == "top")
        return LXW_ALIGN_VERTICAL_TOP;
    if (name == "center")
        return LXW_ALIGN_VERTICAL_CENTER;
    if (name == "justify")
        return LXW_ALIGN_VERTICAL_JUSTIFY;
    if (name == "distributed")
        return LXW_ALIGN_VERTICAL_DISTRIBUTED;
    return LXW_ALIGN_NONE; // bottom, the default
}

uint8_t underlineOf(Underline underline) {
    switch (underline) {
    case Underline::Single:
        return LXW_UNDERLINE_SINGLE;
    case Underline::Double:
        return LXW_UNDERLINE_DOUBLE;
    case Underline::SingleAccounting:
        return LXW_UNDERLINE_SINGLE_ACCOUNTING;
    case Underline::DoubleAccounting:
        return LXW_UNDERLINE_DOUBLE_ACCOUNTING;
    case Underline::None:
        break;
    }
    return LXW_UNDERLINE_NONE;
}

// The file stores 91..180 for text turned downwards; the writer takes -1..-90 for them.
int16_t writerRotation(int rotation) {
    if (rotation == 255)
        return 270;
    if (rotation > 90 && rotation <= 180)
        return static_cast<int16_t>(90 - rotation);
    return static_cast<int16_t>(rotation);
}

void applyFont(lxw_format* format, const Font& font) {
    format_set_font_name(format, font.name.c_str());
    format_set_font_size(format, font.size);
    if (font.bold)
        format_set_bold(format);
    if (font.italic)
        format_set_italic(format);
    if (font.strike)
        format_set_font_strikeout(format);
    if (font.underline != Underline::None)
        format_set_underline(format, underlineOf(font.underline));
    if (font.color)
        format_set_font_color(format, writerColor(*font.color));
}

void applyFill(lxw_format* format, const Fill& fill) {
    const uint8_t pattern = indexOfName(kPatterns, fill.pattern);
    if (pattern == LXW_PATTERN_NONE)
        return;
    format_set_pattern(format, pattern);
    if (pattern == LXW_PATTERN_SOLID) {
        // For solid fills the writer takes the cell colour as "background" and swaps the two.
        if (fill.foreground)
            format_set_bg_color(format, writerColor(*fill.foreground));
        if (fill.background)
            format_set_fg_color(format, writerColor(*fill.background));
        return;
    }
    if (fill.foreground)
        format_set_fg_color(format, writerColor(*fill.foreground));
    if (fill.background)
        format_set_bg_color(format, writerColor(*fill.background));
}

void applyBorder(lxw_format* format, const Border& border) {
    struct Side {
        const BorderSide& side;
        void (*setStyle)(lxw_format*, uint8_t);
        void (*setColor)(lxw_format*, lxw_color_t);
    };
    const Side sides[] = {
        {border.left, format_set_left, format_set_left_color},
        {border.right, format_set_right, format_set_right_color},
        {border.top, format_set_top, format_set_top_color},
        {border.bottom, format_set_bottom, format_set_bottom_color},
    };
    for (const Side& side : sides) {
        const uint8_t style = indexOfName(kBorderStyles, side.side.style);
        if (style == LXW_BORDER_NONE)
            continue;
        side.setStyle(format, style);
        if (side.side.color)
            side.setColor(format, writerColor(*side.side.color));
    }
    const uint8_t diagonal = indexOfName(kBorderStyles, border.diagonal.style);
    if (diagonal == LXW_BORDER_NONE || (!border.diagonalUp && !border.diagonalDown))
        return;
    format_set_diag_border(format, diagonal);
    format_set_diag_type(format, border.diagonalUp && border.diagonalDown
                                     ? LXW_DIAGONAL_BORDER_UP_DOWN
                                 : border.diagonalUp ? LXW_DIAGONAL_BORDER_UP
                                                     : LXW_DIAGONAL_BORDER_DOWN);
    if (border.diagonal.color)
        format_set_diag_color(format, writerColor(*border.diagonal.color));
}

void applyAlignment(lxw_format* format, const Alignment& alignment) {
    if (const uint8_t horizontal = indexOfName(kHorizontal, alignment.horizontal))
        format_set_align(format, horizontal);
    if (const uint8_t vertical = verticalAlignment(alignment.vertical))
        format_set_align(format, vertical);
    if (alignment.wrap)
        format_set_text_wrap(format);
    if (alignment.rotation != 0)
        format_set_rotation(format, writerRotation(alignment.rotation));
    if (alignment.indent > 0)
        format_set_indent(format, static_cast<uint8_t>(std::min(alignment.indent, 250)));
    if (alignment.shrinkToFit)
        format_set_shrink(format);
}

void applyNumberFormat(lxw_format* format, const Style& style) {
    if (!style.numberFormatCode.empty())
        format_set_num_format(format, style.numberFormatCode.c_str());
    else if (style.numberFormatId > 0 && style.numberFormatId < 164)
        format_set_num_format_index(format, static_cast<uint8_t>(style.numberFormatId));
}

} // namespace

XlsxFormatBuilder::XlsxFormatBuilder(lxw_workbook* book, const StyleTable& styles)
    : book_(book), styles_(styles), formats_(static_cast<size_t>(styles.size()), nullptr) {}

lxw_format* XlsxFormatBuilder::formatOf(int styleIndex) {
    if (styleIndex < 0 || styleIndex >= static_cast<int>(formats_.size()))
        styleIndex = 0;
    lxw_format*& format = formats_[static_cast<size_t>(styleIndex)];
    if (!format)
        format = styleIndex == 0 && styles_.at(0) == Style{} ? workbook_add_format(book_)
                                                             : build(styles_.at(styleIndex));
    return format;
}

lxw_format* XlsxFormatBuilder::build(const Style& style) {
    lxw_format* format = workbook_add_format(book_);
    applyFont(format, style.font);
    applyFill(format, style.fill);
    applyBorder(format, style.border);
    applyNumberFormat(format, style);
    applyAlignment(format, style.alignment);
    if (!style.protection.locked)
        format_set_unlocked(format);
    if (style.protection.hidden)
        format_set_hidden(format);
    return format;
}

} // namespace sheet
