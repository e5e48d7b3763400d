// What assistive technology finds in every window of the program: every
// control a user can reach has a name, the grids speak their cells and marks,
// the Tab key goes through the pages as they read, and the clickable pictures
// work from the keyboard.

#include "AlphabetBar.h"
#include "DatasetModel.h"
#include "MainWindowFixture.h"
#include "PageWidgets.h"
#include "TextHelpers.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMetaEnum>
#include <QPlainTextEdit>

using namespace Qt::StringLiterals;
using namespace app_test;

namespace {

QString roleName(QAccessible::Role role) {
    return QString::fromLatin1(QMetaEnum::fromType<QAccessible::Role>().valueToKey(role));
}

// The text of the label that labels the control (a caption whose buddy it is).
QString labelOf(QAccessibleInterface* iface) {
    for (const auto& [other, relation] : iface->relations(QAccessible::Label))
        if (other && !other->text(QAccessible::Name).trimmed().isEmpty())
            return other->text(QAccessible::Name).trimmed();
    return {};
}

// The control of an interface for a message: its objectName (or that of the
// nearest ancestor that has one, with the child's index) and its role.
QString describe(QAccessibleInterface* iface) {
    QString where;
    QAccessibleInterface* up = iface;
    while (up && (!up->object() || up->object()->objectName().isEmpty())) {
        QAccessibleInterface* parent = up->parent();
        if (parent) where.prepend(u'/' + QString::number(parent->indexOfChild(up)));
        up = parent;
    }
    const QString owner = up && up->object() ? up->object()->objectName() : u"?"_s;
    const QString cls =
        iface->object() ? QString::fromLatin1(iface->object()->metaObject()->className()) : QString();
    return owner + where + u" ("_s + (cls.isEmpty() ? QString() : cls + u", "_s) + roleName(iface->role()) +
           u')';
}

// What names the control for a screen reader: its name, or else the label
// that labels it (on Linux a combo box's name is its value and its caption
// comes as the label).
QString spokenName(QAccessibleInterface* iface) {
    const QString name = iface->text(QAccessible::Name).trimmed();
    if (!name.isEmpty()) return name;
    return labelOf(iface);
}

// Walks the accessible tree below iface: every control that can take the
// focus and is not hidden must have a name. The items of lists and tables
// speak their values (an empty cell has none); they are checked on their own.
void collectUnnamed(QAccessibleInterface* iface, QStringList& unnamed, int depth = 0) {
    if (!iface || !iface->isValid() || depth > 50) return;
    const QAccessible::State state = iface->state();
    if (state.focusable && !state.invisible && spokenName(iface).isEmpty()) unnamed << describe(iface);
    if (qobject_cast<QAbstractItemView*>(iface->object())) return;
    for (int i = 0; i < iface->childCount(); ++i)
        collectUnnamed(iface->child(i), unnamed, depth + 1);
}

// The controls below root that the Tab key reaches, in the order of the focus
// chain from first on.
QStringList tabChain(QWidget* root, QWidget* first) {
    QStringList names;
    QWidget* w = first;
    do {
        if (root->isAncestorOf(w) && w->isVisible() && (w->focusPolicy() & Qt::TabFocus))
            names << w->objectName();
        w = w->nextInFocusChain();
    } while (w && w != first);
    return names;
}

// The menu action with the text, anywhere in the menu bar.
QAction* menuAction(QMainWindow& window, const QString& text) {
    for (QAction* menu : window.menuBar()->actions())
        if (menu->menu())
            for (QAction* item : menu->menu()->actions())
                if (item->text() == text) return item;
    return nullptr;
}

} // namespace

class TestAccessibility : public MainWindowTest {
    Q_OBJECT

