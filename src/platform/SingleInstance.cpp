#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace platform {

namespace {

// The requests of the protocol, one line each.
constexpr char kCaptionRequest[] = "caption";
constexpr char kRaiseRequest[] = "raise";
// A peer that sends this much without a line end is not one of ours.
constexpr qint64 kMaxRequest = 1024;

int remaining(const QDeadlineTimer& deadline) {
    if (deadline.isForever()) return -1;
    return int(qMax<qint64>(0, deadline.remainingTime()));
}

// Whether a running copy answers on the name.
bool answers(const QString& name, int timeoutMs) {
    QLocalSocket probe;
    probe.connectToServer(name);
    const bool connected = probe.waitForConnected(timeoutMs);
    probe.abort();
    return connected;
}

} // namespace

SingleInstance::SingleInstance(QString name, QObject* parent) : QObject(parent), m_name(std::move(name)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultName() {
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) user = qEnvironmentVariable("LOGNAME");
    if (user.isEmpty()) user = qEnvironmentVariable("USERNAME");
#ifdef Q_OS_UNIX
    if (user.isEmpty()) user = QString::number(::getuid());
#endif
    // The name becomes a file name on Unix: keep it to safe characters.
    for (QChar& c : user)
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != u'_' && c != u'-' && c != u'.') c = u'_';
    const QByteArray session =
        qgetenv("DISPLAY") + '|' + qgetenv("WAYLAND_DISPLAY") + '|' + qgetenv("XDG_SESSION_ID");
    const QByteArray hash = QCryptographicHash::hash(session, QCryptographicHash::Sha1).toHex().left(12);
    const QString name = QStringLiteral("ordana-") + user + u'-' + QString::fromLatin1(hash);
#ifdef Q_OS_UNIX
    // The user's private runtime folder rather than the shared temporary one,
    // where another user could take the name first.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir() && QFileInfo(runtime).isWritable())
        return QDir(runtime).filePath(name);
#endif
    return name;
}

bool SingleInstance::raiseRunningCopy(const QString& expectedCaption, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(remaining(deadline))) return false;

    socket.write(QByteArray(kCaptionRequest) + '\n');
    QByteArray reply;
    while (!reply.contains('\n')) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(remaining(deadline))) return false;
        reply += socket.readAll();
        if (reply.size() > kMaxRequest * 64) return false;
    }
    const QString caption = QString::fromUtf8(reply.left(reply.indexOf('\n')));
    if (caption != expectedCaption) return false;

    socket.write(QByteArray(kRaiseRequest) + '\n');
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(remaining(deadline))) return false;
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::listen(std::function<QString()> caption) {
    m_caption = std::move(caption);
    if (m_server) return m_server->isListening();

    // A name a running copy answers on stays its own. Anything else found under
    // the name was left behind by a copy that ended without closing it. (With
    // access options set, QLocalServer::listen() renames its socket over an
    // existing one, so it would not refuse a live name by itself.)
    if (answers(m_name, 500)) return false;
    QLocalServer::removeServer(m_name);
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(m_name)) {
        delete server;
        return false;
    }
    m_server = server;

    connect(server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            const auto serve = [this, socket] {
                while (socket->canReadLine()) {
                    const QByteArray request = socket->readLine().trimmed();
                    if (request == kCaptionRequest) {
                        QString text = m_caption ? m_caption() : QString();
                        text.replace(u'\n', u' ');
                        socket->write(text.toUtf8() + '\n');
                        socket->flush();
                    } else if (request == kRaiseRequest) {
                        emit raiseRequested();
                    }
                }
                if (socket->bytesAvailable() > kMaxRequest) socket->abort();
            };
            connect(socket, &QLocalSocket::readyRead, this, serve);
            serve();
        }
    });
    return true;
}

} // namespace platform
