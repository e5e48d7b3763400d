#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The addresses handed to the desktop to call a number ("tel:") and to show
// an address on the map (OpenStreetMap's search in the browser).
namespace desktop_links {

// A telephone number read from what a person or a program wrote.
struct Number {
    // The digits as dialled within the country: the national number of a
    // Czech number (+420, 00420 and a bare 420 before nine digits taken off),
    // or "00" and the country code before the digits of a foreign number.
    QString digits;
    // A number of another country.
    bool foreign = false;
};

// Reads "+420 604 245 324", "00420604245324", "604245324", "604-245-324",
// "tel:+420604245324;phone-context=…", "sip:+420604245324@host;user=phone",
// "sips:…", "callto:…" and the same inside "Name <…>": the forms softphones
// pass a caller in. Blanks, hyphens, dots, slashes and brackets between the
// digits are allowed; nothing is returned for a text with anything else in
// its number part, or without a digit.
std::optional<Number> readNumber(const QString& text);
// A Czech number grouped as the directory shows it ("604 245 324"), a foreign
// one with "+" and its country code ("+49301234567").
QString shownNumber(const Number& number);

// The tel: address of a number as a record shows it: the leading part of the
// text that reads as a number (digits with the blanks, dashes, slashes, dots
// and brackets it is grouped with; "+" only before the first digit), read as
// readNumber reads it. A foreign number is "tel:+<country code><digits>", a
// Czech number of 9 digits gets "+420"; any other number is called as it is
// ("tel:112"). Empty when the text has no digit there.
QString telUri(const QString& number);

// The search text for an address given as lines ("street number", the part
// of the municipality, "code   municipality"): the lines with their runs of
// blanks made single, empty lines left out, joined by ", ".
QString addressQuery(const QStringList& lines);
// OpenStreetMap's search for the text, percent-encoded; empty for no text.
QString mapUri(const QString& query);

// What "Volat…" and "Zobrazit na mapě" offer for one record.
struct Links {
    // The numbers as the chooser shows them, and their tel: addresses in
    // the same order; a number without digits is left out.
    QStringList numbers;
    QStringList telUris;
    // Empty when the record has no address.
    QString mapUri;

    // Offers shown for calling, dialled as number.
    void addNumber(const QString& shown, const QString& number);
};

} // namespace desktop_links
