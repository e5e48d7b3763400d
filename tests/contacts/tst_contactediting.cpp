#include "ContactEditing.h"
#include "DatabaseLogin.h"
#include "Error.h"
#include "OwnDatabases.h"
#include "PersonalRecords.h"
#include "PersonalSearch.h"
#include "PersonalSearchFixture.h"
#include "SearchCriteria.h"
#include "WorkingFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

using contact_editing::AddressKind;
using contact_editing::Field;
using Result = ContactEditing::Result;

Q_DECLARE_METATYPE(contact_editing::Field)
Q_DECLARE_METATYPE(contact_editing::AddressKind)

namespace {

using Record = QList<std::pair<QString, QString>>;

// The personal database made and opened by the engine as the program opens it
// (durable, shared), the personal result database beside it, and the editor's
// model over both.
struct Harness : personal_test::SearchFiles {
    PersonalRecords records{search};
    ContactEditing editing{search, records};

    Harness() : SearchFiles(true) {}

    void addSurnames(int from, int to) {
        personal->beginTransaction();
        for (int i = from; i <= to; ++i)
            add({{u"Prijmeni"_s, surname(i)}});
        personal->commit();
    }
    static QString surname(int i) { return u"Záznam%1"_s.arg(i, 3, 10, QLatin1Char('0')); }

    // A column of the personal records, by ID, as a fresh connection reads the file.
    QStringList stored(const QString& column, const QString& where = QString()) {
        auto reader = workspace->openDatabase(paths.personal, db::OpenOptions{false, true, false});
        return personal_test::columnOf(reader.get(),
                                       u"SELECT * FROM Vlastni"_s +
                                           (where.isEmpty() ? QString() : u" WHERE "_s + where) +
                                           u" ORDER BY ID"_s,
                                       column);
    }
    // Every column of every personal record.
    QStringList snapshot() {
        QStringList out;
        for (const db::FieldDef& f : db::layouts::personal().fields)
            out << f.name + u'=' + stored(f.name).join(u'|');
        return out;
    }
    QString shown(const QString& column) { return page.text(column); }
};

const Record kBoth{{u"Prijmeni"_s, u"Dvořák"_s}, {u"domu_Ulice"_s, u"Domovní"_s},
                   {u"domu_PSC"_s, u"11000"_s},  {u"zam_Ulice"_s, u"Pracovní"_s},
                   {u"zam_PSC"_s, u"60200"_s},   {u"zobraz_adr"_s, u"zam"_s}};

} // namespace

class TestContactEditing : public QObject {
    Q_OBJECT
  private slots:
    void formatting_data();
    void formatting();
    void kindSwitchAndSave_data();
    void kindSwitchAndSave();
    void numbersStoredWithoutBlanks();
    void emptyRecordSave_data();
    void emptyRecordSave();
    void backAfterNew();
    void nextAcrossPages();
    void moveAfterEmptiedRecord_data();
    void moveAfterEmptiedRecord();
    void failedPageFill();
    void failedAddition();
    void failedSave_data();
    void failedSave();
    void recordLimit_data();
    void recordLimit();
    void deleteEndsNewRecordMode();
    void recordMissing();
    void closeQuestion();
};

void TestContactEditing::formatting_data() {
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::newRow("phone grouped on leaving") << "phone"
                                              << "123456789"
                                              << "123 456 789";
    QTest::newRow("phone blanks typed anywhere") << "phone"
                                                 << "12 3456 789"
                                                 << "123 456 789";
    QTest::newRow("phone with plus") << "phone"
                                     << "+420123456789"
                                     << "+420 123 456 789";
    QTest::newRow("phone short") << "phone"
                                 << "12"
                                 << "12";
    QTest::newRow("phone empty") << "phone"
                                 << ""
                                 << "";
    QTest::newRow("postal code split") << "postal"
                                       << "12345"
                                       << "123 45";
    QTest::newRow("postal code reblanked") << "postal"
                                           << "1 2 3 4 5"
                                           << "123 45";
    QTest::newRow("postal code not five") << "postal"
                                          << "1234"
                                          << "1234";
    QTest::newRow("entering drops blanks") << "enter"
                                           << "123 456 789"
                                           << "123456789";
    QTest::newRow("e-mail without at warns") << "email"
                                             << "jan.velto.cz"
                                             << "warn";
    QTest::newRow("e-mail with at") << "email"
                                    << "jan@velto.cz"
                                    << "";
    QTest::newRow("e-mail empty") << "email"
                                  << ""
                                  << "";
}

