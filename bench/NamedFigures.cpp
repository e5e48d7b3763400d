// The named figures of the search benchmark: a few fixed searches, each
// against the bare SQLite statement that returns the same rows.

#include "Error.h"
#include "Figures.h"
#include "Scramble.h"

#include <cstdio>

namespace bench {

namespace {

using search_criteria::SearchFields;

struct Figure {
    const char* name;
    double ours, bare;
};

// The search up to its statement, as the page runs it.
void prepare(DirectorySearch& s, const SearchFields& f) {
    s.begin(10);
    s.setEndState(DirectorySearch::EndState::Neutral);
    s.prepareTables(!f.telephone.isEmpty());
    if (s.validate(f)) throw db::Error(QStringLiteral("a value of the benchmark is not in the directory"));
    s.buildStatement(f, 200);
}

} // namespace

void runNamedFigures(SearchRig& rig, int repetitions, const QString& only) {
    const auto wanted = [&only](const char* name) {
        return only.isEmpty() || QString::fromLatin1(name).contains(only);
    };
    db::Database& directory = rig.directory();
    DirectorySearch& persons = rig.search(Directory::Persons);
    DirectorySearch& firms = rig.search(Directory::Firms);

    SearchFields personsFields;
    personsFields.name = QStringLiteral("Nov*");
    personsFields.municipality = QStringLiteral("Praha*");
    SearchFields firmsFields;
    firmsFields.name = QStringLiteral("Auto*");
    std::vector<Figure> figures;

    // 1. First page of the persons search, probes included.
    const QString personsNative =
        rig.native(search_criteria::statementLines(Directory::Persons, personsFields, 200));
    if (wanted("persons_first_page"))
        figures.push_back({"persons_first_page",
                           median(timed(repetitions, {},
                                        [&] {
                                            prepare(persons, personsFields);
                                            persons.nextPage(10, 200);
                                        })),
                           median(timed(repetitions, {}, [&] { stepBare(directory, personsNative, 11); }))});

    // Where the first page's time goes, step by step.
    if (wanted("persons_first_page")) {
        std::vector<double> steps[4];
        for (int i = 0; i < repetitions; ++i) {
            Stopwatch t;
            persons.begin(10);
            persons.prepareTables(false);
            steps[0].push_back(t.ms());
            t.restart();
            persons.validate(personsFields);
            steps[1].push_back(t.ms());
            t.restart();
            persons.buildStatement(personsFields, 200);
            steps[2].push_back(t.ms());
            t.restart();
            persons.nextPage(10, 200);
            steps[3].push_back(t.ms());
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
                                   prepare(persons, personsFields);
                                   persons.nextPage(10, 200);
                               },
                               [&] { persons.nextPage(10, 200); })),
                           median(timed(repetitions, {}, [&] { stepBare(directory, nextNative, 11); }))});

    // 3. First page of a firms search for a firm name prefix.
    const QString firmsNative =
        rig.native(search_criteria::statementLines(Directory::Firms, firmsFields, 200));
    if (wanted("firms_prefix_first_page"))
        figures.push_back({"firms_prefix_first_page",
                           median(timed(repetitions, {},
                                        [&] {
                                            prepare(firms, firmsFields);
                                            firms.nextPage(10, 200);
                                        })),
                           median(timed(repetitions, {}, [&] { stepBare(directory, firmsNative, 11); }))});

    // 4. The match count of the persons search.
    const QString countNative =
        QStringLiteral("SELECT count(*) FROM (") +
        rig.native(search_criteria::countStatement(
                       search_criteria::statementLines(Directory::Persons, personsFields, 200), 200)
                       .split(u'\n')) +
        u')';
    qint64 matches = 0;
    if (wanted("persons_count"))
        figures.push_back({"persons_count",
                           median(timed(
                               repetitions, [&] { prepare(persons, personsFields); },
                               [&] { matches = persons.count(200); })),
                           median(timed(repetitions, {}, [&] { stepBare(directory, countNative); }))});

    QString prefix, number;
    if (wanted("phone_search")) {
        // 5. A telephone search for an existing number whose four leading digits
        //    are the most common in the directory. The bare side reads the
        //    candidates of both phases and compares the unscrambled numbers.
        stepBare(directory,
                 QStringLiteral("SELECT Tel_a FROM Osoby GROUP BY Tel_a ORDER BY count(*) DESC LIMIT 1"), 1,
                 [&](const db::sqlite::Statement& st) {
                     prefix = QString::number(st.columnInt(0));
                     return true;
                 });
        stepBare(directory,
                 QStringLiteral("SELECT ID, Tel_a, TelExt_a FROM Osoby WHERE Tel_a = ") + prefix +
                     QStringLiteral(" LIMIT 1"),
                 1, [&](const db::sqlite::Statement& st) {
                     number = phone::unscramble(QString::number(st.columnInt(1)) +
                                                    QString::fromUtf8(st.columnUtf8(2)),
                                                QString::number(st.columnInt(0)));
                     return true;
                 });
        SearchFields phoneFields;
        phoneFields.telephone = number;
        const QStringList phoneLines = search_criteria::statementLines(Directory::Persons, phoneFields, 200);
        const QString mainNative = rig.native(phoneLines);
        const QString extraNative =
            rig.native(search_criteria::extraNumbersLines(Directory::Persons, phoneLines));
        int found = 0;
        const int phoneRepetitions = std::max(3, repetitions / 3);
        const auto compare = [&](int id, int telA, int telExtA) {
            return [&, id, telA, telExtA](const db::sqlite::Statement& st) {
                const char* ext = st.columnUtf8(telExtA);
                if (!ext) return true;
                const QString n =
                    phone::unscramble(QString::number(st.columnInt(telA)) + QString::fromUtf8(ext),
                                      QString::number(st.columnInt(id)));
                if (n == number) ++found;
                return true;
            };
        };
        figures.push_back({"phone_search",
                           median(timed(phoneRepetitions, {},
                                        [&] {
                                            prepare(persons, phoneFields);
                                            persons.nextPage(10, 200);
                                        })),
                           median(timed(phoneRepetitions, {}, [&] {
                               stepBare(directory, mainNative, -1, compare(0, 13, 14));
                               stepBare(directory, extraNative, -1, compare(1, 15, 16));
                           }))});
    }

    std::printf("persons Nov* in Praha*: %lld matches; telephone %s (prefix %s): %d rows found\n",
                static_cast<long long>(matches), qPrintable(number), qPrintable(prefix),
                persons.state().foundCount);
    std::printf("figure\tours_ms\tbare_ms\tratio\n");
    for (const Figure& f : figures)
        std::printf("%s\t%.2f\t%.2f\t%.2f\n", f.name, f.ours, f.bare, f.bare > 0 ? f.ours / f.bare : 0.0);
}

} // namespace bench
