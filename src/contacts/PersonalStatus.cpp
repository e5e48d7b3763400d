#include "PersonalStatus.h"

namespace personal_status {

namespace {

QString countsText(const QString& found, int marked) {
    return QString::fromUtf8(" Počet záznamů: ") + found + QString::fromUtf8(" nalezených,  ") +
           QString::number(marked) + QString::fromUtf8(" označených");
}

} // namespace

QString counts(int found, int marked) {
    return countsText(QString::number(found), marked);
}

QString countsAfterMarking(int found, int marked, const QLocale& locale) {
    return countsText(locale.toString(found), marked);
}

QString total(qint64 records) {
    return QString::fromUtf8("Celkový počet záznamů: ") + QString::number(records) + QStringLiteral("  ");
}

} // namespace personal_status
