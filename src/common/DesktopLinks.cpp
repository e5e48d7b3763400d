#include "DesktopLinks.h"

#include "TextHelpers.h"

#include <QRegularExpression>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace desktop_links {

namespace {

const QString kMapSearch = QStringLiteral("https://www.openstreetmap.org/search?query=");
const QString kCzechPrefix = QStringLiteral("420");
constexpr int kNationalDigits = 9;

bool isGroupingMark(QChar c) {
    return QStringView(u" \t\u00a0-/.()").contains(c);
}

// The number part of a URI's text after its scheme: a SIP address's user
// part, without parameters or headers, percent-decoded.
QString uriNumber(const QString& scheme, QString rest) {
    if (scheme == u"callto" && rest.startsWith(u"//")) rest = rest.mid(2);
    if (scheme.startsWith(u"sip")) {
        const qsizetype at = rest.indexOf(u'@');
        if (at >= 0) rest.truncate(at);
    }
    for (const QChar end : {u';', u'?'}) {
        const qsizetype cut = rest.indexOf(end);
        if (cut >= 0) rest.truncate(cut);
    }
    return QUrl::fromPercentEncoding(rest.toUtf8());
}

} // namespace

std::optional<Number> readNumber(const QString& passed) {
    QString text = passed.trimmed();
    // "Jan Novák <sip:604245324@pbx>"
    const qsizetype open = text.lastIndexOf(u'<');
    const qsizetype close = text.lastIndexOf(u'>');
    if (open >= 0 && close > open) text = text.mid(open + 1, close - open - 1).trimmed();

    static const QRegularExpression uri(u"^(tel|sips?|callto):"_s, QRegularExpression::CaseInsensitiveOption);
    if (const QRegularExpressionMatch m = uri.match(text); m.hasMatch())
        text = uriNumber(m.captured(1).toLower(), text.mid(m.capturedLength())).trimmed();

    // Digits with the separators people and programs write between them.
    static const QRegularExpression form(u"^[\\s(]*\\+?[0-9\\s()./-]*$"_s);
    if (!form.match(text).hasMatch()) return std::nullopt;
    QString digits = text::digitsOnly(text);
    bool international = text.contains(u'+');
    if (!international && digits.startsWith(u"00")) {
        international = true;
        digits = digits.mid(2);
    } else if (!international && digits.size() == 12 && digits.startsWith(kCzechPrefix)) {
        // The country code without its "+", as some exchanges pass it.
        international = true;
    }
    if (international && digits.startsWith(kCzechPrefix))
        digits = digits.mid(kCzechPrefix.size());
    else if (international && !digits.isEmpty())
        return Number{u"00"_s + digits, true};
    if (digits.isEmpty()) return std::nullopt;
    return Number{digits, false};
}

QString shownNumber(const Number& number) {
    if (number.foreign) return u'+' + number.digits.mid(2);
    return text::phoneGrouping(number.digits);
}

QString telUri(const QString& number) {
    QString leading;
    bool digitSeen = false;
    for (const QChar c : number) {
        const bool digit = c >= u'0' && c <= u'9';
        const bool plus = c == u'+' && !digitSeen && !leading.contains(u'+');
        if (!digit && !plus && !isGroupingMark(c)) break; // a note or an extension after the number
        digitSeen = digitSeen || digit;
        leading += c;
    }
    const std::optional<Number> n = readNumber(leading);
    if (!n) return {};
    if (n->foreign) return u"tel:+"_s + n->digits.mid(2);
    if (n->digits.size() == kNationalDigits) return u"tel:+"_s + kCzechPrefix + n->digits;
    return u"tel:"_s + n->digits; // a service or local number
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
