#include "StorageFixture.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>

using db::Dataset;
using storage_test::count;
using storage_test::postValues;

namespace {
// Five people; ordered by ID2 they are at positions 0..4.
const QStringList kPeople = {
    QStringLiteral("CREATE TABLE P (ID COUNTER, ID2 LONG, Jmeno TEXT(30), Prijmeni TEXT(12), Zn BIT)"),
    QStringLiteral("INSERT INTO P (ID2, Jmeno, Prijmeni) VALUES (1, 'Jan', 'Novák')"),
    QStringLiteral("INSERT INTO P (ID2, Jmeno, Prijmeni) VALUES (2, 'Petr', 'Svoboda')"),
    QStringLiteral("INSERT INTO P (ID2, Jmeno, Prijmeni) VALUES (3, 'Eva', 'Nováková')"),
    QStringLiteral("INSERT INTO P (ID2, Jmeno, Prijmeni) VALUES (4, 'Jana', 'Dvořák')"),
    QStringLiteral("INSERT INTO P (ID2, Jmeno, Prijmeni) VALUES (5, 'Karel', 'Černý')"),
};
const QString kAll = QStringLiteral("SELECT * FROM P ORDER BY ID2");
// Not updatable, so read lazily.
const QString kLazy = QStringLiteral("SELECT DISTINCT ID2, Jmeno, Prijmeni, Zn FROM P ORDER BY ID2");

// Runs moves written as words: first last next prior, or a signed distance for moveBy.
void run(Dataset& ds, const QString& steps) {
    for (const QString& s : steps.split(u' ', Qt::SkipEmptyParts)) {
        if (s == u"first")
            ds.first();
        else if (s == u"last")
            ds.last();
        else if (s == u"next")
            ds.next();
        else if (s == u"prior")
            ds.prior();
        else
            ds.moveBy(s.toInt());
    }
}
} // namespace

class TestDataset : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();
    void moves_data();
    void moves();
    void callbackGuard();
    void editAppendCancelRemove();
    void appendedRowStaysUntilReopen();
    void appendsWithChangingColumns();
    void appendKeepsDefaults();
    void booleanField();
    void counter_data();
    void counter();
    void textLength_data();
    void textLength();
    void locate_data();
    void locate();
    void lazyLargeTable_data();
    void lazyLargeTable();
    void valueAt();
    void valueAtLazy_data();
    void valueAtLazy();
    void failedOpen_data();
    void failedOpen();
    void failedWrites();
    void locateBoolean_data();
    void locateBoolean();
    void namesWithPlaceholders();

  private:
    void openOn(Dataset& ds, const QString& sql, int* calls = nullptr) {
        ds.setDatabase(m_db.get());
        ds.setSql(sql);
        if (calls) ds.setRowCallback([calls](Dataset&) { ++*calls; });
        ds.open();
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    db::Engine m_engine;
    std::unique_ptr<db::Database> m_db;
};

void TestDataset::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_db = storage_test::createDatabase(m_engine, m_dir->filePath(QStringLiteral("t.mdb")), kPeople);
}

void TestDataset::cleanup() {
    m_db.reset();
    m_dir.reset();
}

void TestDataset::moves_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("calls"); // row callback calls
    QTest::addColumn<int>("recNo");
    QTest::addColumn<bool>("bof");
    QTest::addColumn<bool>("eof");
    QTest::addColumn<int>("rows");

    for (const auto& [mode, sql] : {std::pair{"updatable", kAll}, std::pair{"lazy", kLazy}}) {
        auto row = [&](const char* name, const char* steps, int calls, int recNo, bool bof, bool eof) {
            QTest::addRow("%s: %s", mode, name)
                << sql << QString::fromLatin1(steps) << calls << recNo << bof << eof << 5;
        };
        row("", "", 1, 0, false, false);
        row("first, last", "first last", 3, 4, false, false);
        row("next, next, prior", "next next prior", 4, 1, false, false);
        row("next past the end", "last next", 2, -1, false, true);
        row("stays at eof", "last next next next", 2, -1, false, true);
        row("prior from eof", "last next prior", 3, 4, false, false);
        row("prior before first", "prior", 1, -1, true, false);
        row("stays at bof", "prior prior", 1, -1, true, false);
        row("next from bof", "prior next", 2, 0, false, false);
        row("move by", "+3 -1", 3, 2, false, false);
        row("move by 0", "0", 1, 0, false, false);
        row("move by past the end", "+10", 1, -1, false, true);
        row("move by before first", "next -2", 2, -1, true, false);
        row("move back from eof", "+10 -2", 2, 3, false, false);
    }
    const QString empty = QStringLiteral("SELECT * FROM P WHERE ID2 > 100");
    QTest::newRow("empty: open") << empty << "" << 0 << -1 << true << true << 0;
    QTest::newRow("empty: every move")
        << empty << "first last next prior +1 -1" << 0 << -1 << true << true << 0;
}

