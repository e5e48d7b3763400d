// The persons and firms pages driven through their widgets, found by name,
// over a small directory.

#include "DirectoryFixture.h"
#include "PageTestSupport.h"

#include "Application.h"
#include "DataGrid.h"
#include "DirectoryPage.h"
#include "Drives.h"
#include "NumberPicker.h"
#include "PageWidgets.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "Shell.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <sqlite3.h>

using namespace platform;
using search_test::DirectoryFixture;
using test_support::child;
using test_support::NoShell;

namespace {

const QString kStatus = QStringLiteral(" Počet záznamů: %1 nalezených,  %2 označených");

} // namespace

class TestSearchPage : public QObject {
    Q_OBJECT

    DirectoryFixture m_fixture;
    db::Database* m_directory = nullptr;
    MemorySettingsStore m_settings;
    FixedDrives m_drives{{}};
    ScriptedDialogs m_dialogs;
    NoShell m_shell;
    std::unique_ptr<Application> m_app;
    NumberPicker* m_picker = nullptr;

    struct Page {
        std::unique_ptr<DirectoryPage> widget;
        db::Dataset query, buffer;
        std::unique_ptr<db::WorkingDatabase> results, phone;
        // Run whenever the search asks for the directory connection, and for
        // every row of a fill before the window processes its events.
        std::function<void()> onDirectory, duringFill;
    };

    std::unique_ptr<Page> makePage(bool firms) {
        auto p = std::make_unique<Page>();
        p->widget = std::make_unique<DirectoryPage>(firms ? DirectoryPageDescription::firms()
                                                          : DirectoryPageDescription::persons());
        DirectorySearch::Services services;
        services.directory = [this, page = p.get()] {
            if (page->onDirectory) page->onDirectory();
            return m_directory;
        };
        services.processEvents = [page = p.get()] {
            if (page->duringFill) page->duringFill();
            QCoreApplication::processEvents();
        };
        p->widget->attach(*m_app, services, m_picker);
        p->results = std::make_unique<db::WorkingDatabase>(
            m_fixture.engine(), firms ? db::WorkingKind::FirmsResult : db::WorkingKind::PersonsResult,
            m_fixture.paths(), p->query);
        p->phone = std::make_unique<db::WorkingDatabase>(
            m_fixture.engine(), firms ? db::WorkingKind::FirmsBuffer : db::WorkingKind::PersonsBuffer,
            m_fixture.paths(), p->buffer);
        p->widget->setWorkingDatabases(p->results.get(), p->phone.get());
        p->widget->resize(760, 430);
        p->widget->show();
        return p;
    }

    static QString status(QWidget* w, const char* name) { return child<QLabel>(w, name)->text(); }
    // Types the name the fixture's 25 persons ("Pokus") or its firms ("Autoservis") share.
    static void typeName(QWidget* w, bool firms) {
        child<QLineEdit>(w, firms ? "firma" : "prijmeni")
            ->setText(firms ? QStringLiteral("Autoservis") : QStringLiteral("Pokus"));
    }
    static QStringList gridColumn(DataGrid* grid, int column) {
        QStringList out;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            out << grid->model()->index(r, column).data().toString();
        return out;
    }

