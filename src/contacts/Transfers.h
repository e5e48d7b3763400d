#pragma once

#include "SearchCriteria.h"

#include <QString>

namespace db {
class Database;
class Dataset;
} // namespace db

class PersonalSearch;

namespace transfers {

// The word that follows the last occurrence of marker in text ("URL: ",
// "E-mail: "): up to the next space, or to the end of the text. Empty when the
// marker does not occur.
QString wordAfterMarker(const QString& text, const QString& marker);

// Fills a new personal record from a row of a directory working table (Osoby
// or Firmy): the directory's address goes into one address group ("domu" for
// persons, "zam" for firms), its phone into one phone column; postal code and
// phone lose their blanks. Empty values leave the record's columns empty.
void fillRecord(search_criteria::Directory directory, const db::Dataset& row, db::Dataset& record);

} // namespace transfers

// Taking directory records over into the personal records: the current row of
// a directory page, or all its marked rows. Widget-free: the pages show the
// messages, open the contact editor and switch to the Vlastní page.
//
// Both keep the limit on the number of personal records and start from the
// working table of the Vlastní page as additions do: a fresh one when the page
// holds a listing, otherwise the one earlier additions started. Every new
// record is written on its own and appended to that working table.
class Transfers {
  public:
    using Directory = search_criteria::Directory;

    // Shown (caption "Informace", information icon) when a single transfer is refused.
    static QString singleLimitMessage();
    // Shown (caption "Informace", information icon) when a transfer of marked rows is refused.
    static QString bulkLimitMessage();
    // Shown (caption "Informace", information icon) when no row is selected for a transfer.
    static QString noSelectionMessage();

    explicit Transfers(PersonalSearch& search) : m_search(search) {}

    struct Single {
        bool transferred = false; // false: the limit is reached and nothing has changed
        bool freshTable = false;  // a fresh working table was started
        int id = 0;               // the new record's ID
        QString addressKind;      // the editor's address group: "domu" or "zam"
    };
    // Takes row (the directory page's current row) over into a new personal
    // record, refused when the personal table holds the limit or more. The new
    // record's working row is the page query's current row, ready for the
    // editor's new-record mode. A write error is raised with nothing stored.
    Single transferOne(Directory directory, const db::Dataset& row, int pageSize);

    enum class BulkResult {
        Refused, // the limit would be exceeded: nothing has changed
        Stored,  // every marked row is stored
        Failed,  // a write failed: the rows before it are stored and shown
    };
    struct Bulk {
        BulkResult result = BulkResult::Refused;
        int stored = 0; // records stored
        QString error;  // with Failed: the engine's message
    };
    // Takes the marked rows of the directory working table in results over into
    // new personal records, at most searchLimit of them, refused when the stored
    // records and markedCount together exceed the limit. The stored rows are
    // what the Vlastní page shows afterwards, also when a write failed part way.
    // An error before anything is stored is raised.
    Bulk transferMarked(Directory directory, db::Database& results, int markedCount, int searchLimit,
                        int pageSize);

  private:
    PersonalSearch& m_search;
};
