#include "RecordLabel.h"
#include "Scramble.h"

#include <QTest>

using namespace record_label;

Q_DECLARE_METATYPE(LabelRecord)
Q_DECLARE_METATYPE(QList<ExtraNumber>)

namespace {

const QString k16 = QString(16, u' ');

LabelRecord person(const QString& street, const QString& cp, const QString& part, const QString& town,
                   const QString& psc) {
    LabelRecord r;
    r.surname = QStringLiteral("Novák");
    r.firstName = QStringLiteral("Jan");
    r.tel = QStringLiteral("603 123 456");
    r.street = street;
    r.houseNumber = cp;
    r.part = part;
    r.municipality = town;
    r.postalCode = psc;
    return r;
}

LabelRecord firm(const QString& note) {
    LabelRecord r;
    r.firm = true;
    r.firmName = QStringLiteral("Kovo s.r.o.");
    r.tel = QStringLiteral("222 333 444");
    r.note = note;
    r.street = QStringLiteral("Dlouhá");
    r.houseNumber = QStringLiteral("5");
    r.municipality = QStringLiteral("Brno");
    r.postalCode = QStringLiteral("602 00");
    return r;
}

LabelRecord withKey(LabelRecord r) {
    r.euroIsdn = QStringLiteral("1001");
    return r;
}

// The stored form of a plain number: four plain digits and the rest scrambled
// with the row's ID (scrambling and unscrambling are the same operation).
QStringList storedForm(const QString& plain, const QString& id) {
    const QString stored = phone::unscramble(plain, id);
    return {stored.left(4), stored.mid(4)};
}

} // namespace

class TestRecordLabel : public QObject {
    Q_OBJECT
  private slots:
    void extraNumberFromStored_data();
    void extraNumberFromStored();
    void extraNumberFromTel();
    void euroIsdnMark_data();
    void euroIsdnMark();
    void names_data();
    void names();
    void labelAddress_data();
    void labelAddress();
    void labelNumbers_data();
    void labelNumbers();
    void firmNoteBlock_data();
    void firmNoteBlock();
    void scrollBar_data();
    void scrollBar();
    void copyAll_data();
    void copyAll();
    void pickerItems_data();
    void pickerItems();
    void numbersClipboard_data();
    void numbersClipboard();
    void addressCopy_data();
    void addressCopy();
    void extraNumbersSql_data();
    void extraNumbersSql();
    void mapQuery_data();
    void mapQuery();
};

void TestRecordLabel::extraNumberFromStored_data() {
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("grouped");
    QTest::newRow("nine digits") << QStringLiteral("603123456") << QStringLiteral("4711")
                                 << QStringLiteral("603 123 456");
    QTest::newRow("one-digit id") << QStringLiteral("222333444") << QStringLiteral("7")
                                  << QStringLiteral("222 333 444");
    QTest::newRow("long id, ten digits")
        << QStringLiteral("6051234567") << QStringLiteral("123456789") << QStringLiteral("605 123 4567");
}

void TestRecordLabel::extraNumberFromStored() {
    QFETCH(QString, plain);
    QFETCH(QString, id);
    QFETCH(QString, grouped);
    const QStringList stored = storedForm(plain, id);
    QVERIFY(stored.join(QString()) != plain); // the test really goes through the scrambled form
    const ExtraNumber extra =
        record_label::extraNumberFromStored(stored[0], stored[1], id, QStringLiteral("fax"));
    QCOMPARE(extra.number, grouped);
    QCOMPARE(extra.note, QStringLiteral("fax"));
    QVERIFY(!extra.fromTelColumn);
}

void TestRecordLabel::extraNumberFromTel() {
    const ExtraNumber extra =
        record_label::extraNumberFromTel(QStringLiteral("420603123456"), QStringLiteral("mobil"));
    QCOMPARE(extra.number, QStringLiteral("420 603 123 456"));
    QCOMPARE(extra.note, QStringLiteral("mobil"));
    QVERIFY(extra.fromTelColumn);
}

