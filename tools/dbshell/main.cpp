// dbshell: a small SQL shell over the database engine, for developers,
// benchmarks and acceptance checks. Reads one statement per line from
// standard input and prints rows as tab-separated text, or with --json each
// row of a select as one JSON object on its own line and nothing else.

#include "Database.h"
#include "DatabaseLogin.h"
#include "Dataset.h"
#include "Error.h"
#include "RowJson.h"
#include "Sqlite.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

void usage() {
    std::fputs(
        "usage: dbshell FILE [--create] [--readonly] [--workgroup MDW --user U --password P] [--timing]\n"
        "               [--json]\n"
        "  reads one statement per line; \".translate STATEMENT\" prints its SQLite text,\n"
        "  \".plan STATEMENT\" the SQLite query plan; --json prints each row of a select as one\n"
        "  JSON object per line and nothing else on standard output\n",
        stderr);
}

QString formatValue(const db::Dataset& ds, int field) {
    const QVariant v = ds.value(field);
    if (v.isNull()) return {};
    // Dates in the Czech form, amounts with their four decimals.
    const db::ColumnType type = ds.fieldType(field);
    if (type == db::ColumnType::DateTime || type == db::ColumnType::Currency)
        return ds.text(ds.fieldName(field));
    if (v.typeId() == QMetaType::Bool) return v.toBool() ? QStringLiteral("-1") : QStringLiteral("0");
    if (v.typeId() == QMetaType::Double)
        return QString::number(v.toDouble(), 'f').remove(QRegularExpression(QStringLiteral("\\.?0+$")));
    return v.toString();
}

bool isSelect(const QString& line) {
    return line.trimmed().startsWith(QLatin1String("select"), Qt::CaseInsensitive) &&
           !line.contains(
               QRegularExpression(QStringLiteral("\\bINTO\\b"), QRegularExpression::CaseInsensitiveOption));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    QString file, workgroup, user, password;
    bool create = false, readOnly = false, userGiven = false, timing = false, json = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&]() -> QString {
            if (i + 1 >= args.size()) {
                usage();
                std::exit(2);
            }
            return args[++i];
        };
        if (a == u"--create")
            create = true;
        else if (a == u"--readonly")
            readOnly = true;
        else if (a == u"--timing")
            timing = true;
        else if (a == u"--json")
            json = true;
        else if (a == u"--workgroup")
            workgroup = value();
        else if (a == u"--user") {
            user = value();
            userGiven = true;
        } else if (a == u"--password")
            password = value();
        else if (a.startsWith(u"--")) {
            usage();
            return 2;
        } else if (file.isEmpty())
            file = a;
        else {
            usage();
            return 2;
        }
    }
    if (file.isEmpty()) {
        usage();
        return 2;
    }

    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    QTextStream err(stderr);
    err.setEncoding(QStringConverter::Utf8);

    db::Engine engine;
    std::unique_ptr<db::Workspace> workspace;
    std::unique_ptr<db::Database> database;
    try {
        if (workgroup.isEmpty()) {
            const QString beside = QFileInfo(file).absolutePath() + QStringLiteral("/ordat.mdw");
            if (QFileInfo::exists(beside)) workgroup = beside;
        }
        if (!workgroup.isEmpty()) engine.setWorkgroupFile(workgroup);
        if (!userGiven) {
            if (!workgroup.isEmpty()) {
                const db::Login login = db::databaseLogin();
                user = login.user;
                password = login.password;
            } else {
                user = QStringLiteral("Admin");
            }
        }
        workspace = engine.openWorkspace(user, password);
        db::OpenOptions options;
        options.readOnly = readOnly;
        if (create) {
            database = workspace->createDatabase(file, db::kCzechLocale);
            if (readOnly) {
                database.reset();
                database = workspace->openDatabase(file, options);
            }
        } else {
            database = workspace->openDatabase(file, options);
        }
    } catch (const db::Error& e) {
        err << "error: " << e.message() << Qt::endl;
        return 1;
    }

    bool failed = false;
    std::string raw;
    while (std::getline(std::cin, raw)) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1String("--"))) continue;
        QElapsedTimer timer;
        timer.start();
        try {
            if (line.startsWith(QLatin1String(".translate ")) || line.startsWith(QLatin1String(".plan "))) {
                // Developer aids: the SQLite text of a statement, or SQLite's plan for it.
                const bool plan = line.startsWith(QLatin1String(".plan "));
                const db::Translation t = database->translate(line.section(u' ', 1));
                for (const QString& s : t.statements) {
                    if (!plan) {
                        out << s << '\n';
                        continue;
                    }
                    db::sqlite::Statement st(database->handle(), QStringLiteral("EXPLAIN QUERY PLAN ") + s);
                    while (st.step())
                        out << st.column(3).toString() << '\n';
                }
            } else if (isSelect(line)) {
                db::Dataset ds;
                ds.setDatabase(database.get());
                ds.setSql(line);
                ds.open();
                if (json) {
                    for (; !ds.eof(); ds.next())
                        out << QString::fromUtf8(db::rowAsJson(ds)) << '\n';
                } else {
                    QStringList header;
                    for (int i = 0; i < ds.fieldCount(); ++i)
                        header << ds.fieldName(i);
                    out << header.join(u'\t') << '\n';
                    int rows = 0;
                    for (; !ds.eof(); ds.next()) {
                        QStringList values;
                        for (int i = 0; i < ds.fieldCount(); ++i)
                            values << formatValue(ds, i);
                        out << values.join(u'\t') << '\n';
                        ++rows;
                    }
                    out << '(' << rows << " rows)" << '\n';
                }
            } else {
                const int n = database->execute(line, db::Database::FailOnError);
                (json ? err : out) << '(' << n << " rows affected)" << '\n';
            }
        } catch (const db::Error& e) {
            out.flush();
            err << "error: " << e.message() << Qt::endl;
            failed = true;
        }
        if (timing) {
            out.flush();
            err << "time: " << QString::number(timer.nsecsElapsed() / 1e6, 'f', 3) << " ms" << Qt::endl;
        }
        out.flush();
    }
    return failed ? 1 : 0;
}
