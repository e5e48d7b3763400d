#include "DirectorySearch.h"

#include "Database.h"
#include "Error.h"
#include "OwnDatabases.h"
#include "RowCopy.h"

#include <QScopeGuard>
#include <QSet>

#include <utility>

using namespace Qt::StringLiterals;

namespace {

using paging::WriteUnit;
using search_criteria::quoted;

// Candidates unscrambled into the phone buffer at a time.
constexpr int kBlockSize = 2000;

row_copy::Directory copyKind(search_criteria::Directory d) {
    return d == search_criteria::Directory::Persons ? row_copy::Directory::Persons
                                                    : row_copy::Directory::Firms;
}

} // namespace

DirectorySearch::DirectorySearch(Directory directory, Services services)
    : m_kind(directory), m_services(std::move(services)),
      m_page(directory == Directory::Persons ? u"Osoby"_s : u"Firmy"_s) {
    m_directory.setObjectName(directory == Directory::Persons ? u"MQuery1"_s : u"MQuery2"_s);
    m_counter.setObjectName(u"pocitadlo"_s);
    m_directory.setRowCallback([this](db::Dataset& row) { copyDirectoryRow(row); });
}

DirectorySearch::~DirectorySearch() {
    m_directory.close();
    m_counter.close();
    m_lookup.close();
    m_check.close();
}

void DirectorySearch::setWorkingDatabases(db::WorkingDatabase* results, db::WorkingDatabase* phoneBuffer) {
    m_page.setWorkingDatabase(results);
    m_buffer = phoneBuffer;
    // Nothing is known of what a new buffer holds.
    m_bufferHoldsRows = true;
}

db::Dataset& DirectorySearch::pageQuery() {
    return m_page.dataset();
}

db::Dataset& DirectorySearch::bufferQuery() {
    if (!m_buffer) throw db::Error(u"Pracovní databáze není připravena."_s);
    return m_buffer->dataset();
}

QString DirectorySearch::tableName() const {
    return m_page.table();
}

void DirectorySearch::setEndState(EndState state) {
    m_end = state;
    if (onEndStateChanged) onEndStateChanged(state);
}

bool DirectorySearch::stopRequested() const {
    return m_services.stopRequested && *m_services.stopRequested;
}

// Uses up a pending stop request; true when there was one.
bool DirectorySearch::takeStopRequest() {
    if (!stopRequested()) return false;
    *m_services.stopRequested = false;
    return true;
}

db::Database* DirectorySearch::connectDirectory() {
    db::Database* db = m_services.directory ? m_services.directory() : nullptr;
    if (!db) throw db::Error(u"Databáze telefonního seznamu není otevřena."_s);
    if (m_directory.database() != db) {
        m_directory.close();
        m_directory.setDatabase(db);
    }
    return db;
}

// ---- search start ---------------------------------------------------------------

void DirectorySearch::begin(int pageSize) {
    m_page.state() = PageState{};
    m_page.state().pageSize = pageSize;
    m_phoneSearch = false;
    m_scan = PhoneScan{};
}

void DirectorySearch::prepareTables(bool byTelephone) {
    connectDirectory();
    m_directory.close();
    m_phoneSearch = false;
    if (byTelephone) {
        // A buffer that nothing was written to since it was re-created is
        // empty already.
        if (m_bufferHoldsRows || !m_buffer->database()) {
            m_buffer->recreate(m_page.state().pageSize, [this] { m_phoneSearch = true; });
            m_bufferHoldsRows = false;
        }
        m_phoneSearch = true; // the copy step fills the buffer
        openBufferTable();
    }
    m_page.workingDatabase()->recreate(m_page.state().pageSize);
    m_check.close();
    m_check.setDatabase(m_page.workingDatabase()->database());
}

std::optional<search_criteria::Probe> DirectorySearch::validate(const search_criteria::SearchFields& fields) {
    connectDirectory();
    for (const search_criteria::Probe& probe : search_criteria::probes(m_kind, fields)) {
        db::Dataset::CallbackGuard quiet(m_directory);
        m_directory.close();
        m_directory.setSql(search_criteria::probeStatement(probe));
        m_directory.open();
        m_directory.last();
        const bool found = m_directory.recordCount() > 0;
        m_directory.close();
        if (!found) return probe;
    }
    return std::nullopt;
}

