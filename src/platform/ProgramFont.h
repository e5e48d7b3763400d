#pragma once

#include <QFont>
#include <QString>

namespace platform {

// The family the windows' fixed widths are measured for: a sans-serif with the
// metrics of the classic Windows dialog font, shipped by a Debian font package
// that the set-up scripts install.
QString designedFontFamily();

// The font every window of the program uses: the designed family at the pixel
// size the fixed widths were laid out for, whatever the screen's DPI. When the
// family is not installed, a metric-compatible one stands in, else the
// system's sans-serif at the same size.
QFont programFont();

} // namespace platform
