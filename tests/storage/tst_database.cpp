#include "DatabaseLogin.h"
#include "StorageFixture.h"
#include "Workgroup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using db::Database;
using db::Dataset;
using storage_test::count;

namespace {
const QStringList kTable = {
    QStringLiteral("CREATE TABLE T (ID COUNTER, ID2 LONG, Jmeno TEXT(5))"),
    QStringLiteral("INSERT INTO T (ID2, Jmeno) VALUES (1, 'Jan')"),
    QStringLiteral("INSERT INTO T (ID2, Jmeno) VALUES (2, 'Petr')"),
};
const db::Login kLogin = db::databaseLogin();
const QString kOtherUser = QStringLiteral("spravce");
const QString kOtherPassword = QStringLiteral("Heslo-2");
} // namespace

class TestDatabase : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void init();
    void login_data();
    void login();
    void restrictedDatabase_data();
    void restrictedDatabase();
    void createOnExistingFile();
    void createFailsAfterFileMade();
    void readOnly_data();
    void readOnly();
    void failOnError_data();
    void failOnError();
    void stackedStatement_data();
    void stackedStatement();
    void datasetOutlivesDatabase();
    void durability_data();
    void durability();
    void logFilesRemoved();
    void damagedFile_data();
    void damagedFile();
    void queryNative_data();
    void queryNative();
    void progressCheck_data();
    void progressCheck();
    void anotherConnection_data();
    void anotherConnection();

  private:
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    QString m_workgroup, m_otherWorkgroup; // the same accounts, another identity
    QString m_path;                        // a fresh database for each test
    int m_serial = 0;
};

void TestDatabase::initTestCase() {
    QVERIFY(m_dir.isValid());
    m_workgroup = filePath(QStringLiteral("ordat.mdw"));
    m_otherWorkgroup = filePath(QStringLiteral("jina.mdw"));
    const QList<std::pair<QString, QString>> accounts{{kLogin.user, kLogin.password},
                                                      {kOtherUser, kOtherPassword}};
    db::Workgroup::create(m_workgroup, accounts);
    db::Workgroup::create(m_otherWorkgroup, accounts);
}

void TestDatabase::init() {
    m_path = filePath(QStringLiteral("t%1.mdb").arg(++m_serial));
    db::Engine engine;
    storage_test::createDatabase(engine, m_path, kTable);
}

void TestDatabase::login_data() {
    QTest::addColumn<bool>("withWorkgroup");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("accepted");

    QVERIFY(kLogin.password != kLogin.password.toUpper());
    QTest::newRow("program login") << true << kLogin.user << kLogin.password << true;
    QTest::newRow("user name in upper case") << true << kLogin.user.toUpper() << kLogin.password << true;
    QTest::newRow("second account") << true << kOtherUser << kOtherPassword << true;
    QTest::newRow("wrong password") << true << kLogin.user << kLogin.password + u'x' << false;
    QTest::newRow("password in upper case") << true << kLogin.user << kLogin.password.toUpper() << false;
    QTest::newRow("other account's password") << true << kLogin.user << kOtherPassword << false;
    QTest::newRow("unknown user") << true << QStringLiteral("nikdo") << kLogin.password << false;
    QTest::newRow("empty") << true << QString() << QString() << false;
    QTest::newRow("no workgroup: built-in user") << false << QStringLiteral("Admin") << QString() << true;
    QTest::newRow("no workgroup: program login") << false << kLogin.user << kLogin.password << false;
}

void TestDatabase::login() {
    QFETCH(bool, withWorkgroup);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(bool, accepted);

    db::Engine engine;
    if (withWorkgroup) engine.setWorkgroupFile(m_workgroup);
    if (!accepted) {
        VERIFY_DB_ERROR(engine.openWorkspace(user, password), QStringLiteral("heslo"));
        return;
    }
    auto ws = engine.openWorkspace(user, password);
    QVERIFY(ws);
    QVERIFY(ws->openDatabase(m_path)->isOpen());
}

void TestDatabase::restrictedDatabase_data() {
    QTest::addColumn<QString>("workgroup"); // empty: the default workspace
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("opens");

    QTest::newRow("owner") << m_workgroup << kLogin.user << kLogin.password << false << true;
    QTest::newRow("owner, read-only") << m_workgroup << kLogin.user << kLogin.password << true << true;
    QTest::newRow("owner's name in upper case")
        << m_workgroup << kLogin.user.toUpper() << kLogin.password << false << true;
    QTest::newRow("default workspace") << QString() << QString() << QString() << false << false;
    QTest::newRow("default workspace, read-only") << QString() << QString() << QString() << true << false;
    QTest::newRow("another user") << m_workgroup << kOtherUser << kOtherPassword << false << false;
    QTest::newRow("owner from another workgroup")
        << m_otherWorkgroup << kLogin.user << kLogin.password << false << false;
}

