// What the three result pages (persons, firms, Vlastní) do alike, driven
// through their widgets over data of their own: paging, marking and reset,
// STOP and what else responds during a fill, searches that end early, the
// record label and its copies, sorting by the column titles and a fill that
// cannot be written. What only one page does is in that page's test.

#include "ResultPageFixture.h"
#include "WorkingFiles.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace platform;
using test_support::child;
using test_support::countsText;
using test_support::FileHold;
using test_support::resultPageNames;
using Page = test_support::ResultPageFixture::Page;

namespace {

const QString kNormal = u"Ordana 2004 Velto"_s;
const QString kBusy = u"Ordana 2004 Velto - hledám..."_s;

// The page's requests to other windows: transfers into the personal contacts
// (persons, firms) or the contact editor (Vlastní), counted in count.
void countRequests(const Page& page, QObject* context, int* count) {
    const auto add = [count] { ++*count; };
    if (DirectoryPage* d = page.directory()) {
        QObject::connect(d, &DirectoryPage::transferRequested, context, add);
        QObject::connect(d, &DirectoryPage::transferMarkedRequested, context, add);
    } else {
        QObject::connect(page.personal(), &PersonalPage::editRequested, context, add);
        QObject::connect(page.personal(), &PersonalPage::addRequested, context, add);
    }
}

// The search boxes of the page, without the region box's editor.
QList<QLineEdit*> boxes(QWidget* w) {
    QList<QLineEdit*> out;
    for (QLineEdit* box : w->findChildren<QLineEdit*>())
        if (!box->parentWidget()->inherits("QComboBox")) out << box;
    return out;
}

QString labelText(QWidget* w, const char* name) {
    return child<QPlainTextEdit>(w, name)->toPlainText();
}

} // namespace

class TestResultPageBehaviour : public QObject {
    Q_OBJECT

    test_support::ResultPageFixture m_pages;
    ScriptedDialogs& m_dialogs = m_pages.dialogs();

    static void addPageColumn() { QTest::addColumn<QString>("page"); }
    // The page of the test's data row.
    std::unique_ptr<Page> rowPage() {
        QFETCH(QString, page);
        return m_pages.makePage(page);
    }
    // The page of the test's data row with its first 10 records listed.
    std::unique_ptr<Page> listedPage() {
        auto p = rowPage();
        p->list();
        return p;
    }

  private slots:
    void initTestCase() {
        m_pages.addListings();
        // Records of several numbers, and of one.
        auto& directory = m_pages.directoryFiles();
        directory.database().beginTransaction();
        m_pages.addSubscriber(false, u"Čísla"_s, 77);
        directory.addExtra(false, 77, u"601222333"_s, u"byt"_s);
        directory.addExtra(false, 77, u"601444555"_s);
        m_pages.addSubscriber(true, u"Kovárna"_s, 88);
        directory.addExtra(true, 88, u"602555666"_s, u"dílna"_s);
        directory.database().commit();
        m_pages.addContacts();
    }
    void init() {
        m_dialogs.clear();
        m_pages.app().stopRequested = false;
        m_pages.app().currentPageName.clear();
    }

