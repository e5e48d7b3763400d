#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QSocketNotifier;
class QWidget;

namespace platform {

// One running copy per desktop session. The running copy answers a Unix domain
// socket with its current window caption; a second copy asks for it and, only
// when it is exactly the expected caption, asks the running copy to raise its
// window and ends. The protocol is a line of text each way.
class SingleInstance : public QObject {
    Q_OBJECT
  public:
    // name: the socket's path; by default one per desktop session, in the
    // user's private folder. A name without a folder lies in the temporary
    // folder. An empty name (no private folder) finds no running copy and
    // answers none.
    explicit SingleInstance(QString name = defaultName(), QObject* parent = nullptr);
    ~SingleInstance() override;

    static QString defaultName();
    // Where the socket is while listening, else empty.
    QString serverPath() const;
    // Shows window in front of the others, restoring it from the task bar
    // to the state it had before it was minimized.
    static void bringToFront(QWidget& window);

    // True when a running copy shows exactly expectedCaption and was asked to raise its window.
    bool raiseRunningCopy(const QString& expectedCaption, int timeoutMs = 1000);
    // Starts answering other copies; caption gives the current window caption.
    bool listen(std::function<QString()> caption);

  signals:
    void raiseRequested();

  private:
    class Peer;
    void acceptPeers();
    void serve(Peer& peer);

    QString m_name;
    int m_listener = -1;
    QSocketNotifier* m_notifier = nullptr;
    std::function<QString()> m_caption;
};

} // namespace platform
