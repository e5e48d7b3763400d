#include "Error.h"
#include "OwnDatabases.h"
#include "PersonalRecords.h"
#include "PersonalSearch.h"
#include "PersonalSearchFixture.h"
#include "SearchCriteria.h"
#include "Transfers.h"

#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

using search_criteria::Directory;
using BulkResult = Transfers::BulkResult;

namespace {

using Row = QList<std::pair<QString, QString>>; // column, value

// The personal database and the Vlastní page's working table, the persons and
// firms working tables of the directory pages beside them, and the transfers
// over all of them.
struct Harness : personal_test::SearchFiles {
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
        row << std::pair{u"Zn"_s, marked ? u"True"_s : u"False"_s};
        QStringList columns, values;
        for (const auto& [column, value] : row) {
            columns << u'[' + column + u']';
            values << (column == u"Zn"_s ? value : search_criteria::quoted(value));
        }
        const QString table = d == Directory::Persons ? u"Osoby"_s : u"Firmy"_s;
        w.database()->execute(u"INSERT INTO "_s + table + u" ("_s + columns.join(u", "_s) + u") VALUES ("_s +
                                  values.join(u", "_s) + u')',
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
            add({{u"Prijmeni"_s, u"Stávající %1"_s.arg(i)}});
        personal->commit();
    }

    qint64 personalCount() {
        db::Dataset c;
        c.setDatabase(personal.get());
        c.setSql(u"SELECT count(*) AS pocet FROM Vlastni"_s);
        c.open();
        return c.value(u"pocet"_s).toLongLong();
    }

    // The record with the ID, column by column.
    QString stored(int id, const QString& column) {
        db::Dataset r;
        r.setDatabase(personal.get());
        r.setSql(u"SELECT * FROM Vlastni WHERE ID = "_s + QString::number(id));
        r.open();
        return r.text(column);
    }
};

Row person(const QString& surname) {
    return {{u"Prijmeni"_s, surname}, {u"Jmeno"_s, u"Jan"_s}};
}

} // namespace

class TestTransfers : public QObject {
    Q_OBJECT

