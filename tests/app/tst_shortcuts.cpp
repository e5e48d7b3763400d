// The keys the main window sees before its controls: F1, F4 and Esc on every
// page, the Ctrl shortcuts of the page in use, the shortcut list window, the
// keyboard hints of the search boxes and the pointing-hand cursor.

#include "MainWindowFixture.h"
#include "PageWidgets.h"
#include "PersonalLabel.h"
#include "RecordLabel.h"
#include "ShortcutListDialog.h"

#include "platform/WhenModal.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QtTest>

#include <numeric>

using namespace app_test;
using platform::Dialogs;

namespace {

class RecordingShell : public platform::Shell {
  public:
    QStringList opened;
    bool open(const QString& what) override {
        opened << what;
        return true;
    }
    CopyResult copyFile(QWidget*, const QString&, const QString&, QString*) override {
        return CopyResult::Failed;
    }
};

// The field each page focuses when it is entered.
const QStringList kFirstFields{QStringLiteral("prijmeni"), QStringLiteral("firma"),
                               QStringLiteral("prijmeni_v"), QStringLiteral("Edit1")};
const QStringList kGrids{QStringLiteral("DBGridPro1"), QStringLiteral("DBGridPro2"),
                         QStringLiteral("DBGridPro4")};

QStringList shownTitles(const DataGrid* grid) {
    QStringList titles;
    for (int i = 0; i < grid->columns().size(); ++i)
        if (grid->isColumnShown(i)) titles << grid->columns()[i].title;
    return titles;
}

// Each shown column's width against its share of the grid's width by the given widths.
QString widthProblems(const DataGrid* grid, const QList<int>& widths) {
    const double total = std::accumulate(widths.begin(), widths.end(), 0.0);
    const int available = grid->viewport()->width();
    QStringList problems;
    for (int i = 0; i < widths.size(); ++i) {
        const double share = widths[i] / total * available;
        if (!grid->isColumnShown(i) || qAbs(grid->columnWidth(i) - share) > 1.0)
            problems << QStringLiteral("column %1: %2 for %3").arg(i).arg(grid->columnWidth(i)).arg(share);
    }
    return problems.join(u'\n');
}

} // namespace

class TestShortcuts : public MainWindowTest {
    Q_OBJECT

    RecordingShell m_recordingShell;

    std::unique_ptr<MainWindow> startOn(int tab) {
        auto w = start();
        tabsOf(*w)->setCurrentIndex(tab);
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w.get())) qWarning("the main window did not become active");
        return w;
    }
    static QWidget* control(MainWindow& w, int tab, const QString& name) {
        return tabsOf(w)->widget(tab)->findChild<QWidget*>(name);
    }
    // A key pressed where the focus is.
    static void press(MainWindow& w, int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        QWidget* at = w.focusWidget() ? w.focusWidget() : &w;
        QTest::keyClick(at, Qt::Key(key), modifiers);
    }
    // The first page of results: persons or firms named "A…", or two personal records.
    static PageParts listPage(MainWindow& w, int tab) {
        QStringList inserts;
        for (const char* name : {"Malá", "Bílá"})
            inserts << QStringLiteral("INSERT INTO Vlastni (Prijmeni, Tel_1) VALUES (\"%1\", \"602123456\")")
                           .arg(QString::fromUtf8(name));
        return app_test::listPage(w, tab, inserts);
    }

  private slots:
    void init() {
        resetProgram();
        m_recordingShell.opened.clear();
        m_app = std::make_unique<Application>(*m_settings, m_drives, m_dialogs, m_recordingShell, m_program);
        m_app->directoryDbPath = QStringLiteral(ORDANA_TEST_DATA "/ordat.mdb");
    }

    void focusAndButtons_data();
    void focusAndButtons();
    void disabledButtonLeavesKeyToControl();
    void status_data();
    void status();
    void countMatches_data();
    void countMatches();
    void marks_data();
    void marks();
    void copiesLabel_data();
    void copiesLabel();
    void columnToggles();
    void columnSetTwice_data();
    void columnSetTwice();
    void personalDefaultColumnsTwice();
    void helpContents_data();
    void helpContents();
    void closeKeys_data();
    void closeKeys();
    void escEndsCellEditing();
    void shortcutListFromMenu();
    void personalGridKeepsItsKeys();
    void pointingHand();
};