void TestDataset::moves() {
    QFETCH(QString, sql);
    QFETCH(QString, steps);
    QFETCH(int, calls);
    QFETCH(int, recNo);
    QFETCH(bool, bof);
    QFETCH(bool, eof);
    QFETCH(int, rows);

    Dataset ds;
    int n = 0;
    openOn(ds, sql, &n);
    run(ds, steps);
    QCOMPARE(n, calls);
    QCOMPARE(ds.recNo(), recNo);
    QCOMPARE(ds.bof(), bof);
    QCOMPARE(ds.eof(), eof);
    if (recNo >= 0) QCOMPARE(ds.value("ID2").toInt(), recNo + 1);

    {
        Dataset::CallbackGuard guard(ds);
        ds.last();
    }
    QCOMPARE(n, calls);
    QCOMPARE(ds.recordCount(), rows); // exact after last()
}

void TestDataset::callbackGuard() {
    Dataset ds;
    int calls = 0;
    {
        Dataset::CallbackGuard outer(ds);
        openOn(ds, kAll, &calls);
        {
            Dataset::CallbackGuard inner(ds);
            ds.next();
        }
        // The outer guard still holds after the inner one ends.
        QVERIFY(ds.callbackSuppressed());
        run(ds, "next last -2 first next next");
    }
    QCOMPARE(calls, 0);
    QVERIFY(!ds.callbackSuppressed());
    QCOMPARE(ds.recNo(), 2);
    ds.next();
    QCOMPARE(calls, 1);
    QCOMPARE(ds.value("ID2").toInt(), 4);
}

void TestDataset::editAppendCancelRemove() {
    Dataset ds;
    openOn(ds, kAll);
    QVERIFY(ds.isUpdatable());
    ds.next();
    ds.edit();
    postValues(ds, {{"Jmeno", "Pavel"}});
    QCOMPARE(ds.text("Jmeno"), QStringLiteral("Pavel"));
    QCOMPARE(count(*m_db, "P WHERE ID2 = 2 AND Jmeno = 'Pavel'"), 1);

    ds.edit();
    ds.setValue("Jmeno", "Zrušeno");
    QCOMPARE(ds.text("Jmeno"), QStringLiteral("Zrušeno"));
    ds.cancel();
    QCOMPARE(ds.state(), Dataset::State::Browse);
    QCOMPARE(ds.text("Jmeno"), QStringLiteral("Pavel"));
    ds.append();
    ds.setValue("Jmeno", "Nikdo");
    ds.cancel();
    QCOMPARE(ds.recordCount(), 5);
    QCOMPARE(ds.recNo(), 1);
    QCOMPARE(count(*m_db, "P WHERE Jmeno IN ('Zrušeno', 'Nikdo')"), 0);

    ds.append();
    postValues(ds, {{"ID2", 6}, {"Jmeno", "Ota"}});
    QCOMPARE(ds.recordCount(), 6);
    QCOMPARE(ds.recNo(), 5);
    QCOMPARE(count(*m_db, "P WHERE ID2 = 6 AND Jmeno = 'Ota'"), 1);

    // Removing moves to the following row, or to the new last one.
    ds.moveBy(-4);
    ds.remove();
    QCOMPARE(ds.recNo(), 1);
    QCOMPARE(ds.text("Jmeno"), QStringLiteral("Eva"));
    ds.last();
    ds.remove();
    QCOMPARE(ds.recordCount(), 4);
    QCOMPARE(ds.text("Jmeno"), QStringLiteral("Karel"));
    QCOMPARE(count(*m_db, "P"), 4);
    QCOMPARE(count(*m_db, "P WHERE Jmeno IN ('Pavel', 'Ota')"), 0);
}

