#include "SqlNames.h"

#include "Error.h"
#include "SqlTranslator.h"

namespace db {

using namespace ast;

namespace {

// Names are compared without regard to letter case; such names have equal lengths.
bool sameName(const QString& a, const QString& b) {
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

TableRef SqlNames::requireTable(const QString& name, const std::optional<QString>& externalPath) {
    auto t = m_schema.findTable(name, externalPath.value_or(QString()));
    if (!t) {
        if (externalPath)
            throw Error(QStringLiteral("Tabulka „%1“ v databázi „%2“ neexistuje.").arg(name, *externalPath));
        throw Error(QStringLiteral("Tabulka nebo dotaz „%1“ neexistuje.").arg(name));
    }
    return *t;
}

QString SqlNames::qualifiedTable(const TableRef& t) {
    if (t.schema.isEmpty() || t.schema == u"main") return quoteIdentifier(t.info.name);
    return quoteIdentifier(t.schema) + u'.' + quoteIdentifier(t.info.name);
}

ScopeTable SqlNames::singleTable(const QString& name) {
    ScopeTable st;
    st.table = requireTable(name);
    st.refName = st.table.info.name;
    st.fromSql = qualifiedTable(st.table);
    return st;
}

void SqlNames::addTables(const FromItem& f, Scope& scope, bool nullSupplying) {
    if (f.kind == FromItem::Kind::Table) {
        ScopeTable st;
        st.table = requireTable(f.table, f.externalPath);
        st.refName = f.alias.isEmpty() ? f.table : f.alias;
        st.fromSql = qualifiedTable(st.table);
        if (!f.alias.isEmpty() || (st.table.schema != u"main" && !st.table.schema.isEmpty()))
            st.fromSql += QStringLiteral(" AS ") + quoteIdentifier(st.refName);
        st.nullSupplying = nullSupplying;
        for (const auto& other : scope.tables)
            if (sameName(other.refName, st.refName))
                throw Error(
                    QStringLiteral("Tabulka „%1“ je v klauzuli FROM uvedena dvakrát.").arg(st.refName));
        scope.tables.push_back(st);
        return;
    }
    addTables(*f.left, scope, nullSupplying || f.joinType == FromItem::JoinType::Right);
    addTables(*f.right, scope, nullSupplying || f.joinType == FromItem::JoinType::Left);
}

int SqlNames::tableIndex(const FromItem& leaf, const Scope& scope) {
    const QString ref = leaf.alias.isEmpty() ? leaf.table : leaf.alias;
    for (int i = 0; i < int(scope.tables.size()); ++i)
        if (sameName(scope.tables[i].refName, ref)) return i;
    throw Error(QStringLiteral("Vnitřní chyba překladu klauzule FROM."));
}

Resolved SqlNames::resolve(const Expr& col, const Scope& scope) {
    for (const Scope* s = &scope; s; s = s->parent) {
        if (!col.qualifier.isEmpty()) {
            for (int i = 0; i < int(s->tables.size()); ++i) {
                const auto& st = s->tables[i];
                if (!sameName(st.refName, col.qualifier)) continue;
                const ColumnInfo* c = st.table.info.column(col.text);
                if (!c) throw Error(QStringLiteral("Pole „%1.%2“ neexistuje.").arg(col.qualifier, col.text));
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

QString SqlNames::columnSql(const Resolved& r) {
    return quoteIdentifier(r.scope->tables[r.table].refName) + u'.' + quoteIdentifier(r.column->name);
}

bool SqlNames::referencedTables(const Expr& e, const Scope& scope, QSet<int>& tables) {
    if (e.kind == Expr::Kind::Column) {
        try {
            const Resolved r = resolve(e, scope);
            if (r.scope != &scope) return false;
            tables.insert(r.table);
            return true;
        } catch (const Error&) {
            return false;
        }
    }
    if (e.subquery && !isSelfContained(*e.subquery)) return false;
    for (const auto& a : e.args)
        if (a && !referencedTables(*a, scope, tables)) return false;
    return true;
}

bool SqlNames::isSelfContained(const Select& s) {
    if (auto it = m_selfContained.constFind(&s); it != m_selfContained.cend()) return *it;
    const bool result = resolvesWithin(s, nullptr);
    m_selfContained.insert(&s, result);
    return result;
}

bool SqlNames::resolvesWithin(const Select& s, const Scope* parent) {
    Scope scope;
    scope.parent = parent;
    try {
        for (const auto& f : s.from)
            addTables(*f, scope);
    } catch (const Error&) {
        return false;
    }
    auto within = [&](const Expr* e) { return !e || resolvesWithin(*e, scope); };
    QSet<QString> aliases;
    for (const auto& it : s.items) {
        if (!within(it.expr.get())) return false;
        if (!it.alias.isEmpty()) aliases.insert(it.alias.toUpper());
    }
    std::vector<const FromItem*> joins;
    for (const auto& f : s.from)
        joins.push_back(f.get());
    while (!joins.empty()) {
        const FromItem* f = joins.back();
        joins.pop_back();
        if (f->kind != FromItem::Kind::Join) continue;
        if (!within(f->on.get())) return false;
        joins.push_back(f->left.get());
        joins.push_back(f->right.get());
    }
    if (!within(s.where.get()) || !within(s.having.get())) return false;
    for (const auto& g : s.groupBy)
        if (!within(g.get())) return false;
    for (const auto& o : s.orderBy) {
        // ORDER BY may name a column of the select list by its alias.
        const Expr& e = *o.expr;
        if (e.kind == Expr::Kind::Column && e.qualifier.isEmpty() && aliases.contains(e.text.toUpper()))
            continue;
        if (!within(&e)) return false;
    }
    return true;
}

bool SqlNames::resolvesWithin(const Expr& e, const Scope& scope) {
    if (e.kind == Expr::Kind::Column) {
        try {
            resolve(e, scope);
            return true;
        } catch (const Error&) {
            return false;
        }
    }
    // A subquery that needs nothing from outside is analysed once, on its own.
    if (e.subquery && !isSelfContained(*e.subquery) && !resolvesWithin(*e.subquery, &scope)) return false;
    for (const auto& a : e.args)
        if (a && !resolvesWithin(*a, scope)) return false;
    return true;
}

} // namespace db
