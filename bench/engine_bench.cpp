// Engine benchmarks: stepping rows through a db::Dataset with a row callback
// against a bare SQLite loop over the same statement, and the translation time
// of the persons search statement. See README.md for how to run and read it.

#include "Database.h"
#include "Dataset.h"
#include "Error.h"
#include "Sqlite.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// ---- statements ------------------------------------------------------------------

// (a) one table.
const QString kOneTableSql =
    QStringLiteral("SELECT TOP 10001 ID, Prijmeni, Jmeno, Obec, Ulice, Telefon FROM Seznam");

// (b) the main table with three lookup tables.
const QString kJoinSql = QStringLiteral(
    "SELECT TOP 10001 Osoby.ID as ID, Jmeno, Prijmeni, Obec, Osoby.Tel_a FROM Jmeno INNER JOIN "
    "(Obec INNER JOIN (Prijmeni INNER JOIN Osoby ON Prijmeni.ID = Osoby.ID_Prijmeni) ON Obec.ID = "
    "Osoby.ID_Obec) "
    "ON Jmeno.ID = Osoby.ID_Jmeno");

// The persons search statement, as the search window builds it.
const QString kPersonsSql =
    QStringList{
        QStringLiteral("SELECT TOP 201 "),
        QStringLiteral("Osoby.ID as ID, Titul, Jmeno, Prijmeni, Ulice, CP, Obec, Cast, PSC, UTO, "
                       "Poznamka.Poznamka, Osoby.euroISDN, "
                       "Osoby.Tel_a, Osoby.TelExt_a FROM UTO INNER JOIN (Ulice INNER JOIN (Titul INNER JOIN "
                       "(PSC INNER JOIN "
                       "(Prijmeni INNER JOIN (Poznamka INNER JOIN (Obec INNER JOIN (Jmeno INNER JOIN (CP "
                       "INNER JOIN (Cast INNER "
                       "JOIN OSOBY ON Cast.ID = OSOBY.ID_Cast) ON CP.ID = OSOBY.ID_CP) ON Jmeno.ID = "
                       "OSOBY.ID_Jmeno) ON Obec.ID = "
                       "OSOBY.ID_Obec) ON Poznamka.ID = OSOBY.ID_Poznamka) ON Prijmeni.ID = "
                       "OSOBY.ID_Prijmeni) ON PSC.ID = "
                       "OSOBY.ID_PSC) ON Titul.ID = OSOBY.ID_Titul) ON Ulice.ID = OSOBY.ID_Ulice) ON UTO.ID "
                       "= OSOBY.ID_UTO "),
        QStringLiteral("WHERE"),
        QStringLiteral("Prijmeni.Prijmeni LIKE \"Nov*\""),
        QStringLiteral("AND Obec.Obec LIKE \"Praha*\""),
    }
        .join(u'\n');

// ---- Czech-ish text ----------------------------------------------------------------

