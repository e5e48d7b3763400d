#include "ConversionUser.h"
#include "ConvertedCopy.h"
#include "Database.h"
#include "DatabaseLogin.h"
#include "DiscCopy.h"
#include "DiscCopyDialog.h"
#include "JetConversion.h"
#include "JetFile.h"
#include "SettingsFixture.h"

#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <functional>
#include <sys/resource.h>

using platform::Dialogs;
using platform::Drive;
using platform::DriveType;
using Answer = platform::Dialogs::Answer;
using CopyResult = platform::Shell::CopyResult;
Q_DECLARE_METATYPE(platform::Dialogs::Answer)
Q_DECLARE_METATYPE(platform::Shell::CopyResult)
Q_DECLARE_METATYPE(platform::Drive)

namespace {

// Scripted dialogs that act while a message is shown, as a user inserting the
// disc before pressing OK.
class ActingDialogs : public platform::ScriptedDialogs {
  public:
    Answer message(QWidget* owner, const QString& caption, const QString& text, Icon icon,
                   Buttons buttons) override {
        if (onMessage) onMessage(text);
        return ScriptedDialogs::message(owner, caption, text, icon, buttons);
    }
    std::function<void(const QString&)> onMessage;
};

// A file of the given size; sparse, so the full database size costs nothing.
void makeFile(const QString& path, qint64 size) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QVERIFY(file.resize(size));
}

// The generated directory and lists as Jet files, as the disc has them.
const QString kJetData = QStringLiteral(ORDANA_TEST_JET_DATA "/");

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every file of a folder with its contents.
QMap<QString, QByteArray> folderContents(const QString& folder) {
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        files.insert(name, contents(folder + u'/' + name));
    return files;
}

} // namespace

class TestDiscCopy : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();

    void noDiscCancelled();
    void discInsertedAfterPrompt();
    void notFinished_data();
    void notFinished();
    void copied();
    void copiedInto_data();
    void copiedInto();
    void copyFailed_data();
    void copyFailed();
    void settingsNotWritable();
    void strictScan_data();
    void strictScan();

    void jetDiscConverted_data();
    void jetDiscConverted();
    void jetDiscNotFinished_data();
    void jetDiscNotFinished();

    void dialogDoneAtStart();
    void dialogAfterCopy();
    void dialogOtherwise_data();
    void dialogOtherwise();

  private:
    // A CD-ROM drive holding the database in its root; the program runs from it.
    void insertDisc() {
        m_disc = std::make_unique<QTemporaryDir>();
        makeFile(discFile(), DiscCopy::kDatabaseSize);
        f->drives.setDrives({Drive{m_disc->path() + u'/', DriveType::CdRom}});
        f->app->sourceDbPath = f->app->directoryDbPath = discFile();
    }
    // The same, the database in the disc's own format (a Jet file) with its
    // Jet workgroup file; damaged: only the header is there.
    void insertJetDisc(bool damaged = false) {
        m_disc = std::make_unique<QTemporaryDir>();
        if (damaged) {
            QFile jet(kJetData + QStringLiteral("ordat.mdb"));
            QVERIFY(jet.open(QIODevice::ReadOnly));
            QFile file(discFile());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(jet.read(4096));
            QVERIFY(file.resize(DiscCopy::kDatabaseSize));
        } else {
            // Linked: its full size costs nothing.
            QVERIFY(QFile::link(kJetData + QStringLiteral("ordat.mdb"), discFile()));
        }
        QVERIFY(QFile::copy(kJetData + QStringLiteral("ordat.mdw"),
                            m_disc->path() + QStringLiteral("/ordat.mdw")));
        f->drives.setDrives({Drive{m_disc->path() + u'/', DriveType::CdRom}});
        f->app->sourceDbPath = f->app->directoryDbPath = discFile();
    }
    // What the program's DATA folder holds before the copy.
    void prepareData(const QString& before) {
        const QString data = program() + QStringLiteral("DATA/");
        if (before == u"older copy") {
            QFile old(data + QStringLiteral("ordat.mdb"));
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("an older copy");
            old.close();
            db::createLoginWorkgroup(data + QStringLiteral("ordat.mdw"));
        } else if (before == u"disc's files") {
            QVERIFY(QFile::copy(kJetData + QStringLiteral("MP.mdb"), data + QStringLiteral("ordat.mdb")));
            QVERIFY(QFile::copy(kJetData + QStringLiteral("ordat.mdw"), data + QStringLiteral("ordat.mdw")));
        }
    }
    QString discFile() const { return m_disc->path() + QStringLiteral("/ordat.mdb"); }
    QString program() const { return f->app->programFolder(); }
    std::optional<QString> storedPath() {
        auto key =
            f->store.open(platform::Root::CurrentUser, DiscCopy::settingsKey(), platform::Access::Read);
        return key ? key->readString(QStringLiteral("Path")) : std::nullopt;
    }

    std::unique_ptr<settings_test::Fixture> f;
    std::unique_ptr<QTemporaryDir> m_disc;
};

