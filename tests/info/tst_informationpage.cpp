#include "../grids/LayoutChecks.h"
#include "ConversionUser.h"
#include "ListFiles.h"
#include "PageTestSupport.h"

#include "Application.h"
#include "DataGrid.h"
#include "Drives.h"
#include "InformationPage.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyledItemDelegate>
#include <QTemporaryDir>
#include <QTest>

using namespace layout_checks;
using List = InformationPage::List;
using Command = InformationPage::Command;

namespace {

// A shell that notes what it was asked to open.
class RecordingShell : public platform::Shell {
  public:
    QStringList opened;
    bool open(const QString& address) override {
        opened << address;
        return true;
    }
    CopyResult copyFile(QWidget*, const QString&, const QString&, QString*) override {
        return CopyResult::Failed;
    }
};

// The page, shown and attached to a program whose DATA folder holds the test's lists.
struct Rig {
    platform::MemorySettingsStore settings;
    platform::FixedDrives drives{{}};
    platform::ScriptedDialogs dialogs;
    RecordingShell shell;
    Application app;
    InformationPage page;

    explicit Rig(const QString& program) : app(settings, drives, dialogs, shell, program) {
        page.attach(app, info_test::readOnlyOpener());
        page.resize(752, 431);
        page.show();
    }
    ReferenceListQuery& query() { return *page.listQuery(); }
    DataGrid* grid() const { return page.grid(); }
    QString current(const char* field) { return query().currentValue(QString::fromLatin1(field)); }
    QString recordCountText() const { return page.recordCount()->text(); }
    QList<QVariant> shown() const {
        QList<QVariant> texts;
        for (const auto& s : dialogs.shown())
            texts << s.text;
        return texts;
    }
    // A click on a list's radio button, on its round box.
    void clickList(List list) {
        QRadioButton* radio = page.listChoice(list);
        QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
    }
    void typeColumn(const QString& text) {
        page.columnBox()->lineEdit()->clear();
        test_support::typeText(page.columnBox()->lineEdit(), text);
    }
    void clickTitle(int column) {
        QHeaderView* h = grid()->horizontalHeader();
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                          QPoint(h->sectionViewportPosition(column) + 10, h->height() / 2));
    }
};

} // namespace

class TestInformationPage : public QObject {
    Q_OBJECT
    QTemporaryDir m_tmp;
    QString m_program; // the running test's program folder, its lists written
    int m_programs = 0;

  private slots:
    void controls_data();
    void controls();
    void fitsDesignedSize_data();
    void fitsDesignedSize();
    void gridTakesExtraHeight();

    void init();
    void chooseList_data();
    void chooseList();
    void typingLocates_data();
    void typingLocates();
    void sortByTitle();
    void unusableListFile_data();
    void unusableListFile();
    void handOverPlace_data();
    void handOverPlace();
    void firmOrAddress_data();
    void firmOrAddress();
    void jetListsConvertedOnce();
    void jetListConversionGivenUp();

  private:
    // The lists beside the program as the disc brings them (Jet files), and
    // a fresh data folder of the user's.
    void putJetLists();
};

void TestInformationPage::controls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("checked");

    auto row = [](const char* name, const char* type, const char* caption, bool checked = false) {
        QTest::newRow(name) << QString::fromUtf8(name) << QByteArray(type) << QString::fromUtf8(caption)
                            << checked;
    };
    // clang-format off
    row("informace", "QWidget", "");
    row("Edit1", "QLineEdit", "Hledat");
    row("ComboBox1", "QComboBox", "Sloupec");
    row("RadioButton4", "QRadioButton", "INTERNETOVÉ &ADRESY", true);
    row("RadioButton1", "QRadioButton", "&ZELENÉ LINKY");
    row("RadioButton2", "QRadioButton", "P&SČ");
    row("RadioButton3", "QRadioButton", "&MEZINÁRODNÍ PŘEDVOLBY");
    row("button18", "QPushButton", "&Hledej");
    row("Button10", "QPushButton", "O&tevři");
    row("DBGridPro3", "DataGrid", "");
    row("zaznamu_i", "QLabel", "Celkový počet záznamů: 0");
    // clang-format on
}

