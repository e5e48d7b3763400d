#include "StartupConversion.h"

#include "Application.h"
#include "ConversionWindow.h"
#include "ConvertedCopy.h"
#include "Database.h"
#include "DatabaseLogin.h"
#include "Dialogs.h"
#include "Error.h"
#include "JetConversion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kNotPrepared = QStringLiteral("Databázi „%1“ nelze připravit k použití.");
const QString kTitle = QStringLiteral("Příprava databáze");
const QString kWhat = QStringLiteral("Připravuji databázi „%1“ k použití. Připravená databáze se uloží do "
                                     "složky „%2“.");

// What the preparation made, taken away again when it does not finish.
struct Made {
    QString copies;    // the folder of the copies
    QString folders;   // the outermost folder made on the way to it, if any
    QString workgroup; // the workgroup file, when written here

    void undo() const {
        if (!workgroup.isEmpty()) QFile::remove(workgroup);
        if (folders.isEmpty()) return;
        // Each folder made, from the innermost out, as long as it is empty.
        for (QString f = QDir::cleanPath(copies); f.startsWith(folders) && QDir().rmdir(f);)
            f = QFileInfo(f).absolutePath();
    }
};

} // namespace

StartupOutcome prepareDirectory(Application& app) {
    const QString source = app.directoryDbPath;
    const auto fail = [&](const QString& reason) {
        app.dialogs().message(nullptr, platform::Dialogs::kWarning,
                              kNotPrepared.arg(QDir::toNativeSeparators(source)) + QStringLiteral("\n\n") +
                                  reason,
                              platform::Dialogs::Icon::Information, platform::Dialogs::Buttons::Ok);
        return StartupOutcome::WrongDatabase;
    };

    Made made;
    ConversionWindow::Outcome outcome = ConversionWindow::Outcome::Failed;
    QString reason;
    try {
        const QString folder = converted_copy::readyFolder(app, &made.folders);
        made.copies = folder;
        // A copy there now was made from another file (an earlier edition of
        // the disc) or is damaged: it is of no use any more.
        const QString target = converted_copy::directoryPath(app);
        for (const char* side : {"", "-journal", "-wal", "-shm"})
            QFile::remove(target + QLatin1String(side));
        // The copy is opened with the workgroup file beside it, which must be
        // the program's own.
        const QString workgroup = folder + QStringLiteral("ordat.mdw");
        if (!converted_copy::holdsProgramLogin(workgroup)) {
            QFile::remove(workgroup);
            db::createLoginWorkgroup(workgroup);
            made.workgroup = workgroup;
        }
        const auto workspace = converted_copy::programWorkspace(app.engine(), workgroup);
        ConversionWindow window(
            nullptr, kTitle, kWhat.arg(QDir::toNativeSeparators(source), QDir::toNativeSeparators(folder)));
        outcome = window.run([&](const db::ConversionProgress& progress) {
            return converted_copy::convertReplacing(*workspace, source, target, db::ConversionKind::Directory,
                                                    progress);
        });
        reason = window.failureReason();
        if (outcome == ConversionWindow::Outcome::Converted) {
            app.directoryDbPath = target;
            return StartupOutcome::Run;
        }
    } catch (const db::Error& e) {
        reason = e.message();
    }
    made.undo();
    return outcome == ConversionWindow::Outcome::Cancelled ? StartupOutcome::Cancelled : fail(reason);
}
