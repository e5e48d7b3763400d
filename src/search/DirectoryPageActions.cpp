// What the persons and firms pages do: search, page, count, reset, stop, mark
// and sort, and the record label with its three copy images. The databases
// are reached through DirectorySearch; this file moves the widgets.

#include "DirectoryPage.h"

#include "Application.h"
#include "DataGrid.h"
#include "Dialogs.h"
#include "Error.h"
#include "Maker.h"
#include "NumberPicker.h"
#include "OwnDatabases.h"
#include "PageWidgets.h"
#include "TextHelpers.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

namespace {

QString s(const char* text) {
    return QString::fromUtf8(text);
}

const QString kTelephoneQuestion =
    s("Vyhledávání podle telefonního čísla může trvat delší dobu. Přejete si pokračovat?");
const QString kCountRefused = s("Tuto funkci nelze použít při vyplněném poli telefonního čísla.   ");
const QString kCountResult = s("Počet záznamů, které odpovídají zadaným podmínkám: ");

// Where the copy-number image stands on the page; the picker opens beside it.
constexpr int kPickerImageLeft = 672;

} // namespace

// ---- connection to the program ------------------------------------------------------

void DirectoryPage::attach(Application& app, DirectorySearch::Services services, NumberPicker* picker) {
    m_app = &app;
    m_picker = picker;
    if (!services.stopRequested) services.stopRequested = &app.stopRequested;
    if (!services.processEvents) services.processEvents = [] { QCoreApplication::processEvents(); };
    m_search = std::make_unique<DirectorySearch>(m_page.forFirms ? DirectorySearch::Directory::Firms
                                                                 : DirectorySearch::Directory::Persons,
                                                 std::move(services));
    m_search->onEndStateChanged = [this](DirectorySearch::EndState state) { showEndState(state); };
    connectActions();
}

void DirectoryPage::setWorkingDatabases(db::WorkingDatabase* results, db::WorkingDatabase* phoneBuffer) {
    m_search->setWorkingDatabases(results, phoneBuffer);
    if (!results) return;
    // Every row posted to the page query (copied or marked) rewrites the status text.
    db::Dataset& page = results->dataset();
    connect(&page, &db::Dataset::rowAppended, this, [this] { updateStatus(); });
    connect(&page, &db::Dataset::rowChanged, this, [this] { updateStatus(); });
    m_grid->setDataset(&page);
}

void DirectoryPage::connectActions() {
    auto onClick = [this](Button which, void (DirectoryPage::*action)()) {
        connect(button(which), &QPushButton::clicked, this,
                [this, action] { guarded([&] { (this->*action)(); }); });
    };
    onClick(Button::Search, &DirectoryPage::startSearch);
    onClick(Button::Next, &DirectoryPage::nextPage);
    onClick(Button::Previous, &DirectoryPage::previousPage);
    onClick(Button::Reset, &DirectoryPage::resetPage);
    connect(button(Button::Stop), &QPushButton::clicked, this, &DirectoryPage::requestStop);

    // Enter in any search box sets off the search button, which does nothing while disabled.
    for (QLineEdit* box : m_fields)
        connect(box, &QLineEdit::returnPressed, button(Button::Search), &QPushButton::click);
    keepDigitsOnly(field(Field::Phone));
    // Switching a wildcard off takes one trailing "*" from its own box.
    for (Field f : {Field::Name, Field::Street, Field::Town})
        dropWildcardWhenSwitchedOff(wildcardSwitch(f), field(f));

    connect(image(Image::CopyAll), &ClickableLabel::clicked, this,
            [this] { guarded([this] { copyAll(); }); });
    connect(image(Image::CopyNumber), &ClickableLabel::clicked, this,
            [this] { guarded([this] { copyNumber(); }); });
    connect(image(Image::CopyAddress), &ClickableLabel::clicked, this,
            [this] { guarded([this] { copyAddress(); }); });
    connect(image(Image::Transfer), &ClickableLabel::clicked, this,
            [this] { guarded([this] { emit transferRequested(); }); });

    connect(m_grid, &DataGrid::markColumnClicked, this, [this] { guarded([this] { toggleMark(); }); });
    connect(m_grid, &DataGrid::currentRowChanged, this, [this] {
        if (button(Button::Search)->isEnabled()) guarded([this] { refreshLabel(); });
    });
    connect(m_grid, &DataGrid::sortStateChanged, this,
            [this](int column, DataGrid::SortState state) { guarded([&] { sortColumn(column, state); }); });
    connect(m_grid, &DataGrid::rowDoubleClicked, this,
            [this] { guarded([this] { emit transferRequested(); }); });
    // A value typed into the grid that the working table refuses.
    connect(m_grid, &DataGrid::datasetError, this,
            [this](const QString& message) { m_app->dialogs().warn(window(), message); });
    connect(m_grid, &DataGrid::pointerEntered, this, [this] { emit pointerOverGrid(true); });
    connect(m_grid, &DataGrid::pointerLeft, this, [this] { emit pointerOverGrid(false); });

    m_menu = new QMenu(this);
    m_menu->setObjectName(m_page.popupMenu);
    QAction* one =
        m_menu->addAction(s("přenést záznam do vlastní databáze"), this, &DirectoryPage::transferRequested);
    one->setObjectName(m_page.transferItem);
    QAction* marked = m_menu->addAction(s("přenést označané záznamy do vlastní databáze"), this,
                                        &DirectoryPage::transferMarkedRequested);
    marked->setObjectName(m_page.transferMarkedItem);
    connect(m_menu, &QMenu::aboutToShow, this,
            [this, marked] { marked->setVisible(m_search->state().markedCount != 0); });
    connect(m_grid, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        guarded([&] { m_menu->popup(m_grid->viewport()->mapToGlobal(at)); });
    });
}

