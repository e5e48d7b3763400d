#include "SqlFunctions.h"

#include "CzechText.h"
#include "LikePattern.h"

#include <QString>

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

void deletePattern(void* p) { delete static_cast<LikePattern*>(p); }

// jet_like(value, pattern): the dialect's LIKE; Null when either side is Null.
void likeFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    auto* pattern = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, 1));
    if (!pattern) {
        try {
            pattern = new LikePattern(argText(argv[1]));
        } catch (const std::exception& e) {
            sqlite3_result_error(ctx, e.what(), -1);
            return;
        }
        sqlite3_set_auxdata(ctx, 1, pattern, deletePattern);
        // SQLite may have dropped it at once; fetch again so we never use a freed one.
        pattern = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, 1));
        if (!pattern) {
            try {
                LikePattern local(argText(argv[1]));
                sqlite3_result_int(ctx, local.matches(argText(argv[0])) ? 1 : 0);
            } catch (const std::exception& e) {
                sqlite3_result_error(ctx, e.what(), -1);
            }
            return;
        }
    }
    sqlite3_result_int(ctx, pattern->matches(argText(argv[0])) ? 1 : 0);
}

// jet_concat(a, b): the & operator; a Null operand counts as empty text,
// Null only when both are Null.
void concatFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const bool n0 = sqlite3_value_type(argv[0]) == SQLITE_NULL;
    const bool n1 = sqlite3_value_type(argv[1]) == SQLITE_NULL;
    if (n0 && n1) return sqlite3_result_null(ctx);
    QByteArray out;
    if (!n0) out.append(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])), sqlite3_value_bytes(argv[0]));
    if (!n1) out.append(reinterpret_cast<const char*>(sqlite3_value_text(argv[1])), sqlite3_value_bytes(argv[1]));
    sqlite3_result_text(ctx, out.constData(), int(out.size()), SQLITE_TRANSIENT);
}

// jet_bool(x): the stored form of a Yes/No value: -1 for true, 0 for false.
void boolFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const int t = sqlite3_value_type(argv[0]);
    if (t == SQLITE_NULL) return sqlite3_result_int(ctx, 0);
    if (t == SQLITE_TEXT) {
        const QString s = argText(argv[0]).trimmed();
        if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || s.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0)
            return sqlite3_result_int(ctx, -1);
        bool ok = false;
        const double d = s.toDouble(&ok);
        return sqlite3_result_int(ctx, ok && d != 0 ? -1 : 0);
    }
    sqlite3_result_int(ctx, sqlite3_value_double(argv[0]) != 0 ? -1 : 0);
}

int collate(void* arg, int n1, const void* s1, int n2, const void* s2) {
    auto* c = static_cast<czech::Collator*>(arg);
    return c->compareUtf8(QByteArrayView(static_cast<const char*>(s1), n1), QByteArrayView(static_cast<const char*>(s2), n2));
}

void deleteCollator(void* arg) { delete static_cast<czech::Collator*>(arg); }

} // namespace

void registerSqlFunctions(sqlite3* h) {
    const int det = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function_v2(h, "jet_fold", 1, det, nullptr, foldFn, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(h, "jet_upper", 1, det, nullptr, upperFn, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(h, "jet_like", 2, det, nullptr, likeFn, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(h, "jet_concat", 2, det, nullptr, concatFn, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(h, "jet_bool", 1, det, nullptr, boolFn, nullptr, nullptr, nullptr);
    sqlite3_create_collation_v2(h, "CZ", SQLITE_UTF8, new czech::Collator, collate, deleteCollator);
}

} // namespace db
