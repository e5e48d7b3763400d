// The Ctrl shortcut table and its dispatcher over controls found by name, and
// the pointing-hand cursor of the clickable controls.

#include "DataGrid.h"
#include "PageWidgets.h"
#include "PointingHandCursor.h"
#include "ShortcutDispatcher.h"
#include "ShortcutTable.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using shortcuts::Action;

class TestShortcutTable : public QObject {
    Q_OBJECT
  private slots:
    void ctrlShortcutKey_data();
    void ctrlShortcutKey();
    void lookUp_data();
    void lookUp();
    void dispatch_data();
    void dispatch();
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
    QTest::newRow("Alt+P") << int(Qt::Key_P) << Qt::KeyboardModifiers(Qt::AltModifier) << 0;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << (ctrl | Qt::KeypadModifier) << int(Qt::Key_Return);
    QTest::newRow("keypad 5") << int(Qt::Key_5) << (ctrl | Qt::KeypadModifier) << int(Qt::Key_5);
    QTest::newRow("keypad 5 without Ctrl")
        << int(Qt::Key_5) << Qt::KeyboardModifiers(Qt::KeypadModifier) << 0;
    QTest::newRow("Czech +") << int(Qt::Key_Plus) << ctrl << int(Qt::Key_1);
    QTest::newRow("Czech ě") << int(QChar(0x011A).unicode()) << ctrl << int(Qt::Key_2);
    QTest::newRow("Czech í") << int(Qt::Key_Iacute) << ctrl << int(Qt::Key_9);
    QTest::newRow("Czech é") << int(Qt::Key_Eacute) << ctrl << int(Qt::Key_0);
    QTest::newRow("Ctrl+Space") << int(Qt::Key_Space) << ctrl << int(Qt::Key_Space);
}

void TestShortcutTable::ctrlShortcutKey() {
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, expected);
    QCOMPARE(shortcuts::ctrlShortcutKey(key, modifiers), expected);
}

void TestShortcutTable::lookUp_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("found");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("column");
    auto row = [](const char* name, const char* page, int key, Action action, const char* control,
                  int column = 0) {
        QTest::newRow(name) << QString::fromUtf8(page) << key << true << int(action)
                            << QString::fromUtf8(control) << column;
    };
    auto none = [](const char* name, const char* page, int key) {
        QTest::newRow(name) << QString::fromUtf8(page) << key << false << 0 << QString() << 0;
    };
    row("firms J: the note", "firmy", Qt::Key_J, Action::Focus, "poznamka");
    row("personal F: the firm box", "vlastni", Qt::Key_F, Action::Focus, "firma_v");
    row("persons 9: the last column", "osoby", Qt::Key_9, Action::ToggleColumn, "DBGridPro1", 9);
    row("personal 1", "vlastni", Qt::Key_1, Action::ToggleColumn, "DBGridPro4", 1);
    row("information A", "informace", Qt::Key_A, Action::Focus, "RadioButton4");
    none("firms P", "firmy", Qt::Key_P);
    none("persons F", "osoby", Qt::Key_F);
    none("personal B", "vlastni", Qt::Key_B);
    none("personal I", "vlastni", Qt::Key_I);
    none("information Q", "informace", Qt::Key_Q);
    none("no page yet", "", Qt::Key_P);
}

void TestShortcutTable::lookUp() {
    QFETCH(QString, page);
    QFETCH(int, key);
    QFETCH(bool, found);
    const auto target = shortcuts::lookUp(page, key);
    QCOMPARE(target.has_value(), found);
    if (!found) return;
    QFETCH(int, action);
    QFETCH(QString, control);
    QFETCH(int, column);
    QCOMPARE(int(target->action), action);
    QCOMPARE(target->control, control);
    QCOMPARE(target->column, column);
}