void TestDiscCopy::init() {
    f = std::make_unique<settings_test::Fixture>();
}

void TestDiscCopy::cleanup() {
    f.reset();
    m_disc.reset();
}

void TestDiscCopy::noDiscCancelled() {
    f->dialogs.answerMessage(Answer::Cancel);
    QWidget owner;
    QCOMPARE(DiscCopy(*f->app).run(&owner), DiscCopy::Outcome::NoDisc);
    QCOMPARE(f->dialogs.shown().size(), 1);
    const auto& prompt = f->dialogs.shown().first();
    QCOMPARE(prompt.owner, &owner);
    QCOMPARE(prompt.caption, QStringLiteral("Upozornění"));
    QCOMPARE(prompt.text,
             QStringLiteral("Vložte prosím CD-ROM/DVD Ordana 2004 Velto/Brevo do mechaniky.    "));
    QCOMPARE(prompt.icon, Dialogs::Icon::None);
    QCOMPARE(prompt.buttons, Dialogs::Buttons::OkCancel);
    QVERIFY(f->shell.copies.isEmpty());
}

void TestDiscCopy::discInsertedAfterPrompt() {
    ActingDialogs dialogs;
    Application app(f->store, f->drives, dialogs, f->shell, f->dir.path());
    int prompts = 0;
    // The first OK finds no disc yet; the disc goes in before the second.
    dialogs.onMessage = [&](const QString& text) {
        if (text == DiscCopy::kInsertDiscText && ++prompts == 2) insertDisc();
    };
    for (Answer a : {Answer::Ok, Answer::Ok, Answer::Yes, Answer::Ok})
        dialogs.answerMessage(a);
    QCOMPARE(DiscCopy(app).run(nullptr), DiscCopy::Outcome::Copied);
    QCOMPARE(prompts, 2);
    QCOMPARE(f->shell.copies.size(), 1);
    QCOMPARE(f->shell.copies.first().source, discFile());
}

void TestDiscCopy::notFinished_data() {
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<CopyResult>("result");
    QTest::addColumn<QString>("reason"); // shown after the fixed text
    QTest::newRow("answered No") << Answer::No << CopyResult::Copied << "";
    QTest::newRow("replacing declined") << Answer::Yes << CopyResult::Declined << "";
    QTest::newRow("cancelled") << Answer::Yes << CopyResult::Cancelled << "";
    QTest::newRow("failed") << Answer::Yes << CopyResult::Failed << "\n\ndisk full";
}