// While a search or a page fill runs only STOP responds: an action that
// arrives meanwhile (the fill lets the window process its events) is ignored.
// An error of the database ends the action, is shown, and leaves the page idle
// so that the user can search again.
void DirectoryPage::guarded(const std::function<void()>& action) {
    if (m_busy) return;
    try {
        action();
    } catch (const db::Error& e) {
        becomeIdle();
        m_app->dialogs().warn(window(), e.message());
    }
}

// ---- busy and idle ------------------------------------------------------------------------

Limits::List DirectoryPage::limitsList() const {
    return m_page.forFirms ? Limits::List::Firms : Limits::List::Persons;
}

int DirectoryPage::pageSize() {
    Limits& limits = m_app->limits();
    if (limits.text(limitsList(), Limits::Kind::Displayed).isEmpty())
        limits.setText(limitsList(), Limits::Kind::Displayed, s("10"));
    return limits.pageSize(limitsList());
}

int DirectoryPage::searchLimit() const {
    return m_app->limits().searchLimit(limitsList());
}

// From here until the page is idle again only STOP responds: the page's
// buttons, the grid's titles and its editing are off, and guarded() ignores
// other actions.
void DirectoryPage::lockControls() {
    m_busy = true;
    for (Button b :
         {Button::Search, Button::Reset, Button::Export, Button::Print, Button::Previous, Button::Next})
        button(b)->setEnabled(false);
    m_grid->horizontalHeader()->setSectionsClickable(false);
    m_grid->setEditingEnabled(false);
}

void DirectoryPage::becomeBusy(const QString& caption) {
    window()->setWindowTitle(caption);
    if (!m_busyCursor) QApplication::setOverrideCursor(Qt::WaitCursor);
    m_busyCursor = true;
}

// The buttons "<<<" and ">>>" are left to the caller.
void DirectoryPage::becomeIdle() {
    m_busy = false;
    m_grid->horizontalHeader()->setSectionsClickable(true);
    m_grid->setEditingEnabled(true);
    m_grid->setDataLinkEnabled(true);
    if (m_busyCursor) QApplication::restoreOverrideCursor();
    m_busyCursor = false;
    window()->setWindowTitle(maker::kMainCaption);
    m_grid->setFocus();
    button(Button::Stop)->setEnabled(false);
    for (Button b : {Button::Search, Button::Reset, Button::Print, Button::Export})
        button(b)->setEnabled(true);
}

void DirectoryPage::showEndState(DirectorySearch::EndState state) {
    static const struct {
        QColor colour;
        const char* hint;
    } looks[] = {{QColor(192, 192, 192), "Indikátor stavu konce vyhledávání"},
                 {QColor(128, 0, 0), "Existují další záznamy v databázi !"},
                 {QColor(0, 128, 0), "Žádné další záznamy již v databázi nejsou"}};
    const auto& look = looks[int(state)];
    QPalette p = m_endIndicator->palette();
    p.setColor(QPalette::WindowText, look.colour);
    m_endIndicator->setPalette(p);
    m_endIndicator->setToolTip(s(look.hint));
}

void DirectoryPage::updateStatus() {
    const DirectorySearch::PageState& st = m_search->state();
    m_status->part(0)->setText(countsText(st.foundCount, st.markedCount));
}

QString DirectoryPage::countsText(int found, int marked) {
    return s(" Počet záznamů: %1 nalezených,  %2 označených").arg(QLocale().toString(found)).arg(marked);
}