  private slots:
    void initTestCase() {
        m_fixture.database().beginTransaction();
        int serial = 0;
        const auto add = [&](bool firm, const QString& name, qint64 key = 0) {
            DirectoryFixture::Entry e;
            e.surname = name;
            e.firstName = QStringLiteral("Jan");
            e.street = QStringLiteral("Dlouhá");
            e.houseNumber = QStringLiteral("12");
            e.municipality = QStringLiteral("Brno");
            e.postalCode = QStringLiteral("60200");
            e.number = QStringLiteral("5%1").arg(++serial, 8, 10, QLatin1Char('0'));
            e.euroIsdn = key;
            m_fixture.add(firm, e);
        };
        for (int i = 0; i < 25; ++i)
            add(false, QStringLiteral("Pokus"));
        add(false, QStringLiteral("Čísla"), 77);
        m_fixture.addExtra(false, 77, QStringLiteral("601222333"), QStringLiteral("byt"));
        m_fixture.addExtra(false, 77, QStringLiteral("601444555"));
        for (int i = 0; i < 12; ++i)
            add(true, QStringLiteral("Autoservis"));
        m_fixture.database().commit();
        m_directory = m_fixture.openReadOnly();
        m_app =
            std::make_unique<Application>(m_settings, m_drives, m_dialogs, m_shell, QDir::tempPath() + u'/');
        m_app->limits().fillEmpty();
        m_picker = new NumberPicker;
    }
    void cleanupTestCase() { delete m_picker; }
    void init() { m_dialogs.clear(); }

    // A search shows the first page, the status text and the label; ">>>"
    // pages on; a click in the mark column marks, in any other column not.
    void searchPageAndMark() {
        auto page = makePage(false);
        QWidget* w = page->widget.get();
        child<QLineEdit>(w, "prijmeni")->setText(QStringLiteral("Pok"));
        child<WildcardSwitch>(w, "Label8")->setOn(true);
        QTest::keyClick(child<QLineEdit>(w, "prijmeni"), Qt::Key_Return);
        auto* grid = child<DataGrid>(w, "DBGridPro1");
        QCOMPARE(child<QLineEdit>(w, "prijmeni")->text(), QStringLiteral("Pok*"));
        QCOMPARE(grid->model()->rowCount(), 10);
        QCOMPARE(status(w, "dones_o"), kStatus.arg(10).arg(0));
        QCOMPARE(child<QPlainTextEdit>(w, "Memo1")->toPlainText().section(u'\n', 0, 0),
                 QStringLiteral("Pokus Jan"));
        QVERIFY(child<QPushButton>(w, "Button12")->isEnabled());
        QVERIFY(!child<QPushButton>(w, "Button11")->isEnabled());
        QVERIFY(!child<QPushButton>(w, "Button16")->isEnabled());

        QTest::mouseClick(child<QPushButton>(w, "Button12"), Qt::LeftButton);
        QCOMPARE(gridColumn(grid, 1).first(), QStringLiteral("11"));
        const int y = grid->visualRect(grid->model()->index(2, 0)).center().y();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, QPoint(grid->columnWidth(0) / 2, y));
        QCOMPARE(status(w, "dones_o"), kStatus.arg(20).arg(1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, QPoint(grid->columnWidth(0) + 20, y));
        QCOMPARE(status(w, "dones_o"), kStatus.arg(20).arg(1));
        QCOMPARE(page->query.text(QStringLiteral("ID2")), QStringLiteral("13"));

        // The menu offers the marked records only while some are marked.
        QMenu* menu = page->widget->contextMenu();
        QCOMPARE(menu->objectName(), QStringLiteral("PopupMenu2"));
        emit menu->aboutToShow();
        QAction* marked = menu->findChild<QAction*>(QStringLiteral("oznacene_o"));
        QVERIFY(marked && marked->isVisible());

        // Reset empties boxes, grid, status and label.
        QTest::mouseClick(child<QPushButton>(w, "Button3"), Qt::LeftButton);
        QCOMPARE(grid->model()->rowCount(), 0);
        QVERIFY(child<QLineEdit>(w, "prijmeni")->text().isEmpty());
        QVERIFY(status(w, "dones_o").isEmpty());
        QVERIFY(child<QPlainTextEdit>(w, "Memo1")->toPlainText().isEmpty());
        QVERIFY(child<WildcardSwitch>(w, "Label8")->isOn());
    }

