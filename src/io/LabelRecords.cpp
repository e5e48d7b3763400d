#include "LabelRecords.h"

#include "Dataset.h"
#include "Error.h"

namespace labels {

bool DatasetRecords::atEnd() const {
    return !m_rows.isOpen() || m_rows.eof();
}

QString DatasetRecords::text(const QString& column) const {
    return m_rows.hasField(column) ? m_rows.text(column) : QString();
}

bool DatasetRecords::next(QString& error) {
    try {
        m_rows.next();
        return true;
    } catch (const db::Error& e) {
        error = e.message();
        return false;
    }
}

} // namespace labels
