#pragma once

#include <QDialog>

// The export of the marked personal contacts to a text file; its contents come later.
class PersonalExportDialog : public QDialog {
    Q_OBJECT

  public:
    explicit PersonalExportDialog(QWidget* parent = nullptr);
};
