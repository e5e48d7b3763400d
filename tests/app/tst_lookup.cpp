// `ordana --lookup`: the program started as a softphone's script starts it,
// without a display, over the generated directory and a personal contact.

#include "Database.h"
#include "DatabaseLogin.h"
#include "Dataset.h"
#include "OwnDatabases.h"
#include "RowCopy.h"
#include "SettingsStore.h"
#include "TextHelpers.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using platform::Access;
using platform::Root;

namespace {

const QString kPersonalNumber = u"725100200"_s;

struct Run {
    int exitCode = -1;
    QStringList out;
    QString err;
};

// The number of the first row of a directory table that has one, unscrambled.
QString firstNumber(db::Database& directory, const QString& table) {
    db::Dataset row;
    row.setDatabase(&directory);
    row.setSql(u"SELECT ID, Tel_a, TelExt_a FROM "_s + table + u" WHERE Tel_a IS NOT NULL ORDER BY ID"_s);
    row.open();
    return row.eof() ? QString() : row_copy::wholeNumber(row);
}

} // namespace

class TestLookup : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    QString m_personNumber, m_firmNumber;

    QString path(const QString& name) const { return m_home.filePath(name); }

    // The program with the fresh home, no display and a GUI platform that
    // would need one.
    Run lookup(const QStringList& arguments) {
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"HOME"_s, m_home.path());
        env.insert(u"XDG_CONFIG_HOME"_s, path(u"config"_s));
        env.insert(u"XDG_CONFIG_DIRS"_s, path(u"etc"_s));
        env.insert(u"XDG_DATA_HOME"_s, path(u"data"_s));
        env.insert(u"XDG_CACHE_HOME"_s, path(u"cache"_s));
        env.insert(u"XDG_RUNTIME_DIR"_s, path(u"run"_s));
        env.remove(u"DISPLAY"_s);
        env.remove(u"WAYLAND_DISPLAY"_s);
        env.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(ORDANA_PROGRAM), arguments);
        Run run;
        if (!program.waitForFinished(60000) || program.exitStatus() != QProcess::NormalExit) return run;
        run.exitCode = program.exitCode();
        run.out = QString::fromUtf8(program.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        run.err = QString::fromUtf8(program.readAllStandardError()).trimmed();
        return run;
    }

    void pointDirectoryTo(const QString& folder) {
        auto store = platform::makeIniSettingsStore(path(u"config/Kestrava s.r.o./Ordana 2004.ini"_s),
                                                    path(u"etc/Kestrava s.r.o./Ordana 2004.ini"_s));
        auto disk = store->open(Root::CurrentUser, platform::kProgramKey + u"Disk"_s, Access::All, true);
        QVERIFY(disk && disk->writeString(u"Path"_s, folder));
    }

  private slots:
    void initTestCase() {
        QVERIFY(m_home.isValid());
        for (const char* folder : {"config", "run", "data/ordana", "cache", "etc"})
            QVERIFY(QDir().mkpath(path(QString::fromLatin1(folder))));
        QVERIFY(QFile::setPermissions(path(u"run"_s), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                          QFileDevice::ExeOwner));
        pointDirectoryTo(QStringLiteral(ORDANA_TEST_DATA));

        db::Engine engine;
        engine.setWorkgroupFile(QStringLiteral(ORDANA_TEST_DATA) + u"/ordat.mdw"_s);
        const db::Login login = db::databaseLogin();
        auto workspace = engine.openWorkspace(login.user, login.password);
        db::OpenOptions readOnly;
        readOnly.readOnly = true;
        auto directory =
            workspace->openDatabase(QStringLiteral(ORDANA_TEST_DATA) + u"/ordat.mdb"_s, readOnly);
        m_personNumber = firstNumber(*directory, u"Osoby"_s);
        m_firmNumber = firstNumber(*directory, u"Firmy"_s);
        QVERIFY(!m_personNumber.isEmpty() && !m_firmNumber.isEmpty());

        // A personal contact in the user's data folder, as the program keeps it:
        // with the workgroup file it makes there when its own folder has none.
        db::OwnPaths paths = db::OwnPaths::make(path(u"data/ordana"_s), path(u"run"_s), u"t"_s);
        engine.setWorkgroupFile(path(u"data/ordana/ordat.mdw"_s));
        db::createLoginWorkgroup(engine.workgroupFile());
        db::createOwnDatabase(engine, paths.personal, paths);
        auto personal = engine.openWorkspace(login.user, login.password)->openDatabase(paths.personal, {});
        personal->execute(u"INSERT INTO Vlastni (Prijmeni, Jmeno_1, Tel_2, domu_ulice, domu_CP, domu_Obec, "
                          "domu_PSC) VALUES (\"Šťastná\", \"Zoe\", \"725100200\", \"Lipová\", \"7\", "
                          "\"Žďár nad Sázavou\", \"59101\")"_s,
                          db::Database::FailOnError);
    }

    // Each kind is found from a form a softphone passes; exit status 0.
    void found_data() {
        QTest::addColumn<QString>("passed");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("number");
        QTest::newRow("person") << m_personNumber << u"osoba"_s << m_personNumber;
        QTest::newRow("firm, tel URI") << u"tel:+420"_s + m_firmNumber << u"firma"_s << m_firmNumber;
        QTest::newRow("personal, international") << u"+420 725 100 200"_s << u"vlastní"_s << kPersonalNumber;
    }
    void found() {
        QFETCH(QString, passed);
        QFETCH(QString, kind);
        QFETCH(QString, number);
        const Run run = lookup({u"--lookup"_s, passed});
        QVERIFY2(run.exitCode == 0 && run.err.isEmpty(), qPrintable(run.err));
        bool seen = false;
        for (const QString& line : run.out) {
            const QStringList fields = line.split(u'\t');
            QCOMPARE(fields.size(), 4);
            QVERIFY(!fields[1].isEmpty());
            QCOMPARE(fields[3], text::phoneGrouping(number));
            seen = seen || fields[0] == kind;
        }
        QVERIFY2(seen, qPrintable(run.out.join(u'\n')));
    }

    void json() {
        const Run run = lookup({u"--json"_s, u"--lookup=sip:725100200@pbx"_s});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(run.out.size(), 1);
        const QJsonObject o = QJsonDocument::fromJson(run.out[0].toUtf8()).object();
        QCOMPARE(o.value(u"kind"_s).toString(), u"vlastní"_s);
        QCOMPARE(o.value(u"name"_s).toString(), u"Šťastná Zoe"_s);
        QCOMPARE(o.value(u"address"_s).toString(), u"Lipová 7, 591 01 Žďár nad Sázavou"_s);
        QCOMPARE(o.value(u"number"_s).toString(), u"725 100 200"_s);
    }

    // Nothing found is 1 with no output; an error is 2 with its reason.
    void failures_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("not listed") << QStringList{u"--lookup"_s, u"100000001"_s} << 1 << QString();
        QTest::newRow("foreign") << QStringList{u"--lookup"_s, u"+44 20 7946 0000"_s} << 1 << QString();
        QTest::newRow("not a number") << QStringList{u"--lookup"_s, u"sip:alice@pbx"_s} << 2
                                      << u"„sip:alice@pbx“ není telefonní číslo."_s;
        QTest::newRow("no number") << QStringList{u"--lookup"_s} << 2 << u"--lookup"_s;
        QTest::newRow("unknown option") << QStringList{u"--lookup"_s, u"1"_s, u"--xml"_s} << 2 << u"xml"_s;
    }
    void failures() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const Run run = lookup(arguments);
        QVERIFY2(run.exitCode == exitCode, qPrintable(run.err));
        QCOMPARE(run.out, QStringList());
        if (message.isEmpty())
            QCOMPARE(run.err, QString());
        else
            QVERIFY2(run.err.contains(message), qPrintable(run.err));
    }

    // A directory that cannot be used is an error, with the program's reason.
    void wrongDirectory() {
        const QString folder = path(u"broken"_s);
        QVERIFY(QDir().mkpath(folder));
        QFile file(folder + u"/ordat.mdb"_s);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("not a database") > 0);
        file.close();
        pointDirectoryTo(folder);
        const Run run = lookup({u"--lookup"_s, m_personNumber});
        pointDirectoryTo(QStringLiteral(ORDANA_TEST_DATA));
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.err, u"Databázi nelze otevřít. Proveďte opětovnou instalaci."_s);
    }

    // The disc's own directory (a Jet file) is not prepared by a lookup.
    void directoryNotPrepared() {
        pointDirectoryTo(QStringLiteral(ORDANA_TEST_JET_DATA));
        const Run run = lookup({u"--lookup"_s, m_personNumber});
        pointDirectoryTo(QStringLiteral(ORDANA_TEST_DATA));
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.err, u"Databázi „%1/ordat.mdb“ je před prvním použitím třeba připravit: spusťte program "
                          "bez parametrů."_s.arg(QStringLiteral(ORDANA_TEST_JET_DATA)));
    }

    // The lookups leave no working file, socket or database behind.
    void cleanupTestCase() {
        QCOMPARE(QDir(path(u"run"_s)).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
                 QStringList());
        QCOMPARE(QDir(path(u"data/ordana"_s)).entryList(QDir::Files),
                 QStringList({u"ordat.mdw"_s, u"vlastni.mdb"_s}));
    }
};

QTEST_GUILESS_MAIN(TestLookup)
#include "tst_lookup.moc"
