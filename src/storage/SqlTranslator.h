#pragma once

#include "SchemaInfo.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace db {

struct TranslateOptions {
    // Row-level failures (a too long text, a type mismatch) skip the row
    // instead of failing the statement.
    bool ignoreRowErrors = false;
};

// The SQLite form of one Jet statement.
struct Translation {
    enum class Kind { Select, Action, Schema, TextExport };
    Kind kind = Kind::Select;
    QStringList statements; // run in order; a Select has exactly one

    // Select
    QStringList columnNames; // names the dialect gives the result columns
    // Type of each result column where its values need reading as that type
    // (a date, an amount as a count of ten-thousandths); Other elsewhere.
    QList<ColumnType> columnTypes;
    QString countSql;       // number of rows of the select
    QString offsetSql;      // the row at position ?1 (0-based)
    bool updatable = false; // one base table, plain columns: rows can be edited and appended
    QString keySql;         // updatable: rowids of the rows in order
    QString rowSql;         // updatable: the row with rowid ?1
    QString baseTable;      // updatable: quoted, schema-qualified table
    std::optional<TableRef> base;
    QStringList baseColumns; // updatable: table column behind each result column, empty when computed

    // TextExport: SELECT … INTO target IN "" "Text;…"
    QString exportTarget;
    QString exportDatabase;
    QString exportConnect;
};

// Translates one statement of the Jet SQL dialect. Throws db::Error for a
// statement that is malformed, unsupported or names unknown tables or columns.
Translation translate(const QString& jetSql, SchemaInfo& schema, const TranslateOptions& options = {});

// SQL text helpers.
QString quoteIdentifier(const QString& name);
QString quoteLiteral(const QString& text);

} // namespace db
