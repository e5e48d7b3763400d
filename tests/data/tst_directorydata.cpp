// The generated test directory: what the searches and the start-up rely on.

#include "Database.h"
#include "DatabaseLogin.h"
#include "Dataset.h"
#include "Error.h"
#include "Scramble.h"

#include <QFileInfo>
#include <QtTest>

using namespace db;

class TestDirectoryData : public QObject {
    Q_OBJECT

    const QString m_folder = QStringLiteral(ORDANA_TEST_DATA);
    Engine m_engine;
    std::unique_ptr<Workspace> m_ws;
    std::unique_ptr<Database> m_db;

    QStringList column(const QString& sql) {
        Dataset ds;
        ds.setDatabase(m_db.get());
        ds.setSql(sql);
        ds.open();
        QStringList out;
        for (; !ds.eof(); ds.next())
            out << ds.text(ds.fieldName(0));
        return out;
    }
    qint64 count(const QString& sql) { return column(sql).value(0).toLongLong(); }

  private slots:
    void initTestCase() {
        m_engine.setWorkgroupFile(m_folder + QStringLiteral("/ordat.mdw"));
        const Login login = databaseLogin();
        m_ws = m_engine.openWorkspace(login.user, login.password);
        OpenOptions o;
        o.readOnly = true;
        o.exclusive = true;
        m_db = m_ws->openDatabase(m_folder + QStringLiteral("/ordat.mdb"), o);
    }

    void fileHasTheCheckedSize() {
        QCOMPARE(QFileInfo(m_folder + QStringLiteral("/ordat.mdb")).size(), qint64(456028160));
    }

    void onlyTheLoginOpensIt() {
        OpenOptions o;
        o.readOnly = true;
        QVERIFY_THROWS_EXCEPTION(
            Error, m_engine.defaultWorkspace().openDatabase(m_folder + QStringLiteral("/ordat.mdb"), o));
    }

    void regionsAreTheFourteen() {
        QStringList regions = column(QStringLiteral("SELECT DISTINCT Kraj FROM KRAJE ORDER BY Kraj"));
        QCOMPARE(regions,
                 (QStringList{"Hl.m. Praha", "Jihočeský", "Jihomoravský", "Karlovarský", "Královéhradecký",
                              "Liberecký", "Moravskoslezský", "Olomoucký", "Pardubický", "Plzeňský",
                              "Středočeský", "Ústecký", "Vysočina", "Zlínský"}));
    }

    // Searches that need particular rows must find them even in the small directory.
    void searchesHaveSomethingToFind_data() {
        QTest::addColumn<QString>("sql");
        QTest::newRow("Štramberk firms")
            << QStringLiteral("SELECT Count(*) FROM Firmy INNER JOIN Obec ON Obec.ID = Firmy.id_obec WHERE "
                              "Obec.Obec LIKE \"Štramberk\"");
        QTest::newRow("misspelt Šternberk firms")
            << QStringLiteral("SELECT Count(*) FROM Firmy INNER JOIN Obec ON Obec.ID = Firmy.id_obec WHERE "
                              "Obec.Obec LIKE \"Štenberk\"");
        QTest::newRow("district code 4") << QStringLiteral(
            "SELECT Count(*) FROM Firmy INNER JOIN UTO ON UTO.ID = Firmy.id_uto WHERE UTO.UTO = \"4\"");
        QTest::newRow("Praha persons named Nov*") << QStringLiteral(
            "SELECT Count(*) FROM Obec INNER JOIN (Prijmeni INNER JOIN Osoby ON Prijmeni.ID = "
            "Osoby.ID_Prijmeni) "
            "ON Obec.ID = Osoby.ID_Obec WHERE Prijmeni.Prijmeni LIKE \"Nov*\" AND Obec.Obec LIKE \"Praha*\"");
        QTest::newRow("female surnames")
            << QStringLiteral("SELECT Count(*) FROM Prijmeni WHERE Prijmeni LIKE \"*ová\"");
        QTest::newRow("titles") << QStringLiteral("SELECT Count(*) FROM Titul WHERE Titul LIKE \"Ing.\"");
        QTest::newRow("EuroISDN notes")
            << QStringLiteral("SELECT Count(*) FROM Osoby INNER JOIN Poznamka ON Poznamka.ID = "
                              "Osoby.ID_Poznamka WHERE Poznamka.Poznamka LIKE \"EuroISDN\"");
        QTest::newRow("web and e-mail texts")
            << QStringLiteral("SELECT Count(*) FROM URL WHERE URL LIKE \"URL: * E-mail: *\"");
        QTest::newRow("long firm names")
            << QStringLiteral("SELECT Count(*) FROM Firma WHERE Len(Firma) >= 35");
        QTest::newRow("house numbers with a slash")
            << QStringLiteral("SELECT Count(*) FROM CP WHERE CP LIKE \"*/*\"");
        QTest::newRow("persons' additional numbers")
            << QStringLiteral("SELECT Count(*) FROM Osoby_TEL_Navic");
        QTest::newRow("firms' additional numbers") << QStringLiteral("SELECT Count(*) FROM Firmy_TEL_Navic");
    }
    void searchesHaveSomethingToFind() {
        QFETCH(QString, sql);
        QVERIFY2(count(sql) > 0, qPrintable(sql));
    }

