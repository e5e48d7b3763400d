#include "RowJson.h"

#include "Dataset.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>

#include <cmath>

namespace db {

namespace {

// A text as a JSON string, quotes and escapes included.
QByteArray jsonString(const QString& text) {
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

QByteArray jsonValue(const Dataset& ds, int field, const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? "true" : "false";
    case QMetaType::LongLong:
        return QByteArray::number(v.toLongLong());
    case QMetaType::Double: {
        const double d = v.toDouble();
        // JSON has no infinity; the text keeps it rather than losing the value.
        if (!std::isfinite(d)) return jsonString(QString::number(d));
        // An amount with its four decimals, exactly; a Single with the digits it holds.
        const ColumnType type = ds.fieldType(field);
        if (type == ColumnType::Currency || type == ColumnType::Single)
            return ds.text(ds.fieldName(field)).toUtf8();
        return QString::number(d, 'g', QLocale::FloatingPointShortest).toUtf8();
    }
    case QMetaType::QDateTime:
        return jsonString(v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    case QMetaType::QByteArray:
        return "{\"$binary\": " + jsonString(QString::fromLatin1(v.toByteArray().toBase64())) + '}';
    default:
        return jsonString(v.toString());
    }
}

} // namespace

QByteArray rowAsJson(const Dataset& ds) {
    QByteArray out = "{";
    bool first = true;
    for (int i = 0; i < ds.fieldCount(); ++i) {
        const QVariant v = ds.value(i);
        if (v.isNull()) continue;
        if (!first) out += ", ";
        first = false;
        out += jsonString(ds.fieldName(i)) + ": " + jsonValue(ds, i, v);
    }
    return out + '}';
}

} // namespace db
