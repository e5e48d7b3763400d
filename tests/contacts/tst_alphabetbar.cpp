#include "AlphabetBar.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

class TestAlphabetBar : public QObject {
    Q_OBJECT
  private slots:
    void ranges_data();
    void ranges();
    void outside();
    void clickNamesLetter();
};

void TestAlphabetBar::ranges_data() {
    QTest::addColumn<QChar>("letter");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    const struct {
        char letter;
        int first, last;
    } ranges[] = {{'a', 0, 17},    {'b', 18, 37},   {'c', 38, 56},   {'d', 57, 75},   {'e', 76, 93},
                  {'f', 94, 110},  {'g', 111, 128}, {'h', 129, 147}, {'i', 148, 163}, {'j', 164, 177},
                  {'k', 178, 195}, {'l', 196, 210}, {'m', 211, 232}, {'n', 233, 252}, {'o', 253, 270},
                  {'p', 271, 290}, {'q', 291, 309}, {'r', 310, 325}, {'s', 326, 342}, {'t', 343, 358},
                  {'u', 359, 378}, {'v', 379, 396}, {'w', 397, 417}, {'x', 418, 435}, {'y', 436, 454},
                  {'z', 455, 468}};
    for (const auto& r : ranges)
        QTest::addRow("%c", r.letter) << QChar(QLatin1Char(r.letter)) << r.first << r.last;
}

// Each letter owns its range of x positions, edges included.
void TestAlphabetBar::ranges() {
    QFETCH(QChar, letter);
    QFETCH(int, first);
    QFETCH(int, last);
    QCOMPARE(AlphabetBar::letterAt(first), letter);
    QCOMPARE(AlphabetBar::letterAt((first + last) / 2), letter);
    QCOMPARE(AlphabetBar::letterAt(last), letter);
    QCOMPARE(AlphabetBar::rangeOf(letter), std::make_pair(first, last + 1));
}

void TestAlphabetBar::outside() {
    QVERIFY(AlphabetBar::letterAt(-1).isNull());
    QVERIFY(AlphabetBar::letterAt(AlphabetBar::kWidth).isNull());
}

void TestAlphabetBar::clickNamesLetter() {
    AlphabetBar bar;
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    QCOMPARE(bar.width(), AlphabetBar::kWidth);
    QSignalSpy spy(&bar, &AlphabetBar::letterClicked);
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(215, bar.height() / 2));
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.first().first().value<QChar>(), QChar(u'm'));
}

QTEST_MAIN(TestAlphabetBar)
#include "tst_alphabetbar.moc"
