#include "DatabaseLogin.h"
#include "OwnDatabases.h"
#include "StorageFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

using db::ColumnType;
using db::Dataset;
using db::WorkingKind;
using storage_test::count;

Q_DECLARE_METATYPE(db::WorkingKind)
Q_DECLARE_METATYPE(QList<db::TableDef>)

namespace {
const QStringList kPersonalFields = {
    "ID",       "ID2",        "Zn",        "Titul_1",    "Jmeno_1",   "Prijmeni",  "Firma",
    "Funkce",   "ICO",        "DIC",       "domu_ulice", "domu_CP",   "domu_Obec", "domu_Cast",
    "domu_PSC", "domu_Stat",  "zam_ulice", "zam_CP",     "zam_Obec",  "zam_Cast",  "zam_PSC",
    "zam_Stat", "jine_ulice", "jine_CP",   "jine_Obec",  "jine_Cast", "jine_PSC",  "jine_Stat",
    "Internet", "E-mail_1",   "E-mail_2",  "E-mail_3",   "Tel_1",     "Tel_2",     "Tel_3",
    "Tel_4",    "Tel_5",      "Tel_6",     "Info",       "zobraz_adr"};

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QStringList fieldNames(const db::TableInfo& t) {
    QStringList names;
    for (const auto& c : t.columns)
        names << c.name;
    return names;
}
} // namespace

class TestOwnDatabases : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void cleanup();
    void personalDatabase();
    void personalTablesAsDefined_data();
    void personalTablesAsDefined();
    void journalModeOfNewFile_data();
    void journalModeOfNewFile();
    void workingLayouts_data();
    void workingLayouts();
    void unknownPath_data();
    void unknownPath();
    void recreate_data();
    void recreate();
    void failedCreation_data();
    void failedCreation();
    void existingFileKept();
    void staleJournalDropped();
    void staleLogDropped();

  private:
    QString pathOf(WorkingKind kind) const {
        switch (kind) {
        case WorkingKind::PersonsResult:
            return m_paths.personsResult;
        case WorkingKind::FirmsResult:
            return m_paths.firmsResult;
        case WorkingKind::PersonalResult:
            return m_paths.personalResult;
        case WorkingKind::PersonsBuffer:
            return m_paths.personsBuffer;
        case WorkingKind::FirmsBuffer:
            return m_paths.firmsBuffer;
        }
        return {};
    }

    QTemporaryDir m_dir;
    db::Engine m_engine;
    db::OwnPaths m_paths;
};

void TestOwnDatabases::initTestCase() {
    QVERIFY(m_dir.isValid());
    const QString workgroup = m_dir.filePath(QStringLiteral("ordat.mdw"));
    db::createLoginWorkgroup(workgroup);
    m_engine.setWorkgroupFile(workgroup);
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("program/DATA")));
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("scratch")));
    m_paths = db::OwnPaths::make(m_dir.filePath(QStringLiteral("program/DATA")),
                                 m_dir.filePath(QStringLiteral("scratch")), QStringLiteral("1234"));
}

void TestOwnDatabases::cleanup() {
    for (const QString& p : {m_paths.personal, m_paths.personsResult, m_paths.firmsResult,
                             m_paths.personalResult, m_paths.personsBuffer, m_paths.firmsBuffer})
        db::removeDatabaseFile(p);
}

