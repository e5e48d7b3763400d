#include "RecordLabel.h"

#include "Scramble.h"
#include "TextHelpers.h"

namespace record_label {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
// Continuation lines of the label are indented under the values of
// "Telefon:" and "Adresa:".
const QString kIndent = QString(16, u' ');
const QString kPhoneCaption = QStringLiteral("Telefon:   ");
const QString kAddressCaption = QStringLiteral("Adresa:    ");
// Separates a number from its note in the label and in the picker; a grouped
// number never holds more than one blank in a row.
const QString kNoteSeparator = QStringLiteral("   ");
const QString kFirmEuroIsdnTag = QStringLiteral("    EuroISDN");
const QString kPersonEuroIsdnTag = QStringLiteral("   EuroISDN");
constexpr int kVisibleLines = 10;

QString extraTable(bool firm) {
    return firm ? QStringLiteral("Firmy_TEL_Navic") : QStringLiteral("Osoby_TEL_Navic");
}

// The street line without its caption, or an empty text when there is none:
// "street number", else "part number" or "municipality number" for an
// address that has a house number but no street.
QString streetText(const Address& a) {
    if (!a.street.isEmpty()) return a.street + u' ' + a.houseNumber;
    if (a.houseNumber.isEmpty()) return {};
    if (!a.part.isEmpty()) return a.part + u' ' + a.houseNumber;
    if (!a.municipality.isEmpty()) return a.municipality + u' ' + a.houseNumber;
    return {};
}

// The number of a picker item: the text before the note separator.
QString pickerNumber(const QString& item) {
    const qsizetype at = item.indexOf(kNoteSeparator);
    return at < 0 ? item : item.left(at);
}

} // namespace

ExtraNumber extraNumberFromTel(const QString& tel, const QString& note) {
    return {text::phoneGrouping(tel), note, true};
}

ExtraNumber extraNumberFromStored(const QString& telA, const QString& telExtA, const QString& id,
                                  const QString& note) {
    return {text::phoneGrouping(phone::unscramble(telA + telExtA, id)), note, false};
}

bool hasExtraNumbers(const LabelRecord& record) {
    return !record.euroIsdn.isEmpty();
}

QString extraNumbersProbeSql(bool firm) {
    return QStringLiteral("SELECT * FROM ") + extraTable(firm);
}

QString extraNumbersSql(bool firm, bool hasTelColumn, const QString& euroIsdn) {
    const QString columns =
        hasTelColumn ? QStringLiteral("Tel, Poznamka") : QStringLiteral("ID, Tel_a, TelExt_a, Poznamka");
    return QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM ") + extraTable(firm) +
           QStringLiteral(" WHERE EuroISDN = ") + euroIsdn;
}

bool marksEuroIsdn(const QString& note) {
    // Only A-Z are folded, so no other letter can turn into part of the mark.
    QString folded = note;
    for (QChar& c : folded)
        if (c >= u'A' && c <= u'Z') c = QChar(c.unicode() + (u'a' - u'A'));
    return folded.contains(QLatin1String("euroisdn"));
}

QString nameLine(const LabelRecord& r) {
    if (r.firm) return r.firmName;
    QString line = r.surname + u' ' + r.firstName;
    if (!r.title.isEmpty()) line += QStringLiteral(", ") + r.title;
    return line;
}

QStringList labelAddressLines(const Address& a) {
    QStringList lines;
    const QString street = streetText(a);
    if (!street.isEmpty()) {
        lines << kAddressCaption + street;
        if (!a.street.isEmpty() && !a.part.isEmpty()) lines << kIndent + a.part;
    } else if (a.houseNumber.isEmpty()) {
        lines << QStringLiteral("Adresa:");
    }

    if (!a.municipality.isEmpty() && !a.postalCode.isEmpty()) {
        lines << a.postalCode + QString(5, u' ') + a.municipality;
    } else {
        if (!a.postalCode.isEmpty()) lines << a.postalCode;
        if (!a.municipality.isEmpty()) lines << kIndent + a.municipality;
    }
    return lines;
}