void TestInformationPage::controls() {
    QFETCH(QString, name);
    QFETCH(QByteArray, type);
    QFETCH(QString, caption);
    QFETCH(bool, checked);

    InformationPage p;
    QWidget* w = p.objectName() == name ? &p : nullptr;
    if (!w) {
        const auto found = p.findChildren<QWidget*>(name);
        QCOMPARE(found.size(), 1);
        w = found.first();
    }
    QVERIFY2(w->inherits(type), w->metaObject()->className());
    QCOMPARE(captionOf(w), caption);
    if (auto* radio = qobject_cast<QRadioButton*>(w)) QCOMPARE(radio->isChecked(), checked);
    if (auto* combo = qobject_cast<QComboBox*>(w)) QVERIFY(combo->isEditable());
}

void TestInformationPage::fitsDesignedSize_data() {
    addFitRows();
}

void TestInformationPage::fitsDesignedSize() {
    QFETCH(bool, inTabs);
    QFETCH(QString, font);
    useProgramFont(font);

    const QSize designed(752, 431);
    auto* p = new InformationPage;
    Host host(p, inTabs, designed);
    QCOMPARE(host.window->size(), designed);
    QVERIFY(p->minimumSizeHint().boundedTo(p->size()) == p->minimumSizeHint());
    const QStringList problems = untidy(p);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));

    const QRect grid = rectIn(p->grid(), p);
    QVERIFY(grid.left() <= 8 && grid.right() >= p->width() - 9);
    QVERIFY2(grid.height() >= 150, qPrintable(QString::number(grid.height())));
    const QRect count = rectIn(p->recordCount(), p);
    QVERIFY(count.top() > grid.bottom());
    QVERIFY(count.bottom() >= p->height() - 4);
    for (QWidget* w : visibleControls(p))
        if (w != p->grid() && w != p->recordCount())
            QVERIFY2(rectIn(w, p).bottom() < grid.top(), qPrintable(describe(w)));
}

void TestInformationPage::gridTakesExtraHeight() {
    useProgramFont(programFontFamilies().value(0));
    auto* p = new InformationPage;
    Host host(p, false, QSize(752, 431));
    const QSize grid = p->grid()->size();
    host.resize(QSize(1000, 700));
    QCOMPARE(p->grid()->size(), grid + QSize(248, 269));
    QVERIFY(untidy(p).isEmpty());
}

// ---- behaviour ---------------------------------------------------------------------------

void TestInformationPage::init() {
    m_program = m_tmp.path() + QStringLiteral("/p%1/").arg(++m_programs);
    info_test::writeLists(m_program + QStringLiteral("DATA"));
}

void TestInformationPage::chooseList_data() {
    QTest::addColumn<int>("list");
    QTest::addColumn<QString>("titles");
    QTest::addColumn<QString>("choices");
    QTest::addColumn<bool>("buttons"); // "&Hledej", "O&tevři" shown
    QTest::addColumn<QString>("commands");
    QTest::addColumn<bool>("hint");
    QTest::addColumn<QString>("cell"); // of the first row, as drawn

    // clang-format off
    QTest::newRow("internet") << int(List::InternetAddresses) << "Společnost|Adresa na internetu"
        << "Společnost|Adresa" << true << "&hledej čísla v databázi firem|zobraz &internetový odkaz" << true
        << "http://www.alfa.cz";
    QTest::newRow("free-phone") << int(List::FreephoneLines) << "Společnost provozující zelenou linku|Zelená linka"
        << "Společnost|Zelená linka" << true << "&hledej čísla v databázi firem" << false << "800 123 456";
    QTest::newRow("postal codes") << int(List::PostalCodes) << "Obec|PSČ|Pošta|Kraj" << "Obec|PSČ|Pošta|Kraj"
        << false << "přenést údaje do databáze &osob|přenést údaje do databáze &firem" << true << "256 01";
    QTest::newRow("prefixes") << int(List::InternationalPrefixes) << "Stát|Předvolba" << "Stát|Předvolba"
        << false << "" << false << "49";
    // clang-format on
}

