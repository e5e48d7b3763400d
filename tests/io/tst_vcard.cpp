// The vCard codec: folding of written lines, escapes, and reading the line
// forms of versions 2.1, 3.0 and 4.0 and files that are no vCard.

#include "VCard.h"

#include <QStringDecoder>
#include <QTest>

using namespace vcard;

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

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
        QTest::newRow("short") << u8("Novák");
        QTest::newRow("exactly 75 octets") << QString(70, u'a');
        QTest::newRow("ascii") << QString(300, u'x');
        QTest::newRow("czech") << u8("Příliš žluťoučký kůň úpěl ďábelské ódy. ").repeated(8);
        QTest::newRow("four-octet characters") << u8("😀").repeated(60);
        QTest::newRow("mixed offsets") << u8("a") + u8("ž😀").repeated(40);
    }
    void folding() {
        QFETCH(QString, value);
        const QByteArray bytes = contentLine(u8("NOTE:") + value);
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
        QTest::newRow("comma and semicolon") << u8("Novák, s.r.o.; Praha") << u8("Novák\\, s.r.o.\\; Praha");
        QTest::newRow("backslash") << u8("C:\\data") << u8("C:\\\\data");
        QTest::newRow("line breaks") << u8("a\r\nb\nc") << u8("a\\nb\\nc");
    }
    void escapes() {
        QFETCH(QString, text);
        QFETCH(QString, written);
        QCOMPARE(escaped(text), written);
        QCOMPARE(unescaped(written), QString(text).replace(u8("\r\n"), u8("\n")));
    }

    // Reading one property in the forms the three versions and their writers use.
    void reading_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<int>("pref");
        QTest::addColumn<QString>("text");
        QTest::newRow("folded with blank and tab")
            << card("NOTE:This is a long\r\n  description\r\n\t that spans lines") << u8("NOTE")
            << QStringList() << 0 << u8("This is a long description that spans lines");
        QTest::newRow("line feeds only") << QByteArray("BEGIN:VCARD\nVERSION:4.0\nTITLE:Ředitel\nEND:VCARD\n")
                                         << u8("TITLE") << QStringList() << 0 << u8("Ředitel");
        QTest::newRow("utf-16 with byte order mark")
            << utf16(QChar(0xFEFF) + u8("BEGIN:VCARD\r\nTITLE:Ředitel\r\nEND:VCARD\r\n")) << u8("TITLE")
            << QStringList() << 0 << u8("Ředitel");
        QTest::newRow("3.0 types and pref")
            << card("TEL;TYPE=WORK,VOICE;TYPE=pref:+1-418-656-9254") << u8("TEL")
            << QStringList{u8("work"), u8("voice")} << 1 << u8("+1-418-656-9254");
        QTest::newRow("4.0 quoted types")
            << card("TEL;VALUE=uri;PREF=2;TYPE=\"voice,home\":tel:+1-555") << u8("TEL")
            << QStringList{u8("voice"), u8("home")} << 2 << u8("tel:+1-555");
        QTest::newRow("group and escaped colon")
            << card("item1.URL;type=pref:http\\://www.example.com") << u8("URL") << QStringList() << 1
            << u8("http://www.example.com");
        QTest::newRow("colon in quoted parameter")
            << card("ADR;LABEL=\"Dlouhá 1: Praha\";TYPE=work:;;Dlouhá 1;Praha;;;") << u8("ADR")
            << QStringList{u8("work")} << 0 << u8(";;Dlouhá 1;Praha;;;");
        QTest::newRow("2.1 bare types") << card("TEL;CELL;PREF:603 123 456") << u8("TEL")
                                        << QStringList{u8("cell")} << 1 << u8("603 123 456");
        QTest::newRow("2.1 quoted-printable utf-8 with soft break")
            << card("NOTE;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:P=C5=99=C3=ADli=C5=A1 "
                    "=\r\n=C5=BElu=C5=A5ou=C4=8Dk=\r\n"
                    "=C3=BD=0D=0Ak=C5=AF=C5=88")
            << u8("NOTE") << QStringList() << 0 << u8("Příliš žluťoučký\r\nkůň");
        QTest::newRow("2.1 quoted-printable windows-1250")
            << card("N;CHARSET=WINDOWS-1250;QUOTED-PRINTABLE:=8Ailhav=FD;=C8en=ECk") << u8("N")
            << QStringList() << 0 << u8("Šilhavý;Čeněk");
        QTest::newRow("windows-1250 bytes without charset")
            << card("FN:\x8Ailhav\xFD \xC8\x65n\xECk") << u8("FN") << QStringList() << 0
            << u8("Šilhavý Čeněk");
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
        QCOMPARE(p[2].text(), u8("Main"));
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