    // Requests that end before the search, with their messages; typed quotes,
    // brackets and semicolons are searched as text, never run as SQL.
    void endsEarly_data() {
        QTest::addColumn<bool>("firms");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        const QString empty = QStringLiteral("Není zadán žádný parametr pro vyhledávání.    ");
        QTest::newRow("star alone") << false << "prijmeni"
                                    << "*" << empty;
        QTest::newRow("bracket clears") << false << "jmeno"
                                        << "Ja[n" << empty;
        QTest::newRow("unknown surname") << false << "prijmeni"
                                         << "Nikdo"
                                         << "Bylo zadáno neexistující příjmení!";
        QTest::newRow("quote in surname") << false << "prijmeni"
                                          << "Po\"kus"
                                          << "Bylo zadáno neexistující příjmení!";
        QTest::newRow("statement in first name") << false << "jmeno"
                                                 << "Jan\" OR \"\"=\""
                                                 << "Bylo zadáno neexistující jméno!";
        QTest::newRow("semicolon in street") << false << "ulice"
                                             << "Dlouhá;"
                                             << "Byla zadána neexistující ulice!";
        QTest::newRow("quote in house number") << false << "cp"
                                               << "12\""
                                               << "Bylo zadáno neexistující popisné číslo!";
        QTest::newRow("quote in town") << true << "mesto_f"
                                       << "Br\"no"
                                       << "Byla zadána neexistující obec!";
        QTest::newRow("semicolon in postal code") << true << "psc_f"
                                                  << "602;00"
                                                  << "Bylo zadáno neexistující PSČ!";
        QTest::newRow("quote in note") << true << "poznamka"
                                       << "x\"; DROP TABLE Firmy"
                                       << "Byla zadána neexistující poznámka!";
        QTest::newRow("quote in firm") << true << "firma"
                                       << "Auto\""
                                       << "Byl zadán neexistující název firmy!";
    }
    void endsEarly() {
        QFETCH(bool, firms);
        QFETCH(QString, box);
        QFETCH(QString, value);
        QFETCH(QString, message);
        auto page = makePage(firms);
        QWidget* w = page->widget.get();
        auto* field = child<QLineEdit>(w, qPrintable(box));
        field->setText(value);
        QTest::mouseClick(child<QPushButton>(w, firms ? "Button6" : "Button1"), Qt::LeftButton);
        QCOMPARE(m_dialogs.messageTexts(), QStringList{message});
        QCOMPARE(m_dialogs.shown().first().caption, QStringLiteral("Upozornění"));
        QVERIFY(child<QPushButton>(w, firms ? "Button6" : "Button1")->isEnabled());
        QCOMPARE(child<DataGrid>(w, firms ? "DBGridPro2" : "DBGridPro1")->model()->rowCount(), 0);
        if (message.startsWith(QStringLiteral("By"))) QCOMPARE(QApplication::focusWidget(), field);
    }

    // No to the telephone question: nothing happens. The count refuses a
    // telephone number and otherwise reports every match.
    void telephoneQuestionAndCount() {
        auto page = makePage(false);
        QWidget* w = page->widget.get();
        auto* tel = child<QLineEdit>(w, "tel");
        tel->setText(QStringLiteral("601-222 333"));
        QCOMPARE(tel->text(), QStringLiteral("601222333"));
        m_dialogs.answerMessage(Dialogs::Answer::No);
        QTest::mouseClick(child<QPushButton>(w, "Button1"), Qt::LeftButton);
        QCOMPARE(m_dialogs.shown().size(), 1);
        QCOMPARE(m_dialogs.shown().first().buttons, Dialogs::Buttons::YesNo);
        QVERIFY(page->query.isOpen() == false || page->query.isEmpty());

        page->widget->countMatches();
        QCOMPARE(m_dialogs.messageTexts().last(),
                 QStringLiteral("Tuto funkci nelze použít při vyplněném poli telefonního čísla.   "));
        tel->clear();
        child<QLineEdit>(w, "prijmeni")->setText(QStringLiteral("Pokus"));
        page->widget->countMatches();
        QCOMPARE(m_dialogs.messageTexts().last(),
                 QStringLiteral("Počet záznamů, které odpovídají zadaným podmínkám: 25    "));
        QCOMPARE(m_dialogs.shown().last().caption, QStringLiteral("Informace"));
    }

