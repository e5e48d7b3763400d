#pragma once

#include "DataGrid.h"
#include "DesktopLinks.h"
#include "Limits.h"
#include "PageQuery.h"

#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class ClickableLabel;
class NumberPicker;
class QAction;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class StatusLine;
namespace platform {
class Dialogs;
class Shell;
} // namespace platform

// The wait cursor for as long as it lives.
class BusyCursor {
  public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// What the three result pages (persons, firms, Vlastní) share: busy and idle,
// guarded actions, the paging and STOP buttons, marking and sorting through
// the page query, the record label with its copy images, the grid's menu with
// calling a number and showing the address on the map, and what the main
// window needs of any page. A page builds its own boxes,
// buttons and images, hands the shared ones over with setControls, and keeps
// its own actions.
class ResultPage : public QWidget {
    Q_OBJECT

  public:
    // What the page works with from the program.
    struct Host {
        platform::Dialogs* dialogs = nullptr;
        Limits* limits = nullptr;
        // The shared stop request of the result pages.
        bool* stopRequested = nullptr;
        // The page last entered, which the keyboard shortcuts go by.
        QString* currentPageName = nullptr;
        // Offers a record's numbers for copying and for calling.
        NumberPicker* picker = nullptr;
        // Calls numbers and opens the map through the desktop.
        platform::Shell* shell = nullptr;
    };

    ~ResultPage() override;

    // ---- what the main window needs of any page ----
    Limits::List limitsList() const { return m_list; }
    QPushButton* searchButton() const { return m_controls.search; }
    QPushButton* exportButton() const { return m_controls.exportButton; }
    QPushButton* printButton() const { return m_controls.print; }
    DataGrid* grid() const { return m_controls.grid; }
    QPlainTextEdit* recordLabel() const { return m_controls.record; }
    StatusLine* statusLine() const { return m_controls.status; }
    QMenu* contextMenu() const { return m_menu; }
    // The results' connection; null before the working database exists.
    db::Database* resultsDatabase() const;
    int markedCount() const;
    // The rows a page shows (the displayed-records limit, "10" when it is empty).
    int pageSize();
    int searchLimit() const;
    // The lines the record label shows.
    const QStringList& labelLines() const { return m_label; }

    // Runs an action of the user: ignored while a search or a page fill runs
    // (the fill lets the window process its events, so actions can arrive);
    // an error of the database ends the action, is shown, and leaves the page
    // idle so that the user can search again.
    void guarded(const std::function<void()>& action);

    // The page's actions, as its buttons, images and shortcuts start them.
    virtual void startSearch() = 0;
    virtual void nextPage() = 0;
    // Shows the page before the shown one from the rows copied before; the
    // grid waits for the whole page instead of following each step.
    void previousPage();
    virtual void resetPage() = 0;
    virtual void refreshLabel() = 0;
    // Copies the record label's lines.
    void copyAll();
    virtual void copyNumber() = 0;
    virtual void copyAddress() = 0;
    // "Volat…": calls a number of the current record through the desktop;
    // with several the user chooses one first.
    void callNumber();
    // "Zobrazit na mapě": the current record's address on the map in the browser.
    void showOnMap();
    void requestStop();
    // Toggles the mark of the current row.
    void toggleMark();

