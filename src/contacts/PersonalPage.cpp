#include "PersonalPage.h"

#include "AlphabetBar.h"
#include "DataGrid.h"
#include "PageWidgets.h"
#include "PersonalStatus.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

namespace {

constexpr int kHouseNumberDigits = 5;
constexpr int kPostalCodeDigits = 6;
// Found and marked counts up to this many fit the status line.
constexpr int kWidestCount = 9999;

// The grid's columns with the widths given: the mark, the names, the firm and
// the three first telephone numbers.
QList<DataGrid::Column> gridColumns(const std::array<int, 7>& widths) {
    const char* const columns[7][2] = {
        {"Zn", "+/-"},
        {"Jmeno_1", "Jméno"},
        {"Prijmeni", "Příjmení"},
        {"Firma", "Firma"},
        {"tel_1", "Telefon mobil"},
        {"tel_3", "Telefon domů"},
        {"tel_5", "Telefon firma"},
    };
    QList<DataGrid::Column> out;
    // The mark column keeps its width; the others share the rest of the grid's.
    for (int i = 0; i < 7; ++i)
        out.append({QString::fromUtf8(columns[i][0]), QString::fromUtf8(columns[i][1]), widths[i],
                    i == 0 ? Qt::AlignHCenter : Qt::AlignLeft, true, i == 0});
    return out;
}

} // namespace

PersonalPage::PersonalPage(QWidget* parent) : ResultPage(Limits::List::Personal, parent) {
    setObjectName(QStringLiteral("vlastni"));
    build();
}

PersonalPage::~PersonalPage() = default;

void PersonalPage::buildControls() {
    const struct {
        const char* name;
        const char* shortcut;
        const char* switchName; // the wildcard switch beside the box, if any
        bool switchOn;
        const char* caption; // of the box, which the switch is named after
    } boxes[8] = {
        {"prijmeni_v", "Ctrl + P", "Label47", false, "Příjmení"},
        {"jmeno_v", "Ctrl + J", nullptr, false, nullptr},
        {"firma_v", "Ctrl + F", "Label59", false, "Firma"},
        {"ulice_v", "Ctrl + U", "Label50", false, "Ulice"},
        {"cp_v", "Ctrl + L", nullptr, false, nullptr},
        {"mesto_v", "Ctrl + O", "Label52", true, "Obec"},
        {"psc_v", "Ctrl + S", nullptr, false, nullptr},
        {"tel_v", "Ctrl + T", nullptr, false, nullptr},
    };
    for (int i = 0; i < 8; ++i) {
        m_fields[i] =
            makeSearchBox(QString::fromUtf8(boxes[i].name), QString::fromUtf8(boxes[i].shortcut), this);
        if (boxes[i].switchName)
            m_switches[i] = new WildcardSwitch(QString::fromUtf8(boxes[i].switchName), boxes[i].switchOn,
                                               QString::fromUtf8(boxes[i].caption), this);
    }
    nameStreetBoxes(field(Field::Street), field(Field::HouseNumber));

    const struct {
        const char* name;
        const char* caption;
        bool enabled;
    } buttons[9] = {
        {"BitBtn3", "&Hledej", true}, {"BitBtn5", "&Nuluj", true},  {"BitBtn7", "&Export", true},
        {"BitBtn4", "&Tisk", true},   {"BitBtn6", "&STOP", false},  {"Button4", "<&<<", false},
        {"Button8", ">&>>", false},   {"BitBtn9", "I&mport", true}, {"BitBtn8", "&Konec", true},
    };
    for (int i = 0; i < 9; ++i)
        m_buttons[i] = makeButton(QString::fromUtf8(buttons[i].name), QString::fromUtf8(buttons[i].caption),
                                  buttons[i].enabled, this);

    const struct {
        const char* name;
        PageIcon icon;
        const char* spokenName;
        const char* toolTip;
    } images[8] = {
        {"Image18", PageIcon::AllRecords, "Všechny záznamy", "Všechny záznamy"},
        {"Image13", PageIcon::Edit, "Upravit záznam", "Upravit záznam"},
        {"Image15", PageIcon::New, "Nový záznam", "Nový záznam"},
        {"Image16", PageIcon::Delete, "Smazat záznam", "Smazat záznam"},
        {"Image14", PageIcon::DeleteMarked, "Smazat označené záznamy", "Smazat označené záznamy"},
        {"Image10", PageIcon::CopyAddress, "Kopírovat adresu", "Kopíruj adresu do schránky"},
        {"Image9", PageIcon::CopyNumber, "Kopírovat číslo", "Kopíruj číslo do schránky"},
        {"Image11", PageIcon::CopyAll, "Kopírovat vše", "Kopíruj vše do schránky"},
    };
    for (int i = 0; i < 8; ++i)
        m_images[i] = makeImageButton(QString::fromUtf8(images[i].name), images[i].icon,
                                      QString::fromUtf8(images[i].spokenName),
                                      QString::fromUtf8(images[i].toolTip), this);

    m_alphabet = new AlphabetBar(this);
    m_alphabet->setObjectName(QStringLiteral("Image17"));

    QPlainTextEdit* record = makeRecordLabel(QStringLiteral("Memo3"), this);

    auto* table = new DataGrid(this);
    table->setObjectName(QStringLiteral("DBGridPro4"));
    table->setColumns(gridColumns({30, 106, 115, 230, 86, 86, 89}));

    auto* status = new StatusLine(QStringLiteral("dones_v"), QStringLiteral("status_v"),
                                  QStringLiteral("Label57"), this);
    status->part(2)->setText(QStringLiteral("Celkový počet záznamů: 0  "));

    // The buttons begin with the shared ones, in ResultPage's order.
    static_assert(int(Button::Next) == 6);
    setControls(m_buttons.data(),
                {image(Image::CopyAll), image(Image::CopyNumber), image(Image::CopyAddress)}, record, table,
                status, {std::begin(m_fields), std::end(m_fields)});

    // The Tab key goes as the page reads: the boxes row by row, each row of
    // buttons with its pictures at its end, the alphabet bar with the
    // all-records picture, then the record label at the top right and the grid.
    chainTabOrder({field(Field::Surname),
                   wildcardSwitch(Field::Surname),
                   field(Field::FirstName),
                   field(Field::Firm),
                   wildcardSwitch(Field::Firm),
                   field(Field::Street),
                   wildcardSwitch(Field::Street),
                   field(Field::HouseNumber),
                   field(Field::Town),
                   wildcardSwitch(Field::Town),
                   field(Field::PostalCode),
                   field(Field::Phone),
                   button(Button::Search),
                   button(Button::Reset),
                   button(Button::Export),
                   button(Button::Print),
                   button(Button::Import),
                   image(Image::CopyAddress),
                   image(Image::CopyNumber),
                   image(Image::CopyAll),
                   button(Button::Stop),
                   button(Button::Previous),
                   button(Button::Next),
                   button(Button::Close),
                   image(Image::Edit),
                   image(Image::New),
                   image(Image::Delete),
                   image(Image::DeleteMarked),
                   m_alphabet,
                   image(Image::AllRecords),
                   record,
                   table});
}

