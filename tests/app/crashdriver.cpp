// A child process for the crash tests: runs the program's main window over a
// given program folder, performs one long operation on the personal records
// through its widgets and writes the ID of every personal record as soon as
// its save has returned, one per line, flushed. The test kills it part way.
// The test answers every line with one on the standard input; the driver
// runs at most kAhead records ahead of the answers, so that however fast the
// records are stored, the kill lands while the operation still runs.
//
// crashdriver PROGRAM_FOLDER DIRECTORY_DB import|transfer|editor

#include "Application.h"
#include "ContactEditor.h"
#include "DataGrid.h"
#include "DirectoryPage.h"
#include "Drives.h"
#include "ImportDialog.h"
#include "ImportSteps.h"
#include "MainWindow.h"
#include "PageTestSupport.h"
#include "PersonalPage.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"

#include "platform/WhenModal.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>

#include <cstdio>

namespace {

constexpr int kAhead = 5;

void report(const QVariant& id) {
    static int unanswered = 0;
    std::printf("%s\n", qPrintable(id.toString()));
    std::fflush(stdout);
    for (++unanswered; unanswered >= kAhead; --unanswered)
        if (std::fgetc(stdin) == EOF) break;
}

// Each row the Vlastní page's working table receives follows the save of its record.
void reportAppendedRows(PersonalPage* page) {
    db::Dataset* rows = &page->search()->pageQuery();
    QObject::connect(rows, &db::Dataset::rowAppended, rows,
                     [rows](int position) { report(rows->valueAt(position, QStringLiteral("ID"))); });
}

void runImport(MainWindow& w, platform::ScriptedDialogs& dialogs, const QString& program) {
    auto* page = w.findChild<PersonalPage*>(QStringLiteral("vlastni"));
    const QString path = program + QStringLiteral("kontakty.txt");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write the import file");
    f.write("Prijmeni\r\n");
    for (int i = 0; i < 500; ++i)
        f.write("Import" + QByteArray::number(i) + "\r\n");
    f.close();
    dialogs.answerOpen(platform::Dialogs::FileResult{path, 1});
    platform_test::whenModal<ImportDialog>([](ImportDialog* d) { app_test::importFirstColumnAsSurname(d); });
    reportAppendedRows(page);
    QTest::mouseClick(page->button(PersonalPage::Button::Import), Qt::LeftButton);
}

void runTransfer(MainWindow& w, Application& app) {
    auto* tabs = w.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    auto* persons = static_cast<DirectoryPage*>(tabs->widget(0));
    app.limits().setText(Limits::List::Persons, Limits::Kind::Displayed, QStringLiteral("50"));
    app.limits().setText(Limits::List::Persons, Limits::Kind::Searched, QStringLiteral("200"));
    persons->field(DirectoryPage::Field::Name)->setText(QStringLiteral("K*"));
    persons->button(DirectoryPage::Button::Search)->click();
    // Every row of four pages marked.
    for (int pageNo = 0; pageNo < 4; ++pageNo) {
        DataGrid* grid = persons->grid();
        for (int r = 0; r < grid->model()->rowCount(); ++r) {
            grid->setCurrentIndex(grid->model()->index(r, 2));
            persons->toggleMark();
        }
        QPushButton* next = persons->button(DirectoryPage::Button::Next);
        if (!next->isEnabled()) break;
        next->click();
    }
    auto* personal = static_cast<PersonalPage*>(tabs->widget(2));
    reportAppendedRows(personal);
    persons->findChild<QAction*>(QStringLiteral("oznacene_o"))->trigger();
}

void runEditor(MainWindow& w) {
    auto* tabs = w.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    tabs->setCurrentIndex(2);
    auto* page = static_cast<PersonalPage*>(tabs->widget(2));
    for (int i = 0; i < 400; ++i) {
        test_support::click(page, "Image15");
        auto* editor = w.findChild<ContactEditor*>(QStringLiteral("Form4"));
        auto* surname = test_support::child<QLineEdit>(editor, "DBEdit1");
        test_support::typeText(surname, QStringLiteral("Editor") + QString::number(i));
        test_support::click(editor, "ulozit");
        if (editor->isVisible()) qFatal("the save failed");
        db::Dataset last;
        last.setDatabase(w.personalDatabase());
        last.setSql(QStringLiteral("SELECT TOP 1 ID FROM Vlastni ORDER BY ID DESC"));
        last.open();
        report(last.text(QStringLiteral("ID")));
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication qapp(argc, argv);
    if (argc != 4) qFatal("usage: crashdriver PROGRAM_FOLDER DIRECTORY_DB import|transfer|editor");
    const QString program = QString::fromLocal8Bit(argv[1]);
    const QByteArray operation = argv[3];

    platform::MemorySettingsStore settings;
    platform::FixedDrives drives{{}};
    platform::ScriptedDialogs dialogs;
    test_support::NoShell shell;
    Application app(settings, drives, dialogs, shell, program);
    app.directoryDbPath = QString::fromLocal8Bit(argv[2]);
    MainWindow w(app);
    w.show();
    if (!QTest::qWaitForWindowExposed(&w)) qFatal("the main window was not exposed");
    if (!QTest::qWaitFor([&] { return w.isReady() || !w.startedOk(); }) || !w.isReady())
        qFatal("the program did not start");

    if (operation == "import")
        runImport(w, dialogs, program);
    else if (operation == "transfer")
        runTransfer(w, app);
    else if (operation == "editor")
        runEditor(w);
    else
        qFatal("unknown operation");
    for (const QString& text : dialogs.messageTexts())
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    std::printf("done\n");
    std::fflush(stdout);
    return 0;
}