// ---- search ---------------------------------------------------------------------------

search_criteria::SearchFields DirectoryPage::readFields() const {
    search_criteria::SearchFields f;
    f.name = field(Field::Name)->text();
    f.second = field(Field::SecondName)->text();
    f.street = field(Field::Street)->text();
    f.houseNumber = field(Field::HouseNumber)->text();
    f.municipality = field(Field::Town)->text();
    f.postalCode = field(Field::PostalCode)->text();
    f.telephone = field(Field::Phone)->text();
    f.region = m_region->currentIndex();
    f.regionText = m_region->currentText();
    f.nameWildcard = m_nameSwitch->isOn();
    f.streetWildcard = m_streetSwitch->isOn();
    f.municipalityWildcard = m_townSwitch->isOn();
    return f;
}

void DirectoryPage::writeFields(const search_criteria::SearchFields& f) {
    const std::pair<Field, const QString*> boxes[] = {
        {Field::Name, &f.name},         {Field::SecondName, &f.second},
        {Field::Street, &f.street},     {Field::HouseNumber, &f.houseNumber},
        {Field::Town, &f.municipality}, {Field::PostalCode, &f.postalCode},
        {Field::Phone, &f.telephone}};
    for (const auto& [which, value] : boxes)
        if (field(which)->text() != *value) field(which)->setText(*value);
}

void DirectoryPage::startSearch() {
    runSearch(false);
}

// The search up to its first page; in count mode up to the statement. False
// when it ended early (No to the telephone question, nothing to search for,
// a value the directory does not know).
bool DirectoryPage::runSearch(bool countOnly) {
    if (!m_search || !m_search->isReady() || !button(Button::Search)->isEnabled()) return false;
    m_search->setEndState(DirectorySearch::EndState::Neutral);

    search_criteria::SearchFields f = readFields();
    search_criteria::normalise(f);
    writeFields(f);
    const bool byTelephone = !f.telephone.isEmpty();
    if (byTelephone &&
        m_app->dialogs().message(window(), platform::Dialogs::kWarning, kTelephoneQuestion,
                                 platform::Dialogs::Icon::Information,
                                 platform::Dialogs::Buttons::YesNo) != platform::Dialogs::Answer::Yes)
        return false;
    if (search_criteria::isEmptyRequest(f)) {
        m_app->dialogs().warn(window(), search_criteria::kEmptyRequestMessage);
        return false;
    }

    // The page is busy from here: only STOP responds.
    lockControls();
    button(Button::Stop)->setEnabled(false);
    m_record->clear();
    m_label.clear();
    m_app->stopRequested = false;
    m_status->part(0)->clear();
    QCoreApplication::processEvents();
    m_grid->clearSortStates();
    m_search->begin(pageSize());
    becomeBusy(m_page.searchCaption);
    m_app->currentPageName = m_page.pageName;

    m_search->prepareTables(byTelephone);
    if (const auto failed = m_search->validate(f)) {
        m_app->dialogs().warn(window(), failed->message);
        becomeIdle();
        field(Field(int(failed->field)))->setFocus();
        return false;
    }
    m_search->buildStatement(f, searchLimit());
    if (!countOnly) nextPage();
    return true;
}

void DirectoryPage::countMatches() {
    if (!m_search || !button(Button::Search)->isEnabled()) return;
    guarded([this] {
        if (!field(Field::Phone)->text().isEmpty()) {
            m_app->dialogs().warn(window(), kCountRefused);
            return;
        }
        if (!runSearch(true)) return;
        const qint64 n = m_search->count(searchLimit());
        m_app->dialogs().inform(window(),
                                kCountResult + text::thousandsGrouping(QString::number(n)) + s("    "));
        becomeIdle();
    });
}

// ---- paging ---------------------------------------------------------------------------

void DirectoryPage::nextPage() {
    lockControls();
    button(Button::Stop)->setEnabled(true);
    becomeBusy(m_page.pageMoveCaption);
    m_grid->clearSortStates();
    DirectorySearch::Paging paging;
    try {
        paging = m_search->nextPage(pageSize(), searchLimit());
    } catch (const db::Error&) {
        // The fill failed and its rows are gone: the status shows the rows
        // stored, "<<<" leads back from the page as ever, ">>>" stays off
        // until the next search.
        updateStatus();
        button(Button::Previous)->setEnabled(m_search->state().first > 1);
        throw;
    }
    button(Button::Previous)->setEnabled(paging.previousEnabled);
    button(Button::Next)->setEnabled(paging.nextEnabled);
    becomeIdle();
    if (m_search->state().foundCount > 0) refreshLabel();
}

