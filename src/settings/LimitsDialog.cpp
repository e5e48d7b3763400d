#include "LimitsDialog.h"

#include "Application.h"
#include "ToolWindow.h"
#include "WindowPlacement.h"

#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr Limits::List kLists[] = {Limits::List::Persons, Limits::List::Firms, Limits::List::Personal};

int slot(Limits::List list, Limits::Kind kind) {
    return int(list) * 2 + (kind == Limits::Kind::Searched ? 1 : 0);
}

} // namespace

LimitsDialog::LimitsDialog(Application& app, QWidget* parent) : QDialog(parent), m_limits(app.limits()) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Limity a nastavení parametrů"));
    platform::makeToolWindow(this);

    const QString rowCaptions[] = {QStringLiteral("OSOBY"), QStringLiteral("FIRMY"),
                                   QStringLiteral("VLASTNÍ")};
    auto makeGroup = [&](Limits::Kind kind, const QString& caption, const QString& hint) {
        auto* box = new QGroupBox(caption, this);
        box->setObjectName(kind == Limits::Kind::Displayed ? QStringLiteral("GroupBox1")
                                                           : QStringLiteral("GroupBox2"));
        auto* form = new QFormLayout(box);
        form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        for (Limits::List list : kLists) {
            auto* edit = new QLineEdit(box);
            edit->setObjectName(Limits::fieldName(list, kind));
            edit->setToolTip(hint);
            edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
            edit->setText(m_limits.text(list, kind));
            m_fields[slot(list, kind)] = edit;
            auto* label = new QLabel(rowCaptions[int(list)], box);
            label->setBuddy(edit);
            form->addRow(label, edit);

            // The field shows what the model accepted: a corrected text replaces
            // the typed one at once (also when the model already held it).
            connect(edit, &QLineEdit::textChanged, this, [this, list, kind, edit](const QString& text) {
                const QString accepted = m_limits.setText(list, kind, text);
                if (edit->text() != accepted) edit->setText(accepted);
            });
        }
        box->installEventFilter(this);
        return box;
    };
    auto* displayed = makeGroup(Limits::Kind::Displayed, QStringLiteral("zobrazené záznamy"),
                                QStringLiteral("Zadejte počet zobrazených záznamů"));
    auto* searched = makeGroup(Limits::Kind::Searched, QStringLiteral("vyhledané záznamy"),
                               QStringLiteral("Zadejte počet vyhledaných záznamů"));

    auto* saveButton = new QPushButton(QStringLiteral("&Uložit"), this);
    saveButton->setObjectName(QStringLiteral("BitBtn1"));
    saveButton->setDefault(true);
    auto* backButton = new QPushButton(QStringLiteral("&Zpět"), this);
    backButton->setObjectName(QStringLiteral("BitBtn2"));
    backButton->setAutoDefault(false);
    connect(saveButton, &QPushButton::clicked, this, &LimitsDialog::save);
    connect(backButton, &QPushButton::clicked, this, &LimitsDialog::back);

    auto* groups = new QHBoxLayout;
    groups->addWidget(displayed);
    groups->addWidget(searched);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(backButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Changes the program makes to the limits (restoring saved values, "&Zpět")
    // show in the fields.
    connect(&m_limits, &Limits::changed, this, &LimitsDialog::showModelText);
    for (Limits::List list : kLists)
        m_openedDisplayed[int(list)] = m_limits.text(list, Limits::Kind::Displayed);
}

QLineEdit* LimitsDialog::field(Limits::List list, Limits::Kind kind) const {
    return m_fields[slot(list, kind)];
}

void LimitsDialog::showModelText(Limits::List list, Limits::Kind kind) {
    QLineEdit* edit = field(list, kind);
    const QString text = m_limits.text(list, kind);
    if (edit->text() != text) edit->setText(text);
}

void LimitsDialog::showEvent(QShowEvent* event) {
    // What "&Zpět" goes back to.
    for (Limits::List list : kLists)
        m_openedDisplayed[int(list)] = m_limits.text(list, Limits::Kind::Displayed);
    settings::centreOn(this, parentWidget());
    QDialog::showEvent(event);
}

bool LimitsDialog::eventFilter(QObject* watched, QEvent* event) {
    // A click on a group box itself (its caption or frame, not a field in it)
    // puts the focus into the first field.
    if (event->type() == QEvent::MouseButtonPress && qobject_cast<QGroupBox*>(watched))
        field(Limits::List::Persons, Limits::Kind::Displayed)->setFocus(Qt::MouseFocusReason);
    return QDialog::eventFilter(watched, event);
}

void LimitsDialog::save() {
    m_limits.fillEmpty();
    emit saved();
    accept();
}

void LimitsDialog::back() {
    // Only the displayed-records fields go back; their validation restores the
    // page sizes and the paging hints.
    for (Limits::List list : kLists)
        m_limits.setText(list, Limits::Kind::Displayed, m_openedDisplayed[int(list)]);
    reject();
}