    // The telephone search finds a subscriber by an additional number; the label
    // lists its numbers; copy number offers them in the picker.
    void labelAndClipboard() {
        auto page = makePage(false);
        QWidget* w = page->widget.get();
        child<QLineEdit>(w, "tel")->setText(QStringLiteral("601444555"));
        m_dialogs.answerMessage(Dialogs::Answer::Yes);
        QTest::mouseClick(child<QPushButton>(w, "Button1"), Qt::LeftButton);
        QCOMPARE(page->query.text(QStringLiteral("Prijmeni")), QStringLiteral("Čísla"));
        const QStringList label = page->widget->labelLines();
        QVERIFY2(label.contains(QStringLiteral("                601 222 333   byt")),
                 qPrintable(label.join(u'|')));
        QCOMPARE(child<QLabel>(w, "Label18")->toolTip(),
                 QStringLiteral("Žádné další záznamy již v databázi nejsou"));

        page->widget->copyAll();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 label.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
        // Three numbers: the picker opens with the first ticked; "Vše" copies all.
        QTimer::singleShot(0, this, [this] {
            QCOMPARE(m_picker->list()->count(), 3);
            QCOMPARE(m_picker->list()->item(0)->checkState(), Qt::Checked);
            m_picker->allButton()->click();
        });
        page->widget->copyNumber();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("500000026\r\n601222333\r\n601444555\r\n\r\n"));
        page->widget->copyAddress();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("Čísla Jan\r\nDlouhá 12\r\n602 00   Brno\r\n"));
    }

    // A fill whose commit fails (another connection reads the working file):
    // the page shows the engine's message and is idle, the status agrees with
    // the rows stored, STOP pressed as its last row was copied is used up, and
    // the next search works.
    void failedCommit() {
        auto page = makePage(false);
        QWidget* w = page->widget.get();
        auto* grid = child<DataGrid>(w, "DBGridPro1");
        child<QLineEdit>(w, "prijmeni")->setText(QStringLiteral("Pokus"));
        QTest::mouseClick(child<QPushButton>(w, "Button1"), Qt::LeftButton);
        QCOMPARE(grid->model()->rowCount(), 10);

        // The working file is held exclusively: let go of it, then let a
        // reader in, which keeps the next commit from writing the file.
        sqlite3* own = page->results->database()->handle();
        QCOMPARE(sqlite3_exec(own, "PRAGMA locking_mode=NORMAL; SELECT count(*) FROM Osoby", nullptr, nullptr,
                              nullptr),
                 SQLITE_OK);
        sqlite3* reader = nullptr;
        QCOMPARE(sqlite3_open_v2(page->results->path().toUtf8().constData(), &reader, SQLITE_OPEN_READONLY,
                                 nullptr),
                 SQLITE_OK);
        QCOMPARE(sqlite3_exec(reader, "BEGIN; SELECT count(*) FROM Osoby", nullptr, nullptr, nullptr),
                 SQLITE_OK);
        page->duringFill = [&] {
            if (page->widget->search()->state().foundCount == 20) m_app->stopRequested = true;
        };
        QTest::mouseClick(child<QPushButton>(w, "Button12"), Qt::LeftButton);
        page->duringFill = nullptr;
        sqlite3_exec(reader, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(reader);

        QCOMPARE(m_dialogs.messageTexts(),
                 QStringList{QStringLiteral("Databáze je uzamčena jiným procesem.")});
        QCOMPARE(m_dialogs.shown().first().caption, QStringLiteral("Upozornění"));
        for (const char* name : {"Button1", "Button3", "Button7", "Button20", "Button11"})
            QVERIFY2(child<QPushButton>(w, name)->isEnabled(), name);
        for (const char* name : {"Button16", "Button12"})
            QVERIFY2(!child<QPushButton>(w, name)->isEnabled(), name);
        QCOMPARE(w->windowTitle(), QStringLiteral("Ordana 2004 Velto"));
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(page->widget->search()->state().foundCount, 10);
        QVERIFY(!m_app->stopRequested);
        QCOMPARE(status(w, "dones_o"), kStatus.arg(10).arg(0));
        // The rows of the failed fill went with the rolled-back unit.
        QCOMPARE(grid->model()->rowCount(), 0);

        m_dialogs.clear();
        QTest::mouseClick(child<QPushButton>(w, "Button1"), Qt::LeftButton);
        QVERIFY(m_dialogs.shown().isEmpty());
        QCOMPARE(gridColumn(grid, 1), (QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
        QCOMPARE(status(w, "dones_o"), kStatus.arg(10).arg(0));
        QVERIFY(child<QPushButton>(w, "Button12")->isEnabled());
    }

    // During a fill only STOP responds: a click on any other control of the
    // page, made while the fill processes events, changes nothing. The third
    // fill of a search shows rows 21 to 25 (with "<<<" enabled before it).
    void onlyStopRespondsDuringFill_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("shownTo"); // last ID2 the third page shows
        QTest::newRow("STOP") << "Button16" << 22;
        for (const char* name : {"Button11", "Button12", "Button1", "Button3", "Button7", "Button20", "Enter",
                                 "title", "mark", "count", "double click", "menu", "copy image", "edit"})
            QTest::newRow(name) << name << 25;
    }
    void onlyStopRespondsDuringFill() {
        QFETCH(QString, control);
        QFETCH(int, shownTo);
        auto page = makePage(false);
        QWidget* w = page->widget.get();
        auto* grid = child<DataGrid>(w, "DBGridPro1");
        child<QLineEdit>(w, "prijmeni")->setText(QStringLiteral("Pokus"));
        QTest::mouseClick(child<QPushButton>(w, "Button1"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(w, "Button12"), Qt::LeftButton);
        QVERIFY(child<QPushButton>(w, "Button11")->isEnabled());
        QSignalSpy transfers(page->widget.get(), &DirectoryPage::transferRequested);
        QGuiApplication::clipboard()->setText(QStringLiteral("před"));

        bool done = false;
        page->duringFill = [&] {
            if (done || page->widget->search()->state().foundCount != 22) return;
            done = true;
            const QPoint firstRow(grid->columnWidth(0) / 2,
                                  grid->visualRect(grid->model()->index(0, 0)).center().y());
            if (control.startsWith(QStringLiteral("Button"))) {
                QTest::mouseClick(child<QPushButton>(w, qPrintable(control)), Qt::LeftButton);
            } else if (control == u"Enter") {
                QTest::keyClick(child<QLineEdit>(w, "prijmeni"), Qt::Key_Return);
            } else if (control == u"title") {
                QHeaderView* header = grid->horizontalHeader();
                QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                                  QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
            } else if (control == u"mark") {
                QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, firstRow);
            } else if (control == u"count") {
                page->widget->countMatches();
            } else if (control == u"double click") {
                QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, firstRow + QPoint(60, 0));
            } else if (control == u"menu") {
                emit grid->customContextMenuRequested(firstRow);
            } else if (control == u"copy image") {
                QTest::mouseClick(child<QLabel>(w, "Image1"), Qt::LeftButton);
            } else if (control == u"edit") {
                grid->setCurrentIndex(grid->model()->index(0, grid->columnOf(QStringLiteral("tel"))));
                QTest::keyClick(grid, Qt::Key_F2);
            }
        };
        QTest::mouseClick(child<QPushButton>(w, "Button12"), Qt::LeftButton);
        QVERIFY(done);
        QStringList shown;
        for (int i = 21; i <= shownTo; ++i)
            shown << QString::number(i);
        QCOMPARE(gridColumn(grid, 1), shown);
        QCOMPARE(status(w, "dones_o"), kStatus.arg(shownTo).arg(0));
        QVERIFY(m_dialogs.shown().isEmpty());
        QCOMPARE(transfers.count(), 0);
        QVERIFY(!page->widget->contextMenu()->isVisible());
        QVERIFY(!grid->viewport()->findChild<QLineEdit*>());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("před"));
        QCOMPARE(grid->sortState(1), DataGrid::SortState::None);
        QCOMPARE(w->windowTitle(), QStringLiteral("Ordana 2004 Velto"));
        QVERIFY(child<QPushButton>(w, "Button11")->isEnabled());
        QCOMPARE(child<QPushButton>(w, "Button12")->isEnabled(), shownTo < 25);
        QVERIFY(child<QPushButton>(w, "Button1")->isEnabled());
        QVERIFY(!child<QPushButton>(w, "Button16")->isEnabled());
    }

    // The window caption while a page works: a search start shows the page's
    // own busy caption until its fill; every page move, forward or backward,
    // shows the same one on both pages.
    void busyCaptions_data() {
        QTest::addColumn<bool>("firms");
        QTest::addColumn<QString>("move");
        QTest::addColumn<QStringList>("captions"); // as they follow each other
        const QString paging = QStringLiteral("Ordana 2004 Velto - hledám...");
        QTest::newRow("persons search") << false << "search" << QStringList{paging};
        QTest::newRow("firms search")
            << true << "search" << QStringList{QStringLiteral("Ordana 2004 Velto hledám..."), paging};
        for (bool firms : {false, true}) {
            QTest::addRow("%s next", firms ? "firms" : "persons") << firms << "next" << QStringList{paging};
            // Going back reads nothing from the directory: no busy caption.
            QTest::addRow("%s previous", firms ? "firms" : "persons")
                << firms << "previous" << QStringList{QStringLiteral("Ordana 2004 Velto")};
        }
    }
    void busyCaptions() {
        QFETCH(bool, firms);
        QFETCH(QString, move);
        QFETCH(QStringList, captions);
        auto page = makePage(firms);
        QWidget* w = page->widget.get();
        typeName(w, firms);
        auto* search = child<QPushButton>(w, firms ? "Button6" : "Button1");
        auto* next = child<QPushButton>(w, firms ? "Button14" : "Button12");
        if (move != u"search") QTest::mouseClick(search, Qt::LeftButton);
        if (move == u"previous") QTest::mouseClick(next, Qt::LeftButton);

        QStringList seen;
        const auto note = [&] {
            if (seen.isEmpty() || seen.last() != w->windowTitle()) seen << w->windowTitle();
        };
        page->onDirectory = note;
        page->duringFill = note;
        connect(&page->query, &db::Dataset::opened, w, note);
        QTest::mouseClick(move == u"search" ? search
                          : move == u"next" ? next
                                            : child<QPushButton>(w, firms ? "Button13" : "Button11"),
                          Qt::LeftButton);
        QCOMPARE(seen, captions);
        QCOMPARE(w->windowTitle(), QStringLiteral("Ordana 2004 Velto"));
    }

    // An empty searched-records limit (the limits dialog closed with Esc)
    // counts as 200: the search finds rows and asks for 201 of them.
    void emptySearchLimit_data() {
        QTest::addColumn<bool>("firms");
        QTest::newRow("persons") << false;
        QTest::newRow("firms") << true;
    }
    void emptySearchLimit() {
        QFETCH(bool, firms);
        const Limits::List list = firms ? Limits::List::Firms : Limits::List::Persons;
        m_app->limits().setText(list, Limits::Kind::Searched, QString());
        auto page = makePage(firms);
        QWidget* w = page->widget.get();
        typeName(w, firms);
        QTest::mouseClick(child<QPushButton>(w, firms ? "Button6" : "Button1"), Qt::LeftButton);
        const QString head = page->widget->search()->directoryQuery().sql().value(0);
        const int rows = child<DataGrid>(w, firms ? "DBGridPro2" : "DBGridPro1")->model()->rowCount();
        m_app->limits().setText(list, Limits::Kind::Searched, QStringLiteral("200"));
        QCOMPARE(head, QStringLiteral("SELECT TOP 201 "));
        QCOMPARE(rows, 10);
        QVERIFY(m_dialogs.shown().isEmpty());
    }

    // Only the persons grid's telephone column can be edited (F2 on the current
    // row): the number goes into the working table, and one too long for it is
    // refused with the engine's message, the row keeping its number.
    void readOnlyColumns_data() {
        QTest::addColumn<bool>("firms");
        QTest::addColumn<QString>("editable"); // the one editable field, or none
        QTest::newRow("persons") << false << "tel";
        QTest::newRow("firms") << true << "";
    }
    void readOnlyColumns() {
        QFETCH(bool, firms);
        QFETCH(QString, editable);
        auto page = makePage(firms);
        QWidget* w = page->widget.get();
        typeName(w, firms);
        QTest::mouseClick(child<QPushButton>(w, firms ? "Button6" : "Button1"), Qt::LeftButton);
        auto* grid = child<DataGrid>(w, firms ? "DBGridPro2" : "DBGridPro1");
        QAbstractItemModel* model = grid->model();
        QVERIFY(model->rowCount() > 0);
        for (int c = 0; c < grid->columns().size(); ++c)
            QCOMPARE(bool(model->flags(model->index(0, c)) & Qt::ItemIsEditable),
                     grid->columns()[c].field == editable);

        const int tel = grid->columnOf(QStringLiteral("tel"));
        const QString before = page->query.text(QStringLiteral("Tel"));
        const auto typeNumber = [&](const QString& number) {
            grid->setCurrentIndex(model->index(0, tel));
            QTest::keyClick(grid, Qt::Key_F2);
            auto* editor = grid->viewport()->findChild<QLineEdit*>();
            if (!editor) return false;
            editor->selectAll();
            QTest::keyClicks(editor, number);
            QTest::keyClick(editor, Qt::Key_Return);
            // The editor commits and closes through a queued call, then goes.
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return true;
        };
        QCOMPARE(typeNumber(QStringLiteral("777888999")), !firms);
        QCOMPARE(page->query.text(QStringLiteral("Tel")), firms ? before : QStringLiteral("777888999"));
        QVERIFY(m_dialogs.shown().isEmpty());
        if (firms) return;
        QVERIFY(typeNumber(QString(60, u'1')));
        QCOMPARE(page->query.text(QStringLiteral("Tel")), QStringLiteral("777888999"));
        QCOMPARE(model->index(0, tel).data().toString(), QStringLiteral("777888999"));
        QCOMPARE(m_dialogs.messageTexts(),
                 QStringList{QStringLiteral(
                     "Pole „Tel“ je příliš malé pro zadaná data: hodnota je delší než 50 znaků.")});
    }

    // Sorting a title reorders the shown page only; the mark title cannot sort.
    void sortTitles() {
        auto page = makePage(false);
        QWidget* w = page->widget.get();
        child<QLineEdit>(w, "prijmeni")->setText(QStringLiteral("Pokus"));
        QTest::mouseClick(child<QPushButton>(w, "Button1"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(w, "Button12"), Qt::LeftButton);
        auto* grid = child<DataGrid>(w, "DBGridPro1");
        grid->setSortState(1, DataGrid::SortState::Ascending);
        emit grid->sortStateChanged(1, DataGrid::SortState::Descending);
        QCOMPARE(gridColumn(grid, 1),
                 (QStringList{"20", "19", "18", "17", "16", "15", "14", "13", "12", "11"}));
        grid->setSortState(0, DataGrid::SortState::Ascending);
        emit grid->sortStateChanged(0, DataGrid::SortState::Ascending);
        QCOMPARE(grid->sortState(0), DataGrid::SortState::None);
    }
};

QTEST_MAIN(TestSearchPage)
#include "tst_searchpage.moc"
