#pragma once

// A temporary folder with the program's login workgroup, an engine that logs
// in through it, and the program's paths below the folder: what the tests
// need to make the program's databases as the program makes them (the
// working databases refuse an engine without the login).

#include "Database.h"
#include "DatabaseLogin.h"
#include "Dataset.h"
#include "OwnDatabases.h"

#include <QDir>
#include <QTemporaryDir>

namespace test_support {

struct WorkingFiles {
    QTemporaryDir dir;
    db::Engine engine;
    db::OwnPaths paths;

    WorkingFiles() {
        const QString workgroup = dir.filePath(QStringLiteral("ordat.mdw"));
        db::createLoginWorkgroup(workgroup);
        engine.setWorkgroupFile(workgroup);
        paths =
            db::OwnPaths::make(dir.filePath(QStringLiteral("program/DATA")), dir.path(), QStringLiteral("t"));
        QDir().mkpath(dir.filePath(QStringLiteral("program/DATA")));
    }
};

// One column of every row a statement gives, in its order.
inline QStringList columnOf(db::Database* database, const QString& sql, const QString& column) {
    db::Dataset all;
    all.setDatabase(database);
    all.setSql(sql);
    all.open();
    QStringList out;
    for (; !all.eof(); all.next())
        out << all.text(column);
    return out;
}

// A column of the rows a page query shows, in its order; the query is left on
// its first row.
inline QStringList shownColumn(db::Dataset& page, const QString& column) {
    QStringList out;
    for (page.first(); !page.eof(); page.next())
        out << page.text(column);
    page.first();
    return out;
}

} // namespace test_support