void TestDataset::appendedRowStaysUntilReopen() {
    Dataset ds;
    QStringList seen; // Jmeno/ID of each row the callback saw
    openOn(ds, "SELECT * FROM P WHERE ID2 BETWEEN 1 AND 10");
    ds.setRowCallback([&seen](Dataset& d) { seen << d.text("Jmeno") + u'/' + d.text("ID"); });
    ds.append();
    postValues(ds, {{"ID2", 500}, {"Jmeno", "Mimo"}});
    // The callback sees the posted row, its counter filled in.
    QCOMPARE(seen, QStringList{"Mimo/6"});
    QCOMPARE(ds.recordCount(), 6);
    ds.first();
    ds.last();
    QCOMPARE(ds.value("ID2").toInt(), 500);

    ds.edit();
    postValues(ds, {{"Jmeno", "Jinde"}});
    QCOMPARE(seen.last(), QStringLiteral("Jinde/6"));

    ds.close();
    ds.open();
    ds.last();
    QCOMPARE(ds.recordCount(), 5);
    QCOMPARE(ds.value("ID2").toInt(), 5);
    QCOMPARE(count(*m_db, "P WHERE ID2 = 500 AND Jmeno = 'Jinde'"), 1);
}

// A copy step leaves empty columns out, so appends alternate between sets of
// columns: each row must get exactly its own values, also when more sets come
// by than the dataset keeps prepared.
void TestDataset::appendsWithChangingColumns() {
    Dataset ds;
    openOn(ds, kAll);
    const QStringList fields = {"ID2", "Jmeno", "Prijmeni", "Zn"};
    QStringList expected;
    for (int row = 0; row < 40; ++row) {
        // Every non-empty subset of the four fields, and back again.
        const int mask = row % 15 + 1;
        ds.append();
        QStringList shown;
        for (int f = 0; f < fields.size(); ++f) {
            if (!(mask & (1 << f))) {
                shown << QString();
                continue;
            }
            const QVariant v = f == 0   ? QVariant(100 + row)
                               : f == 3 ? QVariant(true)
                                        : QVariant(fields[f] + QString::number(row));
            ds.setValue(fields[f], v);
            shown << (f == 3 ? QStringLiteral("-1") : v.toString());
        }
        if (!(mask & 8)) shown[3] = QStringLiteral("0"); // a Yes/No field left alone is No
        ds.post();
        expected << shown.join(u'|');
    }
    Dataset check;
    openOn(check, "SELECT ID2, Jmeno, Prijmeni, Zn FROM P WHERE ID > 5 ORDER BY ID");
    QStringList stored;
    for (; !check.eof(); check.next()) {
        QStringList values;
        for (const QString& f : fields)
            values << check.text(f);
        stored << values.join(u'|');
    }
    QCOMPARE(stored, expected);
}

// Appends write every column whose default is Null in one statement; a
// column declared with a default still gets it when left alone, and a table
// column shown twice is written once.
void TestDataset::appendKeepsDefaults() {
    m_db->executeNative(
        QStringLiteral("CREATE TABLE D (ID INTEGER PRIMARY KEY, A TEXT(10) DEFAULT 'výchozí', "
                       "B LONG, Zn BIT DEFAULT 0)"));
    Dataset ds;
    openOn(ds, "SELECT ID, A, B, Zn, B AS B2 FROM D");
    ds.append();
    postValues(ds, {{"B2", 7}});
    ds.append();
    postValues(ds, {{"A", "dané"}, {"B", 8}});
    Dataset check;
    openOn(check, "SELECT A, B, Zn FROM D ORDER BY ID");
    QStringList stored;
    for (; !check.eof(); check.next())
        stored << check.text("A") + u'|' + check.text("B") + u'|' + check.text("Zn");
    QCOMPARE(stored, (QStringList{"výchozí|7|0", "dané|8|0"}));
}