const std::vector<QString> kSurnames = {
    u"Novák"_s,        u"Svoboda"_s,  u"Novotný"_s,  u"Dvořák"_s,   u"Černý"_s,      u"Procházka"_s,
    u"Kučera"_s,       u"Veselý"_s,   u"Horák"_s,    u"Němec"_s,    u"Marek"_s,      u"Pospíšil"_s,
    u"Pokorný"_s,      u"Hájek"_s,    u"Král"_s,     u"Jelínek"_s,  u"Růžička"_s,    u"Beneš"_s,
    u"Fiala"_s,        u"Sedláček"_s, u"Doležal"_s,  u"Zeman"_s,    u"Kolář"_s,      u"Navrátil"_s,
    u"Čermák"_s,       u"Vaněk"_s,    u"Urban"_s,    u"Blažek"_s,   u"Kříž"_s,       u"Kovář"_s,
    u"Bartoš"_s,       u"Vlček"_s,    u"Polák"_s,    u"Musil"_s,    u"Kopecký"_s,    u"Šimek"_s,
    u"Konečný"_s,      u"Malý"_s,     u"Holub"_s,    u"Štěpánek"_s, u"Kadlec"_s,     u"Dostál"_s,
    u"Soukup"_s,       u"Šťastný"_s,  u"Mareš"_s,    u"Moravec"_s,  u"Sýkora"_s,     u"Tichý"_s,
    u"Valenta"_s,      u"Vávra"_s,    u"Matoušek"_s, u"Bláha"_s,    u"Říha"_s,       u"Ševčík"_s,
    u"Bureš"_s,        u"Hruška"_s,   u"Mašek"_s,    u"Pavlík"_s,   u"Dušek"_s,      u"Janda"_s,
    u"Hrubý"_s,        u"Mach"_s,     u"Müller"_s,   u"Staněk"_s,   u"Kratochvíl"_s, u"Lukáš"_s,
    u"Novák-Horský"_s, u"Žák"_s,      u"Ryšavý"_s,   u"Šebesta"_s,
};
const std::vector<QString> kFirstNamesMale = {
    u"Jan"_s,   u"Petr"_s,     u"Josef"_s,     u"Pavel"_s,  u"Jaroslav"_s, u"Martin"_s, u"Tomáš"_s,
    u"Jiří"_s,  u"Miroslav"_s, u"František"_s, u"Zdeněk"_s, u"Václav"_s,   u"Michal"_s, u"Karel"_s,
    u"Milan"_s, u"Vladimír"_s, u"Lukáš"_s,     u"David"_s,  u"Jakub"_s,    u"Ondřej"_s,
};
const std::vector<QString> kFirstNamesFemale = {
    u"Marie"_s,  u"Jana"_s,  u"Eva"_s,      u"Hana"_s,   u"Anna"_s,      u"Lenka"_s,    u"Kateřina"_s,
    u"Věra"_s,   u"Lucie"_s, u"Alena"_s,    u"Petra"_s,  u"Jaroslava"_s, u"Ludmila"_s,  u"Helena"_s,
    u"Zdeňka"_s, u"Jitka"_s, u"Veronika"_s, u"Tereza"_s, u"Martina"_s,   u"Michaela"_s,
};
const std::vector<QString> kTowns = {
    u"Praha 1"_s,
    u"Praha 2"_s,
    u"Praha 3"_s,
    u"Praha 4"_s,
    u"Praha 5"_s,
    u"Praha 6"_s,
    u"Praha 8"_s,
    u"Praha 10"_s,
    u"Brno"_s,
    u"Ostrava"_s,
    u"Plzeň"_s,
    u"Liberec"_s,
    u"Olomouc"_s,
    u"České Budějovice"_s,
    u"Hradec Králové"_s,
    u"Ústí nad Labem"_s,
    u"Pardubice"_s,
    u"Zlín"_s,
    u"Havířov"_s,
    u"Kladno"_s,
    u"Most"_s,
    u"Opava"_s,
    u"Frýdek-Místek"_s,
    u"Karviná"_s,
    u"Jihlava"_s,
    u"Teplice"_s,
    u"Děčín"_s,
    u"Karlovy Vary"_s,
    u"Chomutov"_s,
    u"Jablonec nad Nisou"_s,
    u"Mladá Boleslav"_s,
    u"Prostějov"_s,
    u"Přerov"_s,
    u"Česká Lípa"_s,
    u"Třebíč"_s,
    u"Třinec"_s,
    u"Tábor"_s,
    u"Znojmo"_s,
    u"Příbram"_s,
    u"Kolín"_s,
    u"Cheb"_s,
    u"Písek"_s,
    u"Trutnov"_s,
    u"Kroměříž"_s,
    u"Vsetín"_s,
    u"Šumperk"_s,
    u"Uherské Hradiště"_s,
    u"Břeclav"_s,
    u"Hodonín"_s,
    u"Litoměřice"_s,
    u"Havlíčkův Brod"_s,
    u"Nový Jičín"_s,
    u"Chrudim"_s,
    u"Strakonice"_s,
    u"Valašské Meziříčí"_s,
    u"Žďár nad Sázavou"_s,
};
const std::vector<QString> kStreets = {
    u"Nádražní"_s,     u"Školní"_s,   u"Husova"_s,     u"Palackého"_s, u"Komenského"_s,
    u"Masarykova"_s,   u"Žižkova"_s,  u"Sokolská"_s,   u"Zahradní"_s,  u"Lesní"_s,
    u"Polní"_s,        u"Krátká"_s,   u"Družstevní"_s, u"Smetanova"_s, u"Tyršova"_s,
    u"Jiráskova"_s,    u"Nerudova"_s, u"Havlíčkova"_s, u"Riegrova"_s,  u"Československé armády"_s,
    u"Náměstí Míru"_s, u"U Potoka"_s, u"Na Výsluní"_s, u"K Rybníku"_s,
};
const std::vector<QString> kTitles = {u""_s,      u"Ing."_s,  u"Mgr."_s, u"MUDr."_s,
                                      u"JUDr."_s, u"PhDr."_s, u"Bc."_s};
