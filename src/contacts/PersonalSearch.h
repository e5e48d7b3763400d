#pragma once

#include "Dataset.h"
#include "PageQuery.h"
#include "PersonalCriteria.h"

#include <functional>
#include <optional>

namespace db {
class Database;
class WorkingDatabase;
} // namespace db

// The data side of the Vlastní page: the personal cursor over the personal
// records with its copy step and the fill cap, and the listings over it. The
// page query over the working table, with the counts and the shown range, is
// a paging::PageQuery. A listing is started by a search, a letter of the alphabet
// bar or the all-records picture; its rows are copied lazily, only as far as
// the page being shown needs. Widget-free: the page reads the boxes, shows
// messages, sets captions, buttons and focus, and calls in here for
// everything that touches the databases.
//
// Where it differs from the directory pages (DirectorySearch):
// - STOP ends the fill but leaves the paging anchor (the last shown number)
//   where the move put it, so the next forward move fills the gap as well;
// - one fill fetches at most kFillCap rows;
// - there is no end indicator: the search limit is the statement's row limit
//   and ">>>" goes off when the cursor has no further row;
// - an empty result is reported to the caller (Paging::found), which moves
//   the focus to the first filled box.
class PersonalSearch {
  public:
    // Rows one page fill fetches at most.
    static constexpr int kFillCap = 200;

    struct Services {
        // The open personal database.
        std::function<db::Database*()> personal;
        // Lets the window process pending events; every copied row calls it, so
        // that STOP and repainting work during a fill.
        std::function<void()> processEvents;
        // The shared stop request of the result pages.
        bool* stopRequested = nullptr;
        // The counts changed: after every copied row and every page move, so
        // that the page can refresh its status line.
        std::function<void()> statusChanged;
    };

    using PageOrder = paging::PageOrder;
    using PageState = paging::PageState;

    // What the page should show after a page move.
    struct Paging {
        bool previousEnabled = false;
        bool nextEnabled = false;
        // The listing has rows; without, the page focuses the first filled box.
        bool found = false;
    };

    enum class SearchResult {
        EmptyRequest, // nothing typed: nothing has changed
        NotFound,     // a check failed: the listing is empty, both page buttons off
        Listed,       // the first page is shown
    };
    struct Search {
        SearchResult result = SearchResult::EmptyRequest;
        std::optional<personal_criteria::Probe> failed; // with NotFound
        Paging paging;                                  // with Listed
    };

    // The row the page query stands on, as the editor and marking see it. The
    // record label reads the page query's row by its column names.
    struct CurrentRow {
        int id = 0;          // ID: the personal record's key
        int id2 = 0;         // ID2: the running number in the listing
        bool marked = false; // Zn
    };

    explicit PersonalSearch(Services services);
    ~PersonalSearch();
    PersonalSearch(const PersonalSearch&) = delete;
    PersonalSearch& operator=(const PersonalSearch&) = delete;

    // The working database of the listing; it exists once the scratch folder is chosen.
    void setWorkingDatabase(db::WorkingDatabase* results) { m_page.setWorkingDatabase(results); }
    bool isReady() const { return m_page.isReady(); }

    const PageState& state() const { return m_page.state(); }
    // The personal cursor (MQuery3). Other operations that move it, edit or
    // delete through it suppress its row callback around that work.
    db::Dataset& personalCursor() { return m_cursor; }
    db::Dataset& pageQuery();
    // The page query with the counts and the shown range: marking and sorting go through it.
    paging::PageQuery& page() { return m_page; }

    // ---- listings ----
    // What the caller does at two steps of a listing: starting runs once the
    // listing is sure to start, before the working table is made anew;
    // filling runs before the first page is filled.
    struct Steps {
        std::function<void()> starting;
        std::function<void()> filling;
    };
    // Cleans the boxes (written back into fields), refuses an empty request,
    // starts a listing, checks the filled boxes and lists the first page.
    Search search(personal_criteria::Fields& fields, int pageSize, int searchLimit, const Steps& steps = {});
    // Lists the records whose surname or firm begins with a letter of the
    // letter's group, ordered by surname and firm. A letter outside a to z
    // changes nothing and gives nullopt.
    std::optional<Paging> listLetter(QChar letter, int pageSize, const Steps& steps = {});
    // Lists every record, ordered by surname and firm.
    Paging listAll(int pageSize, const Steps& steps = {});