void TestShortcuts::focusAndButtons_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("kind"); // "focus", "click" or "nothing"
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("keyName");
    const struct {
        int key;
        const char* keyName;
        const char* kind;
        const char* controls[4]; // persons, firms, personal, information; null: nothing
    } rows[] = {
        {Qt::Key_J, "J", "focus", {"jmeno", "poznamka", "jmeno_v", nullptr}},
        {Qt::Key_P, "P", "focus", {"prijmeni", nullptr, "prijmeni_v", nullptr}},
        {Qt::Key_F, "F", "focus", {nullptr, "firma", "firma_v", nullptr}},
        {Qt::Key_U, "U", "focus", {"ulice", "ulice_f", "ulice_v", nullptr}},
        {Qt::Key_O, "O", "focus", {"mesto", "mesto_f", "mesto_v", nullptr}},
        {Qt::Key_L, "L", "focus", {"cp", "cp_f", "cp_v", "ComboBox1"}},
        {Qt::Key_S, "S", "focus", {"psc", "psc_f", "psc_v", "RadioButton2"}},
        {Qt::Key_T, "T", "focus", {"tel", "tel_f", "tel_v", nullptr}},
        {Qt::Key_B, "B", "focus", {"ComboBox2", "ComboBox3", nullptr, nullptr}},
        {Qt::Key_M, "M", "focus", {"Memo1", "Memo2", "Memo3", "RadioButton3"}},
        {Qt::Key_Q, "Q", "focus", {"DBGridPro1", "DBGridPro2", "DBGridPro4", nullptr}},
        {Qt::Key_H, "H", "focus", {nullptr, nullptr, nullptr, "Edit1"}},
        {Qt::Key_A, "A", "focus", {nullptr, nullptr, nullptr, "RadioButton4"}},
        {Qt::Key_Z, "Z", "focus", {nullptr, nullptr, nullptr, "RadioButton1"}},
        {Qt::Key_Return, "Enter", "click", {"Button1", "Button6", "BitBtn3", nullptr}},
        {Qt::Key_Enter, "keypad Enter", "click", {"Button1", "Button6", "BitBtn3", nullptr}},
        {Qt::Key_N, "N", "click", {"Button3", "Button5", "BitBtn5", nullptr}},
        {Qt::Key_E, "E", "click", {"Button7", "Button9", "BitBtn7", nullptr}},
        {Qt::Key_K, "K", "click", {"Button20", "Button21", "BitBtn4", nullptr}},
        {Qt::Key_X, "X", "click", {"Button16", "Button17", "BitBtn6", nullptr}},
        {Qt::Key_Right, "Right", "click", {"Button12", "Button14", "Button8", nullptr}},
        {Qt::Key_Left, "Left", "click", {"Button11", "Button13", "Button4", nullptr}},
    };
    const char* const pages[] = {"osoby", "firmy", "vlastni", "informace"};
    for (const auto& row : rows)
        for (int tab = 0; tab < 4; ++tab) {
            const char* c = row.controls[tab];
            QTest::addRow("%s Ctrl+%s", pages[tab], row.keyName)
                << tab << row.key << QString::fromLatin1(c ? row.kind : "nothing") << QString::fromLatin1(c)
                << QString::fromLatin1(row.keyName);
        }
}