const std::vector<QString> kDistricts = {
    u"Staré Město"_s, u"Nové Město"_s, u"Vinohrady"_s,    u"Žižkov"_s, u"Smíchov"_s, u"Karlín"_s,
    u"Libeň"_s,       u"Dejvice"_s,    u"Královo Pole"_s, u"Poruba"_s, u"Slovany"_s, u"Vratislavice"_s};
const std::vector<QString> kNotes = {u"fax"_s,      u"záznamník"_s, u"ordinace"_s, u"byt"_s,
                                     u"kancelář"_s, u"prodejna"_s,  u"dílna"_s,    u"chata"_s};
const std::vector<std::pair<QString, QString>> kRegions = {
    {u"CZ010"_s, u"Hlavní město Praha"_s}, {u"CZ020"_s, u"Středočeský kraj"_s},
    {u"CZ031"_s, u"Jihočeský kraj"_s},     {u"CZ032"_s, u"Plzeňský kraj"_s},
    {u"CZ041"_s, u"Karlovarský kraj"_s},   {u"CZ042"_s, u"Ústecký kraj"_s},
    {u"CZ051"_s, u"Liberecký kraj"_s},     {u"CZ052"_s, u"Královéhradecký kraj"_s},
    {u"CZ053"_s, u"Pardubický kraj"_s},    {u"CZ063"_s, u"Kraj Vysočina"_s},
    {u"CZ064"_s, u"Jihomoravský kraj"_s},  {u"CZ071"_s, u"Olomoucký kraj"_s},
    {u"CZ072"_s, u"Zlínský kraj"_s},       {u"CZ080"_s, u"Moravskoslezský kraj"_s},
};

// The female form of a Czech surname (Novák → Nováková, Novotný → Novotná).
QString femaleForm(const QString& s) {
    if (s.endsWith(u'ý')) return s.chopped(1) + u'á';
    if (s.endsWith(u'a')) return s.chopped(1) + u"ová"_s;
    if (s.endsWith(u"ek")) return s.chopped(2) + u"ková"_s;
    if (s.endsWith(u"ec")) return s.chopped(2) + u"cová"_s;
    return s + u"ová"_s;
}

// ---- the fixture -------------------------------------------------------------------

constexpr int kMainRows = 20000;

// A bulk insert through the engine's connection, below the dialect.
class Inserter {
  public:
    Inserter(db::Database& d, const QString& sql) : m_st(d.handle(), sql) {}
    Inserter& text(int i, const QString& s) {
        m_st.bind(i, s);
        return *this;
    }
    Inserter& integer(int i, qint64 v) {
        m_st.bind(i, v);
        return *this;
    }
    void run() {
        m_st.step();
        m_st.reset();
    }

  private:
    db::sqlite::Statement m_st;
};

struct Fixture {
    QTemporaryDir dir;
    db::Engine engine;
    std::unique_ptr<db::Database> db; // read-only
    double buildMs = 0;

