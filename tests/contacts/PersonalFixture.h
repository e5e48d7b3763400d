#pragma once

// Shared by the personal contacts tests: the personal database made by the
// engine in a temporary folder, with the program's login, and a way to put
// records into it.

#include "Database.h"
#include "DatabaseLogin.h"
#include "Dataset.h"
#include "OwnDatabases.h"
#include "SearchCriteria.h"
#include "WorkingFiles.h"

#include <memory>
#include <utility>

namespace personal_test {

using test_support::columnOf;

struct PersonalFiles : test_support::WorkingFiles {
    std::unique_ptr<db::Workspace> workspace;
    std::unique_ptr<db::Database> personal;

    // durable: made and opened as the program does, every write on disk when it
    // returns; otherwise disposable, for the tests that do not look at that.
    explicit PersonalFiles(bool durable = false, const db::TableDef& table = db::layouts::personal()) {
        db::OpenOptions options = durable ? db::personalOpenOptions() : db::OpenOptions{};
        options.disposable = !durable;
        if (durable)
            db::createOwnDatabase(engine, paths.personal, paths);
        else
            db::createDatabaseWithTables(engine, paths.personal, {table}, options);
        const db::Login login = db::databaseLogin();
        workspace = engine.openWorkspace(login.user, login.password);
        personal = workspace->openDatabase(paths.personal, options);
    }

    // One personal record of the columns given; values quoted as the program quotes them.
    void add(const QList<std::pair<QString, QString>>& record) {
        QStringList columns, values;
        for (const auto& [column, value] : record) {
            columns << u'[' + column + u']';
            values << search_criteria::quoted(value);
        }
        personal->execute(QStringLiteral("INSERT INTO Vlastni (") + columns.join(QStringLiteral(", ")) +
                              QStringLiteral(") VALUES (") + values.join(QStringLiteral(", ")) + u')',
                          db::Database::FailOnError);
    }
};

} // namespace personal_test
