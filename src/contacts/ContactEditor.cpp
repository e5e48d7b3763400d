// The contact editor's widgets and their layout; what they do is in
// ContactEditorActions.cpp.

#include "ContactEditor.h"

#include "AlphabetBar.h"
#include "PageWidgets.h"
#include "PersonalRecords.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

using contact_editing::AddressKind;
using contact_editing::Field;

constexpr AddressKind kKinds[3] = {AddressKind::Home, AddressKind::Work, AddressKind::Other};

// The picture of an address kind: its initial on a navy tile when selected,
// on a pale tile with a silver border otherwise.
QPixmap kindPixmap(AddressKind kind, bool active, qreal ratio) {
    const int size = 22;
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(active ? QColor(0, 0, 128) : QColor(192, 192, 192));
    p.setBrush(active ? QColor(0, 0, 128) : QColor(240, 240, 240));
    p.drawRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), 3, 3);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(13);
    p.setFont(font);
    p.setPen(active ? Qt::white : QColor(128, 128, 128));
    p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, contact_editing::kindHint(kind).left(1).toUpper());
    return pixmap;
}

} // namespace

ContactEditor::ContactEditor(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Podrobnosti kontaktu"));
    buildControls();
    buildLayout();
    connectActions();
}

ContactEditor::~ContactEditor() = default;

void ContactEditor::buildControls() {
    for (int i = 0; i < contact_editing::kFieldCount; ++i) {
        const Field f = Field(i);
        if (f == Field::Info) continue;
        auto* edit = new QLineEdit(this);
        edit->setObjectName(contact_editing::controlName(f));
        edit->setAccessibleName(spokenName(f));
        // A phone number or postal code is held grouped while shown, so the
        // box takes its blanks on top of the column's length.
        const int length = ContactEditing::maxLength(f);
        if (length > 0)
            edit->setMaxLength(contact_editing::isPhoneField(f) || f == Field::PostalCode ? length * 2
                                                                                          : length);
        edit->installEventFilter(this);
        m_fields[i] = edit;
    }
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(contact_editing::controlName(Field::Info));
    m_memo->setAccessibleName(spokenName(Field::Info));
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_memo->setTabChangesFocus(true);

    const struct {
        const char* name;
        const char* caption;
        const char* toolTip;
        const char* spokenName; // for a caption that is a symbol
    } buttons[6] = {
        {"ulozit", "&Uložit", "", ""},
        {"zpet", "&Zpět", "", ""},
        {"dalsi", ">", "Následující záznam (uloží stávající)", "Následující záznam"},
        {"predchozi", "<", "Předešlý záznam (uloží stávající)", "Předešlý záznam"},
        {"novy", "&Nový", "", ""},
        {"smazat", "&Smazat", "", ""},
    };
    for (int i = 0; i < 6; ++i) {
        m_buttons[i] =
            makeButton(QString::fromUtf8(buttons[i].name), QString::fromUtf8(buttons[i].caption), true, this);
        m_buttons[i]->setAutoDefault(false);
        if (*buttons[i].toolTip) m_buttons[i]->setToolTip(QString::fromUtf8(buttons[i].toolTip));
        if (*buttons[i].spokenName) nameSymbolButton(m_buttons[i], QString::fromUtf8(buttons[i].spokenName));
    }
    allowNarrowButton(button(Button::Next));
    allowNarrowButton(button(Button::Previous));

    for (int k = 0; k < 3; ++k) {
        for (int active = 0; active < 2; ++active) {
            auto* picture = new ClickableLabel(this);
            picture->setObjectName(u"adresa_"_s + contact_editing::kindName(kKinds[k]) +
                                   (active ? u"_on"_s : u"_off"_s));
            picture->setPixmap(kindPixmap(kKinds[k], active, devicePixelRatioF()));
            picture->setToolTip(contact_editing::kindHint(kKinds[k]));
            picture->setCursor(Qt::PointingHandCursor);
            // The shown picture of each kind is a radio button of the kind
            // selector, checked for the selected kind.
            picture->makeControl(ClickableLabel::Role::RadioButton,
                                 u"Adresa "_s + contact_editing::kindHint(kKinds[k]));
            picture->setChecked(active);
            m_kindPictures[k][active] = picture;
        }
    }

    m_alphabet = new AlphabetBar(this);
    m_alphabet->setObjectName(QStringLiteral("abeceda"));
    m_allRecords = makeImageButton(QStringLiteral("vse"), PageIcon::AllRecords, u"Všechny záznamy"_s,
                                   u"Všechny záznamy"_s, this);

    // The tab order: the fields as listed, the address kind's pictures
    // before the address, then the buttons, the alphabet bar and the
    // all-records picture.
    QList<QWidget*> order;
    for (int i = 0; i < contact_editing::kFieldCount; ++i) {
        const Field f = Field(i);
        if (f == Field::Street)
            for (auto& pair : m_kindPictures)
                order << pair[0] << pair[1];
        order << (f == Field::Info ? static_cast<QWidget*>(m_memo) : m_fields[i]);
    }
    for (QPushButton* b : m_buttons)
        order << b;
    order << m_alphabet << m_allRecords;
    chainTabOrder(order);
    showKind();
}

