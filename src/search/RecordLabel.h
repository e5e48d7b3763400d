#pragma once

#include "DesktopLinks.h"

#include <QList>
#include <QString>
#include <QStringList>

// The record label of the persons and firms pages: a small visiting card of
// the current result row (name, numbers, address) and the texts that its
// three copy images put on the clipboard. Widget-free; the page fills its
// text box and the clipboard from these.
namespace record_label {

// The current row of a persons or firms result page, as the working table
// holds it: Tel already grouped, postalCode already split.
struct LabelRecord {
    bool firm = false;
    QString title, firstName, surname; // persons
    QString firmName;                  // firms
    QString tel;
    QString note; // Poznamka: the firm's note; for both it may carry the EuroISDN mark
    QString street, houseNumber, part, municipality, postalCode;
    QString euroIsdn; // subscriber key of the additional numbers; empty when it has none
};

// An address as the labels show it: the street, house number, part of the
// municipality, municipality and postal code (already split) of one row. Any
// part may be empty; an empty part counts as absent.
struct Address {
    QString street, houseNumber, part, municipality, postalCode;
};

// The address block of a label: "Adresa:    street number" with the part of
// the municipality indented on a line of its own; without a street but with a
// house number "Adresa:    part number", else "Adresa:    municipality number",
// else no such line; with neither street nor house number "Adresa:" alone.
// Then the town: "code     municipality" when both are present, otherwise the
// code alone and the municipality indented, each when present.
QStringList labelAddressLines(const Address& address);
// The postal address without the name: "street number" and the part of the
// municipality on its own line (without a street: "part number", else
// "municipality number"); then "code   municipality", or the municipality and
// the code on lines of their own, each when present.
QStringList postalAddressLines(const Address& address);
// The postal address on one line: its lines with the runs of blanks made
// single, separated by ", " ("Na Příkopě 12, Nové Město, 110 00 Praha").
QString oneLineAddress(const Address& address);

// One additional number of a subscriber, as read from the directory.
struct ExtraNumber {
    QString number; // grouped
    QString note;
    // Read from a plain Tel column rather than from the scrambled pair; the two
    // forms are shown and offered differently.
    bool fromTelColumn = false;
};

// A row that has a plain Tel column.
ExtraNumber extraNumberFromTel(const QString& tel, const QString& note);
// A row without one: Tel_a followed by TelExt_a, unscrambled with the row's ID.
ExtraNumber extraNumberFromStored(const QString& telA, const QString& telExtA, const QString& id,
                                  const QString& note);

// Additional numbers are looked up only for a row with a subscriber key.
bool hasExtraNumbers(const LabelRecord& record);
// Opened only to learn whether the additional numbers table has a Tel column.
QString extraNumbersProbeSql(bool firm);
// The additional numbers of the subscriber, in the form the table holds them.
QString extraNumbersSql(bool firm, bool hasTelColumn, const QString& euroIsdn);

// True when the note, with A-Z folded to lower case, contains "euroisdn".
bool marksEuroIsdn(const QString& note);

// The name line: "Prijmeni Jmeno[, Titul]" for persons, the firm name for firms.
QString nameLine(const LabelRecord& record);

// The address of the row.
Address addressOf(const LabelRecord& record);

// The lines of the label. Extra numbers are ignored for a row without a
// subscriber key.
QStringList labelLines(const LabelRecord& record, const QList<ExtraNumber>& extras);
// The label needs a vertical scroll bar when it has more lines than fit.
bool needsScrollBar(const QStringList& lines);
// "Copy all": every line followed by CR LF; nothing for an empty label.
QString copyAllText(const QStringList& lines);

// The items of the number picker: the main number when there is one, then the
// additional numbers ("number   note" when read from a Tel column, the number
// alone otherwise).
QStringList numberPickerItems(const LabelRecord& record, const QList<ExtraNumber>& extras);
// The clipboard text for the ticked picker items, in list order: the number of
// each item with every blank removed; one item gives its bare digits, several
// give one per line (CR LF) followed by one more CR LF. A note shown after a
// number in the picker is not part of the copied number.
QString numbersClipboardText(const QStringList& tickedItems);
// The clipboard text for chosen numbers, in the given order: each with every
// blank removed; one number alone, several one per line (CR LF) followed by
// one more CR LF; nothing for no number.
QString numbersText(const QStringList& numbers);

// The postal address: name line (for firms the firm name, even when empty),
// street line, town lines.
QStringList addressLines(const LabelRecord& record);
// Every address line followed by CR LF.
QString addressClipboardText(const QStringList& lines);

// The address as the map searches it: the street line as the label shows it,
// the part of the municipality, and the postal code with the municipality,
// joined by ", ", empty parts left out ("Dlouhá 12, Černá Pole, 602 00 Brno").
QString mapQuery(const Address& address);
// What "Volat…" and "Zobrazit na mapě" offer: the number picker's items (a
// note shown after a number is not dialled) and the record's address.
desktop_links::Links links(const LabelRecord& record, const QList<ExtraNumber>& extras);

} // namespace record_label