void TestContactEditing::formatting() {
    QFETCH(QString, rule);
    QFETCH(QString, in);
    QFETCH(QString, out);
    if (rule == u"phone")
        QCOMPARE(contact_editing::leavingPhone(in), out);
    else if (rule == u"postal")
        QCOMPARE(contact_editing::leavingPostalCode(in), out);
    else if (rule == u"enter")
        QCOMPARE(contact_editing::enteringNumber(in), out);
    else
        QCOMPARE(contact_editing::emailNeedsWarning(in), out == u"warn");
}

// A record shown in its work address; typing in two groups and saving with a
// kind selected keeps both groups and makes that kind the default.
void TestContactEditing::kindSwitchAndSave_data() {
    QTest::addColumn<AddressKind>("finalKind");
    QTest::addColumn<QString>("kindName");
    QTest::addColumn<QString>("currentStreet");
    QTest::addColumn<QString>("currentPostalCode");
    QTest::newRow("home") << AddressKind::Home << u"domu"_s << u"Nová"_s << u"110 01"_s;
    QTest::newRow("work") << AddressKind::Work << u"zam"_s << u"Jiná práce"_s << u"602 00"_s;
    QTest::newRow("other, empty") << AddressKind::Other << u"jine"_s << QString() << QString();
}

void TestContactEditing::kindSwitchAndSave() {
    QFETCH(AddressKind, finalKind);
    QFETCH(QString, kindName);
    QFETCH(QString, currentStreet);
    QFETCH(QString, currentPostalCode);
    Harness h;
    h.add(kBoth);
    h.search.listAll(10);
    ContactEditing& e = h.editing;
    e.open(AddressKind::Home);
    QCOMPARE(e.selectedKind(), std::optional{AddressKind::Work});
    QCOMPARE(e.column(Field::Street), u"zam_ulice"_s);
    QCOMPARE(e.text(Field::Street), u"Pracovní"_s);
    QCOMPARE(e.text(Field::PostalCode), u"602 00"_s);
    e.setText(Field::Street, u"Jiná práce"_s);
    e.selectKind(AddressKind::Home);
    QCOMPARE(e.text(Field::Street), u"Domovní"_s);
    e.setText(Field::Street, u"Nová"_s);
    e.setText(Field::PostalCode, u"11001"_s); // saved before leaving the field
    e.selectKind(AddressKind::Work);
    QCOMPARE(e.text(Field::Street), u"Jiná práce"_s);
    e.selectKind(finalKind);

    const ContactEditing::Outcome out = e.save();
    QVERIFY2(bool(out), qPrintable(out.message));
    QVERIFY(out.close);
    // The personal database keeps every commit in its write-ahead log.
    QCOMPARE(h.personal->queryNative(u"PRAGMA journal_mode"_s).value(0).value(0).toString(), u"wal"_s);
    // On disk, as another connection reads it.
    QCOMPARE(h.stored(u"domu_ulice"_s), QStringList{u"Nová"_s});
    QCOMPARE(h.stored(u"domu_PSC"_s), QStringList{u"11001"_s});
    QCOMPARE(h.stored(u"zam_ulice"_s), QStringList{u"Jiná práce"_s});
    QCOMPARE(h.stored(u"zam_PSC"_s), QStringList{u"60200"_s});
    QCOMPARE(h.stored(u"zobraz_adr"_s), QStringList{kindName});
    QCOMPARE(h.working(u"zobraz_adr"_s), QStringList{kindName});
    QCOMPARE(h.working(u"Ulice"_s), QStringList{currentStreet});
    QCOMPARE(h.working(u"PSC"_s), QStringList{currentPostalCode});
    QCOMPARE(h.working(u"domu_PSC"_s), QStringList{u"110 01"_s});
    QVERIFY(!e.isModified());
}

// A number typed with a plus and twelve digits shows grouped after leaving the
// field and is stored without blanks; the working row shows it grouped.
void TestContactEditing::numbersStoredWithoutBlanks() {
    Harness h;
    h.add({{u"Prijmeni"_s, u"Novák"_s}});
    h.search.listAll(10);
    ContactEditing& e = h.editing;
    e.open();
    e.setText(Field::Mobile1, u"+420123456789"_s);
    QCOMPARE(e.leaveField(Field::Mobile1), u"+420 123 456 789"_s);
    QCOMPARE(e.enterField(Field::Mobile1), u"+420123456789"_s);
    QCOMPARE(e.leaveField(Field::Mobile1), u"+420 123 456 789"_s);
    e.setText(Field::Work2, u"777 000 111"_s);
    QVERIFY(e.save());
    QCOMPARE(h.stored(u"Tel_1"_s), QStringList{u"+420123456789"_s});
    QCOMPARE(h.stored(u"Tel_6"_s), QStringList{u"777000111"_s});
    QCOMPARE(h.working(u"Tel_1"_s), QStringList{u"+420 123 456 789"_s});
    QCOMPARE(h.working(u"Tel_6"_s), QStringList{u"777 000 111"_s});
}

