#include "Limits.h"

#include <QRegularExpression>
#include <limits>
#include <optional>

namespace {

// The number a field's text stands for: decimal digits with an optional sign,
// blanks around them allowed (as the program's string-to-integer reading has it).
// A number too long for 64 bits saturates, so that a long row of digits is
// clamped like any other large number instead of counting as "not a number".
std::optional<qint64> numberOf(const QString& text) {
    static const QRegularExpression integer(QStringLiteral("^\\s*([+-]?)(\\d+)\\s*$"));
    const QRegularExpressionMatch m = integer.match(text);
    if (!m.hasMatch()) return std::nullopt;
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (ok) return value;
    return m.captured(1) == QLatin1String("-") ? std::numeric_limits<qint64>::min()
                                               : std::numeric_limits<qint64>::max();
}

} // namespace

Limits::Limits(QObject* parent) : QObject(parent) {
    for (List list : {List::Persons, List::Firms, List::Personal}) {
        m_text[index(list, Kind::Displayed)] = QString::number(kFirstDisplayed);
        m_text[index(list, Kind::Searched)] = QString::number(kFirstSearched);
    }
}

QString Limits::validated(const QString& text, Kind kind) {
    // An empty field stays empty: the empty-field values are put in only on saving.
    if (text.isEmpty()) return text;
    const std::optional<qint64> number = numberOf(text);
    // Not a number: the text becomes "10", which is valid for both kinds.
    if (!number) return QString::number(kFirstDisplayed);
    const int largest = kind == Kind::Displayed ? kMaxDisplayed : kMaxSearched;
    if (*number > largest) return QString::number(largest);
    if (*number <= 0) return QStringLiteral("1");
    // A valid number keeps the text as typed.
    return text;
}

QString Limits::setText(List list, Kind kind, const QString& text) {
    const QString accepted = validated(text, kind);
    QString& stored = m_text[index(list, kind)];
    // An empty displayed field leaves the page size as it was.
    if (kind == Kind::Displayed && !accepted.isEmpty())
        m_pageSize[int(list)] = int(numberOf(accepted).value_or(kFirstDisplayed));
    if (stored != accepted) {
        stored = accepted;
        emit changed(list, kind);
    }
    return accepted;
}

int Limits::searchLimit(List list) const {
    const QString field = text(list, Kind::Searched);
    if (field.isEmpty()) return emptyFieldValue(Kind::Searched);
    // The stored text is validated: a number within the range.
    return int(numberOf(field).value_or(kFirstDisplayed));
}

QString Limits::summary(List list) const {
    return QStringLiteral("%1 zobrazovaných, %2 vyhledávaných")
        .arg(text(list, Kind::Displayed), text(list, Kind::Searched));
}

void Limits::fillEmpty() {
    for (List list : {List::Persons, List::Firms, List::Personal}) {
        for (Kind kind : {Kind::Displayed, Kind::Searched})
            if (text(list, kind).isEmpty()) setText(list, kind, QString::number(emptyFieldValue(kind)));
    }
}

QString Limits::fieldName(List list, Kind kind) {
    static const char* const names[6] = {"Maxim_o", "vyhled_o", "Maxim_f", "vyhled_f", "maxim_v", "vyhled_v"};
    return QString::fromLatin1(names[index(list, kind)]);
}
