// The Vlastní page's import through the main window: "I&mport" opens the
// import window, the records go through the page's personal cursor, and the
// page shows them with its counts.

#include "ContactImport.h"
#include "ImportDialog.h"
#include "ImportSteps.h"
#include "MainWindowFixture.h"
#include "platform/WhenModal.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTableView>

using namespace platform;

class TestImportWiring : public app_test::MainWindowTest {
    Q_OBJECT

    QString writeFile(const QByteArray& bytes) {
        const QString path = m_program + QStringLiteral("kontakty.csv");
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) qFatal("cannot write the file");
        return path;
    }

    // Opens the import window from the page, loads the file, maps its first
    // column to the surname, imports and closes the window.
    void importThroughPage(PersonalPage* page, const QString& path) {
        m_dialogs.answerOpen(Dialogs::FileResult{path, 1});
        bool ran = false;
        platform_test::whenModal<ImportDialog>([&ran](ImportDialog* d) {
            app_test::importFirstColumnAsSurname(d);
            ran = true;
        });
        QTest::mouseClick(page->button(PersonalPage::Button::Import), Qt::LeftButton);
        QVERIFY(ran);
    }

    // The records in the file, as another copy of the program would read them.
    int storedRecords(MainWindow& w) {
        auto other = app_test::openPersonalElsewhere(w, m_app->engine().workgroupFile());
        db::Dataset count;
        count.setDatabase(other.get());
        count.setSql(QStringLiteral("SELECT count(*) AS n FROM Vlastni"));
        count.open();
        return count.text(QStringLiteral("n")).toInt();
    }

  private slots:
    void init() { resetProgram(); }

    // A listing on the page keeps its rows; the imported ones follow them.
    void importShownOnPage_data() {
        QTest::addColumn<bool>("listing");
        QTest::addColumn<int>("rows");
        QTest::newRow("no listing") << false << 2;
        QTest::newRow("after listing all") << true << 3;
    }
    void importShownOnPage() {
        QFETCH(bool, listing);
        QFETCH(int, rows);
        auto w = start();
        app_test::tabsOf(*w)->setCurrentIndex(2);
        auto* page = static_cast<PersonalPage*>(app_test::tabsOf(*w)->widget(2));
        w->personalDatabase()->execute(QStringLiteral("INSERT INTO Vlastni (Prijmeni) VALUES (\"Starý\")"),
                                       db::Database::FailOnError);
        if (listing) page->listAll();
        importThroughPage(page, writeFile("Příjmení\r\nNovák\r\nSvoboda\r\n"));
        QCOMPARE(m_dialogs.messageTexts(), QStringList{QStringLiteral("Bylo importováno 2 záznamů.    ")});
        auto* owner = m_dialogs.shown().last().owner;
        QVERIFY(qobject_cast<ImportDialog*>(owner));
        QCOMPARE(page->grid()->model()->rowCount(), rows);
        QCOMPARE(page->search()->state().foundCount, rows);
        // Each record is on disk once it is posted.
        QCOMPARE(storedRecords(*w), 3);
    }

    // The personal database keeps each posted record safe from a killed
    // program through its write-ahead log, without a wait for the disk per
    // record (the crash test kills an import part way); the log lies beside
    // the file while the program runs.
    void personalDatabaseLogged() {
        auto w = start();
        w->personalDatabase()->execute(QStringLiteral("INSERT INTO Vlastni (Prijmeni) VALUES (\"Zapsaný\")"),
                                       db::Database::FailOnError);
        QVERIFY(QFileInfo(w->personalDatabase()->path() + QStringLiteral("-wal")).size() > 0);
    }
};

QTEST_MAIN(TestImportWiring)
#include "tst_importwiring.moc"
