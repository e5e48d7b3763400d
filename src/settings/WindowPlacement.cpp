#include "WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace settings {

void makeToolWindow(QWidget* window) {
    window->setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint);
}

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
        } else if (!frameOf(m_window).isNull()) {
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

void restoreFrame(QWidget* window, const FramePlacement& placement) {
    applyFrame(window, placement);
    if (window->windowHandle() && frameOf(window).isNull()) new FrameWatch(window, placement);
}

} // namespace settings
