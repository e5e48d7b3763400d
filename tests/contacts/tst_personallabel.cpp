#include "PersonalLabel.h"

#include "Database.h"
#include "Dataset.h"
#include "OwnDatabases.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace personal_label;

Q_DECLARE_METATYPE(PersonalRecord)
Q_DECLARE_METATYPE(record_label::Address)

namespace {

const QString k16 = QString(16, u' ');

PersonalRecord named(const char* surname, const char* firstName = "", const char* title = "") {
    PersonalRecord r;
    r.surname = QString::fromUtf8(surname);
    r.firstName = QString::fromUtf8(firstName);
    r.title = QString::fromUtf8(title);
    return r;
}

Address address(const char* street, const char* cp, const char* part, const char* town, const char* psc) {
    return {QString::fromUtf8(street), QString::fromUtf8(cp), QString::fromUtf8(part),
            QString::fromUtf8(town), QString::fromUtf8(psc)};
}

// The label as one text, every line ended by a line feed, so that a wrong
// blank or a missing line (also an empty one at the end) shows whole.
QString label(const PersonalRecord& r) {
    QString text;
    for (const QString& line : labelLines(r))
        text += line + u'\n';
    return text;
}

} // namespace

class TestPersonalLabel : public QObject {
    Q_OBJECT
  private slots:
    void nameAndFirm_data();
    void nameAndFirm();
    void phones_data();
    void phones();
    void addressBlock_data();
    void addressBlock();
    void addressGroups_data();
    void addressGroups();
    void internet_data();
    void internet();
    void scrollBar_data();
    void scrollBar();
    void copyAll_data();
    void copyAll();
    void copyAddressName_data();
    void copyAddressName();
    void copyAddressStreet_data();
    void copyAddressStreet();
    void copyNumbers_data();
    void copyNumbers();
    void recordFromRow();
};

void TestPersonalLabel::nameAndFirm_data() {
    QTest::addColumn<PersonalRecord>("record");
    QTest::addColumn<QString>("label");
    QTest::newRow("surname, first name and title")
        << named("Novák", "Jan", "Ing.") << u"Novák Jan, Ing.\n\n"_s;
    QTest::newRow("surname and first name") << named("Novák", "Jan") << u"Novák Jan\n\n"_s;
    QTest::newRow("surname and title") << named("Novák", "", "Ing.") << u"Novák, Ing.\n\n"_s;
    QTest::newRow("first name and title") << named("", "Jan", "Ing.") << u"Jan, Ing.\n\n"_s;
    QTest::newRow("surname alone") << named("Novák") << u"Novák\n\n"_s;
    QTest::newRow("first name alone") << named("", "Jan") << u"Jan\n\n"_s;
    QTest::newRow("title alone") << named("", "", "Ing.") << u"Ing.\n\n"_s;
    QTest::newRow("nothing at all") << PersonalRecord{} << QString();

    PersonalRecord firm = named("");
    firm.firmName = u"Kovo s.r.o."_s;
    QTest::newRow("firm alone") << firm << u"Firma:    Kovo s.r.o.\n\n"_s;
    firm.phones[4] = u"222 333 444"_s;
    QTest::newRow("firm and a work number") << firm << u"Firma:    Kovo s.r.o.\n\nTelefon:   222 333 444\n"_s;
    PersonalRecord both = named("Novák", "Jan");
    both.firmName = u"Kovo s.r.o."_s;
    QTest::newRow("name and firm") << both << u"Novák Jan\n\nFirma:    Kovo s.r.o.\n\n"_s;
    PersonalRecord blanks = named("Novák");
    blanks.firmName = u"  "_s;
    QTest::newRow("a firm of blanks is a value") << blanks << u"Novák\n\nFirma:      \n\n"_s;
}

void TestPersonalLabel::nameAndFirm() {
    QFETCH(PersonalRecord, record);
    QFETCH(QString, label);
    QCOMPARE(::label(record), label);
}

