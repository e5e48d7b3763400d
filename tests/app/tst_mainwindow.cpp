// The main window's life: first show, page changes, closing and clean-up.

#include "Application.h"
#include "DatabaseLogin.h"
#include "Drives.h"
#include "MainWindow.h"
#include "OwnDatabases.h"
#include "PrivateFolder.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "Shell.h"
#include "Startup.h"

#include <QAbstractItemView>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace platform;

namespace {

class RecordingShell : public Shell {
  public:
    QStringList opened;
    bool open(const QString& what) override {
        opened << what;
        return true;
    }
    CopyResult copyFile(QWidget*, const QString&, const QString&, QString*) override {
        return CopyResult::Failed;
    }
};

const QString kPozice = kProgramKey + QStringLiteral("Pozice");

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    QTemporaryDir m_tmp;
    std::unique_ptr<MemorySettingsStore> m_settings;
    FixedDrives m_drives{{}};
    ScriptedDialogs m_dialogs;
    RecordingShell m_shell;
    std::unique_ptr<Application> m_app;
    QString m_program;
    QString m_userData;

    QString personalFolder() const { return m_userData + QStringLiteral("/ordana/"); }
    std::unique_ptr<MainWindow> start() {
        auto w = std::make_unique<MainWindow>(*m_app);
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get())) qWarning("the main window was not exposed");
        if (!QTest::qWaitFor([&] { return w->isReady() || !w->startedOk(); }))
            qWarning("the main window did not open its databases");
        return w;
    }
    void storePozice(const QVariantMap& values) {
        auto k = m_settings->open(Root::CurrentUser, kPozice, Access::All, true);
        for (auto it = values.begin(); it != values.end(); ++it) {
            if (it.value().typeId() == QMetaType::Int)
                k->writeInt(it.key(), it.value().toInt());
            else
                k->writeString(it.key(), it.value().toString());
        }
    }
    QString label(QWidget* w, const char* name) {
        return w->findChild<QLabel*>(QString::fromLatin1(name))->text();
    }

  private slots:
    void init() {
        const QString run = QString::number(QRandomGenerator::global()->generate());
        m_program = m_tmp.path() + QStringLiteral("/p") + run + u'/';
        QDir().mkpath(m_program + QStringLiteral("DATA"));
        // An installed program comes with its workgroup file.
        db::createLoginWorkgroup(m_program + QStringLiteral("DATA/ordat.mdw"));
        // The user's data folder of this test alone.
        m_userData = m_tmp.path() + QStringLiteral("/home") + run + QStringLiteral("/share");
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_userData));
        m_settings = std::make_unique<MemorySettingsStore>();
        m_dialogs.clear();
        m_shell.opened.clear();
        m_app = std::make_unique<Application>(*m_settings, m_drives, m_dialogs, m_shell, m_program);
        m_app->directoryDbPath = QStringLiteral(ORDANA_TEST_DATA "/ordat.mdb");
    }

    // First start: designed size, centred, the firms page, limits 10 and 200,
    // a new empty personal database.
    void firstStart() {
        auto w = start();
        QVERIFY(w->startedOk());
        auto* tabs = w->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
        QCOMPARE(tabs->currentIndex(), 1);
        QCOMPARE(m_app->currentPageName, QStringLiteral("firmy"));
        QCOMPARE(label(w.get(), "status_o"), QStringLiteral("10 zobrazovaných, 200 vyhledávaných"));
        QCOMPARE(label(w.get(), "status_v"), QStringLiteral("10 zobrazovaných, 200 vyhledávaných"));
        QVERIFY(QFile::exists(personalFolder() + QStringLiteral("vlastni.mdb")));
        QVERIFY(!QFile::exists(m_program + QStringLiteral("DATA/vlastni.mdb")));
        QVERIFY(w->directoryDatabase() && w->personalDatabase());
        const QRect screen = w->screen()->availableGeometry();
        QVERIFY(qAbs(w->geometry().center().x() - screen.center().x()) <= 2);
        // The designed client area lies below the menu bar.
        QCOMPARE(w->size(), QSize(752, 431 + w->menuBar()->height()));
        QCOMPARE(w->windowTitle(), QStringLiteral("Ordana 2004 Velto"));
    }

    // The databases open after the first frame: a window ended from outside
    // before it was painted makes no personal database and no working files.
    void endedBeforeFirstFrame() {
        auto w = std::make_unique<MainWindow>(*m_app);
        QSignalSpy ready(w.get(), &MainWindow::ready);
        w->show();
        w->endWithoutQuestion();
        QCoreApplication::processEvents();
        QVERIFY(!w->isReady());
        QCOMPARE(ready.count(), 0);
        QVERIFY(!w->directoryDatabase() && !w->personalDatabase());
        QVERIFY(!QFile::exists(personalFolder() + QStringLiteral("vlastni.mdb")));
        QVERIFY(w->scratchPaths().personalResult.isEmpty());
        QCOMPARE(m_dialogs.messageTexts(), QStringList());
    }

    // Whichever page is shown first, the window is built around it and the
    // other pages follow: once ready, every page sits on its tab with every
    // control the window finds by name.
    void startsOnStoredPage_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("page");
        QTest::newRow("persons") << 0 << QStringLiteral("osoby");
        QTest::newRow("firms") << 1 << QStringLiteral("firmy");
        QTest::newRow("personal") << 2 << QStringLiteral("vlastni");
        QTest::newRow("information") << 3 << QStringLiteral("informace");
    }
    void startsOnStoredPage() {
        QFETCH(int, tab);
        QFETCH(QString, page);
        storePozice({{"W", 800}, {"H", 500}, {"X", 0}, {"Y", 0}, {"TABS", QString::number(tab)}});
        auto w = start();
        QVERIFY(w->isReady());
        auto* tabs = w->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
        QCOMPARE(tabs->currentIndex(), tab);
        QCOMPARE(tabs->currentWidget()->objectName(), page);
        QCOMPARE(m_app->currentPageName, page);
        const QStringList names{QStringLiteral("osoby"), QStringLiteral("firmy"), QStringLiteral("vlastni"),
                                QStringLiteral("informace"), QStringLiteral("web")};
        for (int i = 0; i < tabs->count(); ++i)
            QCOMPARE(tabs->widget(i)->objectName(), names[i]);
        for (const MainWindow::NamedControl& c : MainWindow::namedControls()) {
            auto* onPage = w->findChild<QWidget*>(c.page);
            QVERIFY2(onPage && onPage->findChild<QWidget*>(c.control), qPrintable(c.page + u' ' + c.control));
        }
        // The summaries of the pages built later are written too.
        QCOMPARE(label(w.get(), "status_o"), m_app->limits().summary(Limits::List::Persons));
        QCOMPARE(label(w.get(), "status_f"), m_app->limits().summary(Limits::List::Firms));
        QCOMPARE(label(w.get(), "status_v"), m_app->limits().summary(Limits::List::Personal));
    }

    void storedLimits_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("too big") << QStringLiteral("80") << QStringLiteral("50");
        QTest::newRow("zero") << QStringLiteral("0") << QStringLiteral("1");
        QTest::newRow("not a number") << QStringLiteral("x") << QStringLiteral("10");
        QTest::newRow("empty") << QString() << QStringLiteral("50");
        QTest::newRow("valid") << QStringLiteral("25") << QStringLiteral("25");
    }
    void storedLimits() {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        storePozice(
            {{"W", 800}, {"H", 500}, {"X", 0}, {"Y", 0}, {"MAX_O", stored}, {"TABS", QStringLiteral("0")}});
        auto w = start();
        QCOMPARE(m_app->limits().text(Limits::List::Persons, Limits::Kind::Displayed), shown);
        QCOMPARE(w->findChild<QTabWidget*>(QStringLiteral("PageControl1"))->currentIndex(), 0);
    }

    // Out-of-range placements leave the designed values; zero width maximizes.
    void placement() {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        storePozice({{"W", 759}, {"H", 450}, {"X", screen.width()}, {"Y", 7}});
        auto w = start();
        QCOMPARE(w->frameGeometry().height(), 450);
        QVERIFY(w->frameGeometry().width() != 759);
        QCOMPARE(w->frameGeometry().y(), 7);
    }

    void maximizedComesBackMaximized() {
        storePozice({{"W", 0}, {"H", 0}, {"X", 3}, {"Y", 4}});
        auto w = start();
        QTRY_VERIFY(w->isMaximized());
    }

    // Closing: No changes nothing; Yes writes every value.
    void closingQuestion() {
        auto w = start();
        m_dialogs.answerMessage(Dialogs::Answer::No);
        QVERIFY(!w->close());
        QCOMPARE(w->windowTitle(), QStringLiteral("Ordana 2004 Velto"));
        QVERIFY(!m_settings->open(Root::CurrentUser, kPozice, Access::Read));
        QCOMPARE(m_dialogs.shown().last().text,
                 QStringLiteral("Opravdu chcete program Ordana 2004 Velto ukončit?     "));

        m_app->limits().setText(Limits::List::Firms, Limits::Kind::Displayed, QStringLiteral("30"));
        w->findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(3);
        m_dialogs.answerMessage(Dialogs::Answer::Yes);
        QVERIFY(w->close());
        QVERIFY(m_app->stopRequested);
        auto k = m_settings->open(Root::CurrentUser, kPozice, Access::Read);
        QVERIFY(k);
        QCOMPARE(k->valueNames(), (QStringList{"X", "Y", "W", "H", "MAX_O", "MAX_F", "MAX_V", "MAX_V_O",
                                               "MAX_V_F", "MAX_V_V", "TABS"}));
        QCOMPARE(k->readString(QStringLiteral("MAX_F")).value_or(QString()), QStringLiteral("30"));
        QCOMPARE(k->readString(QStringLiteral("TABS")).value_or(QString()), QStringLiteral("3"));
        QCOMPARE(k->readInt(QStringLiteral("W")).value_or(-1), w->frameGeometry().width());
    }

    // A page change is refused while a search runs.
    void noPageChangeDuringSearch() {
        auto w = start();
        auto* tabs = w->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
        w->findChild<QPushButton*>(QStringLiteral("Button6"))->setEnabled(false);
        tabs->setCurrentIndex(0);
        QCOMPARE(tabs->currentIndex(), 1);
        w->findChild<QPushButton*>(QStringLiteral("Button6"))->setEnabled(true);
        tabs->setCurrentIndex(2);
        QCOMPARE(tabs->currentIndex(), 2);
        QCOMPARE(m_app->currentPageName, QStringLiteral("vlastni"));
        QCOMPARE(label(w.get(), "Label57"), QStringLiteral("Celkový počet záznamů: 0  "));
    }

    // The Vlastní page lists the personal database into its working database,
    // and a click on its limits summary opens the limits dialog.
    void personalPageListsRecords() {
        auto w = start();
        w->personalDatabase()->execute(
            QStringLiteral("INSERT INTO Vlastni (Prijmeni, Tel_1) VALUES (\"Bílá\", \"602123456\")"),
            db::Database::FailOnError);
        auto* tabs = w->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
        tabs->setCurrentIndex(2);
        QTest::mouseClick(w->findChild<QWidget*>(QStringLiteral("Image18")), Qt::LeftButton, {},
                          QPoint(4, 4));
        QVERIFY2(m_dialogs.messageTexts().isEmpty(), qPrintable(m_dialogs.messageTexts().join(u'|')));
        QCOMPARE(w->findChild<QAbstractItemView*>(QStringLiteral("DBGridPro4"))->model()->rowCount(), 1);
        QCOMPARE(w->findChild<QPlainTextEdit*>(QStringLiteral("Memo3"))->toPlainText(),
                 QStringLiteral("Bílá\n\nTelefon:   602 123 456"));
        QCOMPARE(label(w.get(), "Label57"), QStringLiteral("Celkový počet záznamů: 1  "));
        QCOMPARE(w->findChild<QPushButton*>(QStringLiteral("Button8"))->toolTip(),
                 QStringLiteral("Dalších 10"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Ordana 2004 Velto"));

        auto* dialog = w->findChild<QDialog*>(QStringLiteral("Form5"));
        QVERIFY(dialog);
        bool opened = false;
        QTimer::singleShot(0, dialog, [dialog, &opened] {
            opened = dialog->isVisible();
            dialog->reject();
        });
        QTest::mouseClick(w->findChild<QWidget*>(QStringLiteral("status_v")), Qt::LeftButton);
        QVERIFY(opened);
    }

    // The web tab opens the maker's page and returns to the page in use.
    void webTab() {
        auto w = start();
        auto* tabs = w->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
        tabs->setCurrentIndex(4);
        QCOMPARE(m_shell.opened.size(), 1);
        QCOMPARE(tabs->currentIndex(), 1);
    }

    // The working files go to a folder only this user can enter, named by the
    // process, so that copies of the program (and test runs side by side)
    // never share them.
    void workingFilesPrivate() {
        auto w = start();
        const QFileInfo file(w->scratchPaths().personalResult);
        QVERIFY2(file.fileName().contains(QString::number(QCoreApplication::applicationPid())),
                 qPrintable(file.fileName()));
        const QFileInfo folder(file.absolutePath());
        const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                            QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
        QVERIFY2(!(folder.permissions() & others), qPrintable(folder.filePath()));
    }

    // A personal database that cannot be used ends the start with the message
    // about write rights; nothing is made in a folder that cannot be written.
    void unwritablePersonal() {
        QDir().mkpath(personalFolder());
        const auto readable = QFileDevice::ReadOwner | QFileDevice::ExeOwner;
        QFile::setPermissions(personalFolder(), readable);
        auto w = std::make_unique<MainWindow>(*m_app);
        QSignalSpy failed(w.get(), &MainWindow::startFailed);
        w->show();
        QVERIFY(failed.count() == 1 || failed.wait());
        QVERIFY(!w->startedOk());
        QCOMPARE(m_dialogs.messageTexts(),
                 QStringList{QStringLiteral(
                     "Vlastní databázi nelze otevřít. Zkontrolujte, zda máte nastavena síťová "
                     "práva pro zápis do souboru vlastni.mdb a že jejich atribut není "
                     "nastaven pouze pro čtení. Případně proveďte novou instalaci programu.")});
        QFile::setPermissions(personalFolder(), readable | QFileDevice::WriteOwner);
        QCOMPARE(QDir(personalFolder()).entryList(QDir::Files), QStringList());
    }

    // After a copy to the hard disk the next search works with the copy.
    void reopensMovedDirectory() {
        auto w = start();
        const QString copy = m_program + QStringLiteral("DATA/ordat.mdb");
        QVERIFY(QFile::copy(QStringLiteral(ORDANA_TEST_DATA "/ordat.mdb"), copy));
        // Only the database is copied; the workgroup file in DATA belongs to the same workgroup.
        m_app->directoryDbPath = copy;
        // The firms search re-opens the directory and lists the first page from the copy.
        w->findChild<QLineEdit*>(QStringLiteral("firma"))->setText(QStringLiteral("A"));
        QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("Button6")), Qt::LeftButton);
        QCOMPARE(w->directoryDatabase()->path(), copy);
        QVERIFY2(m_dialogs.messageTexts().isEmpty(), qPrintable(m_dialogs.messageTexts().join(u'|')));
        auto* grid = w->findChild<QAbstractItemView*>(QStringLiteral("DBGridPro2"));
        QCOMPARE(grid->model()->rowCount(), 10);
        QVERIFY(!w->findChild<QPlainTextEdit*>(QStringLiteral("Memo2"))->toPlainText().isEmpty());
        QCOMPARE(w->windowTitle(), QStringLiteral("Ordana 2004 Velto"));
    }

    // A new directory path that cannot be opened leaves the directory in use
    // working: the search shows the engine's message and lists its rows.
    void movedDirectoryThatCannotBeOpened() {
        auto w = start();
        db::Database* before = w->directoryDatabase();
        m_app->directoryDbPath = m_program + QStringLiteral("copy/ordat.mdb");
        w->findChild<QLineEdit*>(QStringLiteral("firma"))->setText(QStringLiteral("A"));
        QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("Button6")), Qt::LeftButton);
        QCOMPARE(w->directoryDatabase(), before);
        QVERIFY2(m_dialogs.messageTexts().size() == 1, qPrintable(m_dialogs.messageTexts().join(u'|')));
        QVERIFY2(m_dialogs.messageTexts().first().contains(u'„'),
                 qPrintable(m_dialogs.messageTexts().first()));
        QCOMPARE(m_dialogs.shown().first().owner, w.get());
        QCOMPARE(w->findChild<QAbstractItemView*>(QStringLiteral("DBGridPro2"))->model()->rowCount(), 10);
        // Asked again, the failed path is not reported again.
        m_dialogs.clear();
        w->reopenDirectoryIfMoved();
        QCOMPARE(m_dialogs.messageTexts().size(), 0);
    }

    void directoryThatCannotBeOpened() {
        m_app->directoryDbPath = m_program + QStringLiteral("missing/ordat.mdb");
        auto w = std::make_unique<MainWindow>(*m_app);
        QSignalSpy failed(w.get(), &MainWindow::startFailed);
        w->show();
        QVERIFY(failed.count() == 1 || failed.wait());
        QVERIFY(!w->startedOk());
        QVERIFY(m_dialogs.messageTexts().first().startsWith(
            QStringLiteral("Databázi nelze otevřít. Zkontrolujte")));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
