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
        QCOMPARE(codepage::toWindows1250(text), bytes);
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
        QCOMPARE(codepage::fromWindows1250(bytes), text);
    }

    // Every byte reads as one character that writes back as the same byte.
    void everyByteRoundTrips() {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all += char(b);
        const QString text = codepage::fromWindows1250(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(codepage::toWindows1250(text), all);
    }
};

QTEST_GUILESS_MAIN(TestCodePage)
#include "tst_codepage.moc"