// Shows rows copied before; it reads nothing from the directory, so the
// caption stays as it is.
void DirectoryPage::previousPage() {
    m_search->setEndState(DirectorySearch::EndState::Neutral);
    // The grid waits for the whole page instead of following each step.
    m_grid->setDataLinkEnabled(false);
    button(Button::Stop)->setEnabled(true);
    m_grid->clearSortStates();
    const DirectorySearch::Paging paging = m_search->previousPage(pageSize());
    m_grid->setDataLinkEnabled(true);
    button(Button::Previous)->setEnabled(paging.previousEnabled);
    button(Button::Next)->setEnabled(paging.nextEnabled);
    m_grid->setFocus();
    button(Button::Stop)->setEnabled(false);
    refreshLabel();
}

void DirectoryPage::resetPage() {
    button(Button::Previous)->setEnabled(false);
    button(Button::Next)->setEnabled(false);
    button(Button::Search)->setEnabled(true);
    button(Button::Stop)->setEnabled(false);
    m_search->reset(pageSize());
    for (QLineEdit* box : m_fields)
        box->clear();
    m_region->setCurrentIndex(0);
    m_status->part(0)->clear();
    m_record->clear();
    m_label.clear();
    m_grid->clearSortStates();
    if (m_page.focusOnReset) field(Field::Name)->setFocus();
}

void DirectoryPage::requestStop() {
    window()->setWindowTitle(maker::kStoppingCaption);
    if (m_app) m_app->stopRequested = true;
}

// ---- the shown page ----------------------------------------------------------------------

void DirectoryPage::toggleMark() {
    // Posting the row rewrites the status text.
    m_search->toggleMark();
}

void DirectoryPage::switchColumnSet() {
    m_compactColumns = !m_compactColumns;
    if (m_compactColumns) {
        for (int i = 0; i < m_page.columns.size(); ++i)
            m_grid->setColumnShown(i, m_page.compactColumns.contains(m_page.columns[i].field));
        return;
    }
    for (int i = 0; i < m_page.columns.size(); ++i)
        m_grid->setColumnShown(i, true);
    m_grid->setColumnWidths(m_page.fullSetWidths);
}

void DirectoryPage::sortColumn(int column, DataGrid::SortState state) {
    if (column < 0 || column >= m_page.columns.size()) return;
    const QString fieldName = m_page.columns[column].field;
    if (fieldName.compare(s("Zn"), Qt::CaseInsensitive) == 0) {
        // The mark column cannot be sorted.
        m_grid->setSortState(column, DataGrid::SortState::None);
        return;
    }
    if (state == DataGrid::SortState::None) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        m_search->sortPage(fieldName, state == DataGrid::SortState::Ascending
                                          ? DirectorySearch::SortOrder::Ascending
                                          : DirectorySearch::SortOrder::Descending);
    } catch (...) {
        QApplication::restoreOverrideCursor();
        throw;
    }
    QApplication::restoreOverrideCursor();
}

// ---- record label and clipboard ------------------------------------------------------------

void DirectoryPage::refreshLabel() {
    m_label.clear();
    m_current.reset();
    m_extras.clear();
    if (const auto record = m_search->currentRecord()) {
        m_current = record;
        if (record_label::hasExtraNumbers(*record)) m_extras = m_search->extraNumbers(record->euroIsdn);
        m_label = record_label::labelLines(*record, m_extras);
    }
    m_record->setVerticalScrollBarPolicy(record_label::needsScrollBar(m_label) ? Qt::ScrollBarAlwaysOn
                                                                               : Qt::ScrollBarAlwaysOff);
    m_record->setPlainText(m_label.join(u'\n'));
    m_record->verticalScrollBar()->setValue(0);
}

void DirectoryPage::copyAll() {
    if (m_label.isEmpty()) return;
    QGuiApplication::clipboard()->setText(record_label::copyAllText(m_label));
}

void DirectoryPage::copyNumber() {
    if (m_label.isEmpty() || !m_current || !m_picker) return;
    const QStringList items = record_label::numberPickerItems(*m_current, m_extras);
    const QPoint at = NumberPicker::placeFor(window(), kPickerImageLeft);
    if (const auto ticked = m_picker->choose(items, at); ticked && !ticked->isEmpty())
        QGuiApplication::clipboard()->setText(record_label::numbersClipboardText(*ticked));
}

void DirectoryPage::copyAddress() {
    if (m_label.isEmpty() || !m_current) return;
    QGuiApplication::clipboard()->setText(
        record_label::addressClipboardText(record_label::addressLines(*m_current)));
}
