// Posting import rows as personal records: cleaning of telephone numbers and
// postal codes, the address kind, cut values, the record limit, the working
// table the records go to, and a write that fails part way.

#include "ContactImport.h"
#include "Error.h"
#include "ImportFile.h"
#include "OwnDatabases.h"
#include "PersonalRecords.h"
#include "PersonalSearch.h"
#include "contacts/PersonalSearchFixture.h"

#include <QTest>

using namespace Qt::StringLiterals;

using namespace io;

namespace {

using Values = QList<std::pair<QString, QString>>;

// The personal database with the Vlastní page's working table and search.
struct Harness : personal_test::SearchFiles {
    explicit Harness(bool durable = true, const db::TableDef& table = db::layouts::personal())
        : SearchFiles(durable, table) {}
    void addRecords(int n) { addSurnames(QStringList(n, u"Stávající"_s)); }
    QStringList stored(const QString& column) {
        return personal_test::columnOf(personal.get(), u"SELECT * FROM Vlastni ORDER BY ID"_s, column);
    }
};

ImportTable table(const QString& text) {
    return splitText(text, u';', false);
}

} // namespace

class TestContactImport : public QObject {
    Q_OBJECT

  private slots:
    // A saved schema keeps target positions: the 36 targets stay in this order
    // with these captions, each filling its column.
    void targets() {
        QStringList captions, columns;
        for (const io::ImportTarget& t : io::importTargets()) {
            captions << t.caption;
            columns << t.column.toLower();
        }
        QCOMPARE(captions.join(u'|'),
                 u"titul|jméno|příjmení|firma|funkce|IC|DIC|internet|e-mail 1|e-mail 2|e-mail 3|poznámka|"
                 "TEL mobil 1|TEL mobil 2|TEL domů 1|TEL domů 2|TEL firma 1|TEL firma 2|"
                 "adresa domů: Ulice|adresa domů: ČP|adresa domů: Obec|adresa domů: Část|adresa domů: PSČ|"
                 "adresa domů: Stát|adresa firma: Ulice|adresa firma: ČP|adresa firma: Obec|"
                 "adresa firma: Část|adresa firma: PSČ|adresa firma: Stát|adresa jiné: Ulice|adresa jiné: ČP|"
                 "adresa jiné: Obec|adresa jiné: Část|adresa jiné: PSČ|adresa jiné: Stát"_s);
        QCOMPARE(columns.join(u'|'),
                 u"titul_1|jmeno_1|prijmeni|firma|funkce|ico|dic|internet|e-mail_1|e-mail_2|e-mail_3|info|"
                 "tel_1|tel_2|tel_3|tel_4|tel_5|tel_6|domu_ulice|domu_cp|domu_obec|domu_cast|domu_psc|"
                 "domu_stat|zam_ulice|zam_cp|zam_obec|zam_cast|zam_psc|zam_stat|jine_ulice|jine_cp|"
                 "jine_obec|jine_cast|jine_psc|jine_stat"_s);
    }

    void clean_data() {
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("stored");
        QTest::newRow("mobile") << 12 << u"+420 (123) 456-789"_s << u"123456789"_s;
        QTest::newRow("work phone with slash") << 16 << u"02/123 456"_s << u"02123456"_s;
        QTest::newRow("note unchanged") << 11 << u"+420 (123) 456-789"_s << u"+420 (123) 456-789"_s;
        QTest::newRow("home postal code") << 22 << u"123 45"_s << u"12345"_s;
        QTest::newRow("other postal code") << 34 << u"123-45"_s << u"12345"_s;
        QTest::newRow("street unchanged") << 18 << u"Na (Kopci) 1/2"_s << u"Na (Kopci) 1/2"_s;
        QTest::newRow("foreign prefix stays") << 13 << u"+421 905 123"_s << u"+421905123"_s;
        // A quoted cell over several lines.
        QTest::newRow("note keeps its lines") << 11 << u"řádek 1\nřádek 2"_s << u"řádek 1\nřádek 2"_s;
        QTest::newRow("street on one line") << 18 << u"Dlouhá\n12\r\nvchod B"_s << u"Dlouhá 12 vchod B"_s;
        QTest::newRow("phone over two lines") << 12 << u"777\n123 456"_s << u"777123456"_s;
    }
    void clean() {
        QFETCH(int, target);
        QFETCH(QString, cell);
        QFETCH(QString, stored);
        int cut = 0;
        const Values v = assign({cell}, {{0, target}}, &cut);
        QCOMPARE(v.value(0).second, stored);
        QCOMPARE(cut, 0);
    }

