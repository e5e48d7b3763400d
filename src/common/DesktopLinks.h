#pragma once

#include <QString>
#include <QStringList>

// The addresses handed to the desktop to call a number ("tel:") and to show
// an address on the map (OpenStreetMap's search in the browser).
namespace desktop_links {

// The tel: address of a number as a record shows it: the leading part of the
// text that reads as a number (digits with the blanks, dashes, slashes, dots
// and brackets it is grouped with; "+" only before the first digit), its
// digits only. A number given with "+" or "00" stays international
// ("tel:+<digits>"); a Czech number of 9 digits gets "+420", 12 digits
// beginning with 420 get "+"; any other number is called as it is
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
