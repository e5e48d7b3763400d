#pragma once

#include "SchemaInfo.h"
#include "SqlTranslator.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <memory>
#include <set>

struct sqlite3;

namespace db {

class Dataset;
class Workspace;

// Field attributes of a table definition.
enum FieldAttribute { AutoIncrement = 16, UpdatableField = 32 };

struct FieldDef {
    QString name;
    ColumnType type = ColumnType::Text;
    int size = 0;       // Text(n)
    int attributes = 0; // FieldAttribute flags
};

struct TableDef {
    QString name;
    QList<FieldDef> fields;
};

struct OpenOptions {
    bool exclusive = false; // keeps other processes out while open
    bool readOnly = false;  // refuses every write
    // A disposable database (working tables) skips flushing to disk; the
    // default is durable: every change is on disk when the call returns.
    bool disposable = false;
    // A durable database whose commits go to a log beside the file (its name
    // + "-wal", with the index "-shm") and reach the file itself at
    // checkpoints; only checkpoints wait for the disk. A commit is safe from a
    // killed process as soon as it returns (the system holds it); a power cut
    // can lose the commits since the last checkpoint but leaves the file
    // whole. Readers on other connections never block its writes; a writer
    // does.
    bool writeAheadLog = false;
};

// An open database file.
//
// After a failure:
// - A failed open leaves no connection behind.
// - A failed statement (execute, executeNative) changes nothing: an action
//   statement is undone as a whole, and a schema statement made of several
//   steps is undone with all its steps. An open transaction stays open.
// - A failed commit() rolls back the whole transaction, the outermost level
//   included, because the engine cannot keep an inner unit alive once the
//   outer one has failed; the connection is back in autocommit, the depth is 0
//   and the exception carries the engine's message. A later commit() or
//   rollback() of an outer level then reports that no transaction is open.
// - rollback() always ends with the level undone; should undoing the level
//   alone fail, the whole transaction is rolled back.
// - When the engine itself has given up the transaction (a full disk, an I/O
//   error), beginTransaction() and commit() report it and the depth is 0;
//   rollback() then only resets the depth.
// - close() during a transaction rolls it back.
// After any rollback the datasets on this connection read their rows anew.
class Database : public SchemaInfo {
  public:
    // Option of execute(): any error raises and the statement changes nothing.
    static constexpr int FailOnError = 128;

    ~Database() override;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const QString& path() const { return m_path; }
    bool isOpen() const { return m_handle != nullptr; }
    // True when writes are refused: opened read-only, or the engine could open
    // the file only for reading (no write access, a newer file format).
    bool isReadOnly() const;
    bool isExclusive() const { return m_options.exclusive; }
    QString locale() const;

    // Closes the file; open datasets on it are closed first. A closed working
    // database file can be deleted.
    void close();

    // Runs one action statement (INSERT, DELETE, UPDATE, CREATE, DROP; SELECT … INTO
    // a text file). Without FailOnError a row that breaks a rule is skipped
    // silently; with it any error raises and nothing is changed. Returns the
    // number of rows affected.
    int execute(const QString& jetSql, int options = 0);

    void defineTable(const TableDef& def);
    QStringList tableNames();

    // Only the workgroup that this database's workspace logged in from, with the
    // same user, may open this database from now on.
    void restrictToWorkgroup();

    // Several changes as one unit; rolled back when the database closes first.
    // Units nest: each commit() or rollback() ends the innermost one.
    void beginTransaction();
    void commit();
    void rollback();
    int transactionDepth() const { return m_transactionDepth; }

    // How long a statement waits for another connection to release the file
    // before it fails with "database is locked"; 3 s unless the database is
    // open exclusively.
    void setBusyTimeout(int milliseconds);

    Translation translate(const QString& jetSql, const TranslateOptions& options = {});
    std::optional<TableRef> findTable(const QString& name, const QString& externalPath) override;
    void invalidateSchema() { m_tables.clear(); }

