#pragma once

#include "Database.h"
#include "Dataset.h"
#include "Error.h"

#include <QString>

#include <optional>
#include <utility>

namespace db {
class WorkingDatabase;
}

// Paging shared by the result pages: the page query over a working table with
// the shown range and the counts of a listing, the unit a fill's rows are
// written in, and the look-ahead that tells whether a cursor has a row beyond
// its current one.
namespace paging {

// Rows appended one by one are written as one unit. commit() ends the unit
// and raises the engine's error when the commit fails; a unit left without
// commit (by an exception) is rolled back.
class WriteUnit {
  public:
    explicit WriteUnit(db::Database* database) : m_db(database) {
        if (m_db) m_db->beginTransaction();
    }
    ~WriteUnit() {
        if (!m_db) return;
        try {
            m_db->rollback();
        } catch (const db::Error&) {
            // An error is on its way out already; it is the one to report.
        }
    }
    WriteUnit(const WriteUnit&) = delete;
    WriteUnit& operator=(const WriteUnit&) = delete;

    // Once committing, the unit is over: a failed commit leaves the connection
    // rolled back, so there is nothing left to roll back here.
    void commit() {
        if (db::Database* database = std::exchange(m_db, nullptr)) database->commit();
    }

  private:
    db::Database* m_db;
};

// Whether the query has no row beyond its current one: false when it is not
// open, true when it is past its last row. Otherwise it looks one row ahead
// with its row callback off and comes back, unless that passed the last row.
inline bool endCheck(db::Dataset& query) {
    if (!query.isOpen()) return false;
    if (query.eof()) return true;
    db::Dataset::CallbackGuard quiet(query);
    query.next();
    if (query.eof()) return true;
    query.prior();
    return false;
}

enum class SortOrder { Ascending, Descending };
// The shown page reordered by a column title.
struct PageOrder {
    QString field;
    SortOrder order = SortOrder::Ascending;
};

// The counts and the shown range of a listing in a working table.
struct PageState {
    int pageSize = 10;
    int foundCount = 0; // rows copied in this listing, also the ID2 of the last one
    int markedCount = 0;
    // The shown range: the ID2 range the page query shows, in the order given
    // (by ID2 without one). The page query's statement is built from these
    // alone, whenever it is opened.
    int first = 0, last = 0;
    std::optional<PageOrder> order;
    int lastShown = 0;   // anchor of paging: last ID2 of the last forward move
    int fillCounter = 0; // rows fetched by the current fill
    int fillStart = 0;   // found count when the current forward move began
    bool endOfResults = false;
    bool listing = false; // the working table holds a listing (rather than rows added one by one)
};

// The page query over one working table (its rows numbered by ID2 and marked
// in Zn) and the state of the listing in it. The only owner of the shown
// range: every statement of the page query is built from it. The search
// classes fill the table and move the range; the page query is what the grid
// shows.
class PageQuery {
  public:
    // table: the working table's name, as statements spell it.
    explicit PageQuery(QString table);

    void setWorkingDatabase(db::WorkingDatabase* results) { m_results = results; }
    db::WorkingDatabase* workingDatabase() const { return m_results; }
    bool isReady() const { return m_results != nullptr; }
    // The page query; db::Error before the working database exists.
    db::Dataset& dataset();
    const QString& table() const { return m_table; }

    PageState& state() { return m_state; }
    const PageState& state() const { return m_state; }

    // Shows another range, in ID2 order; the range is the page's from here.
    void showRange(int first, int last);
    // Opens the page query again on the shown range in its order: rows taken
    // out of the working table since are gone from the page, and rows added
    // within the range show.
    void showAgain();
    // After a failed fill: shows what is stored of the range, or nothing when
    // even that fails (the fill's own error is the one reported).
    void showStored() noexcept;

    // The start of a forward move: the range of pageSize rows after the
    // paging anchor, which moves to its end; the fill counts from here.
    void beginForwardMove(int pageSize);
    // A backward move: shows the pageSize rows before the shown range, copied
    // earlier, on its first row.
    void previousPage(int pageSize);
    // Empties the page: no rows shown, nothing marked, the range the first
    // page's size.
    void reset(int pageSize);

    // Toggles the mark of the current row; false when there is none. The
    // marked count is in step before the row is posted (the page's status is
    // shown from it as the row changes). A mark the working table refuses
    // leaves the row and the count as stored, and the error is raised.
    bool toggleMark();
    // Reorders the shown range by field, keeping the current row. The mark
    // column is never sorted, nor a name that cannot be bracketed.
    void sortPage(const QString& field, SortOrder order);
    // The page query stands on a row.
    bool hasCurrentRow() const;

  private:
    QString statement() const;
    void open();

    QString m_table;
    db::WorkingDatabase* m_results = nullptr;
    PageState m_state;
};

} // namespace paging
