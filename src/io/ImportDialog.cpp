#include "ImportDialog.h"

#include "ContactImport.h"
#include "Dialogs.h"
#include "ImportProgressDialog.h"
#include "ImportSchemas.h"
#include "PageWidgets.h"
#include "PersonalSearch.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace io {

// The preview grid's rows: the column names in the fixed header, then one row
// per data line; never fewer than one row and six columns.
class ImportPreviewModel : public QAbstractTableModel {
  public:
    using QAbstractTableModel::QAbstractTableModel;

    // A copy: the rows are shared, not duplicated.
    void setTable(const ImportTable& table) {
        beginResetModel();
        m_table = table;
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(std::max<qsizetype>(1, m_table.rows().size()));
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : m_table.columnCount();
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole) return {};
        return m_table.cell(index.row(), index.column());
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
        return m_table.names().value(section);
    }

  private:
    ImportTable m_table;
};

} // namespace io

namespace {

// Names and captions of the buttons, in the order of ImportDialog::Button.
struct ButtonText {
    const char* name;
    const char* caption;
};
constexpr ButtonText kButtons[] = {
    {"Button1", "&Zdroj"},   {"Button2", "&Ukázka"}, {"Button3", "&Import"},  {"Button5", "&Odebrat"},
    {"Button4", "&Přidat"},  {"Button6", "U&ložit"}, {"Button7", "Ot&evřít"}, {"Button8", "&Smazat"},
    {"Button9", "Op&ravit"}, {"Button10", "Zpě&t"},
};

const char* const kSeparatorCaptions[] = {"TXT - středník jako oddělovač", "CSV - čárka jako oddělovač",
                                          "TXT - tabulátor jako oddělovač"};

QComboBox* dropDownList(const char* name, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(false);
    box->setMaxVisibleItems(20);
    return box;
}

} // namespace

ImportDialog::ImportDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form10"));
    setWindowTitle(QStringLiteral("Import dat"));
    setMinimumSize(681, 450);
    resize(681, 450);
    buildControls();
    buildLayout();
    clearPreview();
    showMapping(0);
}

ImportDialog::~ImportDialog() = default;

QPushButton* ImportDialog::button(Button which) const {
    return m_buttons[int(which)];
}

void ImportDialog::buildControls() {
    auto* group = new QGroupBox(u"    Formát zdroje    "_s, this);
    group->setObjectName(QStringLiteral("RadioGroup1"));
    m_separators = new QButtonGroup(this);
    auto* options = new QVBoxLayout(group);
    for (int i = 0; i < 3; ++i) {
        auto* option = new QRadioButton(QString::fromUtf8(kSeparatorCaptions[i]), group);
        m_separators->addButton(option, i);
        options->addWidget(option);
    }
    m_separators->button(0)->setChecked(true);

    m_names = new QCheckBox(u"první řádka představuje názvy sloupců"_s, this);
    m_names->setObjectName(QStringLiteral("CheckBox1"));
    m_names->setChecked(true);
    connect(m_names, &QCheckBox::toggled, this, [this] {
        if (!pending()) loadPreview();
    });

    m_fileLabel = new QLabel(this);
    m_fileLabel->setObjectName(QStringLiteral("Label4"));
    QFont bold = m_fileLabel->font();
    bold.setBold(true);
    m_fileLabel->setFont(bold);
    m_fileLabel->setStyleSheet(QStringLiteral("color: maroon"));

    for (int i = 0; i < 10; ++i) {
        m_buttons[i] = new QPushButton(QString::fromUtf8(kButtons[i].caption), this);
        m_buttons[i]->setObjectName(QString::fromLatin1(kButtons[i].name));
        m_buttons[i]->setAutoDefault(false);
    }
    const std::pair<Button, void (ImportDialog::*)()> handlers[] = {
        {Button::Source, &ImportDialog::chooseSource},
        {Button::Preview, &ImportDialog::loadPreview},
        {Button::Import, &ImportDialog::runImport},
        {Button::Remove, &ImportDialog::removePair},
        {Button::Add, &ImportDialog::addPair},
        {Button::Save, &ImportDialog::saveSchema},
        {Button::Open, &ImportDialog::openSchema},
        {Button::Delete, &ImportDialog::deleteSchema},
        {Button::Overwrite, &ImportDialog::overwritePair}};
    for (const auto& [which, handler] : handlers)
        connect(button(which), &QPushButton::clicked, this, handler);
    connect(button(Button::Back), &QPushButton::clicked, this, &QDialog::reject);

    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("StringGrid1"));
    m_grid->setAccessibleName(u"Ukázka dat"_s);
    m_model = new io::ImportPreviewModel(m_grid);
    m_model->setTable(m_table);
    m_grid->setModel(m_model);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(16);
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->horizontalHeader()->setDefaultSectionSize(width() / 6);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);

    m_sources = dropDownList("ComboBox1", this);
    m_targets = dropDownList("ComboBox2", this);
    m_targets->addItems(io::importTargetCaptions());
    m_targets->setCurrentIndex(-1);
    m_schemas = dropDownList("ComboBox3", this);

    m_editor = new QTableWidget(0, 2, this);
    m_editor->setObjectName(QStringLiteral("ValueListEditor1"));
    m_editor->setAccessibleName(u"Přiřazení polí"_s);
    m_editor->setHorizontalHeaderLabels({u"  Pole"_s, u"  Import do"_s});
    m_editor->verticalHeader()->hide();
    m_editor->horizontalHeader()->setStretchLastSection(true);
    m_editor->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_editor->setSelectionMode(QAbstractItemView::SingleSelection);
    m_editor->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(m_editor, &QTableWidget::currentCellChanged, this, [this] { rowSelected(); });
}

