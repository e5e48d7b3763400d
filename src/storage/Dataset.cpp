#include "Dataset.h"

#include "CzechText.h"
#include "Database.h"
#include "Error.h"
#include "JetValues.h"

#include <QMetaMethod>

#include <algorithm>
#include <optional>

namespace db {

namespace {
constexpr int kRing = 64;         // rows kept behind a lazy cursor for moving back
constexpr int kCacheLimit = 4096; // rows kept by a key set before the cache starts over

[[noreturn]] void noCurrentRecord() {
    throw Error(QStringLiteral("Žádný aktuální záznam."));
}

// A value given for a Yes/No field: numbers and numeric texts are true unless
// zero (True is -1), and the words True/False, Yes/No and On/Off count in any
// letter case. Anything else is no Yes/No value.
std::optional<bool> booleanOf(const QVariant& v) {
    if (v.isNull()) return std::nullopt;
    if (v.typeId() == QMetaType::Bool) return v.toBool();
    bool ok = false;
    if (v.typeId() == QMetaType::QString) {
        QString s = v.toString().trimmed();
        s.replace(QChar(0x2212), u'-'); // the typographic minus sign
        for (const char* word : {"true", "yes", "on"})
            if (s.compare(QLatin1String(word), Qt::CaseInsensitive) == 0) return true;
        for (const char* word : {"false", "no", "off"})
            if (s.compare(QLatin1String(word), Qt::CaseInsensitive) == 0) return false;
        const double d = s.toDouble(&ok);
        return ok ? std::optional<bool>(d != 0) : std::nullopt;
    }
    const double d = v.toDouble(&ok);
    return ok ? std::optional<bool>(d != 0) : std::nullopt;
}
} // namespace

Dataset::Dataset(QObject* parent) : QObject(parent) {}

Dataset::~Dataset() {
    close();
    if (m_db) m_db->detachDataset(this);
}

void Dataset::setDatabase(Database* database) {
    if (database == m_db) return;
    close();
    if (m_db) m_db->detachDataset(this);
    m_db = database;
    if (m_db) m_db->attachDataset(this);
}

void Dataset::requireOpen() const {
    if (m_state == State::Inactive)
        throw Error(QStringLiteral("Operace není povolena, je-li objekt zavřen."));
}

void Dataset::open() {
    if (isOpen()) close();
    discardCursor();
    if (!m_db || !m_db->isOpen()) throw Error(QStringLiteral("Dataset nemá otevřenou databázi."));
    try {
        Translation tr = m_db->translate(sqlText());
        if (tr.kind != Translation::Kind::Select)
            throw Error(QStringLiteral("Dataset lze otevřít jen na výběrovém dotazu (SELECT)."));
        m_tr = std::move(tr);
        m_columns = m_tr.columnNames;
        m_keyset = m_tr.updatable && (!m_db->isReadOnly() || m_keysetOnReadOnly);
        sqlite3* h = m_db->handle();

        const sqlite::Statement& typed = m_keyset ? (m_rowStmt = sqlite::Statement(h, m_tr.rowSql))
                                                  : (m_stmt = sqlite::Statement(h, m_tr.statements.first()));
        m_boolean.assign(m_columns.size(), false);
        for (int i = 0; i < int(m_columns.size()) && i < typed.columnCount(); ++i)
            m_boolean[i] =
                columnFromDeclaredType(QString(), typed.declaredType(i)).type == ColumnType::Boolean;

        for (int i = 0; i < int(m_tr.columnTypes.size()); ++i) {
            const ColumnType type = m_tr.columnTypes[i];
            if (type == ColumnType::DateTime || type == ColumnType::Currency || type == ColumnType::Single) {
                m_shownAs.assign(m_columns.size(), ColumnType::Other);
                break;
            }
        }
        for (int i = 0; i < int(m_shownAs.size()) && i < int(m_tr.columnTypes.size()); ++i)
            m_shownAs[size_t(i)] = m_tr.columnTypes[i];

        m_appendAlways.assign(m_columns.size(), false);
        m_firstOfColumn.assign(m_columns.size(), -1);
        if (m_keyset && m_tr.base) {
            for (int i = 0; i < int(m_columns.size()); ++i) {
                const QString& name = m_tr.baseColumns.value(i);
                const ColumnInfo* c = name.isEmpty() ? nullptr : m_tr.base->info.column(name);
                if (!c) continue;
                int first = i;
                for (int j = 0; j < i && first == i; ++j)
                    if (m_tr.baseColumns.value(j).compare(name, Qt::CaseInsensitive) == 0) first = j;
                m_firstOfColumn[size_t(i)] = first;
                if (first == i) m_appendAlways[size_t(i)] = !c->hasDefault || c->type == ColumnType::Boolean;
            }
        }

        if (m_keyset) {
            sqlite::Statement keys(h, m_tr.keySql);
            while (keys.step())
                m_keys.push_back(keys.columnInt(0));
        }
    } catch (const Error&) {
        // Nothing of the failed statement may show in the next one.
        discardCursor();
        throw;
    }
    m_state = State::Browse;
    emit opened();
    // A lazy dataset reads its first row here; a failure closes it again.
    if (exists(0))
        land(0);
    else
        m_bof = m_eof = true;
}

void Dataset::discardCursor() {
    m_stmt = sqlite::Statement();
    m_rowStmt = sqlite::Statement();
    m_offsetStmt = sqlite::Statement();
    m_inserts.clear();
    m_appendAlways.clear();
    m_firstOfColumn.clear();
    m_keys.clear();
    m_cache.clear();
    m_ring.clear();
    m_history = false;
    m_scratch.position = -1;
    m_names.fill(NameSlot{});
    m_stmtIndex = -1;
    m_stmtDone = false;
    m_count = -1;
    m_buffer.clear();
    m_dirty.clear();
    m_tr = Translation();
    m_columns.clear();
    m_boolean.clear();
    m_shownAs.clear();
    m_keyset = false;
    m_state = State::Inactive;
    m_pos = -1;
    m_bof = m_eof = true;
}

void Dataset::close() {
    if (m_state == State::Inactive) return;
    discardCursor();
    emit closed();
}

// ---- reading rows -------------------------------------------------------------

QVariant Dataset::shown(int column, QVariant stored) const {
    if (m_shownAs.empty() || stored.isNull()) return stored;
    return shownValue(m_shownAs[size_t(column)], stored);
}

ColumnType Dataset::fieldType(int column) const {
    if (column < 0 || column >= int(m_tr.columnTypes.size())) return ColumnType::Other;
    return m_tr.columnTypes[column];
}

Dataset::Row Dataset::readRow(const sqlite::Statement& st) const {
    Row r(m_columns.size());
    for (int i = 0; i < r.size(); ++i)
        r[i] = st.column(i, m_boolean[i]);
    return r;
}

void Dataset::RawRow::capture(sqlite3_stmt* st, int columns) {
    cells.resize(columns);
    bytes.clear();
    for (int i = 0; i < columns; ++i) {
        Cell& c = cells[i];
        c.type = sqlite3_column_type(st, i);
        switch (c.type) {
        case SQLITE_INTEGER:
            c.integer = sqlite3_column_int64(st, i);
            break;
        case SQLITE_FLOAT:
            c.real = sqlite3_column_double(st, i);
            break;
        case SQLITE_NULL:
            break;
        default: {
            const void* p = c.type == SQLITE_BLOB ? sqlite3_column_blob(st, i) : sqlite3_column_text(st, i);
            c.length = sqlite3_column_bytes(st, i);
            c.offset = int(bytes.size());
            bytes.append(static_cast<const char*>(p), size_t(c.length));
            break;
        }
        }
    }
}

QVariant Dataset::RawRow::value(int column, bool boolean) const {
    const Cell& c = cells[column];
    switch (c.type) {
    case SQLITE_NULL:
        return boolean ? QVariant(false) : QVariant();
    case SQLITE_INTEGER:
        return boolean ? QVariant(c.integer != 0) : QVariant(c.integer);
    case SQLITE_FLOAT:
        return QVariant(c.real);
    case SQLITE_BLOB:
        return QVariant(QByteArray(bytes.data() + c.offset, c.length));
    default:
        return QVariant(QString::fromUtf8(bytes.data() + c.offset, c.length));
    }
}

void Dataset::fetchNext() {
    if (m_stmtDone) return;
    if (m_history && m_stmtIndex >= 0) {
        if (m_ring.empty()) m_ring.resize(kRing);
        RawRow& r = m_ring[size_t(m_stmtIndex % kRing)];
        r.capture(m_stmt.get(), int(m_columns.size()));
        r.position = m_stmtIndex;
    }
    bool row = false;
    try {
        row = m_stmt.step();
    } catch (const Error&) {
        // The failed step has reset the cursor to its start: it cannot go on
        // from where it was.
        close();
        throw;
    }
    if (row) {
        ++m_stmtIndex;
    } else {
        m_stmtDone = true;
        m_count = m_stmtIndex + 1;
        m_stmt.reset();
    }
}

bool Dataset::exists(int position) {
    if (position < 0) return false;
    if (m_keyset) return position < int(m_keys.size());
    if (m_count >= 0) return position < m_count;
    while (m_stmtIndex < position && !m_stmtDone)
        fetchNext();
    return position <= m_stmtIndex;
}

const Dataset::Row& Dataset::rowAt(int position) const {
    const qint64 key = m_keys.at(position);
    auto it = m_cache.find(key);
    if (it != m_cache.end()) return *it;
    if (m_cache.size() >= kCacheLimit) m_cache.clear();
    m_rowStmt.reset();
    m_rowStmt.bind(1, key);
    // A row deleted behind the dataset's back reads as empty.
    Row r = m_rowStmt.step() ? readRow(m_rowStmt) : Row(m_columns.size());
    m_rowStmt.reset();
    return *m_cache.insert(key, r);
}

QVariant Dataset::lazyValue(int position, int column) const {
    const bool boolean = m_boolean[column];
    if (position == m_stmtIndex && !m_stmtDone) return m_stmt.column(column, boolean);
    if (!m_ring.empty()) {
        const RawRow& r = m_ring[size_t(position % kRing)];
        if (r.position == position) return r.value(column, boolean);
    }
    // The dataset has moved away from the cursor: from now on keep the rows it
    // leaves, and fetch this one alone by its position.
    m_history = true;
    if (m_scratch.position != position) {
        if (!m_offsetStmt.isValid()) m_offsetStmt = sqlite::Statement(m_db->handle(), m_tr.offsetSql);
        m_offsetStmt.reset();
        m_offsetStmt.bind(1, position);
        if (m_offsetStmt.step()) {
            m_scratch.capture(m_offsetStmt.get(), int(m_columns.size()));
        } else {
            m_scratch.cells.assign(m_columns.size(), RawRow::Cell{});
        }
        m_scratch.position = position;
        m_offsetStmt.reset();
    }
    return m_scratch.value(column, boolean);
}

// ---- moving -------------------------------------------------------------------

void Dataset::connectNotify(const QMetaMethod& signal) {
    if (signal == QMetaMethod::fromSignal(&Dataset::currentChanged)) ++m_currentListeners;
}

void Dataset::disconnectNotify(const QMetaMethod& signal) {
    if (signal == QMetaMethod::fromSignal(&Dataset::currentChanged) && m_currentListeners > 0)
        --m_currentListeners;
}

void Dataset::land(int position) {
    m_pos = position;
    m_bof = m_eof = false;
    if (m_currentListeners) emit currentChanged();
    if (m_callback && m_suppress == 0) m_callback(*this);
}

void Dataset::setEof() {
    m_pos = recordCount();
    m_eof = true;
    m_bof = m_pos == 0;
    if (m_currentListeners) emit currentChanged();
}

void Dataset::setBof() {
    m_pos = -1;
    m_bof = true;
    m_eof = recordCount() == 0;
    if (m_currentListeners) emit currentChanged();
}

int Dataset::recordCount() const {
    if (m_state == State::Inactive) return 0;
    if (m_keyset) return int(m_keys.size());
    return m_count >= 0 ? m_count : m_stmtIndex + 1;
}

// Pending changes are posted when they changed something and dropped otherwise,
// before the dataset moves.
static void settle(Dataset& ds, const std::vector<bool>& dirty) {
    if (ds.state() != Dataset::State::Edit && ds.state() != Dataset::State::Insert) return;
    bool modified = false;
    for (bool d : dirty)
        modified = modified || d;
    if (modified)
        ds.post();
    else
        ds.cancel();
}

void Dataset::first() {
    requireOpen();
    settle(*this, m_dirty);
    if (exists(0))
        land(0);
    else
        setBof();
}

void Dataset::last() {
    requireOpen();
    settle(*this, m_dirty);
    if (!m_keyset && m_count < 0) {
        if (m_stmtDone) {
            m_count = m_stmtIndex + 1;
        } else {
            // Count without fetching the rows' data.
            sqlite::Statement st(m_db->handle(), m_tr.countSql);
            m_count = st.step() ? int(st.columnInt(0)) : 0;
        }
    }
    const int n = recordCount();
    if (n == 0)
        setBof();
    else
        land(n - 1);
}

void Dataset::next() {
    requireOpen();
    settle(*this, m_dirty);
    if (m_eof) return;
    const int target = m_bof ? 0 : m_pos + 1;
    if (exists(target))
        land(target);
    else
        setEof();
}

void Dataset::prior() {
    requireOpen();
    settle(*this, m_dirty);
    if (m_bof) return;
    const int target = m_eof ? recordCount() - 1 : m_pos - 1;
    if (target >= 0 && exists(target))
        land(target);
    else
        setBof();
}

void Dataset::moveBy(int distance) {
    requireOpen();
    settle(*this, m_dirty);
    if (distance == 0) return;
    const int from = m_bof ? -1 : (m_eof ? recordCount() : m_pos);
    const int target = from + distance;
    if (target < 0)
        setBof();
    else if (!exists(target))
        setEof();
    else
        land(target);
}

// ---- fields -------------------------------------------------------------------

int Dataset::fieldIndex(const QString& name) const {
    // Callers mostly pass the same literal names again and again: remember where
    // each text was found, and check the hit with one exact comparison.
    NameSlot& slot = m_names[(reinterpret_cast<quintptr>(name.constData()) >> 4) % m_names.size()];
    if (slot.key == name.constData() && slot.index >= 0 && m_columns[slot.index] == name) return slot.index;
    int found = -1;
    for (int i = 0; i < m_columns.size() && found < 0; ++i)
        if (m_columns[i] == name) found = i;
    for (int i = 0; i < m_columns.size() && found < 0; ++i)
        if (m_columns[i].compare(name, Qt::CaseInsensitive) == 0) found = i;
    if (found >= 0 && m_columns[found] == name) slot = NameSlot{name.constData(), found};
    return found;
}

QVariant Dataset::value(int field) const {
    requireOpen();
    if (field < 0 || field >= m_columns.size())
        throw Error(QStringLiteral("Pole s pořadím %1 v kolekci neexistuje.").arg(field));
    if (m_state == State::Edit || m_state == State::Insert) return m_buffer[field];
    if (m_bof || m_eof) noCurrentRecord();
    return shown(field, m_keyset ? rowAt(m_pos)[field] : lazyValue(m_pos, field));
}

QVariant Dataset::valueAt(int position, int field) const {
    requireOpen();
    if (field < 0 || field >= m_columns.size())
        throw Error(QStringLiteral("Pole s pořadím %1 v kolekci neexistuje.").arg(field));
    if (position < 0 || position >= recordCount()) return {};
    if (m_keyset) return shown(field, rowAt(position)[field]);
    const bool boolean = m_boolean[field];
    if (position == m_stmtIndex && !m_stmtDone) return shown(field, m_stmt.column(field, boolean));
    if (!m_ring.empty()) {
        const RawRow& r = m_ring[size_t(position % kRing)];
        if (r.position == position) return shown(field, r.value(field, boolean));
    }
    if (m_scratch.position == position) return shown(field, m_scratch.value(field, boolean));
    // The current row is read the way value() reads it.
    if (position == m_pos && !m_bof && !m_eof) return shown(field, lazyValue(position, field));
    return {};
}

QVariant Dataset::valueAt(int position, const QString& name) const {
    const int i = fieldIndex(name);
    if (i < 0) throw Error(QStringLiteral("Položka „%1“ nebyla v této kolekci nalezena.").arg(name));
    return valueAt(position, i);
}

QVariant Dataset::value(const QString& name) const {
    const int i = fieldIndex(name);
    if (i < 0) throw Error(QStringLiteral("Položka „%1“ nebyla v této kolekci nalezena.").arg(name));
    return value(i);
}

QString Dataset::text(const QString& name) const {
    const int i = fieldIndex(name);
    // The common case of a copy step: a text straight from the cursor's row.
    if (i >= 0 && !m_keyset && m_state == State::Browse && !m_bof && !m_eof && m_pos == m_stmtIndex &&
        !m_stmtDone && sqlite3_column_type(m_stmt.get(), i) == SQLITE_TEXT) {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt.get(), i));
        return QString::fromUtf8(p, sqlite3_column_bytes(m_stmt.get(), i));
    }
    const QVariant v = value(name);
    if (v.isNull()) return {};
    if (const ColumnType type = fieldType(i);
        type == ColumnType::DateTime || type == ColumnType::Currency || type == ColumnType::Single) {
        // From the stored value: an amount of more digits than a double holds shows whole.
        const QVariant stored = m_state == State::Edit || m_state == State::Insert ? storedValue(type, v)
                                : m_keyset                                         ? rowAt(m_pos)[i]
                                                                                   : lazyValue(m_pos, i);
        if (const std::optional<QString> t = shownText(type, stored)) return *t;
    }
    if (v.typeId() == QMetaType::Bool) return v.toBool() ? QStringLiteral("-1") : QStringLiteral("0");
    if (v.typeId() == QMetaType::Double) return QString::number(v.toDouble(), 'g', 15);
    return v.toString();
}

