#include "LabelLayout.h"

#include "Maker.h"

using namespace Qt::StringLiterals;

namespace labels {

namespace {

using personal_columns::AddressKind;
using personal_columns::AddressPart;

// Offsets of the five lines below the top of a label row.
constexpr int kFirstLine = 40;
constexpr int kSecondLine = kFirstLine + kLineHeight;

// How a print differs from the others. The persons and firms prints read
// their working tables; the personal print reads the personal working table,
// whose columns name the address kinds.
struct Description {
    enum class Name { Person, Firm, ByAddressKind };
    Name name;
    // The person's first name and title columns (the surname is Prijmeni everywhere).
    QString firstName;
    QString title;
    // Window of the firm-name split; 0 for a print that shows no firm names.
    int firmWindow;
    // The address of the chosen kind (else the record's Ulice, CP, Obec, Cast, PSC).
    bool chosenAddress;
    // The one telephone column, drawn even when empty; empty: the first number
    // found in the address kind's order, and no line without one.
    QString phone;
};

const Description& describe(Print print) {
    static const Description persons{Description::Name::Person, u"Jmeno"_s, u"Titul"_s, 0, false, u"Tel"_s};
    static const Description firms{Description::Name::Firm, {}, {}, 35, false, u"Tel"_s};
    static const Description personal{Description::Name::ByAddressKind,
                                      personal_columns::kFirstName,
                                      personal_columns::kTitle,
                                      32,
                                      true,
                                      {}};
    switch (print) {
    case Print::Persons:
        return persons;
    case Print::Firms:
        return firms;
    case Print::Personal:
        break;
    }
    return personal;
}

// A personal record's own address kind; an empty one counts as the home address.
QString recordKind(const Fields& record) {
    const QString kind = record(personal_columns::kAddressKind);
    return kind.isEmpty() ? personal_columns::kindName(AddressKind::Home) : kind;
}

QString kindOf(io::AddressChoice choice, const Fields& record) {
    if (const std::optional<AddressKind> kind = io::addressKind(choice))
        return personal_columns::kindName(*kind);
    return recordKind(record);
}

QString personName(const Description& d, const Fields& record) {
    // The blanks stay when parts are empty.
    return record(personal_columns::kSurname) + u' ' + record(d.firstName) + u' ' + record(d.title);
}

NameLines nameLines(const Description& d, const Fields& record) {
    const auto firm = [&] {
        const QString name = record(personal_columns::kFirm);
        return name.isEmpty() ? NameLines{} : splitName(name, d.firmWindow);
    };
    switch (d.name) {
    case Description::Name::Person:
        return {personName(d, record), {}, false};
    case Description::Name::Firm:
        return firm();
    case Description::Name::ByAddressKind:
        break;
    }
    // The name block follows the record's own kind, whatever address is printed.
    const QString kind = recordKind(record);
    if (kind == personal_columns::kindName(AddressKind::Home)) return {personName(d, record), {}, false};
    if (kind == personal_columns::kindName(AddressKind::Work)) return firm();
    if (kind == personal_columns::kindName(AddressKind::Other)) {
        if (!record(personal_columns::kSurname).isEmpty()) return {personName(d, record), {}, false};
        return firm();
    }
    return {};
}

// The numbers tried for an address kind, in order: the kind's own, then the
// mobile ones; for the other address all six.
QString personalPhone(const QString& kind, const Fields& record) {
    using personal_columns::phoneColumn;
    using personal_columns::PhoneKind;
    static const QList<QPair<QString, QStringList>> orders{
        {personal_columns::kindName(AddressKind::Home),
         {phoneColumn(PhoneKind::Home, 1), phoneColumn(PhoneKind::Home, 2), phoneColumn(PhoneKind::Mobile, 1),
          phoneColumn(PhoneKind::Mobile, 2)}},
        {personal_columns::kindName(AddressKind::Work),
         {phoneColumn(PhoneKind::Work, 1), phoneColumn(PhoneKind::Work, 2), phoneColumn(PhoneKind::Mobile, 1),
          phoneColumn(PhoneKind::Mobile, 2)}},
        {personal_columns::kindName(AddressKind::Other),
         {phoneColumn(1), phoneColumn(2), phoneColumn(3), phoneColumn(4), phoneColumn(5), phoneColumn(6)}}};
    for (const auto& [name, order] : orders) {
        if (name != kind) continue;
        for (const QString& column : order) {
            const QString number = record(column);
            if (!number.isEmpty()) return number;
        }
    }
    return {};
}

} // namespace

namespace {

int textRight(int column) {
    return kLabelWidth * (column + 1) - kRightMargin;
}

} // namespace

Placement recordPlacement(int index) {
    Placement p;
    p.sheet = index / kRecordsPerSheet;
    const int label = index % kRecordsPerSheet + 1; // the first label is the information block
    p.row = label / int(kColumnLefts.size());
    p.column = label % int(kColumnLefts.size());
    p.left = kColumnLefts[size_t(p.column)];
    p.top = kRowHeight * p.row;
    p.right = textRight(p.column);
    return p;
}

Placement informationPlacement(int sheet) {
    return Placement{sheet, 0, 0, kColumnLefts[0], 0, textRight(0)};
}

QString longTimeFormat(const QLocale& locale) {
    // Drops the time-zone letters ("t"), outside quoted text, with the blanks before them.
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString out;
    bool quoted = false;
    for (QChar c : format) {
        if (c == u'\'') quoted = !quoted;
        if (!quoted && c == u't') {
            while (out.endsWith(u' '))
                out.chop(1);
            continue;
        }
        out += c;
    }
    return out.trimmed();
}

QList<Line> informationBlock(const QDateTime& now, const QLocale& locale) {
    const QString stamp = locale.toString(now.date(), QLocale::ShortFormat) + u' ' +
                          locale.toString(now.time(), longTimeFormat(locale));
    const QString texts[] = {maker::kMainCaption, stamp, maker::kCompany, maker::kWeb, maker::kOrdersMail};
    QList<Line> lines;
    int offset = kFirstLine;
    for (const QString& text : texts) {
        lines.append({offset, text});
        offset += kLineHeight;
    }
    return lines;
}

NameLines splitName(const QString& name, int window) {
    if (name.size() < window) return {name, {}, false};
    const qsizetype blank = name.left(window).lastIndexOf(u' ');
    if (blank >= 0) return {name.left(blank), name.mid(blank + 1), true};
    return {name.left(window - 1), name.mid(window - 1), true};
}

AddressLines addressLines(const QString& street, const QString& houseNumber, const QString& part,
                          const QString& municipality) {
    const bool hasStreet = !street.isEmpty(), hasNumber = !houseNumber.isEmpty();
    const bool hasPart = !part.isEmpty(), hasTown = !municipality.isEmpty();
    const QString blank = u" "_s;
    if (hasStreet) {
        const QString line = street + blank + houseNumber;
        if (hasTown) return {line, hasPart ? municipality + u" - "_s + part : municipality};
        return {line, part};
    }
    if (hasNumber) {
        if (hasPart) return {part + blank + houseNumber, hasTown ? municipality : QString()};
        // Without street and part the municipality stands in for the street.
        if (hasTown) return {municipality + blank + houseNumber, municipality};
        return {};
    }
    if (hasPart) return {part, hasTown ? municipality : QString()};
    return {{}, municipality};
}

QList<Line> recordLines(Print print, const Fields& record, io::AddressChoice choice) {
    const Description& d = describe(print);
    QList<Line> lines;
    const auto add = [&lines](int offset, const QString& text) {
        if (!text.isEmpty()) lines.append({offset, text});
    };

    const NameLines name = nameLines(d, record);
    add(kFirstLine, name.first);
    if (name.twoLines) add(kSecondLine, name.second);
    // The lines below move down by one line after a two-line name.
    const int shift = name.twoLines ? kLineHeight : 0;

    // The personal print reads the group chosen; otherwise the record's own
    // address, which the directory's working tables name alike.
    const std::optional<AddressKind> chosen = io::addressKind(choice);
    const bool group = d.chosenAddress && chosen.has_value();
    const AddressKind kind = chosen.value_or(AddressKind::Home);
    const auto column = [&](AddressPart part) {
        return record(group ? personal_columns::addressColumn(kind, part)
                            : personal_columns::currentColumn(part));
    };
    const AddressLines address = addressLines(column(AddressPart::Street), column(AddressPart::HouseNumber),
                                              column(AddressPart::TownPart), column(AddressPart::Town));
    add(kSecondLine + shift, address.street);
    add(kSecondLine + kLineHeight + shift, address.municipality);
    add(kSecondLine + 2 * kLineHeight + shift, column(AddressPart::PostalCode));

    const int phoneOffset = kSecondLine + 3 * kLineHeight + shift;
    if (!d.phone.isEmpty()) {
        add(phoneOffset, kPhonePrefix + record(d.phone));
    } else {
        const QString number = personalPhone(kindOf(choice, record), record);
        if (!number.isEmpty()) add(phoneOffset, kPhonePrefix + number);
    }
    return lines;
}

} // namespace labels
