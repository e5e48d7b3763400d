#pragma once

#include "Database.h"
#include "Dataset.h"
#include "Error.h"

#include <utility>

// Paging machinery shared by the result pages: the unit a fill's rows are
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

} // namespace paging
