#pragma once

#include <QMargins>
#include <QRect>

#include <optional>

class QWidget;

namespace settings {

// Moves window so that its centre lies on the centre of anchor's top-level
// window, or of the screen when there is no anchor; the window stays on the
// screen's available area.
void centreOn(QWidget* window, const QWidget* anchor);

// An outer placement of a top-level window, as the user left it: the frame's
// position and size, each part optional (a part left out keeps the window's own),
// and whether the window was maximized; a maximized window returns from that
// state to the frame given.
struct FramePlacement {
    std::optional<int> x, y, width, height;
    bool maximized = false;
};

// Gives window the outer placement asked for. Until a window manager has framed
// the window its frame is not known, so the client takes the frame's place and
// size; when the frame appears, the placement is applied once more with the
// frame taken off, so that the window neither moves nor grows from one start
// to the next, and only then is the window maximized when asked. A window
// maximized meanwhile by someone else keeps its state. A window manager that
// has not framed the window within a few seconds is not waited for.
void restoreFrame(QWidget* window, const FramePlacement& placement);

// What the native window tells about its frame at one moment.
struct FrameReport {
    bool exposed = false; // mapped, so shown in its frame
    QMargins margins;     // as the window system measures them now
    QSize client;
};

// The frame a window manager has drawn around the window, once the report
// leaves no doubt about it: a window manager maps the window only once it sits
// in its frame, while before that the window system may measure the frame
// against a half-made one (the space the new frame leaves to the right and
// below, say).
std::optional<QMargins> drawnFrame(const FrameReport& report);

// The window's outer frame as the window manager has drawn it.
QRect outerFrame(const QWidget* window);

// Starts noting the frame the window manager gives the shown window in its
// normal state (restoreFrame does so itself).
void keepNormalFrame(QWidget* window);

// The outer frame the window has when it is neither maximized nor full screen:
// where a maximized window returns to.
QRect normalFrame(const QWidget* window);

} // namespace settings
