#include "DirectoryPage.h"

#include "DataGrid.h"
#include "PageWidgets.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Widths of the boxes for short values, in digits.
constexpr int kHouseNumberDigits = 5;
constexpr int kPostalCodeDigits = 6;
// Found and marked counts up to this many fit the status line.
constexpr int kWidestCount = 9999;

} // namespace

DirectoryPage::DirectoryPage(const DirectoryPageDescription& description, QWidget* parent)
    : ResultPage(description.forFirms ? Limits::List::Firms : Limits::List::Persons, parent),
      m_page(description) {
    setObjectName(m_page.pageName);
    build();
    focusGridWhenIdle = true;
}

DirectoryPage::~DirectoryPage() = default;

void DirectoryPage::buildControls() {
    const DirectoryPageDescription::Box* boxes[7] = {
        &m_page.name, &m_page.secondName, &m_page.street, &m_page.houseNumber,
        &m_page.town, &m_page.postalCode, &m_page.phone};
    for (int i = 0; i < 7; ++i)
        m_fields[i] = makeSearchBox(boxes[i]->name, boxes[i]->shortcut, this);
    // The street and the house number share one caption; each is named on its own.
    nameStreetBoxes(field(Field::Street), field(Field::HouseNumber));
    const struct {
        Field box;
        const DirectoryPageDescription::Switch* look;
        QString caption;
    } switches[] = {{Field::Name, &m_page.nameSwitch, m_page.name.caption},
                    {Field::Street, &m_page.streetSwitch, field(Field::Street)->accessibleName()},
                    {Field::Town, &m_page.townSwitch, m_page.town.caption}};
    for (const auto& s : switches)
        m_switches[int(s.box)] = new WildcardSwitch(s.look->name, s.look->on, s.caption, this);

    m_region = new QComboBox(this);
    m_region->setObjectName(m_page.region.name);
    m_region->setToolTip(m_page.region.shortcut);
    m_region->setEditable(false);
    m_region->setMaxVisibleItems(15);
    m_region->addItems(DirectoryPageDescription::regions());
    m_region->setCurrentIndex(0);

    const struct {
        const QString& name;
        const char* caption;
        bool enabled;
    } buttons[8] = {
        {m_page.searchButton, "&Hledej", true}, {m_page.resetButton, "&Nuluj", true},
        {m_page.exportButton, "&Export", true}, {m_page.printButton, "&Tisk", true},
        {m_page.stopButton, "&STOP", false},    {m_page.previousButton, "<&<<", false},
        {m_page.nextButton, ">&>>", false},     {m_page.closeButton, "&Konec", true},
    };
    for (int i = 0; i < 8; ++i)
        m_buttons[i] =
            makeButton(buttons[i].name, QString::fromUtf8(buttons[i].caption), buttons[i].enabled, this);

    m_endIndicator = makeEndIndicator(m_page.endIndicator, this);
    QPlainTextEdit* record = makeRecordLabel(m_page.recordLabel, this);
    m_images[int(Image::CopyAll)] =
        makeImageButton(m_page.copyAllImage, PageIcon::CopyAll, QStringLiteral("Kopírovat vše"),
                        QStringLiteral("Kopíruj vše do schránky"), this);
    m_images[int(Image::CopyNumber)] =
        makeImageButton(m_page.copyNumberImage, PageIcon::CopyNumber, QStringLiteral("Kopírovat číslo"),
                        QStringLiteral("Kopíruj číslo do schránky"), this);
    m_images[int(Image::CopyAddress)] =
        makeImageButton(m_page.copyAddressImage, PageIcon::CopyAddress, QStringLiteral("Kopírovat adresu"),
                        QStringLiteral("Kopíruj adresu do schránky"), this);
    m_images[int(Image::Transfer)] = makeImageButton(
        m_page.transferImage, PageIcon::Transfer, QStringLiteral("Přenést do vlastní databáze"),
        QStringLiteral("Přenes aktuální záznam do vlastní databáze"), this);

    auto* table = new DataGrid(this);
    table->setObjectName(m_page.gridName);
    table->setColumns(m_page.columns);

    auto* status = new StatusLine(m_page.doneLabel, m_page.limitsLabel, m_page.totalLabel, this);
    status->part(2)->setText(m_page.totalCaption);

    // The buttons begin with the shared ones, in ResultPage's order.
    static_assert(int(Button::Next) == 6);
    setControls(m_buttons.data(),
                {image(Image::CopyAll), image(Image::CopyNumber), image(Image::CopyAddress)}, record, table,
                status, {std::begin(m_fields), std::end(m_fields)});

    // The Tab key goes through the boxes in their order (the telephone box,
    // at the top right, last), each wildcard switch after its box, then the
    // region, the buttons row by row with the pictures at the end of the
    // first, the record label at the top right and the grid.
    chainTabOrder({field(Field::Name),
                   wildcardSwitch(Field::Name),
                   field(Field::SecondName),
                   field(Field::Street),
                   wildcardSwitch(Field::Street),
                   field(Field::HouseNumber),
                   field(Field::Town),
                   wildcardSwitch(Field::Town),
                   field(Field::PostalCode),
                   field(Field::Phone),
                   m_region,
                   button(Button::Search),
                   button(Button::Reset),
                   button(Button::Export),
                   button(Button::Print),
                   image(Image::CopyAll),
                   image(Image::CopyNumber),
                   image(Image::CopyAddress),
                   image(Image::Transfer),
                   button(Button::Stop),
                   button(Button::Previous),
                   button(Button::Next),
                   button(Button::Close),
                   record,
                   table});
}

