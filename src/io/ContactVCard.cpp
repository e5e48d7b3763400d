#include "ContactVCard.h"

#include "PersonalColumns.h"

#include <QHash>

#include <optional>

using namespace Qt::StringLiterals;

namespace io {

namespace {

enum class Shape {
    Name,    // N: its family name, given names and titles into the columns in this order
    Text,    // one value per slot, the columns filled in turn
    Uri,     // as Text; written without escapes, as a URI is
    Phone,   // as Text; cleaned as the telephone columns are
    Memo,    // every value into the one slot, one line each
    Address, // ADR: one address group per slot, named by its column prefix
};

// One row of the mapping: a property, the TYPE values that select this row
// (none: any type), and the columns (for addresses the column prefixes) it
// fills in turn. Reading takes the first row whose property and types match;
// a value finding no free slot is left out. Writing writes the rows marked
// so, with the first of their types.
struct Entry {
    QString property;
    QStringList types;
    Shape shape;
    QStringList columns;
    bool written;
};

const QList<Entry>& mapping() {
    using namespace personal_columns;
    static const QList<Entry> table = [] {
        const auto phones = [](PhoneKind kind) {
            return QStringList{phoneColumn(kind, 1), phoneColumn(kind, 2)};
        };
        QStringList anyPhone, emails;
        for (int n = 1; n <= kPhoneCount; ++n)
            anyPhone << phoneColumn(n);
        for (int n = 1; n <= kEmailCount; ++n)
            emails << emailColumn(n);
        return QList<Entry>{
            {u"N"_s, {}, Shape::Name, {kSurname, kFirstName, kTitle}, true},
            {u"ORG"_s, {}, Shape::Text, {kFirm}, true},
            {u"TITLE"_s, {}, Shape::Text, {kFunction}, true},
            {u"ADR"_s, {u"home"_s}, Shape::Address, {kindName(AddressKind::Home)}, true},
            {u"ADR"_s, {u"work"_s}, Shape::Address, {kindName(AddressKind::Work)}, true},
            {u"ADR"_s, {}, Shape::Address, {kindName(AddressKind::Other)}, true},
            // Fax and pager numbers have no column.
            {u"TEL"_s, {u"fax"_s, u"pager"_s}, Shape::Phone, {}, false},
            {u"TEL"_s, {u"cell"_s, u"mobile"_s, u"iphone"_s}, Shape::Phone, phones(PhoneKind::Mobile), true},
            {u"TEL"_s, {u"home"_s}, Shape::Phone, phones(PhoneKind::Home), true},
            {u"TEL"_s, {u"work"_s}, Shape::Phone, phones(PhoneKind::Work), true},
            // A number of no kind takes the first free of the six.
            {u"TEL"_s, {}, Shape::Phone, anyPhone, false},
            {u"EMAIL"_s, {}, Shape::Text, emails, true},
            {u"URL"_s, {}, Shape::Uri, {kInternet}, true},
            {u"NOTE"_s, {}, Shape::Memo, {kInfo}, true},
        };
    }();
    return table;
}

// The columns of an address group, named by its prefix.
QString groupColumn(const QString& prefix, personal_columns::AddressPart part) {
    return personal_columns::addressColumn(personal_columns::shownKind(prefix), part);
}
QString street(const QString& p) {
    return groupColumn(p, personal_columns::AddressPart::Street);
}
QString houseNumber(const QString& p) {
    return groupColumn(p, personal_columns::AddressPart::HouseNumber);
}
QString municipality(const QString& p) {
    return groupColumn(p, personal_columns::AddressPart::Town);
}
QString part(const QString& p) {
    return groupColumn(p, personal_columns::AddressPart::TownPart);
}
QString postalCode(const QString& p) {
    return groupColumn(p, personal_columns::AddressPart::PostalCode);
}
QString country(const QString& p) {
    return groupColumn(p, personal_columns::AddressPart::Country);
}
QStringList addressColumns(const QString& p) {
    QStringList out;
    for (personal_columns::AddressPart part : personal_columns::kAddressParts)
        out << groupColumn(p, part);
    return out;
}

// Properties that carry nothing for a record beyond what the others give.
bool isBookkeeping(const QString& name) {
    static const QStringList names{u"FN"_s, u"PRODID"_s, u"REV"_s, u"UID"_s, u"KIND"_s, u"CLIENTPIDMAP"_s};
    return names.contains(name);
}

const Entry* entryFor(const vcard::Property& p) {
    for (const Entry& e : mapping()) {
        if (e.property != p.name) continue;
        if (e.types.isEmpty()) return &e;
        for (const QString& type : e.types)
            if (p.hasType(type)) return &e;
    }
    return nullptr;
}

QString joined(const QStringList& parts, const QString& separator) {
    QStringList filled;
    for (const QString& part : parts)
        if (!part.trimmed().isEmpty()) filled << part.trimmed();
    return filled.join(separator);
}

QString withoutScheme(const QString& text, const char* scheme) {
    const QString prefix = QString::fromUtf8(scheme);
    return text.startsWith(prefix, Qt::CaseInsensitive) ? text.mid(prefix.size()) : text;
}

// The record being filled from a card.
class Filling {
  public:
    bool isSet(const QString& column) const { return m_texts.contains(column); }
    QString text(const QString& column) const { return m_texts.value(column); }

