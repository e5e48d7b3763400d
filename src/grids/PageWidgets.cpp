#include "PageWidgets.h"

#include "TextHelpers.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QVBoxLayout>

#include <algorithm>

// ---- WildcardSwitch ------------------------------------------------------------

const QColor WildcardSwitch::kOnColour{128, 0, 0};
const QColor WildcardSwitch::kOffColour{192, 192, 192};

WildcardSwitch::WildcardSwitch(const QString& name, bool on, const QString& boxCaption, QWidget* parent)
    : ClickableLabel(parent) {
    setObjectName(name);
    setText(QStringLiteral("  * "));
    setToolTip(QStringLiteral("automaticky doplňovat zástupný znak *"));
    makeControl(Role::CheckBox, boxCaption + QStringLiteral(" – zástupný znak"));
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    m_on = !on; // so that setOn paints the first state
    setOn(on);
    connect(this, &ClickableLabel::clicked, this, [this] { setOn(!m_on); });
}

void WildcardSwitch::setOn(bool on) {
    if (on == m_on) return;
    m_on = on;
    QPalette p = palette();
    p.setColor(QPalette::WindowText, on ? kOnColour : kOffColour);
    setPalette(p);
    announceChecked();
    emit toggled(on);
}

// ---- StatusLine ----------------------------------------------------------------

