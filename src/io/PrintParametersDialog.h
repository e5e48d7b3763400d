#pragma once

#include <QDialog>

// The choices for printing address labels; its contents come later.
class PrintParametersDialog : public QDialog {
    Q_OBJECT

  public:
    explicit PrintParametersDialog(QWidget* parent = nullptr);
};
