// What the persons and firms pages do: search, page, count, reset, stop, mark
// and sort, and the record label with its three copy images. The databases
// are reached through DirectorySearch; this file moves the widgets.

#include "DirectoryPage.h"

#include "Application.h"
#include "DataGrid.h"
#include "Dialogs.h"
#include "Error.h"
#include "EventPump.h"
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

using namespace Qt::StringLiterals;

namespace {

const QString kTelephoneQuestion =
    u"Vyhledávání podle telefonního čísla může trvat delší dobu. Přejete si pokračovat?"_s;
const QString kCountRefused = u"Tuto funkci nelze použít při vyplněném poli telefonního čísla.   "_s;
const QString kCountResult = u"Počet záznamů, které odpovídají zadaným podmínkám: "_s;

// Where the copy-number image stands on the page; the picker opens beside it.
constexpr int kPickerImageLeft = 672;

} // namespace

// ---- connection to the program ------------------------------------------------------

void DirectoryPage::attach(Application& app, DirectorySearch::Services services, NumberPicker* picker) {
    if (!services.stopRequested) services.stopRequested = &app.stopRequested;
    if (!services.processEvents) services.processEvents = platform::eventPump();
    m_search = std::make_unique<DirectorySearch>(m_page.forFirms ? DirectorySearch::Directory::Firms
                                                                 : DirectorySearch::Directory::Persons,
                                                 std::move(services));
    m_search->onEndStateChanged = [this](DirectorySearch::EndState state) { showEndState(state); };
    attachHost(
        {&app.dialogs(), &app.limits(), &app.stopRequested, &app.currentPageName, picker, &app.shell()},
        &m_search->page());
    connectActions();
}

void DirectoryPage::setWorkingDatabases(db::WorkingDatabase* results, db::WorkingDatabase* phoneBuffer) {
    m_search->setWorkingDatabases(results, phoneBuffer);
    if (!results) return;
    // Every row posted to the page query (copied or marked) rewrites the status text.
    db::Dataset& page = results->dataset();
    connect(&page, &db::Dataset::rowAppended, this, [this] { updateStatus(); });
    connect(&page, &db::Dataset::rowChanged, this, [this] { updateStatus(); });
    grid()->setDataset(&page);
}

// The page's own controls; the shared ones are connected by ResultPage.
void DirectoryPage::connectActions() {
    keepDigitsOnly(field(Field::Phone));
    // Switching a wildcard off takes one trailing "*" from its own box.
    for (Field f : {Field::Name, Field::Street, Field::Town})
        dropWildcardWhenSwitchedOff(wildcardSwitch(f), field(f));

    connect(image(Image::Transfer), &ClickableLabel::clicked, this,
            [this] { guarded([this] { emit transferRequested(); }); });
    connect(grid(), &DataGrid::rowDoubleClicked, this,
            [this] { guarded([this] { emit transferRequested(); }); });
    connect(grid(), &DataGrid::pointerEntered, this, [this] { emit pointerOverGrid(true); });
    connect(grid(), &DataGrid::pointerLeft, this, [this] { emit pointerOverGrid(false); });

    QMenu* menu = makeContextMenu(m_page.popupMenu);
    QAction* one =
        menu->addAction(u"přenést záznam do vlastní databáze"_s, this, &DirectoryPage::transferRequested);
    one->setObjectName(m_page.transferItem);
    QAction* marked = menu->addAction(u"přenést označané záznamy do vlastní databáze"_s, this,
                                      &DirectoryPage::transferMarkedRequested);
    marked->setObjectName(m_page.transferMarkedItem);
    connect(menu, &QMenu::aboutToShow, this, [this, marked] { marked->setVisible(markedCount() != 0); });
    addLinkActions(m_page.callItem, m_page.mapItem);
}

// ---- the end indicator and the status -------------------------------------------------------

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
    m_endIndicator->setToolTip(QString::fromUtf8(look.hint));
}

void DirectoryPage::updateStatus() {
    const DirectorySearch::PageState& st = m_search->state();
    statusLine()->part(0)->setText(countsText(st.foundCount, st.markedCount));
}

