#pragma once

#include <QString>

namespace db {
class Dataset;
}

// The copy step of the Vlastní page: a personal record (a row of Vlastni)
// into the working table (vlastni), with the address its default kind names
// copied into the current-address group, postal codes split and telephone
// numbers grouped. The caller appends and posts the working row.
namespace personal_copy {

// The address group a record shows: "domu", "zam" or "jine" (letter case and
// surrounding blanks ignored); an empty or unknown value counts as "domu".
QString addressKind(const QString& zobrazAdr);

// Fills the appended working row from the personal record: ID2 =
// runningNumber, Zn false, ID and the other columns in the order of the
// record. Reading or writing a column may throw db::Error; the columns before
// the failing one are then already set, and the caller posts the row as far
// as it was filled.
void copyToWorking(const db::Dataset& record, db::Dataset& working, int runningNumber);

} // namespace personal_copy
