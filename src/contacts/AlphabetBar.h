#pragma once

#include "PageWidgets.h"

#include <QChar>

// The alphabet bar of the personal page: the letters a to z side by side in a
// strip 469 pixels wide; a click on a letter lists the contacts starting with it.
// Each letter owns a fixed range of x positions, which is what a click is
// measured against, and the letter is drawn in the middle of its range.
//
// From the keyboard the bar is one stop of the Tab key with a current letter
// in a focus frame: the arrow keys, Home and End move it, Space or Enter
// lists it, and typing a letter lists that letter at once. Assistive
// technology sees a tool bar of 26 buttons "Písmeno A" … "Písmeno Z".
class AlphabetBar : public ClickableLabel {
    Q_OBJECT

  public:
    static constexpr int kWidth = 469;
    static constexpr int kLetters = 26;

    explicit AlphabetBar(QWidget* parent = nullptr);

    // The letter at x (0 <= x < kWidth, in the bar's coordinates); a null
    // character outside the bar.
    static QChar letterAt(int x);
    // The first x of the letter's range and the first x after it.
    static std::pair<int, int> rangeOf(QChar letter);
    // The letter of index 0 to 25 and its spoken name ("Písmeno A").
    static QChar letter(int index) { return QChar(u'a' + index); }
    static QString spokenName(int index);

    // The letter the keyboard works on, 0 for "a".
    int currentIndex() const { return m_current; }
    // Lists the letter, as a click on it does.
    void activate(int index);

  signals:
    void letterClicked(QChar letter);

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    QRect focusFrame() const override;

  private:
    void render();
    void moveTo(int index);
    void announceCurrent();

    int m_current = 0;
};