void DirectorySearch::buildStatement(const search_criteria::SearchFields& fields, int searchLimit) {
    connectDirectory();
    m_directory.close();
    m_directory.sql() = search_criteria::statementLines(m_kind, fields, searchLimit);
    m_phoneDigits = fields.telephone;
    m_numberPattern.reset();
    if (!fields.telephone.isEmpty()) m_phoneStatement = m_directory.sql();
}

// ---- copy steps -------------------------------------------------------------------

void DirectorySearch::copyDirectoryRow(db::Dataset& row) {
    if (m_services.processEvents) m_services.processEvents();
    const row_copy::Directory kind = copyKind(m_kind);
    if (m_phoneSearch) {
        keepCandidate(row);
        return;
    }
    db::Dataset& page = pageQuery();
    page.append();
    const int id2 = ++m_page.state().foundCount;
    try {
        row_copy::copyToWorking(kind, row, page, id2);
    } catch (const db::Error&) {
        // Posted with the columns filled so far; the count keeps its increase.
    }
    page.post();
}

// Keeps a candidate of the block for the phone buffer when the buffer query
// can find it. The main numbers' query finds the rows whose own number is the
// one searched for; no other row needs to be written, nor has its address
// read. The additional numbers' query finds every row of a subscriber one of
// whose additional numbers in the block is the one searched for, so every
// candidate is kept until the block is read, with its additional number when
// that matches.
void DirectorySearch::keepCandidate(const db::Dataset& row) {
    const row_copy::Directory kind = copyKind(m_kind);
    if (m_scan.phase == PhoneScan::Phase::MainNumbers) {
        try {
            if (!isNumberSearched(row_copy::wholeNumber(row))) return;
        } catch (const db::Error&) {
            return; // The row would go in without its number, which nothing finds.
        }
        m_candidates.push_back({row_copy::bufferRow(kind, row), std::nullopt, QString()});
        return;
    }
    Candidate c{row_copy::bufferRow(kind, row), std::nullopt, QString()};
    try {
        const QString number = row_copy::storedNumber(row.text(u"nTel_a"_s), row.text(u"nTelExt_a"_s),
                                                      row.text(u"nID"_s), m_kind == Directory::Firms);
        const QString subscriber = row.text(u"euroISDN"_s);
        if (m_numberPattern->matches(number)) {
            c.matchingExtraNumber = number;
            c.subscriber = subscriber;
        }
    } catch (const db::Error&) {
        // That number cannot be found then; the scan goes on.
    }
    m_candidates.push_back(std::move(c));
}

// Whether the main numbers' query finds this number (an empty one is Null there).
bool DirectorySearch::isNumberSearched(const QString& number) const {
    return !number.isEmpty() && m_numberPattern->matches(number);
}

// Writes the kept candidates of the block into the phone buffer in the order
// they were read; in the additional numbers' phase only the rows of the
// subscribers found, whose matching numbers go in first.
void DirectorySearch::writeBlock() {
    const row_copy::Directory kind = copyKind(m_kind);
    const bool extra = m_scan.phase == PhoneScan::Phase::ExtraNumbers;
    QSet<QString> found;
    for (const Candidate& c : m_candidates) {
        if (!c.matchingExtraNumber) continue;
        m_bufferHoldsRows = true;
        try {
            m_buffer->database()->execute(
                row_copy::extraNumberInsert(kind, *c.matchingExtraNumber, c.subscriber),
                db::Database::FailOnError);
            found.insert(c.subscriber);
        } catch (const db::Error&) {
            // That number cannot be found then; the scan goes on.
        }
    }
    db::Dataset& buffer = bufferQuery();
    for (const Candidate& c : m_candidates) {
        // A row without its subscriber key is found by no subscriber.
        if (extra && !found.contains(c.row.text(u"euroISDN"_s))) continue;
        if (!buffer.isOpen() || buffer.sqlText() != tableSql()) openBufferTable();
        m_bufferHoldsRows = true;
        buffer.append();
        try {
            row_copy::writeBufferRow(c.row, buffer);
        } catch (const db::Error&) {
            // The row goes in as far as it was filled.
        }
        buffer.post();
    }
    m_candidates.clear();
}

QString DirectorySearch::tableSql() const {
    return u"SELECT * FROM "_s + tableName();
}

