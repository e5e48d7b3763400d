#pragma once

#include "SqlTranslator.h"
#include "Sqlite.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <array>
#include <functional>
#include <string>
#include <vector>

namespace db {

class Database;

struct LocateOptions {
    bool caseInsensitive = true;
    bool partialKey = false; // a text value matches when the field starts with it
};

// An updatable result set over one SELECT statement, kept as a list of text
// lines. Moving onto a row (open, first, last, next, prior, move by, locate,
// post) runs the row callback unless a CallbackGuard is active.
//
// A select over one table of a writable database is updatable: its rows are
// fixed when it opens (a key set), rows can be edited, appended and deleted,
// and appended rows stay in it until it is reopened, whether or not they match
// its condition. Any other select is read-only and is read lazily: only the
// rows moved over are fetched, and moving to the last row counts the rows
// without fetching them.
//
// After a failure:
// - A failed open() leaves the dataset closed and empty: Inactive, no rows, no
//   fields, bof and eof; nothing of it shows in the next open().
// - A lazy cursor that fails while fetching its next row (a move, locate())
//   cannot resume: the dataset is closed and empty. Other failed reads (a row
//   of a key set, a count, a row read by position) leave it where it was.
// - A failed post() writes nothing and keeps the Edit or Insert state with the
//   pending values, so that they can be corrected and posted again or dropped
//   with cancel(). A move that posts pending values first stays put when that
//   post fails.
// - A failed remove() deletes nothing: the row stays, and so does the position.
// - A failed edit() or append() leaves the state it found.
// - An exception from the row callback leaves the dataset on the row it landed on.
class Dataset : public QObject {
    Q_OBJECT
  public:
    using RowCallback = std::function<void(Dataset&)>;
    enum class State { Inactive, Browse, Edit, Insert };

    // Suppresses the row callback while it lives (the "copy switch").
    class CallbackGuard {
      public:
        explicit CallbackGuard(Dataset& ds) : m_ds(ds) { ++m_ds.m_suppress; }
        ~CallbackGuard() { --m_ds.m_suppress; }
        CallbackGuard(const CallbackGuard&) = delete;
        CallbackGuard& operator=(const CallbackGuard&) = delete;

      private:
        Dataset& m_ds;
    };

    explicit Dataset(QObject* parent = nullptr);
    ~Dataset() override;

    void setDatabase(Database* database);
    Database* database() const { return m_db; }

    // The statement, as lines; sent joined by line breaks.
    QStringList& sql() { return m_sql; }
    const QStringList& sql() const { return m_sql; }
    void setSql(const QString& text) { m_sql = QStringList{text}; }
    QString sqlText() const { return m_sql.join(u'\n'); }

    void setRowCallback(RowCallback callback) { m_callback = std::move(callback); }
    // A select over one table of a read-only database keeps a key set as well,
    // so that every row can be read by position (a small list shown whole in a
    // grid); the database still refuses any write. Takes effect at open().
    void setKeysetOnReadOnly(bool keyset) { m_keysetOnReadOnly = keyset; }
    bool callbackSuppressed() const { return m_suppress > 0; }

    void open();
    // Drops the rows, the fields and any pending values.
    void close();
    bool isOpen() const { return m_state != State::Inactive; }
    State state() const { return m_state; }
    bool isUpdatable() const { return m_keyset; }

    void first();
    void last();
    void next();
    void prior();
    void moveBy(int distance);
    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }
    // Rows known so far; exact after last().
    int recordCount() const;
    bool isEmpty() const { return recordCount() == 0; }
    // Position of the current row (0-based), -1 when there is none.
    int recNo() const { return (m_bof || m_eof) ? -1 : m_pos; }

    int fieldCount() const { return int(m_columns.size()); }
    QString fieldName(int i) const { return m_columns.value(i); }
    int fieldIndex(const QString& name) const; // -1 when missing; letter case ignored
    bool hasField(const QString& name) const { return fieldIndex(name) >= 0; }
    QVariant value(int field) const;
    QVariant value(const QString& name) const;
    // A field of any row, read without moving and without running the row
    // callback; the row being edited or appended shows its stored values, not
    // the pending ones. A position outside the rows gives Null. A key set reads
    // every row. A lazy dataset gives only the rows within reach without running
    // its select again: the current row, the cursor's row, the rows kept behind
    // it and the last row read by position; any other row gives Null.
    QVariant valueAt(int position, int field) const;
    QVariant valueAt(int position, const QString& name) const;
    // The field's type where its values are read as that type: a column's own,
    // Date/Time or Currency for a computed date or amount; Other elsewhere.
    ColumnType fieldType(int field) const;
    // The value as text: Null is empty, Booleans are -1 and 0, a date in the
    // Czech form ("1.3.2004 10:20:30"), an amount with four decimals.
    QString text(const QString& name) const;
    bool isNull(const QString& name) const { return value(name).isNull(); }