  private slots:
    void initTestCase();
    void cleanupTestCase();
    void everyControlHasAName_data();
    void everyControlHasAName();
    void picturesSpeak_data();
    void picturesSpeak();
    void everyClickableIsAControl_data();
    void everyClickableIsAControl();
    void pictureActionsFromTheKeyboard();
    void gridSpeaksCellsAndMarks_data();
    void gridSpeaksCellsAndMarks();
    void tabOrderOfThePages_data();
    void tabOrderOfThePages();

  private:
    std::unique_ptr<MainWindow> m_window;
};

void TestAccessibility::initTestCase() {
    resetProgram();
    m_window = start();
    QVERIFY(m_window->startedOk());
    // The windows made when first needed are walked as well.
    m_window->shortcutList();
    m_window->importDialog();
    m_window->contactEditor();
    listPage(*m_window, 0);
    listPage(*m_window, 1);
    listPage(*m_window, 2,
             {u"INSERT INTO Vlastni (Prijmeni, Jmeno_1, Tel_1) VALUES (\"Bílá\", \"Žofie\", \"602123456\")"_s,
              u"INSERT INTO Vlastni (Prijmeni, Jmeno_1) VALUES (\"Černý\", \"Adam\")"_s});
}

void TestAccessibility::cleanupTestCase() {
    m_window.reset();
}

void TestAccessibility::everyControlHasAName_data() {
    addEveryWindowRows();
}

// Every control of the window that can take the focus has a name, found by
// walking the tree assistive technology walks; and no control the Tab key
// reaches is missing from that tree's names.
void TestAccessibility::everyControlHasAName() {
    QFETCH(QString, name);
    QFETCH(QString, choice);
    QWidget* window = showWindow(*m_window, name, choice);
    QVERIFY(window);
    QStringList unnamed;
    collectUnnamed(QAccessible::queryAccessibleInterface(window), unnamed);
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisible() || !(w->focusPolicy() & Qt::TabFocus) || w->window() != window) continue;
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
        QVERIFY2(iface, qPrintable(w->objectName()));
        if (spokenName(iface).isEmpty() && !unnamed.contains(describe(iface))) unnamed << describe(iface);
    }
    QVERIFY2(unnamed.isEmpty(), qPrintable(u"without a name:\n"_s + unnamed.join(u'\n')));
}

void TestAccessibility::picturesSpeak_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("spoken");
    QTest::addColumn<int>("role");
    const int button = QAccessible::Button;
    const struct {
        const char *window, *control, *spoken;
        int role;
    } rows[] = {
        {"0", "Image1", "Kopírovat vše", button},
        {"0", "Image2", "Kopírovat číslo", button},
        {"0", "Image7", "Kopírovat adresu", button},
        {"0", "Image5", "Přenést do vlastní databáze", button},
        {"0", "Label8", "Příjmení – zástupný znak", QAccessible::CheckBox},
        {"0", "Label15", "Ulice – zástupný znak", QAccessible::CheckBox},
        {"0", "Button16", "Zastavit hledání", button},
        {"0", "Button11", "Předchozí stránka", button},
        {"0", "Button12", "Další stránka", button},
        {"0", "ulice", "Ulice", QAccessible::EditableText},
        {"0", "cp", "Číslo popisné", QAccessible::EditableText},
        {"0", "ComboBox2", "Kraj", QAccessible::ComboBox},
        {"0", "Memo1", "Informační štítek", QAccessible::EditableText},
        {"1", "Image3", "Kopírovat vše", button},
        {"1", "Image6", "Přenést do vlastní databáze", button},
        {"1", "Label17", "Firma – zástupný znak", QAccessible::CheckBox},
        {"2", "Image11", "Kopírovat vše", button},
        {"2", "Image9", "Kopírovat číslo", button},
        {"2", "Image10", "Kopírovat adresu", button},
        {"2", "Image18", "Všechny záznamy", button},
        {"2", "Image13", "Upravit záznam", button},
        {"2", "Image15", "Nový záznam", button},
        {"2", "Image16", "Smazat záznam", button},
        {"2", "Image14", "Smazat označené záznamy", button},
        {"2", "Image17", "Abeceda", QAccessible::ToolBar},
        {"2", "Label59", "Firma – zástupný znak", QAccessible::CheckBox},
        {"Form4", "vse", "Všechny záznamy", button},
        {"Form4", "abeceda", "Abeceda", QAccessible::ToolBar},
        {"Form4", "adresa_domu_off", "Adresa domů", QAccessible::RadioButton},
        {"Form4", "adresa_zam_off", "Adresa firma", QAccessible::RadioButton},
        {"Form4", "adresa_jine_off", "Adresa jiná", QAccessible::RadioButton},
        {"Form4", "dalsi", "Následující záznam", button},
        {"Form4", "predchozi", "Předešlý záznam", button},
        {"Form4", "DBEdit15", "Telefon mobil 2", QAccessible::EditableText},
        {"Form4", "DBEdit3", "E-mail 2", QAccessible::EditableText},
        {"Form4", "DBMemo1", "Další informace", QAccessible::EditableText},
        {"Form3", "LinkInfo", "www.kestrava.cz/ordana2004", QAccessible::Link},
    };
    for (const auto& r : rows)
        QTest::addRow("%s %s", r.window, r.control)
            << QString::fromUtf8(r.window) << QString::fromUtf8(r.control) << QString::fromUtf8(r.spoken)
            << r.role;
}

