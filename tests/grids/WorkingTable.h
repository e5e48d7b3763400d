#pragma once

// A small working table in a database of its own, shaped like the program's:
// a counter, the Boolean mark and a few texts, with an updatable dataset over
// it ordered by the counter.

#include "DataGrid.h"
#include "Database.h"
#include "Dataset.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

struct WorkingTable {
    QTemporaryDir dir;
    db::Engine engine;
    std::unique_ptr<db::Database> database;
    db::Dataset dataset;

    // One row for each name; the names marked with a leading '+' get the mark.
    explicit WorkingTable(const QStringList& names = {}) {
        db::OpenOptions options;
        options.disposable = true;
        database = engine.defaultWorkspace().createDatabase(dir.filePath(QStringLiteral("w.mdb")),
                                                            db::kCzechLocale, options);
        database->execute(QStringLiteral("CREATE TABLE W (ID2 COUNTER, Zn BIT, Jmeno TEXT(30), "
                                         "Prijmeni TEXT(12), tel TEXT(20))"),
                          db::Database::FailOnError);
        for (const QString& name : names) {
            const bool marked = name.startsWith(u'+');
            database->execute(QStringLiteral("INSERT INTO W (Zn, Jmeno) VALUES (%1, '%2')")
                                  .arg(marked ? -1 : 0)
                                  .arg(marked ? name.mid(1) : name),
                              db::Database::FailOnError);
        }
        dataset.setDatabase(database.get());
        dataset.setSql(QStringLiteral("SELECT * FROM W ORDER BY ID2"));
    }

    void append(const QString& name, bool marked = false) {
        dataset.append();
        dataset.setValue(QStringLiteral("Jmeno"), name);
        dataset.setValue(QStringLiteral("Zn"), marked);
        dataset.post();
    }
};

inline const QList<DataGrid::Column> kWorkingColumns{
    {QStringLiteral("Zn"), QStringLiteral("+/-"), 30, Qt::AlignHCenter},
    {QStringLiteral("ID2"), QStringLiteral("č."), 32, Qt::AlignHCenter},
    {QStringLiteral("Jmeno"), QStringLiteral("Jméno"), 85, Qt::AlignLeft},
    {QStringLiteral("Prijmeni"), QStringLiteral("Příjmení"), 101, Qt::AlignLeft},
    {QStringLiteral("tel"), QStringLiteral("Telefon"), 71, Qt::AlignRight},
};
