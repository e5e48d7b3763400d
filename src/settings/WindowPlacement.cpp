#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace settings {

void makeToolWindow(QWidget* window) {
    window->setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint);
}

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

} // namespace settings
