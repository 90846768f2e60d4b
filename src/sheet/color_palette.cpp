#include "sheet/color_palette.h"

#include <array>

namespace sheet::embedded {

namespace {

constexpr std::array<Rgb, kPaletteSize> kPalette = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333,
};

long channelDistance(Rgb a, Rgb b) {
    long total = 0;
    for (int shift : {16, 8, 0}) {
        long d = static_cast<long>((a >> shift) & 0xFF) - static_cast<long>((b >> shift) & 0xFF);
        total += d * d;
    }
    return total;
}

} // namespace

std::optional<Rgb> paletteColor(int index) {
    if (index < 1 || index > kPaletteSize)
        return std::nullopt;
    return kPalette[static_cast<size_t>(index - 1)];
}

int nearestColorIndex(Rgb color) {
    int best = 1;
    long bestDistance = channelDistance(color, kPalette[0]);
    for (int index = 2; index <= kPaletteSize; ++index) {
        long distance = channelDistance(color, kPalette[static_cast<size_t>(index - 1)]);
        if (distance < bestDistance) {
            best = index;
            bestDistance = distance;
        }
    }
    return best;
}

} // namespace sheet::embedded
