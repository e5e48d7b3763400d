// jetconvert: converts a Jet database (the disc's directory, a reference list,
// an old personal database) into a database of our engine, as the program
// does when it first meets such a file.

#include "Database.h"
#include "DatabaseLogin.h"
#include "Error.h"
#include "JetConversion.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t interrupted = 0;

void usage() {
    std::fputs("usage: jetconvert [--directory] SOURCE TARGET\n"
               "  converts every user table of the Jet file SOURCE into a new database TARGET;\n"
               "  an existing TARGET is never replaced. --directory converts the telephone\n"
               "  directory: it adds the indexes the searches need and secures the copy with\n"
               "  the program's workgroup ordat.mdw in TARGET's folder (made when missing)\n",
               stderr);
}

QString number(qint64 n) {
    return QLocale(QLocale::Czech).toString(n);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList files;
    bool directory = false;
    for (const QString& a : app.arguments().mid(1)) {
        if (a == u"--directory")
            directory = true;
        else if (a.startsWith(u"--")) {
            usage();
            return 2;
        } else
            files << a;
    }
    if (files.size() != 2) {
        usage();
        return 2;
    }
    const QString source = files[0], target = files[1];

    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    QTextStream err(stderr);
    err.setEncoding(QStringConverter::Utf8);

    // Ctrl+C cancels between batches, so that no half-written file stays.
    std::signal(SIGINT, [](int) { interrupted = 1; });
    std::signal(SIGTERM, [](int) { interrupted = 1; });

    const bool terminal = isatty(fileno(stderr));
    QElapsedTimer shown;
    bool lineShown = false;
    auto progress = [&](const db::ConversionStep& step) {
        if (interrupted) return false;
        if (!terminal || (shown.isValid() && shown.elapsed() < 200)) return true;
        shown.start();
        QString line;
        if (step.indexing)
            line = QStringLiteral("Vytvářejí se indexy…");
        else
            line = QStringLiteral("Tabulka %1/%2 %3: %4 z %5 řádků (%6 %)")
                       .arg(step.tableNumber)
                       .arg(step.tables)
                       .arg(step.table, number(step.rowsDone), number(step.rowsTotal))
                       .arg(step.rowsTotal > 0 ? step.rowsDone * 100 / step.rowsTotal : 100);
        // The line is redrawn in place, blanked to the end of the terminal's line.
        err << '\r' << line << "\x1b[K" << Qt::flush;
        lineShown = true;
        return true;
    };
    auto endLine = [&] {
        if (lineShown) err << "\r\x1b[K" << Qt::flush;
    };

    db::Engine engine;
    try {
        std::unique_ptr<db::Workspace> workspace;
        if (directory) {
            const QString mdw = QFileInfo(target).absolutePath() + QStringLiteral("/ordat.mdw");
            if (!QFileInfo::exists(mdw)) db::createLoginWorkgroup(mdw);
            engine.setWorkgroupFile(mdw);
            const db::Login login = db::databaseLogin();
            workspace = engine.openWorkspace(login.user, login.password);
        }
        db::Workspace& ws = workspace ? *workspace : engine.defaultWorkspace();
        const db::ConversionResult result = db::convertJetFile(
            ws, source, target, directory ? db::ConversionKind::Directory : db::ConversionKind::Plain,
            progress);
        endLine();
        if (result.cancelled) {
            err << "Převod byl přerušen; nic nebylo uloženo." << Qt::endl;
            return 130;
        }
        out << "Převedeno do „" << QDir::toNativeSeparators(target) << "“: tabulek " << result.tables
            << ", řádků " << number(result.rows) << '.' << Qt::endl;
        for (const QString& c : result.leftOutColumns)
            out << "Vynechaný sloupec: " << c << Qt::endl;
    } catch (const db::Error& e) {
        endLine();
        err << e.message() << Qt::endl;
        return 1;
    }
    return 0;
}
