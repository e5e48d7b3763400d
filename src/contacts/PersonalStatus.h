#pragma once

#include <QLocale>
#include <QString>

// The texts of the Vlastní page's status line. The limits part (status_v) is
// Limits::summary of the personal list.
namespace personal_status {

// dones_v after a copy step or an edit: both counts as plain numbers.
QString counts(int found, int marked);
// dones_v after marking: the found count with the locale's thousands separators.
QString countsAfterMarking(int found, int marked, const QLocale& locale = QLocale());
// Label57: the number of personal records.
QString total(qint64 records);

} // namespace personal_status
