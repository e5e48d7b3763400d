#include "SqlTranslator.h"

#include "Error.h"
#include "SqlDdl.h"
#include "SqlExpressions.h"
#include "SqlFromPlanner.h"
#include "SqlNames.h"
#include "SqlParser.h"

#include <QHash>
#include <QRegularExpression>

namespace db {

QString quoteIdentifier(const QString& name) {
    QString s = name;
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

QString quoteLiteral(const QString& text) {
    auto quoted = [](QString s) {
        s.replace(u'\'', QStringLiteral("''"));
        return u'\'' + s + u'\'';
    };
    if (!text.contains(QChar(0))) return quoted(text);
    // A NUL in the SQL text would end the statement there: it goes in as char(0).
    const QStringList pieces = text.split(QChar(0));
    QStringList parts;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (!pieces[i].isEmpty()) parts << quoted(pieces[i]);
        if (i + 1 < pieces.size()) parts << QStringLiteral("char(0)");
    }
    return u'(' + parts.join(QStringLiteral(" || ")) + u')';
}

namespace {

using namespace ast;

// The statement level: SELECT (select-list names, ORDER BY, what makes a
// result updatable), INSERT, UPDATE, DELETE; schema statements go to SqlDdl.
class SqlTranslator final : public SubqueryBuilder {
  public:
    SqlTranslator(SchemaInfo& schema, const TranslateOptions& options)
        : m_names(schema), m_expressions(*this), m_planner(m_names, m_expressions), m_ddl(m_names),
          m_options(options) {}

    Translation run(const Statement& st) {
        Translation t;
        switch (st.kind) {
        case Statement::Kind::Select:
            if (st.select->into) return selectInto(*st.select);
            return topSelect(*st.select);
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
            t.statements = m_ddl.createTable(*st.createTable);
            break;
        case Statement::Kind::CreateIndex:
            t.kind = Translation::Kind::Schema;
            t.statements << m_ddl.createIndex(*st.createIndex);
            break;
        case Statement::Kind::Drop:
            t.kind = Translation::Kind::Schema;
            t.statements = m_ddl.drop(*st.drop);
            break;
        }
        return t;
    }

    Emitted buildSubquery(const Select& s, const Scope& outer) override {
        if (s.into) throw Error(QStringLiteral("Poddotaz nemůže obsahovat klauzuli INTO."));
        Scope inner;
        inner.parent = &outer;
        const Built b = buildSelect(s, inner);
        Emitted e;
        e.sql = b.head + b.body + b.limit;
        e.type = b.firstType;
        return e;
    }

  private:
    struct Built {
        QString head;  // SELECT [DISTINCT] items
        QString body;  // FROM … WHERE … GROUP BY … ORDER BY …
        QString limit; // LIMIT n or empty
        QStringList names;
        QList<ColumnType> types;
        SqlType firstType = SqlType::Unknown;
        bool updatable = false;
        QString keySql, rowSql;
        ScopeTable base;
        QStringList baseColumns;
    };

    // The result columns of a select, as ORDER BY can name them.
    struct Items {
        std::vector<Emitted> values;     // per result column
        QHash<QString, Emitted> aliases; // by upper-case name
    };

    // How the select's rows are used: read by a dataset or the text driver,
    // which take amounts as counts of ten-thousandths, as the column keeps them;
    // or as values inside a statement (a subquery, the rows of INSERT … SELECT,
    // each item then turned into the stored form of its target column).
    enum class Output { Stored, Values };