    Fixture() {
        if (!dir.isValid()) throw std::runtime_error("no temporary directory");
        QElapsedTimer timer;
        timer.start();
        const QString path = dir.filePath(QStringLiteral("seznam.mdb"));
        {
            auto w = engine.defaultWorkspace().createDatabase(path, db::kCzechLocale);
            createTables(*w);
            fill(*w);
            w->close();
        }
        db::OpenOptions ro;
        ro.readOnly = true;
        db = engine.defaultWorkspace().openDatabase(path, ro);
        buildMs = double(timer.nsecsElapsed()) / 1e6;
    }

    static void createTables(db::Database& d) {
        // (a) a flat table.
        d.execute(
            QStringLiteral("CREATE TABLE Seznam (ID COUNTER PRIMARY KEY, Prijmeni TEXT(50), Jmeno TEXT(30), "
                           "Obec TEXT(50), Ulice TEXT(60), PSC TEXT(6), Telefon LONG)"),
            db::Database::FailOnError);
        // (b) and the persons statement: the main table and its lookup tables.
        d.execute(QStringLiteral(
                      "CREATE TABLE Osoby (ID LONG PRIMARY KEY, ID_Titul LONG, ID_Jmeno LONG, "
                      "ID_Prijmeni LONG, ID_Ulice LONG, ID_CP LONG, ID_Obec LONG, ID_Cast LONG, ID_PSC LONG, "
                      "ID_Poznamka LONG, ID_UTO LONG, euroISDN LONG, Tel_a LONG, TelExt_a TEXT(10))"),
                  db::Database::FailOnError);
        for (const char* t :
             {"Titul", "Jmeno", "Prijmeni", "Ulice", "CP", "Obec", "Cast", "PSC", "Poznamka", "UTO"})
            d.execute(
                QStringLiteral("CREATE TABLE %1 (ID LONG PRIMARY KEY, %1 TEXT(100))").arg(QLatin1String(t)),
                db::Database::FailOnError);
        d.execute(QStringLiteral("CREATE TABLE KRAJE (UTO TEXT(5), Kraj TEXT(50))"),
                  db::Database::FailOnError);
        for (const char* c : {"ID_Prijmeni", "ID_Obec", "ID_Jmeno", "ID_Ulice"})
            d.execute(QStringLiteral("CREATE INDEX %1 ON Osoby (%1)").arg(QLatin1String(c)),
                      db::Database::FailOnError);
    }

    static void fillLookup(db::Database& d, const char* table, const std::vector<QString>& values) {
        Inserter ins(
            d,
            QStringLiteral("INSERT INTO \"%1\" (\"ID\", \"%1\") VALUES (?1, ?2)").arg(QLatin1String(table)));
        for (size_t i = 0; i < values.size(); ++i)
            ins.integer(1, qint64(i + 1)).text(2, values[i]).run();
    }

