#include "PersonalRecords.h"

#include "Database.h"
#include "Dataset.h"
#include "Error.h"
#include "PersonalSearch.h"

namespace {

QString s(const char* text) {
    return QString::fromUtf8(text);
}

// The one record with the ID, as an updatable dataset.
void openRecord(db::Dataset& record, db::Database& database, int id) {
    record.setDatabase(&database);
    record.setSql(s("SELECT * FROM Vlastni WHERE ID = ") + QString::number(id));
    record.open();
}

} // namespace

QString PersonalRecords::limitMessage() {
    return s("Limit počtu záznamů ve vlastní databázi je pro tuto verzi programu vyčerpán. Samžte nepotřebné "
             "záznamy.      ");
}

qint64 PersonalRecords::count() {
    db::Dataset counter;
    counter.setDatabase(&m_search.personalDatabase());
    counter.setSql(s("SELECT count(*) as pocet FROM vlastni"));
    counter.open();
    return counter.value(s("pocet")).toLongLong();
}

PersonalRecords::Addition PersonalRecords::add(int pageSize) {
    Addition out;
    if (count() >= kRecordLimit) return out;
    out.freshTable = m_search.prepareAddition(PersonalSearch::FreshTableRule::Addition, pageSize);
    out.id = m_search.appendRecord({});
    out.added = true;
    return out;
}

bool PersonalRecords::update(int id, const Values& values) {
    db::Dataset record;
    openRecord(record, m_search.personalDatabase(), id);
    if (record.isEmpty()) return false;
    record.edit();
    try {
        for (const auto& [column, value] : values)
            record.setValue(column, value);
        record.post();
    } catch (const db::Error&) {
        record.cancel();
        throw;
    }
    return true;
}

bool PersonalRecords::remove(int id) {
    db::Dataset record;
    openRecord(record, m_search.personalDatabase(), id);
    if (record.isEmpty()) return false;
    record.remove();
    return true;
}
