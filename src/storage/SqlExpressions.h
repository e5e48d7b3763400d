#pragma once

#include "SqlAst.h"
#include "SqlNames.h"

#include <QString>
#include <QStringList>

namespace db {

// What an expression yields. It decides, in one place, how the expression
// compares (text under the Czech order, letter case ignored), how it becomes a
// value (a truth value is -1 or 0, as the dialect's Booleans) and how it groups.
enum class SqlType {
    Unknown, // Null, a column of no known type
    Text,
    Number,
    Boolean,   // a Yes/No value: -1 or 0
    Currency,  // an amount, as a number of units (the column's count of ten-thousandths in raw)
    Date,      // a date: days from 30 December 1899
    Predicate, // SQLite's truth value (1, 0 or Null): comparisons, LIKE, IN, EXISTS, IS NULL
};

// SQLite's operator precedence, loosest first. An operand is put in
// parentheses only when it binds more loosely than its place needs.
enum Precedence : int {
    kOr = 1,
    kAnd,
    kNot,
    kEquality, // = <> IS IN LIKE BETWEEN
    kRelation, // < <= > >=
    kBitwise,  // & |
    kAdditive,
    kMultiplicative,
    kConcat,
    kCollate,
    kUnary,
    kPrimary,
};

// One expression in SQLite's form.
struct Emitted {
    QString sql;
    SqlType type = SqlType::Unknown;
    int precedence = kPrimary;
    bool plainColumn = false; // a column reference: it carries its table's collation
    bool collated = false;    // ends with COLLATE "CZ"
    QString raw;              // a Currency column: the column itself, its stored count of ten-thousandths
};

// The statement level builds the subqueries an expression holds.
class SubqueryBuilder {
  public:
    virtual ~SubqueryBuilder() = default;
    // The select's SQL (without parentheses) and the type of its first column.
    virtual Emitted buildSubquery(const ast::Select& select, const Scope& outer) = 0;
};

// Typed expression output: every expression is emitted once, with its type;
// text comparison, Boolean values and conditions follow from the types.
class SqlExpressions {
  public:
    explicit SqlExpressions(SubqueryBuilder& subqueries) : m_subqueries(subqueries) {}

    Emitted expr(const ast::Expr& e, const Scope& scope);
    // The expression where a value is wanted (a select item, an operand).
    Emitted value(const ast::Expr& e, const Scope& scope) { return asValue(expr(e, scope)); }
    // The expression where a condition is wanted (WHERE, ON, HAVING, iif).
    Emitted condition(const ast::Expr& e, const Scope& scope) { return asCondition(expr(e, scope)); }

    // A truth value becomes -1 (true) or 0 (false); Null stays Null.
    static Emitted asValue(Emitted e);
    // Any value is true when non-zero, as SQLite already reads it; a truth value stays.
    static Emitted asCondition(Emitted e);
    // A text expression that is not a plain column gets the Czech collation, so
    // that grouping, DISTINCT, ordering and Min/Max treat it as the dialect does.
    static Emitted withCzechOrder(Emitted e);

    // e's SQL, in parentheses when it binds more loosely than precedence.
    static QString operand(const Emitted& e, int precedence);
    // Terms joined by an associative operator, in nested groups of a few dozen:
    // SQLite builds a flat chain as a tree as deep as the chain is long, and
    // refuses a tree deeper than 1000.
    static QString chain(const QStringList& terms, const QString& separator);
    // A column's type as an expression type.
    static SqlType typeOf(ColumnType type);
    // A number of any kind: arithmetic and bitwise AND/OR take it as a number.
    static bool isNumeric(SqlType type) {
        return type == SqlType::Number || type == SqlType::Currency || type == SqlType::Date;
    }

  private:
    static SqlType sumType(const std::vector<SqlType>& types);
    static QString asText(const Emitted& e);
    Emitted binary(const ast::Expr& e, const Scope& scope);
    Emitted andOr(const ast::Expr& e, const Scope& scope);
    Emitted comparison(const QString& op, Emitted a, Emitted b);
    Emitted notExpr(const ast::Expr& e, const Scope& scope);
    Emitted like(const ast::Expr& e, const Scope& scope);
    Emitted between(const ast::Expr& e, const Scope& scope);
    Emitted inList(const ast::Expr& e, const Scope& scope);
    Emitted inSelect(const ast::Expr& e, const Scope& scope);
    Emitted function(const ast::Expr& e, const Scope& scope);

    SubqueryBuilder& m_subqueries;
};

} // namespace db
