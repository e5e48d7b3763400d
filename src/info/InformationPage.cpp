#include "InformationPage.h"

#include "Application.h"
#include "DataGrid.h"
#include "Dialogs.h"
#include "Error.h"
#include "ListConversion.h"
#include "PageWidgets.h"
#include "Shell.h"
#include "TextHelpers.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

using namespace reference_lists;

namespace {

// The wait cursor for as long as a list opens, also when it fails.
class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Draws a list column its own way: free-phone numbers in groups of three,
// internet addresses in blue. The stored values stay as they are.
class CellDelegate : public QStyledItemDelegate {
  public:
    CellDelegate(CellStyle style, QObject* parent) : QStyledItemDelegate(parent), m_style(style) {}

    QString displayText(const QVariant& value, const QLocale& locale) const override {
        if (m_style == CellStyle::PhoneGrouping) return text::phoneGrouping(value.toString());
        return QStyledItemDelegate::displayText(value, locale);
    }

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (m_style == CellStyle::Address) option->palette.setColor(QPalette::Text, Qt::blue);
    }

  private:
    CellStyle m_style;
};

} // namespace

InformationPage::InformationPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("informace"));

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("Edit1"));
    m_column = new QComboBox(this);
    m_column->setObjectName(QStringLiteral("ComboBox1"));
    m_column->setEditable(true);
    m_column->setInsertPolicy(QComboBox::NoInsert);
    m_column->setMinimumContentsLength(16);
    m_column->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    // The box's own text field is a control of its own for assistive technology.
    m_column->lineEdit()->setAccessibleName(QStringLiteral("Sloupec"));

    m_searchButton = makeButton(QStringLiteral("button18"), QStringLiteral("&Hledej"), true, this);
    m_open = makeButton(QStringLiteral("Button10"), QStringLiteral("O&tevři"), true, this);

    // The list choices in the order the lists are numbered; the first is chosen.
    m_listGroup = new QButtonGroup(this);
    const struct {
        List list;
        const char* name;
        const char* caption;
    } choices[4] = {
        {List::InternetAddresses, "RadioButton4", "INTERNETOVÉ &ADRESY"},
        {List::FreephoneLines, "RadioButton1", "&ZELENÉ LINKY"},
        {List::PostalCodes, "RadioButton2", "P&SČ"},
        {List::InternationalPrefixes, "RadioButton3", "&MEZINÁRODNÍ PŘEDVOLBY"},
    };
    for (const auto& c : choices) {
        auto* radio = new QRadioButton(QString::fromUtf8(c.caption), this);
        radio->setObjectName(QString::fromLatin1(c.name));
        m_lists[int(c.list)] = radio;
        m_listGroup->addButton(radio, int(c.list));
    }
    m_lists[int(List::InternetAddresses)]->setChecked(true);

    m_grid = new DataGrid(this);
    m_grid->setObjectName(QStringLiteral("DBGridPro3"));
    m_grid->setAccessibleName(QStringLiteral("Tabulka vybrané databáze"));

    m_count = new QLabel(QStringLiteral("Celkový počet záznamů: 0"), this);
    m_count->setObjectName(QStringLiteral("zaznamu_i"));
    m_count->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_count->setMargin(1);
    m_count->setIndent(3);
    m_count->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_count->setMinimumWidth(StatusLine::kMinimumPartWidth);

    // The search text and its column, the buttons under them.
    auto* search = new QGridLayout;
    search->setHorizontalSpacing(8);
    search->setVerticalSpacing(1);
    search->addWidget(makeCaption(QStringLiteral("Hledat"), m_search, this), 0, 0);
    search->addWidget(m_search, 1, 0);
    search->addWidget(makeCaption(QStringLiteral("Sloupec"), m_column, this), 0, 1);
    search->addWidget(m_column, 1, 1);
    search->setColumnStretch(0, 1);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(6);
    buttons->addWidget(m_searchButton);
    buttons->addWidget(m_open);
    buttons->addStretch();
    auto* left = new QVBoxLayout;
    left->setSpacing(8);
    left->addLayout(search);
    left->addLayout(buttons);
    left->addStretch();

    // The list choices under their heading.
    auto* lists = new QVBoxLayout;
    lists->setSpacing(2);
    lists->addWidget(new QLabel(QStringLiteral("Výběr databáze"), this));
    for (QRadioButton* radio : m_lists)
        lists->addWidget(radio);
    lists->addStretch();

    auto* top = new QHBoxLayout;
    top->setSpacing(24);
    top->addLayout(left, 1);
    top->addLayout(lists);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(6, 6, 6, 2);
    page->setSpacing(6);
    page->addLayout(top);
    page->addWidget(m_grid, 1);
    page->addWidget(m_count);

    buildMenu();
}

