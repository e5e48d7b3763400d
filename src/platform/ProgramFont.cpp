#include "ProgramFont.h"

#include <QFontDatabase>
#include <QStringList>

#include <fontconfig/fontconfig.h>
#include <system_error>

namespace platform {

namespace {

// Eight points at 96 dots per inch. Given in pixels so that a screen of another
// DPI does not widen the texts past the fixed widths; one pixel more and the
// grids' telephone and house number columns no longer hold their values.
constexpr int kPixelSize = 11;

} // namespace

QString designedFontFamily() {
    return QStringLiteral("Liberation Sans");
}

QFont programFont() {
    // Arimo and Arial have the same advance widths as the designed family.
    const QStringList families{designedFontFamily(), QStringLiteral("Arimo"), QStringLiteral("Arial")};
    QFont font;
    for (const QString& family : families) {
        if (QFontDatabase::hasFamily(family)) {
            font = QFont(family);
            break;
        }
    }
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(kPixelSize);
    return font;
}

FontConfigurationReader::FontConfigurationReader() {
    // Fontconfig keeps one configuration per process and guards it itself; Qt
    // finds it loaded when it asks for the first font. Should a thread not be
    // had, Qt reads the configuration itself when it first needs it.
    try {
        m_thread = std::thread([] { FcInit(); });
    } catch (const std::system_error&) {
    }
}

FontConfigurationReader::~FontConfigurationReader() {
    wait();
}

void FontConfigurationReader::wait() {
    if (m_thread.joinable()) m_thread.join();
}

} // namespace platform
