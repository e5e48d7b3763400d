// Statements of the Jet dialect run on a small directory-shaped database; the
// tests compare the rows they return, not the SQL they are translated to.

#include "Database.h"
#include "Dataset.h"
#include "Error.h"
#include "SqlParser.h"
#include "Sqlite.h"
#include "StorageFixture.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace db;

namespace {

// The persons statement as the search assembles it, with its two bodies.
const QString kPersonsBody =
    QStringLiteral("Osoby.ID as ID, Titul, Jmeno, Prijmeni, Ulice, CP, Obec, Cast, PSC, UTO, "
                   "Poznamka.Poznamka, Osoby.euroISDN, "
                   "Osoby.Tel_a, Osoby.TelExt_a FROM UTO INNER JOIN (Ulice INNER JOIN (Titul INNER JOIN (PSC "
                   "INNER JOIN (Prijmeni "
                   "INNER JOIN (Poznamka INNER JOIN (Obec INNER JOIN (Jmeno INNER JOIN (CP INNER JOIN (Cast "
                   "INNER JOIN OSOBY ON "
                   "Cast.ID = OSOBY.ID_Cast) ON CP.ID = OSOBY.ID_CP) ON Jmeno.ID = OSOBY.ID_Jmeno) ON "
                   "Obec.ID = OSOBY.ID_Obec) ON "
                   "Poznamka.ID = OSOBY.ID_Poznamka) ON Prijmeni.ID = OSOBY.ID_Prijmeni) ON PSC.ID = "
                   "OSOBY.ID_PSC) ON Titul.ID = "
                   "OSOBY.ID_Titul) ON Ulice.ID = OSOBY.ID_Ulice) ON UTO.ID = OSOBY.ID_UTO ");

const QString kPersonsPhoneBody = QStringLiteral(
    "Osoby.ID as ID, Osoby_TEL_Navic.ID as nID, Titul, Jmeno, Prijmeni, Ulice, CP, Obec, Cast, PSC, UTO, "
    "Poznamka.Poznamka, Osoby.euroISDN, Osoby.Tel_a, Osoby.TelExt_a, Osoby_TEL_Navic.Tel_a as nTel_a, "
    "Osoby_TEL_Navic.TelExt_a as nTelExt_a FROM Osoby_TEL_Navic RIGHT JOIN (UTO INNER JOIN (Ulice INNER JOIN "
    "(Titul "
    "INNER JOIN (PSC INNER JOIN (Prijmeni INNER JOIN (Poznamka INNER JOIN (Obec INNER JOIN (Jmeno INNER JOIN "
    "(CP INNER "
    "JOIN (Cast INNER JOIN OSOBY ON Cast.ID = OSOBY.ID_Cast) ON CP.ID = OSOBY.ID_CP) ON Jmeno.ID = "
    "OSOBY.ID_Jmeno) ON "
    "Obec.ID = OSOBY.ID_Obec) ON Poznamka.ID = OSOBY.ID_Poznamka) ON Prijmeni.ID = OSOBY.ID_Prijmeni) ON "
    "PSC.ID = "
    "OSOBY.ID_PSC) ON Titul.ID = OSOBY.ID_Titul) ON Ulice.ID = OSOBY.ID_Ulice) ON UTO.ID = OSOBY.ID_UTO) ON "
    "Osoby_TEL_Navic.EuroISDN=Osoby.EuroISDN ");

const QString kFirmsBody =
    QStringLiteral("Firmy.ID as ID, Firma, Ulice, CP, Obec, Cast, PSC, Poznamka, URL.URL, UTO, euroISDN, "
                   "Tel_a, TelExt_a FROM UTO "
                   "INNER JOIN (URL INNER JOIN (ULICE INNER JOIN (PSC INNER JOIN (POZNAMKA INNER JOIN (OBEC "
                   "INNER JOIN (FIRMA INNER "
                   "JOIN (CP INNER JOIN (CAST INNER JOIN Firmy ON CAST.ID = Firmy.id_cast) ON CP.ID = "
                   "Firmy.id_cp) ON FIRMA.ID = "
                   "Firmy.id_firma) ON OBEC.ID = Firmy.id_obec) ON POZNAMKA.ID = Firmy.id_poznamka) ON "
                   "PSC.ID = Firmy.id_psc) ON "
                   "ULICE.ID = Firmy.id_ulice) ON URL.ID = Firmy.id_url) ON UTO.ID = Firmy.id_uto");

QString persons(const QStringList& conditions, bool phone = false) {
    QStringList lines{phone ? QStringLiteral("SELECT  ") : QStringLiteral("SELECT TOP 201 "),
                      phone ? kPersonsPhoneBody : kPersonsBody, QStringLiteral("WHERE")};
    lines += conditions;
    return lines.join(u'\n');
}

QString firms(const QStringList& conditions) {
    QStringList lines{QStringLiteral("SELECT TOP 201 "), kFirmsBody, QStringLiteral("WHERE ")};
    lines += conditions;
    return lines.join(u'\n');
}

} // namespace

