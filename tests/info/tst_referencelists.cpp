// The reference lists without the page: the status line, the address handed
// to the browser, and sorting a list file written for the test.

#include "ListFiles.h"

#include "ReferenceListQuery.h"

#include <QTemporaryDir>
#include <QTest>

using namespace reference_lists;
using Order = ReferenceListQuery::Order;

class TestReferenceLists : public QObject {
    Q_OBJECT
    QTemporaryDir m_tmp;

    // The postal codes list of a program in the named folder.
    std::unique_ptr<ReferenceListQuery> postalCodes(const QString& folder) {
        const QString program = m_tmp.path() + u'/' + folder + u'/';
        info_test::writeList(program + QStringLiteral("DATA"), List::PostalCodes,
                             info_test::postalCodeRows());
        auto q = std::make_unique<ReferenceListQuery>(info_test::readOnlyOpener(),
                                                      program + QStringLiteral("DATA/"));
        q->open(List::PostalCodes);
        return q;
    }

  private slots:
    void countText_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("text");
        QTest::newRow("250") << 250 << QStringLiteral("Celkový počet záznamů:  250");
        QTest::newRow("1250") << 1250 << QStringLiteral("Celkový počet záznamů: 1 250");
    }
    void countText() {
        QFETCH(int, rows);
        QFETCH(QString, text);
        QCOMPARE(reference_lists::countText(rows), text);
    }

    void webAddress_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected"); // empty: nothing is opened
        QTest::newRow("http") << QStringLiteral("http://www.alfa.cz") << QStringLiteral("http://www.alfa.cz");
        QTest::newRow("no scheme") << QStringLiteral(" www.beta.cz ") << QStringLiteral("http://www.beta.cz");
        QTest::newRow("local path") << QStringLiteral("/usr/bin/xterm") << QString();
        QTest::newRow("file address") << QStringLiteral("file:///etc/passwd") << QString();
        QTest::newRow("script") << QStringLiteral("javascript:alert(1)") << QString();
        QTest::newRow("empty") << QString() << QString();
    }
    void webAddress() {
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        QCOMPARE(reference_lists::webAddress(stored), expected);
    }

    // Re-sorting reads the list in the column's order, also from a program
    // folder that a statement cannot quote; the own order comes back.
    void sort_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("order");
        QTest::addColumn<QString>("town"); // of the first row
        QTest::newRow("descending") << QStringLiteral("p") << int(Order::Descending)
                                    << QStringLiteral("Zlín");
        QTest::newRow("ascending") << QStringLiteral("p") << int(Order::Ascending) << QStringLiteral("Brno");
        QTest::newRow("own order") << QStringLiteral("p") << int(Order::Own) << QStringLiteral("Benešov");
        QTest::newRow("quote in the folder")
            << QStringLiteral("a \"b\"") << int(Order::Descending) << QStringLiteral("Zlín");
    }
    void sort() {
        QFETCH(QString, folder);
        QFETCH(int, order);
        QFETCH(QString, town);
        auto q = postalCodes(folder);
        q->sort(3, Order(order)); // by region
        QCOMPARE(q->rowCount(), 9);
        QCOMPARE(q->currentValue(QStringLiteral("obec")), town);
    }
};

QTEST_GUILESS_MAIN(TestReferenceLists)
#include "tst_referencelists.moc"
