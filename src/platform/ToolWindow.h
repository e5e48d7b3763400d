#pragma once

class QString;
class QWidget;

namespace platform {

// Makes window one of the program's small tool windows: a title bar with the
// close box only, and the size the window is first shown at kept for good,
// as a tool-window border neither sizes nor maximizes. Window managers that
// do not follow the buttons asked for (openbox keeps its own) still offer no
// maximizing for a window of fixed size. A window too narrow for its caption
// in such a title bar is widened to it when first shown.
void makeToolWindow(QWidget* window);

// The width a window needs for caption to show whole in its title bar, beside
// the window manager's icon and buttons, in a bold title font.
int captionRoom(const QString& caption);

} // namespace platform