InformationPage::~InformationPage() = default;

QRadioButton* InformationPage::listChoice(List list) const {
    return m_lists[int(list)];
}

InformationPage::List InformationPage::currentList() const {
    const int id = m_listGroup->checkedId();
    return id < 0 ? List::InternetAddresses : List(id);
}

QAction* InformationPage::command(Command which) const {
    return m_commands[int(which)];
}

void InformationPage::buildMenu() {
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("PopupMenu1"));
    const struct {
        Command command;
        const char* caption;
    } items[] = {
        {Command::ToPersons, "přenést údaje do databáze &osob"},
        {Command::ToFirms, "přenést údaje do databáze &firem"},
        {Command::SearchFirms, "&hledej čísla v databázi firem"},
        {Command::OpenAddress, "zobraz &internetový odkaz"},
    };
    for (const auto& item : items)
        m_commands[int(item.command)] = m_menu->addAction(QString::fromUtf8(item.caption));
    connect(command(Command::ToPersons), &QAction::triggered, this,
            [this] { handOverPlace(SearchPage::Persons); });
    connect(command(Command::ToFirms), &QAction::triggered, this,
            [this] { handOverPlace(SearchPage::Firms); });
    connect(command(Command::SearchFirms), &QAction::triggered, this, [this] { searchFirm(false); });
    connect(command(Command::OpenAddress), &QAction::triggered, this, &InformationPage::openAddress);
}

// ---- connection to the program ------------------------------------------------------

void InformationPage::attach(Application& app, ReferenceListQuery::Opener opener) {
    m_app = &app;
    m_query = std::make_unique<ReferenceListQuery>(std::move(opener), app.dataFolder());
    // A list in the disc's own format is read through its converted copy.
    m_query->setLocator([this](const QString& path) { return listFileToRead(*m_app, window(), path); });
    m_grid->setDataset(&m_query->dataset());
    connectActions();
}

void InformationPage::connectActions() {
    connect(m_listGroup, &QButtonGroup::idClicked, this, [this](int id) {
        // Choosing the list on show again keeps it as it is, unless it failed to open.
        if (m_query->isOpen() && m_query->list() == List(id)) return;
        chooseList(List(id));
    });
    connect(m_search, &QLineEdit::textChanged, this, &InformationPage::locate);
    m_search->installEventFilter(this);
    connect(m_column, &QComboBox::editTextChanged, this, &InformationPage::columnTyped);
    connect(m_grid, &DataGrid::sortStateChanged, this, &InformationPage::sortColumn);
    m_grid->viewport()->installEventFilter(this);
    connect(m_grid, &DataGrid::rowDoubleClicked, this, &InformationPage::doubleClicked);
    connect(m_grid, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (offersMenu()) m_menu->popup(m_grid->viewport()->mapToGlobal(at));
    });
    connect(m_searchButton, &QPushButton::clicked, this, [this] { searchFirm(true); });
    connect(m_open, &QPushButton::clicked, this, &InformationPage::openAddress);
}

void InformationPage::showError(const QString& message) {
    m_app->dialogs().warn(window(), message);
}

// ---- choosing a list ---------------------------------------------------------------

void InformationPage::enter() {
    if (!m_query || m_query->isOpen()) return;
    m_lists[int(List::InternetAddresses)]->setChecked(true);
    chooseList(List::InternetAddresses);
}

void InformationPage::chooseList(List list) {
    if (!m_query) return;
    const Description& d = describe(list);
    m_lists[int(list)]->setChecked(true);
    QString failure;
    {
        WaitCursor wait;
        showList(d);
        try {
            // Without a file to read (its conversion cancelled) the list stays empty.
            m_query->open(list);
            m_count->setText(countText(m_query->rowCount()));
        } catch (const db::Error& e) {
            // The list stays empty; the other lists can still be chosen.
            m_count->setText(countText(0));
            failure = e.message();
        }
    }
    m_search->setFocus();
    if (!failure.isEmpty()) showError(failure);
}

// The page as the list wants it, before the list opens: buttons, menu items,
// hint, columns, the search text, the column box.
void InformationPage::showList(const Description& d) {
    m_searchButton->setVisible(d.searchButton);
    m_open->setVisible(d.openButton);
    for (Command c : {Command::ToPersons, Command::ToFirms, Command::SearchFirms, Command::OpenAddress})
        command(c)->setVisible(d.commands.contains(c));
    m_grid->setToolTip(d.gridHint);

    m_query->close();
    QList<DataGrid::Column> columns;
    for (const Column& c : d.columns)
        columns.append({c.field, c.title, c.width});
    for (int i = 0; i < m_grid->columns().size(); ++i) {
        QAbstractItemDelegate* old = m_grid->itemDelegateForColumn(i);
        m_grid->setItemDelegateForColumn(i, nullptr);
        if (old && old->parent() == this) old->deleteLater();
    }
    m_grid->setColumns(columns);
    for (int i = 0; i < d.columns.size(); ++i)
        if (d.columns[i].style != CellStyle::Plain)
            m_grid->setItemDelegateForColumn(i, new CellDelegate(d.columns[i].style, this));
    m_search->clear();
    m_grid->setSortState(0, DataGrid::SortState::Ascending);

    QSignalBlocker block(m_column);
    m_column->clear();
    m_column->addItems(choices(d));
    m_column->setCurrentIndex(0);
}

