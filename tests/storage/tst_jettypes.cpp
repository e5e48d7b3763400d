// The column types beyond those of our own databases, as a Jet file holds
// them: Byte, Integer, Single, Currency, Date/Time, Binary, GUID. Each case
// runs statements on a small database and compares what the engine keeps,
// shows, compares and refuses; dates also as #…# literals and through the
// date functions, and through the text driver.

#include "Database.h"
#include "Dataset.h"
#include "Error.h"
#include "JetValues.h"
#include "RowJson.h"
#include "StorageFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace db;

class TestJetTypes : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir m_dir;
    Engine m_engine;
    int m_files = 0;

    std::unique_ptr<Database> scratch(const QStringList& statements) {
        return storage_test::createDatabase(
            m_engine, m_dir.filePath(QStringLiteral("t%1.mdb").arg(++m_files)), statements);
    }

    // The table every comparison case runs on.
    std::unique_ptr<Database> sample() {
        return scratch({
            QStringLiteral("CREATE TABLE T (ID LONG PRIMARY KEY, d DATETIME, c CURRENCY, b BYTE, s SHORT, "
                           "f SINGLE)"),
            QStringLiteral("INSERT INTO T VALUES (1, #3/1/2004 10:20:30#, 1.5, 200, -300, 0.5)"),
            QStringLiteral("INSERT INTO T VALUES (2, #2004-02-29#, 0.1, 7, 12000, 2.25)"),
            QStringLiteral("INSERT INTO T VALUES (3, #12/31/2003 23:59:59#, 0.2, 255, -32768, -1)"),
            QStringLiteral("INSERT INTO T VALUES (4, #3/15/2004#, 1234.5678, 0, 32767, 100)"),
            QStringLiteral("INSERT INTO T (ID) VALUES (5)"),
        });
    }

    // The fields of every row as the dataset shows them as text, joined by "|".
    static QStringList texts(Database& d, const QString& sql) {
        Dataset ds;
        ds.setDatabase(&d);
        ds.setSql(sql);
        ds.open();
        QStringList out;
        for (; !ds.eof(); ds.next()) {
            QStringList values;
            for (int i = 0; i < ds.fieldCount(); ++i)
                values << ds.text(ds.fieldName(i));
            out << values.join(u'|');
        }
        return out;
    }

  private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // A value stored through a statement reads back as the type shows it.
    void storeAndShow_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("Byte top") << "BYTE"
                                  << "255"
                                  << "255";
        QTest::newRow("Integer bottom") << "SMALLINT"
                                        << "-32768"
                                        << "-32768";
        QTest::newRow("Single keeps its own digits") << "SINGLE"
                                                     << "0.1"
                                                     << "0.1";
        QTest::newRow("Single rounds to 7 digits") << "REAL"
                                                   << "1.23456789"
                                                   << "1.234568";
        QTest::newRow("Currency with four decimals") << "CURRENCY"
                                                     << "1.5"
                                                     << "1.5000";
        QTest::newRow("Currency from text with a comma") << "MONEY"
                                                         << "\"12,3456\""
                                                         << "12.3456";
        QTest::newRow("Currency rounds half to even") << "CURRENCY"
                                                      << "0.00015"
                                                      << "0.0002";
        QTest::newRow("Currency half to even down") << "CURRENCY"
                                                    << "0.00025"
                                                    << "0.0002";
        QTest::newRow("Currency negative") << "CURRENCY"
                                           << "-7.25"
                                           << "-7.2500";
        QTest::newRow("Currency past a double's digits") << "CURRENCY"
                                                         << "\"922337203685477.5807\""
                                                         << "922337203685477.5807";
        QTest::newRow("date and time, month first") << "DATETIME"
                                                    << "#3/1/2004 10:20:30#"
                                                    << "1.3.2004 10:20:30";
        QTest::newRow("ISO date") << "DATE"
                                  << "#2004-03-01#"
                                  << "1.3.2004";
        QTest::newRow("two-digit year") << "DATE"
                                        << "#3/1/29#"
                                        << "1.3.2029";
        QTest::newRow("two-digit year of the last century") << "DATE"
                                                            << "#3/1/30#"
                                                            << "1.3.1930";
        QTest::newRow("time alone") << "TIME"
                                    << "#10:20#"
                                    << "10:20:00";
        QTest::newRow("date from Czech text") << "DATETIME"
                                              << "\"1.3.2004 8:05\""
                                              << "1.3.2004 8:05:00";
        QTest::newRow("date as a number of days") << "DATETIME"
                                                  << "38047.5"
                                                  << "1.3.2004 12:00:00";
        QTest::newRow("before 30 December 1899") << "DATETIME"
                                                 << "#1/1/1899 6:00#"
                                                 << "1.1.1899 6:00:00";
        QTest::newRow("first day") << "DATETIME"
                                   << "#1/1/100#"
                                   << "1.1.100";
        QTest::newRow("GUID in capitals and braces") << "GUID"
                                                     << "\"0f8fad5b-d9cb-469f-a165-70867728950e\""
                                                     << "{0F8FAD5B-D9CB-469F-A165-70867728950E}";
        QTest::newRow("Binary holds text bytes") << "BINARY(4)"
                                                 << "\"ab\""
                                                 << "ab";
    }

    void storeAndShow() {
        QFETCH(QString, type);
        QFETCH(QString, value);
        QFETCH(QString, shown);
        auto d = scratch({QStringLiteral("CREATE TABLE T (ID LONG, v %1)").arg(type),
                          QStringLiteral("INSERT INTO T VALUES (1, %1)").arg(value)});
        QCOMPARE(texts(*d, QStringLiteral("SELECT v FROM T")), QStringList{shown});
        // The engine reads the type back from the file.
        d->invalidateSchema();
        const std::optional<TableRef> t = d->findTable(QStringLiteral("T"), QString());
        QVERIFY(t);
        QCOMPARE(int(t->info.column(QStringLiteral("v"))->type),
                 int(typeNamed(type.section(u'(', 0, 0))->type));
    }

    // Values a column cannot hold are refused with a readable message, and the
    // table keeps what it had.
    void refused_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("message");
        const QString insert = QStringLiteral("INSERT INTO T (ID, %1) VALUES (9, %2)");
        QTest::newRow("Byte above 255")
            << insert.arg("b", "256") << "Přetečení číselného pole „b“: celé číslo musí ležet mezi 0 a 255.";
        QTest::newRow("Byte below 0") << insert.arg("b", "-1") << "Přetečení číselného pole „b“";
        QTest::newRow("Byte fraction") << insert.arg("b", "1.5") << "lze uložit jen celé číslo";
        QTest::newRow("Integer above 16 bits")
            << insert.arg("s", "32768")
            << "Přetečení číselného pole „s“: celé číslo musí ležet mezi -32768 a 32767.";
        QTest::newRow("Integer updated past its range")
            << QStringLiteral("UPDATE T SET s = s * 1000") << "Přetečení číselného pole „s“";
        QTest::newRow("Single overflow")
            << insert.arg("f", "1e39") << "Přetečení číselného pole „f“: číslo musí ležet mezi";
        QTest::newRow("Single from a word")
            << insert.arg("f", "\"abc\"") << "do pole „f“ lze uložit jen číslo";
        QTest::newRow("Currency past 64 bits")
            << insert.arg("c", "1e15") << "Přetečení číselného pole „c“: částka musí ležet";
        QTest::newRow("Currency text past 64 bits")
            << insert.arg("c", "\"922337203685477.5808\"") << "částka musí ležet";
        QTest::newRow("Currency from a word")
            << insert.arg("c", "\"hodně\"") << "do pole „c“ lze uložit jen číslo";
        QTest::newRow("date from a word")
            << insert.arg("d", "\"zítra\"") << "do pole „d“ lze uložit jen datum a čas";
        QTest::newRow("date after 9999")
            << insert.arg("d", "3000000") << "datum musí ležet mezi 1.1.100 a 31.12.9999";
        QTest::newRow("not a GUID") << insert.arg("g", "\"{1234}\"") << "identifikátor GUID";
        QTest::newRow("Binary too long") << insert.arg("x", "\"abcde\"") << "delší než 4 bajtů";
        QTest::newRow("literal that is no date")
            << insert.arg("d", "#13/45/2004#") << "„#13/45/2004#“ není platné datum";
        QTest::newRow("literal of words") << insert.arg("d", "#zítra#") << "není platné datum";
        QTest::newRow("literal with a quote stays out of the statement")
            << insert.arg("d", "#1/1/2004'); DROP TABLE T; --#") << "není platné datum";
        QTest::newRow("literal not closed") << insert.arg("d", "#3/1/2004") << "neukončené datum";
        QTest::newRow("CDate of a word") << QStringLiteral("UPDATE T SET d = CDate(\"nikdy\")")
                                         << "hodnotu „nikdy“ nelze převést na datum";
        QTest::newRow("DateSerial past 9999")
            << QStringLiteral("UPDATE T SET d = DateSerial(9999, 13, 1)") << "DateSerial";
    }

    void refused() {
        QFETCH(QString, sql);
        QFETCH(QString, message);
        auto d = scratch({QStringLiteral("CREATE TABLE T (ID LONG, b BYTE, s SHORT, f SINGLE, c CURRENCY, "
                                         "d DATETIME, g GUID, x BINARY(4))"),
                          QStringLiteral("INSERT INTO T (ID, s, c, d) VALUES (1, 100, 2.5, #1/2/2003#)")});
        VERIFY_DB_ERROR(d->execute(sql, Database::FailOnError), message);
        QCOMPARE(texts(*d, QStringLiteral("SELECT ID, s, c, d FROM T")),
                 QStringList{"1|100|2.5000|2.1.2003"});
    }

    // Comparison, ordering and Null as in the dialect: dates and amounts
    // compare as numbers, never as texts.
    void compareAndOrder_data() {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("ids");
        QTest::newRow("date after a literal") << "d > #2/28/2004# ORDER BY d"
                                              << "2 1 4";
        QTest::newRow("date equal to an ISO literal with time") << "d = #2004-03-01 10:20:30#"
                                                                << "1";
        QTest::newRow("dates between") << "d BETWEEN #1/1/2004# AND #3/1/2004# ORDER BY ID"
                                       << "2";
        QTest::newRow("date against Czech text") << "d >= \"1.3.2004\" ORDER BY ID"
                                                 << "1 4";
        QTest::newRow("descending dates, Null last") << "ID > 0 ORDER BY d DESC"
                                                     << "4 1 2 3 5";
        QTest::newRow("date plus days is a date") << "d + 1 > #3/15/2004#"
                                                  << "4";
        QTest::newRow("Year and Month") << "Year(d) = 2004 AND Month(d) = 3 ORDER BY ID"
                                        << "1 4";
        QTest::newRow("Day") << "Day(d) = 29"
                             << "2";
        QTest::newRow("DateSerial carries the month over") << "d < DateSerial(2003, 13, 1) ORDER BY ID"
                                                           << "3";
        QTest::newRow("Null date") << "d IS NULL"
                                   << "5";
        QTest::newRow("amount above a number") << "c > 1.5 ORDER BY c DESC"
                                               << "4";
        QTest::newRow("amount equal to a decimal") << "c = 0.1"
                                                   << "2";
        QTest::newRow("amount in a subquery's amounts") << "c IN (SELECT c FROM T WHERE ID = 2)"
                                                        << "2";
        QTest::newRow("amount equal to a subquery's largest") << "c = (SELECT Max(c) FROM T)"
                                                              << "4";
        QTest::newRow("date in a subquery's dates") << "d IN (SELECT d + 0 FROM T WHERE ID = 3)"
                                                    << "3";
        QTest::newRow("amounts ordered") << "c IS NOT NULL ORDER BY c"
                                         << "2 3 1 4";
        QTest::newRow("Byte ordered") << "b IS NOT NULL ORDER BY b"
                                      << "4 2 1 3";
        QTest::newRow("Integer negative first") << "s < 0 ORDER BY s"
                                                << "3 1";
        QTest::newRow("Single compared") << "f > 1 AND f < 3"
                                         << "2";
    }

    void compareAndOrder() {
        QFETCH(QString, where);
        QFETCH(QString, ids);
        auto d = sample();
        QCOMPARE(texts(*d, QStringLiteral("SELECT ID FROM T WHERE ") + where).join(u' '), ids);
    }

    // An amount column compared with a number of at most four decimals is
    // searched through its index.
    void amountUsesIndex() {
        auto d = sample();
        d->execute(QStringLiteral("CREATE INDEX ic ON T (c)"), Database::FailOnError);
        const Translation t = d->translate(QStringLiteral("SELECT ID FROM T WHERE c >= 1.5"));
        QString plan;
        for (const QVariantList& row :
             d->queryNative(QStringLiteral("EXPLAIN QUERY PLAN ") + t.statements.first()))
            plan += row.value(3).toString();
        QVERIFY2(plan.contains(QLatin1String("SEARCH T USING")), qPrintable(plan));
        QCOMPARE(texts(*d, QStringLiteral("SELECT ID FROM T WHERE 1.5 <= c AND c <> -0.5 ORDER BY ID")),
                 (QStringList{"1", "4"}));
        QCOMPARE(texts(*d, QStringLiteral("SELECT ID FROM T WHERE c < 0.10001")), QStringList{"2"});
    }

    // Computed values of the new types show as their type.
    void computed_data() {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("shown");
        QTest::newRow("sum of amounts, exact") << "Sum(c)"
                                               << "1236.3678";
        QTest::newRow("largest amount") << "Max(c)"
                                        << "1234.5678";
        QTest::newRow("earliest date") << "Min(d)"
                                       << "31.12.2003 23:59:59";
        QTest::newRow("literal plus days") << "#3/1/2004# + 30"
                                           << "31.3.2004";
        QTest::newRow("days between dates") << "#3/1/2004# - #2/1/2004#"
                                            << "29";
        QTest::newRow("DateSerial with day 0") << "DateSerial(2004, 14, 0)"
                                               << "31.1.2005";
        QTest::newRow("CDate of Czech text") << "CDate(\"1.3.2004\")"
                                             << "1.3.2004";
        QTest::newRow("Day of a literal") << "Day(#3/7/2004#)"
                                          << "7";
        QTest::newRow("date joined to text") << "\"od \" & d & \".\""
                                             << "od 1.3.2004 10:20:30.";
        QTest::newRow("CStr of a date") << "CStr(#3/1/2004#)"
                                        << "1.3.2004";
        QTest::newRow("today has no time") << "Date() = DateSerial(Year(Now()), Month(Now()), Day(Now()))"
                                           << "-1";
        QTest::newRow("now is not before today") << "Now() >= Date()"
                                                 << "-1";
    }

    void computed() {
        QFETCH(QString, expression);
        QFETCH(QString, shown);
        auto d = sample();
        // Aggregates over the four rows with values, anything else on the first.
        const bool aggregate =
            QRegularExpression(QStringLiteral("^(Sum|Min|Max)\\(")).match(expression).hasMatch();
        QCOMPARE(
            texts(*d, QStringLiteral("SELECT %1 AS v FROM T WHERE %2")
                          .arg(expression, aggregate ? QStringLiteral("ID <= 4") : QStringLiteral("ID = 1"))),
            QStringList{shown});
    }

    // Through a dataset: values set as QDateTime and double are stored in the
    // column's form and read back as such.
    void datasetEdits() {
        auto d = scratch({QStringLiteral("CREATE TABLE T (ID LONG PRIMARY KEY, d DATETIME, c CURRENCY, "
                                         "f SINGLE, g GUID)")});
        Dataset ds;
        ds.setDatabase(d.get());
        ds.setSql(QStringLiteral("SELECT * FROM T"));
        ds.open();
        ds.append();
        storage_test::postValues(ds, {{"ID", 1},
                                      {"d", QDateTime(QDate(2004, 3, 1), QTime(10, 20, 30), Qt::UTC)},
                                      {"c", 19.99},
                                      {"f", 0.1},
                                      {"g", QStringLiteral("{0f8fad5b-d9cb-469f-a165-70867728950e}")}});
        QCOMPARE(ds.value(QStringLiteral("d")).toDateTime(),
                 QDateTime(QDate(2004, 3, 1), QTime(10, 20, 30), Qt::UTC));
        QCOMPARE(ds.value(QStringLiteral("c")), QVariant(19.99));
        QCOMPARE(ds.text(QStringLiteral("c")), QStringLiteral("19.9900"));
        QCOMPARE(ds.value(QStringLiteral("f")).toDouble(), double(0.1f));
        QCOMPARE(storage_test::scalar(*d, QStringLiteral("SELECT ID FROM T WHERE d = #3/1/2004 10:20:30# "
                                                         "AND c = 19.99 AND g = \"{0F8FAD5B-D9CB-469F-A165-"
                                                         "70867728950E}\"")),
                 QVariant(qint64(1)));
        // Kept as Jet keeps them: a day count and a count of ten-thousandths.
        const QList<QVariantList> raw = d->queryNative(QStringLiteral("SELECT d, c FROM T"));
        QCOMPARE(raw.value(0).value(0).toDouble(), 38047.0 + (10 * 3600 + 20 * 60 + 30) / 86400.0);
        QCOMPARE(raw.value(0).value(1), QVariant(qint64(199900)));
        ds.edit();
        VERIFY_DB_ERROR(storage_test::postValues(ds, {{"c", QStringLiteral("1e20")}}), "částka musí ležet");
    }

    // INSERT … SELECT stores each value in the form of its target column.
    void copyRows() {
        auto d = sample();
        d->execute(QStringLiteral("CREATE TABLE U (ID LONG, c CURRENCY, x DOUBLE, t TEXT(30), d DATETIME)"),
                   Database::FailOnError);
        QCOMPARE(
            d->execute(QStringLiteral("INSERT INTO U SELECT ID, c, c, c, \"1.3.2004\" FROM T WHERE ID = 4"),
                       Database::FailOnError),
            1);
        QCOMPARE(d->execute(QStringLiteral("INSERT INTO U (ID, t) VALUES (2, #3/1/2004 10:20#)"),
                            Database::FailOnError),
                 1);
        QCOMPARE(d->execute(QStringLiteral("INSERT INTO U (ID, c) SELECT ID, c * 2 FROM T WHERE ID = 1"),
                            Database::FailOnError),
                 1);
        QCOMPARE(texts(*d, QStringLiteral("SELECT ID, c, x, t, d FROM U ORDER BY ID DESC")),
                 (QStringList{"4|1234.5678|1234.5678|1234.5678|1.3.2004", "2|||1.3.2004 10:20:00|",
                              "1|3.0000|||"}));
    }

    // A table defined field by field takes the new types as well.
    void defineTable() {
        auto d = scratch({});
        d->defineTable({QStringLiteral("T"),
                        {{QStringLiteral("b"), ColumnType::Byte, 0, 0},
                         {QStringLiteral("s"), ColumnType::Short, 0, 0},
                         {QStringLiteral("f"), ColumnType::Single, 0, 0},
                         {QStringLiteral("c"), ColumnType::Currency, 0, 0},
                         {QStringLiteral("d"), ColumnType::DateTime, 0, 0},
                         {QStringLiteral("x"), ColumnType::Binary, 10, 0},
                         {QStringLiteral("o"), ColumnType::LongBinary, 0, 0},
                         {QStringLiteral("g"), ColumnType::Guid, 0, 0}}});
        const std::optional<TableRef> t = d->findTable(QStringLiteral("T"), QString());
        QVERIFY(t);
        QList<ColumnType> types;
        for (const ColumnInfo& c : t->info.columns)
            types << c.type;
        QCOMPARE(types, (QList<ColumnType>{ColumnType::Byte, ColumnType::Short, ColumnType::Single,
                                           ColumnType::Currency, ColumnType::DateTime, ColumnType::Binary,
                                           ColumnType::LongBinary, ColumnType::Guid}));
        QCOMPARE(t->info.column(QStringLiteral("x"))->size, 10);
        VERIFY_DB_ERROR(d->execute(QStringLiteral("INSERT INTO T (b) VALUES (300)"), Database::FailOnError),
                        "Přetečení číselného pole „b“");
    }

    // The text driver writes a date with its time in the Czech form and an
    // amount with four decimals, both bare like numbers.
    void textExport() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QFile ini(QDir(folder.path()).filePath(QStringLiteral("schema.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[out.txt]\r\nFormat=Delimited(;)\r\nColNameHeader=True\r\n");
        ini.close();
        auto d = sample();
        QCOMPARE(
            d->execute(QStringLiteral("SELECT ID, d, c, c * 2 AS dvojnasobek, d + 1 AS zitra INTO out#txt "
                                      "IN \"\" \"Text;DATABASE=%1;\" FROM T WHERE ID IN (1, 2, 5) "
                                      "ORDER BY ID")
                           .arg(folder.path()),
                       Database::FailOnError),
            3);
        QFile out(QDir(folder.path()).filePath(QStringLiteral("out.txt")));
        QVERIFY(out.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLatin1(out.readAll()),
                 QStringLiteral("\"ID\";\"d\";\"c\";\"dvojnasobek\";\"zitra\"\r\n"
                                "1;1.3.2004 10:20:30;1.5000;3;2.3.2004 10:20:30\r\n"
                                "2;29.2.2004 0:00:00;0.1000;0.2;1.3.2004 0:00:00\r\n"
                                "5;;;;\r\n"));
    }

    // A row as one JSON object: names in the select's order, Null left out,
    // every type in its JSON form.
    void json_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("json");
        QTest::newRow("Null left out") << "LONG" << QVariant() << "{\"ID\": 1}";
        QTest::newRow("Yes") << "BIT" << QVariant(true) << "{\"ID\": 1, \"v\": true}";
        QTest::newRow("No") << "BIT" << QVariant(false) << "{\"ID\": 1, \"v\": false}";
        QTest::newRow("date") << "DATETIME" << QVariant(QStringLiteral("1.3.2004 8:05"))
                              << "{\"ID\": 1, \"v\": \"2004-03-01 08:05:00\"}";
        QTest::newRow("amount exact") << "CURRENCY" << QVariant(QStringLiteral("922337203685477.5807"))
                                      << "{\"ID\": 1, \"v\": 922337203685477.5807}";
        QTest::newRow("Single") << "SINGLE" << QVariant(0.1) << "{\"ID\": 1, \"v\": 0.1}";
        QTest::newRow("Double shortest")
            << "DOUBLE" << QVariant(0.1 + 0.2) << "{\"ID\": 1, \"v\": 0.30000000000000004}";
        QTest::newRow("text escaped") << "TEXT(20)" << QVariant(QStringLiteral("Novák \"a\"\\\n"))
                                      << "{\"ID\": 1, \"v\": \"Novák \\\"a\\\"\\\\\\n\"}";
        QTest::newRow("binary") << "LONGBINARY" << QVariant(QByteArray("\x00\xff\x10", 3))
                                << "{\"ID\": 1, \"v\": {\"$binary\": \"AP8Q\"}}";
    }

    void json() {
        QFETCH(QString, type);
        QFETCH(QVariant, value);
        QFETCH(QString, json);
        auto d = scratch({QStringLiteral("CREATE TABLE T (ID LONG, v %1)").arg(type)});
        Dataset ds;
        ds.setDatabase(d.get());
        ds.setSql(QStringLiteral("SELECT * FROM T"));
        ds.open();
        ds.append();
        storage_test::postValues(ds, {{"ID", 1}, {"v", value}});
        ds.close();
        ds.open();
        QCOMPARE(QString::fromUtf8(rowAsJson(ds)), json);
    }

    // Days and serials both ways, around the day the count starts.
    void serials_data() {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<double>("serial");
        QTest::newRow("day zero") << QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC) << 0.0;
        QTest::newRow("noon of day zero") << QDateTime(QDate(1899, 12, 30), QTime(12, 0), Qt::UTC) << 0.5;
        QTest::newRow("day before, 6 o'clock")
            << QDateTime(QDate(1899, 12, 29), QTime(6, 0), Qt::UTC) << -1.25;
        QTest::newRow("leap day 1900 does not exist here")
            << QDateTime(QDate(1900, 3, 1), QTime(0, 0), Qt::UTC) << 61.0;
        QTest::newRow("last second") << QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59), Qt::UTC)
                                     << 2958465.0 + 86399.0 / 86400.0;
    }

    void serials() {
        QFETCH(QDateTime, when);
        QFETCH(double, serial);
        QCOMPARE(jet_values::serialFromDateTime(when), serial);
        QCOMPARE(jet_values::dateTimeFromSerial(serial), when);
    }
};

QTEST_GUILESS_MAIN(TestJetTypes)
#include "tst_jettypes.moc"
