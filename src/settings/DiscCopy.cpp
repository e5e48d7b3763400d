#include "DiscCopy.h"

#include "Application.h"
#include "ConversionWindow.h"
#include "ConvertedCopy.h"
#include "Database.h"
#include "DatabaseLogin.h"
#include "Dialogs.h"
#include "Drives.h"
#include "Error.h"
#include "JetFile.h"
#include "SettingsStore.h"
#include "Shell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString DiscCopy::settingsKey() {
    return platform::kProgramKey + QStringLiteral("Disk");
}

namespace {

// True when the folder may be written, or made: the system lets this user write
// it, and it is not marked read-only (a folder without its owner's write
// permission counts as marked, whoever runs the program).
bool canWrite(const QString& folder) {
    QFileInfo info(QDir::cleanPath(folder));
    if (!info.exists()) info = QFileInfo(info.absolutePath());
    return info.isDir() && info.isWritable() && (info.permissions() & QFileDevice::WriteOwner);
}

} // namespace

QString DiscCopy::targetFolder() const {
    // An installed program's folders are read-only: the copy then goes to the
    // user's own data folder, where start-up looks for it too.
    const QString data = m_app.dataFolder();
    if (canWrite(data) || m_app.personalFolder().isEmpty()) return data;
    return m_app.personalFolder();
}

QString DiscCopy::targetPath() const {
    return targetFolder() + QStringLiteral("ordat.mdb");
}

QString DiscCopy::question() const {
    return QStringLiteral("Přejete si zkopírovat databázi z CD-ROM/DVD na pevný disk do adresáře: ") + u'"' +
           targetFolder() + u'"' + QStringLiteral(" ?   ");
}

DiscCopy::Outcome DiscCopy::run(QWidget* owner) {
    platform::Dialogs& dialogs = m_app.dialogs();

    // The disc must be in a drive: ask for it until it is found or the user gives up.
    QString found;
    while ((found = platform::strictDriveScan(m_app.drives(), kDatabaseSize)).isEmpty()) {
        const auto answer =
            dialogs.message(owner, platform::Dialogs::kWarning, kInsertDiscText,
                            platform::Dialogs::Icon::None, platform::Dialogs::Buttons::OkCancel);
        if (answer != platform::Dialogs::Answer::Ok) return Outcome::NoDisc;
    }

    // The reason the copy failed, when known, follows the fixed text.
    auto notFinished = [&](const QString& reason = {}) {
        const QString text =
            reason.isEmpty() ? kNotFinishedText : kNotFinishedText + QStringLiteral("\n\n") + reason;
        dialogs.message(owner, platform::Dialogs::kInformation, text, platform::Dialogs::Icon::Error,
                        platform::Dialogs::Buttons::Ok);
        return Outcome::NotFinished;
    };
    if (!dialogs.ask(owner, question())) return notFinished();

    // The file copied is the disc database known since start; when that one is
    // not there (the disc went into another drive since), the one just found.
    const QFileInfo known(m_app.sourceDbPath);
    const QString source = known.isFile() && known.size() == kDatabaseSize ? m_app.sourceDbPath : found;
    QDir().mkpath(targetFolder());
    QString reason;
    if (db::jet::isJetFile(source)) {
        if (!convert(owner, source, reason)) return notFinished(reason);
    } else {
        if (m_app.shell().copyFile(owner, source, targetPath(), &reason) !=
            platform::Shell::CopyResult::Copied)
            return notFinished(reason);
        // The copy is opened with the workgroup file beside it; the user's data
        // folder may have none yet, so the one beside the disc's database comes too.
        const QString workgroup = targetFolder() + QStringLiteral("ordat.mdw");
        if (!QFileInfo::exists(workgroup))
            QFile::copy(QFileInfo(source).absolutePath() + QStringLiteral("/ordat.mdw"), workgroup);
    }
    dialogs.inform(owner, kDoneText);
    if (!record(owner)) return Outcome::NotRecorded;
    m_app.directoryDbPath = targetPath();
    m_app.directoryDbOnDisk = true;
    // The copy start-up prepared from this disc is not opened any more, now
    // that the recorded copy is found first; it would only take the space
    // of a second directory. (An open connection to it keeps its file.)
    const QString prepared = converted_copy::directoryPath(m_app);
    if (!prepared.isEmpty() && QFileInfo(prepared) != QFileInfo(targetPath()) &&
        converted_copy::isCopyOf(prepared, source))
        db::removeDatabaseFile(prepared);
    return Outcome::Copied;
}

bool DiscCopy::convert(QWidget* owner, const QString& source, QString& reason) {
    // The copy is opened with the workgroup file beside it, which must be the
    // program's own: one that is not (the disc's, put there with its files)
    // gives way to the program's, but only once the copy is complete.
    const QString workgroup = targetFolder() + QStringLiteral("ordat.mdw");
    const bool ours = converted_copy::holdsProgramLogin(workgroup);
    const QString login = ours ? workgroup : targetFolder() + QStringLiteral("ordat-novy.mdw");
    try {
        if (!ours) {
            QFile::remove(login);
            db::createLoginWorkgroup(login);
        }
        const auto workspace = converted_copy::programWorkspace(m_app.engine(), login);
        ConversionWindow window(owner, QStringLiteral("Kopírování"),
                                QStringLiteral("Převádím databázi z CD-ROM/DVD do adresáře „%1“.")
                                    .arg(QDir::toNativeSeparators(targetFolder())));
        const auto outcome = window.run([&](const db::ConversionProgress& progress) {
            return converted_copy::convertReplacing(*workspace, source, targetPath(),
                                                    db::ConversionKind::Directory, progress);
        });
        if (outcome == ConversionWindow::Outcome::Converted) {
            if (!ours) converted_copy::replaceFile(workgroup, login);
            return true;
        }
        reason = window.failureReason();
    } catch (const db::Error& e) {
        reason = e.message();
    }
    if (!ours) QFile::remove(login);
    return false;
}

bool DiscCopy::record(QWidget* owner) {
    // The folder is written without its trailing slash; start-up adds one.
    QString folder = targetFolder();
    folder.chop(1);
    const QString keyPath = settingsKey();
    auto key = m_app.settings().open(platform::Root::CurrentUser, keyPath, platform::Access::Write, true);
    if (!key) {
        m_app.dialogs().warn(owner,
                             QStringLiteral("Klíč registru „%1“ nelze otevřít ani vytvořit.").arg(keyPath));
        return false;
    }
    if (!key->writeString(QStringLiteral("Path"), folder)) {
        m_app.dialogs().warn(
            owner, QStringLiteral("Hodnotu „Path“ nelze zapsat do klíče registru „%1“.").arg(keyPath));
        return false;
    }
    return true;
}