    Built buildSelect(const Select& s, Scope& scope, Output output = Output::Values,
                      const QList<const ColumnInfo*>& targets = {}) {
        Built b;
        auto itemSql = [&](const Emitted& v) {
            if (output == Output::Stored) return resultSql(v);
            const ColumnInfo* target = targets.value(qsizetype(b.types.size()));
            // Yes/No targets take the values as they come, as they always have.
            if (target && target->type != ColumnType::Boolean) return valueFor(*target, v);
            return v.sql;
        };
        if (s.topPercent) throw Error(QStringLiteral("TOP … PERCENT není podporováno."));
        for (const auto& f : s.from)
            m_names.addTables(*f, scope);

        // Select list, with the names the dialect gives the columns.
        QStringList items;
        Items result;
        int exprNo = 0;
        for (const auto& it : s.items) {
            if (it.star) {
                bool any = false;
                for (const auto& t : scope.tables) {
                    if (!it.starQualifier.isEmpty() &&
                        t.refName.compare(it.starQualifier, Qt::CaseInsensitive) != 0)
                        continue;
                    any = true;
                    for (const auto& c : t.table.info.columns) {
                        QString name = c.name;
                        if (b.names.contains(name, Qt::CaseInsensitive)) name = t.refName + u'.' + c.name;
                        Emitted column;
                        column.sql = quoteIdentifier(t.refName) + u'.' + quoteIdentifier(c.name);
                        column.type = SqlExpressions::typeOf(c.type);
                        column.plainColumn = true;
                        if (c.type == ColumnType::Currency) {
                            column.raw = column.sql;
                            column.sql += QStringLiteral(" / 10000.0");
                            column.precedence = kMultiplicative;
                            column.plainColumn = false;
                        }
                        items << itemSql(column) + QStringLiteral(" AS ") + quoteIdentifier(name);
                        result.values.push_back(column);
                        b.names << name;
                        b.types << c.type;
                        b.baseColumns << c.name;
                    }
                }
                if (!any)
                    throw Error(
                        QStringLiteral("Tabulka „%1“ není uvedena v klauzuli FROM.").arg(it.starQualifier));
                continue;
            }
            QString name = it.alias;
            if (name.isEmpty())
                name = it.expr->kind == Expr::Kind::Column ? it.expr->text
                                                           : QStringLiteral("Expr%1").arg(1000 + exprNo++);
            // A text result carries the Czech order, for DISTINCT and for ORDER BY by number.
            const Emitted value = SqlExpressions::withCzechOrder(m_expressions.value(*it.expr, scope));
            items << itemSql(value) + QStringLiteral(" AS ") + quoteIdentifier(name);
            b.types << resultType(*it.expr, value, scope);
            result.values.push_back(value);
            result.aliases.insert(name.toUpper(), value);
            b.names << name;
            b.baseColumns << (it.expr->kind == Expr::Kind::Column
                                  ? SqlNames::resolve(*it.expr, scope).column->name
                                  : QString());
        }
        if (!result.values.empty()) b.firstType = result.values.front().type;

        const FromPlan plan = m_planner.plan(s, scope);
        b.head = QStringLiteral("SELECT ") + (s.distinct ? QStringLiteral("DISTINCT ") : QString()) +
                 items.join(QStringLiteral(", "));
        b.body = QStringLiteral(" FROM ") + plan.from;
        if (!plan.where.isEmpty())
            b.body += QStringLiteral(" WHERE ") + SqlExpressions::chain(plan.where, QStringLiteral(" AND "));
        if (!s.groupBy.empty()) {
            QStringList g;
            for (const auto& e : s.groupBy)
                g << SqlExpressions::withCzechOrder(m_expressions.value(*e, scope)).sql;
            b.body += QStringLiteral(" GROUP BY ") + g.join(QStringLiteral(", "));
        }
        if (s.having) b.body += QStringLiteral(" HAVING ") + m_expressions.condition(*s.having, scope).sql;
        QStringList order;
        for (const auto& oi : s.orderBy) {
            const std::optional<Emitted> term = orderTerm(*oi.expr, scope, result);
            if (term) order << term->sql + (oi.descending ? QStringLiteral(" DESC") : QString());
        }
        if (!order.isEmpty()) b.body += QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", "));
        if (s.top) b.limit = QStringLiteral(" LIMIT ") + QString::number(*s.top);

