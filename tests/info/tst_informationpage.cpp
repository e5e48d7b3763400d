#include "../grids/LayoutChecks.h"
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

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

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

// The page attached to a program whose DATA folder holds list files written by the test.
struct Rig {
    platform::MemorySettingsStore settings;
    platform::FixedDrives drives{{}};
    platform::ScriptedDialogs dialogs;
    RecordingShell shell;
    std::unique_ptr<Application> app;
    InformationPage* page = nullptr;
    std::unique_ptr<QWidget> window;

    explicit Rig(const QString& program) {
        app = std::make_unique<Application>(settings, drives, dialogs, shell, program);
        window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window.get());
        page = new InformationPage;
        layout->addWidget(page);
        page->attach(*app, [this](const QString& path) {
            db::OpenOptions o;
            o.readOnly = true;
            return app->engine().defaultWorkspace().openDatabase(path, o);
        });
        window->resize(752, 431);
        window->show();
    }
    QString dataFolder() const { return app->dataFolder(); }
    ReferenceListQuery& query() const { return *page->listQuery(); }
    DataGrid* grid() const { return page->grid(); }
    QStringList titles() const {
        QStringList out;
        for (const auto& c : grid()->columns())
            out << c.title;
        return out;
    }
    QStringList choices() const {
        QStringList out;
        for (int i = 0; i < page->columnBox()->count(); ++i)
            out << page->columnBox()->itemText(i);
        return out;
    }
    QStringList visibleCommands() const {
        QStringList out;
        for (QAction* a : page->contextMenu()->actions())
            if (a->isVisible()) out << a->text();
        return out;
    }
    // The row the grid shows as current, by its value in a field.
    QString current(const char* field) const { return query().currentValue(QString::fromLatin1(field)); }
    void typeColumn(const QString& text) const {
        QLineEdit* edit = page->columnBox()->lineEdit();
        edit->clear();
        testsupport::typeText(edit, text);
    }
    void doubleClick(int row, int column) const {
        const QRect cell = grid()->visualRect(grid()->model()->index(row, column));
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, cell.center());
    }
    // A click on a list's radio button, on its round box.
    void clickList(QRadioButton* radio) const {
        QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
    }
    void clickList(List list) const { clickList(page->listChoice(list)); }
    void clickTitle(int column) const {
        QHeaderView* header = grid()->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }
    // Opens the context menu as a right click on the page does; true when it shows.
    bool rightClickOnPage() const {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), page->mapToGlobal(QPoint(2, 2)));
        QCoreApplication::sendEvent(page, &event);
        const bool shown = page->contextMenu()->isVisible();
        page->contextMenu()->hide();
        return shown;
    }
};

} // namespace

class TestInformationPage : public QObject {
    Q_OBJECT
  private slots:
    void controls_data();
    void controls();
    void fitsDesignedSize_data();
    void fitsDesignedSize();
    void gridTakesExtraHeight();

    void init();
    void enteringOpensInternetList();
    void chooseList_data();
    void chooseList();
    void freephoneNumbersGrouped();
    void typingLocates_data();
    void typingLocates();
    void sortByTitle();
    void unusableListFile_data();
    void unusableListFile();
    void statusLine_data();
    void statusLine();
    void handOverPlace_data();
    void handOverPlace();
    void firmSearch_data();
    void firmSearch();
    void doubleClick_data();
    void doubleClick();

  private:
    QTemporaryDir m_tmp;
    QString m_program; // the running test's program folder, its lists written
    int m_programs = 0;
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
    infotest::writeLists(m_program + QStringLiteral("DATA"));
}

// Entering the page opens the internet addresses when no list is open yet;
// entering again keeps the list and its position.
void TestInformationPage::enteringOpensInternetList() {
    Rig rig(m_program);
    QVERIFY(!rig.query().isOpen());
    rig.page->enter();
    QVERIFY(rig.query().isOpen());
    QCOMPARE(rig.page->currentList(), List::InternetAddresses);
    QVERIFY(rig.page->listChoice(List::InternetAddresses)->isChecked());
    QCOMPARE(rig.page->recordCount()->text(), u8("Celkový počet záznamů: 3"));
    QCOMPARE(rig.grid()->model()->rowCount(), 3);
    QCOMPARE(rig.grid()->sortState(0), DataGrid::SortState::Ascending);
    QCOMPARE(rig.page->columnBox()->currentText(), u8("Společnost"));

    QVERIFY(rig.query().locate(0, u8("Č")));
    rig.page->enter();
    QCOMPARE(rig.current("firma"), u8("Čedok"));
    // Its radio button, clicked again, keeps it too.
    rig.clickList(List::InternetAddresses);
    QCOMPARE(rig.current("firma"), u8("Čedok"));
    QVERIFY(rig.dialogs.shown().isEmpty());
}

