#include "RowCopy.h"

#include "Database.h"
#include "Dataset.h"
#include "OwnDatabases.h"
#include "Scramble.h"
#include "TextHelpers.h"

#include <QTemporaryDir>
#include <QTest>
#include <memory>

using row_copy::Directory;

Q_DECLARE_METATYPE(Directory)

namespace {

const QString kKey = QStringLiteral("1001");
// 123456789 as the directory stores it under the key 1001.
const QString kStored = phone::unscramble(QStringLiteral("123456789"), kKey);

QVariant orNull(const QString& s) {
    return s.isEmpty() ? QVariant() : QVariant(s);
}

} // namespace

class TestRowCopy : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    db::Engine m_engine;
    std::unique_ptr<db::Database> m_src, m_work, m_buf;
    int m_running = 0;

    static std::unique_ptr<db::Dataset> open(db::Database* d, const QString& sql) {
        auto ds = std::make_unique<db::Dataset>();
        ds->setDatabase(d);
        ds->setSql(sql);
        ds->open();
        return ds;
    }

    // Appends a row to the table, lets fill set it, and posts it.
    template <class Fill> static void appendTo(db::Database* d, const QString& table, Fill fill) {
        auto ds = open(d, QStringLiteral("SELECT * FROM ") + table);
        ds->append();
        fill(*ds);
        ds->post();
    }

    static QString source(Directory d) {
        return d == Directory::Persons ? QStringLiteral("SrcO") : QStringLiteral("SrcF");
    }
    static QString working(Directory d) {
        return d == Directory::Persons ? QStringLiteral("Osoby") : QStringLiteral("Firmy");
    }

    // A directory row with a name, CP 5, euroISDN = ID * 10 and no Poznamka.
    void addDirectoryRow(Directory d, int id, const QString& telA, const QString& ext, const QString& psc) {
        appendTo(m_src.get(), source(d), [&](db::Dataset& r) {
            r.setValue(QStringLiteral("ID"), id);
            r.setValue(d == Directory::Persons ? QStringLiteral("Prijmeni") : QStringLiteral("Firma"),
                       QStringLiteral("Novák"));
            r.setValue(QStringLiteral("CP"), QStringLiteral("5"));
            r.setValue(QStringLiteral("PSC"), orNull(psc));
            r.setValue(QStringLiteral("euroISDN"), id * 10);
            r.setValue(QStringLiteral("Tel_a"), telA);
            r.setValue(QStringLiteral("TelExt_a"), orNull(ext));
        });
    }

    static void verifyCommon(Directory d, const db::Dataset& w, int id) {
        QCOMPARE(w.text(d == Directory::Persons ? QStringLiteral("Prijmeni") : QStringLiteral("Firma")),
                 QStringLiteral("Novák"));
        QCOMPARE(w.text(QStringLiteral("CP")), QStringLiteral("5"));
        QCOMPARE(w.text(QStringLiteral("euroISDN")), QString::number(id * 10));
        QVERIFY(w.isNull(QStringLiteral("Poznamka"))); // Null stays Null, not ""
        QCOMPARE(w.value(QStringLiteral("Zn")).toBool(), false);
    }

  private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        auto& ws = m_engine.defaultWorkspace();
        m_src = ws.createDatabase(m_dir.filePath(QStringLiteral("src.mdb")), db::kCzechLocale);
        m_work = ws.createDatabase(m_dir.filePath(QStringLiteral("work.mdb")), db::kCzechLocale);
        m_buf = ws.createDatabase(m_dir.filePath(QStringLiteral("buf.mdb")), db::kCzechLocale);
        m_src->execute(
            QStringLiteral(
                "CREATE TABLE SrcO (ID LONG, Titul TEXT(30), Jmeno TEXT(30), Prijmeni TEXT(50), "
                "Ulice TEXT(50), CP TEXT(50), Obec TEXT(50), Cast TEXT(50), PSC TEXT(6), UTO TEXT(5), "
                "Poznamka TEXT(250), euroISDN LONG, Tel_a TEXT(10), TelExt_a TEXT(20))"),
            db::Database::FailOnError);
        m_src->execute(
            QStringLiteral("CREATE TABLE SrcF (ID LONG, Firma TEXT(100), Ulice TEXT(50), CP TEXT(50), "
                           "Obec TEXT(50), Cast TEXT(50), PSC TEXT(6), Poznamka TEXT(250), URL TEXT(250), "
                           "UTO TEXT(5), euroISDN LONG, Tel_a TEXT(10), TelExt_a TEXT(20))"),
            db::Database::FailOnError);
        m_work->defineTable(db::layouts::persons());
        m_work->defineTable(db::layouts::firmsResult());
        m_buf->defineTable(db::layouts::persons());
        m_buf->defineTable(db::layouts::firmsBuffer());
        m_buf->defineTable(db::layouts::personsExtra());
        m_buf->defineTable(db::layouts::firmsExtra());
    }

    void storedNumber_data() {
        QTest::addColumn<QString>("telA");
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<QString>("expected");
        QTest::newRow("four digits") << "6051"
                                     << ""
                                     << "7" << false << "6051";
        QTest::newRow("four together") << "605"
                                       << "1"
                                       << "7" << false << "605";
        QTest::newRow("no key") << "6051" << kStored.mid(4) << "" << false << "6051";
        QTest::newRow("persons") << kStored.left(4) << kStored.mid(4) << kKey << false << "123456789";
        QTest::newRow("persons, long Tel_a cut")
            << kStored.left(4) + u'9' << kStored.mid(4) << kKey << false << "123456789";
        QTest::newRow("firms, whole Tel_a")
            << kStored.left(5) << kStored.mid(5) << kKey << true << "123456789";
    }
    void storedNumber() {
        QFETCH(QString, telA);
        QFETCH(QString, ext);
        QFETCH(QString, id);
        QFETCH(bool, whole);
        QFETCH(QString, expected);
        QCOMPARE(row_copy::storedNumber(telA, ext, id, whole), expected);
    }

    void copyToWorking_data() {
        QTest::addColumn<Directory>("dir");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("telA");
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QString>("psc");
        QTest::addColumn<QString>("tel");
        QTest::addColumn<QVariant>("expectedPsc");
        QTest::newRow("persons four digits") << Directory::Persons << 1 << "6051"
                                             << ""
                                             << "12345"
                                             << "605 1" << QVariant("123 45");
        QTest::newRow("persons scrambled")
            << Directory::Persons << 1001 << kStored.left(4) << kStored.mid(4) << "1234"
            << "123 456 789" << QVariant("1234");
        QTest::newRow("persons psc 6") << Directory::Persons << 2 << "6051"
                                       << ""
                                       << "123 45"
                                       << "605 1" << QVariant("123 45");
        QTest::newRow("persons no psc") << Directory::Persons << 3 << "6051"
                                        << ""
                                        << ""
                                        << "605 1" << QVariant();
        QTest::newRow("firms whole Tel_a")
            << Directory::Firms << 1001 << kStored.left(5) << kStored.mid(5) << "60200"
            << "123 456 789" << QVariant("602 00");
        QTest::newRow("firms no psc") << Directory::Firms << 4 << "2223"
                                      << ""
                                      << ""
                                      << "222 3" << QVariant();
    }
    void copyToWorking() {
        QFETCH(Directory, dir);
        QFETCH(int, id);
        QFETCH(QString, telA);
        QFETCH(QString, ext);
        QFETCH(QString, psc);
        QFETCH(QString, tel);
        QFETCH(QVariant, expectedPsc);
        addDirectoryRow(dir, id, telA, ext, psc);
        const int n = ++m_running;
        auto src =
            open(m_src.get(), QStringLiteral("SELECT * FROM %1 WHERE ID = %2").arg(source(dir)).arg(id));
        src->last(); // the row just added
        appendTo(m_work.get(), working(dir),
                 [&](db::Dataset& w) { row_copy::copyToWorking(dir, *src, w, n); });

        auto w =
            open(m_work.get(), QStringLiteral("SELECT * FROM %1 WHERE ID2 = %2").arg(working(dir)).arg(n));
        QCOMPARE(w->recordCount(), 1);
        QCOMPARE(w->text(QStringLiteral("Tel")), tel);
        QCOMPARE(w->value(QStringLiteral("PSC")), expectedPsc);
        QVERIFY(w->isNull(QStringLiteral("ID")));
        verifyCommon(dir, *w, id);
    }

    // A firms row whose statement has no CP still gets its other columns.
    void firmsWithoutCp() {
        addDirectoryRow(Directory::Firms, 5, QStringLiteral("2224"), {}, QStringLiteral("11000"));
        auto src = open(m_src.get(),
                        QStringLiteral("SELECT ID, Firma, Ulice, Obec, Cast, PSC, Poznamka, URL, euroISDN, "
                                       "Tel_a, TelExt_a FROM SrcF WHERE ID = 5"));
        const int n = ++m_running;
        appendTo(m_work.get(), QStringLiteral("Firmy"),
                 [&](db::Dataset& w) { row_copy::copyToWorking(Directory::Firms, *src, w, n); });
        auto w = open(m_work.get(), QStringLiteral("SELECT * FROM Firmy WHERE ID2 = %1").arg(n));
        QVERIFY(w->isNull(QStringLiteral("CP")));
        QCOMPARE(w->text(QStringLiteral("Tel")), QStringLiteral("222 4"));
    }

    // Directory row into the buffer and on into the working table.
    void throughBuffer_data() {
        QTest::addColumn<Directory>("dir");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("telA");
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QString>("psc");
        QTest::addColumn<QVariant>("workingPsc");
        QTest::newRow("persons") << Directory::Persons << 2001 << kStored.left(4) << kStored.mid(4) << "12345"
                                 << QVariant("123 45");
        QTest::newRow("persons no psc") << Directory::Persons << 2002 << "6051"
                                        << ""
                                        << "" << QVariant();
        QTest::newRow("firms") << Directory::Firms << 2003 << kStored.left(4) << kStored.mid(4) << "1234"
                               << QVariant("1234");
    }
    void throughBuffer() {
        QFETCH(Directory, dir);
        QFETCH(int, id);
        QFETCH(QString, telA);
        QFETCH(QString, ext);
        QFETCH(QString, psc);
        QFETCH(QVariant, workingPsc);
        const QString key = QString::number(id);
        const QString plain = row_copy::storedNumber(telA, ext, key, true);
        addDirectoryRow(dir, id, telA, ext, psc);
        auto src =
            open(m_src.get(), QStringLiteral("SELECT * FROM %1 WHERE ID = %2").arg(source(dir)).arg(id));
        appendTo(m_buf.get(), working(dir), [&](db::Dataset& b) { row_copy::copyToBuffer(dir, *src, b); });

        auto b =
            open(m_buf.get(), QStringLiteral("SELECT * FROM %1 WHERE ID = %2").arg(working(dir)).arg(id));
        QCOMPARE(b->recordCount(), 1);
        QCOMPARE(b->text(QStringLiteral("ID2")), QStringLiteral("1"));
        QCOMPARE(b->text(QStringLiteral("Tel")), plain); // bare digits
        QCOMPARE(b->value(QStringLiteral("PSC")), orNull(psc));
        verifyCommon(dir, *b, id);

        const int n = ++m_running;
        appendTo(m_work.get(), working(dir),
                 [&](db::Dataset& w) { row_copy::copyBufferToWorking(dir, *b, w, n); });
        auto w =
            open(m_work.get(), QStringLiteral("SELECT * FROM %1 WHERE ID2 = %2").arg(working(dir)).arg(n));
        QCOMPARE(w->recordCount(), 1);
        QCOMPARE(w->text(QStringLiteral("ID")), key);
        QCOMPARE(w->text(QStringLiteral("Tel")), text::phoneGrouping(plain));
        QCOMPARE(w->value(QStringLiteral("PSC")), workingPsc);
        verifyCommon(dir, *w, id);
    }

    void extraNumberInsert_data() {
        QTest::addColumn<Directory>("dir");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("expected");
        QTest::newRow("persons")
            << Directory::Persons << "123456789"
            << "INSERT INTO Osoby_TEL_Navic (Tel, EuroISDN) VALUES (\"123456789\",\"77\")";
        QTest::newRow("firms quote")
            << Directory::Firms << "12\"3"
            << "INSERT INTO Firmy_TEL_Navic (Tel, EuroISDN) VALUES (\"12\"\"3\",\"77\")";
    }
    void extraNumberInsert() {
        QFETCH(Directory, dir);
        QFETCH(QString, number);
        QFETCH(QString, expected);
        const QString sql = row_copy::extraNumberInsert(dir, number, QStringLiteral("77"));
        QCOMPARE(sql, expected);
        const QString table =
            dir == Directory::Persons ? QStringLiteral("Osoby_TEL_Navic") : QStringLiteral("Firmy_TEL_Navic");
        m_buf->execute(sql, db::Database::FailOnError);
        auto t = open(m_buf.get(), QStringLiteral("SELECT * FROM %1").arg(table));
        QCOMPARE(t->recordCount(), 1);
        QCOMPARE(t->text(QStringLiteral("Tel")), number);
        QCOMPARE(t->text(QStringLiteral("euroISDN")), QStringLiteral("77"));
    }
};

QTEST_GUILESS_MAIN(TestRowCopy)
#include "tst_rowcopy.moc"
