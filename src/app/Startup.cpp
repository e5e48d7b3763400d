#include "Startup.h"

#include "Application.h"
#include "ConvertedCopy.h"
#include "Dialogs.h"
#include "Drives.h"
#include "JetFile.h"
#include "SettingsStore.h"

#include <QDir>
#include <QFileInfo>

namespace {

using platform::Access;
using platform::Root;

const QString kDbFile = QStringLiteral("ordat.mdb");
const QString kInsertDisc = QStringLiteral("Vložte prosím CD-ROM/DVD Ordana 2004 Velto/Brevo do mechaniky.");
const QString kWrongDatabase = QStringLiteral("Databázi nelze otevřít. Proveďte opětovnou instalaci.");
const QString kPrepareQuestion =
    QStringLiteral("Databázi „%1“ je před prvním použitím třeba připravit. Příprava trvá několik minut, "
                   "připravená databáze se uloží do složky „%2“.\n\nPřejete si databázi připravit nyní?");

QString withSlash(QString folder) {
    if (!folder.endsWith(u'/')) folder += u'/';
    return folder;
}

// Writes the program folder into "Target" where that key already exists.
void refreshTarget(Application& app, Root root, Access access) {
    if (auto key = app.settings().open(root, platform::kProgramKey + QStringLiteral("Target"), access))
        key->writeString(QStringLiteral("Path"), app.programFolder());
}

// The hard-disk copy named by "Disk" under one root, when the file is there.
QString diskCopy(Application& app, Root root) {
    auto key = app.settings().open(root, platform::kProgramKey + QStringLiteral("Disk"), Access::Read);
    if (!key) return {};
    const QString folder = key->readString(QStringLiteral("Path")).value_or(QString());
    if (folder.isEmpty()) return {};
    const QString path = withSlash(folder) + kDbFile;
    return QFileInfo(path).isFile() ? path : QString();
}

bool exists(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

} // namespace

StartupOutcome locateDirectory(Application& app) {
    app.directoryDbPath.clear();
    app.sourceDbPath.clear();
    app.directoryDbOnDisk = false;

    refreshTarget(app, Root::CurrentUser, Access::All);
    app.directoryDbPath = diskCopy(app, Root::CurrentUser);
    refreshTarget(app, Root::LocalMachine, Access::Write);
    if (app.directoryDbPath.isEmpty()) app.directoryDbPath = diskCopy(app, Root::LocalMachine);
    // A copy beside the program, else one in the user's own data folder (where
    // an installed program, whose folders are read-only, keeps its disc copy).
    for (const QString& folder : {app.dataFolder(), app.personalFolder()}) {
        if (app.directoryDbPath.isEmpty() && !folder.isEmpty() && exists(folder + kDbFile))
            app.directoryDbPath = folder + kDbFile;
    }
    app.directoryDbOnDisk = !app.directoryDbPath.isEmpty();

    if (auto key = app.settings().open(Root::LocalMachine, platform::kProgramKey + QStringLiteral("Source"),
                                       Access::Read)) {
        const QString folder = key->readString(QStringLiteral("Path")).value_or(QString());
        if (!folder.isEmpty()) app.sourceDbPath = withSlash(folder) + kDbFile;
    }

    const bool directoryExists = exists(app.directoryDbPath);
    const bool sourceExists = exists(app.sourceDbPath);
    if (!directoryExists && sourceExists) app.directoryDbPath = app.sourceDbPath;
    if (!directoryExists && !sourceExists) {
        app.sourceDbPath = platform::driveScan(app.drives(), app.sourceDbPath);
        while (!exists(app.sourceDbPath)) {
            const auto answer =
                app.dialogs().message(nullptr, platform::Dialogs::kWarning, kInsertDisc,
                                      platform::Dialogs::Icon::None, platform::Dialogs::Buttons::OkCancel);
            if (answer != platform::Dialogs::Answer::Ok) return StartupOutcome::Cancelled;
            app.sourceDbPath = platform::driveScan(app.drives(), app.sourceDbPath);
        }
        app.directoryDbPath = app.sourceDbPath;
    }

    const QString found = app.directoryDbPath;
    const QFileInfo file(found);
    // A converted copy (the disc copy of a Jet disc) has a size of its own.
    if (file.isFile() && converted_copy::isConvertedCopy(found)) return StartupOutcome::Run;
    if (!file.isFile() || file.size() != kDirectoryDbSize) {
        app.dialogs().message(nullptr, platform::Dialogs::kWarning, kWrongDatabase,
                              platform::Dialogs::Icon::Information, platform::Dialogs::Buttons::Ok);
        return StartupOutcome::WrongDatabase;
    }
    if (!db::jet::isJetFile(found)) return StartupOutcome::Run;

    // The disc's own format: the program works with the copy converted from
    // this very file, made at an earlier start.
    const QString copy = converted_copy::directoryPath(app);
    if (!copy.isEmpty() && converted_copy::isCopyOf(copy, found)) {
        app.directoryDbPath = copy;
        return StartupOutcome::Run;
    }
    // Without a data folder there is nowhere to prepare it; the preparation says so.
    if (copy.isEmpty()) return StartupOutcome::Convert;
    const QString folder = QDir::toNativeSeparators(converted_copy::folder(app));
    if (!app.dialogs().ask(nullptr, kPrepareQuestion.arg(QDir::toNativeSeparators(found), folder)))
        return StartupOutcome::Cancelled;
    return StartupOutcome::Convert;
}
