#include "Database.h"

#include "Dataset.h"
#include "Error.h"
#include "SqlFunctions.h"
#include "Sqlite.h"
#include "TextDriver.h"
#include "Workgroup.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace db {

namespace {
const QString kBuiltinUser = QStringLiteral("Admin");
const QString kNotOpen = QStringLiteral("Databáze není otevřena.");
const QString kNoTransaction = QStringLiteral("Není zahájena žádná transakce.");
const QString kTransactionLost =
    QStringLiteral("Transakce byla po chybě databázového stroje zrušena; její změny nebyly uloženy.");

QString canonical(const QString& path) {
    QFileInfo fi(path);
    const QString c = fi.canonicalFilePath();
    return c.isEmpty() ? fi.absoluteFilePath() : c;
}
} // namespace

// ---- Engine / Workspace ---------------------------------------------------

Engine::Engine() : m_default(new Workspace(kBuiltinUser, QString())) {}
Engine::~Engine() = default;

std::unique_ptr<Workspace> Engine::openWorkspace(const QString& user, const QString& password) {
    if (m_workgroupFile.isEmpty()) {
        // Without a workgroup file only the built-in user exists, without a password.
        if (user.compare(kBuiltinUser, Qt::CaseInsensitive) == 0 && password.isEmpty())
            return std::unique_ptr<Workspace>(new Workspace(kBuiltinUser, QString()));
        throw Error(QStringLiteral("Neplatné jméno účtu nebo heslo."));
    }
    Workgroup wg = Workgroup::load(m_workgroupFile);
    if (!wg.verify(user, password)) throw Error(QStringLiteral("Neplatné jméno účtu nebo heslo."));
    return std::unique_ptr<Workspace>(new Workspace(user, wg.id()));
}

std::unique_ptr<Database> Workspace::openDatabase(const QString& path, const OpenOptions& options) {
    std::unique_ptr<Database> db(new Database(path, options));
    db->openFile(false, m_user, m_workgroupId);
    return db;
}

std::unique_ptr<Database> Workspace::createDatabase(const QString& path, const QString& locale,
                                                    const OpenOptions& options) {
    if (QFileInfo::exists(path)) throw Error(QStringLiteral("Databáze „%1“ již existuje.").arg(path));
    if (!locale.contains(QLatin1String("LANGID"), Qt::CaseInsensitive))
        throw Error(QStringLiteral("Neplatné národní prostředí databáze „%1“.").arg(locale));
    OpenOptions o = options;
    o.readOnly = false;
    std::unique_ptr<Database> db(new Database(path, o));
    try {
        db->openFile(true, m_user, m_workgroupId);
        sqlite::Statement st(
            db->handle(), QStringLiteral("INSERT INTO \"MSysEngine\" (name, value) VALUES ('locale', ?1)"));
        st.bind(1, locale);
        st.step();
    } catch (const Error&) {
        // The file did not exist before: a half-made one must not pass for a database.
        db->close();
        removeDatabaseFile(path);
        throw;
    }
    return db;
}

bool removeDatabaseFile(const QString& path) {
    bool gone = true;
    for (const QString& file : {path + QStringLiteral("-journal"), path + QStringLiteral("-wal"),
                                path + QStringLiteral("-shm"), path}) {
        if (QFileInfo::exists(file)) QFile::remove(file);
        gone = gone && !QFileInfo::exists(file);
    }
    return gone;
}

// ---- Database --------------------------------------------------------------

Database::Database(const QString& path, const OpenOptions& options) : m_path(path), m_options(options) {}

Database::~Database() {
    close();
    // Datasets can outlive the database; they must not keep pointing at it.
    for (Dataset* ds : m_datasets)
        ds->m_db = nullptr;
}

