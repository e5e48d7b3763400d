// What the Vlastní page does: search, list by letter or all records, page,
// reset, stop, mark and sort, and the record label with its three copy
// images. The databases are reached through PersonalSearch; this file moves
// the widgets.

#include "PersonalPage.h"

#include "AlphabetBar.h"
#include "Application.h"
#include "DataGrid.h"
#include "Dialogs.h"
#include "Error.h"
#include "Maker.h"
#include "NumberPicker.h"
#include "OwnDatabases.h"
#include "PageWidgets.h"
#include "PersonalRecords.h"
#include "PersonalStatus.h"
#include "SearchCriteria.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QShortcut>

namespace {

QString s(const char* text) {
    return QString::fromUtf8(text);
}

const QString kSelectToEdit = s("Nejprve vyberte záznam, který chcete upravit.      ");
const QString kSelectToDelete = s("Nejprve vyberte záznam, který chcete smazat.      ");
const QString kDeleteQuestion = s("Opravdu si přejete smazat vybraný záznam?      ");
const QString kMarkToDelete = s("Nejprve označte záznamy, které chcete smazat.      ");
const QString kDeleteMarkedQuestion = s("Opravdu si přejete smazat označené záznamy?      ");
const QString kPageName = s("vlastni");

constexpr Limits::List kList = Limits::List::Personal;

} // namespace

// ---- connection to the program ------------------------------------------------------

void PersonalPage::attach(Application& app, PersonalSearch::Services services, NumberPicker* picker) {
    m_app = &app;
    m_picker = picker;
    if (!services.stopRequested) services.stopRequested = &app.stopRequested;
    if (!services.processEvents) services.processEvents = [] { QCoreApplication::processEvents(); };
    if (!services.statusChanged) services.statusChanged = [this] { updateStatus(); };
    m_search = std::make_unique<PersonalSearch>(std::move(services));
    connectActions();
}

void PersonalPage::setWorkingDatabase(db::WorkingDatabase* results) {
    m_search->setWorkingDatabase(results);
    m_grid->setDataset(results ? &results->dataset() : nullptr);
}

void PersonalPage::connectActions() {
    auto onClick = [this](Button which, void (PersonalPage::*action)()) {
        connect(button(which), &QPushButton::clicked, this,
                [this, action] { guarded([&] { (this->*action)(); }); });
    };
    onClick(Button::Search, &PersonalPage::startSearch);
    onClick(Button::Next, &PersonalPage::nextPage);
    onClick(Button::Previous, &PersonalPage::previousPage);
    onClick(Button::Reset, &PersonalPage::resetPage);
    connect(button(Button::Stop), &QPushButton::clicked, this, &PersonalPage::requestStop);

    // Enter in any search box sets off the search button, which does nothing while disabled.
    for (QLineEdit* box : m_fields)
        connect(box, &QLineEdit::returnPressed, button(Button::Search), &QPushButton::click);
    keepDigitsOnly(field(Field::Phone));
    // Switching a wildcard off takes one trailing "*" from its own box.
    for (int i = 0; i < personal_criteria::kFieldCount; ++i)
        if (m_switches[i]) dropWildcardWhenSwitchedOff(m_switches[i], m_fields[i]);

    connect(m_alphabet, &AlphabetBar::letterClicked, this,
            [this](QChar letter) { guarded([&] { listLetter(letter); }); });
    connect(image(Image::AllRecords), &ClickableLabel::clicked, this,
            [this] { guarded([this] { listAll(); }); });
    connect(image(Image::CopyAll), &ClickableLabel::clicked, this,
            [this] { guarded([this] { copyAll(); }); });
    connect(image(Image::CopyNumber), &ClickableLabel::clicked, this,
            [this] { guarded([this] { copyNumber(); }); });
    connect(image(Image::CopyAddress), &ClickableLabel::clicked, this,
            [this] { guarded([this] { copyAddress(); }); });

    connect(image(Image::Edit), &ClickableLabel::clicked, this,
            [this] { guarded([this] { editRecord(); }); });
    connect(image(Image::New), &ClickableLabel::clicked, this, [this] { guarded([this] { addRecord(); }); });
    connect(image(Image::Delete), &ClickableLabel::clicked, this,
            [this] { guarded([this] { deleteRecord(); }); });
    connect(image(Image::DeleteMarked), &ClickableLabel::clicked, this,
            [this] { guarded([this] { deleteMarked(); }); });

    connect(m_grid, &DataGrid::markColumnClicked, this, [this] { guarded([this] { toggleMark(); }); });
    connect(m_grid, &DataGrid::currentRowChanged, this, [this] {
        if (button(Button::Search)->isEnabled()) guarded([this] { refreshLabel(); });
    });
    connect(m_grid, &DataGrid::sortStateChanged, this,
            [this](int column, DataGrid::SortState state) { guarded([&] { sortColumn(column, state); }); });
    connect(m_grid, &DataGrid::rowDoubleClicked, this, [this] {
        guarded([this] {
            if (m_search->currentRow()) emit editRequested();
        });
    });
    connect(m_grid, &DataGrid::datasetError, this,
            [this](const QString& message) { m_app->dialogs().warn(window(), message); });

    // Delete takes the marked rows when there are any, else the selected one;
    // Insert adds a record.
    auto* remove = new QShortcut(QKeySequence(Qt::Key_Delete), m_grid, nullptr, nullptr, Qt::WidgetShortcut);
    connect(remove, &QShortcut::activated, this, [this] {
        guarded([this] {
            if (!m_search->currentRow()) return;
            if (m_search->state().markedCount > 0)
                deleteMarked();
            else
                deleteRecord();
        });
    });
    auto* insert = new QShortcut(QKeySequence(Qt::Key_Insert), m_grid, nullptr, nullptr, Qt::WidgetShortcut);
    connect(insert, &QShortcut::activated, this, [this] { guarded([this] { addRecord(); }); });

    buildContextMenu();
}