void TestDiscCopy::notFinished() {
    QFETCH(Answer, answer);
    QFETCH(CopyResult, result);
    QFETCH(QString, reason);
    insertDisc();
    f->shell.copyResult = result;
    f->dialogs.answerMessage(answer);
    QWidget owner;
    QCOMPARE(DiscCopy(*f->app).run(&owner), DiscCopy::Outcome::NotFinished);

    QCOMPARE(f->shell.copies.size(), answer == Answer::Yes ? 1 : 0);
    QCOMPARE(f->dialogs.shown().size(), 2);
    const auto& question = f->dialogs.shown().at(0);
    QCOMPARE(question.caption, QStringLiteral("Dotaz"));
    QCOMPARE(question.buttons, Dialogs::Buttons::YesNo);
    QCOMPARE(question.text,
             QStringLiteral("Přejete si zkopírovat databázi z CD-ROM/DVD na pevný disk do adresáře: \"") +
                 program() + QStringLiteral("DATA/\" ?   "));
    const auto& outcome = f->dialogs.shown().at(1);
    QCOMPARE(outcome.caption, QStringLiteral("Informace"));
    QCOMPARE(outcome.text, QStringLiteral("Kopírování nebylo dokončeno !   ") + reason);
    QCOMPARE(outcome.icon, Dialogs::Icon::Error);
    QCOMPARE(outcome.owner, &owner);
    QCOMPARE(storedPath(), std::nullopt);
    QCOMPARE(f->app->directoryDbPath, discFile());
    QVERIFY(!f->app->directoryDbOnDisk);
}

void TestDiscCopy::copied() {
    insertDisc();
    f->dialogs.answerMessage(Answer::Yes);
    f->dialogs.answerMessage(Answer::Ok);
    QWidget owner;
    QCOMPARE(DiscCopy(*f->app).run(&owner), DiscCopy::Outcome::Copied);

    QCOMPARE(f->shell.copies.size(), 1);
    QCOMPARE(f->shell.copies.first().owner, &owner);
    QCOMPARE(f->shell.copies.first().source, discFile());
    QCOMPARE(f->shell.copies.first().target, program() + QStringLiteral("DATA/ordat.mdb"));
    const auto& done = f->dialogs.shown().last();
    QCOMPARE(done.caption, QStringLiteral("Informace"));
    QCOMPARE(done.text, QStringLiteral("Kopírování bylo úspěšně dokončeno. Od této chvíle program pracuje se "
                                       "zkopírovanou databází.    "));
    QCOMPARE(done.icon, Dialogs::Icon::Information);
    // The folder without a trailing slash, under the program's key.
    QCOMPARE(DiscCopy::settingsKey(), QStringLiteral("\\Software\\Kestrava s.r.o.\\Ordana 2004\\Disk"));
    QCOMPARE(storedPath(), std::optional<QString>(program() + QStringLiteral("DATA")));
    QCOMPARE(f->app->directoryDbPath, program() + QStringLiteral("DATA/ordat.mdb"));
    QVERIFY(f->app->directoryDbOnDisk);
}

void TestDiscCopy::copyFailed_data() {
    QTest::addColumn<QString>("target"); // what is done to the program's DATA folder
    QTest::addColumn<QString>("reason"); // a part of the reason shown
    QTest::newRow("no folder to copy into") << "file"
                                            << "nelze vytvořit";
    // The system's reason for the failed write, not the copy's own cancel.
    QTest::newRow("disk full") << "full" << QStringLiteral("nelze zapisovat: ") + qt_error_string(EFBIG);
}

void TestDiscCopy::copiedInto_data() {
    QTest::addColumn<QString>("data"); // the state of the program's DATA folder
    QTest::addColumn<bool>("programWritable");
    QTest::addColumn<bool>("personal"); // the copy goes to the user's data folder
    QTest::newRow("DATA writable") << "writable" << true << false;
    QTest::newRow("DATA missing, program folder writable") << "missing" << true << false;
    QTest::newRow("DATA missing, program folder read-only") << "missing" << false << true;
    QTest::newRow("DATA read-only") << "read-only" << true << true;
    QTest::newRow("DATA is a file") << "file" << true << true;
}

