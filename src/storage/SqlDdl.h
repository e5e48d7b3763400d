#pragma once

#include "SqlAst.h"
#include "SqlNames.h"

#include <QString>
#include <QStringList>

namespace db {

// Schema statements: tables with the dialect's column types and their checks
// (each type's, from its description), counters, indexes. The checks are
// named so that readableMessage can word their failures:
//   len:<column>:<size>  a text longer than Text(size)
//   type:<column>        not a whole number
//   range:<column>       a whole number outside -2147483648 … 2147483647
//   bool:<column>        a text that is no Yes/No value
//   and the kinds of the newer types (checkFailureMessage).
class SqlDdl {
  public:
    explicit SqlDdl(SqlNames& names) : m_names(names) {}

    QStringList createTable(const ast::CreateTable& table);
    QString createIndex(const ast::CreateIndex& index);
    QStringList drop(const ast::Drop& drop);

    // A column's type, collation and checks as written in CREATE TABLE.
    static QString columnDefinition(const ast::ColumnDef& column, bool rowidKey);

  private:
    static QString indexName(const QString& table, const QString& name);

    SqlNames& m_names;
};

} // namespace db
