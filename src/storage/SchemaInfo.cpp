#include "SchemaInfo.h"

#include <QRegularExpression>

namespace db {

QString declaredType(ColumnType type, int size) {
    switch (type) {
    case ColumnType::Long:
        return QStringLiteral("LONG");
    case ColumnType::Boolean:
        return QStringLiteral("BIT");
    case ColumnType::Text:
        return QStringLiteral("TEXT(%1)").arg(size);
    case ColumnType::Memo:
        // Contains TEXT, so SQLite keeps values as text ("00123" stays "00123").
        return QStringLiteral("LONGTEXT");
    case ColumnType::Counter:
        return QStringLiteral("COUNTER");
    case ColumnType::Double:
        return QStringLiteral("DOUBLE");
    case ColumnType::Other:
        break;
    }
    return {};
}

ColumnInfo columnFromDeclaredType(const QString& name, const QString& declared) {
    ColumnInfo c;
    c.name = name;
    const QString t = declared.trimmed().toUpper();
    static const QRegularExpression textRe(
        QStringLiteral(R"(^(?:TEXT|VARCHAR|CHAR)\s*(?:\(\s*(\d+)\s*\))?$)"));
    if (auto m = textRe.match(t); m.hasMatch()) {
        c.type = ColumnType::Text;
        c.size = m.captured(1).isEmpty() ? 255 : m.captured(1).toInt();
    } else if (t == u"LONGTEXT" || t == u"MEMO") {
        c.type = ColumnType::Memo;
    } else if (t == u"LONG" || t == u"INTEGER" || t == u"INT") {
        c.type = ColumnType::Long;
    } else if (t == u"COUNTER") {
        c.type = ColumnType::Counter;
    } else if (t == u"BIT") {
        c.type = ColumnType::Boolean;
    } else if (t == u"DOUBLE" || t == u"REAL" || t == u"FLOAT") {
        c.type = ColumnType::Double;
    } else if (t.isEmpty()) {
        c.type = ColumnType::Other;
    } else if (t.contains(u"CHAR") || t.contains(u"TEXT") || t.contains(u"CLOB")) {
        c.type = ColumnType::Memo;
    } else if (t.contains(u"INT")) {
        c.type = ColumnType::Long;
    }
    return c;
}

} // namespace db