    // ---- paging ----
    // A forward move: shows the next page, copying as many rows as it needs
    // (at most kFillCap). The rows of a fill are written as one unit. When the
    // fill fails (a failed commit included) the unit is rolled back, the counts
    // and the anchor go back to where the move began, the personal cursor goes
    // back to the row it stood on (it is closed, and the listing is at its end,
    // when that is not possible), the page shows what is stored, and the error
    // is raised. A stop request that arrives during the move ends it and is
    // used up.
    Paging nextPage(int pageSize);
    // A backward move: shows rows copied before without touching the cursor.
    Paging previousPage(int pageSize);
    // The buttons for the page as it stands, e.g. after a move failed.
    Paging paging() const;
    // Empties the page: no rows shown, counts zeroed, the personal cursor closed.
    void reset(int pageSize);

    // ---- the shown page ----
    // Opens the page query again on the shown range in its order: rows taken
    // out of the working table since are gone from the page, and rows added
    // within the range show.
    void showPageAgain();
    std::optional<CurrentRow> currentRow() const;
    // Marked rows were deleted: the marked count goes down by count.
    void marksRemoved(int count);
    // The number of personal records; nullopt when it cannot be counted.
    std::optional<qint64> totalRecords();
    // The open personal database; db::Error when there is none.
    db::Database& personalDatabase() { return *connectPersonal(); }

    // ---- adding records ----
    // When an operation that adds records starts a fresh working table, besides
    // whenever records could not be appended at all (no working table, the page
    // query or the personal cursor closed).
    enum class FreshTableRule {
        Transfer, // the working table holds a listing, or the personal cursor is closed
        Addition, // the working table holds a listing, or the page query is closed
        Import,   // only the personal cursor is closed
    };
    // Whether an addition under the rule must start a fresh working table.
    bool needsFreshTable(FreshTableRule rule);
    // Starts a fresh working table when the rule asks for one; true when it did.
    // Otherwise new records go on into the working table earlier additions started.
    bool prepareAddition(FreshTableRule rule, int pageSize);
    // Empties the page (as reset does), re-creates the working table with the
    // page query on its first page, and opens the personal cursor over every
    // personal record without copying any of them; the listing flag goes off.
    // Records appended through appendRecord then land in this working table.
    void startFreshTable(int pageSize);
    // The shown range ends at the last row added to the working table; with
    // anchorPaging the paging anchor (the last shown number) goes there too,
    // so that the next forward move starts after the added rows.
    void showAddedRows(bool anchorPaging = false);
    // Appends a personal record through the personal cursor, filled by fill, and
    // posts it; the copy step appends its working row, which becomes the page
    // query's current row, and the shown range reaches it. The new record's ID
    // is returned. When the record cannot be written, nothing is stored and the
    // error is raised; when its working row cannot be written, the record is
    // deleted again and the error raised.
    int appendRecord(const std::function<void(db::Dataset&)>& fill);
    // The last row added to the working table was taken out again (an addition
    // taken back): the found count goes down by one.
    void forgetLastRow();

  private:
    // The steps of a listing: zeroes the counts, clears the stop request, sets
    // the listing flag, closes the personal cursor and re-creates the working table.
    void startListing(int pageSize);
    // The first check whose value no personal record has, if any. Leaves the
    // personal cursor closed and without a statement.
    std::optional<personal_criteria::Probe> validate(const personal_criteria::Fields& fields);
    // Puts a statement into the closed personal cursor.
    void setStatement(const QStringList& lines);
    db::Database* connectPersonal();
    bool takeStopRequest();
    void copyRecord(db::Dataset& record);
    void notifyStatus();
    bool atEnd();
    void fill();
    void dropFailedFill(int anchor, int cursorRow) noexcept;
    Paging listWith(const QStringList& statement, int pageSize, const Steps& steps);

    Services m_services;
    paging::PageQuery m_page;
    db::Dataset m_cursor;  // the personal cursor
    db::Dataset m_counter; // counts the personal records
};