// Clearing every shown field removes the record only when it holds nothing
// else; data in another address group, in Info or in ICO keeps it.
void TestContactEditing::emptyRecordSave_data() {
    QTest::addColumn<QString>("column"); // holds the only other value, if any
    QTest::addColumn<bool>("kept");
    QTest::newRow("nothing else") << QString() << false;
    QTest::newRow("another address group") << u"zam_Obec"_s << true;
    QTest::newRow("Info") << u"Info"_s << true;
    QTest::newRow("ICO") << u"ICO"_s << true;
}

void TestContactEditing::emptyRecordSave() {
    QFETCH(QString, column);
    QFETCH(bool, kept);
    Harness h;
    h.add({{u"Prijmeni"_s, u"Další"_s}});
    Record r{{u"Prijmeni"_s, u"Prázdný"_s}, {u"domu_Obec"_s, u"Praha"_s}, {u"Tel_3"_s, u"222"_s}};
    if (!column.isEmpty()) r << std::pair{column, u"hodnota"_s};
    h.add(r);
    h.search.listAll(10);
    h.page.last();
    ContactEditing& e = h.editing;
    e.open();
    QCOMPARE(e.text(Field::Surname), u"Prázdný"_s);
    for (Field f : {Field::Surname, Field::Town, Field::Home1})
        e.setText(f, QString());
    QVERIFY(e.save());
    const QStringList remaining = kept ? QStringList{u"Další"_s, QString()} : QStringList{u"Další"_s};
    QCOMPARE(h.stored(u"Prijmeni"_s), remaining);
    QCOMPARE(h.working(u"ID"_s).size(), kept ? 2 : 1);
    if (kept) QCOMPARE(h.stored(column, u"ID = 2"_s), QStringList{u"hodnota"_s});
}

// A record added and left with back is gone from both tables and the found
// count is as before; a second addition continues the same fresh table.
void TestContactEditing::backAfterNew() {
    Harness h;
    h.addSurnames(1, 3);
    h.search.listAll(10);
    const QStringList before = h.snapshot();
    ContactEditing& e = h.editing;
    e.open();

    ContactEditing::Outcome out = e.newRecord();
    QVERIFY2(bool(out), qPrintable(out.message));
    QVERIFY(out.pageRestarted);
    QVERIFY(e.isNewRecord());
    QCOMPARE(e.selectedKind(), std::optional{AddressKind::Home});
    QCOMPARE(h.search.state().foundCount, 1);
    QVERIFY(!h.search.state().listing);
    QCOMPARE(h.stored(u"ID"_s).size(), 4);
    e.setText(Field::Surname, u"Rozepsaný"_s);
    out = e.back();
    QVERIFY(out.close);
    QCOMPARE(h.snapshot(), before);
    QCOMPARE(h.search.state().foundCount, 0);
    QCOMPARE(h.working(u"ID"_s), QStringList{});
    e.closed();

    // Adding again needs no fresh table: the row joins the same one.
    const PersonalRecords::Addition added = h.records.add(10);
    QVERIFY(added.added);
    QVERIFY(!added.freshTable);
    e.open(AddressKind::Home, true);
    e.setText(Field::Surname, u"Uložený"_s);
    QVERIFY(e.save());
    QCOMPARE(h.stored(u"Prijmeni"_s, u"ID = "_s + QString::number(added.id)), QStringList{u"Uložený"_s});
    QCOMPARE(h.working(u"Prijmeni"_s), QStringList{u"Uložený"_s});
    QCOMPARE(h.working(u"ID2"_s), QStringList{u"1"_s});
}

