#include "JetValues.h"

#include <QRegularExpression>
#include <QTimeZone>

#include <cmath>
#include <limits>

namespace db::jet_values {

namespace {

constexpr int kSecondsPerDay = 86400;

QDate epoch() {
    return QDate(1899, 12, 30);
}

// A two-digit year as the dialect reads it: 00–29 this century, 30–99 the last.
int fullYear(const QString& digits) {
    const int y = digits.toInt();
    if (digits.size() > 2) return y;
    return y < 30 ? 2000 + y : 1900 + y;
}

std::optional<double> withTime(int year, int month, int day, const QRegularExpressionMatch& m, int first) {
    if (m.capturedStart(first) < 0) return serialOf(year, month, day);
    return serialOf(year, month, day, m.captured(first).toInt(), m.captured(first + 1).toInt(),
                    m.captured(first + 2).toInt());
}

} // namespace

std::optional<double> serialOf(int year, int month, int day, int hour, int minute, int second) {
    const QDate date(year, month, day);
    if (!date.isValid() || hour > 23 || minute > 59 || second > 59) return std::nullopt;
    const double days = double(epoch().daysTo(date));
    if (days < kFirstDay || days > kLastDay) return std::nullopt;
    const double fraction = double(hour * 3600 + minute * 60 + second) / kSecondsPerDay;
    return days >= 0 ? days + fraction : days - fraction;
}

double serialFromDateTime(const QDateTime& value) {
    const QDate d = value.date();
    const QTime t = value.time();
    const double days = double(epoch().daysTo(d));
    const double fraction = double(t.msecsSinceStartOfDay()) / (1000.0 * kSecondsPerDay);
    return days >= 0 ? days + fraction : days - fraction;
}

QDateTime dateTimeFromSerial(double serial) {
    double whole = std::trunc(serial);
    qint64 seconds = std::llround(std::fabs(serial - whole) * kSecondsPerDay);
    if (seconds >= kSecondsPerDay) {
        seconds -= kSecondsPerDay;
        whole += serial < 0 ? -1 : 1;
    }
    return QDateTime(epoch().addDays(qint64(whole)), QTime(0, 0).addSecs(int(seconds)), Qt::UTC);
}

QDate dateOfSerial(double serial) {
    return dateTimeFromSerial(serial).date();
}

std::optional<double> parseDate(const QString& input, DateOrder order) {
    static const QString time = QStringLiteral(R"((?:[ T]+(\d{1,2}):(\d{2})(?::(\d{2}))?)?)");
    static const QRegularExpression iso(QStringLiteral(R"(^(\d{4})-(\d{1,2})-(\d{1,2}))") + time + u'$');
    static const QRegularExpression slash(QStringLiteral(R"(^(\d{1,2})/(\d{1,2})/(\d{1,4}))") + time + u'$');
    static const QRegularExpression dot(QStringLiteral(R"(^(\d{1,2})\. ?(\d{1,2})\. ?(\d{1,4}))") + time +
                                        u'$');
    static const QRegularExpression timeOnly(QStringLiteral(R"(^(\d{1,2}):(\d{2})(?::(\d{2}))?$)"));
    const QString text = input.trimmed();
    if (auto m = iso.match(text); m.hasMatch())
        return withTime(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(), m, 4);
    if (auto m = slash.match(text); m.hasMatch()) {
        const int a = m.captured(1).toInt(), b = m.captured(2).toInt();
        const int year = fullYear(m.captured(3));
        return order == DateOrder::MonthFirst ? withTime(year, a, b, m, 4) : withTime(year, b, a, m, 4);
    }
    if (auto m = dot.match(text); m.hasMatch())
        return withTime(fullYear(m.captured(3)), m.captured(2).toInt(), m.captured(1).toInt(), m, 4);
    if (auto m = timeOnly.match(text); m.hasMatch()) return withTime(1899, 12, 30, m, 1);
    return std::nullopt;
}

namespace {

// "1.3.2004": the year without leading zeros, as in 1.1.100.
QString dayText(QDate d) {
    return QString::number(d.day()) + u'.' + QString::number(d.month()) + u'.' + QString::number(d.year());
}

} // namespace

QString dateText(double serial) {
    const QDateTime dt = dateTimeFromSerial(serial);
    const QString time = dt.time().toString(QStringLiteral("H:mm:ss"));
    if (dt.date() == epoch() && dt.time() != QTime(0, 0)) return time;
    return dt.time() == QTime(0, 0) ? dayText(dt.date()) : dayText(dt.date()) + u' ' + time;
}

QString dateTimeText(double serial) {
    const QDateTime dt = dateTimeFromSerial(serial);
    return dayText(dt.date()) + u' ' + dt.time().toString(QStringLiteral("H:mm:ss"));
}

QString isoDateText(double serial) {
    return dateTimeFromSerial(serial).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

std::optional<qint64> currencyFromNumber(double amount) {
    // Read through its shortest decimal form, so that 0.00015 rounds as the
    // amount written, not as the binary fraction just below it.
    if (std::fabs(amount) < 1e14) return currencyFromText(QString::number(amount, 'f', 10));
    const double scaled = std::nearbyint(amount * kCurrencyScale);
    // 2^63 is the first double past the 64-bit range.
    if (!(scaled >= -9223372036854775808.0 && scaled < 9223372036854775808.0)) return std::nullopt;
    return qint64(scaled);
}

std::optional<qint64> currencyFromText(const QString& input) {
    static const QRegularExpression decimal(QStringLiteral(R"(^([+-]?)(\d*)(?:[.,](\d*))?$)"));
    const QString text = input.trimmed();
    const QRegularExpressionMatch m = decimal.match(text);
    if (!m.hasMatch() || (m.captured(2).isEmpty() && m.captured(3).isEmpty())) {
        bool ok = false;
        const double d = text.toDouble(&ok);
        return ok ? currencyFromNumber(d) : std::nullopt;
    }
    // Whole units and the first four decimals exactly; the rest rounds half to even.
    QString digits = m.captured(2) + (m.captured(3) + QStringLiteral("0000")).left(4);
    const QString rest = m.captured(3).mid(4);
    digits.remove(QRegularExpression(QStringLiteral("^0+(?=\\d)")));
    if (digits.size() > 19) return std::nullopt;
    bool ok = false;
    quint64 magnitude = digits.toULongLong(&ok);
    if (!ok) return std::nullopt;
    if (!rest.isEmpty()) {
        const bool above =
            rest[0] > u'5' ||
            (rest[0] == u'5' && rest.mid(1).contains(QRegularExpression(QStringLiteral("[1-9]"))));
        const bool half = rest[0] == u'5' && !above;
        if (above || (half && magnitude % 2 == 1)) ++magnitude;
    }
    const bool negative = m.captured(1) == u"-";
    if (magnitude > (negative ? 9223372036854775808ULL : 9223372036854775807ULL)) return std::nullopt;
    return negative ? qint64(0 - magnitude) : qint64(magnitude);
}

QString currencyText(qint64 tenThousandths) {
    const bool negative = tenThousandths < 0;
    const quint64 magnitude = negative ? 0 - quint64(tenThousandths) : quint64(tenThousandths);
    return (negative ? QStringLiteral("-") : QString()) + QString::number(magnitude / kCurrencyScale) + u'.' +
           QStringLiteral("%1").arg(magnitude % kCurrencyScale, 4, 10, QChar(u'0'));
}

} // namespace db::jet_values

namespace db {

using namespace jet_values;

namespace {

bool isNumber(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

bool isText(const QVariant& v) {
    return v.typeId() == QMetaType::QString;
}

std::optional<double> numberOfText(const QString& text) {
    bool ok = false;
    QString t = text.trimmed();
    const double d = t.replace(u',', u'.').toDouble(&ok);
    return ok ? std::optional<double>(d) : std::nullopt;
}

QVariant storedSingle(const QVariant& v) {
    std::optional<double> d;
    if (isNumber(v))
        d = v.toDouble();
    else if (isText(v))
        d = numberOfText(v.toString());
    if (!d) return v;
    if (std::fabs(*d) > 3.4028234663852886e38) return *d; // the range check refuses it
    return double(float(*d));
}

QVariant storedCurrency(const QVariant& v) {
    std::optional<qint64> amount;
    if (v.typeId() == QMetaType::Bool) return v.toBool() ? -kCurrencyScale : 0;
    if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int) {
        const qint64 whole = v.toLongLong();
        if (whole > std::numeric_limits<qint64>::max() / kCurrencyScale ||
            whole < std::numeric_limits<qint64>::min() / kCurrencyScale)
            return double(whole) * kCurrencyScale;
        return whole * kCurrencyScale;
    }
    if (isNumber(v)) {
        amount = currencyFromNumber(v.toDouble());
        return amount ? QVariant(*amount) : QVariant(v.toDouble() * kCurrencyScale);
    }
    if (!isText(v)) return v;
    amount = currencyFromText(v.toString());
    if (amount) return *amount;
    const std::optional<double> d = numberOfText(v.toString());
    return d ? QVariant(*d * kCurrencyScale) : v;
}

QVariant storedDate(const QVariant& v) {
    if (v.typeId() == QMetaType::QDateTime) return serialFromDateTime(v.toDateTime());
    if (v.typeId() == QMetaType::QDate) return serialFromDateTime(v.toDate().startOfDay(Qt::UTC));
    if (isNumber(v)) return v.toDouble();
    if (!isText(v)) return v;
    const std::optional<double> serial = parseDate(v.toString(), DateOrder::DayFirst);
    return serial ? QVariant(*serial) : v;
}

QVariant storedGuid(const QVariant& v) {
    if (!isText(v)) return v;
    QString t = v.toString().trimmed();
    if (t.startsWith(u'{') && t.endsWith(u'}')) t = t.mid(1, t.size() - 2);
    static const QRegularExpression guid(
        QStringLiteral("^[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}$"));
    if (!guid.match(t).hasMatch()) return v;
    return QString(u'{' + t.toUpper() + u'}');
}

} // namespace

QVariant storedValue(ColumnType type, const QVariant& value) {
    if (value.isNull()) return value;
    switch (type) {
    case ColumnType::Single:
        return storedSingle(value);
    case ColumnType::Currency:
        return storedCurrency(value);
    case ColumnType::DateTime:
        return storedDate(value);
    case ColumnType::Guid:
        return storedGuid(value);
    default:
        return value;
    }
}

QVariant shownValue(ColumnType type, const QVariant& stored) {
    if (!isNumber(stored)) return stored;
    switch (type) {
    case ColumnType::Single:
        return stored.toDouble();
    case ColumnType::Currency:
        if (stored.typeId() != QMetaType::LongLong) return stored;
        return double(stored.toLongLong()) / kCurrencyScale;
    case ColumnType::DateTime:
        return dateTimeFromSerial(stored.toDouble());
    default:
        return stored;
    }
}

std::optional<QString> shownText(ColumnType type, const QVariant& stored) {
    if (!isNumber(stored)) return std::nullopt;
    if (type == ColumnType::Currency && stored.typeId() == QMetaType::LongLong)
        return currencyText(stored.toLongLong());
    if (type == ColumnType::DateTime) return dateText(stored.toDouble());
    // A Single shows the digits it holds, not those of its double.
    if (type == ColumnType::Single) return QString::number(stored.toDouble(), 'g', 7);
    return std::nullopt;
}

} // namespace db
