#include "ImportDialog.h"

ImportDialog::ImportDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form10"));
    setWindowTitle(QStringLiteral("Import dat"));
}
