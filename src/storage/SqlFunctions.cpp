#include "SqlFunctions.h"

#include "CzechText.h"
#include "JetValues.h"
#include "LikePattern.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <limits>

namespace db {
namespace {

QString argText(sqlite3_value* v) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return QString::fromUtf8(p, sqlite3_value_bytes(v));
}

void resultText(sqlite3_context* ctx, const QString& s) {
    const QByteArray b = s.toUtf8();
    sqlite3_result_text(ctx, b.constData(), int(b.size()), SQLITE_TRANSIENT);
}

// jet_fold(x): x in Czech lower case; Null stays Null.
void foldFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    resultText(ctx, czech::fold(argText(argv[0])));
}

void upperFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    resultText(ctx, argText(argv[0]).toUpper());
}

// Errors the functions raise carry this prefix; readableMessage shows the rest
// as it is.
void resultError(sqlite3_context* ctx, const QString& message) {
    const QByteArray b = (QStringLiteral("jet: ") + message).toUtf8();
    sqlite3_result_error(ctx, b.constData(), int(b.size()));
}

void deletePattern(void* p) {
    delete static_cast<LikePattern*>(p);
}

// jet_like(value, pattern): the dialect's LIKE; Null when either side is Null.
void likeFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    auto* pattern = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, 1));
    if (!pattern) {
        try {
            pattern = new LikePattern(argText(argv[1]));
        } catch (const Error& e) {
            resultError(ctx, e.message());
            return;
        }
        sqlite3_set_auxdata(ctx, 1, pattern, deletePattern);
        // SQLite may have dropped it at once; fetch again so we never use a freed one.
        pattern = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, 1));
        if (!pattern) {
            try {
                LikePattern local(argText(argv[1]));
                sqlite3_result_int(ctx, local.matches(argText(argv[0])) ? 1 : 0);
            } catch (const Error& e) {
                resultError(ctx, e.message());
            }
            return;
        }
    }
    sqlite3_result_int(ctx, pattern->matches(argText(argv[0])) ? 1 : 0);
}

// jet_concat(a, b, …): the & operator; a Null operand counts as empty text,
// Null only when every operand is Null.
void concatFn(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    QByteArray out;
    bool any = false;
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) continue;
        any = true;
        const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(argv[i]));
        out.append(p, sqlite3_value_bytes(argv[i]));
    }
    if (!any) return sqlite3_result_null(ctx);
    sqlite3_result_text(ctx, out.constData(), int(out.size()), SQLITE_TRANSIENT);
}

// jet_bool(x): the stored form of a Yes/No value: -1 for true, 0 for false.
// A text must be a logical word (True/False, Yes/No, On/Off, any case) or a
// number; any other text is returned unchanged, so that the column's type
// check refuses it (or skips the row when row errors are ignored).
void boolFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const int t = sqlite3_value_type(argv[0]);
    if (t == SQLITE_NULL) return sqlite3_result_int(ctx, 0);
    if (t == SQLITE_TEXT) {
        const QString s = argText(argv[0]).trimmed();
        for (const char* word : {"true", "yes", "on"})
            if (s.compare(QLatin1String(word), Qt::CaseInsensitive) == 0) return sqlite3_result_int(ctx, -1);
        for (const char* word : {"false", "no", "off"})
            if (s.compare(QLatin1String(word), Qt::CaseInsensitive) == 0) return sqlite3_result_int(ctx, 0);
        bool ok = false;
        const double d = s.toDouble(&ok);
        if (!ok) return sqlite3_result_value(ctx, argv[0]);
        return sqlite3_result_int(ctx, d != 0 ? -1 : 0);
    }
    sqlite3_result_int(ctx, sqlite3_value_double(argv[0]) != 0 ? -1 : 0);
}

const QString kDivisionByZero = QStringLiteral("Dělení nulou.");

bool anyNull(int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return true;
    return false;
}

// An operand of \ and Mod: rounded to a whole number (halves to even) as the
// dialect does; false when it does not fit.
bool wholeOperand(sqlite3_value* v, qint64& out) {
    if (sqlite3_value_numeric_type(v) == SQLITE_INTEGER) {
        out = sqlite3_value_int64(v);
        return true;
    }
    const double d = std::nearbyint(sqlite3_value_double(v));
    if (!(d >= -9.2e18 && d <= 9.2e18)) return false;
    out = qint64(d);
    return true;
}

// jet_div(a, b): the / operator, always a floating-point quotient.
void divFn(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(ctx);
    const double b = sqlite3_value_double(argv[1]);
    if (b == 0) return resultError(ctx, kDivisionByZero);
    sqlite3_result_double(ctx, sqlite3_value_double(argv[0]) / b);
}