    // 25 records, 10 a page: three forward moves show 1 to 10, 11 to 20 and
    // 21 to 25, the last leaves ">>>" off; "<<<" shows rows copied before.
    void pagesForwardAndBack_data() {
        addPageColumn();
        QTest::addColumn<QStringList>("labels"); // the label's first line on rows 1 and 11
        QTest::addColumn<QStringList>("tips");   // of "<<<" and ">>>"
        QTest::newRow("osoby") << u"osoby"_s << QStringList{u"Pokus Jan"_s, u"Pokus Jan"_s}
                               << QStringList{QString(), QString()};
        QTest::newRow("firmy") << u"firmy"_s << QStringList{u"Autoservis"_s, u"Autoservis"_s}
                               << QStringList{QString(), QString()};
        QTest::newRow("vlastni") << u"vlastni"_s << QStringList{u"Záznam001"_s, u"Záznam011"_s}
                                 << QStringList{u"Předchozích 10"_s, u"Dalších 10"_s};
    }
    void pagesForwardAndBack() {
        QFETCH(QStringList, labels);
        QFETCH(QStringList, tips);
        auto p = listedPage();
        QWidget* w = p->w();
        const test_support::PageNames& n = p->names;
        QCOMPARE(p->nameBox()->text(), n.listed + u'*');
        QCOMPARE(p->shown(), p->rows(1, 10));
        QCOMPARE(p->counts(), countsText(10, 0));
        QCOMPARE(labelText(w, n.label).section(u'\n', 0, 0), labels[0]);
        QVERIFY(p->enabled(n.next));
        QVERIFY(!p->enabled(n.previous));
        QVERIFY(!p->enabled(n.stop));
        for (const char* name : {n.search, n.reset, n.exportButton, n.print})
            QVERIFY2(p->enabled(name), name);
        QCOMPARE(p->button(n.previous)->toolTip(), tips[0]);
        QCOMPARE(p->button(n.next)->toolTip(), tips[1]);
        QCOMPARE(m_pages.app().currentPageName, QString::fromLatin1(n.page));
        QCOMPARE(w->windowTitle(), kNormal);
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(QApplication::focusWidget(), p->grid());

        p->click(n.next);
        QCOMPARE(p->shown(), p->rows(11, 20));
        QVERIFY(p->enabled(n.previous));
        QVERIFY(p->enabled(n.next));
        p->click(n.next);
        QCOMPARE(p->shown(), p->rows(21, 25));
        QCOMPARE(p->counts(), countsText(25, 0));
        QVERIFY(!p->enabled(n.next));

        p->click(n.previous);
        QCOMPARE(p->shown(), p->rows(11, 20));
        QCOMPARE(labelText(w, n.label).section(u'\n', 0, 0), labels[1]);
        QVERIFY(p->enabled(n.next));
        p->click(n.next);
        QCOMPARE(p->shown(), p->rows(21, 25));
        QCOMPARE(p->state().foundCount, 25);
        QVERIFY(!p->enabled(n.next));
    }

    // A click in the mark column marks its row, a second one unmarks it, a
    // click in another column marks nothing; the status counts follow, and
    // the grid's menu offers the marked records while some are. Reset
    // empties the page and its boxes and leaves the switches.
    void markAndReset_data() {
        addPageColumn();
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("markedItem");
        QTest::newRow("osoby") << u"osoby"_s << u"PopupMenu2"_s << u"oznacene_o"_s;
        QTest::newRow("firmy") << u"firmy"_s << u"PopupMenu3"_s << u"oznacene_f"_s;
        QTest::newRow("vlastni") << u"vlastni"_s << u"PopupMenu4"_s << u"smazat_vse_v"_s;
    }
    void markAndReset() {
        QFETCH(QString, menu);
        QFETCH(QString, markedItem);
        auto p = listedPage();
        QWidget* w = p->w();
        const test_support::PageNames& n = p->names;
        p->click(n.next);
        QWidget* grid = p->grid()->viewport();
        QTest::mouseClick(grid, Qt::LeftButton, {}, p->rowPoint(2, true));
        QCOMPARE(p->counts(), countsText(20, 1));
        QVERIFY(p->query.value(u"Zn"_s).toBool());
        QCOMPARE(p->query.text(u"ID2"_s), u"13"_s);
        QMenu* contextMenu = p->widget->contextMenu();
        QCOMPARE(contextMenu->objectName(), menu);
        emit contextMenu->aboutToShow();
        auto* marked = contextMenu->findChild<QAction*>(markedItem);
        QVERIFY(marked);
        QVERIFY(marked->isVisible());
        QTest::mouseClick(grid, Qt::LeftButton, {}, p->rowPoint(4, true));
        QCOMPARE(p->counts(), countsText(20, 2));
        QTest::mouseClick(grid, Qt::LeftButton, {}, p->rowPoint(2, true));
        QCOMPARE(p->counts(), countsText(20, 1));
        QTest::mouseClick(grid, Qt::LeftButton, {}, p->rowPoint(3, false));
        QCOMPARE(p->counts(), countsText(20, 1));
        QTest::mouseClick(grid, Qt::LeftButton, {}, p->rowPoint(4, true));
        QCOMPARE(p->counts(), countsText(20, 0));
        emit contextMenu->aboutToShow();
        QVERIFY(!marked->isVisible());

        p->click(n.reset);
        QCOMPARE(p->grid()->model()->rowCount(), 0);
        for (QLineEdit* box : boxes(w))
            QVERIFY2(box->text().isEmpty(), qPrintable(box->objectName()));
        QVERIFY(p->counts().isEmpty());
        QVERIFY(labelText(w, n.label).isEmpty());
        QVERIFY(!p->enabled(n.previous));
        QVERIFY(!p->enabled(n.next));
        QVERIFY(p->enabled(n.search));
        if (n.personal()) {
            // The directory pages keep their paging state until the next search.
            QCOMPARE(p->state().foundCount, 0);
            QCOMPARE(p->state().markedCount, 0);
        }
        QVERIFY(child<WildcardSwitch>(w, n.nameSwitch)->isOn());
    }