QString DirectoryPage::countsText(int found, int marked) {
    return u" Počet záznamů: %1 nalezených,  %2 označených"_s.arg(QLocale().toString(found)).arg(marked);
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
    f.nameWildcard = wildcardSwitch(Field::Name)->isOn();
    f.streetWildcard = wildcardSwitch(Field::Street)->isOn();
    f.municipalityWildcard = wildcardSwitch(Field::Town)->isOn();
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
    if (byTelephone && dialogs().message(window(), platform::Dialogs::kWarning, kTelephoneQuestion,
                                         platform::Dialogs::Icon::Information,
                                         platform::Dialogs::Buttons::YesNo) != platform::Dialogs::Answer::Yes)
        return false;
    if (search_criteria::isEmptyRequest(f)) {
        dialogs().warn(window(), search_criteria::kEmptyRequestMessage);
        return false;
    }

    // The page is busy from here: only STOP responds.
    lockControls();
    button(Button::Stop)->setEnabled(false);
    showLabel({}, false);
    *host().stopRequested = false;
    statusLine()->part(0)->clear();
    QCoreApplication::processEvents();
    grid()->clearSortStates();
    m_search->begin(pageSize());
    becomeBusy(m_page.searchCaption);
    becomeCurrentPage();

    m_search->prepareTables(byTelephone);
    if (const auto failed = m_search->validate(f)) {
        dialogs().warn(window(), failed->message);
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
            dialogs().warn(window(), kCountRefused);
            return;
        }
        if (!runSearch(true)) return;
        const qint64 n = m_search->count(searchLimit());
        dialogs().inform(window(), kCountResult + text::thousandsGrouping(QString::number(n)) + u"    "_s);
        becomeIdle();
    });
}

// ---- paging ---------------------------------------------------------------------------

void DirectoryPage::nextPage() {
    lockControls();
    button(Button::Stop)->setEnabled(true);
    becomeBusy(m_page.pageMoveCaption);
    grid()->clearSortStates();
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
    showPaging(paging.previousEnabled, paging.nextEnabled);
    becomeIdle();
    if (m_search->state().foundCount > 0) refreshLabel();
}

// "<<<" reads nothing from the directory, so the caption stays as it is;
// the end indicator says nothing about the rows shown before.
void DirectoryPage::leavingPage() {
    m_search->setEndState(DirectorySearch::EndState::Neutral);
}

void DirectoryPage::resetPage() {
    m_search->reset(pageSize());
    m_region->setCurrentIndex(0);
    clearPage();
    if (m_page.focusOnReset) field(Field::Name)->setFocus();
}

// ---- the shown page ----------------------------------------------------------------------

void DirectoryPage::switchColumnSet() {
    m_compactColumns = !m_compactColumns;
    if (m_compactColumns) {
        for (int i = 0; i < m_page.columns.size(); ++i)
            grid()->setColumnShown(i, m_page.compactColumns.contains(m_page.columns[i].field));
        return;
    }
    for (int i = 0; i < m_page.columns.size(); ++i)
        grid()->setColumnShown(i, true);
    grid()->setColumnWidths(m_page.fullSetWidths);
}

// ---- record label and clipboard ------------------------------------------------------------

void DirectoryPage::refreshLabel() {
    QStringList lines;
    m_current.reset();
    m_extras.clear();
    if (const auto record = m_search->currentRecord()) {
        m_current = record;
        if (record_label::hasExtraNumbers(*record)) m_extras = m_search->extraNumbers(record->euroIsdn);
        lines = record_label::labelLines(*record, m_extras);
    }
    showLabel(lines, record_label::needsScrollBar(lines));
}

void DirectoryPage::copyNumber() {
    if (labelLines().isEmpty() || !m_current) return;
    if (const auto ticked =
            chooseNumbers(record_label::numberPickerItems(*m_current, m_extras), kPickerImageLeft))
        toClipboard(record_label::numbersClipboardText(*ticked));
}

desktop_links::Links DirectoryPage::currentLinks() const {
    if (labelLines().isEmpty() || !m_current) return {};
    return record_label::links(*m_current, m_extras);
}

void DirectoryPage::copyAddress() {
    if (labelLines().isEmpty() || !m_current) return;
    toClipboard(record_label::addressClipboardText(record_label::addressLines(*m_current)));
}