void TestOwnDatabases::personalDatabase() {
    db::createOwnDatabase(m_engine, m_paths.personal, m_paths);
    const db::Login login = db::databaseLogin();
    auto d = m_engine.openWorkspace(login.user, login.password)->openDatabase(m_paths.personal);
    QCOMPARE(d->tableNames(), QStringList{QStringLiteral("Vlastni")});
    QCOMPARE(d->locale(), db::kCzechLocale);
    auto table = d->findTable(QStringLiteral("vlastni"), QString());
    QVERIFY(table);
    QCOMPARE(fieldNames(table->info), kPersonalFields);
    // Types as the program uses them; text sizes as the layout declares them.
    const db::TableDef& layout = db::layouts::personal();
    QCOMPARE(layout.fields.size(), table->info.columns.size());
    for (int i = 0; i < layout.fields.size(); ++i) {
        const db::ColumnInfo& c = table->info.columns[i];
        const ColumnType expected = c.name == u"ID"     ? ColumnType::Counter
                                    : c.name == u"ID2"  ? ColumnType::Long
                                    : c.name == u"Zn"   ? ColumnType::Boolean
                                    : c.name == u"Info" ? ColumnType::Memo
                                                        : ColumnType::Text;
        QVERIFY2(c.type == expected, qPrintable(c.name));
        QCOMPARE(c.size, expected == ColumnType::Text ? layout.fields[i].size : 0);
    }
    QCOMPARE(count(*d, "Vlastni"), 0);

    // A contact goes in through a dataset, hyphenated names included.
    Dataset ds;
    ds.setDatabase(d.get());
    ds.setSql("SELECT * FROM Vlastni");
    ds.open();
    ds.append();
    storage_test::postValues(
        ds, {{"ID2", 1}, {"E-mail_1", "rerichackova@example.cz"}, {"Info", QString(5000, u'ž')}});
    QCOMPARE(ds.value("ID").toInt(), 1);
    QCOMPARE(ds.value("Zn"), QVariant(false));
    QCOMPARE(count(*d, "Vlastni WHERE [E-mail_1] = 'rerichackova@example.cz'"), 1);
}

// The personal database is made in the mode it is opened in (with the log), so
// that the first open need not rewrite it; the working databases are not. The
// file stands alone: nothing of its making is left beside it.
void TestOwnDatabases::journalModeOfNewFile_data() {
    QTest::addColumn<bool>("personal");
    QTest::addColumn<int>("formatVersion"); // header bytes 18 and 19: 1 rollback journal, 2 log
    QTest::newRow("personal") << true << 2;
    QTest::newRow("persons result") << false << 1;
}

void TestOwnDatabases::journalModeOfNewFile() {
    QFETCH(bool, personal);
    QFETCH(int, formatVersion);
    const QString path = personal ? m_paths.personal : m_paths.personsResult;
    db::createOwnDatabase(m_engine, path, m_paths);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray header = file.read(20);
    QCOMPARE(int(header.at(18)), formatVersion);
    QCOMPARE(int(header.at(19)), formatVersion);
    QCOMPARE(filesIn(QFileInfo(path).absolutePath()), QStringList{QFileInfo(path).fileName()});

    const db::Login login = db::databaseLogin();
    auto d = m_engine.openWorkspace(login.user, login.password)
                 ->openDatabase(path, personal ? db::personalOpenOptions() : db::OpenOptions{});
    QCOMPARE(count(*d, personal ? "Vlastni" : "Osoby"), 0);
}

