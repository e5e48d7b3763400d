#pragma once

// Shared by the page and window layout tests: the program's font, the caption
// a person sees for a control, and the checks that a page fits and is tidy at
// a given size (nothing outside, nothing overlapping, no text cut off).

#include "ProgramFont.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

namespace layout_checks {

// The family the program uses (its designed one when installed): the layouts
// are checked in it.
inline QStringList programFontFamilies() {
    return {platform::programFont().family()};
}

inline void useProgramFont(const QString& family = {}) {
    QFont f = platform::programFont();
    if (!family.isEmpty()) f.setFamily(family);
    QApplication::setFont(f);
}

// Rows for a page that must fit alone and under the main window's tabs, in the
// program's font.
inline void addFitRows() {
    QTest::addColumn<bool>("inTabs");
    QTest::addColumn<QString>("font");
    for (bool inTabs : {false, true})
        for (const QString& family : programFontFamilies())
            QTest::addRow("%s, %s", inTabs ? "in tabs" : "alone", qPrintable(family)) << inTabs << family;
}

// One row named by the program's font, for a "font" column.
inline void addFontRows(const char* prefix = "") {
    for (const QString& family : programFontFamilies())
        QTest::newRow(qPrintable(QString::fromLatin1(prefix) + family)) << family;
}

// What a person reads as the control's caption: a button's or label's text, the
// titles of a grid's columns joined by "|", and for a box the text of the label
// that names it as its buddy (empty when no label does).
inline QString captionOf(QWidget* w) {
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* t = qobject_cast<QTableView*>(w)) {
        QStringList titles;
        for (int i = 0; t->model() && i < t->model()->columnCount(); ++i)
            titles << t->model()->headerData(i, Qt::Horizontal).toString();
        return titles.join(u'|');
    }
    for (QLabel* label : w->window()->findChildren<QLabel*>())
        if (label->buddy() == w) return label->text();
    return {};
}

inline QString describe(const QWidget* w) {
    if (!w->objectName().isEmpty()) return w->objectName();
    QString text;
    if (auto* l = qobject_cast<const QLabel*>(w)) text = l->text();
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) text = b->text();
    return QString::fromLatin1(w->metaObject()->className()) + QStringLiteral(" \"") + text + u'"';
}

// The controls a person sees as separate pieces: labels, buttons, boxes, lists
// and grids, but not the parts inside them (a combo box's editor, a grid's header).
inline QList<QWidget*> visibleControls(QWidget* page) {
    auto isControl = [](const QWidget* w) {
        return qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractButton*>(w) ||
               qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
               qobject_cast<const QAbstractScrollArea*>(w);
    };
    QList<QWidget*> controls;
    for (QWidget* w : page->findChildren<QWidget*>()) {
        if (!isControl(w) || !w->isVisibleTo(page)) continue;
        bool inner = false;
        for (QWidget* p = w->parentWidget(); p && p != page; p = p->parentWidget())
            if (isControl(p)) inner = true;
        if (!inner) controls << w;
    }
    return controls;
}

inline QRect rectIn(QWidget* w, QWidget* page) {
    return QRect(w->mapTo(page, QPoint(0, 0)), w->size());
}

// Everything that is wrong with the page's look at its present size; empty when
// it is tidy.
inline QStringList untidy(QWidget* page) {
    QStringList problems;
    const QList<QWidget*> controls = visibleControls(page);
    for (QWidget* w : controls) {
        const QRect r = rectIn(w, page);
        if (!page->rect().contains(r))
            problems << QStringLiteral("%1 lies outside the page").arg(describe(w));
        if (w->width() <= 0 || w->height() <= 0)
            problems << QStringLiteral("%1 has no size").arg(describe(w));
        // Texts must be whole.
        if (auto* l = qobject_cast<QLabel*>(w); l && !l->text().isEmpty() && !l->wordWrap()) {
            const QSize need = l->fontMetrics().size(Qt::TextShowMnemonic, l->text());
            if (l->contentsRect().width() < need.width() || l->contentsRect().height() < need.height())
                problems << QStringLiteral("%1 cuts its text").arg(describe(w));
        }
        if (auto* b = qobject_cast<QAbstractButton*>(w); b && !b->text().isEmpty()) {
            const QSize need = b->fontMetrics().size(Qt::TextShowMnemonic, b->text());
            const int extra = qobject_cast<QRadioButton*>(b) ? 16 : 8; // the radio's circle, a button's frame
            if (b->width() < need.width() + extra || b->height() < b->sizeHint().height())
                problems << QStringLiteral("%1 cuts its text").arg(describe(w));
        }
        if (auto* c = qobject_cast<QComboBox*>(w)) {
            if (c->width() < c->sizeHint().width() || c->height() < c->sizeHint().height())
                problems << QStringLiteral("%1 is too small for its items").arg(describe(w));
        }
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
            if (e->width() < 30 || e->height() < e->sizeHint().height())
                problems << QStringLiteral("%1 is too small").arg(describe(w));
        }
    }
    for (int i = 0; i < controls.size(); ++i)
        for (int j = i + 1; j < controls.size(); ++j)
            if (rectIn(controls[i], page).intersects(rectIn(controls[j], page)))
                problems
                    << QStringLiteral("%1 overlaps %2").arg(describe(controls[i]), describe(controls[j]));
    return problems;
}

