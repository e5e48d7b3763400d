#include "JetConversion.h"

#include "Database.h"
#include "DirectoryIndexes.h"
#include "Error.h"
#include "JetFile.h"
#include "SqlDdl.h"
#include "SqlNames.h"
#include "SqlTranslator.h"
#include "Sqlite.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QUuid>

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace db {

namespace {

// The name under which the copy keeps its source's identity in the engine's
// own table, which no catalog of user tables lists.
const QString kSourceKey = QStringLiteral("jet_source");
// Rows between two reports of progress (and chances to cancel).
constexpr int kBatchRows = 4096;
// SQLite's page cache while converting: enough for building the indexes of
// the directory's big tables without holding much of them in memory.
constexpr int kCacheKiB = 65536;

QString quoted(const QString& name) {
    return u'„' + QDir::toNativeSeparators(name) + u'“';
}

// The temporary file's name: beside the target, so that renaming it into
// place needs no copy, and hidden from a listing of databases.
QString temporaryPrefix(const QFileInfo& target) {
    return u'.' + target.fileName() + u'.';
}
const QString kTemporarySuffix = QStringLiteral(".part");

QString temporaryName(const QFileInfo& target) {
    for (;;) {
        const QString name = target.absolutePath() + u'/' + temporaryPrefix(target) +
                             QUuid::createUuid().toString(QUuid::Id128).left(12) + kTemporarySuffix;
        if (!QFileInfo::exists(name)) return name;
    }
}

// What a table of the source becomes: its columns our engine can hold, and the
// statements that make it.
struct TablePlan {
    const jet::SourceTable* source = nullptr;
    QList<int> kept; // places of the kept columns in the source's rows
    QStringList createTable;
    QStringList counters; // run once the rows are in: a counter filling empty fields
};

// Whether every column of an index is among the columns kept.
bool covered(const jet::SourceIndex& index, const QStringList& kept) {
    for (const QString& c : index.columns)
        if (!kept.contains(c, Qt::CaseInsensitive)) return false;
    return true;
}

TablePlan planTable(Database& d, const jet::SourceTable& t, ConversionKind kind, QStringList& leftOut) {
    TablePlan plan;
    plan.source = &t;
    ast::CreateTable ct;
    ct.table = t.name;
    QStringList keptNames;
    for (int i = 0; i < t.columns.size(); ++i) {
        const jet::SourceColumn& c = t.columns[i];
        if (c.type == ColumnType::Other) {
            leftOut << t.name + u'.' + c.name + QStringLiteral(" (") + c.jetType + u')';
            continue;
        }
        ast::ColumnDef def;
        def.name = c.name;
        def.type = c.type;
        def.size = c.size;
        def.notNull = c.required;
        ct.columns.push_back(def);
        plan.kept << i;
        keptNames << c.name;
    }
    for (const jet::SourceIndex& index : t.indexes)
        if (index.primary && covered(index, keptNames) && ct.primaryKey.isEmpty())
            ct.primaryKey = index.columns;
    // The directory's statements join its tables through their keys: a file
    // that declares none still gets them, as the generator's directory has them.
    if (kind == ConversionKind::Directory && ct.primaryKey.isEmpty())
        for (const ast::ColumnDef& c : ct.columns)
            if (c.name.compare(kDirectoryKey, Qt::CaseInsensitive) == 0 &&
                (c.type == ColumnType::Long || c.type == ColumnType::Counter))
                ct.primaryKey << c.name;

    // A table left without a column our engine can hold is left out whole.
    if (ct.columns.empty()) return plan;
    SqlNames names(d);
    SqlDdl ddl(names);
    const QStringList statements = ddl.createTable(ct);
    plan.createTable << statements.first();
    plan.counters = statements.mid(1);
    // The indexes need the table in the schema; they are made from their
    // definitions once it exists.
    return plan;
}

QStringList indexStatements(Database& d, const jet::SourceTable& t, const QStringList& kept) {
    QStringList out;
    SqlNames names(d);
    SqlDdl ddl(names);
    QStringList used;
    for (const jet::SourceIndex& index : t.indexes) {
        if (index.primary || !covered(index, kept)) continue;
        ast::CreateIndex ci;
        // Two indexes of one table must not share a name, whatever the file says.
        const QString name = index.name.isEmpty() ? QStringLiteral("index") : index.name;
        ci.name = name;
        for (int n = 2; used.contains(ci.name, Qt::CaseInsensitive); ++n)
            ci.name = name + QString::number(n);
        used << ci.name;
        ci.table = t.name;
        ci.columns = index.columns;
        ci.descending.assign(index.descending.begin(), index.descending.end());
        ci.descending.resize(size_t(ci.columns.size()), false);
        ci.unique = index.unique;
        out << ddl.createIndex(ci);
    }
    return out;
}

// Reads a table's rows on a thread of its own, a few batches ahead of the
// inserts, so that reading the file and writing the database overlap. The
// batches waiting are bounded in rows and in bytes: memory stays bounded
// whatever the table's size and its long values.
class RowReader {
  public:
    explicit RowReader(std::unique_ptr<jet::File::Rows> rows)
        : m_rows(std::move(rows)), m_thread([this] { run(); }) {}
    ~RowReader() {
        {
            const std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    RowReader(const RowReader&) = delete;
    RowReader& operator=(const RowReader&) = delete;

    // The next batch of rows in the file's order; false at the end. A failure
    // to read comes out here, after the rows read before it.
    bool next(std::vector<QVariantList>& batch) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return !m_batches.empty() || m_done; });
        if (m_batches.empty()) {
            if (m_error) std::rethrow_exception(m_error);
            return false;
        }
        batch = std::move(m_batches.front());
        m_batches.pop_front();
        m_changed.notify_all();
        return true;
    }

  private:
    static constexpr size_t kWaiting = 3;
    static constexpr qsizetype kBatchBytes = 8 << 20;

    static qsizetype sizeOf(const QVariantList& row) {
        qsizetype bytes = 0;
        for (const QVariant& v : row)
            bytes += v.typeId() == QMetaType::QString      ? 2 * v.toString().size()
                     : v.typeId() == QMetaType::QByteArray ? v.toByteArray().size()
                                                           : 16;
        return bytes;
    }

    void run() {
        try {
            for (;;) {
                std::vector<QVariantList> batch;
                qsizetype bytes = 0;
                QVariantList row;
                while (batch.size() < size_t(kBatchRows) && bytes < kBatchBytes && m_rows->next(row)) {
                    bytes += sizeOf(row);
                    batch.push_back(std::move(row));
                    row = QVariantList();
                }
                const bool last = batch.size() < size_t(kBatchRows) && bytes < kBatchBytes;
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [&] { return m_batches.size() < kWaiting || m_stop; });
                if (m_stop) return;
                if (!batch.empty()) m_batches.push_back(std::move(batch));
                m_done = last;
                m_changed.notify_all();
                if (last) return;
            }
        } catch (...) {
            const std::lock_guard lock(m_mutex);
            m_error = std::current_exception();
            m_done = true;
            m_changed.notify_all();
        }
    }

    std::unique_ptr<jet::File::Rows> m_rows;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::vector<QVariantList>> m_batches;
    bool m_done = false;
    bool m_stop = false;
    std::exception_ptr m_error;
    std::thread m_thread; // last: it starts when everything else is ready
};

