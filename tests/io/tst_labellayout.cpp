// The lines of an address label and where they go on the sheet, checked
// without painting.

#include "LabelLayout.h"
#include "Maker.h"

#include <QHash>
#include <QTest>

using namespace Qt::StringLiterals;

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

labels::Fields fieldsOf(const Record& record) {
    return [record](const QString& column) { return record.value(column); };
}

// A street address every record below shares, at the normal offsets.
Record withAddress(Record record, const QString& prefix = {}) {
    const QString street = prefix.isEmpty() ? u"Ulice"_s : prefix + u"ulice"_s;
    record.insert(street, u"Lipová"_s);
    record.insert(prefix + u"CP"_s, u"12"_s);
    record.insert(prefix + u"Obec"_s, u"Brno"_s);
    record.insert(prefix + u"PSC"_s, u"602 00"_s);
    return record;
}

Lines addressAt(int shift) {
    return {{75 + shift, u"Lipová 12"_s}, {110 + shift, u"Brno"_s}, {145 + shift, u"602 00"_s}};
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
    QVERIFY2(stamp.contains(u"9:05:04"_s), qPrintable(stamp));
    const QDateTime utc(when.date(), when.time(), Qt::UTC);
    QVERIFY(!czech.toString(utc, labels::longTimeFormat(czech)).contains(u"UTC"_s));
    const Lines expected{{40, u"Ordana 2004 Velto"_s},
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

    const QString firm34 = u"Stavební společnost Horák a synové"_s; // 34 characters
    const QString firm35 = u"Stavební společnost Horák a synové!"_s;
    const QString firm31 = u"Stavební společnost Horák a syn"_s; // 31 characters
    const QString firm32 = u"Stavební společnost Horák a syn!"_s;
    QCOMPARE(firm34.size(), 34);
    QCOMPARE(firm31.size(), 31);
    const QString noBlank35 = QString(35, u'x');

    auto firm = [](const QString& name) { return Record{{u"Firma"_s, name}}; };
    auto personal = [](const char* kind, const QString& surname, const QString& firmName) {
        return Record{{u"zobraz_adr"_s, QString::fromUtf8(kind)},
                      {u"Prijmeni"_s, surname},
                      {u"Jmeno_1"_s, u"Eva"_s},
                      {u"Titul_1"_s, u"Ing."_s},
                      {u"Firma"_s, firmName}};
    };

    QTest::newRow("person, blanks kept without title")
        << Print::Persons << Record{{u"Prijmeni"_s, u"Novák"_s}, {u"Jmeno"_s, u"Jan"_s}}
        << Lines{{40, u"Novák Jan "_s}} << 0;
    QTest::newRow("firm of 34 stays whole") << Print::Firms << firm(firm34) << Lines{{40, firm34}} << 0;
    QTest::newRow("firm of 35 splits at the last blank")
        << Print::Firms << firm(firm35) << Lines{{40, u"Stavební společnost Horák a"_s}, {75, u"synové!"_s}}
        << 35;
    QTest::newRow("firm without a blank is cut at the window")
        << Print::Firms << firm(noBlank35) << Lines{{40, QString(34, u'x')}, {75, u"x"_s}} << 35;
    QTest::newRow("personal firm of 31 stays whole")
        << Print::Personal << personal("zam", {}, firm31) << Lines{{40, firm31}} << 0;
    QTest::newRow("personal firm of 32 splits")
        << Print::Personal << personal("zam", {}, firm32)
        << Lines{{40, u"Stavební společnost Horák a"_s}, {75, u"syn!"_s}} << 35;
    QTest::newRow("personal without kind counts as home")
        << Print::Personal << personal("", u"Malá"_s, {}) << Lines{{40, u"Malá Eva Ing."_s}} << 0;
    QTest::newRow("personal work: the firm")
        << Print::Personal << personal("zam", u"Malá"_s, u"Firma s.r.o."_s) << Lines{{40, u"Firma s.r.o."_s}}
        << 0;
    QTest::newRow("personal work without firm: no name line")
        << Print::Personal << personal("zam", u"Malá"_s, {}) << Lines{} << 0;
    QTest::newRow("personal other: the person first")
        << Print::Personal << personal("jine", u"Malá"_s, u"Firma s.r.o."_s)
        << Lines{{40, u"Malá Eva Ing."_s}} << 0;
    QTest::newRow("personal other without surname: the firm")
        << Print::Personal << personal("jine", {}, u"Firma s.r.o."_s) << Lines{{40, u"Firma s.r.o."_s}} << 0;
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
    const QString S = u"Lipová"_s, N = u"12"_s, P = u"Líšeň"_s, T = u"Brno"_s, none;
    QTest::newRow("S N P T") << S << N << P << T << u"Lipová 12"_s << u"Brno - Líšeň"_s;
    QTest::newRow("S - P T") << S << none << P << T << u"Lipová "_s << u"Brno - Líšeň"_s;
    QTest::newRow("S N - T") << S << N << none << T << u"Lipová 12"_s << u"Brno"_s;
    QTest::newRow("S N P -") << S << N << P << none << u"Lipová 12"_s << u"Líšeň"_s;
    QTest::newRow("S N - -") << S << N << none << none << u"Lipová 12"_s << none;
    QTest::newRow("- N P T") << none << N << P << T << u"Líšeň 12"_s << u"Brno"_s;
    QTest::newRow("- N P -") << none << N << P << none << u"Líšeň 12"_s << none;
    QTest::newRow("- N - T: the town stands for the street")
        << none << N << none << T << u"Brno 12"_s << u"Brno"_s;
    QTest::newRow("- N - -") << none << N << none << none << none << none;
    QTest::newRow("- - P T") << none << none << P << T << u"Líšeň"_s << u"Brno"_s;
    QTest::newRow("- - P -") << none << none << P << none << u"Líšeň"_s << none;
    QTest::newRow("- - - T") << none << none << none << T << none << u"Brno"_s;
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
    const Record record{{u"Prijmeni"_s, u"Novák"_s}, {u"Ulice"_s, street}, {u"CP"_s, number},
                        {u"Cast"_s, part},           {u"Obec"_s, town},    {u"PSC"_s, u"628 00"_s},
                        {u"Tel"_s, u"541 210 100"_s}};
    Lines expected{{40, u"Novák  "_s}};
    if (!streetLine.isEmpty()) expected.append({75, streetLine});
    if (!townLine.isEmpty()) expected.append({110, townLine});
    expected.append({145, u"628 00"_s});
    expected.append({180, u"Telefon:   541 210 100"_s});
    QCOMPARE(labels::recordLines(Print::Persons, fieldsOf(record)), expected);
}

void TestLabelLayout::personalAddressColumns_data() {
    QTest::addColumn<io::AddressChoice>("choice");
    QTest::addColumn<QString>("prefix");
    QTest::newRow("home") << io::AddressChoice::Home << u"domu_"_s;
    QTest::newRow("work") << io::AddressChoice::Work << u"zam_"_s;
    QTest::newRow("other") << io::AddressChoice::Other << u"jine_"_s;
    QTest::newRow("record default") << io::AddressChoice::RecordDefault << QString();
}

// The personal print reads the address of the chosen kind, the name block
// stays the record's own.
void TestLabelLayout::personalAddressColumns() {
    QFETCH(io::AddressChoice, choice);
    QFETCH(QString, prefix);
    Record record{{u"zobraz_adr"_s, u"zam"_s}, {u"Firma"_s, u"Vzor a.s."_s}};
    // Every other address holds something else.
    for (const char* other : {"", "domu_", "zam_", "jine_"}) {
        if (QString::fromUtf8(other) == prefix) continue;
        record.insert(QString::fromUtf8(other) +
                          (QString(QString::fromUtf8(other)).isEmpty() ? u"Ulice"_s : u"ulice"_s),
                      u"Jinde"_s);
        record.insert(QString::fromUtf8(other) + u"Obec"_s, u"Jinde"_s);
    }
    record = withAddress(record, prefix);
    const Lines lines = labels::recordLines(Print::Personal, fieldsOf(record), choice);
    QCOMPARE(lines, (Lines{{40, u"Vzor a.s."_s}} + addressAt(0)));
}

void TestLabelLayout::telephone_data() {
    QTest::addColumn<Print>("print");
    QTest::addColumn<io::AddressChoice>("choice");
    QTest::addColumn<Record>("record");
    QTest::addColumn<QString>("line"); // empty: no telephone line
    const auto phones = [](const char* kind, std::initializer_list<int> filled) {
        Record r{{u"zobraz_adr"_s, QString::fromUtf8(kind)}, {u"Prijmeni"_s, u"Malá"_s}};
        for (int n : filled)
            r.insert(u"Tel_"_s + QString::number(n), u"60"_s + QString::number(n));
        return r;
    };
    using C = io::AddressChoice;
    QTest::newRow("person, number") << Print::Persons << C::RecordDefault
                                    << Record{{u"Tel"_s, u"541 210 100"_s}} << u"Telefon:   541 210 100"_s;
    QTest::newRow("person, no number: line all the same")
        << Print::Persons << C::RecordDefault << Record{} << u"Telefon:   "_s;
    QTest::newRow("home default, only Tel_2")
        << Print::Personal << C::RecordDefault << phones("domu", {2}) << u"Telefon:   602"_s;
    QTest::newRow("home: Tel_3 first")
        << Print::Personal << C::Home << phones("zam", {1, 3, 4, 5}) << u"Telefon:   603"_s;
    QTest::newRow("work: Tel_5 first")
        << Print::Personal << C::Work << phones("domu", {1, 3, 5, 6}) << u"Telefon:   605"_s;
    QTest::newRow("work: then Tel_6")
        << Print::Personal << C::Work << phones("domu", {1, 6}) << u"Telefon:   606"_s;
    QTest::newRow("work default by the record")
        << Print::Personal << C::RecordDefault << phones("zam", {2, 3}) << u"Telefon:   602"_s;
    QTest::newRow("other: Tel_1 first")
        << Print::Personal << C::Other << phones("domu", {1, 3, 5}) << u"Telefon:   601"_s;
    QTest::newRow("other default by the record")
        << Print::Personal << C::RecordDefault << phones("jine", {4, 5}) << u"Telefon:   604"_s;
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