  private slots:
    void wordAfterMarker_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("marker");
        QTest::addColumn<QString>("word");
        const QString url = u"URL: "_s, mail = u"E-mail: "_s;
        const QString both = u"URL: www.firma.cz E-mail: info@firma.cz"_s;
        QTest::newRow("empty text") << QString() << url << QString();
        QTest::newRow("no marker") << u"www.firma.cz"_s << url << QString();
        QTest::newRow("web address") << both << url << u"www.firma.cz"_s;
        QTest::newRow("e-mail address") << both << mail << u"info@firma.cz"_s;
        QTest::newRow("later marker wins") << u"URL: www.a.cz URL: www.b.cz"_s << url << u"www.b.cz"_s;
        QTest::newRow("later e-mail wins")
            << u"E-mail: a@a.cz URL: www.a.cz E-mail: b@b.cz tel."_s << mail << u"b@b.cz"_s;
        QTest::newRow("marker at the end") << u"Firma URL: "_s << url << QString();
        QTest::newRow("word up to the space") << u"URL: www.a.cz a dále"_s << url << u"www.a.cz"_s;
        QTest::newRow("marker needs its blank") << u"URL:www.a.cz"_s << url << QString();
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
        QTest::newRow("both") << u"URL: www.firma.cz E-mail: info@firma.cz"_s << u"www.firma.cz"_s
                              << u"info@firma.cz"_s;
        QTest::newRow("later markers win")
            << u"URL: www.a.cz E-mail: a@a.cz URL: www.b.cz E-mail: b@b.cz"_s << u"www.b.cz"_s << u"b@b.cz"_s;
        QTest::newRow("neither marker") << u"www.firma.cz info@firma.cz"_s << QString() << QString();
        QTest::newRow("no text") << QString() << QString() << QString();
    }
    void firmWebAndEmail() {
        QFETCH(QString, url);
        QFETCH(QString, internet);
        QFETCH(QString, email);
        Harness h;
        db::Dataset& row =
            h.addDirectoryRow(Directory::Firms, {{u"Firma"_s, u"Firma s.r.o."_s}, {u"URL"_s, url}});
        const Transfers::Single t = h.transfers.transferOne(Directory::Firms, row, 10);
        QVERIFY(t.transferred);
        QCOMPARE(h.stored(t.id, u"Internet"_s), internet);
        QCOMPARE(h.stored(t.id, u"E-mail_1"_s), email);
        QCOMPARE(h.stored(t.id, u"Firma"_s), u"Firma s.r.o."_s);
    }

    // Postal code and phone are stored without blanks, in the address group and
    // phone column of the directory; the working row shows them in display form.
    void mapping_data() {
        QTest::addColumn<int>("directory");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("phoneColumn");
        QTest::addColumn<QString>("nameColumn");
        QTest::newRow("person") << int(Directory::Persons) << u"domu"_s << u"Tel_3"_s << u"Prijmeni"_s;
        QTest::newRow("firm") << int(Directory::Firms) << u"zam"_s << u"Tel_5"_s << u"Firma"_s;
    }
    void mapping() {
        QFETCH(int, directory);
        QFETCH(QString, kind);
        QFETCH(QString, phoneColumn);
        QFETCH(QString, nameColumn);
        const auto d = Directory(directory);
        Harness h;
        const QString nameSource = d == Directory::Persons ? u"Prijmeni"_s : u"Firma"_s;
        db::Dataset& row = h.addDirectoryRow(d, {{nameSource, u"Novák"_s},
                                                 {u"Ulice"_s, u"Dlouhá"_s},
                                                 {u"CP"_s, u"12"_s},
                                                 {u"Obec"_s, u"Praha"_s},
                                                 {u"Cast"_s, u"Staré Město"_s},
                                                 {u"PSC"_s, u"110 00"_s},
                                                 {u"Tel"_s, u"224 123 456"_s}});
        const Transfers::Single t = h.transfers.transferOne(d, row, 10);
        QVERIFY(t.transferred);
        QCOMPARE(t.addressKind, kind);
        QCOMPARE(h.stored(t.id, nameColumn), u"Novák"_s);
        QCOMPARE(h.stored(t.id, kind + u"_PSC"_s), u"11000"_s);
        QCOMPARE(h.stored(t.id, phoneColumn), u"224123456"_s);
        QCOMPARE(h.stored(t.id, kind + u"_ulice"_s), u"Dlouhá"_s);
        QCOMPARE(h.stored(t.id, kind + u"_CP"_s), u"12"_s);
        QCOMPARE(h.stored(t.id, kind + u"_Obec"_s), u"Praha"_s);
        QCOMPARE(h.stored(t.id, kind + u"_Cast"_s), u"Staré Město"_s);
        QCOMPARE(h.stored(t.id, u"zobraz_adr"_s), kind);
        // The new record's working row is the page query's current row.
        QCOMPARE(h.page.value(u"ID"_s).toInt(), t.id);
        QCOMPARE(h.page.text(u"PSC"_s), u"110 00"_s);
        QCOMPARE(h.page.text(phoneColumn), u"224 123 456"_s);
    }

    void singleTransferStopsAtTheLimit() {
        Harness h;
        h.addPersonalRecords(499);
        db::Dataset& row = h.addDirectoryRow(Directory::Persons, person(u"Nový"_s));
        QVERIFY(h.transfers.transferOne(Directory::Persons, row, 10).transferred);
        QCOMPARE(h.personalCount(), 500);
        QCOMPARE(h.search.state().foundCount, 1);
        const Transfers::Single refused = h.transfers.transferOne(Directory::Persons, row, 10);
        QVERIFY(!refused.transferred);
        QCOMPARE(h.personalCount(), 500);
        QCOMPARE(h.search.state().foundCount, 1);
        QCOMPARE(h.working(u"Prijmeni"_s), QStringList{u"Nový"_s});
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
        const QString name = d == Directory::Persons ? u"Prijmeni"_s : u"Firma"_s;
        Harness h;
        h.addPersonalRecords(495);
        h.addDirectoryRow(d, {{name, u"Neoznačený"_s}});
        QStringList names;
        for (int i = 0; i < marked; ++i) {
            names << u"Označený %1"_s.arg(i);
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
            h.addDirectoryRow(Directory::Persons, person(u"Označený %1"_s.arg(i)), true);
        const Transfers::Bulk b =
            h.transfers.transferMarked(Directory::Persons, *h.persons->database(), 4, 3, 10);
        QCOMPARE(b.result, BulkResult::Stored);
        QCOMPARE(b.stored, 3);
        QCOMPARE(h.personalCount(), 3);
    }

    void transferAfterSearchStartsAFreshWorkingTable() {
        Harness h;
        h.add({{u"Prijmeni"_s, u"Dřívější"_s}});
        h.add({{u"Prijmeni"_s, u"Jiný"_s}});
        h.search.listAll(10);
        QCOMPARE(h.working(u"Prijmeni"_s).size(), 2);
        db::Dataset& first = h.addDirectoryRow(Directory::Persons, person(u"První"_s));
        const Transfers::Single one = h.transfers.transferOne(Directory::Persons, first, 10);
        QVERIFY(one.freshTable);
        QCOMPARE(h.working(u"Prijmeni"_s), QStringList{u"První"_s});
        db::Dataset& second = h.addDirectoryRow(Directory::Persons, person(u"Druhý"_s));
        const Transfers::Single two = h.transfers.transferOne(Directory::Persons, second, 10);
        QVERIFY(!two.freshTable);
        QCOMPARE(h.working(u"Prijmeni"_s), (QStringList{u"První"_s, u"Druhý"_s}));
        QCOMPARE(h.working(u"ID2"_s), (QStringList{u"1"_s, u"2"_s}));
        QCOMPARE(h.search.state().foundCount, 2);
        QCOMPARE(h.personalCount(), 4);
    }

    // Each kind of addition starts a fresh working table under its own condition.
    void freshTableRules_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("transfer");
        QTest::addColumn<bool>("addition");
        QTest::addColumn<bool>("import");
        QTest::newRow("nothing open") << u"none"_s << true << true << true;
        QTest::newRow("a listing") << u"listing"_s << true << true << false;
        QTest::newRow("earlier additions") << u"fresh"_s << false << false << false;
        QTest::newRow("after the reset") << u"reset"_s << true << true << true;
    }
    void freshTableRules() {
        QFETCH(QString, before);
        QFETCH(bool, transfer);
        QFETCH(bool, addition);
        QFETCH(bool, import);
        using Rule = PersonalSearch::FreshTableRule;
        Harness h;
        h.add({{u"Prijmeni"_s, u"Dřívější"_s}});
        if (before == u"listing"_s) h.search.listAll(10);
        if (before == u"fresh"_s || before == u"reset"_s) h.search.startFreshTable(10);
        if (before == u"reset"_s) h.search.reset(10);
        QCOMPARE(h.search.needsFreshTable(Rule::Transfer), transfer);
        QCOMPARE(h.search.needsFreshTable(Rule::Addition), addition);
        QCOMPARE(h.search.needsFreshTable(Rule::Import), import);
    }

    // A write error part way keeps and shows the records stored before it.
    void bulkTransferFailingPartWay() {
        db::TableDef narrow = db::layouts::personal();
        for (db::FieldDef& f : narrow.fields)
            if (f.name == u"Prijmeni"_s) f.size = 8;
        Harness h(narrow);
        for (const char* name : {"Král", "Dvořák", "Příliš dlouhé jméno", "Malý"})
            h.addDirectoryRow(Directory::Persons, person(QString::fromUtf8(name)), true);
        const Transfers::Bulk b =
            h.transfers.transferMarked(Directory::Persons, *h.persons->database(), 4, 200, 10);
        QCOMPARE(b.result, BulkResult::Failed);
        QCOMPARE(b.stored, 2);
        QVERIFY(!b.error.isEmpty());
        QCOMPARE(h.personalCount(), 2);
        QCOMPARE(h.working(u"Prijmeni"_s), (QStringList{u"Král"_s, u"Dvořák"_s}));
        QCOMPARE(h.search.state().foundCount, 2);
        QCOMPARE(h.search.state().last, 2);
        // The next addition goes on in the same working table.
        db::Dataset& row = h.addDirectoryRow(Directory::Persons, person(u"Malý"_s));
        QVERIFY(!h.transfers.transferOne(Directory::Persons, row, 10).freshTable);
        QCOMPARE(h.working(u"Prijmeni"_s).size(), 3);
    }

    // Marked rows deleted after more rows were added than a page holds: the
    // page shows every other row it showed, however the rows were added.
    void deleteMarkedKeepsTheAddedRows_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("marked firms") << u"bulk"_s;
        QTest::newRow("single firms") << u"single"_s;
        QTest::newRow("empty additions") << u"add"_s;
    }
    void deleteMarkedKeepsTheAddedRows() {
        QFETCH(QString, how);
        Harness h;
        const int added = 15;
        if (how == u"bulk"_s) {
            for (int i = 1; i <= added; ++i)
                h.addDirectoryRow(Directory::Firms, {{u"Firma"_s, u"Auto %1"_s.arg(i)}}, true);
            QCOMPARE(
                h.transfers.transferMarked(Directory::Firms, *h.firms->database(), added, 200, 10).stored,
                added);
        } else {
            for (int i = 1; i <= added; ++i) {
                if (how == u"single"_s) {
                    db::Dataset& row =
                        h.addDirectoryRow(Directory::Firms, {{u"Firma"_s, u"Auto %1"_s.arg(i)}});
                    QVERIFY(h.transfers.transferOne(Directory::Firms, row, 10).transferred);
                } else {
                    QVERIFY(PersonalRecords(h.search).add(10).added);
                }
            }
        }
        QStringList kept;
        for (int i = 1; i <= added; ++i)
            kept << QString::number(i);
        QCOMPARE(h.shown(u"ID2"_s), kept);
        for (int id2 : {3, 12}) {
            QVERIFY(h.page.locate(u"ID2"_s, id2));
            QVERIFY(h.search.page().toggleMark());
            kept.removeOne(QString::number(id2));
        }
        QCOMPARE(PersonalRecords(h.search).removeMarked().records, 2);
        QCOMPARE(h.shown(u"ID2"_s), kept);
        QCOMPARE(h.personalCount(), added - 2);
    }

    // A single transfer that cannot be written stores nothing.
    void singleTransferWriteErrorStoresNothing() {
        db::TableDef narrow = db::layouts::personal();
        for (db::FieldDef& f : narrow.fields)
            if (f.name == u"Prijmeni"_s) f.size = 8;
        Harness h(narrow);
        db::Dataset& row = h.addDirectoryRow(Directory::Persons, person(u"Příliš dlouhé jméno"_s));
        QVERIFY_THROWS_EXCEPTION(db::Error, h.transfers.transferOne(Directory::Persons, row, 10));
        QCOMPARE(h.personalCount(), 0);
        QVERIFY(h.working(u"Prijmeni"_s).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTransfers)
#include "tst_transfers.moc"
