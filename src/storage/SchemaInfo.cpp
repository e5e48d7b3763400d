#include "SchemaInfo.h"

#include <QRegularExpression>

namespace db {

QString declaredType(ColumnType type, int size) {
    const TypeDescription& d = describe(type);
    QString declared = QString::fromLatin1(d.declared);
    if (d.maxSize > 0) declared.replace(QStringLiteral("%1"), QString::number(size > 0 ? size : d.maxSize));
    return declared;
}

ColumnInfo columnFromDeclaredType(const QString& name, const QString& declared) {
    ColumnInfo c;
    c.name = name;
    const QString t = declared.trimmed().toUpper();
    static const QRegularExpression textRe(
        QStringLiteral(R"(^(?:TEXT|VARCHAR|CHAR)\s*(?:\(\s*(\d+)\s*\))?$)"));
    static const QRegularExpression binaryRe(QStringLiteral(R"(^BINARY\((\d+)\)$)"));
    for (ColumnType own : {ColumnType::Byte, ColumnType::Short, ColumnType::Single, ColumnType::Currency,
                           ColumnType::DateTime, ColumnType::LongBinary, ColumnType::Guid}) {
        if (t == QLatin1String(describe(own).declared)) {
            c.type = own;
            return c;
        }
    }
    if (auto m = binaryRe.match(t); m.hasMatch()) {
        c.type = ColumnType::Binary;
        c.size = m.captured(1).toInt();
    } else if (auto m = textRe.match(t); m.hasMatch()) {
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
