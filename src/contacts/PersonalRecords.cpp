#include "PersonalRecords.h"

#include "Database.h"
#include "Dataset.h"
#include "Error.h"
#include "PageQuery.h"
#include "PersonalSearch.h"

using namespace Qt::StringLiterals;

namespace {

// The one record with the ID, as an updatable dataset.
void openRecord(db::Dataset& record, db::Database& database, int id) {
    record.setDatabase(&database);
    record.setSql(u"SELECT * FROM Vlastni WHERE ID = "_s + QString::number(id));
    record.open();
}

// The working table's marked rows, as marking stores them.
const char* const kMarkedRows = "SELECT * FROM vlastni WHERE Zn = 1 Or Zn = -1 or Zn = True";
const char* const kDeleteMarked = "DELETE * FROM vlastni WHERE Zn = 1 Or Zn = -1 Or Zn = True";

} // namespace

QString PersonalRecords::limitMessage() {
    return u"Limit počtu záznamů ve vlastní databázi je pro tuto verzi programu vyčerpán. Samžte nepotřebné "
           "záznamy.      "_s;
}

qint64 PersonalRecords::count() {
    db::Dataset counter;
    counter.setDatabase(&m_search.personalDatabase());
    counter.setSql(u"SELECT count(*) as pocet FROM vlastni"_s);
    counter.open();
    return counter.value(u"pocet"_s).toLongLong();
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

bool PersonalRecords::removeCurrent() {
    db::Dataset& page = m_search.pageQuery();
    if (!page.isOpen() || page.recNo() < 0) return false;
    const QVariant id = page.value(u"ID"_s);
    const bool marked = page.value(u"Zn"_s).toBool();
    const bool found = !id.isNull() && remove(id.toInt());
    page.remove();
    if (marked) m_search.marksRemoved(1);
    return found;
}

PersonalRecords::Removal PersonalRecords::removeMarked() {
    db::Dataset& page = m_search.pageQuery();
    db::Database* working = page.database();
    if (!working) throw db::Error(u"Pracovní databáze není připravena."_s);
    Removal out;
    QList<int> ids;
    {
        db::Dataset marked;
        marked.setDatabase(working);
        marked.setSql(QString::fromUtf8(kMarkedRows));
        marked.open();
        for (marked.first(); !marked.eof(); marked.next()) {
            ++out.rows;
            if (const QVariant id = marked.value(u"ID"_s); !id.isNull()) ids << id.toInt();
        }
    }
    if (out.rows == 0) return out;

    db::Database& personal = m_search.personalDatabase();
    {
        paging::WriteUnit unit(&personal);
        for (int id : ids)
            if (remove(id)) ++out.records;
        unit.commit();
    }

    // The working rows go while the page query is closed; it shows its range
    // again whatever happens.
    page.close();
    try {
        working->execute(QString::fromUtf8(kDeleteMarked), db::Database::FailOnError);
    } catch (const db::Error&) {
        try {
            m_search.showPageAgain();
        } catch (const db::Error&) {
            // The failed deletion is the error to report.
        }
        throw;
    }
    m_search.marksRemoved(m_search.state().markedCount);
    m_search.showPageAgain();
    return out;
}
