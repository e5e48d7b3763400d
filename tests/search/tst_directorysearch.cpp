#include "DirectoryFixture.h"

#include "DirectorySearch.h"
#include "Error.h"
#include "TextHelpers.h"

#include <QTest>

using search_test::DirectoryFixture;
using EndState = DirectorySearch::EndState;

namespace {

// One directory query, page query and phone buffer over a fixture, run like
// the page runs them.
struct Harness {
    DirectoryFixture& fixture;
    db::Dataset page, buffer;
    db::WorkingDatabase results, phoneBuffer;
    db::Database* directory = nullptr;
    bool stop = false;
    std::function<void()> onRow; // called for every copied row, like the window's event processing
    DirectorySearch search;

    Harness(DirectoryFixture& f, bool firms)
        : fixture(f),
          results(f.engine(), firms ? db::WorkingKind::FirmsResult : db::WorkingKind::PersonsResult,
                  f.paths(), page),
          phoneBuffer(f.engine(), firms ? db::WorkingKind::FirmsBuffer : db::WorkingKind::PersonsBuffer,
                      f.paths(), buffer),
          search(firms ? DirectorySearch::Directory::Firms : DirectorySearch::Directory::Persons,
                 DirectorySearch::Services{[this] { return directory; },
                                           [this] {
                                               if (onRow) onRow();
                                           },
                                           &stop}) {
        search.setWorkingDatabases(&results, &phoneBuffer);
    }

    // Starts a search and returns the paging of its first page.
    DirectorySearch::Paging start(const search_criteria::SearchFields& fields, int pageSize, int limit) {
        search.begin(pageSize);
        search.setEndState(EndState::Neutral);
        search.prepareTables(!fields.telephone.isEmpty());
        if (search.validate(fields)) throw db::Error(QStringLiteral("not found"));
        search.buildStatement(fields, limit);
        return search.nextPage(pageSize, limit);
    }

    // A column of the rows the page query shows, in its order.
    QStringList shown(const QString& column) { return test_support::shownColumn(page, column); }
    // A column of every working row, by ID2.
    QStringList working(const QString& column) {
        return test_support::columnOf(results.database(),
                                      QStringLiteral("SELECT * FROM %1 ORDER BY ID2").arg(search.tableName()),
                                      column);
    }
};

QStringList numbered(int from, int to) {
    QStringList out;
    for (int i = from; i <= to; ++i)
        out << QString::number(i);
    return out;
}

search_criteria::SearchFields surname(const QString& name) {
    search_criteria::SearchFields f;
    f.name = name;
    return f;
}

search_criteria::SearchFields telephone(const QString& number) {
    search_criteria::SearchFields f;
    f.telephone = number;
    return f;
}

} // namespace

class TestDirectorySearch : public QObject {
    Q_OBJECT

    DirectoryFixture m_fixture;
    db::Database* m_directory = nullptr;

  private slots:
    // Persons: "Pokus" 25 times, "Trojka" 3 times, "Dvacet" exactly 20 times,
    // "Jedenadvacet" 21 times. For the telephone scan 2600 persons share the
    // leading digits 6042: the number 604 200 777 is the main number of the
    // 2100th of them (second block), an additional number of one subscriber
    // outside the prefix, and both main and additional number of another. The
    // number 604 210 005 is the main number of the 6th candidate (first block)
    // and an additional number of the subscriber outside the prefix.
    void initTestCase() {
        m_fixture.database().beginTransaction();
        const auto person = [this](const QString& name, const QString& number, qint64 key = 0) {
            DirectoryFixture::Entry e;
            e.surname = name;
            e.firstName = QStringLiteral("Jan");
            e.municipality = QStringLiteral("Praha");
            e.postalCode = QStringLiteral("11000");
            e.number = number;
            e.euroIsdn = key;
            return m_fixture.add(false, e);
        };
        int serial = 0;
        const auto next = [&serial] { return QStringLiteral("5%1").arg(++serial, 8, 10, QLatin1Char('0')); };
        for (int i = 0; i < 25; ++i)
            person(QStringLiteral("Pokus"), next());
        for (int i = 0; i < 3; ++i)
            person(QStringLiteral("Trojka"), next());
        for (int i = 0; i < 20; ++i)
            person(QStringLiteral("Dvacet"), next());
        for (int i = 0; i < 21; ++i)
            person(QStringLiteral("Jedenadvacet"), next());
        for (int i = 0; i < 2600; ++i)
            person(i == 2099 ? QStringLiteral("Hlavni") : QStringLiteral("Kandidat"),
                   i == 2099 ? QStringLiteral("604200777")
                             : QStringLiteral("6042%1").arg(i + 10000, 5, 10, QLatin1Char('0')));
        person(QStringLiteral("Dalsi"), QStringLiteral("777000111"), 9001);
        m_fixture.addExtra(false, 9001, QStringLiteral("604200777"), QStringLiteral("byt"));
        m_fixture.addExtra(false, 9001, QStringLiteral("604299999"));
        m_fixture.addExtra(false, 9001, QStringLiteral("604210005"));
        person(QStringLiteral("Obojí"), QStringLiteral("604200777"), 9002);
        m_fixture.addExtra(false, 9002, QStringLiteral("604200777"));
        m_fixture.database().commit();
        m_directory = m_fixture.openReadOnly();
    }