        bool aggregate = !s.groupBy.empty() || s.having;
        for (const auto& it : s.items)
            if (it.expr && containsAggregate(*it.expr)) aggregate = true;
        b.updatable = !s.distinct && !aggregate && s.from.size() == 1 &&
                      s.from[0]->kind == FromItem::Kind::Table && scope.tables.size() == 1;
        if (b.updatable) {
            b.base = scope.tables[0];
            const QString rowid = quoteIdentifier(b.base.refName) + QStringLiteral(".rowid");
            b.keySql = QStringLiteral("SELECT ") + rowid + b.body + b.limit;
            b.rowSql = b.head + QStringLiteral(" FROM ") + b.base.fromSql + QStringLiteral(" WHERE ") +
                       rowid + QStringLiteral(" = ?1");
        }
        return b;
    }

    // A result column of amounts holds their counts of ten-thousandths, as a
    // Currency column keeps them.
    static QString resultSql(const Emitted& value) {
        if (value.type != SqlType::Currency) return value.sql;
        if (!value.raw.isEmpty()) return value.raw;
        return QStringLiteral("jet_tocurrency(") + value.sql + u')';
    }

    static ColumnType resultType(const Expr& e, const Emitted& value, const Scope& scope) {
        if (e.kind == Expr::Kind::Column) return SqlNames::resolve(e, scope).column->type;
        if (value.type == SqlType::Currency) return ColumnType::Currency;
        if (value.type == SqlType::Date) return ColumnType::DateTime;
        return ColumnType::Other;
    }

    // One ORDER BY term: a column number or an alias of the select list stands
    // for that column's expression (so that the term also works in the key
    // statement, which selects only row ids); text sorts in the Czech order.
    // Sorting by a constant does nothing: it is left out, lest SQLite read a
    // number as a column position.
    std::optional<Emitted> orderTerm(const Expr& e, const Scope& scope, const Items& result) {
        Emitted term;
        if (e.kind == Expr::Kind::Integer) {
            if (e.integer < 1 || e.integer > qint64(result.values.size()))
                throw Error(
                    QStringLiteral(
                        "Číslo sloupce %1 v klauzuli ORDER BY neodpovídá žádnému sloupci výběru (1 až %2).")
                        .arg(QString::number(e.integer), QString::number(result.values.size())));
            term = result.values[size_t(e.integer - 1)];
        } else if (e.kind == Expr::Kind::Column && e.qualifier.isEmpty() &&
                   result.aliases.contains(e.text.toUpper()) && !namesTableColumn(e.text, scope)) {
            term = result.aliases.value(e.text.toUpper());
        } else {
            term = SqlExpressions::withCzechOrder(m_expressions.value(e, scope));
        }
        static const QRegularExpression constant(QStringLiteral(R"(^\(?-?\s*\d+\)?$)"));
        if (constant.match(term.sql).hasMatch()) return std::nullopt;
        return term;
    }

    static bool namesTableColumn(const QString& name, const Scope& scope) {
        for (const auto& t : scope.tables)
            if (t.table.info.column(name)) return true;
        return false;
    }

