#pragma once

#include <QString>

namespace platform {

// A folder only this user can enter (mode 0700), for files that must not be
// shared with other users: the user's runtime folder ($XDG_RUNTIME_DIR),
// else a folder in the user's cache folder, made when missing. Empty when
// neither can be had; the caller then asks the user for a folder.
QString privateFolder();

} // namespace platform
