#include "SearchRig.h"

#include "DatabaseLogin.h"
#include "Error.h"
#include "EventPump.h"

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

int stepBare(db::Database& d, const QString& sql, int limit,
             const std::function<bool(const db::sqlite::Statement&)>& onRow) {
    db::sqlite::Statement st(d.handle(), sql);
    int rows = 0;
    while ((limit < 0 || rows < limit) && st.step()) {
        for (int c = 0, n = st.columnCount(); c < n; ++c)
            st.columnUtf8(c);
        ++rows;
        if (onRow && !onRow(st)) break;
    }
    return rows;
}

int columnIndex(const db::sqlite::Statement& statement, const char* name) {
    for (int c = 0, n = statement.columnCount(); c < n; ++c)
        if (qstricmp(statement.columnName(c), name) == 0) return c;
    throw db::Error(QStringLiteral("the statement has no column %1").arg(QString::fromUtf8(name)));
}

QStringList queryPlan(db::Database& d, const QString& sql) {
    db::sqlite::Statement statement(d.handle(), QStringLiteral("EXPLAIN QUERY PLAN ") + sql);
    QStringList lines;
    std::vector<std::pair<qint64, int>> depths; // step id, its depth
    while (statement.step()) {
        const qint64 id = statement.columnInt(0);
        const qint64 parent = statement.columnInt(1);
        int depth = 0;
        for (const auto& [step, stepDepth] : depths)
            if (step == parent) depth = stepDepth + 1;
        depths.emplace_back(id, depth);
        lines << QString(depth * 2, u' ') + QString::fromUtf8(statement.columnUtf8(3));
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
    // The rows let pending events through as on the page.
    auto s = std::make_unique<DirectorySearch>(
        which,
        DirectorySearch::Services{[this] { return m_directory.get(); }, platform::eventPump(), &m_stop});
    s->setWorkingDatabases(results.get(), phone.get());
    return s;
}

QString SearchRig::native(const QStringList& jetLines) {
    return m_directory->translate(jetLines.join(u'\n')).statements.value(0);
}

} // namespace bench
