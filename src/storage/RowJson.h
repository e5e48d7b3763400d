#pragma once

#include <QByteArray>

namespace db {

class Dataset;

// The dataset's current row as one line of JSON (without the line break):
// an object with the column names as keys in the select's order, Null left
// out, Yes/No as true or false, a date as "YYYY-MM-DD hh:mm:ss", an amount
// and every other number as a JSON number (an amount with its four decimals,
// exactly), binary data as {"$binary": "BASE64"}, text as a string.
QByteArray rowAsJson(const Dataset& dataset);

} // namespace db