void TestDatabase::restrictedDatabase() {
    QFETCH(QString, workgroup);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(bool, readOnly);
    QFETCH(bool, opens);

    const QString path = filePath(QStringLiteral("secured%1.mdb").arg(m_serial));
    {
        db::Engine engine;
        engine.setWorkgroupFile(m_workgroup);
        auto d = engine.openWorkspace(kLogin.user, kLogin.password)->createDatabase(path, db::kCzechLocale);
        d->execute(kTable[0], Database::FailOnError);
        d->restrictToWorkgroup();
    }
    db::Engine engine;
    engine.setWorkgroupFile(workgroup);
    std::unique_ptr<db::Workspace> ws;
    db::Workspace& workspace =
        workgroup.isEmpty() ? engine.defaultWorkspace() : *(ws = engine.openWorkspace(user, password));
    db::OpenOptions options;
    options.readOnly = readOnly;
    if (!opens) {
        VERIFY_DB_ERROR(workspace.openDatabase(path, options), QStringLiteral("oprávnění"));
        return;
    }
    auto d = workspace.openDatabase(path, options);
    QCOMPARE(d->tableNames(), QStringList{QStringLiteral("T")});
}

void TestDatabase::createOnExistingFile() {
    db::Engine engine;
    VERIFY_DB_ERROR(engine.defaultWorkspace().createDatabase(m_path, db::kCzechLocale),
                    QStringLiteral("existuje"));
    auto d = engine.defaultWorkspace().openDatabase(m_path);
    QCOMPARE(d->tableNames(), QStringList{QStringLiteral("T")});
    QCOMPARE(count(*d, "T"), 2);
}

// The engine's own table cannot be written when a folder stands where the
// rollback journal goes: the file made so far must not stay as a database.
void TestDatabase::createFailsAfterFileMade() {
    const QString path = filePath(QStringLiteral("nedokoncena.mdb"));
    QVERIFY(QDir().mkpath(path + QStringLiteral("-journal")));
    db::Engine engine;
    VERIFY_DB_ERROR(engine.defaultWorkspace().createDatabase(path, db::kCzechLocale), QString());
    QVERIFY(!QFileInfo::exists(path));
    QVERIFY(QDir(path + QStringLiteral("-journal")).exists()); // not ours to remove

    QVERIFY(QDir().rmdir(path + QStringLiteral("-journal")));
    QCOMPARE(engine.defaultWorkspace().createDatabase(path, db::kCzechLocale)->locale(), db::kCzechLocale);
}

void TestDatabase::readOnly_data() {
    QTest::addColumn<QString>("statement");
    QTest::newRow("insert") << QStringLiteral("INSERT INTO T (ID2, Jmeno) VALUES (3, 'Eva')");
    QTest::newRow("update") << QStringLiteral("UPDATE T SET Jmeno = 'Eva'");
    QTest::newRow("delete") << QStringLiteral("DELETE FROM T");
    QTest::newRow("create table") << QStringLiteral("CREATE TABLE U (A LONG)");
    QTest::newRow("drop table") << QStringLiteral("DROP TABLE T");
}

void TestDatabase::readOnly() {
    QFETCH(QString, statement);
    db::Engine engine;
    auto d = engine.defaultWorkspace().openDatabase(m_path, db::OpenOptions{false, true, false});
    QVERIFY(d->isReadOnly());
    VERIFY_DB_ERROR(d->execute(statement), QStringLiteral("jen pro čtení"));
    VERIFY_DB_ERROR(d->execute(statement, Database::FailOnError), QStringLiteral("jen pro čtení"));

    Dataset ds;
    ds.setDatabase(d.get());
    ds.setSql("SELECT * FROM T");
    ds.open();
    QVERIFY(!ds.isUpdatable());
    VERIFY_DB_ERROR(ds.edit(), QStringLiteral("jen pro čtení"));
    VERIFY_DB_ERROR(ds.append(), QStringLiteral("jen pro čtení"));
    VERIFY_DB_ERROR(ds.remove(), QStringLiteral("jen pro čtení"));
    ds.close();

    auto writable = engine.defaultWorkspace().openDatabase(m_path);
    QCOMPARE(writable->tableNames(), QStringList{QStringLiteral("T")});
    QCOMPARE(count(*writable, "T WHERE Jmeno IN ('Jan', 'Petr')"), 2);
}

