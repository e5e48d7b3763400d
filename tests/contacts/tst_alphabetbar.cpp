#include "AlphabetBar.h"

#include <QAccessible>
#include <QApplication>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestAlphabetBar : public QObject {
    Q_OBJECT
  private slots:
    void ranges_data();
    void ranges();
    void outside();
    void clickNamesLetter();
    void keyboard_data();
    void keyboard();
    void lettersForAssistiveTechnology();
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

void TestAlphabetBar::keyboard_data() {
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("listed"); // the letters listed, in order
    QTest::addColumn<int>("current");
    QTest::newRow("space lists the first letter") << QList<int>{Qt::Key_Space} << u"a"_s << 0;
    QTest::newRow("right, enter") << QList<int>{Qt::Key_Right, Qt::Key_Right, Qt::Key_Return} << u"c"_s << 2;
    QTest::newRow("end, left, space") << QList<int>{Qt::Key_End, Qt::Key_Left, Qt::Key_Space} << u"y"_s << 24;
    QTest::newRow("left stops at a") << QList<int>{Qt::Key_Left, Qt::Key_Enter} << u"a"_s << 0;
    QTest::newRow("right stops at z")
        << QList<int>{Qt::Key_End, Qt::Key_Right, Qt::Key_Space} << u"z"_s << 25;
    QTest::newRow("home") << QList<int>{Qt::Key_End, Qt::Key_Home} << QString() << 0;
    QTest::newRow("a typed letter lists at once") << QList<int>{Qt::Key_M, Qt::Key_K} << u"mk"_s << 10;
    QTest::newRow("a digit does nothing") << QList<int>{Qt::Key_5} << QString() << 0;
}

// One stop of the Tab key: the arrows move the current letter, Space or
// Enter lists it, a typed letter lists itself.
void TestAlphabetBar::keyboard() {
    QFETCH(QList<int>, keys);
    QFETCH(QString, listed);
    QFETCH(int, current);
    AlphabetBar bar;
    QCOMPARE(bar.focusPolicy(), Qt::TabFocus);
    QString letters;
    connect(&bar, &AlphabetBar::letterClicked, &bar, [&](QChar letter) { letters += letter; });
    for (int key : keys)
        QTest::keyClick(&bar, Qt::Key(key));
    QCOMPARE(letters, listed);
    QCOMPARE(bar.currentIndex(), current);
    // Ctrl with a letter belongs to the window's shortcuts.
    QTest::keyClick(&bar, Qt::Key_B, Qt::ControlModifier);
    QCOMPARE(letters, listed);
}

// Assistive technology sees the bar as 26 buttons "Písmeno A" to "Písmeno Z"
// placed over their letters; the current one has the focus while the bar has
// it, and pressing one lists its letter.
void TestAlphabetBar::lettersForAssistiveTechnology() {
    AlphabetBar bar;
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    QApplication::setActiveWindow(&bar);
    bar.setFocus();
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&bar);
    QCOMPARE(iface->role(), QAccessible::ToolBar);
    QCOMPARE(iface->childCount(), AlphabetBar::kLetters);
    for (int i = 0; i < AlphabetBar::kLetters; ++i) {
        QAccessibleInterface* letter = iface->child(i);
        QCOMPARE(letter->text(QAccessible::Name), u"Písmeno "_s + QChar(u'A' + i));
        QCOMPARE(letter->role(), QAccessible::Button);
        QCOMPARE(letter->parent(), iface);
        QCOMPARE(iface->indexOfChild(letter), i);
        const auto [from, to] = AlphabetBar::rangeOf(QChar(u'a' + i));
        QCOMPARE(letter->rect(), QRect(bar.mapToGlobal(QPoint(from, 0)), QSize(to - from, bar.height())));
        const QPoint middle = letter->rect().center();
        QCOMPARE(iface->childAt(middle.x(), middle.y()), letter);
    }
    QVERIFY(bar.hasFocus());
    QCOMPARE(iface->focusChild(), iface->child(0));
    QVERIFY(iface->child(0)->state().focused);
    QTest::keyClick(&bar, Qt::Key_Right);
    QCOMPARE(iface->focusChild(), iface->child(1));
    QVERIFY(!iface->child(0)->state().focused);

    QSignalSpy spy(&bar, &AlphabetBar::letterClicked);
    QAccessibleActionInterface* press = iface->child(12)->actionInterface();
    QVERIFY(press);
    press->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.first().first().value<QChar>(), QChar(u'm'));
    QCOMPARE(bar.currentIndex(), 12);
}

QTEST_MAIN(TestAlphabetBar)
#include "tst_alphabetbar.moc"