namespace {

void setUpPart(QLabel* label, const QString& name) {
    label->setObjectName(name);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(1);
    label->setMargin(1);
    label->setIndent(3);
    label->setMinimumWidth(StatusLine::kMinimumPartWidth);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

} // namespace

StatusLine::StatusLine(const QString& firstName, const QString& middleName, const QString& lastName,
                       QWidget* parent)
    : QSplitter(Qt::Horizontal, parent), m_first(new QLabel(this)), m_middle(new ClickableLabel(this)),
      m_last(new QLabel(this)) {
    setObjectName(QStringLiteral("StatusLine"));
    setChildrenCollapsible(false);
    setHandleWidth(3);
    setUpPart(m_first, firstName);
    setUpPart(m_middle, middleName);
    setUpPart(m_last, lastName);
    // Texts set later (counts, the limits summary) must not widen the page:
    // the first two parts take the width they are given.
    m_first->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_middle->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_last->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    m_middle->setCursor(Qt::PointingHandCursor);
    addWidget(m_first);
    addWidget(m_middle);
    addWidget(m_last);
    setStretchFactor(0, 1);
    setStretchFactor(1, 1);
    setStretchFactor(2, 0);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void StatusLine::keepFirstPartWhole(const QString& widest) {
    const QFontMetrics metrics = m_first->fontMetrics();
    // A framed label indents its text by half an "x" on each side.
    m_first->setMinimumWidth(metrics.horizontalAdvance(widest) +
                             2 * (m_first->frameWidth() + m_first->margin()) +
                             metrics.horizontalAdvance(u'x') + 2);
}

QLabel* StatusLine::part(int index) const {
    switch (index) {
    case 0:
        return m_first;
    case 1:
        return m_middle;
    case 2:
        return m_last;
    default:
        return nullptr;
    }
}

// ---- icons ---------------------------------------------------------------------

namespace {

const QColor kInk{64, 64, 64};
const QColor kPaper{255, 255, 255};
const QColor kRed{192, 0, 0};
const QColor kGreen{0, 128, 0};
const QColor kBlue{0, 64, 160};

void sheet(QPainter& p, const QRectF& r) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawRect(r);
}

void lines(QPainter& p, qreal x0, qreal x1, qreal y0, int count, qreal step, const QColor& colour) {
    p.setPen(QPen(colour, 1));
    for (int i = 0; i < count; ++i)
        p.drawLine(QPointF(x0, y0 + i * step), QPointF(x1, y0 + i * step));
}

void cross(QPainter& p, const QRectF& r, qreal width) {
    p.setPen(QPen(kRed, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
}

void drawIcon(QPainter& p, PageIcon icon) {
    switch (icon) {
    case PageIcon::CopyAll:
        sheet(p, QRectF(1.5, 1.5, 9, 11));
        sheet(p, QRectF(5.5, 4.5, 9, 11));
        lines(p, 7.5, 12.5, 7.5, 4, 2, kBlue);
        break;
    case PageIcon::CopyNumber: {
        sheet(p, QRectF(2.5, 1.5, 11, 13));
        QFont f = p.font();
        f.setPixelSize(7);
        f.setBold(true);
        p.setFont(f);
        p.setPen(kBlue);
        p.drawText(QRectF(2.5, 1.5, 11, 13), Qt::AlignCenter, QStringLiteral("12\n34"));
        break;
    }
    case PageIcon::CopyAddress:
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(255, 248, 220));
        p.drawRect(QRectF(1.5, 3.5, 13, 9));
        p.drawPolyline(QPolygonF({QPointF(1.5, 3.5), QPointF(8, 9), QPointF(14.5, 3.5)}));
        break;
    case PageIcon::Transfer: {
        // A database drum with an arrow pointing into it.
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(255, 224, 128));
        QPainterPath drum;
        drum.moveTo(7.5, 7);
        drum.lineTo(7.5, 13);
        drum.arcTo(QRectF(7.5, 11, 7, 4), 180, 180);
        drum.lineTo(14.5, 7);
        p.drawPath(drum);
        p.drawEllipse(QRectF(7.5, 5, 7, 4));
        p.setPen(QPen(kGreen, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(1.5, 3), QPointF(6.5, 8));
        p.drawPolyline(QPolygonF({QPointF(3.5, 8), QPointF(6.5, 8), QPointF(6.5, 5)}));
        break;
    }
    case PageIcon::Edit:
        sheet(p, QRectF(1.5, 3.5, 9, 11));
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(240, 200, 64));
        p.drawPolygon(QPolygonF(
            {QPointF(14.5, 2.5), QPointF(15.5, 3.5), QPointF(8, 11), QPointF(6, 12), QPointF(7, 10)}));
        break;
    case PageIcon::New:
        sheet(p, QRectF(1.5, 1.5, 10, 13));
        p.setPen(QPen(kGreen, 2));
        p.drawLine(QPointF(12, 8), QPointF(12, 15));
        p.drawLine(QPointF(8.5, 11.5), QPointF(15.5, 11.5));
        break;
    case PageIcon::Delete:
        cross(p, QRectF(3, 3, 10, 10), 2.5);
        break;
    case PageIcon::DeleteMarked:
        sheet(p, QRectF(1.5, 1.5, 10, 13));
        lines(p, 3.5, 9.5, 4.5, 5, 2, kBlue);
        cross(p, QRectF(8, 8, 6.5, 6.5), 2);
        break;
    case PageIcon::AllRecords:
        sheet(p, QRectF(1.5, 1.5, 13, 13));
        lines(p, 3.5, 12.5, 4.5, 5, 2, kBlue);
        break;
    }
}

} // namespace

QPixmap pageIcon(PageIcon icon, qreal devicePixelRatio) {
    QPixmap pixmap(QSize(16, 16) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    drawIcon(p, icon);
    return pixmap;
}

ClickableLabel* makeImageButton(const QString& name, PageIcon icon, const QString& spokenName,
                                const QString& toolTip, QWidget* parent) {
    auto* label = new ClickableLabel(parent);
    label->setObjectName(name);
    label->makeControl(ClickableLabel::Role::Button, spokenName);
    label->setPixmap(pageIcon(icon, qApp->devicePixelRatio()));
    label->setToolTip(toolTip);
    label->setCursor(Qt::PointingHandCursor);
    label->setAlignment(Qt::AlignCenter);
    label->setFixedSize(22, 22);
    return label;
}

QLabel* makeCaption(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

QLabel* makeEndIndicator(const QString& name, QWidget* parent) {
    auto* label = new QLabel(QStringLiteral("oOo"), parent);
    label->setObjectName(name);
    label->setToolTip(QStringLiteral("Indikátor stavu konce vyhledávání"));
    // Spoken instead of its caption; the hint, which tells the state, follows it.
    label->setAccessibleName(QStringLiteral("Indikátor konce vyhledávání"));
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, WildcardSwitch::kOffColour);
    label->setPalette(p);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QPushButton* makeButton(const QString& name, const QString& caption, bool enabled, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setEnabled(enabled);
    button->setAutoDefault(false);
    return button;
}

void nameSymbolButton(QPushButton* button, const QString& spokenName, const QString& description) {
    button->setAccessibleName(spokenName);
    if (!description.isEmpty()) button->setAccessibleDescription(description);
}

void allowNarrowButton(QPushButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QSize text = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
    const QSize needed = button->style()->sizeFromContents(QStyle::CT_PushButton, &option, text, button);
    // The style's own minimum (80 pixels in some styles) is dropped; the caption still fits.
    const int width =
        text.width() + 2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin, &option, button);
    button->setMinimumWidth(std::min(width, needed.width()));
    button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QLineEdit* makeSearchBox(const QString& name, const QString& toolTip, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setToolTip(toolTip);
    return box;
}

void nameStreetBoxes(QLineEdit* street, QLineEdit* houseNumber) {
    street->setAccessibleName(QStringLiteral("Ulice"));
    houseNumber->setAccessibleName(QStringLiteral("Číslo popisné"));
}

void chainTabOrder(const QList<QWidget*>& controls) {
    for (qsizetype i = 1; i < controls.size(); ++i)
        QWidget::setTabOrder(controls[i - 1], controls[i]);
}

void setWidthInDigits(QLineEdit* box, int digits) {
    // The text margins of the style's frame plus the digits, with one to spare
    // for the cursor.
    QStyleOptionFrame option;
    option.initFrom(box);
    option.lineWidth = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box);
    const QSize text(box->fontMetrics().horizontalAdvance(QLatin1Char('0')) * (digits + 1),
                     box->fontMetrics().height());
    const QSize size = box->style()->sizeFromContents(QStyle::CT_LineEdit, &option, text + QSize(4, 2), box);
    box->setFixedWidth(size.width());
}

QPlainTextEdit* makeRecordLabel(const QString& name, QWidget* parent) {
    auto* text = new QPlainTextEdit(parent);
    text->setObjectName(name);
    text->setReadOnly(true);
    text->setFixedSize(kRecordLabelSize);
    text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    return text;
}

QLayout* captioned(QLabel* caption, const QList<QWidget*>& row, const QList<int>& stretches) {
    auto* line = new QHBoxLayout;
    line->setSpacing(2);
    for (int i = 0; i < row.size(); ++i)
        line->addWidget(row[i], i < stretches.size() ? stretches[i] : 0);
    auto* cell = new QVBoxLayout;
    cell->setSpacing(1);
    cell->addWidget(caption);
    cell->addLayout(line);
    return cell;
}

void layOutResultPage(QWidget* page, const QList<QLayout*>& searchBlocks, QWidget* record, QWidget* grid,
                      QWidget* status) {
    auto* left = new QVBoxLayout;
    left->setSpacing(8);
    for (QLayout* block : searchBlocks)
        left->addLayout(block);
    left->addStretch();

    auto* right = new QVBoxLayout;
    right->addWidget(record);
    right->addStretch();

    auto* top = new QHBoxLayout;
    top->setSpacing(10);
    top->addLayout(left, 1);
    top->addLayout(right);

    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(6, 6, 6, 2);
    layout->setSpacing(6);
    layout->addLayout(top);
    layout->addWidget(grid, 1);
    layout->addWidget(status);
}

void keepDigitsOnly(QLineEdit* box) {
    QObject::connect(box, &QLineEdit::textChanged, box, [box](const QString& text) {
        const QString digits = text::digitsOnly(text);
        if (digits == text) return;
        const int cursor = int(text::digitsOnly(text.left(box->cursorPosition())).size());
        box->setText(digits);
        box->setCursorPosition(cursor);
    });
}

void dropWildcardWhenSwitchedOff(WildcardSwitch* wildcard, QLineEdit* box) {
    QObject::connect(wildcard, &WildcardSwitch::toggled, box, [box](bool on) {
        if (!on && box->text().endsWith(u'*')) box->setText(box->text().chopped(1));
    });
}
