#pragma once

#include "Database.h"
#include "Dataset.h"
#include "OwnDatabases.h"

#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class Application;

// The program's database connections and their opening, without widgets: the
// directory, the personal database, the reference lists and the five working
// databases with the datasets shown on them. Start-up runs in a fixed order:
// the scratch folder, the directory, the personal database; the first step
// that fails ends it, and failureReason() says why in the user's words.
//
// After a failure:
// - scratch folder: no working database exists and nothing else is opened;
// - directory: no directory connection, the engine's workgroup file as it was;
//   the personal database is not touched;
// - personal: no personal connection or workspace, the engine's workgroup file
//   as it was, and a file that was there is left exactly as it was.
class Connections {
  public:
    enum class Step { ScratchFolder, Directory, Personal };

    explicit Connections(Application& app);
    // Closes every dataset and connection and deletes the working files.
    ~Connections();
    Connections(const Connections&) = delete;
    Connections& operator=(const Connections&) = delete;

    // Start-up: the scratch folder (privateFolder, the user's private folder,
    // cleared of the working files of copies that no longer run; when it is
    // empty, askFolder's answer), the directory at the application's
    // directoryDbPath and the personal database in the user's data folder.
    // Returns the step that failed, or nothing when all went well.
    std::optional<Step> start(const QString& privateFolder, const std::function<QString()>& askFolder);
    // The steps one by one, as start() runs them; false on failure.
    bool useScratchFolder(const QString& privateFolder, const std::function<QString()>& askFolder);
    bool openDirectory();
    bool openPersonal();
    // The personal database opened as it is for reading only (every change is
    // refused), for a look that writes nothing: without a personal database,
    // none is made and personal() stays null. False when one exists and cannot
    // be opened.
    bool openPersonalForReading();
    // Why the last step failed; empty after a step that succeeded.
    const QString& failureReason() const { return m_failureReason; }

    // Re-opens the directory when the application's path changed (after a
    // disc copy). The new connection replaces the old one only once it is
    // open; otherwise the directory in use stays, the engine's workgroup file
    // is put back and the engine's message is returned, once for that path.
    // Empty when there is nothing to report. Never raises.
    QString reopenDirectoryIfMoved();
    // A path that failed is tried again at the next re-opening.
    void forgetFailedDirectory() { m_failedDirectoryPath.clear(); }

    // Opens a reference list read-only in the directory's workspace (the
    // engine's default one before the directory is open). Raises db::Error.
    std::unique_ptr<db::Database> openReferenceList(const QString& path);
    // The number of personal records, as text. Raises db::Error.
    QString countPersonalRecords();

    db::Database* directory() const { return m_directory.get(); }
    db::Database* personal() const { return m_personal.get(); }
    // The five working databases in the order o_, f_, p_, s_, x_; null before
    // the scratch folder is chosen.
    db::WorkingDatabase* working(db::WorkingKind kind) const { return m_working[int(kind)].get(); }
    const db::OwnPaths& paths() const { return m_paths; }

  private:
    // Opens the directory database at path exclusively and read-only, then
    // puts it in place of the connection in use. On failure raises db::Error
    // and leaves the connection in use and the engine as they were.
    void connectDirectory(const QString& path);
    // The personal database opened, or the reason it cannot be.
    QString tryOpenPersonal();
    // The workgroup file the personal database is opened in: the program's,
    // else the user's own in folder, which is made when create is set.
    QString personalWorkgroup(const QString& folder, bool create);
    bool fail(const QString& reason);

    Application& m_app;
    std::unique_ptr<db::Workspace> m_directoryWorkspace, m_personalWorkspace;
    std::unique_ptr<db::Database> m_directory; // MDAODatabase
    std::unique_ptr<db::Database> m_personal;  // privatDB
    // Query1, Query2, pdaotable1, subdb, subdb_f: the datasets of the working databases.
    std::array<db::Dataset, 5> m_workingSets;
    db::Dataset m_export; // dexport
    db::OwnPaths m_paths;
    std::array<std::unique_ptr<db::WorkingDatabase>, 5> m_working;
    QString m_failedDirectoryPath; // the directory path last found unusable
    QString m_failureReason;
};
