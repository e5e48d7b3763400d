#include "CzechText.h"

#include <QTest>

class TestCzechText : public QObject {
    Q_OBJECT
  private slots:
    void fold_data();
    void fold();
    void compare_data();
    void compare();
};

void TestCzechText::fold_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    // clang-format off
    QTest::newRow("ascii lower") << "novak 12" << "novak 12";
    QTest::newRow("ascii mixed") << "NovaK" << "novak";
    QTest::newRow("diacritics kept") << "ŘÍHA" << "říha";
    QTest::newRow("czech capitals") << "ÁČĎÉĚÍŇÓŘŠŤÚŮÝŽ" << "áčďéěíňóřšťúůýž";
    // Lower-casing may lengthen a text: "İ" becomes "i" + combining dot.
    QTest::newRow("lengthening") << QStringLiteral("AİB") << QStringLiteral("ai\u0307b");
    QTest::newRow("outside BMP") << QStringLiteral("X\U00010400") << QStringLiteral("x\U00010428");
    // clang-format on
}

void TestCzechText::fold() {
    QFETCH(QString, input);
    QFETCH(QString, expected);
    const QString before(input.constData(), input.size()); // a deep copy
    QCOMPARE(czech::fold(input), expected);
    QCOMPARE(input, before); // the ASCII path writes into a copy, which must detach first
}

void TestCzechText::compare_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("sign");

    // clang-format off
    QTest::newRow("ch after h") << "ch" << "h" << 1;
    QTest::newRow("ch before i") << "ch" << "i" << -1;
    QTest::newRow("č after c") << "čaj" << "cukr" << 1;
    QTest::newRow("č before d") << "č" << "d" << -1;
    QTest::newRow("ř between r and s") << "řada" << "rz" << 1;
    QTest::newRow("ř before s") << "ř" << "s" << -1;
    QTest::newRow("š after s") << "šachy" << "sz" << 1;
    QTest::newRow("ž after z") << "ž" << "zz" << 1;
    QTest::newRow("case ignored") << "Novák" << "NOVÁK" << 0;
    QTest::newRow("acute significant") << "Novak" << "Novák" << -1;
    QTest::newRow("empty first") << "" << "a" << -1;
    // clang-format on
}

void TestCzechText::compare() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, sign);

    czech::Collator coll;
    auto sgn = [](int v) { return (v > 0) - (v < 0); };
    QCOMPARE(sgn(coll.compare(a, b)), sign);
    QCOMPARE(sgn(coll.compare(b, a)), -sign);
    QCOMPARE(sgn(coll.compareView(a, b)), sign);
    // UTF-8 values are not zero-terminated: bytes beyond the view must not count.
    const QByteArray ua = a.toUtf8() + "\xffzz", ub = b.toUtf8() + "a";
    QCOMPARE(sgn(coll.compareUtf8(QByteArrayView(ua).chopped(3), QByteArrayView(ub).chopped(1))), sign);
}

QTEST_GUILESS_MAIN(TestCzechText)
#include "tst_czechtext.moc"