void TestDatabase::failOnError_data() {
    QTest::addColumn<QString>("statement");
    QTest::addColumn<bool>("failOnError");
    QTest::addColumn<int>("affected");  // -1: raises
    QTest::addColumn<QString>("check"); // rows counted afterwards
    QTest::addColumn<int>("rows");

    const QString tooLong = QStringLiteral("INSERT INTO T (ID2, Jmeno) VALUES (3, 'Přílišdlouhé')");
    const QString notNumber = QStringLiteral("INSERT INTO T (ID2, Jmeno) VALUES ('tři', 'Eva')");
    const QString copy =
        QStringLiteral("INSERT INTO T (ID2, Jmeno) SELECT ID2 + 10, Jmeno & 'ek' FROM T"); // Petrek: 6
    const QString update = QStringLiteral("UPDATE T SET Jmeno = Jmeno & 'ek'");
    QTest::newRow("too long, fail") << tooLong << true << -1 << "T" << 2;
    QTest::newRow("too long, skip") << tooLong << false << 0 << "T" << 2;
    QTest::newRow("not a number, fail") << notNumber << true << -1 << "T" << 2;
    QTest::newRow("not a number, skip") << notNumber << false << 0 << "T" << 2;
    QTest::newRow("fits") << QStringLiteral("INSERT INTO T (ID2, Jmeno) VALUES (3, 'Žofie')") << true << 1
                          << "T WHERE ID = 3 AND Jmeno = 'Žofie'" << 1;
    QTest::newRow("copy, one too long, fail") << copy << true << -1 << "T" << 2;
    QTest::newRow("copy, one too long, skip")
        << copy << false << 1 << "T WHERE ID2 = 11 AND Jmeno = 'Janek'" << 1;
    QTest::newRow("update, one too long, fail")
        << update << true << -1 << "T WHERE Jmeno IN ('Jan', 'Petr')" << 2;
    QTest::newRow("update, one too long, skip")
        << update << false << 1 << "T WHERE Jmeno IN ('Janek', 'Petr')" << 2;
}

void TestDatabase::failOnError() {
    QFETCH(QString, statement);
    QFETCH(bool, failOnError);
    QFETCH(int, affected);
    QFETCH(QString, check);
    QFETCH(int, rows);

    db::Engine engine;
    auto d = engine.defaultWorkspace().openDatabase(m_path);
    const int options = failOnError ? Database::FailOnError : 0;
    if (affected < 0)
        VERIFY_DB_ERROR(d->execute(statement, options), QString());
    else
        QCOMPARE(d->execute(statement, options), affected);
    QCOMPARE(count(*d, check), rows);
}

void TestDatabase::stackedStatement_data() {
    QTest::addColumn<QString>("statement");
    QTest::addColumn<bool>("refused");
    QTest::newRow("delete; drop") << QStringLiteral("DELETE FROM T WHERE ID2 = 1; DROP TABLE T") << true;
    QTest::newRow("insert; drop") << QStringLiteral("INSERT INTO T (ID2) VALUES (9);DROP TABLE T") << true;
    QTest::newRow("update; drop") << QStringLiteral("UPDATE T SET Jmeno = 'x'; DROP TABLE T;") << true;
    QTest::newRow("select; drop") << QStringLiteral("SELECT * FROM T; DROP TABLE T") << true;
    QTest::newRow("semicolon inside a text")
        << QStringLiteral("DELETE FROM T WHERE Jmeno = 'x; DROP TABLE T'") << false;
    QTest::newRow("one closing semicolon") << QStringLiteral("DELETE FROM T WHERE ID2 = 99;") << false;
}

void TestDatabase::stackedStatement() {
    QFETCH(QString, statement);
    QFETCH(bool, refused);

    db::Engine engine;
    auto d = engine.defaultWorkspace().openDatabase(m_path);
    if (statement.startsWith(QLatin1String("SELECT"))) {
        Dataset ds;
        ds.setDatabase(d.get());
        ds.setSql(statement);
        VERIFY_DB_ERROR(ds.open(), QString());
    } else if (refused) {
        VERIFY_DB_ERROR(d->execute(statement), QString());
        VERIFY_DB_ERROR(d->execute(statement, Database::FailOnError), QString());
    } else {
        QCOMPARE(d->execute(statement, Database::FailOnError), 0);
    }
    QCOMPARE(d->tableNames(), QStringList{QStringLiteral("T")});
    QCOMPARE(count(*d, "T WHERE Jmeno IN ('Jan', 'Petr')"), 2);
    QCOMPARE(count(*d, "T"), 2);
}

