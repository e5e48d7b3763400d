#pragma once

#include <QDialog>

// The export of the marked directory records to a text file; its contents come later.
class ExportDialog : public QDialog {
    Q_OBJECT

  public:
    explicit ExportDialog(QWidget* parent = nullptr);
};
