#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

// The list of the program's keyboard shortcuts: a tool window with a
// read-only text in the colour of the buttons and a button that closes the
// window (so does Esc).
class ShortcutListDialog : public QDialog {
    Q_OBJECT

  public:
    // The working area inside the 20-pixel border, and the text in it.
    static constexpr QSize kInnerSize{550, 399};
    static constexpr QSize kTextSize{550, 361};
    static constexpr int kBorder = 20;

    explicit ShortcutListDialog(QWidget* parent = nullptr);

    QPlainTextEdit* text() const { return m_text; }

  private:
    QPlainTextEdit* m_text = nullptr;
    QPushButton* m_back = nullptr;
};
