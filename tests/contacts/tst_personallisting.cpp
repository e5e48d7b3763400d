// The Vlastní page driven through its widgets, found by name, over a small
// personal database.

#include "Application.h"
#include "DataGrid.h"
#include "DatabaseLogin.h"
#include "Drives.h"
#include "NumberPicker.h"
#include "OwnDatabases.h"
#include "PageTestSupport.h"
#include "PageWidgets.h"
#include "PersonalFixture.h"
#include "PersonalPage.h"
#include "ScriptedDialogs.h"
#include "SearchCriteria.h"
#include "SettingsStore.h"
#include "Shell.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

using namespace platform;
using test_support::child;
using test_support::click;
using test_support::NoShell;
using test_support::typeText;

namespace {

QString counts(int found, int marked) {
    return u" Počet záznamů: %1 nalezených,  %2 označených"_s.arg(found).arg(marked);
}

QStringList names(const char* prefix, int from, int to) {
    QStringList out;
    for (int i = from; i <= to; ++i)
        out << QString::fromUtf8(prefix) + QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0'));
    return out;
}

const QString kBusy = u"Ordana 2004 Velto - hledám..."_s;
const QString kNormal = u"Ordana 2004 Velto"_s;
const int kRecords = 31;

} // namespace

class TestPersonalListing : public QObject {
    Q_OBJECT

    personal_test::PersonalFiles m_files;
    MemorySettingsStore m_settings;
    FixedDrives m_drives{{}};
    ScriptedDialogs m_dialogs;
    NoShell m_shell;
    std::unique_ptr<Application> m_app;
    NumberPicker* m_picker = nullptr;

    struct Page {
        std::unique_ptr<PersonalPage> widget;
        db::Dataset query;
        std::unique_ptr<db::WorkingDatabase> results;
        // Run for every copied row before the window processes its events.
        std::function<void()> duringFill;
        bool personalMissing = false;
    };

    std::unique_ptr<Page> makePage() {
        auto p = std::make_unique<Page>();
        p->widget = std::make_unique<PersonalPage>();
        PersonalSearch::Services services;
        services.personal = [this, page = p.get()] {
            return page->personalMissing ? nullptr : m_files.personal.get();
        };
        services.processEvents = [page = p.get()] {
            if (page->duringFill) page->duringFill();
            QCoreApplication::processEvents();
        };
        p->widget->attach(*m_app, services, m_picker);
        p->results = std::make_unique<db::WorkingDatabase>(m_files.engine, db::WorkingKind::PersonalResult,
                                                           m_files.paths, p->query);
        p->widget->setWorkingDatabase(p->results.get());
        p->widget->resize(760, 430);
        p->widget->show();
        QApplication::setActiveWindow(p->widget.get());
        return p;
    }

    static QString text(QWidget* w, const char* name) { return child<QLabel>(w, name)->text(); }
    static bool enabled(QWidget* w, const char* name) { return child<QPushButton>(w, name)->isEnabled(); }
    // The surname and firm of every row the grid shows, as "surname|firm".
    static QStringList shown(QWidget* w) {
        auto* grid = child<DataGrid>(w, "DBGridPro4");
        const int surname = grid->columnOf(u"Prijmeni"_s), firm = grid->columnOf(u"Firma"_s);
        QStringList out;
        for (int r = 0; r < grid->model()->rowCount(); ++r) {
            const QString f = grid->model()->index(r, firm).data().toString();
            out << grid->model()->index(r, surname).data().toString() + (f.isEmpty() ? QString() : u'|' + f);
        }
        return out;
    }
    static QPoint rowPoint(DataGrid* grid, int row, bool markColumn) {
        const int y = grid->visualRect(grid->model()->index(row, 0)).center().y();
        return QPoint(markColumn ? grid->columnWidth(0) / 2 : grid->columnWidth(0) + 20, y);
    }
    // Lists the 25 records "Záznam…" through the surname box and its switch.
    static void searchRecords(QWidget* w) {
        auto* box = child<QLineEdit>(w, "prijmeni_v");
        box->setFocus();
        typeText(box, u"Zázn"_s);
        child<WildcardSwitch>(w, "Label47")->setOn(true);
        QTest::keyClick(box, Qt::Key_Return);
    }