void DirectoryPage::buildLayout() {
    // The boxes in three columns: who (name, second name, telephone) above
    // where (street with house number, town, postal code and region).
    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(8);
    fields->setVerticalSpacing(4);
    fields->addLayout(captioned(makeCaption(m_page.name.caption, field(Field::Name), this),
                                {field(Field::Name), wildcardSwitch(Field::Name)}, {1, 0}),
                      0, 0);
    fields->addLayout(captioned(makeCaption(m_page.secondName.caption, field(Field::SecondName), this),
                                {field(Field::SecondName)}, {1}),
                      0, 1);
    fields->addLayout(
        captioned(makeCaption(m_page.phone.caption, field(Field::Phone), this), {field(Field::Phone)}, {1}),
        0, 2, 1, 2);
    fields->addLayout(
        captioned(makeCaption(m_page.street.caption, field(Field::Street), this),
                  {field(Field::Street), wildcardSwitch(Field::Street), field(Field::HouseNumber)},
                  {1, 0, 0}),
        1, 0);
    fields->addLayout(captioned(makeCaption(m_page.town.caption, field(Field::Town), this),
                                {field(Field::Town), wildcardSwitch(Field::Town)}, {1, 0}),
                      1, 1);
    fields->addLayout(captioned(makeCaption(m_page.postalCode.caption, field(Field::PostalCode), this),
                                {field(Field::PostalCode)}),
                      1, 2);
    fields->addLayout(captioned(makeCaption(m_page.region.caption, m_region, this), {m_region}), 1, 3);
    fields->setColumnStretch(0, 5);
    fields->setColumnStretch(1, 4);

    // The buttons in two rows under the boxes, the end indicator beside the
    // paging buttons, and the record's pictures at the right, next to the
    // record label.
    auto* images = new QHBoxLayout;
    images->setSpacing(4);
    for (ClickableLabel* image : m_images)
        images->addWidget(image);
    auto* buttons = new QGridLayout;
    buttons->setHorizontalSpacing(6);
    buttons->setVerticalSpacing(4);
    for (int i = 0; i < 8; ++i)
        buttons->addWidget(m_buttons[i], i / 4, i % 4);
    buttons->addWidget(m_endIndicator, 1, 4);
    buttons->setColumnStretch(5, 1);
    buttons->addLayout(images, 0, 6, Qt::AlignRight | Qt::AlignVCenter);

    layOutResultPage(this, {fields, buttons}, recordLabel(), grid(), statusLine());
}

void DirectoryPage::adjustNarrowBoxes() {
    setWidthInDigits(field(Field::HouseNumber), kHouseNumberDigits);
    setWidthInDigits(field(Field::PostalCode), kPostalCodeDigits);
    // The counts stay readable whole, whatever width the status line gave its
    // first part when the page was first laid out.
    statusLine()->keepFirstPartWhole(countsText(kWidestCount, kWidestCount));
}