    static void fill(db::Database& d) {
        std::mt19937 rng(20240501u);
        auto pick = [&rng](size_t n) { return size_t(std::uniform_int_distribution<size_t>(0, n - 1)(rng)); };

        std::vector<QString> surnames;
        for (const QString& s : kSurnames) {
            surnames.push_back(s);
            surnames.push_back(femaleForm(s));
        }
        std::vector<QString> firstNames = kFirstNamesMale;
        firstNames.insert(firstNames.end(), kFirstNamesFemale.begin(), kFirstNamesFemale.end());
        std::vector<QString> houseNumbers, postCodes, exchanges;
        for (int i = 1; i <= 400; ++i)
            houseNumbers.push_back(i % 7 == 0 ? QStringLiteral("%1/%2").arg(i * 3).arg(i % 40 + 1)
                                              : QString::number(i));
        for (int i = 0; i < 300; ++i)
            postCodes.push_back(
                QStringLiteral("%1 %2").arg(100 + i * 2).arg(i % 90 + 10, 2, 10, QChar(u'0')));
        for (const auto& r : kRegions)
            exchanges.push_back(r.first);

        d.beginTransaction();
        fillLookup(d, "Titul", kTitles);
        fillLookup(d, "Jmeno", firstNames);
        fillLookup(d, "Prijmeni", surnames);
        fillLookup(d, "Ulice", kStreets);
        fillLookup(d, "CP", houseNumbers);
        fillLookup(d, "Obec", kTowns);
        fillLookup(d, "Cast", kDistricts);
        fillLookup(d, "PSC", postCodes);
        fillLookup(d, "Poznamka", kNotes);
        fillLookup(d, "UTO", exchanges);
        {
            Inserter ins(d, QStringLiteral("INSERT INTO \"KRAJE\" (\"UTO\", \"Kraj\") VALUES (?1, ?2)"));
            for (const auto& [uto, kraj] : kRegions)
                ins.text(1, uto).text(2, kraj).run();
        }
        {
            Inserter ins(d, QStringLiteral("INSERT INTO \"Osoby\" (\"ID\", \"ID_Titul\", \"ID_Jmeno\", "
                                           "\"ID_Prijmeni\", \"ID_Ulice\", "
                                           "\"ID_CP\", \"ID_Obec\", \"ID_Cast\", \"ID_PSC\", "
                                           "\"ID_Poznamka\", \"ID_UTO\", \"euroISDN\", "
                                           "\"Tel_a\", \"TelExt_a\") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, "
                                           "?9, ?10, ?11, ?12, ?13, "
                                           "?14)"));
            for (int i = 1; i <= kMainRows; ++i) {
                const bool female = pick(2) == 1;
                const size_t base = pick(kSurnames.size());
                ins.integer(1, i)
                    .integer(2, qint64(pick(4) == 0 ? pick(kTitles.size()) + 1 : 1))
                    .integer(3, qint64(female ? kFirstNamesMale.size() + pick(kFirstNamesFemale.size())
                                              : pick(kFirstNamesMale.size())) +
                                    1)
                    .integer(4, qint64(2 * base + (female ? 1 : 0)) + 1)
                    .integer(5, qint64(pick(kStreets.size())) + 1)
                    .integer(6, qint64(pick(houseNumbers.size())) + 1)
                    .integer(7, qint64(pick(kTowns.size())) + 1)
                    .integer(8, qint64(pick(kDistricts.size())) + 1)
                    .integer(9, qint64(pick(postCodes.size())) + 1)
                    .integer(10, qint64(pick(kNotes.size())) + 1)
                    .integer(11, qint64(pick(exchanges.size())) + 1)
                    .integer(12, pick(10) == 0 ? 1 : 0)
                    .integer(13, 200000000 + qint64(pick(700000000)));
                if (pick(20) == 0) ins.text(14, QString::number(100 + pick(900)));
                ins.run();
            }
        }
        {
            Inserter ins(d, QStringLiteral("INSERT INTO \"Seznam\" (\"Prijmeni\", \"Jmeno\", \"Obec\", "
                                           "\"Ulice\", \"PSC\", \"Telefon\") "
                                           "VALUES (?1, ?2, ?3, ?4, ?5, ?6)"));
            for (int i = 1; i <= kMainRows; ++i) {
                const bool female = pick(2) == 1;
                const QString& s = kSurnames[pick(kSurnames.size())];
                ins.text(1, female ? femaleForm(s) : s)
                    .text(2, female ? kFirstNamesFemale[pick(kFirstNamesFemale.size())]
                                    : kFirstNamesMale[pick(kFirstNamesMale.size())])
                    .text(3, kTowns[pick(kTowns.size())])
                    .text(4, kStreets[pick(kStreets.size())] + u' ' + houseNumbers[pick(houseNumbers.size())])
                    .text(5, postCodes[pick(postCodes.size())])
                    .integer(6, 200000000 + qint64(pick(700000000)))
                    .run();
            }
        }
        d.commit();
    }
};