  private slots:
    void initTestCase() {
        m_files.personal->beginTransaction();
        for (const QString& name : names("Záznam", 1, 25))
            m_files.add({{"Prijmeni", name}});
        m_files.add({{"Prijmeni", "Řezník"}, {"Jmeno_1", "Jan"}});
        m_files.add({{"Prijmeni", "Rybář"}});
        m_files.add({{"Firma", "Rosa s.r.o."}});
        m_files.add({{"Prijmeni", "Novák"}, {"Firma", "Rychlá pošta"}});
        // clang-format off
        m_files.add({{"Prijmeni", "Dvořák"}, {"Jmeno_1", "Petr"}, {"Titul_1", "Ing."}, {"Firma", "Kestrava"},
             {"Tel_1", "602123456"}, {"Tel_5", "541210100"},
             {"domu_Ulice", "Dlouhá"}, {"domu_CP", "12"}, {"domu_Obec", "Brno"}, {"domu_PSC", "60200"},
             {"zam_Ulice", "Pracovní"}, {"zam_CP", "5"}, {"zam_Obec", "Praha"}, {"zam_PSC", "11000"},
             {"E-mail_1", "petr@kestrava.cz"}, {"zobraz_adr", "zam"}});
        // clang-format on
        m_files.add({{"Prijmeni", "Jednička"}, {"Tel_3", "777000111"}});
        m_files.personal->commit();

        m_app =
            std::make_unique<Application>(m_settings, m_drives, m_dialogs, m_shell, QDir::tempPath() + u'/');
        m_app->limits().fillEmpty();
        m_picker = new NumberPicker;
    }
    void cleanupTestCase() { delete m_picker; }
    void init() {
        m_dialogs.clear();
        m_app->stopRequested = false;
        m_app->currentPageName.clear();
        m_app->limits().setText(Limits::List::Personal, Limits::Kind::Displayed, u"10"_s);
    }

    // 25 records, 10 a page: three forward moves copy 10, 10 and 5 rows, the
    // last leaves ">>>" off; "<<<" shows rows copied before without copying.
    void pagesForwardAndBack() {
        auto page = makePage();
        QWidget* w = page->widget.get();
        searchRecords(w);
        QCOMPARE(child<QLineEdit>(w, "prijmeni_v")->text(), u"Zázn*"_s);
        QCOMPARE(shown(w), names("Záznam", 1, 10));
        QCOMPARE(text(w, "dones_v"), counts(10, 0));
        QCOMPARE(text(w, "Label57"), u"Celkový počet záznamů: %1  "_s.arg(kRecords));
        QCOMPARE(child<QPlainTextEdit>(w, "Memo3")->toPlainText(), u"Záznam001\n"_s);
        QVERIFY(enabled(w, "Button8"));
        QVERIFY(!enabled(w, "Button4"));
        QVERIFY(!enabled(w, "BitBtn6"));
        for (const char* name : {"BitBtn3", "BitBtn5", "BitBtn4", "BitBtn7"})
            QVERIFY2(enabled(w, name), name);
        QCOMPARE(child<QPushButton>(w, "Button8")->toolTip(), u"Dalších 10"_s);
        QCOMPARE(child<QPushButton>(w, "Button4")->toolTip(), u"Předchozích 10"_s);
        QCOMPARE(m_app->currentPageName, u"vlastni"_s);
        QCOMPARE(w->windowTitle(), kNormal);
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(QApplication::focusWidget(), child<QWidget>(w, "DBGridPro4"));

        click(w, "Button8");
        QCOMPARE(shown(w), names("Záznam", 11, 20));
        QVERIFY(enabled(w, "Button4"));
        QVERIFY(enabled(w, "Button8"));
        click(w, "Button8");
        QCOMPARE(shown(w), names("Záznam", 21, 25));
        QCOMPARE(text(w, "dones_v"), counts(25, 0));
        QVERIFY(!enabled(w, "Button8"));

        click(w, "Button4");
        QCOMPARE(shown(w), names("Záznam", 11, 20));
        QCOMPARE(child<QPlainTextEdit>(w, "Memo3")->toPlainText(), u"Záznam011\n"_s);
        QVERIFY(enabled(w, "Button8"));
        click(w, "Button8");
        QCOMPARE(shown(w), names("Záznam", 21, 25));
        QCOMPARE(page->widget->search()->state().foundCount, 25);
        QVERIFY(!enabled(w, "Button8"));
    }

