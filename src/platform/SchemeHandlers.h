#pragma once

#include <QString>

namespace platform {

// Whether the desktop has a program for addresses of the scheme ("tel"), as
// the freedesktop associations of MIME types with applications name it for
// "x-scheme-handler/<scheme>": a default or an added association in a
// mimeapps.list (the desktop-specific ones of $XDG_CURRENT_DESKTOP first) in
// the XDG config folders and the applications folders of the XDG data
// folders, or a desktop file listed in an applications folder's
// mimeinfo.cache; associations removed by a list of higher precedence do not
// count. The desktop file named must be installed in an applications folder
// (and not hidden there). Reads only those files, so that asking costs no
// start-up time.
bool desktopHandlesScheme(const QString& scheme);

} // namespace platform