Fixture* g_fixture = nullptr;

// ---- stepping ----------------------------------------------------------------------

// Through the engine: open (translate + prepare), step to the end with the
// row callback reading three fields by name, close.
void stepDataset(benchmark::State& state, const QString& jet) {
    db::Database* d = g_fixture->db.get();
    qint64 rows = 0;
    qint64 sink = 0;
    for (auto _ : state) {
        db::Dataset ds;
        ds.setDatabase(d);
        ds.setSql(jet);
        ds.setRowCallback([&sink](db::Dataset& r) {
            sink += r.text(QStringLiteral("Prijmeni")).size();
            sink += r.text(QStringLiteral("Obec")).size();
            sink += r.value(QStringLiteral("ID")).toLongLong();
        });
        ds.open();
        while (!ds.eof())
            ds.next();
        rows += ds.recordCount();
        ds.close();
    }
    benchmark::DoNotOptimize(sink);
    state.SetItemsProcessed(rows);
    state.counters["rows"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}

// Bare SQLite: the statement the engine runs, prepared, stepped and finalized
// on the same connection, reading the same three columns. With toQString the
// two texts are also converted to QString, as any QString-returning API must:
// the floor for a dataset whose text() returns QString.
void stepBare(benchmark::State& state, const QString& jet, bool toQString) {
    db::Database* d = g_fixture->db.get();
    const db::Translation tr = d->translate(jet);
    const QByteArray sql = tr.statements.first().toUtf8();
    const int cPrijmeni = int(tr.columnNames.indexOf(QStringLiteral("Prijmeni")));
    const int cObec = int(tr.columnNames.indexOf(QStringLiteral("Obec")));
    const int cId = int(tr.columnNames.indexOf(QStringLiteral("ID")));
    if (cPrijmeni < 0 || cObec < 0 || cId < 0) {
        state.SkipWithError("result columns not found");
        return;
    }
    qint64 rows = 0;
    qint64 sink = 0;
    try {
        for (auto _ : state) {
            db::sqlite::Statement st(d->handle(), QByteArrayView(sql));
            while (st.step()) {
                const char* p = st.columnUtf8(cPrijmeni);
                if (toQString) {
                    const QString ps = QString::fromUtf8(p, st.columnBytes(cPrijmeni));
                    const QString os = QString::fromUtf8(st.columnUtf8(cObec), st.columnBytes(cObec));
                    sink += ps.size() + os.size();
                } else {
                    const char* o = st.columnUtf8(cObec);
                    benchmark::DoNotOptimize(p);
                    benchmark::DoNotOptimize(o);
                }
                sink += st.columnInt(cId);
                ++rows;
            }
        }
    } catch (const db::Error& e) {
        state.SkipWithError(qPrintable(e.message()));
    }
    benchmark::DoNotOptimize(sink);
    state.SetItemsProcessed(rows);
    state.counters["rows"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}

// ---- translation -------------------------------------------------------------------

// Parse + emit with the table metadata already cached in the Database.
void translateWarm(benchmark::State& state) {
    db::Database* d = g_fixture->db.get();
    benchmark::DoNotOptimize(d->translate(kPersonsSql)); // loads the metadata once
    for (auto _ : state) {
        db::Translation t = d->translate(kPersonsSql);
        benchmark::DoNotOptimize(t.statements);
    }
}

// The same with the metadata dropped before every translation (as after a
// schema change, or on a freshly opened database).
void translateCold(benchmark::State& state) {
    db::Database* d = g_fixture->db.get();
    for (auto _ : state) {
        d->invalidateSchema();
        db::Translation t = d->translate(kPersonsSql);
        benchmark::DoNotOptimize(t.statements);
    }
}

// ---- reporting ---------------------------------------------------------------------

// The console reporter, also keeping each benchmark's median CPU time (µs).
class SummaryReporter : public benchmark::ConsoleReporter {
  public:
    explicit SummaryReporter(OutputOptions o) : ConsoleReporter(o) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.error_occurred) continue;
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                medians[r.run_name.function_name] =
                    r.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(r.time_unit) * 1e6;
        }
    }
    std::map<std::string, double> medians;
};