// The grid's menu: with a selected row every item, "smazat označené" only
// while rows are marked; without a row only "přidat záznam". It opens also
// over an empty grid.
void PersonalPage::buildContextMenu() {
    m_menu = new QMenu(this);
    m_menu->setObjectName(s("PopupMenu4"));
    auto item = [this](const char* name, const char* caption, void (PersonalPage::*action)()) {
        QAction* a =
            m_menu->addAction(s(caption), this, [this, action] { guarded([&] { (this->*action)(); }); });
        a->setObjectName(s(name));
        return a;
    };
    QAction* edit = item("upravit_v", "upravit záznam", &PersonalPage::editRecord);
    item("pridat_v", "přidat záznam", &PersonalPage::addRecord);
    QAction* removeOne = item("smazat_v", "smazat záznam", &PersonalPage::deleteRecord);
    QAction* removeMarked = item("smazat_vse_v", "smazat označené", &PersonalPage::deleteMarked);
    connect(m_menu, &QMenu::aboutToShow, this, [=, this] {
        const bool selected = m_search && m_search->currentRow().has_value();
        edit->setVisible(selected);
        removeOne->setVisible(selected);
        removeMarked->setVisible(selected && m_search->state().markedCount > 0);
    });
    connect(m_grid, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        guarded([&] { m_menu->popup(m_grid->viewport()->mapToGlobal(at)); });
    });
}

// Runs an action of the user. While a listing or a page fill runs only STOP
// responds: an action that arrives meanwhile (the fill lets the window process
// its events) is ignored. An error of the database ends the action, is shown,
// and leaves the page idle so that the user can list again.
void PersonalPage::guarded(const std::function<void()>& action) {
    if (m_busy || !m_search) return;
    try {
        action();
    } catch (const db::Error& e) {
        becomeIdle();
        m_app->dialogs().warn(window(), e.message());
    }
}

// ---- busy and idle ------------------------------------------------------------------------

// The page size; an empty displayed-records limit becomes "10" first.
int PersonalPage::pageSize() {
    Limits& limits = m_app->limits();
    if (limits.text(kList, Limits::Kind::Displayed).isEmpty())
        limits.setText(kList, Limits::Kind::Displayed, s("10"));
    return limits.pageSize(kList);
}

