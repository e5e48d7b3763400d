#include "ToolWindow.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLayout>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

// Fixes a window's size at its first show, when its layout has given it the
// size it keeps, and before the window manager maps it.
class FixSizeAtFirstShow : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            auto* window = static_cast<QWidget*>(watched);
            // A layout that fixes the window at its own size would undo the widening.
            QLayout* layout = window->layout();
            if (layout && layout->sizeConstraint() == QLayout::SetFixedSize)
                layout->setSizeConstraint(QLayout::SetDefaultConstraint);
            window->setFixedSize(std::max(window->width(), captionRoom(window->windowTitle())),
                                 window->height());
            window->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }
};

} // namespace

int captionRoom(const QString& caption) {
    // Title bars set their captions in a bold face of about the windows' size
    // (openbox: sans, bold, 8 points), up to a tenth wider than the program's
    // own; beside them stand the window's icon and up to three buttons
    // (minimize, maximize, close), which some managers draw whatever a window
    // asks for.
    constexpr double kWiderFace = 1.1;
    constexpr int kIconAndButtons = 4 * 26;
    constexpr int kPadding = 32;
    QFont font = QGuiApplication::font();
    font.setBold(true);
    const int text = int(std::ceil(kWiderFace * QFontMetricsF(font).horizontalAdvance(caption)));
    return text + kIconAndButtons + kPadding;
}

void makeToolWindow(QWidget* window) {
    window->setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint);
    window->installEventFilter(new FixSizeAtFirstShow(window));
}

} // namespace platform
