#pragma once

#include "Dataset.h"
#include "LikePattern.h"
#include "PageQuery.h"
#include "RecordLabel.h"
#include "RowCopy.h"
#include "SearchCriteria.h"

#include <functional>
#include <optional>
#include <vector>

namespace db {
class Database;
class WorkingDatabase;
} // namespace db

// The data side of one directory page (persons or firms): the directory query
// with its copy step, the phone buffer with the block-wise telephone scan, and
// the match count. The page query over the working table, with the counts and
// the shown range, is a paging::PageQuery. Widget-free: the page reads the
// fields, shows messages, sets captions and buttons, and calls in here for
// everything that touches the databases.
class DirectorySearch {
  public:
    using Directory = search_criteria::Directory;

    enum class EndState { Neutral, MoreRecords, NoMore };

    struct Services {
        // The open directory connection (re-opened by the provider when the
        // database moved to another place).
        std::function<db::Database*()> directory;
        // Lets the window process pending events; every copied row calls it, so
        // that STOP and repainting work during a fill.
        std::function<void()> processEvents;
        // The shared stop request of the result pages.
        bool* stopRequested = nullptr;
    };

    // The counts and the shown range of the page query.
    using PageState = paging::PageState;

    // What the buttons of the page should show after a page move.
    struct Paging {
        bool previousEnabled = false;
        bool nextEnabled = false;
    };

    DirectorySearch(Directory directory, Services services);
    ~DirectorySearch();
    DirectorySearch(const DirectorySearch&) = delete;
    DirectorySearch& operator=(const DirectorySearch&) = delete;

    // The working database of the results and the phone buffer; they exist once
    // the scratch folder is chosen.
    void setWorkingDatabases(db::WorkingDatabase* results, db::WorkingDatabase* phoneBuffer);
    bool isReady() const { return m_page.isReady() && m_buffer; }

    Directory directory() const { return m_kind; }
    const PageState& state() const { return m_page.state(); }
    EndState endState() const { return m_end; }
    // Called whenever the end indicator changes its state.
    std::function<void(EndState)> onEndStateChanged;

    // The page query with the counts and the shown range: marking and sorting go through it.
    paging::PageQuery& page() { return m_page; }
    db::Dataset& directoryQuery() { return m_directory; }
    db::Dataset& pageQuery();
    db::Dataset& bufferQuery();
    // The name of the working table (and of the page): "Osoby" or "Firmy".
    QString tableName() const;

    // ---- search start, in the order the page runs it ----
    void setEndState(EndState state);
    // Zeroes the counts and the shown range for a new search of pageSize rows a page.
    void begin(int pageSize);
    // Connects the directory query, recreates the phone buffer for a telephone
    // search and the working table; every search starts from empty tables.
    void prepareTables(bool byTelephone);
    // The first check whose value the directory does not know, if any.
    std::optional<search_criteria::Probe> validate(const search_criteria::SearchFields& fields);
    // Puts the search statement into the directory query.
    void buildStatement(const search_criteria::SearchFields& fields, int searchLimit);

    // ---- paging ----
    // A forward move: shows the next page, copying as many rows from the directory
    // as it needs. The rows of a fill are written as one unit: when the fill fails
    // (a failed commit included) the unit is rolled back, the counts go back to
    // the rows stored before it, the page shows what is stored, and the error is
    // raised. A stop request that arrives during the fill ends it and is used up.
    Paging nextPage(int pageSize, int searchLimit);
    // A backward move: shows rows copied before without touching the directory.
    Paging previousPage(int pageSize);
    // Empties the page: no rows shown, nothing marked. The found count and the
    // working table stay; the next search starts afresh.
    void reset(int pageSize);
    // Every match of the statement in the directory query, without row limit.
    qint64 count(int searchLimit);

    // ---- the shown page ----
    // The page query's current row as the record label sees it; nullopt without one.
    std::optional<record_label::LabelRecord> currentRecord() const;
    // The subscriber's additional numbers, read afresh from the directory.
    QList<record_label::ExtraNumber> extraNumbers(const QString& euroIsdn);

  private:
    enum class ScanStep { Copied, Stopped, Finished };

    // The block-wise telephone scan. The directory query walks the candidates
    // of a phase (main numbers, then additional numbers) once; they are
    // unscrambled into the phone buffer a block at a time, and the buffer
    // query's rows are the block's matches, copied one per scan step. A match
    // found by looking ahead stays pending until a step copies it.
    struct PhoneScan {
        enum class Phase { MainNumbers, ExtraNumbers };
        Phase phase = Phase::MainNumbers;
        bool candidatesStarted = false; // the directory query has moved onto the phase's first candidate
        bool candidatesDone = false;    // ... and past its last one
        int matchesInBlock = 0;         // rows of the buffer query for the loaded block
        int nextMatch = 0;              // the block's first match not looked at yet
        std::optional<int> pending;     // a match looked at and not copied yet (row of the buffer query)
        bool finished = false;          // both phases are through: no further match exists
    };

    // A candidate of the block being read that the phone buffer must hold,
    // kept until the block is written: its buffer row, and in the additional
    // numbers' phase its additional number when that is the number searched
    // for, with the subscriber it belongs to.
    struct Candidate {
        row_copy::BufferRow row;
        std::optional<QString> matchingExtraNumber;
        QString subscriber;
    };

    db::Database* connectDirectory();
    bool stopRequested() const;
    bool takeStopRequest();
    void copyDirectoryRow(db::Dataset& row);
    void keepCandidate(const db::Dataset& row);
    bool isNumberSearched(const QString& number) const;
    void writeBlock();
    QString tableSql() const;
    void openBufferTable();
    bool copyBufferRow(db::Dataset& row);
    bool endCheckDirectory(int searchLimit);
    bool fill(int searchLimit);
    void dropFailedFill() noexcept;
    void fillStep();
    ScanStep phoneScanStep();
    bool findMatch();
    bool copyPendingMatch();
    void lookAhead(int searchLimit);
    void moveBufferTo(int row);
    bool loadBlock();
    void startExtraNumbersPhase();
    bool alreadyListed(const QString& euroIsdn);

    Directory m_kind;
    Services m_services;
    db::WorkingDatabase* m_buffer = nullptr;
    db::Dataset m_directory; // the directory query
    db::Dataset m_counter;   // counts matches on the directory connection
    db::Dataset m_lookup;    // additional numbers for the record label
    db::Dataset m_check;     // whether a subscriber is listed already
    paging::PageQuery m_page;
    bool m_phoneSearch = false; // the rows come through the phone buffer
    EndState m_end = EndState::Neutral;
    QStringList m_phoneStatement; // kept for the additional numbers' phase
    QString m_phoneDigits;        // the whole number searched for
    PhoneScan m_scan;
    // The buffer query's comparison of whole numbers, made in advance for each
    // candidate so that only the candidates it can find reach the buffer.
    std::optional<db::LikePattern> m_numberPattern;
    std::vector<Candidate> m_candidates; // of the block being read
    bool m_bufferHoldsRows = false;      // written to since the phone buffer was last re-created
};
