#pragma once

// The personal database, the Vlastní page's working database beside it, and
// the search over both, run as the page runs it. Shared by the tests of the
// personal contacts' logic.

#include "PersonalFixture.h"
#include "PersonalSearch.h"

#include <functional>

namespace personal_test {

struct SearchFiles : PersonalFiles {
    db::Dataset page;
    std::unique_ptr<db::WorkingDatabase> results;
    bool stop = false;
    int copySteps = 0;           // copied rows, each followed by the window's event processing
    std::function<void()> onRow; // called where the window would process events
    PersonalSearch search{PersonalSearch::Services{[this] { return personal.get(); },
                                                   [this] {
                                                       ++copySteps;
                                                       if (onRow) onRow();
                                                   },
                                                   &stop, nullptr}};

    // durable: the personal database as the program makes it; otherwise one with the table given.
    explicit SearchFiles(bool durable = false, const db::TableDef& table = db::layouts::personal())
        : PersonalFiles(durable, table) {
        results = std::make_unique<db::WorkingDatabase>(engine, db::WorkingKind::PersonalResult, paths, page);
        search.setWorkingDatabase(results.get());
    }

    void addSurnames(const QStringList& surnames) {
        personal->beginTransaction();
        for (const QString& name : surnames)
            add({{QStringLiteral("Prijmeni"), name}});
        personal->commit();
    }

    // A column of the rows the page query shows, in its order.
    QStringList shown(const QString& column) { return test_support::shownColumn(page, column); }
    // A column of every working row, by ID2.
    QStringList working(const QString& column) {
        return columnOf(results->database(), QStringLiteral("SELECT * FROM vlastni ORDER BY ID2"), column);
    }
};

} // namespace personal_test
