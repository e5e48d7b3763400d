#include "PointingHandCursor.h"

#include "PageWidgets.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>

namespace {

// The standard boxes stand in for the system's own; their buttons look as the system's do.
bool inStandardBox(const QWidget* widget) {
    const QWidget* window = widget->window();
    for (const char* type : {"QMessageBox", "QFileDialog", "QInputDialog", "QPrintDialog", "QPageSetupDialog",
                             "QProgressDialog"})
        if (window->inherits(type)) return true;
    return false;
}

} // namespace

PointingHandCursor::PointingHandCursor(QObject* parent) : QObject(parent) {
    qApp->installEventFilter(this);
    // The widgets that exist already, polished or not.
    for (QWidget* widget : QApplication::allWidgets())
        apply(widget);
}

PointingHandCursor::~PointingHandCursor() {
    qApp->removeEventFilter(this);
}

bool PointingHandCursor::wantsHand(const QWidget* widget) {
    if (!widget) return false;
    const bool clickable = qobject_cast<const QPushButton*>(widget) ||
                           qobject_cast<const QToolButton*>(widget) ||
                           qobject_cast<const ClickableLabel*>(widget);
    return clickable && !inStandardBox(widget);
}

void PointingHandCursor::applyToTree(QWidget* root) {
    apply(root);
    for (QWidget* widget : root->findChildren<QWidget*>())
        apply(widget);
}

void PointingHandCursor::apply(QWidget* widget) {
    if (!widget->testAttribute(Qt::WA_SetCursor) && wantsHand(widget))
        widget->setCursor(Qt::PointingHandCursor);
}

bool PointingHandCursor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Polish && watched->isWidgetType()) apply(static_cast<QWidget*>(watched));
    return QObject::eventFilter(watched, event);
}
