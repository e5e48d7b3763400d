#pragma once

#include "ClickableLabel.h"

#include <QLabel>
#include <QPixmap>
#include <QSplitter>
#include <QString>

class QLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The small "*" beside a search box: when on, the search appends the wildcard
// "*" to the box's text by itself. Its state shows as the colour of the star,
// maroon when on and silver when off; a click switches it.
class WildcardSwitch : public ClickableLabel {
    Q_OBJECT

  public:
    static const QColor kOnColour;  // maroon
    static const QColor kOffColour; // silver

    // A check box for assistive technology, named after the box it serves
    // (boxCaption, e.g. "Příjmení").
    WildcardSwitch(const QString& name, bool on, const QString& boxCaption, QWidget* parent = nullptr);

    bool isOn() const { return m_on; }
    bool isChecked() const override { return m_on; }
    void setOn(bool on);

  signals:
    void toggled(bool on);

  private:
    bool m_on = false;
};

// A search box that keeps nothing but the digits 0-9: anything else typed or
// pasted is taken out at once, the cursor staying after the same digits.
void keepDigitsOnly(QLineEdit* box);
// Switching the wildcard off takes one trailing "*" from its own box.
void dropWildcardWhenSwitchedOff(WildcardSwitch* wildcard, QLineEdit* box);

// The status line at the foot of a page: three sunken parts side by side,
// separated by splitter handles, each at least 180 pixels wide. The middle
// part shows the limits summary and can be clicked; the last one usually
// holds a fixed caption and keeps its width when the line grows.
class StatusLine : public QSplitter {
    Q_OBJECT

  public:
    static constexpr int kMinimumPartWidth = 180;

    StatusLine(const QString& firstName, const QString& middleName, const QString& lastName,
               QWidget* parent = nullptr);

    QLabel* part(int index) const;
    ClickableLabel* middle() const { return m_middle; }
    // The first part never gets narrower than the text needs; the page gives
    // it the widest counts it shows. Called again when the font changes.
    void keepFirstPartWhole(const QString& widest);

  private:
    QLabel* m_first = nullptr;
    ClickableLabel* m_middle = nullptr;
    QLabel* m_last = nullptr;
};

// The small pictures of the pages, drawn here so the program needs no image files.
enum class PageIcon {
    CopyAll,      // two sheets: the whole record to the clipboard
    CopyNumber,   // a sheet with digits: the telephone number to the clipboard
    CopyAddress,  // an envelope: the address to the clipboard
    Transfer,     // an arrow into a database: the record to the personal database
    Edit,         // a pencil
    New,          // a sheet with a plus
    Delete,       // a red cross
    DeleteMarked, // a list with a red cross
    AllRecords,   // a list: show every record
};

// The icon at 16 x 16 logical pixels for the given device pixel ratio.
QPixmap pageIcon(PageIcon icon, qreal devicePixelRatio = 1.0);

// A clickable image with a tooltip, named for the page's designed controls;
// assistive technology presents it as a push button called spokenName.
ClickableLabel* makeImageButton(const QString& name, PageIcon icon, const QString& spokenName,
                                const QString& toolTip, QWidget* parent);

// A caption label for a search box; the label becomes the box's buddy.
QLabel* makeCaption(const QString& text, QWidget* buddy, QWidget* parent);

// The "oOo" end indicator: silver while no search has reached the end.
QLabel* makeEndIndicator(const QString& name, QWidget* parent);

// A push button with its designed name and caption.
QPushButton* makeButton(const QString& name, const QString& caption, bool enabled, QWidget* parent);
// Gives a button whose caption is a symbol ("<<<", "STOP") the words a
// screen reader speaks instead, and what it does.
void nameSymbolButton(QPushButton* button, const QString& spokenName, const QString& description = {});

// Lets a button shrink below the style's minimum width down to what its caption
// needs, for the narrow tool windows.
void allowNarrowButton(QPushButton* button);

// A search box with its designed name; the tooltip names its keyboard shortcut.
QLineEdit* makeSearchBox(const QString& name, const QString& toolTip, QWidget* parent);
// The street box and the house-number box share the caption "Ulice, ČP";
// assistive technology gets a name for each ("Ulice", "Číslo popisné").
void nameStreetBoxes(QLineEdit* street, QLineEdit* houseNumber);

// Makes the Tab key go through the controls in the order given.
void chainTabOrder(const QList<QWidget*>& controls);

// Gives a box for short values (house numbers, postal codes) the width of the
// given number of digits; called again when the font changes.
void setWidthInDigits(QLineEdit* box, int digits);

// The record label: a read-only text of the designed size beside the search
// boxes, showing the current record.
inline constexpr QSize kRecordLabelSize{206, 137};
QPlainTextEdit* makeRecordLabel(const QString& name, QWidget* parent);

// A caption above a row of controls (a box with its switch, or two boxes under
// one caption). Stretches, when given, are per control of the row.
QLayout* captioned(QLabel* caption, const QList<QWidget*>& row, const QList<int>& stretches = {});

// The frame every result page shares: the search blocks stacked at the top left,
// the record label at the top right, the grid taking the rest of the height and
// the status line at the bottom.
void layOutResultPage(QWidget* page, const QList<QLayout*>& searchBlocks, QWidget* record, QWidget* grid,
                      QWidget* status);
