#include "PersonalRowCopy.h"

#include "Dataset.h"
#include "TextHelpers.h"

#include <QStringList>

namespace personal_copy {

namespace {

QString s(const char* text) {
    return QString::fromUtf8(text);
}

// The telephone columns are Text(50) in both tables: a number so long that its
// blanks would not fit is shown as stored rather than refused.
constexpr int kPhoneSize = 50;

// The parts of an address group, in the order they are copied, with whether
// the part is a postal code.
struct AddressPart {
    const char* name;
    bool postalCode;
};
constexpr AddressPart kParts[] = {{"Ulice", false}, {"PSC", true}, {"Obec", false},
                                  {"Cast", false},  {"CP", false}, {"Stat", false}};

void copyValue(const db::Dataset& from, const QString& fromColumn, db::Dataset& to, const QString& toColumn) {
    to.setValue(toColumn, from.value(fromColumn));
}

// A postal code in its display form; Null stays Null.
void copyPostalCode(const db::Dataset& from, const QString& fromColumn, db::Dataset& to,
                    const QString& toColumn) {
    if (from.isNull(fromColumn)) return;
    to.setValue(toColumn, text::postalCodeSplit(from.text(fromColumn)));
}

void copyPhone(const db::Dataset& from, const QString& column, db::Dataset& to) {
    if (from.isNull(column)) return;
    const QString stored = from.text(column);
    const QString grouped = text::phoneGrouping(stored);
    to.setValue(column, grouped.size() <= kPhoneSize ? grouped : stored);
}

void copyGroup(const db::Dataset& from, const QString& kind, db::Dataset& to, bool intoCurrent) {
    for (const AddressPart& part : kParts) {
        const QString source = kind + u'_' + s(part.name);
        const QString target = intoCurrent ? s(part.name) : source;
        if (part.postalCode)
            copyPostalCode(from, source, to, target);
        else
            copyValue(from, source, to, target);
    }
}

} // namespace

QString addressKind(const QString& zobrazAdr) {
    const QString kind = zobrazAdr.trimmed().toLower();
    if (kind == u"zam" || kind == u"jine") return kind;
    return s("domu");
}

void copyToWorking(const db::Dataset& record, db::Dataset& working, int runningNumber) {
    working.setValue(s("ID2"), runningNumber);
    working.setValue(s("Zn"), false);
    for (const char* column : {"ID", "Titul_1", "Jmeno_1", "Prijmeni", "Firma", "Funkce", "ICO", "DIC"})
        copyValue(record, s(column), working, s(column));

    const QString kind = addressKind(record.text(s("zobraz_adr")));
    copyGroup(record, kind, working, true);
    for (const char* group : {"domu", "zam", "jine"})
        copyGroup(record, s(group), working, false);

    copyValue(record, s("Info"), working, s("Info"));
    for (int i = 1; i <= 6; ++i)
        copyPhone(record, s("Tel_") + QString::number(i), working);
    for (const char* column : {"Internet", "E-mail_1", "E-mail_2", "E-mail_3"})
        copyValue(record, s(column), working, s(column));
    working.setValue(s("zobraz_adr"), kind);
}

} // namespace personal_copy