void Database::openFile(bool create, const QString& user, const QString& workgroupId) {
    m_user = user;
    m_workgroupId = workgroupId;
    int flags = SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX;
    if (create)
        flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    else if (m_options.readOnly)
        flags |= SQLITE_OPEN_READONLY;
    else
        flags |= SQLITE_OPEN_READWRITE;
    if (!create && !QFileInfo(m_path).isFile())
        throw Error(QStringLiteral("Databázový soubor „%1“ nebyl nalezen.").arg(m_path));
    int rc = sqlite3_open_v2(m_path.toUtf8().constData(), &m_handle, flags, nullptr);
    if (rc != SQLITE_OK) {
        QString msg = m_handle ? QString::fromUtf8(sqlite3_errmsg(m_handle)) : QString();
        sqlite3_close_v2(m_handle);
        m_handle = nullptr;
        throw Error(
            QStringLiteral("Databázi „%1“ nelze otevřít: %2").arg(m_path, sqlite::readableMessage(msg)));
    }
    try {
        registerSqlFunctions(m_handle);
        sqlite3_extended_result_codes(m_handle, 1);
        // A temporary index over a big table costs seconds to build: the planner
        // must use the indexes the database has.
        sqlite::exec(m_handle, QStringLiteral("PRAGMA automatic_index=OFF;"));
        if (m_options.disposable) {
            sqlite::exec(m_handle, QStringLiteral("PRAGMA synchronous=OFF; PRAGMA journal_mode=MEMORY;"));
        } else if (!m_options.readOnly) {
            // Without the log (a file system that has no shared memory for it)
            // every commit waits for the disk.
            bool logged = false;
            if (m_options.writeAheadLog) {
                sqlite::Statement mode(m_handle, QStringLiteral("PRAGMA journal_mode=WAL"));
                logged = mode.step() && mode.column(0).toString().compare(u"wal", Qt::CaseInsensitive) == 0;
            }
            sqlite::exec(m_handle, logged ? QStringLiteral("PRAGMA synchronous=NORMAL;")
                                          : QStringLiteral("PRAGMA synchronous=FULL;"));
        }
        if (m_options.exclusive) {
            sqlite::exec(m_handle, QStringLiteral("PRAGMA locking_mode=EXCLUSIVE;"));
        } else {
            sqlite3_busy_timeout(m_handle, 3000);
        }
        if (create) {
            sqlite::exec(m_handle,
                         QStringLiteral("CREATE TABLE \"MSysEngine\" (name TEXT PRIMARY KEY, value TEXT)"));
        }
        // Reading the engine's own table checks that the file is one of ours and,
        // for an exclusive open, takes the lock that keeps other processes out.
        QString securedUser, securedGroup;
        {
            sqlite::Statement st(m_handle, QStringLiteral("SELECT name, value FROM \"MSysEngine\""));
            while (st.step()) {
                const QString key = st.column(0).toString();
                if (key == u"secured_user") securedUser = st.column(1).toString();
                if (key == u"secured_workgroup") securedGroup = st.column(1).toString();
            }
        }
        if (m_options.exclusive && !m_options.readOnly)
            sqlite::exec(m_handle, QStringLiteral("BEGIN EXCLUSIVE; COMMIT;"));
        if (!securedGroup.isEmpty() &&
            (securedGroup != workgroupId || securedUser.compare(user, Qt::CaseInsensitive) != 0))
            throw Error(
                QStringLiteral("Nemáte oprávnění k otevření databáze „%1“. Obraťte se na správce databáze.")
                    .arg(m_path));
    } catch (const Error& e) {
        sqlite3_close_v2(m_handle);
        m_handle = nullptr;
        // A message that already names the file (no permission, a damaged file) stands as it is.
        if (e.message().startsWith(QLatin1String("Nemáte oprávnění")) || e.message().contains(m_path)) throw;
        throw Error(QStringLiteral("Databázi „%1“ nelze otevřít: %2").arg(m_path, e.message()));
    }
}

bool Database::isReadOnly() const {
    return m_options.readOnly || (m_handle && sqlite3_db_readonly(m_handle, "main") == 1);
}

QString Database::locale() const {
    if (!m_handle) return {};
    sqlite::Statement st(m_handle, QStringLiteral("SELECT value FROM \"MSysEngine\" WHERE name = 'locale'"));
    return st.step() ? st.column(0).toString() : QString();
}

void Database::close() {
    if (!m_handle) return;
    const auto datasets = m_datasets;
    for (Dataset* ds : datasets)
        ds->close();
    abandonTransaction();
    sqlite3_close_v2(m_handle);
    m_handle = nullptr;
    m_tables.clear();
    m_attached.clear();
}

void Database::restrictToWorkgroup() {
    if (m_workgroupId.isEmpty())
        throw Error(QStringLiteral(
            "Databázi lze zabezpečit jen v pracovním prostoru přihlášeném k pracovní skupině."));
    sqlite::Statement st(m_handle,
                         QStringLiteral("INSERT OR REPLACE INTO \"MSysEngine\" (name, value) VALUES "
                                        "('secured_user', ?1), ('secured_workgroup', ?2)"));
    st.bind(1, m_user);
    st.bind(2, m_workgroupId);
    st.step();
}

void Database::requireOpen() const {
    if (!m_handle) throw Error(kNotOpen);
}

void Database::setBusyTimeout(int milliseconds) {
    requireOpen();
    sqlite3_busy_timeout(m_handle, milliseconds);
}

bool Database::transactionLost() const {
    return m_handle && m_transactionDepth > 0 && sqlite3_get_autocommit(m_handle) != 0;
}

void Database::afterRollback() {
    invalidateSchema();
    // Rows read inside the undone changes may no longer be what the file holds.
    // Rows appended inside them are gone from the file and leave the datasets too.
    for (Dataset* ds : m_datasets) {
        ds->m_cache.clear();
        ds->dropVanishedRows();
    }
}

