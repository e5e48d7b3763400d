#pragma once

#include "Startup.h"

// After locateDirectory() gave StartupOutcome::Convert: converts the directory
// database found (a Jet file, named by directoryDbPath) into
// converted_copy::directoryPath(), beside the program's own workgroup file, showing
// the conversion window, and points directoryDbPath at the copy (Run). Storno
// in the window ends as Storno at the disc prompt does (Cancelled), with
// nothing of the conversion left behind. A failure shows its reason and ends
// as a wrong database does (WrongDatabase).
StartupOutcome prepareDirectory(Application& app);
