// What only the persons and firms pages do, driven through their widgets over
// a small directory: the telephone question and the count, the searched-records
// limit and the one editable column. What every result page does is in
// tst_resultpagebehaviour.

#include "ResultPageFixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace platform;
using test_support::child;

class TestSearchPage : public QObject {
    Q_OBJECT

    test_support::ResultPageFixture m_pages;
    ScriptedDialogs& m_dialogs = m_pages.dialogs();

    std::unique_ptr<test_support::ResultPageFixture::Page> makePage(bool firms) {
        return m_pages.makePage(firms ? QStringLiteral("firmy") : QStringLiteral("osoby"));
    }
    // Types the name the 25 persons ("Pokus") or firms ("Autoservis") share.
    static void typeName(QWidget* w, bool firms) {
        child<QLineEdit>(w, firms ? "firma" : "prijmeni")
            ->setText(firms ? QStringLiteral("Autoservis") : QStringLiteral("Pokus"));
    }

  private slots:
    void initTestCase() { m_pages.addListings(); }
    void init() { m_dialogs.clear(); }

    // No to the telephone question: nothing happens. The count refuses a
    // telephone number and otherwise reports every match.
    void telephoneQuestionAndCount() {
        auto page = makePage(false);
        QWidget* w = page->w();
        auto* tel = child<QLineEdit>(w, "tel");
        tel->setText(QStringLiteral("601-222 333"));
        QCOMPARE(tel->text(), QStringLiteral("601222333"));
        m_dialogs.answerMessage(Dialogs::Answer::No);
        QTest::mouseClick(child<QPushButton>(w, "Button1"), Qt::LeftButton);
        QCOMPARE(m_dialogs.shown().size(), 1);
        QCOMPARE(m_dialogs.shown().first().buttons, Dialogs::Buttons::YesNo);
        QVERIFY(page->query.isOpen() == false || page->query.isEmpty());

        page->directory()->countMatches();
        QCOMPARE(m_dialogs.messageTexts().last(),
                 QStringLiteral("Tuto funkci nelze použít při vyplněném poli telefonního čísla.   "));
        tel->clear();
        child<QLineEdit>(w, "prijmeni")->setText(QStringLiteral("Pokus"));
        page->directory()->countMatches();
        QCOMPARE(m_dialogs.messageTexts().last(),
                 QStringLiteral("Počet záznamů, které odpovídají zadaným podmínkám: 25    "));
        QCOMPARE(m_dialogs.shown().last().caption, QStringLiteral("Informace"));
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
        m_pages.app().limits().setText(list, Limits::Kind::Searched, QString());
        auto page = makePage(firms);
        QWidget* w = page->w();
        typeName(w, firms);
        QTest::mouseClick(child<QPushButton>(w, firms ? "Button6" : "Button1"), Qt::LeftButton);
        const QString head = page->directory()->search()->directoryQuery().sql().value(0);
        const int rows = child<DataGrid>(w, firms ? "DBGridPro2" : "DBGridPro1")->model()->rowCount();
        m_pages.app().limits().setText(list, Limits::Kind::Searched, QStringLiteral("200"));
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
        QWidget* w = page->w();
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
};

QTEST_MAIN(TestSearchPage)
#include "tst_searchpage.moc"
