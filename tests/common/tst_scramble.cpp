#include "Scramble.h"

#include <QtTest>

class TestScramble : public QObject {
    Q_OBJECT
  private slots:
    void roundTrip_data() {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("key");
        QTest::newRow("nine digits, short key") << QStringLiteral("605123456") << QStringLiteral("7");
        QTest::newRow("nine digits, long key") << QStringLiteral("222333444") << QStringLiteral("1234567");
        QTest::newRow("key longer than number")
            << QStringLiteral("5851234") << QStringLiteral("9876543210123");
        QTest::newRow("twelve digits") << QStringLiteral("420605123456") << QStringLiteral("2425638");
    }
    // Scrambling twice with the same key gives the number back; the first four
    // digits stay plain so the directory can select by them.
    void roundTrip() {
        QFETCH(QString, number);
        QFETCH(QString, key);
        const QString stored = phone::unscramble(number, key);
        QCOMPARE(stored.left(4), number.left(4));
        QVERIFY(stored.mid(4) != number.mid(4));
        QCOMPARE(phone::unscramble(stored, key), number);
    }

    void unchanged_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("key");
        QTest::newRow("four characters") << QStringLiteral("6051") << QStringLiteral("12");
        QTest::newRow("empty") << QString() << QStringLiteral("12");
        QTest::newRow("no key") << QStringLiteral("605123456") << QString();
    }
    void unchanged() {
        QFETCH(QString, text);
        QFETCH(QString, key);
        QCOMPARE(phone::unscramble(text, key), text);
    }

    // The key character for position i is taken at 1-based position (i mod length) + 1:
    // with key "12" position 5 uses "2", position 6 uses "1".
    void keyPositions() {
        const QString s = phone::unscramble(QStringLiteral("000000"), QStringLiteral("12"));
        QCOMPARE(s[4].unicode(), char16_t('0' ^ (('2' + phone::kScrambleOffset) & 0xFF)));
        QCOMPARE(s[5].unicode(), char16_t('0' ^ (('1' + phone::kScrambleOffset) & 0xFF)));
    }
};

QTEST_GUILESS_MAIN(TestScramble)
#include "tst_scramble.moc"
