// The reference lists without the page: the page's text rules, and the query
// over list files written for each test.

#include "ListFiles.h"

#include "Database.h"
#include "Error.h"
#include "ReferenceListQuery.h"
#include "ReferenceLists.h"

#include <QTemporaryDir>
#include <QTest>

using namespace reference_lists;
using Order = ReferenceListQuery::Order;

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

class TestReferenceLists : public QObject {
    Q_OBJECT

    db::Engine m_engine;
    QTemporaryDir m_tmp;
    QString m_program; // ends in "/"

    ReferenceListQuery::Opener opener() {
        return [this](const QString& path) {
            db::OpenOptions o;
            o.readOnly = true;
            return m_engine.defaultWorkspace().openDatabase(path, o);
        };
    }
    std::unique_ptr<ReferenceListQuery> openList(List list, const QString& program) {
        auto q = std::make_unique<ReferenceListQuery>(opener(), program);
        q->open(list);
        return q;
    }

  private slots:
    void initTestCase() {
        QVERIFY(m_tmp.isValid());
        m_program = m_tmp.path() + QStringLiteral("/program/");
        infotest::writeLists(m_program + QStringLiteral("DATA"));
    }

    void countText_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << 0 << u8("Celkový počet záznamů: 0");
        QTest::newRow("two digits") << 12 << u8("Celkový počet záznamů: 12");
        QTest::newRow("a full group keeps its leading blank") << 250 << u8("Celkový počet záznamů:  250");
        QTest::newRow("thousands") << 1250 << u8("Celkový počet záznamů: 1 250");
        QTest::newRow("millions") << 1234567 << u8("Celkový počet záznamů: 1 234 567");
    }
    void countText() {
        QFETCH(int, rows);
        QFETCH(QString, expected);
        QCOMPARE(reference_lists::countText(rows), expected);
    }

    void postalCodeForSearch_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected");
        QTest::newRow("stored with its blank") << u8("123 45") << u8("12345");
        QTest::newRow("stored without a blank") << u8("12345") << u8("12345");
        QTest::newRow("padded") << u8(" 123 45 ") << u8("12345");
        QTest::newRow("empty") << QString() << QString();
    }
    void postalCodeForSearch() {
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        QCOMPARE(reference_lists::postalCodeForSearch(stored), expected);
    }

    void webAddress_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected");
        QTest::newRow("http") << u8("http://www.alfa.cz") << u8("http://www.alfa.cz");
        QTest::newRow("https with a path")
            << u8("https://alfa.cz/kontakt?x=1") << u8("https://alfa.cz/kontakt?x=1");
        QTest::newRow("no scheme") << u8("www.beta.cz") << u8("http://www.beta.cz");
        QTest::newRow("padded") << u8("  www.beta.cz ") << u8("http://www.beta.cz");
        QTest::newRow("local path") << u8("/usr/bin/xterm") << QString();
        QTest::newRow("file address") << u8("file:///etc/passwd") << QString();
        QTest::newRow("mail") << u8("mailto:info@alfa.cz") << QString();
        QTest::newRow("script") << u8("javascript:alert(1)") << QString();
        QTest::newRow("empty") << QString() << QString();
    }
    void webAddress() {
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        QCOMPARE(reference_lists::webAddress(stored), expected);
    }

    void columnNamed_data() {
        QTest::addColumn<int>("list");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("column");
        const int postal = int(List::PostalCodes), inet = int(List::InternetAddresses);
        QTest::newRow("Obec") << postal << u8("Obec") << 0;
        QTest::newRow("letter case") << postal << u8("pšč") << -1;
        QTest::newRow("PSČ lower case") << postal << u8("psč") << 1;
        QTest::newRow("č is not c") << postal << u8("PSC") << -1;
        QTest::newRow("Kraj") << postal << u8("KRAJ") << 3;
        QTest::newRow("no such column") << postal << u8("Okres") << -1;
        QTest::newRow("empty") << postal << QString() << -1;
        QTest::newRow("Adresa") << inet << u8("Adresa") << 1;
        QTest::newRow("column of another list") << inet << u8("Obec") << -1;
    }
    void columnNamed() {
        QFETCH(int, list);
        QFETCH(QString, text);
        QFETCH(int, column);
        QCOMPARE(reference_lists::columnNamed(describe(List(list)), text), column);
    }

    void tableReference_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("expected");
        QTest::newRow("program folder") << u8("/opt/ordana/") << u8("PSC IN \"/opt/ordana/DATA/PSC.mdb\"");
        QTest::newRow("blank in the folder") << u8("/opt/o a/") << u8("PSC IN \"/opt/o a/DATA/PSC.mdb\"");
        QTest::newRow("quote in the folder") << u8("/opt/\"o\"/") << u8("PSC");
    }
    void tableReference() {
        QFETCH(QString, folder);
        QFETCH(QString, expected);
        QCOMPARE(reference_lists::tableReference(describe(List::PostalCodes), folder), expected);
    }

    // The list's own order is the Czech one; locating looks for the first row
    // in that order that begins with the text, Czech letters kept apart and
    // letter case ignored. A text found nowhere moves nothing.
    void locate_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("town");
        QTest::newRow("first of two") << 0 << u8("Br") << true << u8("Brno");
        QTest::newRow("longer prefix") << 0 << u8("Brun") << true << u8("Bruntál");
        QTest::newRow("c before č") << 0 << u8("c") << true << u8("Cvikov");
        QTest::newRow("č after c") << 0 << u8("č") << true << u8("Čáslav");
        QTest::newRow("capital Č") << 0 << u8("Č") << true << u8("Čáslav");
        QTest::newRow("ch after h") << 0 << u8("ch") << true << u8("Cheb");
        QTest::newRow("h before ch") << 0 << u8("h") << true << u8("Hradec Králové");
        QTest::newRow("postal code") << 1 << u8("50") << true << u8("Hradec Králové");
        QTest::newRow("post office") << 2 << u8("benešov u") << true << u8("Benešov");
        QTest::newRow("region") << 3 << u8("Mora") << true << u8("Bruntál");
        QTest::newRow("not found") << 0 << u8("Xyz") << false << u8("Zlín");
        QTest::newRow("no column") << -1 << u8("Br") << false << u8("Zlín");
        QTest::newRow("beyond the columns") << 4 << u8("Br") << false << u8("Zlín");
    }
    void locate() {
        QFETCH(int, column);
        QFETCH(QString, text);
        QFETCH(bool, found);
        QFETCH(QString, town);
        auto q = openList(List::PostalCodes, m_program);
        QVERIFY(q->locate(0, u8("Zl")));
        QCOMPARE(q->locate(column, text), found);
        QCOMPARE(q->currentValue(QStringLiteral("obec")), town);
    }

    // Re-sorting by a column reads the list in that column's order; the own
    // order comes back with the list's statement. Locating then searches in
    // the new order.
    void sort_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("order");
        QTest::addColumn<QString>("firstField");
        QTest::addColumn<QString>("firstValue");
        QTest::addColumn<QString>("located"); // by "St" in the sorted column
        const QString program = u8("program/");
        const QString quoted = u8("with \"quote\"/");
        QTest::newRow("region descending")
            << program << 3 << int(Order::Descending) << u8("kraj") << u8("Zlínský") << u8("Středočeský");
        QTest::newRow("region ascending")
            << program << 3 << int(Order::Ascending) << u8("kraj") << u8("Jihomoravský") << u8("Středočeský");
        QTest::newRow("town descending")
            << program << 0 << int(Order::Descending) << u8("obec") << u8("Zlín") << QString();
        QTest::newRow("code ascending")
            << program << 1 << int(Order::Ascending) << u8("psc") << u8("256 01") << QString();
        QTest::newRow("own order") << program << 3 << int(Order::Own) << u8("obec") << u8("Benešov")
                                   << u8("Středočeský");
        QTest::newRow("folder with a quote")
            << quoted << 3 << int(Order::Descending) << u8("kraj") << u8("Zlínský") << u8("Středočeský");
    }
    void sort() {
        QFETCH(QString, folder);
        QFETCH(int, column);
        QFETCH(int, order);
        QFETCH(QString, firstField);
        QFETCH(QString, firstValue);
        QFETCH(QString, located);
        const QString program = m_tmp.path() + u'/' + folder;
        infotest::writeList(program + QStringLiteral("DATA"), List::PostalCodes, infotest::postalCodeRows());
        auto q = openList(List::PostalCodes, program);
        q->sort(column, Order(order));
        QVERIFY(q->isOpen());
        QCOMPARE(q->rowCount(), 9);
        QCOMPARE(q->currentValue(firstField), firstValue);
        const QString field = describe(List::PostalCodes).columns[column].field;
        QCOMPARE(q->locate(column, u8("St")), !located.isEmpty());
        if (!located.isEmpty()) QCOMPARE(q->currentValue(field), located);
    }

    // A list file that is missing or not a database: opening raises the
    // engine's message naming the file, nothing stays open, and the other
    // lists open as before.
    void unusableFile_data() {
        QTest::addColumn<QByteArray>("content"); // empty: no file
        QTest::addColumn<QString>("fragment");
        QTest::newRow("missing") << QByteArray() << u8("nebyl nalezen");
        QTest::newRow("not a database") << QByteArray(4096, 'x') << u8("nelze otevřít");
    }
    void unusableFile() {
        QFETCH(QByteArray, content);
        QFETCH(QString, fragment);
        const QString program = m_tmp.path() + QStringLiteral("/broken/");
        infotest::writeLists(program + QStringLiteral("DATA"));
        const QString psc = program + QStringLiteral("DATA/PSC.mdb");
        QVERIFY(QFile::remove(psc));
        if (!content.isEmpty()) {
            QFile f(psc);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }

        ReferenceListQuery q(opener(), program);
        q.open(List::InternetAddresses);
        QString message;
        try {
            q.open(List::PostalCodes);
        } catch (const db::Error& e) {
            message = e.message();
        }
        QVERIFY2(message.contains(fragment) && message.contains(psc), qPrintable(message));
        QVERIFY(!q.isOpen());
        QCOMPARE(q.list(), List::PostalCodes);
        QCOMPARE(q.rowCount(), 0);
        QVERIFY(!q.hasCurrentRow());
        QVERIFY(!q.locate(0, u8("B")));
        q.sort(0, Order::Ascending); // nothing to sort
        QVERIFY(!q.isOpen());

        q.open(List::InternationalPrefixes);
        QVERIFY(q.isOpen());
        QCOMPARE(q.rowCount(), 3);
        QCOMPARE(q.currentValue(QStringLiteral("nazev")), u8("Stát 0001"));
    }

    // An empty list has no current row: no value to hand over.
    void emptyList() {
        const QString program = m_tmp.path() + QStringLiteral("/empty/");
        infotest::writeList(program + QStringLiteral("DATA"), List::InternetAddresses, {});
        auto q = openList(List::InternetAddresses, program);
        QVERIFY(q->isOpen());
        QCOMPARE(q->rowCount(), 0);
        QVERIFY(!q->hasCurrentRow());
        QCOMPARE(q->currentValue(QStringLiteral("firma")), QString());
        QVERIFY(!q->locate(0, QString()));
    }
};

QTEST_GUILESS_MAIN(TestReferenceLists)
#include "tst_referencelists.moc"
