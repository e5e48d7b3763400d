// Printing marked records as address labels through the main window: the
// "&Tisk" buttons of the three pages, their messages and dialogs, the job on a
// PDF printer, and the pages as they stand afterwards.

#include "DirectoryPage.h"
#include "Drives.h"
#include "LabelJob.h"
#include "MainWindow.h"
#include "MainWindowFixture.h"
#include "PersonalPage.h"
#include "PrintParametersDialog.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "Shell.h"
#include "platform/WhenModal.h"

#include <QAbstractItemView>
#include <QDir>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

using namespace platform;
using namespace app_test;

namespace {

const QString kNoMarks = u"Není označen žádný záznam pro tisk.    "_s;

// The pages of a PDF file; -1 when there is none.
int pdfPages(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    return int(file.readAll().count("/Type /Page\n"));
}

// What a page shows: its statement, current row, rows and their marks.
struct PageLook {
    QString sql;
    int row = -1;
    int gridRow = -1;
    int rows = 0;
    QList<bool> marks;
    int marked = 0;
    bool operator==(const PageLook&) const = default;
};

PageLook lookOf(const PageParts& p) {
    PageLook look;
    look.sql = p.query->sqlText();
    look.row = p.query->recNo();
    look.gridRow = p.grid->currentIndex().row();
    look.rows = p.grid->model()->rowCount();
    for (int i = 0; i < p.query->recordCount(); ++i)
        look.marks.append(p.query->valueAt(i, u"Zn"_s).toBool());
    look.marked = p.marked();
    return look;
}

} // namespace

class TestPrintWiring : public app_test::MainWindowTest {
    Q_OBJECT

    QString m_pdf;

    // Lists the first page of a page: a directory search for name or every personal record.
    PageParts list(MainWindow& w, int tab, const QString& name = u"A*"_s) {
        tabsOf(w)->setCurrentIndex(tab);
        PageParts p = partsOf(w, tab);
        if (tab < 2) {
            const char* box = tab == 0 ? "prijmeni" : "firma";
            p.page->findChild<QLineEdit*>(QString::fromUtf8(box))->setText(name);
            QTest::mouseClick(p.search, Qt::LeftButton);
        } else {
            for (int i = 0; i < 5; ++i)
                w.personalDatabase()->execute(
                    u"INSERT INTO Vlastni (Prijmeni, Jmeno_1, Firma, zobraz_adr, domu_Obec, Tel_2) VALUES "
                    "(\"Malá"_s +
                        QString::number(i) + u"\", \"Eva\", \"Vzor a.s.\", \"domu\", \"Brno\", \"602\")"_s,
                    db::Database::FailOnError);
            static_cast<PersonalPage*>(p.page)->listAll();
        }
        return p;
    }

    static void mark(const PageParts& p, std::initializer_list<int> rows) {
        for (int row : rows) {
            p.grid->setCurrentIndex(p.grid->model()->index(row, 2));
            p.toggleMark();
        }
    }

    // The next print dialog prints to the PDF file.
    void answerPrintToFile(const QString& path) {
        m_dialogs.answerPrint(true);
        m_dialogs.printerSetup = [path](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
        };
    }

  private slots:
    void init() {
        resetProgram();
        m_pdf = m_program + u"stitky.pdf"_s;
    }

    void noMarks_data() {
        QTest::addColumn<int>("tab");
        QTest::newRow("persons") << 0;
        QTest::newRow("firms") << 1;
        QTest::newRow("personal") << 2;
    }
    // Nothing marked: the message, no dialog, and the search button back on.
    void noMarks() {
        QFETCH(int, tab);
        auto w = start();
        const PageParts p = list(*w, tab);
        QVERIFY(p.grid->model()->rowCount() > 0);
        QVERIFY2(m_dialogs.shown().isEmpty(), qPrintable(m_dialogs.messageTexts().join(u'|')));
        QTest::mouseClick(p.print, Qt::LeftButton);
        QCOMPARE(m_dialogs.shown().size(), 1);
        QCOMPARE(m_dialogs.shown()[0].text, kNoMarks);
        QCOMPARE(m_dialogs.shown()[0].caption, Dialogs::kWarning);
        QCOMPARE(m_dialogs.shown()[0].icon, Dialogs::Icon::Information);
        QCOMPARE(m_dialogs.shown()[0].owner, w.get());
        QVERIFY(p.search->isEnabled());
        QVERIFY(!QFile::exists(m_pdf));
    }