struct Pair {
    const char* name;
    const char* first;  // the engine (stepping) or the cold figure (translation)
    const char* second; // the baseline (stepping) or the warm figure (translation)
};

} // namespace

int main(int argc, char** argv) {
    // Repetitions of different benchmarks run interleaved in random order by
    // default, so that a slow spell of the machine does not fall on one side of
    // a ratio only; a later --benchmark_enable_random_interleaving=false wins.
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    bool printSql = false;
    std::vector<char*> args{argv[0], interleave};
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--print_sql") == 0)
            printSql = true;
        else
            args.push_back(argv[i]);
    }
    int args_count = int(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&args_count, args.data());
    if (benchmark::ReportUnrecognizedArguments(args_count, args.data())) return 1;

    try {
        g_fixture = new Fixture;
    } catch (const std::exception& e) {
        std::cerr << "engine_bench: cannot build the fixture: " << e.what() << '\n';
        return 1;
    }
    std::cerr << "fixture: " << kMainRows << " rows per main table, built in " << g_fixture->buildMs
              << " ms\n";
    if (printSql) {
        for (const QString* s : {&kOneTableSql, &kJoinSql, &kPersonsSql})
            std::cerr << "\n-- Jet:\n"
                      << s->toStdString() << "\n-- SQLite:\n"
                      << g_fixture->db->translate(*s).statements.first().toStdString() << '\n';
        std::cerr << '\n';
    }

    auto configure = [](benchmark::internal::Benchmark* b) {
        b->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
    };
    configure(benchmark::RegisterBenchmark("step/one_table/dataset", stepDataset, kOneTableSql));
    configure(benchmark::RegisterBenchmark("step/one_table/bare", stepBare, kOneTableSql, false));
    configure(benchmark::RegisterBenchmark("step/one_table/bare_qstring", stepBare, kOneTableSql, true));
    configure(benchmark::RegisterBenchmark("step/join4/dataset", stepDataset, kJoinSql));
    configure(benchmark::RegisterBenchmark("step/join4/bare", stepBare, kJoinSql, false));
    configure(benchmark::RegisterBenchmark("step/join4/bare_qstring", stepBare, kJoinSql, true));
    configure(benchmark::RegisterBenchmark("translate/persons/warm", translateWarm));
    configure(benchmark::RegisterBenchmark("translate/persons/cold", translateCold));

    SummaryReporter reporter(isatty(fileno(stdout)) ? benchmark::ConsoleReporter::OO_ColorTabular
                                                    : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    // One line per pair: name, first median, second median, ratio (CPU time, µs).
    // The stepping goal: dataset/bare at most 1.5.
    const std::array<Pair, 5> pairs = {{
        {"step/one_table dataset/bare", "step/one_table/dataset", "step/one_table/bare"},
        {"step/join4 dataset/bare", "step/join4/dataset", "step/join4/bare"},
        {"step/one_table dataset/bare_qstring", "step/one_table/dataset", "step/one_table/bare_qstring"},
        {"step/join4 dataset/bare_qstring", "step/join4/dataset", "step/join4/bare_qstring"},
        {"translate/persons cold/warm", "translate/persons/cold", "translate/persons/warm"},
    }};
    bool header = false;
    for (const Pair& p : pairs) {
        auto a = reporter.medians.find(p.first);
        auto b = reporter.medians.find(p.second);
        if (a == reporter.medians.end() || b == reporter.medians.end()) continue;
        if (!header) {
            std::printf("\n# pair\tfirst median (us)\tsecond median (us)\tratio\n");
            header = true;
        }
        std::printf("%s\t%.1f\t%.1f\t%.2f\n", p.name, a->second, b->second, a->second / b->second);
    }
    std::fflush(stdout);

    delete g_fixture;
    return 0;
}