namespace {

// A window with a page "vlastni": a search box, a button and a grid of three columns.
struct FakeWindow {
    QWidget window;
    QWidget* page = new QWidget(&window);
    QLineEdit* box = new QLineEdit(page);
    QPushButton* search = new QPushButton(QStringLiteral("&Hledej"), page);
    DataGrid* grid = new DataGrid(page);
    QLabel* status = new QLabel(page);
    QStringList shownStatus;
    int marks = 0;
    ShortcutDispatcher keys{&window, [this](const QString& text) { shownStatus << text; }};

    FakeWindow() {
        page->setObjectName(QStringLiteral("vlastni"));
        box->setObjectName(QStringLiteral("prijmeni_v"));
        search->setObjectName(QStringLiteral("BitBtn3"));
        grid->setObjectName(QStringLiteral("DBGridPro4"));
        status->setObjectName(QStringLiteral("dones_v"));
        grid->setColumns({{QStringLiteral("Zn"), QStringLiteral("+/-"), 30},
                          {QStringLiteral("Jmeno_1"), QStringLiteral("Jméno"), 100},
                          {QStringLiteral("Prijmeni"), QStringLiteral("Příjmení"), 100}});
        auto* layout = new QVBoxLayout(page);
        for (QWidget* w : {static_cast<QWidget*>(box), static_cast<QWidget*>(search),
                           static_cast<QWidget*>(grid), static_cast<QWidget*>(status)})
            layout->addWidget(w);
        (new QVBoxLayout(&window))->addWidget(page);
        ShortcutDispatcher::PageCommands commands;
        commands.toggleMark = [this] { ++marks; };
        keys.setCommands(QStringLiteral("vlastni"), commands);
    }
    bool press(int key, const QString& pageName = QStringLiteral("vlastni")) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::ControlModifier);
        return keys.dispatch(pageName, event);
    }
};

} // namespace

void TestShortcutTable::dispatch_data() {
    QTest::addColumn<QString>("situation");
    for (const char* s :
         {"disabled button", "enabled button", "column past the grid", "column", "hidden page", "other page",
          "empty status", "status", "page command", "page command not given"})
        QTest::newRow(s) << QString::fromLatin1(s);
}

// What a key does, and when it is left to the focused control.
void TestShortcutTable::dispatch() {
    QFETCH(QString, situation);
    FakeWindow f;
    f.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    QSignalSpy clicked(f.search, &QPushButton::clicked);
    if (situation == u"disabled button") {
        f.search->setEnabled(false);
        QVERIFY(!f.press(Qt::Key_Return));
        QCOMPARE(clicked.size(), 0);
    } else if (situation == u"enabled button") {
        QVERIFY(f.press(Qt::Key_Enter));
        QCOMPARE(clicked.size(), 1);
    } else if (situation == u"column past the grid") {
        QVERIFY(!f.press(Qt::Key_3));
    } else if (situation == u"column") {
        QVERIFY(f.press(Qt::Key_2));
        QVERIFY(!f.grid->isColumnShown(2));
        QVERIFY(f.press(Qt::Key_2));
        QVERIFY(f.grid->isColumnShown(2));
    } else if (situation == u"hidden page") {
        f.page->hide();
        QVERIFY(!f.press(Qt::Key_P));
    } else if (situation == u"other page") {
        QVERIFY(!f.press(Qt::Key_J, QStringLiteral("osoby")));
    } else if (situation == u"empty status") {
        QVERIFY(f.press(Qt::Key_W));
        QCOMPARE(f.shownStatus, QStringList{QStringLiteral("Bez záznamů")});
    } else if (situation == u"status") {
        f.status->setText(QStringLiteral(" Počet záznamů: 3 nalezených,  1 označených"));
        QVERIFY(f.press(Qt::Key_W));
        QCOMPARE(f.shownStatus, QStringList{f.status->text()});
    } else if (situation == u"page command") {
        QVERIFY(f.press(Qt::Key_Space));
        QCOMPARE(f.marks, 1);
    } else if (situation == u"page command not given") {
        QVERIFY(!f.press(Qt::Key_C));
    }
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
