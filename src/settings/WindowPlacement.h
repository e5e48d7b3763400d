#pragma once

#include <QRect>

#include <optional>

class QWidget;

namespace settings {

// Moves window so that its centre lies on the centre of anchor's top-level
// window, or of the screen when there is no anchor; the window stays on the
// screen's available area.
void centreOn(QWidget* window, const QWidget* anchor);

// An outer placement of a top-level window, as the user left it: the frame's
// position and size, each part optional (a part left out keeps the window's own).
struct FramePlacement {
    std::optional<int> x, y, width, height;
};

// Gives window the outer placement asked for. Until a window manager has framed
// the window its frame is not known, so the client takes the frame's place and
// size; when the frame appears, the placement is applied once more with the
// frame taken off, so that the window neither moves nor grows from one start
// to the next. A window maximized meanwhile keeps its state.
void restoreFrame(QWidget* window, const FramePlacement& placement);

// The window's outer frame as the window manager has drawn it.
QRect outerFrame(const QWidget* window);

} // namespace settings
