// The window shown while a Jet file is converted.

#include "ConversionUser.h"
#include "ConversionWindow.h"
#include "Error.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

using test_support::ConversionUser;
using Outcome = ConversionWindow::Outcome;

class TestConversionWindow : public QObject {
    Q_OBJECT
  private slots:
    void timeLeft_data();
    void timeLeft();
    void showsProgress();
    void ending_data();
    void ending();
};

void TestConversionWindow::timeLeft_data() {
    QTest::addColumn<qint64>("elapsedMs");
    QTest::addColumn<qint64>("done");
    QTest::addColumn<qint64>("total");
    QTest::addColumn<QString>("expected"); // after "Zbývající čas: "
    QTest::newRow("nothing done yet") << 5000LL << 0LL << 100LL << "zjišťuji…";
    QTest::newRow("first seconds") << 1500LL << 50LL << 100LL << "zjišťuji…";
    QTest::newRow("no rows at all") << 5000LL << 0LL << 0LL << "zjišťuji…";
    QTest::newRow("seconds") << 10000LL << 50LL << 100LL << "asi 10 s";
    QTest::newRow("rounded up") << 10000LL << 60LL << 100LL << "asi 7 s";
    QTest::newRow("whole minutes") << 60000LL << 25LL << 100LL << "asi 3 min";
    QTest::newRow("minutes and seconds") << 65000LL << 50LL << 100LL << "asi 1 min 5 s";
    QTest::newRow("hours") << 3600000LL << 25LL << 100LL << "asi 3 h 0 min";
    // The full directory: millions of rows after ten minutes.
    QTest::newRow("large counts") << 600000LL << 1000000LL << 3200000LL << "asi 22 min";
    // The rows are in; the indexes are still being built.
    QTest::newRow("rows done") << 5000LL << 100LL << 100LL << "dokončuji…";
}

void TestConversionWindow::timeLeft() {
    QFETCH(qint64, elapsedMs);
    QFETCH(qint64, done);
    QFETCH(qint64, total);
    QFETCH(QString, expected);
    QCOMPARE(ConversionWindow::timeLeftText(elapsedMs, done, total),
             QStringLiteral("Zbývající čas: ") + expected);
}

// While the conversion runs the window shows where it has got to.
void TestConversionWindow::showsProgress() {
    ConversionWindow window(nullptr, QStringLiteral("Příprava databáze"),
                            QStringLiteral("Připravuji databázi."));
    bool checked = false;
    const auto outcome = window.run([&](const db::ConversionProgress& progress) {
        [&] {
            QVERIFY(window.isVisible());
            QVERIFY(progress({QStringLiteral("Firmy"), 2, 3, 30, 120}));
            QCOMPARE(window.windowTitle(), QStringLiteral("Příprava databáze"));
            QCOMPARE(window.findChild<QLabel*>("conversionWhat")->text(),
                     QStringLiteral("Připravuji databázi."));
            QCOMPARE(window.findChild<QLabel*>("conversionTable")->text(),
                     QStringLiteral("Tabulka: Firmy (2 z 3)"));
            QCOMPARE(window.findChild<QProgressBar*>("conversionBar")->value(), 250);
            QVERIFY(window.findChild<QLabel*>("conversionTimeLeft")->text().startsWith(u"Zbývající čas: "));
            auto* storno = window.findChild<QPushButton*>("conversionCancel");
            QCOMPARE(storno->text(), QStringLiteral("Storno"));
            QVERIFY(storno->isEnabled());
            // The last report always shows, however soon it comes.
            QVERIFY(progress({QStringLiteral("KRAJE"), 3, 3, 120, 120}));
            QCOMPARE(window.findChild<QLabel*>("conversionTable")->text(),
                     QStringLiteral("Tabulka: KRAJE (3 z 3)"));
            QCOMPARE(window.findChild<QProgressBar*>("conversionBar")->value(), 1000);
            db::ConversionStep indexing{QStringLiteral("KRAJE"), 3, 3, 120, 120};
            indexing.indexing = true;
            QVERIFY(progress(indexing));
            QCOMPARE(window.findChild<QLabel*>("conversionTable")->text(),
                     QStringLiteral("Vytvářím indexy…"));
            // Busy: how long the indexes take is not known.
            QCOMPARE(window.findChild<QProgressBar*>("conversionBar")->maximum(), 0);
            checked = true;
        }();
        return db::ConversionResult{};
    });
    QVERIFY(checked);
    QCOMPARE(outcome, Outcome::Converted);
    QVERIFY(!window.isVisible());
}

void TestConversionWindow::ending_data() {
    QTest::addColumn<QString>("user"); // what the user does while it runs
    QTest::addColumn<bool>("fails");   // the conversion fails on its second batch
    QTest::addColumn<Outcome>("outcome");
    QTest::newRow("waits") << "" << false << Outcome::Converted;
    QTest::newRow("presses Storno") << "button" << false << Outcome::Cancelled;
    QTest::newRow("presses Esc") << "escape" << false << Outcome::Cancelled;
    QTest::newRow("closes the window") << "close" << false << Outcome::Cancelled;
    QTest::newRow("waits for a failure") << "" << true << Outcome::Failed;
}

void TestConversionWindow::ending() {
    QFETCH(QString, user);
    QFETCH(bool, fails);
    QFETCH(Outcome, outcome);
    std::unique_ptr<ConversionUser> storno;
    if (!user.isEmpty())
        storno = std::make_unique<ConversionUser>(user == u"button"   ? ConversionUser::Act::Storno
                                                  : user == u"escape" ? ConversionUser::Act::Escape
                                                                      : ConversionUser::Act::CloseBox);
    ConversionWindow window(nullptr, QStringLiteral("Příprava"), QString());
    int batches = 0;
    const auto conversion = [&](const db::ConversionProgress& progress) {
        db::ConversionResult result;
        for (; batches < 5; ++batches) {
            if (fails && batches == 1) throw db::Error(QStringLiteral("Tabulka „Osoby“ je poškozena."));
            if (!progress({QStringLiteral("Osoby"), 1, 1, batches * 10, 50})) {
                result.cancelled = true;
                break;
            }
        }
        return result;
    };
    QCOMPARE(window.run(conversion), outcome);
    QVERIFY(!window.isVisible());
    QCOMPARE(window.failureReason(), fails ? QStringLiteral("Tabulka „Osoby“ je poškozena.") : QString());
    // Given up as soon as the window showed: the first report hears it.
    QCOMPARE(batches, user.isEmpty() ? (fails ? 1 : 5) : 0);
    if (storno) QCOMPARE(storno->windowsSeen(), 1);
    // The window is ready for another run.
    QCOMPARE(window.run([](const db::ConversionProgress&) { return db::ConversionResult{}; }),
             Outcome::Converted);
}

QTEST_MAIN(TestConversionWindow)
#include "tst_conversionwindow.moc"
