#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

// What the Vlastní page makes of its search boxes, its alphabet bar and its
// all-records picture: the cleaned values, the checks against the personal
// records, and the statements of the personal cursor. Widget-free; the page
// copies its boxes into Fields, writes the cleaned values back and hands the
// statements to PersonalSearch.
//
// Every typed value reaches a statement through search_criteria::quoted, so
// that it stays one literal whatever it holds.
namespace personal_criteria {

// The search boxes, in the order of the page (and of the focus rule).
enum class Field { Surname, FirstName, Firm, Street, HouseNumber, Town, PostalCode, Phone };
constexpr int kFieldCount = 8;

struct Fields {
    std::array<QString, kFieldCount> text{};
    // The wildcard switches; only surname, firm, street and town have one,
    // the others are never switched on.
    std::array<bool, kFieldCount> wildcard{};

    QString& operator[](Field f) { return text[size_t(f)]; }
    const QString& operator[](Field f) const { return text[size_t(f)]; }
    bool& wildcardOf(Field f) { return wildcard[size_t(f)]; }
    bool wildcardOf(Field f) const { return wildcard[size_t(f)]; }
};

// Whether the box has a wildcard switch beside it.
bool hasWildcardSwitch(Field field);

// Cleans the fields in place, in this order: "*" alone, "?" alone and any
// value containing "[" become empty; the blanks go out of the postal code and
// everything but digits out of the telephone number; then each switched-on
// box that is not empty and does not end in "*" gets "*" appended.
void normalise(Fields& fields);

// Nothing to search for: all eight boxes empty.
bool isEmptyRequest(const Fields& fields);

// The first box that is not empty, in page order; the focus goes there when a
// search lists nothing. Surname when all are empty.
Field firstFilled(const Fields& fields);

// One check of a filled box against the personal records: it passes when any
// of its columns has a matching value.
struct Probe {
    Field field;
    QStringList columns; // tried in this order
    QString value;
    QString message; // shown when no column matches
};

// The checks to run, in validation order, for the boxes that are not empty.
// The telephone number is not checked.
QList<Probe> probes(const Fields& fields);

// The statement that finds whether value matches in column of the personal
// records; the value is found when it returns a row.
QString probeStatement(const QString& column, const QString& value);

// The search statement as lines: the head with the row limit, then one
// condition line per filled box, each after the first opened by " AND ".
// Expects normalised fields.
QStringList statementLines(const Fields& fields, int searchLimit);

// The letters an alphabet-bar letter stands for: itself, then its accented
// forms ("r" gives r, ř; "e" gives e, é, ě). Empty for anything but a–z.
QStringList letterGroup(QChar letter);
// The condition that selects the records whose surname or firm begins with a
// letter of the group, the group's letters in order.
QString letterCondition(QChar letter);
// The whole statement of a letter: the condition, ordered by surname and firm.
QString letterStatement(QChar letter);
// Every personal record, ordered by surname and firm.
QString allRecordsStatement();

} // namespace personal_criteria
