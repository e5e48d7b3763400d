// The export of marked records through the main window: each page's
// "&Export" asks through the format window and the save dialog, writes the
// file, shows the outcome and remembers the folder; the page is left as it was.

#include "CodePage.h"
#include "DataGrid.h"
#include "DirectoryPage.h"
#include "Drives.h"
#include "Export.h"
#include "ExportDialog.h"
#include "MainWindow.h"
#include "MainWindowFixture.h"
#include "PageTestSupport.h"
#include "PersonalPage.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"

#include "platform/WhenModal.h"

#include <QAbstractItemView>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace platform;
using namespace app_test;

namespace {

QString readText(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? code_page::fromWindows1250(f.readAll()) : QString();
}

} // namespace

class TestExportWiring : public app_test::MainWindowTest {
    Q_OBJECT

    QString m_out; // a folder for the exported files, ending in "/"

    // Lists the first page of the tab (0 persons, 1 firms, 2 personal) and returns its parts.
    static PageParts listPage(MainWindow& w, int tab) {
        tabsOf(w)->setCurrentIndex(tab);
        QStringList inserts;
        for (const char* name : {"Malá", "Bílá", "Černá"})
            inserts << QStringLiteral("INSERT INTO Vlastni (Prijmeni, domu_ulice, zam_ulice) "
                                      "VALUES (\"%1\", \"Domovská\", \"Pracovní\")")
                           .arg(QString::fromUtf8(name));
        return app_test::listPage(w, tab, inserts);
    }

    static void mark(PageParts& parts, std::initializer_list<int> rows) {
        for (int row : rows) {
            parts.grid->setCurrentIndex(parts.grid->model()->index(row, 2));
            parts.toggleMark();
        }
    }

    // The format window answers with a format, a width and an address, and "&Export".
    static void answerFormat(io::ExportFormat format, const QString& width = QStringLiteral("30"),
                             io::AddressChoice address = io::AddressChoice::RecordDefault) {
        platform_test::whenModal<ExportDialog>([=](ExportDialog* d) {
            d->formatOption(format)->click();
            d->widthField()->setText(width);
            if (d->addressGroup()) d->addressGroup()->setChoice(address);
            d->exportButton()->click();
        });
    }

    std::optional<QString> storedFolder(const QString& value) {
        auto key = m_settings->open(Root::CurrentUser, io::exportSettingsKey(), Access::Read);
        return key ? key->readString(value) : std::nullopt;
    }

    void verifyIdle(MainWindow& w, const PageParts& parts) {
        QVERIFY(parts.search->isEnabled());
        QCOMPARE(w.focusWidget(), static_cast<QWidget*>(parts.grid));
    }

  private slots:
    void init() {
        resetProgram();
        m_out = m_program + QStringLiteral("out \"x\"/");
        QDir().mkpath(m_out);
    }

    // Nothing marked: the message, no format window, no save dialog.
    void nothingMarked_data() {
        QTest::addColumn<int>("tab");
        QTest::newRow("persons") << 0;
        QTest::newRow("firms") << 1;
        QTest::newRow("personal") << 2;
    }
    void nothingMarked() {
        QFETCH(int, tab);
        auto w = start();
        PageParts parts = listPage(*w, tab);
        m_dialogs.clear();
        QVERIFY(parts.exportButton->isEnabled());
        QTest::mouseClick(parts.exportButton, Qt::LeftButton);
        QCOMPARE(m_dialogs.messageTexts(), QStringList{io::noMarksMessage()});
        QCOMPARE(m_dialogs.shown().last().caption, Dialogs::kWarning);
        QCOMPARE(m_dialogs.shown().last().icon, Dialogs::Icon::Information);
        QCOMPARE(m_dialogs.shown().last().owner, static_cast<QWidget*>(w.get()));
        QCOMPARE(m_dialogs.shown().size(), 1);
        verifyIdle(*w, parts);
        QCOMPARE(QDir(m_out).entryList(QDir::Files), QStringList());
    }

