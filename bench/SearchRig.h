#pragma once

#include "Database.h"
#include "Dataset.h"
#include "DirectorySearch.h"
#include "OwnDatabases.h"
#include "Sqlite.h"

#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <vector>

// What the search benchmark measures with: the directory opened read-only as
// the program opens it, the working databases in a scratch folder, one
// DirectorySearch per page wired as the page wires it, and the bare SQLite
// helpers of the other side of each figure: native statements on the
// directory's connection through the engine's thin statement wrapper, with
// no translation and no dataset.
namespace bench {

using search_criteria::Directory;

double median(std::vector<double> values);

// Which time a figure measures: wall time, as the user waits it, or the CPU
// time of the calling thread, which other processes on a busy machine disturb
// less (it leaves out waiting for them and for the disk).
enum class Clock { Wall, Cpu };

class Stopwatch {
  public:
    explicit Stopwatch(Clock clock = Clock::Wall) : m_clock(clock) { restart(); }
    void restart() { m_start = now(); }
    // Milliseconds since the start or the last restart.
    double ms() const { return double(now() - m_start) / 1e6; }

  private:
    qint64 now() const; // nanoseconds
    Clock m_clock;
    qint64 m_start = 0;
};

// Milliseconds of each run of work; prepare runs untimed before each.
std::vector<double> timed(int repetitions, const std::function<void()>& prepare,
                          const std::function<void()>& work);

// Steps a native statement on the connection of d, reading every column as
// text, up to limit rows (all without a limit); calls onRow with the
// statement for each row, and stops early when it returns false. Returns the
// rows stepped.
int stepBare(db::Database& d, const QString& sql, int limit = -1,
             const std::function<bool(const db::sqlite::Statement&)>& onRow = {});

// The index of the result column of that name (case-insensitive); throws when
// there is none.
int columnIndex(const db::sqlite::Statement& statement, const char* name);

// The SQLite query plan of a native statement, one line a step, indented by depth.
QStringList queryPlan(db::Database& d, const QString& sql);

class SearchRig {
  public:
    // dataDir holds ordat.mdb and ordat.mdw. Throws db::Error.
    explicit SearchRig(const QString& dataDir);
    ~SearchRig();
    SearchRig(const SearchRig&) = delete;
    SearchRig& operator=(const SearchRig&) = delete;

    db::Database& directory() { return *m_directory; }
    DirectorySearch& search(Directory which) { return which == Directory::Persons ? *m_persons : *m_firms; }

    // The statement of the lines as the engine hands it to SQLite.
    QString native(const QStringList& jetLines);

  private:
    std::unique_ptr<DirectorySearch> makeSearch(Directory which, db::Dataset& page, db::Dataset& buffer,
                                                std::unique_ptr<db::WorkingDatabase>& results,
                                                std::unique_ptr<db::WorkingDatabase>& phone);

    db::Engine m_engine;
    std::unique_ptr<db::Workspace> m_workspace;
    std::unique_ptr<db::Database> m_directory;
    QTemporaryDir m_scratch;
    db::OwnPaths m_paths;
    bool m_stop = false;
    db::Dataset m_personsPage, m_personsBuffer, m_firmsPage, m_firmsBuffer;
    std::unique_ptr<db::WorkingDatabase> m_personsResults, m_personsPhone, m_firmsResults, m_firmsPhone;
    std::unique_ptr<DirectorySearch> m_persons, m_firms;
};

} // namespace bench
