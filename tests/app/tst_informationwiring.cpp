// The information page inside the main window: entering it opens the default
// list, and its hand-overs fill the persons and firms searches.

#include "MainWindowFixture.h"

#include "InformationPage.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QtTest>

class TestInformationWiring : public app_test::MainWindowTest {
    Q_OBJECT

    std::unique_ptr<MainWindow> m_window;
    InformationPage* m_info = nullptr;

    DirectoryPage* directory(int tab) const {
        return static_cast<DirectoryPage*>(app_test::tabsOf(*m_window)->widget(tab));
    }
    // Shows the list with its current row on the given row.
    ReferenceListQuery* show(InformationPage::List list, int row) {
        m_info->chooseList(list);
        m_info->listQuery()->dataset().moveBy(row);
        return m_info->listQuery();
    }

  private slots:
    // The window on the information page.
    void init() {
        resetProgram();
        m_window = start();
        m_info = static_cast<InformationPage*>(app_test::tabsOf(*m_window)->widget(3));
        QVERIFY(!m_info->listQuery()->isOpen());
        app_test::tabsOf(*m_window)->setCurrentIndex(3);
    }
    void cleanup() { m_window.reset(); }

    // Entering the page opens the internet addresses; the list and its row
    // stay when the user leaves and comes back.
    void enteringOpensDefaultList() {
        QCOMPARE(m_app->currentPageName, QStringLiteral("informace"));
        QCOMPARE(m_info->currentList(), InformationPage::List::InternetAddresses);
        QVERIFY(m_info->listQuery()->rowCount() > 1);
        m_info->listQuery()->dataset().next();
        app_test::tabsOf(*m_window)->setCurrentIndex(0);
        app_test::tabsOf(*m_window)->setCurrentIndex(3);
        QCOMPARE(m_info->listQuery()->dataset().recNo(), 1);
        QCOMPARE(m_dialogs.messageTexts(), QStringList());
    }

    void placeToSearchPage_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("tab");
        QTest::newRow("persons") << int(InformationPage::Command::ToPersons) << 0;
        QTest::newRow("firms") << int(InformationPage::Command::ToFirms) << 1;
    }

    // A postal code row ("123 45") fills the postal code ("12345") and the
    // municipality of the persons or firms page, which is shown; no search starts.
    void placeToSearchPage() {
        QFETCH(int, command);
        QFETCH(int, tab);
        ReferenceListQuery* list = show(InformationPage::List::PostalCodes, 2);
        const QString stored = list->currentValue(QStringLiteral("psc"));
        QCOMPARE(stored.mid(3, 1), QStringLiteral(" "));
        m_info->command(InformationPage::Command(command))->trigger();

        QCOMPARE(app_test::tabsOf(*m_window)->currentIndex(), tab);
        DirectoryPage* page = directory(tab);
        QCOMPARE(page->field(DirectoryPage::Field::PostalCode)->text(), stored.left(3) + stored.mid(4));
        QCOMPARE(page->field(DirectoryPage::Field::Town)->text(), list->currentValue(QStringLiteral("obec")));
        QCOMPARE(page->grid()->model()->rowCount(), 0);
        QCOMPARE(m_dialogs.messageTexts().size(), 1);
    }

    // A firm of the internet list (the generated list takes them from the
    // directory) goes to the firms page as a name prefix after the page's
    // other boxes were cleared, and the firms search runs.
    void firmToFirmsSearch() {
        DirectoryPage* firms = directory(1);
        firms->field(DirectoryPage::Field::SecondName)->setText(QStringLiteral("Qxq"));
        ReferenceListQuery* query = show(InformationPage::List::InternetAddresses, 5);
        const QString firm = query->currentValue(QStringLiteral("firma"));
        QTest::mouseClick(m_info->searchButton(), Qt::LeftButton);

        QCOMPARE(m_app->currentPageName, QStringLiteral("firmy"));
        QCOMPARE(firms->field(DirectoryPage::Field::Name)->text(), firm + u'*');
        QCOMPARE(firms->field(DirectoryPage::Field::SecondName)->text(), QString());
        QCOMPARE(m_dialogs.messageTexts(), QStringList());
        QVERIFY(firms->search()->pageQuery().text(QStringLiteral("Firma")).startsWith(firm));
    }
};

QTEST_MAIN(TestInformationWiring)
#include "tst_informationwiring.moc"
