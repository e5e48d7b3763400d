#pragma once

#include "DirectoryPageDescription.h"

#include <QWidget>

class ClickableLabel;
class DataGrid;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class StatusLine;
class WildcardSwitch;

// The persons page and the firms page of the directory search: search boxes
// along the top with the record label at their right, the buttons under the
// boxes, the result grid filling the rest and the status line at the foot.
// Which of the two pages it is depends only on the DirectoryPageDescription.
class DirectoryPage : public QWidget {
    Q_OBJECT

  public:
    enum class Field { Name, SecondName, Street, HouseNumber, Town, PostalCode, Phone };
    enum class Button { Search, Reset, Export, Print, Stop, Previous, Next, Close };
    enum class Image { CopyAll, CopyNumber, CopyAddress, Transfer };

    explicit DirectoryPage(const DirectoryPageDescription& description, QWidget* parent = nullptr);

    const DirectoryPageDescription& description() const { return m_page; }

    QLineEdit* field(Field which) const;
    // The wildcard switch beside the name, street or town box; null for the others.
    WildcardSwitch* wildcardSwitch(Field which) const;
    QComboBox* regionBox() const { return m_region; }
    QPushButton* button(Button which) const;
    ClickableLabel* image(Image which) const;
    QLabel* endIndicator() const { return m_endIndicator; }
    QPlainTextEdit* recordLabel() const { return m_record; }
    DataGrid* grid() const { return m_grid; }
    StatusLine* statusLine() const { return m_status; }

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void buildControls();
    void buildLayout();
    void adjustNarrowBoxes();

    DirectoryPageDescription m_page;
    QLineEdit* m_fields[7] = {};
    WildcardSwitch* m_nameSwitch = nullptr;
    WildcardSwitch* m_streetSwitch = nullptr;
    WildcardSwitch* m_townSwitch = nullptr;
    QComboBox* m_region = nullptr;
    QPushButton* m_buttons[8] = {};
    ClickableLabel* m_images[4] = {};
    QLabel* m_endIndicator = nullptr;
    QPlainTextEdit* m_record = nullptr;
    DataGrid* m_grid = nullptr;
    StatusLine* m_status = nullptr;
};
