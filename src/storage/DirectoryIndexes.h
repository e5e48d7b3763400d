#pragma once

#include <QString>

namespace db {

class Database;

// The column that keys every table of the directory that has one: a Long
// whose value the other tables refer to. The statements join through it, so
// it is the table's primary key (its row number in our engine).
inline const QString kDirectoryKey = QStringLiteral("ID");

// The indexes the directory's searches rely on, and the statistics the
// planner needs to use them: built once the directory's rows are in, by the
// generator and by the conversion of the disc's file alike.
void createDirectoryIndexes(Database& directory);

} // namespace db