// The buffer query on the whole buffer table, so that rows can be appended.
void DirectorySearch::openBufferTable() {
    db::Dataset& buffer = bufferQuery();
    buffer.close();
    buffer.setSql(tableSql());
    buffer.open();
}

// Copies the buffer query's current row into the working table; false when
// the row is passed over: a subscriber found through an additional number is
// listed once, and not at all when its main number listed it already.
bool DirectorySearch::copyBufferRow(db::Dataset& row) {
    if (m_scan.phase == PhoneScan::Phase::ExtraNumbers && alreadyListed(row.text(u"euroISDN"_s)))
        return false;
    db::Dataset& page = pageQuery();
    page.append();
    const int id2 = ++m_page.state().foundCount;
    try {
        row_copy::copyBufferToWorking(copyKind(m_kind), row, page, id2);
    } catch (const db::Error&) {
        // Posted as far as it was filled.
    }
    page.post();
    return true;
}

bool DirectorySearch::alreadyListed(const QString& euroIsdn) {
    bool ok = false;
    const qint64 key = euroIsdn.toLongLong(&ok);
    if (!ok) return false;
    m_check.setSql(u"SELECT Count(*) as vlozit FROM "_s + tableName() + u" WHERE euroISDN = "_s +
                   QString::number(key));
    m_check.open();
    const bool listed = m_check.value(u"vlozit"_s).toLongLong() != 0;
    m_check.close();
    return listed;
}

// ---- paging ---------------------------------------------------------------------

bool DirectorySearch::endCheckDirectory(int searchLimit) {
    bool end = paging::endCheck(m_directory);
    if (end) {
        setEndState(EndState::NoMore);
    } else if (m_page.state().foundCount == searchLimit) {
        end = true;
        setEndState(EndState::MoreRecords);
    }
    return end;
}

// One step of a fill without telephone number: the directory query's next row.
void DirectorySearch::fillStep() {
    if (m_directory.isOpen()) {
        m_directory.next();
    } else {
        {
            db::Dataset::CallbackGuard quiet(m_directory);
            m_directory.open();
        }
        if (!m_directory.isEmpty()) m_directory.first();
    }
}

DirectorySearch::Paging DirectorySearch::nextPage(int pageSize, int searchLimit) {
    PageState& st = m_page.state();
    // STOP pressed while the page's last row was copied, or while the scan
    // looked ahead, ends this move too, however it ends: the next forward move
    // must not see it.
    const auto useUpStop = qScopeGuard([this] {
        if (takeStopRequest()) m_page.state().lastShown = m_page.state().foundCount;
    });
    m_page.beginForwardMove(pageSize);

    Paging paging;
    paging.previousEnabled = st.first != 1;
    // Rows copied before need no fill.
    paging.nextEnabled = true;
    bool stopped = false;
    if (st.last > st.fillStart) {
        try {
            stopped = fill(searchLimit);
        } catch (const db::Error&) {
            dropFailedFill();
            throw;
        }
    }

    if (st.last >= st.fillStart) {
        if (!m_phoneSearch) {
            st.endOfResults = endCheckDirectory(searchLimit);
        } else {
            // After a stop the scan waits for the next forward move.
            if (!stopped) lookAhead(searchLimit);
            if (m_scan.finished) {
                st.endOfResults = true;
                setEndState(EndState::NoMore);
            } else if (st.foundCount >= searchLimit) {
                st.endOfResults = true;
                setEndState(EndState::MoreRecords);
            } else {
                st.endOfResults = false;
            }
        }
        paging.nextEnabled = !st.endOfResults;
    }
    pageQuery().first();
    return paging;
}

// Copies rows until the page is full, the results end, the search limit is
// reached or a stop request ends the fill; true when it was stopped. The rows
// are written as one unit, committed at the end.
bool DirectorySearch::fill(int searchLimit) {
    PageState& st = m_page.state();
    WriteUnit unit(m_page.workingDatabase()->database());
    bool stopped = false;
    while (st.fillCounter < st.last - st.fillStart && !st.endOfResults) {
        if (st.foundCount == searchLimit) {
            setEndState(EndState::MoreRecords);
            break;
        }
        if (takeStopRequest()) {
            stopped = true;
            st.lastShown = st.foundCount;
            break;
        }
        if (!m_phoneSearch) {
            const bool opening = !m_directory.isOpen();
            fillStep();
            if (!opening && m_services.processEvents) m_services.processEvents();
            ++st.fillCounter;
            // Past the last match or at the search limit nothing more can come.
            if (endCheckDirectory(searchLimit)) break;
        } else {
            const ScanStep step = phoneScanStep();
            if (step == ScanStep::Copied) ++st.fillCounter;
            if (step == ScanStep::Finished) break;
        }
    }
    unit.commit();
    return stopped;
}

