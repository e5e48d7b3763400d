#include "SingleInstance.h"

#include "PrivateFolder.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QWidget>

#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

namespace {

// The requests of the protocol, one line each.
constexpr char kCaptionRequest[] = "caption";
constexpr char kRaiseRequest[] = "raise";
// A peer that sends this much without a line end is not one of ours.
constexpr qsizetype kMaxRequest = 1024;

// The socket's file: a name without a folder lies in the temporary folder.
QByteArray socketFile(const QString& name) {
    if (name.isEmpty()) return {};
    return QFile::encodeName(name.contains(u'/') ? name : QDir(QDir::tempPath()).filePath(name));
}

// False when the path does not fit a socket address.
bool addressOf(const QByteArray& file, sockaddr_un& address) {
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    if (file.isEmpty() || size_t(file.size()) >= sizeof(address.sun_path)) return false;
    std::memcpy(address.sun_path, file.constData(), size_t(file.size()));
    return true;
}

// A socket descriptor, closed when it goes.
class Socket {
  public:
    explicit Socket(int fd = -1) : m_fd(fd) {}
    ~Socket() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

  private:
    int m_fd;
};

int newSocket() {
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
}

// Waits until fd is ready for events; false at the deadline or on an error.
bool waitFor(int fd, short events, const QDeadlineTimer& deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        const qint64 left = deadline.isForever() ? -1 : qMax<qint64>(0, deadline.remainingTime());
        const int n = ::poll(&p, 1, int(left));
        if (n > 0) return true;
        if (n == 0) return false;
        if (errno != EINTR) return false;
    }
}

// A connected socket, or -1 when nobody answers on the file in time.
int connectTo(const QByteArray& file, const QDeadlineTimer& deadline) {
    sockaddr_un address;
    if (!addressOf(file, address)) return -1;
    Socket s(newSocket());
    if (s.fd() < 0) return -1;
    if (::connect(s.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        // A listener whose queue is full answers once it has taken the earlier callers.
        if (errno != EAGAIN && errno != EINPROGRESS && errno != EINTR) return -1;
        if (!waitFor(s.fd(), POLLOUT, deadline)) return -1;
        int error = 0;
        socklen_t size = sizeof error;
        if (::getsockopt(s.fd(), SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0) return -1;
    }
    return s.release();
}

bool sendAll(int fd, const QByteArray& data, const QDeadlineTimer& deadline) {
    qsizetype sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(fd, data.constData() + sent, size_t(data.size() - sent), MSG_NOSIGNAL);
        if (n > 0) {
            sent += n;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            if (!waitFor(fd, POLLOUT, deadline)) return false;
        } else {
            return false;
        }
    }
    return true;
}

// The first line the peer sends, without its line end; nothing when the peer
// closes, sends too much or takes too long.
std::optional<QByteArray> receiveLine(int fd, const QDeadlineTimer& deadline) {
    QByteArray received;
    for (;;) {
        if (const qsizetype end = received.indexOf('\n'); end >= 0) return received.left(end);
        if (received.size() > kMaxRequest * 64) return std::nullopt;
        char buffer[4096];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n > 0) {
            received.append(buffer, n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            if (!waitFor(fd, POLLIN, deadline)) return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
}

} // namespace

// A copy that asked: its socket and what it sent that is not yet a whole line.
class SingleInstance::Peer : public QObject {
  public:
    Peer(int fd, QObject* parent) : QObject(parent), socket(fd), notifier(fd, QSocketNotifier::Read) {}
    Socket socket;
    QSocketNotifier notifier;
    QByteArray pending;
};

SingleInstance::SingleInstance(QString name, QObject* parent) : QObject(parent), m_name(std::move(name)) {}

SingleInstance::~SingleInstance() {
    if (m_listener < 0) return;
    delete m_notifier;
    ::close(m_listener);
    ::unlink(socketFile(m_name).constData());
}

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
    return m_listener >= 0 ? QFile::decodeName(socketFile(m_name)) : QString();
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
    const QDeadlineTimer deadline(timeoutMs);
    Socket s(connectTo(socketFile(m_name), deadline));
    if (s.fd() < 0) return false;
    if (!sendAll(s.fd(), QByteArray(kCaptionRequest) + '\n', deadline)) return false;
    const std::optional<QByteArray> caption = receiveLine(s.fd(), deadline);
    if (!caption || QString::fromUtf8(*caption) != expectedCaption) return false;
    return sendAll(s.fd(), QByteArray(kRaiseRequest) + '\n', deadline);
}

bool SingleInstance::listen(std::function<QString()> caption) {
    m_caption = std::move(caption);
    if (m_listener >= 0) return true;
    const QByteArray file = socketFile(m_name);
    sockaddr_un address;
    if (!addressOf(file, address)) return false;

    // A name a running copy answers on stays its own. A socket found under the
    // name with nobody answering was left behind by a copy that ended without
    // closing it; anything else there is not ours to remove.
    if (Socket probe(connectTo(file, QDeadlineTimer(500))); probe.fd() >= 0) return false;
    struct stat found;
    if (::lstat(file.constData(), &found) == 0 && S_ISSOCK(found.st_mode)) ::unlink(file.constData());

    Socket s(newSocket());
    if (s.fd() < 0) return false;
    if (::bind(s.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return false;
    // Only the user may connect (the folder is private as well).
    if (::chmod(file.constData(), S_IRUSR | S_IWUSR) != 0 || ::listen(s.fd(), 8) != 0) {
        ::unlink(file.constData());
        return false;
    }
    m_listener = s.release();
    m_notifier = new QSocketNotifier(m_listener, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SingleInstance::acceptPeers);
    return true;
}

void SingleInstance::acceptPeers() {
    for (;;) {
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR) continue;
            return; // none waiting (or a peer gone before it was taken)
        }
        auto* peer = new Peer(fd, this);
        connect(&peer->notifier, &QSocketNotifier::activated, this, [this, peer] { serve(*peer); });
    }
}

void SingleInstance::serve(Peer& peer) {
    bool open = true;
    for (;;) {
        char buffer[1024];
        const ssize_t n = ::recv(peer.socket.fd(), buffer, sizeof buffer, 0);
        if (n > 0) {
            peer.pending.append(buffer, n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        open = n < 0 && errno == EAGAIN; // 0: the peer closed
        break;
    }
    qsizetype end;
    while ((end = peer.pending.indexOf('\n')) >= 0) {
        const QByteArray request = peer.pending.left(end).trimmed();
        peer.pending.remove(0, end + 1);
        if (request == kCaptionRequest) {
            QString text = m_caption ? m_caption() : QString();
            text.replace(u'\n', u' ');
            // A line this short goes into an empty socket at once.
            if (!sendAll(peer.socket.fd(), text.toUtf8() + '\n', QDeadlineTimer(100))) open = false;
        } else if (request == kRaiseRequest) {
            emit raiseRequested();
        }
    }
    if (peer.pending.size() > kMaxRequest) open = false;
    if (!open) {
        peer.notifier.setEnabled(false);
        peer.deleteLater();
    }
}

} // namespace platform
