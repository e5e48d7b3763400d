// The directory search on a full-size generated directory, each figure against
// the bare SQLite statement that returns the same rows, in the same run.
//
//   bin/search_bench DATA_DIR [--repetitions N] [--only NAME]
//   bin/search_bench DATA_DIR --cases FILE [--repetitions N] [--plan] [--clock wall|cpu]
//
// DATA_DIR holds ordat.mdb and ordat.mdw (tools/mkdata --size full). Without
// --cases it runs the named figures; with it, one search per line of FILE.
// README.md describes the output.

#include "Error.h"
#include "Figures.h"
#include "SearchCases.h"
#include "SearchRig.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <optional>

namespace {

const char* const kUsage =
    "usage: search_bench DATA_DIR [--repetitions N] [--only NAME]\n"
    "       search_bench DATA_DIR --cases FILE [--repetitions N] [--plan] [--clock wall|cpu]\n";

struct Arguments {
    QString dataDir;
    QString cases;
    QString only;
    std::optional<int> repetitions;
    bool plans = false;
    std::optional<bench::Clock> clock;
};

// The command line, or nullopt after printing what is wrong with it.
std::optional<Arguments> readArguments(const QStringList& args) {
    Arguments a;
    const auto complain = [](const QString& what) {
        std::fprintf(stderr, "search_bench: %s\n%s", qPrintable(what), kUsage);
        return std::nullopt;
    };
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("--plan")) {
            a.plans = true;
        } else if (arg == QLatin1String("--cases") || arg == QLatin1String("--only") ||
                   arg == QLatin1String("--repetitions") || arg == QLatin1String("--clock")) {
            if (!hasValue) return complain(arg + QStringLiteral(" needs a value"));
            const QString value = args[++i];
            if (arg == QLatin1String("--cases")) {
                a.cases = value;
            } else if (arg == QLatin1String("--only")) {
                a.only = value;
            } else if (arg == QLatin1String("--clock")) {
                if (value == QLatin1String("wall"))
                    a.clock = bench::Clock::Wall;
                else if (value == QLatin1String("cpu"))
                    a.clock = bench::Clock::Cpu;
                else
                    return complain(QStringLiteral("--clock is wall or cpu"));
            } else {
                bool ok = false;
                const int n = value.toInt(&ok);
                if (!ok || n < 1) return complain(QStringLiteral("--repetitions takes a positive number"));
                a.repetitions = n;
            }
        } else if (arg.startsWith(QLatin1String("--")) || !a.dataDir.isEmpty()) {
            return complain(QStringLiteral("unknown argument ") + arg);
        } else {
            a.dataDir = QDir(arg).absolutePath();
        }
    }
    if (a.dataDir.isEmpty()) return complain(QStringLiteral("no DATA_DIR given"));
    if (!a.cases.isEmpty() && !a.only.isEmpty())
        return complain(QStringLiteral("--only is for the named figures"));
    if (a.cases.isEmpty() && (a.plans || a.clock))
        return complain(QStringLiteral("--plan and --clock are for --cases"));
    return a;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const std::optional<Arguments> args = readArguments(app.arguments());
    if (!args) return 2;

    try {
        // A malformed case file stops the run before the directory is opened.
        std::vector<search_cases::SearchCase> cases;
        if (!args->cases.isEmpty()) {
            cases = search_cases::readFile(args->cases);
            if (cases.empty())
                throw search_cases::CaseError(args->cases + QStringLiteral(": no search in it"));
        }

        bench::SearchRig rig(args->dataDir);
        if (args->cases.isEmpty())
            bench::runNamedFigures(rig, args->repetitions.value_or(15), args->only);
        else
            bench::runCases(
                rig, cases,
                {args->repetitions.value_or(5), args->plans, args->clock.value_or(bench::Clock::Wall)});
    } catch (const search_cases::CaseError& e) {
        std::fprintf(stderr, "search_bench: %s\n", qPrintable(e.message()));
        return 2;
    } catch (const db::Error& e) {
        std::fprintf(stderr, "search_bench: %s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