void TestRecordLabel::euroIsdnMark_data() {
    QTest::addColumn<QString>("note");
    QTest::addColumn<bool>("marked");
    QTest::newRow("mixed case") << QStringLiteral("EuroISDN") << true;
    QTest::newRow("upper case") << QStringLiteral("EUROISDN") << true;
    QTest::newRow("lower case") << QStringLiteral("euroisdn") << true;
    QTest::newRow("inside a note") << QStringLiteral("linka eUrOiSdN 2") << true;
    QTest::newRow("with a blank") << QStringLiteral("Euro ISDN") << false;
    QTest::newRow("plain ISDN") << QStringLiteral("ISDN") << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("dotted capital I is not folded") << QStringLiteral("EURO\u0130SDN") << false;
    QTest::newRow("long s is not folded") << QStringLiteral("EUROI\u017FDN") << false;
}

void TestRecordLabel::euroIsdnMark() {
    QFETCH(QString, note);
    QFETCH(bool, marked);
    QCOMPARE(marksEuroIsdn(note), marked);

    LabelRecord p = person(QStringLiteral("Polní"), QStringLiteral("1"), {}, {}, {});
    p.note = note;
    QCOMPARE(labelLines(p, {}).at(2),
             QStringLiteral("Telefon:   603 123 456") + (marked ? QStringLiteral("   EuroISDN") : QString()));
    LabelRecord f = firm(note);
    QCOMPARE(labelLines(f, {}).at(2), QStringLiteral("Telefon:   222 333 444") +
                                          (marked ? QStringLiteral("    EuroISDN") : QString()));
}

void TestRecordLabel::names_data() {
    QTest::addColumn<LabelRecord>("record");
    QTest::addColumn<QString>("line");
    LabelRecord p = person({}, {}, {}, {}, {});
    QTest::newRow("person without title") << p << QStringLiteral("Novák Jan");
    p.title = QStringLiteral("Ing.");
    QTest::newRow("person with title") << p << QStringLiteral("Novák Jan, Ing.");
    p.firstName.clear();
    QTest::newRow("person without first name") << p << QStringLiteral("Novák , Ing.");
    LabelRecord f = firm({});
    f.title = QStringLiteral("Ing."); // ignored for firms
    QTest::newRow("firm") << f << QStringLiteral("Kovo s.r.o.");
}

void TestRecordLabel::names() {
    QFETCH(LabelRecord, record);
    QFETCH(QString, line);
    QCOMPARE(record_label::nameLine(record), line);
    QCOMPARE(labelLines(record, {}).first(), line);
    QCOMPARE(addressLines(record).first(), line);
}

void TestRecordLabel::labelAddress_data() {
    QTest::addColumn<LabelRecord>("record");
    QTest::addColumn<QStringList>("address"); // the label's lines after the empty line below the numbers
    const QString s = QStringLiteral("Polní"), cp = QStringLiteral("12"), part = QStringLiteral("Lhota"),
                  town = QStringLiteral("Kolín"), psc = QStringLiteral("280 02");
    QTest::newRow("street, part, town and code")
        << person(s, cp, part, town, psc)
        << QStringList{QStringLiteral("Adresa:    Polní 12"), k16 + part, QStringLiteral("280 02     Kolín")};
    QTest::newRow("street without part")
        << person(s, cp, {}, town, psc)
        << QStringList{QStringLiteral("Adresa:    Polní 12"), QStringLiteral("280 02     Kolín")};
    QTest::newRow("street without house number")
        << person(s, {}, {}, town, psc)
        << QStringList{QStringLiteral("Adresa:    Polní "), QStringLiteral("280 02     Kolín")};
    QTest::newRow("no street: part and number")
        << person({}, cp, part, town, psc)
        << QStringList{QStringLiteral("Adresa:    Lhota 12"), QStringLiteral("280 02     Kolín")};
    QTest::newRow("no street, no part: town and number")
        << person({}, cp, {}, town, psc)
        << QStringList{QStringLiteral("Adresa:    Kolín 12"), QStringLiteral("280 02     Kolín")};
    QTest::newRow("only a house number: no address line") << person({}, cp, {}, {}, psc) << QStringList{psc};
    QTest::newRow("neither street nor number")
        << person({}, {}, part, town, psc)
        << QStringList{QStringLiteral("Adresa:"), QStringLiteral("280 02     Kolín")};
    QTest::newRow("code without town")
        << person(s, cp, {}, {}, psc) << QStringList{QStringLiteral("Adresa:    Polní 12"), psc};
    QTest::newRow("town without code")
        << person(s, cp, {}, town, {}) << QStringList{QStringLiteral("Adresa:    Polní 12"), k16 + town};
    QTest::newRow("no address at all")
        << person({}, {}, {}, {}, {}) << QStringList{QStringLiteral("Adresa:")};
    LabelRecord f = firm({});
    f.street.clear();
    f.part = part;
    QTest::newRow("firm: part and number")
        << f << QStringList{QStringLiteral("Adresa:    Lhota 5"), QStringLiteral("602 00     Brno")};
}

