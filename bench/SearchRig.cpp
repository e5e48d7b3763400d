#include "SearchRig.h"

#include "DatabaseLogin.h"
#include "Error.h"

#include <QCoreApplication>
#include <QDir>

#include <algorithm>
#include <ctime>

namespace bench {

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

qint64 Stopwatch::now() const {
    timespec t{};
    clock_gettime(m_clock == Clock::Wall ? CLOCK_MONOTONIC : CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

std::vector<double> timed(int repetitions, const std::function<void()>& prepare,
                          const std::function<void()>& work) {
    std::vector<double> out;
    for (int i = 0; i < repetitions; ++i) {
        if (prepare) prepare();
        const Stopwatch t;
        work();
        out.push_back(t.ms());
    }
    return out;
}

namespace {

// A prepared native statement, finalised however the scope ends.
class Prepared {
  public:
    Prepared(sqlite3* db, const QString& sql) {
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_statement, nullptr) != SQLITE_OK) {
            const QString message = QString::fromUtf8(sqlite3_errmsg(db));
            sqlite3_finalize(m_statement);
            throw db::Error(message);
        }
    }
    ~Prepared() { sqlite3_finalize(m_statement); }
    Prepared(const Prepared&) = delete;
    Prepared& operator=(const Prepared&) = delete;
    sqlite3_stmt* get() const { return m_statement; }

  private:
    sqlite3_stmt* m_statement = nullptr;
};

} // namespace

int stepBare(sqlite3* db, const QString& sql, int limit, const std::function<bool(sqlite3_stmt*)>& onRow) {
    Prepared statement(db, sql);
    sqlite3_stmt* st = statement.get();
    int rows = 0;
    while (limit < 0 || rows < limit) {
        const int rc = sqlite3_step(st);
        if (rc == SQLITE_DONE) break;
        if (rc != SQLITE_ROW) throw db::Error(QString::fromUtf8(sqlite3_errmsg(db)));
        for (int c = 0, n = sqlite3_column_count(st); c < n; ++c)
            sqlite3_column_text(st, c);
        ++rows;
        if (onRow && !onRow(st)) break;
    }
    return rows;
}

int columnIndex(sqlite3_stmt* statement, const char* name) {
    for (int c = 0, n = sqlite3_column_count(statement); c < n; ++c)
        if (sqlite3_stricmp(sqlite3_column_name(statement, c), name) == 0) return c;
    throw db::Error(QStringLiteral("the statement has no column %1").arg(QString::fromUtf8(name)));
}

QStringList queryPlan(sqlite3* db, const QString& sql) {
    Prepared statement(db, QStringLiteral("EXPLAIN QUERY PLAN ") + sql);
    QStringList lines;
    std::vector<std::pair<int, int>> depths; // step id, its depth
    while (sqlite3_step(statement.get()) == SQLITE_ROW) {
        const int id = sqlite3_column_int(statement.get(), 0);
        const int parent = sqlite3_column_int(statement.get(), 1);
        int depth = 0;
        for (const auto& [step, d] : depths)
            if (step == parent) depth = d + 1;
        depths.emplace_back(id, depth);
        lines << QString(depth * 2, u' ') + QString::fromUtf8(reinterpret_cast<const char*>(
                                                sqlite3_column_text(statement.get(), 3)));
    }
    return lines;
}

SearchRig::SearchRig(const QString& dataDir) {
    m_engine.setWorkgroupFile(dataDir + QStringLiteral("/ordat.mdw"));
    const db::Login login = db::databaseLogin();
    m_workspace = m_engine.openWorkspace(login.user, login.password);
    db::OpenOptions o;
    o.readOnly = true;
    o.exclusive = true;
    m_directory = m_workspace->openDatabase(dataDir + QStringLiteral("/ordat.mdb"), o);

    m_paths = db::OwnPaths::make(m_scratch.filePath(QStringLiteral("program/DATA")), m_scratch.path(),
                                 QStringLiteral("b"));
    QDir().mkpath(m_scratch.filePath(QStringLiteral("program/DATA")));
    m_persons =
        makeSearch(Directory::Persons, m_personsPage, m_personsBuffer, m_personsResults, m_personsPhone);
    m_firms = makeSearch(Directory::Firms, m_firmsPage, m_firmsBuffer, m_firmsResults, m_firmsPhone);
}

SearchRig::~SearchRig() = default;

std::unique_ptr<DirectorySearch> SearchRig::makeSearch(Directory which, db::Dataset& page,
                                                       db::Dataset& buffer,
                                                       std::unique_ptr<db::WorkingDatabase>& results,
                                                       std::unique_ptr<db::WorkingDatabase>& phone) {
    const bool firms = which == Directory::Firms;
    results = std::make_unique<db::WorkingDatabase>(
        m_engine, firms ? db::WorkingKind::FirmsResult : db::WorkingKind::PersonsResult, m_paths, page);
    phone = std::make_unique<db::WorkingDatabase>(
        m_engine, firms ? db::WorkingKind::FirmsBuffer : db::WorkingKind::PersonsBuffer, m_paths, buffer);
    // Every copied row lets pending events through, as on the page.
    auto s = std::make_unique<DirectorySearch>(
        which, DirectorySearch::Services{[this] { return m_directory.get(); },
                                         [] { QCoreApplication::processEvents(); }, &m_stop});
    s->setWorkingDatabases(results.get(), phone.get());
    return s;
}

QString SearchRig::native(const QStringList& jetLines) {
    return m_directory->translate(jetLines.join(u'\n')).statements.value(0);
}

} // namespace bench
