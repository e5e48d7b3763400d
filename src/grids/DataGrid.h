#pragma once

#include <QList>
#include <QString>
#include <QTableView>

class QStandardItemModel;

// The program's result grid: whole rows are selected, only a vertical scroll
// bar is shown, and the columns always fill the width in the proportions of
// their designed widths. Titles are flat, grid lines silver, and the selected
// row keeps the highlight colour when the grid loses the focus. Columns cannot
// be moved and cells cannot be edited.
class DataGrid : public QTableView {
    Q_OBJECT

  public:
    struct Column {
        QString field;                           // the dataset field the column shows
        QString title;                           // the column title
        int width = 64;                          // designed width in pixels at the designed grid width
        Qt::Alignment alignment = Qt::AlignLeft; // of the values and the title
    };

    explicit DataGrid(QWidget* parent = nullptr);

    // Replaces the columns. Until a data link exists the grid shows an empty
    // model that carries only the titles.
    void setColumns(const QList<Column>& columns);
    const QList<Column>& columns() const { return m_columns; }
    // Index of the column showing the field (compared without case), -1 if none.
    int columnOf(const QString& field) const;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void fitColumns();
    void userResizedSection(int logical, int newSize);
    void adjustRowHeight();

    QList<Column> m_columns;
    QList<double> m_weights; // current proportions; start as the designed widths
    QStandardItemModel* m_titles = nullptr;
    bool m_fitting = false;
};
