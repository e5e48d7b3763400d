#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace db {
class Database;
struct OwnPaths;
} // namespace db

// Who a telephone number belongs to: the number as a softphone or a mail
// program hands it over, read into the form the directory keeps; the matches
// of the whole number in the directory (persons and firms, through the same
// telephone scan as the pages) and among the personal contacts; and the lines
// a lookup prints. Widget-free.
namespace number_lookup {

// A number read from what a caller passed.
struct Number {
    // The digits as dialled within the country: the national number of a
    // Czech number (+420, 00420 and a bare 420 before nine digits taken off),
    // or "00" and the country code before the digits of a foreign number.
    QString digits;
    // A number of another country, which the directory cannot hold.
    bool foreign = false;
};

// Reads "+420 604 245 324", "00420604245324", "604245324", "604-245-324",
// "tel:+420604245324;phone-context=…", "sip:+420604245324@host;user=phone",
// "sips:…", "callto:…" and the same inside "Name <…>". Blanks, hyphens, dots,
// slashes and brackets between the digits are allowed; nothing is returned
// for a text with letters in its number part or without any digit.
std::optional<Number> readNumber(const QString& text);

enum class Kind { Person, Firm, Personal };

struct Match {
    Kind kind = Kind::Person;
    QString name;
    QString address; // on one line, the parts separated by commas
    QString number;  // the matched number, as shownNumber gives it
};

// A Czech number grouped as the directory shows it ("604 245 324"), a foreign
// one with "+" and its country code ("+49301234567").
QString shownNumber(const Number& number);

// "osoba", "firma", "vlastní".
QString kindName(Kind kind);
// The kind, name, address and number separated by tabs; tabs and line breaks
// inside a value become blanks, so that every match stays one line.
QString tabLine(const Match& match);
// One JSON object on one line: kind, name, address, number.
QString jsonLine(const Match& match);

// The whole-number matches of a Czech national number in the directory at
// directoryPath (with its workgroup file beside it): persons, then firms,
// each in the order the telephone search of their page lists them, at most
// limit of each. The two are searched at the same time, each on a connection
// of its own, with working databases of the pages' kinds at the paths'
// places, which are removed again. Raises db::Error.
QList<Match> findInDirectory(const QString& directoryPath, const db::OwnPaths& paths, const QString& digits,
                             int limit = 1000);

// The personal contacts that have the number among their six numbers, in the
// order of their surnames and firms; a stored number is read as readNumber
// reads a passed one, so "+420 604…" and "604…" find each other. Raises db::Error.
QList<Match> findInPersonal(db::Database& personal, const Number& number);

} // namespace number_lookup
