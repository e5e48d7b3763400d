// Directory records taken over into the personal contacts through the main
// window: the pages' requests reach the transfers, the contact editor and the
// Vlastní page show the outcome, every message goes through the dialogs.

#include "ContactEditing.h"
#include "ContactEditor.h"
#include "DirectoryPage.h"
#include "Drives.h"
#include "MainWindow.h"
#include "MainWindowFixture.h"
#include "PageWidgets.h"
#include "PersonalPage.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "Shell.h"
#include "Transfers.h"

#include <QAbstractItemView>
#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace platform;

namespace {

qint64 personalCount(MainWindow& w) {
    db::Dataset count;
    count.setDatabase(w.personalDatabase());
    count.setSql(QStringLiteral("select count(*) as pocet from vlastni"));
    count.open();
    return count.text(QStringLiteral("pocet")).toLongLong();
}

void fillPersonal(MainWindow& w, int records) {
    for (int i = 0; i < records; ++i)
        w.personalDatabase()->execute(QStringLiteral("INSERT INTO Vlastni (Prijmeni) VALUES (\"Plný\")"),
                                      db::Database::FailOnError);
}

} // namespace

class TestTransferWiring : public app_test::MainWindowTest {
    Q_OBJECT

    // Lists the first page of a directory search on the persons (0) or firms (1) page.
    DirectoryPage* searchDirectory(MainWindow& w, int tab, const char* box, const QString& text) {
        app_test::tabsOf(w)->setCurrentIndex(tab);
        auto* page = static_cast<DirectoryPage*>(app_test::tabsOf(w)->widget(tab));
        page->findChild<QLineEdit*>(QString::fromLatin1(box))->setText(text);
        QTest::mouseClick(page->button(DirectoryPage::Button::Search), Qt::LeftButton);
        return page;
    }

    static ContactEditor* editorOf(MainWindow& w) {
        return w.findChild<ContactEditor*>(QStringLiteral("Form4"));
    }
    // The editor is made when first opened.
    static bool editorShown(MainWindow& w) {
        ContactEditor* editor = editorOf(w);
        return editor && editor->isVisible();
    }

    static void doubleClickRow(DirectoryPage* page, int row) {
        QAbstractItemView* grid = page->grid();
        const QRect cell = grid->visualRect(grid->model()->index(row, 2));
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }

  private slots:
    void init() { resetProgram(); }

    // A double click on a person opens the editor on a new record holding that
    // person, with the home address; "Zpět" takes the record out again.
    void doubleClickOpensEditorAndBackRemoves() {
        auto w = start();
        DirectoryPage* persons = searchDirectory(*w, 0, "prijmeni", QStringLiteral("A*"));
        QVERIFY2(m_dialogs.messageTexts().isEmpty(), qPrintable(m_dialogs.messageTexts().join(u'|')));
        QVERIFY(persons->grid()->model()->rowCount() > 1);
        doubleClickRow(persons, 1);
        const QString surname = persons->search()->pageQuery().text(QStringLiteral("Prijmeni"));
        QVERIFY(!surname.isEmpty());

        ContactEditor* editor = editorOf(*w);
        QVERIFY2(m_dialogs.messageTexts().isEmpty(), qPrintable(m_dialogs.messageTexts().join(u'|')));
        QVERIFY(editor->isVisible());
        QVERIFY(editor->editing()->isNewRecord());
        QCOMPARE(editor->field(ContactEditor::Field::Surname)->text(), surname);
        QVERIFY(editor->kindPicture(ContactEditor::AddressKind::Home, true)->isVisible());
        QCOMPARE(personalCount(*w), 1);

        QTest::mouseClick(editor->button(ContactEditor::Button::Back), Qt::LeftButton);
        QCOMPARE(personalCount(*w), 0);
        QVERIFY(!editor->isVisible());
    }

    // Marked firms are stored without the editor and shown on the Vlastní page.
    void markedFirmsShownOnPersonalPage() {
        auto w = start();
        DirectoryPage* firms = searchDirectory(*w, 1, "firma", QStringLiteral("A"));
        QCOMPARE(firms->grid()->model()->rowCount(), 10);
        for (int row : {0, 2, 4}) {
            firms->grid()->setCurrentIndex(firms->grid()->model()->index(row, 2));
            firms->toggleMark();
        }
        QCOMPARE(firms->search()->state().markedCount, 3);
        firms->contextMenu()->findChild<QAction*>(QStringLiteral("oznacene_f"))->trigger();

        QVERIFY2(m_dialogs.messageTexts().isEmpty(), qPrintable(m_dialogs.messageTexts().join(u'|')));
        QCOMPARE(personalCount(*w), 3);
        auto* tabs = w->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
        QCOMPARE(tabs->currentIndex(), 2);
        QCOMPARE(w->findChild<QAbstractItemView*>(QStringLiteral("DBGridPro4"))->model()->rowCount(), 3);
        QVERIFY(!editorShown(*w));
    }

