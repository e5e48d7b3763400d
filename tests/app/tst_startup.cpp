// Finding the directory database before any window exists.

#include "Application.h"
#include "Drives.h"
#include "PageTestSupport.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "Shell.h"
#include "Startup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

using namespace platform;
using test_support::NoShell;

namespace {

// Dialogs whose message boxes can act, like a user inserting the disc before pressing OK.
class ActingDialogs : public ScriptedDialogs {
  public:
    std::function<void()> onMessage;
    Answer message(QWidget* owner, const QString& caption, const QString& text, Icon icon,
                   Buttons buttons) override {
        if (onMessage) onMessage();
        return ScriptedDialogs::message(owner, caption, text, icon, buttons);
    }
};

void makeDb(const QString& path, qint64 size = kDirectoryDbSize) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QVERIFY(f.resize(size)); // sparse: the size is what counts here
}

const QString kInsertDisc = QStringLiteral("Vložte prosím CD-ROM/DVD Ordana 2004 Velto/Brevo do mechaniky.");
const QString kWrong = QStringLiteral("Databázi nelze otevřít. Proveďte opětovnou instalaci.");

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

    QTemporaryDir m_tmp;
    QString m_program, m_fixed, m_cd, m_removable, m_personal;
    MemorySettingsStore* m_settings = nullptr;
    std::unique_ptr<MemorySettingsStore> m_settingsOwner;
    std::unique_ptr<FixedDrives> m_drives;
    ActingDialogs m_dialogs;
    NoShell m_shell;
    std::unique_ptr<Application> m_app;

    void setPath(Root root, const QString& key, const QString& value) {
        auto k = m_settings->open(root, kProgramKey + key, Access::All, true);
        QVERIFY(k);
        k->writeString(QStringLiteral("Path"), value);
    }

  private slots:
    void init() {
        QVERIFY(m_tmp.isValid());
        const QString base =
            m_tmp.path() + QStringLiteral("/") + QString::number(QRandomGenerator::global()->generate());
        m_program = base + QStringLiteral("/program/");
        m_fixed = base + QStringLiteral("/c/");
        m_cd = base + QStringLiteral("/d/");
        m_removable = base + QStringLiteral("/e/");
        m_personal = base + QStringLiteral("/home/ordana/");
        qputenv("XDG_DATA_HOME", QFile::encodeName(base + QStringLiteral("/home")));
        for (const QString& d : {m_program, m_fixed, m_cd, m_removable})
            QDir().mkpath(d);
        m_settingsOwner = std::make_unique<MemorySettingsStore>();
        m_settings = m_settingsOwner.get();
        m_drives = std::make_unique<FixedDrives>(QList<Drive>{
            {m_fixed, DriveType::Fixed}, {m_cd, DriveType::CdRom}, {m_removable, DriveType::Removable}});
        m_dialogs.clear();
        m_dialogs.onMessage = nullptr;
        m_app = std::make_unique<Application>(*m_settings, *m_drives, m_dialogs, m_shell, m_program);
    }

    void diskValue_data() {
        QTest::addColumn<bool>("trailingSlash");
        QTest::newRow("without trailing slash") << false;
        QTest::newRow("with trailing slash") << true;
    }
    // A hard-disk copy named by "Disk" wins over the disc.
    void diskValue() {
        QFETCH(bool, trailingSlash);
        const QString copy = m_fixed + QStringLiteral("kopie");
        makeDb(copy + QStringLiteral("/ordat.mdb"));
        makeDb(m_cd + QStringLiteral("ordat.mdb"));
        setPath(Root::CurrentUser, QStringLiteral("Disk"), trailingSlash ? copy + u'/' : copy);
        QCOMPARE(locateDirectory(*m_app), StartupOutcome::Run);
        QCOMPARE(m_app->directoryDbPath, copy + QStringLiteral("/ordat.mdb"));
        QVERIFY(m_app->directoryDbOnDisk);
        QVERIFY(m_dialogs.shown().isEmpty());
    }

    // A "Disk" value without the file is passed over: local machine, then DATA,
    // then the user's data folder, then the disc.
    void fallbacks_data() {
        QTest::addColumn<bool>("machineDisk");
        QTest::addColumn<bool>("dataFolder");
        QTest::addColumn<bool>("userFolder");
        QTest::addColumn<QString>("expected"); // relative name of the winner
        QTest::addColumn<bool>("onDisk");
        QTest::newRow("local machine Disk") << true << true << true << QStringLiteral("machine") << true;
        QTest::newRow("program DATA folder") << false << true << true << QStringLiteral("data") << true;
        QTest::newRow("user's data folder") << false << false << true << QStringLiteral("user") << true;
        QTest::newRow("disc") << false << false << false << QStringLiteral("cd") << false;
    }
    void fallbacks() {
        QFETCH(bool, machineDisk);
        QFETCH(bool, dataFolder);
        QFETCH(bool, userFolder);
        QFETCH(QString, expected);
        QFETCH(bool, onDisk);
        setPath(Root::CurrentUser, QStringLiteral("Disk"), m_fixed + QStringLiteral("deleted"));
        const QString machine = m_fixed + QStringLiteral("machine/");
        if (machineDisk) {
            makeDb(machine + QStringLiteral("ordat.mdb"));
            setPath(Root::LocalMachine, QStringLiteral("Disk"), machine);
        }
        if (dataFolder) makeDb(m_program + QStringLiteral("DATA/ordat.mdb"));
        if (userFolder) makeDb(m_personal + QStringLiteral("ordat.mdb"));
        makeDb(m_cd + QStringLiteral("Ordat/ordat.mdb"));
        QCOMPARE(locateDirectory(*m_app), StartupOutcome::Run);
        const QString want = expected == u"machine" ? machine + QStringLiteral("ordat.mdb")
                             : expected == u"data"  ? m_program + QStringLiteral("DATA/ordat.mdb")
                             : expected == u"user"  ? m_personal + QStringLiteral("ordat.mdb")
                                                    : m_cd + QStringLiteral("Ordat/ordat.mdb");
        QCOMPARE(m_app->directoryDbPath, want);
        QCOMPARE(m_app->directoryDbOnDisk, onDisk);
    }

    void sourceKey() {
        makeDb(m_cd + QStringLiteral("ordat.mdb"));
        setPath(Root::LocalMachine, QStringLiteral("Source"), m_cd.chopped(1));
        QCOMPARE(locateDirectory(*m_app), StartupOutcome::Run);
        QCOMPARE(m_app->sourceDbPath, m_cd + QStringLiteral("ordat.mdb"));
        QCOMPARE(m_app->directoryDbPath, m_app->sourceDbPath);
        QVERIFY(!m_app->directoryDbOnDisk);
    }

    // No database anywhere: the prompt repeats until the disc is in, or Cancel ends.
    void insertDisc() {
        int prompts = 0;
        m_dialogs.onMessage = [&] {
            if (++prompts == 2) makeDb(m_cd + QStringLiteral("Ordat/ordat.mdb"));
        };
        QCOMPARE(locateDirectory(*m_app), StartupOutcome::Run);
        QCOMPARE(prompts, 2);
        QCOMPARE(m_app->directoryDbPath, m_cd + QStringLiteral("Ordat/ordat.mdb"));
        const auto& shown = m_dialogs.shown();
        QCOMPARE(shown.first().owner, nullptr);
        QCOMPARE(shown.first().caption, QStringLiteral("Upozornění"));
        QCOMPARE(shown.first().text, kInsertDisc);
        QCOMPARE(shown.first().icon, Dialogs::Icon::None);
        QCOMPARE(shown.first().buttons, Dialogs::Buttons::OkCancel);
    }

    void cancelDiscPrompt() {
        m_dialogs.answerMessage(Dialogs::Answer::Cancel);
        QCOMPARE(locateDirectory(*m_app), StartupOutcome::Cancelled);
    }

    // Removable and network drives are not scanned; a fixed disk comes before the CD.
    void scanOrder() {
        makeDb(m_removable + QStringLiteral("ordat.mdb"));
        makeDb(m_cd + QStringLiteral("ordat.mdb"));
        makeDb(m_fixed + QStringLiteral("ordat.mdb"), 1000);
        QCOMPARE(locateDirectory(*m_app), StartupOutcome::WrongDatabase);
        QCOMPARE(m_app->directoryDbPath, m_fixed + QStringLiteral("ordat.mdb"));
        QCOMPARE(m_dialogs.messageTexts(), QStringList{kWrong});
        QCOMPARE(m_dialogs.shown().first().icon, Dialogs::Icon::Information);
    }

    // "Target" is refreshed at every start, but only where the key exists.
    void targetRefreshedWhereItExists() {
        makeDb(m_cd + QStringLiteral("ordat.mdb"));
        setPath(Root::CurrentUser, QStringLiteral("Target"), QStringLiteral("/old/"));
        QCOMPARE(locateDirectory(*m_app), StartupOutcome::Run);
        auto user = m_settings->open(Root::CurrentUser, kProgramKey + QStringLiteral("Target"), Access::Read);
        QCOMPARE(user->readString(QStringLiteral("Path")).value_or(QString()), m_program);
        QVERIFY(!m_settings->open(Root::LocalMachine, kProgramKey + QStringLiteral("Target"), Access::Read));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
