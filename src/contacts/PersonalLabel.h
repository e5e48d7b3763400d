#pragma once

#include "PersonalColumns.h"
#include "RecordLabel.h"

#include <QString>
#include <QStringList>

#include <array>

namespace db {
class Dataset;
}

// The record label of the Vlastní page: a summary of the current row of the
// personal working table (name, firm, all numbers, all three addresses and the
// internet contacts) and the texts that its three copy images put on the
// clipboard. Widget-free; the page fills its text box and the clipboard from
// these.
namespace personal_label {

using record_label::Address;

// The columns of a personal working row that the label and its copies read,
// as the working table holds them: numbers with the phone grouping, postal
// codes with the postal code split. Null reads as an empty text, and an empty
// text counts as absent. A text of blanks only is a value like any other and
// is shown as it is.
struct PersonalRecord {
    QString title;                                             // Titul_1
    QString firstName;                                         // Jmeno_1
    QString surname;                                           // Prijmeni
    QString firmName;                                          // Firma
    std::array<QString, personal_columns::kPhoneCount> phones; // Tel_1 … Tel_6
    // The address groups domu_…, zam_…, jine_… (Ulice, CP, Cast, Obec, PSC;
    // the country is not shown anywhere here).
    Address home, work, other;
    // The current-address group Ulice, CP, Cast, Obec, PSC: a copy of the
    // group that the default address kind names.
    Address current;
    QString internet;                                          // Internet
    std::array<QString, personal_columns::kEmailCount> emails; // E-mail_1 … E-mail_3
    QString addressKind;                                       // zobraz_adr: "domu", "zam" or "jine"
};

// Reads the record from the current row of a dataset over the personal
// working table, or over the personal table itself, whose current address is
// then the group its address kind names. Column names are matched without
// regard to letter case.
PersonalRecord recordFromRow(const db::Dataset& row);

// "surname first, title", each part when present; empty without a name.
QString nameLine(const PersonalRecord& record);

// The lines of the label: the name line and an empty line; "Firma:    " with
// the firm and an empty line; "Telefon:   " with the first number and every
// further number indented; then for each address group with any value an
// empty line and its address block; then an empty line, "Internet:" and the
// web and e-mail addresses. Each block only when it has a value.
QStringList labelLines(const PersonalRecord& record);

// More lines than the label shows need a vertical scroll bar.
using record_label::needsScrollBar;
// "Copy all": every line of the label followed by CR LF; nothing for an empty
// label.
using record_label::copyAllText;

// The postal address of the default address kind: a name part chosen by the
// kind (an empty kind counts as "domu", an unknown one has no name part), then
// the street and town lines of the current-address group.
QStringList addressLines(const PersonalRecord& record);
// The address for the clipboard: every line followed by CR LF, then one empty
// line; nothing when there are no lines.
QString addressClipboardText(const QStringList& lines);

// The numbers offered for copying: Tel_1 to Tel_6 as the row shows them, in
// that order, each when present.
QStringList numbers(const PersonalRecord& record);
// The clipboard text for the ticked numbers, in list order: each with every
// blank removed; one number alone, several one per line (CR LF) followed by
// one more CR LF.
QString numbersClipboardText(const QStringList& tickedNumbers);

// What "Volat…" and "Zobrazit na mapě" offer: the numbers as they are
// offered for copying, and the address of the default address kind (the
// current-address group), as the address copy takes it.
desktop_links::Links links(const PersonalRecord& record);

} // namespace personal_label
