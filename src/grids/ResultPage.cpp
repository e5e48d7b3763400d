#include "ResultPage.h"

#include "Dialogs.h"
#include "Error.h"
#include "Maker.h"
#include "NumberPicker.h"
#include "OwnDatabases.h"
#include "PageWidgets.h"
#include "Shell.h"
#include "TextHelpers.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QShortcut>

namespace {

// Shift+F10 opens the widget's menu as the Menu key does (Qt leaves it to the
// Menu key alone): at the current cell of a grid, else at the widget's top left.
void openMenuWithShiftF10(QAbstractScrollArea* widget) {
    auto* key =
        new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), widget, nullptr, nullptr, Qt::WidgetShortcut);
    QObject::connect(key, &QShortcut::activated, widget, [widget] {
        QPoint at = widget->viewport()->geometry().topLeft();
        if (auto* view = qobject_cast<QAbstractItemView*>(widget); view && view->currentIndex().isValid())
            at = view->viewport()->mapTo(widget, view->visualRect(view->currentIndex()).center());
        QContextMenuEvent event(QContextMenuEvent::Keyboard, at, widget->mapToGlobal(at));
        QCoreApplication::sendEvent(widget, &event);
    });
}

} // namespace

BusyCursor::BusyCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyCursor::~BusyCursor() {
    QApplication::restoreOverrideCursor();
}

ResultPage::ResultPage(Limits::List list, QWidget* parent) : QWidget(parent), m_list(list) {}

ResultPage::~ResultPage() = default;

void ResultPage::build() {
    buildControls();
    buildLayout();
    adjustNarrowBoxes();
}

void ResultPage::setControls(QPushButton* const* buttons, const std::array<ClickableLabel*, 3>& copyImages,
                             QPlainTextEdit* record, DataGrid* grid, StatusLine* status,
                             const QList<QLineEdit*>& boxes) {
    m_controls = {buttons[0],    buttons[1],    buttons[2],    buttons[3], buttons[4], buttons[5], buttons[6],
                  copyImages[0], copyImages[1], copyImages[2], record,     grid,       status,     boxes};
    // What a screen reader says for the controls whose captions are symbols
    // and for those without a caption.
    nameSymbolButton(m_controls.stop, QStringLiteral("Zastavit hledání"),
                     QStringLiteral("Přeruší probíhající hledání"));
    nameSymbolButton(m_controls.previous, QStringLiteral("Předchozí stránka"));
    nameSymbolButton(m_controls.next, QStringLiteral("Další stránka"));
    record->setAccessibleName(QStringLiteral("Informační štítek"));
    grid->setAccessibleName(QStringLiteral("Tabulka nalezených záznamů"));
}

// ---- connection to the program ------------------------------------------------------

void ResultPage::attachHost(const Host& host, paging::PageQuery* query) {
    m_host = host;
    m_query = query;
    connectShared();
}

void ResultPage::connectShared() {
    const Controls& c = m_controls;
    auto onClick = [this](QPushButton* button, void (ResultPage::*action)()) {
        connect(button, &QPushButton::clicked, this, [this, action] { guarded([&] { (this->*action)(); }); });
    };
    onClick(c.search, &ResultPage::startSearch);
    onClick(c.next, &ResultPage::nextPage);
    onClick(c.previous, &ResultPage::previousPage);
    onClick(c.reset, &ResultPage::resetPage);
    connect(c.stop, &QPushButton::clicked, this, &ResultPage::requestStop);
    // Enter in any search box sets off the search button, which does nothing while disabled.
    for (QLineEdit* box : c.boxes)
        connect(box, &QLineEdit::returnPressed, c.search, &QPushButton::click);

    auto onImage = [this](ClickableLabel* image, void (ResultPage::*action)()) {
        connect(image, &ClickableLabel::clicked, this,
                [this, action] { guarded([&] { (this->*action)(); }); });
    };
    onImage(c.copyAll, &ResultPage::copyAll);
    onImage(c.copyNumber, &ResultPage::copyNumber);
    onImage(c.copyAddress, &ResultPage::copyAddress);

    connect(c.grid, &DataGrid::markColumnClicked, this, [this] { guarded([this] { toggleMark(); }); });
    connect(c.grid, &DataGrid::currentRowChanged, this, [this] {
        if (m_controls.search->isEnabled()) guarded([this] { refreshLabel(); });
    });
    connect(c.grid, &DataGrid::sortStateChanged, this,
            [this](int column, DataGrid::SortState state) { guarded([&] { sortColumn(column, state); }); });
    // A value typed into the grid that the working table refuses.
    connect(c.grid, &DataGrid::datasetError, this,
            [this](const QString& message) { dialogs().warn(window(), message); });
}

