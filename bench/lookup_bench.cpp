// Who is calling: `ordana --lookup NUMBER` started as a softphone's script
// starts it, warm (one untimed start first), against a directory folder.
//
//   lookup_bench DATA_DIR [--runs N] [--program PATH] [NUMBER ...]
//
// Each start gets a fresh process in a home folder of its own whose settings
// name DATA_DIR as the directory; the time runs from just before the process
// is spawned until it has ended. Prints for each number the median, the
// fastest and the slowest start, the median CPU time (user and system, all
// threads; less disturbed by other load than the wall time), and the exit
// status; "start only" is a number the program refuses at once (the cost of
// starting the program).

#include "SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Launch {
    double ms = 0;
    double cpuMs = 0; // user and system time of the process, all its threads
    int exitCode = -1;
};

Launch launch(const std::string& program, const std::string& number, const std::vector<std::string>& env) {
    std::vector<char*> argv{const_cast<char*>(program.c_str()), const_cast<char*>("--lookup"),
                            const_cast<char*>(number.c_str()), nullptr};
    std::vector<char*> envp;
    for (const std::string& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    Launch result;
    const auto start = Clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0) {
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        result.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        const auto ms = [](const timeval& t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
        result.cpuMs = ms(usage.ru_utime) + ms(usage.ru_stime);
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return result;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.first().startsWith(u'-')) {
        std::fprintf(stderr, "usage: lookup_bench DATA_DIR [--runs N] [--program PATH] [NUMBER ...]\n");
        return 2;
    }
    const QString dataDir = QDir(args.takeFirst()).absolutePath();
    int runs = 21;
    QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/ordana");
    QStringList numbers;
    while (!args.isEmpty()) {
        const QString a = args.takeFirst();
        if (a == u"--runs" && !args.isEmpty())
            runs = std::max(1, args.takeFirst().toInt());
        else if (a == u"--program" && !args.isEmpty())
            program = args.takeFirst();
        else
            numbers << a;
    }
    if (numbers.isEmpty()) numbers = {QStringLiteral("604245324"), QStringLiteral("604545019")};
    numbers << QStringLiteral("x");

    // A home of its own, whose settings name the directory folder.
    QTemporaryDir home;
    const QString runtime = home.filePath(QStringLiteral("run"));
    for (const char* folder : {"config", "run", "data", "cache", "etc"})
        QDir().mkpath(home.filePath(QString::fromLatin1(folder)));
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    {
        auto store = platform::makeIniSettingsStore(
            home.filePath(QStringLiteral("config/Kestrava s.r.o./Ordana 2004.ini")),
            home.filePath(QStringLiteral("etc/Kestrava s.r.o./Ordana 2004.ini")));
        auto disk = store->open(platform::Root::CurrentUser, platform::kProgramKey + QStringLiteral("Disk"),
                                platform::Access::All, true);
        if (!disk || !disk->writeString(QStringLiteral("Path"), dataDir)) {
            std::fprintf(stderr, "cannot write the settings\n");
            return 2;
        }
    }
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        if (entry.rfind("HOME=", 0) != 0 && entry.rfind("XDG_", 0) != 0 && entry.rfind("DISPLAY=", 0) != 0)
            env.push_back(entry);
    }
    const auto put = [&](const char* name, const QString& value) {
        env.push_back(std::string(name) + '=' + value.toStdString());
    };
    put("HOME", home.path());
    put("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")));
    put("XDG_CONFIG_DIRS", home.filePath(QStringLiteral("etc")));
    put("XDG_DATA_HOME", home.filePath(QStringLiteral("data")));
    put("XDG_CACHE_HOME", home.filePath(QStringLiteral("cache")));
    put("XDG_RUNTIME_DIR", runtime);

    const std::string exe = program.toStdString();
    std::printf("%-12s %9s %9s %9s %9s  %s\n", "number", "median", "fastest", "slowest", "cpu", "exit");
    for (const QString& number : numbers) {
        const std::string n = number.toStdString();
        launch(exe, n, env); // warm: the files in the page cache
        std::vector<double> times, cpu;
        int exitCode = -1;
        for (int i = 0; i < runs; ++i) {
            const Launch l = launch(exe, n, env);
            times.push_back(l.ms);
            cpu.push_back(l.cpuMs);
            exitCode = l.exitCode;
        }
        std::sort(times.begin(), times.end());
        std::printf("%-12s %6.1f ms %6.1f ms %6.1f ms %6.1f ms  %d%s\n",
                    number == u"x" ? "start only" : n.c_str(), median(times), times.front(), times.back(),
                    median(cpu), exitCode, number == u"x" ? " (refused)" : "");
    }
    return 0;
}
