#include "CodePage.h"

#include <QtTest>

class TestCodePage : public QObject {
    Q_OBJECT
  private slots:
    void encode_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QString() << QByteArray();
        QTest::newRow("ascii") << QStringLiteral("Novak 12;\"x\"") << QByteArray("Novak 12;\"x\"");
        QTest::newRow("Czech letters")
            << QStringLiteral("řŘčšžýáíéůúťďňĚ")
            << QByteArray("\xF8\xD8\xE8\x9A\x9E\xFD\xE1\xED\xE9\xF9\xFA\x9D\xEF\xF2\xCC");
        QTest::newRow("euro and Czech quotes") << QStringLiteral("€„x“") << QByteArray("\x80\x84x\x93");
        QTest::newRow("decomposed r with caron") << QStringLiteral("r\u030C") << QByteArray("\xF8");
        QTest::newRow("outside the code page") << QStringLiteral("a中ÿ−b") << QByteArray("a???b");
        QTest::newRow("outside the BMP is one character")
            << QStringLiteral("x\U0001F600y") << QByteArray("x?y");
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + u'z' << QByteArray("?z");
    }
    void encode() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(code_page::toWindows1250(text), bytes);
    }

    void decode_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("Czech letters") << QByteArray("\xF8\xD8\x8A\x8E\xEC") << QStringLiteral("řŘŠŽě");
        QTest::newRow("euro") << QByteArray("\x80") << QStringLiteral("€");
        QTest::newRow("unassigned byte") << QByteArray("a\x81z") << QStringLiteral("a\u0081z");
    }
    void decode() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(code_page::fromWindows1250(bytes), text);
    }

    // Whether a text survives the code page, as the export reports it.
    void fits_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("fits");
        QTest::newRow("empty") << QString() << true;
        QTest::newRow("Czech and a question mark") << QStringLiteral("Řehoř? Žluť €") << true;
        QTest::newRow("decomposed caron") << QStringLiteral("r\u030C") << true;
        QTest::newRow("Danish") << QStringLiteral("Søren") << false;
        QTest::newRow("Chinese") << QStringLiteral("中文") << false;
        QTest::newRow("emoji") << QStringLiteral("x\U0001F600") << false;
    }
    void fits() {
        QFETCH(QString, text);
        QFETCH(bool, fits);
        QCOMPARE(code_page::fitsWindows1250(text), fits);
    }

    // The encoding of a text file's bytes and its text, every encoding as the
    // readers of files apply it.
    void textFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("encoding");
        QTest::addColumn<QString>("text");
        const QString text = QStringLiteral("Řehoř;Plzeň\r\n");
        const auto utf16 = [](const QString& t, bool little) {
            QByteArray out;
            for (const QChar c : t) {
                const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
                out += little ? lo : hi;
                out += little ? hi : lo;
            }
            return out;
        };
        using E = code_page::TextEncoding;
        QTest::newRow("UTF-8") << text.toUtf8() << int(E::Utf8) << text;
        QTest::newRow("UTF-8 with the mark") << "\xEF\xBB\xBF" + text.toUtf8() << int(E::Utf8) << text;
        QTest::newRow("ASCII with the UTF-8 mark") << QByteArray("\xEF\xBB\xBF"
                                                                 "a;b")
                                                   << int(E::Utf8) << "a;b";
        QTest::newRow("UTF-16 LE with the mark") << "\xFF\xFE" + utf16(text, true) << int(E::Utf16LE) << text;
        QTest::newRow("UTF-16 BE with the mark")
            << "\xFE\xFF" + utf16(text, false) << int(E::Utf16BE) << text;
        QTest::newRow("Windows-1250") << code_page::toWindows1250(text) << int(E::Windows1250) << text;
        QTest::newRow("ASCII") << QByteArray("Novak;1") << int(E::Windows1250) << "Novak;1";
        QTest::newRow("empty") << QByteArray() << int(E::Windows1250) << QString();
        QTest::newRow("a second mark is text")
            << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx") << int(E::Utf8) << QString(QChar(0xFEFF)) + u'x';
    }
    void textFiles() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, encoding);
        QFETCH(QString, text);
        code_page::TextEncoding found{};
        QCOMPARE(code_page::decodeText(bytes, &found), text);
        QCOMPARE(int(found), encoding);
        // Written back in the encoding found, behind its mark, the bytes are the same.
        const QByteArray mark = code_page::byteOrderMark(found);
        QCOMPARE((bytes.startsWith(mark) ? mark : QByteArray()) + code_page::encode(text, found), bytes);
    }

    // Every byte reads as one character that writes back as the same byte.
    void everyByteRoundTrips() {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all += char(b);
        const QString text = code_page::fromWindows1250(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(code_page::toWindows1250(text), all);
    }
};

QTEST_GUILESS_MAIN(TestCodePage)
#include "tst_codepage.moc"