    // STOP after 4 rows of a search's fill leaves those rows and ">>>" on,
    // with the stopping caption meanwhile. The next move goes on from row 5:
    // the directory pages show a page from there (and "<<<" the four rows
    // again); Vlastní copies rows 5 to 20 and shows 11 to 20 from then on.
    void stopDuringFill_data() {
        addPageColumn();
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QList<int>>("next");         // shown from, to; the range's first row; found
        QTest::addColumn<QList<int>>("backAndForth"); // shown from, to after "<<<", then after ">>>"
        const QString stopping = u"Ordana 2004 Velto - stopuji..."_s;
        QTest::newRow("osoby") << u"osoby"_s << QStringList{kBusy, stopping} << QList<int>{5, 14, 5, 14}
                               << QList<int>{1, 4, 5, 14};
        QTest::newRow("firmy") << u"firmy"_s << QStringList{u"Ordana 2004 Velto hledám..."_s, kBusy, stopping}
                               << QList<int>{5, 14, 5, 14} << QList<int>{1, 4, 5, 14};
        QTest::newRow("vlastni") << u"vlastni"_s << QStringList{kBusy, stopping} << QList<int>{5, 20, 11, 20}
                                 << QList<int>{1, 10, 11, 20};
    }
    void stopDuringFill() {
        QFETCH(QStringList, captions);
        QFETCH(QList<int>, next);
        QFETCH(QList<int>, backAndForth);
        auto p = rowPage();
        QWidget* w = p->w();
        const test_support::PageNames& n = p->names;
        p->onSource = [&p] { p->noteCaption(); };
        p->duringFill = [&] {
            p->noteCaption();
            if (p->state().foundCount != 4 || !p->enabled(n.stop)) return;
            p->click(n.stop);
            p->noteCaption();
        };
        p->list();
        p->duringFill = nullptr;
        p->onSource = nullptr;
        QCOMPARE(p->captions, captions);
        QCOMPARE(p->shown(), p->rows(1, 4));
        QVERIFY(p->enabled(n.next));
        QVERIFY(!p->enabled(n.stop));
        QCOMPARE(w->windowTitle(), kNormal);
        QVERIFY(!m_pages.app().stopRequested);

        // Vlastní: the rows appended before the range stay in the grid until
        // the page query is opened again, as every row appended through it does.
        p->click(n.next);
        QCOMPARE(p->shown(), p->rows(next[0], next[1]));
        QCOMPARE(p->state().first, next[2]);
        QCOMPARE(p->state().foundCount, next[3]);
        QCOMPARE(p->counts(), countsText(next[3], 0));
        p->click(n.previous);
        QCOMPARE(p->shown(), p->rows(backAndForth[0], backAndForth[1]));
        p->click(n.next);
        QCOMPARE(p->shown(), p->rows(backAndForth[2], backAndForth[3]));
    }

