// What only the Vlastní page does, driven through its widgets over a small
// personal database: the alphabet bar, the searches through its boxes, the
// editor asked for, its switches and the missing database. What every result
// page does is in tst_resultpagebehaviour.

#include "ResultPageFixture.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace platform;
using test_support::child;
using test_support::click;
using test_support::countsText;
using test_support::typeText;

namespace {

const QString kNormal = u"Ordana 2004 Velto"_s;

QStringList names(int from, int to) {
    QStringList out;
    for (int i = from; i <= to; ++i)
        out << test_support::personalRowName(i);
    return out;
}

} // namespace

class TestPersonalListing : public QObject {
    Q_OBJECT

    test_support::ResultPageFixture m_pages;
    ScriptedDialogs& m_dialogs = m_pages.dialogs();

    std::unique_ptr<test_support::ResultPageFixture::Page> makePage() {
        return m_pages.makePage(u"vlastni"_s);
    }

    static QString text(QWidget* w, const char* name) { return child<QLabel>(w, name)->text(); }
    static bool enabled(QWidget* w, const char* name) { return child<QPushButton>(w, name)->isEnabled(); }
    // The surname and firm of every row the grid shows, as "surname|firm".
    static QStringList shown(QWidget* w) {
        auto* grid = child<DataGrid>(w, "DBGridPro4");
        const int surname = grid->columnOf(u"Prijmeni"_s), firm = grid->columnOf(u"Firma"_s);
        QStringList out;
        for (int r = 0; r < grid->model()->rowCount(); ++r) {
            const QString f = grid->model()->index(r, firm).data().toString();
            out << grid->model()->index(r, surname).data().toString() + (f.isEmpty() ? QString() : u'|' + f);
        }
        return out;
    }

  private slots:
    void initTestCase() {
        m_pages.addListings();
        personal_test::PersonalFiles& files = m_pages.personalFiles();
        files.personal->beginTransaction();
        files.add({{"Prijmeni", "Řezník"}, {"Jmeno_1", "Jan"}});
        files.add({{"Prijmeni", "Rybář"}});
        files.add({{"Firma", "Rosa s.r.o."}});
        files.add({{"Prijmeni", "Novák"}, {"Firma", "Rychlá pošta"}});
        m_pages.addContacts();
        files.personal->commit();
    }
    void init() {
        m_dialogs.clear();
        m_pages.app().currentPageName.clear();
        m_pages.app().limits().setText(Limits::List::Personal, Limits::Kind::Displayed, u"10"_s);
    }

