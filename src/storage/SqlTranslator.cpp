#include "SqlTranslator.h"

#include "Error.h"
#include "LikePattern.h"
#include "SqlParser.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <map>

namespace db {

QString quoteIdentifier(const QString& name) {
    QString s = name;
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

QString quoteLiteral(const QString& text) {
    QString s = text;
    s.replace(u'\'', QStringLiteral("''"));
    return u'\'' + s + u'\'';
}

namespace {

using namespace ast;

// Upper bound of all texts that start with a given prefix, in binary order.
const QString kPrefixEnd = QString::fromUcs4(U"\U0010FFFF");

bool isNumeric(ColumnType t) {
    return t == ColumnType::Long || t == ColumnType::Counter || t == ColumnType::Boolean || t == ColumnType::Double;
}

bool isAggregateName(const QString& fn) {
    static const QSet<QString> names = {QStringLiteral("COUNT"), QStringLiteral("SUM"), QStringLiteral("AVG"),
                                        QStringLiteral("MIN"), QStringLiteral("MAX")};
    return names.contains(fn.toUpper());
}

bool containsAggregate(const Expr& e) {
    if (e.kind == Expr::Kind::Function && isAggregateName(e.text)) return true;
    for (const auto& a : e.args)
        if (a && containsAggregate(*a)) return true;
    return false; // subqueries are their own scope
}

// A table as it appears in a FROM clause.
struct ScopeTable {
    QString refName;   // name the statement uses for it (alias or table name as written)
    QString fromSql;   // its text in the FROM clause
    TableRef table;
    bool nullSupplying = false; // inner side of an outer join
    int group = -1;             // inner-join group it belongs to
};

struct Scope {
    std::vector<ScopeTable> tables;
    Scope* parent = nullptr;
    QHash<QString, QString> aliasExpr; // select-list aliases (upper case) and their SQL, usable in ORDER BY
};

struct Resolved {
    Scope* scope = nullptr;
    int table = -1;
    const ColumnInfo* column = nullptr;
};

// An inner-join group: tables joined by inner joins only, with their ON conditions.
struct JoinGroup {
    std::vector<const Expr*> conditions;
};

class Translator {
public:
    Translator(SchemaInfo& schema, const TranslateOptions& opt) : m_schema(schema), m_opt(opt) {}

    Translation run(const Statement& st) {
        Translation t;
        switch (st.kind) {
        case Statement::Kind::Select:
            if (st.select->into) return selectInto(*st.select);
            t = topSelect(*st.select);
            break;
        case Statement::Kind::Insert:
            t.kind = Translation::Kind::Action;
            t.statements << insert(*st.insert);
            break;
        case Statement::Kind::Delete:
            t.kind = Translation::Kind::Action;
            t.statements << del(*st.del);
            break;
        case Statement::Kind::Update:
            t.kind = Translation::Kind::Action;
            t.statements << update(*st.update);
            break;
        case Statement::Kind::CreateTable:
            t.kind = Translation::Kind::Schema;
            t.statements = createTable(*st.createTable);
            break;
        case Statement::Kind::CreateIndex:
            t.kind = Translation::Kind::Schema;
            t.statements << createIndex(*st.createIndex);
            break;
        case Statement::Kind::Drop:
            t.kind = Translation::Kind::Schema;
            t.statements = drop(*st.drop);
            break;
        }
        return t;
    }

private:
    // ---- tables and names -------------------------------------------------
    TableRef requireTable(const QString& name, const std::optional<QString>& external = std::nullopt) {
        auto t = m_schema.findTable(name, external.value_or(QString()));
        if (!t) {
            if (external)
                throw Error(QStringLiteral("Tabulka „%1“ v databázi „%2“ neexistuje.").arg(name, *external));
            throw Error(QStringLiteral("Tabulka nebo dotaz „%1“ neexistuje.").arg(name));
        }
        return *t;
    }

    static QString qualifiedTable(const TableRef& t) {
        if (t.schema.isEmpty() || t.schema == u"main") return quoteIdentifier(t.info.name);
        return quoteIdentifier(t.schema) + u'.' + quoteIdentifier(t.info.name);
    }

    Resolved resolve(const Expr& col, Scope& scope) {
        for (Scope* s = &scope; s; s = s->parent) {
            if (!col.qualifier.isEmpty()) {
                for (int i = 0; i < int(s->tables.size()); ++i) {
                    auto& st = s->tables[i];
                    if (st.refName.compare(col.qualifier, Qt::CaseInsensitive) != 0) continue;
                    const ColumnInfo* c = st.table.info.column(col.text);
                    if (!c)
                        throw Error(QStringLiteral("Pole „%1.%2“ neexistuje.").arg(col.qualifier, col.text));
                    return {s, i, c};
                }
                continue;
            }
            Resolved found;
            for (int i = 0; i < int(s->tables.size()); ++i) {
                const ColumnInfo* c = s->tables[i].table.info.column(col.text);
                if (!c) continue;
                if (found.column)
                    throw Error(QStringLiteral("Uvedené pole „%1“ se může vztahovat k více než jedné tabulce "
                                               "uvedené v klauzuli FROM příkazu SQL.")
                                    .arg(col.text));
                found = {s, i, c};
            }
            if (found.column) return found;
        }
        if (!col.qualifier.isEmpty())
            throw Error(QStringLiteral("Tabulka „%1“ není uvedena v klauzuli FROM.").arg(col.qualifier));
        throw Error(QStringLiteral("Neznámý název „%1“ v příkazu SQL.").arg(col.text));
    }

    static QString columnSql(const Resolved& r) {
        return quoteIdentifier(r.scope->tables[r.table].refName) + u'.' + quoteIdentifier(r.column->name);
    }

    // ---- expressions ------------------------------------------------------
    struct ExprCtx {
        bool orderBy;
    };

    QString expr(const Expr& e, Scope& scope, ExprCtx ctx = ExprCtx{false}) {
        switch (e.kind) {
        case Expr::Kind::Null:
            return QStringLiteral("NULL");
        case Expr::Kind::Boolean:
            return e.boolean ? QStringLiteral("-1") : QStringLiteral("0");
        case Expr::Kind::Integer:
            return QString::number(e.integer);
        case Expr::Kind::Real:
            return QString::number(e.real, 'g', 17);
        case Expr::Kind::String:
            return quoteLiteral(e.text);
        case Expr::Kind::Column: {
            if (ctx.orderBy && e.qualifier.isEmpty() && scope.aliasExpr.contains(e.text.toUpper())) {
                // An alias of the select list, unless a table column has that name.
                bool isColumn = false;
                for (const auto& t : scope.tables)
                    if (t.table.info.column(e.text)) isColumn = true;
                if (!isColumn) return scope.aliasExpr.value(e.text.toUpper());
            }
            return columnSql(resolve(e, scope));
        }
        case Expr::Kind::Star:
            return QStringLiteral("*");
        case Expr::Kind::Unary:
            if (e.text == u"NOT") return QStringLiteral("(NOT %1)").arg(expr(*e.args[0], scope));
            return QStringLiteral("(%1%2)").arg(e.text, expr(*e.args[0], scope));
        case Expr::Kind::Binary:
            return binary(e, scope);
        case Expr::Kind::Like:
            return like(e, scope);
        case Expr::Kind::Between:
            return QStringLiteral("(%1 %2BETWEEN %3 AND %4)")
                .arg(expr(*e.args[0], scope), e.negated ? QStringLiteral("NOT ") : QString(),
                     expr(*e.args[1], scope), expr(*e.args[2], scope));
        case Expr::Kind::InList: {
            QStringList items;
            for (size_t i = 1; i < e.args.size(); ++i) items << expr(*e.args[i], scope);
            return QStringLiteral("(%1 %2IN (%3))")
                .arg(expr(*e.args[0], scope), e.negated ? QStringLiteral("NOT ") : QString(), items.join(u", "));
        }
        case Expr::Kind::InSelect:
            return QStringLiteral("(%1 %2IN (%3))")
                .arg(expr(*e.args[0], scope), e.negated ? QStringLiteral("NOT ") : QString(),
                     subSelect(*e.subquery, scope));
        case Expr::Kind::Exists:
            return QStringLiteral("EXISTS (%1)").arg(subSelect(*e.subquery, scope));
        case Expr::Kind::Subquery:
            return QStringLiteral("(%1)").arg(subSelect(*e.subquery, scope));
        case Expr::Kind::IsNull:
            return QStringLiteral("(%1 IS %2NULL)").arg(expr(*e.args[0], scope), e.negated ? QStringLiteral("NOT ") : QString());
        case Expr::Kind::Function:
            return function(e, scope);
        }
        return {};
    }

    QString binary(const Expr& e, Scope& scope) {
        const QString a = expr(*e.args[0], scope);
        const QString b = expr(*e.args[1], scope);
        const QString& op = e.text;
        if (op == u"&") return QStringLiteral("jet_concat(%1, %2)").arg(a, b);
        if (op == u"MOD") return QStringLiteral("(%1 % %2)").arg(a, b);
        if (op == u"\\") return QStringLiteral("(CAST(%1 AS INTEGER) / CAST(%2 AS INTEGER))").arg(a, b);
        if (op == u"=" || op == u"<>" || op == u"<" || op == u">" || op == u"<=" || op == u">=") {
            // Text compares under the Czech order with letter case ignored. Columns carry
            // that collation; a literal text compared with something else gets it here.
            const bool litA = e.args[0]->kind == Expr::Kind::String;
            const bool litB = e.args[1]->kind == Expr::Kind::String;
            if (litA || litB) {
                return QStringLiteral("(%1 %2 %3)")
                    .arg(litA ? a + QStringLiteral(" COLLATE \"CZ\"") : a, op,
                         litB ? b + QStringLiteral(" COLLATE \"CZ\"") : b);
            }
        }
        return QStringLiteral("(%1 %2 %3)").arg(a, op, b);
    }

    QString like(const Expr& e, Scope& scope) {
        const Expr& lhs = *e.args[0];
        const Expr& rhs = *e.args[1];
        const QString value = expr(lhs, scope);
        QString result;
        const bool literal = rhs.kind == Expr::Kind::String || rhs.kind == Expr::Kind::Integer;
        if (!literal) {
            result = QStringLiteral("jet_like(%1, %2)").arg(value, expr(rhs, scope));
        } else {
            const QString patternText = rhs.kind == Expr::Kind::String ? rhs.text : QString::number(rhs.integer);
            std::optional<LikePattern> pattern;
            try {
                pattern.emplace(patternText);
            } catch (const std::exception& ex) {
                throw Error(QString::fromUtf8(ex.what()));
            }
            bool numericColumn = false;
            if (lhs.kind == Expr::Kind::Column) {
                Resolved r = resolve(lhs, scope);
                numericColumn = isNumeric(r.column->type);
            }
            bool integerPattern = false;
            patternText.toLongLong(&integerPattern);
            if (numericColumn) {
                if (pattern->isExact() && integerPattern)
                    result = QStringLiteral("(%1 = %2)").arg(value, patternText);
                else
                    result = QStringLiteral("jet_like(%1, %2)").arg(value, quoteLiteral(patternText));
            } else if (pattern->isExact()) {
                result = QStringLiteral("(jet_fold(%1) = %2)").arg(value, quoteLiteral(pattern->foldedLiteral()));
            } else if (!pattern->literalPrefix().isEmpty()) {
                // The range on the folded text lets an index on jet_fold(column) narrow the rows.
                const QString prefix = pattern->literalPrefix();
                const QString range = QStringLiteral("jet_fold(%1) >= %2 AND jet_fold(%1) < %3")
                                          .arg(value, quoteLiteral(prefix), quoteLiteral(prefix + kPrefixEnd));
                // A literal followed by one "*" is the range alone; leaving out the
                // match lets the index answer without reading the rows.
                const QString head = patternText.chopped(1);
                const bool prefixOnly = patternText.endsWith(u'*') && !LikePattern(head).hasWildcards() &&
                                        LikePattern(head).foldedLiteral() == prefix;
                result = prefixOnly ? u'(' + range + u')'
                                    : QStringLiteral("(%1 AND jet_like(%2, %3))").arg(range, value, quoteLiteral(patternText));
            } else {
                result = QStringLiteral("jet_like(%1, %2)").arg(value, quoteLiteral(patternText));
            }
        }
        return e.negated ? QStringLiteral("(NOT %1)").arg(result) : result;
    }

    QString function(const Expr& e, Scope& scope) {
        const QString fn = e.text.toUpper();
        QStringList a;
        for (const auto& arg : e.args) a << expr(*arg, scope);
        auto need = [&](int lo, int hi) {
            if (a.size() < lo || a.size() > hi)
                throw Error(QStringLiteral("Nesprávný počet argumentů funkce „%1“.").arg(e.text));
        };
        if (fn == u"IIF") {
            need(3, 3);
            return QStringLiteral("(CASE WHEN %1 THEN %2 ELSE %3 END)").arg(a[0], a[1], a[2]);
        }
        if (fn == u"ISNULL") {
            need(1, 1);
            return QStringLiteral("(CASE WHEN %1 IS NULL THEN -1 ELSE 0 END)").arg(a[0]);
        }
        if (fn == u"COUNT") {
            need(1, 1);
            return QStringLiteral("count(%1)").arg(a[0]);
        }
        if (fn == u"SUM" || fn == u"AVG" || fn == u"MIN" || fn == u"MAX") {
            need(1, 1);
            return QStringLiteral("%1(%2)").arg(fn.toLower(), a[0]);
        }
        if (fn == u"LEN") {
            need(1, 1);
            return QStringLiteral("length(%1)").arg(a[0]);
        }
        if (fn == u"LCASE") {
            need(1, 1);
            return QStringLiteral("jet_fold(%1)").arg(a[0]);
        }
        if (fn == u"UCASE") {
            need(1, 1);
            return QStringLiteral("jet_upper(%1)").arg(a[0]);
        }
        if (fn == u"LEFT") {
            need(2, 2);
            return QStringLiteral("substr(%1, 1, %2)").arg(a[0], a[1]);
        }
        if (fn == u"RIGHT") {
            need(2, 2);
            return QStringLiteral("(CASE WHEN %2 <= 0 THEN '' ELSE substr(%1, -(%2)) END)").arg(a[0], a[1]);
        }
        if (fn == u"MID") {
            need(2, 3);
            return a.size() == 2 ? QStringLiteral("substr(%1, %2)").arg(a[0], a[1])
                                 : QStringLiteral("substr(%1, %2, %3)").arg(a[0], a[1], a[2]);
        }
        if (fn == u"TRIM" || fn == u"LTRIM" || fn == u"RTRIM") {
            need(1, 1);
            return QStringLiteral("%1(%2)").arg(fn.toLower(), a[0]);
        }
        if (fn == u"INSTR") {
            need(2, 2);
            return QStringLiteral("instr(jet_fold(%1), jet_fold(%2))").arg(a[0], a[1]);
        }
        if (fn == u"CSTR") {
            need(1, 1);
            return QStringLiteral("CAST(%1 AS TEXT)").arg(a[0]);
        }
        if (fn == u"CLNG" || fn == u"CINT") {
            need(1, 1);
            return QStringLiteral("CAST(round(%1) AS INTEGER)").arg(a[0]);
        }
        if (fn == u"ABS") {
            need(1, 1);
            return QStringLiteral("abs(%1)").arg(a[0]);
        }
        throw Error(QStringLiteral("Nedefinovaná funkce „%1“ ve výrazu.").arg(e.text));
    }

    // ---- SELECT -----------------------------------------------------------
    struct Built {
        QString head;    // SELECT [DISTINCT] items
        QString body;    // FROM … WHERE … GROUP BY … ORDER BY …
        QString limit;   // LIMIT n or empty
        QStringList names;
        bool updatable = false;
        QString keySql, rowSql;
        ScopeTable base;
        QStringList baseColumns;
    };

    // Registers the tables of a FROM item, in the order they are written.
    void collectTables(const FromItem& f, Scope& scope, bool nullSupplying, int group, int& groups) {
        if (f.kind == FromItem::Kind::Table) {
            ScopeTable st;
            st.table = requireTable(f.table, f.externalPath);
            st.refName = f.alias.isEmpty() ? f.table : f.alias;
            st.fromSql = qualifiedTable(st.table);
            if (!f.alias.isEmpty() || (st.table.schema != u"main" && !st.table.schema.isEmpty()))
                st.fromSql += QStringLiteral(" AS ") + quoteIdentifier(st.refName);
            st.nullSupplying = nullSupplying;
            st.group = group;
            for (const auto& other : scope.tables)
                if (other.refName.compare(st.refName, Qt::CaseInsensitive) == 0)
                    throw Error(QStringLiteral("Tabulka „%1“ je v klauzuli FROM uvedena dvakrát.").arg(st.refName));
            scope.tables.push_back(st);
            return;
        }
        switch (f.joinType) {
        case FromItem::JoinType::Inner:
            collectTables(*f.left, scope, nullSupplying, group, groups);
            collectTables(*f.right, scope, nullSupplying, group, groups);
            break;
        case FromItem::JoinType::Left:
            collectTables(*f.left, scope, nullSupplying, group, groups);
            collectTables(*f.right, scope, true, groups++, groups);
            break;
        case FromItem::JoinType::Right:
            collectTables(*f.left, scope, true, groups++, groups);
            collectTables(*f.right, scope, nullSupplying, group, groups);
            break;
        }
    }

    const ScopeTable& scopeTable(const FromItem& f, Scope& scope) {
        const QString ref = f.alias.isEmpty() ? f.table : f.alias;
        for (const auto& t : scope.tables)
            if (t.refName.compare(ref, Qt::CaseInsensitive) == 0) return t;
        throw Error(QStringLiteral("Vnitřní chyba překladu klauzule FROM."));
    }

    static bool isInnerTree(const FromItem& f) {
        if (f.kind == FromItem::Kind::Table) return true;
        return f.joinType == FromItem::JoinType::Inner && isInnerTree(*f.left) && isInnerTree(*f.right);
    }

    void innerLeaves(const FromItem& f, Scope& scope, std::vector<int>& out, std::vector<const Expr*>& conds) {
        if (f.kind == FromItem::Kind::Table) {
            out.push_back(int(&scopeTable(f, scope) - scope.tables.data()));
            return;
        }
        innerLeaves(*f.left, scope, out, conds);
        innerLeaves(*f.right, scope, out, conds);
        conds.push_back(f.on.get());
    }

    // An inner-join group as a FROM list. A table joined only through its unique
    // key (a lookup, T.key = X.fk) is read per row of the table that refers to it:
    // it comes after that table, joined with CROSS JOIN so that the planner keeps
    // the order and never loops over lookups before reaching the big table.
    QString innerGroupSql(const std::vector<int>& leaves, const std::vector<const Expr*>& conds, Scope& scope) {
        auto inGroup = [&](int t) { return std::find(leaves.begin(), leaves.end(), t) != leaves.end(); };
        std::map<int, int> referrer; // lookup table -> the table that refers to it
        for (const Expr* c : conds) {
            std::vector<const Expr*> parts;
            conjuncts(c, parts);
            for (const Expr* p : parts) {
                if (p->kind != Expr::Kind::Binary || p->text != u"=" || p->args[0]->kind != Expr::Kind::Column ||
                    p->args[1]->kind != Expr::Kind::Column)
                    continue;
                Resolved a = resolve(*p->args[0], scope), b = resolve(*p->args[1], scope);
                if (a.scope != &scope || b.scope != &scope || a.table == b.table || !inGroup(a.table) || !inGroup(b.table))
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
    QString fromSql(const FromItem& f, Scope& scope, std::vector<const Expr*>& whereConds) {
        if (isInnerTree(f)) {
            std::vector<int> leaves;
            std::vector<const Expr*> conds;
            innerLeaves(f, scope, leaves, conds);
            for (const Expr* c : conds) {
                whereConds.push_back(c);
                m_innerConds.push_back(c);
            }
            return innerGroupSql(leaves, conds, scope);
        }
        if (f.joinType == FromItem::JoinType::Inner) {
            m_innerConds.push_back(f.on.get());
            return QStringLiteral("%1 INNER JOIN %2 ON %3")
                .arg(nestedFrom(*f.left, scope), nestedFrom(*f.right, scope), expr(*f.on, scope));
        }
        const bool left = f.joinType == FromItem::JoinType::Left;
        const FromItem& preserved = left ? *f.left : *f.right;
        const FromItem& optional = left ? *f.right : *f.left;
        return QStringLiteral("%1 LEFT JOIN %2 ON %3")
            .arg(fromSql(preserved, scope, whereConds), nestedFrom(optional, scope), expr(*f.on, scope));
    }

    // A FROM item in a position where it must stand as one unit.
    QString nestedFrom(const FromItem& f, Scope& scope) {
        if (f.kind == FromItem::Kind::Table) return scopeTable(f, scope).fromSql;
        if (f.joinType == FromItem::JoinType::Inner) {
            m_innerConds.push_back(f.on.get());
            return QStringLiteral("(%1 INNER JOIN %2 ON %3)")
                .arg(nestedFrom(*f.left, scope), nestedFrom(*f.right, scope), expr(*f.on, scope));
        }
        const bool left = f.joinType == FromItem::JoinType::Left;
        return QStringLiteral("(%1 LEFT JOIN %2 ON %3)")
            .arg(nestedFrom(left ? *f.left : *f.right, scope), nestedFrom(left ? *f.right : *f.left, scope),
                 expr(*f.on, scope));
    }

    static void conjuncts(const Expr* e, std::vector<const Expr*>& out) {
        if (!e) return;
        if (e->kind == Expr::Kind::Binary && e->text == u"AND") {
            conjuncts(e->args[0].get(), out);
            conjuncts(e->args[1].get(), out);
            return;
        }
        out.push_back(e);
    }

    // Tables of this scope that an expression refers to; false when it refers to
    // an outer scope or the reference cannot be analysed.
    bool referencedTables(const Expr& e, Scope& scope, QSet<int>& tables) {
        if (e.kind == Expr::Kind::Column) {
            Resolved r = resolve(e, scope);
            if (r.scope != &scope) return false;
            tables.insert(r.table);
            return true;
        }
        if (e.subquery) {
            // Only self-contained subqueries: their names must resolve inside them.
            Scope probe;
            probe.parent = nullptr;
            try {
                Translator inner(m_schema, m_opt);
                inner.subSelect(*e.subquery, probe);
            } catch (const Error&) {
                return false;
            }
        }
        for (const auto& a : e.args)
            if (a && !referencedTables(*a, scope, tables)) return false;
        return true;
    }

    // Rewrites a condition on one inner-joined lookup table T, joined by
    // T.key = X.fk with a unique key, into X.fk IN (SELECT T.key FROM T WHERE condition).
    // Same rows; it lets the planner go from the few matching lookup rows into the
    // big table through its foreign-key index instead of scanning the big table.
    std::optional<QString> semiJoin(const Expr& cond, Scope& scope) {
        if (containsAggregate(cond)) return std::nullopt;
        QSet<int> tables;
        if (!referencedTables(cond, scope, tables) || tables.size() != 1) return std::nullopt;
        const int t = *tables.begin();
        const ScopeTable& lookup = scope.tables[t];
        if (lookup.nullSupplying) return std::nullopt;
        for (const Expr* on : m_innerConds) {
            std::vector<const Expr*> parts;
            conjuncts(on, parts);
            for (const Expr* p : parts) {
                if (p->kind != Expr::Kind::Binary || p->text != u"=") continue;
                const Expr& a = *p->args[0];
                const Expr& b = *p->args[1];
                if (a.kind != Expr::Kind::Column || b.kind != Expr::Kind::Column) continue;
                Resolved ra = resolve(a, scope);
                Resolved rb = resolve(b, scope);
                if (ra.scope != &scope || rb.scope != &scope) continue;
                if (rb.table == t && ra.table != t) std::swap(ra, rb);
                if (ra.table != t || rb.table == t) continue;
                if (!lookup.table.info.isUnique(ra.column->name)) continue;
                if (scope.tables[rb.table].nullSupplying) continue;
                return QStringLiteral("(%1 IN (SELECT %2 FROM %3 WHERE %4))")
                    .arg(columnSql(rb), columnSql(ra), lookup.fromSql, expr(cond, scope));
            }
        }
        return std::nullopt;
    }

    Built buildSelect(const Select& s, Scope& scope, bool rewriteJoins) {
        Built b;
        if (s.topPercent) throw Error(QStringLiteral("TOP … PERCENT není podporováno."));
        int groups = 1;
        for (const auto& f : s.from) collectTables(*f, scope, false, 0, groups);

        // Select list, with the names the dialect gives the columns.
        QStringList items;
        int exprNo = 0;
        for (const auto& it : s.items) {
            if (it.star) {
                bool any = false;
                for (const auto& t : scope.tables) {
                    if (!it.starQualifier.isEmpty() && t.refName.compare(it.starQualifier, Qt::CaseInsensitive) != 0)
                        continue;
                    any = true;
                    for (const auto& c : t.table.info.columns) {
                        QString name = c.name;
                        if (b.names.contains(name, Qt::CaseInsensitive)) name = t.refName + u'.' + c.name;
                        items << quoteIdentifier(t.refName) + u'.' + quoteIdentifier(c.name) + QStringLiteral(" AS ") +
                                     quoteIdentifier(name);
                        b.names << name;
                        b.baseColumns << c.name;
                    }
                }
                if (!any) throw Error(QStringLiteral("Tabulka „%1“ není uvedena v klauzuli FROM.").arg(it.starQualifier));
                continue;
            }
            QString name = it.alias;
            if (name.isEmpty()) name = it.expr->kind == Expr::Kind::Column ? it.expr->text : QStringLiteral("Expr%1").arg(1000 + exprNo++);
            const QString value = expr(*it.expr, scope);
            items << value + QStringLiteral(" AS ") + quoteIdentifier(name);
            scope.aliasExpr.insert(name.toUpper(), value);
            b.names << name;
            b.baseColumns << (it.expr->kind == Expr::Kind::Column ? resolve(*it.expr, scope).column->name : QString());
        }

        std::vector<const Expr*> whereConds;
        QStringList fromParts;
        m_innerConds.clear();
        for (const auto& f : s.from) fromParts << fromSql(*f, scope, whereConds);
        std::vector<const Expr*> userConds;
        conjuncts(s.where.get(), userConds);

        QStringList where;
        for (const Expr* c : whereConds) where << expr(*c, scope);
        for (const Expr* c : userConds) {
            std::optional<QString> rewritten;
            if (rewriteJoins && scope.tables.size() > 1) rewritten = semiJoin(*c, scope);
            where << (rewritten ? *rewritten : expr(*c, scope));
        }

        b.head = QStringLiteral("SELECT ") + (s.distinct ? QStringLiteral("DISTINCT ") : QString()) + items.join(u", ");
        b.body = QStringLiteral(" FROM ") + fromParts.join(u", ");
        if (!where.isEmpty()) b.body += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
        if (!s.groupBy.empty()) {
            QStringList g;
            for (const auto& e : s.groupBy) g << expr(*e, scope);
            b.body += QStringLiteral(" GROUP BY ") + g.join(u", ");
        }
        if (s.having) b.body += QStringLiteral(" HAVING ") + expr(*s.having, scope);
        if (!s.orderBy.empty()) {
            QStringList o;
            for (const auto& oi : s.orderBy) {
                QString term = expr(*oi.expr, scope, ExprCtx{true});
                // Computed terms get the Czech order too; columns already carry it.
                if (oi.expr->kind != Expr::Kind::Column) term += QStringLiteral(" COLLATE \"CZ\"");
                o << term + (oi.descending ? QStringLiteral(" DESC") : QString());
            }
            b.body += QStringLiteral(" ORDER BY ") + o.join(u", ");
        }
        if (s.top) b.limit = QStringLiteral(" LIMIT %1").arg(*s.top);

        bool aggregate = !s.groupBy.empty() || s.having;
        for (const auto& it : s.items)
            if (it.expr && containsAggregate(*it.expr)) aggregate = true;
        b.updatable = !s.distinct && !aggregate && s.from.size() == 1 && s.from[0]->kind == FromItem::Kind::Table &&
                      scope.tables.size() == 1;
        if (b.updatable) {
            b.base = scope.tables[0];
            const QString rowid = quoteIdentifier(b.base.refName) + QStringLiteral(".rowid");
            b.keySql = QStringLiteral("SELECT ") + rowid + b.body + b.limit;
            b.rowSql = b.head + QStringLiteral(" FROM ") + b.base.fromSql + QStringLiteral(" WHERE ") + rowid + QStringLiteral(" = ?1");
        }
        return b;
    }

    QString subSelect(const Select& s, Scope& outer) {
        if (s.into) throw Error(QStringLiteral("Poddotaz nemůže obsahovat klauzuli INTO."));
        Scope inner;
        inner.parent = &outer;
        auto saved = m_innerConds;
        Built b = buildSelect(s, inner, true);
        m_innerConds = saved;
        return b.head + b.body + b.limit;
    }

    Translation topSelect(const Select& s) {
        Scope scope;
        Built b = buildSelect(s, scope, true);
        Translation t;
        t.kind = Translation::Kind::Select;
        const QString sql = b.head + b.body + b.limit;
        t.statements << sql;
        t.columnNames = b.names;
        t.countSql = QStringLiteral("SELECT count(*) FROM (%1)").arg(sql);
        t.offsetSql = b.head + b.body + QStringLiteral(" LIMIT 1 OFFSET ?1");
        t.updatable = b.updatable;
        if (b.updatable) {
            t.keySql = b.keySql;
            t.rowSql = b.rowSql;
            t.baseTable = b.base.fromSql.section(QStringLiteral(" AS "), 0, 0);
            t.base = b.base.table;
            t.baseColumns = b.baseColumns;
        }
        return t;
    }

    Translation selectInto(const Select& s) {
        Translation t;
        t.kind = Translation::Kind::TextExport;
        t.exportTarget = s.into->target;
        t.exportDatabase = s.into->database.value_or(QString());
        t.exportConnect = s.into->connect.value_or(QString());
        // Translate the rows part now, so that a wrong statement fails early.
        Scope scope;
        Built b = buildSelect(s, scope, true);
        t.statements << b.head + b.body + b.limit;
        t.columnNames = b.names;
        return t;
    }

    // ---- actions ----------------------------------------------------------
    QString orIgnore() const { return m_opt.ignoreRowErrors ? QStringLiteral(" OR IGNORE") : QString(); }

    QString valueFor(const ColumnInfo& c, const QString& v) const {
        if (c.type == ColumnType::Boolean) return QStringLiteral("jet_bool(%1)").arg(v);
        return v;
    }

    QString insert(const Insert& ins) {
        TableRef t = requireTable(ins.table);
        QList<const ColumnInfo*> cols;
        if (ins.columns.isEmpty()) {
            for (const auto& c : t.info.columns) cols << &c;
        } else {
            for (const auto& n : ins.columns) {
                const ColumnInfo* c = t.info.column(n);
                if (!c) throw Error(QStringLiteral("Neznámý název pole „%1“ v cílové tabulce „%2“.").arg(n, ins.table));
                cols << c;
            }
        }
        QStringList names;
        for (const auto* c : cols) names << quoteIdentifier(c->name);
        QString head = QStringLiteral("INSERT%1 INTO %2 (%3) ").arg(orIgnore(), qualifiedTable(t), names.join(u", "));
        if (ins.select) {
            Scope scope;
            Built b = buildSelect(*ins.select, scope, true);
            if (b.names.size() != cols.size())
                throw Error(QStringLiteral("Počet hodnot dotazu a počet cílových polí nejsou shodné."));
            return head + b.head + b.body + b.limit;
        }
        if (int(ins.values.size()) != cols.size())
            throw Error(QStringLiteral("Počet hodnot dotazu a počet cílových polí nejsou shodné."));
        Scope empty;
        QStringList vals;
        for (int i = 0; i < cols.size(); ++i) vals << valueFor(*cols[i], expr(*ins.values[i], empty));
        return head + QStringLiteral("VALUES (") + vals.join(u", ") + u')';
    }

    QString del(const Delete& d) {
        Scope scope;
        ScopeTable st;
        st.table = requireTable(d.table);
        st.refName = st.table.info.name;
        st.fromSql = qualifiedTable(st.table);
        scope.tables.push_back(st);
        QString sql = QStringLiteral("DELETE FROM ") + st.fromSql;
        if (d.where) sql += QStringLiteral(" WHERE ") + expr(*d.where, scope);
        return sql;
    }

    QString update(const Update& u) {
        Scope scope;
        ScopeTable st;
        st.table = requireTable(u.table);
        st.refName = st.table.info.name;
        st.fromSql = qualifiedTable(st.table);
        scope.tables.push_back(st);
        QStringList sets;
        for (const auto& [col, e] : u.assignments) {
            const ColumnInfo* c = st.table.info.column(col);
            if (!c) throw Error(QStringLiteral("Neznámý název pole „%1“.").arg(col));
            sets << quoteIdentifier(c->name) + QStringLiteral(" = ") + valueFor(*c, expr(*e, scope));
        }
        QString sql = QStringLiteral("UPDATE%1 %2 SET %3").arg(orIgnore(), st.fromSql, sets.join(u", "));
        if (u.where) sql += QStringLiteral(" WHERE ") + expr(*u.where, scope);
        return sql;
    }

    // ---- schema -----------------------------------------------------------
    QStringList createTable(const CreateTable& ct) {
        if (m_schema.findTable(ct.table, QString()))
            throw Error(QStringLiteral("Tabulka „%1“ již existuje.").arg(ct.table));
        QSet<QString> seen;
        for (const auto& c : ct.columns) {
            if (seen.contains(c.name.toUpper()))
                throw Error(QStringLiteral("Pole „%1“ je v definici tabulky uvedeno dvakrát.").arg(c.name));
            seen.insert(c.name.toUpper());
        }
        // A single Long (or counter) key becomes the table's row number: compact and fast.
        QString rowidKey;
        QStringList pk = ct.primaryKey;
        for (const auto& c : ct.columns)
            if (c.primaryKey) pk << c.name;
        if (pk.size() == 1) {
            for (const auto& c : ct.columns)
                if (c.name.compare(pk[0], Qt::CaseInsensitive) == 0 &&
                    (c.type == ColumnType::Long || c.type == ColumnType::Counter))
                    rowidKey = c.name;
        }
        QStringList defs;
        QStringList counters;
        for (const auto& c : ct.columns) {
            const QString q = quoteIdentifier(c.name);
            QString d;
            if (c.name == rowidKey) {
                d = q + QStringLiteral(" INTEGER PRIMARY KEY");
            } else {
                d = q + u' ' + declaredType(c.type, c.size);
                switch (c.type) {
                case ColumnType::Text:
                    d += QStringLiteral(" COLLATE \"CZ\" CONSTRAINT %1 CHECK (length(%2) <= %3)")
                             .arg(quoteIdentifier(QStringLiteral("len:%1:%2").arg(c.name).arg(c.size)), q)
                             .arg(c.size);
                    break;
                case ColumnType::Memo:
                    d += QStringLiteral(" COLLATE \"CZ\"");
                    break;
                case ColumnType::Boolean:
                    d += QStringLiteral(" DEFAULT 0");
                    [[fallthrough]];
                case ColumnType::Long:
                case ColumnType::Counter:
                    d += QStringLiteral(" CONSTRAINT %1 CHECK (typeof(%2) IN ('integer', 'null'))")
                             .arg(quoteIdentifier(QStringLiteral("type:%1").arg(c.name)), q);
                    break;
                default:
                    break;
                }
                if (c.type == ColumnType::Counter) counters << c.name;
            }
            if (c.notNull) d += QStringLiteral(" NOT NULL");
            if (c.unique) d += QStringLiteral(" UNIQUE");
            defs << d;
        }
        if (pk.size() > 1 || (pk.size() == 1 && rowidKey.isEmpty())) {
            QStringList q;
            for (const auto& n : pk) q << quoteIdentifier(n);
            defs << QStringLiteral("PRIMARY KEY (%1)").arg(q.join(u", "));
        }
        for (const auto& u : ct.uniques) {
            QStringList q;
            for (const auto& n : u) q << quoteIdentifier(n);
            defs << QStringLiteral("UNIQUE (%1)").arg(q.join(u", "));
        }
        QStringList out;
        out << QStringLiteral("CREATE TABLE %1 (%2)").arg(quoteIdentifier(ct.table), defs.join(u", "));
        for (const auto& c : counters) {
            // The counter fills the field when an insert leaves it empty; explicit
            // values are kept and move the counter past them.
            const QString tbl = quoteLiteral(ct.table), col = quoteLiteral(c);
            out << QStringLiteral("CREATE TABLE IF NOT EXISTS \"MSysCounters\" (tbl TEXT NOT NULL, col TEXT NOT NULL, "
                                  "next INTEGER NOT NULL, PRIMARY KEY (tbl, col))");
            out << QStringLiteral("INSERT OR REPLACE INTO \"MSysCounters\" (tbl, col, next) VALUES (%1, %2, 1)").arg(tbl, col);
            out << QStringLiteral("CREATE TRIGGER %1 AFTER INSERT ON %2 FOR EACH ROW BEGIN "
                                  "UPDATE %2 SET %3 = (SELECT next FROM \"MSysCounters\" WHERE tbl = %4 AND col = %5) "
                                  "WHERE rowid = NEW.rowid AND NEW.%3 IS NULL; "
                                  "UPDATE \"MSysCounters\" SET next = max(next + (NEW.%3 IS NULL), coalesce(NEW.%3, 0) + 1) "
                                  "WHERE tbl = %4 AND col = %5; END")
                       .arg(quoteIdentifier(QStringLiteral("counter:%1:%2").arg(ct.table, c)), quoteIdentifier(ct.table),
                            quoteIdentifier(c), tbl, col);
        }
        return out;
    }

    static QString indexName(const QString& table, const QString& name) {
        return quoteIdentifier(table + u'.' + name);
    }

    QString createIndex(const CreateIndex& ci) {
        TableRef t = requireTable(ci.table);
        QStringList cols;
        for (int i = 0; i < ci.columns.size(); ++i) {
            const ColumnInfo* c = t.info.column(ci.columns[i]);
            if (!c) throw Error(QStringLiteral("Pole „%1“ neexistuje.").arg(ci.columns[i]));
            cols << quoteIdentifier(c->name) + (ci.descending[i] ? QStringLiteral(" DESC") : QString());
        }
        return QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
            .arg(ci.unique ? QStringLiteral("UNIQUE ") : QString(), indexName(t.info.name, ci.name), qualifiedTable(t),
                 cols.join(u", "));
    }

    QStringList drop(const Drop& d) {
        if (d.index) {
            TableRef t = requireTable(d.table);
            return {QStringLiteral("DROP INDEX %1").arg(indexName(t.info.name, d.name))};
        }
        TableRef t = requireTable(d.name);
        QStringList out{QStringLiteral("DROP TABLE %1").arg(qualifiedTable(t))};
        if (m_schema.findTable(QStringLiteral("MSysCounters"), QString()))
            out << QStringLiteral("DELETE FROM \"MSysCounters\" WHERE tbl = %1").arg(quoteLiteral(t.info.name));
        return out;
    }

    SchemaInfo& m_schema;
    TranslateOptions m_opt;
    std::vector<const Expr*> m_innerConds;
};

} // namespace

Translation translate(const QString& jetSql, SchemaInfo& schema, const TranslateOptions& options) {
    ast::Statement st = parseStatement(jetSql);
    return Translator(schema, options).run(st);
}

} // namespace db
