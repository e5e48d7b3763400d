#pragma once

#include "Maker.h"

#include <QString>

class Application;

// The size the directory database file must have.
inline constexpr qint64 kDirectoryDbSize = 456028160;
inline const QString& kMainCaption = maker::kMainCaption;

enum class StartupOutcome { Run, Cancelled, WrongDatabase };

// Finds the directory database before any window exists: a hard-disk copy named
// by the "Disk" settings (current user, then local machine), the program's own
// DATA folder, the user's data folder, the disc named by "Source", or a scan of
// the drives, asking for the disc until it is inserted or the user gives up.
// Refreshes the "Target" settings where they exist. Refuses a file of the wrong
// size. Sets the application's directoryDbPath, sourceDbPath and
// directoryDbOnDisk.
StartupOutcome locateDirectory(Application& app);