// ---- editing ------------------------------------------------------------------

void Dataset::edit() {
    requireOpen();
    if (!m_keyset)
        throw Error(QStringLiteral("Nelze aktualizovat. Databáze nebo objekt jsou jen pro čtení."));
    if (m_state == State::Edit) return;
    settle(*this, m_dirty);
    if (m_bof || m_eof) noCurrentRecord();
    m_buffer = rowAt(m_pos);
    for (int i = 0; i < m_buffer.size(); ++i)
        m_buffer[i] = shown(i, m_buffer[i]);
    m_dirty.assign(m_columns.size(), false);
    m_state = State::Edit;
}

void Dataset::append() {
    requireOpen();
    if (!m_keyset)
        throw Error(QStringLiteral("Nelze aktualizovat. Databáze nebo objekt jsou jen pro čtení."));
    settle(*this, m_dirty);
    m_buffer = Row(m_columns.size());
    for (int i = 0; i < m_buffer.size(); ++i)
        if (m_boolean[i]) m_buffer[i] = false;
    m_dirty.assign(m_columns.size(), false);
    m_state = State::Insert;
}

void Dataset::setValue(const QString& name, const QVariant& v) {
    if (m_state != State::Edit && m_state != State::Insert)
        throw Error(QStringLiteral("Aktualizace nebo zrušení bez operace AddNew nebo Edit."));
    const int i = fieldIndex(name);
    if (i < 0) throw Error(QStringLiteral("Položka „%1“ nebyla v této kolekci nalezena.").arg(name));
    if (m_tr.baseColumns.value(i).isEmpty())
        throw Error(QStringLiteral("Pole „%1“ nelze aktualizovat.").arg(name));
    QVariant value = v;
    if (m_boolean[i] && !v.isNull()) value = booleanOf(v).value_or(false);
    m_buffer[i] = value;
    m_dirty[i] = true;
}