int PersonalPage::searchLimit() const {
    return m_app->limits().searchLimit(kList);
}

// From here until the page is idle again only STOP responds: the page's
// buttons, the grid's titles and its editing are off, and guarded() ignores
// other actions.
void PersonalPage::lockControls() {
    m_busy = true;
    for (Button b :
         {Button::Search, Button::Reset, Button::Export, Button::Print, Button::Previous, Button::Next})
        button(b)->setEnabled(false);
    m_grid->horizontalHeader()->setSectionsClickable(false);
    m_grid->setEditingEnabled(false);
}

void PersonalPage::becomeBusy() {
    window()->setWindowTitle(maker::kBusyCaption);
    if (!m_busyCursor) QApplication::setOverrideCursor(Qt::WaitCursor);
    m_busyCursor = true;
}

// The buttons "<<<" and ">>>" and the focus are left to the caller.
void PersonalPage::becomeIdle() {
    m_busy = false;
    m_grid->horizontalHeader()->setSectionsClickable(true);
    m_grid->setEditingEnabled(true);
    m_grid->setDataLinkEnabled(true);
    if (m_busyCursor) QApplication::restoreOverrideCursor();
    m_busyCursor = false;
    window()->setWindowTitle(maker::kMainCaption);
    button(Button::Stop)->setEnabled(false);
    for (Button b : {Button::Search, Button::Reset, Button::Print, Button::Export})
        button(b)->setEnabled(true);
}

void PersonalPage::showPaging(const PersonalSearch::Paging& paging) {
    button(Button::Previous)->setEnabled(paging.previousEnabled);
    button(Button::Next)->setEnabled(paging.nextEnabled);
}

// The counts after a copied row or a page move, and the number of records.
void PersonalPage::updateStatus() {
    const PersonalSearch::PageState& st = m_search->state();
    m_status->part(0)->setText(personal_status::counts(st.foundCount, st.markedCount));
    if (const auto total = m_search->totalRecords())
        m_status->part(2)->setText(personal_status::total(*total));
}

// ---- listings ---------------------------------------------------------------------------

personal_criteria::Fields PersonalPage::readFields() const {
    personal_criteria::Fields f;
    for (int i = 0; i < personal_criteria::kFieldCount; ++i) {
        f.text[i] = m_fields[i]->text();
        f.wildcard[i] = m_switches[i] && m_switches[i]->isOn();
    }
    return f;
}

void PersonalPage::writeFields(const personal_criteria::Fields& f) {
    for (int i = 0; i < personal_criteria::kFieldCount; ++i)
        if (m_fields[i]->text() != f.text[i]) m_fields[i]->setText(f.text[i]);
}

template <typename List> auto PersonalPage::runListing(List list) {
    bool filling = false;
    const PersonalSearch::Steps steps{[this] { beginListing(); },
                                      [this, &filling] {
                                          beginFill();
                                          filling = true;
                                      }};
    try {
        return list(steps);
    } catch (const db::Error&) {
        if (filling) {
            // The fill's rows are gone and the counts back where the move began:
            // the status says so, and the buttons lead from the page as it stands.
            updateStatus();
            showPaging(m_search->paging());
        }
        throw;
    }
}

void PersonalPage::startSearch() {
    if (!m_search || !m_search->isReady() || !button(Button::Search)->isEnabled()) return;
    personal_criteria::Fields f = readFields();
    // The page size is asked for (and an empty limit set to "10") only once the listing starts.
    const PersonalSearch::Search s = runListing([&](const PersonalSearch::Steps& steps) {
        const PersonalSearch::Steps writeBack{[&] {
                                                  writeFields(f);
                                                  steps.starting();
                                              },
                                              steps.filling};
        return m_search->search(f, m_app->limits().pageSize(kList), searchLimit(), writeBack);
    });
    switch (s.result) {
    case PersonalSearch::SearchResult::EmptyRequest:
        writeFields(f);
        m_app->dialogs().warn(window(), search_criteria::kEmptyRequestMessage);
        break;
    case PersonalSearch::SearchResult::NotFound:
        m_app->dialogs().warn(window(), s.failed->message);
        becomeIdle();
        field(Field(int(s.failed->field)))->setFocus();
        break;
    case PersonalSearch::SearchResult::Listed:
        showFilled(s.paging);
        break;
    }
}

