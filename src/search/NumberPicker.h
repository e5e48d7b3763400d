#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

// A small tool window listing the telephone numbers of a record with check
// boxes, to copy the chosen ones; "Vše" chooses all.
class NumberPicker : public QDialog {
    Q_OBJECT

  public:
    static constexpr QSize kClientSize{122, 160};
    static constexpr QSize kListSize{122, 121};

    explicit NumberPicker(QWidget* parent = nullptr);

    QListWidget* list() const { return m_list; }
    QPushButton* allButton() const { return m_all; }
    QPushButton* copyButton() const { return m_copy; }

  private:
    QListWidget* m_list = nullptr;
    QPushButton* m_all = nullptr;
    QPushButton* m_copy = nullptr;
};
