#pragma once

#include <QString>
#include <QStringList>

// Display forms of numbers and codes used across the program.
namespace text {

// "123456789" -> "123 456 789"; "+" "(" ")" are not counted; shorter than 3 unchanged.
QString phoneGrouping(const QString& number);
// Exactly five characters -> "123 45"; anything else unchanged.
QString postalCodeSplit(const QString& code);
// Removes every blank (space character).
QString removeBlanks(const QString& text);
// The digits 0-9 of the text, everything else left out.
QString digitsOnly(const QString& text);
// A blank before every third character counted from the right: "1250" -> "1 250",
// "250" -> " 250"; shorter than 3 unchanged.
QString thousandsGrouping(const QString& digits);
// The lines, each ended by CR LF: text for the clipboard.
QString withCrLf(const QStringList& lines);

} // namespace text
