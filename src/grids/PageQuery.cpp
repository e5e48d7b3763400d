#include "PageQuery.h"

#include "OwnDatabases.h"

namespace paging {

PageQuery::PageQuery(QString table) : m_table(std::move(table)) {}

db::Dataset& PageQuery::dataset() {
    if (!m_results) throw db::Error(QStringLiteral("Pracovní databáze není připravena."));
    return m_results->dataset();
}

// The rows of the shown range, in its order. The column name is bracketed:
// some hold a hyphen ("E-mail_1").
QString PageQuery::statement() const {
    QString sql = QStringLiteral("SELECT * FROM ") + m_table + QStringLiteral(" WHERE ID2 BETWEEN ") +
                  QString::number(m_state.first) + QStringLiteral(" AND ") + QString::number(m_state.last);
    if (const auto& order = m_state.order)
        sql += QStringLiteral(" ORDER BY [") + order->field + u']' +
               (order->order == SortOrder::Ascending ? QStringLiteral(" ASC") : QStringLiteral(" DESC"));
    return sql;
}

void PageQuery::open() {
    db::Dataset& page = dataset();
    page.close();
    page.setSql(statement());
    page.open();
}

void PageQuery::showRange(int first, int last) {
    m_state.first = first;
    m_state.last = last;
    m_state.order.reset();
    open();
}

void PageQuery::showAgain() {
    open();
}

void PageQuery::showStored() noexcept {
    try {
        open();
    } catch (...) {
        if (m_results) m_results->dataset().close();
    }
}

void PageQuery::beginForwardMove(int pageSize) {
    PageState& st = m_state;
    st.pageSize = pageSize;
    const int anchor = st.lastShown;
    st.lastShown = anchor + pageSize;
    st.fillStart = st.foundCount;
    st.fillCounter = 0;
    showRange(anchor + 1, anchor + pageSize);
}

void PageQuery::previousPage(int pageSize) {
    PageState& st = m_state;
    st.pageSize = pageSize;
    const int f = st.first;
    st.lastShown = f - 1;
    showRange(f - pageSize, f - 1);
    dataset().first();
}

void PageQuery::reset(int pageSize) {
    if (m_results) m_results->dataset().close();
    m_state.pageSize = pageSize;
    m_state.first = 0;
    m_state.last = pageSize;
    m_state.order.reset();
    m_state.markedCount = 0;
}

bool PageQuery::hasCurrentRow() const {
    if (!m_results) return false;
    const db::Dataset& page = m_results->dataset();
    return page.isOpen() && page.recNo() >= 0;
}

bool PageQuery::toggleMark() {
    if (!hasCurrentRow()) return false;
    db::Dataset& page = dataset();
    const bool marked = page.value(QStringLiteral("Zn")).toBool();
    const int change = marked ? -1 : 1;
    m_state.markedCount += change;
    try {
        page.edit();
        page.setValue(QStringLiteral("Zn"), !marked);
        page.post();
    } catch (const db::Error&) {
        m_state.markedCount -= change;
        page.cancel();
        throw;
    }
    return true;
}

void PageQuery::sortPage(const QString& field, SortOrder order) {
    if (field.compare(u"Zn", Qt::CaseInsensitive) == 0 || field.contains(u']')) return;
    db::Dataset& page = dataset();
    if (!page.isOpen() || page.isEmpty()) return;
    const QVariant current = page.recNo() >= 0 ? page.value(QStringLiteral("ID2")) : QVariant();
    const std::optional<PageOrder> before = std::exchange(m_state.order, PageOrder{field, order});
    try {
        open();
    } catch (const db::Error&) {
        m_state.order = before;
        throw;
    }
    if (current.isNull() || !page.locate(QStringLiteral("ID2"), current)) page.first();
}

} // namespace paging
