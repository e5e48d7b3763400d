#include "Transfers.h"

#include "Database.h"
#include "Dataset.h"
#include "Error.h"
#include "PersonalColumns.h"
#include "PersonalRecords.h"
#include "PersonalSearch.h"

#include <utility>

using namespace Qt::StringLiterals;

namespace {

using namespace personal_columns;

using Columns = QList<std::pair<QString, QString>>; // working column, personal column

// What differs between a transferred person and a transferred firm.
struct Description {
    QString markedRows; // after "SELECT TOP " + the limit: the marked rows of the working table
    AddressKind kind;   // the address group and zobraz_adr
    Columns columns;    // copied in the personal column's stored form
    bool webAndEmail;   // URL holds the web address and the e-mail address
    bool showsNewRow;   // a single transfer moves the shown range onto the new row
};

// The directory's address into one address group.
Columns addressColumns(AddressKind kind) {
    Columns out;
    for (AddressPart part : {AddressPart::Street, AddressPart::Town, AddressPart::TownPart,
                             AddressPart::HouseNumber, AddressPart::PostalCode})
        out << std::pair{currentColumn(part), addressColumn(kind, part)};
    return out;
}

const Description& describe(search_criteria::Directory d) {
    static const Description persons{
        u" * FROM Osoby WHERE Zn = True"_s, AddressKind::Home,
        Columns{{u"Titul"_s, kTitle}, {u"Jmeno"_s, kFirstName}, {u"Prijmeni"_s, kSurname}} +
            addressColumns(AddressKind::Home) + Columns{{u"Tel"_s, phoneColumn(PhoneKind::Home, 1)}},
        false, true};
    static const Description firms{u" * FROM Firmy WHERE Zn = True"_s, AddressKind::Work,
                                   Columns{{u"Firma"_s, kFirm}, {u"Poznamka"_s, kInfo}} +
                                       addressColumns(AddressKind::Work) +
                                       Columns{{u"Tel"_s, phoneColumn(PhoneKind::Work, 1)}},
                                   true, false};
    return d == search_criteria::Directory::Persons ? persons : firms;
}

// Writes a text only when it is not empty, so that the column stays Null.
void put(db::Dataset& record, const QString& column, const QString& value) {
    if (!value.isEmpty()) record.setValue(column, value);
}

} // namespace

namespace transfers {

QString wordAfterMarker(const QString& text, const QString& marker) {
    QString rest = text, word;
    for (qsizetype at = rest.indexOf(marker); at >= 0; at = rest.indexOf(marker)) {
        rest = rest.mid(at + marker.size());
        const qsizetype space = rest.indexOf(u' ');
        word = space < 0 ? rest : rest.left(space);
    }
    return word;
}

void fillRecord(search_criteria::Directory directory, const db::Dataset& row, db::Dataset& record) {
    const Description& d = describe(directory);
    for (const auto& [from, to] : d.columns)
        put(record, to, storedForm(to, row.text(from)));
    if (d.webAndEmail) {
        const QString url = row.text(u"URL"_s);
        put(record, kInternet, wordAfterMarker(url, u"URL: "_s));
        put(record, emailColumn(1), wordAfterMarker(url, u"E-mail: "_s));
    }
    record.setValue(kAddressKind, kindName(d.kind));
}

} // namespace transfers

QString Transfers::singleLimitMessage() {
    return u"Limit počtu záznamů ve vlastní databázi je vyčerpán. Smaže některé nepotřebné záznamy z vlastní "
           "databáze.      "_s;
}

QString Transfers::bulkLimitMessage() {
    return u"Limit počtu záznamů ve vlastní databázi by byl touto operací přečerpán. Označte menší počet "
           "záznamů.      "_s;
}

QString Transfers::noSelectionMessage() {
    return u"Nejprve vyberte záznam, který chcete přenést.      "_s;
}

Transfers::Single Transfers::transferOne(Directory directory, const db::Dataset& row, int pageSize) {
    Single out;
    if (PersonalRecords(m_search).count() >= PersonalRecords::kRecordLimit) return out;
    const Description& d = describe(directory);
    out.freshTable = m_search.prepareAddition(PersonalSearch::FreshTableRule::Transfer, pageSize);
    out.id =
        m_search.appendRecord([&](db::Dataset& record) { transfers::fillRecord(directory, row, record); });
    if (d.showsNewRow) m_search.showAddedRows();
    out.transferred = true;
    out.addressKind = kindName(d.kind);
    return out;
}

Transfers::Bulk Transfers::transferMarked(Directory directory, db::Database& results, int markedCount,
                                          int searchLimit, int pageSize) {
    Bulk out;
    if (PersonalRecords(m_search).count() + markedCount > PersonalRecords::kRecordLimit) return out;
    const Description& d = describe(directory);
    // A dataset of its own: the directory page's query and grid stay as they are.
    db::Dataset marked;
    marked.setDatabase(&results);
    marked.setSql(u"SELECT TOP "_s + QString::number(searchLimit) + d.markedRows);
    marked.open();
    m_search.prepareAddition(PersonalSearch::FreshTableRule::Transfer, pageSize);
    out.result = BulkResult::Stored;
    try {
        for (; !marked.eof(); marked.next()) {
            m_search.appendRecord(
                [&](db::Dataset& record) { transfers::fillRecord(directory, marked, record); });
            ++out.stored;
        }
    } catch (const db::Error& e) {
        // Every record written so far is on disk with its working row: they stay and are shown.
        out.result = BulkResult::Failed;
        out.error = e.message();
    }
    m_search.showAddedRows();
    return out;
}
