#pragma once

// Shared by the page and window layout tests: the program's font, the caption
// a person sees for a control, and the checks that a page fits and is tidy at
// a given size (nothing outside, nothing overlapping, no text cut off).

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

namespace layout_checks {

// The families the program chooses from for its 11-pixel sans-serif, as far as
// they are installed here; the layouts must fit in each of them.
inline QStringList programFontFamilies() {
    QStringList families;
    for (const char* family : {"Liberation Sans", "DejaVu Sans"})
        if (QFontDatabase::hasFamily(QString::fromLatin1(family))) families << QString::fromLatin1(family);
    return families;
}

inline void useProgramFont(const QString& family) {
    QFont f(family);
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(11);
    QApplication::setFont(f);
}

// Adds a "font" column and one row per installed program font to a data function.
// Rows for a page that must fit alone and under the main window's tabs, in each font.
inline void addFitRows() {
    QTest::addColumn<bool>("inTabs");
    QTest::addColumn<QString>("font");
    for (bool inTabs : {false, true})
        for (const QString& family : programFontFamilies())
            QTest::addRow("%s, %s", inTabs ? "in tabs" : "alone", qPrintable(family)) << inTabs << family;
}

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

} // namespace layout_checks
