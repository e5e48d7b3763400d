// The program's connections without a window: the order of start-up, the
// personal database's place and refusals, re-opening a moved directory, and
// the state left after each failure.

#include "Application.h"
#include "Connections.h"
#include "DatabaseLogin.h"
#include "Drives.h"
#include "Error.h"
#include "PageTestSupport.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {

const QString kTestDirectory = QStringLiteral(ORDANA_TEST_DATA "/ordat.mdb");

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList surnames(db::Database* d) {
    db::Dataset q;
    q.setDatabase(d);
    q.setSql(QStringLiteral("SELECT Prijmeni FROM Vlastni ORDER BY Prijmeni"));
    q.open();
    QStringList names;
    for (; !q.eof(); q.next())
        names << q.text(QStringLiteral("Prijmeni"));
    return names;
}

// Every file under the folder with its size and time of change.
QStringList snapshot(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo f(it.next());
        files << f.filePath() + u' ' + QString::number(f.size()) + u' ' +
                     f.lastModified().toString(Qt::ISODateWithMs);
    }
    files.sort();
    return files;
}

} // namespace

class TestConnections : public QObject {
    Q_OBJECT

    QTemporaryDir m_tmp;
    std::unique_ptr<platform::MemorySettingsStore> m_settings;
    platform::FixedDrives m_drives{{}};
    platform::ScriptedDialogs m_dialogs;
    test_support::NoShell m_shell;
    std::unique_ptr<Application> m_app;
    QString m_program; // ending in "/"
    QString m_scratch; // the private folder of the test, ending in "/"

    QString personalFolder() const { return m_app->personalFolder(); }
    QString personalFile() const { return personalFolder() + QStringLiteral("vlastni.mdb"); }

