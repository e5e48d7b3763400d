#pragma once

#include "ImportFile.h"
#include "ImportMapping.h"

#include <QDialog>

#include <functional>

class PersonalSearch;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableView;
class QTableWidget;
namespace platform {
class Dialogs;
class SettingsStore;
} // namespace platform

namespace io {
class ImportPreviewModel;
}

// The import window (Form10): the source file and its separator, the preview
// of its lines, the mapping of source columns to personal columns, the saved
// schemas of such mappings, and the import itself. It is created once and
// kept; closing it clears the preview and the file, the mapping stays for the
// run. The reading, the mapping, the schemas and the posting live in the
// widget-free parts beside it.
class ImportDialog : public QDialog {
    Q_OBJECT

  public:
    // What the window works with. Until attached, its buttons do nothing.
    struct Services {
        platform::Dialogs* dialogs = nullptr;
        platform::SettingsStore* settings = nullptr;
        // The Vlastní page's search; null while there is none.
        std::function<PersonalSearch*()> personal;
        std::function<int()> pageSize;
        // Records were imported (or an import failed part way): the page shows
        // its working table; freshTable: a fresh one was started.
        std::function<void(bool freshTable)> imported;
    };

    enum class Button { Source, Preview, Import, Remove, Add, Save, Open, Delete, Overwrite, Back };

    explicit ImportDialog(QWidget* parent = nullptr);
    ~ImportDialog() override;

    void attach(Services services) { m_services = std::move(services); }

    // The handlers of the buttons, as they run them.
    void chooseSource();
    void loadPreview();
    void addPair();
    void removePair();
    void overwritePair();
    void saveSchema();
    void openSchema();
    void deleteSchema();
    void runImport();

    QPushButton* button(Button which) const;
    QButtonGroup* separators() const { return m_separators; }
    QCheckBox* namesCheck() const { return m_names; }
    QLabel* fileLabel() const { return m_fileLabel; }
    QTableView* preview() const { return m_grid; }
    QComboBox* sourceList() const { return m_sources; }
    QComboBox* targetList() const { return m_targets; }
    QComboBox* schemaList() const { return m_schemas; }
    QTableWidget* mappingEditor() const { return m_editor; }
    const io::ImportMapping& mapping() const { return m_mapping; }
    // The preview as loaded; its names are the source column list.
    const io::ImportTable& table() const { return m_table; }

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Closing (Zpě&t, Escape, the window's close button) clears the file and
    // the preview; the mapping stays. Refused while an import runs.
    void done(int result) override;

  private:
    void buildControls();
    void buildLayout();
    io::Separator separator() const;
    void showTable(io::ImportTable table);
    void clearPreview();
    void showMapping(int current);
    void rowSelected();
    io::MappingRow chosenPair() const;
    void fillSchemaList();
    bool ready() const { return m_services.dialogs != nullptr; }

    Services m_services;
    QButtonGroup* m_separators = nullptr;
    QCheckBox* m_names = nullptr;
    QLabel* m_fileLabel = nullptr;
    QTableView* m_grid = nullptr;
    io::ImportPreviewModel* m_model = nullptr;
    QComboBox* m_sources = nullptr;
    QComboBox* m_targets = nullptr;
    QComboBox* m_schemas = nullptr;
    QTableWidget* m_editor = nullptr;
    QPushButton* m_buttons[10] = {};

    // Where the window is between choosing a file, loading its preview and importing it.
    enum class State {
        Empty,         // no preview: no file chosen yet, or its preview could not be loaded
        Chosen,        // a file was chosen, its preview not loaded yet
        ChosenOverOld, // another file was chosen while the previous file's preview still shows
        Loaded,        // the preview shows the chosen file
        Importing,     // an import of the preview runs: the window stays open and ignores its buttons
    };
    // A file was chosen and its preview not loaded yet.
    bool pending() const { return m_state == State::Chosen || m_state == State::ChosenOverOld; }
    // The preview and the source column list hold the lines of a file.
    bool previewShown() const { return m_state == State::Loaded || m_state == State::ChosenOverOld; }
    bool running() const { return m_state == State::Importing; }

    QString m_file; // the chosen file; empty when none
    State m_state = State::Empty;
    io::ImportTable m_table;
    io::ImportMapping m_mapping;
};
