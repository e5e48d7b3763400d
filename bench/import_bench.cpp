// Two parts of the import.
//
// Reading an import file for the preview: a generated file of 5 000 contact
// lines (about 1 MB, Windows-1250) is read, decoded and split into cells as the
// import window does it, against a bare loop that only scans its bytes for
// line ends and separators. Prints the median time and MB/s of each.
//
// Posting 500 records (the record limit) into a new personal database through
// the Vlastní page's search, as the import does: each record committed on its
// own, on the personal database opened as the program opens it, against the
// same posts on a database that never waits for the disk (the bare
// reference). --with-old adds one run with every commit flushed to the disk
// (rollback journal, full synchronisation), the setting before the
// write-ahead log. Prints the median time of each and the ratio.
//
//     build/bin/import_bench [--repetitions N] [--utf8] [--with-old]

#include "CodePage.h"
#include "ContactImport.h"
#include "DatabaseLogin.h"
#include "ImportFile.h"
#include "OwnDatabases.h"
#include "PersonalSearch.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QByteArray makeFile(bool utf8) {
    const char* const surnames[] = {"Novák", "Svoboda", "Dvořák", "Černý", "Procházková", "Kučera", "Veselý"};
    const char* const towns[] = {"Praha 4", "Brno-Líšeň", "České Budějovice", "Ústí nad Labem",
                                 "Plzeň; Bory"};
    QString text = QStringLiteral("Jméno;Příjmení;Firma;Ulice;ČP;Obec;PSČ;Telefon;E-mail;Poznámka\r\n");
    // 5 000 lines of about 200 characters: 1 MB.
    for (int i = 0; i < 5000; ++i) {
        const QString surname = QString::fromUtf8(surnames[i % 7]);
        text += QStringLiteral("Jan%1;%2;\"Firma %1, s.r.o.\";Dlouhá třída;%3;\"%4\";%5;+420 (777) %6;"
                               "jan%1@example.cz;Poznámka k záznamu číslo %1 s delším textem, "
                               "který se táhne přes více slov až do konce řádky\r\n")
                    .arg(QString::number(i), surname, QString::number(i % 300 + 1),
                         QString::fromUtf8(towns[i % 5]), QString::number(10000 + i % 89999),
                         QString::number(100000 + i));
    }
    return utf8 ? text.toUtf8() : code_page::toWindows1250(text);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

enum class Durability { Program, Disposable, FullSync };

// 500 records of eight values each, as an import file's rows give them.
QList<io::NewRecord> makeRecords() {
    QList<io::NewRecord> out;
    for (int i = 0; i < 500; ++i) {
        io::NewRecord r;
        const QString n = QString::number(i);
        r.values = {{QStringLiteral("Jmeno_1"), QStringLiteral("Jan") + n},
                    {QStringLiteral("Prijmeni"), QStringLiteral("Dvořák")},
                    {QStringLiteral("Firma"), QStringLiteral("Firma ") + n + QStringLiteral(", s.r.o.")},
                    {QStringLiteral("domu_ulice"), QStringLiteral("Dlouhá třída")},
                    {QStringLiteral("domu_CP"), QString::number(i % 300 + 1)},
                    {QStringLiteral("domu_Obec"), QStringLiteral("České Budějovice")},
                    {QStringLiteral("Tel_1"), QString::number(777000000 + i)},
                    {QStringLiteral("Info"), QStringLiteral("Poznámka k záznamu číslo ") + n}};
        r.addressKind = QStringLiteral("domu");
        out.append(std::move(r));
    }
    return out;
}

