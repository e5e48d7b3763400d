#include "LabelJob.h"

#include "Dataset.h"
#include "LabelRecords.h"

#include <QPrinter>

namespace labels {

QString jobTitle(Print print) {
    switch (print) {
    case Print::Persons:
        return QStringLiteral("Ordana 2004 - TISK - OSOBY");
    case Print::Firms:
        return QStringLiteral("Ordana 2004 - TISK - FIRMY");
    case Print::Personal:
        break;
    }
    return QStringLiteral("Ordana 2004 - TISK - VLASTNÍ");
}

QString markedRowsStatement(Print print, int searchLimit) {
    const QString top = QStringLiteral("SELECT TOP ") + QString::number(searchLimit);
    switch (print) {
    case Print::Persons:
        return top + QStringLiteral(" * FROM Osoby WHERE Zn = True");
    case Print::Firms:
        return top + QStringLiteral(" * FROM Firmy WHERE Zn = True");
    case Print::Personal:
        break;
    }
    return QStringLiteral("SELECT * FROM Vlastni WHERE Zn = True");
}

PrintOutcome printMarked(db::Database& results, Print print, io::AddressChoice choice, int searchLimit,
                         QPrinter& printer) {
    db::Dataset marked;
    marked.setDatabase(&results);
    marked.setSql(markedRowsStatement(print, searchLimit));
    marked.open();
    printer.setDocName(jobTitle(print));
    DatasetRecords records(marked);
    return LabelPrinter(print, choice, QDateTime::currentDateTime()).print(printer, records);
}

QString incompleteMessage(int printed, const QString& error) {
    return QStringLiteral("Tisk nebyl dokončen, vytištěno záznamů: ") + QString::number(printed) +
           QStringLiteral(". ") + error;
}

} // namespace labels
