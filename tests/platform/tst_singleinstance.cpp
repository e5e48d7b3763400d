#include "PrivateFolder.h"
#include "SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QUuid>
#include <QWidget>

#include <atomic>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using platform::SingleInstance;

namespace {

const QString kCaption = QStringLiteral("Ordana 2004 Velto");

QString uniqueName() {
    return QStringLiteral("ordana-test-") + QUuid::createUuid().toString(QUuid::Id128).left(16);
}

// The second copy's side runs in a thread of its own, because the listening
// copy answers only while this thread's event loop runs.
class SecondCopy {
  public:
    SecondCopy(const QString& name, const QString& expectedCaption) {
        m_thread.reset(QThread::create([this, name, expectedCaption] {
            SingleInstance instance(name);
            m_result = instance.raiseRunningCopy(expectedCaption, 5000) ? 1 : 0;
        }));
        m_thread->start();
    }
    ~SecondCopy() { m_thread->wait(); }
    bool finished() const { return m_thread->isFinished(); }
    int result() const { return m_result; }

  private:
    std::unique_ptr<QThread> m_thread;
    std::atomic<int> m_result{-1};
};

// Leaves a socket file behind at path with nobody listening, as a copy that
// crashed does.
bool makeStaleSocket(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (size_t(native.size()) >= sizeof(address.sun_path)) return false;
    memcpy(address.sun_path, native.constData(), size_t(native.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0) return false;
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return bound && QFileInfo::exists(path);
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT
  private slots:
    void raise_data();
    void raise();
    void takenName_data();
    void takenName();
    void requests_data();
    void requests();
    void notASocket();
    void socketInPrivateFolder_data();
    void socketInPrivateFolder();
    void bringToFront_data();
    void bringToFront();
};

void TestSingleInstance::raise_data() {
    QTest::addColumn<bool>("listening");
    QTest::addColumn<QString>("runningCaption");
    QTest::addColumn<bool>("expected");

    QTest::newRow("same caption") << true << kCaption << true;
    QTest::newRow("busy caption") << true << QStringLiteral("Ordana 2004 Velto - hledám...") << false;
    QTest::newRow("shorter caption") << true << QStringLiteral("Ordana 2004") << false;
    QTest::newRow("nobody listening") << false << kCaption << false;
}

void TestSingleInstance::raise() {
    QFETCH(bool, listening);
    QFETCH(QString, runningCaption);
    QFETCH(bool, expected);

    const QString name = uniqueName();
    SingleInstance running(name);
    QSignalSpy raised(&running, &SingleInstance::raiseRequested);
    if (listening) QVERIFY(running.listen([&] { return runningCaption; }));

    SecondCopy second(name, kCaption);
    QTRY_VERIFY(second.finished());
    QCOMPARE(second.result(), int(expected));
    if (!listening) return;
    // A copy asking next with the right caption raises the window; by then a
    // stray raise from the first one would have arrived as well.
    runningCaption = kCaption;
    SecondCopy third(name, kCaption);
    QTRY_VERIFY(third.finished());
    QCOMPARE(third.result(), 1);
    QTRY_COMPARE(raised.count(), expected ? 2 : 1);
}

void TestSingleInstance::takenName_data() {
    QTest::addColumn<bool>("stale");
    QTest::newRow("left behind by a crashed copy") << true;
    QTest::newRow("held by a running copy") << false;
}

// A name left behind is taken over; a name a running copy answers on is not.
void TestSingleInstance::takenName() {
    QFETCH(bool, stale);
    const QString name = uniqueName();
    const QString path = QDir(QDir::tempPath()).filePath(name);
    QVERIFY(!QFileInfo::exists(path));

    std::unique_ptr<SingleInstance> holder;
    if (stale) {
        QVERIFY(makeStaleSocket(path));
    } else {
        holder = std::make_unique<SingleInstance>(name);
        QVERIFY(holder->listen([] { return QStringLiteral("holder"); }));
    }

    SingleInstance second(name);
    QCOMPARE(second.listen([] { return kCaption; }), stale);

    // Whoever listens now answers.
    SecondCopy client(name, stale ? kCaption : QStringLiteral("holder"));
    QTRY_VERIFY(client.finished());
    QCOMPARE(client.result(), 1);
}

void TestSingleInstance::requests_data() {
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QByteArray>("then");   // sent once the first piece has been taken
    QTest::addColumn<QByteArray>("answer"); // all the running copy sends back
    QTest::addColumn<bool>("closed");       // whether it then closes the connection
    QTest::addColumn<int>("raises");

    const QByteArray caption = "Ordana 2004 Velto\n";
    QTest::newRow("caption") << QByteArray("caption\n") << QByteArray() << caption << false << 0;
    QTest::newRow("caption, Windows line end")
        << QByteArray("caption\r\n") << QByteArray() << caption << false << 0;
    QTest::newRow("two requests in one piece")
        << QByteArray("caption\nraise\n") << QByteArray() << caption << false << 1;
    QTest::newRow("asked twice") << QByteArray("caption\n") << QByteArray("caption\n") << caption + caption
                                 << false << 0;
    QTest::newRow("unknown request ignored")
        << QByteArray("quit\n") << QByteArray("caption\n") << caption << false << 0;
    QTest::newRow("a line in two pieces")
        << QByteArray("capt") << QByteArray("ion\n") << caption << false << 0;
    QTest::newRow("too long without a line end")
        << QByteArray(2000, 'a') << QByteArray() << QByteArray() << true << 0;
}

// What the running copy does with what a peer sends, whoever the peer is.
void TestSingleInstance::requests() {
    QFETCH(QByteArray, sent);
    QFETCH(QByteArray, then);
    QFETCH(QByteArray, answer);
    QFETCH(bool, closed);
    QFETCH(int, raises);

    const QString name = uniqueName();
    SingleInstance running(name);
    QSignalSpy raised(&running, &SingleInstance::raiseRequested);
    QVERIFY(running.listen([] { return kCaption; }));

    const QByteArray native = QFile::encodeName(running.serverPath());
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    memcpy(address.sun_path, native.constData(), size_t(native.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
    QVERIFY(fd >= 0);
    const auto closeFd = qScopeGuard([fd] { ::close(fd); });
    QCOMPARE(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    QByteArray received;
    bool ended = false;
    const auto receive = [&] {
        char buffer[256];
        ssize_t n;
        while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
            received.append(buffer, n);
        if (n == 0) ended = true;
        return received;
    };
    const auto send = [fd](const QByteArray& bytes) {
        return ::send(fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL) == ssize_t(bytes.size());
    };
    QVERIFY(send(sent));
    if (!then.isEmpty()) {
        // The running copy reads what has come so far before the rest comes.
        QCoreApplication::processEvents();
        QVERIFY(send(then));
    }
    QTRY_COMPARE(receive(), answer);
    QTRY_COMPARE(raised.count(), raises);
    if (closed) QTRY_VERIFY((receive(), ended));
    QVERIFY(ended == closed);
}

// A file at the socket's name that is no socket is neither removed nor answered on.
void TestSingleInstance::notASocket() {
    const QString path = QDir(QDir::tempPath()).filePath(uniqueName());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("notes");
    file.close();
    const auto remove = qScopeGuard([&] { QFile::remove(path); });
    SingleInstance instance(path);
    QVERIFY(!instance.listen([] { return kCaption; }));
    QVERIFY(instance.serverPath().isEmpty());
    QVERIFY(!instance.raiseRunningCopy(kCaption, 200));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("notes"));

    // A path too long for a socket address finds nobody and listens nowhere.
    SingleInstance tooLong(QDir::tempPath() + u'/' + QString(200, u'x'));
    QVERIFY(!tooLong.listen([] { return kCaption; }));
    QVERIFY(!tooLong.raiseRunningCopy(kCaption, 200));
}

void TestSingleInstance::socketInPrivateFolder_data() {
    QTest::addColumn<bool>("runtimeFolder"); // whether $XDG_RUNTIME_DIR is set
    QTest::newRow("runtime folder") << true;
    QTest::newRow("no runtime folder") << false;
}

// The socket never sits at a name another user could take first.
void TestSingleInstance::socketInPrivateFolder() {
    QFETCH(bool, runtimeFolder);
    QTemporaryDir home;
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray oldCache = qgetenv("XDG_CACHE_HOME");
    const auto restore = qScopeGuard([&] {
        qputenv("XDG_RUNTIME_DIR", oldRuntime);
        qputenv("XDG_CACHE_HOME", oldCache);
    });
    const QString runtime = home.path() + QStringLiteral("/run");
    QVERIFY(QDir().mkpath(runtime));
    QVERIFY(QFile::setPermissions(runtime,
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home.path() + QStringLiteral("/cache")));
    if (runtimeFolder)
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    else
        qunsetenv("XDG_RUNTIME_DIR");

    const QString folder = platform::privateFolder();
    QVERIFY(!folder.isEmpty());
    if (runtimeFolder) QCOMPARE(folder, runtime);
    SingleInstance instance;
    QVERIFY(instance.listen([] { return kCaption; }));
    const QFileInfo socket(instance.serverPath());
    QCOMPARE(socket.absolutePath(), QFileInfo(folder).absoluteFilePath());
    QVERIFY(socket.exists());
    QVERIFY(!QFileInfo(folder).permissions().testAnyFlags(QFileDevice::ReadOther | QFileDevice::WriteOther |
                                                          QFileDevice::ExeOther | QFileDevice::WriteGroup));

    // A second copy in the same session finds it there.
    SecondCopy second(SingleInstance::defaultName(), kCaption);
    QTRY_VERIFY(second.finished());
    QCOMPARE(second.result(), 1);
}

void TestSingleInstance::bringToFront_data() {
    QTest::addColumn<Qt::WindowStates>("before");
    QTest::addColumn<Qt::WindowStates>("after");
    QTest::newRow("normal") << Qt::WindowStates() << Qt::WindowStates();
    QTest::newRow("maximized") << Qt::WindowStates(Qt::WindowMaximized)
                               << Qt::WindowStates(Qt::WindowMaximized);
    QTest::newRow("full screen") << Qt::WindowStates(Qt::WindowFullScreen)
                                 << Qt::WindowStates(Qt::WindowFullScreen);
    QTest::newRow("minimized") << Qt::WindowStates(Qt::WindowMinimized) << Qt::WindowStates();
    QTest::newRow("minimized while maximized")
        << (Qt::WindowMinimized | Qt::WindowMaximized) << Qt::WindowStates(Qt::WindowMaximized);
}

// Raising the running copy keeps the state the user gave its window.
void TestSingleInstance::bringToFront() {
    QFETCH(Qt::WindowStates, before);
    QFETCH(Qt::WindowStates, after);
    QWidget window;
    window.resize(300, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.setWindowState(before);
    QCoreApplication::processEvents();
    SingleInstance::bringToFront(window);
    QCoreApplication::processEvents();
    QVERIFY(window.isVisible());
    QCOMPARE(window.windowState() & ~Qt::WindowActive, after);
}

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
