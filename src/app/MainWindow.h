#pragma once

#include "Dataset.h"
#include "LabelLayout.h"
#include "OwnDatabases.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>

class Application;
class QTabWidget;
class QLabel;
class QPushButton;
class DirectoryPage;
class PersonalPage;
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

// The main window: owns every database connection, dataset and page of the
// program for the whole run. Its first show applies the stored placement and
// limits, chooses the scratch folder and opens the directory and personal
// databases; closing asks first and stores the settings; destruction deletes
// the working files.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Application& app, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The five working databases in the order o_, f_, p_, s_, x_.
    const db::OwnPaths& scratchPaths() const { return m_paths; }
    db::Database* directoryDatabase() const { return m_directory.get(); }
    db::Database* personalDatabase() const { return m_personal.get(); }
    // False after a failure of the first show that ends the program.
    bool startedOk() const { return m_startedOk; }
    // Ends the program in order when asked from outside (a signal of the
    // session or of `kill`): no closing question; the placement and limits
    // are stored and the window closes. Repeated calls do nothing.
    void endWithoutQuestion();

    // Shown when a transfer of marked rows stopped at a failed write: how many
    // records were stored, then the engine's message.
    static QString partialTransferMessage(int stored, const QString& error);

    // Re-opens the directory database when its path changed (after a disc copy).
    // The new connection replaces the old one only once it is open; when it
    // cannot be opened the engine's message is shown (once for that path) and
    // the program goes on with the directory it had. Never raises.
    void reopenDirectoryIfMoved();
    // Sets the limits' summary labels of the three pages.
    void updateLimitLabels();
    // Sets the hints of the three pages' paging buttons from the limits.
    void updatePagingHints();

signals:
    // The first show failed; the program ends.
    void startFailed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildMenus();
    void buildPages();
    void createWindows();
    void firstShow();
    void applyStoredPlacement();
    // False when the settings could not be stored.
    bool storeSettings();
    bool chooseScratchFolder();
    bool openDirectory();
    // Opens the directory database at path exclusively and read-only, then
    // puts it in place of the connection in use. On failure raises db::Error
    // and leaves the connection in use and the engine as they were.
    void connectDirectory(const QString& path);
    bool openPersonal();
    void pageChanged(int index);
    bool searchRunning() const;
    void endProgram(const QString& message);
    void openHelpForFocus();
    // The keys the window sees before the focused control; true when taken.
    void connectShortcuts();
    bool handleKey(QWidget* receiver, const QKeyEvent& key);
    // The information page's hand-overs to the persons and firms searches.
    void connectInformation();
    // The directory pages' transfers into the personal contacts.
    void connectTransfers(ContactEditor* editor);
    void transferOne(DirectoryPage* page, ContactEditor* editor);
    void transferMarked(DirectoryPage* page);
    // The three pages' prints of marked records as address labels.
    void connectPrints();
    void printLabels(ResultPage* page);
    // The three pages' exports of marked records to text files.
    void connectExports();
    void exportMarked(ResultPage* page);
    // The three result pages.
    std::array<ResultPage*, 3> resultPages() const;
    // The Vlastní page's import of contacts from a text file.
    void connectImport(ImportDialog* dialog);
    // Personal records to and from vCard files, from the "Soubor" menu.
    void exportVCard();
    void importVCard();

    Application& m_app;
    QTabWidget* m_tabs = nullptr;
    DirectoryPage* m_persons = nullptr;
    DirectoryPage* m_firms = nullptr;
    PersonalPage* m_personalPage = nullptr;
    InformationPage* m_information = nullptr;
    QWidget* m_webTab = nullptr;
    int m_lastTab = 1;

    // The other eleven windows, created hidden with the main window.
    std::array<QWidget*, 11> m_windows{};
    DiscCopyDialog* m_discCopy = nullptr;
    ProductInfoDialog* m_productInfo = nullptr;
    LimitsDialog* m_limitsDialog = nullptr;
    ShortcutListDialog* m_shortcuts = nullptr;
    PrintParametersDialog* m_printParameters = nullptr;
    ExportDialog* m_exportDialog = nullptr;
    ExportDialog* m_personalExportDialog = nullptr;
    std::unique_ptr<Help> m_help;
    std::unique_ptr<ShortcutDispatcher> m_shortcutKeys;

    // Connections and datasets.
    std::unique_ptr<db::Workspace> m_directoryWorkspace, m_personalWorkspace;
    std::unique_ptr<db::Database> m_directory; // MDAODatabase
    std::unique_ptr<db::Database> m_personal;  // privatDB
    db::Dataset m_query1, m_query2, m_personalResult, m_personsBuffer, m_firmsBuffer; // Query1, Query2, pdaotable1, subdb, subdb_f
    db::Dataset m_export;                                                            // dexport
    db::OwnPaths m_paths;
    QString m_failedDirectoryPath; // the directory path last found unusable
    std::array<std::unique_ptr<db::WorkingDatabase>, 5> m_working;

    bool m_shownOnce = false;
    bool m_startedOk = true;
    bool m_closing = false;
};