// jet_idiv(a, b): the \ operator, whole-number quotient of the rounded operands.
// jet_mod(a, b): the Mod operator, remainder with the sign of a.
void wholeDivision(sqlite3_context* ctx, int argc, sqlite3_value** argv, bool remainder) {
    if (anyNull(argc, argv)) return sqlite3_result_null(ctx);
    qint64 a = 0, b = 0;
    if (!wholeOperand(argv[0], a) || !wholeOperand(argv[1], b))
        return resultError(ctx, QStringLiteral("Přetečení: číslo je příliš velké pro celočíselné dělení."));
    if (b == 0) return resultError(ctx, kDivisionByZero);
    if (b == -1 && a == std::numeric_limits<qint64>::min()) { // a / -1 does not fit
        if (remainder) return sqlite3_result_int64(ctx, 0);
        return resultError(ctx, QStringLiteral("Přetečení: výsledek dělení je příliš velký."));
    }
    sqlite3_result_int64(ctx, remainder ? a % b : a / b);
}

void idivFn(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    wholeDivision(ctx, argc, argv, false);
}
void modFn(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    wholeDivision(ctx, argc, argv, true);
}

// jet_right(x, n): the last n characters of x as text; Null when either is Null.
void rightFn(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(ctx);
    const qint64 n = sqlite3_value_int64(argv[1]);
    if (n < 0)
        return resultError(ctx, QStringLiteral("Neplatný argument funkce Right: počet znaků je záporný."));
    resultText(ctx, argText(argv[0]).right(qsizetype(std::min<qint64>(n, std::numeric_limits<int>::max()))));
}

// jet_len(x): characters of x as text, a NUL counting like any other (SQLite's
// length() stops at the first one); Null stays Null.
// Every CHECK of a text field runs it on each write, so it counts on the UTF-8
// bytes without decoding: one per byte that starts a character, two for a
// character outside the Basic Multilingual Plane (as the text's QString length).
void lenFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    const auto* p = sqlite3_value_text(argv[0]);
    const int bytes = sqlite3_value_bytes(argv[0]);
    qint64 units = 0;
    for (int i = 0; i < bytes; ++i) {
        const unsigned char c = p[i];
        if ((c & 0xC0) != 0x80) ++units;
        if (c >= 0xF0) ++units;
    }
    sqlite3_result_int64(ctx, units);
}

// ---- Dates, amounts, single precision, GUIDs ------------------------------------

QVariant argValue(sqlite3_value* v) {
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_value_int64(v)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_value_double(v));
    case SQLITE_TEXT:
        return QVariant(argText(v));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_value_blob(v)), sqlite3_value_bytes(v)));
    default:
        return QVariant();
    }
}

void resultValue(sqlite3_context* ctx, const QVariant& v, sqlite3_value* original) {
    switch (v.typeId()) {
    case QMetaType::LongLong:
        return sqlite3_result_int64(ctx, v.toLongLong());
    case QMetaType::Double:
        return sqlite3_result_double(ctx, v.toDouble());
    case QMetaType::QString:
        return resultText(ctx, v.toString());
    default:
        return sqlite3_result_value(ctx, original);
    }
}

// jet_tosingle(x), jet_tocurrency(x), jet_todate(x), jet_toguid(x): x in the
// stored form of the column type (the function's user data); a value that is
// no such value stays as it is, for the column's checks to refuse.
void storeFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const auto type = ColumnType(reinterpret_cast<quintptr>(sqlite3_user_data(ctx)));
    resultValue(ctx, storedValue(type, argValue(argv[0])), argv[0]);
}

const QString kNoDate = QStringLiteral("Nesoulad datových typů: hodnotu „%1“ nelze převést na datum.");

// The serial of x: a number as it is, a text read as a date; Null stays Null.
// False after an error was set.
bool serialArg(sqlite3_context* ctx, sqlite3_value* v, std::optional<double>& out) {
    out.reset();
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        return true;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        out = sqlite3_value_double(v);
        return true;
    default: {
        const QString text = argText(v);
        out = jet_values::parseDate(text, jet_values::DateOrder::DayFirst);
        if (!out) resultError(ctx, kNoDate.arg(text));
        return bool(out);
    }
    }
}

// jet_cdate(x): CDate, the date of a number or a text; a text that is no date is an error.
void cdateFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
    std::optional<double> serial;
    if (!serialArg(ctx, argv[0], serial)) return;
    if (!serial) return sqlite3_result_null(ctx);
    sqlite3_result_double(ctx, *serial);
}

