#pragma once

#include <QString>

namespace db {
class Dataset;
}

namespace labels {

// The records a print walks through, in order, one at a time.
class RecordSource {
  public:
    virtual ~RecordSource() = default;
    virtual bool atEnd() const = 0;
    // A column of the current record as text; a missing or null column is empty.
    virtual QString text(const QString& column) const = 0;
    // Moves to the next record; false with error set when it cannot be read.
    virtual bool next(QString& error) = 0;
};

// The rows of an open dataset, from the row it stands on.
class DatasetRecords : public RecordSource {
  public:
    explicit DatasetRecords(db::Dataset& rows) : m_rows(rows) {}
    bool atEnd() const override;
    QString text(const QString& column) const override;
    bool next(QString& error) override;

  private:
    db::Dataset& m_rows;
};

} // namespace labels