    // A letter of the alphabet bar lists the records whose surname or firm
    // starts with a letter of its group, by surname then firm, and leaves the
    // boxes alone (so does the all-records picture, for every record); a letter nobody starts with lists
    // nothing, without a message, and the focus goes to the first filled box.
    void letters_data() {
        QTest::addColumn<int>("x");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("r, ř") << 315
                              << QStringList{u"|Rosa s.r.o."_s, u"Novák|Rychlá pošta"_s, u"Rybář"_s,
                                             u"Řezník"_s};
        QTest::newRow("j") << 170 << QStringList{u"Jednička"_s};
        QTest::newRow("z, ž") << 460 << names(1, 10);
        QTest::newRow("q") << 300 << QStringList{};
        // The all-records picture beside the bar: every record, in the same order.
        QTest::newRow("all records") << -1
                                     << QStringList{u"|Rosa s.r.o."_s, u"Dvořák|Kestrava"_s,
                                                    u"Jednička"_s,     u"Novák|Rychlá pošta"_s,
                                                    u"Rybář"_s,        u"Řezník"_s} +
                                            names(1, 4);
    }
    void letters() {
        QFETCH(int, x);
        QFETCH(QStringList, rows);
        auto page = makePage();
        QWidget* w = page->w();
        child<QLineEdit>(w, "jmeno_v")->setText(u"nic"_s);
        auto* bar = child<QWidget>(w, "Image17");
        if (x < 0)
            click(w, "Image18");
        else
            QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(x, bar->height() / 2));
        QCOMPARE(shown(w), rows);
        QCOMPARE(child<QLineEdit>(w, "jmeno_v")->text(), u"nic"_s);
        QVERIFY(m_dialogs.shown().isEmpty());
        QCOMPARE(m_pages.app().currentPageName, u"vlastni"_s);
        QCOMPARE(enabled(w, "Button8"), rows.size() == 10);
        QCOMPARE(text(w, "dones_v"), countsText(int(rows.size()), 0));
        QCOMPARE(QApplication::focusWidget(),
                 rows.isEmpty() ? child<QWidget>(w, "jmeno_v") : child<QWidget>(w, "DBGridPro4"));
    }

    // Searches through the boxes: the cleaned text is written back; a search
    // that passes the checks but finds nothing shows no message and focuses
    // the first filled box.
    void searches_data() {
        QTest::addColumn<QStringList>("typed"); // box, text, box, text …
        QTest::addColumn<QStringList>("after"); // the same boxes after the search
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("focus");
        const QStringList dvorak{u"Dvořák|Kestrava"_s};
        QTest::newRow("Czech surname") << QStringList{"prijmeni_v", u"Řezník"_s} << QStringList{u"Řezník"_s}
                                       << QStringList{u"Řezník"_s} << "DBGridPro4";
        QTest::newRow("street of the work address")
            << QStringList{"ulice_v", u"Pracovní"_s} << QStringList{u"Pracovní"_s} << dvorak << "DBGridPro4";
        QTest::newRow("town switch on")
            << QStringList{"mesto_v", u"Pra"_s} << QStringList{u"Pra*"_s} << dvorak << "DBGridPro4";
        QTest::newRow("postal code blanks")
            << QStringList{"psc_v", u"110 00"_s} << QStringList{u"11000"_s} << dvorak << "DBGridPro4";
        QTest::newRow("telephone") << QStringList{"tel_v", u"541 210 100"_s} << QStringList{u"541210100"_s}
                                   << dvorak << "DBGridPro4";
        QTest::newRow("telephone nobody has") << QStringList{"tel_v", u"123 456 789"_s}
                                              << QStringList{u"123456789"_s} << QStringList{} << "tel_v";
        QTest::newRow("surname without that number")
            << QStringList{"tel_v", u"1"_s, "prijmeni_v", u"Dvořák"_s} << QStringList{u"1"_s, u"Dvořák"_s}
            << QStringList{} << "prijmeni_v";
    }
    void searches() {
        QFETCH(QStringList, typed);
        QFETCH(QStringList, after);
        QFETCH(QStringList, rows);
        QFETCH(QString, focus);
        auto page = makePage();
        QWidget* w = page->w();
        for (int i = 0; i + 1 < typed.size(); i += 2) {
            auto* box = child<QLineEdit>(w, qPrintable(typed[i]));
            box->setFocus();
            typeText(box, typed[i + 1]);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        for (int i = 0; i + 1 < typed.size(); i += 2)
            QCOMPARE(child<QLineEdit>(w, qPrintable(typed[i]))->text(), after[i / 2]);
        QCOMPARE(shown(w), rows);
        QVERIFY(m_dialogs.shown().isEmpty());
        QCOMPARE(QApplication::focusWidget(), child<QWidget>(w, qPrintable(focus)));
        QVERIFY(!enabled(w, "Button8"));
        QVERIFY(enabled(w, "BitBtn3"));
    }

    // The status line tells the number of records; selecting a row shows it
    // in the label; a double click asks for the editor.
    void selectionAndDoubleClick() {
        auto page = makePage();
        QWidget* w = page->w();
        auto* grid = child<DataGrid>(w, "DBGridPro4");
        click(w, "Image18");
        QCOMPARE(text(w, "Label57"), u"Celkový počet záznamů: 31  "_s);
        QSignalSpy edits(page->personal(), &PersonalPage::editRequested);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, page->rowPoint(2, false));
        QCOMPARE(child<QPlainTextEdit>(w, "Memo3")->toPlainText(), u"Jednička\n\nTelefon:   777 000 111"_s);
        QCOMPARE(text(w, "dones_v"), countsText(10, 0));
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, page->rowPoint(1, false));
        QCOMPARE(edits.count(), 1);
        QCOMPARE(page->personal()->search()->currentRow()->id2, 2);
    }

    // The wildcard switch of a box takes its trailing "*" when switched off;
    // the telephone box keeps digits only.
    void switchesAndTelephone() {
        auto page = makePage();
        QWidget* w = page->w();
        auto* town = child<QLineEdit>(w, "mesto_v");
        auto* townSwitch = child<WildcardSwitch>(w, "Label52");
        QVERIFY(townSwitch->isOn());
        town->setText(u"Pra*"_s);
        QTest::mouseClick(townSwitch, Qt::LeftButton);
        QVERIFY(!townSwitch->isOn());
        QCOMPARE(town->text(), u"Pra"_s);
        auto* tel = child<QLineEdit>(w, "tel_v");
        tel->setFocus();
        QTest::keyClicks(tel, u"60a2 12-3"_s);
        QCOMPARE(tel->text(), u"602123"_s);
    }

    // An engine error during a listing is shown with its message and leaves
    // the page idle, ready for the next request.
    void engineErrorLeavesPageIdle() {
        auto page = makePage();
        QWidget* w = page->w();
        page->personalMissing = true;
        click(w, "Image18");
        QCOMPARE(m_dialogs.messageTexts(), QStringList{u"Databáze vlastních záznamů není otevřena."_s});
        for (const char* name : {"BitBtn3", "BitBtn5", "BitBtn4", "BitBtn7"})
            QVERIFY2(enabled(w, name), name);
        QVERIFY(!enabled(w, "BitBtn6"));
        QVERIFY(!enabled(w, "Button8"));
        QCOMPARE(w->windowTitle(), kNormal);
        QVERIFY(!QApplication::overrideCursor());

        page->personalMissing = false;
        m_dialogs.clear();
        click(w, "Image18");
        QVERIFY(m_dialogs.shown().isEmpty());
        QCOMPARE(shown(w).size(), 10);
    }
};

QTEST_MAIN(TestPersonalListing)
#include "tst_personallisting.moc"