QString ContactEditor::spokenName(Field which) {
    // The label of the field; the second and third field under one label
    // ("Telefon mobil", "E-mail") are told apart by their number.
    const QString label = contact_editing::label(which);
    int same = 1;
    for (int i = 0; i < int(which); ++i)
        if (contact_editing::label(Field(i)) == label) ++same;
    return same > 1 ? label + u' ' + QString::number(same) : label;
}

void ContactEditor::buildLayout() {
    // An empty caption (the second and third e-mail) labels nothing; those
    // fields carry their own names.
    auto caption = [this](const char* text, QWidget* buddy) {
        auto* label = new QLabel(QString::fromUtf8(text), this);
        if (*text) label->setBuddy(buddy);
        return label;
    };
    // A group of captioned rows; each row holds one or two fields.
    auto group = [&](const char* title,
                     std::initializer_list<std::pair<const char*, std::initializer_list<Field>>> rows) {
        auto* box = new QGroupBox(QString::fromUtf8(title), this);
        auto* grid = new QGridLayout(box);
        grid->setHorizontalSpacing(6);
        grid->setVerticalSpacing(4);
        int r = 0;
        for (const auto& [text, fields] : rows) {
            grid->addWidget(caption(text, field(*fields.begin())), r, 0);
            int c = 1;
            for (Field f : fields)
                grid->addWidget(field(f), r, c++, 1, fields.size() == 1 ? 2 : 1);
            ++r;
        }
        grid->setColumnStretch(1, 1);
        grid->setColumnStretch(2, 1);
        return box;
    };

    auto* person = group("Osoba", {{"Příjmení", {Field::Surname}},
                                   {"Jméno", {Field::FirstName}},
                                   {"Titul", {Field::Title}},
                                   {"Funkce", {Field::Function}},
                                   {"Firma", {Field::Firm}}});
    auto* phones = group("Telefon", {{"Mobil", {Field::Mobile1, Field::Mobile2}},
                                     {"Domů", {Field::Home1, Field::Home2}},
                                     {"Firma", {Field::Work1, Field::Work2}}});
    auto* internet = group("Internet", {{"URL", {Field::Internet}},
                                        {"E-mail", {Field::Email1}},
                                        {"", {Field::Email2}},
                                        {"", {Field::Email3}}});

    // The address: the kind selector on top, where each kind's two pictures
    // share one place and only one of them is visible, then the six fields.
    auto* address = new QGroupBox(u"Adresa"_s, this);
    auto* addressGrid = new QGridLayout(address);
    addressGrid->setHorizontalSpacing(6);
    addressGrid->setVerticalSpacing(4);
    auto* kinds = new QHBoxLayout;
    kinds->setSpacing(8);
    for (auto& pair : m_kindPictures) {
        auto* place = new QGridLayout;
        place->setContentsMargins(0, 0, 0, 0);
        place->addWidget(pair[0], 0, 0);
        place->addWidget(pair[1], 0, 0);
        kinds->addLayout(place);
    }
    kinds->addStretch();
    addressGrid->addLayout(kinds, 0, 0, 1, 2);
    const std::pair<const char*, Field> addressRows[6] = {
        {"Ulice", Field::Street},  {"ČP", Field::HouseNumber}, {"Obec", Field::Town},
        {"Část", Field::TownPart}, {"PSČ", Field::PostalCode}, {"Stát", Field::Country}};
    for (int i = 0; i < 6; ++i) {
        addressGrid->addWidget(caption(addressRows[i].first, field(addressRows[i].second)), i + 1, 0);
        addressGrid->addWidget(field(addressRows[i].second), i + 1, 1);
    }
    addressGrid->setColumnStretch(1, 1);

    auto* info = new QGroupBox(u"Další informace"_s, this);
    auto* infoLayout = new QVBoxLayout(info);
    infoLayout->addWidget(m_memo);

    auto* left = new QVBoxLayout;
    left->addWidget(person);
    left->addWidget(phones);
    left->addWidget(internet);
    auto* right = new QVBoxLayout;
    right->addWidget(address);
    right->addWidget(info, 1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(6);
    for (Button b : {Button::Save, Button::Back, Button::Previous, Button::Next, Button::New, Button::Delete})
        buttons->addWidget(button(b));
    buttons->addStretch();

    auto* letters = new QHBoxLayout;
    letters->setSpacing(4);
    letters->addWidget(m_alphabet);
    letters->addWidget(m_allRecords);
    letters->addStretch();

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(columns, 1);
    outer->addLayout(buttons);
    outer->addLayout(letters);
    for (QLineEdit* e : m_fields)
        if (e) e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 14);
    m_memo->setMinimumHeight(m_memo->fontMetrics().lineSpacing() * 6);
}

QLineEdit* ContactEditor::field(Field which) const {
    return m_fields[int(which)];
}

ClickableLabel* ContactEditor::kindPicture(AddressKind kind, bool active) const {
    return m_kindPictures[int(kind)][active ? 1 : 0];
}
