#include "JetFile.h"

#include "CodePage.h"
#include "Error.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QUuid>
#include <QtEndian>

#include <mdbtools.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace db::jet {

namespace {

// The header: the signature at 4, the version at 0x14 (0 Jet 3 with pages of
// 2 KiB, 1 Jet 4 with pages of 4 KiB).
constexpr char kSignature[] = "Standard Jet DB";
constexpr int kSignatureOffset = 4;
constexpr int kVersionOffset = 0x14;
constexpr int kJet3PageSize = 2048;
constexpr int kJet4PageSize = 4096;
// The catalog's table definition is page 2: a file needs at least that many.
constexpr int kCatalogPage = 2;
constexpr int kFirstPages = kCatalogPage + 1;
// The identity hashes this much of the file's beginning: the header, the
// catalog and the first table definitions.
constexpr qint64 kIdentityBytes = 1 << 20;
// Long values come in pieces of at most a page.
constexpr int kChunkSize = 2 * kJet4PageSize;

struct Header {
    bool jet = false;
    int pageSize = 0;
};

Header readHeader(QFile& f) {
    Header h;
    const QByteArray head = f.read(kVersionOffset + 4);
    if (head.size() < kVersionOffset + 4) return h;
    if (std::memcmp(head.constData() + kSignatureOffset, kSignature, sizeof kSignature - 1) != 0) return h;
    const quint32 version = qFromLittleEndian<quint32>(head.constData() + kVersionOffset);
    if (version == 0)
        h.pageSize = kJet3PageSize;
    else if (version == 1)
        h.pageSize = kJet4PageSize;
    else
        return h;
    h.jet = true;
    return h;
}

QString quoted(const QString& name) {
    return u'„' + name + u'“';
}

Error fileError(const QString& path, const QString& text) {
    return Error(QStringLiteral("Soubor ") + quoted(QDir::toNativeSeparators(path)) + u' ' + text);
}

Error tableError(const QString& path, const QString& table, const QString& text) {
    return Error(QStringLiteral("Soubor ") + quoted(QDir::toNativeSeparators(path)) +
                 QStringLiteral(" je poškozený: tabulku ") + quoted(table) + u' ' + text);
}

// Names come from libmdb in its target character set (UTF-8); index names of
// a Jet 3 file come as the file keeps them, in its code page.
QString nameOf(const char* name) {
    const QByteArray bytes(name);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString s = utf8(bytes);
    if (!utf8.hasError()) return s;
    return code_page::fromWindows1250(bytes);
}

MdbColumn* columnAt(MdbTableDef* t, unsigned i) {
    return static_cast<MdbColumn*>(g_ptr_array_index(t->columns, i));
}

struct TypeOf {
    ColumnType type;
    int size;
};

TypeOf typeOf(MdbHandle* mdb, const MdbColumn* c) {
    switch (c->col_type) {
    case MDB_BOOL:
        return {ColumnType::Boolean, 0};
    case MDB_BYTE:
        return {ColumnType::Byte, 0};
    case MDB_INT:
        return {ColumnType::Short, 0};
    case MDB_LONGINT:
        return {c->is_long_auto ? ColumnType::Counter : ColumnType::Long, 0};
    case MDB_MONEY:
        return {ColumnType::Currency, 0};
    case MDB_FLOAT:
        return {ColumnType::Single, 0};
    case MDB_DOUBLE:
        return {ColumnType::Double, 0};
    case MDB_DATETIME:
        return {ColumnType::DateTime, 0};
    case MDB_TEXT: {
        // Jet 4 keeps texts in two bytes a character and sizes them so.
        const int size = IS_JET3(mdb) ? c->col_size : c->col_size / 2;
        if (size <= 0 || size > describe(ColumnType::Text).maxSize) return {ColumnType::Memo, 0};
        return {ColumnType::Text, size};
    }
    case MDB_BINARY:
        if (c->col_size <= 0 || c->col_size > describe(ColumnType::Binary).maxSize)
            return {ColumnType::LongBinary, 0};
        return {ColumnType::Binary, c->col_size};
    case MDB_MEMO:
        return {ColumnType::Memo, 0};
    case MDB_OLE:
        return {ColumnType::LongBinary, 0};
    case MDB_REPID:
        return {ColumnType::Guid, 0};
    default:
        return {ColumnType::Other, 0};
    }
}

QString jetTypeName(int type) {
    switch (type) {
    case MDB_NUMERIC:
        return QStringLiteral("Decimal");
    case MDB_COMPLEX:
        return QStringLiteral("Complex");
    default:
        return QStringLiteral("typ %1").arg(type);
    }
}

void ensureCharacterSet() {
    // libmdb reads the variable when it opens a file; where the user has set
    // it, that choice stands.
    ::setenv("MDB_JET3_CHARSET", "CP1250", 0);
}

// A libmdb handle, closed with the object.
struct Handle {
    MdbHandle* mdb = nullptr;
    Handle() = default;
    ~Handle() {
        if (mdb) mdb_close(mdb);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
};

struct TableDef {
    MdbTableDef* def = nullptr;
    explicit TableDef(MdbTableDef* d) : def(d) {}
    ~TableDef() {
        if (def) mdb_free_tabledef(def);
    }
    TableDef(const TableDef&) = delete;
    TableDef& operator=(const TableDef&) = delete;
};

// Opens the file with libmdb after the checks libmdb itself does not make
// (it reads past the end of a short file and takes any bytes for a header),
// and reads its catalog. Throws with the file's message.
void openChecked(const QString& path, Handle& handle) {
    QFile f(path);
    if (!QFileInfo(path).isFile()) throw fileError(path, QStringLiteral("nebyl nalezen."));
    if (!f.open(QIODevice::ReadOnly)) throw fileError(path, QStringLiteral("nelze číst: ") + f.errorString());
    const Header h = readHeader(f);
    if (!h.jet) throw fileError(path, QStringLiteral("není databáze Jet."));
    const qint64 size = f.size();
    if (size < qint64(kFirstPages) * h.pageSize || size % h.pageSize != 0)
        throw fileError(path, QStringLiteral("je zkrácený: chybí část jeho stránek."));
    f.close();

    ensureCharacterSet();
    handle.mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!handle.mdb) throw fileError(path, QStringLiteral("nelze přečíst jako databázi Jet."));
    MdbHandle* mdb = handle.mdb;
    const Error unreadable =
        mdb->f->db_key != 0
            ? fileError(path, QStringLiteral("je zašifrovaný a nelze jej přečíst."))
            : fileError(path, QStringLiteral("je poškozený: nelze přečíst seznam jeho tabulek."));
    // libmdb reads the catalog through its table's map of pages without
    // checking that there is one: the definition on page 2 is checked first.
    {
        MdbCatalogEntry entry{};
        entry.mdb = mdb;
        entry.object_type = MDB_TABLE;
        entry.table_pg = kCatalogPage;
        std::strcpy(entry.object_name, "MSysObjects");
        TableDef catalog(mdb_read_table(&entry));
        if (!catalog.def || !catalog.def->usage_map || catalog.def->map_sz < 1) throw unreadable;
    }
    if (!mdb_read_catalog(mdb, MDB_TABLE)) throw unreadable;
    // libmdb ends the catalog quietly at a page it cannot read (a file cut
    // short loses its tables so): the catalog's own table must give as many
    // rows as its definition counts.
    MdbCatalogEntry* catalog = nullptr;
    for (unsigned i = 0; i < mdb->num_catalog && !catalog; ++i) {
        auto* e = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (e->object_type == MDB_TABLE && qstricmp(e->object_name, "MSysObjects") == 0) catalog = e;
    }
    if (!catalog) throw unreadable;
    TableDef t(mdb_read_table(catalog));
    if (!t.def || !t.def->usage_map || t.def->map_sz < 1 || !mdb_read_columns(t.def)) throw unreadable;
    mdb_rewind_table(t.def);
    unsigned rows = 0;
    while (mdb_fetch_row(t.def))
        ++rows;
    if (rows < t.def->num_rows)
        throw fileError(
            path, QStringLiteral("je zkrácený nebo poškozený: seznam jeho tabulek nelze celý přečíst."));
}

std::vector<MdbCatalogEntry*> userTables(MdbHandle* mdb) {
    std::vector<MdbCatalogEntry*> out;
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto* e = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        // Names beginning with MSys are the system's, in Jet as in our engine,
        // whatever the entry's flags say.
        if (e->object_type == MDB_TABLE && mdb_is_user_table(e) && qstrnicmp(e->object_name, "MSys", 4) != 0)
            out.push_back(e);
    }
    return out;
}