    // Values longer than their column are cut to its size and counted; a memo is never cut.
    void cut_data() {
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("cut");
        QTest::newRow("postal code of 7") << 22 << u"1234567"_s << 6 << 1;
        QTest::newRow("title of 30 fits") << 0 << QString(30, u'x') << 30 << 0;
        QTest::newRow("title of 31") << 0 << QString(31, u'x') << 30 << 1;
        QTest::newRow("note is a memo") << 11 << QString(5000, u'x') << 5000 << 0;
        QTest::newRow("pair not split") << 0 << QString(29, u'x') + u"😀"_s << 29 << 1;
    }
    void cut() {
        QFETCH(int, target);
        QFETCH(QString, cell);
        QFETCH(int, length);
        QFETCH(int, cut);
        int counted = 0;
        const Values v = assign({cell}, {{0, target}}, &counted);
        QCOMPARE(v.value(0).second.size(), length);
        QCOMPARE(counted, cut);
    }

    void addressKinds_data() {
        QTest::addColumn<QList<int>>("targets");
        QTest::addColumn<QString>("kind");
        QTest::newRow("other town only") << QList<int>{32} << u"jine"_s;
        QTest::newRow("no address") << QList<int>{2} << u"domu"_s;
        QTest::newRow("work and other") << QList<int>{26, 30} << u"zam"_s;
        QTest::newRow("home wins") << QList<int>{35, 29, 23} << u"domu"_s;
    }
    // Through the database: the kind is stored with the record and shown in the working row.
    void addressKinds() {
        QFETCH(QList<int>, targets);
        QFETCH(QString, kind);
        Harness h;
        QList<Assignment> a;
        for (int i = 0; i < targets.size(); ++i)
            a << Assignment{i, targets[i]};
        const ImportOutcome out = importContacts(h.search, table(u"x;y;z\r\n"_s), a, 10);
        QCOMPARE(out.posted, 1);
        QCOMPARE(h.stored(u"zobraz_adr"_s), QStringList{kind});
        QCOMPARE(h.working(u"zobraz_adr"_s), QStringList{kind});
    }

    // Checked before every record: with 498 present, 2 of 5 lines are posted.
    void recordLimit_data() {
        QTest::addColumn<int>("present");
        QTest::addColumn<int>("posted");
        QTest::addColumn<bool>("limit");
        QTest::newRow("498 present") << 498 << 2 << true;
        QTest::newRow("500 present") << 500 << 0 << true;
        QTest::newRow("495 present") << 495 << 5 << false;
    }
    void recordLimit() {
        QFETCH(int, present);
        QFETCH(int, posted);
        QFETCH(bool, limit);
        Harness h;
        h.addRecords(present);
        const ImportOutcome out =
            importContacts(h.search, table(u"a\r\nb\r\nc\r\nd\r\ne\r\n"_s), {{0, 2}}, 10);
        QCOMPARE(out.posted, posted);
        QCOMPARE(out.limitReached, limit);
        QCOMPARE(PersonalRecords(h.search).count(), present + posted);
        QCOMPARE(h.working(u"Prijmeni"_s).size(), posted);
        QCOMPARE(h.search.state().last, posted);
        QCOMPARE(resultMessage(out), u"Bylo importováno %1 záznamů.    "_s.arg(posted));
    }

    // Only a closed personal cursor starts a fresh working table: a listing on
    // the page keeps its rows and receives the new ones after them.
    void workingTable_data() {
        QTest::addColumn<bool>("listing");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("closed cursor") << false << QStringList{u"Nový"_s};
        QTest::newRow("open listing") << true << QStringList{u"Stávající"_s, u"Nový"_s};
    }
    void workingTable() {
        QFETCH(bool, listing);
        QFETCH(QStringList, rows);
        Harness h;
        h.addRecords(1);
        if (listing) {
            h.search.listAll(10);
            QVERIFY(h.search.personalCursor().isOpen());
        }
        const ImportOutcome out = importContacts(h.search, table(u"Nový\r\n"_s), {{0, 2}}, 10);
        QCOMPARE(out.freshTable, !listing);
        QCOMPARE(h.working(u"Prijmeni"_s), rows);
        QCOMPARE(h.search.state().foundCount, rows.size());
        QCOMPARE(h.search.state().lastShown, rows.size());
    }

    // A record the engine refuses stops the import; those before it stay on disk.
    void failedWrite() {
        db::TableDef narrow = db::layouts::personal();
        for (db::FieldDef& f : narrow.fields)
            if (f.name == u"Prijmeni"_s) f.size = 4;
        Harness h(false, narrow);
        const ImportOutcome out =
            importContacts(h.search, table(u"Krá\r\nDlouhé\r\nJan\r\n"_s), {{0, 2}}, 10);
        QCOMPARE(out.posted, 1);
        QVERIFY(!out.error.isEmpty());
        QCOMPARE(h.stored(u"Prijmeni"_s), QStringList{u"Krá"_s});
        QCOMPARE(h.working(u"Prijmeni"_s), QStringList{u"Krá"_s});
        QVERIFY(failedImportMessage(out).contains(u"importováno záznamů: 1"_s));
        // Nothing is left open around the records posted.
        QCOMPARE(h.personal->transactionDepth(), 0);
    }