    // Stores the text fitted to the column; an empty text stores nothing.
    void set(const QString& column, const QString& text) {
        QString single = text;
        // Only the note holds several lines; elsewhere a line break becomes a separator.
        if (column != personal_columns::kInfo) single = joined(text.split(u'\n'), u", "_s);
        const QString value = fitted(column, single, &m_record.cut);
        if (value.isEmpty()) return;
        if (!m_texts.contains(column)) m_order << column;
        m_texts.insert(column, value);
    }
    void leaveOut() { ++m_record.leftOut; }

    NewRecord take(const QString& addressKind) {
        for (const QString& column : m_order)
            m_record.values.append({column, m_texts.value(column)});
        m_record.addressKind = addressKind;
        return m_record;
    }

  private:
    QHash<QString, QString> m_texts;
    QStringList m_order;
    NewRecord m_record;
};

struct Address {
    QString prefix;
    int pref = 0;
};

// N: family name; given names; additional names; honorific prefixes; suffixes.
// The record has one first-name column and one title column for degrees
// before and after the name.
void readName(const vcard::Property& p, const Entry& e, Filling& record) {
    const QStringList c = p.components();
    const QString family = c.value(0).trimmed();
    const QString given = joined({c.value(1), c.value(2)}, u" "_s);
    const QString title = joined({c.value(3), c.value(4)}, u" "_s);
    if (family.isEmpty() && given.isEmpty() && title.isEmpty()) return;
    if (record.isSet(e.columns[0]) || record.isSet(e.columns[1]) || record.isSet(e.columns[2]))
        return record.leaveOut();
    record.set(e.columns[0], family);
    record.set(e.columns[1], given);
    record.set(e.columns[2], title);
}

// ADR: post office box; extended address; street; locality; region; postal
// code; country. The extended address, or else the region, is the part of
// the municipality.
std::optional<Address> readAddress(const vcard::Property& p, const Entry& e, Filling& record) {
    const QStringList c = p.components();
    if (joined(c, u""_s).isEmpty()) return std::nullopt;
    for (const QString& prefix : e.columns) {
        bool free = true;
        for (const QString& column : addressColumns(prefix))
            free = free && !record.isSet(column);
        if (!free) continue;
        const auto [streetName, number] = splitStreet(c.value(2).trimmed());
        record.set(street(prefix), streetName);
        record.set(houseNumber(prefix), number);
        record.set(municipality(prefix), c.value(3).trimmed());
        const QString extended = c.value(1).trimmed(), region = c.value(4).trimmed();
        record.set(part(prefix), extended.isEmpty() ? region : extended);
        if (!extended.isEmpty() && !region.isEmpty()) record.leaveOut();
        if (!c.value(0).trimmed().isEmpty()) record.leaveOut();
        record.set(postalCode(prefix), c.value(5).trimmed());
        record.set(country(prefix), c.value(6).trimmed());
        return Address{prefix, p.pref};
    }
    record.leaveOut();
    return std::nullopt;
}

void readValue(const vcard::Property& p, const Entry& e, Filling& record) {
    QString text = e.property == u"ORG" ? joined(p.components(), u", "_s) : p.text();
    if (e.shape == Shape::Phone) text = withoutScheme(text.trimmed(), "tel:");
    if (e.property == u"EMAIL") text = withoutScheme(text.trimmed(), "mailto:");
    if (text.trimmed().isEmpty()) return;
    // A note keeps its blanks and lines as they are; other values lose the blanks around them.
    if (e.shape != Shape::Memo) text = text.trimmed();
    if (e.shape == Shape::Memo) {
        const QString& column = e.columns[0];
        record.set(column, record.isSet(column) ? record.text(column) + u'\n' + text : text);
        return;
    }
    for (const QString& column : e.columns)
        if (!record.isSet(column)) return record.set(column, text);
    record.leaveOut();
}

QString addressKindOf(const QList<Address>& addresses) {
    const Address* chosen = nullptr;
    for (const Address& a : addresses)
        if (a.pref > 0 && (!chosen || a.pref < chosen->pref)) chosen = &a;
    if (!chosen && !addresses.isEmpty()) chosen = &addresses.first();
    return chosen ? chosen->prefix : personal_columns::kindName(personal_columns::AddressKind::Home);
}

QString typeParameter(const Entry& e) {
    return e.types.isEmpty() ? QString() : u";TYPE="_s + e.types.first();
}

} // namespace

std::pair<QString, QString> splitStreet(const QString& street) {
    const QString trimmed = street.trimmed();
    const qsizetype blank = trimmed.lastIndexOf(u' ');
    const QString last = trimmed.mid(blank + 1);
    if (last.isEmpty() || !last.front().isDigit()) return {trimmed, QString()};
    return {trimmed.left(qMax<qsizetype>(blank, 0)).trimmed(), last};
}

NewRecord recordFromCard(const vcard::Card& card) {
    Filling record;
    QList<Address> addresses;
    QString fullName;
    for (const vcard::Property& p : card.properties) {
        if (isBookkeeping(p.name)) {
            if (p.name == u"FN") fullName = p.text().trimmed();
            continue;
        }
        const Entry* e = entryFor(p);
        if (!e || p.binary) {
            record.leaveOut();
            continue;
        }
        switch (e->shape) {
        case Shape::Name:
            readName(p, *e, record);
            break;
        case Shape::Address:
            if (const auto a = readAddress(p, *e, record)) addresses.append(*a);
            break;
        case Shape::Text:
        case Shape::Uri:
        case Shape::Phone:
        case Shape::Memo:
            readValue(p, *e, record);
            break;
        }
    }
    // Without a name of its parts the formatted name stands for the surname,
    // unless it only repeats the firm.
    using namespace personal_columns;
    const bool named = record.isSet(kSurname) || record.isSet(kFirstName);
    if (!named && !fullName.isEmpty() && fullName != record.text(kFirm)) record.set(kSurname, fullName);
    return record.take(addressKindOf(addresses));
}

QByteArray cardOf(const std::function<QString(const QString& column)>& column) {
    using vcard::contentLine;
    using vcard::escaped;
    QByteArray out = contentLine(u"BEGIN:VCARD"_s) + contentLine(u"VERSION:4.0"_s);
    namespace pc = personal_columns;
    QString formatted = joined({column(pc::kTitle), column(pc::kFirstName), column(pc::kSurname)}, u" "_s);
    if (formatted.isEmpty()) formatted = column(pc::kFirm).trimmed();
    out += contentLine(u"FN:"_s + escaped(formatted));
    QString preferred = column(pc::kAddressKind).trimmed();
    if (preferred.isEmpty()) preferred = pc::kindName(pc::AddressKind::Home);

    for (const Entry& e : mapping()) {
        if (!e.written) continue;
        const QString head = e.property + typeParameter(e);
        switch (e.shape) {
        case Shape::Name: {
            QStringList parts;
            for (const QString& c : e.columns)
                parts << escaped(column(c));
            out += contentLine(head + u':' + parts[0] + u';' + parts[1] + u";;"_s + parts[2] + u';');
            break;
        }
        case Shape::Address:
            for (const QString& prefix : e.columns) {
                QStringList values;
                for (const QString& c : addressColumns(prefix))
                    values << column(c);
                if (joined(values, u""_s).isEmpty()) continue;
                const QString streetLine =
                    joined({column(street(prefix)), column(houseNumber(prefix))}, u" "_s);
                const QStringList parts{QString(),
                                        escaped(column(part(prefix))),
                                        escaped(streetLine),
                                        escaped(column(municipality(prefix))),
                                        QString(),
                                        escaped(column(postalCode(prefix))),
                                        escaped(column(country(prefix)))};
                const QString pref = prefix == preferred ? u";PREF=1"_s : QString();
                out += contentLine(head + pref + u':' + parts.join(u';'));
            }
            break;
        case Shape::Text:
        case Shape::Phone:
        case Shape::Memo:
            for (const QString& c : e.columns)
                if (const QString v = column(c); !v.isEmpty()) out += contentLine(head + u':' + escaped(v));
            break;
        case Shape::Uri:
            for (const QString& c : e.columns) {
                // A URI has no escapes; a line break has no place in one.
                const QString v = column(c).remove(u'\r').remove(u'\n').trimmed();
                if (!v.isEmpty()) out += contentLine(head + u':' + v);
            }
            break;
        }
    }
    out += contentLine(u"END:VCARD"_s);
    return out;
}

} // namespace io
