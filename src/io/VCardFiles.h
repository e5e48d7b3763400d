#pragma once

#include "ContactImport.h"

#include <QList>
#include <QString>

#include <optional>

class PersonalSearch;

namespace db {
class Database;
}

// Personal records written to and read from vCard files. Widget-free: the
// main window asks the question, asks for the files and shows the messages.
namespace io {

// The IDs of the marked rows of the Vlastní page's working table, in the order of the listing.
QList<int> markedRecordIds(db::Database& results);

// The records a vCard export takes from the Vlastní page: the marked rows;
// without marks every personal record, once the user agrees to the question.
struct VCardSelection {
    std::optional<QList<int>> ids; // the IDs of the marked records; empty for every record
    QString refusal;               // nothing can be exported: the message for the user
    QString question;              // asked before every record is exported; empty when there are marks
};
VCardSelection vcardSelection(PersonalSearch& search);

struct VCardExport {
    int written = 0;
    QString error; // the export failed: the message for the user; no file of the export is left
};
// Writes one card per personal record into the file: the records with the
// IDs in that order (an ID no record has is passed over), or every record by
// its ID when ids is empty. The file is replaced as a whole or not at all.
VCardExport exportVCards(db::Database& personal, const std::optional<QList<int>>& ids, const QString& path);

using VCardImport = FileImport;
// Reads the cards of the file and posts one new personal record for each
// card that gives any value, as the text import posts its rows (the working
// table, the record limit, each record stored when posted, the engine's
// failures in the outcome). A file that cannot be read or holds no complete
// vCard imports nothing. progress, when
// given, is told of every record posted and can stop the import.
VCardImport importVCards(PersonalSearch& search, const QString& path, int pageSize,
                         const ImportProgress& progress = {});

// The messages of the vCard export and import.
QString noPersonalRecordsMessage();
QString exportAllQuestion(qint64 records);
QString exportFailedMessage(const QString& path, const QString& reason);
QString personalNotReadyMessage();

} // namespace io