// The statements that create the two personal tables, as the files keep them:
// every column's name, type and size in order.
void TestOwnDatabases::personalTablesAsDefined_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("columns");
    QTest::newRow("Vlastni")
        << m_paths.personal << "Vlastni"
        << QString(
               "ID:COUNTER ID2:LONG Zn:BIT Titul_1:TEXT(30) Jmeno_1:TEXT(30) Prijmeni:TEXT(50) "
               "Firma:TEXT(100) Funkce:TEXT(100) ICO:TEXT(30) DIC:TEXT(30) domu_ulice:TEXT(250) "
               "domu_CP:TEXT(50) domu_Obec:TEXT(50) domu_Cast:TEXT(50) domu_PSC:TEXT(6) "
               "domu_Stat:TEXT(50) zam_ulice:TEXT(250) zam_CP:TEXT(50) zam_Obec:TEXT(50) "
               "zam_Cast:TEXT(50) zam_PSC:TEXT(6) zam_Stat:TEXT(50) jine_ulice:TEXT(250) jine_CP:TEXT(50) "
               "jine_Obec:TEXT(50) jine_Cast:TEXT(50) jine_PSC:TEXT(6) jine_Stat:TEXT(50) "
               "Internet:TEXT(250) E-mail_1:TEXT(250) E-mail_2:TEXT(250) E-mail_3:TEXT(250) "
               "Tel_1:TEXT(50) Tel_2:TEXT(50) Tel_3:TEXT(50) Tel_4:TEXT(50) Tel_5:TEXT(50) Tel_6:TEXT(50) "
               "Info:LONGTEXT zobraz_adr:TEXT(6)");
    QTest::newRow("vlastni")
        << m_paths.personalResult << "vlastni"
        << QString(
               "ID:COUNTER ID2:LONG Zn:BIT Titul_1:TEXT(30) Jmeno_1:TEXT(30) Prijmeni:TEXT(50) "
               "Firma:TEXT(100) Funkce:TEXT(100) ICO:TEXT(30) DIC:TEXT(30) Ulice:TEXT(250) CP:TEXT(50) "
               "Obec:TEXT(50) Cast:TEXT(50) PSC:TEXT(6) Stat:TEXT(50) domu_ulice:TEXT(250) "
               "domu_CP:TEXT(50) domu_Obec:TEXT(50) domu_Cast:TEXT(50) domu_PSC:TEXT(6) "
               "domu_Stat:TEXT(50) zam_ulice:TEXT(250) zam_CP:TEXT(50) zam_Obec:TEXT(50) "
               "zam_Cast:TEXT(50) zam_PSC:TEXT(6) zam_Stat:TEXT(50) jine_ulice:TEXT(250) jine_CP:TEXT(50) "
               "jine_Obec:TEXT(50) jine_Cast:TEXT(50) jine_PSC:TEXT(6) jine_Stat:TEXT(50) "
               "Internet:TEXT(250) E-mail_1:TEXT(250) E-mail_2:TEXT(250) E-mail_3:TEXT(250) "
               "Tel_1:TEXT(50) Tel_2:TEXT(50) Tel_3:TEXT(50) Tel_4:TEXT(50) Tel_5:TEXT(50) Tel_6:TEXT(50) "
               "zobraz_adr:TEXT(6) Info:LONGTEXT");
}

void TestOwnDatabases::personalTablesAsDefined() {
    QFETCH(QString, path);
    QFETCH(QString, table);
    db::createOwnDatabase(m_engine, path, m_paths);
    db::OpenOptions readOnly;
    readOnly.readOnly = true;
    const QString sql =
        m_engine.defaultWorkspace()
            .openDatabase(path, readOnly)
            ->queryNative(QStringLiteral("SELECT sql FROM sqlite_schema WHERE name = ?1"), {table})
            .value(0)
            .value(0)
            .toString();
    static const QRegularExpression column(
        QStringLiteral(R"re("([A-Za-z0-9_-]+)" (COUNTER|LONGTEXT|LONG|BIT|TEXT\([0-9]+\)))re"));
    QStringList found;
    for (const QRegularExpressionMatch& m : column.globalMatch(sql))
        found << m.captured(1) + u':' + m.captured(2);
    QTEST(found.join(u' '), "columns");
}

