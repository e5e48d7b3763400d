#pragma once

#include "Error.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <optional>
#include <utility>

namespace db {
class Dataset;
}

// The row mappings of the copy steps: a fetched directory row into the working
// table or into the phone buffer, and a buffer row into the working table.
// Values travel as text; an empty (Null) value is never written, so the target
// column stays Null. Reading or writing a column may throw db::Error; the
// columns before the failing one are then already set, and the caller posts
// the row as far as it was filled. The caller appends and posts the row.
namespace row_copy {

enum class Directory { Persons, Firms };

// The plain digits of a stored number: when telA and telExtA together are longer
// than four characters and id is not empty, telA (only its first four characters
// unless wholeTelA) followed by telExtA, unscrambled with id; otherwise telA.
QString storedNumber(const QString& telA, const QString& telExtA, const QString& id, bool wholeTelA);

// Directory row to the working row: ID2 = runningNumber, the address columns, the
// postal code split, the number unscrambled and grouped. ID and Zn are not written.
void copyToWorking(Directory directory, const db::Dataset& directoryRow, db::Dataset& working,
                   int runningNumber);

// The whole number of a directory row as the phone buffer holds it: all of
// Tel_a followed by TelExt_a, unscrambled, not grouped.
QString wholeNumber(const db::Dataset& directoryRow);

// A phone buffer row read from a directory row and kept until it is written:
// the columns with their values in the order they are set, as far as reading
// went; error holds the failure that ended the reading, if any.
struct BufferRow {
    QList<std::pair<QString, QVariant>> values;
    std::optional<db::Error> error;
    // The value of a column as text; empty when the row does not set it.
    QString text(const QString& column) const;
};

// Directory row to the phone buffer row: ID2 = 1, ID, the address columns, the
// postal code as stored and the whole number. Never throws.
BufferRow bufferRow(Directory directory, const db::Dataset& directoryRow);
// Sets the row's values on the buffer's appended row; then raises the row's
// error if it has one.
void writeBufferRow(const BufferRow& row, db::Dataset& buffer);
// Both at once.
void copyToBuffer(Directory directory, const db::Dataset& directoryRow, db::Dataset& buffer);

// The statement storing an additional number in the phone buffer, both values
// between double quotes with any double quote inside doubled.
QString extraNumberInsert(Directory directory, const QString& number, const QString& euroIsdn);

// Buffer row to the working row: ID2 = runningNumber, ID, the address columns,
// the postal code split and the buffer's number grouped.
void copyBufferToWorking(Directory directory, const db::Dataset& bufferRow, db::Dataset& working,
                         int runningNumber);

} // namespace row_copy
