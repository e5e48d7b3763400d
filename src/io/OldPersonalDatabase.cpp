#include "OldPersonalDatabase.h"

#include "Error.h"
#include "JetFile.h"
#include "JetValues.h"
#include "PersonalColumns.h"
#include "PersonalRecords.h"

#include <optional>

using namespace Qt::StringLiterals;

namespace io {

namespace {

const QString kOldTable = u"Vlastni"_s;
const QString kNothingImported = u"Nic nebylo importováno.    "_s;

// What becomes of one column of the old table.
struct SourceUse {
    enum class Use {
        Value,   // fills the personal column of its name
        Kind,    // zobraz_adr
        Skip,    // the key, the running number, the mark: the new record has its own
        LeftOut, // the personal table has no such column
    };
    Use use = Use::LeftOut;
    QString column; // the personal column (Value)
    db::ColumnType type = db::ColumnType::Other;
};

// The personal table's column of that name, letter case ignored; null for none.
const personal_columns::Column* personalColumn(const QString& name) {
    for (const personal_columns::Column& c : personal_columns::columns())
        if (c.name.compare(name, Qt::CaseInsensitive) == 0) return &c;
    return nullptr;
}

QList<SourceUse> usesOf(const QList<db::jet::SourceColumn>& columns) {
    using personal_columns::Role;
    QList<SourceUse> out;
    for (const db::jet::SourceColumn& c : columns) {
        SourceUse u{SourceUse::Use::LeftOut, {}, c.type};
        const personal_columns::Column* p = personalColumn(c.name);
        if (c.type == db::ColumnType::Counter) {
            u.use = SourceUse::Use::Skip; // the old file's key, whatever its name
        } else if (p) {
            u.column = p->name;
            u.use = p->role == Role::Value       ? SourceUse::Use::Value
                    : p->role == Role::ShownKind ? SourceUse::Use::Kind
                                                 : SourceUse::Use::Skip;
        }
        out << u;
    }
    return out;
}

// A value as a text column takes it: numbers, dates and amounts in the form
// the engine shows them, Yes/No as -1 and 0; none for binary data.
std::optional<QString> textOf(db::ColumnType type, const QVariant& value) {
    switch (type) {
    case db::ColumnType::Binary:
    case db::ColumnType::LongBinary:
    case db::ColumnType::Other:
        return std::nullopt;
    case db::ColumnType::Boolean:
        return value.toBool() ? u"-1"_s : u"0"_s;
    default:
        break;
    }
    if (const std::optional<QString> shown = db::shownText(type, value)) return shown;
    if (value.typeId() == QMetaType::Double) return QString::number(value.toDouble(), 'g', 15);
    if (value.typeId() == QMetaType::QByteArray) return std::nullopt;
    return value.toString();
}

NewRecord recordOf(const QList<SourceUse>& uses, const QVariantList& row) {
    NewRecord r;
    QString kind;
    for (qsizetype i = 0; i < uses.size() && i < row.size(); ++i) {
        const SourceUse& u = uses[i];
        if (row[i].isNull() || u.use == SourceUse::Use::Skip) continue;
        // A Yes/No is never Null: No is what a record without it holds.
        if (u.type == db::ColumnType::Boolean && !row[i].toBool()) continue;
        const std::optional<QString> text = textOf(u.type, row[i]);
        if (!text) {
            ++r.leftOut;
            continue;
        }
        if (text->isEmpty()) continue;
        switch (u.use) {
        case SourceUse::Use::LeftOut:
            ++r.leftOut;
            break;
        case SourceUse::Use::Kind:
            kind = *text;
            break;
        case SourceUse::Use::Value:
            if (QString fit = fitted(u.column, *text, &r.cut); !fit.isEmpty())
                r.values.append({u.column, fit});
            break;
        case SourceUse::Use::Skip:
            break;
        }
    }
    const std::optional<personal_columns::AddressKind> named = personal_columns::kindFromName(kind);
    r.addressKind = named ? personal_columns::kindName(*named) : addressKind(r.values);
    return r;
}

QString refusedBy(const db::Error& e) {
    return e.message().trimmed() + u'\n' + kNothingImported;
}

} // namespace

OldRecords recordsFromOldDatabase(const db::jet::File& file, int limit) {
    OldRecords out;
    try {
        const db::jet::SourceTable* table = file.table(kOldTable);
        if (!table) {
            out.refused = noPersonalTableMessage(file.path());
            return out;
        }
        const QList<SourceUse> uses = usesOf(table->columns);
        const std::unique_ptr<db::jet::File::Rows> rows = file.rows(table->name);
        QVariantList row;
        while (out.records.size() < limit && rows->next(row)) {
            NewRecord r = recordOf(uses, row);
            if (!r.values.isEmpty()) out.records.append(std::move(r));
        }
    } catch (const db::Error& e) {
        out.records.clear();
        out.refused = refusedBy(e);
    }
    return out;
}

FileImport importOldDatabase(PersonalSearch& search, const QString& path, int pageSize,
                             const ImportProgress& progress) {
    FileImport out;
    OldRecords read;
    try {
        // A file that cannot be read or is no Jet file is refused here, by the reader.
        const db::jet::File file(path);
        // No more records than the limit can take are read; the one beyond it
        // lets the posting report that the limit stopped the import.
        read = recordsFromOldDatabase(file, PersonalRecords::kRecordLimit + 1);
    } catch (const db::Error& e) {
        read.refused = refusedBy(e);
    }
    if (!read.refused.isEmpty()) {
        out.refused = read.refused;
        return out;
    }
    out.outcome = postRecords(search, read.records, pageSize, progress);
    return out;
}

QString noPersonalTableMessage(const QString& path) {
    return u"Soubor "_s + quotedPath(path) + u" neobsahuje tabulku vlastní databáze (Vlastni). "_s +
           kNothingImported;
}

} // namespace io
