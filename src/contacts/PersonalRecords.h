#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <utility>

class PersonalSearch;

// Maintenance of the personal records (table Vlastni) by their ID: adding a
// record with the limit on their number, writing the values of one record and
// deleting one record. Widget-free; the page and the contact editor call in
// here and show the messages.
//
// Every write reaches exactly the record whose ID it names, through a
// statement of its own over that one record: the personal cursor of a listing
// is never moved, so a listing in progress goes on where it was. A write to an
// ID that no record has changes nothing and says so. The personal database is
// the user's only copy of the contacts; it is opened durable, so each write is
// on disk when the call returns. Engine failures are raised as db::Error with
// the engine's message, and nothing of the failed write is kept.
class PersonalRecords {
  public:
    // The most records the personal table may hold.
    static constexpr int kRecordLimit = 500;
    // Shown (caption "Informace", information icon) when adding is refused.
    static QString limitMessage();

    using Values = QList<std::pair<QString, QVariant>>; // column, value

    explicit PersonalRecords(PersonalSearch& search) : m_search(search) {}

    // The number of personal records.
    qint64 count();

    struct Addition {
        bool added = false;      // false: the limit is reached and nothing has changed
        bool freshTable = false; // a fresh working table was started: the page empties its boxes
        int id = 0;              // the new record's ID
    };
    // Adds an empty record: refused when the table holds kRecordLimit records or
    // more; otherwise starts a fresh working table when the page holds a listing
    // (or has no page open), appends the record, and its working row becomes the
    // page query's current row.
    Addition add(int pageSize);

    // Writes the values into the record with the ID; false when no record has it.
    bool update(int id, const Values& values);
    // Deletes the record with the ID; false when no record has it.
    bool remove(int id);

    // Deletes the page query's current row and the personal record with its
    // ID. When that record cannot be deleted the error is raised and the row
    // stays. A row whose ID no record has is taken off the page all the same:
    // nothing else could be reached through it. A marked row lowers the marked
    // count; the found count stays, as it numbers the listing's rows. False
    // when no record had the row's ID.
    bool removeCurrent();

    struct Removal {
        int rows = 0;    // marked rows taken off the working table
        int records = 0; // personal records deleted
    };
    // Deletes every marked row of the working table and the personal records
    // with their IDs, then shows the page's range again. The personal records
    // go as one unit: when one of them cannot be deleted none is, the rows
    // stay and the error is raised. The page query shows its range again in
    // every case. The marked count drops to 0.
    Removal removeMarked();

  private:
    PersonalSearch& m_search;
};
