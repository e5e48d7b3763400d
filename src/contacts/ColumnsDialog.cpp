#include "ColumnsDialog.h"

ColumnsDialog::ColumnsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("Sloupce"));
}
