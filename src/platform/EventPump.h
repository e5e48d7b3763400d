#pragma once

#include <chrono>
#include <functional>

namespace platform {

// What a long search calls between its rows to keep the window responsive
// (the STOP button, repaints, the wait cursor): it lets the pending events
// through at its first call and then at most once per interval, so that a
// scan over thousands of rows does not pay for the event loop at every row.
std::function<void()> eventPump(std::chrono::milliseconds interval = std::chrono::milliseconds(5));

} // namespace platform
