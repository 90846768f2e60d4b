#include "sheet/colors.h"

#include <algorithm>
#include <cmath>

namespace sheet {

namespace {

struct Hls {
    double hue = 0, lightness = 0, saturation = 0; // each 0..1
};

Hls toHls(Rgb color) {
    const double r = ((color >> 16) & 0xFF) / 255.0;
    const double g = ((color >> 8) & 0xFF) / 255.0;
    const double b = (color & 0xFF) / 255.0;
    const double high = std::max({r, g, b});
    const double low = std::min({r, g, b});
    Hls hls;
    hls.lightness = (high + low) / 2;
    if (high == low)
        return hls;
    const double delta = high - low;
    hls.saturation = hls.lightness <= 0.5 ? delta / (high + low) : delta / (2 - high - low);
    double hue = 0;
    if (high == r)
        hue = (g - b) / delta;
    else if (high == g)
        hue = 2 + (b - r) / delta;
    else
        hue = 4 + (r - g) / delta;
    hue /= 6;
    hls.hue = hue < 0 ? hue + 1 : hue;
    return hls;
}

double hueToChannel(double m1, double m2, double hue) {
    if (hue < 0)
        hue += 1;
    if (hue > 1)
        hue -= 1;
    if (hue < 1.0 / 6)
        return m1 + (m2 - m1) * hue * 6;
    if (hue < 0.5)
        return m2;
    if (hue < 2.0 / 3)
        return m1 + (m2 - m1) * (2.0 / 3 - hue) * 6;
    return m1;
}

Rgb toRgb(const Hls& hls) {
    auto channel = [](double value) {
        return static_cast<Rgb>(std::clamp(std::lround(value * 255), 0L, 255L));
    };
    if (hls.saturation == 0) {
        const Rgb grey = channel(hls.lightness);
        return grey << 16 | grey << 8 | grey;
    }
    const double m2 = hls.lightness <= 0.5
                          ? hls.lightness * (1 + hls.saturation)
                          : hls.lightness + hls.saturation - hls.lightness * hls.saturation;
    const double m1 = 2 * hls.lightness - m2;
    return channel(hueToChannel(m1, m2, hls.hue + 1.0 / 3)) << 16 |
           channel(hueToChannel(m1, m2, hls.hue)) << 8 |
           channel(hueToChannel(m1, m2, hls.hue - 1.0 / 3));
}

} // namespace

const Palette& standardPalette() {
    static const Palette palette{
        0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
        0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
        0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
        0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
        0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
        0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
        0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
        0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333,
    };
    return palette;
}

std::optional<Rgb> standardIndexedColor(int index) {
    if (index < 0 || index >= static_cast<int>(standardPalette().size()))
        return std::nullopt;
    return standardPalette()[static_cast<size_t>(index)];
}

const ThemeColors& defaultThemeColors() {
    static const ThemeColors colors{0xFFFFFF, 0x000000, 0xE7E6E6, 0x44546A, 0x4472C4, 0xED7D31,
                                    0xA5A5A5, 0xFFC000, 0x5B9BD5, 0x70AD47, 0x0563C1, 0x954F72};
    return colors;
}

Rgb applyTint(Rgb color, double tint) {
    if (tint == 0 || !std::isfinite(tint))
        return color;
    tint = std::clamp(tint, -1.0, 1.0);
    Hls hls = toHls(color);
    if (tint < 0)
        hls.lightness = hls.lightness * (1 + tint);
    else
        hls.lightness = hls.lightness * (1 - tint) + tint;
    return toRgb(hls);
}

} // namespace sheet
