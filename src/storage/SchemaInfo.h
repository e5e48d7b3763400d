#pragma once

#include "ColumnTypes.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace db {

struct ColumnInfo {
    QString name;
    ColumnType type = ColumnType::Other;
    int size = 0;            // Text(n), Binary(n): n
    bool hasDefault = false; // declared with a DEFAULT value
};

struct TableInfo {
    QString name; // as stored
    QList<ColumnInfo> columns;
    QStringList uniqueColumns; // columns that alone identify a row (primary key, unique index)

    const ColumnInfo* column(const QString& name) const {
        // Names equal but for letter case have the same length: checking it first
        // spares most comparisons.
        for (const auto& c : columns)
            if (c.name.size() == name.size() && c.name.compare(name, Qt::CaseInsensitive) == 0) return &c;
        return nullptr;
    }
    bool isUnique(const QString& columnName) const {
        return uniqueColumns.contains(columnName, Qt::CaseInsensitive);
    }
};

// A table as a statement may reference it: in the connection's own database or
// in another database file named with IN "path".
struct TableRef {
    QString schema; // SQLite schema name ("main" or an attached one)
    TableInfo info;
};

// What the translator needs to know about the database a statement runs on.
class SchemaInfo {
  public:
    virtual ~SchemaInfo() = default;
    // externalPath is empty for the connection's own database.
    virtual std::optional<TableRef> findTable(const QString& name, const QString& externalPath) = 0;
};

// Declared-type text stored in the database file for each column type, and back.
QString declaredType(ColumnType type, int size);
ColumnInfo columnFromDeclaredType(const QString& name, const QString& declared);

} // namespace db
