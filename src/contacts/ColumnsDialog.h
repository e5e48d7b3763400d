#pragma once

#include <QDialog>

// The choice of the columns the personal contacts grid shows; its contents come later.
class ColumnsDialog : public QDialog {
    Q_OBJECT

  public:
    explicit ColumnsDialog(QWidget* parent = nullptr);
};
