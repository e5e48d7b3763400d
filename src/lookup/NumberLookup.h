#pragma once

#include "DesktopLinks.h"

#include <QList>
#include <QString>

#include <optional>

namespace db {
class Database;
struct OwnPaths;
} // namespace db

// Who a telephone number belongs to (the number as desktop_links::readNumber
// reads what a caller passed): the matches of the whole number in the directory (persons and firms, through
// the same telephone scan as the pages) and among the personal contacts; and the lines a lookup prints.
// Widget-free.
namespace number_lookup {

using desktop_links::Number;

enum class Kind { Person, Firm, Personal };

struct Match {
    Kind kind = Kind::Person;
    QString name;
    QString address; // on one line, the parts separated by commas
    QString number;  // the matched number, as desktop_links::shownNumber gives it
};

// "osoba", "firma", "vlastní".
QString kindName(Kind kind);
// The kind, name, address and number separated by tabs; tabs and line breaks
// inside a value become blanks, so that every match stays one line.
QString tabLine(const Match& match);
// One JSON object on one line: kind, name, address, number.
QString jsonLine(const Match& match);

// The whole-number matches of a Czech national number in the directory at
// directoryPath (opened read-only in the workgroup of the file beside it):
// persons, then firms, each in the order the telephone search of their page
// lists them, at most limit of each. The searches use working databases of
// the pages' kinds at the paths' places, which are removed again. Raises
// db::Error.
QList<Match> findInDirectory(const QString& directoryPath, const db::OwnPaths& paths, const QString& digits,
                             int limit = 1000);

// The personal contacts that have the number among their six numbers, in the
// order of their surnames and firms; a stored number is read as readNumber
// reads a passed one, so "+420 604…" and "604…" find each other. Raises db::Error.
QList<Match> findInPersonal(db::Database& personal, const Number& number);

} // namespace number_lookup
