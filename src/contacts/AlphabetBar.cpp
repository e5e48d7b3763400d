#include "AlphabetBar.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <iterator>

namespace {

// Where each letter's range begins; the last range ends at the bar's width.
constexpr int kStarts[26] = {0,   18,  38,  57,  76,  94,  111, 129, 148, 164, 178, 196, 211,
                             233, 253, 271, 291, 310, 326, 343, 359, 379, 397, 418, 436, 455};

} // namespace

AlphabetBar::AlphabetBar(QWidget* parent) : ClickableLabel(parent) {
    setCursor(Qt::PointingHandCursor);
    render();
}

QChar AlphabetBar::letterAt(int x) {
    if (x < 0 || x >= kWidth) return {};
    const int* next = std::upper_bound(std::begin(kStarts), std::end(kStarts), x);
    return QChar(u'a' + int(next - std::begin(kStarts)) - 1);
}

std::pair<int, int> AlphabetBar::rangeOf(QChar letter) {
    const int i = letter.toLower().unicode() - u'a';
    if (i < 0 || i >= 26) return {0, 0};
    return {kStarts[i], i + 1 < 26 ? kStarts[i + 1] : kWidth};
}

void AlphabetBar::mouseReleaseEvent(QMouseEvent* event) {
    const QChar letter = letterAt(int(event->position().x()));
    const bool inside = rect().contains(event->position().toPoint());
    ClickableLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && inside && !letter.isNull()) emit letterClicked(letter);
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
    for (int i = 0; i < 26; ++i) {
        const QChar letter(u'a' + i);
        const auto [from, to] = rangeOf(letter);
        p.drawText(QRect(from, 0, to - from, height), Qt::AlignCenter, QString(letter));
    }
    p.end();
    setPixmap(pixmap);
    setFixedSize(kWidth, height);
}
