#pragma once

#include "Database.h"
#include "Dataset.h"

#include <QString>
#include <functional>
#include <memory>

namespace db {

// The files of the program's own databases: the personal database and the five
// working databases in the scratch folder.
struct OwnPaths {
    QString personal;       // personal folder + vlastni.mdb
    QString personsResult;  // o_
    QString firmsResult;    // f_
    QString personalResult; // p_
    QString personsBuffer;  // s_
    QString firmsBuffer;    // x_

    // The personal database in its folder, and the five working paths in the
    // scratch folder: folder + prefix + tag + ".mdb".
    static OwnPaths make(const QString& personalFolder, const QString& scratchFolder, const QString& tag);
};

// The working files in folder left by copies of the program that no longer run:
// a prefix of the five working databases, a tag made of digits only that
// processRuns denies, ".mdb", and the rollback journals of such files. Any
// other name in the folder is never listed.
QStringList orphanedWorkingFiles(const QString& folder, const std::function<bool(qint64)>& processRuns);

// Table layouts, fields in order.
namespace layouts {
const TableDef& personal();       // Vlastni, 40 fields (from personal_columns)
const TableDef& personalResult(); // vlastni, 46 fields
const TableDef& persons();        // Osoby, 14 fields
const TableDef& firmsResult();    // Firmy, 14 fields
const TableDef& firmsBuffer();    // Firmy, 13 fields
const TableDef& personsExtra();   // Osoby_TEL_Navic
const TableDef& firmsExtra();     // Firmy_TEL_Navic
} // namespace layouts

// Creates the database at path with the tables that belong to that path (compared
// as an exact string with the known paths); an unknown path gets an empty
// database. Logs in with the database login against the engine's workgroup file.
// All or nothing, as createDatabaseWithTables.
void createOwnDatabase(Engine& engine, const QString& path, const OwnPaths& paths);

// How the personal database is opened: durable, with a write-ahead log, so
// that each record is safe from a killed program as soon as it is posted
// without a wait for the disk per record.
OpenOptions personalOpenOptions();

// Creates a database file with the tables, logged in with the database login.
// All or nothing: the file is made under a temporary name in the same folder and
// renamed to path only when complete, so a failure (a table that cannot be
// defined, a full disk) leaves no file at path that could pass for a finished
// database. An existing file at path is never replaced: the call fails.
void createDatabaseWithTables(Engine& engine, const QString& path, const QList<TableDef>& tables,
                              const OpenOptions& options);

enum class WorkingKind { PersonsResult, FirmsResult, PersonalResult, PersonsBuffer, FirmsBuffer };

// One working database with its connection and the dataset shown on it.
// Re-creating replaces the file, so every search starts from empty tables.
class WorkingDatabase {
  public:
    WorkingDatabase(Engine& engine, WorkingKind kind, const OwnPaths& paths, Dataset& dataset);
    ~WorkingDatabase();

    WorkingKind kind() const { return m_kind; }
    const QString& path() const { return m_path; }
    Database* database() const { return m_db.get(); }
    Dataset& dataset() const { return m_dataset; }

    // Closes the dataset and the connection, deletes the file, creates it anew,
    // reopens the connection (exclusive) and the dataset on its first page. For
    // the phone buffers the dataset's row callback stays off throughout and
    // beforeReopen (the caller's phone-search flag) runs first.
    void recreate(int pageSize, const std::function<void()>& beforeReopen = {});
    // Closes the dataset and the connection and deletes the file.
    void remove();

    // The statement the dataset is opened on after re-creating.
    static QString firstPageSql(WorkingKind kind, int pageSize);

  private:
    Engine& m_engine;
    WorkingKind m_kind;
    OwnPaths m_paths;
    QString m_path;
    Dataset& m_dataset;
    std::unique_ptr<Database> m_db;
};

} // namespace db