void TestRecordLabel::labelAddress() {
    QFETCH(LabelRecord, record);
    QFETCH(QStringList, address);
    const QStringList lines = labelLines(record, {});
    QCOMPARE(lines.mid(0, 4), (QStringList{record_label::nameLine(record), QString(),
                                           QStringLiteral("Telefon:   ") + record.tel, QString()}));
    QCOMPARE(lines.mid(4), address);
}

void TestRecordLabel::labelNumbers_data() {
    QTest::addColumn<LabelRecord>("record");
    QTest::addColumn<QList<ExtraNumber>>("extras");
    QTest::addColumn<QStringList>("numberLines"); // the lines between the main number and the address
    const ExtraNumber fromTel =
        record_label::extraNumberFromTel(QStringLiteral("603111222"), QStringLiteral("mobil"));
    const QStringList stored = storedForm(QStringLiteral("222333555"), QStringLiteral("88"));
    const ExtraNumber plain = record_label::extraNumberFromStored(stored[0], stored[1], QStringLiteral("88"),
                                                                  QStringLiteral("fax"));
    const ExtraNumber isdn = record_label::extraNumberFromStored(stored[0], stored[1], QStringLiteral("88"),
                                                                 QStringLiteral("EuroIsdn"));
    const LabelRecord p = withKey(person(QStringLiteral("Polní"), QStringLiteral("1"), {}, {}, {}));
    const LabelRecord f = withKey(firm({}));

    QTest::newRow("person, no extras") << p << QList<ExtraNumber>{} << QStringList{};
    QTest::newRow("person, both forms show the note")
        << p << QList<ExtraNumber>{fromTel, plain, isdn}
        << QStringList{k16 + QStringLiteral("603 111 222   mobil"), k16 + QStringLiteral("222 333 555   fax"),
                       k16 + QStringLiteral("222 333 555   EuroIsdn")};
    QTest::newRow("person, extra with empty note")
        << p << QList<ExtraNumber>{record_label::extraNumberFromTel(QStringLiteral("603111222"), {})}
        << QStringList{k16 + QStringLiteral("603 111 222   ")};
    QTest::newRow("firm, Tel column shows the note")
        << f << QList<ExtraNumber>{fromTel} << QStringList{k16 + QStringLiteral("603 111 222   mobil")};
    QTest::newRow("firm, stored form shows the EuroISDN tag only")
        << f << QList<ExtraNumber>{plain, isdn}
        << QStringList{k16 + QStringLiteral("222 333 555"), k16 + QStringLiteral("222 333 555    EuroISDN")};
    LabelRecord noKey = p;
    noKey.euroIsdn.clear();
    QTest::newRow("no subscriber key: no extras") << noKey << QList<ExtraNumber>{fromTel} << QStringList{};
}

void TestRecordLabel::labelNumbers() {
    QFETCH(LabelRecord, record);
    QFETCH(QList<ExtraNumber>, extras);
    QFETCH(QStringList, numberLines);
    const QStringList lines = labelLines(record, extras);
    QCOMPARE(lines.mid(3, numberLines.size()), numberLines);
    QCOMPARE(lines.value(3 + numberLines.size()), QString());
    QVERIFY(lines.value(4 + numberLines.size()).startsWith(QStringLiteral("Adresa:")));
}