class Conversion {
  public:
    Conversion(Workspace& ws, const QString& source, const QString& target, ConversionKind kind,
               const ConversionProgress& progress)
        : m_ws(ws), m_source(source), m_target(target), m_kind(kind), m_progress(progress) {}

    ConversionResult run() {
        const QFileInfo target(m_target);
        checkTarget(target);
        // The identity of what is read: taken before, so that a file changed
        // meanwhile does not pass for the one converted.
        m_identity = jet::sourceIdentity(m_source);
        const jet::File file(m_source);
        m_temporary = temporaryName(target);
        OpenOptions o;
        o.exclusive = true;
        o.disposable = true;
        try {
            m_db = m_ws.createDatabase(m_temporary, kCzechLocale, o);
        } catch (const Error& e) {
            throw Error(QStringLiteral("Do složky %1 nelze zapisovat: %2")
                            .arg(quoted(target.absolutePath()), e.message()));
        }
        try {
            // A failure removes the file, so nothing needs to survive a crash.
            m_db->executeNative(QStringLiteral("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; "
                                               "PRAGMA cache_size=-%1;")
                                    .arg(kCacheKiB));
            // Secured at once: a workspace that cannot do it fails before the
            // long work, and the copy is never open to others meanwhile.
            if (m_kind == ConversionKind::Directory) m_db->restrictToWorkgroup();
            if (!convert(file)) {
                discard();
                ConversionResult cancelled;
                cancelled.cancelled = true;
                return cancelled;
            }
            m_db->close();
            m_db.reset();
            // Renaming never replaces a file: a target that has appeared
            // meanwhile stays as it is.
            if (!QFile::rename(m_temporary, m_target)) {
                const bool exists = QFileInfo::exists(m_target);
                discard();
                throw Error(
                    exists
                        ? existsMessage()
                        : QStringLiteral("Převedenou databázi nelze uložit jako %1.").arg(quoted(m_target)));
            }
        } catch (...) {
            discard();
            throw;
        }
        return m_result;
    }

