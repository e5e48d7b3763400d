#pragma once

#include <QString>
#include <QUrl>

class QWidget;

namespace platform {

class Dialogs;

// Hands files and addresses to the desktop, and copies a file with a progress window.
class Shell {
  public:
    enum class CopyResult { Copied, Declined, Cancelled, Failed };

    virtual ~Shell() = default;
    // Opens a file or an address (http:, mailto:, tel:, file path) with its default
    // program; false when none could be started.
    virtual bool open(const QString& fileOrUrl) = 0;
    // Copies source to target showing progress; asks before replacing an existing
    // target (No gives Declined); the user may cancel (Cancelled, nothing left
    // behind). Failed when reading or writing fails; errorText says why.
    virtual CopyResult copyFile(QWidget* owner, const QString& source, const QString& target,
                                QString* errorText = nullptr) = 0;
};

// The desktop's shell: QDesktopServices, and a copy through a Qt progress dialog.
class DesktopShell : public Shell {
  public:
    explicit DesktopShell(Dialogs& dialogs) : m_dialogs(dialogs) {}
    // When nothing opens it, says so in a warning owned by the active window.
    // A tel: address goes to the desktop only when it names a program for
    // calling (desktopHandlesScheme).
    bool open(const QString& fileOrUrl) override;
    // That warning: names the file's path or the address; for a tel: address
    // the number, saying that no program for calling is set up.
    static QString notOpenedMessage(const QString& fileOrUrl);
    // The address open() hands to the desktop: texts with a scheme (http:, mailto:,
    // file:) as they are, "www.…" as http:, anything else as a local file.
    static QUrl urlFor(const QString& fileOrUrl);
    CopyResult copyFile(QWidget* owner, const QString& source, const QString& target,
                        QString* errorText = nullptr) override;

  private:
    static bool isCall(const QUrl& url);

    Dialogs& m_dialogs;
};

} // namespace platform
