#include "ShownReport.h"

#include <QTemporaryFile>
#include <QTest>
#include <QWidget>

#include <cstdio>
#include <unistd.h>

// The line the start-up benchmark waits for: written once the window's first
// frame is painted, only when asked for, and only once.
class TestShownReport : public QObject {
    Q_OBJECT
  private slots:
    void reportedWhenAsked_data() {
        QTest::addColumn<bool>("asked");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("asked") << true << QByteArray(platform::kShownLine);
        QTest::newRow("not asked") << false << QByteArray();
    }

    void reportedWhenAsked() {
        QFETCH(bool, asked);
        QFETCH(QByteArray, expected);
        if (asked)
            qputenv(platform::kReportShownVariable, "1");
        else
            qunsetenv(platform::kReportShownVariable);

        // The standard output goes to a file for the test's time.
        QTemporaryFile out;
        QVERIFY(out.open());
        std::fflush(stdout);
        const int saved = dup(STDOUT_FILENO);
        QVERIFY(dup2(out.handle(), STDOUT_FILENO) >= 0);
        {
            QWidget window;
            window.resize(200, 100);
            window.show();
            platform::reportFirstShown(window);
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            // A second expose (hidden and shown again) reports nothing more.
            window.hide();
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            if (asked) QTRY_COMPARE(QFile(out.fileName()).size(), qint64(expected.size()));
            QCoreApplication::processEvents();
        }
        std::fflush(stdout);
        dup2(saved, STDOUT_FILENO);
        close(saved);
        qunsetenv(platform::kReportShownVariable);
        QFile written(out.fileName());
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), expected);
    }
};

QTEST_MAIN(TestShownReport)
#include "tst_shownreport.moc"