void TestRecordLabel::firmNoteBlock_data() {
    QTest::addColumn<LabelRecord>("record");
    QTest::addColumn<QStringList>("tail"); // the lines after the street line
    QTest::newRow("firm with note") << firm(QStringLiteral("velkoobchod"))
                                    << QStringList{QStringLiteral("602 00     Brno"), QString(),
                                                   QStringLiteral("velkoobchod")};
    QTest::newRow("firm with EuroISDN note keeps it")
        << firm(QStringLiteral("EuroISDN"))
        << QStringList{QStringLiteral("602 00     Brno"), QString(), QStringLiteral("EuroISDN")};
    QTest::newRow("firm without note") << firm({}) << QStringList{QStringLiteral("602 00     Brno")};
    LabelRecord p = person(QStringLiteral("Polní"), QStringLiteral("1"), {}, QStringLiteral("Kolín"), {});
    p.note = QStringLiteral("velkoobchod");
    QTest::newRow("person's note is not shown") << p << QStringList{k16 + QStringLiteral("Kolín")};
}

void TestRecordLabel::firmNoteBlock() {
    QFETCH(LabelRecord, record);
    QFETCH(QStringList, tail);
    const QStringList lines = labelLines(record, {});
    QCOMPARE(lines.mid(5), tail);
}

void TestRecordLabel::scrollBar_data() {
    QTest::addColumn<int>("extraCount");
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<bool>("scrolls");
    // name, empty, main number, extras, empty, street, part, town
    QTest::newRow("no extras") << 0 << 7 << false;
    QTest::newRow("exactly ten lines") << 3 << 10 << false;
    QTest::newRow("eleven lines") << 4 << 11 << true;
    QTest::newRow("twelve additional numbers") << 12 << 19 << true;
}

void TestRecordLabel::scrollBar() {
    QFETCH(int, extraCount);
    QFETCH(int, lineCount);
    QFETCH(bool, scrolls);
    const LabelRecord r =
        withKey(person(QStringLiteral("Polní"), QStringLiteral("1"), QStringLiteral("Lhota"),
                       QStringLiteral("Kolín"), QStringLiteral("280 02")));
    QList<ExtraNumber> extras;
    for (int i = 0; i < extraCount; ++i)
        extras << record_label::extraNumberFromTel(QStringLiteral("60312345") + QString::number(i % 10), {});
    const QStringList lines = labelLines(r, extras);
    QCOMPARE(lines.size(), lineCount);
    QCOMPARE(needsScrollBar(lines), scrolls);
}

void TestRecordLabel::copyAll_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty label") << QStringList{} << QString();
    QTest::newRow("one empty line") << QStringList{QString()} << QStringLiteral("\r\n");
    QTest::newRow("several lines") << QStringList{QStringLiteral("Novák Jan"), QString(),
                                                  QStringLiteral("Telefon:   603 123 456")}
                                   << QStringLiteral("Novák Jan\r\n\r\nTelefon:   603 123 456\r\n");
}

void TestRecordLabel::copyAll() {
    QFETCH(QStringList, lines);
    QFETCH(QString, text);
    QCOMPARE(copyAllText(lines), text);
}

void TestRecordLabel::pickerItems_data() {
    QTest::addColumn<LabelRecord>("record");
    QTest::addColumn<QList<ExtraNumber>>("extras");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("copiedFirst"); // what ticking only the first item copies
    const ExtraNumber fromTel =
        record_label::extraNumberFromTel(QStringLiteral("603111222"), QStringLiteral("mobil"));
    const QStringList stored = storedForm(QStringLiteral("222333555"), QStringLiteral("88"));
    const ExtraNumber plain = record_label::extraNumberFromStored(stored[0], stored[1], QStringLiteral("88"),
                                                                  QStringLiteral("fax"));
    const LabelRecord p = withKey(person({}, {}, {}, {}, {}));
    QTest::newRow("only the main number")
        << p << QList<ExtraNumber>{} << QStringList{QStringLiteral("603 123 456")}
        << QStringLiteral("603123456");
    QTest::newRow("Tel column: number and note")
        << p << QList<ExtraNumber>{fromTel}
        << QStringList{QStringLiteral("603 123 456"), QStringLiteral("603 111 222   mobil")}
        << QStringLiteral("603123456");
    QTest::newRow("stored form: number alone")
        << withKey(firm({})) << QList<ExtraNumber>{plain}
        << QStringList{QStringLiteral("222 333 444"), QStringLiteral("222 333 555")}
        << QStringLiteral("222333444");
    LabelRecord noMain = p;
    noMain.tel.clear();
    QTest::newRow("no main number") << noMain << QList<ExtraNumber>{fromTel}
                                    << QStringList{QStringLiteral("603 111 222   mobil")}
                                    << QStringLiteral("603111222");
    noMain.euroIsdn.clear();
    QTest::newRow("nothing to offer") << noMain << QList<ExtraNumber>{fromTel} << QStringList{} << QString();
}

