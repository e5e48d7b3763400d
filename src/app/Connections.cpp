#include "Connections.h"

#include "Application.h"
#include "DatabaseLogin.h"
#include "Error.h"
#include "JetFile.h"
#include "PersonalFile.h"
#include "Processes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kNoScratchFolder = QStringLiteral("Nebyl vybrán adresář pro odkládací soubory.");
const QString kNoDataFolder = QStringLiteral("Systém neuvádí složku pro data uživatele.");
const QString kFolderNotMade = QStringLiteral("Složku „%1“ nelze vytvořit.");
const QString kFolderNotWritable = QStringLiteral("Do složky „%1“ nelze zapisovat.");
const QString kEarlierNotCopied = QStringLiteral("Dřívější vlastní databázi „%1“ nelze zkopírovat do „%2“.");
const QString kFileNotWritable = QStringLiteral("Do souboru „%1“ nelze zapisovat.");
const QString kOpenedReadOnly = QStringLiteral("Soubor „%1“ lze otevřít jen pro čtení.");

const auto kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

} // namespace

Connections::Connections(Application& app) : m_app(app) {
    const char* names[] = {"Query1", "Query2", "pdaotable1", "subdb", "subdb_f"};
    for (int i = 0; i < 5; ++i)
        m_workingSets[i].setObjectName(QString::fromLatin1(names[i]));
    m_export.setObjectName(QStringLiteral("dexport"));
}

Connections::~Connections() {
    m_export.close();
    // The working files go with the run.
    for (auto& w : m_working) {
        if (!w) continue;
        try {
            w->remove();
        } catch (const db::Error&) {
        }
    }
    if (m_personal) m_personal->close();
    if (m_directory) m_directory->close();
}

bool Connections::fail(const QString& reason) {
    m_failureReason = reason;
    return false;
}

std::optional<Connections::Step> Connections::start(const QString& privateFolder,
                                                    const std::function<QString()>& askFolder) {
    if (!useScratchFolder(privateFolder, askFolder)) return Step::ScratchFolder;
    if (!openDirectory()) return Step::Directory;
    if (!openPersonal()) return Step::Personal;
    return std::nullopt;
}

bool Connections::useScratchFolder(const QString& privateFolder, const std::function<QString()>& askFolder) {
    m_failureReason.clear();
    // The working files hold the user's searches: they go to a folder no
    // other user can read.
    QString folder = privateFolder;
    if (!folder.isEmpty()) {
        // A copy that ended without clean-up (a crash, a power cut) left its
        // working files behind; they hold nothing anyone can use any more.
        for (const QString& file : db::orphanedWorkingFiles(folder, platform::processRuns))
            QFile::remove(file);
    } else if (askFolder) {
        folder = askFolder();
    }
    if (folder.isEmpty()) return fail(kNoScratchFolder);
    // The tag keeps the files of two running copies apart.
    const QString tag = QString::number(QCoreApplication::applicationPid());
    m_paths = db::OwnPaths::make(m_app.personalFolder(), folder, tag);
    const db::WorkingKind kinds[] = {db::WorkingKind::PersonsResult, db::WorkingKind::FirmsResult,
                                     db::WorkingKind::PersonalResult, db::WorkingKind::PersonsBuffer,
                                     db::WorkingKind::FirmsBuffer};
    for (int i = 0; i < 5; ++i)
        m_working[i] =
            std::make_unique<db::WorkingDatabase>(m_app.engine(), kinds[i], m_paths, m_workingSets[i]);
    return true;
}

bool Connections::openDirectory() {
    m_failureReason.clear();
    try {
        connectDirectory(m_app.directoryDbPath);
        return true;
    } catch (const db::Error& e) {
        return fail(e.message());
    }
}

void Connections::connectDirectory(const QString& path) {
    // The workgroup file in force is the engine's: it is put back when the
    // new connection cannot be had.
    const QString previousWorkgroup = m_app.engine().workgroupFile();
    try {
        m_app.engine().setWorkgroupFile(QFileInfo(path).absolutePath() + QStringLiteral("/ordat.mdw"));
        const db::Login login = db::databaseLogin();
        auto workspace = m_app.engine().openWorkspace(login.user, login.password);
        db::OpenOptions o;
        o.exclusive = true;
        o.readOnly = true;
        auto directory = workspace->openDatabase(path, o);
        // Only now is the connection in use given up.
        if (m_directory) m_directory->close();
        m_directory = std::move(directory);
        m_directoryWorkspace = std::move(workspace);
    } catch (const db::Error&) {
        m_app.engine().setWorkgroupFile(previousWorkgroup);
        throw;
    }
}

QString Connections::reopenDirectoryIfMoved() {
    if (m_directory && m_directory->path() == m_app.directoryDbPath) return {};
    // A search asks for the directory several times: a path that failed is
    // reported once, not at every ask.
    if (m_app.directoryDbPath == m_failedDirectoryPath) return {};
    try {
        connectDirectory(m_app.directoryDbPath);
        m_failedDirectoryPath.clear();
        return {};
    } catch (const db::Error& e) {
        // The directory in use stays in use.
        m_failedDirectoryPath = m_app.directoryDbPath;
        return e.message();
    }
}

