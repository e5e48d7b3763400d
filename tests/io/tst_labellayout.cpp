// The lines of an address label and where they go on the sheet, checked
// without painting.

#include "LabelLayout.h"
#include "Maker.h"

#include <QHash>
#include <QTest>

using labels::Line;
using labels::Print;
using Lines = QList<Line>;
using Record = QHash<QString, QString>;

Q_DECLARE_METATYPE(Print)
Q_DECLARE_METATYPE(io::AddressChoice)

namespace QTest {
template <> char* toString(const Line& line) {
    return qstrdup(qPrintable(QString::number(line.offset) + u' ' + line.text));
}
} // namespace QTest

namespace {

QString s(const char* text) {
    return QString::fromUtf8(text);
}

labels::Fields fieldsOf(const Record& record) {
    return [record](const QString& column) { return record.value(column); };
}

// A street address every record below shares, at the normal offsets.
Record withAddress(Record record, const QString& prefix = {}) {
    const QString street = prefix.isEmpty() ? s("Ulice") : prefix + s("ulice");
    record.insert(street, s("Lipová"));
    record.insert(prefix + s("CP"), s("12"));
    record.insert(prefix + s("Obec"), s("Brno"));
    record.insert(prefix + s("PSC"), s("602 00"));
    return record;
}

Lines addressAt(int shift) {
    return {{75 + shift, s("Lipová 12")}, {110 + shift, s("Brno")}, {145 + shift, s("602 00")}};
}

} // namespace

class TestLabelLayout : public QObject {
    Q_OBJECT

  private slots:
    void informationBlock();
    void nameLines_data();
    void nameLines();
    void addressLines_data();
    void addressLines();
    void personalAddressColumns_data();
    void personalAddressColumns();
    void telephone_data();
    void telephone();
};

void TestLabelLayout::informationBlock() {
    const QLocale czech(QLocale::Czech, QLocale::CzechRepublic);
    const QDateTime when(QDate(2004, 3, 7), QTime(9, 5, 4));
    const Lines lines = labels::informationBlock(when, czech);
    const QString stamp = czech.toString(when.date(), QLocale::ShortFormat) + u' ' +
                          czech.toString(when.time(), labels::longTimeFormat(czech));
    // The long time keeps the seconds but not the zone, which would not fit.
    QVERIFY2(stamp.contains(s("9:05:04")), qPrintable(stamp));
    const QDateTime utc(when.date(), when.time(), Qt::UTC);
    QVERIFY(!czech.toString(utc, labels::longTimeFormat(czech)).contains(s("UTC")));
    const Lines expected{{40, s("Ordana 2004 Velto")},
                         {75, stamp},
                         {110, maker::kCompany},
                         {145, maker::kWeb},
                         {180, maker::kOrdersMail}};
    QCOMPARE(lines, expected);
}

void TestLabelLayout::nameLines_data() {
    QTest::addColumn<Print>("print");
    QTest::addColumn<Record>("record");
    QTest::addColumn<Lines>("nameLines");
    QTest::addColumn<int>("shift");

    const QString firm34 = s("Stavební společnost Horák a synové"); // 34 characters
    const QString firm35 = s("Stavební společnost Horák a synové!");
    const QString firm31 = s("Stavební společnost Horák a syn"); // 31 characters
    const QString firm32 = s("Stavební společnost Horák a syn!");
    QCOMPARE(firm34.size(), 34);
    QCOMPARE(firm31.size(), 31);
    const QString noBlank35 = QString(35, u'x');

    auto firm = [](const QString& name) { return Record{{s("Firma"), name}}; };
    auto personal = [](const char* kind, const QString& surname, const QString& firmName) {
        return Record{{s("zobraz_adr"), s(kind)},
                      {s("Prijmeni"), surname},
                      {s("Jmeno_1"), s("Eva")},
                      {s("Titul_1"), s("Ing.")},
                      {s("Firma"), firmName}};
    };

    QTest::newRow("person, blanks kept without title")
        << Print::Persons << Record{{s("Prijmeni"), s("Novák")}, {s("Jmeno"), s("Jan")}}
        << Lines{{40, s("Novák Jan ")}} << 0;
    QTest::newRow("firm of 34 stays whole") << Print::Firms << firm(firm34) << Lines{{40, firm34}} << 0;
    QTest::newRow("firm of 35 splits at the last blank")
        << Print::Firms << firm(firm35) << Lines{{40, s("Stavební společnost Horák a")}, {75, s("synové!")}}
        << 35;
    QTest::newRow("firm without a blank is cut at the window")
        << Print::Firms << firm(noBlank35) << Lines{{40, QString(34, u'x')}, {75, s("x")}} << 35;
    QTest::newRow("personal firm of 31 stays whole")
        << Print::Personal << personal("zam", {}, firm31) << Lines{{40, firm31}} << 0;
    QTest::newRow("personal firm of 32 splits")
        << Print::Personal << personal("zam", {}, firm32)
        << Lines{{40, s("Stavební společnost Horák a")}, {75, s("syn!")}} << 35;
    QTest::newRow("personal without kind counts as home")
        << Print::Personal << personal("", s("Malá"), {}) << Lines{{40, s("Malá Eva Ing.")}} << 0;
    QTest::newRow("personal work: the firm")
        << Print::Personal << personal("zam", s("Malá"), s("Firma s.r.o.")) << Lines{{40, s("Firma s.r.o.")}}
        << 0;
    QTest::newRow("personal work without firm: no name line")
        << Print::Personal << personal("zam", s("Malá"), {}) << Lines{} << 0;
    QTest::newRow("personal other: the person first")
        << Print::Personal << personal("jine", s("Malá"), s("Firma s.r.o."))
        << Lines{{40, s("Malá Eva Ing.")}} << 0;
    QTest::newRow("personal other without surname: the firm")
        << Print::Personal << personal("jine", {}, s("Firma s.r.o.")) << Lines{{40, s("Firma s.r.o.")}} << 0;
}

