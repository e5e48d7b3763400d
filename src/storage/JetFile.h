#pragma once

#include "ColumnTypes.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <memory>

namespace db::jet {

// True when the file begins as a Jet database: the "Standard Jet DB"
// signature and a known version byte (Jet 3 or Jet 4). Name and size do not
// count. False for a missing or unreadable file.
bool isJetFile(const QString& path);

// What identifies the file a converted copy was made from: its size and a
// hash of its first pages, as text fit for a settings value or a file name.
// Empty when the file cannot be read.
QString sourceIdentity(const QString& path);

struct SourceColumn {
    QString name;
    ColumnType type = ColumnType::Other; // Other: a type our engine cannot hold
    int size = 0;                        // Text and Binary: the declared size
    bool required = false;
    QString jetType; // the Jet type's name, for messages about a type left out
};

struct SourceIndex {
    QString name;
    QStringList columns;
    QList<bool> descending; // per column
    bool unique = false;
    bool primary = false;
};

struct SourceTable {
    QString name;
    QList<SourceColumn> columns;
    QList<SourceIndex> indexes;
    qint64 rows = 0; // as the table definition counts them
};

// A Jet file open for reading. Texts of a Jet 3 file are taken in the
// character set named by MDB_JET3_CHARSET, Windows-1250 where it is unset.
// Every failure raises db::Error with a Czech message naming the file (and
// the table, where one is being read).
class File {
  public:
    explicit File(const QString& path);
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    const QString& path() const { return m_path; }
    // The user tables in the file's catalog order; system tables (those the
    // catalog flags and any named MSys…) and queries are left out.
    const QList<SourceTable>& tables() const;
    // nullptr when there is no user table of that name (letter case ignored).
    const SourceTable* table(const QString& name) const;

    // A table's rows in the file's order, one at a time; nothing of the
    // table is held beyond the row being read.
    class Rows {
      public:
        virtual ~Rows() = default;
        // The next row, one value per column of the table (Null as an invalid
        // QVariant; values in the form our engine's columns take); false at
        // the end. Yes/No comes as bool (never Null), Byte, Integer and Long
        // as qint64, Currency as its qint64 count of ten-thousandths, Single
        // and Double as double, Date/Time as its double of days from
        // 30 December 1899, Text and Memo as QString, Binary and OLE objects
        // as QByteArray (whole), GUID as "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
        // a column of type Other is Null. A row libmdb cannot read whole, or
        // a table that ends before the rows its definition counts, raises
        // db::Error naming the file and the table.
        virtual bool next(QVariantList& row) = 0;
    };
    // Each Rows reads through a handle of its own: several may be open at
    // once, and one may be read on another thread than the File's.
    std::unique_ptr<Rows> rows(const QString& table) const;

  private:
    struct Impl;
    QString m_path;
    std::unique_ptr<Impl> m_impl;
};

} // namespace db::jet
