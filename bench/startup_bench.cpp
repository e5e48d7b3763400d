// From launch to the main window on the screen: the program against an empty
// Qt Widgets main window, started alternately, each with a fresh home folder.
//
//   startup_bench [--runs N] [--program PATH] [--empty PATH] [--compare PATH] [--timeout SECONDS]
//
// Both programs write a line to their standard output once their window's
// first expose has been painted (platform::reportFirstShown, asked for by an
// environment variable); the time runs from just before the process is
// spawned to the moment that line is read. The platform is whatever the
// environment gives (DISPLAY for xcb, or QT_QPA_PLATFORM).

#include "ShownReport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    int runs = 7;
    QString program;
    QString empty;
    QString compare;
    int timeoutSeconds = 60;
};

// The environment of a launch: the bench's own, with the home and the XDG
// folders inside a fresh folder, and the request to report the window shown.
std::vector<std::string> launchEnvironment(const QString& home) {
    static const char* const kReplaced[] = {
        "HOME=",           "XDG_CONFIG_HOME=", "XDG_DATA_HOME=",
        "XDG_CACHE_HOME=", "XDG_RUNTIME_DIR=", platform::kReportShownVariable};
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        const bool replaced = std::any_of(std::begin(kReplaced), std::end(kReplaced),
                                          [&](const char* name) { return entry.rfind(name, 0) == 0; });
        if (!replaced) env.push_back(entry);
    }
    const std::string h = QDir(home).absolutePath().toStdString();
    env.push_back("HOME=" + h);
    env.push_back("XDG_RUNTIME_DIR=" + h + "/run");
    env.push_back(std::string(platform::kReportShownVariable) + "=1");
    return env;
}

// Ends a launched program (it stores its settings on SIGTERM), by force when
// it does not go within a few seconds.
void end(pid_t pid) {
    kill(pid, SIGTERM);
    for (int i = 0; i < 500; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
        usleep(10'000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// Milliseconds from spawning the program to its report, or nothing when it
// failed to report within the timeout.
std::optional<double> launch(const QString& program, int timeoutSeconds) {
    QTemporaryDir home;
    if (!home.isValid() || !QDir().mkpath(home.path() + QStringLiteral("/run"))) return std::nullopt;
    QFile::setPermissions(home.path() + QStringLiteral("/run"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    std::vector<std::string> env = launchEnvironment(home.path());
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string path = program.toStdString();
    char* argv[] = {path.data(), nullptr};

    int out[2];
    if (pipe(out) != 0) return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    pid_t pid = 0;
    const Clock::time_point start = Clock::now();
    const int spawned = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        std::fprintf(stderr, "cannot start %s: %s\n", path.c_str(), std::strerror(spawned));
        return std::nullopt;
    }

    std::string received;
    std::optional<double> ms;
    const Clock::time_point deadline = start + std::chrono::seconds(timeoutSeconds);
    while (!ms && Clock::now() < deadline) {
        pollfd p{out[0], POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (poll(&p, 1, int(std::max<long long>(1, left.count()))) <= 0) continue;
        char buffer[256];
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n <= 0) break; // the program ended without reporting
        received.append(buffer, size_t(n));
        if (received.find(platform::kShownLine) != std::string::npos)
            ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
    close(out[0]);
    end(pid);
    if (!ms) std::fprintf(stderr, "%s did not report its window shown\n", path.c_str());
    return ms;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::optional<Options> parse(const QStringList& args) {
    Options o;
    const QString folder = QCoreApplication::applicationDirPath();
    o.program = folder + QStringLiteral("/ordana");
    o.empty = folder + QStringLiteral("/empty_window");
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--runs") && hasValue)
            o.runs = args[++i].toInt();
        else if (a == QLatin1String("--program") && hasValue)
            o.program = args[++i];
        else if (a == QLatin1String("--empty") && hasValue)
            o.empty = args[++i];
        else if (a == QLatin1String("--compare") && hasValue)
            o.compare = args[++i];
        else if (a == QLatin1String("--timeout") && hasValue)
            o.timeoutSeconds = args[++i].toInt();
        else
            return std::nullopt;
    }
    if (o.runs < 1 || o.timeoutSeconds < 1) return std::nullopt;
    return o;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const auto options = parse(app.arguments());
    if (!options) {
        std::fprintf(stderr,
                     "usage: startup_bench [--runs N] [--program PATH] [--empty PATH] [--compare PATH] "
                     "[--timeout SECONDS]\n");
        return 2;
    }
    const QByteArray platform = qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")
                                    ? "xcb on DISPLAY=" + qgetenv("DISPLAY")
                                    : qgetenv("QT_QPA_PLATFORM");
    std::printf("# platform %s, %d runs each, alternating\n", platform.constData(), options->runs);
    // The programs of a round: the program, the empty window and, when asked
    // for, another build of the program, so that a change is measured against
    // what it replaces under the same load.
    std::vector<QString> programs{options->program, options->empty};
    if (!options->compare.isEmpty()) programs.push_back(options->compare);
    std::printf("# run\tprogram_ms\tempty_ms%s\n", options->compare.isEmpty() ? "" : "\tcompared_ms");
    std::vector<std::vector<double>> times(programs.size());
    for (int run = 1; run <= options->runs; ++run) {
        // Each round starts with another program, so that none always comes
        // after the page cache was warmed by the others.
        std::vector<double> round(programs.size());
        for (size_t k = 0; k < programs.size(); ++k) {
            const size_t i = (size_t(run - 1) + k) % programs.size();
            const std::optional<double> ms = launch(programs[i], options->timeoutSeconds);
            if (!ms) return 1;
            round[i] = *ms;
            times[i].push_back(*ms);
        }
        std::printf("%d", run);
        for (double ms : round)
            std::printf("\t%.1f", ms);
        std::printf("\n");
        std::fflush(stdout);
    }
    const double m = median(times[0]), e = median(times[1]);
    std::printf("# medians\tprogram_ms\tempty_ms\tratio\n");
    std::printf("startup\t%.1f\t%.1f\t%.2f\n", m, e, m / e);
    if (programs.size() > 2) {
        const double c = median(times[2]);
        std::printf("compared\t%.1f\t%.1f\t%.2f\n", c, e, c / e);
    }
    return 0;
}
