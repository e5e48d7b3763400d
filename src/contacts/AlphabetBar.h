#pragma once

#include "PageWidgets.h"

#include <QChar>

// The alphabet bar of the personal page: the letters a to z side by side in a
// strip 469 pixels wide; a click on a letter lists the contacts starting with it.
// Each letter owns a fixed range of x positions, which is what a click is
// measured against, and the letter is drawn in the middle of its range.
class AlphabetBar : public ClickableLabel {
    Q_OBJECT

  public:
    static constexpr int kWidth = 469;

    explicit AlphabetBar(QWidget* parent = nullptr);

    // The letter at x (0 <= x < kWidth, in the bar's coordinates); a null
    // character outside the bar.
    static QChar letterAt(int x);
    // The first x of the letter's range and the first x after it.
    static std::pair<int, int> rangeOf(QChar letter);

  signals:
    void letterClicked(QChar letter);

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void render();
};
