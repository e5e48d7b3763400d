#pragma once

#include <QString>

namespace db {

// The account with which the program creates and opens its own databases and
// the directory. Built at run time; neither string is stored whole.
struct Login {
    QString user;
    QString password;
};

Login databaseLogin();

// Writes a workgroup file that holds the program's account.
void createLoginWorkgroup(const QString& path);

} // namespace db
