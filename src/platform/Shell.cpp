#include "Shell.h"

#include "Dialogs.h"
#include "SchemeHandlers.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QSaveFile>

namespace platform {

namespace {

constexpr qint64 kChunkSize = 1024 * 1024;
constexpr int kProgressSteps = 1000;

QString quoted(const QString& path) {
    return QStringLiteral("„") + QDir::toNativeSeparators(path) + QStringLiteral("“");
}

} // namespace

QUrl DesktopShell::urlFor(const QString& fileOrUrl) {
    const QString text = fileOrUrl.trimmed();
    if (text.isEmpty()) return {};
    if (text.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        return QUrl(QStringLiteral("http://") + text, QUrl::TolerantMode);
    // A scheme has at least two letters, so that a drive letter ("C:") never passes for one.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    if (scheme.match(text).hasMatch()) return QUrl(text, QUrl::TolerantMode);
    return QUrl::fromLocalFile(QFileInfo(text).absoluteFilePath());
}

QString DesktopShell::notOpenedMessage(const QString& fileOrUrl) {
    const QUrl url = urlFor(fileOrUrl);
    if (isCall(url))
        return QStringLiteral("Na číslo %1 nelze zavolat: v systému není nastaven žádný program pro volání.")
            .arg(quoted(url.path()));
    // A local file is named by its path, without the help page's anchor.
    const QString name =
        url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : fileOrUrl.trimmed();
    return QStringLiteral("%1 nelze otevřít: v systému není program, který by jej otevřel.")
        .arg(quoted(name));
}

bool DesktopShell::isCall(const QUrl& url) {
    return url.scheme().compare(QLatin1String("tel"), Qt::CaseInsensitive) == 0;
}

bool DesktopShell::open(const QString& fileOrUrl) {
    const QUrl url = urlFor(fileOrUrl);
    // xdg-open takes every address and cannot say whether a program took it
    // after all; a number is handed over only when the desktop names a
    // program that calls.
    const bool handled = !isCall(url) || desktopHandlesScheme(url.scheme());
    if (url.isValid() && handled && QDesktopServices::openUrl(url)) return true;
    // Without a program for the address (no opener on the desktop) nothing
    // else would show that the click did anything.
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner) owner = QApplication::activeWindow();
    m_dialogs.warn(owner, notOpenedMessage(fileOrUrl));
    return false;
}

Shell::CopyResult DesktopShell::copyFile(QWidget* owner, const QString& source, const QString& target,
                                         QString* errorText) {
    if (errorText) errorText->clear();
    const auto fail = [errorText](const QString& why) {
        if (errorText) *errorText = why;
        return CopyResult::Failed;
    };

    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("Soubor %1 nelze otevřít: %2").arg(quoted(source), in.errorString()));
    const QFileInfo targetInfo(target);
    if (targetInfo.isDir()) return fail(QStringLiteral("%1 je složka.").arg(quoted(target)));
    const QString sourceCanonical = QFileInfo(source).canonicalFilePath();
    if (targetInfo.exists() && sourceCanonical == targetInfo.canonicalFilePath())
        return fail(QStringLiteral("Soubor %1 nelze zkopírovat sám na sebe.").arg(quoted(source)));

    if (targetInfo.exists()) {
        const auto answer = m_dialogs.message(
            owner, QStringLiteral("Potvrzení nahrazení souboru"),
            QStringLiteral("Soubor %1 již existuje.\nChcete jej nahradit?").arg(quoted(target)),
            Dialogs::Icon::Question, Dialogs::Buttons::YesNo);
        if (answer != Dialogs::Answer::Yes) return CopyResult::Declined;
    }

    // The copy goes to a temporary file beside the target that replaces it only
    // once complete, so a cancelled or failed copy leaves the old target as it was.
    QSaveFile out(target);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("Soubor %1 nelze vytvořit: %2").arg(quoted(target), out.errorString()));

    QProgressDialog progress(owner);
    progress.setWindowTitle(QStringLiteral("Kopírování"));
    progress.setLabelText(QStringLiteral("Kopíruji soubor %1").arg(quoted(targetInfo.fileName())));
    progress.setCancelButtonText(QStringLiteral("Storno"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setMinimumDuration(200);
    progress.setRange(0, kProgressSteps);
    progress.setValue(0);

    const qint64 total = in.size();
    QByteArray buffer(kChunkSize, Qt::Uninitialized);
    qint64 done = 0;
    for (;;) {
        const qint64 read = in.read(buffer.data(), kChunkSize);
        if (read < 0) {
            out.cancelWriting();
            return fail(QStringLiteral("Soubor %1 nelze přečíst: %2").arg(quoted(source), in.errorString()));
        }
        if (read == 0) break;
        // A write may take only part of the chunk (the disk filling up): the
        // next one then fails with the system's reason, which is read before
        // the cancel replaces it with its own.
        for (qint64 written = 0; written < read;) {
            const qint64 n = out.write(buffer.constData() + written, read - written);
            if (n <= 0) {
                const QString reason = out.errorString();
                out.cancelWriting();
                return fail(QStringLiteral("Do souboru %1 nelze zapisovat: %2").arg(quoted(target), reason));
            }
            written += n;
        }
        done += read;
        progress.setValue(total > 0 ? int(qMin<qint64>(kProgressSteps, done * kProgressSteps / total)) : 0);
        QCoreApplication::processEvents();
        if (progress.wasCanceled()) {
            out.cancelWriting();
            return CopyResult::Cancelled;
        }
    }
    if (!out.commit())
        return fail(
            QStringLiteral("Do souboru %1 nelze zapisovat: %2").arg(quoted(target), out.errorString()));

    // Like a copy on Windows, the copy keeps the time the source was last written.
    QFile copied(target);
    if (copied.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        copied.setFileTime(QFileInfo(source).lastModified(), QFileDevice::FileModificationTime);
    return CopyResult::Copied;
}

} // namespace platform
