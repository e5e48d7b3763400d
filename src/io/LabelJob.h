#pragma once

#include "LabelPrinter.h"

class QPrinter;

namespace db {
class Database;
}

// A print of the marked records of a page's working table.
namespace labels {

// "Ordana 2004 - TISK - OSOBY", "… - FIRMY", "… - VLASTNÍ".
QString jobTitle(Print print);
// The marked rows of the page's working table; the persons and firms prints
// take at most searchLimit of them.
QString markedRowsStatement(Print print, int searchLimit);

// Reads the marked rows with a dataset of its own on the page's result
// connection, so that the page's query, its row and its marks stay as they
// are, and prints them on printer under the job's title. A failure to read
// the first rows raises db::Error before the job begins; a failure after
// that ends the job with what was drawn.
PrintOutcome printMarked(db::Database& results, Print print, io::AddressChoice choice, int searchLimit,
                         QPrinter& printer);

// Told when a job ended early: how many records were printed, and why.
QString incompleteMessage(int printed, const QString& error);

} // namespace labels