void TestPersonalLabel::phones_data() {
    QTest::addColumn<QList<int>>("filled"); // which of Tel_1 … Tel_6 hold a number
    QTest::addColumn<QString>("label");
    QTest::newRow("none") << QList<int>{} << u"Novák\n\n"_s;
    QTest::newRow("one, home 2") << QList<int>{4} << u"Novák\n\nTelefon:   604 000 004\n"_s;
    QTest::newRow("two with gaps, in column order")
        << QList<int>{6, 2} << u"Novák\n\nTelefon:   602 000 002\n"_s + k16 + u"606 000 006\n"_s;
    QString six = u"Novák\n\nTelefon:   601 000 001"_s;
    for (int i = 2; i <= 6; ++i)
        six += u'\n' + k16 + u"60%1 000 00%1"_s.arg(i);
    six += u'\n';
    QTest::newRow("all six") << QList<int>{1, 2, 3, 4, 5, 6} << six;
}

void TestPersonalLabel::phones() {
    QFETCH(QList<int>, filled);
    QFETCH(QString, label);
    PersonalRecord r = named("Novák");
    for (int column : filled)
        r.phones[column - 1] = u"60%1 000 00%1"_s.arg(column);
    QCOMPARE(::label(r), label);
}

void TestPersonalLabel::addressBlock_data() {
    QTest::addColumn<Address>("home");
    QTest::addColumn<QString>("block"); // the lines after the name, its empty line and the group's empty line
    QTest::newRow("street, number, part, code and town")
        << address("Polní", "12", "Lhota", "Kolín", "280 02")
        << u"Adresa:    Polní 12\n"_s + k16 + u"Lhota\n280 02     Kolín\n"_s;
    QTest::newRow("street without part")
        << address("Polní", "12", "", "Kolín", "280 02") << u"Adresa:    Polní 12\n280 02     Kolín\n"_s;
    QTest::newRow("street without number keeps its blank")
        << address("Polní", "", "", "Kolín", "") << u"Adresa:    Polní \n"_s + k16 + u"Kolín\n"_s;
    QTest::newRow("number with part")
        << address("", "12", "Lhota", "Kolín", "280 02") << u"Adresa:    Lhota 12\n280 02     Kolín\n"_s;
    QTest::newRow("number with town")
        << address("", "12", "", "Kolín", "280 02") << u"Adresa:    Kolín 12\n280 02     Kolín\n"_s;
    QTest::newRow("number with neither part nor town")
        << address("", "12", "", "", "280 02") << u"280 02\n"_s;
    QTest::newRow("number alone: only the empty line") << address("", "12", "", "", "") << QString();
    QTest::newRow("no street, no number: code and town")
        << address("", "", "", "Kolín", "280 02") << u"Adresa:\n280 02     Kolín\n"_s;
    QTest::newRow("only a town") << address("", "", "", "Kolín", "") << u"Adresa:\n"_s + k16 + u"Kolín\n"_s;
    QTest::newRow("only a code") << address("", "", "", "", "280 02") << u"Adresa:\n280 02\n"_s;
    QTest::newRow("only a part, which is not shown") << address("", "", "Lhota", "", "") << u"Adresa:\n"_s;
    QTest::newRow("street, neither code nor town")
        << address("Polní", "12", "", "", "") << u"Adresa:    Polní 12\n"_s;
}

void TestPersonalLabel::addressBlock() {
    QFETCH(Address, home);
    QFETCH(QString, block);
    PersonalRecord r = named("Novák");
    r.home = home;
    QCOMPARE(::label(r), u"Novák\n\n\n"_s + block);
}

