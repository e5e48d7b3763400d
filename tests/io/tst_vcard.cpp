// The vCard codec: folding of written lines, escapes, and reading the line
// forms of versions 2.1, 3.0 and 4.0 and files that are no vCard.

#include "VCard.h"

#include <QStringDecoder>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace vcard;

namespace {

// The one property of the one card a file holds.
Property onlyProperty(const QByteArray& file) {
    const Parsed parsed = parse(file);
    if (parsed.cards.size() != 1 || parsed.cards[0].properties.size() != 1) return {};
    return parsed.cards[0].properties[0];
}

QByteArray utf16(const QString& text) {
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

QByteArray card(const QByteArray& lines) {
    return "BEGIN:VCARD\r\nVERSION:3.0\r\n" + lines + "\r\nEND:VCARD\r\n";
}

} // namespace

class TestVCard : public QObject {
    Q_OBJECT

  private slots:
    // Written lines: at most 75 octets, whole characters on every line, CR LF,
    // and the value read back unchanged.
    void folding_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("short") << u"Novák"_s;
        QTest::newRow("exactly 75 octets") << QString(70, u'a');
        QTest::newRow("ascii") << QString(300, u'x');
        QTest::newRow("czech") << u"Příliš žluťoučký kůň úpěl ďábelské ódy. "_s.repeated(8);
        QTest::newRow("four-octet characters") << u"😀"_s.repeated(60);
        QTest::newRow("mixed offsets") << u"a"_s + u"ž😀"_s.repeated(40);
    }
    void folding() {
        QFETCH(QString, value);
        const QByteArray bytes = contentLine(u"NOTE:"_s + value);
        QVERIFY(bytes.endsWith("\r\n"));
        const QList<QByteArray> lines = bytes.chopped(2).split('\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QByteArray line = lines[i];
            if (i + 1 < lines.size()) {
                QVERIFY2(line.endsWith('\r'), "every line ends in CR LF");
                line.chop(1);
            }
            QVERIFY2(line.size() <= 75, line.constData());
            if (i > 0) QVERIFY(line.startsWith(' '));
            QStringDecoder utf8(QStringDecoder::Utf8);
            (void)utf8.decode(line);
            QVERIFY2(!utf8.hasError(), "no character is split between lines");
        }
        QCOMPARE(onlyProperty(card(bytes.chopped(2))).text(), value);
    }

