#include "PersonalExportDialog.h"

PersonalExportDialog::PersonalExportDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form11"));
    setWindowTitle(QStringLiteral("Export"));
}
