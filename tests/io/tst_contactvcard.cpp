// Personal records as vCards: cards as a contact book, a mail program and a
// phone write them, a record with every field through export and import, the
// record limit, cut and left-out values, and files that are no vCard.

#include "ContactVCard.h"
#include "OwnDatabases.h"
#include "PersonalRecords.h"
#include "VCard.h"
#include "VCardFiles.h"
#include "contacts/PersonalSearchFixture.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace io;

namespace {

QStringList asLines(const QList<std::pair<QString, QString>>& values) {
    QStringList out;
    for (const auto& [column, text] : values)
        out << column + u'=' + text;
    out.sort();
    return out;
}

// The columns a card fills, besides the address kind.
const QStringList kMapped{u"Titul_1"_s,    u"Jmeno_1"_s,   u"Prijmeni"_s,   u"Firma"_s,     u"Funkce"_s,
                          u"domu_ulice"_s, u"domu_CP"_s,   u"domu_Obec"_s,  u"domu_Cast"_s, u"domu_PSC"_s,
                          u"domu_Stat"_s,  u"zam_ulice"_s, u"zam_CP"_s,     u"zam_Obec"_s,  u"zam_Cast"_s,
                          u"zam_PSC"_s,    u"zam_Stat"_s,  u"jine_ulice"_s, u"jine_CP"_s,   u"jine_Obec"_s,
                          u"jine_Cast"_s,  u"jine_PSC"_s,  u"jine_Stat"_s,  u"Internet"_s,  u"E-mail_1"_s,
                          u"E-mail_2"_s,   u"E-mail_3"_s,  u"Tel_1"_s,      u"Tel_2"_s,     u"Tel_3"_s,
                          u"Tel_4"_s,      u"Tel_5"_s,     u"Tel_6"_s,      u"Info"_s,      u"zobraz_adr"_s};

struct Harness : personal_test::SearchFiles {
    Harness() : SearchFiles(/*durable*/ true) {}
    QString file(const QByteArray& bytes) {
        const QString path = dir.filePath(u"kontakty.vcf"_s);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) qFatal("cannot write the file");
        return path;
    }
    QStringList stored(const QString& column) {
        return personal_test::columnOf(personal.get(), u"SELECT * FROM Vlastni ORDER BY ID"_s, column);
    }
};

QByteArray cards(int n) {
    QByteArray out;
    for (int i = 0; i < n; ++i)
        out += "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:K" + QByteArray::number(i) + "\r\nN:K" +
               QByteArray::number(i) + ";;;;\r\nEND:VCARD\r\n";
    return out;
}

} // namespace

class TestContactVCard : public QObject {
    Q_OBJECT