// Entering the page opens the internet list; a radio button then shows its
// list with its own columns, buttons, menu items, hint, and free-phone
// numbers drawn in groups (stored as they are). The page's right click
// offers the menu unless it has no items.
void TestInformationPage::chooseList() {
    QFETCH(int, list);
    QFETCH(QString, titles);
    QFETCH(QString, choices);
    QFETCH(bool, buttons);
    QFETCH(QString, commands);
    QFETCH(bool, hint);
    QFETCH(QString, cell);

    Rig rig(m_program);
    rig.page.enter();
    QCOMPARE(rig.page.currentList(), List::InternetAddresses);
    rig.clickList(List::PostalCodes);
    test_support::typeText(rig.page.searchText(), QStringLiteral("Z"));
    rig.clickList(List::PostalCodes); // the list shown stays as it is
    QCOMPARE(rig.page.searchText()->text(), QStringLiteral("Z"));
    rig.clickList(List::InternationalPrefixes);
    rig.clickList(List(list));

    QVERIFY(rig.page.listChoice(List(list))->isChecked());
    QStringList shownTitles, shownChoices, shownCommands;
    for (const auto& c : rig.grid()->columns())
        shownTitles << c.title;
    for (int i = 0; i < rig.page.columnBox()->count(); ++i)
        shownChoices << rig.page.columnBox()->itemText(i);
    for (QAction* a : rig.page.contextMenu()->actions())
        if (a->isVisible()) shownCommands << a->text();
    QCOMPARE(shownTitles.join(u'|'), titles);
    QCOMPARE(shownChoices.join(u'|'), choices);
    QCOMPARE(rig.page.columnBox()->currentIndex(), 0);
    QCOMPARE(rig.page.searchText()->text(), QString());
    QCOMPARE(rig.page.searchButton()->isVisibleTo(&rig.page), buttons);
    QCOMPARE(rig.page.openButton()->isVisibleTo(&rig.page), buttons && commands.contains(u"odkaz"));
    QCOMPARE(shownCommands.join(u'|'), commands);
    QCOMPARE(rig.grid()->toolTip(),
             hint ? QStringLiteral("pro další funkce stiskněte pravé tlačítko myši...") : "");
    QCOMPARE(rig.grid()->sortState(0), DataGrid::SortState::Ascending);
    const QModelIndex index = rig.grid()->model()->index(0, 1);
    auto* delegate = qobject_cast<QStyledItemDelegate*>(rig.grid()->itemDelegateForIndex(index));
    QCOMPARE(delegate->displayText(index.data(), QLocale()), cell);
    QCOMPARE(index.data().toString(),
             rig.query().dataset().valueAt(0, rig.grid()->columns()[1].field).toString());
    const QModelIndex last = rig.grid()->model()->index(rig.grid()->model()->rowCount() - 1, 0);
    QVERIFY(!last.data().toString().isEmpty()); // every row is shown, not only those read so far

    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(2, 2), rig.page.mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(&rig.page, &click);
    QCOMPARE(rig.page.contextMenu()->isVisible(), !commands.isEmpty());
    rig.page.contextMenu()->hide();
    QCOMPARE(rig.shown(), QList<QVariant>());
}

void TestInformationPage::typingLocates_data() {
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("nextColumn"); // chosen after typing, empty for none
    QTest::addColumn<QString>("town");
    // clang-format off
    QTest::newRow("first of two") << "Obec" << "Br" << "" << "Brno";
    QTest::newRow("c before č") << "Obec" << "c" << "" << "Cvikov";
    QTest::newRow("č after c") << "Obec" << "Č" << "" << "Čáslav";
    QTest::newRow("ch after h") << "Obec" << "ch" << "" << "Cheb";
    QTest::newRow("h before ch") << "Obec" << "h" << "" << "Hradec Králové";
    QTest::newRow("lower case column") << "kraj" << "mora" << "" << "Bruntál";
    QTest::newRow("text, then column") << "Obec" << "53" << "PSČ" << "Chrudim";
    QTest::newRow("then no such column") << "Obec" << "Zl" << "Okres" << "Zlín";
    QTest::newRow("no such column") << "Okres" << "Zl" << "" << "Benešov";
    QTest::newRow("nothing begins so") << "Obec" << "Xyz" << "" << "Benešov";
    // clang-format on
}

