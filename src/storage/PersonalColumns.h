#pragma once

#include "Database.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// The personal record described once: the columns of the personal table
// (Vlastni) with their types and sizes, the three address groups and their
// kinds, the six telephone numbers, the three e-mail addresses, and the form
// each value is shown in and stored in. The tables are created from it, and
// the copy step, the contact editor, the record label, the searches, the
// transfers, the import, the vCards, the export and the label print name
// their columns through it. A new column is one more row in columns().
namespace personal_columns {

// ---- single columns ----
inline const QString kId = QStringLiteral("ID");
inline const QString kRunningNumber = QStringLiteral("ID2");
inline const QString kMark = QStringLiteral("Zn");
inline const QString kTitle = QStringLiteral("Titul_1");
inline const QString kFirstName = QStringLiteral("Jmeno_1");
inline const QString kSurname = QStringLiteral("Prijmeni");
inline const QString kFirm = QStringLiteral("Firma");
inline const QString kFunction = QStringLiteral("Funkce");
inline const QString kIco = QStringLiteral("ICO");
inline const QString kDic = QStringLiteral("DIC");
inline const QString kInternet = QStringLiteral("Internet");
inline const QString kInfo = QStringLiteral("Info");
// Which address group is the record's own: "domu", "zam" or "jine".
inline const QString kAddressKind = QStringLiteral("zobraz_adr");

// ---- address groups ----
// Home ("domu"), work ("zam") and other ("jine"), in the order of the table.
enum class AddressKind { Home, Work, Other };
inline constexpr std::array<AddressKind, 3> kAddressKinds{AddressKind::Home, AddressKind::Work,
                                                          AddressKind::Other};
// "domu", "zam", "jine": the prefix of the group's columns and the value of zobraz_adr.
QString kindName(AddressKind kind);
// The kind a zobraz_adr value names, letter case and surrounding blanks
// ignored; none for an empty or unknown value.
std::optional<AddressKind> kindFromName(const QString& name);
// The kind a record shows: the one its zobraz_adr names, else home.
AddressKind shownKind(const QString& zobrazAdr);

// The parts of an address group, in the order of its columns.
enum class AddressPart { Street, HouseNumber, Town, TownPart, PostalCode, Country };
inline constexpr std::array<AddressPart, 6> kAddressParts{AddressPart::Street,     AddressPart::HouseNumber,
                                                          AddressPart::Town,       AddressPart::TownPart,
                                                          AddressPart::PostalCode, AddressPart::Country};
// The part's column in a group: "domu_ulice", "zam_CP", "jine_Obec" …
QString addressColumn(AddressKind kind, AddressPart part);
// The part's column in the current-address group of the working table
// ("Ulice", "CP", "Obec", "Cast", "PSC", "Stat"), which holds a copy of the
// group the record shows. The directory's working tables name their address
// columns alike.
QString currentColumn(AddressPart part);

// ---- numbers and e-mail addresses ----
// The six numbers: two mobile, two home, two work.
enum class PhoneKind { Mobile, Home, Work };
inline constexpr int kPhoneCount = 6;
inline constexpr int kEmailCount = 3;
// "Tel_1" … "Tel_6"; n counts from 1.
QString phoneColumn(int n);
// The column of the kind's first (which = 1) or second (which = 2) number.
QString phoneColumn(PhoneKind kind, int which);
// "E-mail_1" … "E-mail_3"; n counts from 1.
QString emailColumn(int n);

// ---- shown and stored forms ----
// Telephone numbers and postal codes are stored without blanks and shown
// grouped (123 456 789) or split (123 45); other values are the same in both.
enum class Form { Plain, Phone, PostalCode };
Form formOf(const QString& column);
// The value as the personal table keeps it.
QString storedForm(const QString& column, const QString& text);
// A stored value as the working table and the editor show it. A number whose
// grouping would not fit its column is shown as stored.
QString shownForm(const QString& column, const QString& text);

// ---- the table ----
enum class Role {
    Key,       // ID, assigned by the engine
    Running,   // ID2, the working table's running number
    Mark,      // Zn
    Value,     // a value of the record that the user sees and edits
    ShownKind, // zobraz_adr
};
struct Column {
    QString name;
    db::ColumnType type = db::ColumnType::Text;
    int size = 0; // Text(n)
    Role role = Role::Value;
    Form form = Form::Plain;
};
// The columns of the personal table, in their order.
const QList<Column>& columns();
// The column of that name (letter case ignored), or null.
const Column* find(const QString& name);
// The size of a Text column; 0 for any other column and an unknown name.
int size(const QString& name);
// The columns that hold the record's values (Role::Value), in table order.
const QStringList& valueColumns();

// The personal table (Vlastni).
db::TableDef personalTable();
// The working table of the Vlastní page (vlastni): the columns of the
// personal table with the current-address group before the first address
// group, and zobraz_adr before Info at the end.
db::TableDef workingTable();

} // namespace personal_columns