// The append statement for the columns given, prepared once per set of
// columns and reused while the dataset stays open.
sqlite::Statement& Dataset::insertStatement(const std::vector<int>& columns) {
    constexpr size_t kKept = 8;
    std::vector<bool> mask(m_columns.size(), false);
    for (int i : columns)
        mask[size_t(i)] = true;
    for (InsertStatement& cached : m_inserts) {
        if (cached.columns != mask) continue;
        cached.statement.reset();
        return cached.statement;
    }
    // Built piece by piece: names may hold anything, "%1" included.
    QString sql = QStringLiteral("INSERT INTO ") + m_tr.baseTable;
    if (columns.empty()) {
        sql += QStringLiteral(" DEFAULT VALUES");
    } else {
        QStringList names, params;
        for (int i : columns) {
            names << quoteIdentifier(m_tr.baseColumns[i]);
            params << u'?' + QString::number(params.size() + 1);
        }
        sql += QStringLiteral(" (") + names.join(u", ") + QStringLiteral(") VALUES (") + params.join(u", ") +
               u')';
    }
    sqlite::Statement prepared(m_db->handle(), sql);
    if (m_inserts.size() >= kKept) m_inserts.erase(m_inserts.begin());
    m_inserts.push_back(InsertStatement{std::move(mask), std::move(prepared)});
    return m_inserts.back().statement;
}

