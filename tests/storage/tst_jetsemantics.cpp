// The dialect's semantics where SQLite's differ: text compares and groups
// under the Czech order with letter case ignored wherever both sides are text,
// truth values are -1 and 0, NOT/AND/OR work bit by bit on numbers, ORDER BY
// takes column numbers, and values a column cannot hold are refused. Each case
// runs statements on a small database and compares the rows.

#include "Database.h"
#include "Dataset.h"
#include "Error.h"
#include "StorageFixture.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace db;

namespace {

const QChar kNul(0);

} // namespace

class TestJetSemantics : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir m_dir;
    Engine m_engine;
    std::unique_ptr<Database> m_db;
    int m_files = 0;

    void run(const QString& sql) { m_db->execute(sql, Database::FailOnError); }

    // Rows of a select, each as its values joined by "|" (Null empty, Booleans -1/0).
    QStringList rows(const QString& sql) {
        Dataset ds;
        ds.setDatabase(m_db.get());
        ds.setSql(sql);
        ds.open();
        QStringList out;
        for (; !ds.eof(); ds.next()) {
            QStringList values;
            for (int i = 0; i < ds.fieldCount(); ++i) {
                const QVariant v = ds.value(i);
                values << (v.typeId() == QMetaType::Bool
                               ? (v.toBool() ? QStringLiteral("-1") : QStringLiteral("0"))
                               : v.toString());
            }
            out << values.join(u'|');
        }
        return out;
    }

    void compareRows(const QString& sql, QStringList expected, bool ordered) {
        QStringList actual = rows(sql);
        if (!ordered) {
            actual.sort();
            expected.sort();
        }
        QCOMPARE(actual, expected);
    }

    // A fresh database for the statements that change data.
    std::unique_ptr<Database> scratch(const QStringList& statements) {
        return storage_test::createDatabase(
            m_engine, m_dir.filePath(QStringLiteral("s%1.mdb").arg(++m_files)), statements);
    }

  private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_db = storage_test::createDatabase(
            m_engine, m_dir.filePath(QStringLiteral("lide.mdb")),
            {QStringLiteral(
                 "CREATE TABLE Lide (ID LONG PRIMARY KEY, Prijmeni TEXT(50), Obec TEXT(50), n LONG, Zn BIT, "
                 "Poznamka TEXT(20))"),
             QStringLiteral("INSERT INTO Lide VALUES (1, \"Čech\", \"Cheb\", 3, True, Null)"),
             QStringLiteral("INSERT INTO Lide VALUES (2, \"čech\", \"CHOMUTOV\", 7, False, \"x\")"),
             QStringLiteral("INSERT INTO Lide VALUES (3, \"Cibulka\", \"Hodonín\", 12, True, \"y\")"),
             QStringLiteral("INSERT INTO Lide VALUES (4, \"Hora\", \"chrudim\", 5, False, \"z\")"),
             QStringLiteral("INSERT INTO Lide VALUES (5, \"Chalupa\", \"Cheb\", 8, True, \"w\")"),
             QStringLiteral("INSERT INTO Lide VALUES (6, \"Novák\", \"Brno\", 0, False, \"v\")")});
    }

    // Text against text compares under the Czech order, letter case ignored,
    // whatever the two sides are: columns, literals or computed texts.
    void textComparison_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("upper against lower")
            << QStringLiteral("SELECT ID FROM Lide WHERE UCase(Prijmeni) = LCase(Prijmeni)")
            << QStringList{"1", "2", "3", "4", "5", "6"};
        QTest::newRow("computed texts, ch")
            << QStringLiteral("SELECT ID FROM Lide WHERE LCase(Left(Prijmeni, 2)) = Left(Obec, 2)")
            << QStringList{"5"};
        QTest::newRow("computed text and literal")
            << QStringLiteral("SELECT ID FROM Lide WHERE Left(Prijmeni, 1) = \"č\"") << QStringList{"1", "2"};
        QTest::newRow("less than, ch after h")
            << QStringLiteral("SELECT ID FROM Lide WHERE UCase(Prijmeni) < \"i\"")
            << QStringList{"1", "2", "3", "4", "5"};
        QTest::newRow("computed text IN a list")
            << QStringLiteral("SELECT ID FROM Lide WHERE UCase(Obec) IN (\"cheb\", \"brno\")")
            << QStringList{"1", "5", "6"};
        QTest::newRow("column IN a list")
            << QStringLiteral("SELECT ID FROM Lide WHERE Obec NOT IN (\"CHEB\", \"chomutov\")")
            << QStringList{"3", "4", "6"};
        QTest::newRow("IN a subquery") << QStringLiteral("SELECT ID FROM Lide WHERE UCase(Prijmeni) IN "
                                                         "(SELECT LCase(Prijmeni) FROM Lide WHERE ID = 2)")
                                       << QStringList{"1", "2"};
        QTest::newRow("BETWEEN, č between c and d")
            << QStringLiteral("SELECT ID FROM Lide WHERE UCase(Prijmeni) BETWEEN \"a\" AND \"d\"")
            << QStringList{"1", "2", "3"};
        QTest::newRow("concatenation")
            << QStringLiteral("SELECT ID FROM Lide WHERE Prijmeni & \"\" = \"ČECH\"")
            << QStringList{"1", "2"};
    }

    void textComparison() {
        QFETCH(QString, sql);
        QFETCH(QStringList, expected);
        compareRows(sql, expected, false);
    }

    // GROUP BY, DISTINCT, ORDER BY and Min/Max over computed texts: "Č" and "č",
    // "Ch" and "CH" are one value, and "ch" sorts after "h". Which spelling a
    // group shows is open, so the rows compare in lower case.
    void textGrouping_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("ordered");
        QTest::newRow("GROUP BY")
            << QStringLiteral("SELECT Count(*) FROM Lide GROUP BY Left(Obec, 2) ORDER BY Left(Obec, 2)")
            << QStringList{"1", "1", "4"} << true; // Br, Ho, Ch
        QTest::newRow("DISTINCT of a concatenation")
            << QStringLiteral("SELECT DISTINCT Prijmeni & \"\" FROM Lide WHERE ID <= 2")
            << QStringList{"čech"} << true;
        QTest::newRow("DISTINCT of Left")
            << QStringLiteral("SELECT DISTINCT Left(Obec, 2) FROM Lide WHERE Obec LIKE \"ch*\"")
            << QStringList{"ch"} << true;
        QTest::newRow("DISTINCT of Left and a number")
            << QStringLiteral("SELECT DISTINCT Left(Prijmeni, 1), n > 100 FROM Lide WHERE ID <= 3 ORDER BY 1")
            << QStringList{"c|0", "č|0"} << true;
        QTest::newRow("ORDER BY a computed text")
            << QStringLiteral(
                   "SELECT UCase(Prijmeni) FROM Lide WHERE ID IN (3, 4, 5) ORDER BY UCase(Prijmeni) DESC")
            << QStringList{"chalupa", "hora", "cibulka"} << true;
        QTest::newRow("Max of a computed text")
            << QStringLiteral("SELECT Max(LCase(Obec)) FROM Lide WHERE ID <> 2") << QStringList{"chrudim"}
            << true;
    }

    void textGrouping() {
        QFETCH(QString, sql);
        QFETCH(QStringList, expected);
        QFETCH(bool, ordered);
        QStringList actual = rows(sql);
        for (QString& r : actual)
            r = r.toLower();
        if (!ordered) {
            actual.sort();
            expected.sort();
        }
        QCOMPARE(actual, expected);
    }

    // A truth value is -1 or 0; NOT, AND, OR work bit by bit on numbers; a
    // number is true as a condition when it is not zero.
    void booleans_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("ordered");
        QTest::newRow("NOT False") << QStringLiteral("SELECT NOT False, NOT True FROM Lide WHERE ID = 1")
                                   << QStringList{"-1|0"} << true;
        QTest::newRow("comparison = True") << QStringLiteral("SELECT ID FROM Lide WHERE (n > 5) = True")
                                           << QStringList{"2", "3", "5"} << false;
        QTest::newRow("comparison = False") << QStringLiteral("SELECT ID FROM Lide WHERE (n > 5) = False")
                                            << QStringList{"1", "4", "6"} << false;
        QTest::newRow("column = NOT False") << QStringLiteral("SELECT ID FROM Lide WHERE Zn = (NOT False)")
                                            << QStringList{"1", "3", "5"} << false;
        QTest::newRow("comparison as a value") << QStringLiteral("SELECT (n > 5) AS b FROM Lide ORDER BY ID")
                                               << QStringList{"0", "-1", "-1", "0", "-1", "0"} << true;
        QTest::newRow("bitwise on numbers")
            << QStringLiteral("SELECT NOT 0, NOT -1, NOT 5, 6 AND 3, 4 OR 1, True AND False, True OR False "
                              "FROM Lide WHERE ID = 1")
            << QStringList{"-1|0|-6|2|5|0|-1"} << true;
        QTest::newRow("Yes/No column as a condition")
            << QStringLiteral("SELECT ID FROM Lide WHERE Zn") << QStringList{"1", "3", "5"} << false;
        QTest::newRow("NOT of a Yes/No column") << QStringLiteral("SELECT ID, NOT Zn FROM Lide WHERE NOT Zn")
                                                << QStringList{"2|-1", "4|-1", "6|-1"} << false;
        QTest::newRow("AND of a number is bitwise")
            << QStringLiteral("SELECT ID FROM Lide WHERE n AND 4") << QStringList{"2", "3", "4"} << false;
        QTest::newRow("AND of a number with a comparison")
            << QStringLiteral("SELECT ID FROM Lide WHERE ID > 2 AND n AND 4") << QStringList{"3", "4"}
            << false;
        QTest::newRow("number as a condition")
            << QStringLiteral("SELECT ID FROM Lide WHERE n") << QStringList{"1", "2", "3", "4", "5"} << false;
        QTest::newRow("IsNull and LIKE as values")
            << QStringLiteral(
                   "SELECT IsNull(Poznamka), Prijmeni LIKE \"č*\" FROM Lide WHERE ID <= 2 ORDER BY ID")
            << QStringList{"-1|-1", "0|-1"} << true;
        QTest::newRow("iif on a Yes/No column")
            << QStringLiteral("SELECT iif(Zn, \"ano\", \"ne\") FROM Lide WHERE ID <= 2 ORDER BY ID")
            << QStringList{"ano", "ne"} << true;
        QTest::newRow("EXISTS as a value")
            << QStringLiteral("SELECT EXISTS (SELECT * FROM Lide WHERE n > 100) FROM Lide WHERE ID = 1")
            << QStringList{"0"} << true;
    }

    void booleans() {
        QFETCH(QString, sql);
        QFETCH(QStringList, expected);
        QFETCH(bool, ordered);
        compareRows(sql, expected, ordered);
    }

    // ORDER BY a column number orders by that column of any select list, also
    // through the row keys of an updatable result.
    void orderByNumber_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("2 DESC") << QStringLiteral("SELECT ID, n FROM Lide ORDER BY 2 DESC")
                                << QStringList{"3|12", "5|8", "2|7", "4|5", "1|3", "6|0"};
        QTest::newRow("computed text, Czech order")
            << QStringLiteral("SELECT UCase(Prijmeni) FROM Lide WHERE ID IN (3, 4, 5) ORDER BY 1 DESC")
            << QStringList{"CHALUPA", "HORA", "CIBULKA"};
        QTest::newRow("number of a star column")
            << QStringLiteral("SELECT * FROM Lide WHERE ID < 4 ORDER BY 4")
            << QStringList{"1|Čech|Cheb|3|-1|", "2|čech|CHOMUTOV|7|0|x", "3|Cibulka|Hodonín|12|-1|y"};
        QTest::newRow("two numbers") << QStringLiteral("SELECT Zn, ID FROM Lide ORDER BY 1, 2 DESC")
                                     << QStringList{"-1|5", "-1|3", "-1|1", "0|6", "0|4", "0|2"};
        QTest::newRow("aggregate") << QStringLiteral(
                                          "SELECT Zn, Count(*), Sum(n) FROM Lide GROUP BY Zn ORDER BY 3")
                                   << QStringList{"0|3|12", "-1|3|23"};
        QTest::newRow("constant column")
            << QStringLiteral("SELECT 2, ID FROM Lide WHERE ID < 3 ORDER BY 1, 2 DESC")
            << QStringList{"2|2", "2|1"};
    }

    void orderByNumber() {
        QFETCH(QString, sql);
        QFETCH(QStringList, expected);
        compareRows(sql, expected, true);
    }

    void refused_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("messagePart");
        QTest::newRow("Count(DISTINCT)")
            << QStringLiteral("SELECT Count(DISTINCT Obec) FROM Lide") << QStringLiteral("DISTINCT");
        QTest::newRow("Sum(DISTINCT)")
            << QStringLiteral("SELECT Sum(DISTINCT n) FROM Lide") << QStringLiteral("DISTINCT");
        QTest::newRow("ORDER BY past the columns")
            << QStringLiteral("SELECT ID, n FROM Lide ORDER BY 3") << QStringLiteral("ORDER BY");
        QTest::newRow("ORDER BY 0") << QStringLiteral("SELECT ID FROM Lide ORDER BY 0")
                                    << QStringLiteral("ORDER BY");
        QTest::newRow("division by zero")
            << QStringLiteral("SELECT n / 0 FROM Lide") << QStringLiteral("Dělení nulou");
        QTest::newRow("whole division by zero")
            << QStringLiteral("SELECT n \\ 0 FROM Lide") << QStringLiteral("Dělení nulou");
        QTest::newRow("Mod zero") << QStringLiteral("SELECT n Mod 0 FROM Lide")
                                  << QStringLiteral("Dělení nulou");
        QTest::newRow("divisor rounding to zero")
            << QStringLiteral("SELECT n \\ 0.4 FROM Lide") << QStringLiteral("Dělení nulou");
        QTest::newRow("division by a zero column")
            << QStringLiteral("SELECT ID FROM Lide WHERE 10 / n > 1") << QStringLiteral("Dělení nulou");
    }

    void refused() {
        QFETCH(QString, sql);
        QFETCH(QString, messagePart);
        VERIFY_DB_ERROR(rows(sql), messagePart);
    }

    void arithmetic() {
        compareRows(
            QStringLiteral(
                "SELECT 7 / 2, 7 \\ 2, -7 Mod 3, 7.5 \\ 2, 6.5 Mod 4, Null / 0 FROM Lide WHERE ID = 1"),
            {QStringLiteral("3.5|3|-1|4|2|")}, true);
    }

    // Values a column cannot hold are refused with a readable message, and the
    // table keeps what it had.
    void storeRefused_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("messagePart");
        QTest::newRow("Long above 32 bits") << QStringLiteral("INSERT INTO T (ID, n) VALUES (10, 2147483648)")
                                            << QStringLiteral("Přetečení číselného pole „n“");
        QTest::newRow("Long below 32 bits")
            << QStringLiteral("INSERT INTO T (ID, n) VALUES (10, -2147483649)")
            << QStringLiteral("Přetečení číselného pole „n“");
        QTest::newRow("Long key") << QStringLiteral("INSERT INTO T (ID) VALUES (4294967296)")
                                  << QStringLiteral("Přetečení číselného pole „ID“");
        QTest::newRow("counter") << QStringLiteral("INSERT INTO T (ID, c) VALUES (10, 3000000000)")
                                 << QStringLiteral("Přetečení číselného pole „c“");
        QTest::newRow("update overflowing") << QStringLiteral("UPDATE T SET n = n * 1000000000")
                                            << QStringLiteral("Přetečení číselného pole „n“");
        QTest::newRow("word that is no Yes/No")
            << QStringLiteral("INSERT INTO T (ID, Zn) VALUES (10, \"možná\")") << QStringLiteral("Ano/Ne");
        QTest::newRow("empty text into Yes/No")
            << QStringLiteral("UPDATE T SET Zn = \"\"") << QStringLiteral("Ano/Ne");
        QTest::newRow("division by zero")
            << QStringLiteral("UPDATE T SET n = n / (ID - ID)") << QStringLiteral("Dělení nulou");
        QTest::newRow("NUL counts toward the length")
            << QStringLiteral("INSERT INTO T (ID, t) VALUES (10, \"ab") + kNul + QStringLiteral("cd\")")
            << QStringLiteral("Pole „t“ je příliš malé");
    }

    void storeRefused() {
        QFETCH(QString, sql);
        QFETCH(QString, messagePart);
        auto d = scratch(
            {QStringLiteral("CREATE TABLE T (ID LONG PRIMARY KEY, n LONG, c COUNTER, Zn BIT, t TEXT(3))"),
             QStringLiteral("INSERT INTO T (ID, n, Zn, t) VALUES (1, 5, True, \"abc\")")});
        VERIFY_DB_ERROR(d->execute(sql, Database::FailOnError), messagePart);
        QCOMPARE(
            storage_test::scalar(
                *d, QStringLiteral(
                        "SELECT n & \"|\" & Zn & \"|\" & t & \"|\" & Count(*) FROM T GROUP BY n, Zn, t")),
            QVariant(QStringLiteral("5|-1|abc|1")));
    }

    // Without FailOnError a row the table cannot hold is left out, the others go in.
    void rowErrorsSkipTheRow() {
        auto d = scratch({QStringLiteral("CREATE TABLE S (ID LONG, n LONG, w TEXT(10))"),
                          QStringLiteral("CREATE TABLE T (ID LONG PRIMARY KEY, n LONG, Zn BIT)"),
                          QStringLiteral("INSERT INTO S VALUES (1, 1, \"yes\")"),
                          QStringLiteral("INSERT INTO S VALUES (2, 3, \"no\")"),
                          QStringLiteral("INSERT INTO S VALUES (3, 0, \"možná\")")});
        QCOMPARE(d->execute(QStringLiteral("INSERT INTO T (ID, n) SELECT ID, n * 1000000000 FROM S"), 0), 2);
        QCOMPARE(storage_test::count(*d, QStringLiteral("T WHERE ID IN (1, 3)")), 2);
        QCOMPARE(d->execute(QStringLiteral("UPDATE T SET Zn = (SELECT w FROM S WHERE S.ID = T.ID)"), 0), 1);
        QCOMPARE(storage_test::scalar(*d, QStringLiteral("SELECT Zn FROM T WHERE ID = 1")).toBool(), true);
    }

    // What a column can hold is stored as the dialect reads it.
    void stored_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("expected");
        QTest::newRow("largest Long")
            << QStringLiteral("2147483647") << QStringLiteral("n") << QStringLiteral("2147483647");
        QTest::newRow("smallest Long")
            << QStringLiteral("-2147483648") << QStringLiteral("n") << QStringLiteral("-2147483648");
        for (const char* word : {"yes", "TRUE", "On", "-1", "2.5", " true "})
            QTest::addRow("Yes/No %s", word)
                << u'"' + QString::fromLatin1(word) + u'"' << QStringLiteral("Zn") << QStringLiteral("-1");
        for (const char* word : {"no", "False", "OFF", "0"})
            QTest::addRow("Yes/No %s", word)
                << u'"' + QString::fromLatin1(word) + u'"' << QStringLiteral("Zn") << QStringLiteral("0");
        QTest::newRow("Yes/No from a comparison")
            << QStringLiteral("(1 < 2)") << QStringLiteral("Zn") << QStringLiteral("-1");
        QTest::newRow("text with a NUL")
            << QStringLiteral("\"a") + kNul + QStringLiteral("b\"") << QStringLiteral("t")
            << QStringLiteral("a") + kNul + QStringLiteral("b");
    }

    void stored() {
        QFETCH(QString, value);
        QFETCH(QString, column);
        QFETCH(QString, expected);
        auto d = scratch({QStringLiteral("CREATE TABLE T (ID LONG PRIMARY KEY, n LONG, Zn BIT, t TEXT(3))")});
        d->execute(QStringLiteral("INSERT INTO T (ID, %1) VALUES (1, %2)").arg(column, value),
                   Database::FailOnError);
        const QVariant v = storage_test::scalar(*d, QStringLiteral("SELECT %1 FROM T").arg(column));
        QCOMPARE(v.typeId() == QMetaType::Bool ? QString::number(v.toBool() ? -1 : 0) : v.toString(),
                 expected);
    }

    // The length limit and Len() count characters, not bytes: Czech letters
    // take two bytes each, a character beyond the Basic Multilingual Plane four
    // (and counts twice, as in the program's own texts).
    void lengthCountsCharacters_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("length");
        QTest::newRow("plain") << QStringLiteral("abcde") << 5;
        QTest::newRow("Czech") << QStringLiteral("ŘÍČŠŽ") << 5;
        QTest::newRow("mixed") << QStringLiteral("Čech ß") << 6;
        QTest::newRow("beyond the plane") << QString::fromUcs4(U"a\U0001F600b") << 4;
        QTest::newRow("empty") << QString() << 0;
    }
    void lengthCountsCharacters() {
        QFETCH(QString, text);
        QFETCH(int, length);
        auto d = scratch({QStringLiteral("CREATE TABLE T (ID LONG PRIMARY KEY, t TEXT(5))")});
        d->execute(QStringLiteral("INSERT INTO T (ID) VALUES (1)"), Database::FailOnError);
        QCOMPARE(storage_test::scalar(*d, QStringLiteral("SELECT Len(\"%1\") AS n FROM T").arg(text)).toInt(),
                 length);
        const QString insert = QStringLiteral("INSERT INTO T (ID, t) VALUES (2, \"%1\")").arg(text);
        if (length <= 5)
            d->execute(insert, Database::FailOnError);
        else
            VERIFY_DB_ERROR(d->execute(insert, Database::FailOnError), QStringLiteral("příliš malé"));
    }

    // A NUL inside a text is a character like any other: it neither cuts a
    // literal short nor escapes the length limit, and Len() counts it.
    void nulInsideText() {
        const QString text = QStringLiteral("ab") + kNul + QStringLiteral("cd");
        auto d = scratch({QStringLiteral("CREATE TABLE T (ID LONG PRIMARY KEY, t TEXT(5))")});
        d->execute(QStringLiteral("INSERT INTO T (ID, t) VALUES (1, \"%1\")").arg(text),
                   Database::FailOnError);
        QCOMPARE(storage_test::scalar(*d, QStringLiteral("SELECT t FROM T")).toString(), text);
        QCOMPARE(storage_test::scalar(*d, QStringLiteral("SELECT Len(t) FROM T")).toInt(), 5);
        QCOMPARE(storage_test::scalar(*d, QStringLiteral("SELECT Len(\"%1\") FROM T").arg(text)).toInt(), 5);
        QCOMPARE(storage_test::count(*d, QStringLiteral("T WHERE t = \"%1\"").arg(text)), 1);
        QCOMPARE(storage_test::count(*d, QStringLiteral("T WHERE t = \"ab\"")), 0);
        QCOMPARE(storage_test::count(*d, QStringLiteral("T WHERE t LIKE \"ab*\"")), 1);
        VERIFY_DB_ERROR(d->execute(QStringLiteral("UPDATE T SET t = t & \"x\""), Database::FailOnError),
                        QStringLiteral("příliš malé"));
    }

    // Files made before the checks above keep theirs and keep working.
    void olderTablesKeepTheirChecks() {
        auto d = scratch({});
        d->executeNative(QStringLiteral(
            "CREATE TABLE \"Old\" (\"ID\" INTEGER PRIMARY KEY, \"n\" LONG CONSTRAINT \"type:n\" CHECK "
            "(typeof(\"n\") IN "
            "('integer', 'null')), \"Zn\" BIT DEFAULT 0 CONSTRAINT \"type:Zn\" CHECK (typeof(\"Zn\") IN "
            "('integer', 'null')), "
            "\"t\" TEXT(3) COLLATE \"CZ\" CONSTRAINT \"len:t:3\" CHECK (length(\"t\") <= 3))"));
        d->execute(QStringLiteral("INSERT INTO Old (ID, n, Zn, t) VALUES (1, 5, \"yes\", \"abc\")"),
                   Database::FailOnError);
        QCOMPARE(storage_test::scalar(*d, QStringLiteral("SELECT n & \"|\" & Zn & \"|\" & t FROM Old")),
                 QVariant(QStringLiteral("5|-1|abc")));
        VERIFY_DB_ERROR(
            d->execute(QStringLiteral("INSERT INTO Old (ID, t) VALUES (2, \"abcd\")"), Database::FailOnError),
            QStringLiteral("Pole „t“ je příliš malé"));
        VERIFY_DB_ERROR(d->execute(QStringLiteral("INSERT INTO Old (ID, Zn) VALUES (2, \"možná\")"),
                                   Database::FailOnError),
                        QStringLiteral("Nesoulad datových typů"));
        QCOMPARE(storage_test::count(*d, QStringLiteral("Old")), 1);
    }

    // Names holding %1 or %2 are names like any other, in every kind of statement
    // and in the messages about them.
    void namesWithPlaceholders() {
        auto d = scratch({QStringLiteral("CREATE TABLE [a%1b] ([%2] TEXT(5), [x%1] LONG, [%1%2] BIT)"),
                          QStringLiteral("CREATE INDEX [i%1] ON [a%1b] ([%2])")});
        d->execute(QStringLiteral("INSERT INTO [a%1b] ([%2], [x%1], [%1%2]) VALUES (\"%1\", 1, \"yes\")"),
                   Database::FailOnError);
        d->execute(QStringLiteral("INSERT INTO [a%1b] VALUES (\"%2%1\", 2, False)"), Database::FailOnError);
        Dataset ds;
        ds.setDatabase(d.get());
        ds.setSql(QStringLiteral("SELECT [%2], [x%1], [%1%2] FROM [a%1b] WHERE [x%1] >= 1 ORDER BY [%2]"));
        ds.open();
        QCOMPARE(ds.fieldName(0), QStringLiteral("%2"));
        QCOMPARE(ds.value(QStringLiteral("%2")).toString(), QStringLiteral("%1"));
        QCOMPARE(ds.value(QStringLiteral("%1%2")).toBool(), true);
        ds.close();
        QCOMPARE(d->execute(QStringLiteral("UPDATE [a%1b] SET [%2] = \"b%2\" WHERE [x%1] = 1"),
                            Database::FailOnError),
                 1);
        QCOMPARE(storage_test::scalar(*d, QStringLiteral("SELECT [%2] FROM [a%1b] WHERE [x%1] = 1")),
                 QVariant(QStringLiteral("b%2")));
        VERIFY_DB_ERROR(
            d->execute(QStringLiteral("INSERT INTO [a%1b] ([%2]) VALUES (\"%1%2%3%4\")"),
                       Database::FailOnError),
            QStringLiteral("Pole „%2“ je příliš malé pro zadaná data: hodnota je delší než 5 znaků"));
        VERIFY_DB_ERROR(d->execute(QStringLiteral("INSERT INTO [a%1b] ([x%1]) VALUES (9999999999)"),
                                   Database::FailOnError),
                        QStringLiteral("„x%1“"));
        QCOMPARE(
            d->execute(QStringLiteral("DELETE FROM [a%1b] WHERE [%2] LIKE \"b%2\""), Database::FailOnError),
            1);
        QCOMPARE(storage_test::count(*d, QStringLiteral("[a%1b]")), 1);
        d->execute(QStringLiteral("DROP INDEX [i%1] ON [a%1b]"), Database::FailOnError);
        d->execute(QStringLiteral("DROP TABLE [a%1b]"), Database::FailOnError);
    }
};

QTEST_GUILESS_MAIN(TestJetSemantics)
#include "tst_jetsemantics.moc"
