#pragma once

#include "ImportFile.h"
#include "ImportMapping.h"

#include <QList>
#include <QString>

class PersonalSearch;

// Posting the rows of an import file as new personal records through the
// personal cursor of the Vlastní page. Widget-free: the import window shows
// the messages and the page shows the new rows.
namespace io {

// A value for a personal column: telephone and postal code columns (their
// names hold "tel" or "psc") lose "+420", then every "(", ")", blank, "-" and
// "/"; other columns keep the text.
QString cleanValue(const QString& column, const QString& text);

// The address kind of a new record: "domu" when any home address column is
// filled, else "zam" for any work address column, else "jine" for any other
// address column, else "domu". values: column and text, as assign() gives them.
QString addressKind(const QList<std::pair<QString, QString>>& values);

// The columns and texts one row gives under the assignments, cleaned and cut
// to the column sizes of the personal table; cut counts the values that were
// longer than their column. Empty texts are left out.
QList<std::pair<QString, QString>> assign(const QStringList& row, const QList<Assignment>& assignments,
                                          int* cut);

struct ImportOutcome {
    int posted = 0;            // records stored
    int cut = 0;               // values cut to their column's size
    bool limitReached = false; // the record limit stopped the import
    bool freshTable = false;   // a fresh working table was started
    QString error;             // a write failed: the engine's message; the records before it stay
};

// Posts one new personal record per row of the table, as long as the personal
// table holds fewer than the record limit. The Vlastní page's open personal
// cursor receives the records (it is opened on a fresh working table only
// when it is closed); the shown range and the last shown number end at the
// last new row. Each record
// is on disk when it is posted. A failed write stops the import and is
// reported in the outcome; an error before the first record is raised.
ImportOutcome importContacts(PersonalSearch& search, const ImportTable& table,
                             const QList<Assignment>& assignments, int pageSize);

// The texts of the import's outcome.
QString resultMessage(const ImportOutcome& outcome);
QString failedImportMessage(const ImportOutcome& outcome);
QString previewFirstMessage();

} // namespace io
