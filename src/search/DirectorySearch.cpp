#include "DirectorySearch.h"

#include "Database.h"
#include "Error.h"
#include "OwnDatabases.h"
#include "RowCopy.h"

namespace {

using search_criteria::quoted;

// Candidates unscrambled into the phone buffer at a time.
constexpr int kBlockSize = 2000;

QString s(const char* text) {
    return QString::fromUtf8(text);
}

// Rows appended one by one are written in one transaction, committed when the
// scope ends however it ends, so that an error keeps the rows copied so far.
class Batch {
  public:
    explicit Batch(db::Database* database) : m_db(database) {
        if (m_db) m_db->beginTransaction();
    }
    ~Batch() {
        try {
            if (m_db) m_db->commit();
        } catch (const db::Error&) {
        }
    }
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

  private:
    db::Database* m_db;
};

row_copy::Directory copyKind(search_criteria::Directory d) {
    return d == search_criteria::Directory::Persons ? row_copy::Directory::Persons
                                                    : row_copy::Directory::Firms;
}

} // namespace

DirectorySearch::DirectorySearch(Directory directory, Services services)
    : m_kind(directory), m_services(std::move(services)) {
    m_directory.setObjectName(directory == Directory::Persons ? s("MQuery1") : s("MQuery2"));
    m_counter.setObjectName(s("pocitadlo"));
    m_directory.setRowCallback([this](db::Dataset& row) { copyDirectoryRow(row); });
}

DirectorySearch::~DirectorySearch() {
    m_directory.close();
    m_counter.close();
    m_lookup.close();
    m_check.close();
}

void DirectorySearch::setWorkingDatabases(db::WorkingDatabase* results, db::WorkingDatabase* phoneBuffer) {
    m_results = results;
    m_buffer = phoneBuffer;
    if (m_buffer) m_buffer->dataset().setRowCallback([this](db::Dataset& row) { copyBufferRow(row); });
}

db::Dataset& DirectorySearch::pageQuery() {
    if (!m_results) throw db::Error(s("Pracovní databáze není připravena."));
    return m_results->dataset();
}

db::Dataset& DirectorySearch::bufferQuery() {
    if (!m_buffer) throw db::Error(s("Pracovní databáze není připravena."));
    return m_buffer->dataset();
}

QString DirectorySearch::tableName() const {
    return m_kind == Directory::Persons ? s("Osoby") : s("Firmy");
}

void DirectorySearch::setEndState(EndState state) {
    m_end = state;
    if (onEndStateChanged) onEndStateChanged(state);
}

db::Database* DirectorySearch::connectDirectory() {
    db::Database* db = m_services.directory ? m_services.directory() : nullptr;
    if (!db) throw db::Error(s("Databáze telefonního seznamu není otevřena."));
    if (m_directory.database() != db) {
        m_directory.close();
        m_directory.setDatabase(db);
    }
    return db;
}

// ---- search start ---------------------------------------------------------------

void DirectorySearch::begin(int pageSize) {
    m_state = PageState{};
    m_state.pageSize = pageSize;
    m_scanStarted = m_scanDone = m_scanFinished = false;
    m_blockMatches = m_nextMatch = 0;
}

void DirectorySearch::prepareTables(bool byTelephone) {
    connectDirectory();
    m_directory.close();
    m_state.phoneSearch = false;
    if (byTelephone) {
        m_buffer->recreate(m_state.pageSize, [this] { m_state.phoneSearch = true; });
        db::Dataset& buffer = bufferQuery();
        db::Dataset::CallbackGuard quiet(buffer);
        buffer.close();
        buffer.setSql(s("SELECT * FROM ") + tableName());
        buffer.open();
    }
    m_results->recreate(m_state.pageSize);
    m_check.close();
    m_check.setDatabase(m_results->database());
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
    if (!fields.telephone.isEmpty()) m_phoneStatement = m_directory.sql();
}

// ---- copy steps -------------------------------------------------------------------

