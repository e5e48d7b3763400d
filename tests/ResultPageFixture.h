#pragma once

// Any of the three result pages (persons, firms, Vlastní) with data behind it,
// shown and attached to a program of scripted dialogs: a small directory for
// the persons and firms pages, a personal database for Vlastní, and their
// working databases. Shared by the tests that drive the pages through their
// widgets.

#include "PageTestSupport.h"
#include "contacts/PersonalFixture.h"
#include "search/DirectoryFixture.h"

#include "Application.h"
#include "DataGrid.h"
#include "DirectoryPage.h"
#include "Drives.h"
#include "NumberPicker.h"
#include "PageWidgets.h"
#include "PersonalPage.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <functional>
#include <memory>

namespace test_support {

using namespace Qt::StringLiterals;

// What a test needs to know of one page: the names of its controls, the box
// and the text of its listing of 25 records, how those rows show, and its
// working table.
struct PageNames {
    const char* page; // the page's own control name
    const char *search, *reset, *exportButton, *print, *stop, *previous, *next;
    const char *grid, *counts, *label, *copyAll, *copyNumber, *copyAddress;
    const char* nameBox;     // the box the listing is typed into
    const char* nameSwitch;  // that box's wildcard switch
    QString listed;          // typed into nameBox (with its switch on), it lists 25 records
    QString shownField;      // the grid column that tells the listed rows apart
    QString (*rowName)(int); // what that column shows for the listing's nth row
    QString table;           // the working table

    bool personal() const { return qstrcmp(page, "vlastni") == 0; }
    static const PageNames& of(const QString& page);
};

inline QString directoryRowName(int n) {
    return QString::number(n);
}
inline QString personalRowName(int n) {
    return u"Záznam%1"_s.arg(n, 3, 10, QLatin1Char('0'));
}

inline const PageNames& PageNames::of(const QString& page) {
    // clang-format off
    static const PageNames persons{"osoby", "Button1", "Button3", "Button7", "Button20", "Button16",
        "Button11", "Button12", "DBGridPro1", "dones_o", "Memo1", "Image1", "Image2", "Image7",
        "prijmeni", "Label8", u"Pok"_s, u"ID2"_s, directoryRowName, u"Osoby"_s};
    static const PageNames firms{"firmy", "Button6", "Button5", "Button9", "Button21", "Button17",
        "Button13", "Button14", "DBGridPro2", "dones_f", "Memo2", "Image3", "Image4", "Image8",
        "firma", "Label17", u"Auto"_s, u"ID2"_s, directoryRowName, u"Firmy"_s};
    static const PageNames personal{"vlastni", "BitBtn3", "BitBtn5", "BitBtn7", "BitBtn4", "BitBtn6",
        "Button4", "Button8", "DBGridPro4", "dones_v", "Memo3", "Image11", "Image9", "Image10",
        "prijmeni_v", "Label47", u"Zázn"_s, u"Prijmeni"_s, personalRowName, u"vlastni"_s};
    // clang-format on
    if (page == u"osoby") return persons;
    if (page == u"firmy") return firms;
    if (page == u"vlastni") return personal;
    qFatal("no page %s", qPrintable(page));
}

// The pages' names, for one row of a data-driven test each.
inline QStringList resultPageNames() {
    return {u"osoby"_s, u"firmy"_s, u"vlastni"_s};
}

// The counts as every page's status line shows them.
inline QString countsText(int found, int marked) {
    return u" Počet záznamů: %1 nalezených,  %2 označených"_s.arg(found).arg(marked);
}

class ResultPageFixture {
  public:
    // One page made by makePage; it lives as long as this does.
    struct Page {
        explicit Page(const PageNames& n) : names(n) {}
        const PageNames& names;
        std::unique_ptr<ResultPage> widget;
        db::Dataset query, buffer;
        std::unique_ptr<db::WorkingDatabase> results, phone;
        // Run whenever the search asks for its database (the directory or the
        // personal one), and for every row of a fill before the window
        // processes its events.
        std::function<void()> onSource, duringFill;
        // The search finds no personal database.
        bool personalMissing = false;

        // The window's captions as they followed each other, each noted by noteCaption.
        QStringList captions;

