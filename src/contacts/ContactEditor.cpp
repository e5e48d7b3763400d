#include "ContactEditor.h"

ContactEditor::ContactEditor(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Podrobnosti kontaktu"));
}