    // The marked rows go to the file, the outcome is shown and the folder
    // remembered; the marks and the shown page stay as they were.
    void exportWritten_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<io::AddressChoice>("address");
        QTest::addColumn<QString>("street");
        QTest::newRow("persons") << 0 << "Path_o"
                                 << "export_o" << io::AddressChoice::RecordDefault << QString();
        QTest::newRow("firms") << 1 << "Path_f"
                               << "export_f" << io::AddressChoice::RecordDefault << QString();
        QTest::newRow("personal, home") << 2 << "Path_v"
                                        << "export_v" << io::AddressChoice::Home << "\"Domovská \"";
        QTest::newRow("personal, work") << 2 << "Path_v"
                                        << "export_v" << io::AddressChoice::Work << "\"Pracovní \"";
    }
    void exportWritten() {
        QFETCH(int, tab);
        QFETCH(QString, value);
        QFETCH(QString, fileName);
        QFETCH(io::AddressChoice, address);
        QFETCH(QString, street);
        m_settings->open(Root::CurrentUser, io::exportSettingsKey(), Access::All, true)
            ->writeString(value, QStringLiteral("/last/time/"));
        auto w = start();
        PageParts parts = listPage(*w, tab);
        mark(parts, {0, 2});
        parts.grid->setCurrentIndex(parts.grid->model()->index(1, 2));
        const int rows = parts.grid->model()->rowCount();
        const QString firstId2 = parts.query->valueAt(0, QStringLiteral("ID2")).toString();
        // An emptied searched-records field counts as its largest value.
        for (Limits::List list : {Limits::List::Persons, Limits::List::Firms, Limits::List::Personal})
            m_app->limits().setText(list, Limits::Kind::Searched, QString());
        m_dialogs.clear();

        answerFormat(io::ExportFormat::Comma, QStringLiteral("30"), address);
        m_dialogs.answerSave(Dialogs::FileResult{m_out + QStringLiteral("vystup.csv"), 1});
        QTest::mouseClick(parts.exportButton, Qt::LeftButton);

        const QString target = m_out + QStringLiteral("vystup.txt");
        QCOMPARE(m_dialogs.messageTexts(), QStringList{io::resultMessage(target, 2)});
        QCOMPARE(m_dialogs.messageTexts().first(),
                 QStringLiteral("Do souboru \"") + target + QStringLiteral("\" bylo exportováno 2 záznamů."));
        QCOMPARE(m_dialogs.shown().last().caption, Dialogs::kWarning);
        QCOMPARE(m_dialogs.shown().last().icon, Dialogs::Icon::Information);
        const Dialogs::FileOptions& save = m_dialogs.shown().first().file;
        QCOMPARE(m_dialogs.shown().first().kind, QStringLiteral("save"));
        QCOMPARE(save.folder, QStringLiteral("/last/time/"));
        QCOMPARE(save.fileName, fileName);
        QCOMPARE(save.filter, QString::fromUtf8("txt soubory|*.txt|csv soubory|*.csv|všechny soubory|*.*"));
        QCOMPARE(save.filterIndex, 2);
        QCOMPARE(save.defaultExtension, QStringLiteral("csv"));
        QVERIFY(save.confirmOverwrite);
        QCOMPARE(storedFolder(value), std::optional<QString>(m_out));

        // Comma-separated although the file is a .txt; two rows under the header.
        const QStringList lines = readText(target).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QVERIFY2(lines[0].startsWith(tab == 1 ? QStringLiteral("\"Firma\",")
                                              : QStringLiteral("\"") + (tab == 2 ? "prijmeni" : "Prijmeni") +
                                                    "\","),
                 qPrintable(lines[0]));
        if (!street.isEmpty()) QVERIFY2(readText(target).contains(street), qPrintable(lines[1]));
        QCOMPARE(QDir(m_out).entryList(QDir::Files), QStringList{"vystup.txt"});

        verifyIdle(*w, parts);
        QCOMPARE(parts.marked(), 2);
        QCOMPARE(parts.grid->model()->rowCount(), rows);
        QCOMPARE(parts.query->valueAt(0, QStringLiteral("ID2")).toString(), firstId2);
        QCOMPARE(parts.grid->currentIndex().row(), 1);
        for (int row = 0; row < 3; ++row)
            QCOMPARE(parts.query->valueAt(row, QStringLiteral("Zn")).toBool(), row != 1);
    }

    // Letters Windows-1250 lacks are written as "?": after the result a
    // warning counts the values that lost characters.
    void lostCharactersReported() {
        auto w = start();
        tabsOf(*w)->setCurrentIndex(2);
        PageParts parts = app_test::listPage(
            *w, 2,
            {QString::fromUtf8(
                 "INSERT INTO Vlastni (Prijmeni, Firma, Jmeno_1) VALUES (\"Søren\", \"北京\", \"Řehoř\")"),
             QString::fromUtf8("INSERT INTO Vlastni (Prijmeni) VALUES (\"Novák\")")});
        mark(parts, {0, 1});
        m_dialogs.clear();
        answerFormat(io::ExportFormat::Semicolon);
        m_dialogs.answerSave(Dialogs::FileResult{m_out + QStringLiteral("vystup.txt"), 1});
        QTest::mouseClick(parts.exportButton, Qt::LeftButton);
        const QString target = m_out + QStringLiteral("vystup.txt");
        QCOMPARE(m_dialogs.messageTexts(),
                 (QStringList{io::resultMessage(target, 2), io::lostCharactersMessage(2)}));
        QCOMPARE(m_dialogs.shown().last().caption, Dialogs::kWarning);
        QVERIFY(readText(target).contains(QStringLiteral("\"S?ren\"")));
        verifyIdle(*w, parts);
    }

    // A failed statement shows the engine's message; no file is left, the
    // folder's schema.ini is as it was, the search is back and nothing is remembered.
    void failureShown() {
        const QByteArray schema("[vystup.txt]\r\nFormat=TabDelimited\r\n");
        {
            QFile f(m_out + QStringLiteral("schema.ini"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(schema);
        }
        auto w = start();
        PageParts parts = listPage(*w, 0);
        mark(parts, {1});
        m_dialogs.clear();
        answerFormat(io::ExportFormat::FixedWidth, QStringLiteral("x"));
        m_dialogs.answerSave(Dialogs::FileResult{m_out + QStringLiteral("vystup"), 3});
        QTest::mouseClick(parts.exportButton, Qt::LeftButton);

        QCOMPARE(m_dialogs.shown().size(), 2);
        QCOMPARE(m_dialogs.shown().last().caption, Dialogs::kWarning);
        QVERIFY2(m_dialogs.shown().last().text.contains(QStringLiteral("„x“")),
                 qPrintable(m_dialogs.shown().last().text));
        QCOMPARE(QDir(m_out).entryList(QDir::Files), QStringList{"schema.ini"});
        QFile f(m_out + QStringLiteral("schema.ini"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), schema);
        QCOMPARE(storedFolder(QStringLiteral("Path_o")), std::nullopt);
        verifyIdle(*w, parts);
        QCOMPARE(parts.marked(), 1);
    }

    // The extension the filter forces names another file than the one the save
    // dialog confirmed: that file is replaced only when the user agrees.
    void forcedExtensionAsks_data() {
        QTest::addColumn<bool>("agree");
        QTest::newRow("replace") << true;
        QTest::newRow("keep") << false;
    }
    void forcedExtensionAsks() {
        QFETCH(bool, agree);
        {
            QFile old(m_out + QStringLiteral("data.txt"));
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old");
        }
        auto w = start();
        PageParts parts = listPage(*w, 1);
        mark(parts, {0});
        m_dialogs.clear();
        answerFormat(io::ExportFormat::Comma);
        m_dialogs.answerSave(Dialogs::FileResult{m_out + QStringLiteral("data.csv"), 1});
        m_dialogs.answerMessage(agree ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        QTest::mouseClick(parts.exportButton, Qt::LeftButton);

        const QString target = m_out + QStringLiteral("data.txt");
        QCOMPARE(m_dialogs.shown().value(1).text, io::replaceQuestion(target));
        QCOMPARE(m_dialogs.shown().value(1).caption, Dialogs::kQuestion);
        QCOMPARE(m_dialogs.shown().size(), agree ? 3 : 2);
        QCOMPARE(readText(target) == QStringLiteral("old"), !agree);
        verifyIdle(*w, parts);
    }

    // Escape in the format window or cancelling the save dialog ends the
    // export with nothing written; the search comes back.
    void cancelled_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<bool>("inFormatWindow");
        QTest::newRow("persons, format window") << 0 << true;
        QTest::newRow("personal, format window") << 2 << true;
        QTest::newRow("firms, save dialog") << 1 << false;
    }
    void cancelled() {
        QFETCH(int, tab);
        QFETCH(bool, inFormatWindow);
        auto w = start();
        PageParts parts = listPage(*w, tab);
        mark(parts, {0});
        m_dialogs.clear();
        if (inFormatWindow)
            platform_test::whenModal<ExportDialog>(
                [](ExportDialog* d) { QTest::keyClick(d, Qt::Key_Escape); });
        else
            answerFormat(io::ExportFormat::Semicolon);
        QTest::mouseClick(parts.exportButton, Qt::LeftButton);
        QCOMPARE(m_dialogs.shown().size(), inFormatWindow ? 0 : 1);
        QCOMPARE(QDir(m_out).entryList(QDir::Files), QStringList());
        verifyIdle(*w, parts);
    }
};

QTEST_MAIN(TestExportWiring)
#include "tst_exportwiring.moc"
