#pragma once

#include "ImportFile.h"
#include "ImportMapping.h"

#include <QList>
#include <QString>

#include <functional>

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

// The text as a personal column stores it: in a one-line (Text) column each
// line break becomes a blank, then the text is cleaned as cleanValue() does and
// cut to the column's size (a Memo column keeps its lines and is never cut); a
// cut adds one to *cut.
QString fitted(const QString& column, const QString& text, int* cut);

// The columns and texts one row gives under the assignments, cleaned and cut
// to the column sizes of the personal table; cut counts the values that were
// longer than their column. Empty texts are left out.
QList<std::pair<QString, QString>> assign(const QStringList& row, const QList<Assignment>& assignments,
                                          int* cut);

struct ImportOutcome {
    int posted = 0;            // records stored
    int cut = 0;               // values cut to their column's size
    int leftOut = 0;           // data of the source that no column of a record holds
    bool limitReached = false; // the record limit stopped the import
    int cancelledLeft = -1;    // the user stopped the import: the records not posted; -1 when not stopped
    bool freshTable = false;   // a fresh working table was started
    QString error;             // a write failed: the engine's message; the records before it stay
    QString failure;           // the import could not start or end: the engine's message
};

// One new personal record as an import source gives it.
struct NewRecord {
    QList<std::pair<QString, QString>> values; // column and text, as fitted() gives them
    QString addressKind;                       // its zobraz_adr
    int cut = 0;                               // values cut to their column's size
    int leftOut = 0;                           // data of the source the record cannot hold
};

// The outcome of an import from a file: why the file was refused, or what
// posting its records gave.
struct FileImport {
    QString refused; // the file was not read or holds no records to import: why; nothing was imported
    ImportOutcome outcome;
};

// Told after each record posted: how many are posted and how many there are.
// Lets pending events through; false stops the import after that record.
using ImportProgress = std::function<bool(int posted, int total)>;

// Posts the records as new personal records, as long as the personal table
// holds fewer than the record limit. The Vlastní page's open personal cursor
// receives the records (it is opened on a fresh working table only when it
// is closed); the shown range and the last shown number end at the last new
// row. Each record is stored when it is posted. A failed write stops the
// import and is reported in the outcome, as error; an engine error outside
// the writes (preparing the working table, counting the records, showing the
// new rows) is reported as failure, and freshTable then tells whether the
// working table was to be started afresh. Cut and left-out data are counted
// for the records posted. progress,
// when given, is told of every record posted and can stop the import; the
// records posted before it stopped stay and are counted.
ImportOutcome postRecords(PersonalSearch& search, const QList<NewRecord>& records, int pageSize,
                          const ImportProgress& progress = {});

// Posts one new personal record per row of the table, as postRecords() does.
ImportOutcome importContacts(PersonalSearch& search, const ImportTable& table,
                             const QList<Assignment>& assignments, int pageSize,
                             const ImportProgress& progress = {});

// A file's path as the messages name it: in double quotes, with the system's separators.
QString quotedPath(const QString& path);
// The file chosen for an import cannot be opened for reading.
QString unreadableFileMessage(const QString& path, const QString& reason);

// The texts of the import's outcome.
QString resultMessage(const ImportOutcome& outcome);
QString failedImportMessage(const ImportOutcome& outcome);
QString previewFirstMessage();

// A message for the user, as a window shows it.
struct Notice {
    enum class Kind { Information, Warning };
    Kind kind = Kind::Information;
    QString text;
    friend bool operator==(const Notice&, const Notice&) = default;
};

// The messages that tell the outcome of an import, in the order they are
// shown: the engine's failure alone; otherwise the limit message when the
// limit stopped the import, then the message of a failed write or the result.
QList<Notice> outcomeNotices(const ImportOutcome& outcome);

} // namespace io
