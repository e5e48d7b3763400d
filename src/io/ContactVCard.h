#pragma once

#include "ContactImport.h"
#include "VCard.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <utility>

// A personal record as a vCard and back. Which property fills which columns
// is one table (ContactVCard.cpp); reading and writing both follow it.
// Widget-free.
namespace io {

// The new personal record a card gives: its texts fitted to the columns, the
// address kind from the preferred address (PREF, or TYPE=pref) or else the
// first address, and what the record has no room for counted as left out.
NewRecord recordFromCard(const vcard::Card& card);

// The card of a personal record as vCard 4.0 content lines, BEGIN to END.
// column gives the text of a column of the personal table.
QByteArray cardOf(const std::function<QString(const QString& column)>& column);

// A street as the record keeps it: the street and the house number, which is
// the last word when that begins with a digit ("Dlouhá 12/3" gives "Dlouhá"
// and "12/3"; "12" gives "" and "12").
std::pair<QString, QString> splitStreet(const QString& street);

} // namespace io