void PersonalPage::buildLayout() {
    // Who (surname, first name, firm) above where and how (street with house
    // number, town, postal code, telephone).
    auto box = [this](Field f) { return field(f); };
    auto caption = [this](const char* text, Field f) {
        return makeCaption(QString::fromUtf8(text), field(f), this);
    };
    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(8);
    fields->setVerticalSpacing(4);
    fields->addLayout(captioned(caption("Příjmení", Field::Surname),
                                {box(Field::Surname), wildcardSwitch(Field::Surname)}, {1, 0}),
                      0, 0);
    fields->addLayout(captioned(caption("Jméno", Field::FirstName), {box(Field::FirstName)}, {1}), 0, 1);
    fields->addLayout(
        captioned(caption("Firma", Field::Firm), {box(Field::Firm), wildcardSwitch(Field::Firm)}, {1, 0}), 0,
        2, 1, 2);
    fields->addLayout(captioned(caption("Ulice, ČP", Field::Street),
                                {box(Field::Street), wildcardSwitch(Field::Street), box(Field::HouseNumber)},
                                {1, 0, 0}),
                      1, 0);
    fields->addLayout(
        captioned(caption("Obec", Field::Town), {box(Field::Town), wildcardSwitch(Field::Town)}, {1, 0}), 1,
        1);
    fields->addLayout(captioned(caption("PSČ", Field::PostalCode), {box(Field::PostalCode)}), 1, 2);
    fields->addLayout(captioned(caption("Telefon", Field::Phone), {box(Field::Phone)}, {1}), 1, 3);
    fields->setColumnStretch(0, 5);
    fields->setColumnStretch(1, 4);
    fields->setColumnStretch(3, 3);

    // Two rows of buttons; right of them the pictures that copy the record
    // (first row) and those that change the records (second row).
    auto row = [](std::initializer_list<ClickableLabel*> images) {
        auto* line = new QHBoxLayout;
        line->setSpacing(4);
        for (ClickableLabel* image : images)
            line->addWidget(image);
        return line;
    };
    auto* buttons = new QGridLayout;
    buttons->setHorizontalSpacing(6);
    buttons->setVerticalSpacing(4);
    const Button first[] = {Button::Search, Button::Reset, Button::Export, Button::Print, Button::Import};
    const Button second[] = {Button::Stop, Button::Previous, Button::Next, Button::Close};
    for (int i = 0; i < 5; ++i)
        buttons->addWidget(button(first[i]), 0, i);
    for (int i = 0; i < 4; ++i)
        buttons->addWidget(button(second[i]), 1, i);
    buttons->setColumnStretch(5, 1);
    buttons->addLayout(row({image(Image::CopyAddress), image(Image::CopyNumber), image(Image::CopyAll)}), 0,
                       6, Qt::AlignRight | Qt::AlignVCenter);
    buttons->addLayout(
        row({image(Image::Edit), image(Image::New), image(Image::Delete), image(Image::DeleteMarked)}), 1, 4,
        1, 3, Qt::AlignRight | Qt::AlignVCenter);

    // The alphabet bar, then the picture that lists every record.
    auto* letters = new QHBoxLayout;
    letters->setSpacing(4);
    letters->addWidget(m_alphabet);
    letters->addWidget(image(Image::AllRecords));
    letters->addStretch();

    layOutResultPage(this, {fields, buttons, letters}, recordLabel(), grid(), statusLine());
}

// The columns the grid starts with, in slightly other proportions.
void PersonalPage::restoreDefaultColumns() {
    grid()->setColumns(gridColumns({30, 104, 114, 230, 88, 88, 88}));
}

void PersonalPage::adjustNarrowBoxes() {
    setWidthInDigits(field(Field::HouseNumber), kHouseNumberDigits);
    setWidthInDigits(field(Field::PostalCode), kPostalCodeDigits);
    // The counts stay readable whole, whatever width the status line gave its
    // first part when the page was first laid out.
    statusLine()->keepFirstPartWhole(personal_status::counts(kWidestCount, kWidestCount));
}