void TestDataset::booleanField() {
    Dataset ds;
    openOn(ds, kAll);
    QCOMPARE(ds.value("Zn"), QVariant(false));

    ds.edit();
    ds.setValue("zn", true);
    ds.post();
    QCOMPARE(ds.value("Zn"), QVariant(true));
    QCOMPARE(ds.text("Zn"), QStringLiteral("-1"));

    ds.append(); // text as the grids hand it over
    ds.setValue("ID2", 6);
    ds.setValue("Zn", QStringLiteral("-1"));
    ds.post();
    QCOMPARE(ds.value("Zn"), QVariant(true));

    QCOMPARE(count(*m_db, "P WHERE Zn = -1"), 2);
    QCOMPARE(count(*m_db, "P WHERE Zn = True"), 2);
    QCOMPARE(count(*m_db, "P WHERE Zn = False"), 4);
    QCOMPARE(count(*m_db, "P WHERE Zn = 1"), 0);

    Dataset lazy;
    openOn(lazy, kLazy);
    QCOMPARE(lazy.value("Zn"), QVariant(true));
    lazy.next();
    QCOMPARE(lazy.value("Zn"), QVariant(false));
}

void TestDataset::counter_data() {
    QTest::addColumn<bool>("throughDataset");
    QTest::newRow("dataset append") << true;
    QTest::newRow("INSERT statement") << false;
}

void TestDataset::counter() {
    QFETCH(bool, throughDataset);
    m_db->execute(QStringLiteral("CREATE TABLE C (ID COUNTER, Jmeno TEXT(10))"), db::Database::FailOnError);
    // Empty means "let the counter fill it".
    const QList<int> given = {0, 0, 0, 1, 1, 10, 0};
    const QList<int> stored = {1, 2, 3, 1, 1, 10, 11};

    Dataset ds;
    openOn(ds, "SELECT * FROM C");
    for (int i = 0; i < given.size(); ++i) {
        if (throughDataset) {
            ds.append();
            ds.setValue("Jmeno", QStringLiteral("r%1").arg(i));
            if (given[i]) ds.setValue("ID", given[i]);
            ds.post();
            QCOMPARE(ds.value("ID").toInt(), stored[i]);
        } else if (given[i]) {
            m_db->execute(
                QStringLiteral("INSERT INTO C (ID, Jmeno) VALUES (%1, 'r%2')").arg(given[i]).arg(i));
        } else {
            m_db->execute(QStringLiteral("INSERT INTO C (Jmeno) VALUES ('r%1')").arg(i));
        }
    }
    ds.open();
    QList<int> ids;
    for (; !ds.eof(); ds.next())
        ids << ds.value("ID").toInt();
    QCOMPARE(ids, stored);
}

void TestDataset::textLength_data() {
    QTest::addColumn<bool>("editing"); // otherwise appending
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("accepted");

    for (bool editing : {true, false}) {
        const char* mode = editing ? "edit" : "append";
        QTest::addRow("%s: 12 Czech letters", mode) << editing << QStringLiteral("Řeřicháčková") << true;
        QTest::addRow("%s: 13 Czech letters", mode) << editing << QStringLiteral("Řeřicháčkováá") << false;
        QTest::addRow("%s: 12 plain letters", mode) << editing << QStringLiteral("Abcdefghijkl") << true;
        QTest::addRow("%s: 13 plain letters", mode) << editing << QStringLiteral("Abcdefghijklm") << false;
    }
}

void TestDataset::textLength() {
    QFETCH(bool, editing);
    QFETCH(QString, value);
    QFETCH(bool, accepted);

    Dataset ds;
    openOn(ds, kAll);
    const QString field = QStringLiteral("Prijmeni"); // Text(12)
    editing ? ds.edit() : ds.append();
    ds.setValue(field, value);
    if (accepted) {
        ds.post();
        QCOMPARE(ds.text(field), value);
        QCOMPARE(count(*m_db, QStringLiteral("P WHERE Prijmeni = '%1'").arg(value)), 1);
        return;
    }
    VERIFY_DB_ERROR(ds.post(), field);
    QCOMPARE(ds.state(), editing ? Dataset::State::Edit : Dataset::State::Insert);
    QCOMPARE(ds.text(field), value);
    ds.cancel();
    QCOMPARE(ds.state(), Dataset::State::Browse);
    QCOMPARE(ds.text(field), QStringLiteral("Novák"));
    QCOMPARE(count(*m_db, "P"), 5);
    QCOMPARE(count(*m_db, "P WHERE Prijmeni = 'Novák'"), 1);
}

