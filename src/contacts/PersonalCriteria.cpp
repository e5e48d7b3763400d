#include "PersonalCriteria.h"

#include "PersonalColumns.h"
#include "SearchCriteria.h"

namespace personal_criteria {

namespace {

using search_criteria::quoted;

QString s(const char* text) {
    return QString::fromUtf8(text);
}

using namespace personal_columns;

// The column of each address group for one part of the address. The
// statements spell the group's street as the current-address group does
// ("domu_Ulice").
QStringList inEveryGroup(AddressPart part) {
    QStringList columns;
    for (AddressKind kind : kAddressKinds)
        columns << kindName(kind) + u'_' + currentColumn(part);
    return columns;
}

// A filled box with the columns its check and its condition look at.
struct BoxColumns {
    Field field;
    QStringList columns;
    QString message;
};

// In the order the checks run: the house number before the town, unlike the
// statement's conditions.
const QList<BoxColumns>& checkedBoxes() {
    static const QList<BoxColumns> boxes{
        {Field::Surname, {kSurname}, s("Bylo zadáno neexistující příjmení!")},
        {Field::FirstName, {kFirstName}, s("Bylo zadáno neexistující jméno!")},
        {Field::Firm, {kFirm}, s("Byla zadána neexistující firma!")},
        {Field::Street, inEveryGroup(AddressPart::Street), s("Byla zadána neexistující ulice!")},
        {Field::HouseNumber, inEveryGroup(AddressPart::HouseNumber),
         s("Bylo zadáno neexistující popisné číslo!")},
        {Field::Town, inEveryGroup(AddressPart::Town), s("Byla zadána neexistující obec!")},
        {Field::PostalCode, inEveryGroup(AddressPart::PostalCode), s("Bylo zadáno neexistující PSČ!")},
    };
    return boxes;
}

// "column op value" for every column, joined by OR.
QString anyOf(const QStringList& columns, const QString& op, const QString& value) {
    QStringList parts;
    for (const QString& column : columns)
        parts << column + op + quoted(value);
    return parts.join(s(" OR "));
}

// Listings go by surname, then firm.
QString byName() {
    return s(" ORDER BY ") + kSurname + s(", ") + kFirm;
}

QString phoneCondition(const QString& value) {
    QStringList columns;
    for (int n = 1; n <= kPhoneCount; ++n)
        columns << phoneColumn(n);
    return u'(' + anyOf(columns, s(" = "), value) + u')';
}

} // namespace

bool hasWildcardSwitch(Field field) {
    return field == Field::Surname || field == Field::Firm || field == Field::Street || field == Field::Town;
}

void normalise(Fields& f) {
    for (QString& text : f.text)
        text = search_criteria::valueFilter(text);
    f[Field::PostalCode].remove(u' ');
    // The page's telephone box already keeps nothing but digits.
    f[Field::Phone] = search_criteria::digitsOnly(f[Field::Phone]);
    for (int i = 0; i < kFieldCount; ++i) {
        const Field field = Field(i);
        QString& text = f[field];
        if (hasWildcardSwitch(field) && f.wildcardOf(field) && !text.isEmpty() && !text.endsWith(u'*'))
            text += u'*';
    }
}

bool isEmptyRequest(const Fields& f) {
    for (const QString& text : f.text)
        if (!text.isEmpty()) return false;
    return true;
}

Field firstFilled(const Fields& f) {
    for (int i = 0; i < kFieldCount; ++i)
        if (!f.text[size_t(i)].isEmpty()) return Field(i);
    return Field::Surname;
}

QList<Probe> probes(const Fields& f) {
    QList<Probe> out;
    for (const BoxColumns& box : checkedBoxes()) {
        const QString& value = f[box.field];
        if (!value.isEmpty()) out << Probe{box.field, box.columns, value, box.message};
    }
    return out;
}

QString probeStatement(const QString& column, const QString& value) {
    return search_criteria::probeStatement(s("vlastni"), column, value);
}

QStringList statementLines(const Fields& f, int searchLimit) {
    QStringList lines{s("SELECT TOP ") + QString::number(searchLimit) + s(" * FROM vlastni WHERE ")};
    QStringList conditions;
    const auto like = [&](Field field, const QString& condition) {
        if (!f[field].isEmpty()) conditions << condition;
    };
    like(Field::Surname, kSurname + s(" LIKE ") + quoted(f[Field::Surname]));
    like(Field::FirstName, u'(' + kFirstName + s(" LIKE ") + quoted(f[Field::FirstName]) + u')');
    like(Field::Firm, u'(' + kFirm + s(" LIKE ") + quoted(f[Field::Firm]) + u')');
    // Any of the three addresses may hold the value.
    const auto anyGroup = [&](Field field, AddressPart part) {
        like(field, u'(' + anyOf(inEveryGroup(part), s(" LIKE "), f[field]) + u')');
    };
    anyGroup(Field::Street, AddressPart::Street);
    anyGroup(Field::Town, AddressPart::Town);
    anyGroup(Field::HouseNumber, AddressPart::HouseNumber);
    anyGroup(Field::PostalCode, AddressPart::PostalCode);
    // Numbers are stored without blanks and the box holds digits only: the
    // whole number is compared.
    like(Field::Phone, phoneCondition(f[Field::Phone]));
    for (int i = 0; i < conditions.size(); ++i)
        lines << (i == 0 ? QString() : s(" AND ")) + conditions[i];
    return lines;
}

QStringList letterGroup(QChar letter) {
    // Each letter of the bar with the accented letters that sort with it.
    static const char* const groups[26] = {
        "a",  "b",  "cč", "dď", "eéě", "f",  "g",  "h",   "ií", "j", "k", "l",  "m",
        "nň", "oó", "p",  "q",  "rř",  "sš", "tť", "uúů", "v",  "w", "x", "yý", "zž",
    };
    const int i = letter.toLower().unicode() - u'a';
    if (i < 0 || i >= 26) return {};
    QStringList out;
    for (QChar c : s(groups[i]))
        out << QString(c);
    return out;
}

QString letterCondition(QChar letter) {
    QStringList parts;
    for (const QString& l : letterGroup(letter)) {
        const QString pattern = quoted(l + u'*');
        parts << kSurname + s(" LIKE ") + pattern + s(" OR ") + kFirm + s(" LIKE ") + pattern;
    }
    return parts.join(s(" OR "));
}

QString letterStatement(QChar letter) {
    return s("SELECT * FROM vlastni WHERE ") + letterCondition(letter) + byName();
}

QString allRecordsStatement() {
    return s("SELECT * FROM vlastni") + byName();
}

} // namespace personal_criteria