void TestRecordLabel::pickerItems() {
    QFETCH(LabelRecord, record);
    QFETCH(QList<ExtraNumber>, extras);
    QFETCH(QStringList, items);
    QFETCH(QString, copiedFirst);
    const QStringList offered = numberPickerItems(record, extras);
    QCOMPARE(offered, items);
    QCOMPARE(numbersClipboardText(offered.mid(0, 1)), copiedFirst);
}

void TestRecordLabel::numbersClipboard_data() {
    QTest::addColumn<QStringList>("ticked");
    QTest::addColumn<QString>("text");
    QTest::newRow("nothing ticked") << QStringList{} << QString();
    QTest::newRow("one number: bare digits")
        << QStringList{QStringLiteral("603 123 456")} << QStringLiteral("603123456");
    QTest::newRow("one number with note: digits only")
        << QStringList{QStringLiteral("603 111 222   mobil telefon")} << QStringLiteral("603111222");
    QTest::newRow("international prefix")
        << QStringList{QStringLiteral("+420 603 123 456")} << QStringLiteral("+420603123456");
    QTest::newRow("all numbers: one per line, then an empty line")
        << QStringList{QStringLiteral("603 123 456"), QStringLiteral("603 111 222   mobil"),
                       QStringLiteral("222 333 555")}
        << QStringLiteral("603123456\r\n603111222\r\n222333555\r\n\r\n");
    QStringList many;
    QString manyText;
    for (int i = 0; i < 40; ++i) {
        many << QStringLiteral("603 123 %1").arg(100 + i);
        manyText += QStringLiteral("603123%1\r\n").arg(100 + i);
    }
    QTest::newRow("longer than 256 characters") << many << manyText + QStringLiteral("\r\n");
}

void TestRecordLabel::numbersClipboard() {
    QFETCH(QStringList, ticked);
    QFETCH(QString, text);
    QCOMPARE(numbersClipboardText(ticked), text);
}

void TestRecordLabel::addressCopy_data() {
    QTest::addColumn<LabelRecord>("record");
    QTest::addColumn<QStringList>("lines");
    const QString s = QStringLiteral("Polní"), cp = QStringLiteral("12"), part = QStringLiteral("Lhota"),
                  town = QStringLiteral("Kolín"), psc = QStringLiteral("280 02");
    const QString name = QStringLiteral("Novák Jan");
    QTest::newRow("street, part, town and code")
        << person(s, cp, part, town, psc)
        << QStringList{name, QStringLiteral("Polní 12"), part, QStringLiteral("280 02   Kolín")};
    QTest::newRow("no street: part and number")
        << person({}, cp, part, town, psc)
        << QStringList{name, QStringLiteral("Lhota 12"), QStringLiteral("280 02   Kolín")};
    QTest::newRow("no street, no part: town and number")
        << person({}, cp, {}, town, psc)
        << QStringList{name, QStringLiteral("Kolín 12"), QStringLiteral("280 02   Kolín")};
    QTest::newRow("only a house number") << person({}, cp, {}, {}, psc) << QStringList{name, psc};
    QTest::newRow("neither street nor number")
        << person({}, {}, part, town, psc) << QStringList{name, QStringLiteral("280 02   Kolín")};
    QTest::newRow("town without code")
        << person(s, cp, {}, town, {}) << QStringList{name, QStringLiteral("Polní 12"), town};
    QTest::newRow("code without town")
        << person(s, cp, {}, {}, psc) << QStringList{name, QStringLiteral("Polní 12"), psc};
    LabelRecord titled = person(s, cp, {}, town, psc);
    titled.title = QStringLiteral("MUDr.");
    QTest::newRow("person with title")
        << titled
        << QStringList{QStringLiteral("Novák Jan, MUDr."), QStringLiteral("Polní 12"),
                       QStringLiteral("280 02   Kolín")};
    QTest::newRow("firm") << firm(QStringLiteral("velkoobchod"))
                          << QStringList{QStringLiteral("Kovo s.r.o."), QStringLiteral("Dlouhá 5"),
                                         QStringLiteral("602 00   Brno")};
    LabelRecord unnamed = firm({});
    unnamed.firmName.clear();
    QTest::newRow("firm without name keeps the first line")
        << unnamed << QStringList{QString(), QStringLiteral("Dlouhá 5"), QStringLiteral("602 00   Brno")};
}

