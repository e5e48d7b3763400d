#include "Error.h"
#include "PageQuery.h"
#include "WorkingFiles.h"

#include <QTest>

#include <algorithm>
#include <memory>

using paging::PageQuery;
using paging::SortOrder;

Q_DECLARE_METATYPE(db::WorkingKind)

namespace {

QStringList numbered(int from, int to) {
    QStringList out;
    for (int i = from; i <= to; ++i)
        out << QString::number(i);
    return out;
}

// One working database of the kind given with rows numbered 1 to rows, the
// page query over it, as the result pages use them.
struct Table : test_support::WorkingFiles {
    db::Dataset page;
    std::unique_ptr<db::WorkingDatabase> results;
    PageQuery query;

    Table(db::WorkingKind kind, const QString& table, const QString& textColumn, int rows) : query(table) {
        results = std::make_unique<db::WorkingDatabase>(engine, kind, paths, page);
        results->recreate(10);
        query.setWorkingDatabase(results.get());
        db::Database& d = *results->database();
        d.beginTransaction();
        // ID2 is given, as the personal fill numbers its rows itself; the text
        // column runs against it, so that sorting by it reverses the rows.
        for (int i = 1; i <= rows; ++i)
            d.execute(QStringLiteral("INSERT INTO %1 (ID2, %2, Zn) VALUES (%3, 't%4', 0)")
                          .arg(table, textColumn)
                          .arg(i)
                          .arg(1000 - i),
                      db::Database::FailOnError);
        d.commit();
        query.state().foundCount = rows;
    }

    QStringList shown(const QString& column = QStringLiteral("ID2")) {
        QStringList out;
        const QVariant current = page.recNo() >= 0 ? page.value(QStringLiteral("ID2")) : QVariant();
        for (page.first(); !page.eof(); page.next())
            out << page.text(column);
        if (current.isValid()) page.locate(QStringLiteral("ID2"), current);
        return out;
    }
};

} // namespace

// The page query of the persons, firms and Vlastní working tables: the shown
// range, marking and sorting behave the same over each.
class TestPageQuery : public QObject {
    Q_OBJECT

  private slots:
    void paging_data() { tables(); }
    void paging();
    void markAndSort_data() { tables(); }
    void markAndSort();
    void refusedMark_data() { tables(); }
    void refusedMark();
    void reset_data() { tables(); }
    void reset();

  private:
    static void tables() {
        QTest::addColumn<db::WorkingKind>("kind");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("text");   // a text column of the table
        QTest::addColumn<QString>("hyphen"); // a column whose name needs brackets, if any
        QTest::newRow("persons") << db::WorkingKind::PersonsResult << QStringLiteral("Osoby")
                                 << QStringLiteral("Prijmeni") << QString();
        QTest::newRow("firms") << db::WorkingKind::FirmsResult << QStringLiteral("Firmy")
                               << QStringLiteral("Firma") << QString();
        QTest::newRow("Vlastní") << db::WorkingKind::PersonalResult << QStringLiteral("vlastni")
                                 << QStringLiteral("Prijmeni") << QStringLiteral("E-mail_1");
    }
};

#define TABLE                                                                                                \
    QFETCH(db::WorkingKind, kind);                                                                           \
    QFETCH(QString, table);                                                                                  \
    QFETCH(QString, text);                                                                                   \
    QFETCH(QString, hyphen);                                                                                 \
    Q_UNUSED(hyphen)

// Forward moves show the page after the anchor; a backward move the page
// before the shown one, and the anchor follows it.
void TestPageQuery::paging() {
    TABLE;
    Table t(kind, table, text, 25);
    t.query.beginForwardMove(10);
    QCOMPARE(t.shown(), numbered(1, 10));
    t.query.beginForwardMove(10);
    QCOMPARE(t.shown(), numbered(11, 20));
    QCOMPARE(t.query.state().lastShown, 20);
    QCOMPARE(t.query.state().fillStart, 25);
    t.query.beginForwardMove(10);
    QCOMPARE(t.shown(), numbered(21, 25));
    t.query.previousPage(10);
    QCOMPARE(t.shown(), numbered(11, 20));
    QCOMPARE(t.page.text(QStringLiteral("ID2")), QStringLiteral("11"));
    QCOMPARE(t.query.state().lastShown, 20);
    t.query.previousPage(10);
    QCOMPARE(t.shown(), numbered(1, 10));
    QCOMPARE(t.query.state().first, 1);
}