void Database::abandonTransaction() noexcept {
    // A plain ROLLBACK needs no lock on the file, unlike releasing a savepoint,
    // so it succeeds while other connections read.
    if (m_handle && !sqlite3_get_autocommit(m_handle))
        sqlite3_exec(m_handle, "ROLLBACK", nullptr, nullptr, nullptr);
    const bool wasOpen = m_transactionDepth > 0;
    m_transactionDepth = 0;
    if (wasOpen) afterRollback();
}

void Database::beginTransaction() {
    requireOpen();
    if (transactionLost()) {
        // The unit this one would nest in is gone: starting afresh would commit
        // the inner unit on its own.
        abandonTransaction();
        throw Error(kTransactionLost);
    }
    sqlite::exec(m_handle, QStringLiteral("SAVEPOINT t%1").arg(m_transactionDepth));
    ++m_transactionDepth;
}

void Database::commit() {
    if (!m_handle || m_transactionDepth == 0) throw Error(kNoTransaction);
    if (transactionLost()) {
        abandonTransaction();
        throw Error(kTransactionLost);
    }
    const int level = m_transactionDepth - 1;
    try {
        // Releasing the outermost level writes the file; it fails, for one, while
        // another connection is reading it.
        sqlite::exec(m_handle, QStringLiteral("RELEASE t%1").arg(level));
    } catch (const Error&) {
        abandonTransaction();
        throw;
    }
    m_transactionDepth = level;
}

void Database::rollback() {
    if (!m_handle || m_transactionDepth == 0) throw Error(kNoTransaction);
    if (transactionLost()) {
        // Already undone by the engine: only the count is left to settle.
        m_transactionDepth = 0;
        afterRollback();
        return;
    }
    const int level = m_transactionDepth - 1;
    try {
        sqlite::exec(m_handle, QStringLiteral("ROLLBACK TO t%1; RELEASE t%1").arg(level));
    } catch (const Error&) {
        // Releasing the outermost level needs the file to itself; a plain
        // rollback undoes the same without. Below the outermost level a failure
        // costs the outer levels too, and the caller must learn of it.
        abandonTransaction();
        if (level > 0 || !sqlite3_get_autocommit(m_handle)) throw;
        return;
    }
    m_transactionDepth = level;
    afterRollback();
}

void Database::executeNative(const QString& sql) {
    requireOpen();
    sqlite::exec(m_handle, sql);
    invalidateSchema();
}

QList<QVariantList> Database::queryNative(const QString& sql, const QVariantList& parameters) {
    requireOpen();
    sqlite::Statement st(m_handle, sql);
    for (int i = 0; i < parameters.size(); ++i)
        st.bind(i + 1, parameters.at(i));
    QList<QVariantList> rows;
    while (st.step()) {
        QVariantList row;
        for (int i = 0; i < st.columnCount(); ++i)
            row << st.column(i);
        rows << row;
    }
    return rows;
}

bool Database::engineInAutocommit() const {
    requireOpen();
    return sqlite3_get_autocommit(m_handle) != 0;
}

void Database::setProgressCheck(int steps, std::function<bool()> check) {
    requireOpen();
    m_progressCheck = std::move(check);
    if (!m_progressCheck) {
        sqlite3_progress_handler(m_handle, 0, nullptr, nullptr);
        return;
    }
    sqlite3_progress_handler(
        m_handle, steps, [](void* self) { return static_cast<Database*>(self)->m_progressCheck() ? 1 : 0; },
        this);
}

std::unique_ptr<Database> Database::openAnotherConnection(const OpenOptions& options) {
    requireOpen();
    std::unique_ptr<Database> other(new Database(m_path, options));
    other->openFile(false, m_user, m_workgroupId);
    return other;
}

Translation Database::translate(const QString& jetSql, const TranslateOptions& options) {
    requireOpen();
    return db::translate(jetSql, *this, options);
}

int Database::execute(const QString& jetSql, int options) {
    requireOpen();
    TranslateOptions to;
    to.ignoreRowErrors = !(options & FailOnError);
    Translation t = translate(jetSql, to);
    switch (t.kind) {
    case Translation::Kind::Select:
        throw Error(QStringLiteral("Výběrový dotaz nelze spustit jako akční dotaz."));
    case Translation::Kind::TextExport:
        // Reads the database only; the text file is written whole or not at all.
        return TextDriver::exportRows(m_handle, t);
    case Translation::Kind::Schema: {
        if (m_options.readOnly) throw Error(sqlite::readableMessage(QStringLiteral("readonly database")));
        // The steps of one schema statement stand or fall together.
        beginTransaction();
        try {
            for (const QString& s : t.statements)
                sqlite::exec(m_handle, s);
        } catch (const Error&) {
            try {
                rollback();
            } catch (const Error&) {
                // The step's own failure is the one to report; the transaction is
                // rolled back either way.
            }
            invalidateSchema();
            throw;
        }
        invalidateSchema();
        commit(); // a failed commit rolls back by itself
        return 0;
    }
    case Translation::Kind::Action:
        break;
    }
    int changes = 0;
    for (const QString& s : t.statements) {
        sqlite::Statement st(m_handle, s);
        st.step();
        changes += sqlite3_changes(m_handle);
    }
    return changes;
}

