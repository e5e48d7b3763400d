// The directory search on a full-size generated directory, each figure against
// the bare SQLite statement that returns the same rows, in the same run.
//
//   bin/search_bench DATA_DIR [--repetitions N]
//
// DATA_DIR holds ordat.mdb and ordat.mdw (tools/mkdata --size full). The last
// lines are one per figure: name, our median in ms, the bare median in ms and
// their ratio, separated by tabs.

#include "Database.h"
#include "DatabaseLogin.h"
#include "Dataset.h"
#include "DirectorySearch.h"
#include "Error.h"
#include "OwnDatabases.h"
#include "Scramble.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using search_criteria::SearchFields;

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Milliseconds of each run of work; prepare runs untimed before each.
std::vector<double> timed(int repetitions, const std::function<void()>& prepare,
                          const std::function<void()>& work) {
    std::vector<double> out;
    for (int i = 0; i < repetitions; ++i) {
        if (prepare) prepare();
        QElapsedTimer t;
        t.start();
        work();
        out.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    return out;
}

// Steps a native statement, reading every column as text, up to limit rows;
// calls onRow with the statement for each. Returns the rows stepped.
int bare(sqlite3* db, const QString& sql, int limit = -1,
         const std::function<void(sqlite3_stmt*)>& onRow = {}) {
    sqlite3_stmt* st = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &st, nullptr) != SQLITE_OK)
        throw db::Error(QString::fromUtf8(sqlite3_errmsg(db)));
    int rows = 0;
    size_t bytes = 0;
    while ((limit < 0 || rows < limit) && sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 0, n = sqlite3_column_count(st); c < n; ++c) {
            sqlite3_column_text(st, c);
            bytes += size_t(sqlite3_column_bytes(st, c));
        }
        if (onRow) onRow(st);
        ++rows;
    }
    sqlite3_finalize(st);
    return rows + int(bytes & 0);
}

