#include "AddressChoiceGroup.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace io {

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
