// The program killed in the middle of writing personal records: the personal
// database is whole afterwards and holds every record whose save had returned.

#include "Database.h"
#include "Error.h"
#include "OwnDatabases.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The result of the engine's own check of the file, and the IDs it holds.
struct Checked {
    QString integrity;
    QSet<QString> ids;
};

// Opened as the program opens the personal file, which finishes what the log
// beside it holds and brings the program's functions that the indexes on
// folded keys need to be checked.
Checked check(const QString& path) {
    Checked out;
    try {
        db::Engine engine;
        auto personal = engine.defaultWorkspace().openDatabase(path, db::personalOpenOptions());
        for (const QVariantList& row : personal->queryNative(QStringLiteral("PRAGMA integrity_check")))
            out.integrity += row.value(0).toString();
        for (const QVariantList& row : personal->queryNative(QStringLiteral("SELECT ID FROM Vlastni")))
            out.ids.insert(row.value(0).toString());
    } catch (const db::Error& e) {
        out.integrity = e.message();
    }
    return out;
}

} // namespace

class TestCrashSafety : public QObject {
    Q_OBJECT
  private slots:
    void killedPartWay_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("killAfter");
        QTest::newRow("import") << "import" << 40;
        QTest::newRow("bulk transfer") << "transfer" << 40;
        QTest::newRow("editor save") << "editor" << 15;
    }

    void killedPartWay() {
        QFETCH(QString, operation);
        QFETCH(int, killAfter);
        QTemporaryDir dir;
        const QString program = dir.path() + QStringLiteral("/program/");
        QDir().mkpath(program + QStringLiteral("DATA"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir.path() + QStringLiteral("/home"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

        QProcess child;
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QStringLiteral(CRASH_DRIVER),
                    {program, QStringLiteral(ORDANA_TEST_DATA "/ordat.mdb"), operation});
        QVERIFY(child.waitForStarted());

        QStringList saved;
        while (saved.size() < killAfter) {
            if (!child.canReadLine() && !child.waitForReadyRead(60000)) break;
            while (child.canReadLine() && saved.size() < killAfter) {
                saved << QString::fromUtf8(child.readLine()).trimmed();
                // The driver waits for these answers to stay close behind.
                child.write("\n");
            }
        }
        child.kill();
        child.waitForFinished();
        QVERIFY2(saved.size() == killAfter && !saved.contains(QStringLiteral("done")),
                 qPrintable(saved.join(u' ')));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);

        QString file;
        for (QDirIterator it(dir.path() + QStringLiteral("/home"), {QStringLiteral("vlastni.mdb")},
                             QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();)
            file = it.next();
        QVERIFY(!file.isEmpty());
        const Checked found = check(file);
        QCOMPARE(found.integrity, QStringLiteral("ok"));
        for (const QString& id : saved)
            QVERIFY2(found.ids.contains(id), qPrintable(id));
        qInfo("%s: killed after %d saved records, %lld records found", qPrintable(operation), killAfter,
              qlonglong(found.ids.size()));
    }
};

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
