// Finding the directory database before any window exists.

#include "Application.h"
#include "ConversionUser.h"
#include "ConvertedCopy.h"
#include "Database.h"
#include "DatabaseLogin.h"
#include "DiscCopy.h"
#include "Drives.h"
#include "Error.h"
#include "JetConversion.h"
#include "JetFile.h"
#include "PageTestSupport.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "Shell.h"
#include "Startup.h"
#include "StartupConversion.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

using namespace platform;
using test_support::ConversionUser;
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

// The generated directory and lists as Jet files, as the disc has them.
const QString kJetData = QStringLiteral(ORDANA_TEST_JET_DATA "/");

// The disc's database at path: the generated Jet directory (linked: its full
// size costs nothing).
void putJetDirectory(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QVERIFY(QFile::link(kJetData + QStringLiteral("ordat.mdb"), path));
}

// The first bytes of the Jet directory in a file of the given size: a Jet
// file, cut short or (sparse beyond them) damaged.
void putJetStart(const QString& path, qint64 bytes, qint64 size) {
    QFile jet(kJetData + QStringLiteral("ordat.mdb"));
    QVERIFY(jet.open(QIODevice::ReadOnly));
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(jet.read(bytes)), bytes);
    QVERIFY(f.resize(size));
}

// A converted copy of a Jet list at path: a converted copy, but not of the directory.
void putConvertedList(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    db::Engine engine;
    db::convertJetFile(engine.defaultWorkspace(), kJetData + QStringLiteral("MP.mdb"), path,
                       db::ConversionKind::Plain);
}