// The status line: three parts side by side, each at least 180 pixels wide.
inline QStringList statusLineProblems(QSplitter* line) {
    QStringList problems;
    if (line->count() != 3) problems << QStringLiteral("the status line has %1 parts").arg(line->count());
    for (int i = 0; i < line->count(); ++i) {
        QWidget* part = line->widget(i);
        if (part->width() < 180)
            problems << QStringLiteral("%1 is %2 pixels wide").arg(describe(part)).arg(part->width());
        if (i > 0 && part->geometry().left() <= line->widget(i - 1)->geometry().right())
            problems << QStringLiteral("%1 is not right of the part before it").arg(describe(part));
    }
    return problems;
}

// Whether the label shows the text whole once it is set.
inline bool showsWhole(QLabel* label, const QString& text) {
    label->setText(text);
    return label->contentsRect().width() >= label->fontMetrics().horizontalAdvance(text);
}

// A page shown the way the program shows it: alone in a window of the given
// size, or as a tab of a tab control in document mode filling such a window.
struct Host {
    std::unique_ptr<QWidget> window;
    QWidget* page = nullptr;

    Host(QWidget* page, bool inTabs, QSize size) : page(page) {
        if (inTabs) {
            auto* tabs = new QTabWidget;
            tabs->setDocumentMode(true);
            tabs->addTab(page, QStringLiteral("    &Osoby    "));
            tabs->addTab(new QWidget, QStringLiteral("    &Firmy    "));
            window.reset(tabs);
        } else {
            window.reset(page);
        }
        window->resize(size);
        window->show();
        settle();
    }

    void resize(QSize size) {
        window->resize(size);
        settle();
    }

    void settle() {
        QApplication::processEvents();
        if (window->layout()) window->layout()->activate();
        if (page->layout()) page->layout()->activate();
        QApplication::processEvents();
    }
};

// ---- texts shown whole ---------------------------------------------------------

// The room a label gives its text: its contents less the margin, and less the
// indent on the side the text is aligned to (a framed label without an indent
// of its own indents by half an "x").
inline QRect labelTextRect(const QLabel* l) {
    const int m = l->margin();
    QRect r = l->contentsRect().adjusted(m, m, -m, -m);
    int indent = l->indent();
    if (indent < 0 && l->frameWidth()) indent = l->fontMetrics().horizontalAdvance(u'x') / 2 - m;
    if (indent > 0) {
        const Qt::Alignment a = QStyle::visualAlignment(l->layoutDirection(), l->alignment());
        if (a & Qt::AlignLeft) r.setLeft(r.left() + indent);
        if (a & Qt::AlignRight) r.setRight(r.right() - indent);
        if (a & Qt::AlignTop) r.setTop(r.top() + indent);
        if (a & Qt::AlignBottom) r.setBottom(r.bottom() - indent);
    }
    return r;
}

// The width of the room a grid cell gives its text: the column less its grid
// line and the item's text margins.
inline int cellTextRoom(const QTableView* grid, int column) {
    const int margin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
    return grid->horizontalHeader()->sectionSize(column) - (grid->showGrid() ? 1 : 0) - 2 * margin;
}