void TestDatabase::datasetOutlivesDatabase() {
    db::Engine engine;
    auto d = engine.defaultWorkspace().openDatabase(m_path);
    Dataset ds;
    ds.setDatabase(d.get());
    ds.setSql("SELECT * FROM T");
    ds.open();
    d->close();
    QVERIFY(!ds.isOpen());
    VERIFY_DB_ERROR(ds.open(), QString());

    // The dataset must not keep pointing at a database that is gone.
    d.reset();
    QCOMPARE(ds.database(), nullptr);
    VERIFY_DB_ERROR(ds.open(), QString());
    auto again = engine.defaultWorkspace().openDatabase(m_path);
    ds.setDatabase(again.get());
    ds.open();
    QCOMPARE(ds.recordCount(), 2);
}

namespace {
QString pragma(Database& d, const QString& name) {
    return d.queryNative(QStringLiteral("PRAGMA ") + name).value(0).value(0).toString();
}
} // namespace

// A durable database with the write-ahead log waits for the disk only at
// checkpoints, and a reader on another connection does not hold its writes
// up; without the log every commit is flushed and a reader blocks a writer.
// A writer blocks it either way.
void TestDatabase::durability_data() {
    QTest::addColumn<bool>("log");
    QTest::addColumn<QString>("journal");
    QTest::addColumn<QString>("synchronous");
    QTest::newRow("write-ahead log") << true << "wal"
                                     << "1";
    QTest::newRow("rollback journal") << false << "delete"
                                      << "2";
}

void TestDatabase::durability() {
    QFETCH(bool, log);
    QFETCH(QString, journal);
    QFETCH(QString, synchronous);
    db::Engine engine;
    db::OpenOptions options;
    options.writeAheadLog = log;
    auto writer = engine.defaultWorkspace().openDatabase(m_path, options);
    writer->setBusyTimeout(0);
    QCOMPARE(pragma(*writer, QStringLiteral("journal_mode")), journal);
    QCOMPARE(pragma(*writer, QStringLiteral("synchronous")), synchronous);

    db::OpenOptions readOnly;
    readOnly.readOnly = true;
    auto reader = engine.defaultWorkspace().openDatabase(m_path, readOnly);
    Dataset cursor;
    cursor.setDatabase(reader.get());
    cursor.setSql(QStringLiteral("SELECT * FROM T"));
    cursor.open();
    QCOMPARE(cursor.recNo(), 0);
    const auto insert = [&] {
        writer->execute(QStringLiteral("INSERT INTO T (ID2, Jmeno) VALUES (3, 'Eva')"),
                        Database::FailOnError);
    };
    if (log)
        insert();
    else
        VERIFY_DB_ERROR(insert(), QStringLiteral("uzamčena"));
    cursor.close();
    QCOMPARE(count(*reader, QStringLiteral("T")), log ? 3 : 2);

    auto other = writer->openAnotherConnection({});
    other->executeNative(QStringLiteral("BEGIN IMMEDIATE"));
    VERIFY_DB_ERROR(insert(), QStringLiteral("uzamčena"));
    other->executeNative(QStringLiteral("ROLLBACK"));
    other.reset();
    insert();
    QCOMPARE(count(*writer, QStringLiteral("T")), log ? 4 : 3);

    // Closed, the file holds every commit on its own.
    reader.reset();
    writer.reset();
    QVERIFY(!QFileInfo::exists(m_path + QStringLiteral("-wal")));
    auto again = engine.defaultWorkspace().openDatabase(m_path, readOnly);
    QCOMPARE(count(*again, QStringLiteral("T")), log ? 4 : 3);
}

