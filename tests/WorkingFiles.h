#pragma once

// A temporary folder with the program's login workgroup, an engine that logs
// in through it, and the program's paths below the folder: what the tests
// need to make the program's databases as the program makes them (the
// working databases refuse an engine without the login).

#include "Database.h"
#include "DatabaseLogin.h"
#include "Dataset.h"
#include "Error.h"
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

// Another connection's hold on the file of owner, for as long as it lives,
// so that owner cannot write it. A file owner holds exclusively is let go of
// first. Reading holds up a file without a write-ahead log; a file with one
// needs a write started (Writing).
class FileHold {
  public:
    enum Kind { Reading, Writing };
    FileHold(db::Database& owner, const QString& table, Kind kind) {
        const QString count = QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table);
        try {
            if (owner.isExclusive()) {
                owner.executeNative(QStringLiteral("PRAGMA locking_mode=NORMAL"));
                owner.queryNative(count);
            }
            db::OpenOptions options;
            options.readOnly = kind == Reading;
            m_other = owner.openAnotherConnection(options);
            m_other->executeNative(kind == Writing ? QStringLiteral("BEGIN IMMEDIATE")
                                                   : QStringLiteral("BEGIN"));
            m_other->queryNative(count);
            m_holds = true;
        } catch (const db::Error&) {
            m_other.reset();
        }
    }
    ~FileHold() {
        if (!m_other) return;
        try {
            m_other->executeNative(QStringLiteral("COMMIT"));
        } catch (const db::Error&) {
        }
    }
    FileHold(const FileHold&) = delete;
    FileHold& operator=(const FileHold&) = delete;
    bool holds() const { return m_holds; }

  private:
    std::unique_ptr<db::Database> m_other;
    bool m_holds = false;
};

} // namespace test_support