void TestInformationPage::chooseList_data() {
    QTest::addColumn<QString>("radio");
    QTest::addColumn<QString>("titles");
    QTest::addColumn<QString>("choices");
    QTest::addColumn<bool>("searchShown");
    QTest::addColumn<bool>("openShown");
    QTest::addColumn<QString>("commands");
    QTest::addColumn<bool>("hint");
    QTest::addColumn<QString>("firstRow"); // first field's value in the list's own order
    QTest::addColumn<int>("before");       // the list shown before

    // clang-format off
    QTest::newRow("internet") << u8("RadioButton4") << u8("Společnost|Adresa na internetu") << u8("Společnost|Adresa")
        << true << true << u8("&hledej čísla v databázi firem|zobraz &internetový odkaz") << true << u8("Alfa s.r.o.")
        << int(List::PostalCodes);
    QTest::newRow("free-phone") << u8("RadioButton1") << u8("Společnost provozující zelenou linku|Zelená linka")
        << u8("Společnost|Zelená linka") << true << false << u8("&hledej čísla v databázi firem") << false
        << u8("Alfa s.r.o.") << int(List::PostalCodes);
    QTest::newRow("postal codes") << u8("RadioButton2") << u8("Obec|PSČ|Pošta|Kraj") << u8("Obec|PSČ|Pošta|Kraj")
        << false << false << u8("přenést údaje do databáze &osob|přenést údaje do databáze &firem") << true
        << u8("Benešov") << int(List::InternetAddresses);
    QTest::newRow("prefixes") << u8("RadioButton3") << u8("Stát|Předvolba") << u8("Stát|Předvolba")
        << false << false << QString() << false << u8("Stát 0001") << int(List::PostalCodes);
    // clang-format on
}

// A click on a list's radio button shows that list with its own columns,
// column choices, buttons, menu items and hint, whatever list was shown before.
void TestInformationPage::chooseList() {
    QFETCH(QString, radio);
    QFETCH(QString, titles);
    QFETCH(QString, choices);
    QFETCH(bool, searchShown);
    QFETCH(bool, openShown);
    QFETCH(QString, commands);
    QFETCH(bool, hint);
    QFETCH(QString, firstRow);
    QFETCH(int, before);

    Rig rig(m_program);
    rig.page->enter();
    rig.clickList(List(before));
    testsupport::typeText(rig.page->searchText(), u8("Z"));
    auto* button = rig.page->findChild<QRadioButton*>(radio);
    rig.clickList(button);

    QVERIFY(button->isChecked());
    QVERIFY(rig.query().isOpen());
    QCOMPARE(rig.titles().join(u'|'), titles);
    QCOMPARE(rig.choices().join(u'|'), choices);
    QCOMPARE(rig.page->columnBox()->currentIndex(), 0);
    QCOMPARE(rig.page->searchText()->text(), QString());
    QCOMPARE(rig.page->searchButton()->isVisibleTo(rig.page), searchShown);
    QCOMPARE(rig.page->openButton()->isVisibleTo(rig.page), openShown);
    QCOMPARE(rig.visibleCommands().join(u'|'), commands);
    QCOMPARE(rig.grid()->toolTip(),
             hint ? u8("pro další funkce stiskněte pravé tlačítko myši...") : QString());
    QCOMPARE(rig.grid()->sortState(0), DataGrid::SortState::Ascending);
    QCOMPARE(rig.query().currentValue(rig.grid()->columns().first().field), firstRow);
    QCOMPARE(rig.rightClickOnPage(), !commands.isEmpty());
    QVERIFY(rig.dialogs.shown().isEmpty());
}

