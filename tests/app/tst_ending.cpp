// How the program ends: the closing save that fails is reported, and the
// signals of the session or of `kill` end a running program in order.

#include "MainWindowFixture.h"
#include "SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <QScopeGuard>

#include <csignal>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using platform::Access;
using platform::Root;

namespace {

const QString kPozice = platform::kProgramKey + QStringLiteral("Pozice");
const QString kCaption = QStringLiteral("Ordana 2004 Velto");
const QStringList kPrefixes{"o_", "f_", "p_", "s_", "x_"};

// The caption a running copy answers on the socket in folder; empty while
// none answers.
QString answeredCaption(const QString& folder) {
    const QStringList sockets = QDir(folder).entryList({QStringLiteral("ordana-*")}, QDir::System);
    if (sockets.size() != 1) return {};
    const QByteArray path = QFile::encodeName(QDir(folder).filePath(sockets.first()));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (size_t(path.size()) >= sizeof address.sun_path) return {};
    memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0) return {};
    const auto closeFd = qScopeGuard([fd] { ::close(fd); });
    const timeval wait{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return {};
    if (::send(fd, "caption\n", 8, MSG_NOSIGNAL) != 8) return {};
    QByteArray reply;
    char buffer[256];
    ssize_t n;
    while (!reply.contains('\n') && (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
        reply.append(buffer, n);
    return QString::fromUtf8(reply).trimmed();
}

} // namespace

class TestEnding : public app_test::MainWindowTest {
    Q_OBJECT
  private slots:
    void init() { resetProgram(); }
    void closingSave_data();
    void closingSave();
    void endedFromOutside_data();
    void endedFromOutside();
};

void TestEnding::closingSave_data() {
    QTest::addColumn<bool>("writable");
    QTest::newRow("stored") << true;
    QTest::newRow("settings cannot be written") << false;
}

// Closing tells the user when the placement and limits could not be stored,
// and closes all the same.
void TestEnding::closingSave() {
    QFETCH(bool, writable);
    auto w = start();
    QVERIFY(w->startedOk());
    m_settings->setReadOnly(Root::CurrentUser, !writable);
    m_dialogs.answerMessage(platform::Dialogs::Answer::Yes);
    QVERIFY(w->close());

    QCOMPARE(m_dialogs.shown().size(), writable ? 1 : 2);
    QCOMPARE(m_dialogs.shown().first().caption, QStringLiteral("Dotaz"));
    QCOMPARE(m_settings->open(Root::CurrentUser, kPozice, Access::Read) != nullptr, writable);
    if (writable) return;
    const auto& failure = m_dialogs.shown().last();
    QCOMPARE(failure.caption, QStringLiteral("Upozornění"));
    QCOMPARE(failure.icon, platform::Dialogs::Icon::Information);
    QCOMPARE(failure.owner, w.get());
    QCOMPARE(failure.text, QStringLiteral("Nastavení programu nelze uložit do klíče registru "
                                          "„\\Software\\Kestrava s.r.o.\\Ordana 2004\\Pozice“."));
}

void TestEnding::endedFromOutside_data() {
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

// The program, started with a fresh home and sent a signal, ends at once
// without asking: exit code 0, placement stored, working files and socket gone.
void TestEnding::endedFromOutside() {
    QFETCH(int, signalNumber);
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QString config = home.filePath("config");
    const QString runtime = home.filePath("run");
    for (const QString& folder :
         {config, runtime, home.filePath("data"), home.filePath("cache"), home.filePath("etc")})
        QVERIFY(QDir().mkpath(folder));
    QVERIFY(QFile::setPermissions(runtime,
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));

    // The directory database is the hard-disk copy named in the user's settings.
    const QString userIni = config + QStringLiteral("/Kestrava s.r.o./Ordana 2004.ini");
    const QString machineIni = home.filePath("etc/Kestrava s.r.o./Ordana 2004.ini");
    {
        auto store = platform::makeIniSettingsStore(userIni, machineIni);
        auto disk =
            store->open(Root::CurrentUser, platform::kProgramKey + QStringLiteral("Disk"), Access::All, true);
        QVERIFY(disk);
        QVERIFY(disk->writeString(QStringLiteral("Path"), QStringLiteral(ORDANA_TEST_DATA)));
    }

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home.path());
    env.insert("XDG_CONFIG_HOME", config);
    env.insert("XDG_CONFIG_DIRS", home.filePath("etc"));
    env.insert("XDG_DATA_HOME", home.filePath("data"));
    env.insert("XDG_CACHE_HOME", home.filePath("cache"));
    env.insert("XDG_RUNTIME_DIR", runtime);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QStringLiteral(ORDANA_PROGRAM), {});
    QVERIFY2(program.waitForStarted(30000), qPrintable(program.errorString()));
    const auto stop = qScopeGuard([&] {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished(30000);
        }
    });

    // Running once its socket answers with the normal caption.
    QTRY_COMPARE_WITH_TIMEOUT(answeredCaption(runtime), kCaption, 60000);

    // Working files as a search leaves them, named by the running copy.
    const QString tag = QString::number(program.processId());
    for (const QString& prefix : kPrefixes) {
        QFile file(runtime + u'/' + prefix + tag + QStringLiteral(".mdb"));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    QCOMPARE(::kill(pid_t(program.processId()), signalNumber), 0);
    QVERIFY2(program.waitForFinished(30000), "the program did not end");
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);

    auto store = platform::makeIniSettingsStore(userIni, machineIni);
    auto pozice = store->open(Root::CurrentUser, kPozice, Access::Read);
    QVERIFY(pozice);
    QVERIFY(pozice->readInt(QStringLiteral("W")).value_or(0) >= 752);
    QVERIFY(pozice->readInt(QStringLiteral("X")).has_value());
    QCOMPARE(pozice->readString(QStringLiteral("MAX_O")), QStringLiteral("10"));
    QCOMPARE(pozice->readString(QStringLiteral("TABS")), QStringLiteral("1"));
    for (const QString& prefix : kPrefixes)
        QVERIFY2(!QFileInfo::exists(runtime + u'/' + prefix + tag + QStringLiteral(".mdb")),
                 qPrintable(prefix));
    QCOMPARE(QDir(runtime).entryList({QStringLiteral("ordana-*")}, QDir::System), QStringList());
}

QTEST_MAIN(TestEnding)
#include "tst_ending.moc"
