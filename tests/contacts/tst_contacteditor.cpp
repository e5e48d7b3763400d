// The contact editor driven through its widgets, opened from the Vlastní
// page over a small personal database.

#include "ContactEditing.h"
#include "ContactEditor.h"
#include "PersonalRecords.h"
#include "ResultPageFixture.h"
#include "SearchCriteria.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <utility>

using namespace Qt::StringLiterals;

using namespace platform;
using test_support::child;
using test_support::click;
using test_support::NoShell;
using test_support::typeText;

namespace {

// A click of the user's through the window system: the button goes down on a
// control and comes up once.
struct Hand {
    QWindow* window = nullptr;
    QPoint at; // in the window
    bool down = false;

    void press(QWidget* control) {
        window = control->window()->windowHandle();
        at = control->mapTo(control->window(), control->rect().center());
        down = true;
        QTest::mousePress(window, Qt::LeftButton, {}, at);
    }
    // The user lets go, unless that happened already.
    void release() {
        if (std::exchange(down, false)) QTest::mouseRelease(window, Qt::LeftButton, {}, at);
    }
};

// Scripted dialogs whose message boxes stand in the way as real ones do: a box
// that comes up while the hand holds a button down gets the button's release,
// and the window under the box never sees it.
class ModalDialogs : public ScriptedDialogs {
  public:
    Hand* hand = nullptr;

    Answer message(QWidget* owner, const QString& caption, const QString& text, Icon icon,
                   Buttons buttons) override {
        if (hand && hand->down) {
            QDialog box(owner);
            box.setModal(true);
            box.show();
            QTest::mouseRelease(box.windowHandle(), Qt::LeftButton, {}, QPoint(2, 2));
            hand->down = false;
        }
        return ScriptedDialogs::message(owner, caption, text, icon, buttons);
    }
};

} // namespace

class TestContactEditor : public QObject {
    Q_OBJECT

    // Owned by the fixture.
    ModalDialogs* m_modalDialogs = new ModalDialogs;
    test_support::ResultPageFixture m_pages{std::unique_ptr<ScriptedDialogs>(m_modalDialogs)};
    ModalDialogs& m_dialogs = *m_modalDialogs;
    personal_test::PersonalFiles& m_files = m_pages.personalFiles();

    // The Vlastní page with the contact editor, a child of the page.
    struct Page {
        std::unique_ptr<test_support::ResultPageFixture::Page> base;
        ContactEditor* editor = nullptr;
        PersonalPage* personal() const { return base->personal(); }
    };

    std::unique_ptr<Page> makePage() {
        auto p = std::make_unique<Page>();
        p->base = m_pages.makePage(u"vlastni"_s);
        p->editor = new ContactEditor(p->personal());
        p->editor->attach(m_pages.app(), p->personal());
        return p;
    }

    static QLineEdit* edit(QWidget* w, const char* name) { return child<QLineEdit>(w, name); }
    // The offscreen platform has no window manager to activate a window shown.
    static void activate(QWidget* window) {
        QApplication::setActiveWindow(window);
        if (QWidget* focus = window->focusWidget()) focus->setFocus();
    }
    // Replaces the text of a field as the user would: focus, select all, type.
    static void retype(QLineEdit* box, const QString& text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        typeText(box, text);
    }
    static QStringList surnames(QWidget* w) {
        auto* grid = child<DataGrid>(w, "DBGridPro4");
        const int surname = grid->columnOf(u"Prijmeni"_s);
        QStringList out;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            out << grid->model()->index(r, surname).data().toString();
        return out;
    }
    // Lists every record and opens the editor with a double click on the row of surname.
    static void openOn(Page& page, const QString& surname) {
        QWidget* w = page.personal();
        click(w, "Image18");
        while (!surnames(w).contains(surname) && child<QPushButton>(w, "Button8")->isEnabled())
            click(w, "Button8");
        const int row = int(surnames(w).indexOf(surname));
        QVERIFY2(row >= 0, qPrintable(surname));
        openAt(page, row);
    }
    // Opens the editor with a double click on a row of the page shown.
    static void openAt(Page& page, int row) {
        auto* grid = child<DataGrid>(page.personal(), "DBGridPro4");
        const QPoint at(grid->columnWidth(0) + 20,
                        grid->visualRect(grid->model()->index(row, 0)).center().y());
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
        QVERIFY(page.editor->isVisible());
        activate(page.editor);
    }

