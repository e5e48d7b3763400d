#include "ProgramFont.h"

#include <QFontDatabase>
#include <QStringList>

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

} // namespace platform