        QWidget* w() const { return widget.get(); }
        void noteCaption() {
            if (captions.isEmpty() || captions.last() != w()->windowTitle()) captions << w()->windowTitle();
        }
        DirectoryPage* directory() const { return qobject_cast<DirectoryPage*>(widget.get()); }
        PersonalPage* personal() const { return qobject_cast<PersonalPage*>(widget.get()); }
        const paging::PageState& state() const {
            return directory() ? directory()->search()->state() : personal()->search()->state();
        }
        QPushButton* button(const char* name) const { return child<QPushButton>(w(), name); }
        bool enabled(const char* name) const { return button(name)->isEnabled(); }
        void click(const char* name) const { test_support::click(w(), name); }
        DataGrid* grid() const { return child<DataGrid>(w(), names.grid); }
        QString counts() const { return child<QLabel>(w(), names.counts)->text(); }
        QLineEdit* nameBox() const { return child<QLineEdit>(w(), names.nameBox); }
        // The shown rows as their telling column shows them.
        QStringList shown() const {
            DataGrid* g = grid();
            const int column = g->columnOf(names.shownField);
            QStringList out;
            for (int r = 0; r < g->model()->rowCount(); ++r)
                out << g->model()->index(r, column).data().toString();
            return out;
        }
        // The names of the listing's rows from to to, as shown() gives them.
        QStringList rows(int from, int to) const {
            QStringList out;
            for (int i = from; i <= to; ++i)
                out << names.rowName(i);
            return out;
        }
        // Lists the 25 records through the name box with its switch on.
        void list() const {
            QLineEdit* box = nameBox();
            box->setFocus();
            typeText(box, names.listed);
            child<WildcardSwitch>(w(), names.nameSwitch)->setOn(true);
            QTest::keyClick(box, Qt::Key_Return);
        }
        // A point of a shown row: in the mark column or in the next one.
        QPoint rowPoint(int row, bool markColumn) const {
            DataGrid* g = grid();
            const int y = g->visualRect(g->model()->index(row, 0)).center().y();
            return QPoint(markColumn ? g->columnWidth(0) / 2 : g->columnWidth(0) + 20, y);
        }
    };

    explicit ResultPageFixture(
        std::unique_ptr<platform::ScriptedDialogs> dialogs = std::make_unique<platform::ScriptedDialogs>())
        : m_dialogs(std::move(dialogs)),
          m_app(m_settings, m_drives, *m_dialogs, m_shell, QDir::tempPath() + u'/') {
        m_app.limits().fillEmpty();
    }
    ~ResultPageFixture() { delete m_picker; }
    ResultPageFixture(const ResultPageFixture&) = delete;
    ResultPageFixture& operator=(const ResultPageFixture&) = delete;

    Application& app() { return m_app; }
    platform::ScriptedDialogs& dialogs() { return *m_dialogs; }
    NoShell& shell() { return m_shell; }
    NumberPicker* picker() {
        if (!m_picker) m_picker = new NumberPicker;
        return m_picker;
    }
    // The directory, for adding entries before the first persons or firms page.
    search_test::DirectoryFixture& directoryFiles() { return m_directoryFiles; }
    personal_test::PersonalFiles& personalFiles() { return m_personalFiles; }

    // A subscriber of the directory with the usual address, its number made
    // of its serial ("5" and eight digits).
    void addSubscriber(bool firm, const QString& name, qint64 key = 0) {
        search_test::DirectoryFixture::Entry e;
        e.surname = name;
        e.firstName = u"Jan"_s;
        e.street = u"Dlouhá"_s;
        e.houseNumber = u"12"_s;
        e.municipality = u"Brno"_s;
        e.postalCode = u"60200"_s;
        e.number = u"5%1"_s.arg(++m_serial, 8, 10, QLatin1Char('0'));
        e.euroIsdn = key;
        m_directoryFiles.add(firm, e);
    }

