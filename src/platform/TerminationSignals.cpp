#include "TerminationSignals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr std::array kSignals{SIGTERM, SIGINT, SIGHUP};

// The write end of the pipe the handler reports through. A signal handler
// gets no context, so this one descriptor has to be reachable from it; -1
// while no object catches the signals.
volatile std::sig_atomic_t g_writeFd = -1;
std::array<struct sigaction, kSignals.size()> g_previous{};

// Runs in signal context: only async-signal-safe calls (write), and errno
// is left as the interrupted code had it.
extern "C" void onTerminationSignal(int signalNumber) {
    const int savedErrno = errno;
    const int fd = g_writeFd;
    if (fd >= 0) {
        const unsigned char byte = static_cast<unsigned char>(signalNumber);
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (g_writeFd >= 0) return;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    m_readFd = fds[0];
    g_writeFd = fds[1];
    m_notifier = new QSocketNotifier(qintptr(m_readFd), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::drain);

    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &action, &g_previous[i]);
}

TerminationSignals::~TerminationSignals() {
    if (!m_notifier) return;
    for (size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &g_previous[i], nullptr);
    const int writeFd = g_writeFd;
    g_writeFd = -1;
    ::close(writeFd);
    ::close(m_readFd);
}

void TerminationSignals::drain() {
    unsigned char bytes[16];
    for (;;) {
        const ssize_t n = ::read(m_readFd, bytes, sizeof bytes);
        if (n <= 0) break;
        for (ssize_t i = 0; i < n; ++i)
            emit received(int(bytes[i]));
    }
}

} // namespace platform
