#pragma once

#include <QString>

// The personal database file in the user's data folder.
namespace personal_file {

// Copies an earlier personal database (kept beside the program by earlier
// versions) to target, with its rollback journal when it has one, readable by
// the user alone. Only when target does not exist and earlier does; earlier is
// left as it is and an existing target is never replaced. The copy appears at
// target only when complete. False when a copy was due and failed.
bool adoptEarlier(const QString& earlier, const QString& target);

// True when the folder may be written: the system lets this user write it, and
// it is not marked read-only (a folder without its owner's write permission
// counts as marked, whoever runs the program).
bool writableFolder(const QString& folder);

// True when the database file and its folder may be written, in the sense of
// writableFolder for both.
bool writable(const QString& path);

} // namespace personal_file