    // The listings PageNames speaks of: 25 persons "Pokus", 25 firms
    // "Autoservis" and 25 personal records "Záznam001" to "Záznam025".
    void addListings() {
        m_directoryFiles.database().beginTransaction();
        for (bool firm : {false, true})
            for (int i = 0; i < 25; ++i)
                addSubscriber(firm, firm ? u"Autoservis"_s : u"Pokus"_s);
        m_directoryFiles.database().commit();
        m_personalFiles.personal->beginTransaction();
        for (int i = 1; i <= 25; ++i)
            m_personalFiles.add({{u"Prijmeni"_s, personalRowName(i)}});
        m_personalFiles.personal->commit();
    }

    // Two personal records: "Dvořák" with a title, a firm, two numbers, both
    // addresses (the work one shown) and an e-mail, and "Jednička" with one
    // number.
    void addContacts() {
        // clang-format off
        m_personalFiles.add({{"Prijmeni", "Dvořák"}, {"Jmeno_1", "Petr"}, {"Titul_1", "Ing."}, {"Firma", "Kestrava"},
             {"Tel_1", "602123456"}, {"Tel_5", "541210100"},
             {"domu_Ulice", "Dlouhá"}, {"domu_CP", "12"}, {"domu_Obec", "Brno"}, {"domu_PSC", "60200"},
             {"zam_Ulice", "Pracovní"}, {"zam_CP", "5"}, {"zam_Obec", "Praha"}, {"zam_PSC", "11000"},
             {"E-mail_1", "petr@kestrava.cz"}, {"zobraz_adr", "zam"}});
        // clang-format on
        m_personalFiles.add({{"Prijmeni", "Jednička"}, {"Tel_3", "777000111"}});
    }

    std::unique_ptr<Page> makePage(const QString& name) {
        auto p = std::make_unique<Page>(PageNames::of(name));
        Page* page = p.get();
        const auto processEvents = [page] {
            if (page->duringFill) page->duringFill();
            QCoreApplication::processEvents();
        };
        if (page->names.personal()) {
            auto* widget = new PersonalPage;
            p->widget.reset(widget);
            PersonalSearch::Services services;
            services.personal = [this, page]() -> db::Database* {
                if (page->onSource) page->onSource();
                return page->personalMissing ? nullptr : m_personalFiles.personal.get();
            };
            services.processEvents = processEvents;
            widget->attach(m_app, services, picker());
            p->results = std::make_unique<db::WorkingDatabase>(
                m_personalFiles.engine, db::WorkingKind::PersonalResult, m_personalFiles.paths, p->query);
            widget->setWorkingDatabase(p->results.get());
        } else {
            const bool firms = name == u"firmy";
            auto* widget = new DirectoryPage(firms ? DirectoryPageDescription::firms()
                                                   : DirectoryPageDescription::persons());
            p->widget.reset(widget);
            DirectorySearch::Services services;
            services.directory = [this, page] {
                if (page->onSource) page->onSource();
                return directory();
            };
            services.processEvents = processEvents;
            widget->attach(m_app, services, picker());
            p->results = std::make_unique<db::WorkingDatabase>(m_directoryFiles.engine(),
                                                               firms ? db::WorkingKind::FirmsResult
                                                                     : db::WorkingKind::PersonsResult,
                                                               m_directoryFiles.paths(), p->query);
            p->phone = std::make_unique<db::WorkingDatabase>(m_directoryFiles.engine(),
                                                             firms ? db::WorkingKind::FirmsBuffer
                                                                   : db::WorkingKind::PersonsBuffer,
                                                             m_directoryFiles.paths(), p->buffer);
            widget->setWorkingDatabases(p->results.get(), p->phone.get());
        }
        p->widget->resize(760, 430);
        p->widget->show();
        QApplication::setActiveWindow(p->widget.get());
        return p;
    }

  private:
    // The directory as the search reads it: read-only from the first search on.
    db::Database* directory() {
        if (!m_directory) m_directory = m_directoryFiles.openReadOnly();
        return m_directory;
    }

    search_test::DirectoryFixture m_directoryFiles;
    personal_test::PersonalFiles m_personalFiles;
    db::Database* m_directory = nullptr;
    int m_serial = 0;
    platform::MemorySettingsStore m_settings;
    platform::FixedDrives m_drives{{}};
    std::unique_ptr<platform::ScriptedDialogs> m_dialogs;
    NoShell m_shell;
    Application m_app;
    NumberPicker* m_picker = nullptr;
};

} // namespace test_support
