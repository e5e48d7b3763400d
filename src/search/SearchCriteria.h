#pragma once

#include "TextHelpers.h"

#include <QList>
#include <QString>
#include <QStringList>

// What the persons and firms pages make of their search fields: the cleaned
// values, the checks against the directory's lookup lists and the lines of the
// search statement. Widget-free; the page copies its boxes into SearchFields,
// writes the normalised values back and runs the probes and the statement.
namespace search_criteria {

enum class Directory { Persons, Firms };

// The search boxes of a page. Which box is meant, for the page's focus.
enum class Field { Name, Second, Street, HouseNumber, Municipality, PostalCode, Telephone };

struct SearchFields {
    QString name{};   // persons: surname; firms: firm name
    QString second{}; // persons: first name; firms: note
    QString street{};
    QString houseNumber{};
    QString municipality{};
    QString postalCode{};
    QString telephone{};
    int region = 0;       // index in the region list; 0 is "all regions"
    QString regionText{}; // the selected item, put into the region condition as it is
    bool nameWildcard = false;
    bool streetWildcard = false;
    bool municipalityWildcard = false;
};

// The digits 0-9 of the text, everything else left out.
using text::digitsOnly;

// "*" alone, "?" alone and any value containing "[" become empty; anything else
// is returned unchanged.
QString valueFilter(const QString& value);

// Cleans the fields in place: every text field through valueFilter; blanks out
// of the postal code and everything but digits out of the telephone number;
// then a "*" appended to name, street and municipality when their switch is on,
// the field is not empty and does not already end in "*".
void normalise(SearchFields& fields);

// Nothing to search for: every text field empty and no region chosen.
bool isEmptyRequest(const SearchFields& fields);
// What a page says when a search is asked for with every field empty.
inline const QString kEmptyRequestMessage = QStringLiteral("Není zadán žádný parametr pro vyhledávání.    ");

// The value as a literal of the engine's dialect: between double quotes, each
// double quote inside doubled, so that typed text stays one literal.
QString quoted(const QString& value);

// One check of a filled field against its lookup table.
struct Probe {
    Field field;
    QString table;
    QString column;
    QString value;
    QString message; // shown when the value is not in the table
};

// The checks to run, in validation order, for the fields that are not empty.
// A firms municipality that contains "šternberk" or "štramberk" is not checked:
// the statement searches it under its known spellings instead.
QList<Probe> probes(Directory directory, const SearchFields& fields);

// The statement that finds whether value occurs in table.column; the value is
// found when it returns a row.
QString probeStatement(const QString& table, const QString& column, const QString& value);
inline QString probeStatement(const Probe& probe) {
    return probeStatement(probe.table, probe.column, probe.value);
}

// The search statement as lines: head, body, WHERE line, one line per condition.
// Expects normalised fields. searchLimit + 1 is the row limit of a search
// without telephone number; a telephone search has no row limit.
QStringList statementLines(Directory directory, const SearchFields& fields, int searchLimit);

// The statement that counts every match: the lines joined by line breaks, with
// the row limit taken out of the head.
QString countStatement(const QStringList& lines, int searchLimit);

// A telephone search's statement turned to the additional numbers: its
// conditions on the main number's leading digits become conditions on those
// of the additional numbers.
QStringList extraNumbersLines(Directory directory, const QStringList& lines);

} // namespace search_criteria
