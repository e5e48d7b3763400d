#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

namespace platform {

// One running copy per desktop session. The running copy answers a local
// socket with its current window caption; a second copy asks for it and, only
// when it is exactly the expected caption, asks the running copy to raise its
// window and ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // name: the socket name; by default one per user and desktop session (on
    // Unix in $XDG_RUNTIME_DIR when there is one).
    explicit SingleInstance(QString name = defaultName(), QObject* parent = nullptr);
    ~SingleInstance() override;

    static QString defaultName();

    // True when a running copy shows exactly expectedCaption and was asked to raise its window.
    bool raiseRunningCopy(const QString& expectedCaption, int timeoutMs = 1000);
    // Starts answering other copies; caption gives the current window caption.
    bool listen(std::function<QString()> caption);

signals:
    void raiseRequested();

private:
    QString m_name;
    QLocalServer* m_server = nullptr;
    std::function<QString()> m_caption;
};

} // namespace platform