void Dataset::post() {
    requireOpen();
    if (m_state != State::Edit && m_state != State::Insert)
        throw Error(QStringLiteral("Aktualizace nebo zrušení bez operace AddNew nebo Edit."));
    sqlite3* h = m_db->handle();
    std::vector<int> idx;
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_dirty[i]) idx.push_back(i);
    if (m_state == State::Insert) {
        // The fields set, and those always written unless a field set stands
        // for the same table column; in the order of the fields, so that one
        // set of columns always binds in one order.
        std::vector<bool> taken(m_columns.size(), false);
        for (int i : idx)
            if (m_firstOfColumn[size_t(i)] >= 0) taken[size_t(m_firstOfColumn[size_t(i)])] = true;
        for (int i = 0; i < m_columns.size(); ++i)
            if (m_appendAlways[size_t(i)] && !taken[size_t(i)]) idx.push_back(i);
        std::sort(idx.begin(), idx.end());
        sqlite::Statement& st = insertStatement(idx);
        for (size_t k = 0; k < idx.size(); ++k)
            st.bind(int(k) + 1, storedValue(fieldType(idx[k]), m_buffer[idx[k]]));
        try {
            st.step();
        } catch (...) {
            st.reset();
            throw;
        }
        st.reset();
        const qint64 rowid = sqlite3_last_insert_rowid(h);
        m_keys.push_back(rowid);
        m_cache.remove(rowid);
        m_state = State::Browse;
        m_buffer.clear();
        m_dirty.clear();
        const int pos = int(m_keys.size()) - 1;
        emit rowAppended(pos);
        land(pos);
        return;
    }
    if (!idx.empty()) {
        // Built piece by piece: names may hold anything, "%1" included.
        QStringList sets;
        for (size_t k = 0; k < idx.size(); ++k)
            sets << quoteIdentifier(m_tr.baseColumns[idx[k]]) + QStringLiteral(" = ?") +
                        QString::number(k + 1);
        sqlite::Statement st(h, QStringLiteral("UPDATE ") + m_tr.baseTable + QStringLiteral(" SET ") +
                                    sets.join(u", ") + QStringLiteral(" WHERE rowid = ?") +
                                    QString::number(idx.size() + 1));
        for (size_t k = 0; k < idx.size(); ++k)
            st.bind(int(k) + 1, storedValue(fieldType(idx[k]), m_buffer[idx[k]]));
        st.bind(int(idx.size()) + 1, m_keys.at(m_pos));
        st.step();
        m_cache.remove(m_keys.at(m_pos));
    }
    m_state = State::Browse;
    m_buffer.clear();
    m_dirty.clear();
    emit rowChanged(m_pos);
    land(m_pos);
}

