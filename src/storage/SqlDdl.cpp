#include "SqlDdl.h"

#include "Error.h"
#include "SqlTranslator.h"

#include <QSet>

namespace db {

using namespace ast;

namespace {

QString check(const QString& name, const QString& condition) {
    return QStringLiteral(" CONSTRAINT ") + quoteIdentifier(name) + QStringLiteral(" CHECK (") + condition +
           u')';
}

QString quotedList(const QStringList& names) {
    QStringList q;
    for (const auto& n : names)
        q << quoteIdentifier(n);
    return q.join(QStringLiteral(", "));
}

} // namespace

QString SqlDdl::columnDefinition(const ColumnDef& c, bool rowidKey) {
    const QString q = quoteIdentifier(c.name);
    const TypeDescription& type = describe(c.type);
    const QString size = QString::number(c.size);
    auto checks = [&](const TypeDescription& t) {
        QString out;
        for (const ColumnCheck& k : t.checks) {
            QString name = QString::fromLatin1(k.kind) + u':' + c.name;
            if (t.maxSize > 0) name += u':' + size;
            QString condition = QString::fromLatin1(k.condition);
            condition.replace(QStringLiteral("%2"), size);
            out += check(name, condition.replace(QStringLiteral("%1"), q));
        }
        return out;
    };
    // A Long key is the table's row number, whole by nature: only its range is checked.
    if (rowidKey) {
        const ColumnCheck& range = describe(ColumnType::Long).checks.back();
        return q + QStringLiteral(" INTEGER PRIMARY KEY") +
               check(QString::fromLatin1(range.kind) + u':' + c.name,
                     QString::fromLatin1(range.condition).replace(QStringLiteral("%1"), q));
    }
    QString d = q + u' ' + declaredType(c.type, c.size);
    if (type.extra) d += QString::fromLatin1(type.extra);
    return d + checks(type);
}

QStringList SqlDdl::createTable(const CreateTable& ct) {
    if (m_names.schema().findTable(ct.table, QString()))
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
        QString d = columnDefinition(c, c.name == rowidKey);
        if (c.type == ColumnType::Counter && c.name != rowidKey) counters << c.name;
        if (c.notNull) d += QStringLiteral(" NOT NULL");
        if (c.unique) d += QStringLiteral(" UNIQUE");
        defs << d;
    }
    if (pk.size() > 1 || (pk.size() == 1 && rowidKey.isEmpty()))
        defs << QStringLiteral("PRIMARY KEY (") + quotedList(pk) + u')';
    for (const auto& u : ct.uniques)
        defs << QStringLiteral("UNIQUE (") + quotedList(u) + u')';
    QStringList out;
    out << QStringLiteral("CREATE TABLE ") + quoteIdentifier(ct.table) + QStringLiteral(" (") +
               defs.join(QStringLiteral(", ")) + u')';
    for (const auto& c : counters) {
        // The counter fills the field when an insert leaves it empty; explicit
        // values are kept and move the counter past them.
        const QString tbl = quoteLiteral(ct.table), col = quoteLiteral(c);
        out << QStringLiteral(
            "CREATE TABLE IF NOT EXISTS \"MSysCounters\" (tbl TEXT NOT NULL, col TEXT NOT NULL, "
            "next INTEGER NOT NULL, PRIMARY KEY (tbl, col))");
        out << QStringLiteral("INSERT OR REPLACE INTO \"MSysCounters\" (tbl, col, next) VALUES (%1, %2, 1)")
                   .arg(tbl, col);
        out << QStringLiteral(
                   "CREATE TRIGGER %1 AFTER INSERT ON %2 FOR EACH ROW BEGIN "
                   "UPDATE %2 SET %3 = (SELECT next FROM \"MSysCounters\" WHERE tbl = %4 AND col = %5) "
                   "WHERE rowid = NEW.rowid AND NEW.%3 IS NULL; "
                   "UPDATE \"MSysCounters\" SET next = max(next + (NEW.%3 IS NULL), coalesce(NEW.%3, 0) + 1) "
                   "WHERE tbl = %4 AND col = %5; END")
                   .arg(quoteIdentifier(QStringLiteral("counter:") + ct.table + u':' + c),
                        quoteIdentifier(ct.table), quoteIdentifier(c), tbl, col);
    }
    return out;
}

QString SqlDdl::indexName(const QString& table, const QString& name) {
    return quoteIdentifier(table + u'.' + name);
}

QString SqlDdl::createIndex(const CreateIndex& ci) {
    const TableRef t = m_names.requireTable(ci.table);
    QStringList cols;
    for (int i = 0; i < ci.columns.size(); ++i) {
        const ColumnInfo* c = t.info.column(ci.columns[i]);
        if (!c) throw Error(QStringLiteral("Pole „%1“ neexistuje.").arg(ci.columns[i]));
        cols << quoteIdentifier(c->name) + (ci.descending[i] ? QStringLiteral(" DESC") : QString());
    }
    return QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
        .arg(ci.unique ? QStringLiteral("UNIQUE ") : QString(), indexName(t.info.name, ci.name),
             SqlNames::qualifiedTable(t), cols.join(QStringLiteral(", ")));
}

QStringList SqlDdl::drop(const Drop& d) {
    if (d.index) {
        const TableRef t = m_names.requireTable(d.table);
        return {QStringLiteral("DROP INDEX ") + indexName(t.info.name, d.name)};
    }
    const TableRef t = m_names.requireTable(d.name);
    QStringList out{QStringLiteral("DROP TABLE ") + SqlNames::qualifiedTable(t)};
    if (m_names.schema().findTable(QStringLiteral("MSysCounters"), QString()))
        out << QStringLiteral("DELETE FROM \"MSysCounters\" WHERE tbl = ") + quoteLiteral(t.info.name);
    return out;
}

} // namespace db
