// The search benchmark over a battery of cases: each search runs through the
// page's pipeline up to its first page (working tables, checks, statement,
// fill), and against it the same statement stepped by SQLite alone for as
// many rows as the fill read.

#include "Error.h"
#include "Figures.h"
#include "Limits.h"
#include "RowCopy.h"

#include <QSet>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace bench {

namespace {

using search_cases::SearchCase;
using search_criteria::SearchFields;

// The limits a page starts with.
constexpr int kPageSize = Limits::kFirstDisplayed;
constexpr int kSearchLimit = Limits::kFirstSearched;

QString columnText(const db::sqlite::Statement& st, int column) {
    return QString::fromUtf8(st.columnUtf8(column), st.columnBytes(column));
}

// What one case runs: its statements as SQLite receives them.
struct Prepared {
    const SearchCase* search = nullptr;
    QString native;           // the search statement
    QString extraNative;      // a telephone search's additional numbers' phase
    QStringList probeNatives; // the checks, in the order they run
};

// One repetition of a case on our side, split into its steps.
struct OursRun {
    double total = 0, tables = 0, checks = 0, fill = 0;
    int found = 0;
    int failedCheck = -1; // the index of the check that ended the search, or -1
};

// Without copying, the fill steps the directory query over the same rows with
// the copy switch set: nothing reaches the working table or the phone buffer
// (a telephone scan then reads all its candidates, finding nothing).
OursRun runOurs(DirectorySearch& s, const SearchCase& c, Clock clock, bool copying = true) {
    OursRun r;
    const Stopwatch t(clock);
    s.setEndState(DirectorySearch::EndState::Neutral);
    s.begin(kPageSize);
    s.prepareTables(c.byTelephone());
    r.tables = t.ms();
    const auto failed = s.validate(c.fields);
    r.checks = t.ms() - r.tables;
    if (!failed) {
        s.buildStatement(c.fields, kSearchLimit);
        std::optional<db::Dataset::CallbackGuard> noCopy;
        if (!copying) noCopy.emplace(s.directoryQuery());
        s.nextPage(kPageSize, kSearchLimit);
    }
    r.total = t.ms();
    r.fill = r.total - r.tables - r.checks;
    r.found = s.state().foundCount;
    if (failed) {
        const QList<search_criteria::Probe> probes = search_criteria::probes(c.directory, c.fields);
        for (qsizetype i = 0; i < probes.size(); ++i)
            if (probes[i].field == failed->field) r.failedCheck = int(i);
    }
    return r;
}

// The telephone scan in a bare loop: the candidates of the main numbers, then
// those of the additional numbers, unscrambled and compared with the number
// searched for, until the first page and the one match after it are found or
// the candidates run out. A subscriber counts once. Returns the matches found.
int bareTelephone(db::Database& directory, const Prepared& p) {
    const SearchCase& c = *p.search;
    const bool firms = c.directory == Directory::Firms;
    const int wanted = kPageSize + 1;
    int found = 0;
    QSet<qint64> subscribers;

    const auto phase = [&](const QString& sql, const char* id, const char* telA, const char* telExtA,
                           bool wholeTelA) {
        int columns[4] = {-1, -1, -1, -1};
        stepBare(directory, sql, -1, [&](const db::sqlite::Statement& st) {
            if (columns[0] < 0) {
                columns[0] = columnIndex(st, id);
                columns[1] = columnIndex(st, telA);
                columns[2] = columnIndex(st, telExtA);
                columns[3] = columnIndex(st, "euroISDN");
            }
            const QString number =
                row_copy::storedNumber(columnText(st, columns[1]), columnText(st, columns[2]),
                                       columnText(st, columns[0]), wholeTelA);
            if (number == c.fields.telephone) {
                const qint64 subscriber = st.columnInt(columns[3]);
                if (!subscribers.contains(subscriber)) {
                    subscribers.insert(subscriber);
                    ++found;
                }
            }
            return found < wanted;
        });
    };
    phase(p.native, "ID", "Tel_a", "TelExt_a", true);
    if (found < wanted) phase(p.extraNative, "nID", "nTel_a", "nTelExt_a", firms);
    return found;
}

// One repetition of a case on the bare side. Returns the rows (telephone:
// the matches) it found.
int runBare(db::Database& directory, const Prepared& p, int failedCheck) {
    if (failedCheck >= 0) {
        // The search ends at a check: the checks up to that one are all it runs.
        for (int i = 0; i <= failedCheck; ++i)
            stepBare(directory, p.probeNatives[i], 1);
        return 0;
    }
    if (p.search->byTelephone()) return bareTelephone(directory, p);
    return stepBare(directory, p.native, kPageSize + 1);
}

QString pageName(Directory d) {
    return d == Directory::Persons ? QStringLiteral("persons") : QStringLiteral("firms");
}

struct FixedCost {
    double tables = 0, emptyFill = 0, pageFill = 0, emptyBare = 0;
    double total() const { return tables + pageFill; }
};

// What every search of a page costs beyond its statement: re-creating the
// working table, and a first-page fill over the page's statement with a
// condition SQLite answers by the row id alone: one that no row meets (the
// empty fill) and one that a page of rows meets (the page fill: translating,
// stepping and copying a full page). Sampled between the cases' repetitions,
// so that it sees the same load as they do.
class EmptySearch {
  public:
    EmptySearch(SearchRig& rig, Directory which, Clock clock)
        : m_rig(rig), m_search(rig.search(which)), m_clock(clock) {
        SearchFields any;
        any.name = QStringLiteral("x");
        m_lines = search_criteria::statementLines(which, any, kSearchLimit).mid(0, 3);
        m_pageLines = m_lines;
        m_lines << m_search.tableName() + QStringLiteral(".ID = 0");
        m_pageLines << m_search.tableName() + QStringLiteral(".ID BETWEEN 1001 AND 1100");
        m_native = rig.native(m_lines);
    }

