// The installed program: `cmake --install` into a temporary prefix lays out the
// program and its shipped files and nothing generated; the install, made
// read-only, runs for two users at once, each with a fresh home, and each
// user's contact is stored in that user's own data folder, nothing in the
// install.

#include "Database.h"
#include "DatabaseLogin.h"
#include "Dataset.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// Every entry under folder with its size and modification time.
QStringList snapshot(const QString& folder) {
    QStringList out;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        out << info.filePath() + u' ' + QString::number(info.size()) + u' ' +
                   info.lastModified().toString(Qt::ISODateWithMs);
    }
    out.sort();
    return out;
}

// Write permission off (on) for everyone, on folder and all below it.
void setWritable(const QString& folder, bool writable) {
    QStringList paths{folder};
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        paths << it.next();
    const auto write =
        QFileDevice::WriteOwner | QFileDevice::WriteUser | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (info.isSymLink()) continue;
        const auto permissions = info.permissions();
        QFile::setPermissions(path, writable ? permissions | QFileDevice::WriteOwner : permissions & ~write);
    }
}

// A user of the machine: a fresh home whose folders only that user may enter,
// with the test directory database in the user's data folder.
struct User {
    explicit User(const QString& surname) : surname(surname) {
        for (const char* name : {"data/ordana", "config", "etc", "cache", "run"}) {
            const QString folder = home.filePath(QString::fromLatin1(name));
            QDir().mkpath(folder);
            QFile::setPermissions(folder,
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        }
        // The directory is large and only read: a link to the suite's copy.
        QFile::link(QStringLiteral(ORDANA_TEST_DATA "/ordat.mdb"),
                    personalFolder() + QStringLiteral("ordat.mdb"));
        QFile::copy(QStringLiteral(ORDANA_TEST_DATA "/ordat.mdw"),
                    personalFolder() + QStringLiteral("ordat.mdw"));
    }
    QString personalFolder() const { return home.filePath(QStringLiteral("data/ordana/")); }

    void start(const QString& program) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("XDG_DATA_HOME", home.filePath("data"));
        env.insert("XDG_CONFIG_HOME", home.filePath("config"));
        env.insert("XDG_CONFIG_DIRS", home.filePath("etc"));
        env.insert("XDG_CACHE_HOME", home.filePath("cache"));
        env.insert("XDG_RUNTIME_DIR", home.filePath("run"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("LD_PRELOAD", QStringLiteral(ORDANA_PRELOAD));
        env.insert("ORDANA_TEST_SURNAME", surname);
        process.setProcessEnvironment(env);
        process.start(program, {});
    }

    // The surnames stored in the user's personal database.
    QStringList storedSurnames() const {
        db::Engine engine;
        engine.setWorkgroupFile(personalFolder() + QStringLiteral("ordat.mdw"));
        const db::Login login = db::databaseLogin();
        auto workspace = engine.openWorkspace(login.user, login.password);
        db::OpenOptions options;
        options.readOnly = true;
        auto database = workspace->openDatabase(personalFolder() + QStringLiteral("vlastni.mdb"), options);
        db::Dataset rows;
        rows.setDatabase(database.get());
        rows.setSql(QStringLiteral("SELECT Prijmeni FROM Vlastni"));
        rows.open();
        QStringList out;
        for (; !rows.eof(); rows.next())
            out << rows.text(QStringLiteral("Prijmeni"));
        rows.close();
        return out;
    }

    QString surname;
    QTemporaryDir home;
    QProcess process;
};

} // namespace

class TestInstall : public QObject {
    Q_OBJECT
    QTemporaryDir m_prefix;

    QString installed(const QString& path) const { return m_prefix.filePath(path); }

  private slots:
    void initTestCase() {
        QVERIFY(m_prefix.isValid());
        QProcess install;
        install.setProcessChannelMode(QProcess::ForwardedChannels);
        install.start(QStringLiteral(ORDANA_CMAKE),
                      {QStringLiteral("--install"), QStringLiteral(ORDANA_BUILD_DIR),
                       QStringLiteral("--prefix"), m_prefix.path()});
        QVERIFY(install.waitForFinished(120000));
        QCOMPARE(install.exitCode(), 0);
    }
    void cleanupTestCase() { setWritable(m_prefix.path(), true); }

    void layout_data() {
        QTest::addColumn<QString>("path");
        for (const char* path :
             {"bin/ordana", "share/ordana/DATA/napoveda.html", "share/ordana/DATA/ZELINKY.mdb",
              "share/ordana/DATA/PSC.mdb", "share/ordana/DATA/MP.mdb", "share/ordana/DATA/INET.mdb",
              "share/applications/cz.kestrava.ordana.desktop",
              "share/metainfo/cz.kestrava.ordana.metainfo.xml",
              "share/icons/hicolor/scalable/apps/cz.kestrava.ordana.svg", "share/doc/ordana/copyright"})
            QTest::newRow(path) << QString::fromLatin1(path);
    }
    void layout() {
        QFETCH(QString, path);
        QVERIFY2(QFileInfo(installed(path)).isFile(), qPrintable(path));
    }

    // Neither a directory, nor its workgroup, nor a personal database is installed.
    void nothingGenerated() {
        QDirIterator it(m_prefix.path(), {"ordat.*", "vlastni.*"}, QDir::Files, QDirIterator::Subdirectories);
        QVERIFY2(!it.hasNext(), qPrintable(it.hasNext() ? it.next() : QString()));
    }

    // Two users start the read-only install side by side; each adds a contact.
    void twoUsers() {
        setWritable(m_prefix.path(), false);
        const QStringList before = snapshot(m_prefix.path());
        User users[] = {User(QStringLiteral("Prvni")), User(QStringLiteral("Druha"))};
        for (User& user : users)
            user.start(installed(QStringLiteral("bin/ordana")));
        for (User& user : users) {
            QVERIFY2(user.process.waitForFinished(120000), "the program did not end");
            const QByteArray output = user.process.readAllStandardError();
            QVERIFY2(output.contains("contact driver: saved"), output.constData());
            QCOMPARE(user.process.exitStatus(), QProcess::NormalExit);
            QCOMPARE(user.process.exitCode(), 0);
        }
        for (const User& user : users) {
            QCOMPARE(user.storedSurnames(), QStringList{user.surname});
            QVERIFY(QFileInfo(user.home.filePath("config/Kestrava s.r.o.")).isDir());
        }
        QCOMPARE(snapshot(m_prefix.path()), before);
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
