#include "sheet/colors.h"

#include <algorithm>
#include <cmath>

namespace sheet {

namespace {

// The system's integer HLS model (hue, lightness and saturation in 0..240), which the
// spreadsheet application uses for tints; doubles give results one step off.
constexpr int kHlsMax = 240;
constexpr int kRgbMax = 255;

struct Hls {
    int hue = 0, lightness = 0, saturation = 0;
};

Hls toHls(int r, int g, int b) {
    const int high = std::max({r, g, b});
    const int low = std::min({r, g, b});
    Hls hls;
    hls.lightness = ((high + low) * kHlsMax + kRgbMax) / (2 * kRgbMax);
    if (high == low)
        return hls;
    const int sum = high + low;
    const int delta = high - low;
    hls.saturation = hls.lightness <= kHlsMax / 2
                         ? (delta * kHlsMax + sum / 2) / sum
                         : (delta * kHlsMax + (2 * kRgbMax - sum) / 2) / (2 * kRgbMax - sum);
    auto part = [&](int channel) { return ((high - channel) * (kHlsMax / 6) + delta / 2) / delta; };
    int hue = 0;
    if (r == high)
        hue = part(b) - part(g);
    else if (g == high)
        hue = kHlsMax / 3 + part(r) - part(b);
    else
        hue = 2 * kHlsMax / 3 + part(g) - part(r);
    if (hue < 0)
        hue += kHlsMax;
    if (hue > kHlsMax)
        hue -= kHlsMax;
    hls.hue = hue;
    return hls;
}

int hueToChannel(int m1, int m2, int hue) {
    if (hue < 0)
        hue += kHlsMax;
    if (hue > kHlsMax)
        hue -= kHlsMax;
    if (hue < kHlsMax / 6)
        return m1 + ((m2 - m1) * hue + kHlsMax / 12) / (kHlsMax / 6);
    if (hue < kHlsMax / 2)
        return m2;
    if (hue < 2 * kHlsMax / 3)
        return m1 + ((m2 - m1) * (2 * kHlsMax / 3 - hue) + kHlsMax / 12) / (kHlsMax / 6);
    return m1;
}

Rgb toRgb(const Hls& hls) {
    const int l = hls.lightness, s = hls.saturation;
    const int m2 = l <= kHlsMax / 2 ? (l * (kHlsMax + s) + kHlsMax / 2) / kHlsMax
                                    : l + s - (l * s + kHlsMax / 2) / kHlsMax;
    const int m1 = 2 * l - m2;
    auto channel = [&](int hue) {
        const int value = (hueToChannel(m1, m2, hue) * kRgbMax + kHlsMax / 2) / kHlsMax;
        return static_cast<Rgb>(std::clamp(value, 0, kRgbMax));
    };
    return channel(hls.hue + kHlsMax / 3) << 16 | channel(hls.hue) << 8 |
           channel(hls.hue - kHlsMax / 3);
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
    Hls hls = toHls(static_cast<int>(color >> 16 & 0xFF), static_cast<int>(color >> 8 & 0xFF),
                    static_cast<int>(color & 0xFF));
    const double lightness =
        tint < 0 ? hls.lightness * (1 + tint) : hls.lightness * (1 - tint) + kHlsMax * tint;
    if (hls.saturation == 0) {
        // Greys keep the fraction of the lightness.
        const auto grey = static_cast<Rgb>(
            std::clamp(std::lround(lightness * kRgbMax / kHlsMax), 0L, long{kRgbMax}));
        return grey << 16 | grey << 8 | grey;
    }
    hls.lightness = std::clamp(static_cast<int>(lightness), 0, kHlsMax);
    return toRgb(hls);
}

} // namespace sheet
