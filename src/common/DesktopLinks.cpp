#include "DesktopLinks.h"

#include <QUrl>

namespace desktop_links {

namespace {

const QString kMapSearch = QStringLiteral("https://www.openstreetmap.org/search?query=");
const QString kCzechPrefix = QStringLiteral("420");
constexpr int kNationalDigits = 9;

bool isGroupingMark(QChar c) {
    return QStringView(u" \t\u00a0-/.()").contains(c);
}

} // namespace

QString telUri(const QString& number) {
    QString digits;
    bool plus = false;
    for (const QChar c : number) {
        if (c >= u'0' && c <= u'9')
            digits += c;
        else if (c == u'+' && digits.isEmpty() && !plus)
            plus = true;
        else if (!isGroupingMark(c))
            break; // a note or an extension after the number
    }
    bool international = plus;
    if (!plus && digits.startsWith(QLatin1String("00"))) {
        international = true;
        digits.remove(0, 2);
    }
    if (digits.isEmpty()) return {};
    if (!international) {
        const bool withPrefix =
            digits.size() == kCzechPrefix.size() + kNationalDigits && digits.startsWith(kCzechPrefix);
        if (digits.size() == kNationalDigits)
            digits.prepend(kCzechPrefix);
        else if (!withPrefix)
            return QStringLiteral("tel:") + digits; // a service or local number
    }
    return QStringLiteral("tel:+") + digits;
}

QString addressQuery(const QStringList& lines) {
    QStringList parts;
    for (const QString& line : lines) {
        const QString part = line.simplified();
        if (!part.isEmpty()) parts << part;
    }
    return parts.join(QStringLiteral(", "));
}

QString mapUri(const QString& query) {
    const QString text = query.trimmed();
    if (text.isEmpty()) return {};
    return kMapSearch + QString::fromLatin1(QUrl::toPercentEncoding(text));
}

void Links::addNumber(const QString& shown, const QString& number) {
    const QString uri = telUri(number);
    if (uri.isEmpty()) return;
    numbers << shown;
    telUris << uri;
}

} // namespace desktop_links
