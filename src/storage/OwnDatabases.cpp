#include "OwnDatabases.h"

#include "DatabaseLogin.h"
#include "Error.h"
#include "PersonalColumns.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <fcntl.h>
#include <unistd.h>

namespace db {

OwnPaths OwnPaths::make(const QString& personalFolder, const QString& scratchFolder, const QString& tag) {
    OwnPaths p;
    QString personal = personalFolder;
    if (!personal.endsWith(u'/')) personal += u'/';
    QString scratch = scratchFolder;
    if (!scratch.endsWith(u'/')) scratch += u'/';
    p.personal = personal + QStringLiteral("vlastni.mdb");
    p.personsResult = scratch + QStringLiteral("o_") + tag + QStringLiteral(".mdb");
    p.firmsResult = scratch + QStringLiteral("f_") + tag + QStringLiteral(".mdb");
    p.personalResult = scratch + QStringLiteral("p_") + tag + QStringLiteral(".mdb");
    p.personsBuffer = scratch + QStringLiteral("s_") + tag + QStringLiteral(".mdb");
    p.firmsBuffer = scratch + QStringLiteral("x_") + tag + QStringLiteral(".mdb");
    return p;
}

QStringList orphanedWorkingFiles(const QString& folder, const std::function<bool(qint64)>& processRuns) {
    static const QRegularExpression name(QStringLiteral("^[ofpsx]_([0-9]{1,18})\\.mdb(-journal)?$"));
    QStringList orphaned;
    const QDir dir(folder);
    for (const QString& file : dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name)) {
        const QRegularExpressionMatch m = name.match(file);
        if (!m.hasMatch()) continue;
        bool ok = false;
        const qint64 pid = m.captured(1).toLongLong(&ok);
        if (ok && pid > 0 && !processRuns(pid)) orphaned << dir.filePath(file);
    }
    return orphaned;
}

namespace layouts {
namespace {
FieldDef text(const char* name, int size, int attributes = 0) {
    return {QString::fromUtf8(name), ColumnType::Text, size, attributes};
}
FieldDef longField(const char* name, int attributes = 0) {
    return {QString::fromUtf8(name), ColumnType::Long, 0, attributes};
}
FieldDef counter(const char* name) {
    return longField(name, AutoIncrement);
}
FieldDef boolean(const char* name) {
    return {QString::fromUtf8(name), ColumnType::Boolean, 0, 0};
}

} // namespace

const TableDef& personal() {
    static const TableDef t = personal_columns::personalTable();
    return t;
}

const TableDef& personalResult() {
    static const TableDef t = personal_columns::workingTable();
    return t;
}

const TableDef& persons() {
    static const TableDef t{QStringLiteral("Osoby"),
                            {counter("ID2"), text("Titul", 30), text("Jmeno", 30), text("Prijmeni", 50),
                             text("Ulice", 50), text("PSC", 6), text("Obec", 50), text("Cast", 50),
                             text("CP", 50), text("Tel", 50), text("Poznamka", 250),
                             longField("euroISDN", UpdatableField), boolean("Zn"), longField("ID")}};
    return t;
}

const TableDef& firmsResult() {
    static const TableDef t{QStringLiteral("Firmy"),
                            {counter("ID2"), text("Firma", 100), text("Ulice", 50), text("PSC", 6),
                             text("Obec", 50), text("Cast", 50), text("URL", 250), text("CP", 50),
                             text("UTO", 5), text("Tel", 50), text("Poznamka", 250), longField("euroISDN"),
                             boolean("Zn"), longField("ID")}};
    return t;
}

const TableDef& firmsBuffer() {
    static const TableDef t{QStringLiteral("Firmy"),
                            {counter("ID2"), text("Firma", 100), text("Poznamka", 250), longField("euroISDN"),
                             text("Ulice", 50), text("PSC", 6), text("Obec", 50), text("Cast", 50),
                             text("URL", 250), text("CP", 50), text("Tel", 50, UpdatableField), boolean("Zn"),
                             longField("ID")}};
    return t;
}

const TableDef& personsExtra() {
    static const TableDef t{QStringLiteral("Osoby_TEL_Navic"),
                            {text("Tel", 50), longField("euroISDN"), text("Poznamka", 20)}};
    return t;
}

const TableDef& firmsExtra() {
    static const TableDef t{QStringLiteral("Firmy_TEL_Navic"),
                            {text("Tel", 50), longField("euroISDN"), text("Poznamka", 20)}};
    return t;
}
} // namespace layouts

void createOwnDatabase(Engine& engine, const QString& path, const OwnPaths& paths) {
    // Only the personal database is the user's data; it is opened with the log.
    OpenOptions o = path == paths.personal ? personalOpenOptions() : OpenOptions{};
    o.disposable = path != paths.personal;
    QList<TableDef> tables;
    if (path == paths.personal)
        tables = {layouts::personal()};
    else if (path == paths.personsResult)
        tables = {layouts::persons()};
    else if (path == paths.firmsResult)
        tables = {layouts::firmsResult()};
    else if (path == paths.personalResult)
        tables = {layouts::personalResult()};
    else if (path == paths.personsBuffer)
        tables = {layouts::persons(), layouts::personsExtra()};
    else if (path == paths.firmsBuffer)
        tables = {layouts::firmsBuffer(), layouts::firmsExtra()};
    createDatabaseWithTables(engine, path, tables, o);
}

OpenOptions personalOpenOptions() {
    OpenOptions o;
    o.writeAheadLog = true;
    return o;
}

