// The colour palette of the spreadsheet file formats: indexed colours, theme colours, tint.
#pragma once

#include "sheet/model.h"

#include <array>

namespace sheet {

// The standard 64-entry palette (indexes 0..63). Indexes 64 and 65 are the system's
// foreground and background ("automatic"); they and any index out of range give nullopt.
std::optional<Rgb> standardIndexedColor(int index);
using Palette = std::array<Rgb, 64>;
const Palette& standardPalette();

// Theme colours in the order the style parts index them: 0 lt1, 1 dk1, 2 lt2, 3 dk2,
// 4..9 accent1..6, 10 hlink, 11 folHlink.
using ThemeColors = std::array<Rgb, 12>;
const ThemeColors& defaultThemeColors();

// Lightens (tint > 0) or darkens (tint < 0) a colour in HLS space, tint in -1..1.
Rgb applyTint(Rgb color, double tint);

} // namespace sheet