// Next from the last row of a page fills the next page and shows its first
// row; a change made there is stored by the next move. Previous crosses back.
void TestContactEditing::nextAcrossPages() {
    Harness h;
    h.addSurnames(1, 12);
    h.search.listAll(5);
    h.page.last();
    ContactEditing& e = h.editing;
    e.open();
    QCOMPARE(e.text(Field::Surname), Harness::surname(5));
    QVERIFY(e.navigation().nextEnabled);

    QVERIFY(e.next());
    QCOMPARE(e.text(Field::Surname), Harness::surname(6));
    QCOMPARE(h.search.state().first, 6);
    QVERIFY(e.navigation().previousEnabled);
    e.setText(Field::Surname, u"Změněný"_s);
    QVERIFY(e.next());
    QCOMPARE(e.text(Field::Surname), Harness::surname(7));
    QCOMPARE(h.stored(u"Prijmeni"_s, u"ID = 6"_s), QStringList{u"Změněný"_s});

    QVERIFY(e.previous());
    QVERIFY(e.previous());
    QCOMPARE(e.text(Field::Surname), Harness::surname(5));
    QCOMPARE(h.search.state().first, 1);
    QCOMPARE(h.shown(u"ID2"_s), u"5"_s);

    // To the end of the listing: next goes off on its last row.
    for (int i = 0; i < 7; ++i)
        QVERIFY(e.next());
    QCOMPARE(e.text(Field::Surname), Harness::surname(12));
    QVERIFY(!e.navigation().nextEnabled);
    QCOMPARE(h.working(u"ID"_s).size(), 12);
}

// A record emptied and left by next or previous goes, and the move shows the
// record beside it in that direction: none is skipped.
void TestContactEditing::moveAfterEmptiedRecord_data() {
    QTest::addColumn<int>("start"); // position on the page
    QTest::addColumn<bool>("forward");
    QTest::addColumn<int>("shown"); // surname number afterwards
    QTest::addColumn<bool>("closes");
    QTest::newRow("next from the first") << 0 << true << 2 << false;
    QTest::newRow("next from the last") << 2 << true << 2 << false;
    QTest::newRow("previous from the last") << 2 << false << 2 << false;
    QTest::newRow("previous from the first") << 0 << false << 2 << false;
    QTest::newRow("next from the middle") << 1 << true << 3 << false;
    QTest::newRow("previous from the middle") << 1 << false << 1 << false;
}

void TestContactEditing::moveAfterEmptiedRecord() {
    QFETCH(int, start);
    QFETCH(bool, forward);
    QFETCH(int, shown);
    QFETCH(bool, closes);
    Harness h;
    h.addSurnames(1, 3);
    h.search.listAll(10);
    h.page.moveBy(start);
    ContactEditing& e = h.editing;
    e.open();
    e.setText(Field::Surname, QString());
    const ContactEditing::Outcome out = forward ? e.next() : e.previous();
    QVERIFY2(bool(out), qPrintable(out.message));
    QCOMPARE(out.close, closes);
    QCOMPARE(h.stored(u"ID"_s).size(), 2);
    QCOMPARE(h.working(u"ID"_s).size(), 2);
    QCOMPARE(e.text(Field::Surname), Harness::surname(shown));
}

// Next whose page fill fails reports the error and stays on the record it
// started from, on the page it started from; the next try goes on.
void TestContactEditing::failedPageFill() {
    Harness h;
    h.addSurnames(1, 12);
    h.search.listAll(5);
    h.page.last();
    ContactEditing& e = h.editing;
    e.open();
    {
        test_support::FileHold hold(*h.results->database(), u"vlastni"_s, test_support::FileHold::Writing);
        QVERIFY(hold.holds());
        const ContactEditing::Outcome out = e.next();
        QCOMPARE(out.result, Result::Failed);
        QVERIFY2(out.message.contains(u"uzamčena"_s), qPrintable(out.message));
        QVERIFY(!out.close);
        QCOMPARE(e.text(Field::Surname), Harness::surname(5));
        QCOMPARE(h.shown(u"ID2"_s), u"5"_s);
        QCOMPARE(h.search.state().first, 1);
    }
    QVERIFY(e.next());
    QCOMPARE(e.text(Field::Surname), Harness::surname(6));
    QCOMPARE(h.working(u"Prijmeni"_s).size(), 10);
}