// The rows of a failed fill went with its rolled-back unit. The counts go back
// to the rows stored before it and the page shows what is stored, so that the
// page, paging and the next forward move agree with the working table.
void DirectorySearch::dropFailedFill() noexcept {
    PageState& st = m_page.state();
    st.foundCount = st.fillStart;
    st.lastShown = st.fillStart;
    m_page.showStored();
}

DirectorySearch::Paging DirectorySearch::previousPage(int pageSize) {
    m_page.previousPage(pageSize);
    return Paging{m_page.state().first > 1, true};
}

void DirectorySearch::reset(int pageSize) {
    m_page.reset(pageSize);
    setEndState(EndState::Neutral);
}

qint64 DirectorySearch::count(int searchLimit) {
    db::Database* db = connectDirectory();
    m_counter.close();
    m_counter.setDatabase(db);
    m_counter.setSql(search_criteria::countStatement(m_directory.sql(), searchLimit));
    m_counter.open();
    m_counter.last();
    const qint64 n = m_counter.recordCount();
    m_counter.close();
    return n;
}

// ---- telephone scan -----------------------------------------------------------------

// One step of the scan: copies the next match into the working table.
DirectorySearch::ScanStep DirectorySearch::phoneScanStep() {
    for (;;) {
        if (!findMatch()) return m_scan.finished ? ScanStep::Finished : ScanStep::Stopped;
        if (copyPendingMatch()) return ScanStep::Copied;
    }
}

// Makes the scan's next match pending, loading blocks of candidates as the
// matches of the loaded one run out; in the additional numbers' phase the
// subscribers listed already are passed over. False when no match is pending:
// the scan has finished, or a stop request cut the search short.
bool DirectorySearch::findMatch() {
    PhoneScan& scan = m_scan;
    while (!scan.pending) {
        if (scan.finished) return false;
        if (scan.nextMatch < scan.matchesInBlock) {
            const int match = scan.nextMatch++;
            if (scan.phase == PhoneScan::Phase::ExtraNumbers) {
                moveBufferTo(match);
                if (alreadyListed(bufferQuery().text(u"euroISDN"_s))) continue;
            }
            scan.pending = match;
        } else if (stopRequested()) {
            return false;
        } else if (!loadBlock()) {
            scan.finished = true;
        }
    }
    return true;
}

// Copies the pending match; false when the copy step passed it over.
bool DirectorySearch::copyPendingMatch() {
    const int match = *std::exchange(m_scan.pending, std::nullopt);
    moveBufferTo(match);
    return copyBufferRow(bufferQuery());
}

// After a full page: whether a further match exists, so that ">>>" stays
// enabled only when one does (the page may have ended on the last match of a
// block). The match found stays pending for the next forward move. A stop
// request ends the look-ahead at once and leaves the question open.
void DirectorySearch::lookAhead(int searchLimit) {
    if (m_page.state().foundCount < searchLimit) findMatch();
}

void DirectorySearch::moveBufferTo(int row) {
    db::Dataset& buffer = bufferQuery();
    if (buffer.recNo() < 0 || buffer.recNo() > row) buffer.first();
    buffer.moveBy(row - buffer.recNo());
}