// Marks count up and down; sorting reorders only the shown range, keeps the
// current row and stays when the page is shown again; the mark column and a
// name that cannot be bracketed are not sorted by.
void TestPageQuery::markAndSort() {
    TABLE;
    Table t(kind, table, text, 25);
    t.query.beginForwardMove(10);
    t.query.beginForwardMove(10);
    QVERIFY(t.page.locate(QStringLiteral("ID2"), 13));
    QVERIFY(t.query.toggleMark());
    QCOMPARE(t.query.state().markedCount, 1);

    QStringList reversed = numbered(11, 20);
    std::reverse(reversed.begin(), reversed.end());
    t.query.sortPage(text, SortOrder::Ascending);
    QCOMPARE(t.page.text(QStringLiteral("ID2")), QStringLiteral("13"));
    QCOMPARE(t.page.value(QStringLiteral("Zn")).toBool(), true);
    QCOMPARE(t.shown(), reversed);
    t.query.showAgain();
    QCOMPARE(t.shown(), reversed);
    t.query.sortPage(QStringLiteral("ID2"), SortOrder::Ascending);
    QCOMPARE(t.shown(), numbered(11, 20));
    t.query.sortPage(QStringLiteral("ID2"), SortOrder::Descending);
    for (const QString& refused :
         {QStringLiteral("Zn"), QStringLiteral("zn"), QStringLiteral("ID2] DESC, [ID2")}) {
        t.query.sortPage(refused, SortOrder::Ascending);
        QCOMPARE(t.shown(), reversed);
    }
    if (!hyphen.isEmpty()) {
        QVERIFY(t.page.locate(QStringLiteral("ID2"), 13));
        t.query.sortPage(hyphen, SortOrder::Ascending);
        QCOMPARE(t.page.text(QStringLiteral("ID2")), QStringLiteral("13"));
    }
    QVERIFY(t.page.locate(QStringLiteral("ID2"), 13));
    QVERIFY(t.query.toggleMark());
    QCOMPARE(t.query.state().markedCount, 0);

    // A forward move shows the next range in ID2 order again.
    t.query.beginForwardMove(10);
    QVERIFY(!t.query.state().order);
    QCOMPARE(t.shown(), numbered(21, 25));
}

// A mark the working table refuses leaves the row and the count as they
// were, raises the error, and the page can be used again.
void TestPageQuery::refusedMark() {
    TABLE;
    Table t(kind, table, text, 5);
    t.query.beginForwardMove(10);
    t.results->database()->executeNative(
        QStringLiteral("CREATE TRIGGER nemenit BEFORE UPDATE ON %1 BEGIN SELECT RAISE(ABORT, 'zamčeno'); END")
            .arg(table));
    QVERIFY(t.page.locate(QStringLiteral("ID2"), 3));
    QVERIFY_THROWS_EXCEPTION(db::Error, t.query.toggleMark());
    QCOMPARE(t.query.state().markedCount, 0);
    QCOMPARE(t.page.state(), db::Dataset::State::Browse);
    QCOMPARE(t.page.value(QStringLiteral("Zn")).toBool(), false);
    t.results->database()->executeNative(QStringLiteral("DROP TRIGGER nemenit"));
    QVERIFY(t.query.toggleMark());
    QCOMPARE(t.query.state().markedCount, 1);
}

// Reset empties the page; without a row there is nothing to mark.
void TestPageQuery::reset() {
    TABLE;
    Table t(kind, table, text, 5);
    t.query.beginForwardMove(10);
    QVERIFY(t.query.toggleMark());
    t.query.sortPage(text, SortOrder::Descending);
    t.query.reset(7);
    QVERIFY(!t.page.isOpen());
    QVERIFY(!t.query.hasCurrentRow());
    QVERIFY(!t.query.toggleMark());
    const paging::PageState& st = t.query.state();
    QCOMPARE(st.markedCount, 0);
    QCOMPARE(st.first, 0);
    QCOMPARE(st.last, 7);
    QVERIFY(!st.order);
}

QTEST_GUILESS_MAIN(TestPageQuery)
#include "tst_pagequery.moc"
