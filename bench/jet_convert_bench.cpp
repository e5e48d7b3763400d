// The conversion of the disc's directory against the bare read of its file.
//
// Given a directory written by `mkdata --format jet3` (the full size is the
// case that matters), it measures in one run:
//   - the bare read: libmdb fetching every row of every table, nothing decoded
//     or written;
//   - the reader: the same rows as the conversion takes them (values decoded,
//     Null masks, long values);
//   - the conversion as the program runs it (ConversionKind::Directory) into a
//     temporary folder, split into the rows and the index build;
// and prints rows per second, the times, the ratio of the rows phase to the
// bare read, and the process's peak resident memory.
//
//     build/bin/jet_convert_bench FOLDER/ordat.mdb [--keep]

#include "Database.h"
#include "DatabaseLogin.h"
#include "Error.h"
#include "JetConversion.h"
#include "JetFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <mdbtools.h>

#include <cstdio>
#include <cstdlib>

namespace {

qint64 bareRead(const QString& path) {
    ::setenv("MDB_JET3_CHARSET", "CP1250", 0);
    MdbHandle* mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!mdb || !mdb_read_catalog(mdb, MDB_TABLE)) {
        std::fprintf(stderr, "libmdb cannot read %s\n", qPrintable(path));
        std::exit(1);
    }
    qint64 rows = 0;
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto* e = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (e->object_type != MDB_TABLE || !mdb_is_user_table(e)) continue;
        MdbTableDef* t = mdb_read_table(e);
        mdb_read_columns(t);
        mdb_rewind_table(t);
        while (mdb_fetch_row(t))
            ++rows;
        mdb_free_tabledef(t);
    }
    mdb_close(mdb);
    return rows;
}

qint64 readerRead(const QString& path) {
    const db::jet::File file(path);
    qint64 rows = 0;
    QVariantList row;
    for (const db::jet::SourceTable& t : file.tables()) {
        const auto r = file.rows(t.name);
        while (r->next(row))
            ++rows;
    }
    return rows;
}

long peakKiB() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        std::fputs("usage: jet_convert_bench FOLDER/ordat.mdb [--keep]\n", stderr);
        return 2;
    }
    const QString source = args.first();
    const bool keep = args.contains(QStringLiteral("--keep"));

    QElapsedTimer timer;
    timer.start();
    const qint64 bareRows = bareRead(source);
    const double bare = timer.nsecsElapsed() / 1e9;
    std::printf("bare read (libmdb)    %10lld rows %8.2f s %12.0f rows/s\n", bareRows, bare, bareRows / bare);

    timer.start();
    const qint64 readerRows = readerRead(source);
    const double reader = timer.nsecsElapsed() / 1e9;
    std::printf("reader (values)       %10lld rows %8.2f s %12.0f rows/s\n", readerRows, reader,
                readerRows / reader);

    // The conversion writes beside the source: the same disc, as the program's
    // data folder usually is.
    QTemporaryDir out(QFileInfo(source).absolutePath() + QStringLiteral("/convert-XXXXXX"));
    out.setAutoRemove(!keep);
    const QString mdw = out.filePath(QStringLiteral("ordat.mdw"));
    db::createLoginWorkgroup(mdw);
    db::Engine engine;
    engine.setWorkgroupFile(mdw);
    const db::Login login = db::databaseLogin();
    double rowsDone = 0;
    try {
        auto ws = engine.openWorkspace(login.user, login.password);
        timer.start();
        const db::ConversionResult result =
            db::convertJetFile(*ws, source, out.filePath(QStringLiteral("ordat.mdb")),
                               db::ConversionKind::Directory, [&](const db::ConversionStep& s) {
                                   if (s.indexing && rowsDone == 0) rowsDone = timer.nsecsElapsed() / 1e9;
                                   return true;
                               });
        const double total = timer.nsecsElapsed() / 1e9;
        std::printf("conversion, rows      %10lld rows %8.2f s %12.0f rows/s  (%.2f x the bare read)\n",
                    result.rows, rowsDone, result.rows / rowsDone, rowsDone / bare);
        std::printf("conversion, indexes                  %8.2f s\n", total - rowsDone);
        std::printf("conversion, total     %10lld rows %8.2f s %12.0f rows/s  (%.2f x bare read + indexes)\n",
                    result.rows, total, result.rows / total, total / (bare + total - rowsDone));
    } catch (const db::Error& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    std::printf("peak resident memory  %10ld KiB\n", peakKiB());
    if (keep) std::printf("kept in %s\n", qPrintable(out.path()));
    return 0;
}