    void cancelled_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<bool>("parametersClosed");
        QTest::newRow("persons, print dialog") << 0 << false;
        QTest::newRow("firms, print dialog") << 1 << false;
        QTest::newRow("personal, print dialog") << 2 << false;
        QTest::newRow("personal, parameters closed with Escape") << 2 << true;
    }
    // A dialog closed without printing: nothing printed, the search button on.
    void cancelled() {
        QFETCH(int, tab);
        QFETCH(bool, parametersClosed);
        auto w = start();
        const PageParts p = list(*w, tab);
        mark(p, {0});
        m_dialogs.answerPrint(false);
        bool asked = false;
        if (tab == 2)
            platform_test::whenModal<PrintParametersDialog>([&](PrintParametersDialog* d) {
                asked = true;
                QVERIFY(!p.search->isEnabled());
                QTest::keyClick(d, parametersClosed ? Qt::Key_Escape : Qt::Key_Return);
            });
        QTest::mouseClick(p.print, Qt::LeftButton);
        QCOMPARE(asked, tab == 2);
        const int prints = parametersClosed ? 0 : 1;
        QCOMPARE(m_dialogs.shown().size(), prints);
        if (prints) QCOMPARE(m_dialogs.shown()[0].kind, u"print"_s);
        QVERIFY(p.search->isEnabled());
        QVERIFY(!QFile::exists(m_pdf));
    }

    void printed_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("title");
        QTest::newRow("persons") << 0 << u"Ordana 2004 - TISK - OSOBY"_s;
        QTest::newRow("firms") << 1 << u"Ordana 2004 - TISK - FIRMY"_s;
        QTest::newRow("personal") << 2 << u"Ordana 2004 - TISK - VLASTNÍ"_s;
    }
    // The marked records are printed under the job's title; the page shows
    // the same rows, row and marks as before.
    void printed() {
        QFETCH(int, tab);
        QFETCH(QString, title);
        auto w = start();
        const PageParts p = list(*w, tab);
        mark(p, {0, 2, 3});
        p.grid->setCurrentIndex(p.grid->model()->index(1, 2));
        const PageLook before = lookOf(p);
        QCOMPARE(before.marked, 3);
        QCOMPARE(before.row, 1);

        answerPrintToFile(m_pdf);
        if (tab == 2)
            platform_test::whenModal<PrintParametersDialog>(
                [](PrintParametersDialog* d) { QTest::mouseClick(d->printButton(), Qt::LeftButton); });
        QTest::mouseClick(p.print, Qt::LeftButton);
        QCOMPARE(m_dialogs.shown().size(), 1);
        QCOMPARE(m_dialogs.shown()[0].kind, u"print"_s);
        QCOMPARE(m_dialogs.shown()[0].owner, w.get());
        QCOMPARE(pdfPages(m_pdf), 1);
        QFile pdf(m_pdf);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray content = pdf.readAll();
        QVERIFY2(
            content.contains(QByteArray("\xfe\xff") +
                             [&] {
                                 QByteArray bytes;
                                 for (QChar c : title)
                                     bytes.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xff));
                                 return bytes;
                             }()),
            "the job's title is not in the file");
        QVERIFY(p.search->isEnabled());
        QCOMPARE(lookOf(p), before);
    }

    void searchLimit_data() {
        QTest::addColumn<QString>("limit");
        QTest::addColumn<int>("pages");
        QTest::newRow("empty field counts as 200") << QString() << 2;
        QTest::newRow("23 rows") << u"23"_s << 1;
        QTest::newRow("24 rows") << u"24"_s << 2;
    }
    // The persons print takes at most the searched-records limit of the marked rows.
    void searchLimit() {
        QFETCH(QString, limit);
        QFETCH(int, pages);
        auto w = start();
        m_app->limits().setText(Limits::List::Persons, Limits::Kind::Displayed, u"50"_s);
        const PageParts p = list(*w, 0, u"K*"_s);
        QCOMPARE(p.grid->model()->rowCount(), 50);
        mark(p, {0});
        // The other marks straight in the working table: the page counts one.
        p.query->database()->execute(u"UPDATE Osoby SET Zn = True WHERE ID2 <= 30"_s,
                                     db::Database::FailOnError);
        m_app->limits().setText(Limits::List::Persons, Limits::Kind::Searched, limit);
        answerPrintToFile(m_pdf);
        QTest::mouseClick(p.print, Qt::LeftButton);
        QCOMPARE(m_dialogs.shown().size(), 1);
        QCOMPARE(pdfPages(m_pdf), pages);
    }

    // A printer that refuses the job: the user is told the print is incomplete,
    // and the page is as it was.
    void printerFails() {
        auto w = start();
        const PageParts p = list(*w, 1);
        mark(p, {1});
        const PageLook before = lookOf(p);
        answerPrintToFile(m_tmp.path() + u"/chybi/stitky.pdf"_s);
        QTest::mouseClick(p.print, Qt::LeftButton);
        QCOMPARE(m_dialogs.messageTexts(),
                 QStringList{labels::incompleteMessage(0, labels::LabelPrinter::printerFailedMessage())});
        QCOMPARE(m_dialogs.shown().last().caption, Dialogs::kWarning);
        QVERIFY(p.search->isEnabled());
        QCOMPARE(lookOf(p), before);
    }

    // The marked rows cannot be read: the engine's message, no job.
    void rowsUnreadable() {
        auto w = start();
        const PageParts p = list(*w, 0);
        mark(p, {0});
        db::Database* results = p.query->database();
        p.query->close();
        results->execute(u"DROP TABLE Osoby"_s, db::Database::FailOnError);
        answerPrintToFile(m_pdf);
        QTest::mouseClick(p.print, Qt::LeftButton);
        QCOMPARE(m_dialogs.shown().size(), 2);
        QCOMPARE(m_dialogs.shown()[1].caption, Dialogs::kWarning);
        QVERIFY(!m_dialogs.shown()[1].text.isEmpty());
        QVERIFY(p.search->isEnabled());
        QVERIFY(!QFile::exists(m_pdf));
    }
};

QTEST_MAIN(TestPrintWiring)
#include "tst_printwiring.moc"