// Typing in the search text, or choosing the column afterwards, moves the
// grid to the first row in the list's Czech order whose value in that column
// begins with the text, letter case ignored; entering the search text locates too.
void TestInformationPage::typingLocates() {
    QFETCH(QString, column);
    QFETCH(QString, typed);
    QFETCH(QString, nextColumn);
    QFETCH(QString, town);

    Rig rig(m_program);
    rig.page.chooseList(List::PostalCodes);
    rig.typeColumn(column);
    test_support::typeText(rig.page.searchText(), typed);
    if (!nextColumn.isEmpty()) rig.typeColumn(nextColumn);
    QCOMPARE(rig.current("obec"), town);
    QCOMPARE(rig.grid()->currentIndex().row(), rig.query().dataset().recNo());

    // Back at the first row, entering the search text finds the row again
    // (when the column box names a column).
    rig.query().dataset().first();
    QFocusEvent focus(QEvent::FocusIn);
    QCoreApplication::sendEvent(rig.page.searchText(), &focus);
    QCOMPARE(rig.current("obec"),
             rig.page.columnBox()->currentText() == u"Okres" ? QStringLiteral("Benešov") : town);
}

// A click on a title re-sorts the list by that column and makes it the column
// that typing searches; the other titles lose their order marks. The third
// click brings back the list's own order.
void TestInformationPage::sortByTitle() {
    Rig rig(m_program);
    rig.page.chooseList(List::PostalCodes);
    rig.clickTitle(3);
    rig.clickTitle(3);
    QCOMPARE(rig.grid()->sortState(3), DataGrid::SortState::Descending);
    QCOMPARE(rig.grid()->sortState(0), DataGrid::SortState::None);
    QCOMPARE(rig.current("kraj"), QStringLiteral("Zlínský"));
    QCOMPARE(rig.page.columnBox()->currentText(), QStringLiteral("Kraj"));
    test_support::typeText(rig.page.searchText(), QStringLiteral("Lib"));
    QCOMPARE(rig.grid()->currentIndex().row(),
             5); // after Zlínský, Středočeský ×2, Pardubický, Moravskoslezský

    rig.clickTitle(3);
    QCOMPARE(rig.current("obec"), QStringLiteral("Benešov"));
    QCOMPARE(rig.page.recordCount()->text(), QStringLiteral("Celkový počet záznamů: 9"));
    QCOMPARE(rig.shown(), QList<QVariant>());
}

void TestInformationPage::unusableListFile_data() {
    QTest::addColumn<QByteArray>("content"); // empty: no file
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("not a database") << QByteArray(4096, 'x');
}

// A list whose file cannot be opened says so, naming the file, and stays
// empty with nothing to hand over; the other lists open as before, and
// entering the page then opens the default list.
void TestInformationPage::unusableListFile() {
    QFETCH(QByteArray, content);
    const QString psc = m_program + QStringLiteral("DATA/PSC.mdb");
    QFile f(psc);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
    f.close();
    if (content.isEmpty()) QVERIFY(f.remove());

    Rig rig(m_program);
    rig.page.enter();
    rig.clickList(List::PostalCodes);
    QCOMPARE(rig.dialogs.shown().size(), 1);
    const auto& shown = rig.dialogs.shown().first();
    QCOMPARE(shown.caption, QStringLiteral("Upozornění"));
    QCOMPARE(shown.owner, rig.page.window());
    QVERIFY2(shown.text.contains(psc), qPrintable(shown.text));
    QCOMPARE(rig.grid()->model()->rowCount(), 0);
    QCOMPARE(rig.page.recordCount()->text(), QStringLiteral("Celkový počet záznamů: 0"));
    QVERIFY(!QApplication::overrideCursor());
    QSignalSpy handed(&rig.page, &InformationPage::placeHandedOver);
    rig.page.command(Command::ToPersons)->trigger();
    QCOMPARE(handed.size(), 0);

    rig.clickList(List::InternationalPrefixes);
    QCOMPARE(rig.page.recordCount()->text(), QStringLiteral("Celkový počet záznamů: 3"));
    rig.clickList(List::PostalCodes);
    rig.page.enter();
    QVERIFY(rig.page.listChoice(List::InternetAddresses)->isChecked());
    QCOMPARE(rig.page.recordCount()->text(), QStringLiteral("Celkový počet záznamů: 3"));
    QCOMPARE(rig.dialogs.shown().size(), 2);
}