void TestDataset::locate_data() {
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<bool>("caseInsensitive");
    QTest::addColumn<bool>("partialKey");
    QTest::addColumn<int>("found"); // ID2, 0 when not found

    const QStringList prijmeni{"Prijmeni"}, both{"Jmeno", "Prijmeni"};
    auto v = [](auto... values) { return QVariantList{QVariant(values)...}; };
    QTest::newRow("one field") << prijmeni << v(QString("Dvořák")) << true << false << 4;
    QTest::newRow("case ignored") << QStringList{"PRIJMENI"} << v(QString("novák")) << true << false << 1;
    QTest::newRow("case kept") << prijmeni << v(QString("novák")) << false << false << 0;
    QTest::newRow("partial key") << prijmeni << v(QString("Nov")) << true << true << 1;
    QTest::newRow("partial key, longer") << prijmeni << v(QString("nováko")) << true << true << 3;
    QTest::newRow("partial key, accents count") << prijmeni << v(QString("Cer")) << true << true << 0;
    QTest::newRow("whole key needed") << prijmeni << v(QString("Nov")) << true << false << 0;
    QTest::newRow("two fields") << both << v(QString("eva"), QString("NOVÁKOVÁ")) << true << false << 3;
    QTest::newRow("two fields, one differs")
        << both << v(QString("Jan"), QString("Nováková")) << true << false << 0;
    QTest::newRow("number") << QStringList{"ID2"} << v(5) << true << false << 5;
    QTest::newRow("number given as text") << QStringList{"ID2"} << v(QString("4")) << true << false << 4;
    QTest::newRow("not found") << prijmeni << v(QString("Procházka")) << true << false << 0;
}

void TestDataset::locate() {
    QFETCH(QStringList, fields);
    QFETCH(QVariantList, values);
    QFETCH(bool, caseInsensitive);
    QFETCH(bool, partialKey);
    QFETCH(int, found);

    for (const QString& sql : {kAll, kLazy}) {
        Dataset ds;
        int calls = 0;
        openOn(ds, sql, &calls);
        ds.moveBy(3);
        calls = 0;
        const bool ok = ds.locate(fields, values, db::LocateOptions{caseInsensitive, partialKey});
        QCOMPARE(ok, found > 0);
        QCOMPARE(calls, found > 0 ? 1 : 0);
        QCOMPARE(ds.value("ID2").toInt(), found > 0 ? found : 4);
    }
}

void TestDataset::lazyLargeTable_data() {
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("sql");
    QTest::newRow("read-only database") << true << "SELECT N, Jmeno FROM Big ORDER BY N";
    QTest::newRow("join") << false
                          << "SELECT B.N, B.Jmeno FROM Big AS B, One AS O WHERE B.N > O.K ORDER BY B.N";
}

void TestDataset::lazyLargeTable() {
    QFETCH(bool, readOnly);
    QFETCH(QString, sql);

    for (const char* sql : {"CREATE TABLE Big (N LONG, Jmeno TEXT(10))", "CREATE TABLE One (K LONG)",
                            "INSERT INTO One (K) VALUES (0)"})
        m_db->execute(QString::fromLatin1(sql), db::Database::FailOnError);
    m_db->executeNative(
        QStringLiteral("WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c WHERE n < 5000) "
                       "INSERT INTO Big (N, Jmeno) SELECT n, 'J' || n FROM c"));
    if (readOnly) {
        const QString path = m_db->path();
        m_db.reset();
        m_db = m_engine.defaultWorkspace().openDatabase(path, db::OpenOptions{false, true, false});
    }

    Dataset ds;
    openOn(ds, sql);
    QVERIFY(!ds.isUpdatable());
    // Each move and the row it must land on (0: eof). Moving back past the rows
    // the cursor keeps re-reads them by position.
    const std::pair<const char*, int> path[] = {
        {"last", 5000},  {"prior", 4999}, {"next", 5000}, {"next", 0},  {"prior", 5000}, {"-300", 4700},
        {"prior", 4699}, {"+2", 4701},    {"-4000", 701}, {"first", 1}, {"+2499", 2500}};
    for (const auto& [step, n] : path) {
        run(ds, QString::fromLatin1(step));
        QCOMPARE(ds.recordCount(), 5000);
        QCOMPARE(ds.eof(), n == 0);
        if (n == 0) continue;
        QCOMPARE(ds.recNo(), n - 1);
        QCOMPARE(ds.value("N").toInt(), n);
        QCOMPARE(ds.text("Jmeno"), QStringLiteral("J%1").arg(n));
    }
    // Searching from the start after the cursor went past must take one pass over
    // the rows, not a query per row.
    QElapsedTimer timer;
    timer.start();
    QVERIFY(ds.locate("Jmeno", QStringLiteral("j4321")));
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QStringLiteral("locate took %1 ms").arg(timer.elapsed())));
    QCOMPARE(ds.value("N").toInt(), 4321);
    VERIFY_DB_ERROR(ds.edit(), QStringLiteral("jen pro čtení"));
}