    // At the record limit nothing is stored and the operation's message is shown.
    void limitRefusal_data() {
        QTest::addColumn<bool>("marked");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("message");
        QTest::newRow("one record") << false << 500 << Transfers::singleLimitMessage();
        QTest::newRow("marked records") << true << 499 << Transfers::bulkLimitMessage();
    }
    void limitRefusal() {
        QFETCH(bool, marked);
        QFETCH(int, stored);
        QFETCH(QString, message);
        auto w = start();
        fillPersonal(*w, stored);
        DirectoryPage* firms = searchDirectory(*w, 1, "firma", QStringLiteral("A"));
        for (int row : {0, 1}) {
            firms->grid()->setCurrentIndex(firms->grid()->model()->index(row, 2));
            if (marked) firms->toggleMark();
        }
        if (marked)
            firms->contextMenu()->findChild<QAction*>(QStringLiteral("oznacene_f"))->trigger();
        else
            QTest::mouseClick(firms->image(DirectoryPage::Image::Transfer), Qt::LeftButton);

        QCOMPARE(m_dialogs.messageTexts(), QStringList{message});
        QCOMPARE(m_dialogs.shown().last().caption, Dialogs::kInformation);
        QCOMPARE(m_dialogs.shown().last().icon, Dialogs::Icon::Information);
        QCOMPARE(personalCount(*w), stored);
        QVERIFY(!editorShown(*w));
        QCOMPARE(w->findChild<QTabWidget*>(QStringLiteral("PageControl1"))->currentIndex(), 1);
    }

    // An engine error reaches the user as a warning with its message; nothing
    // opens and the page stays.
    void engineError_data() {
        QTest::addColumn<bool>("marked");
        QTest::newRow("one record") << false;
        QTest::newRow("marked records") << true;
    }
    void engineError() {
        QFETCH(bool, marked);
        auto w = start();
        DirectoryPage* firms = searchDirectory(*w, 1, "firma", QStringLiteral("A"));
        firms->grid()->setCurrentIndex(firms->grid()->model()->index(0, 2));
        firms->toggleMark();
        w->personalDatabase()->execute(QStringLiteral("DROP TABLE Vlastni"), db::Database::FailOnError);
        if (marked)
            firms->contextMenu()->findChild<QAction*>(QStringLiteral("oznacene_f"))->trigger();
        else
            QTest::mouseClick(firms->image(DirectoryPage::Image::Transfer), Qt::LeftButton);

        QCOMPARE(m_dialogs.shown().size(), 1);
        QCOMPARE(m_dialogs.shown().last().caption, Dialogs::kWarning);
        QVERIFY(!m_dialogs.shown().last().text.isEmpty());
        QVERIFY(!editorShown(*w));
        QCOMPARE(w->findChild<QTabWidget*>(QStringLiteral("PageControl1"))->currentIndex(), 1);
    }

    // The transfer image without a selected row asks for one first.
    void noSelectedRow() {
        auto w = start();
        auto* tabs = w->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
        auto* persons = static_cast<DirectoryPage*>(tabs->widget(0));
        tabs->setCurrentIndex(0);
        QTest::mouseClick(persons->image(DirectoryPage::Image::Transfer), Qt::LeftButton);
        QCOMPARE(m_dialogs.messageTexts(), QStringList{Transfers::noSelectionMessage()});
        QCOMPARE(m_dialogs.shown().last().caption, Dialogs::kInformation);
        QCOMPARE(m_dialogs.shown().last().icon, Dialogs::Icon::Information);
        QCOMPARE(personalCount(*w), 0);
    }

    void partialFailureMessage() {
        QCOMPARE(MainWindow::partialTransferMessage(2, QStringLiteral("disk %1 full")),
                 QStringLiteral("Přenos byl přerušen, přeneseno záznamů: 2. disk %1 full"));
    }
};

QTEST_MAIN(TestTransferWiring)
#include "tst_transferwiring.moc"
