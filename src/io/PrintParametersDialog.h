#pragma once

#include "AddressChoiceGroup.h"

#include <QDialog>

class QPushButton;

// Asks which address of the personal records to print. Created once and kept
// for the run, so the choice stays as the user left it. "&Tisk" (also Enter)
// accepts; Escape closes without printing.
class PrintParametersDialog : public QDialog {
    Q_OBJECT

  public:
    explicit PrintParametersDialog(QWidget* parent = nullptr);

    io::AddressChoice choice() const;
    io::AddressChoiceGroup* choiceGroup() const { return m_choice; }
    QPushButton* printButton() const { return m_print; }

  private:
    io::AddressChoiceGroup* m_choice = nullptr;
    QPushButton* m_print = nullptr;
};
