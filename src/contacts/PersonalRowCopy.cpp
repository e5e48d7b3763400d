#include "PersonalRowCopy.h"

#include "Dataset.h"
#include "PersonalColumns.h"

#include <QStringList>

namespace personal_copy {

namespace {

using namespace personal_columns;

// A value in its shown form; Null stays Null.
void copyShown(const db::Dataset& from, const QString& fromColumn, db::Dataset& to, const QString& toColumn) {
    if (formOf(toColumn) == Form::Plain) {
        to.setValue(toColumn, from.value(fromColumn));
        return;
    }
    if (from.isNull(fromColumn)) return;
    to.setValue(toColumn, shownForm(toColumn, from.text(fromColumn)));
}

} // namespace

QString addressKind(const QString& zobrazAdr) {
    return kindName(shownKind(zobrazAdr));
}

void copyToWorking(const db::Dataset& record, db::Dataset& working, int runningNumber) {
    working.setValue(kRunningNumber, runningNumber);
    working.setValue(kMark, false);
    working.setValue(kId, record.value(kId));

    const AddressKind kind = shownKind(record.text(kAddressKind));
    for (AddressPart part : kAddressParts)
        copyShown(record, addressColumn(kind, part), working, currentColumn(part));
    for (const QString& column : valueColumns())
        copyShown(record, column, working, column);
    working.setValue(kAddressKind, kindName(kind));
}

} // namespace personal_copy