    // Fewer matches than a page, exactly the search limit, one more.
    void paging_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QList<int>>("found");      // after each forward move
        QTest::addColumn<QList<bool>>("nextAfter"); // ">>>" enabled after each move
        QTest::addColumn<int>("endState");          // after the last move
        QTest::newRow("fewer than a page")
            << "Trojka" << 200 << QList<int>{3} << QList<bool>{false} << int(EndState::NoMore);
        QTest::newRow("exactly the limit")
            << "Dvacet" << 20 << QList<int>{10, 20} << QList<bool>{true, false} << int(EndState::NoMore);
        QTest::newRow("one more than the limit") << "Jedenadvacet" << 20 << QList<int>{10, 20}
                                                 << QList<bool>{true, false} << int(EndState::MoreRecords);
        QTest::newRow("limit not reached, more pages")
            << "Pokus" << 200 << QList<int>{10, 20, 25} << QList<bool>{true, true, false}
            << int(EndState::NoMore);
    }
    void paging() {
        QFETCH(QString, name);
        QFETCH(int, limit);
        QFETCH(QList<int>, found);
        QFETCH(QList<bool>, nextAfter);
        QFETCH(int, endState);
        Harness h(m_fixture, false);
        h.directory = m_directory;
        DirectorySearch::Paging p = h.start(surname(name), 10, limit);
        for (int i = 0; i < found.size(); ++i) {
            if (i > 0) p = h.search.nextPage(10, limit);
            QCOMPARE(h.search.state().foundCount, found[i]);
            QCOMPARE(p.nextEnabled, nextAfter[i]);
            QCOMPARE(p.previousEnabled, i > 0);
            QCOMPARE(h.shown(QStringLiteral("ID2")), numbered(10 * i + 1, found[i]));
        }
        QCOMPARE(int(h.search.endState()), endState);
        QCOMPARE(h.working(QStringLiteral("Prijmeni")), QStringList(found.last(), name));
    }

    // Backward moves show copied rows; forward again does not fetch.
    void previousAndForwardAgain() {
        Harness h(m_fixture, false);
        h.directory = m_directory;
        h.start(surname(QStringLiteral("Pokus")), 10, 200);
        h.search.nextPage(10, 200);
        DirectorySearch::Paging p = h.search.previousPage(10);
        QCOMPARE(h.shown(QStringLiteral("ID2")), numbered(1, 10));
        QVERIFY(!p.previousEnabled);
        QVERIFY(p.nextEnabled);
        p = h.search.nextPage(10, 200);
        QCOMPARE(h.shown(QStringLiteral("ID2")), numbered(11, 20));
        QCOMPARE(h.search.state().foundCount, 20);
        QVERIFY(p.nextEnabled);
        h.search.nextPage(10, 200);
        QCOMPARE(h.shown(QStringLiteral("ID2")), numbered(21, 25));
    }

    // STOP during a fill: the rows copied so far are shown, and the next
    // forward move continues after them.
    void stopInTheMiddle() {
        Harness h(m_fixture, false);
        h.directory = m_directory;
        h.onRow = [&] {
            if (h.search.state().foundCount == 4) h.stop = true;
        };
        DirectorySearch::Paging p = h.start(surname(QStringLiteral("Pokus")), 10, 200);
        h.onRow = nullptr;
        QCOMPARE(h.search.state().foundCount, 4);
        QCOMPARE(h.search.state().lastShown, 4);
        QVERIFY(!h.stop);
        QVERIFY(p.nextEnabled);
        h.search.nextPage(10, 200);
        QCOMPARE(h.shown(QStringLiteral("ID2")), numbered(5, 14));
        QCOMPARE(h.working(QStringLiteral("ID2")), numbered(1, 14));
    }

    // The count ignores the row limit of the search.
    void count() {
        Harness h(m_fixture, false);
        h.directory = m_directory;
        h.search.begin(10);
        h.search.prepareTables(false);
        h.search.buildStatement(surname(QStringLiteral("Jedenadvacet")), 5);
        QCOMPARE(h.search.count(5), qint64(21));
        QCOMPARE(h.search.state().foundCount, 0);
    }

    // The telephone scan crosses a block boundary, finds the number as a main
    // number, then as an additional number, each subscriber once and shown
    // with its main number; with any page size, every match comes once and
    // ">>>" goes off only at the end.
    void telephoneScan_data() {
        QTest::addColumn<int>("pageSize");
        QTest::newRow("one page") << 10;
        QTest::newRow("a row a page") << 1;
        QTest::newRow("two rows a page") << 2;
    }
    void telephoneScan() {
        QFETCH(int, pageSize);
        Harness h(m_fixture, false);
        h.directory = m_directory;
        DirectorySearch::Paging p = h.start(telephone(QStringLiteral("604200777")), pageSize, 200);
        int moves = 1;
        while (p.nextEnabled && moves < 10) {
            p = h.search.nextPage(pageSize, 200);
            ++moves;
        }
        QCOMPARE(moves, (3 + pageSize - 1) / pageSize);
        QCOMPARE(h.working(QStringLiteral("ID2")), numbered(1, 3));
        const QStringList names = h.working(QStringLiteral("Prijmeni"));
        QCOMPARE(names.first(), QStringLiteral("Hlavni"));
        QCOMPARE(QSet<QString>(names.begin() + 1, names.end()),
                 (QSet<QString>{QStringLiteral("Dalsi"), QStringLiteral("Obojí")}));
        const int dalsi = names.indexOf(QStringLiteral("Dalsi"));
        QCOMPARE(h.working(QStringLiteral("Tel"))[dalsi], QStringLiteral("777 000 111"));
        QCOMPARE(h.search.endState(), EndState::NoMore);
    }

    // Subscribers found through an additional number come in the order of
    // their first candidate in the block, also when that candidate carries
    // another number. The additional numbers are read by their leading digits
    // through an index, as in the full directory: 604 233 300 of "Prvni", then
    // 604 233 333 of "Druhy" and of "Prvni". So "Prvni" comes before "Druhy",
    // each once, whatever the page size.
    void telephoneScanKeepsTheOrderOfSubscribers_data() {
        QTest::addColumn<int>("pageSize");
        QTest::newRow("one page") << 10;
        QTest::newRow("a row a page") << 1;
    }
    void telephoneScanKeepsTheOrderOfSubscribers() {
        QFETCH(int, pageSize);
        DirectoryFixture fixture;
        const auto person = [&fixture](const QString& name, const QString& number, qint64 key) {
            DirectoryFixture::Entry e;
            e.surname = name;
            e.number = number;
            e.euroIsdn = key;
            fixture.add(false, e);
        };
        person(QStringLiteral("Prvni"), QStringLiteral("777000201"), 9101);
        person(QStringLiteral("Druhy"), QStringLiteral("777000202"), 9102);
        fixture.addExtra(false, 9101, QStringLiteral("604233300"));
        fixture.addExtra(false, 9102, QStringLiteral("604233333"));
        fixture.addExtra(false, 9101, QStringLiteral("604233333"));
        fixture.database().executeNative(
            QStringLiteral("CREATE INDEX ix_navic_tel ON Osoby_TEL_Navic (Tel_a);"
                           "CREATE INDEX ix_osoby_euroisdn ON Osoby (euroISDN)"));
        Harness h(fixture, false);
        h.directory = fixture.openReadOnly();
        DirectorySearch::Paging p = h.start(telephone(QStringLiteral("604233333")), pageSize, 200);
        for (int moves = 1; p.nextEnabled && moves < 10; ++moves)
            p = h.search.nextPage(pageSize, 200);
        QCOMPARE(h.working(QStringLiteral("Prijmeni")),
                 (QStringList{QStringLiteral("Prvni"), QStringLiteral("Druhy")}));
        QCOMPARE(h.working(QStringLiteral("Tel")),
                 (QStringList{QStringLiteral("777 000 201"), QStringLiteral("777 000 202")}));
        QCOMPARE(h.search.endState(), EndState::NoMore);
    }

    // The same telephone search again on the same page finds the same rows:
    // nothing the last one left in the phone buffer shows up again (its last
    // block, of additional numbers, holds the main number searched for).
    void telephoneSearchAgain() {
        Harness h(m_fixture, false);
        h.directory = m_directory;
        const QStringList expected{QStringLiteral("Hlavni"), QStringLiteral("Obojí"),
                                   QStringLiteral("Dalsi")};
        for (int run = 0; run < 2; ++run) {
            h.start(telephone(QStringLiteral("604200777")), 10, 200);
            QCOMPARE(h.working(QStringLiteral("Prijmeni")), expected);
            QCOMPARE(h.search.endState(), EndState::NoMore);
        }
    }

    // STOP while the candidates are read: the page ends early with ">>>" on,
    // and the next forward move goes on with the scan where it stopped.
    void telephoneScanStopped() {
        Harness h(m_fixture, false);
        h.directory = m_directory;
        int rows = 0;
        h.onRow = [&] {
            if (++rows == 100) h.stop = true;
        };
        DirectorySearch::Paging p = h.start(telephone(QStringLiteral("604200777")), 10, 200);
        QCOMPARE(rows, 100); // nothing read after the stop
        QCOMPARE(h.search.state().foundCount, 0);
        QVERIFY(p.nextEnabled);
        p = h.search.nextPage(10, 200);
        QCOMPARE(h.working(QStringLiteral("ID2")), numbered(1, 3));
        QVERIFY(!p.nextEnabled);
    }

    // STOP pressed once the page is full (during the copy of its last row, or
    // while the telephone scan looks ahead for a further match): the page stays
    // as filled, the request is used up, and the next forward moves go on
    // without an empty page, each match copied once.
    void stopAfterThePageIsFull_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("pageSize");
        QTest::addColumn<int>("stopAt"); // found count at which STOP is pressed
        QTest::addColumn<QStringList>("names");
        const QString none;
        const QStringList two{QStringLiteral("Kandidat"), QStringLiteral("Dalsi")};
        const QStringList three{QStringLiteral("Hlavni"), QStringLiteral("Obojí"), QStringLiteral("Dalsi")};
        QTest::newRow("last row of a page")
            << "Pokus" << none << 10 << 10 << QStringList(25, QStringLiteral("Pokus"));
        QTest::newRow("look-ahead into the next block") << none << "604210005" << 1 << 1 << two;
        QTest::newRow("look-ahead into the additional numbers") << none << "604200777" << 2 << 2 << three;
        QTest::newRow("look-ahead of a later page") << none << "604200777" << 1 << 2 << three;
    }
    void stopAfterThePageIsFull() {
        QFETCH(QString, name);
        QFETCH(QString, number);
        QFETCH(int, pageSize);
        QFETCH(int, stopAt);
        QFETCH(QStringList, names);
        Harness h(m_fixture, false);
        h.directory = m_directory;
        bool pressed = false;
        h.onRow = [&] {
            if (!pressed && h.search.state().foundCount == stopAt) h.stop = pressed = true;
        };
        search_criteria::SearchFields fields = number.isEmpty() ? surname(name) : telephone(number);
        DirectorySearch::Paging p = h.start(fields, pageSize, 200);
        int moves = 1;
        for (;;) {
            QVERIFY(!h.stop);
            const int found = h.search.state().foundCount;
            QVERIFY2(found > pageSize * (moves - 1), "an empty page");
            QCOMPARE(h.shown(QStringLiteral("ID2")), numbered(pageSize * (moves - 1) + 1, found));
            if (!p.nextEnabled || moves == 30) break;
            p = h.search.nextPage(pageSize, 200);
            ++moves;
        }
        QVERIFY(pressed);
        QCOMPARE(moves, (int(names.size()) + pageSize - 1) / pageSize);
        QCOMPARE(h.working(QStringLiteral("Prijmeni")), names);
        QCOMPARE(h.working(QStringLiteral("ID2")), numbered(1, int(names.size())));
        QCOMPARE(h.search.endState(), EndState::NoMore);
    }
};

QTEST_GUILESS_MAIN(TestDirectorySearch)
#include "tst_directorysearch.moc"