// The pictures and symbol buttons are spoken as what they do, in their role.
void TestAccessibility::picturesSpeak() {
    QFETCH(QString, window);
    QFETCH(QString, control);
    QFETCH(QString, spoken);
    QFETCH(int, role);
    QWidget* shown = showWindow(*m_window, window);
    QVERIFY(shown);
    auto* widget = shown->findChild<QWidget*>(control);
    QVERIFY2(widget, qPrintable(control));
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(iface);
    // A combo box is labelled by its caption.
    QCOMPARE(role == QAccessible::ComboBox ? labelOf(iface) : iface->text(QAccessible::Name), spoken);
    QCOMPARE(roleName(iface->role()), roleName(QAccessible::Role(role)));
    QVERIFY(iface->state().focusable);
}

void TestAccessibility::everyClickableIsAControl_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("control");
    for (const ShownWindow& shown : everyWindow()) {
        if (shown.choice) continue;
        QWidget* window = showWindow(*m_window, QString::fromUtf8(shown.name));
        QVERIFY(window);
        for (ClickableLabel* label : window->findChildren<ClickableLabel*>())
            if (label->window() == window)
                QTest::addRow("%s %s", shown.name, qPrintable(label->objectName()))
                    << QString::fromUtf8(shown.name) << label->objectName();
    }
}

// Every clickable picture and link of every window is a control of its own:
// Tab reaches it and Space or Enter sets it off (the keys themselves are
// tested with the label), and assistive technology can press it. Only the
// limits summaries of the status lines are not: the menu item "N&astavení" >
// "&Parametry prostředí" (Alt+A, P) opens the same limits dialog.
void TestAccessibility::everyClickableIsAControl() {
    QFETCH(QString, window);
    QFETCH(QString, control);
    auto* label = showWindow(*m_window, window)->findChild<ClickableLabel*>(control);
    QVERIFY(label);
    if (control.startsWith(u"status_")) {
        QCOMPARE(label->role(), ClickableLabel::Role::Text);
        QCOMPARE(m_window->menuBar()->actions().at(1)->text(), u"N&astavení"_s);
        QAction* limits = menuAction(*m_window, u"&Parametry prostředí"_s);
        QVERIFY(limits);
        QVERIFY(limits->isEnabled());
        return;
    }
    QVERIFY(label->focusPolicy() & Qt::TabFocus);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(label);
    QVERIFY(iface);
    QVERIFY(!iface->text(QAccessible::Name).isEmpty());
    if (qobject_cast<AlphabetBar*>(label)) {
        QCOMPARE(iface->childCount(), AlphabetBar::kLetters);
        iface = iface->child(0);
        QCOMPARE(iface->text(QAccessible::Name), u"Písmeno A"_s);
    }
    QVERIFY(iface->actionInterface());
    const QStringList actions = iface->actionInterface()->actionNames();
    QVERIFY2(actions.contains(QAccessibleActionInterface::pressAction()) ||
                 actions.contains(QAccessibleActionInterface::toggleAction()),
             qPrintable(actions.join(u", ")));
}

