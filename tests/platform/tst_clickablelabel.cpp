// A clickable label made a control: reached with Tab, set off by Space and
// Enter, and presented to assistive technology in its role with its name.

#include "ClickableLabel.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using Role = ClickableLabel::Role;

Q_DECLARE_METATYPE(Role)

class TestClickableLabel : public QObject {
    Q_OBJECT

  private slots:
    void keys_data();
    void keys();
    void clickKeepsTheFocus();
    void presentation_data();
    void presentation();
    void actions_data();
    void actions();
    void controlLooksAsBefore();
};

void TestClickableLabel::keys_data() {
    QTest::addColumn<Role>("role");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("clicks");
    QTest::newRow("button, space") << Role::Button << int(Qt::Key_Space) << 0 << 1;
    QTest::newRow("button, return") << Role::Button << int(Qt::Key_Return) << 0 << 1;
    QTest::newRow("button, keypad enter")
        << Role::Button << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << 1;
    QTest::newRow("check box, space") << Role::CheckBox << int(Qt::Key_Space) << 0 << 1;
    QTest::newRow("link, return") << Role::Link << int(Qt::Key_Return) << 0 << 1;
    // Ctrl+Space marks a row, whatever has the focus; letters do nothing here.
    QTest::newRow("button, ctrl+space")
        << Role::Button << int(Qt::Key_Space) << int(Qt::ControlModifier) << 0;
    QTest::newRow("button, letter") << Role::Button << int(Qt::Key_A) << 0 << 0;
    // A label that only shows a text is no control.
    QTest::newRow("text, space") << Role::Text << int(Qt::Key_Space) << 0 << 0;
}

void TestClickableLabel::keys() {
    QFETCH(Role, role);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, clicks);
    ClickableLabel label;
    label.setText(u"x"_s);
    if (role != Role::Text) label.makeControl(role, u"Popis"_s);
    QSignalSpy clicked(&label, &ClickableLabel::clicked);
    QTest::keyClick(&label, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(clicked.size(), clicks);
}

// Tab reaches the control; a click sets it off and leaves the focus where it was.
void TestClickableLabel::clickKeepsTheFocus() {
    QWidget window;
    auto* box = new QLineEdit(&window);
    auto* label = new ClickableLabel(&window);
    label->makeControl(Role::Button, u"Kopírovat vše"_s);
    label->setPixmap(QPixmap(16, 16));
    label->setGeometry(0, 30, 22, 22);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QApplication::setActiveWindow(&window);
    box->setFocus();
    QCOMPARE(label->focusPolicy(), Qt::TabFocus);
    QTest::keyClick(box, Qt::Key_Tab);
    QVERIFY(label->hasFocus());
    box->setFocus();
    QSignalSpy clicked(label, &ClickableLabel::clicked);
    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(clicked.size(), 1);
    QVERIFY(box->hasFocus());
    QTest::mouseClick(label, Qt::RightButton);
    QCOMPARE(clicked.size(), 1);
}

void TestClickableLabel::presentation_data() {
    QTest::addColumn<Role>("role");
    QTest::addColumn<bool>("picture");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("expectedRole");
    QTest::addColumn<bool>("focusable");
    QTest::addColumn<bool>("checkable");
    QTest::newRow("text") << Role::Text << false << QString() << int(QAccessible::StaticText) << false
                          << false;
    QTest::newRow("picture") << Role::Text << true << QString() << int(QAccessible::Graphic) << false
                             << false;
    QTest::newRow("button") << Role::Button << true << u"Kopírovat vše"_s << int(QAccessible::Button) << true
                            << false;
    QTest::newRow("check box") << Role::CheckBox << false << u"Obec – zástupný znak"_s
                               << int(QAccessible::CheckBox) << true << true;
    QTest::newRow("radio button") << Role::RadioButton << true << u"Adresa domů"_s
                                  << int(QAccessible::RadioButton) << true << true;
    QTest::newRow("link named by its text")
        << Role::Link << false << QString() << int(QAccessible::Link) << true << false;
}

void TestClickableLabel::presentation() {
    QFETCH(Role, role);
    QFETCH(bool, picture);
    QFETCH(QString, name);
    QFETCH(int, expectedRole);
    QFETCH(bool, focusable);
    QFETCH(bool, checkable);
    ClickableLabel label;
    if (picture)
        label.setPixmap(QPixmap(16, 16));
    else
        label.setText(u"  text  "_s);
    if (role != Role::Text) label.makeControl(role, name);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&label);
    QVERIFY(iface);
    QCOMPARE(int(iface->role()), expectedRole);
    QCOMPARE(iface->text(QAccessible::Name), name.isEmpty() && !picture ? u"text"_s : name);
    QCOMPARE(bool(iface->state().focusable), focusable);
    QCOMPARE(bool(iface->state().checkable), checkable);
    if (!checkable) return;
    QVERIFY(!iface->state().checked);
    label.setChecked(true);
    QVERIFY(iface->state().checked);
}

void TestClickableLabel::actions_data() {
    QTest::addColumn<Role>("role");
    QTest::addColumn<QString>("action");
    QTest::newRow("button") << Role::Button << QAccessibleActionInterface::pressAction();
    QTest::newRow("check box") << Role::CheckBox << QAccessibleActionInterface::toggleAction();
    QTest::newRow("link") << Role::Link << QAccessibleActionInterface::pressAction();
}

// Assistive technology presses the control as a click does; not while it is disabled.
void TestClickableLabel::actions() {
    QFETCH(Role, role);
    QFETCH(QString, action);
    ClickableLabel label;
    label.makeControl(role, u"Popis"_s);
    QAccessibleActionInterface* actions = QAccessible::queryAccessibleInterface(&label)->actionInterface();
    QVERIFY(actions);
    QCOMPARE(actions->actionNames().value(0), action);
    QSignalSpy clicked(&label, &ClickableLabel::clicked);
    actions->doAction(action);
    QCOMPARE(clicked.size(), 1);
    label.setEnabled(false);
    actions->doAction(action);
    QCOMPARE(clicked.size(), 1);
}

// Made a control, a text label is drawn exactly as the plain label it was
// (QLabel would draw a focusable label's text through a text document, a
// pixel off), also after its font changes; only the focus frame is added.
void TestClickableLabel::controlLooksAsBefore() {
    QLabel plain(u"  * "_s);
    ClickableLabel control;
    control.setText(u"  * "_s);
    control.makeControl(Role::CheckBox, u"Obec – zástupný znak"_s);
    QFont font = plain.font();
    font.setPixelSize(11);
    for (QLabel* label : {&plain, static_cast<QLabel*>(&control)}) {
        label->setFont(font);
        label->resize(14, 22);
    }
    QCOMPARE(control.grab().toImage(), plain.grab().toImage());
}

QTEST_MAIN(TestClickableLabel)
#include "tst_clickablelabel.moc"
