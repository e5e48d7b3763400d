#include "ShownReport.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

#include <cstdio>

namespace platform {

namespace {

// Watches a window for its first expose; runs its task once the event has
// been handled, then goes.
class ExposeWatch : public QObject {
  public:
    ExposeWatch(QWindow* window, std::function<void()> then) : QObject(window), m_then(std::move(then)) {
        window->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = static_cast<QWindow*>(watched);
        if (event->type() == QEvent::Expose && window->isExposed()) {
            window->removeEventFilter(this);
            // Queued: the expose paints the window before this runs.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    deleteLater();
                    m_then();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

  private:
    std::function<void()> m_then;
};

} // namespace

void reportFirstShown(QWidget& window) {
    if (qEnvironmentVariableIsEmpty(kReportShownVariable)) return;
    whenFirstExposed(window, [] {
        std::fputs(kShownLine, stdout);
        std::fflush(stdout);
    });
}

void whenFirstExposed(QWidget& window, std::function<void()> then) {
    if (window.windowHandle()) new ExposeWatch(window.windowHandle(), std::move(then));
}

} // namespace platform
