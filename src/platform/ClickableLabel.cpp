#include "ClickableLabel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace {

// What assistive technology sees of a clickable label: a control of its role
// that can be pressed (or toggled), or the text or picture it shows.
class ClickableLabelAccessible : public QAccessibleWidget {
  public:
    explicit ClickableLabelAccessible(ClickableLabel* label) : QAccessibleWidget(label) {}

    QAccessible::Role role() const override {
        switch (label()->role()) {
        case ClickableLabel::Role::Button:
            return QAccessible::Button;
        case ClickableLabel::Role::CheckBox:
            return QAccessible::CheckBox;
        case ClickableLabel::Role::RadioButton:
            return QAccessible::RadioButton;
        case ClickableLabel::Role::Link:
            return QAccessible::Link;
        case ClickableLabel::Role::Text:
            break;
        }
        return label()->pixmap().isNull() ? QAccessible::StaticText : QAccessible::Graphic;
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        if (isCheckable()) {
            s.checkable = true;
            s.checked = label()->isChecked();
        }
        return s;
    }

    QString text(QAccessible::Text t) const override {
        QString s = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && s.isEmpty()) s = label()->text().trimmed();
        return s;
    }

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (label()->role() != ClickableLabel::Role::Text) names.prepend(action());
        return names;
    }

    void doAction(const QString& name) override {
        if (name == action() && label()->role() != ClickableLabel::Role::Text) {
            if (label()->isEnabled()) label()->click();
            return;
        }
        QAccessibleWidget::doAction(name);
    }

  private:
    ClickableLabel* label() const { return static_cast<ClickableLabel*>(widget()); }
    bool isCheckable() const {
        return label()->role() == ClickableLabel::Role::CheckBox ||
               label()->role() == ClickableLabel::Role::RadioButton;
    }
    QString action() const { return isCheckable() ? toggleAction() : pressAction(); }
};

QAccessibleInterface* clickableLabelAccessible(const QString& className, QObject* object) {
    auto* label =
        className == QLatin1String("ClickableLabel") ? qobject_cast<ClickableLabel*>(object) : nullptr;
    return label ? new ClickableLabelAccessible(label) : nullptr;
}

} // namespace

ClickableLabel::ClickableLabel(QWidget* parent) : QLabel(parent) {
    // Qt keeps one entry per factory, however often it is installed.
    QAccessible::installFactory(clickableLabelAccessible);
}

void ClickableLabel::makeControl(Role role, const QString& accessibleName) {
    m_role = role;
    // Tab reaches it; a click leaves the focus where the user works.
    setFocusPolicy(Qt::TabFocus);
    if (!accessibleName.isEmpty()) setAccessibleName(accessibleName);
}

void ClickableLabel::setChecked(bool checked) {
    if (checked == m_checked) return;
    m_checked = checked;
    announceChecked();
}

void ClickableLabel::announceChecked() {
    if (!QAccessible::isActive()) return;
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
}

void ClickableLabel::keyPressEvent(QKeyEvent* event) {
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    const int key = event->key();
    if (m_role != Role::Text && plain &&
        (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        event->accept();
        if (!event->isAutoRepeat()) click();
        return;
    }
    QLabel::keyPressEvent(event);
}

void ClickableLabel::paintEvent(QPaintEvent* event) {
    // A label that takes the focus has its text drawn by QLabel through a
    // text document, a pixel higher than plain text; a control's text is
    // drawn plainly, where the label showed it before.
    const bool plainText = m_role != Role::Text && pixmap().isNull();
    if (!plainText) QLabel::paintEvent(event);
    QStylePainter painter(this);
    if (plainText) {
        drawFrame(&painter);
        const int m = margin();
        painter.drawItemText(contentsRect().adjusted(m, m, -m, -m),
                             QStyle::visualAlignment(layoutDirection(), alignment()), palette(), isEnabled(),
                             text(), foregroundRole());
    }
    if (!hasFocus()) return;
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = focusFrame();
    option.backgroundColor = palette().color(backgroundRole());
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}

void ClickableLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_pressed = true;
    QLabel::mousePressEvent(event);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    // A click is a press and a release inside the label, as with a button.
    const bool click =
        m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click) emit clicked();
}