// Every Ctrl shortcut that focuses a control or presses a button, on every
// page; where a page has none, the key changes nothing. The search boxes of the
// result pages name their shortcuts in their hints. A pressed button runs
// through its click (its handlers are taken off here, only the press counts);
// a disabled one is not pressed.
void TestShortcuts::focusAndButtons() {
    QFETCH(int, tab);
    QFETCH(int, key);
    QFETCH(QString, kind);
    QFETCH(QString, control);
    QFETCH(QString, keyName);
    auto w = startOn(tab);
    // The focus starts elsewhere than the target.
    const QString elsewhere = tab < 3 ? kGrids[tab] : QStringLiteral("ComboBox1");
    QWidget* start =
        TestShortcuts::control(*w, tab, control == kFirstFields[tab] ? elsewhere : kFirstFields[tab]);
    start->setFocus();
    QCOMPARE(w->focusWidget(), start);

    if (kind == u"focus") {
        QWidget* target = TestShortcuts::control(*w, tab, control);
        QVERIFY(target);
        press(*w, key);
        QVERIFY2(w->focusWidget() == target || target->isAncestorOf(w->focusWidget()),
                 qPrintable(w->focusWidget()->objectName()));
        if (tab < 3 && (target->inherits("QLineEdit") || target->inherits("QComboBox")))
            QCOMPARE(target->toolTip(), QStringLiteral("Ctrl + ") + keyName);
    } else if (kind == u"click") {
        auto* button = qobject_cast<QAbstractButton*>(TestShortcuts::control(*w, tab, control));
        QVERIFY(button);
        QObject::disconnect(button, &QAbstractButton::clicked, nullptr, nullptr);
        QSignalSpy clicked(button, &QAbstractButton::clicked);
        button->setEnabled(true);
        press(*w, key);
        QCOMPARE(clicked.size(), 1);
        button->setEnabled(false);
        press(*w, key);
        QCOMPARE(clicked.size(), 1);
    } else {
        const bool stopBefore = m_app->stopRequested;
        press(*w, key);
        QCOMPARE(w->focusWidget(), start);
        QCOMPARE(m_app->stopRequested, stopBefore);
    }
    QVERIFY2(m_dialogs.messageTexts().isEmpty(), qPrintable(m_dialogs.messageTexts().join(u'|')));
}

// The key of a disabled button reaches the focused control as usual: Ctrl+Right
// moves the cursor in a search box by a word while ">>>" is off, and Ctrl+X
// sets no stop request while no search runs.
void TestShortcuts::disabledButtonLeavesKeyToControl() {
    auto w = startOn(0);
    auto* box = static_cast<QLineEdit*>(control(*w, 0, QStringLiteral("prijmeni")));
    box->setText(QStringLiteral("Nová Ves"));
    box->setCursorPosition(0);
    box->setFocus();
    QVERIFY(!control(*w, 0, QStringLiteral("Button12"))->isEnabled());
    press(*w, Qt::Key_Right);
    QVERIFY(box->cursorPosition() > 0);
    press(*w, Qt::Key_X);
    QVERIFY(!m_app->stopRequested);
    QCOMPARE(w->windowTitle(), QStringLiteral("Ordana 2004 Velto"));
}

void TestShortcuts::status_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("listed");
    for (int tab = 0; tab < 3; ++tab) {
        QTest::addRow("%d before any search", tab) << tab << false;
        QTest::addRow("%d after a search", tab) << tab << true;
    }
}

// Ctrl+W shows the status text in a box without owner, "Bez záznamů" before
// any search.
void TestShortcuts::status() {
    QFETCH(int, tab);
    QFETCH(bool, listed);
    auto w = startOn(tab);
    QString expected = QStringLiteral("Bez záznamů");
    if (listed) {
        listPage(*w, tab);
        expected =
            control(*w, tab, QStringList{"dones_o", "dones_f", "dones_v"}[tab])->property("text").toString();
        QVERIFY(expected.contains(QStringLiteral("nalezených")));
    }
    m_dialogs.clear();
    press(*w, Qt::Key_W);
    QCOMPARE(m_dialogs.shown().size(), 1);
    const auto& box = m_dialogs.shown().first();
    QCOMPARE(box.text, expected);
    QCOMPARE(box.caption, Dialogs::kInformation);
    QCOMPARE(box.icon, Dialogs::Icon::Information);
    QCOMPARE(box.owner, nullptr);
}

void TestShortcuts::countMatches_data() {
    QTest::addColumn<int>("tab");
    QTest::newRow("persons") << 0;
    QTest::newRow("firms") << 1;
}

