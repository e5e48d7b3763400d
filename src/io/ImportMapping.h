#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Which source column of an import file fills which column of a personal
// record: the target fields the import window offers, and the rows of the
// mapping the user builds. Widget-free.
namespace io {

// One target field: its caption in the import window and the personal column it fills.
struct ImportTarget {
    QString caption;
    QString column;
};
// The 36 target fields in the order the window lists them; a schema stores their positions.
const QList<ImportTarget>& importTargets();
QStringList importTargetCaptions();

// One row of the mapping: a source column (its name and the position it was
// chosen at) and a target field (its position in importTargets(), -1 for none).
struct MappingRow {
    QString source;
    int sourcePosition = -1;
    int target = -1;

    bool isEmpty() const { return source.isEmpty() && target < 0; }
    bool isComplete() const { return !source.isEmpty() && target >= 0; }
};

// What a complete row takes from a file: the column's position in the source list and the target.
struct Assignment {
    int column = -1;
    int target = -1;
    friend bool operator==(const Assignment&, const Assignment&) = default;
};

// The rows of the mapping. There is always at least one row; a new mapping
// holds one empty row, which the first pair fills.
class ImportMapping {
  public:
    ImportMapping();

    const QList<MappingRow>& rows() const { return m_rows; }
    int size() const { return int(m_rows.size()); }
    const MappingRow& row(int i) const { return m_rows.at(i); }

    // Puts the pair into the current row when that row is empty, otherwise
    // into a new row at the end; returns the row that took it.
    int add(int current, const MappingRow& pair);
    // Overwrites the row with the pair; false when there is no such row.
    bool overwrite(int row, const MappingRow& pair);
    // Deletes the row; deleting the only row leaves one empty row. False when there is no such row.
    bool remove(int row);
    // Back to one empty row.
    void clear();
    // The first row names both a source column and a target: the mapping can be used.
    bool isReady() const { return m_rows.first().isComplete(); }

    // The position of a row's source column in the source list names: the
    // position it was chosen at while the name there is still the same
    // (letter case aside), otherwise the first column of that name; -1 when
    // no column has the name.
    static int sourceColumn(const MappingRow& row, const QStringList& names);

    // The complete rows resolved against the source list; the names of the
    // sources missing from it go into missing.
    QList<Assignment> assignments(const QStringList& names, QStringList* missing) const;

  private:
    QList<MappingRow> m_rows;
};

// Shown when mapped source columns are not in the file's preview.
QString missingColumnsMessage(const QStringList& missing);

} // namespace io