// Unscrambles the next block of candidates into the phone buffer and finds the
// matches among them; a stop request cuts the block short. False when both
// phases have no candidates left.
bool DirectorySearch::loadBlock() {
    PhoneScan& scan = m_scan;
    if (scan.candidatesDone) {
        if (scan.phase == PhoneScan::Phase::ExtraNumbers) return false;
        startExtraNumbersPhase();
    }
    if (!m_directory.isOpen()) {
        db::Dataset::CallbackGuard quiet(m_directory);
        m_directory.open();
        scan.candidatesStarted = false;
    }
    if (!m_numberPattern) m_numberPattern.emplace(m_phoneDigits);
    // Every block starts from an empty buffer. Re-created when the last block
    // left rows in it; one that nothing was written to since is empty already.
    if (m_bufferHoldsRows || !m_buffer->database()) {
        m_buffer->recreate(m_page.state().pageSize, [this] { m_phoneSearch = true; });
        m_bufferHoldsRows = false;
    }
    m_candidates.clear();
    {
        WriteUnit unit(m_buffer->database());
        for (int moved = 0; moved < kBlockSize && !scan.candidatesDone && !stopRequested(); ++moved) {
            if (!scan.candidatesStarted) {
                scan.candidatesStarted = true;
                if (m_directory.isEmpty()) {
                    scan.candidatesDone = true;
                    break;
                }
                m_directory.first();
            } else {
                m_directory.next();
            }
            if (m_directory.eof()) scan.candidatesDone = true;
        }
        writeBlock();
        unit.commit();
    }

    db::Dataset& buffer = bufferQuery();
    buffer.close();
    const QString table = tableName();
    const QString number = quoted(m_phoneDigits);
    if (scan.phase == PhoneScan::Phase::ExtraNumbers)
        buffer.setSql(u"SELECT DISTINCT * FROM "_s + table + u" WHERE euroisdn IN (SELECT euroisdn FROM "_s +
                      table + u"_TEL_Navic WHERE Tel LIKE "_s + number + u")"_s);
    else
        buffer.setSql(u"SELECT DISTINCT * FROM "_s + table + u" WHERE Tel LIKE "_s + number);
    buffer.open();
    buffer.last();
    scan.matchesInBlock = buffer.recordCount();
    scan.nextMatch = 0;
    return true;
}

void DirectorySearch::startExtraNumbersPhase() {
    m_scan.phase = PhoneScan::Phase::ExtraNumbers;
    {
        db::Dataset::CallbackGuard quiet(m_directory);
        m_directory.close();
        m_directory.sql() = search_criteria::extraNumbersLines(m_kind, m_phoneStatement);
        m_directory.open();
    }
    m_scan.candidatesStarted = false;
    m_scan.candidatesDone = false;
    m_page.state().endOfResults = false;
}

// ---- the shown page ---------------------------------------------------------------

std::optional<record_label::LabelRecord> DirectorySearch::currentRecord() const {
    if (!m_page.hasCurrentRow()) return std::nullopt;
    const db::Dataset& page = m_page.workingDatabase()->dataset();
    record_label::LabelRecord r;
    r.firm = m_kind == Directory::Firms;
    if (r.firm) {
        r.firmName = page.text(u"Firma"_s);
    } else {
        r.title = page.text(u"Titul"_s);
        r.firstName = page.text(u"Jmeno"_s);
        r.surname = page.text(u"Prijmeni"_s);
    }
    r.tel = page.text(u"Tel"_s);
    r.note = page.text(u"Poznamka"_s);
    r.street = page.text(u"Ulice"_s);
    r.houseNumber = page.text(u"CP"_s);
    r.part = page.text(u"Cast"_s);
    r.municipality = page.text(u"Obec"_s);
    r.postalCode = page.text(u"PSC"_s);
    r.euroIsdn = page.text(u"euroISDN"_s);
    return r;
}

QList<record_label::ExtraNumber> DirectorySearch::extraNumbers(const QString& euroIsdn) {
    QList<record_label::ExtraNumber> out;
    bool ok = false;
    const qint64 key = euroIsdn.toLongLong(&ok);
    if (!ok) return out;
    const bool firm = m_kind == Directory::Firms;
    m_lookup.close();
    m_lookup.setDatabase(connectDirectory());
    m_lookup.setSql(record_label::extraNumbersProbeSql(firm));
    m_lookup.open();
    const bool hasTel = m_lookup.hasField(u"Tel"_s);
    m_lookup.close();
    m_lookup.setSql(record_label::extraNumbersSql(firm, hasTel, QString::number(key)));
    m_lookup.open();
    for (; !m_lookup.eof(); m_lookup.next()) {
        const QString note = m_lookup.text(u"Poznamka"_s);
        out << (hasTel ? record_label::extraNumberFromTel(m_lookup.text(u"Tel"_s), note)
                       : record_label::extraNumberFromStored(m_lookup.text(u"Tel_a"_s),
                                                             m_lookup.text(u"TelExt_a"_s),
                                                             m_lookup.text(u"ID"_s), note));
    }
    m_lookup.close();
    return out;
}