  private:
    QString existsMessage() const {
        return QStringLiteral("Soubor %1 již existuje; převod jej nenahradí.").arg(quoted(m_target));
    }

    void checkTarget(const QFileInfo& target) const {
        if (target.exists() || target.isSymLink()) throw Error(existsMessage());
        const QFileInfo folder(target.absolutePath());
        if (!folder.isDir())
            throw Error(QStringLiteral("Složka %1 neexistuje.").arg(quoted(folder.absoluteFilePath())));
        if (!folder.isWritable())
            throw Error(
                QStringLiteral("Do složky %1 nelze zapisovat.").arg(quoted(folder.absoluteFilePath())));
    }

    void discard() noexcept {
        if (m_db) {
            m_db->close();
            m_db.reset();
        }
        if (!m_temporary.isEmpty()) removeDatabaseFile(m_temporary);
    }

    bool report() {
        m_step.rowsTotal = std::max(m_step.rowsTotal, m_step.rowsDone);
        return !m_progress || m_progress(m_step);
    }

    bool convert(const jet::File& file) {
        Database& d = *m_db;
        QList<TablePlan> plans;
        d.beginTransaction();
        for (const jet::SourceTable& t : file.tables()) {
            try {
                TablePlan plan = planTable(d, t, m_kind, m_result.leftOutColumns);
                if (plan.createTable.isEmpty()) continue;
                for (const QString& s : plan.createTable)
                    d.executeNative(s);
                plans << plan;
            } catch (const Error& e) {
                throw tableFailure(t.name, e);
            }
        }
        // Progress counts the tables converted: one with no column left is not.
        m_step.tables = int(plans.size());
        for (const TablePlan& plan : plans)
            m_step.rowsTotal += plan.source->rows;
        for (const TablePlan& plan : plans) {
            ++m_step.tableNumber;
            m_step.table = plan.source->name;
            if (!report()) return false;
            if (!copyRows(file, plan)) return false;
            ++m_result.tables;
        }
        d.commit();

        // Indexes are built once the rows are in: faster than keeping them up
        // to date row by row.
        m_step.indexing = true;
        if (!report()) return false;
        bool cancelled = false;
        d.setProgressCheck(1 << 20, [&] {
            cancelled = cancelled || !report();
            return cancelled;
        });
        try {
            for (const TablePlan& plan : plans) {
                QStringList kept;
                for (int i : plan.kept)
                    kept << plan.source->columns[i].name;
                try {
                    for (const QString& s : plan.counters)
                        d.executeNative(s);
                    if (!plan.counters.isEmpty())
                        // The counter goes on after the largest value the file holds.
                        d.executeNative(QStringLiteral("UPDATE \"MSysCounters\" SET next = max(next, (SELECT "
                                                       "coalesce(max(%1), 0) + 1 FROM %2)) WHERE tbl = %3")
                                            .arg(counterColumn(*plan.source),
                                                 quoteIdentifier(plan.source->name),
                                                 quoteLiteral(plan.source->name)));
                    for (const QString& s : indexStatements(d, *plan.source, kept))
                        d.executeNative(s);
                } catch (const Error& e) {
                    if (cancelled) return false;
                    throw tableFailure(plan.source->name, e);
                }
            }
            if (m_kind == ConversionKind::Directory) createDirectoryIndexes(d);
        } catch (const Error&) {
            if (cancelled) return false;
            throw;
        }
        d.setProgressCheck(0, {});
        sqlite::Statement st(
            d.handle(),
            QStringLiteral("INSERT OR REPLACE INTO \"MSysEngine\" (name, value) VALUES (?1, ?2)"));
        st.bind(1, kSourceKey);
        st.bind(2, m_identity);
        st.step();
        return true;
    }