    void escapes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written");
        QTest::newRow("comma and semicolon") << u"Novák, s.r.o.; Praha"_s << u"Novák\\, s.r.o.\\; Praha"_s;
        QTest::newRow("backslash") << u"C:\\data"_s << u"C:\\\\data"_s;
        QTest::newRow("line breaks") << u"a\r\nb\nc"_s << u"a\\nb\\nc"_s;
    }
    void escapes() {
        QFETCH(QString, text);
        QFETCH(QString, written);
        QCOMPARE(escaped(text), written);
        QCOMPARE(unescaped(written), QString(text).replace(u"\r\n"_s, u"\n"_s));
    }

    // Reading one property in the forms the three versions and their writers use.
    void reading_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<int>("pref");
        QTest::addColumn<QString>("text");
        QTest::newRow("folded with blank and tab")
            << card("NOTE:This is a long\r\n  description\r\n\t that spans lines") << u"NOTE"_s
            << QStringList() << 0 << u"This is a long description that spans lines"_s;
        QTest::newRow("line feeds only") << QByteArray("BEGIN:VCARD\nVERSION:4.0\nTITLE:Ředitel\nEND:VCARD\n")
                                         << u"TITLE"_s << QStringList() << 0 << u"Ředitel"_s;
        QTest::newRow("utf-16 with byte order mark")
            << utf16(QChar(0xFEFF) + u"BEGIN:VCARD\r\nTITLE:Ředitel\r\nEND:VCARD\r\n"_s) << u"TITLE"_s
            << QStringList() << 0 << u"Ředitel"_s;
        QTest::newRow("3.0 types and pref")
            << card("TEL;TYPE=WORK,VOICE;TYPE=pref:+1-418-656-9254") << u"TEL"_s
            << QStringList{u"work"_s, u"voice"_s} << 1 << u"+1-418-656-9254"_s;
        QTest::newRow("4.0 quoted types")
            << card("TEL;VALUE=uri;PREF=2;TYPE=\"voice,home\":tel:+1-555") << u"TEL"_s
            << QStringList{u"voice"_s, u"home"_s} << 2 << u"tel:+1-555"_s;
        QTest::newRow("group and escaped colon")
            << card("item1.URL;type=pref:http\\://www.example.com") << u"URL"_s << QStringList() << 1
            << u"http://www.example.com"_s;
        QTest::newRow("colon in quoted parameter")
            << card("ADR;LABEL=\"Dlouhá 1: Praha\";TYPE=work:;;Dlouhá 1;Praha;;;") << u"ADR"_s
            << QStringList{u"work"_s} << 0 << u";;Dlouhá 1;Praha;;;"_s;
        QTest::newRow("2.1 bare types") << card("TEL;CELL;PREF:603 123 456") << u"TEL"_s
                                        << QStringList{u"cell"_s} << 1 << u"603 123 456"_s;
        QTest::newRow("2.1 quoted-printable utf-8 with soft break")
            << card("NOTE;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:P=C5=99=C3=ADli=C5=A1 "
                    "=\r\n=C5=BElu=C5=A5ou=C4=8Dk=\r\n"
                    "=C3=BD=0D=0Ak=C5=AF=C5=88")
            << u"NOTE"_s << QStringList() << 0 << u"Příliš žluťoučký\r\nkůň"_s;
        QTest::newRow("2.1 quoted-printable windows-1250")
            << card("N;CHARSET=WINDOWS-1250;QUOTED-PRINTABLE:=8Ailhav=FD;=C8en=ECk") << u"N"_s
            << QStringList() << 0 << u"Šilhavý;Čeněk"_s;
        QTest::newRow("windows-1250 bytes without charset")
            << card("FN:\x8Ailhav\xFD \xC8\x65n\xECk") << u"FN"_s << QStringList() << 0 << u"Šilhavý Čeněk"_s;
    }
    void reading() {
        QFETCH(QByteArray, file);
        QFETCH(QString, name);
        QFETCH(QStringList, types);
        QFETCH(int, pref);
        QFETCH(QString, text);
        const Property p = onlyProperty(file);
        QCOMPARE(p.name, name);
        QCOMPARE(p.types, types);
        QCOMPARE(p.pref, pref);
        QCOMPARE(p.text(), text);
    }

    // Inline binary data is not decoded; a card nested in another is passed over.
    void skipped() {
        const Parsed parsed = parse("BEGIN:VCARD\r\nVERSION:2.1\r\nPHOTO;ENCODING=BASE64;TYPE=JPEG:\r\n"
                                    "  /9j/4AAQSkZJRgABAQ\r\n\r\nAGENT:\r\nBEGIN:VCARD\r\nVERSION:2.1\r\n"
                                    "N:Agent\r\nEND:VCARD\r\nN:Main\r\nEND:VCARD\r\n");
        QCOMPARE(parsed.failure, Parsed::Failure::None);
        QCOMPARE(parsed.cards.size(), 1);
        const QList<Property>& p = parsed.cards[0].properties;
        QCOMPARE(p.size(), 3);
        QVERIFY(p[0].binary);
        QVERIFY(p[0].value.isEmpty());
        QCOMPARE(p[2].text(), u"Main"_s);
    }

    void broken_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("failure");
        QTest::addColumn<int>("line");
        QTest::newRow("empty") << QByteArray() << int(Parsed::Failure::NoCard) << 0;
        QTest::newRow("csv") << QByteArray("Jméno;Příjmení\r\nJan;Novák\r\n") << int(Parsed::Failure::NoCard)
                             << 0;
        QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0", 10) << int(Parsed::Failure::NoCard)
                                << 0;
        QTest::newRow("second card cut off")
            << QByteArray("BEGIN:VCARD\r\nN:A\r\nEND:VCARD\r\nBEGIN:VCARD\r\nN:B\r\n")
            << int(Parsed::Failure::Unterminated) << 4;
    }
    void broken() {
        QFETCH(QByteArray, file);
        QFETCH(int, failure);
        QFETCH(int, line);
        const Parsed parsed = parse(file);
        QCOMPARE(int(parsed.failure), failure);
        QCOMPARE(parsed.failureLine, line);
        QVERIFY(parsed.cards.isEmpty());
    }
};

QTEST_MAIN(TestVCard)
#include "tst_vcard.moc"
