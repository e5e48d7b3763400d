#include "VCardFiles.h"

#include "ContactVCard.h"
#include "VCard.h"

#include "CodePage.h"

#include "Database.h"
#include "Dataset.h"
#include "Error.h"
#include "PersonalSearch.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSaveFile>

namespace io {

namespace {

// How much of a file's start must show that it is a vCard.
constexpr qint64 kSniffBytes = 64 * 1024;

QString s(const char* text) {
    return QString::fromUtf8(text);
}

QString shown(const QString& path) {
    return u'"' + QDir::toNativeSeparators(path) + u'"';
}

QString refusal(const QString& path, const vcard::Parsed& parsed) {
    switch (parsed.failure) {
    case vcard::Parsed::Failure::NoCard:
        return s("Soubor ") + shown(path) + s(" není ve formátu vCard. Nic nebylo importováno.    ");
    case vcard::Parsed::Failure::Unterminated:
        return s("Soubor ") + shown(path) + s(" je poškozen: záznam začínající na řádku ") +
               QString::number(parsed.failureLine) + s(" nemá konec. Nic nebylo importováno.    ");
    case vcard::Parsed::Failure::None:
        break;
    }
    return {};
}

} // namespace

QList<int> markedRecordIds(db::Database& results) {
    db::Dataset marked;
    marked.setDatabase(&results);
    marked.setSql(s("SELECT ID FROM vlastni WHERE Zn = True ORDER BY ID2"));
    marked.open();
    QList<int> out;
    for (; !marked.eof(); marked.next())
        out << marked.value(s("ID")).toInt();
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
    records.setSql(s("SELECT * FROM Vlastni ORDER BY ID"));
    records.open();
    QHash<int, QByteArray> cards;
    QByteArray all;
    for (; !records.eof(); records.next()) {
        const QByteArray card = cardOf([&records](const QString& column) { return records.text(column); });
        if (ids) {
            cards.insert(records.value(s("ID")).toInt(), card);
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
        out.refused = s("Soubor ") + shown(path) + s(" nelze přečíst: ") + file.errorString();
        return out;
    }
    // A file chosen by mistake (a film, an archive) is recognised from its
    // start, before it is read whole into memory.
    const QString start = codepage::decodeText(file.peek(kSniffBytes));
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
    return s("Vlastní databáze neobsahuje žádné záznamy.    ");
}

QString exportAllQuestion(qint64 records) {
    return s("Není označen žádný záznam. Exportovat všechny záznamy vlastní databáze (") +
           QString::number(records) + s(")?    ");
}

QString exportFailedMessage(const QString& path, const QString& reason) {
    return s("Soubor ") + shown(path) + s(" nelze zapsat: ") + reason;
}

QString personalNotReadyMessage() {
    return s("Vlastní databáze není připravena.    ");
}

} // namespace io
