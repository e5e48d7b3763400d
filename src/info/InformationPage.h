#pragma once

#include <QWidget>

class DataGrid;
class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The information page: a search text and the column to search in, the choice
// of one of the four reference lists, the list's grid and its record count.
class InformationPage : public QWidget {
    Q_OBJECT

  public:
    // The reference lists, in the order of their choices on the page.
    enum class List { InternetAddresses, FreephoneLines, PostalCodes, InternationalPrefixes };

    explicit InformationPage(QWidget* parent = nullptr);

    QLineEdit* searchText() const { return m_search; }
    QComboBox* columnBox() const { return m_column; }
    QRadioButton* listChoice(List list) const;
    List currentList() const;
    QPushButton* searchButton() const { return m_searchButton; }
    QPushButton* openButton() const { return m_open; }
    DataGrid* grid() const { return m_grid; }
    QLabel* recordCount() const { return m_count; }

  private:
    QLineEdit* m_search = nullptr;
    QComboBox* m_column = nullptr;
    QRadioButton* m_lists[4] = {};
    QButtonGroup* m_listGroup = nullptr;
    QPushButton* m_searchButton = nullptr;
    QPushButton* m_open = nullptr;
    DataGrid* m_grid = nullptr;
    QLabel* m_count = nullptr;
};