// The table definition with its columns; throws when libmdb cannot read it.
std::unique_ptr<TableDef> readTable(const QString& path, MdbCatalogEntry* entry) {
    auto t = std::make_unique<TableDef>(mdb_read_table(entry));
    const QString name = nameOf(entry->object_name);
    // Without its map of pages libmdb would read through a null pointer.
    if (!t->def || !t->def->usage_map || t->def->map_sz < 1)
        throw tableError(path, name, QStringLiteral("nelze přečíst."));
    if (!mdb_read_columns(t->def) || t->def->columns->len != t->def->num_cols)
        throw tableError(path, name, QStringLiteral("nelze přečíst: chybí popis jejích sloupců."));
    return t;
}

SourceTable describeTable(const QString& path, MdbCatalogEntry* entry) {
    const std::unique_ptr<TableDef> t = readTable(path, entry);
    MdbHandle* mdb = entry->mdb;
    SourceTable out;
    out.name = nameOf(entry->object_name);
    out.rows = t->def->num_rows;
    for (unsigned i = 0; i < t->def->num_cols; ++i) {
        const MdbColumn* c = columnAt(t->def, i);
        SourceColumn col;
        col.name = nameOf(c->name);
        const TypeOf type = typeOf(mdb, c);
        col.type = type.type;
        col.size = type.size;
        if (col.type == ColumnType::Other) col.jetType = jetTypeName(c->col_type);
        // A Yes/No value is never Null in Jet.
        const char* required = mdb_col_get_prop(c, "Required");
        col.required = c->col_type == MDB_BOOL || (required && (required[0] == 'y' || required[0] == 'Y'));
        out.columns << col;
    }
    mdb_read_indices(t->def);
    if (!t->def->indices) return out;
    for (unsigned i = 0; i < t->def->indices->len; ++i) {
        const auto* idx = static_cast<MdbIndex*>(g_ptr_array_index(t->def->indices, i));
        // Type 2 marks the side of a relationship, which has no index of its own.
        if (idx->index_type == 2 || idx->num_keys == 0 || idx->num_keys > MDB_MAX_IDX_COLS) continue;
        SourceIndex index;
        index.name = nameOf(idx->name);
        index.primary = idx->index_type == 1;
        index.unique = index.primary || (idx->flags & MDB_IDX_UNIQUE);
        bool known = true;
        for (unsigned k = 0; k < idx->num_keys; ++k) {
            // The key names the column by its number, which is its place
            // among the columns the table has now.
            const int number = idx->key_col_num[k] - 1;
            const MdbColumn* found = nullptr;
            for (unsigned j = 0; j < t->def->num_cols && !found; ++j)
                if (columnAt(t->def, j)->col_num == number) found = columnAt(t->def, j);
            if (!found && number >= 0 && unsigned(number) < t->def->num_cols)
                found = columnAt(t->def, number);
            if (!found) {
                known = false;
                break;
            }
            index.columns << nameOf(found->name);
            index.descending << (idx->key_col_order[k] == MDB_DESC);
        }
        if (known) out.indexes << index;
    }
    return out;
}