void ImportDialog::buildLayout() {
    auto* source = new QVBoxLayout;
    source->addWidget(findChild<QGroupBox*>(QStringLiteral("RadioGroup1")));
    source->addWidget(m_names);
    auto* fileButtons = new QHBoxLayout;
    fileButtons->addWidget(button(Button::Source));
    fileButtons->addWidget(button(Button::Preview));
    fileButtons->addStretch();
    source->addLayout(fileButtons);
    source->addStretch();

    auto* mapping = new QGridLayout;
    mapping->addWidget(makeCaption(u"Pole"_s, m_sources, this), 0, 0);
    mapping->addWidget(makeCaption(u"Import do"_s, m_targets, this), 0, 1);
    mapping->addWidget(m_sources, 1, 0);
    mapping->addWidget(m_targets, 1, 1);
    mapping->addWidget(m_editor, 2, 0, 1, 2);
    auto* mappingButtons = new QHBoxLayout;
    for (Button b : {Button::Add, Button::Remove, Button::Overwrite})
        mappingButtons->addWidget(button(b));
    mapping->addLayout(mappingButtons, 3, 0, 1, 2);

    auto* schemas = new QVBoxLayout;
    schemas->addWidget(makeCaption(u"Schéma importu"_s, m_schemas, this));
    schemas->addWidget(m_schemas);
    for (Button b : {Button::Open, Button::Save, Button::Delete})
        schemas->addWidget(button(b));
    schemas->addStretch();
    schemas->addWidget(button(Button::Import));
    schemas->addWidget(button(Button::Back));

    auto* top = new QHBoxLayout;
    top->addLayout(source);
    top->addLayout(mapping, 1);
    top->addLayout(schemas);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_fileLabel);
    layout->addWidget(m_grid, 1);

    // The Tab key goes column by column as the window reads, the preview last.
    QList<QWidget*> order(m_separators->buttons().cbegin(), m_separators->buttons().cend());
    order << m_names << button(Button::Source) << button(Button::Preview) << m_sources << m_targets
          << m_editor << button(Button::Add) << button(Button::Remove) << button(Button::Overwrite)
          << m_schemas << button(Button::Open) << button(Button::Save) << button(Button::Delete)
          << button(Button::Import) << button(Button::Back) << m_grid;
    chainTabOrder(order);
}

io::Separator ImportDialog::separator() const {
    const int id = m_separators->checkedId();
    return id < 0 ? io::Separator::Semicolon : io::Separator(id);
}

// ---- the file and its preview -----------------------------------------------------

