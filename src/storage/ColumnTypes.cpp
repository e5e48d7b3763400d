#include "ColumnTypes.h"

#include <QRegularExpression>
#include <QStringList>

namespace db {

namespace {

const char* const kWholeNumber = "typeof(%1) IN ('integer', 'null')";
const char* const kNumber = "typeof(%1) IN ('integer', 'real', 'null')";

const std::vector<TypeDescription>& types() {
    static const std::vector<TypeDescription> t = {
        {ColumnType::Long,
         "LONG",
         "LONG INTEGER INT INTEGER4",
         0,
         nullptr,
         nullptr,
         ValueClass::Number,
         {{"type", kWholeNumber}, {"range", "%1 BETWEEN -2147483648 AND 2147483647"}}},
        {ColumnType::Counter,
         "COUNTER",
         "COUNTER AUTOINCREMENT",
         0,
         nullptr,
         nullptr,
         ValueClass::Number,
         {{"type", kWholeNumber}, {"range", "%1 BETWEEN -2147483648 AND 2147483647"}}},
        {ColumnType::Boolean,
         "BIT",
         "BIT YESNO LOGICAL BOOLEAN",
         0,
         "jet_bool",
         " DEFAULT 0",
         ValueClass::Boolean,
         {{"bool", kWholeNumber}}},
        // jet_len counts a NUL inside the text; SQLite's length() would stop there.
        {ColumnType::Text,
         "TEXT(%1)",
         "TEXT VARCHAR CHAR STRING ALPHANUMERIC",
         255,
         nullptr,
         " COLLATE \"CZ\"",
         ValueClass::Text,
         {{"len", "jet_len(%1) <= %2"}}},
        // Contains TEXT, so SQLite keeps values as text ("00123" stays "00123").
        {ColumnType::Memo,
         "LONGTEXT",
         "MEMO LONGTEXT NOTE LONGCHAR",
         0,
         nullptr,
         " COLLATE \"CZ\"",
         ValueClass::Text,
         {}},
        {ColumnType::Double,
         "DOUBLE",
         "DOUBLE FLOAT NUMBER FLOAT8 IEEEDOUBLE",
         0,
         nullptr,
         nullptr,
         ValueClass::Number,
         {}},
        {ColumnType::Byte,
         "BYTE",
         "BYTE INTEGER1 TINYINT",
         0,
         nullptr,
         nullptr,
         ValueClass::Number,
         {{"type", kWholeNumber}, {"byte", "%1 BETWEEN 0 AND 255"}}},
        {ColumnType::Short,
         "SHORT",
         "SHORT SMALLINT INTEGER2",
         0,
         nullptr,
         nullptr,
         ValueClass::Number,
         {{"type", kWholeNumber}, {"short", "%1 BETWEEN -32768 AND 32767"}}},
        // The store function rounds to single precision and leaves a number it
        // cannot hold as it is, for the range check to refuse.
        {ColumnType::Single,
         "SINGLE",
         "SINGLE REAL FLOAT4 IEEESINGLE",
         0,
         "jet_tosingle",
         nullptr,
         ValueClass::Number,
         {{"single", "typeof(%1) NOT IN ('integer', 'real') OR abs(%1) <= 3.4028234663852886e38"},
          {"number", kNumber}}},
        // The store function gives the count of ten-thousandths, a real for an
        // amount past 64 bits and a text that is no amount as it is.
        {ColumnType::Currency,
         "CURRENCY",
         "CURRENCY MONEY",
         0,
         "jet_tocurrency",
         nullptr,
         ValueClass::Currency,
         {{"currency", "typeof(%1) <> 'real'"}, {"number", kWholeNumber}}},
        {ColumnType::DateTime,
         "DATETIME",
         "DATETIME DATE TIME TIMESTAMP",
         0,
         "jet_todate",
         nullptr,
         ValueClass::Date,
         {{"date", "typeof(%1) NOT IN ('integer', 'real') OR (%1 > -657435 AND %1 < 2958466)"},
          {"datetype", kNumber}}},
        {ColumnType::Binary,
         "BINARY(%1)",
         "BINARY VARBINARY",
         255,
         nullptr,
         nullptr,
         ValueClass::None,
         {{"blen", "length(%1) <= %2"}}},
        {ColumnType::LongBinary,
         "LONGBINARY",
         "LONGBINARY OLEOBJECT GENERAL IMAGE",
         0,
         nullptr,
         nullptr,
         ValueClass::None,
         {}},
        {ColumnType::Guid,
         "GUID",
         "GUID UNIQUEIDENTIFIER",
         0,
         "jet_toguid",
         nullptr,
         ValueClass::Text,
         {{"guid", "%1 GLOB '{[0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F]-"
                   "[0-9A-F][0-9A-F][0-9A-F][0-9A-F]-[0-9A-F][0-9A-F][0-9A-F][0-9A-F]-"
                   "[0-9A-F][0-9A-F][0-9A-F][0-9A-F]-[0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F]"
                   "[0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F]}'"}}},
        {ColumnType::Other, "", "", 0, nullptr, nullptr, ValueClass::None, {}},
    };
    return t;
}

} // namespace

const TypeDescription& describe(ColumnType type) {
    for (const TypeDescription& d : types())
        if (d.type == type) return d;
    return types().back();
}

const TypeDescription* typeNamed(const QString& word) {
    for (const TypeDescription& d : types()) {
        const QStringList words = QString::fromLatin1(d.words).split(u' ', Qt::SkipEmptyParts);
        if (words.contains(word, Qt::CaseInsensitive)) return &d;
    }
    return nullptr;
}

std::optional<QString> checkFailureMessage(const QString& constraint) {
    struct Message {
        const char* kind;
        const char* text; // %1 the column, %2 the size
    };
    static const Message messages[] = {
        {"byte", "Přetečení číselného pole „%1“: celé číslo musí ležet mezi 0 a 255."},
        {"short", "Přetečení číselného pole „%1“: celé číslo musí ležet mezi -32768 a 32767."},
        {"single", "Přetečení číselného pole „%1“: číslo musí ležet mezi -3,402823E+38 a 3,402823E+38."},
        {"currency", "Přetečení číselného pole „%1“: částka musí ležet mezi -922337203685477,5808 a "
                     "922337203685477,5807."},
        {"number", "Nesoulad datových typů: do pole „%1“ lze uložit jen číslo."},
        {"date", "Přetečení pole „%1“: datum musí ležet mezi 1.1.100 a 31.12.9999."},
        {"datetype", "Nesoulad datových typů: do pole „%1“ lze uložit jen datum a čas."},
        {"blen", "Pole „%1“ je příliš malé pro zadaná data: hodnota je delší než %2 bajtů."},
        {"guid", "Nesoulad datových typů: do pole „%1“ lze uložit jen identifikátor GUID ve tvaru "
                 "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}."},
    };
    for (const Message& m : messages) {
        const QString prefix = QString::fromLatin1(m.kind) + u':';
        if (!constraint.startsWith(prefix)) continue;
        QString column = constraint.mid(prefix.size());
        QString size;
        if (qstrcmp(m.kind, "blen") == 0) {
            static const QRegularExpression sized(QStringLiteral("^(.*):(\\d+)$"));
            const QRegularExpressionMatch s = sized.match(column);
            if (!s.hasMatch()) return std::nullopt;
            column = s.captured(1);
            size = s.captured(2);
        }
        QString text = QString::fromUtf8(m.text);
        text.replace(QStringLiteral("%2"), size);
        // The column last: its name may itself hold "%2".
        return text.replace(QStringLiteral("%1"), column);
    }
    return std::nullopt;
}

} // namespace db
