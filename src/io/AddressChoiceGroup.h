#pragma once

#include "AddressChoice.h"

#include <QGroupBox>

class QButtonGroup;

namespace io {

// The frame with the four choices as radio buttons (objectName "RadioGroup2"),
// "výchozí pro každý záznam" chosen at first. The dialogs that show it keep it
// for the whole run, so the choice stays as the user left it.
class AddressChoiceGroup : public QGroupBox {
    Q_OBJECT

  public:
    AddressChoiceGroup(const QString& title, QWidget* parent = nullptr);

    AddressChoice choice() const;
    void setChoice(AddressChoice choice);

  private:
    QButtonGroup* m_buttons = nullptr;
};

} // namespace io