void ImportDialog::chooseSource() {
    if (!ready() || running()) return;
    platform::Dialogs::FileOptions options;
    options.title = u"Import CSV"_s;
    options.filter = u"CSV|*.csv;*.txt"_s;
    options.defaultExtension = u"csv"_s;
    const auto chosen = m_services.dialogs->openFile(this, options);
    if (!chosen) return;
    m_file = chosen->path;
    m_fileLabel->setText(m_file);
    m_state = previewShown() ? State::ChosenOverOld : State::Chosen;
}

void ImportDialog::loadPreview() {
    if (!ready() || running() || m_file.isEmpty()) return;
    clearPreview();
    if (!QFileInfo(m_file).isFile()) {
        m_services.dialogs->warn(this, u"Soubor "_s + m_file + u" neexistuje.    "_s);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    io::ReadResult read = io::readImportFile(m_file, separator(), m_names->isChecked());
    QApplication::restoreOverrideCursor();
    if (!read.table) {
        m_services.dialogs->warn(this, read.error);
        return;
    }
    showTable(std::move(*read.table));
    m_state = State::Loaded;
}

void ImportDialog::showTable(io::ImportTable table) {
    m_table = std::move(table);
    m_model->setTable(m_table);
    m_sources->clear();
    m_sources->addItems(m_table.names());
    m_sources->setCurrentIndex(-1);
}

void ImportDialog::clearPreview() {
    m_state = State::Empty;
    showTable(io::ImportTable());
}

// ---- the mapping ------------------------------------------------------------------

io::MappingRow ImportDialog::chosenPair() const {
    io::MappingRow pair;
    pair.source = m_sources->currentText();
    pair.sourcePosition = m_sources->currentIndex();
    pair.target = m_targets->currentIndex();
    return pair;
}

void ImportDialog::showMapping(int current) {
    const QStringList captions = io::importTargetCaptions();
    QSignalBlocker quiet(m_editor);
    m_editor->setRowCount(m_mapping.size());
    for (int i = 0; i < m_mapping.size(); ++i) {
        const io::MappingRow& row = m_mapping.row(i);
        m_editor->setItem(i, 0, new QTableWidgetItem(row.source));
        m_editor->setItem(i, 1, new QTableWidgetItem(captions.value(row.target)));
    }
    current = std::clamp(current, 0, m_mapping.size() - 1);
    m_editor->setCurrentCell(current, 0);
}

void ImportDialog::rowSelected() {
    const int current = m_editor->currentRow();
    if (current < 0 || current >= m_mapping.size()) return;
    const io::MappingRow& row = m_mapping.row(current);
    m_sources->setCurrentIndex(io::ImportMapping::sourceColumn(row, m_table.names()));
    m_targets->setCurrentIndex(row.target);
}

void ImportDialog::addPair() {
    if (running()) return;
    showMapping(m_mapping.add(m_editor->currentRow(), chosenPair()));
}

void ImportDialog::removePair() {
    if (running()) return;
    const int current = m_editor->currentRow();
    if (!m_mapping.remove(current)) return;
    showMapping(current);
    rowSelected();
}

void ImportDialog::overwritePair() {
    if (running()) return;
    const int current = m_editor->currentRow();
    if (m_mapping.overwrite(current, chosenPair())) showMapping(current);
}

// ---- schemas ----------------------------------------------------------------------

void ImportDialog::fillSchemaList() {
    m_schemas->clear();
    if (m_services.settings) m_schemas->addItems(io::ImportSchemas(*m_services.settings).names());
    m_schemas->setCurrentIndex(-1);
}

void ImportDialog::saveSchema() {
    if (!ready() || !m_services.settings || running()) return;
    platform::Dialogs& dialogs = *m_services.dialogs;
    if (!m_mapping.isReady()) {
        dialogs.inform(this, io::emptyMappingMessage());
        return;
    }
    QStringList missing;
    const QList<io::Assignment> rows = m_mapping.assignments(m_table.names(), &missing);
    if (!missing.isEmpty()) {
        dialogs.warn(this, io::missingColumnsMessage(missing));
        return;
    }
    io::ImportSchemas schemas(*m_services.settings);
    QString name;
    for (;;) {
        const std::optional<QString> typed =
            dialogs.input(this, io::schemaNameCaption(), io::schemaNamePrompt(), QString());
        if (!typed) return;
        name = typed->trimmed();
        if (!io::ImportSchemas::isValidName(name)) {
            dialogs.warn(this, io::invalidSchemaNameMessage());
            continue;
        }
        if (!schemas.exists(name) || dialogs.ask(this, io::schemaExistsQuestion())) break;
    }
    const bool saved = schemas.save(name, rows);
    fillSchemaList();
    m_schemas->setCurrentIndex(m_schemas->findText(name, Qt::MatchFixedString));
    if (!saved) dialogs.warn(this, io::schemaNotSavedMessage());
}

void ImportDialog::openSchema() {
    if (!ready() || !m_services.settings || running() || m_schemas->currentIndex() < 0) return;
    const QString name = m_schemas->currentText();
    const auto rows = io::ImportSchemas(*m_services.settings).load(name);
    if (!rows) return;
    const QStringList& names = m_table.names();
    const qsizetype targets = io::importTargets().size();
    // Checked first, so that a schema that does not fit leaves the mapping as it was.
    for (const io::Assignment& row : *rows) {
        if (row.column < 0 || row.column >= names.size() || row.target < 0 || row.target >= targets ||
            !previewShown()) {
            m_services.dialogs->warn(
                this, io::schemaNotLoadedMessage(name, previewShown() ? int(names.size()) : 0));
            return;
        }
    }
    m_mapping.clear();
    int current = 0;
    for (const io::Assignment& row : *rows)
        current = m_mapping.add(current, {names[row.column], row.column, row.target});
    showMapping(current);
    rowSelected();
}

void ImportDialog::deleteSchema() {
    if (!ready() || !m_services.settings || running() || m_schemas->currentIndex() < 0) return;
    const QString name = m_schemas->currentText();
    if (!m_services.dialogs->ask(this, io::schemaDeleteQuestion(name))) return;
    io::ImportSchemas(*m_services.settings).remove(name);
    m_schemas->removeItem(m_schemas->currentIndex());
    m_schemas->setCurrentIndex(-1);
}

// ---- the import -------------------------------------------------------------------

void ImportDialog::runImport() {
    if (!ready() || running()) return;
    platform::Dialogs& dialogs = *m_services.dialogs;
    if (m_state != State::Loaded) {
        dialogs.inform(this, io::previewFirstMessage());
        return;
    }
    if (!m_mapping.isReady()) {
        dialogs.inform(this, io::emptyMappingMessage());
        return;
    }
    QStringList missing;
    const QList<io::Assignment> assignments = m_mapping.assignments(m_table.names(), &missing);
    if (!missing.isEmpty()) {
        dialogs.warn(this, io::missingColumnsMessage(missing));
        return;
    }
    PersonalSearch* search = m_services.personal ? m_services.personal() : nullptr;
    if (!search || !search->isReady()) {
        dialogs.warn(this, u"Vlastní databáze není připravena, import nelze provést.    "_s);
        return;
    }
    const int pageSize = m_services.pageSize ? m_services.pageSize() : 10;

    // The progress window, modal over this one, takes the input while the
    // records are posted; its Cancel stops after the record in hand.
    m_state = State::Importing;
    io::ImportOutcome outcome;
    {
        ImportProgressDialog progress(this, int(m_table.rows().size()));
        outcome = io::importContacts(*search, m_table, assignments, pageSize, progress.progress());
    }
    m_state = State::Loaded;
    if (m_services.imported) m_services.imported(outcome.freshTable);
    showNotices(dialogs, this, io::outcomeNotices(outcome));
}

// ---- the window -------------------------------------------------------------------

void ImportDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Shown again after the main window was minimised, it keeps its choice.
    if (!event->spontaneous()) fillSchemaList();
}

void ImportDialog::done(int result) {
    // Closing waits for a running import; it never cuts one short.
    if (running()) return;
    QDialog::done(result);
    m_file.clear();
    m_fileLabel->clear();
    clearPreview();
    m_targets->setCurrentIndex(-1);
    m_schemas->setCurrentIndex(-1);
}

void ImportDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    m_grid->horizontalHeader()->setDefaultSectionSize(std::max(1, width() / 6));
    // Every column is a sixth of the window wide.
    for (int i = 0; i < m_model->columnCount(); ++i)
        m_grid->horizontalHeader()->resizeSection(i, width() / 6);
}
