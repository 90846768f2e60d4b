// The 56-colour palette behind Interior.ColorIndex.
#pragma once

#include "sheet/model.h"

#include <optional>

namespace sheet::embedded {

constexpr int kColorIndexNone = -4142; // no fill
constexpr int kPaletteSize = 56;

// RGB of a colour index 1..56; nothing outside that range.
std::optional<Rgb> paletteColor(int index);
// The index whose colour is nearest to `color` (the lowest index among equals).
int nearestColorIndex(Rgb color);

} // namespace sheet::embedded
