#include "sheet/xls_styles.h"

#include "sheet/number_formats.h"

#include <array>

namespace sheet::xls {

namespace {

constexpr std::size_t kMaxFonts = 4096;
constexpr std::size_t kMaxXfs = 65536;
constexpr int kDefaultCellXf = 15;

std::string_view horizontalName(unsigned code) {
    static constexpr std::array<std::string_view, 8> kNames{
        "", "left", "center", "right", "fill", "justify", "centerContinuous", "distributed"};
    return code < kNames.size() ? kNames[code] : "";
}

std::string_view verticalName(unsigned code) {
    static constexpr std::array<std::string_view, 5> kNames{"top", "center", "", "justify",
                                                            "distributed"};
    return code < kNames.size() ? kNames[code] : "";
}

std::string_view borderName(unsigned code) {
    static constexpr std::array<std::string_view, 14> kNames{"",
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
    return code < kNames.size() ? kNames[code] : "thin";
}

std::string_view patternName(unsigned code) {
    static constexpr std::array<std::string_view, 19> kNames{
        "none",           "solid",           "mediumGray",    "darkGray",  "lightGray",
        "darkHorizontal", "darkVertical",    "darkDown",      "darkUp",    "darkGrid",
        "darkTrellis",    "lightHorizontal", "lightVertical", "lightDown", "lightUp",
        "lightGrid",      "lightTrellis",    "gray125",       "gray0625"};
    return code < kNames.size() ? kNames[code] : "solid";
}

Underline underlineOf(unsigned code) {
    switch (code) {
    case 0x01:
        return Underline::Single;
    case 0x02:
        return Underline::Double;
    case 0x21:
        return Underline::SingleAccounting;
    case 0x22:
        return Underline::DoubleAccounting;
    default:
        return Underline::None;
    }
}

int rotationOf(unsigned code) {
    return code <= 180 || code == 255 ? static_cast<int>(code) : 0;
}

// BIFF5 keeps the text direction in two bits: none, stacked, 90 degrees up, 90 degrees down.
int rotationOfOrientation(unsigned code) {
    static constexpr std::array<int, 4> kRotation{0, 255, 90, 180};
    return kRotation[code & 3];
}

} // namespace

std::optional<Rgb> StyleBuilder::color(unsigned index) const {
    if (index >= palette_.size())
        return std::nullopt;
    return palette_[index];
}

void StyleBuilder::readFont(Cursor& in) {
    if (fonts_.size() >= kMaxFonts)
        return;
    RawFont raw;
    Font& font = raw.font;
    font.size = in.u16() / 20.0;
    const std::uint16_t flags = in.u16();
    font.italic = flags & 0x0002;
    font.strike = flags & 0x0008;
    raw.colorIndex = in.u16();
    font.bold = in.u16() >= 700;
    in.skip(2); // super- and subscript
    font.underline = underlineOf(in.u8());
    in.skip(3); // family, character set, reserved
    font.name = in.text8();
    fonts_.push_back(std::move(raw));
}

std::optional<Font> StyleBuilder::font(int index) const {
    // The fourth font is never stored: indexes above it are one higher than their position.
    const int position = index > 4 ? index - 1 : index;
    if (index == 4 || position < 0 || position >= static_cast<int>(fonts_.size()))
        return std::nullopt;
    const RawFont& raw = fonts_[static_cast<std::size_t>(position)];
    Font font = raw.font;
    font.color = color(raw.colorIndex);
    return font;
}

void StyleBuilder::readFormat(Cursor& in) {
    const int id = in.u16();
    // BIFF5 counts the code's characters in one byte, BIFF8 in two.
    formats_[id] = in.biff() == Biff::V8 ? in.text16() : in.text8();
}

void StyleBuilder::readPalette(Cursor& in) {
    const unsigned count = in.u16();
    for (unsigned i = 0; i < count && 8 + i < palette_.size(); ++i) {
        const unsigned red = in.u8();
        const unsigned green = in.u8();
        const unsigned blue = in.u8();
        in.skip(1);
        palette_[8 + i] = red << 16 | green << 8 | blue;
    }
}

void StyleBuilder::readXf(Cursor& in) {
    if (xfs_.size() >= kMaxXfs)
        return;
    Xf xf;
    xf.font = in.u16();
    xf.format = in.u16();
    const std::uint16_t kind = in.u16();
    xf.protection.locked = kind & 0x0001;
    xf.protection.hidden = kind & 0x0002;
    const std::uint8_t align = in.u8();
    xf.alignment.horizontal = horizontalName(align & 0x07);
    xf.alignment.wrap = align & 0x08;
    xf.alignment.vertical = verticalName(align >> 4 & 0x07);
    if (in.biff() == Biff::V8)
        readXf8(in, xf);
    else
        readXf5(in, xf);
    xfs_.push_back(std::move(xf));
}

void StyleBuilder::readXf8(Cursor& in, Xf& xf) const {
    xf.alignment.rotation = rotationOf(in.u8());
    const std::uint8_t indent = in.u8();
    xf.alignment.indent = indent & 0x0F;
    xf.alignment.shrinkToFit = indent & 0x10;
    in.skip(1); // which attributes differ from the parent style
    const std::uint32_t border1 = in.u32();
    const std::uint32_t border2 = in.u32();
    const std::uint16_t colours = in.u16();
    Border& border = xf.border;
    border.left.style = borderName(border1 & 0x0F);
    border.right.style = borderName(border1 >> 4 & 0x0F);
    border.top.style = borderName(border1 >> 8 & 0x0F);
    border.bottom.style = borderName(border1 >> 12 & 0x0F);
    border.diagonalDown = border1 >> 30 & 1;
    border.diagonalUp = border1 >> 31 & 1;
    if (border.diagonalDown || border.diagonalUp)
        border.diagonal.style = borderName(border2 >> 21 & 0x0F);
    xf.fill.pattern = patternName(border2 >> 26 & 0x3F);
    xf.colours = {border1 >> 16 & 0x7F, border1 >> 23 & 0x7F, border2 & 0x7F,
                  border2 >> 7 & 0x7F,  border2 >> 14 & 0x7F, colours & 0x7Fu,
                  colours >> 7 & 0x7Fu};
}

void StyleBuilder::readXf5(Cursor& in, Xf& xf) const {
    const std::uint8_t orientation = in.u8();
    xf.alignment.rotation = rotationOfOrientation(orientation);
    const std::uint32_t area = in.u32();
    const std::uint32_t lines = in.u32();
    xf.fill.pattern = patternName(area >> 16 & 0x3F);
    xf.border.bottom.style = borderName(area >> 22 & 0x07);
    xf.border.top.style = borderName(lines & 0x07);
    xf.border.left.style = borderName(lines >> 3 & 0x07);
    xf.border.right.style = borderName(lines >> 6 & 0x07);
    xf.colours = {
        lines >> 16 & 0x7F, lines >> 23 & 0x7F, lines >> 9 & 0x7F, area >> 25 & 0x7F, 0x40,
        area & 0x7F,        area >> 7 & 0x7F};
}

void StyleBuilder::applyColours(const Xf& xf, Style& style) const {
    BorderSide* sides[] = {&style.border.left, &style.border.right, &style.border.top,
                           &style.border.bottom, &style.border.diagonal};
    for (std::size_t i = 0; i < std::size(sides); ++i)
        if (!sides[i]->style.empty())
            sides[i]->color = color(xf.colours[i]);
    if (style.fill.pattern == "none")
        return;
    style.fill.foreground = color(xf.colours[5]);
    style.fill.background = color(xf.colours[6]);
}

void StyleBuilder::applyNumberFormat(Style& style, int formatId) const {
    const auto custom = formats_.find(formatId);
    if (custom != formats_.end() && custom->second == "General") {
        style.numberFormatId = 0;
        return;
    }
    if (custom == formats_.end()) {
        style.numberFormatId = formatId < kFirstCustomNumberFormat ? formatId : 0;
        return;
    }
    if (formatId < kFirstCustomNumberFormat &&
        (builtinNumberFormatCode(formatId) == custom->second || custom->second.empty())) {
        style.numberFormatId = formatId;
        return;
    }
    // A code under a built-in id (the locale's currency and date formats) shows as the code says.
    style.numberFormatId =
        formatId >= kFirstCustomNumberFormat ? formatId : kFirstCustomNumberFormat;
    style.numberFormatCode = custom->second;
}

void StyleBuilder::build(StyleTable& styles) {
    styleOfXf_.clear();
    styleOfXf_.reserve(xfs_.size());
    const Font fallbackFont = font(0).value_or(Font{});
    for (const Xf& xf : xfs_) {
        Style style;
        style.font = font(xf.font).value_or(fallbackFont);
        applyNumberFormat(style, xf.format);
        style.alignment = xf.alignment;
        style.protection = xf.protection;
        style.border = xf.border;
        style.fill = xf.fill;
        applyColours(xf, style);
        styleOfXf_.push_back(styles.intern(style));
    }
}

int StyleBuilder::styleOf(int xfIndex) const {
    if (xfIndex >= 0 && xfIndex < static_cast<int>(styleOfXf_.size()))
        return styleOfXf_[static_cast<std::size_t>(xfIndex)];
    if (kDefaultCellXf < static_cast<int>(styleOfXf_.size()))
        return styleOfXf_[kDefaultCellXf];
    return styleOfXf_.empty() ? 0 : styleOfXf_.front();
}

} // namespace sheet::xls
