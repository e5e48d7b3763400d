#pragma once

#include "ContactImport.h"

#include <QList>
#include <QString>

class PersonalSearch;

namespace db::jet {
class File;
}

// The contacts of the earlier Windows installation: its personal database is
// a Jet file whose table Vlastni has the columns of our personal table. Its
// records are added to the personal database as the other imports add
// theirs. Widget-free: the main window asks for the file and shows the
// messages.
namespace io {

struct OldRecords {
    QString refused; // the file holds no personal table or cannot be read: why
    QList<NewRecord> records;
};

// The records of the file's personal table (Vlastni, letter case ignored) in
// the file's order, at most limit of them; a row that gives no value is passed
// over. A column named as a column of the personal table (letter case ignored)
// gives its value as that column stores text: fitted, with numbers, dates and
// amounts in the form the engine shows them. zobraz_adr is kept when it names
// an address kind; otherwise addressKind() decides. The key, the running
// number and the mark are not copied, so the new records get keys of their
// own; a value in a column the personal table lacks, or one of a type no text
// holds (binary), is counted as left out. A read failure refuses the whole
// file, so that nothing of a damaged file is imported.
OldRecords recordsFromOldDatabase(const db::jet::File& file, int limit);

// Opens the old personal database and posts its records as postRecords()
// does (the working table, the record limit, each record stored when posted,
// the engine's failures in the outcome). A file that cannot be read, is no
// Jet file or holds no personal table imports nothing, and says why.
FileImport importOldDatabase(PersonalSearch& search, const QString& path, int pageSize,
                             const ImportProgress& progress = {});

// The file holds no personal table.
QString noPersonalTableMessage(const QString& path);

} // namespace io
