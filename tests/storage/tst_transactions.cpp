#include "StorageFixture.h"

#include <QTemporaryDir>

using db::Database;
using db::Dataset;
using storage_test::count;

namespace {
const QStringList kTable = {
    QStringLiteral("CREATE TABLE T (ID COUNTER, Jmeno TEXT(10))"),
    QStringLiteral("INSERT INTO T (Jmeno) VALUES ('Jan')"),
    QStringLiteral("INSERT INTO T (Jmeno) VALUES ('Petr')"),
};
const QString kLocked = QStringLiteral("uzamčena");
const QString kNoTransaction = QStringLiteral("Není zahájena žádná transakce");
const QString kLost = QStringLiteral("zrušena");
} // namespace

// Transactions on a connection whose commits can fail: another connection to
// the same file holds a read cursor open, so the file cannot be written.
class TestTransactions : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();
    void blockedByReader_data();
    void blockedByReader();
    void lostTransaction_data();
    void lostTransaction();
    void schemaStepFails_data();
    void schemaStepFails();
    void closeDuringTransaction();
    void appendedRowsLeaveWithRollback_data();
    void appendedRowsLeaveWithRollback();

  private:
    // The writer, with the reader's cursor on the first row of T.
    void openWriterAndReader();
    bool tableExists(const QString& name) { return m_writer->tableNames().contains(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    db::Engine m_engine;
    std::unique_ptr<Database> m_writer, m_reader;
    std::unique_ptr<Dataset> m_cursor;
};

void TestTransactions::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_path = m_dir->filePath(QStringLiteral("t.mdb"));
    storage_test::createDatabase(m_engine, m_path, kTable);
}

void TestTransactions::cleanup() {
    m_cursor.reset();
    m_reader.reset();
    m_writer.reset();
    m_dir.reset();
}

void TestTransactions::openWriterAndReader() {
    m_writer = m_engine.defaultWorkspace().openDatabase(m_path);
    m_writer->setBusyTimeout(0); // fail at once instead of waiting for the reader
    m_reader = m_engine.defaultWorkspace().openDatabase(m_path, db::OpenOptions{false, true, false});
    m_cursor = std::make_unique<Dataset>();
    m_cursor->setDatabase(m_reader.get());
    m_cursor->setSql(QStringLiteral("SELECT * FROM T"));
    m_cursor->open();
    QVERIFY(!m_cursor->isUpdatable()); // read lazily: the cursor stays on its row
    QCOMPARE(m_cursor->recNo(), 0);
}

void TestTransactions::blockedByReader_data() {
    // Steps in order; a step ending in '!' must fail because the file is locked.
    QTest::addColumn<QString>("steps");
    QTest::newRow("commit") << "begin insert commit!";
    QTest::newRow("nested: the outer commit") << "begin begin insert commit commit!";
    QTest::newRow("nested: inner rolled back, outer commit") << "begin begin insert rollback insert commit!";
    QTest::newRow("schema statement") << "create!";
    QTest::newRow("schema statement in a unit") << "begin create commit!";
    QTest::newRow("rollback") << "begin insert rollback";
    QTest::newRow("rollback after an inner commit") << "begin begin insert commit rollback";
}

// A commit the file refuses reports the engine's message and undoes the whole
// transaction; a rollback succeeds even then. Either way the connection is
// back in autocommit and later writes are kept.
void TestTransactions::blockedByReader() {
    QFETCH(QString, steps);
    openWriterAndReader();
    Database& w = *m_writer;
    for (QString step : steps.split(u' ')) {
        const bool fails = step.endsWith(u'!');
        step.remove(u'!');
        auto run = [&] {
            if (step == u"begin")
                w.beginTransaction();
            else if (step == u"commit")
                w.commit();
            else if (step == u"rollback")
                w.rollback();
            else if (step == u"insert")
                w.execute(QStringLiteral("INSERT INTO T (Jmeno) VALUES ('Eva')"), Database::FailOnError);
            else if (step == u"create")
                w.execute(QStringLiteral("CREATE TABLE U (A LONG)"), Database::FailOnError);
        };
        if (fails)
            VERIFY_DB_ERROR(run(), kLocked);
        else
            run();
    }
    QVERIFY(w.engineInAutocommit());
    QCOMPARE(w.transactionDepth(), 0);
    QCOMPARE(count(w, "T"), 2);
    QVERIFY(!tableExists("U"));
    VERIFY_DB_ERROR(w.commit(), kNoTransaction);
    VERIFY_DB_ERROR(w.rollback(), kNoTransaction);

    // With the reader gone, the same connection writes for good.
    m_cursor->close();
    w.execute(QStringLiteral("INSERT INTO T (Jmeno) VALUES ('Ota')"), Database::FailOnError);
    w.beginTransaction();
    w.execute(QStringLiteral("CREATE TABLE U (A LONG)"), Database::FailOnError);
    w.commit();
    w.close();
    auto again = m_engine.defaultWorkspace().openDatabase(m_path);
    QCOMPARE(count(*again, "T WHERE Jmeno = 'Ota'"), 1);
    QCOMPARE(count(*again, "T"), 3);
    QVERIFY(again->tableNames().contains(QStringLiteral("U")));
}

void TestTransactions::lostTransaction_data() {
    QTest::addColumn<QString>("next"); // what the caller does after the engine gave up
    QTest::addColumn<bool>("raises");
    QTest::newRow("commit") << "commit" << true;
    QTest::newRow("begin a nested unit") << "begin" << true;
    QTest::newRow("rollback") << "rollback" << false;
}

