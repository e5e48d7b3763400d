#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace db {

// Column types of the dialect. Counter is a Long that the engine fills when
// the caller leaves it empty.
enum class ColumnType {
    Long,
    Boolean,
    Text,
    Memo,
    Counter,
    Double,
    Byte,       // 0 … 255
    Short,      // 16-bit Integer
    Single,     // 32-bit floating point
    Currency,   // kept as a 64-bit count of ten-thousandths
    DateTime,   // kept as a double counting days from 30 December 1899
    Binary,     // Binary(n): at most n bytes
    LongBinary, // OLE object
    Guid,       // kept as its text "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
    Other,
};

// What a value of a column is to an expression.
enum class ValueClass { None, Text, Number, Boolean, Currency, Date };

// A CHECK of a column: its constraint is named "<kind>:<column>" (":<size>"
// added for sized types), so that a failure can be worded for the user; the
// condition has %1 for the quoted column and %2 for the size.
struct ColumnCheck {
    const char* kind;
    const char* condition;
};

// Everything the engine knows of one column type, in one place: the names
// CREATE TABLE takes, the declared type kept in the file, how a value is
// turned into its stored form, its checks and what its values are to
// expressions.
struct TypeDescription {
    ColumnType type;
    const char* declared; // the declared type kept in the file; "%1" stands for the size
    const char* words;    // type names CREATE TABLE takes, separated by blanks
    int maxSize;          // sized types (Text(n), Binary(n)): the largest and default n; else 0
    const char* store;    // SQL function that turns a value into the stored form, or nullptr
    const char* extra;    // added to the column definition (collation, default), or nullptr
    ValueClass value;
    std::vector<ColumnCheck> checks;
};

const TypeDescription& describe(ColumnType type);
// The type a CREATE TABLE names (letter case ignored); nullptr when none.
const TypeDescription* typeNamed(const QString& word);

// The readable message for a failed check named "<kind>:<column>[:<size>]",
// nullopt when the name is no check of ours.
std::optional<QString> checkFailureMessage(const QString& constraint);

} // namespace db