void Dataset::cancel() {
    if (m_state != State::Edit && m_state != State::Insert) return;
    m_state = State::Browse;
    m_buffer.clear();
    m_dirty.clear();
}

void Dataset::remove() {
    requireOpen();
    if (!m_keyset)
        throw Error(QStringLiteral("Nelze aktualizovat. Databáze nebo objekt jsou jen pro čtení."));
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    cancel();
    if (m_bof || m_eof) noCurrentRecord();
    const qint64 key = m_keys.at(m_pos);
    sqlite::Statement st(m_db->handle(), QStringLiteral("DELETE FROM ") + m_tr.baseTable +
                                             QStringLiteral(" WHERE rowid = ?1"));
    st.bind(1, key);
    st.step();
    m_keys.erase(m_keys.begin() + m_pos);
    m_cache.remove(key);
    const int removed = m_pos;
    emit rowRemoved(removed);
    if (m_keys.empty()) {
        setBof();
    } else {
        land(std::min(removed, int(m_keys.size()) - 1));
    }
}

void Dataset::dropVanishedRows() noexcept {
    if (!m_keyset || m_state == State::Inactive || m_keys.empty()) return;
    try {
        sqlite::Statement probe(m_db->handle(), QStringLiteral("SELECT 1 FROM ") + m_tr.baseTable +
                                                    QStringLiteral(" WHERE rowid = ?1"));
        for (int p = int(m_keys.size()) - 1; p >= 0; --p) {
            probe.reset();
            probe.bind(1, m_keys[size_t(p)]);
            if (probe.step()) continue;
            if (p == m_pos && m_state == State::Edit) cancel();
            m_cache.remove(m_keys[size_t(p)]);
            m_keys.erase(m_keys.begin() + p);
            if (p < m_pos) --m_pos;
            emit rowRemoved(p);
        }
    } catch (const Error&) {
        // Left as it was: a vanished row reads as empty, as one deleted elsewhere does.
        return;
    }
    if (m_keys.empty()) {
        m_pos = -1;
        m_bof = m_eof = true;
    } else if (!m_eof && m_pos >= int(m_keys.size())) {
        m_pos = int(m_keys.size()) - 1;
    }
    if (m_currentListeners) emit currentChanged();
}

