#include "PersonalCriteria.h"

#include "PersonalColumns.h"
#include "SearchCriteria.h"

using namespace Qt::StringLiterals;

namespace personal_criteria {

namespace {

using search_criteria::quoted;

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
        {Field::Surname, {kSurname}, u"Bylo zadáno neexistující příjmení!"_s},
        {Field::FirstName, {kFirstName}, u"Bylo zadáno neexistující jméno!"_s},
        {Field::Firm, {kFirm}, u"Byla zadána neexistující firma!"_s},
        {Field::Street, inEveryGroup(AddressPart::Street), u"Byla zadána neexistující ulice!"_s},
        {Field::HouseNumber, inEveryGroup(AddressPart::HouseNumber),
         u"Bylo zadáno neexistující popisné číslo!"_s},
        {Field::Town, inEveryGroup(AddressPart::Town), u"Byla zadána neexistující obec!"_s},
        {Field::PostalCode, inEveryGroup(AddressPart::PostalCode), u"Bylo zadáno neexistující PSČ!"_s},
    };
    return boxes;
}

// "column op value" for every column, joined by OR.
QString anyOf(const QStringList& columns, const QString& op, const QString& value) {
    QStringList parts;
    for (const QString& column : columns)
        parts << column + op + quoted(value);
    return parts.join(u" OR "_s);
}

// Listings go by surname, then firm.
QString byName() {
    return u" ORDER BY "_s + kSurname + u", "_s + kFirm;
}

QString phoneCondition(const QString& value) {
    QStringList columns;
    for (int n = 1; n <= kPhoneCount; ++n)
        columns << phoneColumn(n);
    return u'(' + anyOf(columns, u" = "_s, value) + u')';
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
    return search_criteria::probeStatement(u"vlastni"_s, column, value);
}

QStringList statementLines(const Fields& f, int searchLimit) {
    QStringList lines{u"SELECT TOP "_s + QString::number(searchLimit) + u" * FROM vlastni WHERE "_s};
    QStringList conditions;
    const auto like = [&](Field field, const QString& condition) {
        if (!f[field].isEmpty()) conditions << condition;
    };
    like(Field::Surname, kSurname + u" LIKE "_s + quoted(f[Field::Surname]));
    like(Field::FirstName, u'(' + kFirstName + u" LIKE "_s + quoted(f[Field::FirstName]) + u')');
    like(Field::Firm, u'(' + kFirm + u" LIKE "_s + quoted(f[Field::Firm]) + u')');
    // Any of the three addresses may hold the value.
    const auto anyGroup = [&](Field field, AddressPart part) {
        like(field, u'(' + anyOf(inEveryGroup(part), u" LIKE "_s, f[field]) + u')');
    };
    anyGroup(Field::Street, AddressPart::Street);
    anyGroup(Field::Town, AddressPart::Town);
    anyGroup(Field::HouseNumber, AddressPart::HouseNumber);
    anyGroup(Field::PostalCode, AddressPart::PostalCode);
    // Numbers are stored without blanks and the box holds digits only: the
    // whole number is compared.
    like(Field::Phone, phoneCondition(f[Field::Phone]));
    for (int i = 0; i < conditions.size(); ++i)
        lines << (i == 0 ? QString() : u" AND "_s) + conditions[i];
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
    for (QChar c : QString::fromUtf8(groups[i]))
        out << QString(c);
    return out;
}

QString letterCondition(QChar letter) {
    QStringList parts;
    for (const QString& l : letterGroup(letter)) {
        const QString pattern = quoted(l + u'*');
        parts << kSurname + u" LIKE "_s + pattern + u" OR "_s + kFirm + u" LIKE "_s + pattern;
    }
    return parts.join(u" OR "_s);
}

QString letterStatement(QChar letter) {
    return u"SELECT * FROM vlastni WHERE "_s + letterCondition(letter) + byName();
}

QString allRecordsStatement() {
    return u"SELECT * FROM vlastni"_s + byName();
}

} // namespace personal_criteria
