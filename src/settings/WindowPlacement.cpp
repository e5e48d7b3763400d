#include "WindowPlacement.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
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

FrameReport reportOf(const QWidget* window) {
    const QWindow* handle = window->windowHandle();
    return {handle && handle->isExposed(), frameOf(window), window->size()};
}

// Places the client area inside the frame asked for, given the frame's margins
// as far as they are known.
void applyFrame(QWidget* window, const FramePlacement& p, const QMargins& m) {
    QRect client = window->geometry();
    if (p.x) client.moveLeft(*p.x + m.left());
    if (p.y) client.moveTop(*p.y + m.top());
    if (p.width) client.setWidth(*p.width - m.left() - m.right());
    if (p.height) client.setHeight(*p.height - m.top() - m.bottom());
    window->setGeometry(client);
}

void maximizeLater(QWidget* window) {
    QTimer::singleShot(0, window, [window] { window->showMaximized(); });
}

constexpr Qt::WindowStates kNotNormal = Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized;

// Notes the frame's margins the first time the window manager shows the
// window framed in its normal state, so that the frame a maximized window
// returns to is known: a maximized window's frame is another (openbox drops
// the border, for one).
class NormalFrameKeeper : public QObject {
  public:
    explicit NormalFrameKeeper(QWidget* window) : QObject(window), m_window(window) {
        window->windowHandle()->installEventFilter(this);
        note();
    }
    std::optional<QMargins> margins() const { return m_margins; }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type == QEvent::Expose || type == QEvent::Move || type == QEvent::Resize) note();
        return false;
    }

  private:
    void note() {
        if (m_margins || (m_window->windowState() & kNotNormal)) return;
        m_margins = drawnFrame(reportOf(m_window));
        if (m_margins) m_window->windowHandle()->removeEventFilter(this);
    }

    QWidget* m_window;
    std::optional<QMargins> m_margins;
};

NormalFrameKeeper* keeperOf(const QWidget* window) {
    for (QObject* child : window->children())
        if (auto* keeper = dynamic_cast<NormalFrameKeeper*>(child)) return keeper;
    return nullptr;
}

// Waits for the window manager to frame the window, then places the window
// again and maximizes it when asked. The native window's events say when to
// look (exposure, moves, state changes) and a short poll catches a frame
// declared without any; a window manager that never frames the window is
// given up after a few seconds.
class FrameWatch : public QObject {
  public:
    FrameWatch(QWidget* window, const FramePlacement& placement)
        : QObject(window), m_window(window), m_placement(placement) {
        window->windowHandle()->installEventFilter(this);
        m_poll.setInterval(kPollMs);
        connect(&m_poll, &QTimer::timeout, this, [this] { look(); });
        m_poll.start();
        m_waited.start();
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Expose:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowStateChange:
            look();
            break;
        default:
            break;
        }
        return false;
    }

  private:
    static constexpr int kPollMs = 25;
    static constexpr qint64 kGiveUpMs = 3000;

    void look() {
        // A window closed meanwhile is left closed, one put in another state by
        // the user keeps that state.
        if (!m_window->isVisible() || (m_window->windowState() & kNotNormal)) return finish();
        if (const std::optional<QMargins> frame = drawnFrame(reportOf(m_window))) {
            finish();
            applyFrame(m_window, m_placement, *frame);
        } else if (m_waited.elapsed() >= kGiveUpMs) {
            finish();
        } else {
            return;
        }
        if (m_placement.maximized) m_window->showMaximized();
    }

    // Stops watching before placing, so that the moves it makes are not seen here.
    void finish() {
        m_poll.stop();
        if (QWindow* handle = m_window->windowHandle()) handle->removeEventFilter(this);
        deleteLater();
    }

    QWidget* m_window;
    FramePlacement m_placement;
    QTimer m_poll;
    QElapsedTimer m_waited;
};

} // namespace

std::optional<QMargins> drawnFrame(const FrameReport& r) {
    const QMargins& m = r.margins;
    if (!r.exposed) return std::nullopt;
    // Some border, none of it negative, the frame's edge on the left or the top
    // (a title bar), and less of it than there is window.
    const bool plausible = m.left() >= 0 && m.top() >= 0 && m.right() >= 0 && m.bottom() >= 0 &&
                           (m.left() > 0 || m.top() > 0) && m.left() + m.right() < r.client.width() &&
                           m.top() + m.bottom() < r.client.height();
    return plausible ? std::optional<QMargins>(m) : std::nullopt;
}

QRect outerFrame(const QWidget* window) {
    // The native window knows its frame as soon as the window manager has
    // drawn it; the widget's own copy may lag behind.
    const QWindow* handle = window->windowHandle();
    return handle && window->isVisible() ? handle->frameGeometry() : window->frameGeometry();
}

void keepNormalFrame(QWidget* window) {
    if (window->windowHandle() && !keeperOf(window)) new NormalFrameKeeper(window);
}

QRect normalFrame(const QWidget* window) {
    if (!(window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) return outerFrame(window);
    const NormalFrameKeeper* keeper = keeperOf(window);
    const std::optional<QMargins> kept = keeper ? keeper->margins() : std::nullopt;
    return window->normalGeometry().marginsAdded(kept.value_or(frameOf(window)));
}

void restoreFrame(QWidget* window, const FramePlacement& placement) {
    keepNormalFrame(window);
    // Only under X is a window framed after it is shown; elsewhere the frame is
    // known at once (or there is none).
    const bool framedLater = window->windowHandle() && QGuiApplication::platformName() == u"xcb";
    const std::optional<QMargins> frame = framedLater ? drawnFrame(reportOf(window)) : frameOf(window);
    applyFrame(window, placement, frame.value_or(QMargins()));
    if (!frame) {
        new FrameWatch(window, placement);
    } else if (placement.maximized) {
        maximizeLater(window);
    }
}

} // namespace settings