// The actions behind the pictures run from the keyboard in the real window:
// the copy picture of the persons page, a wildcard switch, a letter of the
// alphabet bar and the all-records picture of the Vlastní page.
void TestAccessibility::pictureActionsFromTheKeyboard() {
    showWindow(*m_window, u"0"_s);
    QApplication::setActiveWindow(m_window.get());
    auto* persons = static_cast<DirectoryPage*>(tabsOf(*m_window)->widget(0));
    QVERIFY(!persons->labelLines().isEmpty());
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(persons->image(DirectoryPage::Image::CopyAll), Qt::Key_Space);
    QCOMPARE(QGuiApplication::clipboard()->text(), text::withCrLf(persons->labelLines()));

    WildcardSwitch* street = persons->wildcardSwitch(DirectoryPage::Field::Street);
    const bool was = street->isOn();
    QTest::keyClick(street, Qt::Key_Space);
    QCOMPARE(street->isOn(), !was);
    QCOMPARE(QAccessible::queryAccessibleInterface(street)->state().checked, !was);
    QTest::keyClick(street, Qt::Key_Space);
    QCOMPARE(street->isOn(), was);

    showWindow(*m_window, u"2"_s);
    auto* personal = static_cast<PersonalPage*>(tabsOf(*m_window)->widget(2));
    auto* bar = personal->findChild<AlphabetBar*>(u"Image17"_s);
    QTest::keyClick(bar, Qt::Key_C);
    QTRY_COMPARE(personal->grid()->model()->rowCount(), 1);
    QCOMPARE(personal->labelLines().value(0).contains(u"Černý"_s), true);
    QTest::keyClick(personal->image(PersonalPage::Image::AllRecords), Qt::Key_Return);
    QTRY_COMPARE(personal->grid()->model()->rowCount(), 2);
}

void TestAccessibility::gridSpeaksCellsAndMarks_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("column");
    QTest::newRow("persons") << 0 << u"Prijmeni"_s;
    QTest::newRow("firms") << 1 << u"Firma"_s;
    QTest::newRow("personal") << 2 << u"Prijmeni"_s;
}

// The result grids give assistive technology their titles, the text of every
// cell and the mark of each row, which follows a change of the mark.
void TestAccessibility::gridSpeaksCellsAndMarks() {
    QFETCH(int, tab);
    QFETCH(QString, column);
    showWindow(*m_window, QString::number(tab));
    const PageParts parts = partsOf(*m_window, tab);
    DataGrid* grid = parts.grid;
    QVERIFY(grid->model()->rowCount() > 0);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(grid);
    QCOMPARE(iface->text(QAccessible::Name), u"Tabulka nalezených záznamů"_s);
    QAccessibleTableInterface* table = iface->tableInterface();
    QVERIFY(table);
    QCOMPARE(table->rowCount(), grid->model()->rowCount());

    const int textColumn = grid->columnOf(column);
    QAccessibleInterface* cell = table->cellAt(0, textColumn);
    QVERIFY(cell);
    const QString shown = grid->model()->index(0, textColumn).data().toString();
    QVERIFY(!shown.isEmpty());
    QCOMPARE(cell->text(QAccessible::Name), shown);
    QAccessibleInterface* title = cell->tableCellInterface()->columnHeaderCells().value(0);
    QVERIFY(title);
    QCOMPARE(title->text(QAccessible::Name), grid->columns().at(textColumn).title);

    const int markColumn = grid->columnOf(u"Zn"_s);
    QAccessibleInterface* mark = table->cellAt(grid->currentIndex().row(), markColumn);
    QCOMPARE(mark->tableCellInterface()->columnHeaderCells().value(0)->text(QAccessible::Name),
             u"Označení"_s);
    QCOMPARE(mark->text(QAccessible::Name), u"neoznačeno"_s);
    QVERIFY(!mark->state().checked);
    parts.toggleMark();
    QCOMPARE(mark->text(QAccessible::Name), u"označeno"_s);
    QVERIFY(mark->state().checked);
    parts.toggleMark();
    QCOMPARE(mark->text(QAccessible::Name), u"neoznačeno"_s);
}