// ---- locating and sorting ------------------------------------------------------------

void InformationPage::locate() {
    if (!m_query || !m_query->isOpen()) return;
    m_query->locate(columnNamed(m_query->description(), m_column->currentText()), m_search->text());
}

void InformationPage::columnTyped(const QString& text) {
    if (!m_query) return;
    const int column = columnNamed(m_query->description(), text);
    if (column >= 0 && column != m_column->currentIndex()) {
        QSignalBlocker block(m_column);
        m_column->setCurrentIndex(column);
    }
    locate();
}

void InformationPage::sortColumn(int column, DataGrid::SortState state) {
    if (!m_query || !m_query->isOpen()) return;
    // Only the column the list is ordered by shows an order.
    for (int i = 0; i < m_grid->columns().size(); ++i)
        if (i != column) m_grid->setSortState(i, DataGrid::SortState::None);
    const auto order = state == DataGrid::SortState::Ascending    ? ReferenceListQuery::Order::Ascending
                       : state == DataGrid::SortState::Descending ? ReferenceListQuery::Order::Descending
                                                                  : ReferenceListQuery::Order::Own;
    try {
        WaitCursor wait;
        m_query->sort(column, order);
    } catch (const db::Error& e) {
        m_count->setText(countText(m_query->rowCount()));
        showError(e.message());
        return;
    }
    // Typing now searches the column the list is ordered by.
    QSignalBlocker block(m_column);
    m_column->setCurrentIndex(column);
}

// ---- hand-over, addresses, menu and double click --------------------------------------------

// Whether the list shown offers the command, and has a row to take values from.
bool InformationPage::canRun(Command command) const {
    return m_query && m_query->description().commands.contains(command) && m_query->hasCurrentRow();
}

void InformationPage::handOverPlace(SearchPage target) {
    if (!canRun(target == SearchPage::Persons ? Command::ToPersons : Command::ToFirms)) return;
    QString postalCode, municipality;
    if (!read([&] {
            postalCode = postalCodeForSearch(m_query->currentValue(QStringLiteral("psc")));
            municipality = m_query->currentValue(QStringLiteral("obec"));
        }))
        return;
    m_app->dialogs().warn(window(), handOverNotice());
    emit placeHandedOver(target, postalCode, municipality);
}

void InformationPage::searchFirm(bool reset) {
    if (!canRun(Command::SearchFirms)) return;
    QString name;
    if (read([&] { name = m_query->currentValue(m_query->description().columns.first().field); }))
        emit firmSearchRequested(firmPattern(name), reset);
}

void InformationPage::openAddress() {
    if (!canRun(Command::OpenAddress)) return;
    QString address;
    if (read([&] { address = webAddress(m_query->currentValue(QStringLiteral("url"))); }) &&
        !address.isEmpty())
        m_app->shell().open(address);
}

// Reads values of the current row; an error of the engine is shown and gives false.
bool InformationPage::read(const std::function<void()>& reading) {
    try {
        reading();
        return true;
    } catch (const db::Error& e) {
        showError(e.message());
        return false;
    }
}

bool InformationPage::offersMenu() const {
    return m_query && !m_query->description().commands.isEmpty();
}

void InformationPage::contextMenuEvent(QContextMenuEvent* event) {
    if (!offersMenu()) return QWidget::contextMenuEvent(event);
    m_menu->popup(event->globalPos());
    event->accept();
}

void InformationPage::doubleClicked() {
    if (!m_query) return;
    switch (m_query->list()) {
    case List::InternetAddresses:
        // On the address itself the address opens; elsewhere its firm is searched.
        if (m_doubleClickColumn == m_grid->columnOf(QStringLiteral("url")))
            openAddress();
        else
            m_searchButton->click();
        break;
    case List::FreephoneLines:
        m_searchButton->click();
        break;
    default:
        break;
    }
}

bool InformationPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_search && event->type() == QEvent::FocusIn) {
        locate();
    } else if (watched == m_grid->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        m_doubleClickColumn = m_grid->columnAt(mouse->position().toPoint().x());
    }
    return QWidget::eventFilter(watched, event);
}