// The name lines, and the address below them moved down after a two-line name.
void TestLabelLayout::nameLines() {
    QFETCH(Print, print);
    QFETCH(Record, record);
    QFETCH(Lines, nameLines);
    QFETCH(int, shift);
    const Lines lines = labels::recordLines(print, fieldsOf(withAddress(record)));
    const qsizetype names = nameLines.size();
    QCOMPARE(lines.mid(0, names), nameLines);
    QCOMPARE(lines.mid(names, 3), addressAt(shift));
}

void TestLabelLayout::addressLines_data() {
    QTest::addColumn<QString>("street");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("town");
    QTest::addColumn<QString>("streetLine");
    QTest::addColumn<QString>("townLine");
    const QString S = s("Lipová"), N = s("12"), P = s("Líšeň"), T = s("Brno"), none;
    QTest::newRow("S N P T") << S << N << P << T << s("Lipová 12") << s("Brno - Líšeň");
    QTest::newRow("S - P T") << S << none << P << T << s("Lipová ") << s("Brno - Líšeň");
    QTest::newRow("S N - T") << S << N << none << T << s("Lipová 12") << s("Brno");
    QTest::newRow("S N P -") << S << N << P << none << s("Lipová 12") << s("Líšeň");
    QTest::newRow("S N - -") << S << N << none << none << s("Lipová 12") << none;
    QTest::newRow("- N P T") << none << N << P << T << s("Líšeň 12") << s("Brno");
    QTest::newRow("- N P -") << none << N << P << none << s("Líšeň 12") << none;
    QTest::newRow("- N - T: the town stands for the street")
        << none << N << none << T << s("Brno 12") << s("Brno");
    QTest::newRow("- N - -") << none << N << none << none << none << none;
    QTest::newRow("- - P T") << none << none << P << T << s("Líšeň") << s("Brno");
    QTest::newRow("- - P -") << none << none << P << none << s("Líšeň") << none;
    QTest::newRow("- - - T") << none << none << none << T << none << s("Brno");
    QTest::newRow("- - - -") << none << none << none << none << none << none;
}

// The twelve cases of street and municipality lines, as a person's label prints them.
void TestLabelLayout::addressLines() {
    QFETCH(QString, street);
    QFETCH(QString, number);
    QFETCH(QString, part);
    QFETCH(QString, town);
    QFETCH(QString, streetLine);
    QFETCH(QString, townLine);
    const Record record{{s("Prijmeni"), s("Novák")}, {s("Ulice"), street}, {s("CP"), number},
                        {s("Cast"), part},           {s("Obec"), town},    {s("PSC"), s("628 00")},
                        {s("Tel"), s("541 210 100")}};
    Lines expected{{40, s("Novák  ")}};
    if (!streetLine.isEmpty()) expected.append({75, streetLine});
    if (!townLine.isEmpty()) expected.append({110, townLine});
    expected.append({145, s("628 00")});
    expected.append({180, s("Telefon:   541 210 100")});
    QCOMPARE(labels::recordLines(Print::Persons, fieldsOf(record)), expected);
}

