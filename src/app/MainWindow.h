#pragma once

#include "Connections.h"
#include "ContactImport.h"
#include "LabelLayout.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class Application;
class QTabWidget;
class QLabel;
class QPushButton;
class DirectoryPage;
class PersonalPage;
class PersonalSearch;
class ResultPage;
class InformationPage;
class DiscCopyDialog;
class ProductInfoDialog;
class LimitsDialog;
class ShortcutListDialog;
class ShortcutDispatcher;
class Help;
class ContactEditor;
class ExportDialog;
class PrintParametersDialog;
class ImportDialog;
class NumberPicker;

// The main window: owns the pages and the program's connections for the whole
// run. It is built with the page shown first; its first show applies the
// stored placement and limits, and once the first frame is painted the other
// pages and windows are built and the connections start (scratch folder,
// directory, personal database). Closing asks first and stores the settings;
// destruction deletes the working files.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(Application& app, QWidget* parent = nullptr);
    ~MainWindow() override;

    Connections& connections() { return *m_connections; }
    // The five working databases in the order o_, f_, p_, s_, x_.
    const db::OwnPaths& scratchPaths() const { return m_connections->paths(); }
    db::Database* directoryDatabase() const { return m_connections->directory(); }
    db::Database* personalDatabase() const { return m_connections->personal(); }
    // False after a failure of the first show that ends the program.
    bool startedOk() const { return m_startedOk; }
    // True once the databases have opened after the first frame was painted
    // and the first page was entered.
    bool isReady() const { return m_ready; }
    // Ends the program in order when asked from outside (a signal of the
    // session or of `kill`): no closing question; the placement and limits
    // are stored and the window closes. Repeated calls do nothing.
    void endWithoutQuestion();

    // Shown when a transfer of marked rows stopped at a failed write: how many
    // records were stored, then the engine's message.
    static QString partialTransferMessage(int stored, const QString& error);

    // Re-opens the directory database when its path changed (after a disc copy);
    // when it cannot be opened the engine's message is shown (once for that
    // path) and the program goes on with the directory it had. Never raises.
    void reopenDirectoryIfMoved();
    // A control the window finds by its name on the page of that name.
    struct NamedControl {
        QString page;
        QString control;
        enum class Kind { Field, Button, Label } kind = Kind::Field;
    };
    // Every control the window finds by name: the fields focused on entering a
    // page, the search, exit and paging buttons, the limits summaries and the
    // personal page's record count.
    static QList<NamedControl> namedControls();

    // The windows made when first needed rather than with the main window,
    // since making them is felt at start: the shortcut list, the import window
    // and the contact editor. Each is hidden until shown.
    ShortcutListDialog* shortcutList();
    ImportDialog* importDialog();
    ContactEditor* contactEditor();
    // Builds what is not built yet: the page shown first and the number
    // picker are built with the window; the other pages and windows once its
    // first frame is painted, before the databases open.
    void finishBuilding();

    // Sets the limits' summary labels of the three pages.
    void updateLimitLabels();
    // Sets the hints of the three pages' paging buttons from the limits.
    void updatePagingHints();

  signals:
    // The first show failed; the program ends.
    void startFailed();
    // The databases are open and the first page entered.
    void ready();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void buildMenus();
    // The tab widget, each page's tab held by a stand-in until the page is built.
    void buildTabs();
    // Builds the page of the tab index, when not yet built, and connects it.
    void buildPage(int index);
    // The Vlastní page's connections to the window: its search, the contact
    // editor, the import window and its keys.
    void connectPersonalPage();
    // A directory page's keys.
    void connectPageCommands(DirectoryPage* page);
    // Gives the result page of the tab index its working databases, once the
    // scratch folder is chosen.
    void setWorkingDatabases(int index);
    // The tab index stored with the placement, if valid.
    std::optional<int> storedPage() const;
    // The windows other than the number picker and those made when first needed.
    void createWindows();
    void firstShow();
    void openDatabases();
    void applyStoredPlacement();
    // False when the settings could not be stored.
    bool storeSettings();
    void pageChanged(int index);
    bool searchRunning() const;
    void endProgram(const QString& message);
    void openHelpForFocus();
    // The keys the window sees before the focused control; true when taken.
    void connectShortcuts();
    bool handleKey(QWidget* receiver, const QKeyEvent& key);
    // The information page's hand-overs to the persons and firms searches.
    void connectInformation();
    // A directory page's transfers into the personal contacts.
    void connectTransfers(DirectoryPage* page);
    void transferOne(DirectoryPage* page);
    void transferMarked(DirectoryPage* page);
    // The three pages' prints of marked records as address labels.
    void printLabels(ResultPage* page);
    // The three pages' exports of marked records to text files.
    void exportMarked(ResultPage* page);
    // Gives the import window (contacts from a text file) the Vlastní page's
    // personal cursor.
    void connectImport(ImportDialog* dialog);
    // Personal records to and from vCard files, from the "Soubor" menu.
    void exportVCard();
    void importVCard();
    // The records of the earlier installation's personal database, from the "Soubor" menu.
    void importOldDatabase();
    // Imports a file chosen in the open dialog through the Vlastní page's
    // personal cursor, with the progress window, and shows the page and the
    // messages of the outcome.
    using FileImporter = std::function<io::FileImport(PersonalSearch& search, const QString& path,
                                                      int pageSize, const io::ImportProgress& progress)>;
    void importFromFile(const QString& title, const QString& filter, const QString& extension,
                        const FileImporter& import);

    Application& m_app;
    QTabWidget* m_tabs = nullptr;
    DirectoryPage* m_persons = nullptr;
    DirectoryPage* m_firms = nullptr;
    PersonalPage* m_personalPage = nullptr;
    InformationPage* m_information = nullptr;
    QWidget* m_webTab = nullptr;
    int m_lastTab = 1;

    DiscCopyDialog* m_discCopy = nullptr;
    ProductInfoDialog* m_productInfo = nullptr;
    LimitsDialog* m_limitsDialog = nullptr;
    ShortcutListDialog* m_shortcuts = nullptr;
    ImportDialog* m_importDialog = nullptr;
    ContactEditor* m_contactEditor = nullptr;
    NumberPicker* m_picker = nullptr;
    PrintParametersDialog* m_printParameters = nullptr;
    ExportDialog* m_exportDialog = nullptr;
    ExportDialog* m_personalExportDialog = nullptr;
    std::unique_ptr<Help> m_help;
    std::unique_ptr<ShortcutDispatcher> m_shortcutKeys;

    std::unique_ptr<Connections> m_connections;

    bool m_shownOnce = false;
    bool m_startedOk = true;
    bool m_ready = false;
    bool m_closing = false;
};
