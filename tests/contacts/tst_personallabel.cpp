#include "PersonalLabel.h"

#include "Database.h"
#include "Dataset.h"
#include "OwnDatabases.h"

#include <QTemporaryDir>
#include <QTest>

using namespace personal_label;

Q_DECLARE_METATYPE(PersonalRecord)
Q_DECLARE_METATYPE(record_label::Address)

namespace {

const QString k16 = QString(16, u' ');

QString s(const char* text) {
    return QString::fromUtf8(text);
}

PersonalRecord named(const char* surname, const char* firstName = "", const char* title = "") {
    PersonalRecord r;
    r.surname = s(surname);
    r.firstName = s(firstName);
    r.title = s(title);
    return r;
}

Address address(const char* street, const char* cp, const char* part, const char* town, const char* psc) {
    return {s(street), s(cp), s(part), s(town), s(psc)};
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
        << named("Novák", "Jan", "Ing.") << s("Novák Jan, Ing.\n\n");
    QTest::newRow("surname and first name") << named("Novák", "Jan") << s("Novák Jan\n\n");
    QTest::newRow("surname and title") << named("Novák", "", "Ing.") << s("Novák, Ing.\n\n");
    QTest::newRow("first name and title") << named("", "Jan", "Ing.") << s("Jan, Ing.\n\n");
    QTest::newRow("surname alone") << named("Novák") << s("Novák\n\n");
    QTest::newRow("first name alone") << named("", "Jan") << s("Jan\n\n");
    QTest::newRow("title alone") << named("", "", "Ing.") << s("Ing.\n\n");
    QTest::newRow("nothing at all") << PersonalRecord{} << QString();

    PersonalRecord firm = named("");
    firm.firmName = s("Kovo s.r.o.");
    QTest::newRow("firm alone") << firm << s("Firma:    Kovo s.r.o.\n\n");
    firm.phones[4] = s("222 333 444");
    QTest::newRow("firm and a work number") << firm << s("Firma:    Kovo s.r.o.\n\nTelefon:   222 333 444\n");
    PersonalRecord both = named("Novák", "Jan");
    both.firmName = s("Kovo s.r.o.");
    QTest::newRow("name and firm") << both << s("Novák Jan\n\nFirma:    Kovo s.r.o.\n\n");
    PersonalRecord blanks = named("Novák");
    blanks.firmName = s("  ");
    QTest::newRow("a firm of blanks is a value") << blanks << s("Novák\n\nFirma:      \n\n");
}

void TestPersonalLabel::nameAndFirm() {
    QFETCH(PersonalRecord, record);
    QFETCH(QString, label);
    QCOMPARE(::label(record), label);
}

void TestPersonalLabel::phones_data() {
    QTest::addColumn<QList<int>>("filled"); // which of Tel_1 … Tel_6 hold a number
    QTest::addColumn<QString>("label");
    QTest::newRow("none") << QList<int>{} << s("Novák\n\n");
    QTest::newRow("one, home 2") << QList<int>{4} << s("Novák\n\nTelefon:   604 000 004\n");
    QTest::newRow("two with gaps, in column order")
        << QList<int>{6, 2} << s("Novák\n\nTelefon:   602 000 002\n") + k16 + s("606 000 006\n");
    QString six = s("Novák\n\nTelefon:   601 000 001");
    for (int i = 2; i <= 6; ++i)
        six += u'\n' + k16 + s("60%1 000 00%1").arg(i);
    six += u'\n';
    QTest::newRow("all six") << QList<int>{1, 2, 3, 4, 5, 6} << six;
}

void TestPersonalLabel::phones() {
    QFETCH(QList<int>, filled);
    QFETCH(QString, label);
    PersonalRecord r = named("Novák");
    for (int column : filled)
        r.phones[column - 1] = s("60%1 000 00%1").arg(column);
    QCOMPARE(::label(r), label);
}

void TestPersonalLabel::addressBlock_data() {
    QTest::addColumn<Address>("home");
    QTest::addColumn<QString>("block"); // the lines after the name, its empty line and the group's empty line
    QTest::newRow("street, number, part, code and town")
        << address("Polní", "12", "Lhota", "Kolín", "280 02")
        << s("Adresa:    Polní 12\n") + k16 + s("Lhota\n280 02     Kolín\n");
    QTest::newRow("street without part")
        << address("Polní", "12", "", "Kolín", "280 02") << s("Adresa:    Polní 12\n280 02     Kolín\n");
    QTest::newRow("street without number keeps its blank")
        << address("Polní", "", "", "Kolín", "") << s("Adresa:    Polní \n") + k16 + s("Kolín\n");
    QTest::newRow("number with part")
        << address("", "12", "Lhota", "Kolín", "280 02") << s("Adresa:    Lhota 12\n280 02     Kolín\n");
    QTest::newRow("number with town")
        << address("", "12", "", "Kolín", "280 02") << s("Adresa:    Kolín 12\n280 02     Kolín\n");
    QTest::newRow("number with neither part nor town")
        << address("", "12", "", "", "280 02") << s("280 02\n");
    QTest::newRow("number alone: only the empty line") << address("", "12", "", "", "") << QString();
    QTest::newRow("no street, no number: code and town")
        << address("", "", "", "Kolín", "280 02") << s("Adresa:\n280 02     Kolín\n");
    QTest::newRow("only a town") << address("", "", "", "Kolín", "") << s("Adresa:\n") + k16 + s("Kolín\n");
    QTest::newRow("only a code") << address("", "", "", "", "280 02") << s("Adresa:\n280 02\n");
    QTest::newRow("only a part, which is not shown") << address("", "", "Lhota", "", "") << s("Adresa:\n");
    QTest::newRow("street, neither code nor town")
        << address("Polní", "12", "", "", "") << s("Adresa:    Polní 12\n");
}

void TestPersonalLabel::addressBlock() {
    QFETCH(Address, home);
    QFETCH(QString, block);
    PersonalRecord r = named("Novák");
    r.home = home;
    QCOMPARE(::label(r), s("Novák\n\n\n") + block);
}

void TestPersonalLabel::addressGroups_data() {
    QTest::addColumn<PersonalRecord>("record");
    QTest::addColumn<QString>("label");
    const Address home = address("Polní", "12", "", "Kolín", "280 02");
    const Address work = address("Dlouhá", "5", "", "Brno", "602 00");
    const Address other = address("", "", "", "Praha", "");
    PersonalRecord all = named("Novák");
    all.phones[0] = s("603 123 456");
    all.home = home;
    all.work = work;
    all.other = other;
    all.current = work; // not shown in the label
    QTest::newRow("all three in order")
        << all
        << s("Novák\n\nTelefon:   603 123 456\n\nAdresa:    Polní 12\n280 02     Kolín\n\n"
             "Adresa:    Dlouhá 5\n602 00     Brno\n\nAdresa:\n") +
               k16 + s("Praha\n");
    PersonalRecord workOnly = named("Novák");
    workOnly.work = work;
    QTest::newRow("work only") << workOnly << s("Novák\n\n\nAdresa:    Dlouhá 5\n602 00     Brno\n");
    PersonalRecord otherOnly = named("Novák");
    otherOnly.other = other;
    QTest::newRow("other only") << otherOnly << s("Novák\n\n\nAdresa:\n") + k16 + s("Praha\n");
    PersonalRecord currentOnly = named("Novák");
    currentOnly.current = home;
    QTest::newRow("the current-address group is not a fourth group") << currentOnly << s("Novák\n\n");
}

void TestPersonalLabel::addressGroups() {
    QFETCH(PersonalRecord, record);
    QFETCH(QString, label);
    QCOMPARE(::label(record), label);
}

void TestPersonalLabel::internet_data() {
    QTest::addColumn<QStringList>("values"); // Internet, E-mail_1, E-mail_2, E-mail_3
    QTest::addColumn<QString>("label");
    QTest::newRow("none") << QStringList{{}, {}, {}, {}} << s("Novák\n\n");
    QTest::newRow("web address only")
        << QStringList{s("www.novak.cz"), {}, {}, {}} << s("Novák\n\n\nInternet:\nwww.novak.cz\n");
    QTest::newRow("second e-mail only")
        << QStringList{{}, {}, s("jan@novak.cz"), {}} << s("Novák\n\n\nInternet:\njan@novak.cz\n");
    QTest::newRow("all four in order")
        << QStringList{s("www.novak.cz"), s("a@novak.cz"), s("b@novak.cz"), s("c@novak.cz")}
        << s("Novák\n\n\nInternet:\nwww.novak.cz\na@novak.cz\nb@novak.cz\nc@novak.cz\n");
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
        r.phones[i] = s("603 123 45%1").arg(i);
    r.home.municipality = s("Kolín");
    const QStringList shown = labelLines(r);
    QCOMPARE(shown.size(), lineCount);
    QCOMPARE(needsScrollBar(shown), scrolls);
}

void TestPersonalLabel::copyAll_data() {
    QTest::addColumn<PersonalRecord>("record");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty label copies nothing") << PersonalRecord{} << QString();
    PersonalRecord r = named("Novák", "Jan", "Ing.");
    r.firmName = s("Kovo s.r.o.");
    r.phones[1] = s("603 123 456");
    r.phones[4] = s("222 333 444");
    r.work = address("Dlouhá", "5", "Zábrdovice", "Brno", "602 00");
    r.emails[0] = s("jan@kovo.cz");
    QTest::newRow("every block")
        << r
        << s("Novák Jan, Ing.\r\n\r\nFirma:    Kovo s.r.o.\r\n\r\nTelefon:   603 123 456\r\n") + k16 +
               s("222 333 444\r\n\r\nAdresa:    Dlouhá 5\r\n") + k16 +
               s("Zábrdovice\r\n602 00     Brno\r\n\r\nInternet:\r\njan@kovo.cz\r\n");
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
    r.firmName = s("Kovo s.r.o.");
    r.home = address("Polní", "12", "", "Kolín", "280 02"); // only the current group is copied
    r.current = address("Dlouhá", "5", "", "Brno", "602 00");
    const QString street = s("Dlouhá 5\r\n602 00   Brno\r\n\r\n");
    QTest::newRow("domu: the person") << r << s("domu") << s("Novák Jan, Ing.\r\n") + street;
    QTest::newRow("empty kind counts as domu") << r << QString() << s("Novák Jan, Ing.\r\n") + street;
    QTest::newRow("zam: the firm") << r << s("zam") << s("Kovo s.r.o.\r\n") + street;
    QTest::newRow("jine with a surname: the person") << r << s("jine") << s("Novák Jan, Ing.\r\n") + street;
    QTest::newRow("unknown kind: no name part") << r << s("xyz") << street;

    PersonalRecord untitled = r;
    untitled.title.clear();
    QTest::newRow("domu without title") << untitled << s("domu") << s("Novák Jan\r\n") + street;
    PersonalRecord noFirst = r;
    noFirst.firstName.clear();
    QTest::newRow("domu without first name keeps the blank")
        << noFirst << s("domu") << s("Novák , Ing.\r\n") + street;
    PersonalRecord firmOnly = named("");
    firmOnly.firmName = s("Kovo s.r.o.");
    firmOnly.current = r.current;
    QTest::newRow("domu with no name still has its line") << firmOnly << s("domu") << s(" \r\n") + street;
    QTest::newRow("jine without a surname: the firm")
        << firmOnly << s("jine") << s("Kovo s.r.o.\r\n") + street;
    PersonalRecord firstNameOnly = named("", "Jan");
    firstNameOnly.current = r.current;
    QTest::newRow("jine with neither surname nor firm") << firstNameOnly << s("jine") << street;
    QTest::newRow("zam without a firm") << firstNameOnly << s("zam") << street;
    PersonalRecord nothing = named("Novák");
    QTest::newRow("zam without firm or address copies nothing") << nothing << s("zam") << QString();
    QTest::newRow("domu without an address: the name") << nothing << s("domu") << s("Novák \r\n\r\n");
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
                                                     << s("Polní 12\r\nLhota\r\n280 02   Kolín\r\n\r\n");
    QTest::newRow("street without number") << address("Polní", "", "", "", "") << s("Polní \r\n\r\n");
    QTest::newRow("number with part")
        << address("", "12", "Lhota", "Kolín", "") << s("Lhota 12\r\nKolín\r\n\r\n");
    QTest::newRow("number with town")
        << address("", "12", "", "Kolín", "280 02") << s("Kolín 12\r\n280 02   Kolín\r\n\r\n");
    QTest::newRow("number alone") << address("", "12", "", "", "280 02") << s("280 02\r\n\r\n");
    QTest::newRow("town before code when not both") << address("", "", "", "Kolín", "") << s("Kolín\r\n\r\n");
    QTest::newRow("code alone") << address("", "", "Lhota", "", "280 02") << s("280 02\r\n\r\n");
    QTest::newRow("no address") << Address{} << s("\r\n");
}

void TestPersonalLabel::copyAddressStreet() {
    QFETCH(Address, current);
    QFETCH(QString, text);
    PersonalRecord r = named("Novák", "Jan");
    r.addressKind = s("domu");
    r.current = current;
    QCOMPARE(addressClipboardText(addressLines(r)), s("Novák Jan\r\n") + text);
}

void TestPersonalLabel::copyNumbers_data() {
    QTest::addColumn<QList<int>>("filled"); // which of Tel_1 … Tel_6 hold a number
    QTest::addColumn<QStringList>("offered");
    QTest::addColumn<QString>("allTicked");
    QTest::newRow("none") << QList<int>{} << QStringList{} << QString();
    QTest::newRow("one: bare digits, no line break")
        << QList<int>{3} << QStringList{s("603 000 003")} << s("603000003");
    QTest::newRow("two: one per line, then an empty line")
        << QList<int>{5, 1} << QStringList{s("601 000 001"), s("605 000 005")}
        << s("601000001\r\n605000005\r\n\r\n");
    QTest::newRow("all six")
        << QList<int>{1, 2, 3, 4, 5, 6} << QStringList{s("601 000 001"), s("602 000 002"), s("603 000 003"),
                                                       s("604 000 004"), s("605 000 005"), s("606 000 006")}
        << s("601000001\r\n602000002\r\n603000003\r\n604000004\r\n605000005\r\n606000006\r\n\r\n");
}

void TestPersonalLabel::copyNumbers() {
    QFETCH(QList<int>, filled);
    QFETCH(QStringList, offered);
    QFETCH(QString, allTicked);
    PersonalRecord r;
    for (int column : filled)
        r.phones[column - 1] = s("60%1 000 00%1").arg(column);
    QCOMPARE(numbers(r), offered);
    QCOMPARE(numbersClipboardText(offered), allTicked);
    // A number typed with a run of blanks is copied whole: it carries no note.
    QCOMPARE(numbersClipboardText({s("+420   603 123")}), s("+420603123"));
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
    QList<std::pair<QString, QString>> full{{s("Titul_1"), s("Ing.")},
                                            {s("Jmeno_1"), s("Jan")},
                                            {s("Prijmeni"), s("Novák")},
                                            {s("Firma"), s("Kovo")},
                                            {s("Internet"), s("www.kovo.cz")},
                                            {s("zobraz_adr"), s("zam")},
                                            {s("Ulice"), s("Dlouhá")},
                                            {s("CP"), s("5")},
                                            {s("Cast"), s("Zábrdovice")},
                                            {s("Obec"), s("Brno")},
                                            {s("PSC"), s("602 00")}};
    for (int i = 1; i <= 6; ++i)
        full.append({s("Tel_%1").arg(i), s("60%1 000 000").arg(i)});
    for (int i = 1; i <= 3; ++i)
        full.append({s("E-mail_%1").arg(i), s("%1@kovo.cz").arg(i)});
    const QStringList prefixes{s("domu_"), s("zam_"), s("jine_")};
    // Postal codes hold six characters at most.
    for (int g = 0; g < 3; ++g) {
        for (const char* column : {"Ulice", "CP", "Cast", "Obec"})
            full.append({prefixes[g] + s(column), prefixes[g] + s(column)});
        full.append({prefixes[g] + s("PSC"), s("100 0%1").arg(g)});
    }
    put(1, full);
    put(2, {{s("Prijmeni"), s("Dvořák")}, {s("domu_Stat"), s("Česko")}, {s("Stat"), s("Česko")}});
    row.close();
    row.open();

    row.first();
    const PersonalRecord r = personal_label::recordFromRow(row);
    QCOMPARE(r.title, s("Ing."));
    QCOMPARE(r.firstName, s("Jan"));
    QCOMPARE(r.surname, s("Novák"));
    QCOMPARE(r.firmName, s("Kovo"));
    for (int i = 0; i < 6; ++i)
        QCOMPARE(r.phones[i], s("60%1 000 000").arg(i + 1));
    const std::array<const Address*, 3> groups{&r.home, &r.work, &r.other};
    for (int g = 0; g < 3; ++g) {
        const QString& k = prefixes[g];
        QCOMPARE(groups[g]->street, k + s("Ulice"));
        QCOMPARE(groups[g]->houseNumber, k + s("CP"));
        QCOMPARE(groups[g]->part, k + s("Cast"));
        QCOMPARE(groups[g]->municipality, k + s("Obec"));
        QCOMPARE(groups[g]->postalCode, s("100 0%1").arg(g));
    }
    QCOMPARE(r.current.street, s("Dlouhá"));
    QCOMPARE(r.current.houseNumber, s("5"));
    QCOMPARE(r.current.part, s("Zábrdovice"));
    QCOMPARE(r.current.municipality, s("Brno"));
    QCOMPARE(r.current.postalCode, s("602 00"));
    QCOMPARE(r.internet, s("www.kovo.cz"));
    QCOMPARE(QStringList(r.emails.begin(), r.emails.end()),
             (QStringList{s("1@kovo.cz"), s("2@kovo.cz"), s("3@kovo.cz")}));
    QCOMPARE(r.addressKind, s("zam"));

    // Null columns read as absent; a country alone makes no address block.
    row.next();
    const PersonalRecord sparse = personal_label::recordFromRow(row);
    QCOMPARE(sparse.surname, s("Dvořák"));
    QCOMPARE(label(sparse), s("Dvořák\n\n"));
    QCOMPARE(addressClipboardText(addressLines(sparse)), s("Dvořák \r\n\r\n"));
}

QTEST_GUILESS_MAIN(TestPersonalLabel)
#include "tst_personallabel.moc"
