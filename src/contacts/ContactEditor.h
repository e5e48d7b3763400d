#pragma once

#include <QDialog>

// The window with every detail of one personal contact; its fields come later.
class ContactEditor : public QDialog {
    Q_OBJECT

  public:
    explicit ContactEditor(QWidget* parent = nullptr);
};