// Ctrl+I counts the matches of the filled fields and leaves the page idle.
void TestShortcuts::countMatches() {
    QFETCH(int, tab);
    auto w = startOn(tab);
    auto* page = static_cast<DirectoryPage*>(tabsOf(*w)->widget(tab));
    page->field(DirectoryPage::Field::Name)->setText(QStringLiteral("A*"));
    page->field(DirectoryPage::Field::Name)->setFocus();
    press(*w, Qt::Key_I);
    QCOMPARE(m_dialogs.messageTexts().size(), 1);
    const QString text = m_dialogs.messageTexts().first();
    const QString prefix = QStringLiteral("Počet záznamů, které odpovídají zadaným podmínkám: ");
    QVERIFY2(text.startsWith(prefix), qPrintable(text));
    bool ok = false;
    const int count = text.mid(prefix.size()).remove(u' ').toInt(&ok);
    QVERIFY2(ok && count > 0, qPrintable(text));
    QVERIFY(page->button(DirectoryPage::Button::Search)->isEnabled());
    QCOMPARE(w->windowTitle(), QStringLiteral("Ordana 2004 Velto"));
}

void TestShortcuts::marks_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("listed");
    for (int tab = 0; tab < 3; ++tab) {
        QTest::addRow("%d empty grid", tab) << tab << false;
        QTest::addRow("%d listed", tab) << tab << true;
    }
}

// Ctrl+Space marks and unmarks the current row wherever the focus is; on an
// empty grid it changes nothing.
void TestShortcuts::marks() {
    QFETCH(int, tab);
    QFETCH(bool, listed);
    auto w = startOn(tab);
    PageParts parts = partsOf(*w, tab);
    if (listed) parts = listPage(*w, tab);
    control(*w, tab, kFirstFields[tab])->setFocus();
    press(*w, Qt::Key_Space);
    QCOMPARE(parts.marked(), listed ? 1 : 0);
    if (listed) {
        QVERIFY(parts.query->value(QStringLiteral("Zn")).toBool());
        QVERIFY(control(*w, tab, QStringList{"dones_o", "dones_f", "dones_v"}[tab])
                    ->property("text")
                    .toString()
                    .contains(QStringLiteral("1 označených")));
        press(*w, Qt::Key_Space);
        QCOMPARE(parts.marked(), 0);
        QVERIFY(!parts.query->value(QStringLiteral("Zn")).toBool());
    }
    QVERIFY2(m_dialogs.messageTexts().isEmpty(), qPrintable(m_dialogs.messageTexts().join(u'|')));
}

void TestShortcuts::copiesLabel_data() {
    QTest::addColumn<int>("tab");
    QTest::newRow("persons") << 0;
    QTest::newRow("firms") << 1;
    QTest::newRow("personal") << 2;
}

// Ctrl+C copies the whole record label, even from a search box.
void TestShortcuts::copiesLabel() {
    QFETCH(int, tab);
    auto w = startOn(tab);
    listPage(*w, tab);
    QStringList lines;
    if (tab == 2)
        lines = static_cast<PersonalPage*>(tabsOf(*w)->widget(tab))->labelLines();
    else
        lines = static_cast<DirectoryPage*>(tabsOf(*w)->widget(tab))->labelLines();
    QVERIFY(!lines.isEmpty());
    QGuiApplication::clipboard()->clear();
    control(*w, tab, kFirstFields[tab])->setFocus();
    press(*w, Qt::Key_C);
    QCOMPARE(QGuiApplication::clipboard()->text(), record_label::copyAllText(lines));
}

