#include "PrintParametersDialog.h"

PrintParametersDialog::PrintParametersDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form12"));
    setWindowTitle(QStringLiteral("Parametry tisku"));
}
