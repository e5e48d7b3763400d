#include "LabelLayout.h"

#include "Maker.h"

namespace labels {

namespace {

QString s(const char* text) {
    return QString::fromUtf8(text);
}

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
    const char* firstName;
    const char* title;
    // Window of the firm-name split; 0 for a print that shows no firm names.
    int firmWindow;
    // The address of the chosen kind (else the record's Ulice, CP, Obec, Cast, PSC).
    bool chosenAddress;
    // The one telephone column, drawn even when empty; null: the first number
    // found in the address kind's order, and no line without one.
    const char* phone;
};

const Description& describe(Print print) {
    static const Description persons{Description::Name::Person, "Jmeno", "Titul", 0, false, "Tel"};
    static const Description firms{Description::Name::Firm, nullptr, nullptr, 35, false, "Tel"};
    static const Description personal{
        Description::Name::ByAddressKind, "Jmeno_1", "Titul_1", 32, true, nullptr};
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
    const QString kind = record(s("zobraz_adr"));
    return kind.isEmpty() ? s("domu") : kind;
}

QString kindOf(io::AddressChoice choice, const Fields& record) {
    switch (choice) {
    case io::AddressChoice::Home:
        return s("domu");
    case io::AddressChoice::Work:
        return s("zam");
    case io::AddressChoice::Other:
        return s("jine");
    case io::AddressChoice::RecordDefault:
        break;
    }
    return recordKind(record);
}

QString personName(const Description& d, const Fields& record) {
    // The blanks stay when parts are empty.
    return record(s("Prijmeni")) + u' ' + record(s(d.firstName)) + u' ' + record(s(d.title));
}

NameLines nameLines(const Description& d, const Fields& record) {
    const auto firm = [&] {
        const QString name = record(s("Firma"));
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
    if (kind == u"domu") return {personName(d, record), {}, false};
    if (kind == u"zam") return firm();
    if (kind == u"jine") {
        if (!record(s("Prijmeni")).isEmpty()) return {personName(d, record), {}, false};
        return firm();
    }
    return {};
}

QString addressColumn(const QString& prefix, const char* column) {
    // The personal tables spell the street of a kind in lower case ("domu_ulice").
    if (prefix.isEmpty()) return s(column);
    return prefix + (qstrcmp(column, "Ulice") == 0 ? s("ulice") : s(column));
}

QString personalPhone(const QString& kind, const Fields& record) {
    static const QList<QPair<QString, QList<int>>> orders{
        {s("domu"), {3, 4, 1, 2}}, {s("zam"), {5, 6, 1, 2}}, {s("jine"), {1, 2, 3, 4, 5, 6}}};
    for (const auto& [name, order] : orders) {
        if (name != kind) continue;
        for (int n : order) {
            const QString number = record(s("Tel_") + QString::number(n));
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
    const QString blank = s(" ");
    if (hasStreet) {
        const QString line = street + blank + houseNumber;
        if (hasTown) return {line, hasPart ? municipality + s(" - ") + part : municipality};
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

    const QString prefix = d.chosenAddress ? io::addressColumnPrefix(choice) : QString();
    const auto column = [&](const char* name) { return record(addressColumn(prefix, name)); };
    const AddressLines address = addressLines(column("Ulice"), column("CP"), column("Cast"), column("Obec"));
    add(kSecondLine + shift, address.street);
    add(kSecondLine + kLineHeight + shift, address.municipality);
    add(kSecondLine + 2 * kLineHeight + shift, column("PSC"));

    const int phoneOffset = kSecondLine + 3 * kLineHeight + shift;
    if (d.phone) {
        add(phoneOffset, kPhonePrefix + record(s(d.phone)));
    } else {
        const QString number = personalPhone(kindOf(choice, record), record);
        if (!number.isEmpty()) add(phoneOffset, kPhonePrefix + number);
    }
    return lines;
}

} // namespace labels
