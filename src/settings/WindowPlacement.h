#pragma once

class QWidget;

namespace settings {

// The window flags of the program's small tool windows: a title bar with only
// the close box.
void makeToolWindow(QWidget* window);

// Moves window so that its centre lies on the centre of anchor's top-level
// window, or of the screen when there is no anchor; the window stays on the
// screen's available area.
void centreOn(QWidget* window, const QWidget* anchor);

} // namespace settings
