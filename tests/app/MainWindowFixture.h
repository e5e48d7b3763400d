#pragma once

// Shared by the tests that drive the whole main window: a fresh program folder
// per test over the test directory, settings in memory, scripted dialogs and
// an idle shell; and the parts of a result page that these tests reach.

#include "Application.h"
#include "DataGrid.h"
#include "DatabaseLogin.h"
#include "DirectoryPage.h"
#include "Drives.h"
#include "MainWindow.h"
#include "PageTestSupport.h"
#include "PersonalPage.h"
#include "ProgramFont.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

namespace app_test {

class MainWindowTest : public QObject {
  protected:
    QTemporaryDir m_tmp;
    std::unique_ptr<platform::MemorySettingsStore> m_settings;
    platform::FixedDrives m_drives{{}};
    platform::ScriptedDialogs m_dialogs;
    test_support::NoShell m_shell;
    std::unique_ptr<Application> m_app;
    QString m_program; // the program folder of the running test, ending in "/"

    // A new program folder whose DATA folder holds the generated reference
    // lists, empty settings, no answers queued, and the test directory as the
    // directory database.
    void resetProgram() {
        m_program = m_tmp.path() + QStringLiteral("/p") +
                    QString::number(QRandomGenerator::global()->generate()) + u'/';
        QDir().mkpath(m_program + QStringLiteral("DATA"));
        // A fresh user's data folder, so that each test starts without personal records.
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_program + QStringLiteral("home")));
        for (const char* file : {"INET.mdb", "ZELINKY.mdb", "PSC.mdb", "MP.mdb"})
            QFile::copy(QStringLiteral(ORDANA_TEST_DATA "/") + QString::fromLatin1(file),
                        m_program + QStringLiteral("DATA/") + QString::fromLatin1(file));
        m_settings = std::make_unique<platform::MemorySettingsStore>();
        m_dialogs.clear();
        m_app = std::make_unique<Application>(*m_settings, m_drives, m_dialogs, m_shell, m_program);
        m_app->directoryDbPath = QStringLiteral(ORDANA_TEST_DATA "/ordat.mdb");
    }

    // The main window in the program's font, as the program starts it.
    std::unique_ptr<MainWindow> start() {
        QApplication::setFont(platform::programFont());
        auto w = std::make_unique<MainWindow>(*m_app);
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get())) qWarning("the main window was not exposed");
        // The databases open once the first frame is painted.
        if (!QTest::qWaitFor([&] { return w->isReady() || !w->startedOk(); }))
            qWarning("the main window did not open its databases");
        return w;
    }
};

// The pages by tab: persons 0, firms 1, personal 2.
inline QTabWidget* tabsOf(MainWindow& w) {
    return w.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
}

// Every window of the program, for the tests that walk them all: a page by
// its tab number (on the information page with the list chosen by the radio
// button of that name), or another window by its name.
struct ShownWindow {
    const char* caption;
    const char* name;
    const char* choice = nullptr;
};

inline QList<ShownWindow> everyWindow() {
    return {
        {"Osoby", "0"},
        {"Firmy", "1"},
        {"Vlastní", "2"},
        {"Informace, internetové adresy", "3", "RadioButton4"},
        {"Informace, zelené linky", "3", "RadioButton1"},
        {"Informace, PSČ", "3", "RadioButton2"},
        {"Informace, mezinárodní předvolby", "3", "RadioButton3"},
        {"disc copy", "Form2"},
        {"product information", "Form3"},
        {"contact editor", "Form4"},
        {"limits", "Form5"},
        {"shortcut list", "Form6"},
        {"directory export", "Form7"},
        {"columns", "Form8"},
        {"number picker", "Form9"},
        {"import", "Form10"},
        {"personal export", "Form11"},
        {"print parameters", "Form12"},
    };
}

