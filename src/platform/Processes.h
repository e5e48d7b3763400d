#pragma once

#include <QtGlobal>

namespace platform {

// True when a process with this id runs on this machine (for any user). When
// the answer cannot be had it is true, so that nothing of a running process is
// ever taken for left over.
bool processRuns(qint64 pid);

} // namespace platform