// The copy goes to the program's DATA folder when that can be written, else
// (an installed program) to the user's data folder; either is recorded.
void TestDiscCopy::copiedInto() {
    QFETCH(QString, data);
    QFETCH(bool, programWritable);
    QFETCH(bool, personal);
    const QString dataFolder = program() + QStringLiteral("DATA");
    const auto readOnly = QFileDevice::ReadOwner | QFileDevice::ExeOwner;
    if (data != u"writable") QVERIFY(QDir(dataFolder).removeRecursively());
    if (data == u"read-only")
        QVERIFY(QDir().mkpath(dataFolder) && QFile::setPermissions(dataFolder, readOnly));
    if (data == u"file") makeFile(dataFolder, 1);
    if (!programWritable) QVERIFY(QFile::setPermissions(program(), readOnly));
    insertDisc();
    makeFile(m_disc->path() + QStringLiteral("/ordat.mdw"), 7);
    f->dialogs.answerMessage(Answer::Yes);
    f->dialogs.answerMessage(Answer::Ok);
    const auto outcome = DiscCopy(*f->app).run(nullptr);
    for (const QString& folder : {program(), dataFolder})
        QFile::setPermissions(folder, readOnly | QFileDevice::WriteOwner);

    QCOMPARE(outcome, DiscCopy::Outcome::Copied);
    const QString folder = personal ? f->app->personalFolder() : dataFolder + u'/';
    QCOMPARE(f->shell.copies.first().target, folder + QStringLiteral("ordat.mdb"));
    // The workgroup file the copy opens with comes from beside the disc's database.
    QCOMPARE(QFile(folder + QStringLiteral("ordat.mdw")).size(), 7);
    QVERIFY(f->dialogs.shown().first().text.contains(u'"' + folder + u'"'));
    QCOMPARE(storedPath(), std::optional<QString>(folder.chopped(1)));
    QCOMPARE(f->app->directoryDbPath, folder + QStringLiteral("ordat.mdb"));
}

// A copy through the real shell that fails shows why, after the fixed text;
// nothing is recorded and the program stays with the disc.
void TestDiscCopy::copyFailed() {
    QFETCH(QString, target);
    QFETCH(QString, reason);
    const QString data = program() + QStringLiteral("DATA");
    insertDisc();
    if (target == u"file") {
        // Neither the program's DATA nor the user's data folder is a folder.
        QVERIFY(QDir(data).removeRecursively());
        makeFile(data, 1);
        makeFile(f->app->personalFolder().chopped(1), 1);
    }
    platform::DesktopShell shell(f->dialogs);
    Application app(f->store, f->drives, f->dialogs, shell, f->dir.path());
    app.sourceDbPath = app.directoryDbPath = discFile();
    f->dialogs.answerMessage(Answer::Yes);

    rlimit old{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    if (target == u"full") {
        // Files cannot grow past 64 KiB, as on a nearly full disk.
        rlimit tight = old;
        tight.rlim_cur = 64 * 1024;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &tight), 0);
    }
    const auto outcome = DiscCopy(app).run(nullptr);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    QFile::setPermissions(data, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    QCOMPARE(outcome, DiscCopy::Outcome::NotFinished);
    const auto& shown = f->dialogs.shown().last();
    QCOMPARE(shown.caption, QStringLiteral("Informace"));
    QCOMPARE(shown.icon, Dialogs::Icon::Error);
    const QString fixed = QStringLiteral("Kopírování nebylo dokončeno !   \n\n");
    QVERIFY2(shown.text.startsWith(fixed), qPrintable(shown.text));
    QVERIFY2(shown.text.mid(fixed.size()).contains(reason), qPrintable(shown.text));
    QVERIFY2(shown.text.contains(QStringLiteral("ordat.mdb")), qPrintable(shown.text));
    QCOMPARE(storedPath(), std::nullopt);
    QCOMPARE(app.directoryDbPath, discFile());
    QVERIFY(!QFileInfo(data + QStringLiteral("/ordat.mdb")).isFile());
}