// The log and its index left by a killed program go with the file.
void TestDatabase::logFilesRemoved() {
    for (const char* suffix : {"-wal", "-shm", "-journal"}) {
        QFile f(m_path + QString::fromLatin1(suffix));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QVERIFY(db::removeDatabaseFile(m_path));
    QCOMPARE(QDir(m_dir.path()).entryList({QFileInfo(m_path).fileName() + u'*'}, QDir::Files), QStringList());
}

void TestDatabase::damagedFile_data() {
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("message"); // %1: the file
    QTest::newRow("pages of a table") << "pages" << QStringLiteral("Databázový soubor „%1“ je poškozen.");
    QTest::newRow("header") << "header" << QStringLiteral("Soubor „%1“ není databáze nebo je poškozen.");
}

// A database file damaged on the disk gives a Czech message that names the
// file, whether the damage shows when it opens or only when a table is read.
void TestDatabase::damagedFile() {
    QFETCH(QString, damage);
    QFETCH(QString, message);
    const QString path = filePath(QStringLiteral("poskozena-%1.mdb").arg(damage));
    {
        db::Engine engine;
        auto d =
            storage_test::createDatabase(engine, path, {QStringLiteral("CREATE TABLE V (A LONG, B MEMO)")});
        for (int i = 0; i < 100; ++i)
            d->execute(
                QStringLiteral("INSERT INTO V (A, B) VALUES (%1, '%2')").arg(i).arg(QString(400, u'x')),
                Database::FailOnError);
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    const QByteArray header = file.read(100);
    const qint64 pageSize = (uchar(header[16]) << 8) | uchar(header[17]);
    QVERIFY(file.seek(0));
    if (damage == u"header") {
        file.write(QByteArray(16, '\xa5'));
    } else {
        // Everything after the schema and the engine's own table.
        QVERIFY(file.seek(2 * pageSize));
        file.write(QByteArray(file.size() - 2 * pageSize, '\xa5'));
    }
    file.close();

    db::Engine engine;
    const QString expected = message.arg(path);
    try {
        auto d = engine.defaultWorkspace().openDatabase(path);
        Dataset ds;
        ds.setDatabase(d.get());
        ds.setSql(QStringLiteral("SELECT * FROM V"));
        ds.open();
        while (!ds.eof())
            ds.next();
        QFAIL("the damage went unnoticed");
    } catch (const db::Error& e) {
        QCOMPARE(e.message(), expected);
    }
}

namespace {
// Rows as text, each value with its type: NULL, int:…, real:… or text:….
QString described(const QList<QVariantList>& rows) {
    QStringList out;
    for (const QVariantList& row : rows) {
        QStringList values;
        for (const QVariant& v : row) {
            if (v.isNull())
                values << QStringLiteral("NULL");
            else if (v.typeId() == QMetaType::LongLong)
                values << QStringLiteral("int:") + v.toString();
            else if (v.typeId() == QMetaType::Double)
                values << QStringLiteral("real:") + v.toString();
            else if (v.typeId() == QMetaType::QString)
                values << QStringLiteral("text:") + v.toString();
            else
                values << QString::fromLatin1(v.typeName()) + u':' + v.toString();
        }
        out << values.join(u' ');
    }
    return out.join(u'|');
}
} // namespace

// A statement of the engine's own dialect with its parameters bound in order,
// every row with its values typed as the engine holds them.
void TestDatabase::queryNative_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QVariantList>("parameters");
    QTest::addColumn<QString>("rows"); // as described(); "!…": a db::Error with that fragment

    QTest::newRow("all rows") << "SELECT ID2, Jmeno FROM T ORDER BY ID2" << QVariantList()
                              << "int:1 text:Jan|int:2 text:Petr";
    QTest::newRow("parameters bound in order") << "SELECT Jmeno FROM T WHERE ID2 >= ?1 AND Jmeno <> ?2"
                                               << QVariantList{1, QStringLiteral("Jan")} << "text:Petr";
    QTest::newRow("no rows") << "SELECT ID2 FROM T WHERE ID2 = ?1" << QVariantList{99} << "";
    QTest::newRow("NULL, int, real and text columns")
        << "SELECT NULL, 42, 2.5, 'Žluťoučký kůň'" << QVariantList()
        << "NULL int:42 real:2.5 text:Žluťoučký kůň";
    QTest::newRow("NULL and Czech text bound")
        << "SELECT ?1 IS NULL, ?2, length(?2)" << QVariantList{QVariant(), QStringLiteral("Řeřicha")}
        << "int:1 text:Řeřicha int:7";
    QTest::newRow("not the dialect") << "SELECT TOP 1 Jmeno FROM T" << QVariantList() << "!syntax error";
}

void TestDatabase::queryNative() {
    QFETCH(QString, sql);
    QFETCH(QVariantList, parameters);
    QFETCH(QString, rows);
    db::Engine engine;
    auto d = engine.defaultWorkspace().openDatabase(m_path);
    if (rows.startsWith(u'!')) {
        VERIFY_DB_ERROR(d->queryNative(sql, parameters), rows.mid(1));
        QCOMPARE(count(*d, QStringLiteral("T")), 2);
        return;
    }
    QCOMPARE(described(d->queryNative(sql, parameters)), rows);
}

// A check that answers true interrupts the running statement: it fails with a
// clear message, changes nothing, and the connection serves the next
// statement. Without a check, or with one that answers false, the statement
// runs to its end.
void TestDatabase::progressCheck_data() {
    QTest::addColumn<bool>("change");     // an INSERT through executeNative, or a query
    QTest::addColumn<int>("interruptAt"); // the call of the check that answers true; 0: none does

    QTest::newRow("query interrupted") << false << 3;
    QTest::newRow("change interrupted") << true << 3;
    QTest::newRow("query not interrupted") << false << 0;
    QTest::newRow("change not interrupted") << true << 0;
}

void TestDatabase::progressCheck() {
    QFETCH(bool, change);
    QFETCH(int, interruptAt);
    constexpr int kRows = 20000;
    db::Engine engine;
    auto d = engine.defaultWorkspace().openDatabase(m_path);
    const QString numbers =
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) ")
            .arg(kRows);
    // The rows the statement made: counted, or added to T.
    const auto run = [&] {
        if (!change)
            return d->queryNative(numbers + QStringLiteral("SELECT count(*) FROM n"))
                .value(0)
                .value(0)
                .toInt();
        d->executeNative(QStringLiteral("INSERT INTO T (ID2, Jmeno) ") + numbers +
                         QStringLiteral("SELECT i, 'x' FROM n"));
        return d->queryNative(QStringLiteral("SELECT count(*) FROM T")).value(0).value(0).toInt() - 2;
    };
    int calls = 0;
    d->setProgressCheck(100, [&] { return ++calls == interruptAt; });
    if (interruptAt > 0) {
        VERIFY_DB_ERROR(run(), QStringLiteral("Příkaz byl přerušen."));
        QCOMPARE(calls, interruptAt);
        QCOMPARE(count(*d, QStringLiteral("T")), 2);
        QVERIFY(d->engineInAutocommit());
        d->setProgressCheck(100, {});
    }
    const int asked = calls;
    QCOMPARE(run(), kRows);
    if (interruptAt > 0)
        QCOMPARE(calls, asked); // the check is gone
    else
        QVERIFY(calls > 0);
}

