#include "SingleInstance.h"

#include "PrivateFolder.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

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
    // The socket goes into the user's private folder: a name anyone can
    // predict in a shared folder could be taken first by another user, who
    // would then answer every start of this user's program.
    const QString folder = privateFolder();
    if (folder.isEmpty()) return {};
    // One copy per desktop session: two displays of one user get two names.
    const QByteArray session =
        qgetenv("DISPLAY") + '|' + qgetenv("WAYLAND_DISPLAY") + '|' + qgetenv("XDG_SESSION_ID");
    const QByteArray hash = QCryptographicHash::hash(session, QCryptographicHash::Sha1).toHex().left(12);
    return QDir(folder).filePath(QStringLiteral("ordana-") + QString::fromLatin1(hash));
}

QString SingleInstance::serverPath() const {
    return m_server ? m_server->fullServerName() : QString();
}

void SingleInstance::bringToFront(QWidget& window) {
    // A minimized window comes back as it was before (maximized stays
    // maximized); any other state is kept as it is.
    if (window.windowState() & Qt::WindowMinimized)
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    if (!window.isVisible()) window.show();
    window.raise();
    window.activateWindow();
}

bool SingleInstance::raiseRunningCopy(const QString& expectedCaption, int timeoutMs) {
    if (m_name.isEmpty()) return false;
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
    if (m_name.isEmpty()) return false;

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