void TestDiscCopy::settingsNotWritable() {
    insertDisc();
    f->store.setReadOnly(platform::Root::CurrentUser, true);
    f->dialogs.answerMessage(Answer::Yes);
    QCOMPARE(DiscCopy(*f->app).run(nullptr), DiscCopy::Outcome::NotRecorded);
    QCOMPARE(f->dialogs.shown().size(), 3);
    const auto& error = f->dialogs.shown().last();
    QCOMPARE(error.caption, QStringLiteral("Upozornění"));
    QVERIFY2(error.text.contains(DiscCopy::settingsKey()), qPrintable(error.text));
    QCOMPARE(f->app->directoryDbPath, discFile());
    QVERIFY(!f->app->directoryDbOnDisk);
}

void TestDiscCopy::strictScan_data() {
    QTest::addColumn<QList<Drive>>("drives"); // roots relative to a temporary folder
    QTest::addColumn<QStringList>("files");   // "path:size", relative likewise
    QTest::addColumn<QString>("copied");      // relative; empty: nothing found

    const QString right = QString::number(DiscCopy::kDatabaseSize);
    const QString wrong = QString::number(DiscCopy::kDatabaseSize - 4096);
    // clang-format off
    QTest::newRow("root of a CD-ROM")
        << QList<Drive>{{"d/", DriveType::CdRom}} << QStringList{"d/ordat.mdb:" + right} << "d/ordat.mdb";
    QTest::newRow("Ordat folder of a CD-ROM")
        << QList<Drive>{{"d/", DriveType::CdRom}} << QStringList{"d/Ordat/ordat.mdb:" + right}
        << "d/Ordat/ordat.mdb";
    QTest::newRow("wrong size in the root")
        << QList<Drive>{{"d/", DriveType::CdRom}} << QStringList{"d/ordat.mdb:" + wrong} << "";
    QTest::newRow("wrong size in the Ordat folder")
        << QList<Drive>{{"d/", DriveType::CdRom}} << QStringList{"d/Ordat/ordat.mdb:" + wrong} << "";
    QTest::newRow("a wrong root file gives the drive up")
        << QList<Drive>{{"d/", DriveType::CdRom}}
        << QStringList{"d/ordat.mdb:" + wrong, "d/Ordat/ordat.mdb:" + right} << "";
    QTest::newRow("a later drive")
        << QList<Drive>{{"c/", DriveType::Fixed}, {"e/", DriveType::CdRom}}
        << QStringList{"c/ordat.mdb:" + wrong, "e/Ordat/ordat.mdb:" + right} << "e/Ordat/ordat.mdb";
    QTest::newRow("removable drives do not count")
        << QList<Drive>{{"u/", DriveType::Removable}} << QStringList{"u/ordat.mdb:" + right} << "";
    // clang-format on
}

void TestDiscCopy::strictScan() {
    QFETCH(QList<Drive>, drives);
    QFETCH(QStringList, files);
    QFETCH(QString, copied);

    const QString base = f->dir.path() + QStringLiteral("/drives/");
    for (Drive& drive : drives) {
        drive.root = base + drive.root;
        QDir().mkpath(drive.root);
    }
    for (const QString& file : files)
        makeFile(base + file.section(u':', 0, 0), file.section(u':', 1).toLongLong());
    f->drives.setDrives(drives);
    // The disc known from start is gone, so the copy takes what the scan found.
    f->app->sourceDbPath = base + QStringLiteral("gone/ordat.mdb");

    if (copied.isEmpty()) {
        f->dialogs.answerMessage(Answer::Cancel);
        QCOMPARE(DiscCopy(*f->app).run(nullptr), DiscCopy::Outcome::NoDisc);
        QVERIFY(f->shell.copies.isEmpty());
    } else {
        f->dialogs.answerMessage(Answer::Yes);
        f->dialogs.answerMessage(Answer::Ok);
        QCOMPARE(DiscCopy(*f->app).run(nullptr), DiscCopy::Outcome::Copied);
        QCOMPARE(f->shell.copies.size(), 1);
        QCOMPARE(f->shell.copies.first().source, base + copied);
    }
}

