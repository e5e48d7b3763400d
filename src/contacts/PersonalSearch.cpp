#include "PersonalSearch.h"

#include "Database.h"
#include "Error.h"
#include "OwnDatabases.h"
#include "PersonalRowCopy.h"

#include <QScopeGuard>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The personal cursor's row before a fill when it was not open.
constexpr int kCursorClosed = -2;

} // namespace

PersonalSearch::PersonalSearch(Services services)
    : m_services(std::move(services)), m_page(QStringLiteral("vlastni")) {
    m_cursor.setObjectName(u"MQuery3"_s);
    m_cursor.setRowCallback([this](db::Dataset& record) { copyRecord(record); });
}

PersonalSearch::~PersonalSearch() {
    m_cursor.close();
    m_counter.close();
}

db::Dataset& PersonalSearch::pageQuery() {
    return m_page.dataset();
}

db::Database* PersonalSearch::connectPersonal() {
    db::Database* db = m_services.personal ? m_services.personal() : nullptr;
    if (!db) throw db::Error(u"Databáze vlastních záznamů není otevřena."_s);
    if (m_cursor.database() != db) {
        m_cursor.close();
        m_cursor.setDatabase(db);
    }
    return db;
}

// Uses up a pending stop request; true when there was one.
bool PersonalSearch::takeStopRequest() {
    if (!m_services.stopRequested || !*m_services.stopRequested) return false;
    *m_services.stopRequested = false;
    return true;
}

void PersonalSearch::notifyStatus() {
    if (m_services.statusChanged) m_services.statusChanged();
}

// The copy step: runs for every row the personal cursor lands on while its
// row callback is on, and appends that record to the working table through
// the page query, so that the row shows on the page as it arrives.
void PersonalSearch::copyRecord(db::Dataset& record) {
    if (m_services.processEvents) m_services.processEvents();
    db::Dataset& page = pageQuery();
    page.append();
    const int id2 = ++m_page.state().foundCount;
    try {
        personal_copy::copyToWorking(record, page, id2);
    } catch (const db::Error&) {
        // Posted with the columns filled so far; the count keeps its increase.
    }
    page.post();
    notifyStatus();
}

// ---- listings ---------------------------------------------------------------------

PersonalSearch::Search PersonalSearch::search(personal_criteria::Fields& fields, int pageSize,
                                              int searchLimit, const Steps& steps) {
    Search out;
    personal_criteria::normalise(fields);
    if (personal_criteria::isEmptyRequest(fields)) return out;
    if (steps.starting) steps.starting();
    startListing(pageSize);
    if (std::optional<personal_criteria::Probe> failed = validate(fields)) {
        out.result = SearchResult::NotFound;
        out.failed = std::move(failed);
        // The listing stays empty and cannot go on.
        m_page.state().endOfResults = true;
        return out;
    }
    setStatement(personal_criteria::statementLines(fields, searchLimit));
    out.result = SearchResult::Listed;
    if (steps.filling) steps.filling();
    out.paging = nextPage(pageSize);
    return out;
}

std::optional<PersonalSearch::Paging> PersonalSearch::listLetter(QChar letter, int pageSize,
                                                                 const Steps& steps) {
    if (personal_criteria::letterGroup(letter).isEmpty()) return std::nullopt;
    return listWith({personal_criteria::letterStatement(letter)}, pageSize, steps);
}

PersonalSearch::Paging PersonalSearch::listAll(int pageSize, const Steps& steps) {
    return listWith({personal_criteria::allRecordsStatement()}, pageSize, steps);
}

PersonalSearch::Paging PersonalSearch::listWith(const QStringList& statement, int pageSize,
                                                const Steps& steps) {
    if (steps.starting) steps.starting();
    startListing(pageSize);
    setStatement(statement);
    if (steps.filling) steps.filling();
    return nextPage(pageSize);
}

void PersonalSearch::startListing(int pageSize) {
    connectPersonal();
    if (!m_page.isReady()) throw db::Error(u"Pracovní databáze není připravena."_s);
    PageState& st = m_page.state();
    st = PageState{};
    st.pageSize = pageSize;
    st.listing = true;
    takeStopRequest();
    m_cursor.close();
    m_cursor.sql().clear();
    m_page.workingDatabase()->recreate(pageSize);
}

