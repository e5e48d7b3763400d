#include "ShownReport.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

#include <cstdio>

namespace platform {

namespace {

// Watches a window for its first expose; reports once the event has been
// handled, then goes.
class ExposeWatch : public QObject {
  public:
    explicit ExposeWatch(QWindow* window) : QObject(window) { window->installEventFilter(this); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = static_cast<QWindow*>(watched);
        if (event->type() == QEvent::Expose && window->isExposed()) {
            window->removeEventFilter(this);
            // Queued: the expose paints the window before this runs.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    std::fputs(kShownLine, stdout);
                    std::fflush(stdout);
                    deleteLater();
                },
                Qt::QueuedConnection);
        }
        return false;
    }
};

} // namespace

void reportFirstShown(QWidget& window) {
    if (qEnvironmentVariableIsEmpty(kReportShownVariable) || !window.windowHandle()) return;
    new ExposeWatch(window.windowHandle());
}

} // namespace platform