// An added record whose working row cannot be written is taken out of the
// personal table again: nothing is left that the editor could not show.
void TestContactEditing::failedAddition() {
    Harness h;
    h.addSurnames(1, 2);
    QVERIFY(h.records.add(10).freshTable);
    ContactEditing& e = h.editing;
    e.open(AddressKind::Home, true);
    e.setText(Field::Surname, u"První nový"_s);
    {
        test_support::FileHold hold(*h.results->database(), u"vlastni"_s, test_support::FileHold::Writing);
        QVERIFY(hold.holds());
        const ContactEditing::Outcome out = e.newRecord();
        QCOMPARE(out.result, Result::Failed);
        QVERIFY2(out.message.contains(u"uzamčena"_s), qPrintable(out.message));
        // The save before the addition could not write the working row either.
        QCOMPARE(e.text(Field::Surname), u"První nový"_s);
    }
    QVERIFY(e.save());
    {
        test_support::FileHold hold(*h.results->database(), u"vlastni"_s, test_support::FileHold::Writing);
        QVERIFY_THROWS_EXCEPTION(db::Error, h.records.add(10));
    }
    QCOMPARE(h.records.count(), 3);
    QCOMPARE(h.search.state().foundCount, 1);
    QCOMPARE(h.working(u"Prijmeni"_s), QStringList{u"První nový"_s});
    QCOMPARE(h.stored(u"Prijmeni"_s),
             (QStringList{Harness::surname(1), Harness::surname(2), u"První nový"_s}));
}

// A save that cannot be written reports why, keeps what was typed, does not
// close and does not move; the stored record stays as it was. Once the cause
// is gone the same values are saved.
void TestContactEditing::failedSave_data() {
    QTest::addColumn<QString>("cause");
    QTest::addColumn<Field>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("surname too long")
        << "long" << Field::Surname << QString(51, u'x')
        << u"Text v poli „Příjmení“ je příliš dlouhý: pole pojme nejvýše 50 znaků."_s;
    QTest::newRow("postal code too long") << "long" << Field::PostalCode << u"123 4567"_s
                                          << u"Text v poli „PSČ (adresa firma)“ je příliš dlouhý: pole pojme "
                                             "nejvýše 6 znaků."_s;
    QTest::newRow("file locked by a reader")
        << "locked" << Field::Firm << u"Velto"_s << u"Databáze je uzamčena jiným procesem."_s;
}

void TestContactEditing::failedSave() {
    QFETCH(QString, cause);
    QFETCH(Field, field);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    Harness h;
    h.add(kBoth);
    h.add({{u"Prijmeni"_s, u"Zeman"_s}});
    h.search.listAll(10);
    const QStringList before = h.snapshot();
    ContactEditing& e = h.editing;
    e.open();
    e.setText(field, typed);
    // The failing value sits in the work address; the home address is shown.
    e.selectKind(AddressKind::Home);
    e.setText(Field::Street, u"Nová"_s);
    h.personal->setBusyTimeout(0);
    std::optional<test_support::FileHold> hold;
    if (cause == u"locked") {
        hold.emplace(*h.personal, u"vlastni"_s, test_support::FileHold::Writing);
        QVERIFY(hold->holds());
    }

    ContactEditing::Outcome out = e.save();
    QCOMPARE(out.result, Result::Failed);
    QCOMPARE(out.message, message);
    QVERIFY(!out.close);
    QVERIFY(e.asksBeforeClosing());
    if (cause == u"long") {
        QCOMPARE(out.field, std::optional{field});
        QCOMPARE(out.fieldKind.has_value(), contact_editing::isAddressField(field));
    }
    out = e.next();
    QCOMPARE(out.result, Result::Failed);
    QCOMPARE(h.shown(u"ID2"_s), u"1"_s);
    hold.reset();
    QCOMPARE(h.snapshot(), before);
    QCOMPARE(e.text(Field::Street), u"Nová"_s);
    e.selectKind(AddressKind::Work);
    QCOMPARE(e.text(field), typed);

    if (cause == u"long") e.setText(field, typed.left(5));
    out = e.save();
    QVERIFY2(bool(out), qPrintable(out.message));
    QCOMPARE(h.stored(u"domu_ulice"_s, u"ID = 1"_s), QStringList{u"Nová"_s});
    QCOMPARE(h.working(u"domu_ulice"_s).first(), u"Nová"_s);
}

// Adding works below the limit and is refused at it with its message, and then
// nothing changes: the listing stays.
void TestContactEditing::recordLimit_data() {
    QTest::addColumn<int>("records");
    QTest::addColumn<bool>("added");
    QTest::newRow("499") << 499 << true;
    QTest::newRow("500") << 500 << false;
}