void TestRecordLabel::addressCopy() {
    QFETCH(LabelRecord, record);
    QFETCH(QStringList, lines);
    const QStringList address = addressLines(record);
    QCOMPARE(address, lines);
    QCOMPARE(addressClipboardText(address), lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

void TestRecordLabel::extraNumbersSql_data() {
    QTest::addColumn<bool>("firm");
    QTest::addColumn<bool>("hasTel");
    QTest::addColumn<QString>("probe");
    QTest::addColumn<QString>("sql");
    QTest::newRow("persons, Tel column")
        << false << true << QStringLiteral("SELECT * FROM Osoby_TEL_Navic")
        << QStringLiteral("SELECT Tel, Poznamka FROM Osoby_TEL_Navic WHERE EuroISDN = 1001");
    QTest::newRow("persons, stored form")
        << false << false << QStringLiteral("SELECT * FROM Osoby_TEL_Navic")
        << QStringLiteral("SELECT ID, Tel_a, TelExt_a, Poznamka FROM Osoby_TEL_Navic WHERE EuroISDN = 1001");
    QTest::newRow("firms, Tel column")
        << true << true << QStringLiteral("SELECT * FROM Firmy_TEL_Navic")
        << QStringLiteral("SELECT Tel, Poznamka FROM Firmy_TEL_Navic WHERE EuroISDN = 1001");
    QTest::newRow("firms, stored form")
        << true << false << QStringLiteral("SELECT * FROM Firmy_TEL_Navic")
        << QStringLiteral("SELECT ID, Tel_a, TelExt_a, Poznamka FROM Firmy_TEL_Navic WHERE EuroISDN = 1001");
}

void TestRecordLabel::extraNumbersSql() {
    QFETCH(bool, firm);
    QFETCH(bool, hasTel);
    QFETCH(QString, probe);
    QFETCH(QString, sql);
    QCOMPARE(extraNumbersProbeSql(firm), probe);
    QCOMPARE(record_label::extraNumbersSql(firm, hasTel, QStringLiteral("1001")), sql);
}

void TestRecordLabel::mapQuery_data() {
    QTest::addColumn<LabelRecord>("record");
    QTest::addColumn<QString>("query");
    const QString s = QStringLiteral("Polní"), cp = QStringLiteral("12"), part = QStringLiteral("Lhota"),
                  town = QStringLiteral("Kolín"), psc = QStringLiteral("280 02");
    QTest::newRow("every part") << person(QStringLiteral("Na Příkopě"), cp, QStringLiteral("Nové Město"),
                                          QStringLiteral("Praha"), QStringLiteral("110 00"))
                                << QStringLiteral("Na Příkopě 12, Nové Město, 110 00 Praha");
    QTest::newRow("without part") << person(s, cp, {}, town, psc) << QStringLiteral("Polní 12, 280 02 Kolín");
    QTest::newRow("part before the number")
        << person({}, cp, part, town, psc) << QStringLiteral("Lhota 12, 280 02 Kolín");
    QTest::newRow("part without number")
        << person({}, {}, part, town, psc) << QStringLiteral("Lhota, 280 02 Kolín");
    QTest::newRow("street without number")
        << person(s, {}, {}, town, psc) << QStringLiteral("Polní, 280 02 Kolín");
    QTest::newRow("town without code") << person(s, cp, {}, town, {}) << QStringLiteral("Polní 12, Kolín");
    QTest::newRow("code alone") << person({}, {}, {}, {}, psc) << psc;
    QTest::newRow("no address") << person({}, {}, {}, {}, {}) << QString();
}

void TestRecordLabel::mapQuery() {
    QFETCH(LabelRecord, record);
    QFETCH(QString, query);
    QCOMPARE(record_label::mapQuery(
                 {record.street, record.houseNumber, record.part, record.municipality, record.postalCode}),
             query);
    QCOMPARE(record_label::links(record, {}).mapUri, desktop_links::mapUri(query));
}

QTEST_GUILESS_MAIN(TestRecordLabel)
#include "tst_recordlabel.moc"