bool Dataset::locate(const QStringList& fields, const QVariantList& values, db::LocateOptions options) {
    requireOpen();
    settle(*this, m_dirty);
    QList<int> idx;
    for (const QString& f : fields) {
        const int i = fieldIndex(f);
        if (i < 0) throw Error(QStringLiteral("Položka „%1“ nebyla v této kolekci nalezena.").arg(f));
        idx << i;
    }
    auto textOf = [&](const QVariant& v) {
        QString s = v.typeId() == QMetaType::Bool ? (v.toBool() ? QStringLiteral("-1") : QStringLiteral("0"))
                                                  : v.toString();
        return options.caseInsensitive ? czech::fold(s) : s;
    };
    // Rows hold stored values: a date is sought by its day count, an amount by its ten-thousandths.
    QVariantList wanted = values;
    for (int k = 0; k < idx.size() && k < wanted.size(); ++k)
        wanted[k] = storedValue(fieldType(idx[k]), wanted[k]);
    auto matches = [&](const Row& r) {
        bool match = true;
        for (int k = 0; k < idx.size() && match; ++k) {
            const QVariant& a = r[idx[k]];
            const QVariant& b = wanted.value(k);
            if (a.isNull() || b.isNull()) {
                match = a.isNull() && b.isNull();
                continue;
            }
            if (m_boolean[idx[k]]) {
                const std::optional<bool> wanted = booleanOf(b);
                match = wanted && *wanted == booleanOf(a);
                continue;
            }
            const bool textual = a.typeId() == QMetaType::QString || b.typeId() == QMetaType::QString;
            if (textual) {
                const QString ta = textOf(a), tb = textOf(b);
                match = options.partialKey ? ta.startsWith(tb) : ta == tb;
            } else {
                match = a.toDouble() == b.toDouble();
            }
        }
        return match;
    };
    if (!m_keyset) {
        // A cursor of its own: reading the rows behind the window by position
        // would run the whole select once for every row.
        sqlite::Statement scan(m_db->handle(), m_tr.statements.first());
        for (int p = 0; scan.step(); ++p) {
            if (matches(readRow(scan)) && exists(p)) {
                land(p);
                return true;
            }
        }
        return false;
    }
    for (int p = 0; exists(p); ++p) {
        if (matches(rowAt(p))) {
            land(p);
            return true;
        }
    }
    return false;
}

} // namespace db