    void run(bool sample = true) {
        Stopwatch t(m_clock);
        m_search.setEndState(DirectorySearch::EndState::Neutral);
        m_search.begin(kPageSize);
        m_search.prepareTables(false);
        const double tables = t.ms();
        t.restart();
        m_search.directoryQuery().sql() = m_lines;
        m_search.nextPage(kPageSize, kSearchLimit);
        const double fill = t.ms();
        if (m_search.state().foundCount != 0)
            throw db::Error(QStringLiteral("the empty statement found rows: ") + m_native);
        t.restart();
        stepBare(m_rig.directory(), m_native, kPageSize + 1);
        const double bare = t.ms();

        m_search.setEndState(DirectorySearch::EndState::Neutral);
        m_search.begin(kPageSize);
        m_search.prepareTables(false);
        t.restart();
        m_search.directoryQuery().sql() = m_pageLines;
        m_search.nextPage(kPageSize, kSearchLimit);
        const double pageFill = t.ms();
        if (m_search.state().foundCount != kPageSize)
            throw db::Error(QStringLiteral("the page statement did not fill a page: ") +
                            m_pageLines.join(u' '));
        if (!sample) return;
        m_tables.push_back(tables);
        m_fills.push_back(fill);
        m_pageFills.push_back(pageFill);
        m_bares.push_back(bare);
    }

    FixedCost cost() const {
        return {median(m_tables), median(m_fills), median(m_pageFills), median(m_bares)};
    }

  private:
    SearchRig& m_rig;
    DirectorySearch& m_search;
    Clock m_clock;
    QStringList m_lines, m_pageLines;
    QString m_native;
    std::vector<double> m_tables, m_fills, m_pageFills, m_bares;
};

// The medians of one case.
struct CaseResult {
    double ours = 0, bare = 0, tables = 0, checks = 0, fill = 0, uncopied = 0;
    int found = 0;
    bool endedAtCheck = false;
};

CaseResult measure(SearchRig& rig, const Prepared& p, const CaseOptions& options, EmptySearch& empty) {
    const Clock clock = options.clock;
    const SearchCase& c = *p.search;
    DirectorySearch& s = rig.search(c.directory);

    // A warm-up round of each side, then the repetitions alternating the sides.
    const OursRun first = runOurs(s, c, clock);
    const int bareFound = runBare(rig.directory(), p, first.failedCheck);
    std::vector<double> ours, bare, tables, checks, fills, uncopied;
    for (int r = 0; r < options.repetitions; ++r) {
        const OursRun run = runOurs(s, c, clock);
        ours.push_back(run.total);
        tables.push_back(run.tables);
        checks.push_back(run.checks);
        fills.push_back(run.fill);
        const Stopwatch t(clock);
        runBare(rig.directory(), p, first.failedCheck);
        bare.push_back(t.ms());
        uncopied.push_back(runOurs(s, c, clock, false).fill);
        empty.run();
    }

    // Both sides must have seen the same rows, or the comparison says nothing.
    if (first.failedCheck < 0 && first.found != std::min(bareFound, kPageSize))
        std::fprintf(stderr, "search_bench: line %d: the page shows %d rows, the bare statement %d\n", c.line,
                     first.found, std::min(bareFound, kPageSize));
    return {median(ours),  median(bare),     median(tables), median(checks),
            median(fills), median(uncopied), first.found,    first.failedCheck >= 0};
}

} // namespace