void TestContactEditing::recordLimit() {
    QFETCH(int, records);
    QFETCH(bool, added);
    Harness h;
    h.addSurnames(1, records);
    h.search.listAll(10);
    ContactEditing& e = h.editing;
    e.open();
    const ContactEditing::Outcome out = e.newRecord();
    if (added) {
        QVERIFY2(bool(out), qPrintable(out.message));
        QVERIFY(e.isNewRecord());
        QCOMPARE(h.records.count(), 500);
        QCOMPARE(h.working(u"ID"_s), QStringList{u"500"_s});
        // An empty new record would go with the save that "new" makes first.
        e.setText(Field::Surname, u"Pětistý"_s);
        QCOMPARE(e.newRecord().result, Result::LimitReached);
        QCOMPARE(e.text(Field::Surname), u"Pětistý"_s);
    } else {
        QCOMPARE(out.result, Result::LimitReached);
        QCOMPARE(out.message, u"Limit počtu záznamů ve vlastní databázi je pro tuto verzi programu vyčerpán. "
                              "Samžte nepotřebné záznamy.      "_s);
        QCOMPARE(h.records.count(), 500);
        QVERIFY(h.search.state().listing);
        QCOMPARE(h.working(u"ID"_s).size(), 10);
        QCOMPARE(e.text(Field::Surname), Harness::surname(1));
        QVERIFY(!e.isNewRecord());
    }
}

// Deleting the new record shows an older one; back must then leave it alone.
void TestContactEditing::deleteEndsNewRecordMode() {
    Harness h;
    ContactEditing& e = h.editing;
    QVERIFY(h.records.add(10).added);
    e.open(AddressKind::Home, true);
    e.setText(Field::Surname, u"Starší"_s);
    QVERIFY(e.newRecord());
    QVERIFY(e.isNewRecord());
    QCOMPARE(h.stored(u"ID"_s).size(), 2);

    ContactEditing::Outcome out = e.remove();
    QVERIFY(bool(out));
    QVERIFY(!out.close);
    QVERIFY(!e.isNewRecord());
    QCOMPARE(e.text(Field::Surname), u"Starší"_s);
    QVERIFY(e.back().close);
    QCOMPARE(h.stored(u"Prijmeni"_s), QStringList{u"Starší"_s});
    QCOMPARE(h.working(u"Prijmeni"_s), QStringList{u"Starší"_s});

    // Deleting the last row closes the editor.
    e.open();
    out = e.remove();
    QVERIFY(out.close);
    QCOMPARE(h.stored(u"ID"_s), QStringList{});
}

// When no personal record has the working row's ID, nothing else is written:
// save says so and keeps the values, delete takes only the working row.
void TestContactEditing::recordMissing() {
    Harness h;
    h.addSurnames(1, 3);
    h.search.listAll(10);
    h.personal->execute(u"DELETE * FROM Vlastni WHERE ID = 1"_s, db::Database::FailOnError);
    const QStringList before = h.snapshot();
    ContactEditing& e = h.editing;
    e.open();
    e.setText(Field::Surname, u"Ztracený"_s);
    const ContactEditing::Outcome out = e.save();
    QCOMPARE(out.result, Result::Failed);
    QVERIFY(!out.close);
    QCOMPARE(e.text(Field::Surname), u"Ztracený"_s);
    QCOMPARE(h.snapshot(), before);

    QVERIFY(e.remove());
    QCOMPARE(h.snapshot(), before);
    QCOMPARE(h.working(u"ID"_s), (QStringList{u"2"_s, u"3"_s}));
    QCOMPARE(e.text(Field::Surname), Harness::surname(2));
}

void TestContactEditing::closeQuestion() {
    Harness h;
    h.add(kBoth);
    h.search.listAll(10);
    ContactEditing& e = h.editing;
    e.open();
    QVERIFY(!e.asksBeforeClosing());
    e.selectKind(AddressKind::Other);
    QVERIFY(!e.asksBeforeClosing());
    e.setText(Field::Info, u"Poznámka"_s);
    QVERIFY(e.asksBeforeClosing());
    QVERIFY(e.save().close);
    QVERIFY(!e.asksBeforeClosing());
    e.closed();
    QCOMPARE(e.selectedKind(), std::nullopt);

    // Back discards what was typed.
    e.open();
    e.setText(Field::Firm, u"Zahozená"_s);
    QVERIFY(e.back().close);
    QCOMPARE(e.text(Field::Firm), QString());
    QCOMPARE(h.stored(u"Firma"_s), QStringList{QString()});
    QCOMPARE(h.stored(u"Info"_s), QStringList{u"Poznámka"_s});
}

QTEST_GUILESS_MAIN(TestContactEditing)
#include "tst_contactediting.moc"
