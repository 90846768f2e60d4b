// Where the main window opens: at its design size when the screen has room, else shrunk to the
// screen's free area (its pages scroll), centred there.
#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

namespace viewer {

// The window's decorations, for when the window manager has not told them yet: a title bar
// and thin borders.
inline constexpr QMargins kAssumedFrame{8, 32, 8, 8};

// The client geometry for a window of `wanted` client size with decorations `frame` on a
// screen whose free area is `available`: no larger than fits, never smaller than `minimum`,
// centred in the free area.
QRect fittedClientGeometry(QSize wanted, QSize minimum, const QRect& available,
                           const QMargins& frame = kAssumedFrame);

} // namespace viewer