// The columns "name" and "choice" of a data-driven test, one row per window
// of everyWindow(), tagged with its caption.
inline void addEveryWindowRows() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("choice");
    for (const ShownWindow& shown : everyWindow())
        QTest::newRow(shown.caption) << QString::fromUtf8(shown.name)
                                     << QString::fromUtf8(shown.choice ? shown.choice : "");
}

// Shows the window of everyWindow() alone (the other windows hidden) and
// returns it; null when it is missing.
inline QWidget* showWindow(MainWindow& w, const QString& name, const QString& choice = {}) {
    for (QDialog* d : w.findChildren<QDialog*>(Qt::FindDirectChildrenOnly))
        d->hide();
    bool isTab = false;
    const int tab = name.toInt(&isTab);
    if (isTab) {
        tabsOf(w)->setCurrentIndex(tab);
        QApplication::processEvents();
        if (!choice.isEmpty()) {
            auto* radio = w.findChild<QRadioButton*>(choice);
            if (!radio) return nullptr;
            radio->click();
            QApplication::processEvents();
        }
        return &w;
    }
    auto* d = w.findChild<QDialog*>(name, Qt::FindDirectChildrenOnly);
    if (!d) return nullptr;
    d->show();
    QApplication::processEvents();
    return d;
}

// What the tests reach of a result page: its grid, buttons, query and marks.
struct PageParts {
    QWidget* page = nullptr;
    DataGrid* grid = nullptr;
    QPushButton* search = nullptr;
    QPushButton* exportButton = nullptr;
    QPushButton* print = nullptr;
    db::Dataset* query = nullptr;
    std::function<int()> marked;
    std::function<void()> toggleMark;
};

template <typename Page> PageParts partsOf(Page* page) {
    return {page,
            page->grid(),
            page->button(Page::Button::Search),
            page->button(Page::Button::Export),
            page->button(Page::Button::Print),
            &page->search()->pageQuery(),
            [page] { return page->search()->state().markedCount; },
            [page] { page->toggleMark(); }};
}

inline PageParts partsOf(MainWindow& w, int tab) {
    QWidget* page = tabsOf(w)->widget(tab);
    if (tab < 2) return partsOf(static_cast<DirectoryPage*>(page));
    return partsOf(static_cast<PersonalPage*>(page));
}

// Every personal record, column by column, in the order of their IDs.
inline QStringList personalRows(MainWindow& w) {
    db::Dataset all;
    all.setDatabase(w.personalDatabase());
    all.setSql(QStringLiteral("SELECT * FROM Vlastni ORDER BY ID"));
    all.open();
    QStringList rows;
    for (; !all.eof(); all.next()) {
        QStringList values;
        for (int i = 0; i < all.fieldCount(); ++i)
            values << all.fieldName(i) + u'=' + all.value(i).toString();
        rows << values.join(u'|');
    }
    return rows;
}

// The window's personal database through a connection of its own, as another
// copy of the program would have it, logged in from the workgroup given.
inline std::unique_ptr<db::Database> openPersonalElsewhere(MainWindow& w, const QString& workgroup) {
    db::Engine engine;
    engine.setWorkgroupFile(workgroup);
    const db::Login login = db::databaseLogin();
    return engine.openWorkspace(login.user, login.password)
        ->openDatabase(w.personalDatabase()->path(), db::personalOpenOptions());
}

// Lists the first page of the tab: persons or firms named "A…"; on the
// Vlastní page every record, after running the statements that insert them.
inline PageParts listPage(MainWindow& w, int tab, const QStringList& personalInserts = {}) {
    if (tab == 2) {
        for (const QString& insert : personalInserts)
            w.personalDatabase()->execute(insert, db::Database::FailOnError);
        static_cast<PersonalPage*>(tabsOf(w)->widget(tab))->listAll();
    } else {
        auto* page = static_cast<DirectoryPage*>(tabsOf(w)->widget(tab));
        page->field(DirectoryPage::Field::Name)->setText(QStringLiteral("A*"));
        QTest::mouseClick(page->button(DirectoryPage::Button::Search), Qt::LeftButton);
    }
    return partsOf(w, tab);
}

} // namespace app_test
