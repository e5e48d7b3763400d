#pragma once

#include <QFont>
#include <QString>

#include <thread>

namespace platform {

// The family the windows' fixed widths are measured for: a sans-serif with the
// metrics of the classic Windows dialog font, shipped by a Debian font package
// that the set-up scripts install.
QString designedFontFamily();

// The font every window of the program uses: the designed family at the pixel
// size the fixed widths were laid out for, whatever the screen's DPI. When the
// family is not installed, a metric-compatible one stands in, else the
// system's sans-serif at the same size.
QFont programFont();

// Reads the system's font configuration on a thread of its own. Made before the
// QApplication, it does while the application connects to the display what the
// first font asked for would otherwise do on the way to the first window.
// wait() (or the destructor) returns once the configuration is in place.
class FontConfigurationReader {
  public:
    FontConfigurationReader();
    ~FontConfigurationReader();
    FontConfigurationReader(const FontConfigurationReader&) = delete;
    FontConfigurationReader& operator=(const FontConfigurationReader&) = delete;
    void wait();

  private:
    std::thread m_thread;
};

} // namespace platform
