// The window's Korean font: the form's fixed-pitch font where it is installed, else a Korean
// font whose letters fit in the line the widgets give them, so that lists and fields never cut
// off the top of Hangul.
#pragma once

#include <QFont>
#include <QString>

namespace app {

// True when Hangul in `font` lies inside its ascent and descent: a row of the font's height
// shows it whole.
bool drawsHangulWhole(const QFont& font);

// The family for the window's text at `pixelSize`; empty when no Korean font is installed.
QString koreanWindowFamily(int pixelSize);

} // namespace app
