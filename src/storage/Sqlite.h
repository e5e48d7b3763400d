#pragma once

#include <QByteArrayView>
#include <QString>
#include <QVariant>
#include <sqlite3.h>

// Thin RAII helpers over the SQLite C API, used inside the engine and by the
// tools and benchmarks that work below the dialect on an engine's connection.
namespace db::sqlite {

// Throws db::Error with a readable text for an SQLite failure.
[[noreturn]] void fail(sqlite3* handle, int rc);
// The readable text of an SQLite error message.
QString readableMessage(const QString& sqliteMessage);

void exec(sqlite3* handle, const QString& sql);

class Statement {
  public:
    Statement() = default;
    Statement(sqlite3* handle, const QString& sql);
    // The same from text already in UTF-8, for a loop that prepares one
    // statement again and again without converting it each time.
    Statement(sqlite3* handle, QByteArrayView utf8Sql);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool isValid() const { return m_stmt != nullptr; }
    sqlite3_stmt* get() const { return m_stmt; }
    void reset();
    void bind(int index, const QVariant& value); // 1-based
    bool step();                                 // true: a row is ready
    int columnCount() const { return sqlite3_column_count(m_stmt); }
    QVariant column(int i, bool boolean = false) const;
    qint64 columnInt(int i) const { return sqlite3_column_int64(m_stmt, i); }
    // The column as UTF-8 text without copying it (nullptr for NULL), valid
    // until the next step; columnBytes() is its length in bytes.
    const char* columnUtf8(int i) const {
        return reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, i));
    }
    int columnBytes(int i) const { return sqlite3_column_bytes(m_stmt, i); }
    // The name of a result column (its alias when it has one).
    const char* columnName(int i) const { return sqlite3_column_name(m_stmt, i); }
    QString declaredType(int i) const;

  private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
};

} // namespace db::sqlite
