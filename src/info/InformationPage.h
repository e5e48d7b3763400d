#pragma once

#include "DataGrid.h"
#include "ReferenceListQuery.h"
#include "ReferenceLists.h"

#include <QWidget>
#include <functional>
#include <memory>

class Application;
class QAction;
class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;

// The information page: a search text and the column to search in, the choice
// of one of the four reference lists, the list's grid and its record count.
// Values of a list are handed over to the persons and firms searches through
// signals that the main window carries out.
class InformationPage : public QWidget {
    Q_OBJECT

  public:
    using List = reference_lists::List;
    using Command = reference_lists::Command;
    enum class SearchPage { Persons, Firms };
    Q_ENUM(SearchPage)

    explicit InformationPage(QWidget* parent = nullptr);
    ~InformationPage() override;

    // Connects the page to the program; opener opens a list file read-only.
    void attach(Application& app, ReferenceListQuery::Opener opener);

    QLineEdit* searchText() const { return m_search; }
    QComboBox* columnBox() const { return m_column; }
    QRadioButton* listChoice(List list) const;
    List currentList() const;
    QPushButton* searchButton() const { return m_searchButton; }
    QPushButton* openButton() const { return m_open; }
    DataGrid* grid() const { return m_grid; }
    QLabel* recordCount() const { return m_count; }
    QMenu* contextMenu() const { return m_menu; }
    QAction* command(Command which) const;
    // The open list; null before attach().
    ReferenceListQuery* listQuery() const { return m_query.get(); }

    // The page is entered: with no list open, the default list is chosen.
    void enter();
    // Chooses a list as its radio button does; an error of the engine is shown.
    void chooseList(List list);
    // Moves to the first row whose value in the column named by the column box
    // begins with the search text; never reports an error.
    void locate();
    // The current row's postal code and municipality go into a search page's fields.
    void handOverPlace(SearchPage target);
    // A firms search for the current row's firm; reset clears the firms page's fields first.
    void searchFirm(bool reset);
    // The current row's internet address goes to the browser.
    void openAddress();

  signals:
    // The fields of the target page are to show the postal code and the
    // municipality, and that page is to be shown; no search starts.
    void placeHandedOver(InformationPage::SearchPage target, const QString& postalCode,
                         const QString& municipality);
    // The firms page is to search for the pattern in its firm name, after its
    // reset when reset is set.
    void firmSearchRequested(const QString& pattern, bool reset);

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildMenu();
    void connectActions();
    void showList(const reference_lists::Description& d);
    void columnTyped(const QString& text);
    void sortColumn(int column, DataGrid::SortState state);
    void doubleClicked();
    bool offersMenu() const;
    bool canRun(Command command) const;
    bool read(const std::function<void()>& reading);
    void showError(const QString& message);

    QLineEdit* m_search = nullptr;
    QComboBox* m_column = nullptr;
    QRadioButton* m_lists[4] = {};
    QButtonGroup* m_listGroup = nullptr;
    QPushButton* m_searchButton = nullptr;
    QPushButton* m_open = nullptr;
    DataGrid* m_grid = nullptr;
    QLabel* m_count = nullptr;
    QMenu* m_menu = nullptr;
    QAction* m_commands[4] = {};

    Application* m_app = nullptr;
    std::unique_ptr<ReferenceListQuery> m_query;
    // The column under the pointer at the last double click on the grid.
    int m_doubleClickColumn = -1;
};