// The rows of one table through a handle of its own, so that several tables
// can be read at once and a Rows may outlive nothing but its File's path.
class TableRows : public File::Rows {
  public:
    TableRows(const QString& path, const QString& table) : m_path(path), m_table(table) {
        openChecked(path, m_handle);
        MdbHandle* mdb = m_handle.mdb;
        for (MdbCatalogEntry* e : userTables(mdb))
            if (nameOf(e->object_name).compare(table, Qt::CaseInsensitive) == 0) {
                m_def = readTable(path, e);
                break;
            }
        if (!m_def) throw fileError(path, QStringLiteral("neobsahuje tabulku ") + quoted(table) + u'.');
        m_table = nameOf(m_def->def->entry->object_name);
        MdbTableDef* t = m_def->def;
        m_declared = t->num_rows;
        for (unsigned i = 0; i < t->num_cols; ++i) {
            MdbColumn* c = columnAt(t, i);
            c->bind_ptr = nullptr;
            c->len_ptr = nullptr;
            m_columns.push_back(c);
            m_types.push_back(typeOf(mdb, c).type);
        }
        m_fields.resize(std::max<size_t>(m_columns.size(), 1));
        m_chunk.resize(kChunkSize);
        const char* target = mdb_target_charset(mdb);
        if (target && qstricmp(target, "UTF-8") != 0 && qstricmp(target, "UTF8") != 0)
            m_decoder = QStringDecoder(target);
        mdb_rewind_table(t);
    }