// Free-phone numbers are drawn in groups of three; the list keeps them as stored.
void TestInformationPage::freephoneNumbersGrouped() {
    Rig rig(m_program);
    rig.page->chooseList(List::FreephoneLines);
    const QModelIndex cell = rig.grid()->model()->index(0, 1);
    QCOMPARE(cell.data().toString(), u8("800123456"));
    auto* delegate = qobject_cast<QStyledItemDelegate*>(rig.grid()->itemDelegateForIndex(cell));
    QVERIFY(delegate);
    QCOMPARE(delegate->displayText(cell.data(), QLocale()), u8("800 123 456"));
    QCOMPARE(rig.current("telefon"), u8("800123456"));
    // The next list draws that column as it is stored.
    rig.page->chooseList(List::InternationalPrefixes);
    const QModelIndex prefix = rig.grid()->model()->index(0, 1);
    auto* plain = qobject_cast<QStyledItemDelegate*>(rig.grid()->itemDelegateForIndex(prefix));
    QVERIFY(plain);
    QCOMPARE(plain->displayText(u8("800123456"), QLocale()), u8("800123456"));
}

void TestInformationPage::typingLocates_data() {
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("switchTo"); // the column typed next, empty for none
    QTest::addColumn<QString>("town");
    QTest::newRow("town") << u8("Obec") << u8("Br") << QString() << u8("Brno");
    QTest::newRow("č after c") << u8("Obec") << u8("č") << QString() << u8("Čáslav");
    QTest::newRow("ch after h") << u8("Obec") << u8("Ch") << QString() << u8("Cheb");
    QTest::newRow("postal code") << u8("PSČ") << u8("53") << QString() << u8("Chrudim");
    QTest::newRow("column typed in lower case") << u8("kraj") << u8("Zl") << QString() << u8("Zlín");
    QTest::newRow("text then column") << u8("Obec") << u8("53") << u8("PSČ") << u8("Chrudim");
    QTest::newRow("to a column of no such name") << u8("Obec") << u8("Zl") << u8("Okres") << u8("Zlín");
    QTest::newRow("no such column") << u8("Okres") << u8("Zl") << QString() << u8("Benešov");
    QTest::newRow("nothing begins so") << u8("Obec") << u8("Q") << QString() << u8("Benešov");
}

// Typing in the search text, or choosing the column afterwards, moves the grid
// to the first row whose value in the column begins with the text.
void TestInformationPage::typingLocates() {
    QFETCH(QString, column);
    QFETCH(QString, typed);
    QFETCH(QString, switchTo);
    QFETCH(QString, town);

    Rig rig(m_program);
    rig.page->chooseList(List::PostalCodes);
    rig.typeColumn(column);
    testsupport::typeText(rig.page->searchText(), typed);
    if (!switchTo.isEmpty()) rig.typeColumn(switchTo);
    QCOMPARE(rig.current("obec"), town);
    QCOMPARE(rig.grid()->currentIndex().row(), rig.query().dataset().recNo());
    QVERIFY(rig.dialogs.shown().isEmpty());
}

// A click on a title re-sorts the list by that column and makes it the column
// that typing searches; the other titles lose their order marks. The third
// click brings back the list's own order.
void TestInformationPage::sortByTitle() {
    Rig rig(m_program);
    rig.page->chooseList(List::PostalCodes);
    rig.clickTitle(3);
    rig.clickTitle(3);
    QCOMPARE(rig.grid()->sortState(3), DataGrid::SortState::Descending);
    QCOMPARE(rig.grid()->sortState(0), DataGrid::SortState::None);
    QCOMPARE(rig.current("kraj"), u8("Zlínský"));
    QCOMPARE(rig.page->columnBox()->currentText(), u8("Kraj"));

    testsupport::typeText(rig.page->searchText(), u8("Lib"));
    QCOMPARE(rig.current("obec"), u8("Cvikov"));
    QCOMPARE(rig.grid()->currentIndex().row(),
             5); // after Zlínský, Středočeský ×2, Pardubický, Moravskoslezský

    rig.clickTitle(3);
    QCOMPARE(rig.grid()->sortState(3), DataGrid::SortState::None);
    QCOMPARE(rig.current("obec"), u8("Benešov"));
    QCOMPARE(rig.page->recordCount()->text(), u8("Celkový počet záznamů: 9"));
    QVERIFY(rig.dialogs.shown().isEmpty());
}