// Milliseconds for posting the records into a new personal database; -1 on failure.
double postRecords(const QList<io::NewRecord>& records, Durability durability) {
    QTemporaryDir dir;
    db::Engine engine;
    const QString workgroup = dir.filePath(QStringLiteral("ordat.mdw"));
    db::createLoginWorkgroup(workgroup);
    engine.setWorkgroupFile(workgroup);
    const db::OwnPaths paths = db::OwnPaths::make(dir.path(), dir.path(), QStringLiteral("b"));
    db::createOwnDatabase(engine, paths.personal, paths);
    db::OpenOptions options = db::personalOpenOptions();
    if (durability == Durability::Disposable) options.disposable = true;
    if (durability == Durability::FullSync) options = db::OpenOptions{};
    const db::Login login = db::databaseLogin();
    auto workspace = engine.openWorkspace(login.user, login.password);
    std::unique_ptr<db::Database> personal = workspace->openDatabase(paths.personal, options);
    db::Dataset page;
    db::WorkingDatabase results(engine, db::WorkingKind::PersonalResult, paths, page);
    bool stop = false;
    PersonalSearch search(PersonalSearch::Services{[&] { return personal.get(); }, {}, &stop, {}});
    search.setWorkingDatabase(&results);

    QElapsedTimer t;
    t.start();
    const io::ImportOutcome out = io::postRecords(search, records, 10);
    const double ms = t.nsecsElapsed() / 1e6;
    return out.posted == records.size() && out.error.isEmpty() && out.failure.isEmpty() ? ms : -1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int repetitions = 9;
    bool utf8 = false;
    bool withOld = false;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--repetitions") && i + 1 < args.size())
            repetitions = std::max(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--utf8"))
            utf8 = true;
        else if (args[i] == QLatin1String("--with-old"))
            withOld = true;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kontakty.csv"));
    const QByteArray bytes = makeFile(utf8);
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return 1;
    }
    const double mb = bytes.size() / 1e6;

    std::vector<double> ours, bare;
    qsizetype rows = 0, marks = 0;
    for (int r = 0; r < repetitions + 1; ++r) { // the first round warms the page cache
        QElapsedTimer t;
        t.start();
        const io::ReadResult read = io::readImportFile(path, io::Separator::Semicolon, true);
        const double oursMs = t.nsecsElapsed() / 1e6;
        rows = read.table ? read.table->rows().size() : -1;

        t.restart();
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return 1;
        const QByteArray all = f.readAll();
        qsizetype n = 0;
        for (const char c : all)
            n += (c == ';' || c == '\r' || c == '"');
        const double bareMs = t.nsecsElapsed() / 1e6;
        marks = n;
        if (r > 0) {
            ours.push_back(oursMs);
            bare.push_back(bareMs);
        }
    }
    const double o = median(ours), b = median(bare);
    std::printf("# file: %.2f MB, %s, %lld data rows, %lld marks; median of %d runs\n", mb,
                utf8 ? "UTF-8" : "Windows-1250", static_cast<long long>(rows), static_cast<long long>(marks),
                repetitions);
    std::printf("read_split\t%.2f ms\t%.1f MB/s\n", o, mb / (o / 1000));
    std::printf("bare_scan\t%.2f ms\t%.1f MB/s\n", b, mb / (b / 1000));
    std::printf("ratio\t%.1f\n", o / b);

    const QList<io::NewRecord> records = makeRecords();
    std::vector<double> durable, reference;
    for (int r = 0; r < repetitions + 1; ++r) { // the first round warms up
        const double d = postRecords(records, Durability::Program);
        const double n = postRecords(records, Durability::Disposable);
        if (d < 0 || n < 0) return 1;
        if (r > 0) {
            durable.push_back(d);
            reference.push_back(n);
        }
    }
    const double d = median(durable), n = median(reference);
    std::printf("# %lld records posted one by one into a new personal database; median of %d runs\n",
                static_cast<long long>(records.size()), repetitions);
    std::printf("post_durable\t%.1f ms\t%.2f ms/record\n", d, d / records.size());
    std::printf("post_no_sync\t%.1f ms\t%.2f ms/record\n", n, n / records.size());
    std::printf("ratio\t%.2f\n", d / n);
    if (withOld) {
        const double old = postRecords(records, Durability::FullSync);
        if (old < 0) return 1;
        std::printf("post_full_sync\t%.1f ms\t%.2f ms/record\t(one run)\n", old, old / records.size());
    }
    return rows > 0 ? 0 : 1;
}