void runCases(SearchRig& rig, const std::vector<SearchCase>& cases, const CaseOptions& options) {
    std::printf("# %s time, medians of %d repetitions\n", options.clock == Clock::Wall ? "wall" : "cpu",
                options.repetitions);
    std::vector<Prepared> prepared;
    for (size_t i = 0; i < cases.size(); ++i) {
        const SearchCase& c = cases[i];
        Prepared p;
        p.search = &c;
        const QStringList lines = search_criteria::statementLines(c.directory, c.fields, kSearchLimit);
        p.native = rig.native(lines);
        if (c.byTelephone())
            p.extraNative = rig.native(search_criteria::extraNumbersLines(c.directory, lines));
        for (const search_criteria::Probe& probe : search_criteria::probes(c.directory, c.fields))
            p.probeNatives << rig.native({search_criteria::probeStatement(probe)});
        prepared.push_back(p);

        QString shown = c.text;
        std::printf("# case_%zu\tline %d\t%s\n", i + 1, c.line, qPrintable(shown.replace(u'\t', u' ')));
        if (options.plans) {
            std::printf("#   statement: %s\n", qPrintable(p.native));
            for (const QString& step : queryPlan(rig.directory(), p.native))
                std::printf("#     %s\n", qPrintable(step));
            if (c.byTelephone()) {
                std::printf("#   additional numbers: %s\n", qPrintable(p.extraNative));
                for (const QString& step : queryPlan(rig.directory(), p.extraNative))
                    std::printf("#     %s\n", qPrintable(step));
            }
        }
    }
    std::fflush(stdout);

    EmptySearch empty[2] = {{rig, Directory::Persons, options.clock}, {rig, Directory::Firms, options.clock}};
    for (EmptySearch& e : empty)
        e.run(false);
    std::vector<CaseResult> results;
    for (const Prepared& p : prepared)
        results.push_back(measure(rig, p, options, empty[int(p.search->directory)]));

    const FixedCost fixed[2] = {empty[0].cost(), empty[1].cost()};
    std::printf("fixed\tpage\ttables_ms\tempty_fill_ms\tpage_fill_ms\tfixed_ms\tempty_bare_ms\n");
    for (Directory d : {Directory::Persons, Directory::Firms}) {
        const FixedCost& f = fixed[int(d)];
        std::printf("fixed\t%s\t%.2f\t%.2f\t%.2f\t%.2f\t%.3f\n", qPrintable(pageName(d)), f.tables,
                    f.emptyFill, f.pageFill, f.total(), f.emptyBare);
    }

    std::printf("case\tours_ms\tbare_ms\tratio\twithin_goal\ttables_ms\tchecks_ms\tfill_ms\tfill_nocopy_"
                "ms\trows\tgoal_ms\n");
    int within = 0;
    for (size_t i = 0; i < results.size(); ++i) {
        const CaseResult& r = results[i];
        // The goal: twice the bare statement plus what every search costs beyond it.
        const double goal = 2 * r.bare + fixed[int(prepared[i].search->directory)].total();
        const bool ok = r.ours <= goal;
        if (ok) ++within;
        const QString rows = r.endedAtCheck ? QStringLiteral("check") : QString::number(r.found);
        std::printf("case_%zu\t%.2f\t%.2f\t%.2f\t%s\t%.2f\t%.2f\t%.2f\t%.2f\t%s\t%.2f\n", i + 1, r.ours,
                    r.bare, r.bare > 0 ? r.ours / r.bare : 0.0, ok ? "yes" : "no", r.tables, r.checks, r.fill,
                    r.uncopied, qPrintable(rows), goal);
    }
    std::printf("# %d of %zu cases within 2 x bare + fixed\n", within, results.size());
}

} // namespace bench