// Reading other rows neither moves the dataset nor runs the callback, and
// shows rows as stored: the pending edit only after it is posted.
void TestDataset::valueAt() {
    Dataset ds;
    int calls = 0;
    openOn(ds, kAll, &calls);
    ds.moveBy(2);
    calls = 0;
    QStringList names;
    for (int p = 0; p < ds.recordCount(); ++p)
        names << ds.valueAt(p, ds.fieldIndex("Jmeno")).toString();
    QCOMPARE(names, (QStringList{"Jan", "Petr", "Eva", "Jana", "Karel"}));
    QCOMPARE(ds.valueAt(4, "zn"), QVariant(false));
    QVERIFY(ds.valueAt(-1, "ID2").isNull());
    QVERIFY(ds.valueAt(5, "ID2").isNull());
    QCOMPARE(ds.recNo(), 2);
    QCOMPARE(calls, 0);

    ds.edit();
    ds.setValue("Jmeno", "Ema");
    QCOMPARE(ds.valueAt(2, "Jmeno"), QVariant("Eva"));
    ds.post();
    QCOMPARE(ds.valueAt(2, "Jmeno"), QVariant("Ema"));

    ds.append();
    postValues(ds, {{"ID2", 6}, {"Zn", true}});
    QCOMPARE(ds.valueAt(5, "Zn"), QVariant(true));
    ds.first();
    ds.remove();
    QCOMPARE(ds.valueAt(0, "ID2").toInt(), 2);

    VERIFY_DB_ERROR(ds.valueAt(0, "Nic"), "Nic");
    VERIFY_DB_ERROR(ds.valueAt(0, 99), "99");
    ds.close();
    VERIFY_DB_ERROR(ds.valueAt(0, 0), "zavřen");
}

void TestDataset::valueAtLazy_data() {
    QTest::addColumn<QString>("steps");
    QTest::newRow("at open") << "";
    QTest::newRow("moved on") << "+3";
    QTest::newRow("moved back") << "+4 -2 prior";
    QTest::newRow("last") << "last";
    QTest::newRow("past the end") << "last next";
}

// A lazy dataset gives a row it can reach cheaply or Null, never another row's
// value, and the current row always.
void TestDataset::valueAtLazy() {
    QFETCH(QString, steps);
    Dataset ds;
    int calls = 0;
    openOn(ds, kLazy, &calls);
    run(ds, steps);
    const int at = ds.recNo(), callsBefore = calls;
    for (int p = -1; p <= 5; ++p) {
        const QVariant v = ds.valueAt(p, "ID2");
        QVERIFY2(v.isNull() || v.toInt() == p + 1,
                 qPrintable(QStringLiteral("row %1 read %2").arg(p).arg(v.toString())));
    }
    if (at >= 0) {
        const QVariant current = ds.valueAt(at, "Jmeno"); // before value() has read the row
        QCOMPARE(current, ds.value("Jmeno"));
    }
    QCOMPARE(ds.recNo(), at);
    QCOMPARE(calls, callsBefore);
}

void TestDataset::failedOpen_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("steps"); // moves after a good open; empty: the open itself fails
    QTest::addColumn<QString>("error");

    // The third row's pattern is malformed: the statement fails when it reaches that row.
    const QString like = QStringLiteral("FROM L WHERE Jmeno LIKE Vzor");
    QTest::newRow("key set: reading the keys") << "SELECT * " + like << ""
                                               << "LIKE";
    QTest::newRow("lazy: the first row") << "SELECT DISTINCT ID, Jmeno " + like + " ORDER BY ID"
                                         << ""
                                         << "LIKE";
    QTest::newRow("lazy: a later row") << "SELECT DISTINCT ID, Jmeno " + like << "next next"
                                       << "LIKE";
    QTest::newRow("unknown table") << "SELECT * FROM Nic"
                                   << ""
                                   << "Nic";
}

