#pragma once

// A personal database of the earlier Windows installation: a Jet 3 file with
// the table Vlastni, written by the generator's Jet writer. Shared by the
// tests of the import of such a file.

#include "JetWriter.h"

#include <QHash>
#include <QString>
#include <QVariantList>

#include <vector>

namespace old_database_test {

// The columns of the old table as that installation created them: the
// personal table's, spelt with a letter case of their own here and there.
inline std::vector<jet::Column> oldColumns() {
    using jet::Type;
    std::vector<jet::Column> out{
        {QStringLiteral("ID"), Type::Long},          {QStringLiteral("ID2"), Type::Long},
        {QStringLiteral("Zn"), Type::YesNo},         {QStringLiteral("Titul_1"), Type::Text, 30},
        {QStringLiteral("Jmeno_1"), Type::Text, 30}, {QStringLiteral("PRIJMENI"), Type::Text, 50},
        {QStringLiteral("Firma"), Type::Text, 100},  {QStringLiteral("Funkce"), Type::Text, 100},
        {QStringLiteral("ICO"), Type::Text, 30},     {QStringLiteral("DIC"), Type::Text, 30}};
    for (const char* group : {"domu", "zam", "jine"}) {
        const QString g = QString::fromLatin1(group);
        out.push_back({g + QStringLiteral("_Ulice"), Type::Text, 250});
        out.push_back({g + QStringLiteral("_CP"), Type::Text, 50});
        out.push_back({g + QStringLiteral("_Obec"), Type::Text, 50});
        out.push_back({g + QStringLiteral("_Cast"), Type::Text, 50});
        out.push_back({g + QStringLiteral("_PSC"), Type::Text, 6});
        out.push_back({g + QStringLiteral("_Stat"), Type::Text, 50});
    }
    out.push_back({QStringLiteral("Internet"), Type::Text, 250});
    for (int n = 1; n <= 3; ++n)
        out.push_back({QStringLiteral("e-mail_") + QString::number(n), Type::Text, 250});
    for (int n = 1; n <= 6; ++n)
        out.push_back({QStringLiteral("tel_") + QString::number(n), Type::Text, 50});
    out.push_back({QStringLiteral("Info"), Type::Memo});
    out.push_back({QStringLiteral("zobraz_adr"), Type::Text, 6});
    return out;
}

// The old columns with some replaced (by name, letter case ignored) and some added.
inline std::vector<jet::Column> oldColumns(const std::vector<jet::Column>& changed) {
    std::vector<jet::Column> out = oldColumns();
    for (const jet::Column& c : changed) {
        bool replaced = false;
        for (jet::Column& o : out)
            if (o.name.compare(c.name, Qt::CaseInsensitive) == 0) {
                o = c;
                replaced = true;
            }
        if (!replaced) out.push_back(c);
    }
    return out;
}

// A row of the columns: the values given by column name (letter case
// ignored), Null elsewhere.
inline QVariantList oldRow(const std::vector<jet::Column>& columns, const QHash<QString, QVariant>& values) {
    QVariantList row;
    for (const jet::Column& c : columns) {
        QVariant v;
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            if (it.key().compare(c.name, Qt::CaseInsensitive) == 0) v = it.value();
        row << v;
    }
    return row;
}

// Writes the file with one table of those columns and rows.
inline void writeOldDatabase(const QString& path, const QString& table,
                             const std::vector<jet::Column>& columns, const QList<QVariantList>& rows) {
    jet::Writer w(path);
    const int t = w.addTable(table, columns);
    for (const QVariantList& r : rows)
        w.addRow(t, r);
    w.finish();
}

} // namespace old_database_test
