#include "NumberPicker.h"

#include "PageWidgets.h"
#include "ToolWindow.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>

NumberPicker::NumberPicker(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(QStringLiteral("Vyber číslo"));
    platform::makeToolWindow(this);

    // The items get their check boxes when they are added (Qt::ItemIsUserCheckable).
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("CheckListBox1"));
    m_list->setAccessibleName(QStringLiteral("Telefonní čísla"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setMinimumSize(60, 40);

    m_all = makeButton(QStringLiteral("BitBtn2"), QStringLiteral("&Vše"), true, this);
    m_copy = makeButton(QStringLiteral("BitBtn1"), QStringLiteral("&Kopíruj"), true, this);
    allowNarrowButton(m_all);
    allowNarrowButton(m_copy);

    // The strip under the list takes the rest of the designed height, so the
    // list has its designed size at the designed size of the window.
    auto* strip = new QWidget(this);
    strip->setFixedHeight(kClientSize.height() - kListSize.height());
    auto* buttons = new QHBoxLayout(strip);
    buttons->setContentsMargins(3, 0, 3, 0);
    buttons->setSpacing(4);
    buttons->addWidget(m_all, 1);
    buttons->addWidget(m_copy, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_list, 1);
    layout->addWidget(strip);

    resize(kClientSize);

    // Enter copies, as the copy button does.
    m_copy->setDefault(true);
    connect(m_copy, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_all, &QPushButton::clicked, this, [this] {
        for (int i = 0; i < m_list->count(); ++i)
            m_list->item(i)->setCheckState(Qt::Checked);
        accept();
    });
    connect(m_list, &QListWidget::itemActivated, this, [this] {
        if (m_callMode) accept();
    });
}

std::optional<QStringList> NumberPicker::choose(const QStringList& items, const QPoint& topLeft) {
    m_list->clear();
    for (const QString& text : items) {
        auto* item = new QListWidgetItem(text, m_list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    if (items.isEmpty()) return std::nullopt;
    m_list->item(0)->setCheckState(Qt::Checked);
    if (items.size() > 1) {
        m_list->setCurrentRow(0);
        move(topLeft);
        if (exec() != QDialog::Accepted) return std::nullopt;
    }
    QStringList ticked;
    for (int i = 0; i < m_list->count(); ++i)
        if (m_list->item(i)->checkState() == Qt::Checked) ticked << m_list->item(i)->text();
    return ticked;
}

QPoint NumberPicker::placeFor(const QWidget* window, int imageLeft) {
    constexpr int kShiftLeft = 285;
    constexpr int kTop = 93;
    return {window->geometry().left() + imageLeft - kShiftLeft, window->geometry().top() + kTop};
}

std::optional<int> NumberPicker::chooseOne(const QStringList& items, const QPoint& topLeft) {
    if (items.size() <= 1) return items.isEmpty() ? std::nullopt : std::optional<int>(0);
    m_list->clear();
    m_list->addItems(items);
    m_list->setCurrentRow(0);
    m_callMode = true;
    m_all->hide();
    m_copy->setText(QStringLiteral("&Volat"));
    const auto copyAgain = qScopeGuard([this] {
        m_callMode = false;
        m_all->show();
        m_copy->setText(QStringLiteral("&Kopíruj"));
    });
    move(topLeft);
    if (exec() != QDialog::Accepted || m_list->currentRow() < 0) return std::nullopt;
    return m_list->currentRow();
}