void TestInformationPage::unusableListFile_data() {
    QTest::addColumn<bool>("missing"); // otherwise a file that is no database
    QTest::newRow("missing") << true;
    QTest::newRow("not a database") << false;
}

// A list whose file cannot be opened says so, naming the file, and shows an
// empty list; the other lists open as before, and entering the page then
// opens the default list.
void TestInformationPage::unusableListFile() {
    QFETCH(bool, missing);
    const QString psc = m_program + QStringLiteral("DATA/PSC.mdb");
    QVERIFY(QFile::remove(psc));
    if (!missing) {
        QFile f(psc);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
    }
    Rig rig(m_program);
    rig.page->enter();
    rig.clickList(List::PostalCodes);

    QCOMPARE(rig.dialogs.shown().size(), 1);
    const auto& shown = rig.dialogs.shown().first();
    QCOMPARE(shown.caption, u8("Upozornění"));
    QCOMPARE(shown.icon, platform::Dialogs::Icon::Information);
    QCOMPARE(shown.owner, rig.page->window());
    QVERIFY2(shown.text.contains(psc), qPrintable(shown.text));
    QVERIFY(!rig.query().isOpen());
    QCOMPARE(rig.grid()->model()->rowCount(), 0);
    QCOMPARE(rig.page->recordCount()->text(), u8("Celkový počet záznamů: 0"));
    QVERIFY(QApplication::overrideCursor() == nullptr);
    // Nothing to hand over.
    QSignalSpy handed(rig.page, &InformationPage::placeHandedOver);
    rig.page->command(Command::ToPersons)->trigger();
    QCOMPARE(handed.size(), 0);

    rig.clickList(List::InternationalPrefixes);
    QCOMPARE(rig.page->recordCount()->text(), u8("Celkový počet záznamů: 3"));
    rig.clickList(List::PostalCodes);
    QCOMPARE(rig.dialogs.shown().size(), 2);
    rig.page->enter();
    QVERIFY(rig.page->listChoice(List::InternetAddresses)->isChecked());
    QCOMPARE(rig.page->recordCount()->text(), u8("Celkový počet záznamů: 3"));
    QCOMPARE(rig.dialogs.shown().size(), 2);
}

void TestInformationPage::statusLine_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("text");
    QTest::newRow("250") << 250 << u8("Celkový počet záznamů:  250");
    QTest::newRow("1250") << 1250 << u8("Celkový počet záznamů: 1 250");
}

void TestInformationPage::statusLine() {
    QFETCH(int, rows);
    QFETCH(QString, text);
    infotest::writeList(m_program + QStringLiteral("DATA"), List::InternationalPrefixes,
                        infotest::prefixRows(rows));
    Rig rig(m_program);
    rig.page->chooseList(List::InternationalPrefixes);
    QCOMPARE(rig.page->recordCount()->text(), text);
    QCOMPARE(rig.grid()->model()->rowCount(), rows);
}

void TestInformationPage::handOverPlace_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("target");
    QTest::addColumn<QString>("code");
    QTest::newRow("persons") << int(Command::ToPersons) << u8("123 45")
                             << int(InformationPage::SearchPage::Persons) << u8("12345");
    QTest::newRow("firms") << int(Command::ToFirms) << u8("123 45") << int(InformationPage::SearchPage::Firms)
                           << u8("12345");
    QTest::newRow("stored without a blank")
        << int(Command::ToPersons) << u8("12345") << int(InformationPage::SearchPage::Persons) << u8("12345");
}

// A postal code row hands its code without the blank and its municipality to
// a search page, after a notice.
void TestInformationPage::handOverPlace() {
    QFETCH(int, command);
    QFETCH(QString, stored);
    QFETCH(int, target);
    QFETCH(QString, code);
    QList<QStringList> rows = infotest::postalCodeRows();
    rows.append({u8("Olomoucký"), u8("Šternberk"), stored, u8("Šternberk")});
    infotest::writeList(m_program + QStringLiteral("DATA"), List::PostalCodes, rows);
    Rig rig(m_program);
    rig.page->chooseList(List::PostalCodes);
    testsupport::typeText(rig.page->searchText(), u8("Š"));
    QSignalSpy handed(rig.page, &InformationPage::placeHandedOver);
    rig.page->command(Command(command))->trigger();

    QCOMPARE(handed.size(), 1);
    QCOMPARE(handed[0][0].value<InformationPage::SearchPage>(), InformationPage::SearchPage(target));
    QCOMPARE(handed[0][1].toString(), code);
    QCOMPARE(handed[0][2].toString(), u8("Šternberk"));
    QCOMPARE(rig.dialogs.messageTexts(),
             QStringList{u8("Přenášené údaje nemusí vždy korespondovat s hlavní celkovou databází.\n\r"
                            "Pokud na základě přenesných údajů nebudou nalezeny žádné záznamy,\n\r"
                            "zkuste upravit název obce a zopakovat hledání.")});
    QCOMPARE(rig.dialogs.shown().first().caption, u8("Upozornění"));
    QCOMPARE(rig.current("psc"), stored);
}

