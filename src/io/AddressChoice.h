#pragma once

#include "PersonalColumns.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace io {

// Which address of a personal record an export or a print of personal
// contacts takes: one of the three kinds, or each record's own default.
enum class AddressChoice { Home, Work, Other, RecordDefault };

// "domů", "firemní", "jiná", "výchozí pro každý záznam", in the order of AddressChoice.
QStringList addressChoiceCaptions();

// The address group chosen; none for the record's default address, which the
// working table keeps in its current-address group.
std::optional<personal_columns::AddressKind> addressKind(AddressChoice choice);

} // namespace io
