#include "SqlFromPlanner.h"

#include <QSet>

#include <algorithm>
#include <map>

namespace db {

using namespace ast;

namespace {

bool isInnerTree(const FromItem& f) {
    if (f.kind == FromItem::Kind::Table) return true;
    return f.joinType == FromItem::JoinType::Inner && isInnerTree(*f.left) && isInnerTree(*f.right);
}

// "A.x = B.y" with a column on each side.
bool isColumnEquality(const Expr& e) {
    return e.kind == Expr::Kind::Binary && e.text == u"=" && e.args[0]->kind == Expr::Kind::Column &&
           e.args[1]->kind == Expr::Kind::Column;
}

} // namespace

void SqlFromPlanner::conjuncts(const Expr* e, std::vector<const Expr*>& out) {
    if (!e) return;
    if (e->kind == Expr::Kind::Binary && e->text == u"AND") {
        for (const auto& a : e->args)
            conjuncts(a.get(), out);
        return;
    }
    out.push_back(e);
}

FromPlan SqlFromPlanner::plan(const Select& s, const Scope& scope) {
    Pending p{scope, {}, {}};
    QStringList fromParts;
    for (const auto& f : s.from)
        fromParts << fromSql(*f, p);

    // The statement's own conditions, each emitted once.
    std::vector<const Expr*> own;
    conjuncts(s.where.get(), own);
    std::vector<Emitted> emitted;
    bool bitwise = false;
    for (const Expr* c : own) {
        emitted.push_back(m_expressions.expr(*c, scope));
        if (SqlExpressions::isNumeric(emitted.back().type)) bitwise = true;
    }
    if (bitwise) {
        // AND over a number works bit by bit: the whole clause is one value, true when non-zero.
        QStringList terms;
        for (const Emitted& e : emitted)
            terms << SqlExpressions::operand(SqlExpressions::asValue(e), kBitwise + 1);
        p.where << SqlExpressions::chain(terms, QStringLiteral(" & "));
    } else {
        for (size_t i = 0; i < own.size(); ++i) {
            std::optional<QString> rewritten;
            if (scope.tables.size() > 1) rewritten = semiJoin(*own[i], emitted[i], p);
            p.where << (rewritten ? *rewritten : SqlExpressions::operand(emitted[i], kAnd + 1));
        }
    }
    return {fromParts.join(QStringLiteral(", ")), p.where};
}

void SqlFromPlanner::innerLeaves(const FromItem& f, const Scope& scope, std::vector<int>& out,
                                 std::vector<const Expr*>& conditions) {
    if (f.kind == FromItem::Kind::Table) {
        out.push_back(SqlNames::tableIndex(f, scope));
        return;
    }
    innerLeaves(*f.left, scope, out, conditions);
    innerLeaves(*f.right, scope, out, conditions);
    conditions.push_back(f.on.get());
}

// An inner-join group as a FROM list. A table joined only through its unique
// key (a lookup, T.key = X.fk) is read per row of the table that refers to it:
// it comes after that table, joined with CROSS JOIN so that the planner keeps
// the order and never loops over lookups before reaching the big table.
QString SqlFromPlanner::innerGroupSql(const std::vector<int>& leaves,
                                      const std::vector<const Expr*>& conditions, const Scope& scope) {
    auto inGroup = [&](int t) { return std::find(leaves.begin(), leaves.end(), t) != leaves.end(); };
    std::map<int, int> referrer; // lookup table -> the table that refers to it
    for (const Expr* c : conditions) {
        std::vector<const Expr*> parts;
        conjuncts(c, parts);
        for (const Expr* p : parts) {
            if (!isColumnEquality(*p)) continue;
            Resolved a = SqlNames::resolve(*p->args[0], scope), b = SqlNames::resolve(*p->args[1], scope);
            if (a.scope != &scope || b.scope != &scope || a.table == b.table || !inGroup(a.table) ||
                !inGroup(b.table))
                continue;
            for (int k = 0; k < 2; ++k, std::swap(a, b)) {
                if (scope.tables[a.table].table.info.isUnique(a.column->name) && !referrer.count(a.table) &&
                    referrer.count(b.table) == 0) {
                    referrer[a.table] = b.table;
                    break;
                }
            }
        }
    }
    std::vector<int> order;
    for (int t : leaves)
        if (!referrer.count(t)) order.push_back(t);
    if (order.empty()) {
        order.push_back(leaves.front());
        referrer.erase(leaves.front());
    }
    const size_t facts = order.size();
    for (bool progress = true; progress && order.size() < leaves.size();) {
        progress = false;
        for (int t : leaves) {
            if (std::find(order.begin(), order.end(), t) != order.end()) continue;
            if (std::find(order.begin(), order.end(), referrer[t]) != order.end()) {
                order.push_back(t);
                progress = true;
            }
        }
    }
    for (int t : leaves)
        if (std::find(order.begin(), order.end(), t) == order.end()) order.push_back(t);
    QString sql;
    for (size_t i = 0; i < order.size(); ++i) {
        if (i > 0) sql += i < facts ? QStringLiteral(", ") : QStringLiteral(" CROSS JOIN ");
        sql += scope.tables[order[i]].fromSql;
    }
    return sql;
}

// Emits a FROM item. Inner-join groups become comma lists whose ON conditions
// join the WHERE clause (same rows, and the planner may order them freely);
// a right join becomes a left join with its sides swapped.
QString SqlFromPlanner::fromSql(const FromItem& f, Pending& p) {
    if (isInnerTree(f)) {
        std::vector<int> leaves;
        std::vector<const Expr*> conditions;
        innerLeaves(f, p.scope, leaves, conditions);
        for (const Expr* c : conditions) {
            p.where << SqlExpressions::operand(m_expressions.condition(*c, p.scope), kAnd + 1);
            p.innerConditions.push_back(c);
        }
        return innerGroupSql(leaves, conditions, p.scope);
    }
    if (f.joinType == FromItem::JoinType::Inner) {
        p.innerConditions.push_back(f.on.get());
        return nestedFrom(*f.left, p) + QStringLiteral(" INNER JOIN ") + nestedFrom(*f.right, p) +
               QStringLiteral(" ON ") + m_expressions.condition(*f.on, p.scope).sql;
    }
    const bool left = f.joinType == FromItem::JoinType::Left;
    const FromItem& preserved = left ? *f.left : *f.right;
    const FromItem& optional = left ? *f.right : *f.left;
    return fromSql(preserved, p) + QStringLiteral(" LEFT JOIN ") + nestedFrom(optional, p) +
           QStringLiteral(" ON ") + m_expressions.condition(*f.on, p.scope).sql;
}

// A FROM item in a position where it must stand as one unit.
QString SqlFromPlanner::nestedFrom(const FromItem& f, Pending& p) {
    if (f.kind == FromItem::Kind::Table) return p.scope.tables[SqlNames::tableIndex(f, p.scope)].fromSql;
    if (f.joinType == FromItem::JoinType::Inner) {
        p.innerConditions.push_back(f.on.get());
        return u'(' + nestedFrom(*f.left, p) + QStringLiteral(" INNER JOIN ") + nestedFrom(*f.right, p) +
               QStringLiteral(" ON ") + m_expressions.condition(*f.on, p.scope).sql + u')';
    }
    const bool left = f.joinType == FromItem::JoinType::Left;
    return u'(' + nestedFrom(left ? *f.left : *f.right, p) + QStringLiteral(" LEFT JOIN ") +
           nestedFrom(left ? *f.right : *f.left, p) + QStringLiteral(" ON ") +
           m_expressions.condition(*f.on, p.scope).sql + u')';
}

// Rewrites a condition on one inner-joined lookup table T, joined by
// T.key = X.fk with a unique key, into X.fk IN (SELECT T.key FROM T WHERE condition).
// Same rows; it lets the planner go from the few matching lookup rows into the
// big table through its foreign-key index instead of scanning the big table.
std::optional<QString> SqlFromPlanner::semiJoin(const Expr& condition, const Emitted& emitted,
                                                const Pending& p) {
    const Scope& scope = p.scope;
    if (containsAggregate(condition)) return std::nullopt;
    QSet<int> tables;
    if (!m_names.referencedTables(condition, scope, tables) || tables.size() != 1) return std::nullopt;
    const int t = *tables.begin();
    const ScopeTable& lookup = scope.tables[t];
    if (lookup.nullSupplying) return std::nullopt;
    for (const Expr* on : p.innerConditions) {
        std::vector<const Expr*> parts;
        conjuncts(on, parts);
        for (const Expr* part : parts) {
            if (!isColumnEquality(*part)) continue;
            Resolved ra = SqlNames::resolve(*part->args[0], scope);
            Resolved rb = SqlNames::resolve(*part->args[1], scope);
            if (ra.scope != &scope || rb.scope != &scope) continue;
            if (rb.table == t && ra.table != t) std::swap(ra, rb);
            if (ra.table != t || rb.table == t) continue;
            if (!lookup.table.info.isUnique(ra.column->name)) continue;
            if (scope.tables[rb.table].nullSupplying) continue;
            return SqlNames::columnSql(rb) + QStringLiteral(" IN (SELECT ") + SqlNames::columnSql(ra) +
                   QStringLiteral(" FROM ") + lookup.fromSql + QStringLiteral(" WHERE ") + emitted.sql + u')';
        }
    }
    return std::nullopt;
}

} // namespace db