std::optional<personal_criteria::Probe> PersonalSearch::validate(const personal_criteria::Fields& fields) {
    connectPersonal();
    db::Dataset::CallbackGuard quiet(m_cursor);
    // The checks leave no statement behind: the listing's own comes next, or
    // none when a check fails.
    const auto closeCursor = qScopeGuard([this] {
        m_cursor.close();
        m_cursor.sql().clear();
    });
    for (const personal_criteria::Probe& probe : personal_criteria::probes(fields)) {
        bool found = false;
        for (qsizetype i = 0; i < probe.columns.size() && !found; ++i) {
            m_cursor.close();
            m_cursor.setSql(personal_criteria::probeStatement(probe.columns[i], probe.value));
            m_cursor.open();
            found = !m_cursor.isEmpty();
        }
        if (!found) return probe;
    }
    return std::nullopt;
}

void PersonalSearch::setStatement(const QStringList& lines) {
    m_cursor.close();
    m_cursor.sql() = lines;
}

// ---- paging -----------------------------------------------------------------------

void PersonalSearch::showPageAgain() {
    m_page.showAgain();
}

PersonalSearch::Paging PersonalSearch::nextPage(int pageSize) {
    PageState& st = m_page.state();
    // STOP pressed while the page's last row was copied ends this move too: the
    // next forward move must not stop before its first row.
    const auto useUpStop = qScopeGuard([this] { takeStopRequest(); });
    const int anchor = st.lastShown;
    m_page.beginForwardMove(pageSize);

    if (st.last > st.fillStart) {
        const int cursorRow = m_cursor.isOpen() ? m_cursor.recNo() : kCursorClosed;
        try {
            fill();
        } catch (const db::Error&) {
            dropFailedFill(anchor, cursorRow);
            throw;
        }
    }
    if (st.last >= st.fillStart) st.endOfResults = atEnd();
    pageQuery().first();
    notifyStatus();
    return paging();
}

// Whether the personal cursor has no row beyond its current one. A cursor
// without a statement (a check failed, or it could not go back after a failed
// fill) has nothing more to list; one not opened yet has.
bool PersonalSearch::atEnd() {
    if (!m_cursor.isOpen() && m_cursor.sql().isEmpty()) return true;
    return paging::endCheck(m_cursor);
}

// Copies rows until the page is full, the cursor has no further row, the fill
// cap is reached or a stop request ends the fill. Unlike the directory pages,
// a stop leaves the anchor where the move put it: the next move fills the
// rows this one left out. The rows are written as one unit, committed at the end.
void PersonalSearch::fill() {
    PageState& st = m_page.state();
    paging::WriteUnit unit(m_page.workingDatabase()->database());
    while (st.fillCounter < st.last - st.fillStart && !st.endOfResults) {
        if (takeStopRequest()) break;
        if (st.fillCounter >= kFillCap) break;
        if (m_cursor.isOpen()) {
            m_cursor.next();
            if (m_services.processEvents) m_services.processEvents();
        } else {
            connectPersonal();
            {
                db::Dataset::CallbackGuard quiet(m_cursor);
                m_cursor.open();
            }
            if (!m_cursor.isEmpty()) m_cursor.first();
        }
        st.endOfResults = atEnd();
        ++st.fillCounter;
    }
    unit.commit();
}

// The rows of a failed fill went with its rolled-back unit. The counts and the
// anchor go back to where the move began and the personal cursor to the row
// it stood on, so that the next forward move copies the same records again;
// the page shows what is stored of the range it was to show.
void PersonalSearch::dropFailedFill(int anchor, int cursorRow) noexcept {
    PageState& st = m_page.state();
    st.foundCount = st.fillStart;
    st.lastShown = anchor;
    st.endOfResults = false;
    try {
        db::Dataset::CallbackGuard quiet(m_cursor);
        if (cursorRow == kCursorClosed) {
            m_cursor.close();
        } else {
            m_cursor.first();
            if (cursorRow > 0) m_cursor.moveBy(cursorRow);
        }
    } catch (...) {
        // The cursor cannot go back: the listing ends here rather than list a
        // record twice.
        m_cursor.close();
        m_cursor.sql().clear();
        st.endOfResults = true;
    }
    m_page.showStored();
}

PersonalSearch::Paging PersonalSearch::paging() const {
    const PageState& st = m_page.state();
    Paging p;
    p.previousEnabled = st.first > 1;
    // Rows copied beyond the shown range need no fill.
    p.nextEnabled = st.listing && (!st.endOfResults || st.lastShown < st.foundCount);
    p.found = st.foundCount > 0;
    return p;
}

