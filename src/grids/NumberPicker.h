#pragma once

#include <QDialog>
#include <QStringList>

#include <optional>

class QListWidget;
class QPushButton;

// A small tool window listing the telephone numbers of a record with check
// boxes, to copy the chosen ones; "Vše" chooses all. To call a number it lists
// them without check boxes and "Volat" takes the selected one.
class NumberPicker : public QDialog {
    Q_OBJECT

  public:
    static constexpr QSize kClientSize{122, 160};
    static constexpr QSize kListSize{122, 121};

    explicit NumberPicker(QWidget* parent = nullptr);

    QListWidget* list() const { return m_list; }
    QPushButton* allButton() const { return m_all; }
    QPushButton* copyButton() const { return m_copy; }

    // Offers the numbers for copying. Two or more are shown with the first one
    // ticked, at topLeft, modally; one is taken at once without showing
    // anything. The ticked items, in list order, when copying was asked for
    // ("Vše" ticks them all); nothing when the window was closed or Esc pressed,
    // or when there is no number.
    std::optional<QStringList> choose(const QStringList& items, const QPoint& topLeft);
    // Where the picker opens for a copy image imageLeft pixels from the left of
    // its page: left of the image, below the top of the window.
    static QPoint placeFor(const QWidget* window, int imageLeft);
    // Offers the numbers for calling: two or more are shown with the first one
    // selected, at topLeft, modally, without "Vše"; one is taken at once. The
    // index of the number chosen ("Volat", Enter or a double click); nothing
    // when the window was closed or Esc pressed, or when there is no number.
    // The window is for copying again afterwards.
    std::optional<int> chooseOne(const QStringList& items, const QPoint& topLeft);

  private:
    QListWidget* m_list = nullptr;
    QPushButton* m_all = nullptr;
    QPushButton* m_copy = nullptr;
    // Offering numbers for calling (chooseOne): a double click takes one.
    bool m_callMode = false;
};