  private slots:
    void programs_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("values"); // column=text, separated by "|"
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("leftOut");
        // A desktop contact book writing 4.0 (the example of the format's
        // description): region beside the extended address, birthday,
        // languages, position, key and time zone have no column.
        QTest::newRow("contact book 4.0")
            << QByteArray("BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Simon Perreault\r\n"
                          "N:Perreault;Simon;;;ing. jr,M.Sc.\r\nBDAY:--0203\r\nGENDER:M\r\n"
                          "LANG;PREF=1:fr\r\nLANG;PREF=2:en\r\nORG;TYPE=work:Viagenie\r\n"
                          "ADR;TYPE=work:;Suite D2-630;2875 Laurier;\r\n Quebec;QC;G1V 2M2;Canada\r\n"
                          "TEL;VALUE=uri;TYPE=\"work,voice\";PREF=1:tel:+1-418-656-9254;ext=102\r\n"
                          "TEL;VALUE=uri;TYPE=\"work,cell,voice,video,text\":tel:+1-418-262-6501\r\n"
                          "EMAIL;TYPE=work:simon.perreault@viagenie.ca\r\nGEO;TYPE=work:geo:46.772673\\,-71."
                          "282945\r\n"
                          "KEY;TYPE=work;VALUE=uri:\r\n http://www.viagenie.ca/simon.perreault/simon.asc\r\n"
                          "TZ:-0500\r\nURL;TYPE=home:http://nomis80.org\r\nEND:VCARD\r\n")
            << u"Prijmeni=Perreault|Jmeno_1=Simon|Titul_1=ing. jr,M.Sc.|Firma=Viagenie|"
               "zam_Cast=Suite D2-630|zam_ulice=2875 Laurier|zam_Obec=Quebec|zam_PSC=G1V2M2|"
               "zam_Stat=Canada|Tel_5=+14186569254;ext=102|Tel_1=+14182626501|"
               "E-mail_1=simon.perreault@viagenie.ca|Internet=http://nomis80.org"_s
            << u"zam"_s << 8;
        // A mail program writing 3.0: groups, TYPE=pref on the home address,
        // escaped commas, a folded note and a label of its own.
        QTest::newRow("mail program 3.0")
            << QByteArray(
                   "BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//Mail//EN\r\nN:Doe;John;;Mr.;\r\nFN:John Doe\r\n"
                   "ORG:Example.com Inc.\\, Research;\r\nTITLE:Imaginary test person\r\n"
                   "EMAIL;TYPE=INTERNET,pref:johnDoe@example.org\r\nEMAIL;TYPE=INTERNET:jd@example.com\r\n"
                   "TEL;TYPE=WORK,VOICE:(111) 555-1212\r\nTEL;TYPE=HOME,VOICE:(404) 555-1212\r\n"
                   "TEL;TYPE=CELL:+420 603 123 456\r\n"
                   "ADR;TYPE=WORK:;;100 Waters Edge;Baytown;LA;30314;United States of America\r\n"
                   "ADR;TYPE=HOME,pref:;;Na Příkopě 42;Praha;;110 00;Česko\r\n"
                   "NOTE:John Doe has a long and varied history\\, being documented on more police\r\n"
                   "  files than anyone else.\\nReports of his death are numerous.\r\n"
                   "item1.URL:http\\://www.example.com/doe\r\nitem1.X-ABLabel:_$!<HomePage>!$_\r\n"
                   "END:VCARD\r\n")
            << u"Prijmeni=Doe|Jmeno_1=John|Titul_1=Mr.|Firma=Example.com Inc., Research|"
               "Funkce=Imaginary test person|E-mail_1=johnDoe@example.org|"
               "E-mail_2=jd@example.com|Tel_5=1115551212|Tel_3=4045551212|Tel_1=603123456|"
               "zam_ulice=100 Waters Edge|zam_Obec=Baytown|zam_Cast=LA|zam_PSC=30314|"
               "zam_Stat=United States of America|domu_ulice=Na Příkopě|domu_CP=42|"
               "domu_Obec=Praha|domu_PSC=11000|domu_Stat=Česko|"
               "Info=John Doe has a long and varied history, being documented on more police files than "
               "anyone else.\nReports of his death are numerous.|"
               "Internet=http://www.example.com/doe"_s
            << u"domu"_s << 1;
        // A phone writing 2.1: quoted-printable UTF-8, bare types, a third
        // mobile, a fax and a photo that have no column, a number of no kind.
        QTest::newRow("phone 2.1")
            << QByteArray(
                   "BEGIN:VCARD\r\nVERSION:2.1\r\n"
                   "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=C4=8Cern=C3=A1;Jana;;;\r\n"
                   "FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Jana =C4=8Cern=C3=A1\r\n"
                   "TEL;CELL;PREF:+420603111222\r\nTEL;CELL:603 333 444\r\nTEL;CELL:777 000 111\r\n"
                   "TEL;HOME:251 000 111\r\nTEL;FAX:251 000 112\r\nTEL;VOICE:800 123 456\r\n"
                   "EMAIL;INTERNET:jana@example.cz\r\n"
                   "ADR;HOME;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:;;Dlouh=C3=A1 12/3;Praha 1;;110 00;=\r\n"
                   "=C4=8Cesk=C3=A1 republika\r\n"
                   "PHOTO;ENCODING=BASE64;TYPE=JPEG:\r\n /9j/4AAQSkZJRgABAQEASABIAAD\r\n\r\nEND:VCARD\r\n")
            << u"Prijmeni=Černá|Jmeno_1=Jana|Tel_1=603111222|Tel_2=603333444|Tel_3=251000111|"
               "Tel_4=800123456|E-mail_1=jana@example.cz|domu_ulice=Dlouhá|domu_CP=12/3|"
               "domu_Obec=Praha 1|domu_PSC=11000|domu_Stat=Česká republika"_s
            << u"domu"_s << 3;
        // Without N the formatted name is the surname; several untyped
        // addresses: the first takes the other group, the next is left out.
        QTest::newRow("no name parts, two plain addresses")
            << QByteArray("BEGIN:VCARD\nVERSION:3.0\nFN:Petr Malý\nADR:;;Krátká 5;Brno;;;\n"
                          "ADR:;;Dlouhá 7;Brno;;;\nEND:VCARD\n")
            << u"Prijmeni=Petr Malý|jine_ulice=Krátká|jine_CP=5|jine_Obec=Brno"_s << u"jine"_s << 1;
    }
    void programs() {
        QFETCH(QByteArray, file);
        QFETCH(QString, values);
        QFETCH(QString, kind);
        QFETCH(int, leftOut);
        const vcard::Parsed parsed = vcard::parse(file);
        QCOMPARE(parsed.cards.size(), 1);
        const NewRecord r = recordFromCard(parsed.cards[0]);
        QStringList expected = values.split(u'|');
        expected.sort();
        QCOMPARE(asLines(r.values), expected);
        QCOMPARE(r.addressKind, kind);
        QCOMPARE(r.leftOut, leftOut);
        QCOMPARE(r.cut, 0);
    }

    void streets_data() {
        QTest::addColumn<QString>("street");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("number");
        QTest::newRow("street and number") << u"Dlouhá 12/3"_s << u"Dlouhá"_s << u"12/3"_s;
        QTest::newRow("number with letter") << u"28. října 1a"_s << u"28. října"_s << u"1a"_s;
        QTest::newRow("number alone") << u"12"_s << QString() << u"12"_s;
        QTest::newRow("no number") << u"Třída 1. máje"_s << u"Třída 1. máje"_s << QString();
        QTest::newRow("number first") << u"100 Waters Edge"_s << u"100 Waters Edge"_s << QString();
    }
    void streets() {
        QFETCH(QString, street);
        QFETCH(QString, name);
        QFETCH(QString, number);
        QCOMPARE(splitStreet(street), std::make_pair(name, number));
    }

    // Every field of a record out to a file and back in as a second record.
    void roundTrip() {
        Harness h;
        QList<std::pair<QString, QString>> record{
            {u"Titul_1"_s, u"Ing. Ph.D."_s},
            {u"Jmeno_1"_s, u"Jan"_s},
            {u"Prijmeni"_s, u"Novák; Dvořák"_s},
            {u"Firma"_s, u"Stavby, s.r.o."_s},
            {u"Funkce"_s, u"Vedoucí\\oddělení"_s},
            {u"Internet"_s, u"http://www.example.cz/a,b?x=1;y=2"_s},
            {u"Info"_s, u"První řádek\nDruhý, s čárkou; a středníkem "_s + u"žluťoučký kůň "_s.repeated(12)},
            {u"zobraz_adr"_s, u"zam"_s}};
        const char* const groups[] = {"domu", "zam", "jine"};
        for (int g = 0; g < 3; ++g) {
            const QString p = QString::fromUtf8(groups[g]) + u'_';
            const QString n = QString::number(g + 1);
            record << std::pair{p + u"ulice"_s, u"Ulice 28. října "_s + n}
                   << std::pair{p + u"CP"_s, n + u"2/3a"_s} << std::pair{p + u"Obec"_s, u"Obec "_s + n}
                   << std::pair{p + u"Cast"_s, u"Část "_s + n} << std::pair{p + u"PSC"_s, u"1100"_s + n}
                   << std::pair{p + u"Stat"_s, u"Stát "_s + n};
        }
        for (int i = 1; i <= 6; ++i)
            record << std::pair{u"Tel_%1"_s.arg(i), u"60312345%1"_s.arg(i)};
        for (int i = 1; i <= 3; ++i)
            record << std::pair{u"E-mail_%1"_s.arg(i), u"jan%1@example.cz"_s.arg(i)};
        h.add(record);

        const QString path = h.file({});
        const VCardExport written = exportVCards(*h.personal, std::nullopt, path);
        QVERIFY(written.error.isEmpty());
        QCOMPARE(written.written, 1);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.endsWith("\r\n"));
        QVERIFY(!bytes.chopped(2).replace("\r\n", "").contains('\n'));
        const QList<QByteArray> lines = bytes.chopped(2).split('\n');
        for (const QByteArray& line : lines)
            QVERIFY2(line.chopped(line.endsWith('\r') ? 1 : 0).size() <= 75, line.constData());
        QCOMPARE(lines.value(0), QByteArray("BEGIN:VCARD\r"));
        QCOMPARE(lines.value(1), QByteArray("VERSION:4.0\r"));
        QCOMPARE(lines.value(2), QByteArray("FN:Ing. Ph.D. Jan Novák\\; Dvořák\r"));
        QCOMPARE(lines.value(3), QByteArray("N:Novák\\; Dvořák;Jan;;Ing. Ph.D.;\r"));
        const QByteArray unfolded = QByteArray(bytes).replace("\r\n ", "");
        QVERIFY(unfolded.contains("\r\nORG:Stavby\\, s.r.o.\r\n"));
        QVERIFY(unfolded.contains("\r\nTITLE:Vedoucí\\\\oddělení\r\n"));
        QVERIFY(unfolded.contains(
            "\r\nADR;TYPE=work;PREF=1:;Část 2;Ulice 28. října 2 22/3a;Obec 2;;11002;Stát 2\r\n"));
        QVERIFY(unfolded.contains("\r\nURL:http://www.example.cz/a,b?x=1;y=2\r\n"));
        QVERIFY(bytes.endsWith("END:VCARD\r\n"));

        const VCardImport imported = importVCards(h.search, path, 10);
        QVERIFY(imported.refused.isEmpty());
        QCOMPARE(imported.outcome.posted, 1);
        QCOMPARE(imported.outcome.cut + imported.outcome.leftOut, 0);
        for (const QString& column : kMapped) {
            const QStringList both = h.stored(column);
            QCOMPARE(both.size(), 2);
            QCOMPARE(both[1], both[0]);
        }
    }

    // What the export takes: the marked rows in the order of the listing;
    // without marks every record, after the question; nothing without records.
    void selection_data() {
        QTest::addColumn<int>("records");
        QTest::addColumn<QList<int>>("marked"); // rows of the listing, in the order they are marked
        QTest::addColumn<QList<int>>("ids");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("question");
        QTest::newRow("no records") << 0 << QList<int>{} << QList<int>{}
                                    << u"Vlastní databáze neobsahuje žádné záznamy.    "_s << QString();
        QTest::newRow("none marked")
            << 3 << QList<int>{} << QList<int>{} << QString()
            << u"Není označen žádný záznam. Exportovat všechny záznamy vlastní databáze (3)?    "_s;
        QTest::newRow("two marked") << 3 << QList<int>{2, 0} << QList<int>{1, 3} << QString() << QString();
    }
    void selection() {
        QFETCH(int, records);
        QFETCH(QList<int>, marked);
        QFETCH(QList<int>, ids);
        QFETCH(QString, refusal);
        QFETCH(QString, question);
        Harness h;
        for (int i = 0; i < records; ++i)
            h.addSurnames({u"K%1"_s.arg(i)});
        h.search.listAll(10);
        for (const int row : marked) {
            db::Dataset& page = h.search.pageQuery();
            page.first();
            for (int i = 0; i < row; ++i)
                page.next();
            QVERIFY(h.search.page().toggleMark());
        }
        const VCardSelection chosen = vcardSelection(h.search);
        QCOMPARE(chosen.refusal, refusal);
        QCOMPARE(chosen.question, question);
        QCOMPARE(chosen.ids.has_value(), !marked.isEmpty());
        QCOMPARE(chosen.ids.value_or(QList<int>{}), ids);
    }

    // A file that cannot be written leaves none behind and says why.
    void exportFails() {
        Harness h;
        h.addSurnames({u"Novák"_s});
        const QString path = h.dir.filePath(u"chybí/kontakty.vcf"_s);
        const VCardExport written = exportVCards(*h.personal, std::nullopt, path);
        QCOMPARE(written.written, 0);
        QVERIFY2(written.error.startsWith(u"Soubor \""_s + QDir::toNativeSeparators(path) +
                                          u"\" nelze zapsat: "_s),
                 qPrintable(written.error));
        QVERIFY(!QFile::exists(path));
    }

    // With 498 records present, 2 of 5 cards are posted and the limit is reported.
    void recordLimit() {
        Harness h;
        h.addSurnames(QStringList(498, u"Stávající"_s));
        const VCardImport imported = importVCards(h.search, h.file(cards(5)), 10);
        QCOMPARE(imported.outcome.posted, 2);
        QVERIFY(imported.outcome.limitReached);
        QCOMPARE(PersonalRecords(h.search).count(), PersonalRecords::kRecordLimit);
        QCOMPARE(h.working(u"Prijmeni"_s), (QStringList{u"K0"_s, u"K1"_s}));
        QCOMPARE(resultMessage(imported.outcome), u"Bylo importováno 2 záznamů.    "_s);
    }

    // Cut and left-out values are counted; the record is stored all the same.
    void cutAndLeftOut() {
        Harness h;
        const QByteArray title(150, 'f');
        const VCardImport imported =
            importVCards(h.search,
                         h.file("BEGIN:VCARD\r\nVERSION:4.0\r\nN:Nov\xC3\xA1k;;;;\r\nTITLE:" + title +
                                "\r\nEMAIL:a@x.cz\r\nEMAIL:b@x.cz\r\nEMAIL:c@x.cz\r\nEMAIL:d@x.cz\r\n"
                                "PHOTO:data:image/jpeg;base64,/9j/4AAQ\r\nEND:VCARD\r\n"),
                         10);
        QCOMPARE(imported.outcome.posted, 1);
        QCOMPARE(imported.outcome.cut, 1);
        QCOMPARE(imported.outcome.leftOut, 2);
        QCOMPARE(h.stored(u"Funkce"_s), QStringList{QString(100, u'f')});
        QCOMPARE(h.stored(u"E-mail_3"_s), QStringList{u"c@x.cz"_s});
        QCOMPARE(
            resultMessage(imported.outcome),
            u"Bylo importováno 1 záznamů.    \nHodnot delších než jejich pole, které byly zkráceny: 1.    "
            "\nVynechané údaje, pro které záznam nemá pole: 2.    "_s);
    }

    // A file that is no vCard, or is cut short, imports nothing and leaves the page as it was.
    void refused_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("csv") << QByteArray("Jméno;Příjmení\r\nJan;Novák\r\n") << u"není ve formátu vCard"_s;
        QTest::newRow("cut short") << cards(2) + "BEGIN:VCARD\r\nVERSION:4.0\r\nN:Torzo;;;;\r\n"
                                   << u"záznam začínající na řádku 11 nemá konec"_s;
    }
    void refused() {
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        Harness h;
        h.addSurnames({u"Stávající"_s});
        h.search.listAll(10);
        const VCardImport imported = importVCards(h.search, h.file(file), 10);
        QVERIFY2(imported.refused.contains(message), qPrintable(imported.refused));
        QVERIFY(imported.refused.contains(u"Nic nebylo importováno"_s));
        QCOMPARE(imported.outcome.posted, 0);
        QCOMPARE(h.stored(u"Prijmeni"_s), QStringList{u"Stávající"_s});
        QCOMPARE(h.working(u"Prijmeni"_s), QStringList{u"Stávající"_s});
    }
};

QTEST_MAIN(TestContactVCard)
#include "tst_contactvcard.moc"
