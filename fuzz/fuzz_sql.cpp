// One statement of the Jet dialect (UTF-8) through the whole statement path:
// translated, then run as an action statement or opened and walked as a
// dataset, on a copy of the directory's tables and on a copy of the working
// and personal tables. Every refusal must be a db::Error with a message; the
// connection and the dataset must be left in the state they promise.

#include "FuzzSupport.h"

#include "Database.h"
#include "Dataset.h"
#include "Error.h"
#include "OwnDatabases.h"

namespace {

// The directory's tables, each lookup with a row of no value and a few Czech ones.
void fillDirectory(db::Database& d) {
    auto run = [&](const QString& sql) { d.execute(sql, db::Database::FailOnError); };
    run(QStringLiteral(
        "CREATE TABLE Osoby (ID LONG PRIMARY KEY, ID_Titul LONG, ID_Jmeno LONG, ID_Prijmeni LONG, "
        "ID_Ulice LONG, ID_CP LONG, ID_Obec LONG, ID_Cast LONG, ID_PSC LONG, ID_Poznamka LONG, "
        "ID_UTO LONG, euroISDN LONG, Tel_a LONG, TelExt_a TEXT(12))"));
    run(QStringLiteral(
        "CREATE TABLE Firmy (ID LONG PRIMARY KEY, id_firma LONG, id_poznamka LONG, id_ulice LONG, "
        "id_cp LONG, id_obec LONG, id_cast LONG, id_psc LONG, id_url LONG, id_uto LONG, "
        "euroISDN LONG, Tel_a LONG, TelExt_a TEXT(12))"));
    for (const char* t : {"Osoby_TEL_Navic", "Firmy_TEL_Navic"})
        run(QStringLiteral(
                "CREATE TABLE %1 (ID LONG PRIMARY KEY, EuroISDN LONG, Tel_a LONG, TelExt_a TEXT(12), "
                "Poznamka TEXT(20))")
                .arg(QLatin1String(t)));
    run(QStringLiteral("CREATE TABLE KRAJE (UTO TEXT(5), Kraj TEXT(50))"));
    const std::pair<const char*, QStringList> lookups[] = {
        {"Titul", {QStringLiteral("Ing."), QStringLiteral("MUDr.")}},
        {"Jmeno", {QStringLiteral("Jan"), QStringLiteral("Žofie")}},
        {"Prijmeni", {QStringLiteral("Novák"), QStringLiteral("Dvořák"), QStringLiteral("Chalupa")}},
        {"Firma", {QStringLiteral("Kovo a.s."), QStringLiteral("Šťastný s.r.o.")}},
        {"Ulice", {QStringLiteral("Hlavní"), QStringLiteral("Čs. armády")}},
        {"CP", {QStringLiteral("12"), QStringLiteral("1024/3a")}},
        {"Obec", {QStringLiteral("Praha"), QStringLiteral("Štramberk")}},
        {"Cast", {QStringLiteral("Libeň"), QStringLiteral("Ráj")}},
        {"PSC", {QStringLiteral("18000"), QStringLiteral("74266")}},
        {"Poznamka", {QStringLiteral("fax"), QStringLiteral("EuroISDN")}},
        {"URL", {QStringLiteral("www.kovo.cz")}},
        {"UTO", {QStringLiteral("PHA"), QStringLiteral("NJ")}},
    };
    for (const auto& [table, values] : lookups) {
        const QString t = QLatin1String(table);
        const int size = t == u"PSC" || t == u"UTO" ? 5 : 100;
        run(QStringLiteral("CREATE TABLE %1 (ID LONG PRIMARY KEY, %1 TEXT(%2))").arg(t).arg(size));
        run(QStringLiteral("INSERT INTO %1 (ID, %1) VALUES (1, Null)").arg(t));
        for (int i = 0; i < values.size(); ++i)
            run(QStringLiteral("INSERT INTO %1 (ID, %1) VALUES (%2, \"%3\")")
                    .arg(t)
                    .arg(i + 2)
                    .arg(values[i]));
        d.executeNative(QStringLiteral("CREATE INDEX ix_%1_fold ON \"%1\" (jet_fold(\"%1\"))").arg(t));
    }
    run(QStringLiteral("INSERT INTO Osoby VALUES (1, 2, 2, 2, 2, 2, 2, 2, 2, 1, 2, 1, 2222, '2345678')"));
    run(QStringLiteral("INSERT INTO Osoby VALUES (2, 1, 3, 3, 3, 3, 3, 3, 3, 2, 3, 2, 6011, '1111')"));
    run(QStringLiteral("INSERT INTO Osoby VALUES (3, 3, 2, 4, 1, 1, 3, 1, 1, 3, 1, 3, Null, Null)"));
    run(QStringLiteral("INSERT INTO Firmy VALUES (1, 2, 3, 2, 2, 2, 2, 2, 2, 2, 4, 2222, '999')"));
    run(QStringLiteral("INSERT INTO Firmy VALUES (2, 3, 1, 3, 3, 3, 1, 3, 1, 3, 5, 5555, '0001')"));
    run(QStringLiteral("INSERT INTO Osoby_TEL_Navic VALUES (1, 1, 7777, '12', 'fax')"));
    run(QStringLiteral("INSERT INTO Firmy_TEL_Navic VALUES (1, 4, 8888, Null, Null)"));
    run(QStringLiteral("INSERT INTO KRAJE VALUES ('PHA', 'Hlavní město Praha')"));
    d.executeNative(QStringLiteral("CREATE INDEX ix_osoby_prijmeni ON Osoby (ID_Prijmeni, ID_Obec)"));
    d.executeNative(QStringLiteral("CREATE INDEX ix_firmy_firma ON Firmy (id_firma)"));
}

// The working tables of a persons search and of the personal page, and the
// reference lists of the information page.
void fillWorking(db::Database& d) {
    for (const db::TableDef* t :
         {&db::layouts::persons(), &db::layouts::personsExtra(), &db::layouts::firmsResult(),
          &db::layouts::firmsExtra(), &db::layouts::personalResult()})
        d.defineTable(*t);
    auto run = [&](const QString& sql) { d.execute(sql, db::Database::FailOnError); };
    run(QStringLiteral(
        "INSERT INTO Osoby (Titul, Jmeno, Prijmeni, Ulice, PSC, Obec, Cast, CP, Tel, Poznamka, "
        "euroISDN, Zn, ID) VALUES ('Ing.', 'Jan', 'Novák', 'Hlavní', '18000', 'Praha', 'Libeň', "
        "'12', '222 234 5678', Null, 1, False, 1)"));
    run(QStringLiteral("INSERT INTO Osoby (Jmeno, Prijmeni, Obec, Tel, euroISDN, Zn, ID) VALUES ('Žofie', "
                       "'Dvořák', 'Štramberk', '601 111', 2, True, 2)"));
    run(QStringLiteral("INSERT INTO Osoby_TEL_Navic (Tel, euroISDN, Poznamka) VALUES ('777 712', 1, 'fax')"));
    run(QStringLiteral("INSERT INTO Firmy (Firma, Obec, URL, Tel, euroISDN, Zn, ID) VALUES ('Kovo a.s.', "
                       "'Šternberk', 'www.kovo.cz', '555 500 01', 5, True, 2)"));
    run(QStringLiteral(
        "INSERT INTO vlastni (ID2, Zn, Prijmeni, Jmeno_1, Firma, domu_Obec, Tel_1, Info, zobraz_adr) "
        "VALUES (1, True, 'Čermák', 'Petr', Null, 'Brno', '543 210 000', 'poznámka', 'domu')"));
    run(QStringLiteral(
        "INSERT INTO vlastni (ID2, Zn, Prijmeni, Firma, zam_Obec, [E-mail_1], zobraz_adr) VALUES "
        "(2, False, Null, 'Kovo a.s.', 'Ostrava', 'info@kovo.cz', 'zam')"));
    run(QStringLiteral("CREATE TABLE INET (firma TEXT(100), url TEXT(250))"));
    run(QStringLiteral("INSERT INTO INET VALUES ('Kovo a.s.', 'www.kovo.cz')"));
    run(QStringLiteral("CREATE TABLE ZELINKY (spolecnost TEXT(100), telefon TEXT(20))"));
    run(QStringLiteral("INSERT INTO ZELINKY VALUES ('Linka bezpečí', '800155555')"));
    run(QStringLiteral("CREATE TABLE MP (nazev TEXT(50), cislo TEXT(10))"));
    run(QStringLiteral("INSERT INTO MP VALUES ('Slovensko', '00421')"));
    run(QStringLiteral("CREATE TABLE PSC (kraj TEXT(50), obec TEXT(50), psc TEXT(6), posta TEXT(50))"));
    run(QStringLiteral("INSERT INTO PSC VALUES ('Praha', 'Praha', '18000', 'Praha 8')"));
}

// A text file export writes into "out" beside the databases; its schema.ini
// describes the files the seeds name.
const QByteArray kSchemaIni =
    "[export.txt]\r\nColNameHeader=True\r\nFormat=Delimited(;)\r\nCharacterSet=ANSI\r\n"
    "Col1=Prijmeni Char Width 50\r\nCol2=Tel Char Width 50\r\n\r\n"
    "[out.txt]\r\nFormat=FixedLength\r\nColNameHeader=False\r\nCol1=A Char Width 10\r\n"
    "Col2=B Long Width 5\r\nCol3=C Width 3\r\n\r\n"
    "[out.csv]\r\nFormat=CSVDelimited\r\nCharacterSet=UTF-8\r\n";

// A statement of the fuzzer may ask SQLite for more work than a test can wait
// for (a join of a table with itself twenty times): it is interrupted, which
// must come out as an engine error like any other.
constexpr int kProgressStep = 1000;
constexpr int kProgressBudget = 2000; // steps of kProgressStep instructions per statement
struct Budget {
    int left = kProgressBudget;
    bool spent = false;
};
bool spend(Budget& budget) {
    if (--budget.left > 0) return false;
    budget.spent = true;
    return true;
}

// A database the statements run on, open from one input to the next.
struct Connection {
    QString path;
    std::unique_ptr<db::Database> database;
    Budget budget; // the progress check's, for the statement running
};

struct Fixture {
    fuzz::Session session;
    db::Engine engine;
    std::vector<Connection> connections;
    QString exportFolder;

