#include "AddressChoice.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace io {

QStringList addressChoiceCaptions() {
    return {QString::fromUtf8("domů"), QString::fromUtf8("firemní"), QString::fromUtf8("jiná"),
            QString::fromUtf8("výchozí pro každý záznam")};
}

std::optional<personal_columns::AddressKind> addressKind(AddressChoice choice) {
    switch (choice) {
    case AddressChoice::Home:
        return personal_columns::AddressKind::Home;
    case AddressChoice::Work:
        return personal_columns::AddressKind::Work;
    case AddressChoice::Other:
        return personal_columns::AddressKind::Other;
    case AddressChoice::RecordDefault:
        break;
    }
    return std::nullopt;
}

AddressChoiceGroup::AddressChoiceGroup(const QString& title, QWidget* parent)
    : QGroupBox(title, parent), m_buttons(new QButtonGroup(this)) {
    setObjectName(QStringLiteral("RadioGroup2"));
    auto* column = new QVBoxLayout(this);
    const QStringList captions = addressChoiceCaptions();
    for (int i = 0; i < captions.size(); ++i) {
        auto* option = new QRadioButton(captions[i], this);
        m_buttons->addButton(option, i);
        column->addWidget(option);
    }
    setChoice(AddressChoice::RecordDefault);
}

AddressChoice AddressChoiceGroup::choice() const {
    const int id = m_buttons->checkedId();
    return id < 0 ? AddressChoice::RecordDefault : AddressChoice(id);
}

void AddressChoiceGroup::setChoice(AddressChoice choice) {
    if (QAbstractButton* option = m_buttons->button(int(choice))) option->setChecked(true);
}

} // namespace io
