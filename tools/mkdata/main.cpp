// mkdata: writes a directory database and the four reference lists.
//   mkdata --size test|demo|full --out DIR [--format native|jet3] [--seed N] [--report]
// native writes our engine's databases, jet3 Jet 3 files as the disc has them.

#include "Generator.h"
#include "Seeds.h"

#include "Database.h"
#include "DatabaseLogin.h"
#include "Error.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>

#include <sys/stat.h>

#include <cstdio>

namespace {

void usage() {
    std::fputs("usage: mkdata --size test|demo|full --out DIR [--format native|jet3] [--seed N] [--report]\n",
               stderr);
}

// Size of each table and index of the directory, in bytes of whole pages. The
// directory opens for the program's account of the workgroup file beside it.
void report(QTextStream& out, const QString& path) {
    db::Engine engine;
    engine.setWorkgroupFile(QFileInfo(path).dir().filePath(QStringLiteral("ordat.mdw")));
    const db::Login login = db::databaseLogin();
    db::OpenOptions o;
    o.readOnly = true;
    std::unique_ptr<db::Database> directory;
    try {
        directory = engine.openWorkspace(login.user, login.password)->openDatabase(path, o);
    } catch (const db::Error&) {
        return;
    }
    QList<QVariantList> sizes;
    try {
        sizes = directory->queryNative(
            QStringLiteral("SELECT name, sum(pgsize) FROM dbstat GROUP BY name ORDER BY 2 DESC"));
    } catch (const db::Error&) {
        out << "(no dbstat in this SQLite)\n";
        return;
    }
    out << "object\tbytes\n";
    for (const QVariantList& row : sizes)
        out << row.value(0).toString() << '\t' << row.value(1).toLongLong() << '\n';
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QString size, outDir;
    uint64_t seed = 2004;
    bool wantReport = false;
    OutputFormat format = OutputFormat::Native;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == u"--size" && i + 1 < args.size())
            size = args[++i];
        else if (a == u"--out" && i + 1 < args.size())
            outDir = args[++i];
        else if (a == u"--seed" && i + 1 < args.size())
            seed = args[++i].toULongLong();
        else if (a == u"--format" && i + 1 < args.size() &&
                 (args[i + 1] == u"native" || args[i + 1] == u"jet3"))
            format = args[++i] == u"jet3" ? OutputFormat::Jet3 : OutputFormat::Native;
        else if (a == u"--report")
            wantReport = true;
        else {
            usage();
            return 2;
        }
    }
    if (size.isEmpty() || outDir.isEmpty()) {
        usage();
        return 2;
    }
    QTextStream out(stdout);
    QTextStream err(stderr);
    try {
        QElapsedTimer timer;
        timer.start();
        const Seeds seeds = Seeds::load();
        Generator g(seeds, DataSize::byName(size), seed);
        std::vector<TableCount> counts = g.writeDirectory(outDir, format);
        const qint64 directoryMs = timer.elapsed();
        std::vector<TableCount> lists = g.writeReferenceLists(outDir, format);
        counts.insert(counts.end(), lists.begin(), lists.end());
        out << "table\trows\n";
        for (const auto& c : counts)
            out << c.table << '\t' << c.rows << '\n';
        const QString path = QDir(outDir).filePath(QStringLiteral("ordat.mdb"));
        struct stat sb {};
        if (::stat(QFile::encodeName(path).constData(), &sb) == 0)
            out << "ordat.mdb apparent bytes\t" << qint64(sb.st_size) << "\nordat.mdb on-disk bytes\t"
                << qint64(sb.st_blocks) * 512 << '\n';
        out << "directory ms\t" << directoryMs << "\ntotal ms\t" << timer.elapsed() << '\n';
        if (wantReport && format == OutputFormat::Native) report(out, path);
    } catch (const db::Error& e) {
        err << "mkdata: " << e.message() << Qt::endl;
        return 1;
    } catch (const std::exception& e) {
        err << "mkdata: " << e.what() << Qt::endl;
        return 1;
    }
    return 0;
}