void TestInformationPage::firmSearch_data() {
    QTest::addColumn<int>("list");
    QTest::addColumn<bool>("viaButton"); // otherwise the menu item
    QTest::addColumn<bool>("reset");
    QTest::newRow("internet, button") << int(List::InternetAddresses) << true << true;
    QTest::newRow("internet, menu") << int(List::InternetAddresses) << false << false;
    QTest::newRow("free-phone, button") << int(List::FreephoneLines) << true << true;
    QTest::newRow("free-phone, menu") << int(List::FreephoneLines) << false << false;
}

// The current row's firm, followed by "*", goes to the firms search; the
// button clears the firms page first, the menu item does not.
void TestInformationPage::firmSearch() {
    QFETCH(int, list);
    QFETCH(bool, viaButton);
    QFETCH(bool, reset);
    Rig rig(m_program);
    rig.page->chooseList(List(list));
    testsupport::typeText(rig.page->searchText(), u8("b"));
    QSignalSpy requested(rig.page, &InformationPage::firmSearchRequested);
    if (viaButton)
        QTest::mouseClick(rig.page->searchButton(), Qt::LeftButton);
    else
        rig.page->command(Command::SearchFirms)->trigger();
    QCOMPARE(requested.size(), 1);
    QCOMPARE(requested[0][0].toString(), u8("Beta a.s.*"));
    QCOMPARE(requested[0][1].toBool(), reset);
    QVERIFY(rig.shell.opened.isEmpty());
}

void TestInformationPage::doubleClick_data() {
    QTest::addColumn<int>("list");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("searched"); // the firms search asked for, empty for none
    QTest::addColumn<QString>("opened");   // the address opened, empty for none
    QTest::newRow("internet, firm") << int(List::InternetAddresses) << 0 << u8("Beta a.s.*") << QString();
    QTest::newRow("internet, address")
        << int(List::InternetAddresses) << 1 << QString() << u8("http://www.beta.cz");
    QTest::newRow("free-phone, firm") << int(List::FreephoneLines) << 0 << u8("Beta a.s.*") << QString();
    QTest::newRow("free-phone, number") << int(List::FreephoneLines) << 1 << u8("Beta a.s.*") << QString();
    QTest::newRow("postal codes") << int(List::PostalCodes) << 0 << QString() << QString();
    QTest::newRow("prefixes") << int(List::InternationalPrefixes) << 1 << QString() << QString();
}

// A double click on the second row: in the internet list the address opens
// when the click is on it and the firm is searched otherwise; in the
// free-phone list the firm is searched; the other lists do nothing.
void TestInformationPage::doubleClick() {
    QFETCH(int, list);
    QFETCH(int, column);
    QFETCH(QString, searched);
    QFETCH(QString, opened);
    Rig rig(m_program);
    rig.page->chooseList(List(list));
    QSignalSpy requested(rig.page, &InformationPage::firmSearchRequested);
    QSignalSpy handed(rig.page, &InformationPage::placeHandedOver);
    rig.doubleClick(1, column);

    QCOMPARE(requested.size(), searched.isEmpty() ? 0 : 1);
    if (!searched.isEmpty()) {
        QCOMPARE(requested[0][0].toString(), searched);
        QCOMPARE(requested[0][1].toBool(), true);
    }
    QCOMPARE(rig.shell.opened, opened.isEmpty() ? QStringList() : QStringList{opened});
    QCOMPARE(handed.size(), 0);
    QVERIFY(rig.dialogs.shown().isEmpty());
}

QTEST_MAIN(TestInformationPage)
#include "tst_informationpage.moc"
