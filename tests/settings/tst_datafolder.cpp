// Where the program finds its shipped files: beside it in the build tree, under
// share/ordana when installed.

#include "SettingsFixture.h"

#include <QTest>

class TestDataFolder : public QObject {
    Q_OBJECT
  private slots:
    void found_data() {
        QTest::addColumn<QStringList>("folders"); // made under a fresh root
        QTest::addColumn<QString>("program");     // the executable's folder, as the program gets it
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::newRow("build tree") << QStringList{"build/bin/DATA"} << "build/bin" << "build/bin/DATA/";
        QTest::newRow("installed") << QStringList{"usr/bin", "usr/share/ordana/DATA"} << "usr/bin"
                                   << "usr/share/ordana/DATA/";
        QTest::newRow("installed, folder with slash") << QStringList{"usr/bin", "usr/share/ordana/DATA"}
                                                      << "usr/bin/" << "usr/share/ordana/DATA/";
        QTest::newRow("DATA beside wins") << QStringList{"usr/bin/DATA", "usr/share/ordana/DATA"} << "usr/bin"
                                          << "usr/bin/DATA/";
        QTest::newRow("none: DATA beside") << QStringList{"usr/bin"} << "usr/bin" << "usr/bin/DATA/";
        // clang-format on
    }
    void found() {
        QFETCH(QStringList, folders);
        QFETCH(QString, program);
        QFETCH(QString, expected);
        settings_test::Fixture f;
        const QString root = f.dir.filePath(QStringLiteral("root/"));
        for (const QString& folder : folders)
            QVERIFY(QDir().mkpath(root + folder));
        const Application app(f.store, f.drives, f.dialogs, f.shell, root + program);
        QCOMPARE(app.dataFolder(), root + expected);
    }
};

QTEST_GUILESS_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
