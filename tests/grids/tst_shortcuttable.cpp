// What a key press means as a Ctrl shortcut, and the pointing-hand cursor of
// the clickable controls.

#include "PageWidgets.h"
#include "PointingHandCursor.h"
#include "ShortcutTable.h"

#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

class TestShortcutTable : public QObject {
    Q_OBJECT
  private slots:
    void ctrlShortcutKey_data();
    void ctrlShortcutKey();
    void pointingHand();
};

void TestShortcutTable::ctrlShortcutKey_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("expected");
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    QTest::newRow("Ctrl+P") << int(Qt::Key_P) << ctrl << int(Qt::Key_P);
    QTest::newRow("P alone") << int(Qt::Key_P) << Qt::KeyboardModifiers() << 0;
    QTest::newRow("Ctrl+Shift+P") << int(Qt::Key_P) << (ctrl | Qt::ShiftModifier) << 0;
    QTest::newRow("Ctrl+Alt+P") << int(Qt::Key_P) << (ctrl | Qt::AltModifier) << 0;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << (ctrl | Qt::KeypadModifier) << int(Qt::Key_Return);
    QTest::newRow("keypad 5") << int(Qt::Key_5) << (ctrl | Qt::KeypadModifier) << int(Qt::Key_5);
    QTest::newRow("keypad 5 without Ctrl")
        << int(Qt::Key_5) << Qt::KeyboardModifiers(Qt::KeypadModifier) << 0;
    QTest::newRow("Czech +") << int(Qt::Key_Plus) << ctrl << int(Qt::Key_1);
    QTest::newRow("Czech ě") << int(QChar(0x011A).unicode()) << ctrl << int(Qt::Key_2);
    QTest::newRow("Czech é") << int(Qt::Key_Eacute) << ctrl << int(Qt::Key_0);
    QTest::newRow("Ctrl+Space") << int(Qt::Key_Space) << ctrl << int(Qt::Key_Space);
}

void TestShortcutTable::ctrlShortcutKey() {
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, expected);
    QCOMPARE(shortcuts::ctrlShortcutKey(key, modifiers), expected);
}

// Buttons and clickable labels show the pointing hand; a control with a cursor
// of its own keeps it, and the buttons of a message box keep the arrow.
void TestShortcutTable::pointingHand() {
    PointingHandCursor hand;
    QDialog dialog;
    auto* button = new QPushButton(QStringLiteral("&Zpět"), &dialog);
    auto* label = new ClickableLabel(&dialog);
    auto* own = new QPushButton(QStringLiteral("&Kopie"), &dialog);
    own->setCursor(Qt::IBeamCursor);
    auto* plain = new QLabel(QStringLiteral("text"), &dialog);
    auto* layout = new QVBoxLayout(&dialog);
    for (QWidget* w : {static_cast<QWidget*>(button), static_cast<QWidget*>(label),
                       static_cast<QWidget*>(own), static_cast<QWidget*>(plain)})
        layout->addWidget(w);
    dialog.show();
    QCOMPARE(button->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(label->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(own->cursor().shape(), Qt::IBeamCursor);
    QCOMPARE(plain->cursor().shape(), Qt::ArrowCursor);

    QMessageBox box(QMessageBox::Information, QStringLiteral("Informace"), QStringLiteral("text"),
                    QMessageBox::Ok);
    box.show();
    const auto buttons = box.findChildren<QPushButton*>();
    QVERIFY(!buttons.isEmpty());
    for (QPushButton* b : buttons)
        QCOMPARE(b->cursor().shape(), Qt::ArrowCursor);
}

QTEST_MAIN(TestShortcutTable)
#include "tst_shortcuttable.moc"
