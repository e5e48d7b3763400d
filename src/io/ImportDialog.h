#pragma once

#include <QDialog>

// The import of personal contacts from a delimited text file; its contents come later.
class ImportDialog : public QDialog {
    Q_OBJECT

  public:
    explicit ImportDialog(QWidget* parent = nullptr);
};
