#pragma once

#include <QWidget>

class AlphabetBar;
class ClickableLabel;
class DataGrid;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class StatusLine;
class WildcardSwitch;

// The page of the personal contacts: search boxes along the top with the
// record label at their right, the buttons and the record pictures under the
// boxes, the alphabet bar, the contacts grid and the status line.
class PersonalPage : public QWidget {
    Q_OBJECT

  public:
    enum class Field { Surname, FirstName, Firm, Street, HouseNumber, Town, PostalCode, Phone };
    enum class Button { Search, Reset, Export, Print, Stop, Previous, Next, Import, Close };
    enum class Image { AllRecords, Edit, New, Delete, DeleteMarked, CopyAddress, CopyNumber, CopyAll };

    explicit PersonalPage(QWidget* parent = nullptr);

    QLineEdit* field(Field which) const;
    // The wildcard switch beside the surname, firm, street or town box; null for the others.
    WildcardSwitch* wildcardSwitch(Field which) const;
    QPushButton* button(Button which) const;
    ClickableLabel* image(Image which) const;
    AlphabetBar* alphabetBar() const { return m_alphabet; }
    QPlainTextEdit* recordLabel() const { return m_record; }
    DataGrid* grid() const { return m_grid; }
    StatusLine* statusLine() const { return m_status; }

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void buildControls();
    void buildLayout();
    void adjustNarrowBoxes();

    QLineEdit* m_fields[8] = {};
    WildcardSwitch* m_switches[8] = {};
    QPushButton* m_buttons[9] = {};
    ClickableLabel* m_images[8] = {};
    AlphabetBar* m_alphabet = nullptr;
    QPlainTextEdit* m_record = nullptr;
    DataGrid* m_grid = nullptr;
    StatusLine* m_status = nullptr;
};