// The engine itself may end a transaction after a serious error (a full disk,
// an I/O error). Nothing may then pass for committed, and the depth starts over.
void TestTransactions::lostTransaction() {
    QFETCH(QString, next);
    QFETCH(bool, raises);
    auto w = m_engine.defaultWorkspace().openDatabase(m_path);
    w->beginTransaction();
    w->execute(QStringLiteral("INSERT INTO T (Jmeno) VALUES ('Eva')"), Database::FailOnError);
    w->executeNative(QStringLiteral("ROLLBACK")); // as the engine does after such an error

    auto run = [&] {
        if (next == u"commit")
            w->commit();
        else if (next == u"begin")
            w->beginTransaction();
        else
            w->rollback();
    };
    if (raises)
        VERIFY_DB_ERROR(run(), kLost);
    else
        run();
    QCOMPARE(w->transactionDepth(), 0);
    QVERIFY(w->engineInAutocommit());
    VERIFY_DB_ERROR(w->commit(), kNoTransaction);

    w->beginTransaction();
    w->execute(QStringLiteral("INSERT INTO T (Jmeno) VALUES ('Ota')"), Database::FailOnError);
    w->commit();
    w->close();
    auto again = m_engine.defaultWorkspace().openDatabase(m_path);
    QCOMPARE(count(*again, "T"), 3);
    QCOMPARE(count(*again, "T WHERE Jmeno = 'Eva'"), 0);
}

void TestTransactions::schemaStepFails_data() {
    QTest::addColumn<bool>("inUnit");
    QTest::newRow("on its own") << false;
    QTest::newRow("inside a unit") << true;
}

// A counter column makes a table in several steps; the last one (its trigger)
// fails here because the name is taken. None of the steps may remain, and an
// enclosing unit goes on.
void TestTransactions::schemaStepFails() {
    QFETCH(bool, inUnit);
    m_writer = m_engine.defaultWorkspace().openDatabase(m_path);
    Database& w = *m_writer;
    w.executeNative(QStringLiteral("CREATE TRIGGER \"counter:U:ID\" AFTER INSERT ON T BEGIN SELECT 1; END"));
    if (inUnit) {
        w.beginTransaction();
        w.execute(QStringLiteral("INSERT INTO T (Jmeno) VALUES ('Eva')"), Database::FailOnError);
    }
    VERIFY_DB_ERROR(w.execute(QStringLiteral("CREATE TABLE U (ID COUNTER, A LONG)"), Database::FailOnError),
                    QStringLiteral("counter:U:ID"));
    QVERIFY(!tableExists("U"));
    QCOMPARE(w.transactionDepth(), inUnit ? 1 : 0);
    QCOMPARE(w.engineInAutocommit(), !inUnit);
    QCOMPARE(count(w, "MSysCounters WHERE tbl = 'U'"), 0);
    if (inUnit) w.commit();
    QCOMPARE(count(w, "T"), inUnit ? 3 : 2);
    // The failed statement left nothing in the way of a good one.
    w.execute(QStringLiteral("CREATE TABLE U (A LONG)"), Database::FailOnError);
    QVERIFY(tableExists("U"));
}

void TestTransactions::closeDuringTransaction() {
    auto w = m_engine.defaultWorkspace().openDatabase(m_path);
    w->beginTransaction();
    w->beginTransaction();
    w->execute(QStringLiteral("INSERT INTO T (Jmeno) VALUES ('Eva')"), Database::FailOnError);
    w->close();
    QCOMPARE(w->transactionDepth(), 0);
    VERIFY_DB_ERROR(w->commit(), kNoTransaction);
    VERIFY_DB_ERROR(w->rollback(), kNoTransaction);
    VERIFY_DB_ERROR(w->beginTransaction(), QStringLiteral("není otevřena"));
    auto again = m_engine.defaultWorkspace().openDatabase(m_path);
    QCOMPARE(count(*again, "T"), 2);
}

void TestTransactions::appendedRowsLeaveWithRollback_data() {
    QTest::addColumn<bool>("commitFails"); // else the caller rolls back
    QTest::newRow("failed commit") << true;
    QTest::newRow("rollback") << false;
}

// Rows appended through an updatable dataset inside a unit that is undone are
// gone from the file; the dataset must not go on listing them as empty rows.
void TestTransactions::appendedRowsLeaveWithRollback() {
    QFETCH(bool, commitFails);
    openWriterAndReader();
    Database& w = *m_writer;
    Dataset page;
    page.setDatabase(&w);
    page.setSql(QStringLiteral("SELECT * FROM T"));
    page.open();
    QVERIFY(page.isUpdatable());
    page.next(); // on Petr
    if (!commitFails) m_cursor->close();
    w.beginTransaction();
    for (const char* name : {"Eva", "Ota"}) {
        page.append();
        page.setValue(QStringLiteral("Jmeno"), QString::fromLatin1(name));
        page.post();
    }
    QCOMPARE(page.recordCount(), 4);
    if (commitFails)
        VERIFY_DB_ERROR(w.commit(), kLocked);
    else
        w.rollback();
    QCOMPARE(page.recordCount(), 2);
    QVERIFY(!page.eof());
    QCOMPARE(page.text(QStringLiteral("Jmeno")), QStringLiteral("Petr"));
    page.first();
    QCOMPARE(page.text(QStringLiteral("Jmeno")), QStringLiteral("Jan"));
}

QTEST_GUILESS_MAIN(TestTransactions)
#include "tst_transactions.moc"
