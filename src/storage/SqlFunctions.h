#pragma once

#include <sqlite3.h>

namespace db {

// Registers the dialect's functions and the Czech collation "CZ" on a
// connection. Every connection that reads or writes our files needs them:
// text columns are declared with the collation and indexes may use jet_fold.
void registerSqlFunctions(sqlite3* handle);

} // namespace db