    static QString counterColumn(const jet::SourceTable& t) {
        for (const jet::SourceColumn& c : t.columns)
            if (c.type == ColumnType::Counter) return quoteIdentifier(c.name);
        return QStringLiteral("NULL");
    }

    Error tableFailure(const QString& table, const Error& e) const {
        return Error(QStringLiteral("Tabulku %1 ze souboru %2 nelze převést: %3")
                         .arg(quoted(table), quoted(m_source), e.message()));
    }

    bool copyRows(const jet::File& file, const TablePlan& plan) {
        const jet::SourceTable& t = *plan.source;
        QStringList columns, parameters;
        for (int i : plan.kept) {
            columns << quoteIdentifier(t.columns[i].name);
            parameters << QStringLiteral("?%1").arg(parameters.size() + 1);
        }
        if (columns.isEmpty()) return true;
        sqlite::Statement insert(
            m_db->handle(), QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                .arg(quoteIdentifier(t.name), columns.join(u','), parameters.join(u',')));
        RowReader reader(file.rows(t.name));
        std::vector<QVariantList> batch;
        qint64 number = 0;
        while (reader.next(batch)) {
            for (const QVariantList& row : batch) {
                ++number;
                insert.reset();
                for (int k = 0; k < plan.kept.size(); ++k)
                    insert.bind(k + 1, row.at(plan.kept[k]));
                try {
                    insert.step();
                } catch (const Error& e) {
                    throw Error(
                        QStringLiteral("Tabulku %1 ze souboru %2 nelze převést: řádek %3: %4")
                            .arg(quoted(t.name), quoted(m_source), QString::number(number), e.message()));
                }
            }
            m_step.rowsDone += qint64(batch.size());
            m_result.rows += qint64(batch.size());
            if (!report()) return false;
        }
        return true;
    }

    Workspace& m_ws;
    QString m_source, m_target, m_temporary, m_identity;
    ConversionKind m_kind;
    const ConversionProgress& m_progress;
    std::unique_ptr<Database> m_db;
    ConversionStep m_step;
    ConversionResult m_result;
};

} // namespace

ConversionResult convertJetFile(Workspace& workspace, const QString& source, const QString& target,
                                ConversionKind kind, const ConversionProgress& progress) {
    return Conversion(workspace, source, target, kind, progress).run();
}

int removeUnfinishedConversions(const QString& target) {
    const QFileInfo info(target);
    const QDir folder = info.absoluteDir();
    int removed = 0;
    const QStringList names = folder.entryList({temporaryPrefix(info) + u'*' + kTemporarySuffix},
                                               QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names)
        if (removeDatabaseFile(folder.filePath(name))) ++removed;
    return removed;
}

QString convertedSourceOf(const QString& path) {
    if (!QFileInfo(path).isFile()) return {};
    // Read as an unchanging file: no lock is taken, so a copy the program
    // holds open exclusively still answers.
    QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    url.setQuery(QStringLiteral("mode=ro&immutable=1"));
    sqlite3* h = nullptr;
    const int rc = sqlite3_open_v2(url.toString(QUrl::FullyEncoded).toUtf8().constData(), &h,
                                   SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
    QString identity;
    if (rc == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(h, "SELECT value FROM \"MSysEngine\" WHERE name = ?1", -1, &st, nullptr) ==
            SQLITE_OK) {
            const QByteArray key = kSourceKey.toUtf8();
            sqlite3_bind_text(st, 1, key.constData(), int(key.size()), SQLITE_TRANSIENT);
            if (sqlite3_step(st) == SQLITE_ROW)
                identity = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        }
        sqlite3_finalize(st);
    }
    sqlite3_close_v2(h);
    return identity;
}

} // namespace db
