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
#include "EventPump.h"
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

using namespace Qt::StringLiterals;

namespace {

const QString kSelectToEdit = u"Nejprve vyberte záznam, který chcete upravit.      "_s;
const QString kSelectToDelete = u"Nejprve vyberte záznam, který chcete smazat.      "_s;
const QString kDeleteQuestion = u"Opravdu si přejete smazat vybraný záznam?      "_s;
const QString kMarkToDelete = u"Nejprve označte záznamy, které chcete smazat.      "_s;
const QString kDeleteMarkedQuestion = u"Opravdu si přejete smazat označené záznamy?      "_s;

constexpr Limits::List kList = Limits::List::Personal;

} // namespace

// ---- connection to the program ------------------------------------------------------

void PersonalPage::attach(Application& app, PersonalSearch::Services services, NumberPicker* picker) {
    if (!services.stopRequested) services.stopRequested = &app.stopRequested;
    if (!services.processEvents) services.processEvents = platform::eventPump();
    if (!services.statusChanged) services.statusChanged = [this] { updateStatus(); };
    m_search = std::make_unique<PersonalSearch>(std::move(services));
    attachHost(
        {&app.dialogs(), &app.limits(), &app.stopRequested, &app.currentPageName, picker, &app.shell()},
        &m_search->page());
    connectActions();
}

void PersonalPage::setWorkingDatabase(db::WorkingDatabase* results) {
    m_search->setWorkingDatabase(results);
    grid()->setDataset(results ? &results->dataset() : nullptr);
}

// The page's own controls; the shared ones are connected by ResultPage.
void PersonalPage::connectActions() {
    keepDigitsOnly(field(Field::Phone));
    // Switching a wildcard off takes one trailing "*" from its own box.
    for (int i = 0; i < personal_criteria::kFieldCount; ++i)
        if (m_switches[i]) dropWildcardWhenSwitchedOff(m_switches[i], m_fields[i]);

    connect(m_alphabet, &AlphabetBar::letterClicked, this,
            [this](QChar letter) { guarded([&] { listLetter(letter); }); });
    auto onImage = [this](Image which, void (PersonalPage::*action)()) {
        connect(image(which), &ClickableLabel::clicked, this,
                [this, action] { guarded([&] { (this->*action)(); }); });
    };
    onImage(Image::AllRecords, &PersonalPage::listAll);
    onImage(Image::Edit, &PersonalPage::editRecord);
    onImage(Image::New, &PersonalPage::addRecord);
    onImage(Image::Delete, &PersonalPage::deleteRecord);
    onImage(Image::DeleteMarked, &PersonalPage::deleteMarked);

    connect(grid(), &DataGrid::rowDoubleClicked, this, [this] {
        guarded([this] {
            if (m_search->currentRow()) emit editRequested();
        });
    });

    // Delete takes the marked rows when there are any, else the selected one;
    // Insert adds a record.
    auto* remove = new QShortcut(QKeySequence(Qt::Key_Delete), grid(), nullptr, nullptr, Qt::WidgetShortcut);
    connect(remove, &QShortcut::activated, this, [this] {
        guarded([this] {
            if (!m_search->currentRow()) return;
            if (m_search->state().markedCount > 0)
                deleteMarked();
            else
                deleteRecord();
        });
    });
    auto* insert = new QShortcut(QKeySequence(Qt::Key_Insert), grid(), nullptr, nullptr, Qt::WidgetShortcut);
    connect(insert, &QShortcut::activated, this, [this] { guarded([this] { addRecord(); }); });

    buildContextMenu();
}

// The grid's menu: with a selected row every item, "smazat označené" only
// while rows are marked; without a row only "přidat záznam". It opens also
// over an empty grid.
void PersonalPage::buildContextMenu() {
    QMenu* menu = makeContextMenu(u"PopupMenu4"_s);
    auto item = [this, menu](const char* name, const char* caption, void (PersonalPage::*action)()) {
        QAction* a = menu->addAction(QString::fromUtf8(caption), this,
                                     [this, action] { guarded([&] { (this->*action)(); }); });
        a->setObjectName(QString::fromUtf8(name));
        return a;
    };
    QAction* edit = item("upravit_v", "upravit záznam", &PersonalPage::editRecord);
    item("pridat_v", "přidat záznam", &PersonalPage::addRecord);
    QAction* removeOne = item("smazat_v", "smazat záznam", &PersonalPage::deleteRecord);
    QAction* removeMarked = item("smazat_vse_v", "smazat označené", &PersonalPage::deleteMarked);
    connect(menu, &QMenu::aboutToShow, this, [=, this] {
        const bool selected = m_search && m_search->currentRow().has_value();
        edit->setVisible(selected);
        removeOne->setVisible(selected);
        removeMarked->setVisible(selected && m_search->state().markedCount > 0);
    });
    addLinkActions(u"volat_v"_s, u"mapa_v"_s);
}

void PersonalPage::showPaging(const PersonalSearch::Paging& paging) {
    ResultPage::showPaging(paging.previousEnabled, paging.nextEnabled);
}

