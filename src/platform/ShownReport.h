#pragma once

#include <QByteArray>

#include <functional>

class QWidget;

namespace platform {

// The environment variable that asks a program to say when its main window
// is first on the screen (for the start-up benchmark).
inline constexpr char kReportShownVariable[] = "ORDANA_REPORT_SHOWN";
// The line written to the standard output then.
inline constexpr char kShownLine[] = "shown\n";

// When kReportShownVariable is set, writes kShownLine to the standard output
// once the shown window's first expose has been handled (its first frame
// painted) and the event loop is idle again. Otherwise does nothing. Call
// after the window's show().
void reportFirstShown(QWidget& window);

// Runs then once the window's first expose has been handled (its first frame
// painted), from the event loop. Call when the window is shown, with its
// native window made; a window never exposed never runs it.
void whenFirstExposed(QWidget& window, std::function<void()> then);

} // namespace platform