Address addressOf(const LabelRecord& r) {
    return {r.street, r.houseNumber, r.part, r.municipality, r.postalCode};
}

QString oneLineAddress(const Address& a) {
    return desktop_links::addressQuery(postalAddressLines(a));
}

QStringList postalAddressLines(const Address& a) {
    QStringList lines;
    const QString street = streetText(a);
    if (!street.isEmpty()) lines << street;
    if (!a.street.isEmpty() && !a.part.isEmpty()) lines << a.part;

    if (!a.municipality.isEmpty() && !a.postalCode.isEmpty()) {
        lines << a.postalCode + QString(3, u' ') + a.municipality;
    } else {
        if (!a.municipality.isEmpty()) lines << a.municipality;
        if (!a.postalCode.isEmpty()) lines << a.postalCode;
    }
    return lines;
}

QStringList labelLines(const LabelRecord& r, const QList<ExtraNumber>& extras) {
    QStringList lines;
    lines << nameLine(r) << QString();

    QString phoneLine = kPhoneCaption + r.tel;
    if (marksEuroIsdn(r.note)) phoneLine += r.firm ? kFirmEuroIsdnTag : kPersonEuroIsdnTag;
    lines << phoneLine;
    if (hasExtraNumbers(r)) {
        for (const ExtraNumber& extra : extras) {
            // Firms show a scrambled-form number with the EuroISDN tag in
            // place of its note.
            if (r.firm && !extra.fromTelColumn)
                lines << kIndent + extra.number + (marksEuroIsdn(extra.note) ? kFirmEuroIsdnTag : QString());
            else
                lines << kIndent + extra.number + kNoteSeparator + extra.note;
        }
    }
    lines << QString();

    lines << labelAddressLines(addressOf(r));

    if (r.firm && !r.note.isEmpty()) lines << QString() << r.note;
    return lines;
}

bool needsScrollBar(const QStringList& lines) {
    return lines.size() > kVisibleLines;
}

QString copyAllText(const QStringList& lines) {
    return text::withCrLf(lines);
}

QStringList numberPickerItems(const LabelRecord& r, const QList<ExtraNumber>& extras) {
    QStringList items;
    if (!r.tel.isEmpty()) items << r.tel;
    if (hasExtraNumbers(r)) {
        for (const ExtraNumber& extra : extras)
            items << (extra.fromTelColumn ? extra.number + kNoteSeparator + extra.note : extra.number);
    }
    return items;
}

QString numbersClipboardText(const QStringList& tickedItems) {
    QStringList numbers;
    for (const QString& item : tickedItems)
        numbers << pickerNumber(item);
    return numbersText(numbers);
}

QString numbersText(const QStringList& numbers) {
    if (numbers.size() == 1) return text::removeBlanks(numbers.first());
    QString out;
    for (const QString& number : numbers)
        out += text::removeBlanks(number) + kCrLf;
    if (!numbers.isEmpty()) out += kCrLf;
    return out;
}

QStringList addressLines(const LabelRecord& r) {
    return QStringList{nameLine(r)} + postalAddressLines(addressOf(r));
}

QString addressClipboardText(const QStringList& lines) {
    return text::withCrLf(lines);
}

QString mapQuery(const Address& a) {
    // The part of the municipality stands on its own unless it took the
    // street's place before the house number.
    const bool partInStreet = a.street.isEmpty() && !a.houseNumber.isEmpty();
    return desktop_links::addressQuery(
        {streetText(a), partInStreet ? QString() : a.part, a.postalCode + u' ' + a.municipality});
}

desktop_links::Links links(const LabelRecord& r, const QList<ExtraNumber>& extras) {
    desktop_links::Links out;
    for (const QString& item : numberPickerItems(r, extras))
        out.addNumber(item, pickerNumber(item));
    out.mapUri = desktop_links::mapUri(mapQuery(addressOf(r)));
    return out;
}

} // namespace record_label
