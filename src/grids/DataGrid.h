#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QTableView>

class DatasetModel;
class QAbstractItemDelegate;
class QPixmap;

namespace db {
class Dataset;
}

// The program's result grid: whole rows are selected, only a vertical scroll
// bar is shown, and the columns always fill the width in the proportions of
// their designed widths; a column of fixed width keeps its width and the
// others share the rest. Titles are flat, grid lines silver, and the selected
// row keeps the highlight colour when the grid loses the focus. Columns cannot
// be moved. Cells are read-only except in columns marked editable: there F2 or
// a click on the current row's cell edits the value, which is posted to the
// dataset's current row when the editor closes.
//
// Bound to a dataset, the grid shows its rows and keeps its selection on the
// dataset's current row: selecting a row moves the dataset there, and moving
// the dataset by code selects the row. The column of the field Zn shows each
// row's mark as an image. Each column title carries a sort state that a click
// cycles; the grid never reorders rows itself, its owner reopens the dataset in
// the order the states ask for.
class DataGrid : public QTableView {
    Q_OBJECT

  public:
    struct Column {
        QString field;                           // the dataset field the column shows
        QString title;                           // the column title
        int width = 64;                          // designed width in pixels at the designed grid width
        Qt::Alignment alignment = Qt::AlignLeft; // of the values and the title
        bool readOnly = true;                    // false: the user can edit the column's values
        bool fixedWidth = false;                 // true: always width pixels wide, whatever the grid's width
    };

    enum class SortState { None, Ascending, Descending };
    Q_ENUM(SortState)

    explicit DataGrid(QWidget* parent = nullptr);
    ~DataGrid() override;

    // Replaces the columns; every column is shown and every sort state goes
    // back to None.
    void setColumns(const QList<Column>& columns);
    const QList<Column>& columns() const { return m_columns; }
    // Index of the column showing the field (compared without case), -1 if none.
    int columnOf(const QString& field) const;

    // Shown columns share the width in their proportions (those of fixed
    // width aside); a hidden one keeps its proportion for when it is shown
    // again. Out-of-range columns read as hidden and are ignored.
    bool isColumnShown(int column) const;
    void setColumnShown(int column, bool shown);
    // New proportions from widths in pixels, one per column (missing ones keep
    // theirs); a column of fixed width keeps its width.
    void setColumnWidths(const QList<int>& widths);

    // Binds the grid to the dataset (nullptr unbinds it; the titles stay). The
    // grid does not own the dataset and forgets it when it is destroyed.
    void setDataset(db::Dataset* dataset);
    db::Dataset* dataset() const;

    // While disabled, the grid neither follows the dataset's rows nor its
    // current row, and selecting a row does not move the dataset; enabling it
    // again shows the dataset's present rows and selects its current row.
    void setDataLinkEnabled(bool enabled);
    bool isDataLinkEnabled() const { return m_linkEnabled; }

    // While disabled, no editor opens, even in the editable columns.
    void setEditingEnabled(bool enabled);

    // Sort states of the titles. A click on a title cycles None → Ascending →
    // Descending → None and emits sortStateChanged; setting a state by code
    // emits nothing. Out-of-range columns read as None and are ignored.
    SortState sortState(int column) const;
    void setSortState(int column, SortState state);
    void clearSortStates();

    // The image the mark column shows for a marked or an unmarked row.
    static QPixmap markImage(bool marked, qreal devicePixelRatio = 1.0);

  signals:
    // The user selected another row and the dataset has moved there. Moving
    // the dataset by code selects its row without this signal.
    void currentRowChanged();
    // A left click on a row within the first column, after the click made the
    // row the dataset's current row.
    void markColumnClicked();
    void rowDoubleClicked();
    void pointerEntered();
    void pointerLeft();
    void sortStateChanged(int column, DataGrid::SortState state);
    // Moving the dataset to the selected row failed (a pending edit could not
    // be posted), and the selection stays on the dataset's current row; or the
    // dataset refused an edited value, and the row keeps its stored values.
    void datasetError(const QString& message);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    struct Sharing {
        QList<int> columns;  // columns sharing the width in their proportions
        int fixedPixels = 0; // the width the columns of fixed width take
    };
    bool isFixed(int column) const;
    Sharing sharing(const QList<int>& shown, qsizetype position) const;
    void fitColumns();
    QList<int> shownColumns() const;
    void userResizedSection(int logical, int newSize);
    void adjustRowHeight();
    void titleClicked(int column);
    void selectionMoved(const QModelIndex& current);
    void followDataset();
    bool inMarkArea(const QPoint& pos) const;

    QList<Column> m_columns;
    QList<double> m_weights; // current proportions; start as the designed widths
    QList<SortState> m_sortStates;
    DatasetModel* m_model = nullptr;
    QAbstractItemDelegate* m_markDelegate = nullptr;
    QPointer<db::Dataset> m_dataset;
    bool m_fitting = false;
    bool m_linkEnabled = true;
    bool m_followingDataset = false; // selecting the dataset's row
    bool m_movingDataset = false;    // moving the dataset to the selected row
    int m_markPressRow = -1;         // row of a left press in the mark area
};