void TestAccessibility::tabOrderOfThePages_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("persons") << 0 << QStringList{u"prijmeni"_s,  u"Label8"_s,   u"jmeno"_s,     u"ulice"_s,
                                                 u"Label15"_s,   u"cp"_s,       u"mesto"_s,     u"Label28"_s,
                                                 u"psc"_s,       u"tel"_s,      u"ComboBox2"_s, u"Button1"_s,
                                                 u"Button3"_s,   u"Button7"_s,  u"Button20"_s,  u"Image1"_s,
                                                 u"Image2"_s,    u"Image7"_s,   u"Image5"_s,    u"Button16"_s,
                                                 u"Button11"_s,  u"Button12"_s, u"Button2"_s,   u"Memo1"_s,
                                                 u"DBGridPro1"_s};
    QTest::newRow("firms") << 1 << QStringList{u"firma"_s,     u"Label17"_s,  u"poznamka"_s,  u"ulice_f"_s,
                                               u"Label31"_s,   u"cp_f"_s,     u"mesto_f"_s,   u"Label29"_s,
                                               u"psc_f"_s,     u"tel_f"_s,    u"ComboBox3"_s, u"Button6"_s,
                                               u"Button5"_s,   u"Button9"_s,  u"Button21"_s,  u"Image3"_s,
                                               u"Image4"_s,    u"Image8"_s,   u"Image6"_s,    u"Button17"_s,
                                               u"Button13"_s,  u"Button14"_s, u"Button15"_s,  u"Memo2"_s,
                                               u"DBGridPro2"_s};
    QTest::newRow("personal") << 2
                              << QStringList{u"prijmeni_v"_s, u"Label47"_s, u"jmeno_v"_s, u"firma_v"_s,
                                             u"Label59"_s,    u"ulice_v"_s, u"Label50"_s, u"cp_v"_s,
                                             u"mesto_v"_s,    u"Label52"_s, u"psc_v"_s,   u"tel_v"_s,
                                             u"BitBtn3"_s,    u"BitBtn5"_s, u"BitBtn7"_s, u"BitBtn4"_s,
                                             u"BitBtn9"_s,    u"Image10"_s, u"Image9"_s,  u"Image11"_s,
                                             u"BitBtn6"_s,    u"Button4"_s, u"Button8"_s, u"BitBtn8"_s,
                                             u"Image13"_s,    u"Image15"_s, u"Image16"_s, u"Image14"_s,
                                             u"Image17"_s,    u"Image18"_s, u"Memo3"_s,   u"DBGridPro4"_s};
}

// The Tab key goes through each result page's boxes in their order, each
// with its wildcard switch, the buttons row by row with the pictures at the
// end of their row, then the record label at the top right and the grid.
void TestAccessibility::tabOrderOfThePages() {
    QFETCH(int, tab);
    QFETCH(QStringList, order);
    showWindow(*m_window, QString::number(tab));
    QWidget* page = tabsOf(*m_window)->widget(tab);
    QCOMPARE(tabChain(page, page->findChild<QWidget*>(order.first())), order);
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
