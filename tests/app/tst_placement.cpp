// Where the main window comes back under a real window manager: the placement
// the user left (the outer frame) is stored at the end and restored at the next
// start, so restarts neither move nor grow the window.

#include "MainWindowFixture.h"
#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWindow>

namespace {

// The window manager has framed the window: its title bar lies above the client.
bool framed(const QWidget& w) {
    return w.windowHandle() && w.windowHandle()->frameMargins().top() > 0;
}

} // namespace

class TestPlacement : public app_test::MainWindowTest {
    Q_OBJECT
  private slots:
    void initTestCase();
    void init() { resetProgram(); }
    void restartsKeepPlacement_data();
    void restartsKeepPlacement();
    void maximizedComesBack_data();
    void maximizedComesBack();
    void frameIsTakenOnlyWhenDrawn_data();
    void frameIsTakenOnlyWhenDrawn();

  private:
    static QRect outer(const QWidget* w) { return settings::outerFrame(w); }
    // Starts the program, waits until the window manager has framed the window
    // and returns it.
    std::unique_ptr<MainWindow> startFramed() {
        auto w = start();
        if (!QTest::qWaitFor([&] { return framed(*w); }, 10000)) qWarning("no frame");
        return w;
    }
};

void TestPlacement::initTestCase() {
    if (QGuiApplication::platformName() != u"xcb")
        QSKIP("needs an X server with a window manager (run through the test's wrapper)");
    // The wrapper starts the window manager beside the test: wait until it
    // frames a new window (one shown before it ran may stay unframed).
    bool managed = false;
    for (int attempt = 0; attempt < 20 && !managed; ++attempt) {
        QWidget probe;
        probe.resize(200, 100);
        probe.show();
        managed = QTest::qWaitFor([&] { return framed(probe); }, 1000);
    }
    QVERIFY2(managed, "no window manager frames the windows");
}

void TestPlacement::restartsKeepPlacement_data() {
    QTest::addColumn<QRect>("left");
    QTest::newRow("as designed, centred") << QRect();
    QTest::newRow("moved and enlarged") << QRect(40, 30, 900, 640);
}

// Ten restarts leave the window's frame where and as large as the user left it.
void TestPlacement::restartsKeepPlacement() {
    QFETCH(QRect, left);
    QRect expected;
    {
        auto w = startFramed();
        if (!left.isNull()) {
            // What the user's dragging does: the frame goes to the place, the client grows.
            const QMargins m = w->windowHandle()->frameMargins();
            w->setGeometry(left.marginsRemoved(m));
            QTRY_COMPARE(outer(w.get()), left);
        }
        expected = outer(w.get());
        w->endWithoutQuestion();
    }
    for (int start = 1; start <= 10; ++start) {
        auto w = startFramed();
        QTRY_COMPARE(outer(w.get()), expected);
        w->endWithoutQuestion();
    }
}

void TestPlacement::maximizedComesBack_data() {
    QTest::addColumn<bool>("closedByUser");
    QTest::newRow("closed maximized") << true;
    QTest::newRow("stored maximized") << false;
}

// A window closed maximized comes back maximized, and when the user restores
// it, it goes back to the stored left and top edges of its frame.
void TestPlacement::maximizedComesBack() {
    QFETCH(bool, closedByUser);
    const QPoint left(120, 90);
    if (closedByUser) {
        auto w = startFramed();
        w->setGeometry(QRect(left, QSize(900, 640)).marginsRemoved(w->windowHandle()->frameMargins()));
        QTRY_COMPARE(outer(w.get()).topLeft(), left);
        w->showMaximized();
        QTRY_VERIFY(w->isMaximized());
        // Closed once the window manager has drawn the maximized frame.
        QTRY_VERIFY(outer(w.get()).height() >= w->screen()->availableGeometry().height() - 2);
        w->endWithoutQuestion();
    } else {
        auto key =
            m_settings->open(platform::Root::CurrentUser, platform::kProgramKey + QStringLiteral("Pozice"),
                             platform::Access::All, true);
        for (const auto& [name, value] : {std::pair("X", left.x()), {"Y", left.y()}, {"W", 0}, {"H", 0}})
            key->writeInt(QString::fromLatin1(name), value);
    }
    auto w = startFramed();
    QTRY_VERIFY(w->isMaximized());
    const QRect area = w->screen()->availableGeometry();
    QTRY_VERIFY(outer(w.get()).height() >= area.height() - 2);
    w->showNormal();
    QTRY_VERIFY(!w->isMaximized());
    QTRY_COMPARE(outer(w.get()).topLeft(), left);
}

void TestPlacement::frameIsTakenOnlyWhenDrawn_data() {
    QTest::addColumn<bool>("exposed");
    QTest::addColumn<QMargins>("margins");
    QTest::addColumn<bool>("taken");
    // What the window system reported while a window manager was still framing
    // the window: the new frame's spare room to the right and below.
    QTest::newRow("being framed") << false << QMargins(0, 0, 2, 25) << false;
    QTest::newRow("being framed, frame already declared") << false << QMargins(1, 20, 1, 5) << false;
    QTest::newRow("shown in its frame") << true << QMargins(1, 20, 1, 5) << true;
    QTest::newRow("shown, border only") << true << QMargins(4, 4, 4, 4) << true;
    QTest::newRow("shown, no frame yet") << true << QMargins() << false;
    QTest::newRow("shown, room to the right and below only") << true << QMargins(0, 0, 2, 25) << false;
    QTest::newRow("shown, negative") << true << QMargins(-3, 20, 1, 5) << false;
    QTest::newRow("shown, wider than the window") << true << QMargins(500, 20, 500, 5) << false;
}

void TestPlacement::frameIsTakenOnlyWhenDrawn() {
    QFETCH(bool, exposed);
    QFETCH(QMargins, margins);
    QFETCH(bool, taken);
    const std::optional<QMargins> frame = settings::drawnFrame({exposed, margins, QSize(900, 640)});
    QCOMPARE(frame.has_value(), taken);
    if (taken) QCOMPARE(*frame, margins);
}

QTEST_MAIN(TestPlacement)
#include "tst_placement.moc"