    Translation topSelect(const Select& s) {
        Scope scope;
        const Built b = buildSelect(s, scope, Output::Stored);
        Translation t;
        t.kind = Translation::Kind::Select;
        const QString sql = b.head + b.body + b.limit;
        t.statements << sql;
        t.columnNames = b.names;
        t.columnTypes = b.types;
        t.countSql = QStringLiteral("SELECT count(*) FROM (") + sql + u')';
        t.offsetSql = b.head + b.body + QStringLiteral(" LIMIT 1 OFFSET ?1");
        t.updatable = b.updatable;
        if (b.updatable) {
            t.keySql = b.keySql;
            t.rowSql = b.rowSql;
            t.baseTable = SqlNames::qualifiedTable(b.base.table);
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
        const Built b = buildSelect(s, scope, Output::Stored);
        t.statements << b.head + b.body + b.limit;
        t.columnNames = b.names;
        t.columnTypes = b.types;
        return t;
    }

    QString orIgnore() const { return m_options.ignoreRowErrors ? QStringLiteral(" OR IGNORE") : QString(); }

    // The value as a column stores it: a Yes/No column takes -1 or 0, a
    // Currency column a count of ten-thousandths, a Date/Time column a day count.
    static QString valueFor(const ColumnInfo& c, const Emitted& v) {
        if (const char* store = describe(c.type).store)
            return QString::fromLatin1(store) + u'(' + v.sql + u')';
        // A text column takes a date as the text it shows.
        if (v.type == SqlType::Date && describe(c.type).value == ValueClass::Text)
            return QStringLiteral("jet_datetext(") + v.sql + u')';
        return v.sql;
    }

    QString insert(const Insert& ins) {
        const TableRef t = m_names.requireTable(ins.table);
        QList<const ColumnInfo*> cols;
        if (ins.columns.isEmpty()) {
            for (const auto& c : t.info.columns)
                cols << &c;
        } else {
            for (const auto& n : ins.columns) {
                const ColumnInfo* c = t.info.column(n);
                if (!c)
                    throw Error(
                        QStringLiteral("Neznámý název pole „%1“ v cílové tabulce „%2“.").arg(n, ins.table));
                cols << c;
            }
        }
        QStringList names;
        for (const auto* c : cols)
            names << quoteIdentifier(c->name);
        const QString head = QStringLiteral("INSERT") + orIgnore() + QStringLiteral(" INTO ") +
                             SqlNames::qualifiedTable(t) + QStringLiteral(" (") +
                             names.join(QStringLiteral(", ")) + QStringLiteral(") ");
        if (ins.select) {
            Scope scope;
            const Built b = buildSelect(*ins.select, scope, Output::Values, cols);
            if (b.names.size() != cols.size())
                throw Error(QStringLiteral("Počet hodnot dotazu a počet cílových polí nejsou shodné."));
            return head + b.head + b.body + b.limit;
        }
        if (qsizetype(ins.values.size()) != cols.size())
            throw Error(QStringLiteral("Počet hodnot dotazu a počet cílových polí nejsou shodné."));
        const Scope empty;
        QStringList vals;
        for (qsizetype i = 0; i < cols.size(); ++i)
            vals << valueFor(*cols[i], m_expressions.value(*ins.values[size_t(i)], empty));
        return head + QStringLiteral("VALUES (") + vals.join(QStringLiteral(", ")) + u')';
    }

    QString del(const Delete& d) {
        Scope scope;
        scope.tables.push_back(m_names.singleTable(d.table));
        QString sql = QStringLiteral("DELETE FROM ") + scope.tables[0].fromSql;
        if (d.where) sql += QStringLiteral(" WHERE ") + m_expressions.condition(*d.where, scope).sql;
        return sql;
    }

    QString update(const Update& u) {
        Scope scope;
        scope.tables.push_back(m_names.singleTable(u.table));
        const ScopeTable& st = scope.tables[0];
        QStringList sets;
        for (const auto& [col, e] : u.assignments) {
            const ColumnInfo* c = st.table.info.column(col);
            if (!c) throw Error(QStringLiteral("Neznámý název pole „%1“.").arg(col));
            sets << quoteIdentifier(c->name) + QStringLiteral(" = ") +
                        valueFor(*c, m_expressions.value(*e, scope));
        }
        QString sql = QStringLiteral("UPDATE") + orIgnore() + u' ' + st.fromSql + QStringLiteral(" SET ") +
                      sets.join(QStringLiteral(", "));
        if (u.where) sql += QStringLiteral(" WHERE ") + m_expressions.condition(*u.where, scope).sql;
        return sql;
    }

    SqlNames m_names;
    SqlExpressions m_expressions;
    SqlFromPlanner m_planner;
    SqlDdl m_ddl;
    TranslateOptions m_options;
};

} // namespace

Translation translate(const QString& jetSql, SchemaInfo& schema, const TranslateOptions& options) {
    const ast::Statement st = parseStatement(jetSql);
    return SqlTranslator(schema, options).run(st);
}

} // namespace db
