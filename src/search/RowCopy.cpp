#include "RowCopy.h"

#include "Dataset.h"
#include "Error.h"
#include "Scramble.h"
#include "SearchCriteria.h"
#include "TextHelpers.h"

namespace row_copy {

namespace {

const QString kPsc = QStringLiteral("PSC");
const QString kCp = QStringLiteral("CP");
const QString kId = QStringLiteral("ID");
const QString kId2 = QStringLiteral("ID2");
const QString kTel = QStringLiteral("Tel");
const QString kTelA = QStringLiteral("Tel_a");
const QString kTelExtA = QStringLiteral("TelExt_a");

// What differs between persons and firms.
struct Description {
    QStringList columns; // copied in this order after ID2 (and ID); "PSC" among them
    bool wholeTelA;      // the working number takes all of Tel_a, not its first four characters
    bool tolerantCp;     // a failure on CP is skipped
    QString extraTable;
};

const Description& describe(Directory d) {
    static const Description persons{{QStringLiteral("Titul"), QStringLiteral("Jmeno"),
                                      QStringLiteral("Prijmeni"), QStringLiteral("Ulice"), kPsc,
                                      QStringLiteral("Obec"), QStringLiteral("Cast"), kCp,
                                      QStringLiteral("Poznamka"), QStringLiteral("euroISDN")},
                                     false,
                                     false,
                                     QStringLiteral("Osoby_TEL_Navic")};
    static const Description firms{{QStringLiteral("Firma"), QStringLiteral("Poznamka"),
                                    QStringLiteral("euroISDN"), QStringLiteral("Ulice"), kPsc,
                                    QStringLiteral("Obec"), QStringLiteral("Cast"), QStringLiteral("URL"),
                                    kCp},
                                   true,
                                   true,
                                   QStringLiteral("Firmy_TEL_Navic")};
    return d == Directory::Persons ? persons : firms;
}

// Writes a text only when it is not empty, so that a Null source stays Null.
void put(db::Dataset& target, const QString& column, const QString& value) {
    if (!value.isEmpty()) target.setValue(column, value);
}
void put(BufferRow& target, const QString& column, const QString& value) {
    if (!value.isEmpty()) target.values.append({column, value});
}

// Copies the description's columns; splitPsc chooses the working form of PSC.
template <class Target>
void copyColumns(const Description& d, const db::Dataset& source, Target& target, bool splitPsc) {
    for (const QString& column : d.columns) {
        if (column == kPsc) {
            const QString psc = source.text(kPsc);
            put(target, kPsc, splitPsc ? text::postalCodeSplit(psc) : psc);
        } else if (column == kCp && d.tolerantCp) {
            try {
                put(target, kCp, source.text(kCp));
            } catch (const db::Error&) {
                // The firms' house number is optional: the row goes on without it.
            }
        } else {
            put(target, column, source.text(column));
        }
    }
}

} // namespace

QString storedNumber(const QString& telA, const QString& telExtA, const QString& id, bool wholeTelA) {
    if (telA.size() + telExtA.size() <= 4 || id.isEmpty()) return telA;
    return phone::unscramble((wholeTelA ? telA : telA.left(4)) + telExtA, id);
}

void copyToWorking(Directory directory, const db::Dataset& directoryRow, db::Dataset& working,
                   int runningNumber) {
    const Description& d = describe(directory);
    working.setValue(kId2, runningNumber);
    copyColumns(d, directoryRow, working, true);
    const QString number = storedNumber(directoryRow.text(kTelA), directoryRow.text(kTelExtA),
                                        directoryRow.text(kId), d.wholeTelA);
    put(working, kTel, text::phoneGrouping(number));
    working.setValue(QStringLiteral("Zn"), false);
}

QString wholeNumber(const db::Dataset& directoryRow) {
    // The buffer compares whole numbers, so all of Tel_a goes before TelExt_a.
    return storedNumber(directoryRow.text(kTelA), directoryRow.text(kTelExtA), directoryRow.text(kId), true);
}

QString BufferRow::text(const QString& column) const {
    for (const auto& [name, value] : values)
        if (name == column) return value.toString();
    return {};
}

BufferRow bufferRow(Directory directory, const db::Dataset& directoryRow) {
    const Description& d = describe(directory);
    BufferRow row;
    row.values.append({kId2, 1});
    try {
        put(row, kId, directoryRow.text(kId));
        copyColumns(d, directoryRow, row, false);
        put(row, kTel, wholeNumber(directoryRow));
    } catch (const db::Error& e) {
        row.error = e;
    }
    return row;
}

void writeBufferRow(const BufferRow& row, db::Dataset& buffer) {
    for (const auto& [column, value] : row.values)
        buffer.setValue(column, value);
    if (row.error) throw *row.error;
}

void copyToBuffer(Directory directory, const db::Dataset& directoryRow, db::Dataset& buffer) {
    writeBufferRow(bufferRow(directory, directoryRow), buffer);
}

QString extraNumberInsert(Directory directory, const QString& number, const QString& euroIsdn) {
    return QStringLiteral("INSERT INTO %1 (Tel, EuroISDN) VALUES (%2,%3)")
        .arg(describe(directory).extraTable, search_criteria::quoted(number),
             search_criteria::quoted(euroIsdn));
}

void copyBufferToWorking(Directory directory, const db::Dataset& bufferRow, db::Dataset& working,
                         int runningNumber) {
    const Description& d = describe(directory);
    working.setValue(kId2, runningNumber);
    put(working, kId, bufferRow.text(kId));
    copyColumns(d, bufferRow, working, true);
    put(working, kTel, text::phoneGrouping(bufferRow.text(kTel)));
    working.setValue(QStringLiteral("Zn"), false);
}

} // namespace row_copy