void TestInformationPage::handOverPlace_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("target");
    const int persons = int(InformationPage::SearchPage::Persons),
              firms = int(InformationPage::SearchPage::Firms);
    // clang-format off
    QTest::newRow("persons") << int(Command::ToPersons) << "123 45" << persons;
    QTest::newRow("firms") << int(Command::ToFirms) << "123 45" << firms;
    QTest::newRow("stored without a blank") << int(Command::ToPersons) << "12345" << persons;
    // clang-format on
}

// A postal code row hands its code without the blank and its municipality
// to a search page, after a notice.
void TestInformationPage::handOverPlace() {
    QFETCH(int, command);
    QFETCH(QString, stored);
    QFETCH(int, target);
    info_test::writeList(m_program + QStringLiteral("DATA"), List::PostalCodes,
                         {{"Olomoucký", "Šternberk", stored, "Šternberk"}});
    Rig rig(m_program);
    rig.page.chooseList(List::PostalCodes);
    QSignalSpy handed(&rig.page, &InformationPage::placeHandedOver);
    rig.page.command(Command(command))->trigger();

    QCOMPARE(handed.size(), 1);
    QCOMPARE(handed[0][0].value<InformationPage::SearchPage>(), InformationPage::SearchPage(target));
    QCOMPARE(handed[0][1].toString(), QStringLiteral("12345"));
    QCOMPARE(handed[0][2].toString(), QStringLiteral("Šternberk"));
    QCOMPARE(rig.shown(), QList<QVariant>{QStringLiteral(
                              "Přenášené údaje nemusí vždy korespondovat s hlavní celkovou databází.\n\r"
                              "Pokud na základě přenesných údajů nebudou nalezeny žádné záznamy,\n\r"
                              "zkuste upravit název obce a zopakovat hledání.")});
}

void TestInformationPage::firmOrAddress_data() {
    QTest::addColumn<int>("list");
    QTest::addColumn<QString>("action");   // "button", "menu", "open" or a double click on column "0", "1"
    QTest::addColumn<int>("firmWidth");    // the first column's width set by the user, 0 for none
    QTest::addColumn<QString>("searched"); // the firms search asked for: pattern and reset, empty for none
    QTest::addColumn<QString>("opened");   // the address opened, empty for none
    const int inet = int(List::InternetAddresses), freephone = int(List::FreephoneLines);
    const QString beta = QStringLiteral("http://www.beta.cz"), none;
    // clang-format off
    QTest::newRow("internet button") << inet << "button" << 0 << "Beta a.s.* reset" << none;
    QTest::newRow("internet menu") << inet << "menu" << 0 << "Beta a.s.*" << none;
    QTest::newRow("internet open") << inet << "open" << 0 << none << beta;
    QTest::newRow("internet, firm clicked") << inet << "0" << 0 << "Beta a.s.* reset" << none;
    QTest::newRow("internet, address clicked") << inet << "1" << 0 << none << beta;
    QTest::newRow("firm widened, firm clicked") << inet << "0" << 600 << "Beta a.s.* reset" << none;
    QTest::newRow("firm narrowed, address clicked") << inet << "1" << 120 << none << beta;
    QTest::newRow("free-phone button") << freephone << "button" << 0 << "Beta a.s.* reset" << none;
    QTest::newRow("free-phone menu") << freephone << "menu" << 0 << "Beta a.s.*" << none;
    QTest::newRow("free-phone, number clicked") << freephone << "1" << 0 << "Beta a.s.* reset" << none;
    QTest::newRow("postal codes clicked") << int(List::PostalCodes) << "0" << 0 << none << none;
    QTest::newRow("prefixes clicked") << int(List::InternationalPrefixes) << "1" << 0 << none << none;
    // clang-format on
}