void TestOwnDatabases::workingLayouts_data() {
    QTest::addColumn<WorkingKind>("kind");
    QTest::addColumn<QStringList>("tables");
    QTest::addColumn<QList<int>>("fieldCounts");
    QTest::addColumn<QStringList>("present"); // Table.Field@position
    QTest::addColumn<QStringList>("absent");  // Table.Field

    QTest::newRow("o_ persons result")
        << WorkingKind::PersonsResult << QStringList{"Osoby"} << QList<int>{14}
        << QStringList{"Osoby.ID2@0", "Osoby.euroISDN@11", "Osoby.ID@13"} << QStringList{};
    QTest::newRow("f_ firms result") << WorkingKind::FirmsResult << QStringList{"Firmy"} << QList<int>{14}
                                     << QStringList{"Firmy.ID2@0", "Firmy.UTO@8"} << QStringList{};
    QTest::newRow("p_ personal result")
        << WorkingKind::PersonalResult << QStringList{"vlastni"} << QList<int>{46}
        << QStringList{"vlastni.ID@0",     "vlastni.DIC@9",         "vlastni.Ulice@10",
                       "vlastni.CP@11",    "vlastni.Obec@12",       "vlastni.Cast@13",
                       "vlastni.PSC@14",   "vlastni.Stat@15",       "vlastni.domu_ulice@16",
                       "vlastni.Tel_6@43", "vlastni.zobraz_adr@44", "vlastni.Info@45"}
        << QStringList{};
    QTest::newRow("s_ persons buffer")
        << WorkingKind::PersonsBuffer << QStringList{"Osoby", "Osoby_TEL_Navic"} << QList<int>{14, 3}
        << QStringList{"Osoby.ID2@0", "Osoby_TEL_Navic.Tel@0"} << QStringList{};
    QTest::newRow("x_ firms buffer") << WorkingKind::FirmsBuffer << QStringList{"Firmy", "Firmy_TEL_Navic"}
                                     << QList<int>{13, 3}
                                     << QStringList{"Firmy.ID2@0", "Firmy_TEL_Navic.Tel@0"}
                                     << QStringList{"Firmy.UTO"};
}

void TestOwnDatabases::workingLayouts() {
    QFETCH(WorkingKind, kind);
    QFETCH(QStringList, tables);
    QFETCH(QList<int>, fieldCounts);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);

    db::createOwnDatabase(m_engine, pathOf(kind), m_paths);
    auto d = m_engine.defaultWorkspace().openDatabase(pathOf(kind));
    QCOMPARE(d->tableNames(), tables);
    for (int i = 0; i < tables.size(); ++i) {
        auto t = d->findTable(tables[i], QString());
        QVERIFY(t);
        QCOMPARE(t->info.columns.size(), fieldCounts[i]);
        QCOMPARE(count(*d, tables[i]), 0);
    }
    for (const QString& p : present) {
        const QString table = p.section(u'.', 0, 0), field = p.section(u'.', 1).section(u'@', 0, 0);
        const QStringList names = fieldNames(d->findTable(table, QString())->info);
        QVERIFY2(names.indexOf(field) == p.section(u'@', 1).toInt(), qPrintable(p + u' ' + names.join(u',')));
    }
    for (const QString& a : absent)
        QVERIFY2(!d->findTable(a.section(u'.', 0, 0), QString())->info.column(a.section(u'.', 1)),
                 qPrintable(a));
}

void TestOwnDatabases::unknownPath_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("other name") << m_dir.filePath(QStringLiteral("scratch/q_1234.mdb"));
    // Paths are compared as written.
    QTest::newRow("same file, other spelling") << m_dir.filePath(QStringLiteral("scratch/./o_1234.mdb"));
}

void TestOwnDatabases::unknownPath() {
    QFETCH(QString, path);
    db::createOwnDatabase(m_engine, path, m_paths);
    {
        auto d = m_engine.defaultWorkspace().openDatabase(path);
        QVERIFY(d->tableNames().isEmpty());
    }
    VERIFY_DB_ERROR(db::createOwnDatabase(m_engine, path, m_paths), QStringLiteral("existuje"));
    QVERIFY(QFile::remove(path));
}