void TestLabelLayout::personalAddressColumns_data() {
    QTest::addColumn<io::AddressChoice>("choice");
    QTest::addColumn<QString>("prefix");
    QTest::newRow("home") << io::AddressChoice::Home << s("domu_");
    QTest::newRow("work") << io::AddressChoice::Work << s("zam_");
    QTest::newRow("other") << io::AddressChoice::Other << s("jine_");
    QTest::newRow("record default") << io::AddressChoice::RecordDefault << QString();
}

// The personal print reads the address of the chosen kind, the name block
// stays the record's own.
void TestLabelLayout::personalAddressColumns() {
    QFETCH(io::AddressChoice, choice);
    QFETCH(QString, prefix);
    Record record{{s("zobraz_adr"), s("zam")}, {s("Firma"), s("Vzor a.s.")}};
    // Every other address holds something else.
    for (const char* other : {"", "domu_", "zam_", "jine_"}) {
        if (s(other) == prefix) continue;
        record.insert(s(other) + (QString(s(other)).isEmpty() ? s("Ulice") : s("ulice")), s("Jinde"));
        record.insert(s(other) + s("Obec"), s("Jinde"));
    }
    record = withAddress(record, prefix);
    const Lines lines = labels::recordLines(Print::Personal, fieldsOf(record), choice);
    QCOMPARE(lines, (Lines{{40, s("Vzor a.s.")}} + addressAt(0)));
}

void TestLabelLayout::telephone_data() {
    QTest::addColumn<Print>("print");
    QTest::addColumn<io::AddressChoice>("choice");
    QTest::addColumn<Record>("record");
    QTest::addColumn<QString>("line"); // empty: no telephone line
    const auto phones = [](const char* kind, std::initializer_list<int> filled) {
        Record r{{s("zobraz_adr"), s(kind)}, {s("Prijmeni"), s("Malá")}};
        for (int n : filled)
            r.insert(s("Tel_") + QString::number(n), s("60") + QString::number(n));
        return r;
    };
    using C = io::AddressChoice;
    QTest::newRow("person, number") << Print::Persons << C::RecordDefault
                                    << Record{{s("Tel"), s("541 210 100")}} << s("Telefon:   541 210 100");
    QTest::newRow("person, no number: line all the same")
        << Print::Persons << C::RecordDefault << Record{} << s("Telefon:   ");
    QTest::newRow("home default, only Tel_2")
        << Print::Personal << C::RecordDefault << phones("domu", {2}) << s("Telefon:   602");
    QTest::newRow("home: Tel_3 first")
        << Print::Personal << C::Home << phones("zam", {1, 3, 4, 5}) << s("Telefon:   603");
    QTest::newRow("work: Tel_5 first")
        << Print::Personal << C::Work << phones("domu", {1, 3, 5, 6}) << s("Telefon:   605");
    QTest::newRow("work: then Tel_6")
        << Print::Personal << C::Work << phones("domu", {1, 6}) << s("Telefon:   606");
    QTest::newRow("work default by the record")
        << Print::Personal << C::RecordDefault << phones("zam", {2, 3}) << s("Telefon:   602");
    QTest::newRow("other: Tel_1 first")
        << Print::Personal << C::Other << phones("domu", {1, 3, 5}) << s("Telefon:   601");
    QTest::newRow("other default by the record")
        << Print::Personal << C::RecordDefault << phones("jine", {4, 5}) << s("Telefon:   604");
    QTest::newRow("no number: no line") << Print::Personal << C::Other << phones("jine", {}) << QString();
}

// The telephone line comes last, under the postal code.
void TestLabelLayout::telephone() {
    QFETCH(Print, print);
    QFETCH(io::AddressChoice, choice);
    QFETCH(Record, record);
    QFETCH(QString, line);
    const Lines lines = labels::recordLines(print, fieldsOf(record), choice);
    QVERIFY(!lines.isEmpty());
    if (line.isEmpty()) {
        QVERIFY(!lines.last().text.startsWith(labels::kPhonePrefix));
    } else {
        QCOMPARE(lines.last(), (Line{180, line}));
    }
}

QTEST_GUILESS_MAIN(TestLabelLayout)
#include "tst_labellayout.moc"
