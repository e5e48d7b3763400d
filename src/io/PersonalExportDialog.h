#pragma once

#include "ExportDialog.h"

// The export format window of the Vlastní page (Form11): the window of the
// directory pages with the choice of the address to export.
class PersonalExportDialog : public ExportDialog {
    Q_OBJECT

  public:
    explicit PersonalExportDialog(QWidget* parent = nullptr) : ExportDialog(Kind::Personal, parent) {}
};