// The number of persons in the directory at path, opened as the program opens it.
qint64 persons(const QString& path) {
    db::Engine engine;
    engine.setWorkgroupFile(QFileInfo(path).absolutePath() + QStringLiteral("/ordat.mdw"));
    const db::Login login = db::databaseLogin();
    auto workspace = engine.openWorkspace(login.user, login.password);
    db::OpenOptions o;
    o.exclusive = true;
    o.readOnly = true;
    auto directory = workspace->openDatabase(path, o);
    return directory->queryNative(QStringLiteral("SELECT count(*) FROM \"Osoby\""))
        .value(0)
        .value(0)
        .toLongLong();
}

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

    QString convertedCopy() const { return m_personal + QStringLiteral("prevod/ordat.mdb"); }
    // The start as main() runs it.
    StartupOutcome start() {
        const StartupOutcome outcome = locateDirectory(*m_app);
        return outcome == StartupOutcome::Convert ? prepareDirectory(*m_app) : outcome;
    }

    // A disc in its own format: the question, then the conversion; Storno at
    // either ends the program and leaves nothing behind.
    void jetDisc_data() {
        QTest::addColumn<QString>("user"); // "yes", "no" or "storno" (in the window)
        QTest::addColumn<StartupOutcome>("outcome");
        QTest::newRow("answered Yes: converted and opened") << "yes" << StartupOutcome::Run;
        QTest::newRow("answered No") << "no" << StartupOutcome::Cancelled;
        QTest::newRow("Storno in the window") << "storno" << StartupOutcome::Cancelled;
    }
    void jetDisc() {
        QFETCH(QString, user);
        QFETCH(StartupOutcome, outcome);
        const QString disc = m_cd + QStringLiteral("Ordat/ordat.mdb");
        putJetDirectory(disc);
        m_dialogs.answerMessage(user == u"no" ? Dialogs::Answer::No : Dialogs::Answer::Yes);
        ConversionUser watching(user == u"storno" ? ConversionUser::Act::Storno : ConversionUser::Act::Wait);

        QCOMPARE(start(), outcome);
        QCOMPARE(m_dialogs.shown().size(), 1);
        const auto& question = m_dialogs.shown().first();
        QCOMPARE(question.owner, nullptr);
        QCOMPARE(question.caption, QStringLiteral("Dotaz"));
        QCOMPARE(question.icon, Dialogs::Icon::Question);
        QCOMPARE(question.buttons, Dialogs::Buttons::YesNo);
        QVERIFY2(question.text.contains(disc) &&
                     question.text.contains(m_personal + QStringLiteral("prevod/")),
                 qPrintable(question.text));
        QCOMPARE(m_app->sourceDbPath, disc);
        QVERIFY(!m_app->directoryDbOnDisk);
        QCOMPARE(watching.windowsSeen(), user == u"no" ? 0 : 1);
        if (outcome != StartupOutcome::Run) {
            QVERIFY(!QFileInfo::exists(m_personal));
            return;
        }
        // The program works with the copy, beside its own workgroup file.
        QCOMPARE(m_app->directoryDbPath, convertedCopy());
        QVERIFY(converted_copy::isCopyOf(convertedCopy(), disc));
        QVERIFY(converted_copy::holdsProgramLogin(m_personal + QStringLiteral("prevod/ordat.mdw")));
        QCOMPARE(persons(convertedCopy()), persons(QStringLiteral(ORDANA_TEST_DATA "/ordat.mdb")));
    }

    // The copy made at one start serves the next ones; one made from another
    // file is not taken for it.
    void jetDiscAgain_data() {
        QTest::addColumn<bool>("otherCopy"); // the copy there was made from another Jet file
        QTest::newRow("its own copy") << false;
        QTest::newRow("a copy of another file") << true;
    }
    void jetDiscAgain() {
        QFETCH(bool, otherCopy);
        const QString disc = m_cd + QStringLiteral("ordat.mdb");
        putJetDirectory(disc);
        if (otherCopy) {
            putConvertedList(convertedCopy());
            db::createLoginWorkgroup(m_personal + QStringLiteral("prevod/ordat.mdw"));
            // What a preparation killed half way left behind.
            for (const char* left :
                 {"prevod/.ordat.mdb.0123456789ab.part", "prevod/.ordat.mdb.0123456789ab.part-journal"}) {
                QFile file(m_personal + QLatin1String(left));
                QVERIFY(file.open(QIODevice::WriteOnly));
                file.write("unfinished");
            }
        } else {
            m_dialogs.answerMessage(Dialogs::Answer::Yes);
            QCOMPARE(start(), StartupOutcome::Run);
            m_dialogs.clear();
        }
        m_dialogs.answerMessage(Dialogs::Answer::Yes);
        QCOMPARE(start(), StartupOutcome::Run);
        QCOMPARE(m_dialogs.messageTexts().size(), otherCopy ? 1 : 0);
        QCOMPARE(m_app->directoryDbPath, convertedCopy());
        QVERIFY(converted_copy::isCopyOf(convertedCopy(), disc));
        QCOMPARE(QDir(m_personal + QStringLiteral("prevod")).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{QStringLiteral("ordat.mdb"), QStringLiteral("ordat.mdw")}));
    }

    // The size check applies to the file found, a Jet file too; a converted
    // copy has a size of its own and is taken whatever it is.
    void jetSizes_data() {
        QTest::addColumn<QString>("file"); // what lies in the program's DATA folder
        QTest::addColumn<StartupOutcome>("outcome");
        QTest::addColumn<QString>("message"); // shown: "wrong", "question" or none
        QTest::newRow("Jet file of another size") << "short jet" << StartupOutcome::WrongDatabase << "wrong";
        QTest::newRow("converted copy") << "converted" << StartupOutcome::Run << "";
        // The user put the disc's files into the program's folder.
        QTest::newRow("Jet directory on the hard disk") << "jet" << StartupOutcome::Run << "question";
    }
    void jetSizes() {
        QFETCH(QString, file);
        QFETCH(StartupOutcome, outcome);
        QFETCH(QString, message);
        const QString path = m_program + QStringLiteral("DATA/ordat.mdb");
        if (file == u"short jet") putJetStart(path, 64 * 1024, 64 * 1024);
        if (file == u"converted") putConvertedList(path);
        if (file == u"jet") putJetDirectory(path);
        m_dialogs.answerMessage(Dialogs::Answer::Yes);
        QCOMPARE(start(), outcome);
        QVERIFY(m_app->directoryDbOnDisk);
        QCOMPARE(m_dialogs.shown().size(), message.isEmpty() ? 0 : 1);
        if (message == u"wrong") QCOMPARE(m_dialogs.messageTexts(), QStringList{kWrong});
        if (message == u"question") QCOMPARE(m_dialogs.shown().first().caption, QStringLiteral("Dotaz"));
        if (outcome == StartupOutcome::Run)
            QCOMPARE(m_app->directoryDbPath, message.isEmpty() ? path : convertedCopy());
    }

    // A disc whose file cannot be converted: the reason is shown and the
    // program ends as for a wrong database, leaving nothing behind.
    void jetDiscDamaged() {
        const QString disc = m_cd + QStringLiteral("ordat.mdb");
        // The Jet header, and nothing but zeros after it.
        putJetStart(disc, 4096, kDirectoryDbSize);
        QVERIFY(db::jet::isJetFile(disc));
        m_dialogs.answerMessage(Dialogs::Answer::Yes);
        QCOMPARE(start(), StartupOutcome::WrongDatabase);
        QCOMPARE(m_dialogs.shown().size(), 2);
        const auto& failure = m_dialogs.shown().last();
        QCOMPARE(failure.caption, QStringLiteral("Upozornění"));
        QCOMPARE(failure.owner, nullptr);
        const QString fixed =
            QStringLiteral("Databázi „") + disc + QStringLiteral("“ nelze připravit k použití.\n\n");
        QVERIFY2(failure.text.startsWith(fixed) && failure.text.size() > fixed.size(),
                 qPrintable(failure.text));
        QVERIFY(!QFileInfo::exists(m_personal));
        QCOMPARE(m_app->directoryDbPath, disc);
    }

    // The disc copy of a Jet disc is the converted directory, which the next
    // start finds through "Disk" and opens without asking.
    void jetDiscCopyFoundAtNextStart() {
        const QString disc = m_cd + QStringLiteral("ordat.mdb");
        putJetDirectory(disc);
        m_dialogs.answerMessage(Dialogs::Answer::Yes);
        QCOMPARE(start(), StartupOutcome::Run);
        m_dialogs.answerMessage(Dialogs::Answer::Yes);
        QCOMPARE(DiscCopy(*m_app).run(nullptr), DiscCopy::Outcome::Copied);
        const QString copy = m_program + QStringLiteral("DATA/ordat.mdb");
        QCOMPARE(m_app->directoryDbPath, copy);

        m_dialogs.clear();
        QCOMPARE(start(), StartupOutcome::Run);
        QVERIFY(m_dialogs.shown().isEmpty());
        QCOMPARE(m_app->directoryDbPath, copy);
        QVERIFY(m_app->directoryDbOnDisk);
        QCOMPARE(persons(copy), persons(QStringLiteral(ORDANA_TEST_DATA "/ordat.mdb")));
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
