#include "AlphabetBar.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>
#include <array>
#include <iterator>

using namespace Qt::StringLiterals;

namespace {

// Where each letter's range begins; the last range ends at the bar's width.
constexpr int kStarts[AlphabetBar::kLetters] = {0,   18,  38,  57,  76,  94,  111, 129, 148,
                                                164, 178, 196, 211, 233, 253, 271, 291, 310,
                                                326, 343, 359, 379, 397, 418, 436, 455};

// One letter of the bar as assistive technology sees it: a button that lists
// the contacts starting with it.
class LetterAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
  public:
    LetterAccessible(AlphabetBar* bar, int index) : m_bar(bar), m_index(index) {}

    bool isValid() const override { return !m_bar.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_bar ? m_bar->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_bar); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? AlphabetBar::spokenName(m_index) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!m_bar) return {};
        const auto [from, to] = AlphabetBar::rangeOf(AlphabetBar::letter(m_index));
        return QRect(m_bar->mapToGlobal(QPoint(from, 0)), QSize(to - from, m_bar->height()));
    }
    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!m_bar) return s;
        s.focusable = true;
        s.focused = m_bar->hasFocus() && m_bar->currentIndex() == m_index;
        s.invisible = !m_bar->isVisible();
        s.disabled = !m_bar->isEnabled();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction() && m_bar && m_bar->isEnabled()) m_bar->activate(m_index);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

  private:
    QPointer<AlphabetBar> m_bar;
    int m_index;
};

// The bar as assistive technology sees it: a tool bar of the 26 letters,
// the current one focused while the bar has the focus.
class AlphabetBarAccessible : public QAccessibleWidget {
  public:
    explicit AlphabetBarAccessible(AlphabetBar* bar) : QAccessibleWidget(bar, QAccessible::ToolBar) {}
    ~AlphabetBarAccessible() override {
        for (const QAccessible::Id id : m_letters)
            if (id) QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return AlphabetBar::kLetters; }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= AlphabetBar::kLetters) return nullptr;
        QAccessible::Id& id = m_letters[index];
        if (!id) id = QAccessible::registerAccessibleInterface(new LetterAccessible(bar(), index));
        return QAccessible::accessibleInterface(id);
    }
    int indexOfChild(const QAccessibleInterface* letter) const override {
        for (int i = 0; i < AlphabetBar::kLetters; ++i)
            if (m_letters[i] && QAccessible::accessibleInterface(m_letters[i]) == letter) return i;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint at = bar()->mapFromGlobal(QPoint(x, y));
        if (!bar()->rect().contains(at)) return nullptr;
        const QChar letter = AlphabetBar::letterAt(at.x());
        return letter.isNull() ? nullptr : child(letter.unicode() - u'a');
    }
    QAccessibleInterface* focusChild() const override {
        return bar()->hasFocus() ? child(bar()->currentIndex()) : nullptr;
    }

  private:
    AlphabetBar* bar() const { return static_cast<AlphabetBar*>(widget()); }

    mutable std::array<QAccessible::Id, AlphabetBar::kLetters> m_letters{};
};

QAccessibleInterface* alphabetBarAccessible(const QString& className, QObject* object) {
    auto* bar = className == QLatin1String("AlphabetBar") ? qobject_cast<AlphabetBar*>(object) : nullptr;
    return bar ? new AlphabetBarAccessible(bar) : nullptr;
}

} // namespace

AlphabetBar::AlphabetBar(QWidget* parent) : ClickableLabel(parent) {
    QAccessible::installFactory(alphabetBarAccessible);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(u"Abeceda"_s);
    setAccessibleDescription(u"Vypíše kontakty začínající zvoleným písmenem"_s);
    render();
}

QChar AlphabetBar::letterAt(int x) {
    if (x < 0 || x >= kWidth) return {};
    const int* next = std::upper_bound(std::begin(kStarts), std::end(kStarts), x);
    return letter(int(next - std::begin(kStarts)) - 1);
}

std::pair<int, int> AlphabetBar::rangeOf(QChar letter) {
    const int i = letter.toLower().unicode() - u'a';
    if (i < 0 || i >= kLetters) return {0, 0};
    return {kStarts[i], i + 1 < kLetters ? kStarts[i + 1] : kWidth};
}

QString AlphabetBar::spokenName(int index) {
    return u"Písmeno "_s + letter(index).toUpper();
}

void AlphabetBar::activate(int index) {
    if (index < 0 || index >= kLetters) return;
    moveTo(index);
    emit letterClicked(letter(index));
}

void AlphabetBar::mouseReleaseEvent(QMouseEvent* event) {
    const QChar clicked = letterAt(int(event->position().x()));
    const bool inside = rect().contains(event->position().toPoint());
    ClickableLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && inside && !clicked.isNull()) activate(clicked.unicode() - u'a');
}

void AlphabetBar::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (modifiers != Qt::NoModifier) return ClickableLabel::keyPressEvent(event);
    const QString typed = event->text().toLower();
    switch (event->key()) {
    case Qt::Key_Left:
        moveTo(m_current - 1);
        break;
    case Qt::Key_Right:
        moveTo(m_current + 1);
        break;
    case Qt::Key_Home:
        moveTo(0);
        break;
    case Qt::Key_End:
        moveTo(kLetters - 1);
        break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!event->isAutoRepeat()) activate(m_current);
        break;
    default:
        if (typed.size() != 1 || typed[0] < u'a' || typed[0] > u'z')
            return ClickableLabel::keyPressEvent(event);
        activate(typed[0].unicode() - u'a');
        break;
    }
    event->accept();
}

void AlphabetBar::focusInEvent(QFocusEvent* event) {
    ClickableLabel::focusInEvent(event);
    // After the bar's own focus is told, so that the letter is heard last.
    QMetaObject::invokeMethod(this, &AlphabetBar::announceCurrent, Qt::QueuedConnection);
}

void AlphabetBar::moveTo(int index) {
    index = std::clamp(index, 0, kLetters - 1);
    if (index == m_current) return;
    m_current = index;
    update();
    announceCurrent();
}

void AlphabetBar::announceCurrent() {
    if (!hasFocus() || !QAccessible::isActive()) return;
    QAccessibleEvent event(this, QAccessible::Focus);
    event.setChild(m_current);
    QAccessible::updateAccessibility(&event);
}

QRect AlphabetBar::focusFrame() const {
    const auto [from, to] = rangeOf(letter(m_current));
    return QRect(from, 0, to - from, height());
}

void AlphabetBar::changeEvent(QEvent* event) {
    ClickableLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) render();
}

void AlphabetBar::render() {
    // Drawn into a picture in the bar's own font, so the bar is one image.
    const int height = fontMetrics().height() + 4;
    const qreal ratio = qApp->devicePixelRatio();
    QPixmap pixmap(QSize(kWidth, height) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setFont(font());
    p.setPen(palette().color(QPalette::WindowText));
    for (int i = 0; i < kLetters; ++i) {
        const auto [from, to] = rangeOf(letter(i));
        p.drawText(QRect(from, 0, to - from, height), Qt::AlignCenter, QString(letter(i)));
    }
    p.end();
    setPixmap(pixmap);
    setFixedSize(kWidth, height);
}