QMenu* ResultPage::makeContextMenu(const QString& name) {
    m_menu = new QMenu(this);
    m_menu->setObjectName(name);
    // The Menu key asks for it as a right click does; Shift+F10 too.
    openMenuWithShiftF10(m_controls.grid);
    connect(m_controls.grid, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        guarded([&] {
            m_menuAt = m_controls.grid->viewport()->mapToGlobal(at);
            m_menu->popup(m_menuAt);
        });
    });
    return m_menu;
}

void ResultPage::addLinkActions(const QString& callName, const QString& mapName) {
    m_menu->addSeparator();
    m_call = m_menu->addAction(QStringLiteral("Volat…"), this, [this] { guarded([this] { callNumber(); }); });
    m_call->setObjectName(callName);
    m_map = m_menu->addAction(QStringLiteral("Zobrazit na mapě"), this,
                              [this] { guarded([this] { showOnMap(); }); });
    m_map->setObjectName(mapName);
    connect(m_menu, &QMenu::aboutToShow, this, &ResultPage::enableLinkActions);

    QPlainTextEdit* record = m_controls.record;
    record->setContextMenuPolicy(Qt::CustomContextMenu);
    openMenuWithShiftF10(record);
    connect(record, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { guarded([&] { showLabelMenu(at); }); });
}

void ResultPage::enableLinkActions() {
    const desktop_links::Links links = currentLinks();
    m_call->setEnabled(!links.telUris.isEmpty());
    m_map->setEnabled(!links.mapUri.isEmpty());
}

// The label's own menu (copy, select all) with the two actions under it.
void ResultPage::showLabelMenu(const QPoint& at) {
    QPlainTextEdit* record = m_controls.record;
    QMenu* menu = record->createStandardContextMenu(at);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setObjectName(record->objectName() + QStringLiteral("_menu"));
    menu->addSeparator();
    menu->addAction(m_call);
    menu->addAction(m_map);
    enableLinkActions();
    m_menuAt = record->viewport()->mapToGlobal(at);
    menu->popup(m_menuAt);
}

void ResultPage::callNumber() {
    const desktop_links::Links links = currentLinks();
    if (links.telUris.isEmpty() || !m_host.shell) return;
    qsizetype chosen = 0;
    if (links.telUris.size() > 1) {
        if (!m_host.picker) return;
        const QPoint at = m_menuAt.isNull() ? window()->geometry().topLeft() : m_menuAt;
        const auto picked = m_host.picker->chooseOne(links.numbers, at);
        if (!picked) return;
        chosen = *picked;
    }
    m_host.shell->open(links.telUris.at(chosen));
}

void ResultPage::showOnMap() {
    const desktop_links::Links links = currentLinks();
    if (!links.mapUri.isEmpty() && m_host.shell) m_host.shell->open(links.mapUri);
}

void ResultPage::guarded(const std::function<void()>& action) {
    if (m_busy || !isAttached()) return;
    try {
        action();
    } catch (const db::Error& e) {
        becomeIdle();
        dialogs().warn(window(), e.message());
    }
}

db::Database* ResultPage::resultsDatabase() const {
    return m_query && m_query->isReady() ? m_query->workingDatabase()->database() : nullptr;
}

int ResultPage::markedCount() const {
    return m_query ? m_query->state().markedCount : 0;
}

// ---- busy and idle ------------------------------------------------------------------------

int ResultPage::pageSize() {
    if (limits().text(m_list, Limits::Kind::Displayed).isEmpty())
        limits().setText(m_list, Limits::Kind::Displayed, QStringLiteral("10"));
    return limits().pageSize(m_list);
}

int ResultPage::searchLimit() const {
    return limits().searchLimit(m_list);
}

