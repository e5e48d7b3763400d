#pragma once

#include "SchemaInfo.h"
#include "SqlAst.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <optional>
#include <vector>

namespace db {

// A table as it appears in a FROM clause.
struct ScopeTable {
    QString refName; // name the statement uses for it (alias or table name as written)
    QString fromSql; // its text in the FROM clause
    TableRef table;
    bool nullSupplying = false; // inner side of an outer join
};

// The tables one SELECT (or UPDATE, DELETE) can name, inside those of the
// statements around it.
struct Scope {
    std::vector<ScopeTable> tables;
    const Scope* parent = nullptr;
};

// A column reference resolved to the scope and table that hold it.
struct Resolved {
    const Scope* scope = nullptr;
    int table = -1;
    const ColumnInfo* column = nullptr;
};

// Name resolution for one translation: tables from the schema, columns in
// nested scopes, and which tables a condition refers to. The analysis walks
// the syntax tree; it never translates anything.
class SqlNames {
  public:
    explicit SqlNames(SchemaInfo& schema) : m_schema(schema) {}

    SchemaInfo& schema() { return m_schema; }

    // The table, or db::Error naming it.
    TableRef requireTable(const QString& name, const std::optional<QString>& externalPath = std::nullopt);
    // The table as FROM names it in SQLite: quoted, with its schema when attached.
    static QString qualifiedTable(const TableRef& table);
    // A scope table for a statement that names just one table (UPDATE, DELETE).
    ScopeTable singleTable(const QString& name);

    // Adds the tables of a FROM item to the scope, in the order they are written;
    // nullSupplying marks the inner side of an outer join.
    void addTables(const ast::FromItem& from, Scope& scope, bool nullSupplying = false);
    // The scope table a FROM leaf stands for.
    static int tableIndex(const ast::FromItem& leaf, const Scope& scope);

    // The column a reference names, looked up from the innermost scope out.
    // Throws db::Error for an unknown or ambiguous name.
    static Resolved resolve(const ast::Expr& column, const Scope& scope);
    static QString columnSql(const Resolved& r);

    // Tables of this scope that an expression refers to; false when it refers to
    // an outer scope, to a name that does not resolve, or holds a subquery that
    // names anything outside itself.
    bool referencedTables(const ast::Expr& e, const Scope& scope, QSet<int>& tables);
    // Every name in the select resolves inside it.
    bool isSelfContained(const ast::Select& select);

  private:
    bool resolvesWithin(const ast::Select& select, const Scope* parent);
    bool resolvesWithin(const ast::Expr& e, const Scope& scope);

    SchemaInfo& m_schema;
    QHash<const ast::Select*, bool> m_selfContained; // per subquery, each analysed once
};

} // namespace db