void TestOwnDatabases::recreate_data() {
    QTest::addColumn<WorkingKind>("kind");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("firstPage");
    QTest::addColumn<bool>("buffer");

    QTest::newRow("o_") << WorkingKind::PersonsResult << "Osoby"
                        << "SELECT * FROM Osoby WHERE ID2 BETWEEN 1 AND 10" << false;
    QTest::newRow("f_") << WorkingKind::FirmsResult << "Firmy"
                        << "SELECT * FROM Firmy WHERE ID2 BETWEEN 1 AND 10" << false;
    QTest::newRow("p_") << WorkingKind::PersonalResult << "vlastni"
                        << "SELECT * FROM vlastni WHERE ID2 BETWEEN 1 AND 10" << false;
    QTest::newRow("s_") << WorkingKind::PersonsBuffer << "Osoby"
                        << "SELECT * FROM Osoby" << true;
    QTest::newRow("x_") << WorkingKind::FirmsBuffer << "Firmy"
                        << "SELECT * FROM Firmy" << true;
}

void TestOwnDatabases::recreate() {
    QFETCH(WorkingKind, kind);
    QFETCH(QString, table);
    QFETCH(QString, firstPage);
    QFETCH(bool, buffer);

    Dataset ds;
    int calls = 0;
    ds.setRowCallback([&calls](Dataset&) { ++calls; });
    db::WorkingDatabase wd(m_engine, kind, m_paths, ds);
    wd.recreate(10);
    QCOMPARE(wd.path(), pathOf(kind));
    QVERIFY(QFile::exists(wd.path()));
    QVERIFY(ds.isOpen());
    QVERIFY(ds.isUpdatable());
    QCOMPARE(ds.sqlText(), firstPage);
    QCOMPARE(ds.recordCount(), 0);

    // A search fills the table.
    for (int i = 1; i <= 3; ++i)
        wd.database()->execute(QStringLiteral("INSERT INTO %1 (ID2) VALUES (%2)").arg(table).arg(i),
                               db::Database::FailOnError);
    ds.open();
    QCOMPARE(ds.recordCount(), 3);
    calls = 0;

    // The phone search moves the buffer's dataset while it is being replaced.
    bool ran = false, suppressed = false;
    std::function<void()> beforeReopen;
    if (buffer)
        beforeReopen = [&] {
            ran = true;
            suppressed = ds.callbackSuppressed();
            ds.last();
            ds.first();
        };
    wd.recreate(10, beforeReopen);
    QCOMPARE(ran, buffer);
    QCOMPARE(suppressed, buffer);
    QCOMPARE(calls, 0);
    QVERIFY(!ds.callbackSuppressed());
    QVERIFY(ds.isOpen());
    QCOMPARE(ds.sqlText(), firstPage);
    QCOMPARE(ds.recordCount(), 0);
    QCOMPARE(count(*wd.database(), table), 0);

    // The callback is on again for the new file.
    ds.append();
    ds.setValue("ID2", 1);
    ds.post();
    QCOMPARE(calls, 1);
    QCOMPARE(count(*wd.database(), table), 1);

    const QString path = wd.path();
    wd.remove();
    QVERIFY(!QFile::exists(path));
    QVERIFY(!ds.isOpen());
    QCOMPARE(wd.database(), nullptr);
}

void TestOwnDatabases::failedCreation_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QList<db::TableDef>>("tables");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QStringList>("madeAfter"); // the tables of the file made the second time

    const db::TableDef twice{
        QStringLiteral("Osoby_TEL_Navic"),
        {{QStringLiteral("Tel"), ColumnType::Text, 50, 0}, {QStringLiteral("tel"), ColumnType::Text, 50, 0}}};
    QTest::newRow("personal: the table again")
        << m_paths.personal << QList<db::TableDef>{db::layouts::personal(), db::layouts::personal()}
        << "již existuje" << QStringList{"Vlastni"};
    QTest::newRow("persons buffer: a field twice")
        << m_paths.personsBuffer << QList<db::TableDef>{db::layouts::persons(), twice} << "dvakrát"
        << QStringList{"Osoby", "Osoby_TEL_Navic"};
    QTest::newRow("unknown path: the first table")
        << m_dir.filePath(QStringLiteral("scratch/q_1234.mdb")) << QList<db::TableDef>{twice} << "dvakrát"
        << QStringList{};
}

