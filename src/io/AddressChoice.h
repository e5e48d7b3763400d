#pragma once

#include <QString>
#include <QStringList>

namespace io {

// Which address of a personal record an export or a print of personal
// contacts takes: one of the three kinds, or each record's own default.
enum class AddressChoice { Home, Work, Other, RecordDefault };

// "domů", "firemní", "jiná", "výchozí pro každý záznam", in the order of AddressChoice.
QStringList addressChoiceCaptions();

// The prefix of the chosen address's columns in the personal tables: "domu_",
// "zam_" or "jine_"; empty for the record's default address, which the
// working table keeps in its own Ulice, CP, Obec, Cast and PSC.
QString addressColumnPrefix(AddressChoice choice);

} // namespace io