void PersonalPage::listLetter(QChar letter) {
    if (!m_search || !m_search->isReady()) return;
    const auto paging = runListing(
        [&](const PersonalSearch::Steps& steps) { return m_search->listLetter(letter, pageSize(), steps); });
    if (paging) showFilled(*paging);
}

void PersonalPage::listAll() {
    if (!m_search || !m_search->isReady()) return;
    showFilled(
        runListing([&](const PersonalSearch::Steps& steps) { return m_search->listAll(pageSize(), steps); }));
}

// The steps every listing starts with: the page is busy from here, its label
// and counts are empty.
void PersonalPage::beginListing() {
    lockControls();
    m_grid->setDataLinkEnabled(false);
    button(Button::Stop)->setEnabled(false);
    m_record->clear();
    m_label.clear();
    m_current.reset();
    m_status->part(0)->clear();
    QCoreApplication::processEvents();
    m_grid->clearSortStates();
    pageSize();
    button(Button::Previous)->setToolTip(m_app->limits().previousHint(kList));
    button(Button::Next)->setToolTip(m_app->limits().nextHint(kList));
    becomeBusy();
    m_app->currentPageName = kPageName;
}

// ---- paging ---------------------------------------------------------------------------

void PersonalPage::nextPage() {
    if (!m_search || !m_search->isReady()) return;
    showFilled(runListing([&](const PersonalSearch::Steps& steps) {
        steps.filling();
        return m_search->nextPage(pageSize());
    }));
}

// Before a fill: only STOP responds, the grid waits for the whole page.
void PersonalPage::beginFill() {
    lockControls();
    m_grid->setDataLinkEnabled(false);
    becomeBusy();
    button(Button::Stop)->setEnabled(true);
    m_grid->clearSortStates();
}

// After a forward move: without rows the focus goes to the first filled
// search box, without a message.
void PersonalPage::showFilled(const PersonalSearch::Paging& paging) {
    showPaging(paging);
    becomeIdle();
    if (paging.found) {
        refreshLabel();
        if (isVisible()) m_grid->setFocus();
    } else {
        field(Field(int(personal_criteria::firstFilled(readFields()))))->setFocus();
    }
}

// Shows rows copied before; the personal cursor stays where it is.
void PersonalPage::previousPage() {
    if (!m_search || !m_search->isReady() || m_search->state().first <= 1) return;
    // The grid waits for the whole page instead of following each step.
    m_grid->setDataLinkEnabled(false);
    button(Button::Stop)->setEnabled(true);
    m_grid->clearSortStates();
    const PersonalSearch::Paging paging = m_search->previousPage(pageSize());
    m_grid->setDataLinkEnabled(true);
    showPaging(paging);
    m_grid->setFocus();
    button(Button::Stop)->setEnabled(false);
    refreshLabel();
}

void PersonalPage::resetPage() {
    if (!m_search) return;
    button(Button::Previous)->setEnabled(false);
    button(Button::Next)->setEnabled(false);
    button(Button::Search)->setEnabled(true);
    button(Button::Stop)->setEnabled(false);
    m_search->reset(pageSize());
    for (QLineEdit* box : m_fields)
        box->clear();
    m_status->part(0)->clear();
    m_record->clear();
    m_label.clear();
    m_current.reset();
    m_grid->clearSortStates();
}

void PersonalPage::requestStop() {
    window()->setWindowTitle(maker::kStoppingCaption);
    if (m_app) m_app->stopRequested = true;
}

// ---- the shown page ----------------------------------------------------------------------

void PersonalPage::toggleMark() {
    if (!m_search->currentRow()) return;
    // A mark that cannot be stored leaves the count as it was; the text is rewritten all the same.
    const auto rewrite = qScopeGuard([this] {
        const PersonalSearch::PageState& st = m_search->state();
        m_status->part(0)->setText(personal_status::countsAfterMarking(st.foundCount, st.markedCount));
    });
    m_search->toggleMark();
}

