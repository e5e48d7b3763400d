#pragma once

#include "DataGrid.h"

#include <QAbstractTableModel>
#include <QPointer>

namespace db {
class Dataset;
}

// The rows of a dataset as a table for the result grid: one row for each row of
// the open dataset (none while it is closed), one column for each grid column,
// the field found by name. Values are read with Dataset::valueAt, so showing a
// row neither moves the dataset nor runs its row callback.
//
// The model follows the dataset's signals: opening and closing reset it, an
// appended row is inserted, a posted row is refreshed and a deleted row removed,
// one row at a time, so a grid can show a dataset while it is being filled.
//
// The mark column (the one showing the field Zn) has no display text; its value
// is given as a bool under MarkRole for the grid to draw as an image, and for
// assistive technology as a check state and the words "označeno" or
// "neoznačeno"; its title is spoken as "Označení".
//
// The cells of a column that is not read-only are editable on the dataset's
// current row: an edited value is set on that row and posted.
class DatasetModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    static constexpr int MarkRole = Qt::UserRole + 1;
    static QString markField() { return QStringLiteral("Zn"); }
    static QString markedText() { return QStringLiteral("označeno"); }
    static QString unmarkedText() { return QStringLiteral("neoznačeno"); }
    static QString markTitle() { return QStringLiteral("Označení"); }

    explicit DatasetModel(QObject* parent = nullptr);

    void setColumns(const QList<DataGrid::Column>& columns);
    void setDataset(db::Dataset* dataset);
    db::Dataset* dataset() const;
    // Index of the mark column, -1 when the columns have none.
    int markColumn() const { return m_markColumn; }

    // While the link is disabled the model passes nothing on from the dataset:
    // its rows stay as they were announced, and cells beyond the dataset's rows
    // read as empty. Enabling it again resets the model from the dataset.
    void setLinkEnabled(bool enabled);
    bool isLinkEnabled() const { return m_linkEnabled; }
    // True while the model is passing a change of the dataset on to its views;
    // selection changes the views make meanwhile are not the user's.
    bool isFollowing() const { return m_following > 0; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  signals:
    // The dataset refused an edited value; the edit was cancelled.
    void editFailed(const QString& message);

  private:
    void resetFromDataset();
    void resolveFields();
    void rowAppended(int position);
    void rowChanged(int position);
    void rowRemoved(int position);
    void catchUp();
    QVariant valueAt(int row, int column) const;
    bool isEditable(int column) const;

    QPointer<db::Dataset> m_dataset;
    QList<DataGrid::Column> m_columns;
    QList<int> m_fields; // dataset field of each column, -1 when it has none
    int m_markColumn = -1;
    int m_rows = 0; // rows announced to the views
    bool m_linkEnabled = true;
    bool m_stale = false; // the dataset was reopened or closed while the link was disabled
    int m_following = 0;
};
