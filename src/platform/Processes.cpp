#include "Processes.h"

#include <QFileInfo>
#include <QString>

#include <cerrno>
#include <csignal>
#include <sys/types.h>

namespace platform {

bool processRuns(qint64 pid) {
    if (pid <= 0) return true;
    // Where the process table is mounted, every running process has its folder.
    if (QFileInfo(QStringLiteral("/proc/self")).isDir())
        return QFileInfo(QStringLiteral("/proc/%1").arg(pid)).isDir();
    if (pid != qint64(pid_t(pid))) return false;
    // Signal 0 only asks; a process of another user answers "not permitted".
    return ::kill(pid_t(pid), 0) == 0 || errno != ESRCH;
}

} // namespace platform