void PersonalPage::sortColumn(int column, DataGrid::SortState state) {
    if (column < 0 || column >= m_grid->columns().size() || !m_search->currentRow()) return;
    const QString fieldName = m_grid->columns()[column].field;
    if (fieldName.compare(s("Zn"), Qt::CaseInsensitive) == 0) {
        // The mark column cannot be sorted.
        m_grid->setSortState(column, DataGrid::SortState::None);
        return;
    }
    if (state == DataGrid::SortState::None) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    m_search->sortPage(fieldName, state == DataGrid::SortState::Ascending
                                      ? PersonalSearch::SortOrder::Ascending
                                      : PersonalSearch::SortOrder::Descending);
}

// ---- record label and clipboard ------------------------------------------------------------

void PersonalPage::refreshLabel() {
    m_label.clear();
    m_current.reset();
    if (m_search && m_search->currentRow()) {
        m_current = personal_label::recordFromRow(m_search->pageQuery());
        m_label = personal_label::labelLines(*m_current);
    }
    m_record->setVerticalScrollBarPolicy(personal_label::needsScrollBar(m_label) ? Qt::ScrollBarAlwaysOn
                                                                                 : Qt::ScrollBarAlwaysOff);
    m_record->setPlainText(m_label.join(u'\n'));
    m_record->verticalScrollBar()->setValue(0);
}

void PersonalPage::copyAll() {
    if (m_label.isEmpty()) return;
    QGuiApplication::clipboard()->setText(personal_label::copyAllText(m_label));
}

void PersonalPage::copyNumber() {
    if (m_label.isEmpty() || !m_current || !m_picker) return;
    const QStringList items = personal_label::numbers(*m_current);
    const QPoint at = NumberPicker::placeFor(window(), image(Image::CopyNumber)->mapTo(this, QPoint()).x());
    if (const auto ticked = m_picker->choose(items, at); ticked && !ticked->isEmpty())
        QGuiApplication::clipboard()->setText(personal_label::numbersClipboardText(*ticked));
}

void PersonalPage::copyAddress() {
    if (m_label.isEmpty() || !m_current) return;
    const QString text = personal_label::addressClipboardText(personal_label::addressLines(*m_current));
    if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text);
}

// ---- the records --------------------------------------------------------------------------

void PersonalPage::editRecord() {
    if (!m_search->currentRow()) {
        m_app->dialogs().inform(window(), kSelectToEdit);
        return;
    }
    emit editRequested();
}

void PersonalPage::addRecord() {
    if (m_search->isReady()) emit addRequested();
}

// Deletes the record of the current row from the personal table and its row
// from the page; the counts stay as they are.
void PersonalPage::deleteRecord() {
    if (!m_search->currentRow()) {
        m_app->dialogs().inform(window(), kSelectToDelete);
        return;
    }
    if (!m_app->dialogs().ask(window(), kDeleteQuestion)) return;
    const auto show = qScopeGuard([this] {
        updateStatus();
        refreshLabel();
    });
    PersonalRecords(*m_search).removeCurrent();
}

// Deletes the marked rows and their records; the page shows its range again.
void PersonalPage::deleteMarked() {
    if (m_search->state().markedCount <= 0) {
        m_app->dialogs().inform(window(), kMarkToDelete);
        return;
    }
    if (!m_app->dialogs().ask(window(), kDeleteMarkedQuestion)) return;
    const auto show = qScopeGuard([this] {
        updateStatus();
        refreshLabel();
    });
    PersonalRecords(*m_search).removeMarked();
}

void PersonalPage::editorChanged(bool boxesEmptied) {
    if (!m_search) return;
    if (boxesEmptied)
        for (QLineEdit* box : m_fields)
            box->clear();
    // The titles show a sort only while the shown page is sorted: a fresh
    // working table or a page moved by the editor is in the order of its rows.
    if (!m_search->state().order) m_grid->clearSortStates();
    showPaging(m_search->paging());
    updateStatus();
    refreshLabel();
}