PersonalSearch::Paging PersonalSearch::previousPage(int pageSize) {
    m_page.previousPage(pageSize);
    const PageState& st = m_page.state();
    return Paging{st.first > 1, true, st.foundCount > 0};
}

void PersonalSearch::reset(int pageSize) {
    m_page.reset(pageSize);
    m_page.state().foundCount = 0;
    m_cursor.close();
}

// ---- the shown page ---------------------------------------------------------------

std::optional<PersonalSearch::CurrentRow> PersonalSearch::currentRow() const {
    if (!m_page.hasCurrentRow()) return std::nullopt;
    const db::Dataset& page = m_page.workingDatabase()->dataset();
    CurrentRow row;
    row.id = page.value(u"ID"_s).toInt();
    row.id2 = page.value(u"ID2"_s).toInt();
    row.marked = page.value(u"Zn"_s).toBool();
    return row;
}

void PersonalSearch::marksRemoved(int count) {
    int& marked = m_page.state().markedCount;
    marked = std::max(0, marked - count);
    notifyStatus();
}

std::optional<qint64> PersonalSearch::totalRecords() {
    try {
        m_counter.close();
        m_counter.setDatabase(connectPersonal());
        m_counter.setSql(u"SELECT count(*) as pocet FROM vlastni"_s);
        m_counter.open();
        const qint64 n = m_counter.value(u"pocet"_s).toLongLong();
        m_counter.close();
        return n;
    } catch (const db::Error&) {
        m_counter.close();
        return std::nullopt;
    }
}

// ---- adding records ---------------------------------------------------------------

bool PersonalSearch::needsFreshTable(FreshTableRule rule) {
    // Without these nothing can be appended, whatever the rule says.
    if (!m_page.isReady() || !m_page.dataset().isOpen() || !m_cursor.isOpen()) return true;
    switch (rule) {
    case FreshTableRule::Transfer:
    case FreshTableRule::Addition:
        return m_page.state().listing;
    case FreshTableRule::Import:
        return false;
    }
    return true;
}

bool PersonalSearch::prepareAddition(FreshTableRule rule, int pageSize) {
    if (!needsFreshTable(rule)) return false;
    startFreshTable(pageSize);
    return true;
}

void PersonalSearch::showAddedRows(bool anchorPaging) {
    PageState& st = m_page.state();
    st.last = st.foundCount;
    if (anchorPaging) st.lastShown = st.foundCount;
    notifyStatus();
}

void PersonalSearch::startFreshTable(int pageSize) {
    connectPersonal();
    if (!m_page.isReady()) throw db::Error(u"Pracovní databáze není připravena."_s);
    reset(pageSize);
    PageState& st = m_page.state();
    st = PageState{};
    st.pageSize = pageSize;
    st.first = 0;
    st.last = pageSize;
    m_page.workingDatabase()->recreate(pageSize);
    m_cursor.setSql(u"SELECT * FROM vlastni"_s);
    {
        db::Dataset::CallbackGuard quiet(m_cursor);
        m_cursor.open();
    }
    notifyStatus();
}

int PersonalSearch::appendRecord(const std::function<void(db::Dataset&)>& fill) {
    connectPersonal();
    if (!m_cursor.isOpen()) throw db::Error(u"Vlastní záznamy nejsou otevřeny pro přidávání."_s);
    db::Dataset& page = pageQuery();
    PageState& st = m_page.state();
    const int foundBefore = st.foundCount;
    m_cursor.append();
    try {
        if (fill) fill(m_cursor);
        m_cursor.post(); // lands on the new record: the copy step appends its working row
    } catch (const db::Error&) {
        if (m_cursor.state() == db::Dataset::State::Insert) {
            // The record was not written.
            m_cursor.cancel();
            throw;
        }
        // The record is stored but its working row is not: take the record out
        // again rather than leave one that nothing shows.
        page.cancel();
        st.foundCount = foundBefore;
        try {
            db::Dataset::CallbackGuard quiet(m_cursor);
            m_cursor.remove();
        } catch (const db::Error&) {
            // The working row's error is the one to report.
        }
        notifyStatus();
        throw;
    }
    // The page query shows the appended row until it is opened again; the
    // shown range takes it in, so that it shows after that as well.
    st.last = std::max(st.last, st.foundCount);
    return m_cursor.value(u"ID"_s).toInt();
}

void PersonalSearch::forgetLastRow() {
    if (m_page.state().foundCount > 0) --m_page.state().foundCount;
    notifyStatus();
}