void Database::defineTable(const TableDef& def) {
    QStringList cols;
    for (const FieldDef& f : def.fields) {
        QString type;
        if (f.type == ColumnType::Long && (f.attributes & AutoIncrement))
            type = QStringLiteral("COUNTER");
        else if (f.type == ColumnType::Text)
            type = QStringLiteral("TEXT(%1)").arg(f.size);
        else
            type = declaredType(f.type, f.size);
        cols << QStringLiteral("[%1] %2").arg(f.name, type);
    }
    execute(QStringLiteral("CREATE TABLE [%1] (%2)").arg(def.name, cols.join(QStringLiteral(", "))),
            FailOnError);
}

QStringList Database::tableNames() {
    QStringList out;
    sqlite::Statement st(
        m_handle,
        QStringLiteral("SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'MSys%' "
                       "AND name NOT LIKE 'sqlite_%' ORDER BY rowid"));
    while (st.step())
        out << st.column(0).toString();
    return out;
}

QString Database::schemaFor(const QString& externalPath) {
    if (externalPath.isEmpty()) return QStringLiteral("main");
    const QString key = canonical(externalPath);
    if (key == canonical(m_path)) return QStringLiteral("main");
    if (auto it = m_attached.find(key); it != m_attached.end()) return *it;
    if (!QFileInfo(externalPath).isFile())
        throw Error(QStringLiteral("Databázový soubor „%1“ nebyl nalezen.").arg(externalPath));
    const QString name = QStringLiteral("ext%1").arg(m_attached.size() + 1);
    QUrl url = QUrl::fromLocalFile(key);
    url.setQuery(QStringLiteral("mode=ro"));
    sqlite::Statement st(m_handle, QStringLiteral("ATTACH DATABASE ?1 AS ") + quoteIdentifier(name));
    st.bind(1, url.toString(QUrl::FullyEncoded));
    st.step();
    m_attached.insert(key, name);
    return name;
}

std::optional<TableInfo> Database::loadTable(const QString& schema, const QString& name) {
    TableInfo info;
    {
        sqlite::Statement st(
            m_handle, QStringLiteral("SELECT name FROM %1.sqlite_schema WHERE type = 'table' AND name = ?1 "
                                     "COLLATE NOCASE")
                          .arg(quoteIdentifier(schema)));
        st.bind(1, name);
        if (!st.step()) return std::nullopt;
        info.name = st.column(0).toString();
    }
    int pkCount = 0;
    QString pkColumn;
    {
        sqlite::Statement st(m_handle, QStringLiteral("PRAGMA %1.table_info(%2)")
                                           .arg(quoteIdentifier(schema), quoteIdentifier(info.name)));
        while (st.step()) {
            info.columns << columnFromDeclaredType(st.column(1).toString(), st.column(2).toString());
            info.columns.last().hasDefault = !st.column(4).isNull();
            if (st.columnInt(5) > 0) {
                ++pkCount;
                pkColumn = st.column(1).toString();
            }
        }
    }
    if (pkCount == 1) info.uniqueColumns << pkColumn;
    QStringList uniqueIndexes;
    {
        sqlite::Statement st(m_handle, QStringLiteral("PRAGMA %1.index_list(%2)")
                                           .arg(quoteIdentifier(schema), quoteIdentifier(info.name)));
        while (st.step())
            if (st.columnInt(2) == 1 && st.column(4).toInt() == 0) uniqueIndexes << st.column(1).toString();
    }
    for (const QString& idx : uniqueIndexes) {
        sqlite::Statement st(
            m_handle,
            QStringLiteral("PRAGMA %1.index_info(%2)").arg(quoteIdentifier(schema), quoteIdentifier(idx)));
        QStringList cols;
        while (st.step())
            cols << st.column(2).toString();
        if (cols.size() == 1 && !cols[0].isEmpty()) info.uniqueColumns << cols[0];
    }
    return info;
}

std::optional<TableRef> Database::findTable(const QString& name, const QString& externalPath) {
    requireOpen();
    const QString schema = schemaFor(externalPath);
    const QString key = schema + u'\n' + name.toLower();
    auto it = m_tables.find(key);
    if (it == m_tables.end()) it = m_tables.insert(key, loadTable(schema, name));
    if (!*it) return std::nullopt;
    return TableRef{schema, **it};
}

} // namespace db
