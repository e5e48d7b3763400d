#include "ReferenceListQuery.h"

#include "Database.h"
#include "Error.h"

#include <QFileInfo>

using namespace reference_lists;

ReferenceListQuery::ReferenceListQuery(Opener opener, QString dataFolder)
    : m_opener(std::move(opener)), m_dataFolder(std::move(dataFolder)) {
    m_query.setObjectName(QStringLiteral("Query3"));
    // The grid shows any row of the list, not only those the cursor has passed.
    m_query.setKeysetOnReadOnly(true);
}

ReferenceListQuery::~ReferenceListQuery() {
    close();
}

QString ReferenceListQuery::path() const {
    return m_dataFolder + description().file;
}

bool ReferenceListQuery::open(List list) {
    close();
    m_list = list;
    try {
        const QString file = m_locator ? m_locator(path()) : path();
        if (file.isEmpty()) return false;
        m_database = m_opener(file);
        m_openedPath = file;
        m_query.setDatabase(m_database.get());
        reopen(description().statement);
        return true;
    } catch (const db::Error&) {
        close();
        throw;
    }
}

void ReferenceListQuery::close() {
    m_query.close();
    m_query.setDatabase(nullptr);
    if (m_database) m_database->close();
    m_database.reset();
    m_openedPath.clear();
}

void ReferenceListQuery::reopen(const QString& statement) {
    m_query.close();
    m_query.setSql(statement);
    m_query.open();
}

void ReferenceListQuery::sort(int column, Order order) {
    if (!m_database) return;
    const Description& d = description();
    if (column < 0 || column >= d.columns.size()) return;
    if (order == Order::Own) return reopen(d.statement);
    // The statement names the file the list reads, which may be a copy of the list's file.
    const QString folder = QFileInfo(m_openedPath).absolutePath() + u'/';
    reopen(sortedStatement(tableReference(d, folder), d.columns[column].field, order == Order::Ascending));
}

int ReferenceListQuery::rowCount() {
    if (!m_query.isOpen()) return 0;
    // Counting moves to the last row; the list then starts at its first.
    m_query.last();
    const int rows = m_query.recordCount();
    m_query.first();
    return rows;
}

bool ReferenceListQuery::locate(int column, const QString& text) {
    const Description& d = description();
    if (!m_query.isOpen() || text.isEmpty() || column < 0 || column >= d.columns.size()) return false;
    try {
        db::LocateOptions options;
        options.partialKey = true;
        return m_query.locate(d.columns[column].field, text, options);
    } catch (const db::Error&) {
        return false;
    }
}

QString ReferenceListQuery::currentValue(const QString& field) const {
    if (!hasCurrentRow()) return {};
    return m_query.text(field);
}
