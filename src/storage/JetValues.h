#pragma once

#include "ColumnTypes.h"

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <optional>

// Values of the dialect's Date/Time and Currency types as the engine keeps
// them: a date is a double counting days from 30 December 1899 (the fraction
// is the time of day; before that day the whole part counts back and the
// fraction still runs forward), a currency amount is a 64-bit count of
// ten-thousandths.
namespace db::jet_values {

// Earliest and latest day a date may hold: 1 January 100 and 31 December 9999.
inline constexpr double kFirstDay = -657434.0;
inline constexpr double kLastDay = 2958465.0;
inline constexpr qint64 kCurrencyScale = 10000;

// Day, month, year as the text of a date is read: a statement's #…# literals
// put the month first (3/1/2004 is 1 March), texts typed by a person the day
// first (1.3.2004). Both read ISO (2004-03-01) too.
enum class DateOrder { MonthFirst, DayFirst };

double serialFromDateTime(const QDateTime& value);
QDateTime dateTimeFromSerial(double serial); // UTC, so that no day lacks an hour
// The serial of a date and time of day; nullopt when the date does not exist
// or lies outside kFirstDay … kLastDay.
std::optional<double> serialOf(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
// Year, month and day of a serial.
QDate dateOfSerial(double serial);

// "2004-03-01", "3/1/2004 10:20:30", "1.3.2004 10:20", "10:20:30"; leading and
// trailing blanks ignored. nullopt when the text is no date.
std::optional<double> parseDate(const QString& text, DateOrder order);

// The Czech general form: "1.3.2004 10:20:30", a whole day without the time
// ("1.3.2004"), a time alone when the day is 30 December 1899 ("10:20:30").
QString dateText(double serial);
// The day and the time always: "1.3.2004 0:00:00".
QString dateTimeText(double serial);
// "2004-03-01 10:20:30".
QString isoDateText(double serial);

// The stored count of ten-thousandths of an amount, rounded half to even;
// nullopt when it does not fit in 64 bits.
std::optional<qint64> currencyFromNumber(double amount);
// An amount written with "." or "," as its decimal mark, read exactly.
std::optional<qint64> currencyFromText(const QString& text);
// "1234.5000": every amount with four decimals, read back exactly.
QString currencyText(qint64 tenThousandths);

} // namespace db::jet_values

namespace db {

// The stored form of a value for a column of the type, as the column's store
// function makes it in statements; a value it cannot convert comes back as it
// is, for the column's checks to refuse with their message.
QVariant storedValue(ColumnType type, const QVariant& value);
// A stored value as the engine hands it out: a date as a QDateTime (UTC), an
// amount as a double, a Single as a double.
QVariant shownValue(ColumnType type, const QVariant& stored);
// The text form the engine shows: dates in the Czech general form, amounts
// with four decimals; nullopt for types whose values show as they are.
std::optional<QString> shownText(ColumnType type, const QVariant& stored);

} // namespace db