    Fixture(int* argc, char*** argv) : session(argc, argv) {
        // Relative paths in a statement ("out", "ext.mdb") land in the scratch
        // folder; the fuzzer's own paths must be absolute from here on.
        fuzz::check(QDir::setCurrent(session.folder()), "cannot enter the scratch folder");
        db::OpenOptions options;
        options.disposable = true;
        const std::pair<const char*, void (*)(db::Database&)> files[] = {
            {"ordat.mdb", fillDirectory}, {"work.mdb", fillWorking}, {"ext.mdb", fillWorking}};
        for (const auto& [name, fill] : files) {
            const QString path = session.path(QLatin1String(name));
            auto d = engine.defaultWorkspace().createDatabase(path, db::kCzechLocale, options);
            fill(*d);
            d->close();
            if (QLatin1String(name) != QLatin1String("ext.mdb")) connections.push_back({path, nullptr, {}});
        }
        exportFolder = session.path(QStringLiteral("out"));
        fuzz::check(QDir().mkpath(exportFolder), "cannot make the export folder");
        fuzz::writeFile(exportFolder + QStringLiteral("/schema.ini"), kSchemaIni);
    }
};

Fixture* fixture = nullptr; // for the life of the process

void checkError(const db::Error& e) {
    // To see why the seeds are refused, when choosing them.
    static const bool echo = qEnvironmentVariableIsSet("FUZZ_SQL_ECHO");
    if (echo) std::fprintf(stderr, "  %s\n", qPrintable(e.message()));
    fuzz::check(!e.message().trimmed().isEmpty(), "engine error without a message");
}

// A failed statement keeps the transaction it ran in, unless SQLite gave the
// transaction up itself (an interrupted write).
void checkTransaction(db::Database& d, const Budget& budget) {
    fuzz::check(d.isOpen(), "connection closed by a statement");
    if (!budget.spent)
        fuzz::check(d.transactionDepth() == 1 && !d.engineInAutocommit(), "transaction lost by a statement");
}

void readRow(db::Dataset& ds) {
    if (ds.bof() || ds.eof()) return;
    for (int i = 0; i < ds.fieldCount(); ++i) {
        (void)ds.value(i);
        (void)ds.text(ds.fieldName(i));
    }
}

void walk(db::Dataset& ds, const QString& sql) {
    int read = 0;
    for (; read < 200 && !ds.eof(); ++read) {
        readRow(ds);
        ds.next();
    }
    const bool all = ds.eof();
    ds.last();
    readRow(ds);
    const int rows = ds.recordCount();
    // Counting at the last row must give the rows that moving through gave.
    if (all)
        fuzz::check(rows == read, "count differs from the rows read",
                    QString::number(rows) + u' ' + QString::number(read) + u' ' + sql);
    ds.prior();
    ds.moveBy(-2);
    readRow(ds);
    for (int position : {0, 1, rows - 1, rows})
        for (int field = 0; field < ds.fieldCount(); ++field)
            (void)ds.valueAt(position, field);
    ds.first();
    if (!ds.eof() && ds.fieldCount() > 0) {
        const QVariant v = ds.value(0);
        ds.locate(ds.fieldName(0), v, {true, true});
    }
    if (ds.isUpdatable() && !ds.eof()) {
        ds.edit();
        ds.post();
        // A value of another field, so that types and sizes get checked.
        ds.edit();
        ds.setValue(ds.fieldName(0), ds.value(ds.fieldCount() - 1));
        ds.post();
        ds.append();
        ds.post();
        ds.first();
        ds.remove();
    }
}

void runSelect(db::Database& d, const QString& sql, const Budget& budget) {
    db::Dataset ds;
    ds.setDatabase(&d);
    ds.setSql(sql);
    try {
        ds.open();
    } catch (const db::Error& e) {
        checkError(e);
        fuzz::check(!ds.isOpen() && ds.fieldCount() == 0 && ds.bof() && ds.eof() && ds.recordCount() == 0,
                    "failed open left the dataset open");
        checkTransaction(d, budget);
        return;
    }
    try {
        walk(ds, sql);
    } catch (const db::Error& e) {
        checkError(e);
        if (ds.state() == db::Dataset::State::Edit || ds.state() == db::Dataset::State::Insert) ds.cancel();
        checkTransaction(d, budget);
    }
}

// The files in the export folder besides its schema.ini, removed.
QStringList takeExportFiles() {
    const QStringList files = fuzz::entriesBesides(fixture->exportFolder, {QStringLiteral("schema.ini")});
    for (const QString& name : files)
        QFile::remove(fixture->exportFolder + u'/' + name);
    return files;
}

void runAction(db::Database& d, const QString& sql, int options, const Budget& budget) {
    try {
        d.execute(sql, options);
    } catch (const db::Error& e) {
        checkError(e);
        checkTransaction(d, budget);
        // A failed export leaves neither its file nor a temporary one.
        const QStringList left = takeExportFiles();
        fuzz::check(left.isEmpty(), "failed statement left files", left.join(u' '));
        return;
    }
    const QStringList written = takeExportFiles();
    fuzz::check(written.size() <= 1, "statement wrote several files", written.join(u' '));
}

// Databases attached by a statement ("IN path"), besides main and temp.
bool attachedAny(db::Database& d) {
    return d.queryNative(QStringLiteral("PRAGMA database_list")).size() > 2;
}

// Runs the statement in a transaction that is rolled back afterwards, so the
// connection serves the next input as it was; one that attached databases is
// opened anew, as a fresh connection would be.
void runOn(Connection& c, const QString& sql) {
    if (!c.database) {
        db::OpenOptions options;
        options.disposable = true;
        c.database = fixture->engine.defaultWorkspace().openDatabase(c.path, options);
        c.database->setProgressCheck(kProgressStep, [&budget = c.budget] { return spend(budget); });
    }
    db::Database& d = *c.database;
    c.budget = Budget();
    d.beginTransaction();
    bool select = false;
    try {
        select = d.translate(sql).kind == db::Translation::Kind::Select;
    } catch (const db::Error& e) {
        checkError(e);
        checkTransaction(d, c.budget);
        select = true; // the dataset must refuse it the same way
    }
    if (select) {
        runSelect(d, sql, c.budget);
    } else {
        runAction(d, sql, db::Database::FailOnError, c.budget);
        c.budget = Budget();
        runAction(d, sql, 0, c.budget);
    }
    d.rollback();
    fuzz::check(d.transactionDepth() == 0 && d.engineInAutocommit(), "rollback left a transaction");
    if (attachedAny(d)) c.database.reset();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fixture = new Fixture(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString sql = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    for (Connection& c : fixture->connections)
        runOn(c, sql);
    return 0;
}