bool Connections::openPersonal() {
    m_failureReason.clear();
    const QString previousWorkgroup = m_app.engine().workgroupFile();
    const QString reason = tryOpenPersonal();
    if (reason.isEmpty()) return true;
    m_export.setDatabase(nullptr);
    m_personal.reset();
    m_personalWorkspace.reset();
    m_app.engine().setWorkgroupFile(previousWorkgroup);
    return fail(reason);
}

QString Connections::tryOpenPersonal() {
    // The personal database is the user's own, in the user's data folder: the
    // program folder may be shared by several users and read-only.
    const QString folder = m_app.personalFolder();
    if (folder.isEmpty()) return kNoDataFolder;
    if (!QFileInfo::exists(folder)) {
        // The user's contacts are for the user's eyes only.
        if (!QDir().mkpath(folder)) return kFolderNotMade.arg(folder);
        QFile::setPermissions(folder, kOwnerOnly | QFileDevice::ExeOwner);
    }
    // A folder that cannot be written is refused before anything is put in it.
    if (!personal_file::writableFolder(folder)) return kFolderNotWritable.arg(folder);
    try {
        // The workgroup file comes with the program; when it is gone the user
        // gets one of the same workgroup in the personal folder. The disc's
        // own workgroup file (a Jet file, where the disc's files were put into
        // DATA) is not one the engine can read.
        m_app.engine().setWorkgroupFile(personalWorkgroup(folder, true));
        // Earlier versions kept the personal database beside the program: the
        // user's first start takes a copy of it.
        const QString earlier = m_app.dataFolder() + QStringLiteral("vlastni.mdb");
        if (!personal_file::adoptEarlier(earlier, m_paths.personal))
            return kEarlierNotCopied.arg(earlier, m_paths.personal);
        if (!QFileInfo::exists(m_paths.personal)) {
            db::createOwnDatabase(m_app.engine(), m_paths.personal, m_paths);
            QFile::setPermissions(m_paths.personal, kOwnerOnly);
        }
        // A database that cannot be written is refused now, not at the first save.
        if (!personal_file::writable(m_paths.personal)) return kFileNotWritable.arg(m_paths.personal);
        const db::Login login = db::databaseLogin();
        m_personalWorkspace = m_app.engine().openWorkspace(login.user, login.password);
        m_personal = m_personalWorkspace->openDatabase(m_paths.personal, db::personalOpenOptions());
        if (m_personal->isReadOnly()) return kOpenedReadOnly.arg(m_paths.personal);
        m_export.setDatabase(m_personal.get());
        return {};
    } catch (const db::Error& e) {
        return e.message();
    }
}

QString Connections::personalWorkgroup(const QString& folder, bool create) {
    QString mdw = m_app.dataFolder() + QStringLiteral("ordat.mdw");
    if (!QFileInfo::exists(mdw) || db::jet::isJetFile(mdw)) {
        mdw = folder + QStringLiteral("ordat.mdw");
        if (create && !QFileInfo::exists(mdw)) db::createLoginWorkgroup(mdw);
    }
    return mdw;
}

bool Connections::openPersonalForReading() {
    m_failureReason.clear();
    const QString folder = m_app.personalFolder();
    if (folder.isEmpty() || !QFileInfo::exists(m_paths.personal)) return true;
    const QString previousWorkgroup = m_app.engine().workgroupFile();
    try {
        m_app.engine().setWorkgroupFile(personalWorkgroup(folder, false));
        const db::Login login = db::databaseLogin();
        m_personalWorkspace = m_app.engine().openWorkspace(login.user, login.password);
        // Opened for writing but refusing every change: a connection that
        // may only read could not remove the log files it makes when it closes.
        m_personal = m_personalWorkspace->openDatabase(m_paths.personal, db::personalOpenOptions());
        m_personal->executeNative(QStringLiteral("PRAGMA query_only=1"));
        return true;
    } catch (const db::Error& e) {
        m_personal.reset();
        m_personalWorkspace.reset();
        m_app.engine().setWorkgroupFile(previousWorkgroup);
        return fail(e.message());
    }
}

std::unique_ptr<db::Database> Connections::openReferenceList(const QString& path) {
    db::OpenOptions o;
    o.readOnly = true;
    db::Workspace& ws = m_directoryWorkspace ? *m_directoryWorkspace : m_app.engine().defaultWorkspace();
    return ws.openDatabase(path, o);
}

QString Connections::countPersonalRecords() {
    m_export.setDatabase(m_personal.get());
    m_export.setSql(QStringLiteral("select count(*) as pocet from vlastni"));
    m_export.open();
    const QString count = m_export.text(QStringLiteral("pocet"));
    m_export.close();
    return count;
}
