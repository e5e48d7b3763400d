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

class TestPlacement : public apptest::MainWindowTest {
    Q_OBJECT
  private slots:
    void initTestCase();
    void init() { resetProgram(); }
    void restartsKeepPlacement_data();
    void restartsKeepPlacement();
    void maximizedComesBack();

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

// A window closed maximized comes back maximized.
void TestPlacement::maximizedComesBack() {
    {
        auto w = startFramed();
        w->showMaximized();
        QTRY_VERIFY(w->isMaximized());
        w->endWithoutQuestion();
    }
    auto w = startFramed();
    QTRY_VERIFY(w->isMaximized());
    const QRect area = w->screen()->availableGeometry();
    QTRY_VERIFY(outer(w.get()).height() >= area.height() - 2);
}

QTEST_MAIN(TestPlacement)
#include "tst_placement.moc"