// jet_datetext(x): a day count as the text of its date; anything else as it is.
void dateTextFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const int t = sqlite3_value_type(argv[0]);
    if (t != SQLITE_INTEGER && t != SQLITE_FLOAT) return sqlite3_result_value(ctx, argv[0]);
    resultText(ctx, jet_values::dateText(sqlite3_value_double(argv[0])));
}

// jet_now(), jet_today(): the local date and time, the local date.
void nowFn(sqlite3_context* ctx, int, sqlite3_value**) {
    QDateTime now = QDateTime::currentDateTime();
    now.setTime(QTime(now.time().hour(), now.time().minute(), now.time().second()));
    sqlite3_result_double(ctx, jet_values::serialFromDateTime(now));
}
void todayFn(sqlite3_context* ctx, int, sqlite3_value**) {
    sqlite3_result_double(ctx, jet_values::serialFromDateTime(QDate::currentDate().startOfDay()));
}

// jet_datepart(x, 'y' | 'm' | 'd'): Year, Month, Day of a date.
void datePartFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
    std::optional<double> serial;
    if (!serialArg(ctx, argv[0], serial)) return;
    if (!serial) return sqlite3_result_null(ctx);
    const QDate d = jet_values::dateOfSerial(*serial);
    const char part = char(sqlite3_value_text(argv[1])[0]);
    sqlite3_result_int(ctx, part == 'y' ? d.year() : part == 'm' ? d.month() : d.day());
}

// jet_dateserial(y, m, d): DateSerial; months and days past their ends carry
// over (month 13 is January of the next year, day 0 the last of the month before).
void dateSerialFn(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(ctx);
    qint64 y = 0, m = 0, d = 0;
    if (!wholeOperand(argv[0], y) || !wholeOperand(argv[1], m) || !wholeOperand(argv[2], d) ||
        std::abs(y) > 100000 || std::abs(m) > 1200000 || std::abs(d) > 100000000)
        return resultError(ctx, QStringLiteral("Neplatný argument funkce DateSerial."));
    if (y >= 0 && y < 30)
        y += 2000;
    else if (y >= 30 && y < 100)
        y += 1900;
    const QDate date = QDate(int(y), 1, 1).addMonths(int(m - 1)).addDays(d - 1);
    const std::optional<double> serial =
        date.isValid() ? jet_values::serialOf(date.year(), date.month(), date.day()) : std::nullopt;
    if (!serial)
        return resultError(ctx, QStringLiteral("Neplatný argument funkce DateSerial: datum leží mimo "
                                               "1.1.100 až 31.12.9999."));
    sqlite3_result_double(ctx, *serial);
}

int collate(void* arg, int n1, const void* s1, int n2, const void* s2) {
    auto* c = static_cast<czech::Collator*>(arg);
    return c->compareUtf8(QByteArrayView(static_cast<const char*>(s1), n1),
                          QByteArrayView(static_cast<const char*>(s2), n2));
}

void deleteCollator(void* arg) {
    delete static_cast<czech::Collator*>(arg);
}

} // namespace

void registerSqlFunctions(sqlite3* h) {
    const int det = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function_v2(h, "jet_fold", 1, det, nullptr, foldFn, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(h, "jet_upper", 1, det, nullptr, upperFn, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(h, "jet_like", 2, det, nullptr, likeFn, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(h, "jet_concat", -1, det, nullptr, concatFn, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(h, "jet_bool", 1, det, nullptr, boolFn, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(h, "jet_div", 2, det, nullptr, divFn, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(h, "jet_idiv", 2, det, nullptr, idivFn, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(h, "jet_mod", 2, det, nullptr, modFn, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(h, "jet_len", 1, det, nullptr, lenFn, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(h, "jet_right", 2, det, nullptr, rightFn, nullptr, nullptr, nullptr);
    for (ColumnType type : {ColumnType::Single, ColumnType::Currency, ColumnType::DateTime, ColumnType::Guid})
        sqlite3_create_function_v2(h, describe(type).store, 1, det, reinterpret_cast<void*>(quintptr(type)),
                                   storeFn, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(h, "jet_cdate", 1, det, nullptr, cdateFn, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(h, "jet_datetext", 1, det, nullptr, dateTextFn, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(h, "jet_now", 0, SQLITE_UTF8, nullptr, nowFn, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(h, "jet_today", 0, SQLITE_UTF8, nullptr, todayFn, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(h, "jet_datepart", 2, det, nullptr, datePartFn, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(h, "jet_dateserial", 3, det, nullptr, dateSerialFn, nullptr, nullptr, nullptr);
    sqlite3_create_collation_v2(h, "CZ", SQLITE_UTF8, new czech::Collator, collate, deleteCollator);
}

} // namespace db