// Another connection to the file, as the same user (a secured file opens for
// it too): it sees what this one has committed and nothing before; a
// read-only one refuses to write.
void TestDatabase::anotherConnection_data() {
    QTest::addColumn<bool>("secured");
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("read-write") << false << false;
    QTest::newRow("read-only") << false << true;
    QTest::newRow("secured file, read-write") << true << false;
    QTest::newRow("secured file, read-only") << true << true;
}

void TestDatabase::anotherConnection() {
    QFETCH(bool, secured);
    QFETCH(bool, readOnly);
    db::Engine engine;
    engine.setWorkgroupFile(m_workgroup);
    auto ws = engine.openWorkspace(kLogin.user, kLogin.password);
    auto d = ws->openDatabase(m_path);
    if (secured) d->restrictToWorkgroup();
    db::OpenOptions options;
    options.readOnly = readOnly;
    auto other = d->openAnotherConnection(options);
    QCOMPARE(other->path(), d->path());
    QCOMPARE(other->isReadOnly(), readOnly);
    const auto names = [](Database& c) {
        QStringList out;
        for (const QVariantList& row : c.queryNative(QStringLiteral("SELECT Jmeno FROM T ORDER BY ID2")))
            out << row.value(0).toString();
        return out.join(u' ');
    };
    QCOMPARE(names(*other), QStringLiteral("Jan Petr"));

    d->beginTransaction();
    d->execute(QStringLiteral("INSERT INTO T (ID2, Jmeno) VALUES (3, 'Eva')"), Database::FailOnError);
    QCOMPARE(names(*other), QStringLiteral("Jan Petr"));
    d->commit();
    QCOMPARE(names(*other), QStringLiteral("Jan Petr Eva"));

    const auto write = [&] {
        other->execute(QStringLiteral("INSERT INTO T (ID2, Jmeno) VALUES (4, 'Ota')"), Database::FailOnError);
    };
    if (readOnly) {
        VERIFY_DB_ERROR(write(), QStringLiteral("jen pro čtení"));
        QCOMPARE(names(*d), QStringLiteral("Jan Petr Eva"));
    } else {
        write();
        QCOMPARE(names(*d), QStringLiteral("Jan Petr Eva Ota"));
    }
}

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