void TestPersonalLabel::addressGroups_data() {
    QTest::addColumn<PersonalRecord>("record");
    QTest::addColumn<QString>("label");
    const Address home = address("Polní", "12", "", "Kolín", "280 02");
    const Address work = address("Dlouhá", "5", "", "Brno", "602 00");
    const Address other = address("", "", "", "Praha", "");
    PersonalRecord all = named("Novák");
    all.phones[0] = u"603 123 456"_s;
    all.home = home;
    all.work = work;
    all.other = other;
    all.current = work; // not shown in the label
    QTest::newRow("all three in order")
        << all
        << u"Novák\n\nTelefon:   603 123 456\n\nAdresa:    Polní 12\n280 02     Kolín\n\n"
           "Adresa:    Dlouhá 5\n602 00     Brno\n\nAdresa:\n"_s +
               k16 + u"Praha\n"_s;
    PersonalRecord workOnly = named("Novák");
    workOnly.work = work;
    QTest::newRow("work only") << workOnly << u"Novák\n\n\nAdresa:    Dlouhá 5\n602 00     Brno\n"_s;
    PersonalRecord otherOnly = named("Novák");
    otherOnly.other = other;
    QTest::newRow("other only") << otherOnly << u"Novák\n\n\nAdresa:\n"_s + k16 + u"Praha\n"_s;
    PersonalRecord currentOnly = named("Novák");
    currentOnly.current = home;
    QTest::newRow("the current-address group is not a fourth group") << currentOnly << u"Novák\n\n"_s;
}

void TestPersonalLabel::addressGroups() {
    QFETCH(PersonalRecord, record);
    QFETCH(QString, label);
    QCOMPARE(::label(record), label);
}

void TestPersonalLabel::internet_data() {
    QTest::addColumn<QStringList>("values"); // Internet, E-mail_1, E-mail_2, E-mail_3
    QTest::addColumn<QString>("label");
    QTest::newRow("none") << QStringList{{}, {}, {}, {}} << u"Novák\n\n"_s;
    QTest::newRow("web address only")
        << QStringList{u"www.novak.cz"_s, {}, {}, {}} << u"Novák\n\n\nInternet:\nwww.novak.cz\n"_s;
    QTest::newRow("second e-mail only")
        << QStringList{{}, {}, u"jan@novak.cz"_s, {}} << u"Novák\n\n\nInternet:\njan@novak.cz\n"_s;
    QTest::newRow("all four in order")
        << QStringList{u"www.novak.cz"_s, u"a@novak.cz"_s, u"b@novak.cz"_s, u"c@novak.cz"_s}
        << u"Novák\n\n\nInternet:\nwww.novak.cz\na@novak.cz\nb@novak.cz\nc@novak.cz\n"_s;
}

void TestPersonalLabel::internet() {
    QFETCH(QStringList, values);
    QFETCH(QString, label);
    PersonalRecord r = named("Novák");
    r.internet = values[0];
    r.emails = {values[1], values[2], values[3]};
    QCOMPARE(::label(r), label);
}

void TestPersonalLabel::scrollBar_data() {
    QTest::addColumn<int>("phoneCount");
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<bool>("scrolls");
    // name, empty line, the numbers, empty line, "Adresa:", the town
    QTest::newRow("ten lines") << 5 << 10 << false;
    QTest::newRow("eleven lines") << 6 << 11 << true;
}

void TestPersonalLabel::scrollBar() {
    QFETCH(int, phoneCount);
    QFETCH(int, lineCount);
    QFETCH(bool, scrolls);
    PersonalRecord r = named("Novák");
    for (int i = 0; i < phoneCount; ++i)
        r.phones[i] = u"603 123 45%1"_s.arg(i);
    r.home.municipality = u"Kolín"_s;
    const QStringList shown = labelLines(r);
    QCOMPARE(shown.size(), lineCount);
    QCOMPARE(needsScrollBar(shown), scrolls);
}

