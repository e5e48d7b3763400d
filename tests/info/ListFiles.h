#pragma once

// Reference list files with chosen rows, laid out as the data generator writes them.

#include "Database.h"
#include "ReferenceListQuery.h"

#include <QDir>
#include <QFile>

namespace info_test {

using reference_lists::List;

inline void writeList(const QString& dataFolder, List list, const QList<QStringList>& rows) {
    static const char* const tables[4] = {"INET (firma TEXT(100), url TEXT(250))",
                                          "ZELINKY (spolecnost TEXT(100), telefon TEXT(20))",
                                          "PSC (kraj TEXT(50), obec TEXT(50), psc TEXT(6), posta TEXT(50))",
                                          "MP (nazev TEXT(60), cislo TEXT(10))"};
    const reference_lists::Description& d = reference_lists::describe(list);
    QDir().mkpath(dataFolder);
    const QString path = QDir(dataFolder).filePath(d.file);
    QFile::remove(path);
    db::Engine engine;
    db::OpenOptions o;
    o.disposable = true; // nothing to flush to disk
    auto database = engine.defaultWorkspace().createDatabase(path, db::kCzechLocale, o);
    database->execute(QStringLiteral("CREATE TABLE ") + QString::fromUtf8(tables[int(list)]),
                      db::Database::FailOnError);
    database->beginTransaction();
    for (const QStringList& row : rows)
        database->execute(
            QStringLiteral("INSERT INTO %1 VALUES (\"%2\")").arg(d.table, row.join(QStringLiteral("\", \""))),
            db::Database::FailOnError);
    database->commit();
}

inline ReferenceListQuery::Opener readOnlyOpener() {
    return [](const QString& path) {
        static db::Engine engine;
        db::OpenOptions o;
        o.readOnly = true;
        return engine.defaultWorkspace().openDatabase(path, o);
    };
}

// Region, municipality, postal code, post office; the municipalities sort
// the Czech way: "č" after "c", "ch" after "h".
inline QList<QStringList> postalCodeRows() {
    QList<QStringList> rows;
    for (const char* row : {"Karlovarský|Cheb|350 02|Cheb 2", "Středočeský|Čáslav|286 01|Čáslav",
                            "Liberecký|Cvikov|471 54|Cvikov", "Jihomoravský|Brno|602 00|Brno 2",
                            "Moravskoslezský|Bruntál|792 01|Bruntál",
                            "Královéhradecký|Hradec Králové|500 02|HK 2", "Pardubický|Chrudim|537 01|Chrudim",
                            "Středočeský|Benešov|256 01|Benešov u Prahy", "Zlínský|Zlín|760 01|Zlín 1"})
        rows << QString::fromUtf8(row).split(u'|');
    return rows;
}

// All four lists; each list of firms holds "Alfa s.r.o." and "Beta a.s.".
inline void writeLists(const QString& dataFolder) {
    writeList(
        dataFolder, List::InternetAddresses,
        {{"Alfa s.r.o.", "http://www.alfa.cz"}, {"Beta a.s.", "www.beta.cz"}, {"Čedok", "http://cedok.cz"}});
    writeList(dataFolder, List::FreephoneLines, {{"Alfa s.r.o.", "800123456"}, {"Beta a.s.", "800765432"}});
    writeList(dataFolder, List::PostalCodes, postalCodeRows());
    writeList(dataFolder, List::InternationalPrefixes,
              {{"Rakousko", "43"}, {"Německo", "49"}, {"Polsko", "48"}});
}

} // namespace info_test
