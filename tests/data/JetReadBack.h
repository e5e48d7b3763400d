#pragma once

// Jet files as libmdb reads them, for comparing with what was written.
// Values come as libmdb's text, binary ones in hex.

#include <QFile>
#include <QStringList>
#include <QVariantList>

#include <mdbtools.h>

#include <cstdlib>
#include <vector>

namespace jet_read_back {

// Jet 3 keeps texts in the file's code page, Windows-1250 for ours; libmdb
// takes the character set from the environment, where it may already be set.
inline void useWindows1250() {
    ::setenv("MDB_JET3_CHARSET", "CP1250", 0);
}

inline constexpr int kBindSize = 1 << 17;

// A table as libmdb reads it: column names, and per row a value per column,
// Null as an invalid QVariant and everything else as libmdb's text.
struct Read {
    QStringList columns;
    QList<QVariantList> rows;
    bool found = false;
};

struct Mdb {
    MdbHandle* handle = nullptr;
    explicit Mdb(const QString& path) {
        handle = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
        if (!handle) return;
        mdb_set_bind_size(handle, kBindSize);
        mdb_set_date_fmt(handle, "%Y-%m-%d %H:%M:%S");
    }
    ~Mdb() {
        if (handle) mdb_close(handle);
    }
    // User tables in catalog order, system tables with a leading '*'.
    QStringList catalog() {
        QStringList out;
        if (!mdb_read_catalog(handle, MDB_TABLE)) return out;
        for (unsigned i = 0; i < handle->num_catalog; ++i) {
            auto* e = static_cast<MdbCatalogEntry*>(g_ptr_array_index(handle->catalog, i));
            if (e->object_type != MDB_TABLE) continue;
            out << (mdb_is_system_table(e) ? QStringLiteral("*") : QString()) +
                       QString::fromUtf8(e->object_name);
        }
        return out;
    }
    Read table(const QString& name) {
        Read r;
        QByteArray n = name.toUtf8();
        MdbTableDef* t = mdb_read_table_by_name(handle, n.data(), MDB_TABLE);
        if (!t) return r;
        r.found = true;
        mdb_read_columns(t);
        mdb_rewind_table(t);
        const int columns = int(t->num_cols);
        std::vector<QByteArray> values(size_t(columns), QByteArray(kBindSize, '\0'));
        std::vector<int> lengths(size_t(columns), 0);
        for (int i = 0; i < columns; ++i) {
            auto* c = static_cast<MdbColumn*>(g_ptr_array_index(t->columns, i));
            r.columns << QString::fromUtf8(c->name);
            mdb_bind_column(t, i + 1, values[size_t(i)].data(), &lengths[size_t(i)]);
        }
        std::vector<MdbField> fields(256);
        while (mdb_fetch_row(t)) {
            // Null and an empty text both bind as ""; the row's Null mask tells.
            int start = 0;
            size_t length = 0;
            mdb_find_row(handle, int(t->cur_row) - 1, &start, &length);
            // The row's offset carries flags in its top bits.
            mdb_crack_row(t, start & 0x1fff, length, fields.data());
            QVariantList row;
            for (int i = 0; i < columns; ++i) {
                auto* c = static_cast<MdbColumn*>(g_ptr_array_index(t->columns, i));
                if (c->col_type != MDB_BOOL && fields[size_t(i)].is_null)
                    row << QVariant();
                else if (c->col_type == MDB_BINARY) // bytes as they are, shown in hex
                    row << QString::fromLatin1(values[size_t(i)].left(lengths[size_t(i)]).toHex());
                else if (c->col_type == MDB_OLE) { // bound are only the value's first bytes
                    size_t size = 0;
                    void* bytes = mdb_ole_read_full(handle, c, &size);
                    row << QString::fromLatin1(
                        QByteArray(static_cast<const char*>(bytes), qsizetype(size)).toHex());
                    std::free(bytes);
                } else
                    row << QString::fromUtf8(values[size_t(i)].constData());
            }
            r.rows << row;
        }
        mdb_free_tabledef(t);
        return r;
    }
};

} // namespace jet_read_back