// Ctrl+1 to Ctrl+9, also of the keypad, hide and show the columns after the
// mark column; the Vlastní grid's keys reach only the columns it has.
void TestShortcuts::columnToggles() {
    auto w = startOn(0);
    auto* grid = static_cast<DataGrid*>(control(*w, 0, kGrids[0]));
    press(*w, Qt::Key_3);
    QVERIFY(!grid->isColumnShown(3));
    press(*w, Qt::Key_3, Qt::ControlModifier | Qt::KeypadModifier);
    QVERIFY(grid->isColumnShown(3));
    press(*w, Qt::Key_9);
    QVERIFY(!grid->isColumnShown(9));
    QCOMPARE(grid->horizontalHeader()->length(), grid->viewport()->width());

    tabsOf(*w)->setCurrentIndex(2);
    auto* personal = static_cast<DataGrid*>(control(*w, 2, kGrids[2]));
    press(*w, Qt::Key_7);
    QCOMPARE(shownTitles(personal).size(), personal->columns().size());
    press(*w, Qt::Key_6);
    QVERIFY(!personal->isColumnShown(6));
    // The persons grid is left as it was.
    QVERIFY(!grid->isColumnShown(9));
}

void TestShortcuts::columnSetTwice_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<QStringList>("compact");
    QTest::addColumn<QList<int>>("fullWidths");
    QTest::newRow("persons") << 0
                             << QStringList{"+/-", "Jméno", "Příjmení", "Ulice", "Obec", "PSČ", "Telefon"}
                             << QList<int>{30, 30, 40, 90, 100, 115, 47, 107, 60, 47, 76};
    QTest::newRow("firms") << 1 << QStringList{"+/-", "Firma", "Ulice", "Obec", "PSČ", "Telefon"}
                           << QList<int>{30, 30, 140, 90, 115, 47, 107, 60, 47, 76};
}

// Ctrl+0 leaves only the compact columns, a second Ctrl+0 brings every column
// back at the full set's widths. The compact set stays through a search.
void TestShortcuts::columnSetTwice() {
    QFETCH(int, tab);
    QFETCH(QStringList, compact);
    QFETCH(QList<int>, fullWidths);
    auto w = startOn(tab);
    auto* grid = static_cast<DataGrid*>(control(*w, tab, kGrids[tab]));
    press(*w, Qt::Key_2); // a column hidden before does not matter
    press(*w, Qt::Key_0);
    QCOMPARE(shownTitles(grid), compact);
    QCOMPARE(grid->horizontalHeader()->length(), grid->viewport()->width());
    listPage(*w, tab);
    QVERIFY(grid->model()->rowCount() > 0);
    QCOMPARE(shownTitles(grid), compact);

    press(*w, Qt::Key_0);
    QCOMPARE(shownTitles(grid).size(), grid->columns().size());
    const QString problems = widthProblems(grid, fullWidths);
    QVERIFY2(problems.isEmpty(), qPrintable(problems));
    press(*w, Qt::Key_0);
    QCOMPARE(shownTitles(grid), compact);
}

// On the Vlastní page Ctrl+0 shows every column in the default set, each time.
void TestShortcuts::personalDefaultColumnsTwice() {
    auto w = startOn(2);
    auto* grid = static_cast<DataGrid*>(control(*w, 2, kGrids[2]));
    listPage(*w, 2);
    press(*w, Qt::Key_2);
    press(*w, Qt::Key_5);
    QCOMPARE(shownTitles(grid).size(), 5);
    const QList<int> defaults{30, 104, 114, 230, 88, 88, 88};
    for (int round = 0; round < 2; ++round) {
        press(*w, Qt::Key_0);
        const QString problems = widthProblems(grid, defaults);
        QVERIFY2(problems.isEmpty(), qPrintable(problems));
        QCOMPARE(grid->model()->rowCount(), 2);
    }
}

void TestShortcuts::helpContents_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    for (int tab = 0; tab < 4; ++tab)
        QTest::addRow("%d", tab) << tab << Qt::KeyboardModifiers();
    QTest::newRow("with Shift") << 2 << Qt::KeyboardModifiers(Qt::ShiftModifier);
}

// F1 opens the help's contents on every page, not the page's own topic.
void TestShortcuts::helpContents() {
    QFETCH(int, tab);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    auto w = startOn(tab);
    m_recordingShell.opened.clear();
    press(*w, Qt::Key_F1, modifiers);
    QCOMPARE(m_recordingShell.opened, QStringList{m_program + QStringLiteral("DATA/napoveda.html")});
}