    // STOP after 4 rows of a page leaves those 4 rows and ">>>" on; the next
    // move copies rows 5 to 20 and its range is 11 to 20.
    void stopDuringFill() {
        auto page = makePage();
        QWidget* w = page->widget.get();
        QStringList captions;
        const auto note = [&] {
            if (captions.isEmpty() || captions.last() != w->windowTitle()) captions << w->windowTitle();
        };
        page->duringFill = [&] {
            note();
            if (page->widget->search()->state().foundCount != 4 || !enabled(w, "BitBtn6")) return;
            click(w, "BitBtn6");
            note();
        };
        searchRecords(w);
        page->duringFill = nullptr;
        QCOMPARE(captions, (QStringList{kBusy, u"Ordana 2004 Velto - stopuji..."_s}));
        QCOMPARE(shown(w), names("Záznam", 1, 4));
        QVERIFY(enabled(w, "Button8"));
        QVERIFY(!enabled(w, "BitBtn6"));
        QCOMPARE(w->windowTitle(), kNormal);
        QVERIFY(!m_app->stopRequested);

        // The rows appended before the range stay in the grid until the page
        // query is opened again, as every row appended through it does.
        click(w, "Button8");
        QCOMPARE(shown(w), names("Záznam", 5, 20));
        QCOMPARE(page->widget->search()->state().first, 11);
        QCOMPARE(page->widget->search()->state().foundCount, 20);
        QCOMPARE(text(w, "dones_v"), counts(20, 0));
        click(w, "Button4");
        click(w, "Button8");
        QCOMPARE(shown(w), names("Záznam", 11, 20));
    }