class TestTranslator : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir m_dir;
    Engine m_engine;
    std::unique_ptr<Database> m_db;

    void run(const QString& sql) { m_db->execute(sql, Database::FailOnError); }

    // Rows of a select, each as its values joined by "|" (Null empty, Booleans -1/0).
    QStringList rows(const QString& sql, const QList<int>& columns = {}) {
        Dataset ds;
        ds.setDatabase(m_db.get());
        ds.setSql(sql);
        ds.open();
        QStringList out;
        for (; !ds.eof(); ds.next()) {
            QStringList values;
            for (int i = 0; i < ds.fieldCount(); ++i) {
                if (!columns.isEmpty() && !columns.contains(i)) continue;
                const QVariant v = ds.value(i);
                values << (v.typeId() == QMetaType::Bool
                               ? (v.toBool() ? QStringLiteral("-1") : QStringLiteral("0"))
                               : v.toString());
            }
            out << values.join(u'|');
        }
        return out;
    }

    void lookup(const QString& table, const QStringList& values) {
        run(QStringLiteral("CREATE TABLE %1 (ID LONG PRIMARY KEY, %1 TEXT(100))").arg(table));
        for (int i = 0; i < values.size(); ++i)
            run(QStringLiteral("INSERT INTO %1 (ID, %1) VALUES (%2, \"%3\")")
                    .arg(table, QString::number(i + 1),
                         QString(values[i]).replace(u'"', QStringLiteral("\"\""))));
    }

  private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_db = m_engine.defaultWorkspace().createDatabase(m_dir.filePath(QStringLiteral("dir.mdb")),
                                                          kCzechLocale);
        lookup(QStringLiteral("Titul"), {QString(), QStringLiteral("Ing.")});
        lookup(QStringLiteral("Jmeno"),
               {QStringLiteral("Jan"), QStringLiteral("Jana"), QStringLiteral("Petr")});
        lookup(QStringLiteral("Prijmeni"),
               {QStringLiteral("Novák"), QStringLiteral("Nováková"), QStringLiteral("Čech"),
                QStringLiteral("Chalupa"), QStringLiteral("Hora"), QStringLiteral("O\"Brien"),
                QStringLiteral("Cechová"), QStringLiteral("Řehoř")});
        lookup(QStringLiteral("Ulice"), {QStringLiteral("Dlouhá"), QStringLiteral("Krátká"), QString()});
        lookup(QStringLiteral("CP"), {QStringLiteral("12"), QStringLiteral("1250/12"), QString()});
        lookup(QStringLiteral("Obec"),
               {QStringLiteral("Praha"), QStringLiteral("Praha 5"), QStringLiteral("Brno"),
                QStringLiteral("Štramberk"), QStringLiteral("Šternberk"), QStringLiteral("Štenberk")});
        lookup(QStringLiteral("Cast"), {QString(), QStringLiteral("Smíchov")});
        lookup(QStringLiteral("PSC"),
               {QStringLiteral("11000"), QStringLiteral("15000"), QStringLiteral("60200"),
                QStringLiteral("74266"), QStringLiteral("78501")});
        lookup(QStringLiteral("Poznamka"),
               {QString(), QStringLiteral("EuroISDN"), QStringLiteral("pekařství")});
        lookup(QStringLiteral("UTO"),
               {QStringLiteral("1100"), QStringLiteral("4"), QStringLiteral("3702"), QStringLiteral("8102")});
        lookup(QStringLiteral("Firma"), {QStringLiteral("Pekárna Novák"), QStringLiteral("Stavby [a] spol."),
                                         QStringLiteral("Šroubárna")});
        lookup(QStringLiteral("URL"),
               {QString(), QStringLiteral("URL: www.pekarna.cz E-mail: info@pekarna.cz")});
        run(QStringLiteral("CREATE TABLE KRAJE (UTO TEXT(5), Kraj TEXT(50))"));
        run(QStringLiteral("INSERT INTO KRAJE (UTO, Kraj) VALUES (\"1100\", \"Hl.m. Praha\")"));
        run(QStringLiteral("INSERT INTO KRAJE (UTO, Kraj) VALUES (\"3702\", \"Jihomoravský\")"));
        run(QStringLiteral("INSERT INTO KRAJE (UTO, Kraj) VALUES (\"8102\", \"Moravskoslezský\")"));
        run(QStringLiteral(
            "CREATE TABLE Osoby (ID LONG PRIMARY KEY, ID_Titul LONG, ID_Jmeno LONG, ID_Prijmeni LONG, "
            "ID_Ulice LONG, ID_CP LONG, ID_Obec LONG, ID_Cast LONG, ID_PSC LONG, ID_Poznamka LONG, "
            "ID_UTO LONG, euroISDN LONG, Tel_a LONG, TelExt_a TEXT(10))"));
        // ID, titul, jmeno, prijmeni, ulice, cp, obec, cast, psc, poznamka, uto, euroISDN, Tel_a, TelExt_a
        const char* people[] = {
            "1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 100, 2223, \"45678\"", // Jan Novák, Praha
            "2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 1, 101, 2223, \"11111\"", // Ing. Jana Nováková, Praha 5, EuroISDN
            "3, 1, 3, 3, 1, 3, 3, 1, 3, 1, 3, 102, 5432, \"22222\"", // Petr Čech, Brno
            "4, 1, 1, 4, 3, 1, 3, 1, 3, 1, 3, 103, 5432, \"33333\"", // Jan Chalupa, Brno
            "5, 1, 2, 5, 1, 2, 4, 1, 4, 1, 4, 104, 5560, \"44444\"", // Jana Hora, Štramberk
            "6, 1, 3, 6, 2, 1, 1, 1, 1, 1, 1, 105, 2223, \"55555\"", // Petr O"Brien, Praha
            "7, 1, 2, 7, 2, 1, 3, 1, 3, 1, 3, 106, 5432, \"66666\"", // Jana Cechová, Brno
            "8, 1, 3, 8, 1, 1, 5, 1, 5, 1, 2, 107, 5851, \"77777\"", // Petr Řehoř, Šternberk
        };
        for (const char* p : people)
            run(QStringLiteral("INSERT INTO Osoby VALUES (%1)").arg(QString::fromUtf8(p)));
        run(QStringLiteral("CREATE TABLE Osoby_TEL_Navic (ID LONG, EuroISDN LONG, Tel_a LONG, TelExt_a "
                           "TEXT(10), Poznamka TEXT(20))"));
        run(QStringLiteral("INSERT INTO Osoby_TEL_Navic VALUES (50, 100, 6051, \"00001\", \"fax\")"));
        run(QStringLiteral("INSERT INTO Osoby_TEL_Navic VALUES (51, 100, 6052, \"00002\", \"\")"));
        run(QStringLiteral("INSERT INTO Osoby_TEL_Navic VALUES (52, 103, 7777, \"00003\", \"EuroISDN\")"));
        run(QStringLiteral(
            "CREATE TABLE Firmy (ID LONG PRIMARY KEY, id_firma LONG, id_poznamka LONG, id_ulice LONG, "
            "id_cp LONG, id_obec LONG, id_cast LONG, id_psc LONG, id_url LONG, id_uto LONG, "
            "euroISDN LONG, Tel_a LONG, TelExt_a TEXT(10))"));
        run(QStringLiteral(
            "INSERT INTO Firmy VALUES (1, 1, 3, 1, 1, 4, 1, 4, 2, 4, 200, 6051, \"12345\")")); // Štramberk
        run(QStringLiteral(
            "INSERT INTO Firmy VALUES (2, 2, 1, 2, 2, 6, 1, 5, 1, 2, 201, 6051, \"54321\")")); // Štenberk,
                                                                                               // UTO 4
        run(QStringLiteral(
            "INSERT INTO Firmy VALUES (3, 3, 1, 1, 1, 3, 1, 3, 1, 3, 202, 5432, \"99999\")")); // Brno
        run(QStringLiteral(
            "INSERT INTO Firmy VALUES (4, 1, 3, 1, 1, 5, 1, 5, 1, 2, 203, 6051, \"13579\")")); // Šternberk,
                                                                                               // UTO 4
        m_db->executeNative(QStringLiteral("CREATE INDEX ix_prijmeni_fold ON Prijmeni (jet_fold(Prijmeni))"));
        m_db->executeNative(QStringLiteral("CREATE INDEX ix_osoby_prijmeni ON Osoby (ID_Prijmeni)"));
        m_db->executeNative(QStringLiteral("CREATE INDEX ix_osoby_obec ON Osoby (ID_Obec)"));
    }

    void selects_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("ordered");
        QTest::addColumn<QList<int>>("columns"); // empty: whole rows

        const QList<int> prijmeni{3};
        const QList<int> all;
        QTest::newRow("surname prefix")
            << persons({QStringLiteral("Prijmeni.Prijmeni LIKE \"Nov*\"")})
            << QStringList{QStringLiteral("Novák"), QStringLiteral("Nováková")} << false << prijmeni;
        QTest::newRow("surname and municipality")
            << persons({QStringLiteral("Prijmeni.Prijmeni LIKE \"*\""),
                        QStringLiteral("AND Obec.Obec LIKE \"Praha*\"")})
            << QStringList{QStringLiteral("Novák"), QStringLiteral("Nováková"), QStringLiteral("O\"Brien")}
            << false << prijmeni;
        QTest::newRow("whole person row")
            << persons({QStringLiteral("Prijmeni.Prijmeni LIKE \"nováková\"")})
            << QStringList{QStringLiteral(
                   "2|Ing.|Jana|Nováková|Krátká|1250/12|Praha 5|Smíchov|15000|1100|EuroISDN|101|2223|11111")}
            << false << all;
        QTest::newRow("letter case ignored, diacritics kept")
            << persons({QStringLiteral("Prijmeni.Prijmeni LIKE \"č*\"")})
            << QStringList{QStringLiteral("Čech")} << false << prijmeni;
        QTest::newRow("plain c is not č") << persons({QStringLiteral("Prijmeni.Prijmeni LIKE \"ce*\"")})
                                          << QStringList{QStringLiteral("Cechová")} << false << prijmeni;
        QTest::newRow("first name and house number")
            << persons({QStringLiteral("Jmeno.Jmeno LIKE \"Jana\""),
                        QStringLiteral("AND CP.CP LIKE \"1250/12\"")})
            << QStringList{QStringLiteral("Nováková"), QStringLiteral("Hora")} << false << prijmeni;
        QTest::newRow("region only")
            << persons(
                   {QStringLiteral("UTO.UTO IN (SELECT UTO FROM KRAJE WHERE Kraj LIKE \"Jihomoravský\")")})
            << QStringList{QStringLiteral("Čech"), QStringLiteral("Chalupa"), QStringLiteral("Cechová")}
            << false << prijmeni;
        QTest::newRow("telephone condition")
            << persons({QStringLiteral("(Osoby.Tel_a =5432)")})
            << QStringList{QStringLiteral("Čech"), QStringLiteral("Chalupa"), QStringLiteral("Cechová")}
            << false << prijmeni;
        QTest::newRow("quote doubled inside a literal")
            << persons({QStringLiteral("Prijmeni.Prijmeni LIKE \"O\"\"Brien\"")})
            << QStringList{QStringLiteral("O\"Brien")} << false << prijmeni;
        QTest::newRow("no match") << persons({QStringLiteral("Prijmeni.Prijmeni LIKE \"Xyz*\"")})
                                  << QStringList{} << false << prijmeni;

        // The right join lists every person once per additional number, or once without one.
        QTest::newRow("additional numbers")
            << persons({QStringLiteral("(Osoby.Tel_a =2223)")}, true) +
                   QStringLiteral(" ORDER BY Osoby.ID, nID")
            << QStringList{QStringLiteral("1|50|Novák|6051|00001"), QStringLiteral("1|51|Novák|6052|00002"),
                           QStringLiteral("2||Nováková||"), QStringLiteral("6||O\"Brien||")}
            << true << QList<int>{0, 1, 4, 15, 16};
        QTest::newRow("condition on the additional number")
            << persons({QStringLiteral("(Osoby_TEL_Navic.Tel_a =7777)")}, true)
            << QStringList{QStringLiteral("Chalupa")} << false << QList<int>{4};

        const QList<int> firma{1};
        QTest::newRow("firms: Štramberk and its postal code")
            << firms({QStringLiteral("(Obec.Obec LIKE \"Štenberk\" OR Obec.Obec LIKE \"Štramberk\")"),
                      QStringLiteral("AND (PSC.PSC LIKE \"74266\")")})
            << QStringList{QStringLiteral("Pekárna Novák")} << false << firma;
        QTest::newRow("firms: Pardubický takes district 4")
            << firms({QStringLiteral("(UTO IN (SELECT UTO FROM KRAJE WHERE Kraj LIKE \"Pardubický\")"),
                      QStringLiteral(" OR UTO = \"4\")")})
            << QStringList{QStringLiteral("Stavby [a] spol."), QStringLiteral("Pekárna Novák")} << false
            << firma;
        QTest::newRow("firms: unquoted number with LIKE")
            << firms({QStringLiteral("Poznamka.poznamka LIKE \"pek*\""),
                      QStringLiteral("AND (Firmy.Tel_a LIKE 6051)")})
            << QStringList{QStringLiteral("Pekárna Novák"), QStringLiteral("Pekárna Novák")} << false
            << firma;
        QTest::newRow("firms: bracket literal")
            << firms({QStringLiteral("Firma.Firma LIKE \"Stavby [[]a] *\"")})
            << QStringList{QStringLiteral("Stavby [a] spol.")} << false << firma;

        // Czech sort order: ch after h, č after c, ř after r.
        QTest::newRow("order by in Czech")
            << QStringLiteral("SELECT Prijmeni FROM Prijmeni ORDER BY Prijmeni")
            << QStringList{QStringLiteral("Cechová"),  QStringLiteral("Čech"),  QStringLiteral("Hora"),
                           QStringLiteral("Chalupa"),  QStringLiteral("Novák"), QStringLiteral("Nováková"),
                           QStringLiteral("O\"Brien"), QStringLiteral("Řehoř")}
            << true << all;
        QTest::newRow("order by descending, top")
            << QStringLiteral("SELECT TOP 2 Prijmeni FROM Prijmeni ORDER BY Prijmeni DESC")
            << QStringList{QStringLiteral("Řehoř"), QStringLiteral("O\"Brien")} << true << all;
        QTest::newRow("wildcards ? and #")
            << QStringLiteral("SELECT CP FROM CP WHERE CP LIKE \"##\" OR CP LIKE \"1?50/*\" ORDER BY CP")
            << QStringList{QStringLiteral("12"), QStringLiteral("1250/12")} << true << all;
        QTest::newRow("negated class")
            << QStringLiteral(
                   "SELECT Prijmeni FROM Prijmeni WHERE Prijmeni LIKE \"[!A-Nč]*\" ORDER BY Prijmeni")
            << QStringList{QStringLiteral("O\"Brien"), QStringLiteral("Řehoř")} << true << all;
        QTest::newRow("not like") << QStringLiteral("SELECT Jmeno FROM Jmeno WHERE Jmeno NOT LIKE \"Jan*\"")
                                  << QStringList{QStringLiteral("Petr")} << false << all;
        QTest::newRow("text comparison ignores case")
            << QStringLiteral("SELECT ID FROM Jmeno WHERE Jmeno = \"JANA\"")
            << QStringList{QStringLiteral("2")} << false << all;
        QTest::newRow("distinct") << QStringLiteral("SELECT DISTINCT Tel_a FROM Osoby ORDER BY Tel_a")
                                  << QStringList{QStringLiteral("2223"), QStringLiteral("5432"),
                                                 QStringLiteral("5560"), QStringLiteral("5851")}
                                  << true << all;
        QTest::newRow("count with alias")
            << QStringLiteral("SELECT Count(*) as vlozit FROM Osoby WHERE euroISDN = 103")
            << QStringList{QStringLiteral("1")} << false << all;
        QTest::newRow("between") << QStringLiteral(
                                        "SELECT ID FROM Osoby WHERE ID BETWEEN 3 AND 5 ORDER BY ID")
                                 << QStringList{QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")}
                                 << true << all;
        QTest::newRow("in subquery") << QStringLiteral("SELECT ID FROM Osoby WHERE euroISDN IN (SELECT "
                                                       "EuroISDN FROM Osoby_TEL_Navic WHERE Tel_a LIKE 7777)")
                                     << QStringList{QStringLiteral("4")} << false << all;
        QTest::newRow("concatenation with Null, iif, isnull")
            << QStringLiteral(
                   "SELECT (Jmeno & \" \" & Null) as a, iif(isnull(Null),\"\",\" - \" & Jmeno) as b, "
                   "Null & Null as c FROM Jmeno WHERE ID = 1")
            << QStringList{QStringLiteral("Jan |") + QString() + QStringLiteral("|")} << false << all;
        QTest::newRow("iif with a value")
            << QStringLiteral(
                   "SELECT (Obec & iif(isnull(Cast),\"\",\" - \" & Cast)) as Nazev_obce FROM Obec, Cast "
                   "WHERE Obec.ID = 2 AND Cast.ID = 2")
            << QStringList{QStringLiteral("Praha 5 - Smíchov")} << false << all;
        QTest::newRow("true and false")
            << QStringLiteral("SELECT True AS t, False AS f FROM Titul WHERE ID = 1")
            << QStringList{QStringLiteral("-1|0")} << false << all;
        QTest::newRow("bracketed names and table alias")
            << QStringLiteral("SELECT [o].[ID] FROM Osoby AS o WHERE o.euroISDN = 100")
            << QStringList{QStringLiteral("1")} << false << all;
    }

    void selects() {
        QFETCH(QString, sql);
        QFETCH(QStringList, expected);
        QFETCH(bool, ordered);
        QFETCH(QList<int>, columns);
        QStringList actual = rows(sql, columns);
        if (!ordered) {
            actual.sort();
            expected.sort();
        }
        QCOMPARE(actual, expected);
    }

    void columnNames() {
        Translation t = m_db->translate(persons({QStringLiteral("Prijmeni.Prijmeni LIKE \"N*\"")}, true));
        QCOMPARE(t.columnNames,
                 (QStringList{"ID", "nID", "Titul", "Jmeno", "Prijmeni", "Ulice", "CP", "Obec", "Cast", "PSC",
                              "UTO", "Poznamka", "euroISDN", "Tel_a", "TelExt_a", "nTel_a", "nTelExt_a"}));
        QCOMPARE(
            m_db->translate(QStringLiteral("SELECT Count(*), Jmeno FROM Jmeno GROUP BY Jmeno")).columnNames,
            (QStringList{"Expr1000", "Jmeno"}));
    }

    // The directory's statements must reach the big table through its indexes:
    // with statistics like the national directory's, no plan may scan Osoby.
    void plansUseIndexes_data() {
        QTest::addColumn<QString>("sql");
        QTest::newRow("surname") << persons({QStringLiteral("Prijmeni.Prijmeni LIKE \"Nov*\"")});
        QTest::newRow("surname and municipality")
            << persons({QStringLiteral("Prijmeni.Prijmeni LIKE \"Nov*\""),
                        QStringLiteral("AND Obec.Obec LIKE \"Praha*\"")});
        QTest::newRow("probe") << QStringLiteral("SELECT TOP 1 * FROM Prijmeni WHERE Prijmeni LIKE \"Nov*\"");
    }

    void plansUseIndexes() {
        QFETCH(QString, sql);
        m_db->executeNative(
            QStringLiteral("ANALYZE; DELETE FROM sqlite_stat1;"
                           "INSERT INTO sqlite_stat1 VALUES ('Osoby', 'ix_osoby_prijmeni', '2400000 120');"
                           "INSERT INTO sqlite_stat1 VALUES ('Osoby', 'ix_osoby_obec', '2400000 400');"
                           "INSERT INTO sqlite_stat1 VALUES ('Osoby', NULL, '2400000');"
                           "INSERT INTO sqlite_stat1 VALUES ('Prijmeni', 'ix_prijmeni_fold', '20000 1');"
                           "INSERT INTO sqlite_stat1 VALUES ('Prijmeni', NULL, '20000');"
                           "INSERT INTO sqlite_stat1 VALUES ('Obec', NULL, '6000');"
                           "ANALYZE sqlite_schema;"));
        const Translation t = m_db->translate(sql);
        sqlite::Statement plan(m_db->handle(), QStringLiteral("EXPLAIN QUERY PLAN ") + t.statements.first());
        QStringList steps;
        while (plan.step())
            steps << plan.column(3).toString();
        static const QRegularExpression bigScan(QStringLiteral("^SCAN (OSOBY|PRIJMENI)\\b"),
                                                QRegularExpression::CaseInsensitiveOption);
        for (const QString& s : steps) {
            QVERIFY2(!bigScan.match(s).hasMatch(), qPrintable(steps.join(QStringLiteral("; "))));
            QVERIFY2(!s.contains(QLatin1String("AUTOMATIC")), qPrintable(steps.join(QStringLiteral("; "))));
        }
        m_db->executeNative(QStringLiteral("DELETE FROM sqlite_stat1; ANALYZE sqlite_schema;"));
    }

    void errors_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("messagePart");
        QTest::newRow("missing FROM") << QStringLiteral("SELECT Jmeno Jmeno") << QStringLiteral("FROM");
        QTest::newRow("unknown column") << QStringLiteral("SELECT Vek FROM Jmeno") << QStringLiteral("Vek");
        QTest::newRow("unknown table") << QStringLiteral("SELECT * FROM Lide") << QStringLiteral("Lide");
        QTest::newRow("ambiguous column")
            << QStringLiteral("SELECT ID FROM Jmeno, Titul") << QStringLiteral("ID");
        QTest::newRow("text after the statement")
            << QStringLiteral("SELECT * FROM Jmeno; DELETE * FROM Jmeno")
            << QStringLiteral("Za koncem příkazu");
        QTest::newRow("unterminated literal")
            << QStringLiteral("SELECT * FROM Jmeno WHERE Jmeno LIKE \"Jan*") << QStringLiteral("neukončený");
        QTest::newRow("unknown function")
            << QStringLiteral("SELECT Frob(Jmeno) FROM Jmeno") << QStringLiteral("Frob");
        QTest::newRow("malformed pattern")
            << QStringLiteral("SELECT * FROM Jmeno WHERE Jmeno LIKE \"[ab\"") << QStringLiteral("LIKE");
        // A control character is named, not shown: a NUL would cut the message short.
        QTest::newRow("NUL") << QStringLiteral("SELECT * FROM Jmeno WHERE ID = 1 ") + QChar(0)
                             << QStringLiteral("„U+0000“.");
        QTest::newRow("unsupported statement")
            << QStringLiteral("GRANT ALL ON Jmeno") << QStringLiteral("Neplatný příkaz");
    }

    void errors() {
        QFETCH(QString, sql);
        QFETCH(QString, messagePart);
        try {
            rows(sql);
            QFAIL("no error raised");
        } catch (const Error& e) {
            QVERIFY2(e.message().contains(messagePart, Qt::CaseInsensitive), qPrintable(e.message()));
        }
    }

    // Values typed by users go into literals: whatever they contain stays data.
    void literalStaysData_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("quote") << QStringLiteral("a\"\"b");
        QTest::newRow("semicolon") << QStringLiteral("x\"; DELETE * FROM Jmeno; --");
        QTest::newRow("single quote") << QStringLiteral("O'Neil");
    }

    void literalStaysData() {
        QFETCH(QString, value);
        const QString sql = QStringLiteral("SELECT Count(*) FROM Jmeno WHERE Jmeno LIKE \"%1\"").arg(value);
        try {
            QCOMPARE(rows(sql), QStringList{QStringLiteral("0")});
        } catch (const Error&) {
            // Refusing the statement is fine; running part of it is not.
        }
        QCOMPARE(rows(QStringLiteral("SELECT Count(*) FROM Jmeno")), QStringList{QStringLiteral("3")});
    }

    // However deep or long a statement is, it is refused with a clear message,
    // never a crash.
    void tooDeepIsRefused_data() {
        QTest::addColumn<QString>("sql");
        auto repeat = [](const char* piece, int n) { return QString::fromLatin1(piece).repeated(n); };
        QTest::newRow("7000 parentheses") << QStringLiteral("SELECT ") + repeat("(", 7000) + u'1' +
                                                 repeat(")", 7000) + QStringLiteral(" FROM Jmeno");
        QTest::newRow("9500 NOT") << QStringLiteral("SELECT ID FROM Jmeno WHERE ") + repeat("NOT ", 9500) +
                                         QStringLiteral("ID = 1");
        QTest::newRow("9500 minus") << QStringLiteral("SELECT ") + repeat("- ", 9500) +
                                           QStringLiteral("ID FROM Jmeno");
        QTest::newRow("9500 plus") << QStringLiteral("SELECT ") + repeat("+", 9500) +
                                          QStringLiteral("ID FROM Jmeno");
        QTest::newRow("7000 function calls") << QStringLiteral("SELECT ") + repeat("Abs(", 7000) + u'1' +
                                                    repeat(")", 7000) + QStringLiteral(" FROM Jmeno");
        QTest::newRow("3000 subqueries") << repeat("SELECT ID FROM Jmeno WHERE ID IN (", 3000) +
                                                QStringLiteral("SELECT ID FROM Jmeno") + repeat(")", 3000);
        QTest::newRow("7000 nested IN lists") << QStringLiteral("SELECT ID FROM Jmeno WHERE ") +
                                                     repeat("ID IN (", 7000) + u'1' + repeat(")", 7000);
        QTest::newRow("7000 bracketed joins") << QStringLiteral("SELECT * FROM ") + repeat("(", 7000) +
                                                     QStringLiteral("Jmeno") + repeat(")", 7000);
        QTest::newRow("10000 subtractions")
            << QStringLiteral("SELECT ID") + repeat(" - 1", 10000) + QStringLiteral(" FROM Jmeno");
        QTest::newRow("10000 comparisons")
            << QStringLiteral("SELECT ID") + repeat(" = 1", 10000) + QStringLiteral(" FROM Jmeno");
        QTest::newRow("10000 joins") << QStringLiteral("SELECT * FROM Jmeno") +
                                            repeat(" INNER JOIN Titul ON Jmeno.ID = Titul.ID", 10000);
        QTest::newRow("one level too deep")
            << QStringLiteral("SELECT ") + repeat("(1 - ", kMaxSqlNesting + 1) + u'1' +
                   repeat(")", kMaxSqlNesting + 1) + QStringLiteral(" FROM Jmeno");
        QTest::newRow("one subquery too deep")
            << repeat("SELECT ID FROM Jmeno WHERE ID IN (", kMaxSubqueryNesting + 1) +
                   QStringLiteral("SELECT ID FROM Jmeno") + repeat(")", kMaxSubqueryNesting + 1);
    }

    void tooDeepIsRefused() {
        QFETCH(QString, sql);
        VERIFY_DB_ERROR(rows(sql), QStringLiteral("příliš složitý"));
    }

    // Up to the nesting limit, SQLite reads what the parser accepts.
    void nestingUpToTheLimitRuns_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("expected");
        const int n = kMaxSqlNesting;
        auto repeat = [](const char* piece, int k) { return QString::fromLatin1(piece).repeated(k); };
        // ID - (ID - (… ID)) with ID = 1 alternates 1, 0, 1, …
        QTest::newRow("parentheses a subtraction needs")
            << QStringLiteral("SELECT ") + repeat("ID - (", n) + QStringLiteral("ID") + repeat(")", n) +
                   QStringLiteral(" FROM Jmeno WHERE ID = 1")
            << QStringList{QString::number(n % 2 == 0 ? 1 : 0)};
        QTest::newRow("division in parentheses")
            << QStringLiteral("SELECT ") + repeat("ID / (", n) + QStringLiteral("ID") + repeat(")", n) +
                   QStringLiteral(" FROM Jmeno WHERE ID = 1")
            << QStringList{QStringLiteral("1")};
        QTest::newRow("NOT") << QStringLiteral("SELECT ID FROM Jmeno WHERE ") + repeat("NOT ", n) +
                                    QStringLiteral("ID = 1")
                             << (n % 2 == 0 ? QStringList{"1"} : QStringList{"2", "3"});
        QTest::newRow("minus") << QStringLiteral("SELECT ") + repeat("-", n) +
                                      QStringLiteral("ID FROM Jmeno WHERE ID = 1")
                               << QStringList{QString::number(n % 2 == 0 ? 1 : -1)};
        QTest::newRow("function calls")
            << QStringLiteral("SELECT ") + repeat("Abs(", n) + QStringLiteral("ID") + repeat(")", n) +
                   QStringLiteral(" FROM Jmeno WHERE ID = 1")
            << QStringList{QStringLiteral("1")};
        QTest::newRow("text functions")
            << QStringLiteral("SELECT ") + repeat("UCase(", n) + QStringLiteral("Jmeno") + repeat(")", n) +
                   QStringLiteral(" FROM Jmeno WHERE ID = 1")
            << QStringList{QStringLiteral("JAN")};
        QTest::newRow("conditions in parentheses")
            << QStringLiteral("SELECT ID FROM Jmeno WHERE ") + repeat("ID = 9 OR (", n) +
                   QStringLiteral("ID = 2") + repeat(")", n)
            << QStringList{QStringLiteral("2")};
        QTest::newRow("comparisons as values")
            << QStringLiteral("SELECT ID FROM Jmeno WHERE ") + repeat("ID = (", n) + QStringLiteral("ID") +
                   repeat(")", n)
            << QStringList{};
        QTest::newRow("iif") << QStringLiteral("SELECT ") + repeat("iif(ID = 1, ", n) +
                                    QStringLiteral("\"ano\"") + repeat(", \"ne\")", n) +
                                    QStringLiteral(" FROM Jmeno WHERE ID = 1")
                             << QStringList{QStringLiteral("ano")};
        QTest::newRow("Mid") << QStringLiteral("SELECT ") + repeat("Mid(\"111\", 1, ", n) +
                                    QStringLiteral("ID") + repeat(")", n) +
                                    QStringLiteral(" FROM Jmeno WHERE ID = 1")
                             << QStringList{QStringLiteral("1")};
        QTest::newRow("Right") << QStringLiteral("SELECT ") + repeat("Right(\"111\", ", n) +
                                      QStringLiteral("ID") + repeat(")", n) +
                                      QStringLiteral(" FROM Jmeno WHERE ID = 1")
                               << QStringList{QStringLiteral("1")};
        QTest::newRow("LIKE of LIKE") << QStringLiteral("SELECT ID FROM Jmeno WHERE ") + repeat("(", n) +
                                             QStringLiteral("Jmeno") + repeat(" LIKE \"J*\")", n)
                                      << QStringList{};
    }

    void nestingUpToTheLimitRuns() {
        QFETCH(QString, sql);
        QFETCH(QStringList, expected);
        QStringList actual = rows(sql);
        actual.sort();
        QCOMPARE(actual, expected);
    }

    // Associative chains of any length run: SQLite gets them in shallow groups.
    void longChainsRun_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        for (int n : {90, 5000, 10000}) {
            const QString k = QString::number(n);
            auto chain = [n](const QString& term, const QString& op, const QString& last) {
                return (term + op).repeated(n - 1) + last;
            };
            QTest::addRow("OR of %d", n)
                << QStringLiteral("SELECT Count(*) FROM Jmeno WHERE ") +
                       chain(QStringLiteral("ID = 0"), QStringLiteral(" OR "), QStringLiteral("ID = 2"))
                << QStringLiteral("1");
            QTest::addRow("AND of %d", n)
                << QStringLiteral("SELECT Count(*) FROM Jmeno WHERE ") +
                       chain(QStringLiteral("ID > 0"), QStringLiteral(" AND "), QStringLiteral("ID < 3"))
                << QStringLiteral("2");
            QTest::addRow("& of %d", n)
                << QStringLiteral("SELECT Len(") +
                       chain(QStringLiteral("\"a\""), QStringLiteral(" & "), QStringLiteral("Null")) +
                       QStringLiteral(") FROM Jmeno WHERE ID = 1")
                << QString::number(n - 1);
            QTest::addRow("+ of %d", n)
                << QStringLiteral("SELECT ") +
                       chain(QStringLiteral("ID"), QStringLiteral(" + "), QStringLiteral("ID")) +
                       QStringLiteral(" FROM Jmeno WHERE ID = 1")
                << k;
            QTest::addRow("* of %d", n)
                << QStringLiteral("SELECT ") +
                       chain(QStringLiteral("ID"), QStringLiteral(" * "), QStringLiteral("2")) +
                       QStringLiteral(" FROM Jmeno WHERE ID = 1")
                << QStringLiteral("2");
        }
        QTest::newRow("& of Nulls only is Null")
            << QStringLiteral("SELECT ") + QStringLiteral("Null & ").repeated(300) +
                   QStringLiteral("Null FROM Jmeno WHERE ID = 1")
            << QString();
    }

    void longChainsRun() {
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        QCOMPARE(rows(sql), QStringList{expected});
    }

    // The SQL handed to SQLite carries no parentheses the statement did not need.
    void redundantParenthesesDropped() {
        const QString sql = QStringLiteral(
            "SELECT ((((ID)))) FROM Jmeno WHERE ((((ID = 1)))) OR (((ID = 2) AND ((Jmeno LIKE \"J*\"))))");
        const Translation t = m_db->translate(sql);
        QVERIFY2(!t.statements.first().contains(QLatin1String("((")), qPrintable(t.statements.first()));
        QCOMPARE(rows(sql), (QStringList{"1", "2"}));
    }

    // No part of a statement is written out more than once per use, so nesting
    // never makes the SQL grow faster than the statement.
    void nestingKeepsTheSqlLinear_data() {
        QTest::addColumn<QString>("sql");
        const int n = kMaxSqlNesting;
        QTest::newRow("Right of Right") << QStringLiteral("SELECT ") +
                                               QStringLiteral("Right(Jmeno, Len(").repeated(n / 2) +
                                               QStringLiteral("ID") + QStringLiteral("))").repeated(n / 2) +
                                               QStringLiteral(" FROM Jmeno");
        QTest::newRow("LIKE of LIKE") << QStringLiteral("SELECT ID FROM Jmeno WHERE ") +
                                             QStringLiteral("(").repeated(n) + QStringLiteral("Jmeno") +
                                             QStringLiteral(" LIKE \"J*\")").repeated(n);
    }

    void nestingKeepsTheSqlLinear() {
        QFETCH(QString, sql);
        const Translation t = m_db->translate(sql);
        QVERIFY2(t.statements.first().size() < 40 * sql.size(),
                 qPrintable(QString::number(t.statements.first().size())));
        rows(sql);
    }

    // Nested subqueries are each translated once: the semi-join analysis walks
    // the tree instead of translating a subquery to see what it names. Counted
    // by the table look-ups, which each translation of a level repeats.
    void nestedSubqueriesTranslateOnce() {
        class CountingSchema : public SchemaInfo {
          public:
            explicit CountingSchema(SchemaInfo& inner) : m_inner(inner) {}
            std::optional<TableRef> findTable(const QString& name, const QString& externalPath) override {
                ++lookups;
                return m_inner.findTable(name, externalPath);
            }
            int lookups = 0;

          private:
            SchemaInfo& m_inner;
        };
        const int depth = 25;
        const QString level = QStringLiteral(
            "SELECT Osoby.ID FROM Prijmeni INNER JOIN Osoby ON Prijmeni.ID = Osoby.ID_Prijmeni "
            "WHERE Prijmeni.ID IN (");
        const QString sql = level.repeated(depth) +
                            QStringLiteral("SELECT ID FROM Prijmeni WHERE Prijmeni LIKE \"Nov*\"") +
                            QStringLiteral(")").repeated(depth);
        CountingSchema schema(*m_db);
        const Translation t = translate(sql, schema);
        QCOMPARE(t.statements.size(), 1);
        QCOMPARE(t.statements.first().count(QLatin1String("SELECT")),
                 2 * depth + 1); // every level, and each semi-join
        QVERIFY2(schema.lookups <= 5 * 2 * depth, qPrintable(QString::number(schema.lookups)));
        // SQLite cannot nest subqueries that deep; it says so in the same words.
        VERIFY_DB_ERROR(rows(sql), QStringLiteral("příliš složitý"));
    }

    void readableMessages_data() {
        QTest::addColumn<QString>("engineMessage");
        QTest::addColumn<QString>("expected");
        const QString tooComplex =
            QStringLiteral("Příkaz SQL je příliš složitý: výrazy jsou vnořeny příliš hluboko.");
        QTest::newRow("parser stack") << QStringLiteral("parser stack overflow") << tooComplex;
        QTest::newRow("expression depth")
            << QStringLiteral("Expression tree is too large (maximum depth 1000)") << tooComplex;
        QTest::newRow("own function")
            << QStringLiteral("jet: Dělení nulou.") << QStringLiteral("Dělení nulou.");
        QTest::newRow("range")
            << QStringLiteral("CHECK constraint failed: range:Počet")
            << QStringLiteral("Přetečení číselného pole „Počet“: celé číslo musí ležet mezi -2147483648 a "
                              "2147483647.");
        QTest::newRow("length, name with %2")
            << QStringLiteral("CHECK constraint failed: len:%2:5")
            << QStringLiteral("Pole „%2“ je příliš malé pro zadaná data: hodnota je delší než "
                              "5 znaků.");
        QTest::newRow("Yes/No")
            << QStringLiteral("CHECK constraint failed: bool:Zn")
            << QStringLiteral("Nesoulad datových typů: do pole „Zn“ typu Ano/Ne lze uložit jen číslo nebo "
                              "True, False, Yes, No, On, Off.");
    }

    void readableMessages() {
        QFETCH(QString, engineMessage);
        QFETCH(QString, expected);
        QCOMPARE(sqlite::readableMessage(engineMessage), expected);
    }

    void externalTable() {
        const QString other = m_dir.filePath(QStringLiteral("lists.mdb"));
        {
            auto db = m_engine.defaultWorkspace().createDatabase(other, kCzechLocale);
            db->execute(QStringLiteral("CREATE TABLE MP (nazev TEXT(50), cislo TEXT(10))"),
                        Database::FailOnError);
            db->execute(QStringLiteral("INSERT INTO MP VALUES (\"Česko\", \"420\")"), Database::FailOnError);
            db->execute(QStringLiteral("INSERT INTO MP VALUES (\"Chorvatsko\", \"385\")"),
                        Database::FailOnError);
            db->execute(QStringLiteral("INSERT INTO MP VALUES (\"Hongkong\", \"852\")"),
                        Database::FailOnError);
        }
        QCOMPARE(rows(QStringLiteral("SELECT * FROM MP IN \"%1\" ORDER BY nazev DESC").arg(other)),
                 (QStringList{"Chorvatsko|385", "Hongkong|852", "Česko|420"}));
    }
};

QTEST_GUILESS_MAIN(TestTranslator)
#include "tst_translator.moc"