void TestShortcuts::closeKeys_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    for (int tab = 0; tab < 4; ++tab) {
        QTest::addRow("%d F4", tab) << tab << int(Qt::Key_F4) << Qt::KeyboardModifiers();
        QTest::addRow("%d Esc", tab) << tab << int(Qt::Key_Escape) << Qt::KeyboardModifiers();
    }
    QTest::newRow("Ctrl+F4") << 0 << int(Qt::Key_F4) << Qt::KeyboardModifiers(Qt::ControlModifier);
}

// F4 and Esc ask the closing question from any page; No keeps the window.
void TestShortcuts::closeKeys() {
    QFETCH(int, tab);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    auto w = startOn(tab);
    m_dialogs.answerMessage(Dialogs::Answer::No);
    press(*w, key, modifiers);
    QCOMPARE(m_dialogs.messageTexts(),
             QStringList{QStringLiteral("Opravdu chcete program Ordana 2004 Velto ukončit?     ")});
    QVERIFY(w->isVisible());
}

// Esc in the editor of a grid cell ends the editing and leaves the window open.
void TestShortcuts::escEndsCellEditing() {
    auto w = startOn(0);
    PageParts parts = listPage(*w, 0);
    const QModelIndex phone = parts.grid->model()->index(0, parts.grid->columnOf(QStringLiteral("tel")));
    parts.grid->setCurrentIndex(phone);
    parts.grid->edit(phone);
    QWidget* editor = parts.grid->indexWidget(phone);
    QVERIFY(editor);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(m_dialogs.messageTexts().isEmpty());
    QTRY_VERIFY(!parts.grid->indexWidget(phone));
}

// "&Klávesové zkratky" shows the list modally; Esc there closes the list, not the program.
void TestShortcuts::shortcutListFromMenu() {
    auto w = startOn(1);
    QAction* item = nullptr;
    for (QAction* a : w->menuBar()->findChildren<QAction*>())
        if (a->text() == QStringLiteral("&Klávesové zkratky")) item = a;
    QVERIFY(item);
    QString text;
    bool modal = false;
    platform_test::whenModal<ShortcutListDialog>([&](ShortcutListDialog* d) {
        text = d->text()->toPlainText();
        modal = d->isModal() && d->objectName() == QStringLiteral("Form6");
        QTest::keyClick(d->focusWidget() ? d->focusWidget() : d, Qt::Key_Escape);
    });
    item->trigger();
    QVERIFY(modal);
    QVERIFY(text.startsWith(QStringLiteral("\tF1\t\t\tnápověda\n")));
    QVERIFY(m_dialogs.messageTexts().isEmpty());
    QVERIFY(w->isVisible());
}

// The Vlastní grid's Delete key still asks to delete the selected record.
void TestShortcuts::personalGridKeepsItsKeys() {
    auto w = startOn(2);
    PageParts parts = listPage(*w, 2);
    parts.grid->setFocus();
    m_dialogs.answerMessage(Dialogs::Answer::No);
    QTest::keyClick(parts.grid, Qt::Key_Delete);
    QCOMPARE(m_dialogs.messageTexts(),
             QStringList{QStringLiteral("Opravdu si přejete smazat vybraný záznam?      ")});
    QCOMPARE(parts.grid->model()->rowCount(), 2);
}

// Every button of the window and its windows, and every clickable label,
// shows the pointing hand.
void TestShortcuts::pointingHand() {
    auto w = startOn(0);
    const auto buttons = w->findChildren<QPushButton*>();
    QVERIFY(buttons.size() > 30);
    for (QPushButton* b : buttons)
        QVERIFY2(b->cursor().shape() == Qt::PointingHandCursor, qPrintable(b->objectName() + b->text()));
    const auto labels = w->findChildren<ClickableLabel*>();
    QVERIFY(labels.size() > 10);
    for (ClickableLabel* l : labels)
        QVERIFY2(l->cursor().shape() == Qt::PointingHandCursor, qPrintable(l->objectName()));
}

QTEST_MAIN(TestShortcuts)
#include "tst_shortcuts.moc"
