#include "ConvertedCopy.h"

#include "Application.h"
#include "Database.h"
#include "DatabaseLogin.h"
#include "Error.h"
#include "JetFile.h"
#include "Workgroup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>

namespace converted_copy {

namespace {

const QString kNotReplaced = QStringLiteral("Soubor „%1“ nelze nahradit novým: %2");

// Makes the folder and the missing ones above it; made receives the outermost
// one made.
bool makeFolder(const QString& folder, QString& made) {
    const QString path = QDir::cleanPath(folder);
    if (QFileInfo(path).isDir()) return true;
    // Every folder made on the way is the user's alone, as the user's data
    // folder is when the personal database makes it.
    const QString parent = QFileInfo(path).absolutePath();
    if (parent != path && !makeFolder(parent, made)) return false;
    if (!QDir().mkdir(path)) return false;
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (made.isEmpty()) made = path;
    return true;
}

} // namespace

QString folder(const Application& app) {
    const QString personal = app.personalFolder();
    return personal.isEmpty() ? QString() : personal + QStringLiteral("prevod/");
}

QString directoryPath(const Application& app) {
    const QString copies = folder(app);
    return copies.isEmpty() ? QString() : copies + QStringLiteral("ordat.mdb");
}

QString readyFolder(const Application& app, QString* made) {
    const QString copies = folder(app);
    if (copies.isEmpty()) throw db::Error(QStringLiteral("Systém neuvádí složku pro data uživatele."));
    QString outermost;
    if (!makeFolder(copies, outermost))
        throw db::Error(QStringLiteral("Složku „%1“ nelze vytvořit.").arg(QDir::toNativeSeparators(copies)));
    if (made) *made = outermost;
    return copies;
}

bool isCopyOf(const QString& copy, const QString& source) {
    if (!QFileInfo(copy).isFile()) return false;
    const QString identity = db::jet::sourceIdentity(source);
    return !identity.isEmpty() && db::convertedSourceOf(copy) == identity;
}

bool isConvertedCopy(const QString& path) {
    return QFileInfo(path).isFile() && !db::jet::isJetFile(path) && !db::convertedSourceOf(path).isEmpty();
}

bool holdsProgramLogin(const QString& workgroupFile) {
    if (!QFileInfo(workgroupFile).isFile() || db::jet::isJetFile(workgroupFile)) return false;
    try {
        const db::Login login = db::databaseLogin();
        return db::Workgroup::load(workgroupFile).verify(login.user, login.password);
    } catch (const db::Error&) {
        return false;
    }
}

std::unique_ptr<db::Workspace> programWorkspace(db::Engine& engine, const QString& workgroupFile) {
    const QString previous = engine.workgroupFile();
    engine.setWorkgroupFile(workgroupFile);
    try {
        const db::Login login = db::databaseLogin();
        auto workspace = engine.openWorkspace(login.user, login.password);
        engine.setWorkgroupFile(previous);
        return workspace;
    } catch (const db::Error&) {
        engine.setWorkgroupFile(previous);
        throw;
    }
}

void replaceFile(const QString& target, const QString& replacement) {
    // Renaming over the old file replaces it in one step.
    if (std::rename(QFile::encodeName(replacement).constData(), QFile::encodeName(target).constData()) == 0)
        return;
    const QString reason = qt_error_string(errno);
    QFile::remove(replacement);
    throw db::Error(kNotReplaced.arg(QDir::toNativeSeparators(target), reason));
}

db::ConversionResult convertReplacing(db::Workspace& workspace, const QString& source, const QString& target,
                                      db::ConversionKind kind, const db::ConversionProgress& progress) {
    // The converter never replaces a file: the new copy is made beside the
    // old one and takes its place only when complete.
    const QFileInfo info(target);
    const QString pending =
        info.absolutePath() + u'/' + info.completeBaseName() + QStringLiteral("-novy.") + info.suffix();
    // Left by a run that was killed half way: they are ours and of no use
    // (one copy of the program runs at a time).
    db::removeUnfinishedConversions(target);
    db::removeUnfinishedConversions(pending);
    if (!QFileInfo::exists(target)) return db::convertJetFile(workspace, source, target, kind, progress);
    QFile::remove(pending);
    db::ConversionResult result = db::convertJetFile(workspace, source, pending, kind, progress);
    if (result.cancelled) return result;

    // A journal of the old copy would be played back into the new one.
    for (const char* side : {"-journal", "-wal", "-shm"})
        QFile::remove(target + QLatin1String(side));
    replaceFile(target, pending);
    return result;
}

} // namespace converted_copy
