#pragma once

#include <QDialog>

class QTextEdit;
class QPushButton;

// The list of the program's keyboard shortcuts: a tool window with a
// read-only text in the colour of the buttons, its keys and descriptions in
// columns, and a button that closes the window (so does Esc).
class ShortcutListDialog : public QDialog {
    Q_OBJECT

  public:
    // The working area inside the 20-pixel border, and the text in it; the
    // window is wider where the lines need it in the font of the day.
    static constexpr QSize kInnerSize{550, 399};
    static constexpr QSize kTextSize{550, 361};
    static constexpr int kBorder = 20;

    explicit ShortcutListDialog(QWidget* parent = nullptr);

    QTextEdit* text() const { return m_text; }

  protected:
    void changeEvent(QEvent* event) override;

  private:
    // Lines the columns up with tab stops measured in the text's font; an
    // entry that wraps goes on under its description.
    void layOutColumns();
    // The text box's width around its lines: frame, scroll bar and margins.
    int textChrome() const;

    QTextEdit* m_text = nullptr;
    int m_widestLine = 0; // in the text's font, from the text's left margin
    QPushButton* m_back = nullptr;
};