    bool next(QVariantList& row) override {
        MdbTableDef* t = m_def->def;
        if (!mdb_fetch_row(t)) {
            // libmdb ends a table quietly at a page it cannot read: the count
            // the definition keeps tells a table cut short. (A file not closed
            // properly may count fewer rows than it holds, never more.)
            if (m_read < m_declared)
                throw tableError(m_path, m_table,
                                 QStringLiteral("nelze celou přečíst: z %1 řádků se podařilo přečíst %2.")
                                     .arg(m_declared)
                                     .arg(m_read));
            return false;
        }
        ++m_read;
        MdbHandle* mdb = m_handle.mdb;
        // A variable column of no length is Null or empty: only the row's
        // Null mask tells, so the row is cracked again where that matters.
        bool masked = false;
        for (MdbColumn* c : m_columns)
            if (!c->is_fixed && c->col_type != MDB_BOOL && c->cur_value_len == 0) masked = true;
        if (masked) crackRow();

        row.clear();
        row.reserve(int(m_columns.size()));
        for (size_t i = 0; i < m_columns.size(); ++i) {
            MdbColumn* c = m_columns[i];
            if (c->col_type == MDB_BOOL) {
                // Yes/No lives in the Null mask: a set bit is Yes.
                row << QVariant(c->cur_value_len == 0);
                continue;
            }
            const bool null = masked ? bool(m_fields[i].is_null) : c->cur_value_len == 0;
            if (null || m_types[i] == ColumnType::Other) {
                row << QVariant();
                continue;
            }
            row << value(mdb, c);
        }
        return true;
    }

  private:
    void crackRow() {
        MdbTableDef* t = m_def->def;
        MdbHandle* mdb = m_handle.mdb;
        int start = 0;
        size_t length = 0;
        if (mdb_find_row(mdb, int(t->cur_row) - 1, &start, &length) != 0 ||
            mdb_crack_row(t, start & 0x1fff, length, m_fields.data()) < 0)
            throw tableError(m_path, m_table,
                             QStringLiteral("nelze přečíst: řádek %1 je poškozený.").arg(m_read));
    }

    QString text(MdbHandle* mdb, const char* bytes, size_t length) {
        // At most three bytes of UTF-8 for each byte read, compressed Jet 4
        // texts included.
        m_text.resize(3 * length + 4);
        const int n = mdb_unicode2ascii(mdb, bytes, length, m_text.data(), m_text.size());
        if (m_decoder.isValid()) return m_decoder.decode(QByteArrayView(m_text.data(), n));
        return QString::fromUtf8(m_text.data(), n);
    }

    // A memo's or OLE object's bytes, gathered from its long-value pages.
    QByteArray longValue(MdbHandle* mdb, MdbColumn* c) {
        if (c->cur_value_len < MDB_MEMO_OVERHEAD) return {};
        unsigned char head[MDB_MEMO_OVERHEAD];
        std::memcpy(head, mdb->pg_buf + c->cur_value_start, MDB_MEMO_OVERHEAD);
        const quint32 declared = qFromLittleEndian<quint32>(head) & 0x3fffffff;
        QByteArray out;
        c->bind_ptr = m_chunk.data();
        size_t n = mdb_ole_read(mdb, c, head, m_chunk.size());
        out.append(m_chunk.constData(), qsizetype(n));
        // A chain of pages that runs on past the length is damaged (it may
        // even run in a circle).
        while (out.size() <= qsizetype(declared) && (n = mdb_ole_read_next(mdb, c, head)) > 0)
            out.append(m_chunk.constData(), qsizetype(n));
        c->bind_ptr = nullptr;
        if (out.size() < qsizetype(declared))
            throw tableError(
                m_path, m_table,
                QStringLiteral("nelze celou přečíst: dlouhá hodnota pole %1 v řádku %2 je poškozená.")
                    .arg(quoted(nameOf(c->name)))
                    .arg(m_read));
        out.truncate(declared);
        return out;
    }