// A statement that fails after it was prepared leaves the dataset closed and
// empty, and the next statement shows its own rows only.
void TestDataset::failedOpen() {
    QFETCH(QString, sql);
    QFETCH(QString, steps);
    QFETCH(QString, error);

    for (const char* s : {"CREATE TABLE L (ID COUNTER, Jmeno TEXT(10), Vzor TEXT(10))",
                          "INSERT INTO L (Jmeno, Vzor) VALUES ('Jan', 'J*')",
                          "INSERT INTO L (Jmeno, Vzor) VALUES ('Petr', 'P*')",
                          "INSERT INTO L (Jmeno, Vzor) VALUES ('Eva', '[e')"})
        m_db->execute(QString::fromLatin1(s), db::Database::FailOnError);

    Dataset ds;
    QSignalSpy opened(&ds, &Dataset::opened), closed(&ds, &Dataset::closed);
    openOn(ds, kAll);
    ds.setSql(sql);
    if (steps.isEmpty()) {
        VERIFY_DB_ERROR(ds.open(), error);
    } else {
        ds.open();
        VERIFY_DB_ERROR(run(ds, steps), error);
    }
    QCOMPARE(ds.state(), Dataset::State::Inactive);
    QVERIFY(!ds.isOpen());
    QCOMPARE(ds.recordCount(), 0);
    QCOMPARE(ds.fieldCount(), 0);
    QVERIFY(ds.bof());
    QVERIFY(ds.eof());
    QCOMPARE(ds.recNo(), -1);
    // Whoever saw the dataset open also saw it close.
    QCOMPARE(closed.count(), opened.count());
    VERIFY_DB_ERROR(ds.value("Jmeno"), "Jmeno");

    for (const QString& good :
         {QStringLiteral("SELECT * FROM P WHERE ID2 <= 2 ORDER BY ID2"),
          QStringLiteral("SELECT DISTINCT ID2, Jmeno FROM P WHERE ID2 <= 2 ORDER BY ID2")}) {
        ds.setSql(good);
        ds.open();
        QCOMPARE(ds.fieldCount(), good.contains(u'*') ? 5 : 2);
        QStringList names;
        for (; !ds.eof(); ds.next())
            names << ds.text("Jmeno");
        QCOMPARE(names, (QStringList{"Jan", "Petr"}));
        QCOMPARE(ds.recordCount(), 2);
    }
}

// Writes the table refuses change nothing and lose nothing: a failed post keeps
// the pending values, a failed remove keeps the row, a move stays put.
void TestDataset::failedWrites() {
    m_db->executeNative(QStringLiteral(
        "CREATE TRIGGER keep BEFORE DELETE ON P WHEN OLD.ID2 = 2 BEGIN SELECT RAISE(ABORT, 'chráněný'); END; "
        "CREATE TRIGGER fixed BEFORE UPDATE ON P WHEN OLD.ID2 = 2 BEGIN SELECT RAISE(ABORT, 'chráněný'); "
        "END; "
        "CREATE TRIGGER none BEFORE INSERT ON P WHEN NEW.ID2 = 0 BEGIN SELECT RAISE(ABORT, 'chráněný'); "
        "END"));
    Dataset ds;
    int calls = 0;
    openOn(ds, kAll, &calls);
    ds.next();

    ds.edit();
    ds.setValue("Jmeno", "Pavel");
    VERIFY_DB_ERROR(ds.post(), "chráněný");
    QCOMPARE(ds.state(), Dataset::State::Edit);
    QCOMPARE(ds.text("Jmeno"), QStringLiteral("Pavel"));
    VERIFY_DB_ERROR(ds.next(), "chráněný"); // posts first
    QCOMPARE(ds.state(), Dataset::State::Edit);
    QCOMPARE(ds.recNo(), 1);
    ds.cancel();
    QCOMPARE(ds.text("Jmeno"), QStringLiteral("Petr"));

    VERIFY_DB_ERROR(ds.remove(), "chráněný");
    QCOMPARE(ds.state(), Dataset::State::Browse);
    QCOMPARE(ds.recNo(), 1);
    QCOMPARE(ds.recordCount(), 5);
    QCOMPARE(ds.text("Jmeno"), QStringLiteral("Petr"));

    ds.append();
    ds.setValue("ID2", 0);
    ds.setValue("Jmeno", "Nula");
    VERIFY_DB_ERROR(ds.post(), "chráněný");
    QCOMPARE(ds.state(), Dataset::State::Insert);
    QCOMPARE(ds.recordCount(), 5);
    ds.setValue("ID2", 6); // corrected, it goes in
    ds.post();
    QCOMPARE(ds.recordCount(), 6);
    QCOMPARE(ds.text("Jmeno"), QStringLiteral("Nula"));
    QCOMPARE(count(*m_db, "P"), 6);
    QCOMPARE(count(*m_db, "P WHERE Jmeno IN ('Pavel', 'Petr')"), 1);
}