void TestPersonalLabel::copyAll_data() {
    QTest::addColumn<PersonalRecord>("record");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty label copies nothing") << PersonalRecord{} << QString();
    PersonalRecord r = named("Novák", "Jan", "Ing.");
    r.firmName = u"Kovo s.r.o."_s;
    r.phones[1] = u"603 123 456"_s;
    r.phones[4] = u"222 333 444"_s;
    r.work = address("Dlouhá", "5", "Zábrdovice", "Brno", "602 00");
    r.emails[0] = u"jan@kovo.cz"_s;
    QTest::newRow("every block")
        << r
        << u"Novák Jan, Ing.\r\n\r\nFirma:    Kovo s.r.o.\r\n\r\nTelefon:   603 123 456\r\n"_s + k16 +
               u"222 333 444\r\n\r\nAdresa:    Dlouhá 5\r\n"_s + k16 +
               u"Zábrdovice\r\n602 00     Brno\r\n\r\nInternet:\r\njan@kovo.cz\r\n"_s;
}

void TestPersonalLabel::copyAll() {
    QFETCH(PersonalRecord, record);
    QFETCH(QString, text);
    QCOMPARE(copyAllText(labelLines(record)), text);
}

void TestPersonalLabel::copyAddressName_data() {
    QTest::addColumn<PersonalRecord>("record");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    PersonalRecord r = named("Novák", "Jan", "Ing.");
    r.firmName = u"Kovo s.r.o."_s;
    r.home = address("Polní", "12", "", "Kolín", "280 02"); // only the current group is copied
    r.current = address("Dlouhá", "5", "", "Brno", "602 00");
    const QString street = u"Dlouhá 5\r\n602 00   Brno\r\n\r\n"_s;
    QTest::newRow("domu: the person") << r << u"domu"_s << u"Novák Jan, Ing.\r\n"_s + street;
    QTest::newRow("empty kind counts as domu") << r << QString() << u"Novák Jan, Ing.\r\n"_s + street;
    QTest::newRow("zam: the firm") << r << u"zam"_s << u"Kovo s.r.o.\r\n"_s + street;
    QTest::newRow("jine with a surname: the person") << r << u"jine"_s << u"Novák Jan, Ing.\r\n"_s + street;
    QTest::newRow("unknown kind: no name part") << r << u"xyz"_s << street;

    PersonalRecord untitled = r;
    untitled.title.clear();
    QTest::newRow("domu without title") << untitled << u"domu"_s << u"Novák Jan\r\n"_s + street;
    PersonalRecord noFirst = r;
    noFirst.firstName.clear();
    QTest::newRow("domu without first name keeps the blank")
        << noFirst << u"domu"_s << u"Novák , Ing.\r\n"_s + street;
    PersonalRecord firmOnly = named("");
    firmOnly.firmName = u"Kovo s.r.o."_s;
    firmOnly.current = r.current;
    QTest::newRow("domu with no name still has its line") << firmOnly << u"domu"_s << u" \r\n"_s + street;
    QTest::newRow("jine without a surname: the firm")
        << firmOnly << u"jine"_s << u"Kovo s.r.o.\r\n"_s + street;
    PersonalRecord firstNameOnly = named("", "Jan");
    firstNameOnly.current = r.current;
    QTest::newRow("jine with neither surname nor firm") << firstNameOnly << u"jine"_s << street;
    QTest::newRow("zam without a firm") << firstNameOnly << u"zam"_s << street;
    PersonalRecord nothing = named("Novák");
    QTest::newRow("zam without firm or address copies nothing") << nothing << u"zam"_s << QString();
    QTest::newRow("domu without an address: the name") << nothing << u"domu"_s << u"Novák \r\n\r\n"_s;
}

void TestPersonalLabel::copyAddressName() {
    QFETCH(PersonalRecord, record);
    QFETCH(QString, kind);
    QFETCH(QString, text);
    record.addressKind = kind;
    QCOMPARE(addressClipboardText(addressLines(record)), text);
}