    static QPoint cellCentre(DataGrid* grid, int row, int column) {
        return grid->visualRect(grid->model()->index(row, column)).center();
    }
    // Lists every record and marks the rows of the surnames with a click in the mark column.
    static void listAndMark(QWidget* w, const QStringList& marked) {
        click(w, "Image18");
        auto* grid = child<DataGrid>(w, "DBGridPro4");
        for (const QString& surname : marked) {
            const int row = int(surnames(w).indexOf(surname));
            QVERIFY2(row >= 0, qPrintable(surname));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(grid, row, 0));
        }
    }
    static QString counts(QWidget* w) { return child<QLabel>(w, "dones_v")->text(); }
    // The grid's menu opened at the point, as a right press opens it.
    static QStringList menuItems(PersonalPage* page, const QPoint& at) {
        QContextMenuEvent press(QContextMenuEvent::Mouse, at, page->grid()->viewport()->mapToGlobal(at));
        QApplication::sendEvent(page->grid()->viewport(), &press);
        QMenu* menu = page->contextMenu();
        QStringList out;
        if (menu->isVisible())
            for (QAction* a : menu->actions())
                if (a->isVisible()) out << a->objectName();
        menu->close();
        return out;
    }

    QString stored(const QString& column, const QString& surname) {
        db::Dataset d;
        d.setDatabase(m_files.personal.get());
        d.setSql(u"SELECT * FROM Vlastni WHERE Prijmeni = "_s + search_criteria::quoted(surname));
        d.open();
        return d.eof() ? u"<none>"_s : d.text(column);
    }
    int recordCount() {
        db::Dataset d;
        d.setDatabase(m_files.personal.get());
        d.setSql(u"SELECT Count(*) AS n FROM Vlastni"_s);
        d.open();
        return d.value(u"n"_s).toInt();
    }

  private slots:
    void initTestCase() {
        m_pages.addListings();
        m_files.personal->beginTransaction();
        m_files.add({{"Prijmeni", u"Jiná adresa"_s}, {"zobraz_adr", u"jine"_s}});
        for (const char* surname : {"Telefonní 1", "Telefonní 2"})
            m_files.add({{"Prijmeni", QString::fromUtf8(surname)},
                         {"Tel_3", u"212981224"_s},
                         {"domu_PSC", u"60200"_s}});
        m_files.add({{"Prijmeni", u"Dvořák"_s},
                     {"Jmeno_1", u"Petr"_s},
                     {"domu_Ulice", u"Dlouhá"_s},
                     {"domu_Obec", u"Brno"_s},
                     {"domu_PSC", u"60200"_s},
                     {"zam_Ulice", u"Pracovní"_s},
                     {"zam_Obec", u"Praha"_s},
                     {"zam_PSC", u"11000"_s},
                     {"zobraz_adr", u"zam"_s}});
        m_files.personal->commit();
    }
    void init() {
        m_dialogs.clear();
        m_dialogs.hand = nullptr;
        m_pages.app().limits().setText(Limits::List::Personal, Limits::Kind::Displayed, u"10"_s);
    }

    // A double click opens the editor on the row; a changed field saved
    // reaches Vlastni, and the page's grid and label show it.
    void doubleClickEditAndSave() {
        auto page = makePage();
        QWidget* w = page->personal();
        openOn(*page, u"Záznam003"_s);
        ContactEditor* e = page->editor;
        QCOMPARE(edit(e, "DBEdit4")->text(), u"Záznam003"_s);
        QCOMPARE(QApplication::focusWidget(), edit(e, "DBEdit4"));
        retype(edit(e, "DBEdit4"), u"Šťastný"_s);
        retype(edit(e, "DBEdit2"), u"Řehoř"_s);
        click(e, "ulozit");
        QVERIFY(!e->isVisible());
        QCOMPARE(m_dialogs.messageTexts(), QStringList());
        QCOMPARE(stored(u"Jmeno_1"_s, u"Šťastný"_s), u"Řehoř"_s);
        QCOMPARE(stored(u"Prijmeni"_s, u"Záznam003"_s), u"<none>"_s);
        QVERIFY(surnames(w).contains(u"Šťastný"_s));
        QVERIFY(child<QPlainTextEdit>(w, "Memo3")->toPlainText().contains(u"Šťastný Řehoř"_s));
    }

    // The kind pictures switch the address fields between the groups; a value
    // typed stays in its group, and the kind shown at saving becomes the default.
    void kindSwitching() {
        auto page = makePage();
        openOn(*page, u"Dvořák"_s);
        ContactEditor* e = page->editor;
        QVERIFY(child<QWidget>(e, "adresa_zam_on")->isVisible());
        QVERIFY(!child<QWidget>(e, "adresa_zam_off")->isVisible());
        QVERIFY(child<QWidget>(e, "adresa_domu_off")->isVisible());
        QCOMPARE(edit(e, "DBEdit18")->text(), u"Pracovní"_s);
        QCOMPARE(edit(e, "DBEdit9")->text(), u"110 00"_s);

        retype(edit(e, "DBEdit18"), u"Nová"_s);
        click(e, "adresa_domu_off");
        QVERIFY(child<QWidget>(e, "adresa_domu_on")->isVisible());
        QVERIFY(child<QWidget>(e, "adresa_zam_off")->isVisible());
        QCOMPARE(edit(e, "DBEdit18")->text(), u"Dlouhá"_s);
        QCOMPARE(edit(e, "DBEdit7")->text(), u"Brno"_s);
        click(e, "adresa_jine_off");
        QCOMPARE(edit(e, "DBEdit18")->text(), QString());
        click(e, "adresa_zam_off");
        QCOMPARE(edit(e, "DBEdit18")->text(), u"Nová"_s);
        click(e, "adresa_domu_off");
        click(e, "ulozit");
        QVERIFY(!e->isVisible());
        QCOMPARE(stored(u"zam_Ulice"_s, u"Dvořák"_s), u"Nová"_s);
        QCOMPARE(stored(u"domu_Ulice"_s, u"Dvořák"_s), u"Dlouhá"_s);
        QCOMPARE(stored(u"zobraz_adr"_s, u"Dvořák"_s), u"domu"_s);
    }

    // Phone and postal-code fields lose their blanks on entering and are
    // grouped on leaving; an e-mail without "@" warns once and stays.
    void focusRules() {
        auto page = makePage();
        openOn(*page, u"Záznam005"_s);
        ContactEditor* e = page->editor;
        retype(edit(e, "DBEdit14"), u"+420602123456"_s);
        QTest::keyClick(edit(e, "DBEdit14"), Qt::Key_Tab);
        QCOMPARE(edit(e, "DBEdit14")->text(), u"+420 602 123 456"_s);
        QTest::mouseClick(edit(e, "DBEdit14"), Qt::LeftButton);
        QCOMPARE(edit(e, "DBEdit14")->text(), u"+420602123456"_s);
        retype(edit(e, "DBEdit12"), u"nikdo.cz"_s);
        QTest::keyClick(edit(e, "DBEdit12"), Qt::Key_Tab);
        QCOMPARE(m_dialogs.messageTexts(), QStringList{contact_editing::emailWarning()});
        QCOMPARE(edit(e, "DBEdit12")->text(), u"nikdo.cz"_s);
        click(e, "ulozit");
        QVERIFY(!e->isVisible());
        QCOMPARE(stored(u"Tel_1"_s, u"Záznam005"_s), u"+420602123456"_s);
        QCOMPARE(stored(u"E-mail_1"_s, u"Záznam005"_s), u"nikdo.cz"_s);
    }

    // A value too long for its column: the message, the window stays open with
    // the input, the focus is in the field, nothing is stored.
    void tooLongValueKeepsInput() {
        auto page = makePage();
        openOn(*page, u"Záznam006"_s);
        ContactEditor* e = page->editor;
        retype(edit(e, "DBEdit4"), u"Dlouhý"_s);
        retype(edit(e, "DBEdit9"), u"1234567"_s);
        click(e, "ulozit");
        QVERIFY(e->isVisible());
        QCOMPARE(m_dialogs.shown().size(), 1);
        QVERIFY(m_dialogs.shown()[0].text.contains(u"PSČ"_s));
        QCOMPARE(m_dialogs.shown()[0].owner, e);
        QCOMPARE(edit(e, "DBEdit4")->text(), u"Dlouhý"_s);
        QCOMPARE(edit(e, "DBEdit9")->text(), u"1234567"_s);
        QCOMPARE(QApplication::focusWidget(), edit(e, "DBEdit9"));
        QCOMPARE(stored(u"Prijmeni"_s, u"Záznam006"_s), u"Záznam006"_s);
        // Back takes the changes back and closes.
        click(e, "zpet");
        QVERIFY(!e->isVisible());
        QCOMPARE(stored(u"Prijmeni"_s, u"Záznam006"_s), u"Záznam006"_s);
    }

    // Next from the last row of a page fills the next page and shows its first row.
    void nextAcrossPageBoundary() {
        auto page = makePage();
        QWidget* w = page->personal();
        click(w, "Image18");
        const QStringList firstPage = surnames(w);
        QCOMPARE(firstPage.size(), 10);
        openOn(*page, firstPage.last());
        ContactEditor* e = page->editor;
        QVERIFY(child<QPushButton>(e, "dalsi")->isEnabled());
        QVERIFY(child<QPushButton>(e, "predchozi")->isEnabled());
        retype(edit(e, "DBEdit2"), u"Desátý"_s);
        click(e, "dalsi");
        QVERIFY(e->isVisible());
        QCOMPARE(m_dialogs.messageTexts(), QStringList());
        QCOMPARE(page->personal()->search()->state().first, 11);
        const QStringList secondPage = surnames(w);
        QVERIFY(!secondPage.contains(firstPage.last()));
        QCOMPARE(edit(e, "DBEdit4")->text(), secondPage.first());
        QCOMPARE(child<DataGrid>(w, "DBGridPro4")->currentIndex().row(), 0);
        QCOMPARE(stored(u"Jmeno_1"_s, firstPage.last()), u"Desátý"_s);
        QVERIFY(child<QPushButton>(w, "Button4")->isEnabled());
        click(e, "predchozi");
        QCOMPARE(edit(e, "DBEdit4")->text(), firstPage.last());
        QCOMPARE(edit(e, "DBEdit2")->text(), u"Desátý"_s);
        QCOMPARE(surnames(w), firstPage);
        QCOMPARE(child<DataGrid>(w, "DBGridPro4")->currentIndex().row(), 9);
        QCOMPARE(child<QPlainTextEdit>(w, "Memo3")->toPlainText(), firstPage.last() + u" Desátý\n"_s);
        click(e, "zpet");
    }

    // Escape with changed values asks; Yes saves, No takes the change back;
    // both close. Escape without changes closes without asking.
    void closeQuestion_data() {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("stored");
        QTest::newRow("yes saves") << true << true << u"Otázka"_s;
        QTest::newRow("no takes back") << true << false << QString();
        QTest::newRow("nothing changed") << false << false << QString();
    }
    void closeQuestion() {
        QFETCH(bool, changed);
        QFETCH(bool, yes);
        QFETCH(QString, stored);
        m_files.add({{"Prijmeni", u"Zavírání"_s}});
        auto page = makePage();
        openOn(*page, u"Zavírání"_s);
        ContactEditor* e = page->editor;
        if (changed) retype(edit(e, "DBEdit2"), u"Otázka"_s);
        m_dialogs.answerMessage(yes ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        QTest::keyClick(e, Qt::Key_Escape);
        QVERIFY(!e->isVisible());
        if (changed) {
            QCOMPARE(m_dialogs.shown().size(), 1);
            QCOMPARE(m_dialogs.shown()[0].text, contact_editing::closeQuestion());
            QCOMPARE(m_dialogs.shown()[0].icon, Dialogs::Icon::Question);
        } else {
            QCOMPARE(m_dialogs.shown().size(), 0);
        }
        QCOMPARE(this->stored(u"Jmeno_1"_s, u"Zavírání"_s), stored);
        m_files.personal->execute(u"DELETE * FROM Vlastni WHERE Prijmeni = 'Zavírání'"_s,
                                  db::Database::FailOnError);
    }

    // Yes to the close question with a value too long: the save's message,
    // and the window stays open with the input.
    void closeQuestionFailedSave() {
        auto page = makePage();
        openOn(*page, u"Záznam008"_s);
        ContactEditor* e = page->editor;
        retype(edit(e, "DBEdit9"), u"1234567"_s);
        m_dialogs.answerMessage(Dialogs::Answer::Yes);
        QTest::keyClick(e, Qt::Key_Escape);
        QVERIFY(e->isVisible());
        QCOMPARE(m_dialogs.shown().size(), 2);
        QCOMPARE(m_dialogs.shown()[0].text, contact_editing::closeQuestion());
        QVERIFY(m_dialogs.shown()[1].text.contains(u"PSČ"_s));
        QCOMPARE(edit(e, "DBEdit9")->text(), u"1234567"_s);
        QCOMPARE(stored(u"domu_PSC"_s, u"Záznam008"_s), QString());
        click(e, "zpet");
        QVERIFY(!e->isVisible());
    }

    // Delete in the editor asks; Yes removes the record from Vlastni and its
    // row from the page and shows the next row, No keeps both.
    void deleteFromEditor_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("no") << false;
        QTest::newRow("yes") << true;
    }
    void deleteFromEditor() {
        QFETCH(bool, yes);
        m_files.add({{"Prijmeni", u"Aab smazat"_s}});
        auto page = makePage();
        QWidget* w = page->personal();
        openOn(*page, u"Aab smazat"_s);
        ContactEditor* e = page->editor;
        const QString following = surnames(w).at(surnames(w).indexOf(u"Aab smazat"_s) + 1);
        m_dialogs.answerMessage(yes ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        click(e, "smazat");
        QCOMPARE(m_dialogs.messageTexts(), QStringList{contact_editing::deleteQuestion()});
        QVERIFY(e->isVisible());
        QCOMPARE(stored(u"Prijmeni"_s, u"Aab smazat"_s), yes ? u"<none>"_s : u"Aab smazat"_s);
        QCOMPARE(surnames(w).contains(u"Aab smazat"_s), !yes);
        QCOMPARE(edit(e, "DBEdit4")->text(), yes ? following : u"Aab smazat"_s);
        click(e, "zpet");
        m_files.personal->execute(u"DELETE * FROM Vlastni WHERE Prijmeni = 'Aab smazat'"_s,
                                  db::Database::FailOnError);
    }

    // The editor's all-records picture lists on the page and shows the first
    // row; the record added before stays and new-record mode ends.
    void listingFromEditor() {
        auto page = makePage();
        QWidget* w = page->personal();
        const int before = recordCount();
        click(w, "Image15");
        ContactEditor* e = page->editor;
        QVERIFY(e->isVisible());
        activate(e);
        QVERIFY(e->editing()->isNewRecord());
        retype(edit(e, "DBEdit4"), u"Zzz přidaný"_s);
        click(e, "vse");
        QVERIFY(e->isVisible());
        QVERIFY(!e->editing()->isNewRecord());
        QCOMPARE(surnames(w).size(), 10);
        QCOMPARE(edit(e, "DBEdit4")->text(), surnames(w).first());
        QCOMPARE(child<QPushButton>(w, "Button8")->isEnabled(), true);
        click(e, "zpet");
        QVERIFY(!e->isVisible());
        QCOMPARE(recordCount(), before + 1);
        m_files.personal->execute(u"DELETE * FROM Vlastni WHERE Prijmeni = 'Zzz přidaný'"_s,
                                  db::Database::FailOnError);
        QCOMPARE(recordCount(), before);
    }

    // The new picture adds a record and opens it in new-record mode: back
    // removes it again, save keeps it with the values typed.
    void newRecord_data() {
        QTest::addColumn<bool>("save");
        QTest::newRow("back") << false;
        QTest::newRow("save") << true;
    }
    void newRecord() {
        QFETCH(bool, save);
        auto page = makePage();
        QWidget* w = page->personal();
        click(w, "Image18");
        const int before = recordCount();
        click(w, "Image15");
        ContactEditor* e = page->editor;
        QVERIFY(e->isVisible());
        activate(e);
        QVERIFY(e->editing()->isNewRecord());
        QCOMPARE(recordCount(), before + 1);
        QVERIFY(child<QWidget>(e, "adresa_domu_on")->isVisible());
        retype(edit(e, "DBEdit4"), u"Nováček"_s);
        click(e, save ? "ulozit" : "zpet");
        QVERIFY(!e->isVisible());
        QCOMPARE(m_dialogs.messageTexts(), QStringList());
        QCOMPARE(recordCount(), save ? before + 1 : before);
        QCOMPARE(stored(u"Prijmeni"_s, u"Nováček"_s), save ? u"Nováček"_s : u"<none>"_s);
        if (save) {
            QCOMPARE(surnames(w), QStringList{u"Nováček"_s});
            m_files.personal->execute(u"DELETE * FROM Vlastni WHERE Prijmeni = 'Nováček'"_s,
                                      db::Database::FailOnError);
        }
    }

    // At the record limit the new picture shows the limit message and opens nothing.
    void newRecordAtLimit() {
        const int missing = PersonalRecords::kRecordLimit - recordCount();
        m_files.personal->beginTransaction();
        for (int i = 0; i < missing; ++i)
            m_files.add({{"Prijmeni", u"Výplň"_s}});
        m_files.personal->commit();
        auto page = makePage();
        click(page->personal(), "Image15");
        QVERIFY(!page->editor->isVisible());
        QCOMPARE(m_dialogs.messageTexts(), QStringList{PersonalRecords::limitMessage()});
        QCOMPARE(m_dialogs.shown()[0].caption, Dialogs::kInformation);
        QCOMPARE(recordCount(), PersonalRecords::kRecordLimit);
        m_files.personal->execute(u"DELETE * FROM Vlastni WHERE Prijmeni = 'Výplň'"_s,
                                  db::Database::FailOnError);
    }

    // The page's edit and delete pictures need a row; delete asks and removes
    // the record from Vlastni and its row from the page.
    void pagePictures() {
        auto page = makePage();
        QWidget* w = page->personal();
        click(w, "Image13");
        click(w, "Image16");
        QCOMPARE(m_dialogs.messageTexts(),
                 (QStringList{u"Nejprve vyberte záznam, který chcete upravit.      "_s,
                              u"Nejprve vyberte záznam, který chcete smazat.      "_s}));
        QVERIFY(!page->editor->isVisible());

        m_files.add({{"Prijmeni", u"Aaa smazat"_s}});
        click(w, "Image18");
        QCOMPARE(surnames(w).first(), u"Aaa smazat"_s);
        m_dialogs.clear();
        m_dialogs.answerMessage(Dialogs::Answer::No);
        click(w, "Image16");
        QCOMPARE(stored(u"Prijmeni"_s, u"Aaa smazat"_s), u"Aaa smazat"_s);
        m_dialogs.answerMessage(Dialogs::Answer::Yes);
        click(w, "Image16");
        QCOMPARE(m_dialogs.messageTexts(),
                 QStringList(2, u"Opravdu si přejete smazat vybraný záznam?      "_s));
        QCOMPARE(stored(u"Prijmeni"_s, u"Aaa smazat"_s), u"<none>"_s);
        QVERIFY(!surnames(w).contains(u"Aaa smazat"_s));

        click(w, "Image13");
        QVERIFY(page->editor->isVisible());
        activate(page->editor);
        QCOMPARE(edit(page->editor, "DBEdit4")->text(), surnames(w).first());
        click(page->editor, "zpet");
    }

    // The grid's menu offers what the selection allows: over an empty grid
    // only adding, with a row editing and deleting it, with marks also
    // deleting them. Calling and the map follow under a separator, on only
    // with a record (tst_resultpagebehaviour).
    void contextMenu_data() {
        QTest::addColumn<bool>("listed");
        QTest::addColumn<bool>("marked");
        QTest::addColumn<QStringList>("items");
        const QStringList links{QString(), u"volat_v"_s, u"mapa_v"_s};
        QTest::newRow("no row") << false << false << QStringList{u"pridat_v"_s} + links;
        QTest::newRow("row") << true << false
                             << QStringList{u"upravit_v"_s, u"pridat_v"_s, u"smazat_v"_s} + links;
        QTest::newRow("marked") << true << true
                                << QStringList{u"upravit_v"_s, u"pridat_v"_s, u"smazat_v"_s,
                                               u"smazat_vse_v"_s} +
                                       links;
    }
    void contextMenu() {
        QFETCH(bool, listed);
        QFETCH(bool, marked);
        QFETCH(QStringList, items);
        auto page = makePage();
        QWidget* w = page->personal();
        if (listed) listAndMark(w, marked ? QStringList{u"Záznam002"_s} : QStringList{});
        auto* grid = child<DataGrid>(w, "DBGridPro4");
        const QPoint at = listed ? cellCentre(grid, 0, 2) : grid->viewport()->rect().center();
        QCOMPARE(menuItems(page->personal(), at), items);
    }

    // Insert in the grid adds a record in the editor; the menu's add does the same.
    void insertAndMenuAdd() {
        auto page = makePage();
        QWidget* w = page->personal();
        const int before = recordCount();
        for (bool key : {true, false}) {
            if (key) {
                page->personal()->grid()->setFocus();
                QTest::keyClick(page->personal()->grid(), Qt::Key_Insert);
            } else {
                page->personal()->contextMenu()->findChild<QAction*>(u"pridat_v"_s)->trigger();
            }
            QVERIFY(page->editor->isVisible());
            activate(page->editor);
            QVERIFY(page->editor->editing()->isNewRecord());
            QCOMPARE(recordCount(), before + 1);
            click(page->editor, "zpet");
            QCOMPARE(recordCount(), before);
            activate(w);
        }
    }

    // Three marked rows go from Vlastni and from the page, whichever way
    // delete marked starts; the marked count goes back to 0, so that Delete
    // then offers to delete the selected row.
    void deleteMarked_data() {
        QTest::addColumn<QString>("start");
        QTest::newRow("Delete key") << u"key"_s;
        QTest::newRow("picture") << u"Image14"_s;
        QTest::newRow("menu") << u"smazat_vse_v"_s;
    }
    void deleteMarked() {
        QFETCH(QString, start);
        const QStringList doomed{u"Aac 1"_s, u"Aac 2"_s, u"Aac 3"_s};
        for (const QString& surname : doomed)
            m_files.add({{"Prijmeni", surname}});
        const int before = recordCount();
        auto page = makePage();
        QWidget* w = page->personal();
        DataGrid* grid = page->personal()->grid();
        listAndMark(w, doomed);
        QVERIFY(counts(w).endsWith(u" 3 označených"_s));
        m_dialogs.answerMessage(Dialogs::Answer::Yes);
        if (start == u"key"_s) {
            grid->setFocus();
            QTest::keyClick(grid, Qt::Key_Delete);
        } else if (start == u"Image14"_s) {
            click(w, "Image14");
        } else {
            page->personal()->contextMenu()->findChild<QAction*>(start)->trigger();
        }
        QCOMPARE(m_dialogs.messageTexts(),
                 QStringList{u"Opravdu si přejete smazat označené záznamy?      "_s});
        QCOMPARE(recordCount(), before - 3);
        for (const QString& surname : doomed) {
            QCOMPARE(stored(u"Prijmeni"_s, surname), u"<none>"_s);
            QVERIFY(!surnames(w).contains(surname));
        }
        QCOMPARE(surnames(w).size(), 7);
        QVERIFY(counts(w).endsWith(u" 0 označených"_s));

        m_dialogs.clear();
        m_dialogs.answerMessage(Dialogs::Answer::No);
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Delete);
        click(w, "Image14");
        QCOMPARE(m_dialogs.messageTexts(),
                 (QStringList{u"Opravdu si přejete smazat vybraný záznam?      "_s,
                              u"Nejprve označte záznamy, které chcete smazat.      "_s}));
        QCOMPARE(m_dialogs.shown()[1].caption, Dialogs::kInformation);
    }

    // A record that cannot be deleted keeps every marked record and row; the
    // user reads the engine's reason. Deleting the row alone keeps it as well.
    void failedDeletion() {
        m_files.add({{"Prijmeni", u"Aad 1"_s}});
        m_files.add({{"Prijmeni", u"Aad zamčený"_s}});
        m_files.personal->executeNative(
            u"CREATE TRIGGER nesmazat BEFORE DELETE ON Vlastni WHEN old.Prijmeni = 'Aad zamčený' "
            "BEGIN SELECT RAISE(ABORT, 'záznam je zamčen'); END"_s);
        const auto cleanUp = qScopeGuard([this] {
            m_files.personal->executeNative(u"DROP TRIGGER nesmazat"_s);
            m_files.personal->execute(u"DELETE * FROM Vlastni WHERE Prijmeni Like 'Aad*'"_s,
                                      db::Database::FailOnError);
        });
        auto page = makePage();
        QWidget* w = page->personal();
        listAndMark(w, {u"Aad 1"_s, u"Aad zamčený"_s});
        m_dialogs.answerMessage(Dialogs::Answer::Yes);
        click(w, "Image14");
        m_dialogs.answerMessage(Dialogs::Answer::Yes);
        QTest::mouseClick(
            page->personal()->grid()->viewport(), Qt::LeftButton, {},
            cellCentre(page->personal()->grid(), int(surnames(w).indexOf(u"Aad zamčený"_s)), 2));
        click(w, "Image16");
        const QStringList texts = m_dialogs.messageTexts();
        QCOMPARE(texts.size(), 4);
        QVERIFY2(texts[1].contains(u"záznam je zamčen"_s), qPrintable(texts[1]));
        QVERIFY2(texts[3].contains(u"záznam je zamčen"_s), qPrintable(texts[3]));
        QCOMPARE(stored(u"Prijmeni"_s, u"Aad 1"_s), u"Aad 1"_s);
        QCOMPARE(stored(u"Prijmeni"_s, u"Aad zamčený"_s), u"Aad zamčený"_s);
        QVERIFY(surnames(w).contains(u"Aad 1"_s) && surnames(w).contains(u"Aad zamčený"_s));
        QVERIFY(counts(w).endsWith(u" 2 označených"_s));
    }

    // The editor's own letter row and all-records picture store the typed
    // values first, as next and previous do, and the kind shown is that of the
    // first row listed; an untouched save of that row then changes nothing.
    void listingFromEditorStoresFirst_data() {
        QTest::addColumn<bool>("letter");
        QTest::addColumn<QString>("listedFirst");
        QTest::newRow("letter") << true << u"Záznam001"_s;
        QTest::newRow("all records") << false << u"Dvořák"_s;
    }
    void listingFromEditorStoresFirst() {
        QFETCH(bool, letter);
        QFETCH(QString, listedFirst);
        const QString opened = u"Jiná adresa"_s; // shown with the kind "jine"
        const QString listedKind =
            stored(u"zobraz_adr"_s, listedFirst).isEmpty() ? u"domu"_s : stored(u"zobraz_adr"_s, listedFirst);
        auto page = makePage();
        openOn(*page, opened);
        ContactEditor* e = page->editor;
        const QString kindBefore = stored(u"zobraz_adr"_s, listedFirst);
        retype(edit(e, "DBEdit16"), u"Ředitel"_s);
        if (letter)
            QTest::mouseClick(child<QWidget>(e, "abeceda"), Qt::LeftButton, {}, QPoint(460, 5));
        else
            click(e, "vse");
        QCOMPARE(m_dialogs.messageTexts(), QStringList());
        QCOMPARE(stored(u"Funkce"_s, opened), u"Ředitel"_s);
        QVERIFY(e->isVisible());
        QCOMPARE(edit(e, "DBEdit4")->text(), listedFirst);
        QCOMPARE(edit(e, "DBEdit16")->text(), stored(u"Funkce"_s, listedFirst));
        QVERIFY(child<QWidget>(e, qPrintable(u"adresa_"_s + listedKind + u"_on"_s))->isVisible());
        click(e, "ulozit");
        QVERIFY(!e->isVisible());
        QCOMPARE(stored(u"zobraz_adr"_s, listedFirst), kindBefore);
    }

    // A store that fails keeps the editor as it was, with the message, and lists nothing.
    void listingFromEditorAfterFailedStore() {
        auto page = makePage();
        QWidget* w = page->personal();
        openOn(*page, u"Záznam006"_s);
        ContactEditor* e = page->editor;
        const QStringList shown = surnames(w);
        retype(edit(e, "DBEdit9"), u"1234567"_s);
        QTest::mouseClick(child<QWidget>(e, "abeceda"), Qt::LeftButton, {}, QPoint(60, 5));
        QCOMPARE(m_dialogs.shown().size(), 1);
        QVERIFY(m_dialogs.shown()[0].text.contains(u"PSČ"_s));
        QVERIFY(e->isVisible());
        QCOMPARE(edit(e, "DBEdit4")->text(), u"Záznam006"_s);
        QCOMPARE(edit(e, "DBEdit9")->text(), u"1234567"_s);
        QCOMPARE(surnames(w), shown);
        click(e, "zpet");
    }

    // A phone or postal-code field loses its blanks only when the user enters
    // it: the editor shown again on another record shows that record's values
    // as stored and closes without the question.
    void reshownEditorIsUntouched_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("shown");
        QTest::newRow("phone") << u"DBEdit20"_s << u"212 981 224"_s;
        QTest::newRow("postal code") << u"DBEdit9"_s << u"602 00"_s;
    }
    void reshownEditorIsUntouched() {
        QFETCH(QString, control);
        QFETCH(QString, shown);
        auto page = makePage();
        openOn(*page, u"Telefonní 1"_s);
        ContactEditor* e = page->editor;
        QLineEdit* box = edit(e, qPrintable(control));
        QTest::mouseClick(box, Qt::LeftButton);
        QCOMPARE(box->text(), QString(shown).remove(u' '));
        m_dialogs.answerMessage(Dialogs::Answer::No);
        QTest::keyClick(box, Qt::Key_Escape);
        QVERIFY(!e->isVisible());
        m_dialogs.clear();

        openOn(*page, u"Telefonní 2"_s);
        // On a desktop the window manager activates a window only after it is
        // shown; meanwhile the dialog tells the field that had the focus last
        // that it has it again, with the Tab reason.
        QFocusEvent shownAgain(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(box, &shownAgain);
        QCOMPARE(box->text(), shown);
        QVERIFY(!e->editing()->isModified());
        QTest::keyClick(e, Qt::Key_Escape);
        QVERIFY(!e->isVisible());
        QCOMPARE(m_dialogs.messageTexts(), QStringList());
        QCOMPARE(stored(u"Tel_3"_s, u"Telefonní 2"_s), u"212981224"_s);
        QCOMPARE(stored(u"domu_PSC"_s, u"Telefonní 2"_s), u"60200"_s);
    }

    // A record added and closed empty goes again, however the editor closes;
    // the page's count and rows are as before the addition.
    void addedRecordLeftEmpty_data() {
        QTest::addColumn<QString>("close");
        QTest::newRow("Escape") << u"escape"_s;
        QTest::newRow("close box") << u"close"_s;
        QTest::newRow("typed and wiped") << u"wiped"_s;
    }
    void addedRecordLeftEmpty() {
        QFETCH(QString, close);
        auto page = makePage();
        QWidget* w = page->personal();
        const int before = recordCount();
        page->personal()->grid()->setFocus();
        QTest::keyClick(page->personal()->grid(), Qt::Key_Insert);
        ContactEditor* e = page->editor;
        QVERIFY(e->isVisible());
        activate(e);
        QCOMPARE(recordCount(), before + 1);
        if (close == u"wiped"_s) {
            typeText(edit(e, "DBEdit4"), u"X"_s);
            QTest::keyClick(edit(e, "DBEdit4"), Qt::Key_Backspace);
        }
        if (close == u"close"_s)
            e->close();
        else
            QTest::keyClick(e, Qt::Key_Escape);
        QVERIFY(!e->isVisible());
        QCOMPARE(m_dialogs.messageTexts(), QStringList());
        QCOMPARE(recordCount(), before);
        QCOMPARE(surnames(w), QStringList());
        QCOMPARE(page->personal()->search()->state().foundCount, 0);
    }

    // The e-mail warning of a field left by a click comes before what the
    // click set off, and that goes on: save, the moves and a new record.
    void emailWarningKeepsTheClick_data() {
        QTest::addColumn<QString>("button");
        QTest::newRow("save") << u"ulozit"_s;
        QTest::newRow("next") << u"dalsi"_s;
        QTest::newRow("previous") << u"predchozi"_s;
        QTest::newRow("new") << u"novy"_s;
    }
    void emailWarningKeepsTheClick() {
        QFETCH(QString, button);
        auto page = makePage();
        openOn(*page, u"Záznam013"_s);
        ContactEditor* e = page->editor;
        retype(edit(e, "DBEdit3"), u"spatny.mail"_s);
        Hand hand;
        m_dialogs.hand = &hand;
        hand.press(child<QPushButton>(e, qPrintable(button)));
        hand.release();
        QCoreApplication::processEvents();
        QCOMPARE(m_dialogs.messageTexts(), QStringList{contact_editing::emailWarning()});
        QCOMPARE(stored(u"E-mail_2"_s, u"Záznam013"_s), u"spatny.mail"_s);
        if (button == u"ulozit"_s) {
            QVERIFY(!e->isVisible());
            return;
        }
        QVERIFY(e->isVisible());
        QVERIFY(edit(e, "DBEdit4")->text() != u"Záznam013"_s);
        QCOMPARE(e->editing()->isNewRecord(), button == u"novy"_s);
        click(e, "zpet");
    }

    // The sort marks of the titles go when the page's rows are no longer
    // sorted: a fresh working table, or a page the editor moved to.
    void sortMarksFollowThePage_data() {
        QTest::addColumn<bool>("addition");
        QTest::newRow("addition") << true;
        QTest::newRow("editor's page move") << false;
    }
    void sortMarksFollowThePage() {
        QFETCH(bool, addition);
        auto page = makePage();
        QWidget* w = page->personal();
        DataGrid* grid = page->personal()->grid();
        click(w, "Image18");
        const int column = grid->columnOf(u"Jmeno_1"_s);
        QHeaderView* header = grid->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
        QCOMPARE(grid->sortState(column), DataGrid::SortState::Ascending);
        ContactEditor* e = page->editor;
        if (addition) {
            grid->setFocus();
            QTest::keyClick(grid, Qt::Key_Insert);
            QVERIFY(e->isVisible());
        } else {
            // Next from the last row of the sorted page fills the next one.
            openAt(*page, grid->model()->rowCount() - 1);
            click(e, "dalsi");
            QCOMPARE(page->personal()->search()->state().first, 11);
        }
        QCOMPARE(grid->sortState(column), DataGrid::SortState::None);
        click(e, "zpet");
    }

    // From the keyboard a kind is chosen with Space on its picture; the focus
    // goes to the picture that takes its place, which reports the kind as
    // the chosen one, and the fields show that kind's address.
    void kindFromKeyboard() {
        auto page = makePage();
        openOn(*page, u"Dvořák"_s);
        ContactEditor* e = page->editor;
        auto* other = child<QWidget>(e, "adresa_jine_off");
        QVERIFY(other->isVisible());
        other->setFocus(Qt::TabFocusReason);
        QTest::keyClick(other, Qt::Key_Space);
        auto* chosen = child<QWidget>(e, "adresa_jine_on");
        QVERIFY(chosen->isVisible());
        QVERIFY(!other->isVisible());
        QCOMPARE(QApplication::focusWidget(), chosen);
        QCOMPARE(edit(e, "DBEdit18")->text(), QString());
        QVERIFY(QAccessible::queryAccessibleInterface(chosen)->state().checked);
        QVERIFY(!QAccessible::queryAccessibleInterface(child<QWidget>(e, "adresa_zam_off"))->state().checked);
        click(e, "zpet");
    }

    // Tab leads through the fields as listed (the shown picture of each
    // address kind before the address), the buttons, the alphabet bar and
    // the all-records picture.
    void tabOrder() {
        auto page = makePage();
        openOn(*page, u"Záznam009"_s);
        ContactEditor* e = page->editor;
        const QStringList order{u"DBEdit4"_s,        u"DBEdit2"_s,         u"DBEdit1"_s,
                                u"DBEdit16"_s,       u"DBEdit17"_s,        u"DBEdit14"_s,
                                u"DBEdit15"_s,       u"DBEdit20"_s,        u"DBEdit13"_s,
                                u"DBEdit19"_s,       u"DBEdit21"_s,        u"adresa_domu_on"_s,
                                u"adresa_zam_off"_s, u"adresa_jine_off"_s, u"DBEdit18"_s,
                                u"DBEdit6"_s,        u"DBEdit7"_s,         u"DBEdit8"_s,
                                u"DBEdit9"_s,        u"DBEdit10"_s,        u"DBEdit11"_s,
                                u"DBEdit12"_s,       u"DBEdit3"_s,         u"DBEdit5"_s,
                                u"DBMemo1"_s,        u"ulozit"_s,          u"zpet"_s,
                                u"dalsi"_s,          u"predchozi"_s,       u"novy"_s,
                                u"smazat"_s,         u"abeceda"_s,         u"vse"_s};
        QStringList visited{QApplication::focusWidget()->objectName()};
        for (int i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, order);
        click(e, "zpet");
    }

    // The memo shows its scroll bar from seven lines on.
    void memoScrollBar() {
        auto page = makePage();
        openOn(*page, u"Záznam007"_s);
        auto* memo = child<QPlainTextEdit>(page->editor, "DBMemo1");
        memo->setFocus();
        typeText(memo, u"1"_s);
        for (int line = 2; line <= 6; ++line) {
            QTest::keyClick(memo, Qt::Key_Return);
            typeText(memo, QString::number(line));
        }
        QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QTest::keyClick(memo, Qt::Key_Return);
        QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        click(page->editor, "zpet");
    }
};

QTEST_MAIN(TestContactEditor)
#include "tst_contacteditor.moc"
