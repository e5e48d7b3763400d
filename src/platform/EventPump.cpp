#include "EventPump.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <memory>

namespace platform {

std::function<void()> eventPump(std::chrono::milliseconds interval) {
    // Expired at first, so that the first call lets the events through.
    auto next = std::make_shared<QDeadlineTimer>(0);
    return [next, interval] {
        if (!next->hasExpired()) return;
        QCoreApplication::processEvents();
        next->setRemainingTime(interval);
    };
}

} // namespace platform