// Every text of the window's visible controls that its control does not show
// whole, measured with the control's own font: labels, buttons (a check or
// radio box's text beside its indicator), group box titles, tab texts, the
// items of combo boxes, the texts in edit boxes and the column titles of
// grids. One line per text: "window / control / text / needed / available"
// (pixels of width, or of height for a wrapped text).
inline QStringList cutTexts(QWidget* window, const QString& windowName) {
    QStringList cuts;
    auto check = [&](const QWidget* w, const QString& text, int needed, int available) {
        if (needed > available)
            cuts << QStringLiteral("%1 / %2 / \"%3\" / %4 / %5")
                        .arg(windowName, describe(w), text, QString::number(needed),
                             QString::number(available));
    };
    auto textSize = [](const QWidget* w, const QString& text) {
        return w->fontMetrics().size(Qt::TextShowMnemonic, text);
    };
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window)) continue;
        QStyle* style = w->style();
        if (auto* l = qobject_cast<QLabel*>(w); l && !l->text().isEmpty()) {
            const QRect room = labelTextRect(l);
            if (l->wordWrap()) {
                const QRect wrapped = l->fontMetrics().boundingRect(
                    QRect(0, 0, room.width(), 10000), Qt::TextWordWrap | Qt::TextShowMnemonic, l->text());
                check(l, l->text() + QStringLiteral(" (height)"), wrapped.height(), room.height());
            } else {
                const QSize need = textSize(l, l->text());
                check(l, l->text(), need.width(), room.width());
                check(l, l->text() + QStringLiteral(" (height)"), need.height(), room.height());
            }
        } else if (auto* b = qobject_cast<QAbstractButton*>(w); b && !b->text().isEmpty()) {
            QStyleOptionButton option;
            option.initFrom(b);
            option.text = b->text();
            option.icon = b->icon();
            option.iconSize = b->iconSize();
            QStyle::SubElement contents = QStyle::SE_PushButtonContents;
            if (qobject_cast<QCheckBox*>(b)) contents = QStyle::SE_CheckBoxContents;
            if (qobject_cast<QRadioButton*>(b)) contents = QStyle::SE_RadioButtonContents;
            if (auto* p = qobject_cast<QPushButton*>(b); p && (p->autoDefault() || p->isDefault()))
                option.features |= QStyleOptionButton::AutoDefaultButton;
            const int icon = b->icon().isNull() ? 0 : b->iconSize().width() + 4;
            check(b, b->text(), textSize(b, b->text()).width() + icon,
                  style->subElementRect(contents, &option, b).width());
        } else if (auto* g = qobject_cast<QGroupBox*>(w); g && !g->title().isEmpty()) {
            QStyleOptionGroupBox option;
            option.initFrom(g);
            option.text = g->title();
            option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
            const QRect label =
                style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, g);
            // The title keeps as much room from the right edge as from the left.
            check(g, g->title(), textSize(g, g->title()).width(), g->width() - 2 * std::max(0, label.left()));
        } else if (auto* t = qobject_cast<QTabBar*>(w)) {
            const int space = style->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, t);
            for (int i = 0; i < t->count(); ++i)
                check(t, t->tabText(i), textSize(t, t->tabText(i)).width() + space,
                      t->tabRect(i).intersected(t->rect()).width());
        } else if (auto* c = qobject_cast<QComboBox*>(w)) {
            QStyleOptionComboBox option;
            option.initFrom(c);
            option.editable = c->isEditable();
            // The shown item keeps a pixel from each side of the field.
            const QRect field =
                style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, c);
            const int room = field.width() - 2;
            for (int i = 0; i < c->count(); ++i)
                check(c, c->itemText(i), c->fontMetrics().horizontalAdvance(c->itemText(i)), room);
        } else if (auto* e = qobject_cast<QLineEdit*>(w);
                   e && !e->text().isEmpty() && !qobject_cast<QComboBox*>(e->parentWidget())) {
            QStyleOptionFrame option;
            option.initFrom(e);
            option.lineWidth =
                e->hasFrame() ? style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, e) : 0;
            const QMargins text = e->textMargins();
            // The box keeps two pixels on each side of its text, and one for the cursor.
            const int room = style->subElementRect(QStyle::SE_LineEditContents, &option, e).width() -
                             text.left() - text.right() - 2 * 2 - 1;
            check(e, e->text(), e->fontMetrics().horizontalAdvance(e->text()), room);
        } else if (auto* h = qobject_cast<QHeaderView*>(w);
                   h && h->orientation() == Qt::Horizontal && h->model()) {
            const int margin = style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, h);
            for (int i = 0; i < h->count(); ++i) {
                if (h->isSectionHidden(i)) continue;
                const QString title = h->model()->headerData(i, Qt::Horizontal).toString();
                if (title.isEmpty()) continue;
                check(h, title, h->fontMetrics().horizontalAdvance(title) + 2 * margin, h->sectionSize(i));
            }
        }
    }
    return cuts;
}

} // namespace layout_checks