void TestPersonalLabel::copyAddressStreet_data() {
    QTest::addColumn<Address>("current");
    QTest::addColumn<QString>("text"); // after the name line
    QTest::newRow("street with part, code and town") << address("Polní", "12", "Lhota", "Kolín", "280 02")
                                                     << u"Polní 12\r\nLhota\r\n280 02   Kolín\r\n\r\n"_s;
    QTest::newRow("street without number") << address("Polní", "", "", "", "") << u"Polní \r\n\r\n"_s;
    QTest::newRow("number with part")
        << address("", "12", "Lhota", "Kolín", "") << u"Lhota 12\r\nKolín\r\n\r\n"_s;
    QTest::newRow("number with town")
        << address("", "12", "", "Kolín", "280 02") << u"Kolín 12\r\n280 02   Kolín\r\n\r\n"_s;
    QTest::newRow("number alone") << address("", "12", "", "", "280 02") << u"280 02\r\n\r\n"_s;
    QTest::newRow("town before code when not both") << address("", "", "", "Kolín", "") << u"Kolín\r\n\r\n"_s;
    QTest::newRow("code alone") << address("", "", "Lhota", "", "280 02") << u"280 02\r\n\r\n"_s;
    QTest::newRow("no address") << Address{} << u"\r\n"_s;
}

void TestPersonalLabel::copyAddressStreet() {
    QFETCH(Address, current);
    QFETCH(QString, text);
    PersonalRecord r = named("Novák", "Jan");
    r.addressKind = u"domu"_s;
    r.current = current;
    QCOMPARE(addressClipboardText(addressLines(r)), u"Novák Jan\r\n"_s + text);
}

void TestPersonalLabel::copyNumbers_data() {
    QTest::addColumn<QList<int>>("filled"); // which of Tel_1 … Tel_6 hold a number
    QTest::addColumn<QStringList>("offered");
    QTest::addColumn<QString>("allTicked");
    QTest::newRow("none") << QList<int>{} << QStringList{} << QString();
    QTest::newRow("one: bare digits, no line break")
        << QList<int>{3} << QStringList{u"603 000 003"_s} << u"603000003"_s;
    QTest::newRow("two: one per line, then an empty line")
        << QList<int>{5, 1} << QStringList{u"601 000 001"_s, u"605 000 005"_s}
        << u"601000001\r\n605000005\r\n\r\n"_s;
    QTest::newRow("all six")
        << QList<int>{1, 2, 3, 4, 5, 6} << QStringList{u"601 000 001"_s, u"602 000 002"_s, u"603 000 003"_s,
                                                       u"604 000 004"_s, u"605 000 005"_s, u"606 000 006"_s}
        << u"601000001\r\n602000002\r\n603000003\r\n604000004\r\n605000005\r\n606000006\r\n\r\n"_s;
}

void TestPersonalLabel::copyNumbers() {
    QFETCH(QList<int>, filled);
    QFETCH(QStringList, offered);
    QFETCH(QString, allTicked);
    PersonalRecord r;
    for (int column : filled)
        r.phones[column - 1] = u"60%1 000 00%1"_s.arg(column);
    QCOMPARE(numbers(r), offered);
    QCOMPARE(numbersClipboardText(offered), allTicked);
    // A number typed with a run of blanks is copied whole: it carries no note.
    QCOMPARE(numbersClipboardText({u"+420   603 123"_s}), u"+420603123"_s);
}