void TestDiscCopy::jetDiscConverted_data() {
    QTest::addColumn<QString>("before"); // what the program's DATA folder holds
    QTest::addColumn<bool>("prepared");  // start-up converted the disc into the user's data folder
    QTest::newRow("nothing yet") << "" << false;
    QTest::newRow("an older copy") << "older copy" << false;
    // The user once put the disc's files there.
    QTest::newRow("the disc's Jet files") << "disc's files" << false;
    QTest::newRow("prepared at start-up") << "" << true;
}

// A disc in its own format is converted, not copied, into the same place,
// beside the program's own workgroup file, so that the next start opens it.
void TestDiscCopy::jetDiscConverted() {
    QFETCH(QString, before);
    QFETCH(bool, prepared);
    insertJetDisc();
    prepareData(before);
    const QString startupCopy = converted_copy::directoryPath(*f->app);
    if (prepared) {
        const QString workgroup = converted_copy::readyFolder(*f->app) + QStringLiteral("ordat.mdw");
        db::createLoginWorkgroup(workgroup);
        const auto workspace = converted_copy::programWorkspace(f->app->engine(), workgroup);
        db::convertJetFile(*workspace, discFile(), startupCopy, db::ConversionKind::Directory);
        f->app->directoryDbPath = startupCopy;
    }
    f->dialogs.answerMessage(Answer::Yes);
    QWidget owner;
    QCOMPARE(DiscCopy(*f->app).run(&owner), DiscCopy::Outcome::Copied);

    QVERIFY(f->shell.copies.isEmpty());
    const QString target = program() + QStringLiteral("DATA/ordat.mdb");
    QVERIFY(converted_copy::isCopyOf(target, discFile()));
    QVERIFY(!db::jet::isJetFile(target));
    const QString workgroup = program() + QStringLiteral("DATA/ordat.mdw");
    QVERIFY(converted_copy::holdsProgramLogin(workgroup));
    // Nothing else is left in the folder.
    QCOMPARE(folderContents(program() + QStringLiteral("DATA")).keys(),
             (QStringList{QStringLiteral("ordat.mdb"), QStringLiteral("ordat.mdw")}));
    QCOMPARE(f->dialogs.messageTexts().last(), DiscCopy::kDoneText);
    QCOMPARE(storedPath(), std::optional<QString>(program() + QStringLiteral("DATA")));
    QCOMPARE(f->app->directoryDbPath, target);
    QVERIFY(f->app->directoryDbOnDisk);
    // The copy start-up made is no longer used: it does not take the space twice.
    QVERIFY(!QFileInfo::exists(startupCopy));
}

void TestDiscCopy::jetDiscNotFinished_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("damaged"); // the disc's file cannot be converted; else Storno in the window
    QTest::newRow("Storno") << "" << false;
    QTest::newRow("Storno, an older copy there") << "older copy" << false;
    QTest::newRow("Storno, the disc's Jet files there") << "disc's files" << false;
    QTest::newRow("damaged disc") << "" << true;
    QTest::newRow("damaged disc, an older copy there") << "older copy" << true;
}

// A conversion given up or failed ends as a failed copy does, and what was in
// the program's DATA folder stays exactly as it was.
void TestDiscCopy::jetDiscNotFinished() {
    QFETCH(QString, before);
    QFETCH(bool, damaged);
    insertJetDisc(damaged);
    prepareData(before);
    const auto data = folderContents(program() + QStringLiteral("DATA"));
    f->dialogs.answerMessage(Answer::Yes);
    std::unique_ptr<test_support::ConversionUser> storno;
    if (!damaged)
        storno = std::make_unique<test_support::ConversionUser>(test_support::ConversionUser::Act::Storno);
    QWidget owner;
    QCOMPARE(DiscCopy(*f->app).run(&owner), DiscCopy::Outcome::NotFinished);

    if (storno) QCOMPARE(storno->windowsSeen(), 1);
    const auto& shown = f->dialogs.shown().last();
    QCOMPARE(shown.caption, QStringLiteral("Informace"));
    QCOMPARE(shown.icon, Dialogs::Icon::Error);
    QCOMPARE(shown.owner, &owner);
    if (damaged) {
        const QString fixed = DiscCopy::kNotFinishedText + QStringLiteral("\n\n");
        QVERIFY2(shown.text.startsWith(fixed) && shown.text.size() > fixed.size(), qPrintable(shown.text));
    } else {
        QCOMPARE(shown.text, DiscCopy::kNotFinishedText);
    }
    QCOMPARE(folderContents(program() + QStringLiteral("DATA")), data);
    QCOMPARE(storedPath(), std::nullopt);
    QCOMPARE(f->app->directoryDbPath, discFile());
    QVERIFY(!f->app->directoryDbOnDisk);
}