    // During a fill only STOP responds: a click on any other control of the
    // page, made while the fill processes events, changes nothing. The third
    // fill of the listing shows rows 21 to 25, or 21 and 22 when stopped.
    void onlyStopRespondsDuringFill_data() {
        addPageColumn();
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("shownTo"); // last row the third page shows
        for (const QString& page : resultPageNames()) {
            // "title" clicks a column title, "sort" is the grid's sort request itself.
            QStringList controls{u"stop"_s,   u"previous"_s,     u"next"_s,  u"search"_s,     u"reset"_s,
                                 u"export"_s, u"print"_s,        u"Enter"_s, u"title"_s,      u"sort"_s,
                                 u"mark"_s,   u"double click"_s, u"menu"_s,  u"copy image"_s, u"edit"_s};
            if (page == u"vlastni")
                controls << u"Image17"_s << u"Image18"_s;
            else
                controls << u"count"_s;
            for (const QString& control : controls)
                QTest::addRow("%s %s", qPrintable(page), qPrintable(control))
                    << page << control << (control == u"stop" ? 22 : 25);
        }
    }
    void onlyStopRespondsDuringFill() {
        QFETCH(QString, control);
        QFETCH(int, shownTo);
        auto p = listedPage();
        QWidget* w = p->w();
        const test_support::PageNames& n = p->names;
        DataGrid* grid = p->grid();
        p->click(n.next);
        QVERIFY(p->enabled(n.previous));
        int requested = 0;
        countRequests(*p, this, &requested);
        QGuiApplication::clipboard()->setText(u"před"_s);

        const QHash<QString, const char*> buttons{{u"stop"_s, n.stop},   {u"previous"_s, n.previous},
                                                  {u"next"_s, n.next},   {u"search"_s, n.search},
                                                  {u"reset"_s, n.reset}, {u"export"_s, n.exportButton},
                                                  {u"print"_s, n.print}, {u"copy image"_s, n.copyAll}};
        bool done = false;
        p->duringFill = [&] {
            if (done || p->state().foundCount != 22) return;
            done = true;
            const QPoint firstRow = p->rowPoint(0, true);
            if (const char* name = buttons.value(control)) {
                p->click(name);
            } else if (control == u"Enter") {
                QTest::keyClick(p->nameBox(), Qt::Key_Return);
            } else if (control == u"title") {
                QHeaderView* header = grid->horizontalHeader();
                QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                                  QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
            } else if (control == u"sort") {
                emit grid->sortStateChanged(2, DataGrid::SortState::Descending);
            } else if (control == u"mark") {
                QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, firstRow);
            } else if (control == u"count") {
                p->directory()->countMatches();
            } else if (control == u"double click") {
                QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, p->rowPoint(0, false));
            } else if (control == u"menu") {
                emit grid->customContextMenuRequested(firstRow);
            } else if (control == u"edit") {
                grid->setCurrentIndex(grid->model()->index(0, grid->model()->columnCount() - 1));
                QTest::keyClick(grid, Qt::Key_F2);
            } else {
                p->click(qPrintable(control));
            }
        };
        p->click(n.next);
        QVERIFY(done);
        QCOMPARE(p->shown(), p->rows(21, shownTo));
        QCOMPARE(p->counts(), countsText(shownTo, 0));
        QVERIFY(m_dialogs.shown().isEmpty());
        QCOMPARE(requested, 0);
        QVERIFY(!p->widget->contextMenu()->isVisible());
        QVERIFY(!grid->viewport()->findChild<QLineEdit*>());
        QCOMPARE(QGuiApplication::clipboard()->text(), u"před"_s);
        QCOMPARE(grid->sortState(1), DataGrid::SortState::None);
        QCOMPARE(w->windowTitle(), kNormal);
        QVERIFY(p->enabled(n.previous));
        QCOMPARE(p->enabled(n.next), shownTo < 25);
        QVERIFY(p->enabled(n.search));
        QVERIFY(p->enabled(n.reset));
        QVERIFY(!p->enabled(n.stop));
    }

    // A forward move shows the same busy caption on every page; going back
    // reads nothing and shows none. (A search's captions: stopDuringFill.)
    void busyCaptions_data() {
        addPageColumn();
        QTest::addColumn<bool>("forward");
        for (const QString& page : resultPageNames()) {
            QTest::addRow("%s next", qPrintable(page)) << page << true;
            QTest::addRow("%s previous", qPrintable(page)) << page << false;
        }
    }
    void busyCaptions() {
        QFETCH(bool, forward);
        auto p = listedPage();
        const test_support::PageNames& n = p->names;
        if (!forward) p->click(n.next);
        const auto note = [&p] { p->noteCaption(); };
        p->onSource = note;
        p->duringFill = note;
        connect(&p->query, &db::Dataset::opened, p->w(), note);
        p->click(forward ? n.next : n.previous);
        QCOMPARE(p->captions, QStringList{forward ? kBusy : kNormal});
        QCOMPARE(p->w()->windowTitle(), kNormal);
    }

    // Requests that end before the search, with their messages: nothing to
    // search for leaves the listing shown as it was; a value nothing has
    // focuses its box. Typed quotes, brackets and semicolons are searched as
    // text, never run as SQL.
    void endsEarly_data() {
        addPageColumn();
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        const QString empty = u"Není zadán žádný parametr pro vyhledávání.    "_s;
        // clang-format off
        const struct { const char *page, *row, *box, *value, *message; } rows[] = {
            {"osoby", "star alone", "prijmeni", "*", nullptr},
            {"osoby", "bracket clears", "jmeno", "Ja[n", nullptr},
            {"osoby", "unknown surname", "prijmeni", "Nikdo", "Bylo zadáno neexistující příjmení!"},
            {"osoby", "quote in surname", "prijmeni", "Po\"kus", "Bylo zadáno neexistující příjmení!"},
            {"osoby", "statement in first name", "jmeno", "Jan\" OR \"\"=\"", "Bylo zadáno neexistující jméno!"},
            {"osoby", "semicolon in street", "ulice", "Dlouhá;", "Byla zadána neexistující ulice!"},
            {"osoby", "quote in house number", "cp", "12\"", "Bylo zadáno neexistující popisné číslo!"},
            {"firmy", "star alone", "firma", "*", nullptr},
            {"firmy", "quote in town", "mesto_f", "Br\"no", "Byla zadána neexistující obec!"},
            {"firmy", "semicolon in postal code", "psc_f", "602;00", "Bylo zadáno neexistující PSČ!"},
            {"firmy", "quote in note", "poznamka", "x\"; DROP TABLE Firmy", "Byla zadána neexistující poznámka!"},
            {"firmy", "quote in firm", "firma", "Auto\"", "Byl zadán neexistující název firmy!"},
            {"vlastni", "star alone", "prijmeni_v", "*", nullptr},
            {"vlastni", "bracket clears", "jmeno_v", "Pe[tr", nullptr},
            {"vlastni", "unknown surname", "prijmeni_v", "Nikdo", "Bylo zadáno neexistující příjmení!"},
            {"vlastni", "statement in first name", "jmeno_v", "Petr\" OR \"\"=\"", "Bylo zadáno neexistující jméno!"},
            {"vlastni", "quote in firm", "firma_v", "Kes\"trava", "Byla zadána neexistující firma!"},
            {"vlastni", "street", "ulice_v", "Nikde", "Byla zadána neexistující ulice!"},
            {"vlastni", "house number", "cp_v", "999", "Bylo zadáno neexistující popisné číslo!"},
            {"vlastni", "town", "mesto_v", "Ostrava", "Byla zadána neexistující obec!"},
            {"vlastni", "postal code", "psc_v", "111 11", "Bylo zadáno neexistující PSČ!"},
        };
        // clang-format on
        for (const auto& r : rows)
            QTest::addRow("%s %s", r.page, r.row)
                << QString::fromLatin1(r.page) << QString::fromLatin1(r.box) << QString::fromUtf8(r.value)
                << (r.message ? QString::fromUtf8(r.message) : empty);
    }
    void endsEarly() {
        QFETCH(QString, box);
        QFETCH(QString, value);
        QFETCH(QString, message);
        auto p = listedPage();
        QWidget* w = p->w();
        const test_support::PageNames& n = p->names;
        QCOMPARE(p->shown().size(), 10);
        for (QLineEdit* b : boxes(w))
            b->clear();
        auto* field = child<QLineEdit>(w, qPrintable(box));
        field->setText(value);
        p->click(n.search);
        QCOMPARE(m_dialogs.messageTexts(), QStringList{message});
        QCOMPARE(m_dialogs.shown().first().caption, u"Upozornění"_s);
        QCOMPARE(m_dialogs.shown().first().icon, Dialogs::Icon::Information);
        for (const char* name : {n.search, n.reset, n.exportButton, n.print})
            QVERIFY2(p->enabled(name), name);
        QCOMPARE(w->windowTitle(), kNormal);
        QVERIFY(!QApplication::overrideCursor());
        if (message.startsWith(u"Není"_s)) {
            // Nothing else changes: the listing stays.
            QVERIFY(field->text().isEmpty());
            QCOMPARE(p->shown(), p->rows(1, 10));
            QCOMPARE(p->counts(), countsText(10, 0));
            QVERIFY(p->enabled(n.next));
        } else {
            QCOMPARE(p->shown(), QStringList{});
            QVERIFY(!p->enabled(n.next));
            QVERIFY(!p->enabled(n.previous));
            QCOMPARE(QApplication::focusWidget(), field);
        }
    }

    // The label of the current row and the three copies: all the label, the
    // numbers (offered in the picker when there are several, "Vše" copying
    // all) and the address. With an empty label none of them touches the
    // clipboard.
    void labelAndCopies_data() {
        addPageColumn();
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("scrollBar");
        // The persons page finds a subscriber by an additional number.
        QTest::newRow("osoby") << u"osoby"_s << u"tel"_s << u"601444555"_s
                               << u"Čísla Jan\n\nTelefon:   500 000 051\n                601 222 333   byt\n"
                                  "                601 444 555   \n\nAdresa:    Dlouhá 12\n602 00     Brno"_s
                               << QStringList{u"500000051"_s, u"601222333"_s, u"601444555"_s}
                               << u"Čísla Jan\r\nDlouhá 12\r\n602 00   Brno\r\n"_s << false;
        // The firms' label leaves out the notes of the additional numbers.
        QTest::newRow("firmy") << u"firmy"_s << u"firma"_s << u"Kovárna"_s
                               << u"Kovárna\n\nTelefon:   500 000 052\n                602 555 666\n\n"
                                  "Adresa:    Dlouhá 12\n602 00     Brno"_s
                               << QStringList{u"500000052"_s, u"602555666"_s}
                               << u"Kovárna\r\nDlouhá 12\r\n602 00   Brno\r\n"_s << false;
        QTest::newRow("vlastni") << u"vlastni"_s << u"prijmeni_v"_s << u"Dvořák"_s
                                 << u"Dvořák Petr, Ing.\n\nFirma:    Kestrava\n\n"
                                    "Telefon:   602 123 456\n                541 210 100\n\n"
                                    "Adresa:    Dlouhá 12\n602 00     Brno\n\n"
                                    "Adresa:    Pracovní 5\n110 00     Praha\n\nInternet:\npetr@kestrava.cz"_s
                                 << QStringList{u"602123456"_s, u"541210100"_s}
                                 << u"Kestrava\r\nPracovní 5\r\n110 00   Praha\r\n\r\n"_s << true;
        QTest::newRow("osoby one number") << u"osoby"_s << u"prijmeni"_s << u"Pokus"_s << QString()
                                          << QStringList{u"500000001"_s} << QString() << false;
        QTest::newRow("firmy one number") << u"firmy"_s << u"firma"_s << u"Autoservis"_s << QString()
                                          << QStringList{u"500000026"_s} << QString() << false;
        QTest::newRow("vlastni one number")
            << u"vlastni"_s << u"prijmeni_v"_s << u"Jednička"_s << u"Jednička\n\nTelefon:   777 000 111"_s
            << QStringList{u"777000111"_s} << QString() << false;
    }
    void labelAndCopies() {
        QFETCH(QString, box);
        QFETCH(QString, value);
        QFETCH(QString, label);
        QFETCH(QStringList, numbers);
        QFETCH(QString, address);
        QFETCH(bool, scrollBar);
        auto p = rowPage();
        QWidget* w = p->w();
        const test_support::PageNames& n = p->names;
        QGuiApplication::clipboard()->setText(u"před"_s);
        child<QLineEdit>(w, qPrintable(box))->setText(value);
        m_dialogs.answerMessage(Dialogs::Answer::Yes); // the telephone search's question
        p->click(n.search);
        m_dialogs.clear();
        auto* memo = child<QPlainTextEdit>(w, n.label);
        if (!label.isEmpty()) QCOMPARE(memo->toPlainText(), label);
        QCOMPARE(memo->toPlainText(), p->widget->labelLines().join(u'\n'));
        QCOMPARE(memo->verticalScrollBarPolicy(), scrollBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        if (DirectoryPage* d = p->directory(); d && box == u"tel")
            QCOMPARE(d->endIndicator()->toolTip(), u"Žádné další záznamy již v databázi nejsou"_s);

        p->click(n.copyAll);
        QCOMPARE(QGuiApplication::clipboard()->text(), p->widget->labelLines().join(u"\r\n"_s) + u"\r\n"_s);
        if (numbers.size() > 1) {
            // The picker opens with the first ticked; "Vše" copies all.
            QTimer::singleShot(0, this, [this, count = numbers.size()] {
                QCOMPARE(m_pages.picker()->list()->count(), count);
                QCOMPARE(m_pages.picker()->list()->item(0)->checkState(), Qt::Checked);
                m_pages.picker()->allButton()->click();
            });
            p->click(n.copyNumber);
            QCOMPARE(QGuiApplication::clipboard()->text(), numbers.join(u"\r\n"_s) + u"\r\n\r\n"_s);
        } else {
            // One number is copied at once, without the picker.
            p->click(n.copyNumber);
            QVERIFY(!m_pages.picker()->isVisible());
            QCOMPARE(QGuiApplication::clipboard()->text(), numbers.value(0));
        }
        if (!address.isEmpty()) {
            p->click(n.copyAddress);
            QCOMPARE(QGuiApplication::clipboard()->text(), address);
        }

        p->click(n.reset);
        QVERIFY(memo->toPlainText().isEmpty());
        QGuiApplication::clipboard()->setText(u"před"_s);
        for (const char* name : {n.copyAll, n.copyNumber, n.copyAddress}) {
            p->click(name);
            QCOMPARE(QGuiApplication::clipboard()->text(), u"před"_s);
        }
        QVERIFY(m_dialogs.shown().isEmpty());
    }

    // "Volat…" in the grid's menu and in the record label's menu hands the
    // desktop the tel: address of the record's number, after the chooser
    // when there are several; "Zobrazit na mapě" its address (for Vlastní of
    // the kind the record shows) on the map. Off without a number or an
    // address, and without a current record, when nothing is opened.
    void callAndMap_data() {
        addPageColumn();
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("chosen"); // the row chosen in the chooser; -1: no chooser
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("map");
        const QString brno =
            u"https://www.openstreetmap.org/search?query=Dlouh%C3%A1%2012%2C%20602%2000%20Brno"_s;
        QTest::newRow("osoby one number")
            << u"osoby"_s << u"prijmeni"_s << u"Pokus"_s << -1 << u"tel:+420500000001"_s << brno;
        // The note after an additional number is not dialled.
        QTest::newRow("osoby several")
            << u"osoby"_s << u"tel"_s << u"601444555"_s << 1 << u"tel:+420601222333"_s << brno;
        QTest::newRow("firmy several")
            << u"firmy"_s << u"firma"_s << u"Kovárna"_s << 1 << u"tel:+420602555666"_s << brno;
        QTest::newRow("vlastni work address")
            << u"vlastni"_s << u"prijmeni_v"_s << u"Dvořák"_s << 1 << u"tel:+420541210100"_s
            << u"https://www.openstreetmap.org/search?query=Pracovn%C3%AD%205%2C%20110%2000%20Praha"_s;
        QTest::newRow("vlastni without address")
            << u"vlastni"_s << u"prijmeni_v"_s << u"Jednička"_s << -1 << u"tel:+420777000111"_s << QString();
    }
    void callAndMap() {
        QFETCH(QString, box);
        QFETCH(QString, value);
        QFETCH(int, chosen);
        QFETCH(QString, call);
        QFETCH(QString, map);
        auto p = rowPage();
        QWidget* w = p->w();
        const test_support::PageNames& n = p->names;
        const QString suffix = QString::fromLatin1(n.page).left(1);
        QStringList& opened = m_pages.shell().opened;
        opened.clear();
        child<QLineEdit>(w, qPrintable(box))->setText(value);
        m_dialogs.answerMessage(Dialogs::Answer::Yes); // the telephone search's question
        p->click(n.search);
        m_dialogs.clear();

        // Shift+F10 opens the grid's menu as the Menu key and the right button do.
        p->grid()->setFocus();
        QTest::keyClick(p->grid(), Qt::Key_F10, Qt::ShiftModifier);
        QMenu* menu = p->widget->contextMenu();
        QTRY_VERIFY(menu->isVisible());
        auto* callAction = child<QAction>(menu, qPrintable(u"volat_"_s + suffix));
        auto* mapAction = child<QAction>(menu, qPrintable(u"mapa_"_s + suffix));
        QCOMPARE((QStringList{callAction->text(), mapAction->text()}),
                 (QStringList{u"Volat…"_s, u"Zobrazit na mapě"_s}));
        QCOMPARE((QList<bool>{callAction->isEnabled(), mapAction->isEnabled()}),
                 (QList<bool>{true, !map.isEmpty()}));
        menu->hide();

        NumberPicker* picker = m_pages.picker();
        // The chooser as it was shown: visible, "Vše" hidden, the button's caption, check boxes.
        QVariantList chooser;
        if (chosen >= 0) {
            QTimer::singleShot(0, this, [&] {
                chooser = {picker->isVisible(), picker->allButton()->isHidden(), picker->copyButton()->text(),
                           picker->list()->item(0)->data(Qt::CheckStateRole).isValid()};
                picker->list()->setCurrentRow(chosen);
                picker->copyButton()->click();
            });
        }
        callAction->trigger();
        const QVariantList shownChooser{true, true, u"&Volat"_s, false};
        QCOMPARE(chooser, chosen < 0 ? QVariantList{} : shownChooser);
        QCOMPARE(opened, QStringList{call});
        // The picker copies again.
        QCOMPARE((QVariantList{picker->allButton()->isHidden(), picker->copyButton()->text()}),
                 (QVariantList{false, u"&Kopíruj"_s}));

        // The record label's menu keeps its own items and offers both.
        auto* memo = child<QPlainTextEdit>(w, n.label);
        QApplication::setActiveWindow(w); // no window manager gives it back after the chooser
        memo->setFocus();
        QTest::keyClick(memo, Qt::Key_F10, Qt::ShiftModifier);
        auto* labelMenu = child<QMenu>(memo, qPrintable(QString::fromLatin1(n.label) + u"_menu"_s));
        QTRY_VERIFY(labelMenu->isVisible());
        QVERIFY(labelMenu->findChild<QAction*>(u"select-all"_s));
        QVERIFY(labelMenu->actions().contains(callAction));
        QVERIFY(labelMenu->actions().contains(mapAction));
        opened.clear();
        mapAction->trigger();
        labelMenu->close();
        QCOMPARE(opened, map.isEmpty() ? QStringList{} : QStringList{map});

        // Without a current record both are off and nothing is opened.
        p->click(n.reset);
        opened.clear();
        emit menu->aboutToShow();
        QCOMPARE((QList<bool>{callAction->isEnabled(), mapAction->isEnabled()}), (QList<bool>{false, false}));
        p->widget->callNumber();
        p->widget->showOnMap();
        QVERIFY(opened.isEmpty());
        QVERIFY(m_dialogs.shown().isEmpty());
    }

    // A title sorts the shown range only; the mark title never sorts; the next
    // page move shows its range unsorted with every title cleared.
    void sortTitles_data() {
        addPageColumn();
        for (const QString& page : resultPageNames())
            QTest::newRow(qPrintable(page)) << page;
    }
    void sortTitles() {
        auto p = listedPage();
        const test_support::PageNames& n = p->names;
        DataGrid* grid = p->grid();
        p->click(n.next);
        const int column = grid->columnOf(n.shownField);
        grid->setSortState(column, DataGrid::SortState::Descending);
        emit grid->sortStateChanged(column, DataGrid::SortState::Descending);
        QStringList reversed = p->rows(11, 20);
        std::reverse(reversed.begin(), reversed.end());
        QCOMPARE(p->shown(), reversed);
        grid->setSortState(0, DataGrid::SortState::Ascending);
        emit grid->sortStateChanged(0, DataGrid::SortState::Ascending);
        QCOMPARE(grid->sortState(0), DataGrid::SortState::None);
        QCOMPARE(p->shown(), reversed);
        p->click(n.previous);
        QCOMPARE(p->shown(), p->rows(1, 10));
        QCOMPARE(grid->sortState(column), DataGrid::SortState::None);
    }

    // A page fill whose rows cannot be written (another connection reads the
    // working file) shows the engine's message; the page is idle, its counts
    // are those before the move, a STOP pressed as the fill's last row was
    // copied is used up, and the page works on.
    void failedFill_data() {
        addPageColumn();
        QTest::addColumn<bool>("nextAfter"); // ">>>" tries the same rows again
        QTest::newRow("osoby") << u"osoby"_s << false;
        QTest::newRow("firmy") << u"firmy"_s << false;
        QTest::newRow("vlastni") << u"vlastni"_s << true;
    }
    void failedFill() {
        QFETCH(bool, nextAfter);
        auto p = listedPage();
        QWidget* w = p->w();
        const test_support::PageNames& n = p->names;
        QCOMPARE(p->shown().size(), 10);
        {
            FileHold hold(*p->results->database(), n.table, FileHold::Reading);
            QVERIFY(hold.holds());
            p->duringFill = [&] {
                if (p->state().foundCount == 20) m_pages.app().stopRequested = true;
            };
            p->click(n.next);
            p->duringFill = nullptr;
        }
        QCOMPARE(m_dialogs.messageTexts(), QStringList{u"Databáze je uzamčena jiným procesem."_s});
        QCOMPARE(m_dialogs.shown().first().caption, u"Upozornění"_s);
        for (const char* name : {n.search, n.reset, n.exportButton, n.print, n.previous})
            QVERIFY2(p->enabled(name), name);
        QVERIFY(!p->enabled(n.stop));
        QCOMPARE(p->enabled(n.next), nextAfter);
        QCOMPARE(w->windowTitle(), kNormal);
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(p->state().foundCount, 10);
        QVERIFY(!m_pages.app().stopRequested);
        QCOMPARE(p->counts(), countsText(10, 0));

        m_dialogs.clear();
        if (nextAfter) {
            p->click(n.next);
            QCOMPARE(p->shown(), p->rows(11, 20));
            QCOMPARE(p->counts(), countsText(20, 0));
        } else {
            // The rows of the failed fill went with the rolled-back unit.
            QCOMPARE(p->grid()->model()->rowCount(), 0);
            p->click(n.search);
            QCOMPARE(p->shown(), p->rows(1, 10));
            QCOMPARE(p->counts(), countsText(10, 0));
        }
        QVERIFY(m_dialogs.shown().isEmpty());
        QVERIFY(p->enabled(n.next));
    }
};

QTEST_MAIN(TestResultPageBehaviour)
#include "tst_resultpagebehaviour.moc"