    // The engine failing outside the writes (here: the personal table is
    // missing) ends the import with the engine's message alone.
    void engineFailure() {
        db::TableDef other = db::layouts::personal();
        other.name = u"Jine"_s;
        Harness h(false, other);
        const ImportOutcome out = importContacts(h.search, table(u"A\r\nB\r\n"_s), {{0, 2}}, 10);
        QCOMPARE(out.posted, 0);
        QVERIFY(!out.failure.isEmpty());
        QVERIFY(out.freshTable);
        QCOMPARE(outcomeNotices(out), QList<Notice>{(Notice{Notice::Kind::Warning, out.failure})});
    }

    // The messages of an outcome, in the order the user sees them.
    void notices_data() {
        QTest::addColumn<int>("posted");
        QTest::addColumn<bool>("limit");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QList<Notice>>("notices");
        const auto info = [](const QString& text) { return Notice{Notice::Kind::Information, text}; };
        const auto warning = [](const QString& text) { return Notice{Notice::Kind::Warning, text}; };
        const QString limit =
            u"Limit počtu záznamů ve vlastní databázi je vyčerpán. Smaže některé nepotřebné "
            "záznamy z vlastní databáze.      "_s;
        QTest::newRow("done") << 3 << false << QString() << QString()
                              << QList<Notice>{info(u"Bylo importováno 3 záznamů.    "_s)};
        QTest::newRow("limit") << 2 << true << QString() << QString()
                               << QList<Notice>{info(limit), info(u"Bylo importováno 2 záznamů.    "_s)};
        QTest::newRow("failed write")
            << 1 << false << u"Disk je plný."_s << QString()
            << QList<Notice>{warning(u"Import byl přerušen, importováno záznamů: 1. Disk je plný."_s)};
        QTest::newRow("engine failure") << 1 << true << u"Disk je plný."_s << u"Tabulka chybí."_s
                                        << QList<Notice>{warning(u"Tabulka chybí."_s)};
    }
    void notices() {
        QFETCH(int, posted);
        QFETCH(bool, limit);
        QFETCH(QString, error);
        QFETCH(QString, failure);
        QFETCH(QList<Notice>, notices);
        ImportOutcome out;
        out.posted = posted;
        out.limitReached = limit;
        out.error = error;
        out.failure = failure;
        QCOMPARE(outcomeNotices(out), notices);
    }

    // Stopped part way, the import keeps and counts the records it stored.
    void cancelled_data() {
        QTest::addColumn<int>("stopAfter");
        QTest::addColumn<int>("posted");
        QTest::addColumn<int>("left");
        QTest::newRow("after the third of five") << 3 << 3 << 2;
        QTest::newRow("after the last") << 5 << 5 << -1;
    }
    void cancelled() {
        QFETCH(int, stopAfter);
        QFETCH(int, posted);
        QFETCH(int, left);
        Harness h;
        QList<int> told;
        const ImportOutcome out = importContacts(h.search, table(u"A\r\nB\r\nC\r\nD\r\nE\r\n"_s), {{0, 2}},
                                                 10, [&](int done, int total) {
                                                     told << done;
                                                     return !(done == stopAfter && total == 5);
                                                 });
        QCOMPARE(out.posted, posted);
        QCOMPARE(out.cancelledLeft, left);
        QCOMPARE(told.size(), posted);
        QCOMPARE(h.stored(u"Prijmeni"_s),
                 QStringList({u"A"_s, u"B"_s, u"C"_s, u"D"_s, u"E"_s}).mid(0, posted));
        QCOMPARE(h.working(u"Prijmeni"_s).size(), posted);
        const QString message = resultMessage(out);
        QVERIFY2(message.startsWith(u"Bylo importováno "_s + QString::number(posted) + u" záznamů."_s),
                 qPrintable(message));
        QCOMPARE(message.contains(u"zrušen"_s), left > 0);
    }

    void cutCounted() {
        Harness h;
        const ImportOutcome out = importContacts(
            h.search, table(u"1234567;"_s + QString(40, u'a') + u"\r\n12345;b\r\n"_s), {{0, 22}, {1, 0}}, 10);
        QCOMPARE(out.posted, 2);
        QCOMPARE(out.cut, 2);
        QCOMPARE(h.stored(u"domu_PSC"_s), (QStringList{u"123456"_s, u"12345"_s}));
        QVERIFY(resultMessage(out).contains(u": 2."_s));
    }
};

QTEST_MAIN(TestContactImport)
#include "tst_contactimport.moc"
