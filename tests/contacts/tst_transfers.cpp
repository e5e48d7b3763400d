#include "Error.h"
#include "OwnDatabases.h"
#include "PersonalRecords.h"
#include "PersonalSearch.h"
#include "PersonalSearchFixture.h"
#include "SearchCriteria.h"
#include "Transfers.h"

#include <QTest>

#include <memory>

using search_criteria::Directory;
using BulkResult = Transfers::BulkResult;

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

using Row = QList<std::pair<QString, QString>>; // column, value

// The personal database and the Vlastní page's working table, the persons and
// firms working tables of the directory pages beside them, and the transfers
// over all of them.
struct Harness : personaltest::SearchFiles {
    db::Dataset personsPage, firmsPage;
    std::unique_ptr<db::WorkingDatabase> persons, firms;
    Transfers transfers{search};

    explicit Harness(const db::TableDef& personalTable = db::layouts::personal())
        : SearchFiles(false, personalTable) {
        persons =
            std::make_unique<db::WorkingDatabase>(engine, db::WorkingKind::PersonsResult, paths, personsPage);
        firms = std::make_unique<db::WorkingDatabase>(engine, db::WorkingKind::FirmsResult, paths, firmsPage);
        persons->recreate(10);
        firms->recreate(10);
    }

    db::WorkingDatabase& directory(Directory d) { return d == Directory::Persons ? *persons : *firms; }

    // Adds a row to a directory working table, marked or not, and returns it as the page shows it.
    db::Dataset& addDirectoryRow(Directory d, Row row, bool marked = false) {
        db::WorkingDatabase& w = directory(d);
        row << std::pair{u8("Zn"), marked ? u8("True") : u8("False")};
        QStringList columns, values;
        for (const auto& [column, value] : row) {
            columns << u'[' + column + u']';
            values << (column == u8("Zn") ? value : search_criteria::quoted(value));
        }
        const QString table = d == Directory::Persons ? u8("Osoby") : u8("Firmy");
        w.database()->execute(u8("INSERT INTO ") + table + u8(" (") + columns.join(u8(", ")) +
                                  u8(") VALUES (") + values.join(u8(", ")) + u')',
                              db::Database::FailOnError);
        db::Dataset& shown = w.dataset();
        shown.close();
        shown.open();
        shown.last();
        return shown;
    }

    void addPersonalRecords(int n) {
        personal->beginTransaction();
        for (int i = 0; i < n; ++i)
            add({{u8("Prijmeni"), u8("Stávající %1").arg(i)}});
        personal->commit();
    }

    qint64 personalCount() {
        db::Dataset c;
        c.setDatabase(personal.get());
        c.setSql(u8("SELECT count(*) AS pocet FROM Vlastni"));
        c.open();
        return c.value(u8("pocet")).toLongLong();
    }

    // The record with the ID, column by column.
    QString stored(int id, const QString& column) {
        db::Dataset r;
        r.setDatabase(personal.get());
        r.setSql(u8("SELECT * FROM Vlastni WHERE ID = ") + QString::number(id));
        r.open();
        return r.text(column);
    }
};

Row person(const QString& surname) {
    return {{u8("Prijmeni"), surname}, {u8("Jmeno"), u8("Jan")}};
}

} // namespace

class TestTransfers : public QObject {
    Q_OBJECT