  protected:
    ResultPage(Limits::List list, QWidget* parent);
    // Builds the page, from the constructor of the page: its controls, their
    // layout, and the widths of its narrow boxes.
    void build();
    // Creates the page's controls in the order of the Tab key and hands the
    // shared ones over with setControls.
    virtual void buildControls() = 0;
    virtual void buildLayout() = 0;
    // The controls every result page has, built by the page. buttons begin
    // with "Hledej", "Nuluj", "Export", "Tisk", "STOP", "<<<" and ">>>", in
    // this order; the copy images are "copy all", "copy number" and "copy
    // address"; Enter in any of the boxes sets off the search button.
    void setControls(QPushButton* const* buttons, const std::array<ClickableLabel*, 3>& copyImages,
                     QPlainTextEdit* record, DataGrid* grid, StatusLine* status,
                     const QList<QLineEdit*>& boxes);
    // Connects the page to the program and the shared controls to their
    // actions; query is the search's page query.
    void attachHost(const Host& host, paging::PageQuery* query);
    // The grid's menu, opened (through guarded) where the grid asks for it.
    QMenu* makeContextMenu(const QString& name);
    // Ends the grid's menu with "Volat…" and "Zobrazit na mapě", named
    // callName and mapName, and gives the record label a menu of its own
    // items and these two. Each is on only while the current record has a
    // number or an address.
    void addLinkActions(const QString& callName, const QString& mapName);
    // The numbers and the address of the current record that "Volat…" and
    // "Zobrazit na mapě" offer; nothing without a current record.
    virtual desktop_links::Links currentLinks() const = 0;

    platform::Dialogs& dialogs() const { return *m_host.dialogs; }
    Limits& limits() const { return *m_host.limits; }
    const Host& host() const { return m_host; }
    bool isAttached() const { return m_query != nullptr; }

    // From here until the page is idle again only STOP responds: the page's
    // buttons, the grid's titles and its editing are off, and guarded()
    // ignores other actions.
    void lockControls();
    void becomeBusy(const QString& caption);
    // The buttons "<<<" and ">>>" are left to the caller; the grid gets the
    // focus when the page asks for it (focusGridWhenIdle).
    void becomeIdle();
    void showPaging(bool previousEnabled, bool nextEnabled);
    // The keyboard shortcuts go by this page from now on.
    void becomeCurrentPage();
    // After the search was reset: the paging is off, the search button on,
    // the boxes, the counts and the label are empty and no title shows a sort.
    void clearPage();
    bool focusGridWhenIdle = false;

    // Shows the lines in the record label, from its top.
    void showLabel(const QStringList& lines, bool scrollBar);
    void toClipboard(const QString& text);
    // Offers the numbers in the picker opened beside a copy image imageLeft
    // pixels from the page's left; the ticked ones, when there are any.
    std::optional<QStringList> chooseNumbers(const QStringList& items, int imageLeft);

    // The page's own steps before "<<<" shows the page before.
    virtual void leavingPage() {}
    // Whether a column title may sort the page now.
    virtual bool sortable() const { return true; }
    // The mark of the current row was toggled, or refused (then the error is on its way).
    virtual void markToggled() {}
    // Sizes the boxes for short values to the font; called again when the
    // font or the style changes.
    virtual void adjustNarrowBoxes() {}
    void changeEvent(QEvent* event) override;

  private:
    struct Controls {
        QPushButton *search = nullptr, *reset = nullptr, *exportButton = nullptr, *print = nullptr,
                    *stop = nullptr, *previous = nullptr, *next = nullptr;
        ClickableLabel *copyAll = nullptr, *copyNumber = nullptr, *copyAddress = nullptr;
        QPlainTextEdit* record = nullptr;
        DataGrid* grid = nullptr;
        StatusLine* status = nullptr;
        QList<QLineEdit*> boxes;
    };

    void connectShared();
    void sortColumn(int column, DataGrid::SortState state);
    void enableLinkActions();
    void showLabelMenu(const QPoint& at);

    Limits::List m_list;
    Controls m_controls;
    Host m_host;
    paging::PageQuery* m_query = nullptr;
    QMenu* m_menu = nullptr;
    QAction* m_call = nullptr;
    QAction* m_map = nullptr;
    // Where the last menu opened: the number chooser opens there.
    QPoint m_menuAt;
    std::optional<BusyCursor> m_busyCursor;
    // A search or a page fill runs: only STOP responds (see lockControls).
    bool m_busy = false;
    QStringList m_label;
};