    // While a fill runs only STOP responds: any other control used meanwhile
    // changes nothing, and the fill ends as if untouched.
    void onlyStopRespondsDuringFill_data() {
        QTest::addColumn<QString>("control");
        for (const char* name : {"Button4", "Button8", "BitBtn3", "BitBtn5", "Enter", "Image17", "Image18",
                                 "Image11", "mark", "title", "double click"})
            QTest::newRow(name) << name;
    }
    void onlyStopRespondsDuringFill() {
        QFETCH(QString, control);
        auto page = makePage();
        QWidget* w = page->widget.get();
        auto* grid = child<DataGrid>(w, "DBGridPro4");
        searchRecords(w);
        QSignalSpy edits(page->widget.get(), &PersonalPage::editRequested);
        QGuiApplication::clipboard()->setText(u"před"_s);
        bool done = false;
        page->duringFill = [&] {
            if (done || page->widget->search()->state().foundCount != 13) return;
            done = true;
            if (control.startsWith(u"Button"_s) || control.startsWith(u"BitBtn"_s) ||
                control.startsWith(u"Image"_s))
                click(w, qPrintable(control));
            else if (control == u"Enter"_s)
                QTest::keyClick(child<QLineEdit>(w, "prijmeni_v"), Qt::Key_Return);
            else if (control == u"mark"_s)
                QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rowPoint(grid, 0, true));
            else if (control == u"title"_s)
                emit grid->sortStateChanged(2, DataGrid::SortState::Descending);
            else if (control == u"double click"_s)
                QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, rowPoint(grid, 0, false));
        };
        click(w, "Button8");
        QVERIFY(done);
        QCOMPARE(shown(w), names("Záznam", 11, 20));
        QCOMPARE(text(w, "dones_v"), counts(20, 0));
        QVERIFY(m_dialogs.shown().isEmpty());
        QCOMPARE(edits.count(), 0);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"před"_s);
        QCOMPARE(w->windowTitle(), kNormal);
        QVERIFY(enabled(w, "Button4"));
        QVERIFY(enabled(w, "Button8"));
        QVERIFY(enabled(w, "BitBtn3"));
        QVERIFY(!enabled(w, "BitBtn6"));
    }

    // A letter of the alphabet bar lists the records whose surname or firm
    // starts with a letter of its group, by surname then firm, and leaves the
    // boxes alone (so does the all-records picture, for every record); a letter nobody starts with lists
    // nothing, without a message, and the focus goes to the first filled box.
    void letters_data() {
        QTest::addColumn<int>("x");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("r, ř") << 315
                              << QStringList{u"|Rosa s.r.o."_s, u"Novák|Rychlá pošta"_s, u"Rybář"_s,
                                             u"Řezník"_s};
        QTest::newRow("j") << 170 << QStringList{u"Jednička"_s};
        QTest::newRow("z, ž") << 460 << names("Záznam", 1, 10);
        QTest::newRow("q") << 300 << QStringList{};
        // The all-records picture beside the bar: every record, in the same order.
        QTest::newRow("all records") << -1
                                     << QStringList{u"|Rosa s.r.o."_s, u"Dvořák|Kestrava"_s,
                                                    u"Jednička"_s,     u"Novák|Rychlá pošta"_s,
                                                    u"Rybář"_s,        u"Řezník"_s} +
                                            names("Záznam", 1, 4);
    }
    void letters() {
        QFETCH(int, x);
        QFETCH(QStringList, rows);
        auto page = makePage();
        QWidget* w = page->widget.get();
        child<QLineEdit>(w, "jmeno_v")->setText(u"nic"_s);
        auto* bar = child<QWidget>(w, "Image17");
        if (x < 0)
            click(w, "Image18");
        else
            QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(x, bar->height() / 2));
        QCOMPARE(shown(w), rows);
        QCOMPARE(child<QLineEdit>(w, "jmeno_v")->text(), u"nic"_s);
        QVERIFY(m_dialogs.shown().isEmpty());
        QCOMPARE(m_app->currentPageName, u"vlastni"_s);
        QCOMPARE(enabled(w, "Button8"), rows.size() == 10);
        QCOMPARE(text(w, "dones_v"), counts(int(rows.size()), 0));
        QCOMPARE(QApplication::focusWidget(),
                 rows.isEmpty() ? child<QWidget>(w, "jmeno_v") : child<QWidget>(w, "DBGridPro4"));
    }

    // Searches that end before a listing: nothing typed leaves the page as it
    // was; a value no record has empties the listing and focuses its box.
    // Quotes and the like are searched for as text.
    void endsEarly_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        const QString empty = u"Není zadán žádný parametr pro vyhledávání.    "_s;
        QTest::newRow("star alone") << "prijmeni_v"
                                    << "*" << empty;
        QTest::newRow("bracket clears") << "jmeno_v"
                                        << "Pe[tr" << empty;
        QTest::newRow("unknown surname") << "prijmeni_v"
                                         << "Nikdo" << u"Bylo zadáno neexistující příjmení!"_s;
        QTest::newRow("statement in first name")
            << "jmeno_v"
            << "Petr\" OR \"\"=\"" << u"Bylo zadáno neexistující jméno!"_s;
        QTest::newRow("quote in firm") << "firma_v"
                                       << "Kes\"trava" << u"Byla zadána neexistující firma!"_s;
        QTest::newRow("street") << "ulice_v"
                                << "Nikde" << u"Byla zadána neexistující ulice!"_s;
        QTest::newRow("house number") << "cp_v"
                                      << "999" << u"Bylo zadáno neexistující popisné číslo!"_s;
        QTest::newRow("town") << "mesto_v"
                              << "Ostrava" << u"Byla zadána neexistující obec!"_s;
        QTest::newRow("postal code") << "psc_v"
                                     << "111 11" << u"Bylo zadáno neexistující PSČ!"_s;
    }
    void endsEarly() {
        QFETCH(QString, box);
        QFETCH(QString, value);
        QFETCH(QString, message);
        auto page = makePage();
        QWidget* w = page->widget.get();
        click(w, "Image18");
        QCOMPARE(shown(w).size(), 10);
        auto* field = child<QLineEdit>(w, qPrintable(box));
        field->setText(value);
        click(w, "BitBtn3");
        QCOMPARE(m_dialogs.messageTexts(), QStringList{message});
        QCOMPARE(m_dialogs.shown().first().caption, u"Upozornění"_s);
        QCOMPARE(m_dialogs.shown().first().icon, Dialogs::Icon::Information);
        for (const char* name : {"BitBtn3", "BitBtn5", "BitBtn4", "BitBtn7"})
            QVERIFY2(enabled(w, name), name);
        QCOMPARE(w->windowTitle(), kNormal);
        QVERIFY(!QApplication::overrideCursor());
        if (message == m_dialogs.shown().first().text && message.startsWith(u"Není"_s)) {
            // Nothing else changes: the earlier listing stays.
            QVERIFY(field->text().isEmpty());
            QCOMPARE(shown(w).size(), 10);
            QCOMPARE(text(w, "dones_v"), counts(10, 0));
            QVERIFY(enabled(w, "Button8"));
        } else {
            QCOMPARE(shown(w), QStringList{});
            QVERIFY(!enabled(w, "Button8"));
            QVERIFY(!enabled(w, "Button4"));
            QCOMPARE(QApplication::focusWidget(), field);
        }
    }

    // Searches through the boxes: the cleaned text is written back; a search
    // that passes the checks but finds nothing shows no message and focuses
    // the first filled box.
    void searches_data() {
        QTest::addColumn<QStringList>("typed"); // box, text, box, text …
        QTest::addColumn<QStringList>("after"); // the same boxes after the search
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("focus");
        const QStringList dvorak{u"Dvořák|Kestrava"_s};
        QTest::newRow("Czech surname") << QStringList{"prijmeni_v", u"Řezník"_s} << QStringList{u"Řezník"_s}
                                       << QStringList{u"Řezník"_s} << "DBGridPro4";
        QTest::newRow("street of the work address")
            << QStringList{"ulice_v", u"Pracovní"_s} << QStringList{u"Pracovní"_s} << dvorak << "DBGridPro4";
        QTest::newRow("town switch on")
            << QStringList{"mesto_v", u"Pra"_s} << QStringList{u"Pra*"_s} << dvorak << "DBGridPro4";
        QTest::newRow("postal code blanks")
            << QStringList{"psc_v", u"110 00"_s} << QStringList{u"11000"_s} << dvorak << "DBGridPro4";
        QTest::newRow("telephone") << QStringList{"tel_v", u"541 210 100"_s} << QStringList{u"541210100"_s}
                                   << dvorak << "DBGridPro4";
        QTest::newRow("telephone nobody has") << QStringList{"tel_v", u"123 456 789"_s}
                                              << QStringList{u"123456789"_s} << QStringList{} << "tel_v";
        QTest::newRow("surname without that number")
            << QStringList{"tel_v", u"1"_s, "prijmeni_v", u"Dvořák"_s} << QStringList{u"1"_s, u"Dvořák"_s}
            << QStringList{} << "prijmeni_v";
    }
    void searches() {
        QFETCH(QStringList, typed);
        QFETCH(QStringList, after);
        QFETCH(QStringList, rows);
        QFETCH(QString, focus);
        auto page = makePage();
        QWidget* w = page->widget.get();
        for (int i = 0; i + 1 < typed.size(); i += 2) {
            auto* box = child<QLineEdit>(w, qPrintable(typed[i]));
            box->setFocus();
            typeText(box, typed[i + 1]);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        for (int i = 0; i + 1 < typed.size(); i += 2)
            QCOMPARE(child<QLineEdit>(w, qPrintable(typed[i]))->text(), after[i / 2]);
        QCOMPARE(shown(w), rows);
        QVERIFY(m_dialogs.shown().isEmpty());
        QCOMPARE(QApplication::focusWidget(), child<QWidget>(w, qPrintable(focus)));
        QVERIFY(!enabled(w, "Button8"));
        QVERIFY(enabled(w, "BitBtn3"));
    }

    // The label of the current row and the three copies; with an empty label
    // none of them touches the clipboard.
    void labelAndCopies() {
        auto page = makePage();
        QWidget* w = page->widget.get();
        child<QLineEdit>(w, "prijmeni_v")->setText(u"Dvořák"_s);
        click(w, "BitBtn3");
        const QString label = u"Dvořák Petr, Ing.\n\nFirma:    Kestrava\n\n"
                              "Telefon:   602 123 456\n                541 210 100\n\n"
                              "Adresa:    Dlouhá 12\n602 00     Brno\n\n"
                              "Adresa:    Pracovní 5\n110 00     Praha\n\nInternet:\npetr@kestrava.cz"_s;
        auto* memo = child<QPlainTextEdit>(w, "Memo3");
        QCOMPARE(memo->toPlainText(), label);
        QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

        click(w, "Image11");
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QString(label).replace(u"\n"_s, u"\r\n"_s) + u"\r\n"_s);
        click(w, "Image10");
        QCOMPARE(QGuiApplication::clipboard()->text(), u"Kestrava\r\nPracovní 5\r\n110 00   Praha\r\n\r\n"_s);
        // Two numbers: the picker opens with the first ticked; "Vše" copies both.
        QTimer::singleShot(0, this, [this] {
            QCOMPARE(m_picker->list()->count(), 2);
            QCOMPARE(m_picker->list()->item(0)->checkState(), Qt::Checked);
            m_picker->allButton()->click();
        });
        click(w, "Image9");
        QCOMPARE(QGuiApplication::clipboard()->text(), u"602123456\r\n541210100\r\n\r\n"_s);

        // One number is copied at once, without the picker.
        child<QLineEdit>(w, "prijmeni_v")->setText(u"Jednička"_s);
        click(w, "BitBtn3");
        QCOMPARE(memo->toPlainText(), u"Jednička\n\nTelefon:   777 000 111"_s);
        QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        click(w, "Image9");
        QVERIFY(!m_picker->isVisible());
        QCOMPARE(QGuiApplication::clipboard()->text(), u"777000111"_s);

        click(w, "BitBtn5");
        QVERIFY(memo->toPlainText().isEmpty());
        QGuiApplication::clipboard()->setText(u"před"_s);
        for (const char* name : {"Image9", "Image10", "Image11"}) {
            click(w, name);
            QCOMPARE(QGuiApplication::clipboard()->text(), u"před"_s);
        }
        QVERIFY(m_dialogs.shown().isEmpty());
    }

    // Selecting a row shows it in the label; a double click asks for the editor.
    void selectionAndDoubleClick() {
        auto page = makePage();
        QWidget* w = page->widget.get();
        auto* grid = child<DataGrid>(w, "DBGridPro4");
        click(w, "Image18");
        QSignalSpy edits(page->widget.get(), &PersonalPage::editRequested);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rowPoint(grid, 2, false));
        QCOMPARE(child<QPlainTextEdit>(w, "Memo3")->toPlainText(), u"Jednička\n\nTelefon:   777 000 111"_s);
        QCOMPARE(text(w, "dones_v"), counts(10, 0));
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, rowPoint(grid, 1, false));
        QCOMPARE(edits.count(), 1);
        QCOMPARE(page->widget->search()->currentRow()->id2, 2);
    }

    // A click in the mark column marks its row, a second one unmarks it; the
    // status counts follow. Reset empties the page and its boxes.
    void markAndReset() {
        auto page = makePage();
        QWidget* w = page->widget.get();
        auto* grid = child<DataGrid>(w, "DBGridPro4");
        searchRecords(w);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rowPoint(grid, 2, true));
        QCOMPARE(text(w, "dones_v"), counts(10, 1));
        QVERIFY(page->query.value(u"Zn"_s).toBool());
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rowPoint(grid, 4, true));
        QCOMPARE(text(w, "dones_v"), counts(10, 2));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rowPoint(grid, 2, true));
        QCOMPARE(text(w, "dones_v"), counts(10, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rowPoint(grid, 3, false));
        QCOMPARE(text(w, "dones_v"), counts(10, 1));

        child<QLineEdit>(w, "tel_v")->setText(u"12"_s);
        click(w, "BitBtn5");
        QCOMPARE(grid->model()->rowCount(), 0);
        for (QLineEdit* box : w->findChildren<QLineEdit*>())
            QVERIFY2(box->text().isEmpty(), qPrintable(box->objectName()));
        QVERIFY(text(w, "dones_v").isEmpty());
        QVERIFY(child<QPlainTextEdit>(w, "Memo3")->toPlainText().isEmpty());
        QVERIFY(!enabled(w, "Button4"));
        QVERIFY(!enabled(w, "Button8"));
        QVERIFY(enabled(w, "BitBtn3"));
        QCOMPARE(page->widget->search()->state().foundCount, 0);
        QCOMPARE(page->widget->search()->state().markedCount, 0);
        QVERIFY(child<WildcardSwitch>(w, "Label47")->isOn());
    }

    // A title sorts the shown range only; the mark title never sorts; the next
    // page move shows its range unsorted with every title cleared.
    void sortTitles() {
        auto page = makePage();
        QWidget* w = page->widget.get();
        auto* grid = child<DataGrid>(w, "DBGridPro4");
        searchRecords(w);
        click(w, "Button8");
        const int surname = grid->columnOf(u"Prijmeni"_s);
        grid->setSortState(surname, DataGrid::SortState::Descending);
        emit grid->sortStateChanged(surname, DataGrid::SortState::Descending);
        QStringList reversed = names("Záznam", 11, 20);
        std::reverse(reversed.begin(), reversed.end());
        QCOMPARE(shown(w), reversed);
        grid->setSortState(0, DataGrid::SortState::Ascending);
        emit grid->sortStateChanged(0, DataGrid::SortState::Ascending);
        QCOMPARE(grid->sortState(0), DataGrid::SortState::None);
        QCOMPARE(shown(w), reversed);
        click(w, "Button4");
        QCOMPARE(shown(w), names("Záznam", 1, 10));
        QCOMPARE(grid->sortState(surname), DataGrid::SortState::None);
    }

    // The wildcard switch of a box takes its trailing "*" when switched off;
    // the telephone box keeps digits only.
    void switchesAndTelephone() {
        auto page = makePage();
        QWidget* w = page->widget.get();
        auto* town = child<QLineEdit>(w, "mesto_v");
        auto* townSwitch = child<WildcardSwitch>(w, "Label52");
        QVERIFY(townSwitch->isOn());
        town->setText(u"Pra*"_s);
        QTest::mouseClick(townSwitch, Qt::LeftButton);
        QVERIFY(!townSwitch->isOn());
        QCOMPARE(town->text(), u"Pra"_s);
        auto* tel = child<QLineEdit>(w, "tel_v");
        tel->setFocus();
        QTest::keyClicks(tel, u"60a2 12-3"_s);
        QCOMPARE(tel->text(), u"602123"_s);
    }

    // A page fill whose rows cannot be written (another connection reads the
    // working file) shows the engine's message; the page is idle, its counts
    // are those before the move, and ">>>" tries the same rows again.
    void failedFill() {
        auto page = makePage();
        QWidget* w = page->widget.get();
        searchRecords(w);
        QCOMPARE(shown(w).size(), 10);
        sqlite3* own = page->results->database()->handle();
        QCOMPARE(sqlite3_exec(own, "PRAGMA locking_mode=NORMAL; SELECT count(*) FROM vlastni", nullptr,
                              nullptr, nullptr),
                 SQLITE_OK);
        sqlite3* reader = nullptr;
        QCOMPARE(sqlite3_open_v2(page->results->path().toUtf8().constData(), &reader, SQLITE_OPEN_READONLY,
                                 nullptr),
                 SQLITE_OK);
        QCOMPARE(sqlite3_exec(reader, "BEGIN; SELECT count(*) FROM vlastni", nullptr, nullptr, nullptr),
                 SQLITE_OK);
        click(w, "Button8");
        sqlite3_exec(reader, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(reader);

        QCOMPARE(m_dialogs.messageTexts(), QStringList{u"Databáze je uzamčena jiným procesem."_s});
        for (const char* name : {"BitBtn3", "BitBtn5", "BitBtn4", "BitBtn7", "Button4", "Button8"})
            QVERIFY2(enabled(w, name), name);
        QVERIFY(!enabled(w, "BitBtn6"));
        QCOMPARE(w->windowTitle(), kNormal);
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(text(w, "dones_v"), counts(10, 0));

        m_dialogs.clear();
        click(w, "Button8");
        QVERIFY(m_dialogs.shown().isEmpty());
        QCOMPARE(shown(w), names("Záznam", 11, 20));
        QCOMPARE(text(w, "dones_v"), counts(20, 0));
    }

    // An engine error during a listing is shown with its message and leaves
    // the page idle, ready for the next request.
    void engineErrorLeavesPageIdle() {
        auto page = makePage();
        QWidget* w = page->widget.get();
        page->personalMissing = true;
        click(w, "Image18");
        QCOMPARE(m_dialogs.messageTexts(), QStringList{u"Databáze vlastních záznamů není otevřena."_s});
        for (const char* name : {"BitBtn3", "BitBtn5", "BitBtn4", "BitBtn7"})
            QVERIFY2(enabled(w, name), name);
        QVERIFY(!enabled(w, "BitBtn6"));
        QVERIFY(!enabled(w, "Button8"));
        QCOMPARE(w->windowTitle(), kNormal);
        QVERIFY(!QApplication::overrideCursor());

        page->personalMissing = false;
        m_dialogs.clear();
        click(w, "Image18");
        QVERIFY(m_dialogs.shown().isEmpty());
        QCOMPARE(shown(w).size(), 10);
    }
};

QTEST_MAIN(TestPersonalListing)
#include "tst_personallisting.moc"