void TestDataset::locateBoolean_data() {
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("found"); // ID2 of the first match, 0 when none

    // Marked are 2 and 4.
    QTest::newRow("-1") << QVariant(-1) << 2;
    QTest::newRow("\"-1\"") << QVariant(QStringLiteral("-1")) << 2;
    QTest::newRow("\"−1\" with the minus sign") << QVariant(QStringLiteral("\u22121")) << 2;
    QTest::newRow("true") << QVariant(true) << 2;
    QTest::newRow("\"True\"") << QVariant(QStringLiteral("True")) << 2;
    QTest::newRow("\"true\"") << QVariant(QStringLiteral("true")) << 2;
    QTest::newRow("0") << QVariant(0) << 1;
    QTest::newRow("\"0\"") << QVariant(QStringLiteral("0")) << 1;
    QTest::newRow("false") << QVariant(false) << 1;
    QTest::newRow("\"False\"") << QVariant(QStringLiteral("False")) << 1;
    QTest::newRow("not a Yes/No value") << QVariant(QStringLiteral("Ano?")) << 0;
    QTest::newRow("Null") << QVariant() << 0;
}

void TestDataset::locateBoolean() {
    QFETCH(QVariant, value);
    QFETCH(int, found);
    m_db->execute(QStringLiteral("UPDATE P SET Zn = True WHERE ID2 IN (2, 4)"), db::Database::FailOnError);
    for (const QString& sql : {kAll, kLazy}) {
        Dataset ds;
        openOn(ds, sql);
        ds.last();
        QCOMPARE(ds.locate("Zn", value), found > 0);
        QCOMPARE(ds.value("ID2").toInt(), found > 0 ? found : 5);
        // The same value sets the field as it finds it.
        if (found == 0 || !ds.isUpdatable()) continue;
        ds.edit();
        ds.setValue("Zn", value);
        ds.post();
        QCOMPARE(ds.value("Zn"), QVariant(found == 2));
    }
}

// Table and field names are written into the engine's statements as they are:
// a "%1" in them must stay a "%1".
void TestDataset::namesWithPlaceholders() {
    m_db->executeNative(QStringLiteral("CREATE TABLE \"a%1b\" (\"x%1\" TEXT, \"y%2\" INTEGER, \"%3\" TEXT)"));
    Dataset ds;
    openOn(ds, QStringLiteral("SELECT * FROM [a%1b]"));
    QVERIFY(ds.isUpdatable());
    ds.append();
    postValues(ds, {{"x%1", "první"}, {"y%2", 1}, {"%3", "c"}});
    ds.append();
    postValues(ds, {{"x%1", "druhý"}, {"y%2", 2}});
    ds.first();
    ds.edit();
    postValues(ds, {{"x%1", "jiný"}, {"%3", "d"}});
    ds.last();
    ds.remove();

    ds.open();
    QCOMPARE(ds.recordCount(), 1);
    QCOMPARE(ds.text("x%1"), QStringLiteral("jiný"));
    QCOMPARE(ds.value("y%2").toInt(), 1);
    QCOMPARE(ds.text("%3"), QStringLiteral("d"));
}

QTEST_GUILESS_MAIN(TestDataset)
#include "tst_dataset.moc"