void TestDiscCopy::dialogDoneAtStart() {
    f->app->directoryDbOnDisk = true;
    DiscCopyDialog dialog(*f->app);
    auto* copy = dialog.findChild<QPushButton*>("button15");
    QCOMPARE(copy->text(), QStringLiteral(" Hotovo"));
    QVERIFY(!copy->isEnabled());
}

void TestDiscCopy::dialogAfterCopy() {
    insertDisc();
    DiscCopyDialog dialog(*f->app);
    QSignalSpy copied(&dialog, &DiscCopyDialog::databaseCopied);
    dialog.show();
    f->dialogs.answerMessage(Answer::Yes);
    f->dialogs.answerMessage(Answer::Ok);

    auto* copy = dialog.findChild<QPushButton*>("button15");
    QCOMPARE(copy->text(), QStringLiteral("&Kopie"));
    QTest::mouseClick(copy, Qt::LeftButton);
    QCOMPARE(copy->text(), QStringLiteral(" Hotovo"));
    QVERIFY(!copy->isEnabled());
    QVERIFY(!dialog.isVisible());
    QCOMPARE(copied.count(), 1);
    QCOMPARE(copied.first().first().toString(), program() + QStringLiteral("DATA/ordat.mdb"));
    for (const auto& shown : f->dialogs.shown())
        QCOMPARE(shown.owner, &dialog);
}

void TestDiscCopy::dialogOtherwise_data() {
    QTest::addColumn<bool>("disc");
    QTest::addColumn<QString>("button"); // clicked; empty: Esc
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<bool>("open"); // afterwards
    QTest::addColumn<int>("messages");
    QTest::newRow("not finished: stays open") << true << "button15" << QStringList{"No"} << true << 2;
    QTest::newRow("no disc, cancelled: closes") << false << "button15" << QStringList{"Cancel"} << false << 1;
    QTest::newRow("Zpět closes doing nothing") << true << "BitBtn1" << QStringList{} << false << 0;
    QTest::newRow("Esc closes doing nothing") << true << "" << QStringList{} << false << 0;
}

void TestDiscCopy::dialogOtherwise() {
    QFETCH(bool, disc);
    QFETCH(QString, button);
    QFETCH(QStringList, answers);
    QFETCH(bool, open);
    QFETCH(int, messages);

    if (disc) insertDisc();
    for (const QString& a : answers)
        f->dialogs.answerMessage(a == "No" ? Answer::No : Answer::Cancel);
    DiscCopyDialog dialog(*f->app);
    QSignalSpy copied(&dialog, &DiscCopyDialog::databaseCopied);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    if (button.isEmpty())
        QTest::keyClick(&dialog, Qt::Key_Escape);
    else
        QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);

    QCOMPARE(dialog.isVisible(), open);
    QCOMPARE(f->dialogs.shown().size(), messages);
    QVERIFY(f->shell.copies.isEmpty());
    QCOMPARE(copied.count(), 0);
    auto* copy = dialog.findChild<QPushButton*>("button15");
    QVERIFY(copy->isEnabled());
    QCOMPARE(f->app->directoryDbPath, disc ? discFile() : QString());
}

QTEST_MAIN(TestDiscCopy)
#include "tst_disccopy.moc"