void DirectorySearch::copyDirectoryRow(db::Dataset& row) {
    if (m_services.processEvents) m_services.processEvents();
    const row_copy::Directory kind = copyKind(m_kind);
    if (m_state.phoneSearch) {
        db::Dataset& buffer = bufferQuery();
        {
            db::Dataset::CallbackGuard quiet(buffer);
            buffer.append();
            try {
                row_copy::copyToBuffer(kind, row, buffer);
            } catch (const db::Error&) {
                // The row goes in as far as it was filled.
            }
            buffer.post();
        }
        if (m_state.extraNumbersPhase) {
            try {
                const QString number = row_copy::storedNumber(row.text(s("nTel_a")), row.text(s("nTelExt_a")),
                                                              row.text(s("nID")), m_kind == Directory::Firms);
                m_buffer->database()->execute(
                    row_copy::extraNumberInsert(kind, number, row.text(s("euroISDN"))),
                    db::Database::FailOnError);
            } catch (const db::Error&) {
                // That number cannot be found then; the scan goes on.
            }
        }
        return;
    }
    db::Dataset& page = pageQuery();
    page.append();
    ++m_state.foundCount;
    try {
        row_copy::copyToWorking(kind, row, page, m_state.foundCount);
    } catch (const db::Error&) {
        // Posted with the columns filled so far; the count keeps its increase.
    }
    page.post();
}

void DirectorySearch::copyBufferRow(db::Dataset& row) {
    m_copied = false;
    // A subscriber found through an additional number is listed once, and not
    // at all when its main number listed it already.
    if (m_state.extraNumbersPhase && alreadyListed(row.text(s("euroISDN")))) return;
    db::Dataset& page = pageQuery();
    page.append();
    ++m_state.foundCount;
    try {
        row_copy::copyBufferToWorking(copyKind(m_kind), row, page, m_state.foundCount);
    } catch (const db::Error&) {
        // Posted as far as it was filled.
    }
    page.post();
    m_copied = true;
}

bool DirectorySearch::alreadyListed(const QString& euroIsdn) {
    bool ok = false;
    const qint64 key = euroIsdn.toLongLong(&ok);
    if (!ok) return false;
    m_check.setSql(s("SELECT Count(*) as vlozit FROM ") + tableName() + s(" WHERE euroISDN = ") +
                   QString::number(key));
    m_check.open();
    const bool listed = m_check.value(s("vlozit")).toLongLong() != 0;
    m_check.close();
    return listed;
}

// ---- paging ---------------------------------------------------------------------

void DirectorySearch::openPage(const QString& sql) {
    db::Dataset& page = pageQuery();
    page.close();
    page.setSql(sql);
    page.open();
}

bool DirectorySearch::endCheck(db::Dataset& query) {
    if (!query.isOpen()) return false;
    if (query.eof()) return true;
    db::Dataset::CallbackGuard quiet(query);
    query.next();
    if (query.eof()) return true;
    query.prior();
    return false;
}

