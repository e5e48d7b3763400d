#pragma once

#include <QObject>

class QWidget;

// Gives every push button and tool button of the program's own windows, and
// every clickable label, the pointing-hand cursor, as it is first polished
// (so also the windows built later). A control that chose a cursor of its own
// keeps it; the buttons of the standard message, file, print and progress
// boxes keep the normal cursor. Watches the whole application while it lives.
class PointingHandCursor : public QObject {
    Q_OBJECT

  public:
    explicit PointingHandCursor(QObject* parent = nullptr);
    ~PointingHandCursor() override;

    // Whether the widget is one that shows the pointing hand.
    static bool wantsHand(const QWidget* widget);
    // Gives the hand at once to the widgets of a part built after the watch
    // began, without waiting for them to be polished.
    static void applyToTree(QWidget* root);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    static void apply(QWidget* widget);
};