    // House numbers are as towns have them: a building's number of at most four
    // digits, and after a slash a number within the street of at most three.
    void houseNumbersAreReal() {
        static const QRegularExpression real(QStringLiteral("^([1-9][0-9]{0,3})(/[1-9][0-9]{0,2})?$"));
        const QStringList numbers = column(QStringLiteral("SELECT CP FROM CP"));
        QVERIFY(numbers.size() > 100);
        for (const QString& n : numbers) {
            if (n.isEmpty()) continue; // the lookup's row for no number
            const QRegularExpressionMatch m = real.match(n);
            QVERIFY2(m.hasMatch() && m.captured(1).toInt() < 4000, qPrintable(n));
        }
    }

    // Every stored number unscrambles to nine digits with its four plain ones in front.
    void numbersUnscramble_data() {
        QTest::addColumn<QString>("table");
        QTest::newRow("Osoby") << QStringLiteral("Osoby");
        QTest::newRow("Firmy") << QStringLiteral("Firmy");
        QTest::newRow("Osoby_TEL_Navic") << QStringLiteral("Osoby_TEL_Navic");
        QTest::newRow("Firmy_TEL_Navic") << QStringLiteral("Firmy_TEL_Navic");
    }
    void numbersUnscramble() {
        QFETCH(QString, table);
        Dataset ds;
        ds.setDatabase(m_db.get());
        ds.setSql(QStringLiteral("SELECT ID, Tel_a, TelExt_a FROM %1").arg(table));
        ds.open();
        static const QRegularExpression nine(QStringLiteral("^[1-9][0-9]{8}$"));
        int n = 0;
        for (; !ds.eof() && n < 500; ds.next(), ++n) {
            const QString stored = ds.text(QStringLiteral("Tel_a")) + ds.text(QStringLiteral("TelExt_a"));
            const QString number = phone::unscramble(stored, ds.text(QStringLiteral("ID")));
            QVERIFY2(nine.match(number).hasMatch(), qPrintable(number));
            QVERIFY2(stored.mid(4) != number.mid(4), qPrintable(stored));
        }
        QVERIFY(n > 0);
    }

    // Subscribers keep several numbers under one key; some have many.
    void subscribersWithManyNumbers() {
        const QStringList most = column(QStringLiteral(
            "SELECT TOP 1 Count(*) AS n FROM Firmy_TEL_Navic GROUP BY EuroISDN ORDER BY Count(*) DESC"));
        QVERIFY(most.value(0).toInt() >= 5);
    }
};

QTEST_GUILESS_MAIN(TestDirectoryData)
#include "tst_directorydata.moc"