bool DirectorySearch::endCheckDirectory(int searchLimit) {
    bool end = endCheck(m_directory);
    if (end) {
        setEndState(EndState::NoMore);
    } else if (m_state.foundCount == searchLimit) {
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
    PageState& st = m_state;
    st.pageSize = pageSize;
    st.first = st.lastShown + 1;
    st.last = st.lastShown + pageSize;
    st.lastShown = st.last;
    st.fillStart = st.foundCount;
    st.fillCounter = 0;
    Paging paging;
    paging.previousEnabled = st.first != 1;
    bool stopped = false;
    openPage(tableName().prepend(s("SELECT * FROM ")) + s(" WHERE id2 BETWEEN ") + QString::number(st.first) +
             s(" AND ") + QString::number(st.last));

    if (st.last <= st.fillStart) {
        // Rows copied before: nothing to fetch.
        paging.nextEnabled = true;
    } else {
        Batch batch(m_results->database());
        bool* stop = m_services.stopRequested;
        while (st.fillCounter < st.last - st.fillStart && !st.endOfResults) {
            if (st.foundCount == searchLimit) {
                setEndState(EndState::MoreRecords);
                break;
            }
            if (stop && *stop) {
                *stop = false;
                stopped = true;
                st.lastShown = st.foundCount;
                break;
            }
            if (!st.phoneSearch) {
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
    }

    if (st.last >= st.fillStart) {
        if (!st.phoneSearch) {
            st.endOfResults = endCheckDirectory(searchLimit);
            paging.nextEnabled = !st.endOfResults;
        } else {
            // Look ahead so that ">>>" stays enabled only when a further match
            // is known: the page may have ended on the last match of a block.
            // After a stop the scan waits for the next forward move.
            if (!stopped && st.foundCount < searchLimit && !m_scanFinished && !matchPending()) m_scanFinished = true;
            if (m_scanFinished) {
                st.endOfResults = true;
                setEndState(EndState::NoMore);
            } else if (st.foundCount >= searchLimit) {
                st.endOfResults = true;
                setEndState(EndState::MoreRecords);
            } else {
                st.endOfResults = false;
            }
            paging.nextEnabled = !st.endOfResults;
        }
    }
    pageQuery().first();
    return paging;
}

DirectorySearch::Paging DirectorySearch::previousPage(int pageSize) {
    PageState& st = m_state;
    st.pageSize = pageSize;
    const int f = st.first;
    st.last = f - 1;
    st.first = f - pageSize;
    st.lastShown = f - 1;
    openPage(s("select * from ") + tableName().toLower() + s(" where id2 between ") +
             QString::number(st.first) + s(" and ") + QString::number(st.last));
    pageQuery().first();
    return Paging{st.first > 1, true};
}

void DirectorySearch::reset(int pageSize) {
    if (m_results) pageQuery().close();
    m_state.pageSize = pageSize;
    m_state.first = 0;
    m_state.last = pageSize;
    m_state.markedCount = 0;
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

// Copies the next match of the scan into the working table. Blocks of
// candidates are loaded as the matches of the previous one run out; the main
// numbers are scanned first, then the additional numbers.
DirectorySearch::ScanStep DirectorySearch::phoneScanStep() {
    bool* stop = m_services.stopRequested;
    while (!m_scanFinished) {
        if (m_nextMatch < m_blockMatches) {
            db::Dataset& buffer = bufferQuery();
            m_copied = false;
            if (m_nextMatch++ == 0)
                buffer.first();
            else
                buffer.next();
            if (m_copied) return ScanStep::Copied;
            continue;
        }
        if (stop && *stop) return ScanStep::Stopped;
        if (!loadBlock()) m_scanFinished = true;
    }
    return ScanStep::Finished;
}

// Unscrambles the next block of candidates into the phone buffer and finds the
// matches among them. False when both phases have no candidates left.
bool DirectorySearch::loadBlock() {
    if (m_scanDone) {
        if (m_state.extraNumbersPhase) return false;
        startExtraNumbersPhase();
    }
    if (!m_directory.isOpen()) {
        db::Dataset::CallbackGuard quiet(m_directory);
        m_directory.open();
        m_scanStarted = false;
    }
    m_buffer->recreate(m_state.pageSize, [this] { m_state.phoneSearch = true; });
    bool* stop = m_services.stopRequested;
    int moved = 0;
    {
        Batch batch(m_buffer->database());
        while (moved < kBlockSize && !m_scanDone && !(stop && *stop)) {
            if (!m_scanStarted) {
                m_scanStarted = true;
                if (m_directory.isEmpty()) {
                    m_scanDone = true;
                    break;
                }
                m_directory.first();
            } else {
                m_directory.next();
            }
            ++moved;
            if (m_directory.eof()) m_scanDone = true;
        }
    }

    db::Dataset& buffer = bufferQuery();
    db::Dataset::CallbackGuard quiet(buffer);
    buffer.close();
    const QString table = tableName();
    const QString number = quoted(m_phoneDigits);
    if (m_state.extraNumbersPhase)
        buffer.setSql(s("SELECT DISTINCT * FROM ") + table + s(" WHERE euroisdn IN (SELECT euroisdn FROM ") +
                      table + s("_TEL_Navic WHERE Tel LIKE ") + number + s(")"));
    else
        buffer.setSql(s("SELECT DISTINCT * FROM ") + table + s(" WHERE Tel LIKE ") + number);
    buffer.open();
    buffer.last();
    m_blockMatches = buffer.recordCount();
    m_nextMatch = 0;
    return true;
}

// Whether the scan has a further match to copy, loading blocks until one is
// found; matches listed already are passed over. True when a stop request cut
// the search short, since more may follow then.
bool DirectorySearch::matchPending() {
    bool* stop = m_services.stopRequested;
    for (;;) {
        while (m_nextMatch < m_blockMatches) {
            if (!m_state.extraNumbersPhase || !nextMatchListed()) return true;
            ++m_nextMatch;
        }
        if (stop && *stop) return true;
        if (!loadBlock()) return false;
    }
}

// Looks at the next match without copying it. The buffer query stays where the
// next copy step expects it: on the match before, or anywhere before the first.
bool DirectorySearch::nextMatchListed() {
    db::Dataset& buffer = bufferQuery();
    db::Dataset::CallbackGuard quiet(buffer);
    if (m_nextMatch == 0)
        buffer.first();
    else
        buffer.next();
    const bool listed = alreadyListed(buffer.text(s("euroISDN")));
    if (!listed && m_nextMatch > 0) buffer.prior();
    return listed;
}

void DirectorySearch::startExtraNumbersPhase() {
    m_state.extraNumbersPhase = true;
    {
        db::Dataset::CallbackGuard quiet(m_directory);
        m_directory.close();
        m_directory.sql() = search_criteria::extraNumbersLines(m_kind, m_phoneStatement);
        m_directory.open();
    }
    m_scanStarted = false;
    m_scanDone = false;
    m_state.endOfResults = false;
}

// ---- the shown page ---------------------------------------------------------------

bool DirectorySearch::toggleMark() {
    if (!m_results) return false;
    db::Dataset& page = pageQuery();
    if (!page.isOpen() || page.recNo() < 0) return false;
    const bool marked = page.value(s("Zn")).toBool();
    m_state.markedCount += marked ? -1 : 1;
    page.edit();
    page.setValue(s("Zn"), !marked);
    page.post();
    return true;
}

void DirectorySearch::sortPage(const QString& field, SortOrder order) {
    db::Dataset& page = pageQuery();
    if (!page.isOpen() || page.isEmpty()) return;
    const QVariant current = page.recNo() >= 0 ? page.value(s("ID2")) : QVariant();
    openPage(s("SELECT * FROM ") + tableName() + s(" WHERE ID2 BETWEEN ") + QString::number(m_state.first) +
             s(" AND ") + QString::number(m_state.last) + s(" ORDER BY ") + field +
             (order == SortOrder::Ascending ? s(" ASC") : s(" DESC")));
    if (current.isNull() || !page.locate(s("ID2"), current)) page.first();
}

std::optional<record_label::LabelRecord> DirectorySearch::currentRecord() const {
    if (!m_results) return std::nullopt;
    const db::Dataset& page = m_results->dataset();
    if (!page.isOpen() || page.recNo() < 0) return std::nullopt;
    record_label::LabelRecord r;
    r.firm = m_kind == Directory::Firms;
    if (r.firm) {
        r.firmName = page.text(s("Firma"));
    } else {
        r.title = page.text(s("Titul"));
        r.firstName = page.text(s("Jmeno"));
        r.surname = page.text(s("Prijmeni"));
    }
    r.tel = page.text(s("Tel"));
    r.note = page.text(s("Poznamka"));
    r.street = page.text(s("Ulice"));
    r.houseNumber = page.text(s("CP"));
    r.part = page.text(s("Cast"));
    r.municipality = page.text(s("Obec"));
    r.postalCode = page.text(s("PSC"));
    r.euroIsdn = page.text(s("euroISDN"));
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
    const bool hasTel = m_lookup.hasField(s("Tel"));
    m_lookup.close();
    m_lookup.setSql(record_label::extraNumbersSql(firm, hasTel, QString::number(key)));
    m_lookup.open();
    for (; !m_lookup.eof(); m_lookup.next()) {
        const QString note = m_lookup.text(s("Poznamka"));
        out << (hasTel ? record_label::extraNumberFromTel(m_lookup.text(s("Tel")), note)
                       : record_label::extraNumberFromStored(m_lookup.text(s("Tel_a")),
                                                             m_lookup.text(s("TelExt_a")),
                                                             m_lookup.text(s("ID")), note));
    }
    m_lookup.close();
    return out;
}