struct Figure {
    const char* name;
    double ours, bare;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fputs("usage: search_bench DATA_DIR [--repetitions N]\n", stderr);
        return 2;
    }
    const QString dataDir = QDir(args[1]).absolutePath();
    int repetitions = 15;
    if (const qsizetype i = args.indexOf(QStringLiteral("--repetitions")); i > 0 && i + 1 < args.size())
        repetitions = std::max(1, args[i + 1].toInt());
    // --only NAME runs the figures whose name contains NAME (for profiling).
    QString only;
    if (const qsizetype i = args.indexOf(QStringLiteral("--only")); i > 0 && i + 1 < args.size())
        only = args[i + 1];
    const auto wanted = [&only](const char* name) {
        return only.isEmpty() || QString::fromLatin1(name).contains(only);
    };

    try {
        db::Engine engine;
        engine.setWorkgroupFile(dataDir + QStringLiteral("/ordat.mdw"));
        const db::Login login = db::databaseLogin();
        auto workspace = engine.openWorkspace(login.user, login.password);
        db::OpenOptions o;
        o.readOnly = true;
        o.exclusive = true;
        std::unique_ptr<db::Database> directory =
            workspace->openDatabase(dataDir + QStringLiteral("/ordat.mdb"), o);
        sqlite3* handle = directory->handle();

        QTemporaryDir scratch;
        const db::OwnPaths paths = db::OwnPaths::make(scratch.filePath(QStringLiteral("program")),
                                                      scratch.path(), QStringLiteral("b"));
        QDir().mkpath(scratch.filePath(QStringLiteral("program/DATA")));

        bool stop = false;
        const auto makeSearch = [&](bool firms, db::Dataset& page, db::Dataset& buffer,
                                    std::unique_ptr<db::WorkingDatabase>& results,
                                    std::unique_ptr<db::WorkingDatabase>& phone) {
            results = std::make_unique<db::WorkingDatabase>(
                engine, firms ? db::WorkingKind::FirmsResult : db::WorkingKind::PersonsResult, paths, page);
            phone = std::make_unique<db::WorkingDatabase>(
                engine, firms ? db::WorkingKind::FirmsBuffer : db::WorkingKind::PersonsBuffer, paths, buffer);
            auto s = std::make_unique<DirectorySearch>(
                firms ? DirectorySearch::Directory::Firms : DirectorySearch::Directory::Persons,
                DirectorySearch::Services{[&] { return directory.get(); },
                                          [] { QCoreApplication::processEvents(); }, &stop});
            s->setWorkingDatabases(results.get(), phone.get());
            return s;
        };
        db::Dataset personsPage, personsBuffer, firmsPage, firmsBuffer;
        std::unique_ptr<db::WorkingDatabase> pr, pb, fr, fb;
        auto persons = makeSearch(false, personsPage, personsBuffer, pr, pb);
        auto firms = makeSearch(true, firmsPage, firmsBuffer, fr, fb);

        // The search up to its statement, as the page runs it.
        const auto prepare = [](DirectorySearch& s, const SearchFields& f) {
            s.begin(10);
            s.setEndState(DirectorySearch::EndState::Neutral);
            s.prepareTables(!f.telephone.isEmpty());
            if (s.validate(f))
                throw db::Error(QStringLiteral("a value of the benchmark is not in the directory"));
            s.buildStatement(f, 200);
        };
        const auto nativeOf = [&](const QStringList& lines) {
            return directory->translate(lines.join(u'\n')).statements.value(0);
        };

        SearchFields personsFields;
        personsFields.name = QStringLiteral("Nov*");
        personsFields.municipality = QStringLiteral("Praha*");
        SearchFields firmsFields;
        firmsFields.name = QStringLiteral("Auto*");
        std::vector<Figure> figures;

        // 1. First page of the persons search, probes included.
        const QString personsNative = nativeOf(
            search_criteria::statementLines(search_criteria::Directory::Persons, personsFields, 200));
        if (wanted("persons_first_page"))
            figures.push_back({"persons_first_page",
                               median(timed(repetitions, {},
                                            [&] {
                                                prepare(*persons, personsFields);
                                                persons->nextPage(10, 200);
                                            })),
                               median(timed(repetitions, {}, [&] { bare(handle, personsNative, 11); }))});

        // Where the first page's time goes, step by step.
        if (wanted("persons_first_page")) {
            std::vector<double> steps[4];
            for (int i = 0; i < repetitions; ++i) {
                QElapsedTimer t;
                t.start();
                persons->begin(10);
                persons->prepareTables(false);
                steps[0].push_back(double(t.nsecsElapsed()) / 1e6);
                t.restart();
                persons->validate(personsFields);
                steps[1].push_back(double(t.nsecsElapsed()) / 1e6);
                t.restart();
                persons->buildStatement(personsFields, 200);
                steps[2].push_back(double(t.nsecsElapsed()) / 1e6);
                t.restart();
                persons->nextPage(10, 200);
                steps[3].push_back(double(t.nsecsElapsed()) / 1e6);
            }
            std::printf(
                "first page steps (median ms): working tables %.2f, checks %.2f, statement %.2f, fill %.2f\n",
                median(steps[0]), median(steps[1]), median(steps[2]), median(steps[3]));
        }

        // 2. The next page of the same search.
        const QString nextNative =
            QStringLiteral("SELECT * FROM (") + personsNative + QStringLiteral(") LIMIT 11 OFFSET 10");
        if (wanted("persons_next_page"))
            figures.push_back({"persons_next_page",
                               median(timed(
                                   repetitions,
                                   [&] {
                                       prepare(*persons, personsFields);
                                       persons->nextPage(10, 200);
                                   },
                                   [&] { persons->nextPage(10, 200); })),
                               median(timed(repetitions, {}, [&] { bare(handle, nextNative, 11); }))});

        // 3. First page of a firms search for a firm name prefix.
        const QString firmsNative =
            nativeOf(search_criteria::statementLines(search_criteria::Directory::Firms, firmsFields, 200));
        if (wanted("firms_prefix_first_page"))
            figures.push_back({"firms_prefix_first_page",
                               median(timed(repetitions, {},
                                            [&] {
                                                prepare(*firms, firmsFields);
                                                firms->nextPage(10, 200);
                                            })),
                               median(timed(repetitions, {}, [&] { bare(handle, firmsNative, 11); }))});

        // 4. The match count of the persons search.
        const QString countNative =
            QStringLiteral("SELECT count(*) FROM (") +
            nativeOf(
                search_criteria::countStatement(
                    search_criteria::statementLines(search_criteria::Directory::Persons, personsFields, 200),
                    200)
                    .split(u'\n')) +
            u')';
        qint64 matches = 0;
        if (wanted("persons_count"))
            figures.push_back({"persons_count",
                               median(timed(
                                   repetitions, [&] { prepare(*persons, personsFields); },
                                   [&] { matches = persons->count(200); })),
                               median(timed(repetitions, {}, [&] { bare(handle, countNative); }))});

        QString prefix, number;
        if (wanted("phone_search")) {
            // 5. A telephone search for an existing number whose four leading digits
            //    are the most common in the directory. The bare side reads the
            //    candidates of both phases and compares the unscrambled numbers.
            bare(handle,
                 QStringLiteral("SELECT Tel_a FROM Osoby GROUP BY Tel_a ORDER BY count(*) DESC LIMIT 1"), 1,
                 [&](sqlite3_stmt* st) { prefix = QString::number(sqlite3_column_int64(st, 0)); });
            bare(handle,
                 QStringLiteral("SELECT ID, Tel_a, TelExt_a FROM Osoby WHERE Tel_a = ") + prefix + " LIMIT 1",
                 1, [&](sqlite3_stmt* st) {
                     number = phone::unscramble(
                         QString::number(sqlite3_column_int64(st, 1)) +
                             QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 2))),
                         QString::number(sqlite3_column_int64(st, 0)));
                 });
            SearchFields phoneFields;
            phoneFields.telephone = number;
            const QStringList phoneLines =
                search_criteria::statementLines(search_criteria::Directory::Persons, phoneFields, 200);
            const QString mainNative = nativeOf(phoneLines);
            const QString extraNative =
                nativeOf(search_criteria::extraNumbersLines(search_criteria::Directory::Persons, phoneLines));
            int found = 0;
            const int phoneRepetitions = std::max(3, repetitions / 3);
            const auto compare = [&](int id, int telA, int telExtA) {
                return [&, id, telA, telExtA](sqlite3_stmt* st) {
                    const char* ext = reinterpret_cast<const char*>(sqlite3_column_text(st, telExtA));
                    if (!ext) return;
                    const QString n = phone::unscramble(QString::number(sqlite3_column_int64(st, telA)) +
                                                            QString::fromUtf8(ext),
                                                        QString::number(sqlite3_column_int64(st, id)));
                    if (n == number) ++found;
                };
            };
            figures.push_back({"phone_search",
                               median(timed(phoneRepetitions, {},
                                            [&] {
                                                prepare(*persons, phoneFields);
                                                persons->nextPage(10, 200);
                                            })),
                               median(timed(phoneRepetitions, {}, [&] {
                                   bare(handle, mainNative, -1, compare(0, 13, 14));
                                   bare(handle, extraNative, -1, compare(1, 15, 16));
                               }))});
        }

        std::printf("persons Nov* in Praha*: %lld matches; telephone %s (prefix %s): %d rows found\n",
                    static_cast<long long>(matches), qPrintable(number), qPrintable(prefix),
                    persons->state().foundCount);
        std::printf("figure\tours_ms\tbare_ms\tratio\n");
        for (const Figure& f : figures)
            std::printf("%s\t%.2f\t%.2f\t%.2f\n", f.name, f.ours, f.bare, f.bare > 0 ? f.ours / f.bare : 0.0);
    } catch (const db::Error& e) {
        std::fprintf(stderr, "search_bench: %s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