// The counts after a copied row or a page move, and the number of records.
void PersonalPage::updateStatus() {
    const PersonalSearch::PageState& st = m_search->state();
    statusLine()->part(0)->setText(personal_status::counts(st.foundCount, st.markedCount));
    if (const auto total = m_search->totalRecords())
        statusLine()->part(2)->setText(personal_status::total(*total));
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
        return m_search->search(f, limits().pageSize(kList), searchLimit(), writeBack);
    });
    switch (s.result) {
    case PersonalSearch::SearchResult::EmptyRequest:
        writeFields(f);
        dialogs().warn(window(), search_criteria::kEmptyRequestMessage);
        break;
    case PersonalSearch::SearchResult::NotFound:
        dialogs().warn(window(), s.failed->message);
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
    const auto paging = runListing([&](const PersonalSearch::Steps& steps) {
        return m_search->listLetter(letter, limits().pageSize(kList), steps);
    });
    if (paging) showFilled(*paging);
}

void PersonalPage::listAll() {
    if (!m_search || !m_search->isReady()) return;
    showFilled(runListing([&](const PersonalSearch::Steps& steps) {
        return m_search->listAll(limits().pageSize(kList), steps);
    }));
}

// The steps every listing starts with: the page is busy from here, its label
// and counts are empty.
void PersonalPage::beginListing() {
    lockControls();
    grid()->setDataLinkEnabled(false);
    button(Button::Stop)->setEnabled(false);
    m_current.reset();
    showLabel({}, false);
    statusLine()->part(0)->clear();
    QCoreApplication::processEvents();
    grid()->clearSortStates();
    pageSize();
    button(Button::Previous)->setToolTip(limits().previousHint(kList));
    button(Button::Next)->setToolTip(limits().nextHint(kList));
    becomeBusy(maker::kBusyCaption);
    becomeCurrentPage();
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
    grid()->setDataLinkEnabled(false);
    becomeBusy(maker::kBusyCaption);
    button(Button::Stop)->setEnabled(true);
    grid()->clearSortStates();
}

// After a forward move: without rows the focus goes to the first filled
// search box, without a message.
void PersonalPage::showFilled(const PersonalSearch::Paging& paging) {
    showPaging(paging);
    becomeIdle();
    if (paging.found) {
        refreshLabel();
        if (isVisible()) grid()->setFocus();
    } else {
        field(Field(int(personal_criteria::firstFilled(readFields()))))->setFocus();
    }
}

void PersonalPage::resetPage() {
    if (!m_search) return;
    m_search->reset(pageSize());
    m_current.reset();
    clearPage();
}

// ---- the shown page ----------------------------------------------------------------------

// A mark that cannot be stored leaves the count as it was; the text is rewritten all the same.
void PersonalPage::markToggled() {
    const PersonalSearch::PageState& st = m_search->state();
    statusLine()->part(0)->setText(personal_status::countsAfterMarking(st.foundCount, st.markedCount));
}

// The titles sort only a page with a selected row.
bool PersonalPage::sortable() const {
    return m_search->currentRow().has_value();
}

// ---- record label and clipboard ------------------------------------------------------------

void PersonalPage::refreshLabel() {
    QStringList lines;
    m_current.reset();
    if (m_search && m_search->currentRow()) {
        m_current = personal_label::recordFromRow(m_search->pageQuery());
        lines = personal_label::labelLines(*m_current);
    }
    showLabel(lines, personal_label::needsScrollBar(lines));
}

void PersonalPage::copyNumber() {
    if (labelLines().isEmpty() || !m_current) return;
    const int imageLeft = image(Image::CopyNumber)->mapTo(this, QPoint()).x();
    if (const auto ticked = chooseNumbers(personal_label::numbers(*m_current), imageLeft))
        toClipboard(personal_label::numbersClipboardText(*ticked));
}

desktop_links::Links PersonalPage::currentLinks() const {
    if (labelLines().isEmpty() || !m_current) return {};
    return personal_label::links(*m_current);
}

void PersonalPage::copyAddress() {
    if (labelLines().isEmpty() || !m_current) return;
    const QString text = personal_label::addressClipboardText(personal_label::addressLines(*m_current));
    if (!text.isEmpty()) toClipboard(text);
}

// ---- the records --------------------------------------------------------------------------

void PersonalPage::editRecord() {
    if (!m_search->currentRow()) {
        dialogs().inform(window(), kSelectToEdit);
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
        dialogs().inform(window(), kSelectToDelete);
        return;
    }
    if (!dialogs().ask(window(), kDeleteQuestion)) return;
    const auto show = qScopeGuard([this] {
        updateStatus();
        refreshLabel();
    });
    PersonalRecords(*m_search).removeCurrent();
}

// Deletes the marked rows and their records; the page shows its range again.
void PersonalPage::deleteMarked() {
    if (m_search->state().markedCount <= 0) {
        dialogs().inform(window(), kMarkToDelete);
        return;
    }
    if (!dialogs().ask(window(), kDeleteMarkedQuestion)) return;
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
    if (!m_search->state().order) grid()->clearSortStates();
    showPaging(m_search->paging());
    updateStatus();
    refreshLabel();
}