    // Editing. setValue needs the Edit or Insert state.
    void edit();
    void append();
    void setValue(const QString& name, const QVariant& value);
    void post();
    void cancel();
    void remove();

    // Moves to the first row (in dataset order) whose fields equal the values.
    // A Yes/No field matches true for True, -1 (as number or text) or any other
    // number but 0, and "True"; false for False, 0 and "False".
    bool locate(const QStringList& fields, const QVariantList& values, LocateOptions options = {});
    bool locate(const QString& field, const QVariant& value, LocateOptions options = {}) {
        return locate(QStringList{field}, QVariantList{value}, options);
    }

  signals:
    void opened();
    void closed();
    void currentChanged();
    void rowAppended(int position);
    void rowChanged(int position);
    void rowRemoved(int position);

  protected:
    void connectNotify(const QMetaMethod& signal) override;
    void disconnectNotify(const QMetaMethod& signal) override;

  private:
    friend class Database;
    using Row = QVector<QVariant>;

    void requireOpen() const;
    void land(int position);
    void setEof();
    void setBof();
    bool exists(int position); // fetching as needed
    // A row copied out of a lazy cursor: values as SQLite gave them, texts as raw
    // UTF-8, so that copying allocates nothing once the buffers have grown.
    struct RawRow {
        struct Cell {
            int type = 0;
            qint64 integer = 0;
            double real = 0;
            int offset = 0, length = 0;
        };
        int position = -1;
        std::vector<Cell> cells;
        std::string bytes;
        void capture(sqlite3_stmt* st, int columns);
        QVariant value(int column, bool boolean) const;
    };

    const Row& rowAt(int position) const; // key set mode
    QVariant lazyValue(int position, int column) const;
    void fetchNext(); // lazy mode: one more row from the statement
    Row readRow(const sqlite::Statement& st) const;
    void discardCursor();
    // After a rollback: forgets the keys of rows the rollback took away (rows
    // appended inside the undone changes), without moving or running the callback.
    void dropVanishedRows() noexcept;

    Database* m_db = nullptr;
    QStringList m_sql;
    RowCallback m_callback;
    int m_suppress = 0;

    State m_state = State::Inactive;
    Translation m_tr;
    QStringList m_columns;
    std::vector<bool> m_boolean; // Boolean columns come back as bool
    // Columns whose stored values are shown otherwise (dates, amounts, Single),
    // with their type; empty when the select has none.
    std::vector<ColumnType> m_shownAs;
    QVariant shown(int column, QVariant stored) const;
    bool m_keyset = false;
    bool m_keysetOnReadOnly = false;
    int m_pos = -1;
    bool m_bof = true, m_eof = true;

    // Key set mode
    std::vector<qint64> m_keys;
    mutable QHash<qint64, Row> m_cache;
    mutable sqlite::Statement m_rowStmt;
    // Append statements prepared so far, one per set of columns written (a copy
    // step leaves empty columns out, so a fill alternates between a few sets).
    struct InsertStatement {
        std::vector<bool> columns;
        sqlite::Statement statement;
    };
    std::vector<InsertStatement> m_inserts;
    // Columns every append writes, set or not: those whose default is Null,
    // and Yes/No fields, which an append starts as No, as their default is.
    // One set of columns for every append keeps to one prepared statement.
    std::vector<bool> m_appendAlways;
    std::vector<int> m_firstOfColumn; // the first field of the same table column; -1 when computed
    sqlite::Statement& insertStatement(const std::vector<int>& columns);

    // Lazy mode: the cursor holds the row at m_stmtIndex; once the dataset has
    // moved back, the rows it leaves are copied into a ring for moving back again.
    sqlite::Statement m_stmt;
    int m_stmtIndex = -1;
    bool m_stmtDone = false;
    int m_count = -1; // -1 while unknown
    mutable bool m_history = false;
    mutable std::vector<RawRow> m_ring;
    mutable sqlite::Statement m_offsetStmt;
    mutable RawRow m_scratch;

    // Field names looked up recently, by the address of the caller's text.
    struct NameSlot {
        const QChar* key = nullptr;
        int index = -1;
    };
    mutable std::array<NameSlot, 16> m_names;
    // Moving happens for every row of a fill: tell listeners only when there are any.
    int m_currentListeners = 0;

    // Edit buffer
    Row m_buffer;
    std::vector<bool> m_dirty;
};

} // namespace db
