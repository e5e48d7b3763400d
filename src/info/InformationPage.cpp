#include "InformationPage.h"

#include "DataGrid.h"
#include "PageWidgets.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

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
}

QRadioButton* InformationPage::listChoice(List list) const {
    return m_lists[int(list)];
}

InformationPage::List InformationPage::currentList() const {
    const int id = m_listGroup->checkedId();
    return id < 0 ? List::InternetAddresses : List(id);
}