void TestPersonalLabel::recordFromRow() {
    QTemporaryDir dir;
    db::Engine engine;
    db::OpenOptions options;
    options.disposable = true;
    auto database = engine.defaultWorkspace().createDatabase(dir.filePath(QStringLiteral("p.mdb")),
                                                             db::kCzechLocale, options);
    database->defineTable(db::layouts::personalResult());

    db::Dataset row;
    row.setDatabase(database.get());
    row.setSql(QStringLiteral("SELECT * FROM vlastni ORDER BY ID2"));
    row.open();
    const auto put = [&](int id2, const QList<std::pair<QString, QString>>& values) {
        row.append();
        row.setValue(QStringLiteral("ID2"), id2);
        for (const auto& [column, value] : values)
            row.setValue(column, value);
        row.post();
    };
    QList<std::pair<QString, QString>> full{{u"Titul_1"_s, u"Ing."_s},
                                            {u"Jmeno_1"_s, u"Jan"_s},
                                            {u"Prijmeni"_s, u"Novák"_s},
                                            {u"Firma"_s, u"Kovo"_s},
                                            {u"Internet"_s, u"www.kovo.cz"_s},
                                            {u"zobraz_adr"_s, u"zam"_s},
                                            {u"Ulice"_s, u"Dlouhá"_s},
                                            {u"CP"_s, u"5"_s},
                                            {u"Cast"_s, u"Zábrdovice"_s},
                                            {u"Obec"_s, u"Brno"_s},
                                            {u"PSC"_s, u"602 00"_s}};
    for (int i = 1; i <= 6; ++i)
        full.append({u"Tel_%1"_s.arg(i), u"60%1 000 000"_s.arg(i)});
    for (int i = 1; i <= 3; ++i)
        full.append({u"E-mail_%1"_s.arg(i), u"%1@kovo.cz"_s.arg(i)});
    const QStringList prefixes{u"domu_"_s, u"zam_"_s, u"jine_"_s};
    // Postal codes hold six characters at most.
    for (int g = 0; g < 3; ++g) {
        for (const char* column : {"Ulice", "CP", "Cast", "Obec"})
            full.append({prefixes[g] + QString::fromUtf8(column), prefixes[g] + QString::fromUtf8(column)});
        full.append({prefixes[g] + u"PSC"_s, u"100 0%1"_s.arg(g)});
    }
    put(1, full);
    put(2, {{u"Prijmeni"_s, u"Dvořák"_s}, {u"domu_Stat"_s, u"Česko"_s}, {u"Stat"_s, u"Česko"_s}});
    row.close();
    row.open();

    row.first();
    const PersonalRecord r = personal_label::recordFromRow(row);
    QCOMPARE(r.title, u"Ing."_s);
    QCOMPARE(r.firstName, u"Jan"_s);
    QCOMPARE(r.surname, u"Novák"_s);
    QCOMPARE(r.firmName, u"Kovo"_s);
    for (int i = 0; i < 6; ++i)
        QCOMPARE(r.phones[i], u"60%1 000 000"_s.arg(i + 1));
    const std::array<const Address*, 3> groups{&r.home, &r.work, &r.other};
    for (int g = 0; g < 3; ++g) {
        const QString& k = prefixes[g];
        QCOMPARE(groups[g]->street, k + u"Ulice"_s);
        QCOMPARE(groups[g]->houseNumber, k + u"CP"_s);
        QCOMPARE(groups[g]->part, k + u"Cast"_s);
        QCOMPARE(groups[g]->municipality, k + u"Obec"_s);
        QCOMPARE(groups[g]->postalCode, u"100 0%1"_s.arg(g));
    }
    QCOMPARE(r.current.street, u"Dlouhá"_s);
    QCOMPARE(r.current.houseNumber, u"5"_s);
    QCOMPARE(r.current.part, u"Zábrdovice"_s);
    QCOMPARE(r.current.municipality, u"Brno"_s);
    QCOMPARE(r.current.postalCode, u"602 00"_s);
    QCOMPARE(r.internet, u"www.kovo.cz"_s);
    QCOMPARE(QStringList(r.emails.begin(), r.emails.end()),
             (QStringList{u"1@kovo.cz"_s, u"2@kovo.cz"_s, u"3@kovo.cz"_s}));
    QCOMPARE(r.addressKind, u"zam"_s);

    // Null columns read as absent; a country alone makes no address block.
    row.next();
    const PersonalRecord sparse = personal_label::recordFromRow(row);
    QCOMPARE(sparse.surname, u"Dvořák"_s);
    QCOMPARE(label(sparse), u"Dvořák\n\n"_s);
    QCOMPARE(addressClipboardText(addressLines(sparse)), u"Dvořák \r\n\r\n"_s);
}

QTEST_GUILESS_MAIN(TestPersonalLabel)
#include "tst_personallabel.moc"
