#include "WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace settings {

void centreOn(QWidget* window, const QWidget* anchor) {
    const QWidget* top = anchor ? anchor->window() : nullptr;
    const QScreen* screen = top && top->screen() ? top->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    const QRect around = top && top->isVisible() ? top->frameGeometry() : area;
    if (around.isEmpty()) return;

    // Before the first show the frame is not known yet: centre the client area.
    const QSize outer = window->isVisible() ? window->frameGeometry().size() : window->size();
    QPoint topLeft = around.center() - QPoint(outer.width() / 2, outer.height() / 2);
    if (!area.isEmpty()) {
        topLeft.setX(qBound(area.left(), topLeft.x(), qMax(area.left(), area.right() - outer.width() + 1)));
        topLeft.setY(qBound(area.top(), topLeft.y(), qMax(area.top(), area.bottom() - outer.height() + 1)));
    }
    window->move(topLeft);
}

namespace {

QMargins frameOf(const QWidget* window) {
    const QWindow* handle = window->windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

// A frame a window manager really drew: some border, none of it negative or
// as large as the window. While the window is still being framed the system
// may report the space between the window and some other one instead.
bool realFrame(const QMargins& m, const QWidget* window) {
    return !m.isNull() && m.left() >= 0 && m.top() >= 0 && m.right() >= 0 && m.bottom() >= 0 &&
           m.left() + m.right() < window->width() && m.top() + m.bottom() < window->height();
}

// Places the client area inside the frame asked for, as far as the frame is
// known; the client's own position leaves no doubt about where the frame goes.
void applyFrame(QWidget* window, const FramePlacement& p) {
    const QMargins m = frameOf(window);
    QRect client = window->geometry();
    if (p.x) client.moveLeft(*p.x + m.left());
    if (p.y) client.moveTop(*p.y + m.top());
    if (p.width) client.setWidth(*p.width - m.left() - m.right());
    if (p.height) client.setHeight(*p.height - m.top() - m.bottom());
    window->setGeometry(client);
}

// Waits on the native window's events for its first frame, then places the
// window again. A reparenting window manager shows the window only once it has
// framed it, so the frame is known by the first exposure at the latest.
class FrameWatch : public QObject {
  public:
    FrameWatch(QWidget* window, const FramePlacement& placement)
        : QObject(window), m_window(window), m_placement(placement) {
        window->windowHandle()->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::Expose && type != QEvent::WindowStateChange) return false;
        if (m_window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)) {
            finish();
        } else if (realFrame(frameOf(m_window), m_window)) {
            finish();
            applyFrame(m_window, m_placement);
        }
        return false;
    }

  private:
    // Stops watching before placing, so that the moves it makes are not seen here.
    void finish() {
        m_window->windowHandle()->removeEventFilter(this);
        deleteLater();
    }

    QWidget* m_window;
    FramePlacement m_placement;
};

} // namespace

QRect outerFrame(const QWidget* window) {
    // The native window knows its frame as soon as the window manager has
    // drawn it; the widget's own copy may lag behind.
    const QWindow* handle = window->windowHandle();
    return handle && window->isVisible() ? handle->frameGeometry() : window->frameGeometry();
}

void restoreFrame(QWidget* window, const FramePlacement& placement) {
    applyFrame(window, placement);
    if (window->windowHandle() && !realFrame(frameOf(window), window)) new FrameWatch(window, placement);
}

} // namespace settings
