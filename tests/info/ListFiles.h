#pragma once

// Writes reference list files with chosen rows into a DATA folder, as the
// program's data generator lays them out.

#include "Database.h"
#include "ReferenceLists.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QStringList>

namespace infotest {

using reference_lists::List;

// The list's table definition, its columns in the order rows give them.
inline QString definition(List list) {
    switch (list) {
    case List::FreephoneLines:
        return QStringLiteral("CREATE TABLE ZELINKY (spolecnost TEXT(100), telefon TEXT(20))");
    case List::PostalCodes:
        return QStringLiteral("CREATE TABLE PSC (kraj TEXT(50), obec TEXT(50), psc TEXT(6), posta TEXT(50))");
    case List::InternationalPrefixes:
        return QStringLiteral("CREATE TABLE MP (nazev TEXT(60), cislo TEXT(10))");
    case List::InternetAddresses:
        break;
    }
    return QStringLiteral("CREATE TABLE INET (firma TEXT(100), url TEXT(250))");
}

inline void writeList(const QString& dataFolder, List list, const QList<QStringList>& rows) {
    const reference_lists::Description& d = reference_lists::describe(list);
    QDir().mkpath(dataFolder);
    const QString path = QDir(dataFolder).filePath(d.file);
    QFile::remove(path);
    db::Engine engine;
    auto database = engine.defaultWorkspace().createDatabase(path, db::kCzechLocale);
    database->execute(definition(list), db::Database::FailOnError);
    database->beginTransaction();
    for (const QStringList& row : rows)
        database->execute(
            QStringLiteral("INSERT INTO %1 VALUES (\"%2\")").arg(d.table, row.join(QStringLiteral("\", \""))),
            db::Database::FailOnError);
    database->commit();
    database->close();
}

// Postal codes whose municipalities sort the Czech way: "č" after "c", "ch" after "h".
inline QList<QStringList> postalCodeRows() {
    auto row = [](const char* region, const char* town, const char* code, const char* office) {
        return QStringList{QString::fromUtf8(region), QString::fromUtf8(town), QString::fromUtf8(code),
                           QString::fromUtf8(office)};
    };
    return {row("Karlovarský", "Cheb", "350 02", "Cheb 2"),
            row("Středočeský", "Čáslav", "286 01", "Čáslav"),
            row("Liberecký", "Cvikov", "471 54", "Cvikov"),
            row("Jihomoravský", "Brno", "602 00", "Brno 2"),
            row("Moravskoslezský", "Bruntál", "792 01", "Bruntál"),
            row("Královéhradecký", "Hradec Králové", "500 02", "Hradec Králové 2"),
            row("Pardubický", "Chrudim", "537 01", "Chrudim"),
            row("Středočeský", "Benešov", "256 01", "Benešov u Prahy"),
            row("Zlínský", "Zlín", "760 01", "Zlín 1")};
}

inline QList<QStringList> internetRows() {
    return {{QStringLiteral("Alfa s.r.o."), QStringLiteral("http://www.alfa.cz")},
            {QStringLiteral("Beta a.s."), QStringLiteral("www.beta.cz")},
            {QString::fromUtf8("Čedok"), QStringLiteral("http://www.cedok.cz")}};
}

inline QList<QStringList> freephoneRows() {
    return {{QStringLiteral("Alfa s.r.o."), QStringLiteral("800123456")},
            {QStringLiteral("Beta a.s."), QStringLiteral("800765432")}};
}

// Countries named "Stát 0001" onwards with their prefixes.
inline QList<QStringList> prefixRows(int count) {
    QList<QStringList> rows;
    for (int i = 1; i <= count; ++i)
        rows.append({QString::fromUtf8("Stát %1").arg(i, 4, 10, QChar(u'0')), QString::number(i)});
    return rows;
}

// All four lists.
inline void writeLists(const QString& dataFolder, int prefixes = 3) {
    writeList(dataFolder, List::InternetAddresses, internetRows());
    writeList(dataFolder, List::FreephoneLines, freephoneRows());
    writeList(dataFolder, List::PostalCodes, postalCodeRows());
    writeList(dataFolder, List::InternationalPrefixes, prefixRows(prefixes));
}

} // namespace infotest