void ResultPage::lockControls() {
    m_busy = true;
    for (QPushButton* b : {m_controls.search, m_controls.reset, m_controls.exportButton, m_controls.print,
                           m_controls.previous, m_controls.next})
        b->setEnabled(false);
    m_controls.grid->horizontalHeader()->setSectionsClickable(false);
    m_controls.grid->setEditingEnabled(false);
}

void ResultPage::becomeBusy(const QString& caption) {
    window()->setWindowTitle(caption);
    if (!m_busyCursor) m_busyCursor.emplace();
}

void ResultPage::becomeIdle() {
    m_busy = false;
    DataGrid* grid = m_controls.grid;
    grid->horizontalHeader()->setSectionsClickable(true);
    grid->setEditingEnabled(true);
    grid->setDataLinkEnabled(true);
    m_busyCursor.reset();
    window()->setWindowTitle(maker::kMainCaption);
    if (focusGridWhenIdle) grid->setFocus();
    m_controls.stop->setEnabled(false);
    for (QPushButton* b : {m_controls.search, m_controls.reset, m_controls.print, m_controls.exportButton})
        b->setEnabled(true);
}

void ResultPage::showPaging(bool previousEnabled, bool nextEnabled) {
    m_controls.previous->setEnabled(previousEnabled);
    m_controls.next->setEnabled(nextEnabled);
}

void ResultPage::copyAll() {
    if (!m_label.isEmpty()) toClipboard(text::withCrLf(m_label));
}

void ResultPage::becomeCurrentPage() {
    *m_host.currentPageName = objectName();
}

void ResultPage::previousPage() {
    if (!m_query || !m_query->isReady() || m_query->state().first <= 1) return;
    leavingPage();
    const Controls& c = m_controls;
    c.grid->setDataLinkEnabled(false);
    c.stop->setEnabled(true);
    c.grid->clearSortStates();
    m_query->previousPage(pageSize());
    c.grid->setDataLinkEnabled(true);
    showPaging(m_query->state().first > 1, true);
    c.grid->setFocus();
    c.stop->setEnabled(false);
    refreshLabel();
}

void ResultPage::clearPage() {
    const Controls& c = m_controls;
    c.previous->setEnabled(false);
    c.next->setEnabled(false);
    c.search->setEnabled(true);
    c.stop->setEnabled(false);
    for (QLineEdit* box : c.boxes)
        box->clear();
    c.status->part(0)->clear();
    showLabel({}, false);
    c.grid->clearSortStates();
}

void ResultPage::requestStop() {
    window()->setWindowTitle(maker::kStoppingCaption);
    if (m_host.stopRequested) *m_host.stopRequested = true;
}

// ---- the shown page ----------------------------------------------------------------------

void ResultPage::toggleMark() {
    if (!m_query->hasCurrentRow()) return;
    const auto shown = qScopeGuard([this] { markToggled(); });
    m_query->toggleMark();
}

void ResultPage::sortColumn(int column, DataGrid::SortState state) {
    DataGrid* grid = m_controls.grid;
    if (column < 0 || column >= grid->columns().size() || !sortable()) return;
    const QString field = grid->columns()[column].field;
    if (field.compare(u"Zn", Qt::CaseInsensitive) == 0) {
        // The mark column cannot be sorted.
        grid->setSortState(column, DataGrid::SortState::None);
        return;
    }
    if (state == DataGrid::SortState::None) return;
    const BusyCursor busy;
    m_query->sortPage(field, state == DataGrid::SortState::Ascending ? paging::SortOrder::Ascending
                                                                     : paging::SortOrder::Descending);
}

// ---- record label and clipboard ------------------------------------------------------------

void ResultPage::showLabel(const QStringList& lines, bool scrollBar) {
    m_label = lines;
    QPlainTextEdit* record = m_controls.record;
    record->setVerticalScrollBarPolicy(scrollBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    record->setPlainText(lines.join(u'\n'));
    record->verticalScrollBar()->setValue(0);
}

void ResultPage::toClipboard(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

std::optional<QStringList> ResultPage::chooseNumbers(const QStringList& items, int imageLeft) {
    if (!m_host.picker) return std::nullopt;
    const QPoint at = NumberPicker::placeFor(window(), imageLeft);
    auto ticked = m_host.picker->choose(items, at);
    if (!ticked || ticked->isEmpty()) return std::nullopt;
    return ticked;
}

void ResultPage::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) adjustNarrowBoxes();
}
