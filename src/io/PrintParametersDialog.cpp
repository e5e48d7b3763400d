#include "PrintParametersDialog.h"

#include "ToolWindow.h"

#include <QPushButton>
#include <QVBoxLayout>

PrintParametersDialog::PrintParametersDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form12"));
    setWindowTitle(QStringLiteral("Parametry tisku"));
    platform::makeToolWindow(this);
    m_choice = new io::AddressChoiceGroup(QStringLiteral("    Tisk adresy    "), this);
    m_print = new QPushButton(QStringLiteral("&Tisk"), this);
    m_print->setObjectName(QStringLiteral("BitBtn4"));
    m_print->setDefault(true);
    connect(m_print, &QPushButton::clicked, this, &QDialog::accept);

    auto* column = new QVBoxLayout(this);
    column->addWidget(m_choice);
    column->addWidget(m_print, 0, Qt::AlignRight);
    column->setSizeConstraint(QLayout::SetFixedSize);
}

io::AddressChoice PrintParametersDialog::choice() const {
    return m_choice->choice();
}
