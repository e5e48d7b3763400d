// Faults of the machine under a running program: a full disk while writing,
// the personal database locked, read-only or damaged, the directory taken
// away, a reference list missing, the settings files unusable, no usable
// scratch folder. Each ends in a message and the page at rest, with the
// user's records as they were.

#include "MainWindowFixture.h"

#include "ContactEditor.h"
#include "Export.h"
#include "ExportDialog.h"
#include "InformationPage.h"
#include "LabelPrinter.h"
#include "platform/WhenModal.h"

#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QRadioButton>
#include <QtEndian>
#include <QtTest>

#include <csignal>

using namespace platform;

namespace {

// Files of this process cannot grow past the given size while it lives, as on
// a full disk: a write past it fails with EFBIG instead of ending the process.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

  private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = SIG_DFL;
};

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestFaults : public app_test::MainWindowTest {
    Q_OBJECT

    QString personalFile() const { return m_app->personalFolder() + QStringLiteral("/vlastni.mdb"); }

    // The Vlastní page listing three records, the first one marked.
    PersonalPage* listPersonal(MainWindow& w) {
        app_test::tabsOf(w)->setCurrentIndex(2);
        QStringList inserts;
        for (const char* name : {"Malá", "Bílá", "Černá"})
            inserts << QStringLiteral("INSERT INTO Vlastni (Prijmeni, domu_Obec) VALUES (\"%1\", \"Brno\")")
                           .arg(QString::fromUtf8(name));
        app_test::PageParts parts = app_test::listPage(w, 2, inserts);
        parts.grid->setCurrentIndex(parts.grid->model()->index(0, 2));
        parts.toggleMark();
        return static_cast<PersonalPage*>(parts.page);
    }

    static void verifyIdle(PersonalPage* page) {
        QVERIFY(page->button(PersonalPage::Button::Search)->isEnabled());
        QVERIFY(!page->button(PersonalPage::Button::Stop)->isEnabled());
        QVERIFY(page->button(PersonalPage::Button::Export)->isEnabled());
    }

    // Opens the editor on the page's current record and types a new surname.
    ContactEditor* editSurname(MainWindow& w, PersonalPage* page, const QString& surname) {
        test_support::click(page, "Image13");
        auto* editor = w.findChild<ContactEditor*>(QStringLiteral("Form4"));
        auto* box = test_support::child<QLineEdit>(editor, "DBEdit1");
        box->selectAll();
        test_support::typeText(box, surname);
        return editor;
    }

  private slots:
    void init() { resetProgram(); }

    // The export's file cannot grow past a few bytes: the engine's message,
    // no file left, the page at rest.
    void diskFullExporting() {
        auto w = start();
        PersonalPage* page = listPersonal(*w);
        const QString target = m_program + QStringLiteral("vystup.txt");
        platform_test::whenModal<ExportDialog>([](ExportDialog* d) { d->exportButton()->click(); });
        m_dialogs.clear();
        m_dialogs.answerSave(Dialogs::FileResult{target, 1});
        {
            FileSizeLimit full(16);
            QTest::mouseClick(page->button(PersonalPage::Button::Export), Qt::LeftButton);
        }
        qInfo() << "message:" << m_dialogs.messageTexts();
        QCOMPARE(m_dialogs.messageTexts().size(), 1);
        QVERIFY(m_dialogs.messageTexts().first() != io::resultMessage(target, 1));
        // The system's reason, not a shrug.
        QVERIFY(!m_dialogs.messageTexts().first().contains(QStringLiteral("Unknown error")));
        QCOMPARE(QDir(m_program).entryList({QStringLiteral("vystup*")}, QDir::Files), QStringList());
        verifyIdle(page);
    }

    // The PDF cannot grow past a few bytes: the print reports the failure
    // instead of success; the page is at rest.
    void diskFullPrinting() {
        auto w = start();
        PersonalPage* page = listPersonal(*w);
        const QString pdf = m_program + QStringLiteral("stitky.pdf");
        platform_test::whenModal<QDialog>([](QDialog* d) { d->accept(); });
        m_dialogs.clear();
        m_dialogs.answerPrint(true);
        m_dialogs.printerSetup = [pdf](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
        };
        {
            FileSizeLimit full(512);
            QTest::mouseClick(page->button(PersonalPage::Button::Print), Qt::LeftButton);
        }
        qInfo() << "message:" << m_dialogs.messageTexts();
        QCOMPARE(m_dialogs.messageTexts().size(), 1);
        QVERIFY2(m_dialogs.messageTexts().first().contains(labels::LabelPrinter::printerFailedMessage()),
                 qPrintable(m_dialogs.messageTexts().first()));
        verifyIdle(page);
    }

    // No file may grow while a contact is saved: the message, the editor
    // keeps the typed value, the stored record is as it was; once there is
    // room the same save succeeds.
    void diskFullSavingContact() {
        auto w = start();
        PersonalPage* page = listPersonal(*w);
        const QStringList before = app_test::personalRows(*w);
        const QString typed = QStringLiteral("Plná");
        ContactEditor* editor = editSurname(*w, page, typed);
        m_dialogs.clear();
        {
            FileSizeLimit full(0);
            test_support::click(editor, "ulozit");
        }
        qInfo() << "message:" << m_dialogs.messageTexts();
        QCOMPARE(m_dialogs.messageTexts().size(), 1);
        QVERIFY(editor->isVisible());
        QCOMPARE(test_support::child<QLineEdit>(editor, "DBEdit1")->text(), typed);
        QCOMPARE(app_test::personalRows(*w), before);
        test_support::click(editor, "ulozit");
        QVERIFY(!editor->isVisible());
        QVERIFY(app_test::personalRows(*w).join(u'\n').contains(typed));
    }

    // Another connection holds the personal database locked: saving and
    // importing report it and change nothing; afterwards both work.
    void personalDatabaseLocked() {
        auto w = start();
        PersonalPage* page = listPersonal(*w);
        const QStringList before = app_test::personalRows(*w);
        w->personalDatabase()->setBusyTimeout(50);
        auto other = app_test::openPersonalElsewhere(*w, m_app->engine().workgroupFile());
        other->executeNative(QStringLiteral("BEGIN EXCLUSIVE"));

        ContactEditor* editor = editSurname(*w, page, QStringLiteral("Zamčená"));
        m_dialogs.clear();
        test_support::click(editor, "ulozit");
        qInfo() << "message:" << m_dialogs.messageTexts();
        QCOMPARE(m_dialogs.messageTexts().size(), 1);
        QVERIFY(editor->isVisible());

        other->executeNative(QStringLiteral("ROLLBACK"));
        other.reset();
        QCOMPARE(app_test::personalRows(*w), before);
        test_support::click(editor, "ulozit");
        QVERIFY(!editor->isVisible());
        QVERIFY(app_test::personalRows(*w).join(u'\n').contains(QStringLiteral("Zamčená")));
        verifyIdle(page);
    }

    // A personal database the program cannot use ends the start with its
    // message; the file is left exactly as it was.
    void personalDatabaseUnusable_data() {
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("garbage") << false << QByteArray(8192, '\x5a');
        QTest::newRow("cut short") << false << QByteArray("SQLite format 3\0", 16) + QByteArray(84, '\x01');
        QTest::newRow("read-only") << true << QByteArray();
    }
    void personalDatabaseUnusable() {
        QFETCH(bool, readOnly);
        QFETCH(QByteArray, bytes);
        if (readOnly) {
            // A good database with records, made read-only after a first run.
            auto w = start();
            listPersonal(*w);
            w.reset();
            QFile::setPermissions(personalFile(), QFileDevice::ReadOwner | QFileDevice::ReadGroup);
            bytes = contents(personalFile());
        } else {
            QDir().mkpath(m_app->personalFolder());
            QFile f(personalFile());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        }
        m_dialogs.clear();
        // The start fails once the window is on the screen.
        auto w = std::make_unique<MainWindow>(*m_app);
        w->show();
        QTRY_VERIFY(!w->startedOk());
        QVERIFY(!w->isReady());
        QCOMPARE(m_dialogs.messageTexts().size(), 1);
        QVERIFY2(
            m_dialogs.messageTexts().first().startsWith(QStringLiteral("Vlastní databázi nelze otevřít.")),
            qPrintable(m_dialogs.messageTexts().first()));
        w.reset();
        QCOMPARE(contents(personalFile()), bytes);
    }

    // The directory cut short or removed under the running program: a search
    // either still reads the open file or shows the engine's message; the
    // page comes back to rest either way.
    void directoryTakenAway_data() {
        QTest::addColumn<bool>("truncate");
        QTest::newRow("removed") << false;
        QTest::newRow("truncated") << true;
    }
    void directoryTakenAway() {
        QFETCH(bool, truncate);
        // The database's own pages, without the padding that follows them.
        const QString copy = m_program + QStringLiteral("DATA/ordat.mdb");
        {
            QFile from(m_app->directoryDbPath), to(copy);
            QVERIFY(from.open(QIODevice::ReadOnly) && to.open(QIODevice::WriteOnly));
            const QByteArray header = from.read(100);
            const qint64 pageSize = (uchar(header[16]) << 8) | uchar(header[17]);
            const qint64 pages = qFromBigEndian<quint32>(header.constData() + 28);
            QVERIFY(from.seek(0));
            to.write(from.read(pageSize * pages));
        }
        QVERIFY(QFile::copy(QFileInfo(m_app->directoryDbPath).absolutePath() + QStringLiteral("/ordat.mdw"),
                            m_program + QStringLiteral("DATA/ordat.mdw")));
        m_app->directoryDbPath = copy;
        auto w = start();
        QVERIFY(w->startedOk());
        if (truncate)
            QVERIFY(QFile::resize(copy, 8192));
        else
            QVERIFY(QFile::remove(copy));
        app_test::tabsOf(*w)->setCurrentIndex(0);
        auto* page = static_cast<DirectoryPage*>(app_test::tabsOf(*w)->widget(0));
        for (const char* surname : {"N*", "A*"}) {
            m_dialogs.clear();
            page->field(DirectoryPage::Field::Name)->setText(QString::fromLatin1(surname));
            page->button(DirectoryPage::Button::Search)->click();
            qInfo() << surname << "->" << page->grid()->model()->rowCount() << "rows"
                    << m_dialogs.messageTexts();
            QVERIFY(m_dialogs.messageTexts().size() <= 1);
            QVERIFY(page->button(DirectoryPage::Button::Search)->isEnabled());
            QVERIFY(!page->button(DirectoryPage::Button::Stop)->isEnabled());
        }
    }

    // A reference list whose file is missing: opening it shows the engine's
    // message; the other lists still open.
    void referenceListMissing() {
        QVERIFY(QFile::remove(m_program + QStringLiteral("DATA/PSC.mdb")));
        auto w = start();
        auto* info = static_cast<InformationPage*>(app_test::tabsOf(*w)->widget(3));
        app_test::tabsOf(*w)->setCurrentIndex(3);
        m_dialogs.clear();
        info->listChoice(InformationPage::List::PostalCodes)->click();
        qInfo() << "message:" << m_dialogs.messageTexts();
        QCOMPARE(m_dialogs.messageTexts().size(), 1);
        QVERIFY(m_dialogs.messageTexts().first().contains(QStringLiteral("PSC.mdb")));
        m_dialogs.clear();
        info->listChoice(InformationPage::List::FreephoneLines)->click();
        QCOMPARE(m_dialogs.messageTexts(), QStringList());
        QVERIFY(info->listQuery()->rowCount() > 0);
    }

    // Settings files that cannot be read or written: the program starts with
    // the first-start settings, and closing reports that they were not stored.
    void settingsUnusable_data() {
        QTest::addColumn<bool>("folder");
        QTest::newRow("garbage in the file") << false;
        QTest::newRow("a folder in place of the file") << true;
    }
    void settingsUnusable() {
        QFETCH(bool, folder);
        const QString user = m_program + QStringLiteral("config/user.ini");
        QDir().mkpath(m_program + QStringLiteral("config"));
        if (folder) {
            QDir().mkpath(user);
        } else {
            QFile f(user);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray("[\x01\xff\n=\0\0W=", 10) + QByteArray(3000, '\xfe'));
        }
        auto store = makeIniSettingsStore(user, m_program + QStringLiteral("config/machine.ini"));
        m_app = std::make_unique<Application>(*store, m_drives, m_dialogs, m_shell, m_program);
        m_app->directoryDbPath = QStringLiteral(ORDANA_TEST_DATA "/ordat.mdb");
        auto w = start();
        QVERIFY(w->startedOk());
        QCOMPARE(m_dialogs.messageTexts(), QStringList());
        m_dialogs.answerMessage(Dialogs::Answer::Yes);
        QVERIFY(w->close());
        qInfo() << "message:" << m_dialogs.messageTexts();
        QCOMPARE(m_dialogs.messageTexts().size(), folder ? 2 : 1);
    }

    // The scratch folder replaced by a plain file under the running program:
    // a search shows the engine's message and comes back to rest; with the
    // folder back, the next search lists again.
    void scratchFolderUnusable() {
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        const QString scratch = m_program + QStringLiteral("run");
        QDir().mkpath(scratch);
        QFile::setPermissions(scratch,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(scratch));
        auto w = start();
        qputenv("XDG_RUNTIME_DIR", runtime);
        QVERIFY(w->startedOk());
        app_test::tabsOf(*w)->setCurrentIndex(0);
        auto* page = static_cast<DirectoryPage*>(app_test::tabsOf(*w)->widget(0));
        QVERIFY(QDir(scratch).removeRecursively());
        QVERIFY(QFile(scratch).open(QIODevice::WriteOnly));
        page->field(DirectoryPage::Field::Name)->setText(QStringLiteral("A*"));
        m_dialogs.clear();
        page->button(DirectoryPage::Button::Search)->click();
        qInfo() << "search:" << m_dialogs.messageTexts();
        QCOMPARE(m_dialogs.messageTexts().size(), 1);
        QVERIFY(page->button(DirectoryPage::Button::Search)->isEnabled());
        QVERIFY(!page->button(DirectoryPage::Button::Stop)->isEnabled());

        QVERIFY(QFile::remove(scratch));
        QVERIFY(QDir().mkpath(scratch));
        m_dialogs.clear();
        page->button(DirectoryPage::Button::Search)->click();
        QCOMPARE(m_dialogs.messageTexts(), QStringList());
        QVERIFY(page->grid()->model()->rowCount() > 0);
    }
};

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