    // Bytes a value of the type takes at least: its size for a fixed type,
    // the long-value reference for a memo or OLE object.
    static int leastSize(int type) {
        switch (type) {
        case MDB_BYTE:
            return 1;
        case MDB_INT:
            return 2;
        case MDB_LONGINT:
        case MDB_FLOAT:
            return 4;
        case MDB_MONEY:
        case MDB_DOUBLE:
        case MDB_DATETIME:
            return 8;
        case MDB_REPID:
            return 16;
        default:
            return 0;
        }
    }

    QVariant value(MdbHandle* mdb, MdbColumn* c) {
        const int start = c->cur_value_start;
        const int length = c->cur_value_len;
        // libmdb takes a value's place from the row as it stands: in a damaged
        // row it may lie outside the page or be too short for its type.
        if (start < 0 || length < leastSize(c->col_type) || start + length > int(mdb->fmt->pg_size))
            throw tableError(m_path, m_table,
                             QStringLiteral("nelze přečíst: pole %1 v řádku %2 je poškozené.")
                                 .arg(quoted(nameOf(c->name)))
                                 .arg(m_read));
        const unsigned char* p = mdb->pg_buf + start;
        switch (c->col_type) {
        // Whole numbers as 64 bits: the engine binds them so without converting.
        case MDB_BYTE:
            return qint64(p[0]);
        case MDB_INT:
            return qint64(qFromLittleEndian<qint16>(p));
        case MDB_LONGINT:
            return qint64(qFromLittleEndian<qint32>(p));
        case MDB_MONEY:
            return qFromLittleEndian<qint64>(p);
        case MDB_FLOAT:
            return double(qFromLittleEndian<float>(p));
        case MDB_DOUBLE:
        case MDB_DATETIME:
            return qFromLittleEndian<double>(p);
        case MDB_TEXT:
            return text(mdb, reinterpret_cast<const char*>(p), size_t(length));
        case MDB_BINARY:
            return QByteArray(reinterpret_cast<const char*>(p), length);
        case MDB_REPID: {
            // The first three groups are little-endian, the last eight bytes in order.
            const QUuid id(qFromLittleEndian<quint32>(p), qFromLittleEndian<quint16>(p + 4),
                           qFromLittleEndian<quint16>(p + 6), p[8], p[9], p[10], p[11], p[12], p[13], p[14],
                           p[15]);
            return id.toString(QUuid::WithBraces).toUpper();
        }
        case MDB_MEMO: {
            const QByteArray bytes = longValue(mdb, c);
            return text(mdb, bytes.constData(), size_t(bytes.size()));
        }
        case MDB_OLE:
            return longValue(mdb, c);
        default:
            return {};
        }
    }

    QString m_path, m_table;
    Handle m_handle;
    std::unique_ptr<TableDef> m_def;
    std::vector<MdbColumn*> m_columns;
    std::vector<ColumnType> m_types;
    std::vector<MdbField> m_fields;
    QByteArray m_chunk;
    std::vector<char> m_text;
    QStringDecoder m_decoder;
    qint64 m_declared = 0;
    qint64 m_read = 0;
};

} // namespace

bool isJetFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    return readHeader(f).jet;
}

QString sourceIdentity(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const QByteArray head = f.read(kIdentityBytes);
    if (f.error() != QFileDevice::NoError) return {};
    hash.addData(head);
    return QString::number(f.size()) + u'-' + QString::fromLatin1(hash.result().toHex());
}

struct File::Impl {
    Handle handle;
    QList<SourceTable> tables;
};

File::File(const QString& path) : m_path(path), m_impl(std::make_unique<Impl>()) {
    openChecked(path, m_impl->handle);
    for (MdbCatalogEntry* e : userTables(m_impl->handle.mdb))
        m_impl->tables << describeTable(path, e);
}

File::~File() = default;

const QList<SourceTable>& File::tables() const {
    return m_impl->tables;
}

const SourceTable* File::table(const QString& name) const {
    for (const SourceTable& t : m_impl->tables)
        if (t.name.compare(name, Qt::CaseInsensitive) == 0) return &t;
    return nullptr;
}

std::unique_ptr<File::Rows> File::rows(const QString& table) const {
    return std::make_unique<TableRows>(m_path, table);
}

} // namespace db::jet
