// The information page inside the main window: entering it opens the default
// list, and its hand-overs fill the persons and firms searches.

#include "MainWindowFixture.h"

#include "DataGrid.h"
#include "DirectoryPage.h"
#include "InformationPage.h"
#include "MainWindow.h"
#include "ReferenceListQuery.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

InformationPage* informationOf(MainWindow& w) {
    return static_cast<InformationPage*>(apptest::tabsOf(w)->widget(3));
}

DirectoryPage* directoryOf(MainWindow& w, int tab) {
    return static_cast<DirectoryPage*>(apptest::tabsOf(w)->widget(tab));
}

} // namespace

class TestInformationWiring : public apptest::MainWindowTest {
    Q_OBJECT

    // The generated reference lists in the program's DATA folder.
    void copyLists() {
        for (const char* file : {"INET.mdb", "ZELINKY.mdb", "PSC.mdb", "MP.mdb"})
            QVERIFY(QFile::copy(QStringLiteral(ORDANA_TEST_DATA "/") + QString::fromLatin1(file),
                                m_program + QStringLiteral("DATA/") + QString::fromLatin1(file)));
    }

  private slots:
    void init() {
        resetProgram();
        copyLists();
    }

    // Entering the page opens the internet addresses; the list stays open
    // when the user leaves and comes back.
    void enteringOpensDefaultList() {
        auto w = start();
        InformationPage* info = informationOf(*w);
        QVERIFY(!info->listQuery()->isOpen());
        apptest::tabsOf(*w)->setCurrentIndex(3);
        QCOMPARE(m_app->currentPageName, u8("informace"));
        QVERIFY(info->listQuery()->isOpen());
        QCOMPARE(info->currentList(), InformationPage::List::InternetAddresses);
        const int rows = info->listQuery()->rowCount();
        QVERIFY(rows > 0);
        QVERIFY(info->recordCount()->text().startsWith(u8("Celkový počet záznamů: ")));

        QVERIFY(info->listQuery()->locate(0, info->listQuery()->dataset().valueAt(rows - 1, 0).toString()));
        const int position = info->listQuery()->dataset().recNo();
        apptest::tabsOf(*w)->setCurrentIndex(0);
        apptest::tabsOf(*w)->setCurrentIndex(3);
        QCOMPARE(info->listQuery()->dataset().recNo(), position);
        QVERIFY2(m_dialogs.messageTexts().isEmpty(), qPrintable(m_dialogs.messageTexts().join(u'|')));
    }

    // The page opens on the information page when it was the last one used.
    void startsOnInformationPage() {
        auto key = m_settings->open(platform::Root::CurrentUser, platform::kProgramKey + QStringLiteral("Pozice"),
                                    platform::Access::All, true);
        key->writeString(QStringLiteral("TABS"), QStringLiteral("3"));
        auto w = start();
        QCOMPARE(apptest::tabsOf(*w)->currentIndex(), 3);
        QVERIFY(informationOf(*w)->listQuery()->isOpen());
    }

    void placeToSearchPage_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("codeBox");
        QTest::addColumn<QString>("townBox");
        QTest::newRow("persons") << int(InformationPage::Command::ToPersons) << 0 << u8("psc") << u8("mesto");
        QTest::newRow("firms") << int(InformationPage::Command::ToFirms) << 1 << u8("psc_f") << u8("mesto_f");
    }

    // A postal code row fills the postal code without its blank and the
    // municipality of the persons or firms page, which is then shown; no
    // search starts.
    void placeToSearchPage() {
        QFETCH(int, command);
        QFETCH(int, tab);
        QFETCH(QString, codeBox);
        QFETCH(QString, townBox);
        auto w = start();
        apptest::tabsOf(*w)->setCurrentIndex(3);
        InformationPage* info = informationOf(*w);
        info->chooseList(InformationPage::List::PostalCodes);
        ReferenceListQuery* list = info->listQuery();
        list->dataset().moveBy(2);
        const QString stored = list->currentValue(QStringLiteral("psc"));
        const QString town = list->currentValue(QStringLiteral("obec"));
        QCOMPARE(stored.size(), 6);
        QCOMPARE(stored.at(3), u' ');

        info->command(InformationPage::Command(command))->trigger();
        QCOMPARE(apptest::tabsOf(*w)->currentIndex(), tab);
        DirectoryPage* page = directoryOf(*w, tab);
        QCOMPARE(page->findChild<QLineEdit*>(codeBox)->text(), stored.left(3) + stored.mid(4));
        QCOMPARE(page->findChild<QLineEdit*>(townBox)->text(), town);
        QCOMPARE(page->grid()->model()->rowCount(), 0);
        QCOMPARE(m_dialogs.messageTexts().size(), 1);
        QVERIFY(m_dialogs.messageTexts().first().startsWith(u8("Přenášené údaje")));
    }

    void firmToFirmsSearch_data() {
        QTest::addColumn<int>("list");
        QTest::addColumn<bool>("viaButton");
        QTest::addColumn<QString>("noteAfter"); // the firms page's note box after the search
        QTest::newRow("internet button clears the other boxes")
            << int(InformationPage::List::InternetAddresses) << true << QString();
        QTest::newRow("free-phone button clears the other boxes")
            << int(InformationPage::List::FreephoneLines) << true << QString();
        QTest::newRow("menu keeps them") << int(InformationPage::List::InternetAddresses) << false << u8("Qxq");
    }

    // A firm of a list goes to the firms page as a name prefix and the firms
    // search runs on it; the button clears the page's other boxes first.
    void firmToFirmsSearch() {
        QFETCH(int, list);
        QFETCH(bool, viaButton);
        QFETCH(QString, noteAfter);
        auto w = start();
        DirectoryPage* firms = directoryOf(*w, 1);
        firms->field(DirectoryPage::Field::SecondName)->setText(u8("Qxq"));
        apptest::tabsOf(*w)->setCurrentIndex(3);
        InformationPage* info = informationOf(*w);
        info->chooseList(InformationPage::List(list));
        // A firm of the directory: the generated lists take firms from it.
        ReferenceListQuery* query = info->listQuery();
        query->dataset().last();
        const QString firm = query->currentValue(query->description().columns.first().field);

        if (viaButton)
            QTest::mouseClick(info->searchButton(), Qt::LeftButton);
        else
            info->command(InformationPage::Command::SearchFirms)->trigger();
        QCOMPARE(apptest::tabsOf(*w)->currentIndex(), 1);
        QCOMPARE(m_app->currentPageName, u8("firmy"));
        QCOMPARE(firms->field(DirectoryPage::Field::Name)->text(), firm + u'*');
        QCOMPARE(firms->field(DirectoryPage::Field::SecondName)->text(), noteAfter);
        if (!noteAfter.isEmpty()) return; // no firm has that note: the search finds nothing
        QVERIFY2(m_dialogs.messageTexts().isEmpty(), qPrintable(m_dialogs.messageTexts().join(u'|')));
        QVERIFY(firms->grid()->model()->rowCount() > 0);
        QVERIFY(firms->search()->pageQuery().text(QStringLiteral("Firma")).startsWith(firm));
    }
};

QTEST_MAIN(TestInformationWiring)
#include "tst_informationwiring.moc"