    // A personal database at path holding one record of the surname given.
    void makePersonal(const QString& path, const QString& surname) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        db::Engine engine;
        const QString mdw = QFileInfo(path).absolutePath() + QStringLiteral("/ordat.mdw");
        if (!QFileInfo::exists(mdw)) db::createLoginWorkgroup(mdw);
        engine.setWorkgroupFile(mdw);
        const db::OwnPaths paths =
            db::OwnPaths::make(QFileInfo(path).absolutePath(), m_tmp.path(), QStringLiteral("t"));
        db::createOwnDatabase(engine, path, paths);
        const db::Login login = db::databaseLogin();
        auto d =
            engine.openWorkspace(login.user, login.password)->openDatabase(path, db::personalOpenOptions());
        d->execute(QStringLiteral("INSERT INTO Vlastni (Prijmeni) VALUES (\"%1\")").arg(surname),
                   db::Database::FailOnError);
    }
    // A copy of the test directory with its workgroup file in a folder of the program.
    QString copyDirectory(const QString& folder) {
        QDir().mkpath(m_program + folder);
        const QString path = m_program + folder + QStringLiteral("/ordat.mdb");
        if (!QFile::copy(kTestDirectory, path)) qFatal("cannot copy the test directory");
        db::createLoginWorkgroup(m_program + folder + QStringLiteral("/ordat.mdw"));
        return path;
    }
    bool startAll(Connections& c) {
        const auto failed = c.start(m_scratch, [] { return QString(); });
        if (failed) qWarning("start failed: %s", qPrintable(c.failureReason()));
        return !failed;
    }

  private slots:
    void init() {
        const QString run = QString::number(QRandomGenerator::global()->generate());
        m_program = m_tmp.path() + QStringLiteral("/p") + run + u'/';
        QDir().mkpath(m_program + QStringLiteral("DATA"));
        // An installed program comes with its workgroup file.
        db::createLoginWorkgroup(m_program + QStringLiteral("DATA/ordat.mdw"));
        m_scratch = m_tmp.path() + QStringLiteral("/scratch") + run + u'/';
        QDir().mkpath(m_scratch);
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_tmp.path() + QStringLiteral("/home") + run));
        m_settings = std::make_unique<platform::MemorySettingsStore>();
        m_app = std::make_unique<Application>(*m_settings, m_drives, m_dialogs, m_shell, m_program);
        m_app->directoryDbPath = kTestDirectory;
    }

    // Start-up runs scratch folder, directory, personal database, and stops at
    // the first step that fails: what a later step would make does not exist,
    // and the reason names what went wrong.
    void startOrder_data() {
        QTest::addColumn<QString>("failure"); // what is broken before the start
        QTest::addColumn<int>("failedStep");  // -1: none
        QTest::addColumn<QString>("reasonPart");
        QTest::newRow("nothing") << QString() << -1 << QString();
        QTest::newRow("no scratch folder")
            << QStringLiteral("scratch") << int(Connections::Step::ScratchFolder)
            << QStringLiteral("odkládací");
        QTest::newRow("directory missing") << QStringLiteral("directory") << int(Connections::Step::Directory)
                                           << QStringLiteral("missing/ordat.m");
        QTest::newRow("directory not a database")
            << QStringLiteral("garbage directory") << int(Connections::Step::Directory)
            << QStringLiteral("garbage/ordat.mdb");
        QTest::newRow("personal folder cannot be made")
            << QStringLiteral("personal") << int(Connections::Step::Personal) << QStringLiteral("ordana");
    }
    void startOrder() {
        QFETCH(QString, failure);
        QFETCH(int, failedStep);
        QFETCH(QString, reasonPart);
        QString privateFolder = m_scratch;
        if (failure == u"scratch") privateFolder.clear();
        if (failure == u"directory") m_app->directoryDbPath = m_program + QStringLiteral("missing/ordat.mdb");
        if (failure == u"garbage directory") {
            const QString path = copyDirectory(QStringLiteral("garbage"));
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(QByteArray(8192, '\x5a'));
            m_app->directoryDbPath = path;
        }
        if (failure == u"personal") {
            // A file where the user's data folder should be made.
            const QString parent = QFileInfo(personalFolder().chopped(1)).absolutePath();
            QDir().mkpath(QFileInfo(parent).absolutePath());
            QFile f(parent);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        int asked = 0;
        Connections c(*m_app);
        const auto failed = c.start(privateFolder, [&asked] {
            ++asked;
            return QString();
        });
        QCOMPARE(failed ? int(*failed) : -1, failedStep);
        QCOMPARE(asked, privateFolder.isEmpty() ? 1 : 0);
        if (failedStep < 0) {
            QVERIFY(c.failureReason().isEmpty());
        } else {
            QVERIFY2(c.failureReason().contains(reasonPart), qPrintable(c.failureReason()));
        }
        const bool scratchMade = failedStep != int(Connections::Step::ScratchFolder);
        QCOMPARE(c.working(db::WorkingKind::PersonalResult) != nullptr, scratchMade);
        QCOMPARE(c.directory() != nullptr, failedStep < 0 || failedStep > int(Connections::Step::Directory));
        QCOMPARE(c.personal() != nullptr, failedStep < 0);
        if (failedStep >= 0) {
            // The engine's workgroup is the one it had before the step that failed.
            const bool directoryOpen = failedStep > int(Connections::Step::Directory);
            QCOMPARE(m_app->engine().workgroupFile(),
                     directoryOpen ? QStringLiteral(ORDANA_TEST_DATA "/ordat.mdw") : QString());
            // No personal database was made for a start that failed before it.
            if (failedStep < int(Connections::Step::Personal)) QVERIFY(!QFileInfo::exists(personalFolder()));
        }
    }

    // Asked for a folder when there is no private folder, the working files go there.
    void askedScratchFolder() {
        Connections c(*m_app);
        QVERIFY(c.useScratchFolder(QString(), [this] { return m_scratch; }));
        QCOMPARE(QFileInfo(c.paths().personsResult).absolutePath() + u'/', m_scratch);
        QVERIFY(c.paths().firmsBuffer.contains(QString::number(QCoreApplication::applicationPid())));
    }

    // The working files live only while the connections do.
    void workingFilesRemoved() {
        QStringList files;
        {
            Connections c(*m_app);
            QVERIFY(startAll(c));
            const db::OwnPaths& p = c.paths();
            files = {p.personsResult, p.firmsResult, p.personalResult, p.personsBuffer, p.firmsBuffer};
            c.working(db::WorkingKind::PersonsResult)->recreate(10);
            for (const QString& f : files) {
                QFile touch(f);
                QVERIFY(touch.open(QIODevice::ReadWrite));
            }
        }
        for (const QString& f : files)
            QVERIFY2(!QFile::exists(f), qPrintable(f));
    }

    // At start the working files of copies that no longer run are removed from
    // the private folder; files of running processes and names the program
    // does not make stay.
    void orphanedWorkingFiles_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("removed");
        bool ok = false;
        QFile pidMax(QStringLiteral("/proc/sys/kernel/pid_max"));
        qint64 limit = pidMax.open(QIODevice::ReadOnly) ? pidMax.readAll().trimmed().toLongLong(&ok) : 0;
        if (!ok) limit = 4194304;
        const QString dead = QString::number(limit + 1);
        const QString own = QString::number(QCoreApplication::applicationPid());
        for (const char* prefix : {"o_", "f_", "p_", "s_", "x_"})
            QTest::addRow("%s of a dead copy", prefix)
                << QString::fromLatin1(prefix) + dead + QStringLiteral(".mdb") << true;
        QTest::newRow("journal of a dead copy")
            << QStringLiteral("p_") + dead + QStringLiteral(".mdb-journal") << true;
        QTest::newRow("init process") << QStringLiteral("o_1.mdb") << false;
        QTest::newRow("parent process") << QStringLiteral("f_%1.mdb").arg(getppid()) << false;
        QTest::newRow("this process") << QStringLiteral("s_") + own + QStringLiteral(".mdb") << false;
        QTest::newRow("tag not a number") << QStringLiteral("o_%1a.mdb").arg(dead) << false;
        QTest::newRow("tag zero") << QStringLiteral("o_0.mdb") << false;
        QTest::newRow("other prefix") << QStringLiteral("q_%1.mdb").arg(dead) << false;
        QTest::newRow("other extension") << QStringLiteral("o_%1.mdb.bak").arg(dead) << false;
        QTest::newRow("no tag") << QStringLiteral("o_.mdb") << false;
    }
    void orphanedWorkingFiles() {
        QFETCH(QString, name);
        QFETCH(bool, removed);
        const QString path = m_scratch + name;
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        Connections c(*m_app);
        QVERIFY(c.useScratchFolder(m_scratch, {}));
        QCOMPARE(QFile::exists(path), !removed);
    }

    // The personal database lives in the user's data folder. A database kept
    // beside the program by an earlier version is copied there on the user's
    // first start and left where it was; the user's own is never replaced. The
    // program folder may be read-only: nothing is written in it.
    void personalDatabasePlace_data() {
        QTest::addColumn<QString>("earlier"); // surname in DATA/vlastni.mdb beside the program, if any
        QTest::addColumn<QString>("own");     // surname in the user's database, if any
        QTest::addColumn<bool>("readOnlyProgram");
        QTest::addColumn<QStringList>("expected"); // surnames the program then works with
        QTest::newRow("new user") << QString() << QString() << false << QStringList();
        QTest::newRow("earlier beside the program")
            << QStringLiteral("Dřívější") << QString() << false << QStringList{QStringLiteral("Dřívější")};
        QTest::newRow("user has one already") << QStringLiteral("Dřívější") << QStringLiteral("Vlastní")
                                              << false << QStringList{QStringLiteral("Vlastní")};
        QTest::newRow("read-only program folder, new user")
            << QString() << QString() << true << QStringList();
        QTest::newRow("read-only program folder, earlier beside it")
            << QStringLiteral("Dřívější") << QString() << true << QStringList{QStringLiteral("Dřívější")};
        QTest::newRow("read-only program folder without its workgroup file")
            << QString() << QString() << true << QStringList();
    }
    void personalDatabasePlace() {
        QFETCH(QString, earlier);
        QFETCH(QString, own);
        QFETCH(bool, readOnlyProgram);
        QFETCH(QStringList, expected);
        const QString earlierPath = m_program + QStringLiteral("DATA/vlastni.mdb");
        if (!earlier.isEmpty()) makePersonal(earlierPath, earlier);
        if (!own.isEmpty()) makePersonal(personalFile(), own);
        if (QByteArray(QTest::currentDataTag()).contains("without its workgroup"))
            QVERIFY(QFile::remove(m_program + QStringLiteral("DATA/ordat.mdw")));
        const auto readOnly = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                              QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;
        if (readOnlyProgram)
            for (const QString& f : {m_program + QStringLiteral("DATA"), m_program})
                QFile::setPermissions(f, readOnly);
        const QStringList before = snapshot(m_program);
        {
            Connections c(*m_app);
            QVERIFY(startAll(c));
            QCOMPARE(c.personal()->path(), personalFile());
            QCOMPARE(surnames(c.personal()), expected);
            QCOMPARE(c.countPersonalRecords(), QString::number(expected.size()));
            // A record stored now reaches the user's file.
            c.personal()->execute(QStringLiteral("INSERT INTO Vlastni (Prijmeni) VALUES (\"Nový\")"),
                                  db::Database::FailOnError);
        }
        QCOMPARE(snapshot(m_program), before);
        const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther |
                            QFileDevice::WriteOther;
        // A file the program made or copied is the user's alone.
        if (own.isEmpty())
            QCOMPARE(QFileInfo(personalFile()).permissions() & others, QFileDevice::Permissions());
        if (readOnlyProgram)
            for (const QString& f : {m_program, m_program + QStringLiteral("DATA")})
                QFile::setPermissions(f, readOnly | QFileDevice::WriteOwner);
        // The earlier file still holds its record alone.
        if (!earlier.isEmpty()) {
            db::Engine engine;
            engine.setWorkgroupFile(m_program + QStringLiteral("DATA/ordat.mdw"));
            const db::Login login = db::databaseLogin();
            auto d = engine.openWorkspace(login.user, login.password)->openDatabase(earlierPath);
            QCOMPARE(surnames(d.get()), QStringList{earlier});
        }
    }

    // The disc's own workgroup file (a Jet file), put into DATA with the
    // disc's files, is not one the engine reads: the personal database opens
    // with the user's own, and the file in DATA is left as it is.
    void jetWorkgroupInData() {
        const QString mdw = m_program + QStringLiteral("DATA/ordat.mdw");
        QVERIFY(QFile::remove(mdw));
        QVERIFY(QFile::copy(QStringLiteral(ORDANA_TEST_JET_DATA "/ordat.mdw"), mdw));
        const QByteArray jet = contents(mdw);
        Connections c(*m_app);
        QVERIFY(startAll(c));
        QCOMPARE(c.personal()->path(), personalFile());
        QCOMPARE(m_app->engine().workgroupFile(), personalFolder() + QStringLiteral("ordat.mdw"));
        QCOMPARE(contents(mdw), jet);
    }

    // A personal database the program cannot use is refused at start, not at
    // the first save: no connection is left, the engine's workgroup is the one
    // it had, a file that was there is left exactly as it was, and the reason
    // says what is wrong.
    void personalRefused_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("reasonPart");
        QTest::newRow("read-only file")
            << QStringLiteral("file 0400") << QStringLiteral("“ nelze zapisovat.");
        QTest::newRow("read-only folder") << QStringLiteral("folder 0500") << QStringLiteral("Do složky „");
        QTest::newRow("read-only folder, no file yet")
            << QStringLiteral("folder 0500, no file") << QStringLiteral("Do složky „");
        // Writes refused by the engine itself, whatever the file's rights say.
        QTest::newRow("newer file format")
            << QStringLiteral("write version 3") << QStringLiteral("“ lze otevřít jen pro čtení.");
        QTest::newRow("garbage") << QStringLiteral("garbage") << QStringLiteral("“ není databáze");
        QTest::newRow("cut short") << QStringLiteral("cut short") << QStringLiteral("“ není databáze");
    }
    void personalRefused() {
        QFETCH(QString, setup);
        QFETCH(QString, reasonPart);
        QDir().mkpath(personalFolder());
        if (setup.startsWith(u"garbage") || setup.startsWith(u"cut short")) {
            QFile f(personalFile());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(setup == u"garbage" ? QByteArray(8192, '\x5a')
                                        : QByteArray("SQLite format 3\0", 16) + QByteArray(84, '\x01'));
        } else if (!setup.contains(u"no file")) {
            makePersonal(personalFile(), QStringLiteral("Vlastní"));
        }
        if (setup == u"write version 3") {
            // Byte 18 of the header: the file format needed to write the file.
            QFile f(personalFile());
            QVERIFY(f.open(QIODevice::ReadWrite) && f.seek(18));
            f.write("\x03", 1);
        }
        if (setup.startsWith(u"file")) QFile::setPermissions(personalFile(), QFileDevice::ReadOwner);
        if (setup.startsWith(u"folder"))
            QFile::setPermissions(personalFolder(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const QStringList before = snapshot(personalFolder());
        const QByteArray bytes = contents(personalFile());

        Connections c(*m_app);
        QVERIFY(c.useScratchFolder(m_scratch, {}));
        QVERIFY(c.openDirectory());
        const QString workgroupBefore = m_app->engine().workgroupFile();
        QVERIFY(!c.openPersonal());
        QVERIFY2(c.failureReason().contains(reasonPart), qPrintable(c.failureReason()));
        if (!setup.contains(u"folder"))
            QVERIFY2(c.failureReason().contains(personalFile()), qPrintable(c.failureReason()));
        QCOMPARE(c.personal(), nullptr);
        QCOMPARE(m_app->engine().workgroupFile(), workgroupBefore);
        bool raised = false;
        try {
            c.countPersonalRecords();
        } catch (const db::Error&) {
            raised = true;
        }
        QVERIFY(raised);
        QFile::setPermissions(personalFolder(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(contents(personalFile()), bytes);
        if (!setup.startsWith(u"file")) QCOMPARE(snapshot(personalFolder()), before);
        // A later attempt with a usable file succeeds on the same object.
        QFile::setPermissions(personalFile(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QFile::remove(personalFile());
        QVERIFY2(c.openPersonal(), qPrintable(c.failureReason()));
        QVERIFY(c.failureReason().isEmpty());
        QCOMPARE(c.countPersonalRecords(), QStringLiteral("0"));
    }

    // After a copy to the hard disk the directory is re-opened from the copy;
    // a new path that cannot be opened leaves the directory in use, puts the
    // engine's workgroup back and is reported once; a path that works later
    // is taken.
    void reopening_data() {
        QTest::addColumn<QString>("content"); // of the new ordat.mdb; null: no file at all
        QTest::newRow("missing file") << QString();
        QTest::newRow("not a database") << QStringLiteral("no database");
        QTest::newRow("no workgroup file beside it") << QStringLiteral("no workgroup");
    }
    void reopening() {
        QFETCH(QString, content);
        Connections c(*m_app);
        QVERIFY(startAll(c));
        QCOMPARE(c.reopenDirectoryIfMoved(), QString());
        db::Database* before = c.directory();
        const QString workgroupBefore = m_app->engine().workgroupFile();
        const QString moved = m_program + QStringLiteral("copy/ordat.mdb");
        if (content == u"no workgroup") {
            QDir().mkpath(m_program + QStringLiteral("copy"));
            QVERIFY(QFile::copy(kTestDirectory, moved));
        } else if (!content.isNull()) {
            QDir().mkpath(m_program + QStringLiteral("copy"));
            db::createLoginWorkgroup(m_program + QStringLiteral("copy/ordat.mdw"));
            QFile f(moved);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content.toUtf8());
        }
        m_app->directoryDbPath = moved;
        const QString message = c.reopenDirectoryIfMoved();
        QVERIFY2(message.contains(u'„'), qPrintable(message));
        QCOMPARE(c.directory(), before);
        QCOMPARE(c.directory()->path(), kTestDirectory);
        QCOMPARE(m_app->engine().workgroupFile(), workgroupBefore);
        // Asked again (every search asks), the failed path is not reported again.
        QCOMPARE(c.reopenDirectoryIfMoved(), QString());
        // After another disc copy it is tried and reported again.
        c.forgetFailedDirectory();
        QCOMPARE(c.reopenDirectoryIfMoved(), message);
        // A path that works is taken, and reference lists open beside it.
        const QString good = copyDirectory(QStringLiteral("good"));
        m_app->directoryDbPath = good;
        QCOMPARE(c.reopenDirectoryIfMoved(), QString());
        QCOMPARE(c.directory()->path(), good);
        QCOMPARE(m_app->engine().workgroupFile(), m_program + QStringLiteral("good/ordat.mdw"));
        QVERIFY(c.directory()->isReadOnly());
        QCOMPARE(c.reopenDirectoryIfMoved(), QString());
    }
};

QTEST_GUILESS_MAIN(TestConnections)
#include "tst_connections.moc"
