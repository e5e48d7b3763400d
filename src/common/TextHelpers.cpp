#include "TextHelpers.h"

namespace text {

namespace {

// "+", "(" and ")" are decoration around a telephone number and do not count
// towards its groups of three.
bool countsAsDigit(QChar c) {
    return c != u'+' && c != u'(' && c != u')';
}

} // namespace

QString phoneGrouping(const QString& number) {
    const qsizetype n = number.size();
    if (n < 3) return number;

    QString out;
    out.reserve(n + n / 3);
    int counted = 0;
    // Every character but the last may be followed by a blank; the last one
    // always closes the text.
    for (qsizetype i = 0; i < n - 1; ++i) {
        const QChar c = number.at(i);
        out.append(c);
        if (countsAsDigit(c)) ++counted;
        // A decoration right after a full group is followed by a blank as well:
        // "(+420)123456789" -> "(+420 ) 123 456 789".
        if (counted == 0 || counted % 3 != 0) continue;
        const qsizetype following = n - 1 - i;
        const qsizetype position = i + 1; // 1-based position in the text
        // A short tail is split off only near the start ("123 45", "123 456 78");
        // further on it joins the last group ("123 456 7890").
        if (following >= 3 || position <= 6) out.append(u' ');
    }
    out.append(number.at(n - 1));
    return out;
}

QString postalCodeSplit(const QString& code) {
    if (code.size() != 5) return code;
    QString out;
    out.reserve(6);
    out.append(QStringView(code).first(3));
    out.append(u' ');
    out.append(QStringView(code).last(2));
    return out;
}

QString removeBlanks(const QString& text) {
    if (!text.contains(u' ')) return text;
    QString out = text;
    out.remove(u' ');
    return out;
}

QString digitsOnly(const QString& text) {
    QString out;
    for (QChar c : text)
        if (c >= u'0' && c <= u'9') out += c;
    return out;
}

QString thousandsGrouping(const QString& digits) {
    const qsizetype n = digits.size();
    if (n < 3) return digits;
    QString out;
    out.reserve(n + n / 3 + 1);
    for (qsizetype i = 0; i < n; ++i) {
        if ((n - i) % 3 == 0) out.append(u' ');
        out.append(digits.at(i));
    }
    return out;
}

QString withCrLf(const QStringList& lines) {
    QString out;
    for (const QString& line : lines) {
        out += line;
        out += QLatin1StringView("\r\n");
    }
    return out;
}

} // namespace text