namespace {
QString existsMessage(const QString& path) {
    return QStringLiteral("Databáze „%1“ již existuje.").arg(path);
}

// Waits until the file's contents are on the disk; false when they cannot be.
bool flushToDisk(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool flushed = ::fsync(fd) == 0;
    ::close(fd);
    return flushed;
}

// An unused name beside path for the file while it is being made.
QString temporaryBeside(const QString& path) {
    const QFileInfo target(path);
    QString name;
    do {
        name = target.dir().filePath(u'.' + target.fileName() + u'.' +
                                     QString::number(QRandomGenerator::global()->generate64(), 36) +
                                     QStringLiteral(".tmp"));
    } while (QFileInfo::exists(name) || QFileInfo::exists(name + QStringLiteral("-journal")));
    return name;
}
} // namespace

void createDatabaseWithTables(Engine& engine, const QString& path, const QList<TableDef>& tables,
                              const OpenOptions& options) {
    if (QFileInfo::exists(path)) throw Error(existsMessage(path));
    const Login login = databaseLogin();
    std::unique_ptr<Workspace> ws = engine.openWorkspace(login.user, login.password);
    const QString temporary = temporaryBeside(path);
    try {
        {
            // Nothing waits for the disk while the temporary file is made: until
            // it is renamed nobody uses it. A durable database is flushed once,
            // whole, before the rename.
            OpenOptions making = options;
            making.disposable = true;
            std::unique_ptr<Database> db = ws->createDatabase(temporary, kCzechLocale, making);
            // One transaction: the file is written once, not once per statement.
            db->beginTransaction();
            for (const TableDef& t : tables)
                db->defineTable(t);
            db->commit();
            // Made in the log's mode, the first open need not convert (and flush) it.
            if (options.writeAheadLog && !options.disposable)
                db->executeNative(QStringLiteral("PRAGMA journal_mode=WAL"));
            db->close();
        }
        if (!options.disposable && !flushToDisk(temporary))
            throw Error(
                QStringLiteral("Databázi „%1“ nelze vytvořit: soubor nelze zapsat na disk.").arg(path));
        // A journal or log left from a database of this name that is gone would
        // be played back into the finished file when it first opens. Made in
        // place, the new file would start empty and the engine would drop such a
        // journal.
        for (const char* suffix : {"-journal", "-wal", "-shm"}) {
            const QString stale = path + QLatin1String(suffix);
            if (QFileInfo::exists(stale) && !QFileInfo::exists(path) && !QFile::remove(stale))
                throw Error(QStringLiteral("Databázi „%1“ nelze vytvořit: starý žurnál „%2“ nelze smazat.")
                                .arg(path, stale));
        }
        // Renaming never replaces an existing file.
        if (!QFile::rename(temporary, path)) {
            if (QFileInfo::exists(path)) throw Error(existsMessage(path));
            throw Error(QStringLiteral("Databázi „%1“ nelze vytvořit: soubor nelze přejmenovat.").arg(path));
        }
    } catch (const Error&) {
        removeDatabaseFile(temporary);
        throw;
    }
}

namespace {
QString pathOf(WorkingKind kind, const OwnPaths& p) {
    switch (kind) {
    case WorkingKind::PersonsResult:
        return p.personsResult;
    case WorkingKind::FirmsResult:
        return p.firmsResult;
    case WorkingKind::PersonalResult:
        return p.personalResult;
    case WorkingKind::PersonsBuffer:
        return p.personsBuffer;
    case WorkingKind::FirmsBuffer:
        return p.firmsBuffer;
    }
    return {};
}
bool isBuffer(WorkingKind k) {
    return k == WorkingKind::PersonsBuffer || k == WorkingKind::FirmsBuffer;
}
} // namespace

WorkingDatabase::WorkingDatabase(Engine& engine, WorkingKind kind, const OwnPaths& paths, Dataset& dataset)
    : m_engine(engine), m_kind(kind), m_paths(paths), m_path(pathOf(kind, paths)), m_dataset(dataset) {}

WorkingDatabase::~WorkingDatabase() {
    m_dataset.setDatabase(nullptr);
}

QString WorkingDatabase::firstPageSql(WorkingKind kind, int pageSize) {
    switch (kind) {
    case WorkingKind::PersonsResult:
        return QStringLiteral("SELECT * FROM Osoby WHERE ID2 BETWEEN 1 AND %1").arg(pageSize);
    case WorkingKind::FirmsResult:
        return QStringLiteral("SELECT * FROM Firmy WHERE ID2 BETWEEN 1 AND %1").arg(pageSize);
    case WorkingKind::PersonalResult:
        return QStringLiteral("SELECT * FROM vlastni WHERE ID2 BETWEEN 1 AND %1").arg(pageSize);
    case WorkingKind::PersonsBuffer:
        return QStringLiteral("SELECT * FROM Osoby");
    case WorkingKind::FirmsBuffer:
        return QStringLiteral("SELECT * FROM Firmy");
    }
    return {};
}

void WorkingDatabase::remove() {
    m_dataset.close();
    m_dataset.sql().clear();
    m_dataset.setDatabase(nullptr);
    if (m_db) m_db->close();
    m_db.reset();
    if (QFile::exists(m_path) && !QFile::remove(m_path))
        throw Error(QStringLiteral("Pracovní soubor „%1“ nelze smazat.").arg(m_path));
}

void WorkingDatabase::recreate(int pageSize, const std::function<void()>& beforeReopen) {
    std::optional<Dataset::CallbackGuard> guard;
    if (isBuffer(m_kind)) {
        guard.emplace(m_dataset);
        if (beforeReopen) beforeReopen();
    }
    remove();
    createOwnDatabase(m_engine, m_path, m_paths);
    OpenOptions o;
    o.exclusive = true;
    o.disposable = true;
    m_db = m_engine.defaultWorkspace().openDatabase(m_path, o);
    m_dataset.setDatabase(m_db.get());
    m_dataset.setSql(firstPageSql(m_kind, pageSize));
    m_dataset.open();
}

} // namespace db
