#pragma once

#include "SchemaInfo.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

// Syntax tree of the Jet SQL dialect subset the program speaks.
namespace db::ast {

struct Select;

struct Expr {
    enum class Kind {
        Null,
        Boolean, // True / False
        Integer,
        Real,
        String,
        Date,     // #…#: real holds the day count
        Column,   // [qualifier.]name
        Star,     // the * inside Count(*)
        Unary,    // op: "NOT", "-"
        Binary,   // op: OR AND = <> < > <= >= & + - * / \ MOD; OR AND & + * may hold
                  // more than two operands (a flat chain a OR b OR c …)
        Like,     // args[0] LIKE args[1]
        Between,  // args[0] BETWEEN args[1] AND args[2]
        InList,   // args[0] IN (args[1..])
        InSelect, // args[0] IN (subquery)
        Exists,   // EXISTS (subquery)
        IsNull,   // args[0] IS NULL
        Function, // name(args)
        Subquery, // (subquery) as a scalar
    };
    Kind kind;
    QString text;      // operator, function name, column name, literal text
    QString qualifier; // table of a column reference
    qint64 integer = 0;
    double real = 0;
    bool boolean = false;
    bool negated = false; // NOT LIKE, NOT BETWEEN, NOT IN, IS NOT NULL
    std::vector<std::unique_ptr<Expr>> args;
    std::unique_ptr<Select> subquery;
    // Levels of the tree below and including this node, subqueries included:
    // how deep translating it recurses.
    int height = 1;

    explicit Expr(Kind k) : kind(k) {}
};
using ExprPtr = std::unique_ptr<Expr>;

struct FromItem {
    enum class Kind { Table, Join };
    enum class JoinType { Inner, Left, Right };
    Kind kind = Kind::Table;
    // Table
    QString table;
    QString alias;
    std::optional<QString> externalPath; // IN "path"
    // Join
    JoinType joinType = JoinType::Inner;
    std::unique_ptr<FromItem> left, right;
    ExprPtr on;
    int height = 1; // as Expr::height, over joins and their conditions
};
using FromPtr = std::unique_ptr<FromItem>;

struct SelectItem {
    bool star = false;     // * or qualifier.*
    QString starQualifier; // for qualifier.*
    ExprPtr expr;
    QString alias;
};

struct OrderItem {
    ExprPtr expr;
    bool descending = false;
};

// SELECT … INTO target [IN "database" ["connect"]]
struct IntoClause {
    QString target;
    std::optional<QString> database;
    std::optional<QString> connect;
};

struct Select {
    bool distinct = false;
    std::optional<qint64> top;
    bool topPercent = false;
    std::vector<SelectItem> items;
    std::optional<IntoClause> into;
    std::vector<FromPtr> from; // comma-separated items
    ExprPtr where;
    std::vector<ExprPtr> groupBy;
    ExprPtr having;
    std::vector<OrderItem> orderBy;
    int height = 1; // as Expr::height, over every clause
};

struct Insert {
    QString table;
    QStringList columns;
    std::vector<ExprPtr> values;
    std::unique_ptr<Select> select;
};

struct Delete {
    QString table;
    ExprPtr where;
};

struct Update {
    QString table;
    std::vector<std::pair<QString, ExprPtr>> assignments;
    ExprPtr where;
};

struct ColumnDef {
    QString name;
    ColumnType type = ColumnType::Text;
    int size = 255;
    bool notNull = false;
    bool primaryKey = false;
    bool unique = false;
};

struct CreateTable {
    QString table;
    std::vector<ColumnDef> columns;
    QStringList primaryKey;           // CONSTRAINT … PRIMARY KEY (…)
    std::vector<QStringList> uniques; // CONSTRAINT … UNIQUE (…)
};

struct CreateIndex {
    QString name;
    QString table;
    QStringList columns;
    std::vector<bool> descending;
    bool unique = false;
};

struct Drop {
    bool index = false; // DROP INDEX name ON table, else DROP TABLE
    QString name;
    QString table;
};

struct Statement {
    enum class Kind { Select, Insert, Delete, Update, CreateTable, CreateIndex, Drop };
    Kind kind = Kind::Select;
    std::unique_ptr<Select> select;
    std::unique_ptr<Insert> insert;
    std::unique_ptr<Delete> del;
    std::unique_ptr<Update> update;
    std::unique_ptr<CreateTable> createTable;
    std::unique_ptr<CreateIndex> createIndex;
    std::unique_ptr<Drop> drop;
};

// Count, Sum, Avg, Min, Max.
inline bool isAggregateName(const QString& function) {
    for (const char* name : {"COUNT", "SUM", "AVG", "MIN", "MAX"})
        if (function.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) return true;
    return false;
}

// An aggregate call anywhere in the expression; subqueries are their own scope.
inline bool containsAggregate(const Expr& e) {
    if (e.kind == Expr::Kind::Function && isAggregateName(e.text)) return true;
    for (const auto& a : e.args)
        if (a && containsAggregate(*a)) return true;
    return false;
}

} // namespace db::ast
