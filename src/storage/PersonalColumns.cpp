#include "PersonalColumns.h"

#include "TextHelpers.h"

namespace personal_columns {

namespace {

using db::ColumnType;

struct PartInfo {
    QString suffix;  // after the group's prefix and "_"
    QString current; // in the current-address group
    int size;
    Form form;
};

// In the order of AddressPart. The group spells its street in lower case
// ("domu_ulice"), the current-address group does not ("Ulice").
const std::array<PartInfo, 6>& parts() {
    static const std::array<PartInfo, 6> p{{
        {QStringLiteral("ulice"), QStringLiteral("Ulice"), 250, Form::Plain},
        {QStringLiteral("CP"), QStringLiteral("CP"), 50, Form::Plain},
        {QStringLiteral("Obec"), QStringLiteral("Obec"), 50, Form::Plain},
        {QStringLiteral("Cast"), QStringLiteral("Cast"), 50, Form::Plain},
        {QStringLiteral("PSC"), QStringLiteral("PSC"), 6, Form::PostalCode},
        {QStringLiteral("Stat"), QStringLiteral("Stat"), 50, Form::Plain},
    }};
    return p;
}

const PartInfo& info(AddressPart part) {
    return parts()[size_t(part)];
}

Column text(const QString& name, int size, Form form = Form::Plain) {
    return {name, ColumnType::Text, size, Role::Value, form};
}

QList<Column> addressGroup(AddressKind kind) {
    QList<Column> out;
    for (AddressPart p : kAddressParts)
        out << text(addressColumn(kind, p), info(p).size, info(p).form);
    return out;
}

QList<Column> currentGroup() {
    QList<Column> out;
    for (AddressPart p : kAddressParts)
        out << text(currentColumn(p), info(p).size, info(p).form);
    return out;
}

db::FieldDef fieldOf(const Column& c) {
    if (c.role == Role::Key) return {c.name, ColumnType::Long, 0, db::AutoIncrement};
    return {c.name, c.type, c.type == ColumnType::Text ? c.size : 0, 0};
}

// Every column a name may refer to: the personal table's and the current-address group.
const QList<Column>& known() {
    static const QList<Column> all = columns() + currentGroup();
    return all;
}

} // namespace

QString kindName(AddressKind kind) {
    switch (kind) {
    case AddressKind::Work:
        return QStringLiteral("zam");
    case AddressKind::Other:
        return QStringLiteral("jine");
    case AddressKind::Home:
        break;
    }
    return QStringLiteral("domu");
}

std::optional<AddressKind> kindFromName(const QString& name) {
    const QString trimmed = name.trimmed();
    for (AddressKind k : kAddressKinds)
        if (trimmed.compare(kindName(k), Qt::CaseInsensitive) == 0) return k;
    return std::nullopt;
}

AddressKind shownKind(const QString& zobrazAdr) {
    return kindFromName(zobrazAdr).value_or(AddressKind::Home);
}

QString addressColumn(AddressKind kind, AddressPart part) {
    return kindName(kind) + u'_' + info(part).suffix;
}

QString currentColumn(AddressPart part) {
    return info(part).current;
}

QString phoneColumn(int n) {
    return QStringLiteral("Tel_") + QString::number(n);
}

QString phoneColumn(PhoneKind kind, int which) {
    return phoneColumn(2 * int(kind) + which);
}

QString emailColumn(int n) {
    return QStringLiteral("E-mail_") + QString::number(n);
}

const QList<Column>& columns() {
    static const QList<Column> table = [] {
        QList<Column> t{
            {kId, ColumnType::Long, 0, Role::Key, Form::Plain},
            {kRunningNumber, ColumnType::Long, 0, Role::Running, Form::Plain},
            {kMark, ColumnType::Boolean, 0, Role::Mark, Form::Plain},
            text(kTitle, 30),
            text(kFirstName, 30),
            text(kSurname, 50),
            text(kFirm, 100),
            text(kFunction, 100),
            text(kIco, 30),
            text(kDic, 30),
        };
        for (AddressKind k : kAddressKinds)
            t << addressGroup(k);
        t << text(kInternet, 250);
        for (int n = 1; n <= kEmailCount; ++n)
            t << text(emailColumn(n), 250);
        for (int n = 1; n <= kPhoneCount; ++n)
            t << text(phoneColumn(n), 50, Form::Phone);
        t << Column{kInfo, ColumnType::Memo, 0, Role::Value, Form::Plain};
        t << Column{kAddressKind, ColumnType::Text, 6, Role::ShownKind, Form::Plain};
        return t;
    }();
    return table;
}

const Column* find(const QString& name) {
    for (const Column& c : known())
        if (c.name.compare(name, Qt::CaseInsensitive) == 0) return &c;
    return nullptr;
}

int size(const QString& name) {
    const Column* c = find(name);
    return c && c->type == ColumnType::Text ? c->size : 0;
}

const QStringList& valueColumns() {
    static const QStringList names = [] {
        QStringList out;
        for (const Column& c : columns())
            if (c.role == Role::Value) out << c.name;
        return out;
    }();
    return names;
}

Form formOf(const QString& column) {
    const Column* c = find(column);
    return c ? c->form : Form::Plain;
}

QString storedForm(const QString& column, const QString& text) {
    return formOf(column) == Form::Plain ? text : text::removeBlanks(text);
}

QString shownForm(const QString& column, const QString& text) {
    switch (formOf(column)) {
    case Form::PostalCode:
        return text::postalCodeSplit(text);
    case Form::Phone: {
        const QString grouped = text::phoneGrouping(text);
        return grouped.size() <= size(column) ? grouped : text;
    }
    case Form::Plain:
        break;
    }
    return text;
}

db::TableDef personalTable() {
    db::TableDef t{QStringLiteral("Vlastni"), {}};
    for (const Column& c : columns())
        t.fields << fieldOf(c);
    return t;
}

db::TableDef workingTable() {
    db::TableDef t{QStringLiteral("vlastni"), {}};
    const QString firstAddress = addressColumn(kAddressKinds.front(), kAddressParts.front());
    const Column* kind = find(kAddressKind);
    for (const Column& c : columns()) {
        if (c.role == Role::ShownKind) continue;
        if (c.name == firstAddress)
            for (const Column& current : currentGroup())
                t.fields << fieldOf(current);
        if (c.name == kInfo) t.fields << fieldOf(*kind);
        t.fields << fieldOf(c);
    }
    return t;
}

} // namespace personal_columns
