#pragma once

#include <QObject>

class QSocketNotifier;

namespace platform {

// Turns the requests to end the program that come from outside (SIGTERM from
// `kill` or the session's log-out, SIGINT from the terminal, SIGHUP when the
// terminal goes away) into a Qt signal delivered by the event loop, so that
// the program can end in order. Only one object may catch them at a time; a
// second one stays inactive.
class TerminationSignals : public QObject {
    Q_OBJECT
  public:
    explicit TerminationSignals(QObject* parent = nullptr);
    // Puts back the handling that was in place before.
    ~TerminationSignals() override;

    // Whether this object catches the signals.
    bool isActive() const { return m_notifier != nullptr; }

  signals:
    // Emitted once per signal caught, with its number.
    void received(int signalNumber);

  private:
    void drain();

    QSocketNotifier* m_notifier = nullptr;
    int m_readFd = -1;
};

} // namespace platform
