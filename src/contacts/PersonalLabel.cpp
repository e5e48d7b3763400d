#include "PersonalLabel.h"

#include "Dataset.h"
#include "PersonalColumns.h"
#include "TextHelpers.h"

#include <functional>

namespace personal_label {

namespace {

using namespace personal_columns;

// Continuation lines are indented under the values of "Telefon:" and "Adresa:".
const QString kIndent = QString(16, u' ');
const QString kFirmCaption = QStringLiteral("Firma:    ");
const QString kPhoneCaption = QStringLiteral("Telefon:   ");
const QString kInternetCaption = QStringLiteral("Internet:");

bool isEmpty(const Address& a) {
    return a.street.isEmpty() && a.houseNumber.isEmpty() && a.part.isEmpty() && a.municipality.isEmpty() &&
           a.postalCode.isEmpty();
}

// The address whose parts the columns name: those of a group, or of the
// current-address group.
Address addressFromRow(const db::Dataset& row, const std::function<QString(AddressPart)>& column) {
    return {row.text(column(AddressPart::Street)), row.text(column(AddressPart::HouseNumber)),
            row.text(column(AddressPart::TownPart)), row.text(column(AddressPart::Town)),
            row.text(column(AddressPart::PostalCode))};
}

Address groupFromRow(const db::Dataset& row, AddressKind kind) {
    return addressFromRow(row, [kind](AddressPart part) { return addressColumn(kind, part); });
}

// "surname first", with the blank only between two present parts, and
// ", title" after a present name part.
QString labelNameLine(const PersonalRecord& r) {
    const bool both = !r.surname.isEmpty() && !r.firstName.isEmpty();
    const bool titled = !r.title.isEmpty() && (!r.surname.isEmpty() || !r.firstName.isEmpty());
    return r.surname + (both ? QStringLiteral(" ") : QString()) + r.firstName +
           (titled ? QStringLiteral(", ") : QString()) + r.title;
}

// The name line of the postal address: "surname first" always with its blank,
// ", title" only when there is a title.
QString postalNameLine(const PersonalRecord& r) {
    QString line = r.surname + u' ' + r.firstName;
    if (!r.title.isEmpty()) line += QStringLiteral(", ") + r.title;
    return line;
}

} // namespace

QString nameLine(const PersonalRecord& record) {
    return labelNameLine(record);
}

PersonalRecord recordFromRow(const db::Dataset& row) {
    PersonalRecord r;
    r.title = row.text(kTitle);
    r.firstName = row.text(kFirstName);
    r.surname = row.text(kSurname);
    r.firmName = row.text(kFirm);
    for (int i = 0; i < int(r.phones.size()); ++i)
        r.phones[i] = row.text(phoneColumn(i + 1));
    r.home = groupFromRow(row, AddressKind::Home);
    r.work = groupFromRow(row, AddressKind::Work);
    r.other = groupFromRow(row, AddressKind::Other);
    r.addressKind = row.text(kAddressKind);
    if (row.hasField(currentColumn(AddressPart::Street))) {
        r.current = addressFromRow(row, currentColumn);
    } else {
        // A row of the personal table itself keeps its values in their stored
        // forms and has no current-address group: its address is the group
        // its address kind names.
        for (int i = 0; i < int(r.phones.size()); ++i)
            r.phones[i] = shownForm(phoneColumn(i + 1), r.phones[i]);
        for (Address* group : {&r.home, &r.work, &r.other})
            group->postalCode = text::postalCodeSplit(group->postalCode);
        r.current = *std::array{&r.home, &r.work, &r.other}[size_t(shownKind(r.addressKind))];
    }
    r.internet = row.text(kInternet);
    for (int i = 0; i < int(r.emails.size()); ++i)
        r.emails[i] = row.text(emailColumn(i + 1));
    return r;
}

QStringList labelLines(const PersonalRecord& r) {
    QStringList lines;
    if (!r.surname.isEmpty() || !r.firstName.isEmpty() || !r.title.isEmpty())
        lines << labelNameLine(r) << QString();
    if (!r.firmName.isEmpty()) lines << kFirmCaption + r.firmName << QString();

    const QStringList phones = numbers(r);
    for (qsizetype i = 0; i < phones.size(); ++i)
        lines << (i == 0 ? kPhoneCaption : kIndent) + phones[i];

    for (const Address* group : {&r.home, &r.work, &r.other}) {
        if (isEmpty(*group)) continue;
        lines << QString() << record_label::labelAddressLines(*group);
    }

    QStringList internet;
    for (const QString& value : {r.internet, r.emails[0], r.emails[1], r.emails[2]})
        if (!value.isEmpty()) internet << value;
    if (!internet.isEmpty()) lines << QString() << kInternetCaption << internet;
    return lines;
}

QStringList addressLines(const PersonalRecord& r) {
    const QString kind = r.addressKind.isEmpty() ? kindName(AddressKind::Home) : r.addressKind;
    QStringList lines;
    if (kind == kindName(AddressKind::Home)) {
        lines << postalNameLine(r);
    } else if (kind == kindName(AddressKind::Work)) {
        if (!r.firmName.isEmpty()) lines << r.firmName;
    } else if (kind == kindName(AddressKind::Other)) {
        if (!r.surname.isEmpty())
            lines << postalNameLine(r);
        else if (!r.firmName.isEmpty())
            lines << r.firmName;
    }
    return lines + record_label::postalAddressLines(r.current);
}

QString addressClipboardText(const QStringList& lines) {
    if (lines.isEmpty()) return {};
    return record_label::addressClipboardText(lines + QStringList{QString()});
}

QStringList numbers(const PersonalRecord& r) {
    QStringList out;
    for (const QString& phone : r.phones)
        if (!phone.isEmpty()) out << phone;
    return out;
}

QString numbersClipboardText(const QStringList& tickedNumbers) {
    // The items are bare numbers: a run of blanks inside one is not a note.
    return record_label::numbersText(tickedNumbers);
}

desktop_links::Links links(const PersonalRecord& r) {
    desktop_links::Links out;
    for (const QString& number : numbers(r))
        out.addNumber(number, number);
    out.mapUri = desktop_links::mapUri(record_label::mapQuery(r.current));
    return out;
}

} // namespace personal_label
