#pragma once

#include "Maker.h"

#include <QString>

class Application;

// The size the directory database file must have.
inline constexpr qint64 kDirectoryDbSize = 456028160;
inline const QString& kMainCaption = maker::kMainCaption;

// Convert: the file found is the directory as the disc brings it (a Jet
// file), the user agreed to have it prepared, and prepareDirectory() is next.
enum class StartupOutcome { Run, Cancelled, WrongDatabase, Convert };

// Finds the directory database before any window exists: a hard-disk copy named
// by the "Disk" settings (current user, then local machine), the program's own
// DATA folder, the user's data folder, the disc named by "Source", or a scan of
// the drives, asking for the disc until it is inserted or the user gives up.
// Refreshes the "Target" settings where they exist. Refuses a file of the wrong
// size, except a converted copy of the disc's database, which has a size of its
// own. Sets the application's directoryDbPath, sourceDbPath and
// directoryDbOnDisk.
//
// A file found in the disc's own format (a Jet file) is used through its
// converted copy in the user's data folder: directoryDbPath then names that
// copy. When there is none made from that same file yet, the user is asked
// whether to prepare it now: No ends as Storno at the disc prompt does
// (Cancelled), Yes gives Convert with directoryDbPath still naming the file found.
StartupOutcome locateDirectory(Application& app);