// The second row's firm goes to the firms search, or its address to the
// browser: by the buttons, the menu, or a double click, which opens the
// address when it is on it, wherever the user has moved the column border.
void TestInformationPage::firmOrAddress() {
    QFETCH(int, list);
    QFETCH(QString, action);
    QFETCH(int, firmWidth);
    QFETCH(QString, searched);
    QFETCH(QString, opened);
    Rig rig(m_program);
    rig.page.chooseList(List(list));
    if (firmWidth) rig.grid()->horizontalHeader()->resizeSection(0, firmWidth);
    rig.query().dataset().next();
    QSignalSpy requested(&rig.page, &InformationPage::firmSearchRequested);
    if (action == u"button") {
        QTest::mouseClick(rig.page.searchButton(), Qt::LeftButton);
    } else if (action == u"menu") {
        rig.page.command(Command::SearchFirms)->trigger();
    } else if (action == u"open") {
        QTest::mouseClick(rig.page.openButton(), Qt::LeftButton);
    } else {
        const QRect cell = rig.grid()->visualRect(rig.grid()->model()->index(1, action.toInt()));
        QTest::mouseDClick(rig.grid()->viewport(), Qt::LeftButton, {}, cell.topLeft() + QPoint(8, 4));
    }
    QStringList asked;
    for (const auto& r : requested)
        asked << r[0].toString() + (r[1].toBool() ? QStringLiteral(" reset") : QString());
    QCOMPARE(asked.join(u'|'), searched);
    QCOMPARE(rig.shell.opened.join(u'|'), opened);
    QCOMPARE(rig.shown(), QList<QVariant>());
}

void TestInformationPage::putJetLists() {
    for (List list :
         {List::InternetAddresses, List::FreephoneLines, List::PostalCodes, List::InternationalPrefixes}) {
        const QString file = reference_lists::describe(list).file;
        QFile::remove(m_program + QStringLiteral("DATA/") + file);
        QVERIFY(QFile::copy(QStringLiteral(ORDANA_TEST_JET_DATA "/") + file,
                            m_program + QStringLiteral("DATA/") + file));
    }
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_program + QStringLiteral("home")));
}

// Lists in the disc's own format are converted when first opened, into the
// user's data folder, and read from their copies from then on.
void TestInformationPage::jetListsConvertedOnce() {
    putJetLists();
    const QString copies = m_program + QStringLiteral("home/ordana/prevod/");
    // The same lists as our engine's files, as the generator writes them.
    ReferenceListQuery generated(info_test::readOnlyOpener(), QStringLiteral(ORDANA_TEST_DATA "/"));
    const List lists[] = {List::InternetAddresses, List::FreephoneLines, List::PostalCodes,
                          List::InternationalPrefixes};
    for (int run = 0; run < 2; ++run) {
        test_support::ConversionUser user;
        Rig rig(m_program);
        rig.page.enter();
        for (List list : lists) {
            rig.clickList(list);
            QVERIFY(rig.query().isOpen());
            const QString file = reference_lists::describe(list).file;
            QCOMPARE(rig.query().openedPath(), copies + file);
            QVERIFY(generated.open(list));
            const int rows = generated.rowCount();
            QVERIFY(rows > 0);
            QCOMPARE(rig.recordCountText(), reference_lists::countText(rows));
            const QString first = reference_lists::describe(list).columns[0].field;
            QCOMPARE(rig.query().currentValue(first), generated.currentValue(first));
        }
        // Sorting reads the copy too.
        rig.clickTitle(1);
        QCOMPARE(rig.grid()->sortState(1), DataGrid::SortState::Ascending);
        QVERIFY(rig.query().isOpen());
        QVERIFY2(rig.dialogs.shown().isEmpty(), qPrintable(rig.shown().value(0).toString()));
        // Once per list, at the first start only.
        QCOMPARE(user.windowsSeen(), run == 0 ? 4 : 0);
    }
}

// Storno in the conversion leaves the list empty, without a message and
// without a copy; choosing the list again converts it.
void TestInformationPage::jetListConversionGivenUp() {
    putJetLists();
    const QString copy = m_program + QStringLiteral("home/ordana/prevod/INET.mdb");
    test_support::ConversionUser user(test_support::ConversionUser::Act::Storno);
    Rig rig(m_program);
    rig.page.enter();
    QCOMPARE(user.windowsSeen(), 1);
    QVERIFY(!rig.query().isOpen());
    QVERIFY(rig.dialogs.shown().isEmpty());
    QCOMPARE(rig.recordCountText(), reference_lists::countText(0));
    QVERIFY(!QFileInfo::exists(copy));

    rig.clickList(List::InternetAddresses);
    QCOMPARE(user.windowsSeen(), 2);
    QVERIFY(rig.query().isOpen());
    QCOMPARE(rig.query().openedPath(), copy);
    QVERIFY(rig.grid()->model()->rowCount() > 0);
}

QTEST_MAIN(TestInformationPage)
#include "tst_informationpage.moc"