// A database whose making fails after its file was begun leaves no file behind
// that the next start could take for a finished one; the next attempt works.
void TestOwnDatabases::failedCreation() {
    QFETCH(QString, path);
    QFETCH(QList<db::TableDef>, tables);
    QFETCH(QString, error);
    QFETCH(QStringList, madeAfter);

    const QString folder = QFileInfo(path).path();
    const QStringList before = filesIn(folder);
    db::OpenOptions options;
    options.disposable = path != m_paths.personal;
    VERIFY_DB_ERROR(db::createDatabaseWithTables(m_engine, path, tables, options), error);
    QVERIFY(!QFileInfo::exists(path));
    QCOMPARE(filesIn(folder), before);

    db::createOwnDatabase(m_engine, path, m_paths);
    const db::Login login = db::databaseLogin();
    auto d = m_engine.openWorkspace(login.user, login.password)->openDatabase(path);
    QCOMPARE(d->tableNames(), madeAfter);
    QCOMPARE(d->locale(), db::kCzechLocale);
    d->close();
    QCOMPARE(filesIn(folder), QStringList(before) << QFileInfo(path).fileName());
}

// A file in the way is the user's: it is neither replaced nor removed.
void TestOwnDatabases::existingFileKept() {
    const QByteArray contents = "kontakty, které nikde jinde nejsou";
    {
        QFile f(m_paths.personal);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(contents);
    }
    const QString folder = QFileInfo(m_paths.personal).path();
    const QStringList before = filesIn(folder);
    VERIFY_DB_ERROR(db::createOwnDatabase(m_engine, m_paths.personal, m_paths), "existuje");
    QFile f(m_paths.personal);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), contents);
    QCOMPARE(filesIn(folder), before);
}

// A journal whose database is gone must not be taken for the new file's own.
void TestOwnDatabases::staleJournalDropped() {
    const QString journal = m_paths.personal + QStringLiteral("-journal");
    {
        QFile f(journal);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
    }
    db::createOwnDatabase(m_engine, m_paths.personal, m_paths);
    QVERIFY(!QFileInfo::exists(journal));
    const db::Login login = db::databaseLogin();
    auto d = m_engine.openWorkspace(login.user, login.password)->openDatabase(m_paths.personal);
    QCOMPARE(d->tableNames(), QStringList{QStringLiteral("Vlastni")});
}

// A log left from a personal database that is gone (deleted while the program
// had it open) must not be played into the new file, which starts in that mode.
void TestOwnDatabases::staleLogDropped() {
    const QString other = m_dir.filePath(QStringLiteral("other.mdb"));
    const QString log = m_paths.personal + QStringLiteral("-wal");
    {
        const db::Login login = db::databaseLogin();
        auto ws = m_engine.openWorkspace(login.user, login.password);
        db::OpenOptions o = db::personalOpenOptions();
        auto d = ws->createDatabase(other, db::kCzechLocale, o);
        d->close();
        d = ws->openDatabase(other, o);
        d->executeNative(QStringLiteral("PRAGMA wal_autocheckpoint=0"));
        d->executeNative(QStringLiteral("CREATE TABLE Cizi (a INTEGER)"));
        d->executeNative(QStringLiteral("INSERT INTO Cizi VALUES (1)"));
        // The log as it lies beside a file still open.
        QVERIFY(QFile::copy(other + QStringLiteral("-wal"), log));
    }
    db::createOwnDatabase(m_engine, m_paths.personal, m_paths);
    QVERIFY(!QFileInfo::exists(log));
    const db::Login login = db::databaseLogin();
    auto d = m_engine.openWorkspace(login.user, login.password)
                 ->openDatabase(m_paths.personal, db::personalOpenOptions());
    QCOMPARE(d->tableNames(), QStringList{QStringLiteral("Vlastni")});
    db::removeDatabaseFile(other);
}

QTEST_GUILESS_MAIN(TestOwnDatabases)
#include "tst_owndatabases.moc"