  private slots:
    void wordAfterMarker_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("marker");
        QTest::addColumn<QString>("word");
        const QString url = u8("URL: "), mail = u8("E-mail: ");
        const QString both = u8("URL: www.firma.cz E-mail: info@firma.cz");
        QTest::newRow("empty text") << QString() << url << QString();
        QTest::newRow("no marker") << u8("www.firma.cz") << url << QString();
        QTest::newRow("web address") << both << url << u8("www.firma.cz");
        QTest::newRow("e-mail address") << both << mail << u8("info@firma.cz");
        QTest::newRow("later marker wins") << u8("URL: www.a.cz URL: www.b.cz") << url << u8("www.b.cz");
        QTest::newRow("later e-mail wins")
            << u8("E-mail: a@a.cz URL: www.a.cz E-mail: b@b.cz tel.") << mail << u8("b@b.cz");
        QTest::newRow("marker at the end") << u8("Firma URL: ") << url << QString();
        QTest::newRow("word up to the space") << u8("URL: www.a.cz a dále") << url << u8("www.a.cz");
        QTest::newRow("marker needs its blank") << u8("URL:www.a.cz") << url << QString();
    }
    void wordAfterMarker() {
        QFETCH(QString, text);
        QFETCH(QString, marker);
        QFETCH(QString, word);
        QCOMPARE(transfers::wordAfterMarker(text, marker), word);
    }

    // The firm's URL text split into the web and e-mail columns of the record.
    void firmWebAndEmail_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("internet");
        QTest::addColumn<QString>("email");
        QTest::newRow("both") << u8("URL: www.firma.cz E-mail: info@firma.cz") << u8("www.firma.cz")
                              << u8("info@firma.cz");
        QTest::newRow("later markers win") << u8("URL: www.a.cz E-mail: a@a.cz URL: www.b.cz E-mail: b@b.cz")
                                           << u8("www.b.cz") << u8("b@b.cz");
        QTest::newRow("neither marker") << u8("www.firma.cz info@firma.cz") << QString() << QString();
        QTest::newRow("no text") << QString() << QString() << QString();
    }
    void firmWebAndEmail() {
        QFETCH(QString, url);
        QFETCH(QString, internet);
        QFETCH(QString, email);
        Harness h;
        db::Dataset& row =
            h.addDirectoryRow(Directory::Firms, {{u8("Firma"), u8("Firma s.r.o.")}, {u8("URL"), url}});
        const Transfers::Single t = h.transfers.transferOne(Directory::Firms, row, 10);
        QVERIFY(t.transferred);
        QCOMPARE(h.stored(t.id, u8("Internet")), internet);
        QCOMPARE(h.stored(t.id, u8("E-mail_1")), email);
        QCOMPARE(h.stored(t.id, u8("Firma")), u8("Firma s.r.o."));
    }

    // Postal code and phone are stored without blanks, in the address group and
    // phone column of the directory; the working row shows them in display form.
    void mapping_data() {
        QTest::addColumn<int>("directory");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("phoneColumn");
        QTest::addColumn<QString>("nameColumn");
        QTest::newRow("person") << int(Directory::Persons) << u8("domu") << u8("Tel_3") << u8("Prijmeni");
        QTest::newRow("firm") << int(Directory::Firms) << u8("zam") << u8("Tel_5") << u8("Firma");
    }
    void mapping() {
        QFETCH(int, directory);
        QFETCH(QString, kind);
        QFETCH(QString, phoneColumn);
        QFETCH(QString, nameColumn);
        const auto d = Directory(directory);
        Harness h;
        const QString nameSource = d == Directory::Persons ? u8("Prijmeni") : u8("Firma");
        db::Dataset& row = h.addDirectoryRow(d, {{nameSource, u8("Novák")},
                                                 {u8("Ulice"), u8("Dlouhá")},
                                                 {u8("CP"), u8("12")},
                                                 {u8("Obec"), u8("Praha")},
                                                 {u8("Cast"), u8("Staré Město")},
                                                 {u8("PSC"), u8("110 00")},
                                                 {u8("Tel"), u8("224 123 456")}});
        const Transfers::Single t = h.transfers.transferOne(d, row, 10);
        QVERIFY(t.transferred);
        QCOMPARE(t.addressKind, kind);
        QCOMPARE(h.stored(t.id, nameColumn), u8("Novák"));
        QCOMPARE(h.stored(t.id, kind + u8("_PSC")), u8("11000"));
        QCOMPARE(h.stored(t.id, phoneColumn), u8("224123456"));
        QCOMPARE(h.stored(t.id, kind + u8("_ulice")), u8("Dlouhá"));
        QCOMPARE(h.stored(t.id, kind + u8("_CP")), u8("12"));
        QCOMPARE(h.stored(t.id, kind + u8("_Obec")), u8("Praha"));
        QCOMPARE(h.stored(t.id, kind + u8("_Cast")), u8("Staré Město"));
        QCOMPARE(h.stored(t.id, u8("zobraz_adr")), kind);
        // The new record's working row is the page query's current row.
        QCOMPARE(h.page.value(u8("ID")).toInt(), t.id);
        QCOMPARE(h.page.text(u8("PSC")), u8("110 00"));
        QCOMPARE(h.page.text(phoneColumn), u8("224 123 456"));
    }

    void singleTransferStopsAtTheLimit() {
        Harness h;
        h.addPersonalRecords(499);
        db::Dataset& row = h.addDirectoryRow(Directory::Persons, person(u8("Nový")));
        QVERIFY(h.transfers.transferOne(Directory::Persons, row, 10).transferred);
        QCOMPARE(h.personalCount(), 500);
        QCOMPARE(h.search.state().foundCount, 1);
        const Transfers::Single refused = h.transfers.transferOne(Directory::Persons, row, 10);
        QVERIFY(!refused.transferred);
        QCOMPARE(h.personalCount(), 500);
        QCOMPARE(h.search.state().foundCount, 1);
        QCOMPARE(h.working(u8("Prijmeni")), QStringList{u8("Nový")});
    }

    void bulkTransferKeepsTheLimit_data() {
        QTest::addColumn<int>("directory");
        QTest::addColumn<int>("marked");
        QTest::addColumn<bool>("stored");
        QTest::newRow("persons over") << int(Directory::Persons) << 6 << false;
        QTest::newRow("persons up to") << int(Directory::Persons) << 5 << true;
        QTest::newRow("firms over") << int(Directory::Firms) << 6 << false;
        QTest::newRow("firms up to") << int(Directory::Firms) << 5 << true;
    }
    void bulkTransferKeepsTheLimit() {
        QFETCH(int, directory);
        QFETCH(int, marked);
        QFETCH(bool, stored);
        const auto d = Directory(directory);
        const QString name = d == Directory::Persons ? u8("Prijmeni") : u8("Firma");
        Harness h;
        h.addPersonalRecords(495);
        h.addDirectoryRow(d, {{name, u8("Neoznačený")}});
        QStringList names;
        for (int i = 0; i < marked; ++i) {
            names << u8("Označený %1").arg(i);
            h.addDirectoryRow(d, {{name, names.last()}}, true);
        }
        const Transfers::Bulk b = h.transfers.transferMarked(d, *h.directory(d).database(), marked, 200, 10);
        if (!stored) {
            QCOMPARE(b.result, BulkResult::Refused);
            QCOMPARE(b.stored, 0);
            QCOMPARE(h.personalCount(), 495);
            return;
        }
        QCOMPARE(b.result, BulkResult::Stored);
        QCOMPARE(b.stored, marked);
        QCOMPARE(h.personalCount(), 495 + marked);
        QCOMPARE(h.working(name), names);
        QCOMPARE(h.search.state().foundCount, marked);
        QCOMPARE(h.search.state().last, marked);
        QVERIFY(!h.search.state().listing);
    }

    // At most the searched-records limit of marked rows is taken over.
    void bulkTransferReadsTheSearchLimit() {
        Harness h;
        for (int i = 0; i < 4; ++i)
            h.addDirectoryRow(Directory::Persons, person(u8("Označený %1").arg(i)), true);
        const Transfers::Bulk b =
            h.transfers.transferMarked(Directory::Persons, *h.persons->database(), 4, 3, 10);
        QCOMPARE(b.result, BulkResult::Stored);
        QCOMPARE(b.stored, 3);
        QCOMPARE(h.personalCount(), 3);
    }

    void transferAfterSearchStartsAFreshWorkingTable() {
        Harness h;
        h.add({{u8("Prijmeni"), u8("Dřívější")}});
        h.add({{u8("Prijmeni"), u8("Jiný")}});
        h.search.listAll(10);
        QCOMPARE(h.working(u8("Prijmeni")).size(), 2);
        db::Dataset& first = h.addDirectoryRow(Directory::Persons, person(u8("První")));
        const Transfers::Single one = h.transfers.transferOne(Directory::Persons, first, 10);
        QVERIFY(one.freshTable);
        QCOMPARE(h.working(u8("Prijmeni")), QStringList{u8("První")});
        db::Dataset& second = h.addDirectoryRow(Directory::Persons, person(u8("Druhý")));
        const Transfers::Single two = h.transfers.transferOne(Directory::Persons, second, 10);
        QVERIFY(!two.freshTable);
        QCOMPARE(h.working(u8("Prijmeni")), (QStringList{u8("První"), u8("Druhý")}));
        QCOMPARE(h.working(u8("ID2")), (QStringList{u8("1"), u8("2")}));
        QCOMPARE(h.search.state().foundCount, 2);
        QCOMPARE(h.personalCount(), 4);
    }

    // Each kind of addition starts a fresh working table under its own condition.
    void freshTableRules_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("transfer");
        QTest::addColumn<bool>("addition");
        QTest::addColumn<bool>("import");
        QTest::newRow("nothing open") << u8("none") << true << true << true;
        QTest::newRow("a listing") << u8("listing") << true << true << false;
        QTest::newRow("earlier additions") << u8("fresh") << false << false << false;
        QTest::newRow("after the reset") << u8("reset") << true << true << true;
    }
    void freshTableRules() {
        QFETCH(QString, before);
        QFETCH(bool, transfer);
        QFETCH(bool, addition);
        QFETCH(bool, import);
        using Rule = PersonalSearch::FreshTableRule;
        Harness h;
        h.add({{u8("Prijmeni"), u8("Dřívější")}});
        if (before == u8("listing")) h.search.listAll(10);
        if (before == u8("fresh") || before == u8("reset")) h.search.startFreshTable(10);
        if (before == u8("reset")) h.search.reset(10);
        QCOMPARE(h.search.needsFreshTable(Rule::Transfer), transfer);
        QCOMPARE(h.search.needsFreshTable(Rule::Addition), addition);
        QCOMPARE(h.search.needsFreshTable(Rule::Import), import);
    }

    // A write error part way keeps and shows the records stored before it.
    void bulkTransferFailingPartWay() {
        db::TableDef narrow = db::layouts::personal();
        for (db::FieldDef& f : narrow.fields)
            if (f.name == u8("Prijmeni")) f.size = 8;
        Harness h(narrow);
        for (const char* name : {"Král", "Dvořák", "Příliš dlouhé jméno", "Malý"})
            h.addDirectoryRow(Directory::Persons, person(u8(name)), true);
        const Transfers::Bulk b =
            h.transfers.transferMarked(Directory::Persons, *h.persons->database(), 4, 200, 10);
        QCOMPARE(b.result, BulkResult::Failed);
        QCOMPARE(b.stored, 2);
        QVERIFY(!b.error.isEmpty());
        QCOMPARE(h.personalCount(), 2);
        QCOMPARE(h.working(u8("Prijmeni")), (QStringList{u8("Král"), u8("Dvořák")}));
        QCOMPARE(h.search.state().foundCount, 2);
        QCOMPARE(h.search.state().last, 2);
        // The next addition goes on in the same working table.
        db::Dataset& row = h.addDirectoryRow(Directory::Persons, person(u8("Malý")));
        QVERIFY(!h.transfers.transferOne(Directory::Persons, row, 10).freshTable);
        QCOMPARE(h.working(u8("Prijmeni")).size(), 3);
    }

    // Marked rows deleted after more rows were added than a page holds: the
    // page shows every other row it showed, however the rows were added.
    void deleteMarkedKeepsTheAddedRows_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("marked firms") << u8("bulk");
        QTest::newRow("single firms") << u8("single");
        QTest::newRow("empty additions") << u8("add");
    }
    void deleteMarkedKeepsTheAddedRows() {
        QFETCH(QString, how);
        Harness h;
        const int added = 15;
        if (how == u8("bulk")) {
            for (int i = 1; i <= added; ++i)
                h.addDirectoryRow(Directory::Firms, {{u8("Firma"), u8("Auto %1").arg(i)}}, true);
            QCOMPARE(
                h.transfers.transferMarked(Directory::Firms, *h.firms->database(), added, 200, 10).stored,
                added);
        } else {
            for (int i = 1; i <= added; ++i) {
                if (how == u8("single")) {
                    db::Dataset& row =
                        h.addDirectoryRow(Directory::Firms, {{u8("Firma"), u8("Auto %1").arg(i)}});
                    QVERIFY(h.transfers.transferOne(Directory::Firms, row, 10).transferred);
                } else {
                    QVERIFY(PersonalRecords(h.search).add(10).added);
                }
            }
        }
        QStringList kept;
        for (int i = 1; i <= added; ++i)
            kept << QString::number(i);
        QCOMPARE(h.shown(u8("ID2")), kept);
        for (int id2 : {3, 12}) {
            QVERIFY(h.page.locate(u8("ID2"), id2));
            QVERIFY(h.search.page().toggleMark());
            kept.removeOne(QString::number(id2));
        }
        QCOMPARE(PersonalRecords(h.search).removeMarked().records, 2);
        QCOMPARE(h.shown(u8("ID2")), kept);
        QCOMPARE(h.personalCount(), added - 2);
    }

    // A single transfer that cannot be written stores nothing.
    void singleTransferWriteErrorStoresNothing() {
        db::TableDef narrow = db::layouts::personal();
        for (db::FieldDef& f : narrow.fields)
            if (f.name == u8("Prijmeni")) f.size = 8;
        Harness h(narrow);
        db::Dataset& row = h.addDirectoryRow(Directory::Persons, person(u8("Příliš dlouhé jméno")));
        QVERIFY_THROWS_EXCEPTION(db::Error, h.transfers.transferOne(Directory::Persons, row, 10));
        QCOMPARE(h.personalCount(), 0);
        QVERIFY(h.working(u8("Prijmeni")).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTransfers)
#include "tst_transfers.moc"
