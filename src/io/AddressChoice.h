#pragma once

#include "PersonalColumns.h"

#include <QGroupBox>
#include <QString>
#include <QStringList>

#include <optional>

class QButtonGroup;

namespace io {

// Which address of a personal record an export or a print of personal
// contacts takes: one of the three kinds, or each record's own default.
enum class AddressChoice { Home, Work, Other, RecordDefault };

// "domů", "firemní", "jiná", "výchozí pro každý záznam", in the order of AddressChoice.
QStringList addressChoiceCaptions();

// The address group chosen; none for the record's default address, which the
// working table keeps in its current-address group.
std::optional<personal_columns::AddressKind> addressKind(AddressChoice choice);

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
