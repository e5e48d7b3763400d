#pragma once

#include "SqlTranslator.h"

struct sqlite3;

namespace db {

// The engine's text driver: writes the rows of
//   SELECT … INTO file IN "" "Text;DATABASE=folder;…" FROM …
// into a text file of that folder, laid out by the folder's schema.ini.
//
// - The target names the file, every "#" standing for "." (export#txt is export.txt).
// - The section of schema.ini named after the file (letter case ignored) gives
//   the layout: Format (Delimited(x), TabDelimited, CSVDelimited, FixedLength;
//   CSVDelimited when absent), ColNameHeader (True or False; True when absent),
//   CharacterSet (ANSI, which is Windows-1250, or UTF-8; ANSI when absent) and
//   the lines Col1, Col2 … "name [type] [Width n]", matched to the select's
//   columns by position.
// - Delimited files: text between double quotes with inner quotes doubled,
//   numbers bare (a column declared as a number, or a number value in an
//   undeclared column) with the default locale's decimal point, Null as
//   nothing. A date is written bare with its time, day first
//   ("1.3.2004 0:00:00"), an amount bare with four decimals ("1234.5000"). Fixed-length files: every column
//   padded with blanks to its width and cut there, no delimiters and no quotes. The header line, when asked
//   for, holds the Col lines' names (the select's names where a column has no
//   Col line). Every line ends in CR LF.
// - The file is created whole or not at all; an existing file is never
//   replaced, and schema.ini is only read.
class TextDriver {
  public:
    // Runs the translated statement on the connection and writes its rows.
    // Returns the number of rows written. Throws db::Error with the reason,
    // leaving neither the file nor a temporary file behind.
    static int exportRows(sqlite3* handle, const Translation& statement);
};

} // namespace db
