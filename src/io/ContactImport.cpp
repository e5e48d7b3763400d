#include "ContactImport.h"

#include "Dataset.h"
#include "Error.h"
#include "PersonalColumns.h"
#include "PersonalRecords.h"
#include "PersonalSearch.h"
#include "Transfers.h"

#include <QDir>
#include <QHash>

using namespace Qt::StringLiterals;

namespace io {

namespace {

// The text cut to size UTF-16 units, never between the halves of a surrogate pair.
QString cutTo(const QString& text, int size) {
    qsizetype n = size;
    if (n > 0 && text.at(n - 1).isHighSurrogate()) --n;
    return text.left(n);
}

bool anyFilled(const QList<std::pair<QString, QString>>& values, const QString& prefix) {
    for (const auto& [column, text] : values)
        if (column.startsWith(prefix, Qt::CaseInsensitive) && !text.isEmpty()) return true;
    return false;
}

} // namespace

QString cleanValue(const QString& column, const QString& text) {
    if (personal_columns::formOf(column) == personal_columns::Form::Plain) return text;
    QString out = text;
    out.remove(u"+420"_s);
    for (const QChar c : {u'(', u')', u' ', u'-', u'/'})
        out.remove(c);
    return out;
}

QString addressKind(const QList<std::pair<QString, QString>>& values) {
    using namespace personal_columns;
    for (AddressKind kind : kAddressKinds)
        if (anyFilled(values, kindName(kind) + u'_')) return kindName(kind);
    return kindName(AddressKind::Home);
}

QString fitted(const QString& column, const QString& text, int* cut) {
    const int size = personal_columns::size(column) > 0 ? personal_columns::size(column) : -1;
    QString out = text;
    if (size >= 0) {
        out.replace(u"\r\n"_s, u" "_s);
        out.replace(u'\r', u' ').replace(u'\n', u' ');
    }
    out = cleanValue(column, out);
    if (size >= 0 && out.size() > size) {
        out = cutTo(out, size);
        if (cut) ++*cut;
    }
    return out;
}

QList<std::pair<QString, QString>> assign(const QStringList& row, const QList<Assignment>& assignments,
                                          int* cut) {
    const QList<ImportTarget>& targets = importTargets();
    QList<std::pair<QString, QString>> out;
    for (const Assignment& a : assignments) {
        if (a.target < 0 || a.target >= targets.size()) continue;
        const QString& column = targets[a.target].column;
        const QString text = fitted(column, row.value(a.column), cut);
        // A later assignment to the same column replaces the earlier one.
        for (qsizetype i = 0; i < out.size(); ++i)
            if (out[i].first == column) {
                out.removeAt(i);
                break;
            }
        if (!text.isEmpty()) out.append({column, text});
    }
    return out;
}

ImportOutcome postRecords(PersonalSearch& search, const QList<NewRecord>& records, int pageSize,
                          const ImportProgress& progress) {
    ImportOutcome out;
    const bool fresh = search.needsFreshTable(PersonalSearch::FreshTableRule::Import);
    try {
        out.freshTable = search.prepareAddition(PersonalSearch::FreshTableRule::Import, pageSize);
        const qint64 present = PersonalRecords(search).count();
        for (const NewRecord& r : records) {
            if (present + out.posted >= PersonalRecords::kRecordLimit) {
                out.limitReached = true;
                break;
            }
            try {
                search.appendRecord([&](db::Dataset& record) {
                    for (const auto& [column, text] : r.values)
                        record.setValue(column, text);
                    record.setValue(personal_columns::kAddressKind, r.addressKind);
                });
            } catch (const db::Error& e) {
                out.error = e.message();
                break;
            }
            ++out.posted;
            out.cut += r.cut;
            out.leftOut += r.leftOut;
            if (progress && !progress(out.posted, int(records.size()))) {
                if (out.posted < records.size()) out.cancelledLeft = int(records.size()) - out.posted;
                break;
            }
        }
        search.showAddedRows(/*anchorPaging*/ true);
    } catch (const db::Error& e) {
        out.failure = e.message();
        out.freshTable = fresh;
    }
    return out;
}

ImportOutcome importContacts(PersonalSearch& search, const ImportTable& table,
                             const QList<Assignment>& assignments, int pageSize,
                             const ImportProgress& progress) {
    QList<NewRecord> records;
    records.reserve(table.rows().size());
    for (const QStringList& row : table.rows()) {
        NewRecord r;
        r.values = assign(row, assignments, &r.cut);
        r.addressKind = addressKind(r.values);
        records.append(std::move(r));
    }
    return postRecords(search, records, pageSize, progress);
}

QString quotedPath(const QString& path) {
    return u'"' + QDir::toNativeSeparators(path) + u'"';
}

QString unreadableFileMessage(const QString& path, const QString& reason) {
    return u"Soubor "_s + quotedPath(path) + u" nelze přečíst: "_s + reason;
}

QString resultMessage(const ImportOutcome& outcome) {
    QString text = u"Bylo importováno "_s + QString::number(outcome.posted) + u" záznamů.    "_s;
    if (outcome.cancelledLeft > 0)
        text += u"\nImport byl zrušen, zbývajících "_s + QString::number(outcome.cancelledLeft) +
                u" záznamů nebylo importováno.    "_s;
    if (outcome.cut > 0)
        text += u"\nHodnot delších než jejich pole, které byly zkráceny: "_s + QString::number(outcome.cut) +
                u".    "_s;
    if (outcome.leftOut > 0)
        text += u"\nVynechané údaje, pro které záznam nemá pole: "_s + QString::number(outcome.leftOut) +
                u".    "_s;
    return text;
}

QString failedImportMessage(const ImportOutcome& outcome) {
    return u"Import byl přerušen, importováno záznamů: "_s + QString::number(outcome.posted) + u". "_s +
           outcome.error;
}

QList<Notice> outcomeNotices(const ImportOutcome& outcome) {
    if (!outcome.failure.isEmpty()) return {{Notice::Kind::Warning, outcome.failure}};
    QList<Notice> out;
    if (outcome.limitReached) out.append({Notice::Kind::Information, Transfers::singleLimitMessage()});
    if (!outcome.error.isEmpty())
        out.append({Notice::Kind::Warning, failedImportMessage(outcome)});
    else
        out.append({Notice::Kind::Information, resultMessage(outcome)});
    return out;
}

QString previewFirstMessage() {
    return u"Nejprve načtěte ukázku souboru tlačítkem \"Ukázka\".    "_s;
}

} // namespace io
