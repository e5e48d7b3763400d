#include "ExportDialog.h"

#include "ToolWindow.h"
#include "WindowPlacement.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QVBoxLayout>

namespace {

// The fixed-width option's caption leaves room for the width field after these words.
const QString kWidthLead = QStringLiteral("Fixní šířka ");
const QString kWidthGap = QStringLiteral("             ");

} // namespace

ExportDialog::ExportDialog(QWidget* parent) : ExportDialog(Kind::Directory, parent) {}

ExportDialog::ExportDialog(Kind kind, QWidget* parent) : QDialog(parent) {
    setObjectName(kind == Kind::Personal ? QStringLiteral("Form11") : QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("Export"));
    platform::makeToolWindow(this);

    m_formatGroup = new QGroupBox(QStringLiteral("    Formát výstupu     "), this);
    m_formatGroup->setObjectName(QStringLiteral("RadioGroup1"));
    m_formats = new QButtonGroup(this);
    auto* options = new QVBoxLayout(m_formatGroup);
    for (int i = 0; i < io::kExportFormatCount; ++i) {
        auto* option = new QRadioButton(io::describe(io::ExportFormat(i)).caption, m_formatGroup);
        m_formats->addButton(option, i);
        options->addWidget(option);
    }
    setFormat(io::ExportFormat::Semicolon);

    // The width field sits inside the last option's caption, over its blanks.
    m_width = new QLineEdit(QStringLiteral("30"), formatOption(io::ExportFormat::FixedWidth));
    m_width->setObjectName(QStringLiteral("sirka_ex"));
    m_width->setAccessibleName(QStringLiteral("Fixní šířka – počet znaků"));
    formatOption(io::ExportFormat::FixedWidth)->setMinimumHeight(m_width->sizeHint().height());

    m_export = new QPushButton(QStringLiteral("&Export"), this);
    m_export->setObjectName(QStringLiteral("Button7"));
    m_export->setDefault(true);
    connect(m_export, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_formatGroup);
    if (kind == Kind::Personal) {
        m_address = new io::AddressChoiceGroup(QStringLiteral("    Typ adresy pro export    "), this);
        layout->addWidget(m_address);
        // Tab goes through the address choice before the button under it.
        setTabOrder(m_address, m_export);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_export);
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->activate();
    placeWidthField();
}

io::ExportFormat ExportDialog::format() const {
    const int id = m_formats->checkedId();
    return id < 0 ? io::ExportFormat::Semicolon : io::ExportFormat(id);
}

void ExportDialog::setFormat(io::ExportFormat format) {
    if (QRadioButton* option = formatOption(format)) option->setChecked(true);
}

QRadioButton* ExportDialog::formatOption(io::ExportFormat format) const {
    return qobject_cast<QRadioButton*>(m_formats->button(int(format)));
}

QString ExportDialog::width() const {
    return m_width->text();
}

io::AddressChoice ExportDialog::address() const {
    return m_address ? m_address->choice() : io::AddressChoice::RecordDefault;
}

void ExportDialog::showEvent(QShowEvent* event) {
    placeWidthField();
    settings::centreOn(this, parentWidget());
    QDialog::showEvent(event);
}

void ExportDialog::placeWidthField() {
    QRadioButton* option = formatOption(io::ExportFormat::FixedWidth);
    QStyleOptionButton style;
    style.initFrom(option);
    style.text = option->text();
    const QRect text = option->style()->subElementRect(QStyle::SE_RadioButtonContents, &style, option);
    const QFontMetrics metrics(option->font());
    const int left = text.left() + metrics.horizontalAdvance(kWidthLead);
    const int width = metrics.horizontalAdvance(kWidthGap);
    const int height = qMin(m_width->sizeHint().height(), option->height());
    m_width->setGeometry(left, (option->height() - height) / 2, width, height);
}
