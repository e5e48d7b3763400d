#pragma once

#include "SqlAst.h"
#include "SqlExpressions.h"
#include "SqlNames.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace db {

// A select's FROM clause and WHERE conditions as SQLite should see them.
struct FromPlan {
    QString from;      // the FROM list
    QStringList where; // conditions to AND together: inner-join ON conditions, then the statement's own
};

// FROM planning. Inner-join groups become comma lists whose ON conditions join
// the WHERE clause; a table joined only through its unique key (a lookup) is
// read per row of the table that refers to it; a condition on one inner-joined
// lookup becomes a semi-join (X.fk IN (SELECT key FROM Lookup WHERE …)) so that
// SQLite goes from the few matching lookup rows into the big table through its
// foreign-key index instead of scanning it.
class SqlFromPlanner {
  public:
    SqlFromPlanner(SqlNames& names, SqlExpressions& expressions)
        : m_names(names), m_expressions(expressions) {}

    // The select's tables must be in scope already (SqlNames::addTables).
    FromPlan plan(const ast::Select& select, const Scope& scope);

    // The operands of a chain of ANDs, however nested.
    static void conjuncts(const ast::Expr* e, std::vector<const ast::Expr*>& out);

  private:
    struct Pending {
        const Scope& scope;
        std::vector<const ast::Expr*> innerConditions; // ON conditions of inner joins
        QStringList where;
    };

    QString fromSql(const ast::FromItem& f, Pending& p);
    QString nestedFrom(const ast::FromItem& f, Pending& p);
    QString innerGroupSql(const std::vector<int>& leaves, const std::vector<const ast::Expr*>& conditions,
                          const Scope& scope);
    void innerLeaves(const ast::FromItem& f, const Scope& scope, std::vector<int>& leaves,
                     std::vector<const ast::Expr*>& conditions);
    std::optional<QString> semiJoin(const ast::Expr& condition, const Emitted& emitted, const Pending& p);

    SqlNames& m_names;
    SqlExpressions& m_expressions;
};

} // namespace db
