// The personal database of the earlier installation through the "Soubor"
// menu: the item beside the other imports asks for the file, posts its
// records and shows them on the Vlastní page; a file of another kind imports
// nothing.

#include "MainWindowFixture.h"

#include "io/OldDatabaseFixture.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

using namespace platform;
using namespace Qt::StringLiterals;

class TestOldImportWiring : public app_test::MainWindowTest {
    Q_OBJECT

  private slots:
    void init() { resetProgram(); }

    void importFromMenu() {
        auto w = start();
        app_test::tabsOf(*w)->setCurrentIndex(0);

        // The item follows the vCard import in the "Soubor" menu.
        QMenu* file = w->menuBar()->actions().value(0)->menu();
        QVERIFY(file);
        const QList<QAction*> items = file->actions();
        auto* action = w->findChild<QAction*>(u"oldDatabaseImport"_s);
        QVERIFY(action);
        QCOMPARE(items.indexOf(action), items.indexOf(w->findChild<QAction*>(u"vcardImport"_s)) + 1);
        QCOMPARE(action->text().remove(u'&'), u"Import ze starší vlastní databáze…"_s);

        const QString path = m_program + u"vlastni.mdb"_s;
        const std::vector<jet::Column> columns = old_database_test::oldColumns();
        old_database_test::writeOldDatabase(
            path, u"Vlastni"_s, columns,
            {old_database_test::oldRow(columns, {{u"ID"_s, 7},
                                                 {u"Prijmeni"_s, u"Čermák"_s},
                                                 {u"zam_Obec"_s, u"Brno"_s},
                                                 {u"zobraz_adr"_s, u"zam"_s}}),
             old_database_test::oldRow(columns, {{u"ID"_s, 9}, {u"Firma"_s, u"Stavby Říčany"_s}})});
        m_dialogs.answerOpen(Dialogs::FileResult{path, 1});
        action->trigger();
        QCOMPARE(m_dialogs.shown().value(0).kind, u"open"_s);
        QCOMPARE(m_dialogs.shown().value(0).file.filter, u"Vlastní databáze|*.mdb|Všechny soubory|*.*"_s);
        QCOMPARE(m_dialogs.messageTexts(), QStringList{u"Bylo importováno 2 záznamů.    "_s});
        QCOMPARE(app_test::tabsOf(*w)->currentIndex(), 2);
        const app_test::PageParts parts = app_test::partsOf(*w, 2);
        QCOMPARE(parts.grid->model()->rowCount(), 2);
        parts.query->first();
        QCOMPARE(parts.query->text(u"Prijmeni"_s), u"Čermák"_s);
        QCOMPARE(parts.query->text(u"Obec"_s), u"Brno"_s);
        parts.query->next();
        QCOMPARE(parts.query->text(u"Firma"_s), u"Stavby Říčany"_s);

        // A file of another kind imports nothing and leaves the page as it was.
        m_dialogs.clear();
        QFile text(m_program + u"kontakty.txt"_s);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("Jan;Nov\xC3\xA1k\r\n");
        text.close();
        m_dialogs.answerOpen(Dialogs::FileResult{text.fileName(), 1});
        action->trigger();
        const QStringList messages = m_dialogs.messageTexts();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(QDir::toNativeSeparators(text.fileName())), qPrintable(messages[0]));
        QVERIFY2(messages[0].endsWith(u"\nNic nebylo importováno.    "_s), qPrintable(messages[0]));
        QCOMPARE(m_dialogs.shown().value(1).caption, u"Upozornění"_s);
        QCOMPARE(parts.grid->model()->rowCount(), 2);
    }
};

QTEST_MAIN(TestOldImportWiring)
#include "tst_oldimportwiring.moc"
