#include "VCardFiles.h"

#include "ContactVCard.h"
#include "VCard.h"

#include "CodePage.h"

#include "Database.h"
#include "Dataset.h"
#include "Error.h"
#include "PersonalSearch.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace io {

namespace {

// How much of a file's start must show that it is a vCard.
constexpr qint64 kSniffBytes = 64 * 1024;

QString refusal(const QString& path, const vcard::Parsed& parsed) {
    switch (parsed.failure) {
    case vcard::Parsed::Failure::NoCard:
        return u"Soubor "_s + quotedPath(path) + u" není ve formátu vCard. Nic nebylo importováno.    "_s;
    case vcard::Parsed::Failure::Unterminated:
        return u"Soubor "_s + quotedPath(path) + u" je poškozen: záznam začínající na řádku "_s +
               QString::number(parsed.failureLine) + u" nemá konec. Nic nebylo importováno.    "_s;
    case vcard::Parsed::Failure::None:
        break;
    }
    return {};
}

} // namespace

QList<int> markedRecordIds(db::Database& results) {
    db::Dataset marked;
    marked.setDatabase(&results);
    marked.setSql(u"SELECT ID FROM vlastni WHERE Zn = True ORDER BY ID2"_s);
    marked.open();
    QList<int> out;
    for (; !marked.eof(); marked.next())
        out << marked.value(u"ID"_s).toInt();
    return out;
}

VCardSelection vcardSelection(PersonalSearch& search) {
    VCardSelection out;
    try {
        if (search.isReady() && search.state().markedCount > 0) {
            out.ids = markedRecordIds(*search.pageQuery().database());
        } else {
            const std::optional<qint64> total = search.totalRecords();
            if (!total || *total == 0)
                out.refusal = noPersonalRecordsMessage();
            else
                out.question = exportAllQuestion(*total);
        }
    } catch (const db::Error& e) {
        out.refusal = e.message();
    }
    return out;
}

namespace {

// Every card of the records, in the order of ids, or of the records' IDs when ids is empty.
QByteArray cardsOf(db::Database& personal, const std::optional<QList<int>>& ids, int* count) {
    db::Dataset records;
    records.setDatabase(&personal);
    records.setSql(u"SELECT * FROM Vlastni ORDER BY ID"_s);
    records.open();
    QHash<int, QByteArray> cards;
    QByteArray all;
    for (; !records.eof(); records.next()) {
        const QByteArray card = cardOf([&records](const QString& column) { return records.text(column); });
        if (ids) {
            cards.insert(records.value(u"ID"_s).toInt(), card);
        } else {
            all += card;
            ++*count;
        }
    }
    records.close();
    if (ids) {
        for (const int id : *ids) {
            const auto it = cards.constFind(id);
            if (it == cards.cend()) continue;
            all += *it;
            ++*count;
        }
    }
    return all;
}

} // namespace

VCardExport exportVCards(db::Database& personal, const std::optional<QList<int>>& ids, const QString& path) {
    VCardExport out;
    int count = 0;
    QByteArray all;
    try {
        all = cardsOf(personal, ids, &count);
    } catch (const db::Error& e) {
        out.error = e.message();
        return out;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(all) != all.size() || !file.commit()) {
        out.error = exportFailedMessage(path, file.errorString());
        return out;
    }
    out.written = count;
    return out;
}

VCardImport importVCards(PersonalSearch& search, const QString& path, int pageSize,
                         const ImportProgress& progress) {
    VCardImport out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        out.refused = unreadableFileMessage(path, file.errorString());
        return out;
    }
    // A file chosen by mistake (a film, an archive) is recognised from its
    // start, before it is read whole into memory.
    const QString start = code_page::decodeText(file.peek(kSniffBytes));
    if (!start.contains(QLatin1String("BEGIN:VCARD"), Qt::CaseInsensitive)) {
        out.refused = refusal(path, vcard::Parsed{{}, vcard::Parsed::Failure::NoCard, 0});
        return out;
    }
    const vcard::Parsed parsed = vcard::parse(file.readAll());
    if (parsed.failure != vcard::Parsed::Failure::None) {
        out.refused = refusal(path, parsed);
        return out;
    }
    QList<NewRecord> records;
    for (const vcard::Card& card : parsed.cards) {
        NewRecord r = recordFromCard(card);
        if (!r.values.isEmpty()) records.append(std::move(r));
    }
    out.outcome = postRecords(search, records, pageSize, progress);
    return out;
}

QString noPersonalRecordsMessage() {
    return u"Vlastní databáze neobsahuje žádné záznamy.    "_s;
}

QString exportAllQuestion(qint64 records) {
    return u"Není označen žádný záznam. Exportovat všechny záznamy vlastní databáze ("_s +
           QString::number(records) + u")?    "_s;
}

QString exportFailedMessage(const QString& path, const QString& reason) {
    return u"Soubor "_s + quotedPath(path) + u" nelze zapsat: "_s + reason;
}

QString personalNotReadyMessage() {
    return u"Vlastní databáze není připravena.    "_s;
}

} // namespace io