    // For tools, checks and benchmarks that work below the dialect.
    sqlite3* handle() const { return m_handle; }
    // Runs statements of the engine's own dialect (several, separated by ';').
    void executeNative(const QString& sql);
    // The rows of one statement of the engine's own dialect, each the list of
    // its column values, with parameters bound to ?1, ?2 and so on.
    QList<QVariantList> queryNative(const QString& sql, const QVariantList& parameters = {});
    // Whether the engine itself has no transaction open on this connection
    // (whatever transactionDepth() counts).
    bool engineInAutocommit() const;
    // While a statement runs, check is asked about every steps of the engine's
    // steps; a true answer interrupts the statement, which then fails with
    // "Příkaz byl přerušen." (an interrupted change inside a transaction
    // takes the whole transaction with it). An empty check removes it.
    void setProgressCheck(int steps, std::function<bool()> check);
    // Another connection to the same file, as the same user, with options of
    // its own; it shares nothing with this one but the file and its locks.
    std::unique_ptr<Database> openAnotherConnection(const OpenOptions& options);

  private:
    friend class Workspace;
    friend class Dataset;
    Database(const QString& path, const OpenOptions& options);
    void openFile(bool create, const QString& user, const QString& workgroupId);
    void attachDataset(Dataset* ds) { m_datasets.insert(ds); }
    void detachDataset(Dataset* ds) { m_datasets.erase(ds); }
    void requireOpen() const;
    // True when the engine has rolled back the transaction on its own.
    bool transactionLost() const;
    // Rolls back everything still open and sets the depth to 0; never throws.
    void abandonTransaction() noexcept;
    void afterRollback();
    QString schemaFor(const QString& externalPath);
    std::optional<TableInfo> loadTable(const QString& schema, const QString& name);

    QString m_path;
    OpenOptions m_options;
    sqlite3* m_handle = nullptr;
    QString m_user, m_workgroupId;
    QHash<QString, std::optional<TableInfo>> m_tables; // key: schema + '\n' + lower-case name
    QHash<QString, QString> m_attached;                // external path -> schema name
    std::set<Dataset*> m_datasets;
    int m_transactionDepth = 0;
    std::function<bool()> m_progressCheck;
};

// A session of one user, checked against the engine's workgroup file.
class Workspace {
  public:
    const QString& user() const { return m_user; }

    std::unique_ptr<Database> openDatabase(const QString& path, const OpenOptions& options = {});
    // Creates a new, empty database file; fails when the file exists. The locale
    // string names the sort order and code page (";LANGID=0x0405;CP=1250;COUNTRY=0").
    // A failure after the file was made removes it again.
    std::unique_ptr<Database> createDatabase(const QString& path, const QString& locale,
                                             const OpenOptions& options = {});

  private:
    friend class Engine;
    Workspace(QString user, QString workgroupId)
        : m_user(std::move(user)), m_workgroupId(std::move(workgroupId)) {}
    QString m_user;
    QString m_workgroupId;
};

// The engine: the workgroup file in force and the default workspace.
class Engine {
  public:
    Engine();
    ~Engine();

    // Set before a workspace is opened.
    void setWorkgroupFile(const QString& path) { m_workgroupFile = path; }
    const QString& workgroupFile() const { return m_workgroupFile; }

    // Logs in; a wrong user name or password raises db::Error.
    std::unique_ptr<Workspace> openWorkspace(const QString& user, const QString& password);
    // The workspace of the built-in user, for databases that are not secured.
    Workspace& defaultWorkspace() { return *m_default; }

  private:
    QString m_workgroupFile;
    std::unique_ptr<Workspace> m_default;
};

// Deletes a closed database file and the journal or log beside it, which
// would otherwise be taken for the unfinished changes of a new file of that name.
// True when none is left.
bool removeDatabaseFile(const QString& path);

// The locale string of a Czech database.
inline const QString kCzechLocale = QStringLiteral(";LANGID=0x0405;CP=1250;COUNTRY=0");

} // namespace db
