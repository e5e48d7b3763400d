#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace db {

class Workspace;

// Where a conversion has got to: the table being converted (its place among
// the tables, from 1) and the rows done out of all rows of all tables.
struct ConversionStep {
    QString table;
    int tableNumber = 0;
    int tables = 0;
    qint64 rowsDone = 0;
    qint64 rowsTotal = 0;
    // The rows are all in; the indexes are being built (rowsDone equals
    // rowsTotal). Cancel still works, between the engine's steps.
    bool indexing = false;
};

// Told between batches of rows; false cancels the conversion.
using ConversionProgress = std::function<bool(const ConversionStep&)>;

enum class ConversionKind {
    Plain,     // the tables, their keys and indexes as the file declares them
    Directory, // also the indexes the directory searches rely on, and the
               // database restricted to the workspace's workgroup
};

struct ConversionResult {
    bool cancelled = false; // nothing is left behind
    int tables = 0;
    qint64 rows = 0;
    // Columns of a type our engine cannot hold, left out: "Tabulka.Sloupec (typ)".
    QStringList leftOutColumns;
};

// Converts every user table of a Jet file into a new database of our engine
// at target, created in the workspace (with the Czech locale). The database
// is written under a temporary name in the target's folder and renamed into
// place only when complete; an existing target is never replaced. The copy
// records the source's identity (jet::sourceIdentity), which
// convertedSourceOf() reads back. A failure raises db::Error with a Czech
// message naming the file and, where it applies, the table; a failure or a
// cancel leaves no file behind.
ConversionResult convertJetFile(Workspace& workspace, const QString& source, const QString& target,
                                ConversionKind kind, const ConversionProgress& progress = {});

// Removes what conversions into target left beside it when they never ended
// (the process was killed half way); returns how many files went. Call it
// only where no other conversion into target can be running.
int removeUnfinishedConversions(const QString& target);

// The identity of the source a converted copy was made from; empty for any
// other file (not ours, not converted, unreadable). Reads without logging in.
QString convertedSourceOf(const QString& path);

} // namespace db
